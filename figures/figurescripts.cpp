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
    {22, Figur022Script, nullptr, "Pflasterer Paul"},
    {24, Figur024Script, nullptr, "Hund"},
    {25, Figur025Script, ResetFigur025, "Frau Lindner"},
    {26, Figur026Script, nullptr, "Frau Lindner (W)"},
    {27, Figur027Script, nullptr, "Nachtschwärmer Nils"},
    {28, Figur028Script, nullptr, "Herr Haberland"},
    {29, Figur029Script, ResetFigur029, "Herr Haberland"},
    {31, Figur031Script, nullptr, "Herr Haberland"},
    {32, Figur032Script, nullptr, "Herr Haberland"},
};

}  // namespace

std::span<const ObjectScript> FigureScripts() { return kFigureScripts; }
