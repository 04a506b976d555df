// The person who lives behind door 2, in four scripts: in the open doorway
// (28), at the window (29), walking by (31) and coming home (32).
// Figur028Home tells where the person is, so that the casting never shows
// it in two places; a click on 28, 31 or 32 plays the sound file the user
// chose for 29, the person's own.
#include "figures/figures.h"

#include "core/daterules.h"
#include "core/random.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig028_frames.h"
#include "fig029_frames.h"
#include "fig031_frames.h"
#include "fig032_frames.h"

namespace {

constexpr int kDoorway = 28, kWindow = 29, kWalker = 31, kComingHome = 32;
constexpr int kAtHome = 2, kAway = 0;
constexpr int kDoorSample = 22;
constexpr int kGoneTicks = 50;
constexpr int kDoorwayX = 411, kDoorwayY = 17;
constexpr int kWaitStep = 100;
constexpr int kWindowX = 324;
constexpr int kStairLight = 9;
constexpr int kWindowLights[] = {5, 6, 9};
constexpr int kLeavingLight = 5;
struct Door {
    int x, y, xOffset, rise;
};
constexpr Door kDoor2 = {429, 17, 1, 14};

// What the scripts keep from one appearance to the next.
struct DoorTwoState {
    int windowSheet = 0;  // 29: summer or winter
    int gait = 0;         // 31: walk offset 0, 5 or 10; 32: frame offset
    Door door = kDoor2;   // 32
};
DoorTwoState gDoorTwo;

bool WaitingGroupOnStage() { return IsOnStage(61) || IsOnStage(62) || IsOnStage(63) || IsOnStage(64); }

void PersonsSound(FigurRecord &r) { PlayFigurSoundFile(&r.Sound, kWindow, r.X); }

// A click in w x h plays the person's sound file.
void ClickPlays(FigurRecord &r, int w, int h)
{
    if (FigLeftClickIn(r, w, h)) {
        PersonsSound(r);
        FigTakeClick(false);
    }
}

void DoorSample(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors)) {
        PlayObjectSound(kDoorSample, &r.Sound, r.Id, r.X);
        UpdateObjectSound(&r.Sound, r.X);
    }
}

void LightsOn(std::initializer_list<int> lights)
{
    for (int n : lights)
        SetLicht(n, 1);
}

void Gone(FigurRecord &r)
{
    if (++r.Tick > kGoneTicks)
        UnloadFigur(r.Id);
}

// ---------------------------------------------------------------- 28

void DoorwaySetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    r.FrameH = kFig028FrameH;
    r.FrameW = kFig028FrameW;
    r.AvoidOrder = 0;
    FigPlaceInLane(r, h - 307, h - 257);
    FigSetPause(r, Rand() % 81 + 48);
    if (TimeOfDay != kDay)
        LightsOn({kStairLight});
    r.State = 1;
}

void DoorwayBehindTheDoor(FigurRecord &r)
{
    if (PhaseChangeDue) {
        r.State = 999;
        return;
    }
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder == 0 && !WaitingGroupOnStage()) {
        r.WaitCount = 0;
        r.X = kDoorwayX;
        FigSetY(r, kDoorwayY);
        r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
        r.State = 2;
    } else {
        // The waiting group stands before the door: look again later.
        r.Direction = r.Avoids = 0;
        r.WaitCount = kWaitStep;
        r.State = 900;
    }
    r.AvoidOrder = 0;
}

void DoorwayWait(FigurRecord &r)
{
    if (--r.WaitCount < 1)
        r.State = 1;
}

// Frames first..first + count - 1, each lasting its limit; true at the end.
bool DoorwayRun(FigurRecord &r, int first, int count, int limit)
{
    FigDraw(r, 0, kFig028Frames[first + r.Frame]);
    if (!FigTick(r, limit) || ++r.Frame < count)
        return false;
    r.Frame = 0;
    return true;
}

