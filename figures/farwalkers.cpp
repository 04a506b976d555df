// Figures 4 and 6, two people who walk right along the far pavement and
// sometimes stop to look at the shop windows.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig004_frames.h"
#include "fig006_frames.h"

namespace {

constexpr int kWalkerStride = 19;
constexpr int kLookEntry = 37;

struct FarWalker {
    int id;
    const FrameEntry *frames;
    int sheet;  // always the first
    int gait;   // 0 or 4: the second gait looks at the shop windows
};
const FarWalker kFarWalkersAtStart[2] = {{4, kFig004Frames, 0, 0}, {6, kFig006Frames, 0, 0}};
FarWalker gFarWalkers[2] = {kFarWalkersAtStart[0], kFarWalkersAtStart[1]};

void FarWalkerSetUp(FarWalker &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    s.sheet = 0;
    r.X = -80;
    r.FrameW = kFig004FrameW;
    r.FrameH = kFig004FrameH;
    FigPlaceInLane(r, h - 264, h - 249);
    FigSetPause(r, Rand() % 65 + 32);
    r.Direction = 1;
    r.Avoids = 0;
    r.WantsBus = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    s.gait = 0;
    r.State = 1;
}

void FarWalkerOutOfBus(FarWalker &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    s.sheet = 0;
    r.Frame = r.Tick = 0;
    r.WaitCount = (Rand() & 3) + 3;
    r.X = StopPostX() - Rand() % 21 - 10;
    r.FrameW = kFig004FrameW;
    r.FrameH = kFig004FrameH;
    r.Spacing = 6;
    FigPlaceInLane(r, h - 252, h - 242);
    FigSetPause(r, Rand() % 65 + 64);
    r.Speed = Rand() % 9 + FigureSpeedBase() + 8;
    r.Direction = 1;
    r.Avoids = 1;
    r.WantsBus = 0;
    s.gait = 0;
    r.State = 101;
}

void FarWalkerWalk(FarWalker &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[s.gait + r.Frame]);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        s.gait = (Rand() % 2 == 0) ? 4 : 0;
        r.X += kWalkerStride;
        FigApplyAvoid(r);
        if (r.X > SceneWidth()) {
            UnloadFigur(r.Id);
            return;
        }
    }
    r.AvoidOrder = 0;
}

void FarWalkerLookAbout(FarWalker &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[kLookEntry + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame > Rand() % 7 + 1) {
        r.Frame = 0;
        // Someone close by: look about once more. The order is used up here,
        // or the figure would stand for good.
        if (r.AvoidOrder == 0)
            --r.WaitCount;
        r.AvoidOrder = 0;
    }
    if (r.WaitCount < 1) {
        r.Frame = 0;
        r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
        s.gait = 0;
        r.State = 1;
    }
}

void FarWalkerScript(FarWalker &s)
{
    FigurRecord &r = FigurTable[s.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: FarWalkerSetUp(s, r); return;
    case 1: FarWalkerWalk(s, r); return;
    case 100:
        FarWalkerOutOfBus(s, r);
        FarWalkerLookAbout(s, r);
        return;
    case 101: FarWalkerLookAbout(s, r); return;
    default: FigUnknownState(r); return;
    }
}

}  // namespace

void Figur004Script() { FarWalkerScript(gFarWalkers[0]); }
void Figur006Script() { FarWalkerScript(gFarWalkers[1]); }

void ResetFigur004() { gFarWalkers[0] = kFarWalkersAtStart[0]; }
void ResetFigur006() { gFarWalkers[1] = kFarWalkersAtStart[1]; }
