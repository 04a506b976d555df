#include "objects.h"

int FigurSheetCount[kObjectIdCount];

// The object records arrive with the scene; until then nothing is on stage.
bool IsObjectLoaded(int id)
{
    (void)id;
    return false;
}
