// The street figures' rows in the table of scripts. A new figure is a file of
// its own in this folder and a row here. Beside them the figures' one hook:
// whether a musician takes an order.
#include "figures/figures.h"
#include "figures/musicians.h"
#include "scene/hooks.h"
#include "scene/scripts.h"

namespace {

// The names are the same in both languages: they are the sections of the
// speech texts, which the user edits under these names.
const ObjectScript kFigureScripts[] = {
    {1, Figur001Script, ResetFigur001, "Zeitungsleser Egon"},
    {2, Figur002Script, ResetFigur002, "Jogger Jannik"},
    {3, Figur003Script, nullptr, "Spaziergängerin Rosi"},
    {4, Figur004Script, ResetFigur004, "Marlene"},
    {5, Figur005Script, ResetFigur005, "Herr Brummel"},
    {6, Figur006Script, ResetFigur006, "Konrad"},
    {7, Figur007Script, ResetFigur007, "Frau Grün"},
    {8, Figur008Script, ResetFigur008, "Opa Hinnerk"},
    {9, Figur009Script, ResetFigur009, "Rucksack-Jule"},
    {10, Figur010Script, ResetFigur010, "Luftgitarren-Tim"},
    {11, Figur011Script, ResetFigur011, "Skaterin Lilly"},
    {13, Figur013Script, ResetFigur013, "Herr Aktenkoffer"},
    {17, Figur017Script, ResetFigur017, "Tourist Bernd"},
    {18, Figur018Script, ResetFigur018, "Stammtischbrüder"},
    {20, Figur020Script, nullptr, "Herr Mertens"},
    {22, Figur022Script, nullptr, "Pflasterer Paul"},
    {23, Figur023Script, nullptr, "Ines und Ole"},
    {24, Figur024Script, nullptr, "Hund"},
    {25, Figur025Script, ResetFigur025, "Frau Lindner"},
    {26, Figur026Script, nullptr, "Frau Lindner (W)"},
    {27, Figur027Script, nullptr, "Nachtschwärmer Nils"},
    {28, Figur028Script, nullptr, "Herr Haberland"},
    {29, Figur029Script, ResetFigur029, "Herr Haberland"},
    {30, Figur030Script, nullptr, "Familie Sonnenschein"},
    {31, Figur031Script, nullptr, "Herr Haberland"},
    {32, Figur032Script, nullptr, "Herr Haberland"},
    // The second person of 33 takes a name of its own (see housedoorpair.cpp).
    {33, Figur033Script, ResetFigur033, "Frau Lindemann"},
    {34, Figur034Script, nullptr, "Ferdinand"},
    {35, Figur035Script, ResetFigur035, "Tante Hedwig"},
    {36, Figur036Script, ResetFigur036, "Langbein Lasse"},
    // 37 and 38 take their names by the language and, for 37, by the date.
    {37, Figur037Script, nullptr, "Nikolaus"},
    {38, Figur038Script, nullptr, "Osterhase"},
    {39, Figur039Script, nullptr, "Clown"},
    {40, Figur040Script, ResetFigur040, "Greta"},
    {41, Figur041Script, ResetFigur041, "Musiker"},
    {42, Figur042Script, ResetFigur042, "Gitarrist Gerold"},
    {43, Figur043Script, nullptr, "Herr Pohl"},
    {44, Figur044Script, ResetFigur044, "Hanna"},
    {45, Figur045Script, ResetFigur045, "Frau Sommerfeld"},
    {46, Figur046Script, ResetFigur046, "New Mail"},
    {47, Figur047Script, nullptr, "Frau Lindner"},
    {48, Figur048Script, ResetFigur048, "Opa Willi"},
    {49, Figur049Script, nullptr, "Frau Kessler"},
    {50, Figur050Script, ResetFigur050, "Lotte"},
    {51, Figur051Script, nullptr, "Malerlehrling Timo"},
    {52, Figur052Script, ResetFigur052, "Student Paul"},
    {54, Figur054Script, nullptr, "Fotograf Anton"},
    // 55 and 58 are one person.
    {55, Figur055Script, nullptr, "Bäckersfrau Erna"},
    {56, Figur056Script, nullptr, "Paula + Jakob"},
    {57, Figur057Script, nullptr, "Henrik + Greta"},
    {58, Figur058Script, ResetFigur058, "Bäckersfrau Erna"},
    {59, Figur059Script, nullptr, "Fensterputzer Ole"},
    // The window scenes have no words of their own.
    {60, Figur060Script, ResetFigur060, ""},
    {61, Figur061Script, ResetFigur061, "Ehepaar Brandt"},
    {62, Figur062Script, ResetResidents, "Besucherin Frieda"},
    {63, Figur063Script, ResetResidents, "Herr Albrecht"},
    {64, Figur064Script, ResetResidents, "Frau Yilmaz"},
    {65, Figur065Script, ResetResidents, "Hausmeister Gerd"},
    {66, Figur066Script, ResetResidents, "Maler Anselm"},
    {67, Figur067Script, ResetResidents, "Nachbar Timo"},
    {68, Figur068Script, ResetResidents, "Cousine Ida"},
    {69, Figur069Script, nullptr, "Wetterfee Greta"},
    {110, Figur110Script, ResetFigur110, ""},
};

}  // namespace

std::span<const ObjectScript> FigureScripts() { return kFigureScripts; }

const FigureHooks &SceneFigures()
{
    static constexpr FigureHooks kHooks = {MusicianPlaying};
    return kHooks;
}
