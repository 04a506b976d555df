// Figures 7, 8 and 9: people who only ever get out of the bus. Each stands
// beside the stop post, looks about and walks off to the left; one body of
// script over a table of what differs between them.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig007_frames.h"
#include "fig008_frames.h"
#include "fig009_frames.h"

namespace {

struct Passenger;
using PassengerRule = void (*)(const Passenger &p, FigurRecord &r);

// What differs between the three.
struct Passenger {
    int id;
    const FrameEntry *frames;
    int frameW, frameH;
    bool seasonSheet;  // a winter sheet of its own
    int postOffMin, postOffSpan;  // X = PostX - rand() % span - min
    int spacing;
    int laneTop, laneBottom;  // H minus these
    int pauseMin, pauseSpan;
    int standEntry;
    int clickEntry;   // the rectangle of a click while standing
    bool clickWalking;
    bool strideBeforeExit;
    int stride;
    int stepBack;     // blocked while walking: back to the left by this
    int exitBound;    // gone once X is below this
    PassengerRule setSpeed;
    int (*lookTick)(const FigurRecord &r);  // ticks a frame of the look lasts
    PassengerRule lookCycle, leave, waitAnew;
};

int B() { return FigureSpeedBase(); }

// ---- figure 7
void SevenSpeed(const Passenger &, FigurRecord &r) { r.Speed = Rand() % 3 + B() + 3; }
int SevenTick(const FigurRecord &r) { return (Rand() % 6 + 3) * r.Speed; }
void SevenCycle(const Passenger &, FigurRecord &r)
{
    if (r.Frame > (Rand() & 1) + 4) {
        r.Frame = Rand() & 1;
        --r.WaitCount;
    }
}
// She looks about once more than her count: she leaves below 0.
void SevenLeave(const Passenger &, FigurRecord &r)
{
    if (r.WaitCount >= 0)
        return;
    r.X += 10;
    r.LaneYMax = r.Y;
    r.LaneYMin = SceneHeight() - r.FrameH - 220;
    r.Direction = r.Avoids = -1;
    r.State = 102;
}
void SevenWait(const Passenger &, FigurRecord &r) { r.WaitCount = Rand() & 1; }

// ---- figure 8
void EightSpeed(const Passenger &, FigurRecord &r) { r.Speed = (Rand() % 13 + 6) * (B() + 1); }
int EightTick(const FigurRecord &r) { return r.Speed; }
void EightCycle(const Passenger &, FigurRecord &r)
{
    if (r.Frame > Rand() % 3 + 2) {
        r.Frame = Rand() & 3;
        r.Speed = (Rand() % 13 + 6) * (B() + 2);
        --r.WaitCount;
    }
}
void EightLeave(const Passenger &, FigurRecord &r)
{
    if (r.WaitCount >= 1 || r.AvoidOrder != 0)
        return;
    r.LaneYMax = r.Y;
    r.LaneYMin = SceneHeight() - r.FrameH - 220;
    r.Direction = r.Avoids = -1;
    r.Frame = r.Tick = 0;
    r.Speed = (Rand() & 3) + B() + 5;
    r.State = 102;
}
void EightWait(const Passenger &, FigurRecord &r) { r.WaitCount = Rand() % 13 + 6; }

// ---- figure 9: her look has a tempo of its own, whatever the speed setting
int NineTick(const FigurRecord &) { return Rand() % 28 + 12; }
void NineCycle(const Passenger &, FigurRecord &r)
{
    if (r.Frame >= 2) {
        r.Frame = 0;
        --r.WaitCount;
    }
}
void NineLeave(const Passenger &, FigurRecord &r)
{
    if (r.WaitCount >= 1 || r.AvoidOrder != 0)
        return;
    r.LaneYMin = SceneHeight() - r.FrameH - 200;
    r.State = 102;
}
void NineWait(const Passenger &, FigurRecord &r) { r.WaitCount = Rand() % 3 + 2; }

const Passenger kPassengers[] = {
    {7, kFig007Frames, kFig007FrameW, kFig007FrameH, false, 56, 19, 8, 241, 234, 48, 65, 4, 0, true, true, 14,
     21, -56, SevenSpeed, SevenTick, SevenCycle, SevenLeave, SevenWait},
    {8, kFig008Frames, kFig008FrameW, kFig008FrameH, true, 74, 21, 9, 249, 239, 32, 65, 4, 0, false, true, 13,
     27, -100, EightSpeed, EightTick, EightCycle, EightLeave, EightWait},
    {9, kFig009Frames, kFig009FrameW, kFig009FrameH, false, 30, 31, 7, 234, 227, 32, 65, 13, 13, true, false, 15,
     11, -64, SevenSpeed, NineTick, NineCycle, NineLeave, NineWait},
};

// The sheet each draws from: summer or winter clothes for figure 8.
int gPassengerSheet[3] = {0, 0, 0};

int SlotOf(const Passenger &p) { return static_cast<int>(&p - kPassengers); }

void Draw(const Passenger &p, FigurRecord &r, int entry) { FigDraw(r, gPassengerSheet[SlotOf(p)], p.frames[entry]); }

bool ClickOn(const Passenger &p, FigurRecord &r, int entry)
{
    if (BusHaltedNow() || !FigLeftClickIn(r, p.frames[entry].w, p.frames[entry].h))
        return false;
    FigTakeClick(false);
    FigPlayOwnSound(r);
    return true;
}

void SetUp(const Passenger &p, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    gPassengerSheet[SlotOf(p)] = p.seasonSheet ? Season - 1 : 0;
    r.Frame = r.Tick = 0;
    r.X = StopPostX() - Rand() % p.postOffSpan - p.postOffMin;
    r.FrameW = p.frameW;
    r.FrameH = p.frameH;
    r.Spacing = p.spacing;
    FigPlaceInLane(r, h - p.laneTop, h - p.laneBottom);
    FigSetPause(r, Rand() % p.pauseSpan + p.pauseMin);
    p.setSpeed(p, r);
    r.Direction = p.id == 9 ? -1 : 0;
    r.Avoids = -1;
    r.WantsBus = 0;
    r.WaitCount = p.id == 9 ? Rand() % 5 + 1 : Rand() % 10 + 1;
    r.DriftStep = -1;
    r.State = 101;
}

void LookAbout(const Passenger &p, FigurRecord &r)
{
    Draw(p, r, p.standEntry + r.Frame);
    if (FigTick(r, p.lookTick(r))) {
        ++r.Frame;
        ClickOn(p, r, p.clickEntry);
        p.lookCycle(p, r);
    }
    p.leave(p, r);
    r.AvoidOrder = 0;
}

void WalkOff(const Passenger &p, FigurRecord &r)
{
    Draw(p, r, r.Frame);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        FigApplyAvoid(r);
        if (p.clickWalking)
            ClickOn(p, r, 0);
        if (r.ScriptVar != 0) {
            r.ScriptVar = 0;
            r.AvoidOrder = 0;
            r.X -= p.stepBack;
            p.waitAnew(p, r);
            r.State = 101;
            return;
        }
        if (!p.strideBeforeExit && r.X < p.exitBound) {
            UnloadFigur(p.id);
            return;
        }
        r.X -= p.stride;
        if (p.strideBeforeExit && r.X < p.exitBound) {
            UnloadFigur(p.id);
            return;
        }
    }
    r.AvoidOrder = 0;
}

void PassengerScript(const Passenger &p)
{
    FigurRecord &r = FigurTable[p.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    // Never from a side: only out of the bus.
    case 0: UnloadFigur(p.id); return;
    case 100:
        SetUp(p, r);
        LookAbout(p, r);
        return;
    case 101: LookAbout(p, r); return;
    case 102: WalkOff(p, r); return;
    default: return;
    }
}

}  // namespace

void Figur007Script() { PassengerScript(kPassengers[0]); }
void Figur008Script() { PassengerScript(kPassengers[1]); }
void Figur009Script() { PassengerScript(kPassengers[2]); }

void ResetFigur007() { gPassengerSheet[0] = 0; }
void ResetFigur008() { gPassengerSheet[1] = 0; }
void ResetFigur009() { gPassengerSheet[2] = 0; }
