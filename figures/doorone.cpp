// Figure 25, the resident of doors 1 and 2, whose story runs across her
// appearances: she walks in from the left, climbs the steps of her door and
// goes in; the next time she comes out of that door, steps down and walks
// off. Figur025HouseDoor holds the door she is behind. Her pictures come in
// one extra sheet, the arrival's or the departure's, asked for at set-up.
#include "figures/figures.h"

#include "base/debuglog.h"
#include "core/daterules.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig025_frames.h"

namespace {

constexpr int kResident = 25;
constexpr int kSheet = 1;
constexpr int kDoorSample = 22;
constexpr int kSheetWaitCalls = 401;
constexpr int kInsideWaitCalls = 1001;
constexpr int kGoneTicks = 51;
constexpr int kArrival = -1, kDeparture = 0;
constexpr int kLeftExit = 0, kRightExit = 5;
constexpr int kWalkStride = 25, kLeaveStride = 20;
// The click boxes: her first walking frame, and the first door frame.
constexpr int kArrivalBoxW = 48, kArrivalBoxH = 79, kDepartureBoxW = 56, kDepartureBoxH = 91;

struct Door {
    int x, y, xOffset, rise;
};
constexpr Door kDoors[3] = {{0, 0, 0, 0}, {93, 11, 0, 15}, {429, 17, 0, 15}};

// What she keeps from one appearance to the next.
struct ResidentState {
    int door = 0;      // 1 or 2; 0 when she left to the left, 5 to the right
    Door at = kDoors[2];
    int offset = 0;    // frame offset: second gait, steps
    int scene = kArrival;
};
ResidentState gResident;

int DoorTop() { return gResident.at.y + gResident.at.rise; }

void TakeDoor()
{
    const int d = gResident.door == 1 ? 1 : 2;
    gResident.at = kDoors[d];
}

void Draw(FigurRecord &r, int entry) { FigDraw(r, kSheet, kFig025Frames[entry]); }

void ClickPlays(FigurRecord &r, int w, int h)
{
    if (FigLeftClickIn(r, w, h)) {
        FigPlayOwnSound(r);
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

bool WaitingGroupOnStage() { return IsOnStage(61) || IsOnStage(62) || IsOnStage(63) || IsOnStage(64); }

int NormalSpeed() { return Rand() % 3 + FigureSpeedBase() + 6; }
int HeldSpeed() { return Rand() % 25 + FigureSpeedBase() + 12; }

void ResidentSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.FrameH = kFig025FrameH;
    r.DriftStep = 1;
    r.Spacing = 4;
    r.FrameW = kFig025FrameW;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    FigSetPause(r, Rand() % 25 + 24);
    gResident.offset = 0;
    r.Speed = NormalSpeed();
    FigPlaceInLane(r, h - 78 - 220, h - 78 - 185);
    char name[kFigurNameLen];
    if (Figur025HouseDoor != 0) {
        gResident.scene = kDeparture;
        gResident.door = Figur025HouseDoor;
        // Door 1 lets her out by day only; she stays inside and asks for
        // nothing.
        if (gResident.door != 2 && TimeOfDay != kDay) {
            UnloadFigur(kResident);
            return;
        }
        if (gResident.door == 2)
            StrPrintfN(name, sizeof name, "FIG025_%02d_02_G", TimeOfDay);
        else
            StrPrintfN(name, sizeof name, "FIG025_%02d_01_G%d", TimeOfDay, 1 + (Rand() & 1));
        if (!LoadFigurPlus(kResident, kSheet, name)) {
            UnloadFigur(kResident);
            return;
        }
        TakeDoor();
        r.Direction = r.Avoids = 2;
        r.X = gResident.at.x + gResident.at.xOffset;
        FigSetY(r, gResident.at.y);
    } else {
        gResident.scene = kArrival;
        if (IsOnStage(58))
            gResident.door = 2;
        else
            gResident.door = (TimeOfDay == kDay && (Rand() & 3) == 0) ? 1 : 2;
        StrPrintfN(name, sizeof name, "FIG025_%02d_%02d_K", TimeOfDay, gResident.door);
        if (!LoadFigurPlus(kResident, kSheet, name)) {
            UnloadFigur(kResident);
            return;
        }
        r.Direction = r.Avoids = 1;
        r.X = Rand() % 11 - 100;
        TakeDoor();
    }
    r.State = 1;
}

void WaitForSheet(FigurRecord &r)
{
    if (r.Sheets[kSheet] && r.Masks[kSheet]) {
        r.Frame = 0;
        r.State = gResident.scene != kDeparture ? 100 : 200;
    } else if (++r.Frame >= kSheetWaitCalls) {
        UnloadFigur(kResident);
    }
}

// ---------------------------------------------------------------- arrival

void ArriveWalk(FigurRecord &r)
{
    Draw(r, 72 + gResident.offset + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += kWalkStride;
    if ((Rand() & 1) == 0)
        gResident.offset = Rand() % 3 == 0 ? 4 : 0;
    FigApplyAvoid(r);
    ClickPlays(r, kArrivalBoxW, kArrivalBoxH);
    const Door &d = gResident.at;
    if (r.ScriptVar != 0 && r.X < d.x - 50) {
        // Someone in her way, still far from her door: she waits.
        r.ScriptVar = 0;
        r.Speed = HeldSpeed();
        r.X -= kWalkStride;
        r.State = 102;
    } else if (r.X > SceneWidth()) {
        Figur025HouseDoor = 0;
        UnloadFigur(kResident);
        return;
    } else if (r.X >= d.x + d.xOffset - 15) {
        TakeDoor();
        r.Direction = r.Avoids = -2;
        r.Speed += 2;
        r.X -= kWalkStride;
        r.State = 103;
    } else if (r.AvoidOrder == 0 && Rand() % 11 == 0) {
        FigDrift(r, Rand() % 5 + 2);
    }
    r.AvoidOrder = 0;
}

void ArriveStand(FigurRecord &r)
{
    Draw(r, 80 + r.Frame);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, kArrivalBoxW, kArrivalBoxH);
    if (++r.Frame < 8)
        return;
    r.Frame = (Rand() & 3) + 2;
    if (r.AvoidOrder != 0) {
        r.AvoidOrder = 0;
        return;
    }
    r.Speed = NormalSpeed();
    const Door &d = gResident.at;
    if (r.X >= d.x - 15 && r.X <= d.x + 20) {
        TakeDoor();
        r.Direction = r.Avoids = -2;
        r.Frame = 0;
        r.State = 103;
    } else {
        r.Frame = 0;
        r.X += kWalkStride;
        r.State = 100;
    }
}

void ArriveTurn(FigurRecord &r)
{
    Draw(r, 88 + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < 2)
        return;
    r.Frame = 0;
    gResident.offset = 22;
    r.State = 104;
}

void ArriveClimb(FigurRecord &r)
{
    Draw(r, r.ScriptVar != 0 ? 72 + gResident.offset : 90 + r.Frame);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, kArrivalBoxW, kArrivalBoxH);
    if (++r.Frame >= 5) {
        r.Frame = 0;
        // Someone on the steps: she waits there.
        if (r.AvoidOrder != 0) {
            r.ScriptVar = 1;
            gResident.offset = (Rand() & 1) == 1 ? 22 : 25;
            r.Speed = HeldSpeed();
        } else {
            r.ScriptVar = 0;
            r.Speed = NormalSpeed();
        }
    }
    if (r.AvoidOrder == 0 && (r.Frame == 1 || r.Frame == 3)) {
        const Door &d = gResident.at;
        if (r.X != d.x)
            r.X += r.X < d.x ? 2 : -2;
        FigSetY(r, r.Y - 7);
        if (r.Y <= DoorTop()) {
            FigSetY(r, d.y);
            r.X = d.x;
            r.Frame = 0;
            r.State = 105;
        }
    }
    r.AvoidOrder = 0;
}

void ArriveGoIn(FigurRecord &r)
{
    Draw(r, 101 + r.Frame);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + 2) || ++r.Frame < 17)
        return;
    DoorSample(r);
    r.Frame = 0;
    r.Direction = r.Avoids = 0;
    Figur025HouseDoor = gResident.door;
    r.State = 999;
}

