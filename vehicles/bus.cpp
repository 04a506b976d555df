#include "vehicles/bus.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "vehicles/busstop.h"
#include "vehicles/vehicleframe.h"

#include "fig070_frames.h"

int BusPassengerList[kBusSlots + 1];

namespace {

constexpr int kGroupVan = 71;
constexpr int kNoPassengersOut = 54;  // while on stage nobody alights
constexpr int kLastRider = 23;
constexpr int kWindows = kBusSlots + 1;  // the driver's and the passengers'
constexpr int kDrivers = 3;
constexpr int kLiveries = 3;
constexpr int kUserLivery = -1;

enum BusState {
    kSetUp = 0,
    kWaitToEnter = 1,
    kArriving = 2,
    kAtStop = 3,
    kLeaving = 4,
    kLettering = 50,
    kWaitLettering = 51,
    kChooseFirst = 101,
    kChooseLast = 106,
};

// What the bus keeps for the whole run; the face countdowns go on from one
// visit to the next.
struct BusShared {
    int faceVariant[kWindows];
    int faceCountdown[kWindows];
    int driver;
    int livery;
    int boarders;
};
BusShared gBus;

FigurRecord &Bus() { return VehicleRecord(kBus); }

void ReleasePassengers()
{
    for (int k = 1; k <= kBusSlots; ++k) {
        const int id = BusPassengerList[k];
        if (id >= 1 && id <= kLastRider)
            FigurTable[id].RidesBus = 0;
    }
}

// The bus gives up or has left: the flags go with it.
void BusGoes(const char *line)
{
    ReleasePassengers();
    BusOnStage = 0;
    UnloadFigur(kBus);
    WriteLog("%s", line);
}

void FaceFrame(int id, int variant, FrameEntry *e)
{
    *e = kFig070Frames[kFig070Face + 4 * (id - 1) + variant];
}

void DrawBus(const FigurRecord &r)
{
    for (int k = 1; k <= kBusSlots; ++k) {
        const int id = BusPassengerList[k];
        if (id < 1 || id > kLastRider)
            continue;
        FrameEntry e;
        FaceFrame(id, gBus.faceVariant[k], &e);
        VehicleDraw(r, 0, e, 46 + 37 * (k - 1), 23);
    }
    VehicleDraw(r, 0, kFig070Frames[kFig070Driver + 4 * gBus.driver + gBus.faceVariant[0]], 15, 23);
    if (gBus.livery == kUserLivery)
        VehicleDrawAt(r, 1, SceneRect{0, 0, 312, 113}, r.X, r.Y);
    else
        VehicleDraw(r, 0, kFig070Frames[gBus.livery]);
    if (r.Frame == 1 || r.Frame == 2)
        VehicleDraw(r, 0, kFig070Frames[kFig070Wheel + r.Frame - 1], 0, 75);
}

void StepFaces(bool driving)
{
    for (int w = 0; w < kWindows; ++w) {
        if (--gBus.faceCountdown[w] >= 1)
            continue;
        gBus.faceCountdown[w] = driving ? Rand() % 43 + 6 : Rand() % 33 + 16;
        gBus.faceVariant[w] = Rand() % 4;
    }
}

void SetUp(FigurRecord &r)
{
    VehicleEntersStage(r);
    BusOnStage = 1;
    r.Sound.Fade = 1;
    r.DriftStep = 1;
    r.Frame = r.WaitCount = r.Tick = 0;
    r.FrameW = 312;
    r.FrameH = 113;
    r.Spacing = 24;
    r.Direction = -1;
    r.Avoids = -1;
    r.X = SceneW + (TimeOfDay == kDay ? 0 : 128);
    const int laneTop = SceneH - 218;
    VehicleSetLane(r, laneTop, SceneH - 203, laneTop + Rand() % 16);
    r.Speed = VehicleStartSpeed();
    gBus.driver = Rand() % kDrivers;
    r.State = kLettering;
}

void AskForLettering(FigurRecord &r)
{
    if (BusPiclistCount > 0 && StartBeschriftung(kBus)) {
        gBus.livery = kUserLivery;
        r.State = kWaitLettering;
    } else {
        gBus.livery = Rand() % kLiveries;
        r.State = kChooseFirst;
    }
}

void WaitForLettering(FigurRecord &r)
{
    if (r.Sheets[1] && r.Masks[1]) {
        r.State = kChooseFirst;
        return;
    }
    if (++r.WaitCount > 400) {
        WriteLog("- Keine BUS-Beschriftung -");
        gBus.livery = Rand() % kLiveries;
        r.State = kChooseFirst;
    }
}

bool Listed(int id, int beforeSlot)
{
    for (int k = 1; k < beforeSlot; ++k)
        if (BusPassengerList[k] == id)
            return true;
    return false;
}

// One passenger window a tick: a figure that is not on stage and not chosen
// yet, or an empty window.
void ChoosePassenger(FigurRecord &r)
{
    const int k = r.State - kChooseFirst + 1;
    BusPassengerList[k] = 0;
    for (;;) {
        const int id = Rand() % kLastRider + 1;
        if (!IsOnStage(id) && !Listed(id, k)) {
            if (Rand() % 3 != 0) {
                BusPassengerList[k] = id;
                FigurTable[id].RidesBus = 1;
            }
            break;
        }
        if (Rand() % 5 == 0)
            break;
    }
    r.State = r.State == kChooseLast ? kWaitToEnter : r.State + 1;
}

void WaitToEnter(FigurRecord &r)
{
    const bool held = r.AvoidOrder != 0;
    // The scene step only ever sets the hold: it is read afresh each tick.
    r.AvoidOrder = 0;
    if (!held && !IsOnStage(kGroupVan)) {
        r.Frame = 0;
        r.State = kArriving;
        return;
    }
    if (++r.Frame > 80)
        BusGoes("-- BUS kommt nicht! --");
}

void WrapActions(FigurRecord &r)
{
    if (VehicleSoundOn(kOptVehicles)) {
        if (--r.SoundCount < 1) {
            r.SoundCount = 6;
            VehiclePlay(r, r.Speed == 2 ? 34 : 35);
        }
        if (r.X < 1)
            r.Sound.Fade = -1;
    }
    if (r.State == kArriving) {
        const int slack = Rand() % 21;
        if (r.X < StopPostRect.x + 10 + slack && r.Y > SceneH - r.SheetH - 90) {
            BusHalted = 1;
            if (r.Speed > 2)
                --r.Speed;
            VehicleSetY(r, r.Y - 1);
            return;
        }
    } else if (r.State == kLeaving) {
        if (r.Y < r.LaneYMin && Rand() % 3 != 0)
            VehicleSetY(r, r.Y + 1);
        return;
    }
    VehicleWanderSpeed(r, 35, 106);
}

void Drive(FigurRecord &r)
{
    DrawBus(r);
    StepFaces(true);
    if (r.AvoidOrder != 0) {
        if (r.Speed > 0)
            --r.Speed;
        r.AvoidOrder = 0;
        VehicleFollowSound(r);
        return;
    }
    r.X -= r.Speed;
    if (r.X + 312 < 0) {
        BusGoes("-- BUS weg --");
        return;
    }
    if (r.Speed == 0 || r.Speed == 1) {
        ++r.Speed;
    } else if (++r.Frame >= 3) {
        r.Frame = 0;
        WrapActions(r);
    }
    if (r.State == kArriving && r.X < StopPostRect.x - 55 - Rand() % 11) {
        gBus.boarders = 0;
        r.Tick = 0;
        r.State = kAtStop;
    }
    r.AvoidOrder = 0;
    VehicleFollowSound(r);
}

// Who may step out, drawn as the chance first and the condition after it.
bool MayAlight(int id)
{
    const bool day = TimeOfDay == kDay, dusk = TimeOfDay == kDusk, night = TimeOfDay == kNight;
    switch (id) {
    case 1: return Rand() % 4 == 0 && day && Hour > 13;
    case 3: return Rand() % 3 == 0;
    case 4: return Rand() % 2 == 0 && !night && Hour > 13;
    case 5: return Rand() % 4 != 0 && Hour >= 12;
    case 6: return Rand() % 3 != 0 && !day;
    case 7: return Rand() % 4 != 0 && day;
    case 8: return Rand() % 3 != 0;
    case 9: return Rand() % 3 != 0 && day;
    case 10: return Rand() % 2 == 0 && Hour < 14;
    case 11: return Rand() % 3 != 0 && day;
    case 13: return Rand() % 2 == 0 && !dusk && Hour < 13;
    case 20: return Rand() % 2 == 0 && !dusk;
    case 23: return Rand() % 5 != 0 && !night;
    default: return false;
    }
}

void LetPassengersOut()
{
    if (PhaseChangeDue || IsOnStage(kNoPassengersOut))
        return;
    int n = Rand() % 3;
    for (int k = 1; k <= kBusSlots && n > 0; ++k) {
        const int id = BusPassengerList[k];
        if (id < 1 || id > kLastRider || !FigurTable[id].MayReturn || !MayAlight(id))
            continue;
        if (!LoadScripted(id, id == 5 ? 900 : 100))
            continue;
        BusPassengerList[k] = 0;
        FigurTable[id].RidesBus = 0;
        --n;
    }
}

void TakeWaitingOn(const FigurRecord &r)
{
    for (int id = 1; id <= kLastRider; ++id) {
        const FigurRecord &f = FigurTable[id];
        if (!IsOnStage(id) || !f.WantsBus || f.X < r.X - 10 || f.X > r.X + 312)
            continue;
        UnloadFigur(id);
        --gBus.boarders;
        for (int k = 1; k <= kBusSlots; ++k) {
            if (BusPassengerList[k] == 0) {
                BusPassengerList[k] = id;
                FigurTable[id].RidesBus = 1;
                break;
            }
        }
    }
}

void AtStop(FigurRecord &r)
{
    DrawBus(r);
    if (r.Tick == 0)
        LetPassengersOut();
    if (r.Tick == 7)
        TakeWaitingOn(r);
    StepFaces(false);
    ++r.Tick;
    const int slack = gBus.boarders != 0 ? Rand() % 141 : Rand() % 261;
    if (r.Tick > 140 + slack) {
        BusHalted = 0;
        r.Tick = 0;
        r.DriftStep = 1;
        VehicleSetY(r, r.Y + 1);
        ++r.Speed;
        r.State = kLeaving;
    }
    if (VehicleSoundOn(kOptVehicles) && --r.SoundCount < 1) {
        r.SoundCount = 6;
        VehiclePlay(r, 32);
    }
}

void TakeClick(FigurRecord &r)
{
    if (r.State == kSetUp || r.State == kWaitToEnter || !VehicleClickIn(r, 312, 113))
        return;
    if (Sound)
        VehiclePlay(r, 0);
    VehicleTakeClick();
}

}  // namespace

int RequestBus()
{
    uint32_t off = 0;
    if (!BusOnStage.compare_exchange_strong(off, 1))
        return 0;
    // The flag is up before the loader starts, so that a load that fails at
    // once clears it after, not before.
    if (LoadScripted(kBus, 0))
        return 1;
    BusOnStage = 0;
    return 0;
}

void BusUnloaded()
{
    ReleasePassengers();
    BusHalted = 0;
    BusOnStage = 0;
}

int BusLivery() { return gBus.livery; }

void Figur070Script()
{
    FigurRecord &r = Bus();
    TakeClick(r);
    switch (r.State) {
    case kSetUp: SetUp(r); return;
    case kLettering: AskForLettering(r); return;
    case kWaitLettering: WaitForLettering(r); return;
    case kWaitToEnter: WaitToEnter(r); return;
    case kArriving:
    case kLeaving: Drive(r); return;
    case kAtStop: AtStop(r); return;
    default:
        if (r.State >= kChooseFirst && r.State <= kChooseLast)
            ChoosePassenger(r);
        return;
    }
}

void ResetFigur070()
{
    gBus = {};
    for (int &id : BusPassengerList)
        id = 0;
}
