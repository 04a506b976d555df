// The street figures' rows in the table of scripts. A new figure is a file of
// its own in this folder and a row here.
#include "figures/figures.h"
#include "scene/scripts.h"

namespace {

// The names are the same in both languages: they are the sections of the
// speech texts, which the user edits under these names.
const ObjectScript kFigureScripts[] = {
    {2, Figur002Script, ResetFigur002, "Jogger Jannik"},
    {4, Figur004Script, ResetFigur004, "Marlene"},
    {6, Figur006Script, ResetFigur006, "Konrad"},
    {11, Figur011Script, ResetFigur011, "Skaterin Lilly"},
    {17, Figur017Script, ResetFigur017, "Tourist Bernd"},
    {59, Figur059Script, nullptr, "Fensterputzer Ole"},
    {61, Figur061Script, ResetFigur061, "Ehepaar Brandt"},
    {62, Figur062Script, ResetResidents, "Besucherin Frieda"},
    {63, Figur063Script, ResetResidents, "Herr Albrecht"},
    {64, Figur064Script, ResetResidents, "Frau Yilmaz"},
    {65, Figur065Script, ResetResidents, "Hausmeister Gerd"},
    {66, Figur066Script, ResetResidents, "Maler Anselm"},
    {67, Figur067Script, ResetResidents, "Nachbar Timo"},
    {69, Figur069Script, nullptr, "Wetterfee Greta"},
};

}  // namespace

std::span<const ObjectScript> FigureScripts() { return kFigureScripts; }