// ---------------------------------------------------------------- departure

void Inside(FigurRecord &r)
{
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder == 0 && !WaitingGroupOnStage()) {
        r.Frame = r.WaitCount = r.Tick = 0;
        r.State = 201;
    } else if (PhaseChangeDue || ++r.WaitCount >= kInsideWaitCalls) {
        // She stays inside until another time.
        r.State = 999;
    }
    r.AvoidOrder = 0;
}

void ComeOut(FigurRecord &r)
{
    Draw(r, 6 + r.Frame);
    if (!FigTick(r, Rand() % 5 + 1) || ++r.Frame < 17)
        return;
    r.Frame = 0;
    r.WaitCount = (Rand() & 3) + 4;
    r.Direction = r.Avoids = 2;
    r.X = gResident.at.x + gResident.at.xOffset;
    FigSetY(r, DoorTop());
    Figur025HouseDoor = 0;
    gResident.offset = Rand() % 7 + 18;
    r.ScriptVar = 1;
    r.Speed = NormalSpeed();
    DoorSample(r);
    r.State = 202;
}

void StepDown(FigurRecord &r)
{
    Draw(r, r.ScriptVar != 0 ? 6 + gResident.offset : 30 + r.Frame);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, kDepartureBoxW, kDepartureBoxH);
    if (++r.Frame >= 5) {
        r.Frame = 0;
        if (r.AvoidOrder != 0) {
            gResident.offset = Rand() % 7 + 18;
            r.ScriptVar = 1;
            r.Speed = HeldSpeed();
        } else {
            gResident.offset = 0;
            r.ScriptVar = 0;
            r.Speed = NormalSpeed();
        }
    }
    if (r.ScriptVar == 0 && (r.Frame == 1 || r.Frame == 3)) {
        FigSetY(r, r.Y + 4);
        if (--r.WaitCount < 1) {
            if ((Rand() & 1) == 0) {
                gResident.door = kLeftExit;
                r.Direction = r.Avoids = -1;
                r.State = 250;
            } else {
                gResident.door = kRightExit;
                r.Direction = r.Avoids = 1;
                r.State = 203;
            }
            r.Frame = 0;
            r.ScriptVar = 0;
            gResident.offset = 0;
            r.Speed = NormalSpeed();
        }
    }
    r.AvoidOrder = 0;
}

