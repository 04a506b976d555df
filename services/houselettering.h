// The houses' own shop signs: the user's text, font and colour drawn onto the
// empty sign of each day phase and season, written as picture files into the
// lettering folder (HausBeschrPics), where the house lights take them from.
#pragma once

#include "base/common.h"
#include "config/config.h"

constexpr int kSignHouses = 4;
constexpr int kSignPhases = 3;
constexpr int kSignSeasons = 2;
// The glow behind the text of a lit sign.
constexpr COLORREF kSignGlow = 0xC8E6F0;
constexpr COLORREF kSignShadow = 0x202020;

// Writes every file of the house: for season 1 then 2, for phase 1 to 3 the
// sign ("_00"), for phases 2 and 3 also the lit sign ("_01"). Stops at the
// first file that could not be made; 1 when all were written.
int CreateHausBeschriftung(int house, const HausFontRecord *font);
// 1 when "Bhh_pp_ss_00.BMP" was written.
int MakeHausSign(int house, int phase, int season, const HausFontRecord *font);
// 1 when "Bhh_pp_ss_01.BMP" was written (phases 2 and 3 only).
int MakeHausSignLit(int house, int phase, int season, const HausFontRecord *font);