void DoorwayLook(FigurRecord &r)
{
    if (DoorwayRun(r, 0, 41, Rand() % 9 + r.Speed))
        r.State = Rand() % 5 == 0 ? 10 : 3;
}

void DoorwayBackIn(FigurRecord &r)
{
    if (!DoorwayRun(r, 41, 10, Rand() % 6 + r.Speed))
        return;
    DoorSample(r);
    Figur028Home = kAtHome;
    r.State = 999;
}

void DoorwayComeOut(FigurRecord &r)
{
    if (!DoorwayRun(r, 51, 9, Rand() % 6 + r.Speed))
        return;
    DoorSample(r);
    r.Direction = r.Avoids = -1;
    FigSetY(r, r.Y + 23);
    Figur028Home = kAway;
    r.Speed = (Rand() & 3) + 2 * FigureSpeedBase() + 5;
    r.State = 11;
}

void DoorwayStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig028Frames[61 + r.Frame]);
    if (!FigTick(r, Rand() % 10 + r.Speed))
        return;
    ClickPlays(r, 72, 91);
    if (++r.Frame < 11)
        return;
    r.Frame = 0;
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        r.AvoidOrder = 0;
    } else {
        r.State = 12;
    }
}

// Runs of three frames; now and then the walk skips to another run.
bool DoorwaySkip(FigurRecord &r)
{
    switch (r.Frame) {
    case 0:
        if ((Rand() & 3) != 0)
            return false;
        r.Frame = (Rand() & 1) == 1 ? 3 : 6;
        return true;
    case 3:
        if ((Rand() & 3) != 0)
            return false;
        r.Frame = 9;
        return true;
    case 6:
        if ((Rand() & 3) != 0)
            return false;
        r.Frame = (Rand() & 1) == 1 ? 3 : 9;
        return true;
    default: return false;
    }
}

void DoorwayWalkLeft(FigurRecord &r)
{
    FigDraw(r, 0, kFig028Frames[72 + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, 72, 91);
    r.Speed = (Rand() & 3) + 2 * FigureSpeedBase() + 5;
    if (DoorwaySkip(r))
        return;
    if (++r.Frame < 12)
        return;
    r.Frame = 0;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        r.Direction = r.Avoids = 0;
        r.AvoidOrder = 0;
        r.State = 11;
        return;
    }
    if (r.X < -90) {
        r.AvoidOrder = 0;
        r.State = 999;
        return;
    }
    if (r.AvoidOrder == 0 && (Rand() & 1) == 0)
        FigDrift(r, Rand() % 15 + 2);
    r.AvoidOrder = 0;
    r.X -= 20;
}

// ---------------------------------------------------------------- 29

void WindowSetUp(FigurRecord &r)
{
    FigSetName(r);
    gDoorTwo.windowSheet = Season - 1;
    r.X = kWindowX;
    r.Speed = Rand() % 5 + FigureSpeedBase() + 4;
    r.FrameH = kFig029FrameH;
    r.FrameW = kFig029FrameW;
    FigSetY(r, SceneHeight() - 331);
    r.Direction = r.Avoids = r.AvoidOrder = 0;
    FigSetPause(r, Rand() % 81 + 48);
    if (TimeOfDay != kDay)
        LightsOn({5, 6, 9});
    r.State = 1;
}

void WindowDraw(FigurRecord &r) { FigDraw(r, gDoorTwo.windowSheet, kFig029Frames[r.Frame]); }

void WindowAppear(FigurRecord &r)
{
    WindowDraw(r);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, kFig029FrameW, kFig029FrameH);
    if (++r.Frame < 24)
        return;
    r.WaitCount = 0;
    r.Gait = (Rand() % 6 + 3) * (FigureSpeedBase() + 3);
    r.State = 2;
}

void WindowLookOut(FigurRecord &r)
{
    WindowDraw(r);
    if (!FigTick(r, r.Gait))
        return;
    r.Gait = (Rand() % 6 + 3) * (FigureSpeedBase() + 3);
    ClickPlays(r, kFig029FrameW, kFig029FrameH);
    if (++r.Frame < 48)
        return;
    r.Frame = Rand() % 13 + 32;
    if (++r.WaitCount > Rand() % 3 + 1) {
        r.WaitCount = 0;
        r.State = 3;
    }
}

