// Figure 36, a long-legged man who strides along the very front edge of the
// scene; a click at the end of a stride makes him strike a pose and slow
// down in a little act of his own, after which he strides on more briskly.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"

// The frame tables come with the pictures, from the art generator.
#include "fig036_frames.h"

namespace {

constexpr int kStrider = 36;
constexpr int kStride = 72;
constexpr int kStrideAfterAct = 53;
constexpr int kStrideFrames = 6;
constexpr int kSecondGait = 6;
constexpr int kPoseEntry = 12;
constexpr int kActFirst = 13;
constexpr int kActLastFrame = 10;
constexpr int kActLoopFrame = 5;
constexpr int kActEndFrames = 6;  // frames 6 to 10 close the act
constexpr int kWalkOnFirst = 25;
constexpr int kPoseCalls = 2;
constexpr int kPoseSample = 11;
constexpr int kClickW = 64;
constexpr int kClickH = 72;

struct StriderState {
    int sheet = 0;  // always the first
    int gait = 0;   // 0 or 6
};
StriderState gStrider;

void StriderSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.Tick = 0;
    r.X = -100;
    r.FrameW = kFig036FrameW;
    r.FrameH = kFig036FrameH;
    FigPlaceInLane(r, h - 73, h - 71);
    r.Speed = Rand() % 3 + FigureSpeedBase();
    r.Direction = 1;
    r.Avoids = 0;
    gStrider.sheet = 0;
    gStrider.gait = 0;
    FigSetPause(r, Rand() % 65 + 56);
    r.State = 1;
}

void StriderWalk(FigurRecord &r)
{
    FigDraw(r, gStrider.sheet, kFig036Frames[gStrider.gait + r.Frame]);
    if (!FigStrideEnds(r, r.Speed, kStrideFrames))
        return;
    gStrider.gait = (gStrider.gait == 0 && Rand() % 2 == 0) ? kSecondGait : 0;
    if (r.X > SceneWidth()) {
        UnloadFigur(kStrider);
        return;
    }
    r.X += kStride;
    // Only between two strides: a man in mid-stride cannot stop.
    if (FigLeftClickIn(r, kClickW, kClickH)) {
        r.Frame = 0;
        r.X -= 52;
        FigTakeClick(true);
        r.State = 2;
    }
}

void StriderPose(FigurRecord &r)
{
    FigDraw(r, gStrider.sheet, kFig036Frames[kPoseEntry]);
    // The pose is a single frame; its sound comes on its second call.
    if (++r.Tick == kPoseCalls - 1)
        FigPlaySample(r, kPoseSample);
    if (r.Tick < kPoseCalls)
        return;
    r.Tick = r.Frame = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    r.WaitCount = Rand() % 5 + 2;
    r.State = 3;
}

void StriderAct(FigurRecord &r)
{
    if (r.Frame < kActEndFrames && FigLeftClickIn(r, kClickW, kClickH)) {
        r.Frame = kActEndFrames;
        r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
        FigTakeClick(true);
    }
    FigDraw(r, gStrider.sheet, kFig036Frames[kActFirst + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    ++r.Speed;
    if (r.Frame == kActLoopFrame && --r.WaitCount > 0)
        r.Frame = Rand() % 4;
    if (++r.Frame <= kActLastFrame)
        return;
    r.Frame = 0;
    r.X += 62;
    gStrider.gait = kSecondGait;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 1;
    r.State = 4;
}

void StriderWalkOn(FigurRecord &r)
{
    FigDraw(r, gStrider.sheet, kFig036Frames[kWalkOnFirst + gStrider.gait + r.Frame]);
    if (!FigStrideEnds(r, r.Speed, kStrideFrames))
        return;
    if (r.X > SceneWidth()) {
        UnloadFigur(kStrider);
        return;
    }
    r.X += kStrideAfterAct;
}

}  // namespace

void Figur036Script()
{
    FigurRecord &r = FigurTable[kStrider];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: StriderSetUp(r); return;
    case 1: StriderWalk(r); return;
    case 2: StriderPose(r); return;
    case 3: StriderAct(r); return;
    case 4: StriderWalkOn(r); return;
    default: FigUnknownState(r); return;
    }
}

void ResetFigur036() { gStrider = {}; }
