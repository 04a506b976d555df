#include "vehicles/groupvan.h"

#include "core/random.h"
#include "scene/animation.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "vehicles/busstop.h"
#include "vehicles/vehicleframe.h"

namespace {

constexpr int kVan = 71;
constexpr int kGroup = 61;
// While one of these is on stage the stop is taken: the van drives through.
constexpr int kStopTakenBy[] = {10, 13, 22, 23, 24, 32, 33, 34, 41, 51, 52, 54, 62, 63, 64, 65, 66, 67, 68};

// The van's pictures lie on the group's sheet.
constexpr SceneRect kBody = {0, 0, 240, 119};
constexpr int kWheelStripY[3] = {120, 162, 204};
constexpr int kDoorX[10] = {241, 322, 403, 484, 565, 646, 727, 808, 889, 970};
constexpr int kDoorH[10] = {78, 78, 82, 83, 90, 99, 117, 117, 116, 116};
constexpr SceneRect kDoorStandingOpen = {201, 120, 48, 82};
constexpr SceneRect kOpenDoor = {0, 366, 88, 112};

enum VanState {
    kSetUp = 0,
    kWaitForGroup = 1,
    kEntering = 2,
    kDriving = 3,
    kPullingIn = 4,
    kDriverTurns = 5,
    kDoorOpens = 6,
    kDoorOpen = 7,
    kStanding = 10,
    kClosingUp = 11,
    kDrivingOff = 12,
};

struct VanShared {
    bool stops;
    int stopX;
    int driverSet;        // first frame index of the driver's four
    bool groupRequested;  // the loader took the request for the group
};
VanShared gVan;

FigurRecord &Van() { return VehicleRecord(kVan); }
const FigurRecord &Group() { return FigurTable[kGroup]; }

void Leave()
{
    UnloadFigur(kVan);
    UnloadFigur(kGroup);
}

void Draw(const FigurRecord &r, const SceneRect &source, int dx, int dy)
{
    VehicleDrawAt(Group(), 0, source, r.X + dx, r.Y + dy);
}

void DrawDriver(const FigurRecord &r)
{
    const int set = gVan.driverSet;
    Draw(r, SceneRect{41 * r.FrameSet, 246 + 24 * ((set - 4) / 4), 40, 23}, 40, 19);
}

void DrawBody(const FigurRecord &r) { Draw(r, kBody, 0, 0); }

void DrawWheels(const FigurRecord &r)
{
    if (r.Frame >= 1 && r.Frame <= 3)
        Draw(r, SceneRect{0, kWheelStripY[r.Frame - 1], 200, 41}, 0, 78);
}

bool StopTaken()
{
    if (BusOnStage || !HasScript(kGroup))
        return true;
    for (int id : kStopTakenBy)
        if (IsOnStage(id))
            return true;
    return false;
}

// The van's own loader clears its busy flag only after the van is on stage,
// so the first request for the group may find it still set.
void RequestGroup(FigurRecord &r)
{
    if (LoadFigur(kGroup, 0)) {
        gVan.groupRequested = true;
        return;
    }
    if (!LoaderBusy)
        Leave();
}

void SetUp(FigurRecord &r)
{
    VehicleEntersStage(r);
    r.Sound.Fade = 1;
    gVan.stops = !StopTaken();
    if (gVan.stops)
        gVan.stopX = Rand() % 4 == 2 ? 510 : 170;
    r.Frame = r.WaitCount = r.Tick = r.Gait = 0;
    r.FrameW = 240;
    r.FrameH = 119;
    r.Spacing = 22;
    r.X = SceneW + 250;
    r.DriftStep = 1;
    r.Direction = -1;
    r.Avoids = -1;
    VehicleSetLane(r, SceneH - 219, SceneH - 209, SceneH - 219 + Rand() % 11);
    r.Speed = minCarSpeed;
    gVan.driverSet = 4 + 4 * (Rand() % 4);
    r.FrameSet = 0;
    VehicleSetPause(r, Rand() % 49 + 32);
    gVan.groupRequested = false;
    r.State = kWaitForGroup;
    RequestGroup(r);
}

void WaitForGroup(FigurRecord &r)
{
    if (IsOnStage(kGroup)) {
        r.State = kEntering;
        return;
    }
    if (!gVan.groupRequested) {
        RequestGroup(r);
        if (!IsOnStage(kVan))
            return;
    }
    if (++r.WaitCount > 400)
        Leave();
}

void Enter(FigurRecord &r)
{
    const bool held = r.AvoidOrder != 0;
    // The scene step only ever sets the hold: it is read afresh each tick.
    r.AvoidOrder = 0;
    if (!held) {
        r.Frame = 0;
        r.State = kDriving;
        return;
    }
    if (++r.Frame > 24 || BusOnStage) {
        Leave();
        return;
    }
    if (Rand() % 6 != 0)
        r.X += Rand() % 71 + 10;
}

void TakeClick(FigurRecord &r)
{
    if (r.State <= 0 || !VehicleClickIn(r, 240, 119))
        return;
    VehiclePlay2(r, 0);
    VehicleTakeClick();
    if (r.Speed < minCarSpeed) {
        ++r.Speed;
    } else if (Rand() % ((maxCarSpeed - r.Speed) * 2 + 7) == 0) {
        if (Rand() % 5 != 0) {
            if (r.Speed < maxCarSpeed)
                ++r.Speed;
        } else if (r.Speed > minCarSpeed) {
            --r.Speed;
        }
    }
}

void Engine(FigurRecord &r)
{
    if (!VehicleSoundOn(kOptVehicles) || --r.SoundCount >= 1)
        return;
    r.SoundCount = Rand() % 3 + 3;
    VehiclePlay(r, 40 + (r.Speed > 3 ? 3 : r.Speed));
}

// The driver looks about; now and then he turns to the group behind him.
void AnimateDriver(FigurRecord &r, bool mayTurn)
{
    if (--r.Tick >= 0 || ++r.FrameSet <= 3)
        return;
    if (!mayTurn || Rand() % 49 != 0) {
        gVan.driverSet = 4 + 4 * (Rand() % 3);
        r.Tick = Rand() % 17 + 8;
        r.FrameSet = Rand() % 3;
    } else {
        gVan.driverSet = Rand() % 2 == 0 ? 16 : 20;
        r.FrameSet = 0;
        r.Tick = Rand() % 9 + 8;
    }
}

// Wheel phase 0 to 3; true when it wrapped.
bool TurnWheels(FigurRecord &r)
{
    if (++r.Frame <= 3)
        return false;
    r.Frame = 0;
    return true;
}

void Drive(FigurRecord &r)
{
    AnimateDriver(r, true);
    DrawDriver(r);
    DrawBody(r);
    DrawWheels(r);
    if (r.AvoidOrder != 0) {
        if (r.Speed > 0)
            --r.Speed;
        if (VehicleSoundOn(kOptHorns) && Rand() % (r.Speed > 0 ? 100 : 57) == 0)
            VehiclePlay2(r, 0);
    } else {
        r.X -= r.Speed;
        if (gVan.stops && r.X <= gVan.stopX + 85 + Rand() % 11) {
            r.AvoidOrder = 0;
            r.State = kPullingIn;
            return;
        }
        if (r.Speed > 0 && TurnWheels(r)) {
            if (r.Speed > 1 && Rand() % 13 == 0)
                VehicleDrift(r, Rand() % 4 + 2);
        } else if (r.Speed < 2) {
            ++r.Speed;
        }
    }
    r.AvoidOrder = 0;
    Engine(r);
    if (r.X < -300)
        Leave();
}

void PullIn(FigurRecord &r)
{
    AnimateDriver(r, false);
    DrawDriver(r);
    DrawBody(r);
    DrawWheels(r);
    if (r.AvoidOrder == 0) {
        r.X -= r.Speed;
        TurnWheels(r);
    } else if (r.Speed > 0) {
        --r.Speed;
    }
    r.AvoidOrder = 0;
    if (r.Speed > 2)
        --r.Speed;
    Engine(r);
    if (r.FootLine > StopFootLine() + 32)
        VehicleSetY(r, r.Y - 1);
    if (r.X <= gVan.stopX + Rand() % 11) {
        r.Direction = 0;
        gVan.driverSet = 16;
        r.FrameSet = 0;
        r.Tick = Rand() % 17 + 16;
        r.State = kDriverTurns;
    }
}

void DriverTurns(FigurRecord &r)
{
    DrawDriver(r);
    DrawBody(r);
    if (--r.Tick >= 0)
        return;
    r.Tick = Rand() % 17 + 16;
    if (++r.FrameSet > 3) {
        r.FrameSet = 0;
        r.Tick = Rand() % 9 + 8;
        r.State = kDoorOpens;
    }
}

void DoorOpens(FigurRecord &r)
{
    DrawBody(r);
    Draw(r, SceneRect{kDoorX[r.FrameSet], 0, 80, kDoorH[r.FrameSet]}, 13, 0);
    if (--r.Tick >= 0)
        return;
    r.Tick = Rand() % 5 + figSpeed + 4;
    if (++r.FrameSet <= 9)
        return;
    if (VehicleSoundOn(kOptDoors)) {
        VehiclePlay(r, 22);
        VehicleFollowSound(r);
    }
    r.FrameSet = 0;
    r.State = kDoorOpen;
    FigurRecord &group = FigurTable[kGroup];
    group.Gait = gVan.stopX;
    group.State = 1;
}

void DoorOpen(FigurRecord &r)
{
    DrawBody(r);
    Draw(r, kDoorStandingOpen, 58, 38);
    r.Gait = r.WaitCount = r.FrameSet = 0;
    r.State = kStanding;
}

void Stand(const FigurRecord &r)
{
    if (r.Gait)
        Draw(r, kOpenDoor, 213, -3);
    DrawBody(r);
}

void CloseUp(FigurRecord &r)
{
    DrawDriver(r);
    DrawBody(r);
    if (--r.Tick < 0) {
        r.Tick = Rand() % 17 + 16;
        if (++r.FrameSet > 3) {
            r.FrameSet = 0;
            gVan.stops = false;
            r.Direction = -1;
            r.Avoids = -1;
            if (++r.WaitCount > Rand() % 3) {
                r.Tick = Rand() % 9 + 8;
                if (r.AvoidOrder == 0)
                    r.State = kDrivingOff;
            }
        }
    }
    r.AvoidOrder = 0;
    Engine(r);
}

void DriveOff(FigurRecord &r)
{
    AnimateDriver(r, true);
    DrawDriver(r);
    DrawBody(r);
    DrawWheels(r);
    if (r.AvoidOrder == 0) {
        r.X -= r.Speed;
        if (!TurnWheels(r) && r.Speed < 2)
            ++r.Speed;
    } else if (r.Speed > 0) {
        --r.Speed;
    }
    if (r.FootLine < StopFootLine() + 52 && Rand() % 3 != 0)
        VehicleSetY(r, r.Y + 1);
    r.AvoidOrder = 0;
    Engine(r);
    if (r.X < -400)
        Leave();
}

bool Moving(int state) { return state <= kPullingIn || state == kClosingUp || state == kDrivingOff; }

}  // namespace

void Figur071Script()
{
    FigurRecord &r = Van();
    if (Moving(r.State)) {
        TakeClick(r);
        VehicleFollowSound(r);
    }
    switch (r.State) {
    case kSetUp: SetUp(r); return;
    case kWaitForGroup: WaitForGroup(r); return;
    case kEntering: Enter(r); return;
    case kDriving: Drive(r); return;
    case kPullingIn: PullIn(r); return;
    case kDriverTurns: DriverTurns(r); return;
    case kDoorOpens: DoorOpens(r); return;
    case kDoorOpen: DoorOpen(r); return;
    case kStanding: Stand(r); return;
    case kClosingUp: CloseUp(r); return;
    case kDrivingOff: DriveOff(r); return;
    default: return;
    }
}

void ResetFigur071() { gVan = {}; }
