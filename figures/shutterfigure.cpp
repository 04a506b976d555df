// Figure 55, the baker's wife at door 1 of the left house: at dusk she comes
// out with her hook pole and pulls the bakery window's shutters shut, or in
// the morning folds them back open, and paints the result into the
// background, where it stays until the next scene is built. She is the same
// person as figure 58, whose sound file her click plays; she takes no remove
// or talk click.
#include "figures/figures.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/screen.h"
#include "scene_geometry.h"
#include "services/sound.h"

// The frame table comes with the pictures, from the art generator.
#include "fig055_frames.h"

namespace {

constexpr int kShutterFigure = 55;
constexpr int kSamePerson = 58;
constexpr int kGiveUpCalls = 251;
constexpr int kShutterSample = 21;
constexpr int kEndTicks = 25;
constexpr int kLastFrame = 57;
constexpr int kClickFramesBelow = 50;
constexpr int kClickW = 64, kClickH = 103;
constexpr int kFootLine = 105;
// The act's frames: closing runs 0..57 and shuts the leaves at the step from
// 41; opening runs 0..37, then 42 down to 38 (the leaves fold back at the
// step from 39), then 43..57.
constexpr int kShutAtStepFrom = 41;
constexpr int kOpenFirstPartEnd = 37;
constexpr int kOpenSwingTop = 42;
constexpr int kOpenAtStepFrom = 39;
constexpr int kOpenSwingBottom = 38;
constexpr int kOpenLastPartFirst = 43;
// Figures she keeps out of the way of: 25 and 52 anywhere, the people of the
// houses only near her door.
constexpr int kResidentsFirst = 61, kResidentsLast = 67;
constexpr int kResidentNearX = 300;

bool ResidentNearTheDoor()
{
    for (int id = kResidentsFirst; id <= kResidentsLast; ++id)
        if (IsOnStage(id) && FigurTable[id].X <= kResidentNearX)
            return true;
    return false;
}

void ShutterSound(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kShutterSample);
}

// The shutters' new look goes into the background picture at the scene
// point (157, Y), so that it outlasts her.
void PaintShutters(const FigurRecord &r, const FrameEntry &picture)
{
    const SceneRect point = {BackgroundX + scene::kShutterX, BackgroundBottom - SceneHeight() + r.Y, 0, 0};
    const SceneRect source = {picture.x, picture.y, picture.w, picture.h};
    SceneDCHold hold;
    if (BackgroundDC)
        DrawMaskedFrame(BackgroundDC, r.Sheets[0], r.Masks[0], point, source);
}

void SetUp(FigurRecord &r)
{
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = 0;
    r.AvoidOrder = 0;
    r.FrameW = 136;
    r.FrameH = 96;
    r.Spacing = 4;
    FigSetPause(r, Rand() % 241 + 240);
    LichtSteuerung(2, (Rand() & 3) + 5);
    LichtSteuerung(4, 1);
    r.State = 1;
}

void WaitToAppear(FigurRecord &r)
{
    if (PhaseChangeDue || ++r.WaitCount >= kGiveUpCalls || IsOnStage(kSamePerson)) {
        UnloadFigur(kShutterFigure);
        return;
    }
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder == 0 && !IsOnStage(25) && !IsOnStage(52) && !ResidentNearTheDoor()) {
        r.X = scene::kShutterFigureX;
        r.Y = scene::kShutterFigureY;
        r.FootLine = kFootLine;
        r.Speed = ((Rand() & 1) + 2) * (FigureSpeedBase() + 1);
        r.WaitCount = Rand() % 25 + 8;
        r.State = 2;
    }
    r.AvoidOrder = 0;
}

void LightTheHall(FigurRecord &r)
{
    if (--r.WaitCount >= 1)
        return;
    r.WaitCount = Rand() % 25 + 16;
    LichtSteuerung(2, Rand() % 3 + 3);
    r.State = 3;
}

void WaitAtTheDoor(FigurRecord &r)
{
    if (--r.WaitCount < 1) {
        r.Frame = r.Tick = 0;
        r.State = ShutterState != kShutterClosed ? 10 : 20;
        return;
    }
    if (r.AvoidOrder != 0 || (PhaseChangeDue && Minute < 10))
        UnloadFigur(kShutterFigure);
}

// A left click on her plays the sound file of the person she is.
void TakeClick(FigurRecord &r)
{
    if (r.Frame < kClickFramesBelow && FigLeftClickIn(r, kClickW, kClickH)) {
        PlayFigurSoundFile(&r.Sound, kSamePerson, r.X);
        FigTakeClick(false);
    }
}

void DrawAct(const FigurRecord &r) { FigDraw(r, 0, kFig055Frames[r.Frame]); }

void Close(FigurRecord &r)
{
    DrawAct(r);
    if (!FigTick(r, r.Speed))
        return;
    if (r.Frame == kShutAtStepFrom) {
        ShutterSound(r);
        PaintShutters(r, kFig055ShuttersClosed);
        ShutterState = kShutterClosed;
    }
    if (++r.Frame > kLastFrame) {
        r.Frame = 0;
        r.State = 100;
    }
}

void OpenComeOut(FigurRecord &r)
{
    DrawAct(r);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame > kOpenFirstPartEnd) {
        r.Frame = kOpenSwingTop;
        r.State = 21;
    }
}

void OpenSwing(FigurRecord &r)
{
    DrawAct(r);
    if (!FigTick(r, r.Speed))
        return;
    if (r.Frame == kOpenAtStepFrom) {
        PaintShutters(r, kFig055ShuttersOpen);
        ShutterState = kShutterOpen;
    }
    if (--r.Frame < kOpenSwingBottom) {
        r.Frame = kOpenLastPartFirst;
        r.State = 22;
    }
}

void OpenGoIn(FigurRecord &r)
{
    DrawAct(r);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame > kLastFrame) {
        r.Frame = 0;
        r.State = 100;
    }
}

}  // namespace

void Figur055Script()
{
    FigurRecord &r = FigurTable[kShutterFigure];
    switch (r.State) {
    case 0: SetUp(r); return;
    case 1: WaitToAppear(r); return;
    case 2: LightTheHall(r); return;
    case 3: WaitAtTheDoor(r); return;
    case 10: TakeClick(r); Close(r); return;
    case 20: TakeClick(r); OpenComeOut(r); return;
    case 21: TakeClick(r); OpenSwing(r); return;
    case 22: TakeClick(r); OpenGoIn(r); return;
    case 100:
        ShutterSound(r);
        r.Tick = 0;
        r.State = 101;
        return;
    case 101:
        if (++r.Tick >= kEndTicks)
            UnloadFigur(kShutterFigure);
        return;
    default: FigUnknownState(r); return;
    }
}
