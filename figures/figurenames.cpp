// A figure's section is the name its script row carries, so that the scene
// and the settings never name a figure apart. The table names the figures
// whose scripts have not landed yet, and the four that have an English name
// of their own. Figures that share a person share a name, and so one section:
// 28, 29, 31 and 32 are the resident of door 2.
#include "figures/figurenames.h"

#include "scene/scripts.h"

namespace {

struct FigureName {
    int id;
    const char *german;   // null: the script row names it
    const char *english;  // null: the same as the German name
};

const FigureName kNames[] = {
    {22, "Pflasterer Paul", nullptr},
    {24, "Hund", "Dog"},
    {25, "Frau Lindner", nullptr},
    {29, "Herr Haberland", nullptr},
    {32, "Herr Haberland", nullptr},
    {33, "Familie Berger", nullptr},
    {37, nullptr, "Father Christmas"},
    {38, nullptr, "Easter bunny"},
    {41, nullptr, "Musicians"},
    {52, "Frau Sommer", nullptr},
    {58, "Frau Fenske", nullptr},
    {68, "Vertreter Schmitz", nullptr},
};

const FigureName *FindName(int id)
{
    for (const FigureName &name : kNames)
        if (name.id == id)
            return &name;
    return nullptr;
}

const char *ScriptName(int id)
{
    for (const ObjectScript &script : FigureScripts())
        if (script.id == id && script.name[0])
            return script.name;
    return nullptr;
}

bool IsSpeechFigure(int id)
{
    for (int speech : kSpeechFigureIds)
        if (speech == id)
            return true;
    return false;
}

}  // namespace

const int kSpeechFigureIds[kSpeechFigures] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 17, 18,
                                              20, 22, 23, 24, 25, 29, 30, 32, 33, 34, 35, 36, 37, 38,
                                              39, 40, 41, 42, 43, 44, 45, 46, 48, 49, 50, 51, 52, 54,
                                              56, 57, 58, 59, 62, 63, 64, 65, 66, 67, 68};

const int kSoundFigureIds[kSoundFigures] = {3,  5,  7,  8,  9,  10, 11, 17, 20, 22, 23, 25, 29,
                                            30, 33, 34, 35, 40, 43, 45, 50, 54, 56, 57, 58};

const char *FigureSectionName(int id, int language)
{
    if (!IsSpeechFigure(id))
        return nullptr;
    const FigureName *name = FindName(id);
    if (language != 1 && name && name->english)
        return name->english;
    if (const char *scripted = ScriptName(id))
        return scripted;
    return name ? name->german : nullptr;
}
