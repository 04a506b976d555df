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
};

}  // namespace

std::span<const ObjectScript> FigureScripts() { return kFigureScripts; }
