// Figure 17, a tourist who stops once to strike poses.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig017_frames.h"

namespace {

constexpr int kTourist = 17;
constexpr int kTouristStride = 19;
constexpr int kPoseFirst = 16;
constexpr int kPoses = 32;
constexpr int kNoPoseNearRightEdge = 160;

// What the tourist keeps from one entry to the next.
struct TouristState {
    int sheet = 0;  // summer or winter clothes
    int style = 0;  // 0, 4, 8 or 12
};
TouristState gTourist;

void TouristSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    gTourist.sheet = Season - 1;
    gTourist.style = (Rand() & 3) * 4;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.WaitCount = Rand() % 23 + 14;  // strides before the poses
    r.Speed = Rand() % 3 + FigureSpeedBase() + 2;
    r.X = -95;
    r.FrameW = kFig017FrameW;
    r.FrameH = kFig017FrameH;
    FigPlaceInLane(r, h - 287, h - 245);
    r.Spacing = 10;
    r.AvoidOrder = 0;
    r.Direction = 1;
    r.Avoids = 1;
    FigSetPause(r, Rand() % 25 + 16);
    r.State = 1;
}

void TouristStartPoses(FigurRecord &r)
{
    r.ScriptVar = 0;
    r.Direction = 0;
    r.Avoids = 0;
    r.Frame = Rand() % kPoses + kPoseFirst;
    r.WaitCount = Rand() % 19 + 6;
    r.Tick = 0;
    r.State = 2;
}

// A stride of the stroll; countStrides only before the poses.
void TouristWalk(FigurRecord &r, bool countStrides)
{
    if (FigLeftClickIn(r, kFig017Frames[0].w, kFig017Frames[0].h)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.X -= kTouristStride;
        TouristStartPoses(r);
        FigDraw(r, gTourist.sheet, kFig017Frames[r.Frame]);
        return;
    }
    FigDraw(r, gTourist.sheet, kFig017Frames[gTourist.style + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 3 == 0) {
        r.Speed = Rand() % 3 + FigureSpeedBase() + 2;
        gTourist.style = (Rand() & 3) * 4;
    }
    FigApplyAvoid(r);
    if (r.ScriptVar == -1) {
        r.AvoidOrder = 0;
        TouristStartPoses(r);
        return;
    }
    if (countStrides)
        --r.WaitCount;
    if (r.X > SceneWidth()) {
        UnloadFigur(kTourist);
        return;
    }
    if (r.AvoidOrder == 0 && Rand() % 2 == 0)
        FigDrift(r, Rand() % 9 + 4);
    r.X += kTouristStride;
    r.AvoidOrder = 0;
    if (countStrides && r.WaitCount < 0 && r.X < SceneWidth() - kNoPoseNearRightEdge)
        TouristStartPoses(r);
}

void TouristPose(FigurRecord &r)
{
    FigDraw(r, gTourist.sheet, kFig017Frames[r.Frame]);
    if (!FigTick(r, r.Speed + Rand() % (2 * r.Speed + 1)))
        return;
    r.Frame = Rand() % kPoses + kPoseFirst;
    if (--r.WaitCount < 1) {
        r.Frame = r.Tick = r.WaitCount = 0;
        r.X += 18;
        r.Direction = 1;
        r.Avoids = 1;
        r.State = 3;
    }
}

}  // namespace

void Figur017Script()
{
    FigurRecord &r = FigurTable[kTourist];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: TouristSetUp(r); return;
    case 1: TouristWalk(r, true); return;
    case 2: TouristPose(r); return;
    case 3: TouristWalk(r, false); return;
    default: return;
    }
}

void ResetFigur017() { gTourist = {}; }