void WindowLeave(FigurRecord &r)
{
    WindowDraw(r);
    if (!FigTick(r, r.Speed))
        return;
    if (r.Frame < 60)
        ClickPlays(r, kFig029FrameW, kFig029FrameH);
    else if (r.Speed >= 6 && Rand() % 5 == 0)
        --r.Speed;
    if (++r.Frame < 72)
        return;
    r.Frame = 0;
    LightsOn({kLeavingLight});
    UnloadFigur(kWindow);
}

// Called to the window by the bell of door 2: the person takes a moment.
void WindowCalled(FigurRecord &r)
{
    if (++r.WaitCount > Rand() % 13 + 4) {
        r.WaitCount = 0;
        for (int n : kWindowLights)
            SetLicht(n, 1);
        r.State = 101;
    }
}

void WindowComing(FigurRecord &r)
{
    if (++r.WaitCount > Rand() % 21 + 10) {
        r.WaitCount = 0;
        r.State = 0;
    }
}

// ---------------------------------------------------------------- 31

void WalkerSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.Speed = (Rand() & 3) + 3 + FigureSpeedBase();
    r.FrameH = kFig031FrameH;
    r.X = -72 - Rand() % 71;
    r.Spacing = 30;
    r.FrameW = kFig031FrameW;
    r.AvoidOrder = 0;
    FigPlaceInLane(r, h - 311, h - 251);
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Rand() % 97 + 32);
    gDoorTwo.gait = 0;
    r.State = 1;
}

void WalkerStop(FigurRecord &r)
{
    r.WaitCount = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 0;
    r.State = 2;
}

void WalkerRight(FigurRecord &r)
{
    r.Direction = r.Avoids = 1;
    FigDraw(r, 0, kFig031Frames[gDoorTwo.gait + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < 5)
        return;
    r.Frame = 0;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        WalkerStop(r);
    } else if (++r.WaitCount > Rand() % 61 + 15) {
        WalkerStop(r);
    } else if (r.X > SceneWidth()) {
        UnloadFigur(kWalker);
        return;
    } else {
        if (r.AvoidOrder == 0 && (Rand() & 1) == 0)
            FigDrift(r, Rand() % 15 + 2);
        r.X += 22;
    }
    r.AvoidOrder = 0;
    r.Speed = Rand() % 6 + 3 + FigureSpeedBase();
    if ((Rand() & 1) == 0)
        gDoorTwo.gait = (Rand() % 3) * 5;
}

void WalkerStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig031Frames[15 + r.Frame]);
    if (!FigTick(r, (Rand() % 7 + 6) * (FigureSpeedBase() + 3)))
        return;
    ClickPlays(r, kFig031FrameW, kFig031FrameH);
    if (++r.Frame < 9)
        return;
    r.Frame = Rand() % 7;
    if (++r.WaitCount <= Rand() % 3 + 1)
        return;
    r.WaitCount = 0;
    r.Frame = 0;
    switch (Rand() % 3) {
    case 0:
        r.X += 22;
        r.State = 1;
        break;
    case 1:
        r.Speed = (Rand() % 3 + 2) * (FigureSpeedBase() + 3);
        r.State = 2 + (Rand() & 1);
        break;
    default: r.State = 30; break;
    }
}

// The act (3) and the turn (30) share their timing and clicks.
bool WalkerActRun(FigurRecord &r, int first, int count)
{
    FigDraw(r, 0, kFig031Frames[first + r.Frame]);
    if (!FigTick(r, r.Speed))
        return false;
    ClickPlays(r, kFig031FrameW, kFig031FrameH);
    r.Speed = (Rand() % 3 + 2) * (FigureSpeedBase() + 3);
    if (++r.Frame < count)
        return false;
    r.Frame = 0;
    return true;
}

