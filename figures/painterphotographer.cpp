// Figures 51 and 54 come from the right and stop for a short piece of work:
// 51, the painter's apprentice, for a few brush strokes; 54, the
// photographer, to take pictures. Both keep to the near pavement when the
// street is busy and stop more readily when it is quiet.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig051_frames.h"
#include "fig054_frames.h"

namespace {

constexpr int kStride = 16;
constexpr int kBusyStreet = 3;  // pedestrians from which both keep near

// ------------------------------------------------------------ figure 51

constexpr int kPainter = 51;
constexpr int kPaintFirst = 4;
constexpr int kPainterStridesBeforeStop = 40;
constexpr int kPainterLeaveLeft = -80;

void PainterSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Tick = r.Frame = 0;
    r.X = SceneWidth();
    r.Direction = r.Avoids = -1;
    r.DriftStep = 1;
    r.WantsBus = 0;
    r.AvoidOrder = 0;
    r.FrameW = kFig051FrameW;
    r.FrameH = kFig051FrameH;
    r.Spacing = 7;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    if (Rand() % 3 == 0 && PedestrianCount < kBusyStreet && TimeOfDay != kDusk) {
        FigPlaceInLane(r, h - 292, h - 262);
        FigSetPause(r, Rand() % 129 + 64);
    } else {
        FigPlaceInLane(r, h - 84, h - 83);
        FigSetPause(r, Rand() % 49 + 32);
    }
    r.State = 1;
}

void PainterStop(FigurRecord &r)
{
    r.WaitCount = 0;
    r.ScriptVar = 0;
    r.X += kStride;
    r.State = 2;
}

void PainterWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig051Frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kStride;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        PainterStop(r);
    } else if (++r.WaitCount > kPainterStridesBeforeStop && Rand() % 9 == 0) {
        PainterStop(r);
    } else if (r.X < kPainterLeaveLeft) {
        UnloadFigur(kPainter);
        return;
    }
    r.AvoidOrder = 0;
}

void PainterBrushUp(FigurRecord &r)
{
    FigDraw(r, 0, kFig051Frames[kPaintFirst + r.Frame]);
    if (!FigTick(r, Rand() % 9 + r.Speed + 4))
        return;
    if (++r.Frame > (Rand() & 1) + 2) {
        --r.Frame;
        r.State = 3;
    }
}

void PainterBrushDown(FigurRecord &r)
{
    FigDraw(r, 0, kFig051Frames[kPaintFirst + r.Frame]);
    if (!FigTick(r, Rand() % 5 + r.Speed + 4))
        return;
    if (--r.Frame >= 0)
        return;
    r.Frame = 0;
    if (r.AvoidOrder == 0) {
        r.X -= kStride;
        r.State = 1;
    } else {
        // Someone is being steered round him: one more stroke, and the
        // order is used up.
        r.AvoidOrder = 0;
        r.State = 2;
    }
}

// ------------------------------------------------------------ figure 54

constexpr int kPhotographer = 54;
constexpr int kPhotoFirst = 4;
constexpr int kStepsFirst = 12;
constexpr int kPhotographerStridesBeforeStop = 16;
constexpr int kPhotographerLeaveLeft = -80;
constexpr int kStepsLeaveLeft = -72;
constexpr int kCameraSample = 18;
constexpr int kClickW = 80;
constexpr int kClickH = 77;

void PhotographerSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = r.ScriptVar = 0;
    r.X = SceneWidth() + 5;
    r.Direction = r.Avoids = -1;
    r.DriftStep = 1;
    r.WantsBus = 0;
    r.AvoidOrder = 0;
    r.FrameW = kFig054FrameW;
    r.FrameH = kFig054FrameH;
    r.Spacing = 10;
    r.Speed = (Rand() & 3) + FigureSpeedBase() + 4;
    if ((Rand() & 3) == 0 && PedestrianCount < kBusyStreet) {
        FigPlaceInLane(r, h - 239, h - 234);
        FigSetPause(r, Rand() % 129 + 64);
    } else {
        FigPlaceInLane(r, h - 76, h - 75);
        FigSetPause(r, Rand() % 49 + 32);
    }
    r.State = 1;
}

void PhotographerClick(FigurRecord &r)
{
    if (FigLeftClickIn(r, kClickW, kClickH)) {
        FigPlayOwnSound(r);
        FigTakeClick(false);
    }
}

// Fewer people about, more pictures.
bool QuietEnough() { return Rand() % (PedestrianCount + 1) == 0; }

void PhotographerStop(FigurRecord &r)
{
    r.WaitCount = 0;
    r.ScriptVar = 0;
    r.X += kStride;
    r.State = 2;
}

void PhotographerWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig054Frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kStride;
    FigApplyAvoid(r);
    PhotographerClick(r);
    if (r.ScriptVar != 0) {
        PhotographerStop(r);
    } else if (++r.WaitCount > kPhotographerStridesBeforeStop && QuietEnough()) {
        PhotographerStop(r);
    } else if (r.X < kPhotographerLeaveLeft) {
        UnloadFigur(kPhotographer);
        return;
    }
    r.AvoidOrder = 0;
}

void PhotographerShoot(FigurRecord &r)
{
    FigDraw(r, 0, kFig054Frames[kPhotoFirst + r.Frame]);
    if (!FigTick(r, Rand() % 57 + r.Speed + 24))
        return;
    PhotographerClick(r);
    // A new click of the camera never cuts the last one short.
    if (SoundSwitchOn(kOptCamera) && Rand() % 21 == 0 && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1)) {
        FigPlaySample(r, kCameraSample);
        if (r.Frame > 0)
            --r.Frame;
    }
    if (++r.Frame <= Rand() % 3 + 5)
        return;
    r.Frame = Rand() & 3;
    const bool asked = r.AvoidOrder != 0;
    // Someone close by: one more round of pictures, and the order is used
    // up, or he would photograph for good.
    r.AvoidOrder = 0;
    if (++r.WaitCount > Rand() % 3 && !asked) {
        r.Frame = 0;
        r.WaitCount = Rand() % 3;
        r.State = Rand() % (PedestrianCount + 1) != 0 ? 1 : 3;
    }
}

void PhotographerSteps(FigurRecord &r)
{
    FigDraw(r, 0, kFig054Frames[kStepsFirst + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kStride;
    FigApplyAvoid(r);
    PhotographerClick(r);
    if (r.ScriptVar == 0 && --r.WaitCount >= 1) {
        if (r.X < kStepsLeaveLeft) {
            UnloadFigur(kPhotographer);
            return;
        }
    } else {
        r.Frame = 0;
        r.WaitCount = 0;
        r.ScriptVar = 0;
        r.State = 2;
    }
    r.AvoidOrder = 0;
}

}  // namespace

void Figur051Script()
{
    FigurRecord &r = FigurTable[kPainter];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: PainterSetUp(r); return;
    case 1: PainterWalk(r); return;
    case 2: PainterBrushUp(r); return;
    case 3: PainterBrushDown(r); return;
    default: return;
    }
}

void Figur054Script()
{
    FigurRecord &r = FigurTable[kPhotographer];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: PhotographerSetUp(r); return;
    case 1: PhotographerWalk(r); return;
    case 2: PhotographerShoot(r); return;
    case 3: PhotographerSteps(r); return;
    default: return;
    }
}
