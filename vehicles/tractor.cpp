// The tractor (object 73): it crawls along one lane and, on its next visit,
// along the other, the far lane leftwards and the near lane rightwards in
// turn for as long as the program runs. Its driver sits in the open cab,
// drawn over the body.
#include "core/random.h"
#include "scene/animation.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "vehicles/passing.h"
#include "vehicles/vehicleframe.h"

#include "fig073_frames.h"

namespace {

constexpr int kTractor = 73;
constexpr int kEngineSample = 19;
constexpr int kPhases = 7;           // phase 0 in the body, 1 to 6 on the strips
constexpr int kPuff = 7;             // drawn at phase 0
constexpr int kLeftDrivers = 8;
constexpr int kRightDrivers = 15;
constexpr int kDriverPoses = 7;
constexpr int kTicksPerMove = 2;
constexpr int kMovesPerPhase = 3;

enum TractorState { kSetUp = 0, kEnterLeft = 1, kDriveLeft = 2, kEnterRight = 100, kDriveRight = 101 };

struct Tractor {
    int lane;      // -1: the next visit goes leftwards, 1: rightwards
    int drivers;   // first frame of the driver facing the way it drives
    int driver;
};
Tractor gTractor = {-1, kLeftDrivers, kLeftDrivers};

void SetUp(FigurRecord &r)
{
    VehicleEntersStage(r);
    r.Sound.Fade = 1;
    r.Frame = r.Tick = r.WaitCount = r.Gait = 0;
    r.FrameH = kFig073H;
    r.FrameW = kFig073W;
    r.Spacing = 20;
    r.DriftStep = 0;
    r.Speed = 1;
    if (gTractor.lane == -1) {
        gTractor.drivers = kLeftDrivers;
        r.X = SceneW + 15;
        r.Direction = r.Avoids = -1;
        VehicleSetLane(r, SceneH - 200, SceneH - 185, SceneH - 200 + Rand() % 16);
        VehicleSetPause(r, Rand() % 57 + 8);
        gTractor.lane = 1;
        r.State = kEnterLeft;
    } else {
        gTractor.drivers = kRightDrivers;
        r.X = -200;
        r.Direction = r.Avoids = 1;
        VehicleSetLane(r, SceneH - 118, SceneH - 110, SceneH - 118 + Rand() % 9);
        VehicleSetPause(r, Rand() % 241 + 240);
        gTractor.lane = -1;
        r.State = kEnterRight;
    }
    gTractor.driver = gTractor.drivers;
}

void EnterLeft(FigurRecord &r)
{
    if (!VehicleHeldNow(r)) {
        r.Frame = 0;
        r.State = kDriveLeft;
        return;
    }
    if (++r.Frame > 24 || BusOnStage) {
        UnloadFigur(kTractor);
        return;
    }
    if (Rand() % 6 != 0)
        r.X += Rand() % 71 + 10;
}

void EnterRight(FigurRecord &r)
{
    if (!VehicleHeldNow(r)) {
        r.Frame = 0;
        r.State = kDriveRight;
        return;
    }
    if (++r.Frame > 10) {
        UnloadFigur(kTractor);
        return;
    }
    if (Rand() % 6 != 0)
        r.X -= 20 + Rand() % 61;
}

void Draw(const FigurRecord &r)
{
    VehicleDraw(r, 0, kFig073Frames[0]);
    VehicleDraw(r, 0, kFig073Frames[gTractor.driver], kFig073OccupantX, kFig073OccupantY);
    if (r.Frame > 0)
        VehicleDraw(r, 0, kFig073Frames[r.Frame], 8, kFig073StripY);
    else
        VehicleDraw(r, 0, kFig073Frames[kPuff], 25, 39);
}

// It moves every second tick and turns its wheels every third move; a
// stopped tractor starts again at 1.
void Move(FigurRecord &r)
{
    if (r.AvoidOrder != 0) {
        if (r.Speed > 0)
            --r.Speed;
        return;
    }
    if (++r.Tick < kTicksPerMove)
        return;
    r.Tick = 0;
    r.X += r.Direction * r.Speed;
    if (++r.WaitCount < kMovesPerPhase)
        return;
    r.WaitCount = 0;
    if (r.Speed > 0) {
        if (r.Direction < 0)
            r.Frame = r.Frame + 1 >= kPhases ? 0 : r.Frame + 1;
        else
            r.Frame = r.Frame - 1 < 0 ? kPhases - 1 : r.Frame - 1;
    }
    if (r.Speed < 1)
        ++r.Speed;
}

void Drive(FigurRecord &r)
{
    Draw(r);
    const bool held = r.AvoidOrder != 0;
    Move(r);
    if (Rand() % (held ? 25 : 13) == 0)
        gTractor.driver = gTractor.drivers + Rand() % kDriverPoses;
    r.AvoidOrder = 0;
    if (VehicleSoundOn(kOptVehicles) && --r.SoundCount < 1 && r.Speed > 0) {
        r.SoundCount = Rand() % 3 + 3;
        VehiclePlay(r, kEngineSample);
    }
    if (r.Direction < 0 ? r.X < -280 : r.X > SceneW + 50)
        UnloadFigur(kTractor);
}

}  // namespace

// No click and no sound that follows it: the tractor only chugs.
void Figur073Script()
{
    FigurRecord &r = VehicleRecord(kTractor);
    switch (r.State) {
    case kSetUp: SetUp(r); return;
    case kEnterLeft: EnterLeft(r); return;
    case kEnterRight: EnterRight(r); return;
    case kDriveLeft:
    case kDriveRight: Drive(r); return;
    default: return;
    }
}

void ResetTractor() { gTractor = {-1, kLeftDrivers, kLeftDrivers}; }