void WalkerAct(FigurRecord &r)
{
    if (!WalkerActRun(r, 20, 8))
        return;
    if ((Rand() & 1) == 1) {
        r.Direction = r.Avoids = -1;
        r.State = 30;
    } else {
        r.State = 2;
    }
}

void WalkerTurn(FigurRecord &r)
{
    if (!WalkerActRun(r, 49, 16))
        return;
    r.Direction = r.Avoids = -1;
    gDoorTwo.gait = (Rand() & 1) * 5;
    r.State = 31;
}

void WalkerLeft(FigurRecord &r)
{
    FigDraw(r, 0, kFig031Frames[65 + gDoorTwo.gait + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < 5)
        return;
    r.Frame = 0;
    FigApplyAvoid(r);
    if (r.X < -r.FrameW) {
        UnloadFigur(kWalker);
        return;
    }
    if (r.ScriptVar == 0) {
        if (r.AvoidOrder == 0 && (Rand() & 1) == 0)
            FigDrift(r, Rand() % 15 + 2);
        r.X -= 22;
    } else {
        r.WaitCount = 0;
        r.ScriptVar = 0;
        r.Direction = r.Avoids = 0;
        r.State = 3;
    }
    r.AvoidOrder = 0;
    r.Speed = ((Rand() & 1) + 2) * (FigureSpeedBase() + 3);
    if (Rand() % 3 == 0)
        gDoorTwo.gait = (Rand() & 1) * 5;
}

// ---------------------------------------------------------------- 32

int DoorTop() { return gDoorTwo.door.y + gDoorTwo.door.rise; }

void HomeSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.DriftStep = 1;
    r.FrameH = kFig032FrameH;
    r.Spacing = 4;
    r.FrameW = kFig032FrameW;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    FigSetPause(r, Rand() % 33 + 48);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
    FigPlaceInLane(r, h - 90 - 210, h - 90 - 185);
    gDoorTwo.door = kDoor2;
    r.X = -78;
    r.Direction = r.Avoids = 1;
    gDoorTwo.gait = 0;
    r.State = 1;
}

void TurnToTheDoor(FigurRecord &r)
{
    gDoorTwo.door = kDoor2;
    r.Direction = r.Avoids = -2;
    r.Frame = 0;
    r.State = 3;
}

void HomeWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig032Frames[6 + gDoorTwo.gait + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < 5)
        return;
    r.Frame = 0;
    r.X += 22;
    gDoorTwo.gait = Rand() % 3 == 0 ? (Rand() % 3) * 5 : 0;
    FigApplyAvoid(r);
    if (FigLeftClickIn(r, 48, 91)) {
        PersonsSound(r);
        r.ScriptVar = 1;  // stops, when still far from the door
        FigTakeClick(true);
    }
    const Door &d = gDoorTwo.door;
    if (r.ScriptVar != 0 && r.X < d.x - 50) {
        r.ScriptVar = 0;
        r.Speed = Rand() % 17 + FigureSpeedBase() + 16;
        r.X -= 22;
        r.State = 2;
    } else if (r.X > SceneWidth()) {
        // Past the door and off: the person stays away.
        Figur028Home = kAway;
        UnloadFigur(kComingHome);
        return;
    } else if (r.X >= d.x + d.xOffset - 25) {
        TurnToTheDoor(r);
        r.Speed += 2;
        r.X -= 22;
    } else if (r.AvoidOrder == 0 && Rand() % 11 == 0) {
        FigDrift(r, Rand() % 5 + 2);
    }
    r.AvoidOrder = 0;
}

void HomeStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig032Frames[21 + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, 48, 91);
    if (++r.Frame < 8)
        return;
    r.Frame = (Rand() & 3) + 2;
    if (r.AvoidOrder == 0) {
        const Door &d = gDoorTwo.door;
        r.ScriptVar = 0;
        r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
        if (r.X >= d.x - 20 && r.X <= d.x + 15) {
            TurnToTheDoor(r);
        } else {
            r.Frame = 0;
            r.X += 22;
            r.Direction = r.Avoids = 1;
            gDoorTwo.gait = 0;
            r.State = 1;
        }
    }
    r.AvoidOrder = 0;
}

