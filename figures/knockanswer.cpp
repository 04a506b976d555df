// Figure 58, the baker's wife answering at door 1: when the way below is
// clear she opens the door a hand's breadth, leans out, looks about and goes
// back in. She is the same person as figure 55 and wears one of three
// costumes for the whole act.
#include "figures/figures.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene_geometry.h"
#include "services/sound.h"

// The frame table comes with the pictures, from the art generator.
#include "fig058_frames.h"

namespace {

constexpr int kDoorFigure = 58;
constexpr int kCostumes = 3;
constexpr int kGiveUpCalls = 251;
constexpr int kLastFrame = 31;
constexpr int kClickFramesBelow = 30;
constexpr int kCloseSample = 21;
constexpr int kEndTicks = 25;
constexpr int kLightSwitch = 1;
constexpr int kHallLight = 2;

// The costume of the act.
int gSheet = 0;

bool NearerThan(int id, int x)
{
    return IsOnStage(id) && FigurTable[id].X < x;
}

// The people who would pass right under her: the visitors and residents
// while they are close to door 1.
bool WayBelowBusy()
{
    if (IsOnStage(25) || IsOnStage(52) || NearerThan(61, 251) || NearerThan(63, 281))
        return true;
    for (int id : {62, 64, 65, 66, 67})
        if (NearerThan(id, 201))
            return true;
    return false;
}

void SetUp(FigurRecord &r)
{
    FigSetName(r);
    gSheet = Rand() % kCostumes;
    r.Frame = r.Tick = r.WaitCount = r.AvoidOrder = 0;
    r.FrameH = 96;
    r.Spacing = 4;
    r.FrameW = 48;
    FigSetPause(r, Rand() % 25 + 24);
    if (TimeOfDay != kDay)
        LichtSteuerung(kLightSwitch, (Rand() & 3) + 5);
    r.State = 1;
}

void WaitToAppear(FigurRecord &r)
{
    r.Direction = r.Avoids = 2;
    if (PhaseChangeDue || ++r.WaitCount >= kGiveUpCalls) {
        UnloadFigur(kDoorFigure);
        return;
    }
    if (r.AvoidOrder == 0 && !WayBelowBusy()) {
        r.X = scene::kWindowFigure58X;
        r.Y = scene::kWindowFigure58Y;
        r.FootLine = r.Y + r.FrameH;
        r.Speed = 10;
        r.WaitCount = TimeOfDay == kNight ? Rand() % 73 + 8 : Rand() % 25 + 8;
        r.State = 2;
    }
    r.AvoidOrder = 0;
}

void LightTheHall(FigurRecord &r)
{
    if (--r.WaitCount > 0)
        return;
    r.WaitCount = Rand() % 25 + 16;
    if (TimeOfDay != kDay) {
        LichtSteuerung(kHallLight, Rand() % 3 + 3);
        r.State = 3;
    } else {
        r.State = 4;
    }
    r.Frame = r.Tick = 0;
}

void WaitBehindTheDoor(FigurRecord &r)
{
    if (--r.WaitCount <= 0) {
        r.Frame = r.Tick = 0;
        r.State = 4;
        return;
    }
    if (r.AvoidOrder != 0 || (PhaseChangeDue && Minute < 10))
        UnloadFigur(kDoorFigure);
}

void Act(FigurRecord &r)
{
    const FrameEntry &first = kFig058Frames[0];
    if (r.Frame < kClickFramesBelow && FigLeftClickIn(r, first.w, first.h)) {
        FigPlayOwnSound(r);
        FigTakeClick(false);
    }
    FigDraw(r, gSheet, kFig058Frames[r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    const int slowest = TimeOfDay == kNight ? 4 : 2;
    r.Speed = (Rand() % (6 - slowest) + slowest) * (FigureSpeedBase() + 1);
    if (++r.Frame > kLastFrame) {
        r.Frame = 0;
        r.State = 5;
    }
}

}  // namespace

void Figur058Script()
{
    FigurRecord &r = FigurTable[kDoorFigure];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: SetUp(r); return;
    case 1: WaitToAppear(r); return;
    case 2: LightTheHall(r); return;
    case 3: WaitBehindTheDoor(r); return;
    case 4: Act(r); return;
    case 5:
        if (SoundSwitchOn(kOptDoors))
            FigPlaySample(r, kCloseSample);
        r.Tick = 0;
        r.State = 6;
        return;
    case 6:
        if (++r.Tick >= kEndTicks)
            UnloadFigur(kDoorFigure);
        return;
    default: FigUnknownState(r); return;
    }
}

void ResetFigur058() { gSheet = 0; }