// Walking off: dx the stride, first the walk's entry, standState the stand.
void LeaveWalk(FigurRecord &r, int dx, int first, int standState)
{
    Draw(r, first + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += dx;
    FigApplyAvoid(r);
    ClickPlays(r, kDepartureBoxW, kDepartureBoxH);
    const bool gone = dx > 0 ? r.X > SceneWidth() : r.X < -100;
    if (r.ScriptVar != 0) {
        r.Speed = HeldSpeed();
        r.ScriptVar = 0;
        r.X -= dx;
        r.State = standState;
    } else if (gone) {
        Figur025HouseDoor = 0;
        UnloadFigur(kResident);
        return;
    } else if (r.AvoidOrder == 0 && Rand() % 3 == 0) {
        FigDrift(r, Rand() % 5 + 2);
    }
    r.AvoidOrder = 0;
}

void LeaveStand(FigurRecord &r, int first, int frames, int walkState)
{
    Draw(r, first + r.Frame);
    if (!FigTick(r, r.Speed))
        return;
    ClickPlays(r, kDepartureBoxW, kDepartureBoxH);
    if (++r.Frame < frames)
        return;
    r.Frame = Rand() % (frames == 8 ? 5 : 9) + 1;
    if (r.AvoidOrder != 0) {
        r.AvoidOrder = 0;
        return;
    }
    r.Frame = 0;
    r.Speed = NormalSpeed();
    r.State = walkState;
}

void Gone(FigurRecord &r)
{
    if (++r.Tick < kGoneTicks)
        return;
    FigSetPause(r, gResident.door == 2 ? Rand() % 41 + 40 : Rand() % 9);
    UnloadFigur(kResident);
}

}  // namespace

void Figur025Script()
{
    FigurRecord &r = FigurTable[kResident];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: ResidentSetUp(r); return;
    case 1: WaitForSheet(r); return;
    case 100: ArriveWalk(r); return;
    case 102: ArriveStand(r); return;
    case 103: ArriveTurn(r); return;
    case 104: ArriveClimb(r); return;
    case 105: ArriveGoIn(r); return;
    case 200: Inside(r); return;
    case 201: ComeOut(r); return;
    case 202: StepDown(r); return;
    case 203: LeaveWalk(r, kLeaveStride, 35, 204); return;
    case 204: LeaveStand(r, 64, 8, 203); return;
    case 250: LeaveWalk(r, -kLeaveStride, 41, 251); return;
    case 251: LeaveStand(r, 45, 14, 250); return;
    case 999: Gone(r); return;
    default: return;
    }
}

void ResetFigur025() { gResident = ResidentState{}; }
