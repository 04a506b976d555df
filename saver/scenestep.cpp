// The scene step as far as the scene's fixed parts need it: new objects take
// their pairs, the list is ordered by foot line, and the scripts that exist
// are called. Clicks, avoidance, headlights and bubbles come with the
// figures.
#include "scenestep.h"

#include "clocks.h"
#include "objects.h"

#include <algorithm>

namespace {

constexpr int kLastKeyedObject = 119;

void RefreshDrawList()
{
    for (DrawListEntry &pair : DrawList) {
        if (pair.Figur < 1 || pair.Figur > kLastKeyedObject)
            continue;
        if (IsOnStage(pair.Figur)) {
            pair.Key = FigurTable[pair.Figur].FootLine;
        } else {
            pair.Figur = 0;
            pair.Key = kFreePairKey;
        }
    }
    std::stable_sort(std::begin(DrawList), std::end(DrawList),
                     [](const DrawListEntry &a, const DrawListEntry &b) { return a.Key < b.Key; });
}

}  // namespace

bool FigurScriptExists(int id) { return id == 115; }

void CallFigurScript(int id)
{
    switch (id) {
    case 115:
        Figur115Script();
        break;
    default:
        break;
    }
}

void SceneStep()
{
    AcceptNewDrawListEntries();
    RefreshDrawList();
    for (const DrawListEntry &pair : DrawList) {
        if (pair.Figur >= 1 && IsOnStage(pair.Figur))
            CallFigurScript(pair.Figur);
    }
}
