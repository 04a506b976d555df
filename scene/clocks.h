// The scene clock in its four designs: digital digits in a housing (0), an
// analogue clock on the house front (1), and the pillar clock with a digital
// (2) or analogue (3) face.
#pragma once

#include "base/common.h"

// The start-up loads the digit strips "UHR_00" .. "UHR_02" and reads the
// system's hour format (iTime 0: twelve hours); the shutdown frees the strips.
extern HBITMAP ClockStrips[3];
extern int TwelveHourClock;

int StartAClock(HDC dc);
void StopAClock();
void DrawAClock(HDC target, int x, int y);
// Draws into target (the window) and the background when the minute changed
// or the screen was rebuilt.
void DrawDigitalClock(HDC target, int hour, int minute, int strip);
void DrawPillarDisplay();
// The clock pillar, a prop of the scene with a script of its own.
constexpr int kClockPillar = 115;
void Figur115Script();

// The hour as the digits show it: 12-hour systems drop 12 from 13 on.
int DisplayHour(int hour, bool twelveHours);
// The three two-digit groups of the pillar's date in the system's order;
// false for an order the pillar cannot show.
bool PillarDateGroups(int day, int month, int year, int order, int groups[3]);
// End points of a hand of length len at angle index i of 60 (tail: negative
// length), turning about (16, 16).
POINT HandPoint(double radians, int length);
