// Figures that share a person share a name, and so one section: 28, 29, 31
// and 32 are the resident of door 2; 25, 26 and 47 are one woman.
#include "figures/figurenames.h"

namespace {

struct FigureName {
    int id;
    const char *german;
    const char *english;  // null: the same as the German name
};

const FigureName kNames[] = {
    {1, "Herr Brandt", nullptr},
    {2, "Jogger Jannik", nullptr},
    {3, "Frau Kessler", nullptr},
    {4, "Marlene", nullptr},
    {5, "Opa Willi", nullptr},
    {6, "Konrad", nullptr},
    {7, "Schüler Tim", nullptr},
    {8, "Frau Özdemir", nullptr},
    {9, "Herr Pohl", nullptr},
    {10, "Studentin Mia", nullptr},
    {11, "Skaterin Lilly", nullptr},
    {13, "Bauarbeiter Kalle", nullptr},
    {17, "Tourist Bernd", nullptr},
    {18, "Die drei Kollegen", nullptr},
    {20, "Herr Lindner", nullptr},
    {22, "Pflasterer Gustav", nullptr},
    {23, "Oma Hilde + Paula", nullptr},
    {24, "Hund", "Dog"},
    {25, "Frau Wagner", nullptr},
    {29, "Herr Albrecht", nullptr},
    {30, "Die Zwillinge", nullptr},
    {32, "Herr Albrecht", nullptr},
    {33, "Familie Berger", nullptr},
    {34, "Straßenkünstler Rudi", nullptr},
    {35, "Tarvo", nullptr},
    {36, "Langer Lukas", nullptr},
    {37, "Nikolaus", "Father Christmas"},
    {38, "Osterhase", "Easter bunny"},
    {39, "Clown Pippo", nullptr},
    {40, "Ingrid", nullptr},
    {41, "Musiker", "Musicians"},
    {42, "Geiger Emil", nullptr},
    {43, "Herr Schulte", nullptr},
    {44, "Zuhörerin Greta", nullptr},
    {45, "Frau Brenner", nullptr},
    {46, "New Mail", nullptr},
    {48, "Student Felix", nullptr},
    {49, "Frau Hoffmann", nullptr},
    {50, "Herr Krüger", nullptr},
    {51, "Malerlehrling Max", nullptr},
    {52, "Frau Sommer", nullptr},
    {54, "Fotograf Anton", nullptr},
    {56, "Erika + Hans", nullptr},
    {57, "Ingrid + Walter", nullptr},
    {58, "Frau Fenske", nullptr},
    {59, "Professor Quast", nullptr},
    {62, "Besucherin Nora", nullptr},
    {63, "Herr Yilmaz", nullptr},
    {64, "Frau Petersen", nullptr},
    {65, "Jonas", nullptr},
    {66, "Malermeister Otto", nullptr},
    {67, "Frau Nowak", nullptr},
    {68, "Vertreter Schmitz", nullptr},
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == kSpeechFigures);

}  // namespace

const int kSpeechFigureIds[kSpeechFigures] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 17, 18,
                                              20, 22, 23, 24, 25, 29, 30, 32, 33, 34, 35, 36, 37, 38,
                                              39, 40, 41, 42, 43, 44, 45, 46, 48, 49, 50, 51, 52, 54,
                                              56, 57, 58, 59, 62, 63, 64, 65, 66, 67, 68};

const int kSoundFigureIds[kSoundFigures] = {3,  5,  7,  8,  9,  10, 11, 17, 20, 22, 23, 25, 29,
                                            30, 33, 34, 35, 40, 43, 45, 50, 54, 56, 57, 58};

const char *FigureSectionName(int id, int language)
{
    for (const FigureName &name : kNames)
        if (name.id == id)
            return (language != 1 && name.english) ? name.english : name.german;
    return nullptr;
}