void HomeTurn(FigurRecord &r)
{
    FigDraw(r, 0, kFig032Frames[29 + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < 2)
        return;
    r.Frame = 0;
    gDoorTwo.gait = 23;
    r.State = 4;
}

void HomeClimb(FigurRecord &r)
{
    const int entry = r.ScriptVar != 0 ? 6 + gDoorTwo.gait : 51 + r.Frame;
    FigDraw(r, 0, kFig032Frames[entry]);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, 48, 91);
    if (++r.Frame >= 6) {
        r.Frame = 0;
        // Someone on the steps: wait there, looking about.
        if (r.AvoidOrder != 0) {
            r.ScriptVar = 1;
            gDoorTwo.gait = Rand() % 22 + 23;
            r.Speed = Rand() % 17 + FigureSpeedBase() + 16;
        } else {
            r.ScriptVar = 0;
            r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
        }
    }
    if (r.AvoidOrder == 0 && (r.Frame == 1 || r.Frame == 3)) {
        const Door &d = gDoorTwo.door;
        if (r.X != d.x)
            r.X += r.X < d.x ? 2 : -2;
        FigSetY(r, r.Y - 5);
        if (r.Y <= DoorTop()) {
            r.X = d.x;
            FigSetY(r, d.y);
            r.Frame = 0;
            r.State = 5;
        }
    }
    r.AvoidOrder = 0;
}

void HomeGoIn(FigurRecord &r)
{
    FigDraw(r, 0, kFig032Frames[57 + r.Frame]);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + 2) || ++r.Frame < 17)
        return;
    DoorSample(r);
    r.Frame = 0;
    r.Direction = r.Avoids = 0;
    Figur028Home = kAtHome;
    r.State = 999;
}

}  // namespace

void Figur028Script()
{
    FigurRecord &r = FigurTable[kDoorway];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: DoorwaySetUp(r); return;
    case 1: DoorwayBehindTheDoor(r); return;
    case 2: DoorwayLook(r); return;
    case 3: DoorwayBackIn(r); return;
    case 10: DoorwayComeOut(r); return;
    case 11: DoorwayStand(r); return;
    case 12: DoorwayWalkLeft(r); return;
    case 900: DoorwayWait(r); return;
    case 999: Gone(r); return;
    default: return;
    }
}

void Figur029Script()
{
    FigurRecord &r = FigurTable[kWindow];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: WindowSetUp(r); return;
    case 1: WindowAppear(r); return;
    case 2: WindowLookOut(r); return;
    case 3: WindowLeave(r); return;
    case 100: WindowCalled(r); return;
    case 101: WindowComing(r); return;
    default: return;
    }
}

void Figur031Script()
{
    FigurRecord &r = FigurTable[kWalker];
    if (FigClickBlock(r))
        return;
    // Clicked while walking right, the person goes into the act at once.
    if (r.State == 1 && FigLeftClickIn(r, 48, 91)) {
        PersonsSound(r);
        r.Frame = 0;
        r.State = 3;
        FigTakeClick(true);
    }
    switch (r.State) {
    case 0: WalkerSetUp(r); return;
    case 1: WalkerRight(r); return;
    case 2: WalkerStand(r); return;
    case 3: WalkerAct(r); return;
    case 30: WalkerTurn(r); return;
    case 31: WalkerLeft(r); return;
    default: return;
    }
}

void Figur032Script()
{
    FigurRecord &r = FigurTable[kComingHome];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: HomeSetUp(r); return;
    case 1: HomeWalk(r); return;
    case 2: HomeStand(r); return;
    case 3: HomeTurn(r); return;
    case 4: HomeClimb(r); return;
    case 5: HomeGoIn(r); return;
    case 999: Gone(r); return;
    default: return;
    }
}

void ResetFigur029() { gDoorTwo = DoorTwoState{}; }
