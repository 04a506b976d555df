#include "vehicles/passing.h"

#include "base/debuglog.h"
#include "shared/strings.h"
#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/screen.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "services/sound.h"
#include "config/config.h"
#include "vehicles/vehicleframe.h"

#include "fig074_frames.h"
#include "fig075_frames.h"
#include "fig076_frames.h"
#include "fig077_frames.h"
#include "fig078_frames.h"
#include "fig079_frames.h"
#include "fig080_frames.h"
#include "fig081_frames.h"
#include "fig082_frames.h"
#include "fig083_frames.h"
#include "fig084_frames.h"
#include "fig085_frames.h"
#include "fig086_frames.h"
#include "fig087_frames.h"
#include "fig088_frames.h"
#include "fig089_frames.h"
#include "fig090_frames.h"
#include "fig091_frames.h"
#include "fig092_frames.h"
#include "fig093_frames.h"
#include "fig094_frames.h"
#include "fig095_frames.h"
#include "fig096_frames.h"
#include "fig097_frames.h"
#include "fig098_frames.h"
#include "fig099_frames.h"
#include "fig100_frames.h"
#include "fig101_frames.h"
#include "fig102_frames.h"
#include "fig103_frames.h"
#include "fig104_frames.h"
#include "fig105_frames.h"

namespace {

#define ART(n)                                                                                               \
    VehicleArt                                                                                               \
    {                                                                                                        \
        kFig##n##Frames, kFig##n##Bodies, kFig##n##Strip, kFig##n##StripY, kFig##n##Phases, kFig##n##Occupant, \
            kFig##n##OccupantSets, kFig##n##OccupantX, kFig##n##OccupantY, kFig##n##W, kFig##n##H,           \
            kFig##n##Stride, kFig##n##BodyFirst                                                              \
    }
#define DARK_ART(n)                                                                                            \
    VehicleArt                                                                                                 \
    {                                                                                                          \
        kFig##n##DarkFrames, kFig##n##DarkBodies, kFig##n##DarkStrip, kFig##n##DarkStripY, kFig##n##DarkPhases, \
            kFig##n##DarkOccupant, kFig##n##DarkOccupantSets, kFig##n##DarkOccupantX, kFig##n##DarkOccupantY,    \
            kFig##n##DarkW, kFig##n##DarkH, kFig##n##DarkStride, kFig##n##DarkBodyFirst                        \
    }

#define LONG_ART(n, k)                                                                                      \
    VehicleArt                                                                                              \
    {                                                                                                       \
        kFig##n##Long##k##Frames, kFig##n##Long##k##Bodies, kFig##n##Long##k##Strip, kFig##n##Long##k##StripY, \
            kFig##n##Long##k##Phases, kFig##n##Long##k##Occupant, kFig##n##Long##k##OccupantSets,             \
            kFig##n##Long##k##OccupantX, kFig##n##Long##k##OccupantY, kFig##n##Long##k##W, kFig##n##Long##k##H, \
            kFig##n##Long##k##Stride, kFig##n##Long##k##BodyFirst                                             \
    }

constexpr EngineLadder kCar = {{40, 41, 42, 43, 43}, 3, 3};
constexpr EngineLadder kSmallCar = {{36, 37, 38, 39, 39}, 3, 4};
constexpr EngineLadder kHeavy = {{32, 33, 34, 35, 35}, 5, 4};
constexpr EngineLadder kMoped = {{10, 10, 50, 51, 52}, 7, 8};
constexpr EngineLadder kBicycle = {{45, 45, 46, 47, 48}, 5, 8};

using S = StartSpeed;
constexpr bool kHalf = true;

// id, direction, lane (above the bottom), spacing, start x and span, speed,
// pause span and least, click, engine, wander a*d + b, drift 1 in n and
// turn bound span + least, wheels on every second move, leave x, keeps its
// speed on a click, art.
const PassingMember kMembers[] = {
    {74, -1, 178, 163, 22, 128, 0, S::kMinOrNext, 33, 8, 0, &kCar, 10, 31, 13, 3, 2, false, -400, false, ART(074)},
    {75, -1, 175, 160, 22, 128, 0, S::kMinOrNext, 25, 8, 0, &kCar, 10, 31, 13, 3, 2, false, -400, false, ART(075)},
    {76, -1, 196, 176, 3, 250, 0, S::kMin, 41, 8, 2, &kMoped, 7, 22, 13, 4, 2, false, -300, false, ART(076)},
    {77, -1, 164, 144, 22, 250, 0, S::kMinToMax, 73, 24, 0, &kCar, 4, 13, 13, 4, 2, false, -300, false, ART(077)},
    {78, -1, 186, 166, 22, 300, 0, S::kMinToMax, 9, 0, 0, &kCar, 15, 46, 13, 4, 2, false, -400, false, ART(078)},
    {79, -1, 234, 219, 25, 133, 26, S::kMin, 17, 8, 1, &kHeavy, 25, 76, 13, 4, 3, false, -480, false, ART(079)},
    {80, -1, 176, 161, 22, 128, 0, S::kMinToMax, 49, 24, 0, &kCar, 15, 46, 13, 4, 2, false, -400, false, ART(080)},
    {81, -1, 226, 206, 25, 133, 26, S::kMin, 9, 8, 1, &kHeavy, 32, 97, 13, 4, 3, false, -500, false, ART(081)},
    {82, -1, 182, 172, 22, 128, 0, S::kMinToMax, 9, 0, 0, &kCar, 10, 31, 13, 4, 3, false, -400, false, ART(082)},
    {83, -1, 187, 167, 18, 128, 0, S::kMinToMax, 9, 0, kClick2or3, &kSmallCar, 25, 76, 11, 5, 3, kHalf, -300, false,
     ART(083)},
    {84, -1, 190, 170, 22, 128, 0, S::kMinToMax, 9, 8, kClick3or4, &kCar, 25, 76, 11, 4, 2, kHalf, -300, true,
     ART(084)},
    {85, -1, 195, 175, 25, 5, 76, S::kMinToMax, 57, 16, kClick2or3, &kCar, 25, 76, 3, 7, 5, false, -300, false,
     ART(085)},
    {86, -1, 181, 161, 22, 128, 0, S::kMax, 33, 0, 0, &kCar, 5, 16, 11, 4, 2, false, -300, false, ART(086)},
    {87, -1, 180, 160, 20, 128, 0, S::kMinToMax, 17, 0, kClick2or3, &kSmallCar, 25, 76, 6, 4, 4, false, -300, false,
     ART(087)},
    {88, -1, 182, 162, 22, 128, 0, S::kMinToMax, 9, 0, kClick2or3, &kCar, 15, 46, 16, 4, 4, false, -300, false,
     ART(088)},
    {89, 1, 142, 126, 22, -388, 0, S::kMinToMax, 25, 8, 0, &kCar, 15, 46, 13, 4, 2, false, 50, false, ART(089)},
    {90, 1, 103, 87, 22, -472, 0, S::kMax, 41, 8, 0, &kCar, 15, 46, 13, 2, 2, false, 50, false, ART(090)},
    {91, 1, 111, 93, 22, -488, 0, S::kMax, 25, 8, 0, &kCar, 15, 46, 13, 2, 2, false, 50, false, ART(091)},
    {92, 1, 122, 106, 22, -522, 0, S::kMinToMax, 9, 0, 0, &kCar, 15, 46, 13, 2, 2, false, 50, false, ART(092)},
    {93, 1, 152, 148, 25, -400, 0, S::kMin, 17, 8, 1, &kHeavy, 25, 76, 25, 2, 2, false, 50, false, ART(093)},
    {94, 1, 151, 135, 25, -588, 0, S::kMin, 25, 8, 1, &kHeavy, 15, 46, 13, 2, 2, false, 50, false, ART(094)},
    {95, 1, 111, 90, 15, -384, 0, S::kBelowMax, 9, 8, kClick2or3, &kSmallCar, 7, 22, 13, 3, 2, kHalf, 50, false,
     ART(095)},
    {96, 1, 112, 97, 20, -344, 0, S::kMinToMax, 9, 0, kClick2or3, &kCar, 7, 22, 13, 4, 2, false, 50, false,
     ART(096)},
    {97, 1, 115, 103, 22, -338, 0, S::kMinToMax, 17, 8, kClick3or4, &kCar, 25, 76, 11, 4, 2, kHalf, 50, true,
     ART(097)},
    {98, 1, 110, 93, 18, -424, 0, S::kMinToMax, 25, 8, kClick2or3, &kSmallCar, 17, 52, 13, 4, 2, false, 50, false,
     ART(098)},
    {99, 1, 147, 132, 25, -550, 0, S::kAboutMax, 161, 32, 15, &kCar, 12, 37, 13, 4, 2, kHalf, 150, false, ART(099)},
    {100, 1, 84, 72, 22, -464, 0, S::kMaxLess1, 121, 32, 0, &kCar, 7, 22, 13, 4, 2, false, 50, false, ART(100)},
    {101, 1, 100, 88, 10, -352, 0, S::kMin, 25, 16, 2, &kBicycle, 7, 22, 13, 4, 2, false, 50, false, ART(101)},
    {102, 1, 126, 114, 5, -384, 0, S::kMinPlus1, 33, 8, 2, &kBicycle, 3, 10, 13, 4, 2, false, 50, false, ART(102)},
    {103, 1, 116, 104, 5, -364, 0, S::kMin, 41, 8, 2, &kMoped, 7, 22, 13, 3, 2, false, 150, false, ART(103)},
    {104, 1, 103, 87, 22, -464, 0, S::kMax, 33, 16, 0, &kCar, 15, 46, 13, 2, 2, false, 50, false, ART(104)},
    {105, 1, 114, 98, 22, -408, 0, S::kMinToMax, 9, 0, 0, &kCar, 15, 46, 13, 4, 2, false, 50, false, ART(105)},
};

// The lorries that are other lorries at dusk and at night.
const PassingMember kDarkMembers[] = {
    {81, -1, 215, 200, 22, 133, 26, S::kMin, 17, 8, 1, &kHeavy, 25, 76, 13, 4, 3, false, -440, false, DARK_ART(081)},
    {93, 1, 133, 129, 22, -528, 0, S::kMin, 17, 8, 1, &kHeavy, 25, 76, 13, 4, 3, false, 50, false, DARK_ART(093)},
};

// The long variants: they keep the pause they had and draw from the sheet
// they ask for; 100's leave as soon as they reach the edge.
const PassingMember kLongMembers[] = {
    {77, -1, 236, 216, 32, 133, 26, S::kMin, 0, 0, 0, &kHeavy, 25, 76, 13, 4, 3, false, -500, false, LONG_ART(077, 1),
     "FIG077_01_01", 9},
    {77, -1, 232, 212, 32, 133, 26, S::kMin, 0, 0, 0, &kHeavy, 25, 76, 13, 4, 3, false, -600, false, LONG_ART(077, 2),
     "FIG077_01_02", 9},
    {100, 1, 156, 144, 32, -578, 0, S::kMin, 0, 0, 0, &kHeavy, 7, 22, 13, 4, 2, false, -1, false, LONG_ART(100, 1),
     "FIG100_%02d_01", 4},
    {100, 1, 152, 140, 32, -728, 0, S::kMin, 0, 0, 0, &kHeavy, 7, 22, 13, 4, 2, false, -1, false, LONG_ART(100, 2),
     "FIG100_%02d_02", 4},
};

constexpr int kMemberSlots = kLastPassing - kFirstPassing + 1;
constexpr int kStandingPoses = 4;
constexpr int kSpeedDownChance = 5;
constexpr int kEnterGiveUpLeft = 24;
constexpr int kEnterGiveUpRight = 10;
// The cyclist's fourth bicycle is an old one, with a bell and a rider of its own.
constexpr int kOldBicycleRider = 102;
constexpr int kOldBicycleBody = 3;
constexpr int kOldBicycleSample = 44;

enum PassingState {
    kSetUp = 0,
    kEntering = 1,
    kDriving = 2,
    kStanding = 3,         // pulled over by the kerb
    kAskLettering = 50,
    kWaitLettering = 51,
    kWaitSheet = 200,      // for the sheet asked for on demand
};

constexpr int kExtraSlot = 1;
constexpr int kSheetWait = 400;
constexpr int kDayLook = 78;
// The minibus's passengers: one of seven poses at the start, then they turn
// among the first three.
constexpr int kMinibusPoses = 7;
constexpr int kMinibusLaterPoses = 3;
constexpr int kLongSets[2] = {5, 14};

constexpr int kLorryA = 81, kLorryB = 94;
constexpr int kLetteredSlot = 1;
constexpr SceneRect kLettering = {0, 0, 305, 80};
constexpr int kLetteringAtA = 128, kLetteringAtB = 4;
constexpr int kLetteringWait = 400;
constexpr int kPickUp = 89;
constexpr int kLorrySecondPoses = 4;
// The family cars: a driver and up to two more in one of five families of
// three seats, four poses each; now and then a load on the roof.
constexpr int kFamilyLeft = 82, kFamilyRight = 92;
constexpr int kFamilySeatPoses = 4;
constexpr int kFamilies = 5;
constexpr int kFamilyFrames = 12;
// The mopeds: five heads of the rider and of a pillion rider every second
// time, the five after them while the moped is held.
constexpr int kMopedLeft = 76, kMopedRight = 103;
constexpr int kMopedHeads = 5;
// The cars with a driver in front and a passenger behind, in four poses each.
constexpr int kCoupleLeft = 84, kCoupleRight = 97;
constexpr int kCouplePoses = 4;
// The cyclists ride alone or in two; the record then spans both with this gap.
constexpr int kCyclists = 101;
constexpr int kCyclistsRecordGap = 200;
constexpr int kCyclistsGapSpan = 101;
constexpr int kIceCream = 99;
constexpr int kJingle = 15;
constexpr int kIceCreamSilence = 180;
constexpr int kIceCreamQuietStart = 200;
constexpr int kJingleAgainAfter = 160;

// What a vehicle chose at its set-up; it stays until the next set-up.
struct Visit {
    const PassingMember *member;
    int body;
    int occupantSet;
    int occupant;
    int moves;        // counts 0, 1 for the vehicles that step their wheels every second move
    bool lettered;    // the lorry wears the user's picture from its list
    int pullOver;     // non-zero: it will pull over (and counts the braking)
    int wait;         // ticks left standing by the kerb
    int silence;      // the ice-cream van's ticks since its jingle
    int jingle;       // and since the last jingle while driving
    int slot;         // the sheet slot it draws from: 1 for the sheets asked for on demand
    int extra;        // the first frame of a passenger (or pillion rider, co-driver), or -1
    int extraX, extraY;
    int extraPose;    // and the pose shown
    int load;         // the frame of a load on the bed or platform, or -1
    int loadX, loadY;
    int seats[2];     // the family car's two further seats: their first frame, or -1
    int seatPoses[2];
    int roof;         // what the family car carries on its roof, or -1
    int pillionCount; // ticks until the moped's pillion rider turns the head
    int trailing;     // the cyclists: a second one follows this far behind the first (0: none)
    int trailBody;    // and rides this bicycle
    int trailSet;     // with this rider
};
Visit gVisits[kMemberSlots];

Visit &VisitOf(int id) { return gVisits[id - kFirstPassing]; }

int StartSpeedOf(StartSpeed rule)
{
    switch (rule) {
    case S::kMin: return minCarSpeed;
    case S::kMinOrNext: return minCarSpeed + Rand() % 2;
    case S::kMinToMax: {
        const int span = maxCarSpeed - minCarSpeed + 1;
        return minCarSpeed + (span > 0 ? Rand() % span : 0);
    }
    case S::kBelowMax: return VehicleStartSpeed();
    case S::kMax: return maxCarSpeed;
    case S::kMaxLess1: return maxCarSpeed - 1;
    case S::kMinPlus1: return minCarSpeed + 1;
    case S::kAboutMax: return maxCarSpeed - 1 + Rand() % 4;
    }
    return minCarSpeed;
}

// Asks the loader for a sheet by name into the extra slot. Refused, a long
// variant sets up again on the next tick; the day look drives with its own.
void AskSheet(FigurRecord &r, const char *pattern, bool mustHave)
{
    char name[kFigurNameLen];
    StrPrintfN(name, sizeof(name), pattern, TimeOfDay == kDay ? 1 : 2);
    r.WaitCount = 0;
    if (LoadFigurPlus(r.Id, kExtraSlot, name))
        r.State = kWaitSheet;
    else if (mustHave)
        r.State = kSetUp;
}

void WaitSheet(FigurRecord &r, Visit &v)
{
    if (r.Sheets[kExtraSlot] && r.Masks[kExtraSlot]) {
        v.slot = kExtraSlot;
        r.State = kEntering;
    } else if (++r.WaitCount > kSheetWait) {
        UnloadFigur(r.Id);
    }
}

bool PullsOver(int id) { return id == 89 || id == 93 || id == 94 || id == 96; }

void IceCreamSetUp(FigurRecord &r, Visit &v)
{
    v.silence = kIceCreamQuietStart;
    v.jingle = 0;
    if (Sound && Rand() % 3 == 0 && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1)) {
        VehiclePlay2(r, kJingle);
        v.silence = 0;
        v.jingle = 0;
    }
}

// The old bicycle has its own rider, the last set; the other bicycles draw
// theirs from the sets before it.
int OccupantSetOf(int id, const VehicleArt &a, int body)
{
    if (id != kOldBicycleRider)
        return Rand() % a.occupantSets;
    if (body == kOldBicycleBody)
        return a.occupantSets - 1;
    return Rand() % (a.occupantSets - 1);
}

bool IsMoped(int id) { return id == kMopedLeft || id == kMopedRight; }

bool IsFamilyCar(int id) { return id == kFamilyLeft || id == kFamilyRight; }

// The roof load of the family cars: 82's only in winter (one of five), 92's
// more often by day than after dark, with the Christmas tree in December.
int FamilyRoof(int id)
{
    if (id == kFamilyLeft)
        return Season == kWinter && Rand() % 2 == 0 ? kFig082Roof + Rand() % (kFig082RoofCount - 1) : -1;
    const int odds = TimeOfDay == kDay ? 3 : (TimeOfDay == kDusk ? 4 : 6);
    if (Rand() % odds != 0)
        return -1;
    return kFig092Roof + Rand() % (Month == 12 ? kFig092RoofCount : kFig092RoofCount - 1);
}

// Who sits beside the family car's driver and behind: each seat by chance,
// each from any of the families.
void FamilyCompany(int id, Visit &v)
{
    const int first = id == kFamilyLeft ? kFig082Occupant : kFig092Occupant;
    for (int seat = 0; seat < 2; ++seat) {
        v.seats[seat] = -1;
        v.seatPoses[seat] = 0;
        if (Rand() % (seat == 0 ? 2 : 3) == 0)
            v.seats[seat] = first + (Rand() % kFamilies) * kFamilyFrames + (seat + 1) * kFamilySeatPoses;
    }
    v.roof = FamilyRoof(id);
}

// The lorry that drives left carries a co-driver; the plain one of the dusk
// also crates (three times in six) or timber (two in six) or nothing on its
// platform.
void LorryCompany(Visit &v)
{
    if (TimeOfDay == kDay) {
        v.extra = kFig081Second + (Rand() % 2) * kLorrySecondPoses;
        v.extraX = kFig081SecondX;
        v.extraY = kFig081SecondY;
        return;
    }
    v.extra = kFig081DarkSecond + (Rand() % 2) * kLorrySecondPoses;
    v.extraX = kFig081DarkSecondX;
    v.extraY = kFig081DarkSecondY;
    const int load = Rand() % 6;
    if (load == 0)
        return;
    v.load = load <= 3 ? kFig081DarkLoad : kFig081DarkLoad + kFig081DarkLoadCount - 1;
    v.loadX = kFig081DarkLoadX;
    v.loadY = kFig081DarkLoadY;
}

// Who and what rides along: the family cars' seats and roof load, the
// pick-up's load four times in five, the lorry's co-driver and dusk load,
// the mopeds' pillion rider and the passenger behind the driver every second
// time.
void ChooseCompany(int id, Visit &v)
{
    v.extra = v.load = v.roof = -1;
    v.seats[0] = v.seats[1] = -1;
    v.extraPose = 0;
    if (IsFamilyCar(id))
        FamilyCompany(id, v);
    if (id == kPickUp && Rand() % 5 != 0) {
        v.load = kFig089Load + Rand() % kFig089LoadCount;
        v.loadX = kFig089LoadX;
        v.loadY = kFig089LoadY;
    }
    if (id == kLorryA)
        LorryCompany(v);
    if (IsMoped(id) && Rand() % 2 == 0) {
        v.extra = id == kMopedLeft ? kFig076Pillion : kFig103Pillion;
        v.extraPose = Rand() % kMopedHeads;
        v.extraX = id == kMopedLeft ? kFig076PillionX : kFig103PillionX;
        v.extraY = id == kMopedLeft ? kFig076PillionY : kFig103PillionY;
        v.pillionCount = 0;
    }
    if ((id == kCoupleLeft || id == kCoupleRight) && Rand() % 2 == 0) {
        v.extra = kFig084Passenger + (Rand() % (kFig084PassengerCount / kCouplePoses)) * kCouplePoses;
        v.extraX = id == kCoupleLeft ? kFig084PassengerX : kFig097PassengerX;
        v.extraY = id == kCoupleLeft ? kFig084PassengerY : kFig097PassengerY;
    }
}

// A second cyclist behind the first, on another bicycle and another rider;
// the record starts with it and spans both.
void SecondCyclist(FigurRecord &r, const VehicleArt &a, Visit &v)
{
    v.trailing = kCyclistsRecordGap + Rand() % kCyclistsGapSpan;
    v.trailBody = Rand() % (a.bodies - 1);
    if (v.trailBody >= v.body)
        ++v.trailBody;
    int set = Rand() % (a.occupantSets - 1);
    if (a.occupant + set * a.stride >= v.occupantSet)
        ++set;
    v.trailSet = a.occupant + set * a.stride;
    r.X -= v.trailing + a.w;
    r.FrameW = 2 * a.w + kCyclistsRecordGap;
}

// 77 comes long by day, 100 by day and at dusk, two times in three.
int ChooseVariant(int id)
{
    if ((id == 77 && TimeOfDay == kDay) || (id == 100 && TimeOfDay != kNight))
        return Rand() % 3 + 1;
    return 1;
}

void SetUp(FigurRecord &r, Visit &v)
{
    const int variant = ChooseVariant(r.Id);
    const PassingMember &m = variant > 1 ? *FindLongVariant(r.Id, variant) : *FindPassingMember(r.Id, TimeOfDay);
    v.member = &m;
    v.slot = 0;
    // A set-up repeated after a refused sheet counts the vehicle once.
    if (!r.ScriptVar)
        VehicleEntersStage(r);
    r.ScriptVar = 1;
    r.Sound.Fade = 1;
    r.Frame = 0;
    r.Gait = 0;
    r.DriftStep = 1;
    r.FrameW = m.art.w;
    r.FrameH = m.art.h;
    r.Spacing = m.spacing;
    r.Direction = r.Avoids = m.direction;
    if (m.direction < 0)
        r.X = SceneW + m.startX + (m.startSpan > 0 ? Rand() % m.startSpan : 0);
    else
        r.X = m.startX;
    const int top = SceneH - m.laneTop, bottom = SceneH - m.laneBottom;
    VehicleSetLane(r, top, bottom, top + Rand() % (bottom - top + 1));
    v.body = Rand() % m.art.bodies;
    // 88 and 96 hide their first body after dark.
    if ((r.Id == 88 || r.Id == 96) && TimeOfDay == kNight)
        v.body = 1 + Rand() % (m.art.bodies - 1);
    v.occupantSet = m.art.occupant + OccupantSetOf(r.Id, m.art, v.body) * m.art.stride;
    v.occupant = v.occupantSet;
    if (r.Id == kDayLook)
        v.occupant += Rand() % kMinibusPoses;
    if (IsMoped(r.Id))
        v.occupant += Rand() % kMopedHeads;
    v.moves = 0;
    r.Speed = StartSpeedOf(m.speed);
    if (m.sheet) {
        v.occupantSet = kLongSets[Rand() % 2];
        v.occupant = v.occupantSet + Rand() % m.poses;
        r.MayReturn = 0;
    } else {
        VehicleSetPause(r, Rand() % m.pauseSpan + m.pauseLeast);
    }
    v.lettered = false;
    ChooseCompany(r.Id, v);
    v.trailing = 0;
    if (r.Id == kCyclists && Rand() % 2 == 0)
        SecondCyclist(r, m.art, v);
    v.wait = 0;
    v.pullOver = PullsOver(r.Id) && Rand() % 9 == 0 ? 1 : 0;
    r.State = kEntering;
    if (r.Id == kLorryB || (r.Id == kLorryA && TimeOfDay == kDay))
        r.State = kAskLettering;
    if (r.Id == kIceCream)
        IceCreamSetUp(r, v);
    if (m.sheet)
        AskSheet(r, m.sheet, true);
    else if (r.Id == kDayLook && TimeOfDay == kDay && Rand() % 2 == 0)
        AskSheet(r, "FIG078_01_01", false);
}

// The lettered lorries ask for the user's picture on their box when the list
// holds some; without it they drive with the advert they were painted with.
void AskLettering(FigurRecord &r)
{
    r.WaitCount = 0;
    r.State = LKWPiclistCount > 0 && StartBeschriftung(r.Id) ? kWaitLettering : kEntering;
}

void WaitLettering(FigurRecord &r, Visit &v)
{
    if (r.Sheets[kLetteredSlot] && r.Masks[kLetteredSlot]) {
        v.lettered = true;
        r.State = kEntering;
    } else if (++r.WaitCount > kLetteringWait) {
        WriteLog("- Keine LKW-Beschriftung -");
        r.State = kEntering;
    }
}

int ClickSample(const PassingMember &m, const Visit &v)
{
    if (m.click == kClick2or3)
        return 2 + Rand() % 2;
    if (m.click == kClick3or4)
        return v.body == 0 ? 3 : 4;
    return m.click;
}

// The speed change of a click: 1 in ((max - speed) * 2 + 7), mostly up.
void ClickSpeed(FigurRecord &r)
{
    if (r.Speed < minCarSpeed) {
        ++r.Speed;
        return;
    }
    if (Rand() % ((maxCarSpeed - r.Speed) * 2 + 7) != 0)
        return;
    if (Rand() % kSpeedDownChance != 0) {
        if (r.Speed < maxCarSpeed)
            ++r.Speed;
    } else if (r.Speed > minCarSpeed) {
        --r.Speed;
    }
}

void TakeClick(FigurRecord &r, Visit &v)
{
    if (r.State <= kSetUp || !v.member || v.member->click == kNoClick)
        return;
    const PassingMember &m = *v.member;
    if (!VehicleClickIn(r, m.art.w, m.art.h))
        return;
    VehiclePlay2(r, ClickSample(m, v));
    VehicleTakeClick();
    if (!m.keepsSpeedOnClick)
        ClickSpeed(r);
    // A click asks 89, 93 and 94 to pull over, or to drive on when they stand.
    if (r.Id == 89 || r.Id == 93 || r.Id == 94) {
        if (r.State == kStanding)
            v.wait = 0;
        else if (r.State == kDriving)
            v.pullOver = 1;
    }
}

void Enter(FigurRecord &r, const PassingMember &m)
{
    if (!VehicleHeldNow(r)) {
        r.Frame = 0;
        r.State = kDriving;
        return;
    }
    ++r.Frame;
    if (m.direction < 0) {
        if (r.Frame > kEnterGiveUpLeft || BusOnStage) {
            UnloadFigur(r.Id);
            return;
        }
        if (Rand() % 6 != 0)
            r.X += Rand() % 71 + 10;
        return;
    }
    if (r.Frame > kEnterGiveUpRight) {
        UnloadFigur(r.Id);
        return;
    }
    if (Rand() % 6 != 0)
        r.X -= 20 + Rand() % 61;
}

// One vehicle of the record, dx to the right of its x: what is seen through
// its windows, what it carries, the body, the user's picture on its box and
// the wheels of this phase.
void DrawUnit(const FigurRecord &r, const Visit &v, int dx, int body, int occupant)
{
    const VehicleArt &a = v.member->art;
    VehicleDraw(r, v.slot, a.frames[occupant], dx + a.occupantX, a.occupantY);
    // The passenger sits beside or behind the driver, whose frame holds the
    // inside of the car; the load stands on the bed, behind its boards.
    if (v.extra >= 0)
        VehicleDraw(r, v.slot, a.frames[v.extra + v.extraPose], v.extraX, v.extraY);
    if (v.load >= 0)
        VehicleDraw(r, v.slot, a.frames[v.load], v.loadX, v.loadY);
    for (int seat = 0; seat < 2; ++seat)
        if (v.seats[seat] >= 0)
            VehicleDraw(r, v.slot, a.frames[v.seats[seat] + v.seatPoses[seat]], a.occupantX, a.occupantY);
    VehicleDraw(r, v.slot, a.frames[a.bodyFirst + body], dx);
    if (v.roof >= 0) {
        const bool left = r.Id == kFamilyLeft;
        VehicleDraw(r, v.slot, a.frames[v.roof], left ? kFig082RoofX : kFig092RoofX,
                    left ? kFig082RoofY : kFig092RoofY);
    }
    if (v.lettered) {
        const int at = r.Id == kLorryA ? kLetteringAtA : kLetteringAtB;
        DrawBitmap(WorkDC, r.Sheets[kLetteredSlot], SceneRect{r.X + at, r.Y, kLettering.w, kLettering.h});
    }
    if (r.Frame > 0)
        VehicleDraw(r, v.slot, a.frames[a.strip + r.Frame - 1], dx, a.stripY);
}

void Draw(const FigurRecord &r, const Visit &v)
{
    if (!v.trailing) {
        DrawUnit(r, v, 0, v.body, v.occupant);
        return;
    }
    // The second cyclist rides at the record's start, posed as the first.
    DrawUnit(r, v, 0, v.trailBody, v.trailSet + v.occupant - v.occupantSet);
    DrawUnit(r, v, v.member->art.w + v.trailing, v.body, v.occupant);
}

bool MayDrift(const FigurRecord &r, const PassingMember &m)
{
    if (r.Id == 85)
        return r.Speed == maxCarSpeed && r.Speed >= 2;
    return r.Speed > 1;
}

// At the wheels' wrap: a step across the lane now and then, and the speed
// wander.
void AtWrap(FigurRecord &r, const PassingMember &m)
{
    // 103 steers across its lane as its rider looks about instead.
    if (r.Id != kMopedRight && MayDrift(r, m) && Rand() % m.driftOdds == 0)
        VehicleDrift(r, Rand() % m.turnSpan + m.turnLeast);
    VehicleWanderSpeed(r, m.wanderFactor, m.wanderOffset);
    // The drinks lorry's loudspeaker and the moped's putter, when the engine
    // is quiet.
    if (r.Id == 85 && Sound && Rand() % 25 == 0 && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1))
        VehiclePlay2(r, 25);
    if (r.Id == 76 && VehicleSoundOn(kOptVehicles) && Rand() % 9 == 0 && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1))
        VehiclePlay(r, 10);
}

bool HasBrakingHorn(int id) { return id == 78 || id == 81 || id == 91 || id == 93 || id == 105; }

// Braking behind another vehicle, some drivers sound the horn, more often
// when they come to a stop.
void BrakingHorn(FigurRecord &r, const PassingMember &m)
{
    if (!HasBrakingHorn(r.Id) || !VehicleSoundOn(kOptHorns))
        return;
    if (r.Id == 93) {
        if (Rand() % 41 == 0 && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1))
            VehiclePlay2(r, m.click);
        return;
    }
    const int odds = r.Speed > 0 ? 100 : (r.Id == kLorryA ? 65 : 51);
    if (Rand() % odds == 0)
        VehiclePlay2(r, m.click);
}

bool StepWheels(FigurRecord &r, const PassingMember &m, Visit &v)
{
    if (m.wheelsEverySecondMove && ++v.moves < 2)
        return false;
    v.moves = 0;
    if (++r.Frame < m.art.phases)
        return false;
    r.Frame = 0;
    return true;
}

// Where a vehicle that pulls over stops: x past this point, drawn afresh.
bool PastStoppingPoint(const FigurRecord &r)
{
    const int dark = TimeOfDay == kDay ? 20 : 128;
    const int x = r.X;
    switch (r.Id) {
    case 89: return x >= SceneW - 200 - Rand() % 101;
    case 93: return x > SceneW - 340 - Rand() % 141;
    case 94: return x > SceneW - 380 - Rand() % 91 - dark;
    default: return x > SceneW - 150 - Rand() % 111 - dark;
    }
}

int StandingTicks(int id)
{
    if (id == 94)
        return Rand() % 1881 + 120;
    if (id == 96)
        return Rand() % 901 + 100;
    return Rand() % 1901 + 100;
}

// True when the vehicle is pulling over this tick (it brakes instead of
// driving on) or has come to a stand.
bool PullOver(FigurRecord &r, Visit &v)
{
    if (!v.pullOver || r.AvoidOrder != 0)
        return false;
    const int odds = r.Id == 89 || r.Id == 96 ? 2 : 3;
    if (Rand() % odds != 0 || !PastStoppingPoint(r))
        return false;
    if (r.Speed > 0) {
        --r.Speed;
        ++v.pullOver;
        r.X += r.Direction * r.Speed;
        return true;
    }
    v.pullOver = 0;
    v.wait = StandingTicks(r.Id);
    r.State = kStanding;
    return true;
}

void Move(FigurRecord &r, const PassingMember &m, Visit &v)
{
    if (r.AvoidOrder != 0) {
        if (r.Speed > 0) {
            --r.Speed;
            BrakingHorn(r, m);
        }
        return;
    }
    if (PullOver(r, v))
        return;
    r.X += m.direction * r.Speed;
    if (r.Speed > 0) {
        if (StepWheels(r, m, v)) {
            AtWrap(r, m);
            return;
        }
    }
    if (r.Speed < 2)
        ++r.Speed;
}

// The moped's rider and pillion rider turn their heads each on a countdown of
// their own, the rider of 103 now and then steering across the lane as well;
// held, they look about with a foot down.
void MopedHeads(FigurRecord &r, const PassingMember &m, Visit &v)
{
    const bool held = r.AvoidOrder != 0;
    const bool left = r.Id == kMopedLeft;
    const int poses = held ? kMopedHeads : 0;
    if (--r.Gait < 0) {
        if (left)
            r.Gait = held ? Rand() % 33 + 8 : Rand() % 13 + 4;
        else
            r.Gait = held ? Rand() % 4 + 2 : Rand() % 24 + 12;
        v.occupant = v.occupantSet + poses + Rand() % kMopedHeads;
        if (!left && r.Speed > 1 && Rand() % m.driftOdds == 0)
            VehicleDrift(r, Rand() % m.turnSpan + m.turnLeast);
    }
    if (v.extra < 0 || --v.pillionCount >= 0)
        return;
    if (left)
        v.pillionCount = held ? Rand() % 25 + 16 : Rand() % 11 + 6;
    else
        v.pillionCount = held ? Rand() % 6 + 3 : Rand() % 41 + 8;
    v.extraPose = poses + Rand() % kMopedHeads;
}

void ChooseOccupant(FigurRecord &r, const PassingMember &m, Visit &v)
{
    if (IsMoped(r.Id)) {
        MopedHeads(r, m, v);
        return;
    }
    if (--r.Gait >= 0)
        return;
    if (m.sheet) {
        r.Gait = Rand() % 22 + 5;
        v.occupant = v.occupantSet + Rand() % m.poses;
        return;
    }
    if (r.Id == kDayLook) {
        r.Gait = Rand() % 18 + 4;
        v.occupant = v.occupantSet + Rand() % kMinibusLaterPoses;
        return;
    }
    if (m.keepsSpeedOnClick) {
        // Driver and passenger turn their heads often, and each time the
        // driver may change the speed.
        r.Gait = Rand() % 6 + 3;
        v.occupant = v.occupantSet + Rand() % kCouplePoses;
        if (v.extra >= 0)
            v.extraPose = Rand() % kCouplePoses;
        VehicleWanderSpeed(r, 10, 31);
        return;
    }
    r.Gait = r.Speed != 0 ? Rand() % 12 + 5 : Rand() % 6 + 3;
    if (r.Id == kLorryA) {
        // The lorry's driver keeps to the road; the co-driver looks about.
        v.extraPose = Rand() % kLorrySecondPoses;
        return;
    }
    if (IsFamilyCar(r.Id)) {
        v.occupant = v.occupantSet + Rand() % kFamilySeatPoses;
        for (int seat = 0; seat < 2; ++seat)
            if (v.seats[seat] >= 0)
                v.seatPoses[seat] = Rand() % kFamilySeatPoses;
        return;
    }
    v.occupant = v.occupantSet + Rand() % kStandingPoses + (r.Speed != 0 ? kStandingPoses : 0);
}

int EngineSample(const FigurRecord &r, const PassingMember &m, const Visit &v)
{
    const int speed = r.Speed < 0 ? 0 : (r.Speed > 4 ? 4 : r.Speed);
    const int sample = m.engine->samples[speed];
    if (r.Id == kOldBicycleRider && v.body == kOldBicycleBody && sample == 45)
        return kOldBicycleSample;
    return sample;
}

// The ice-cream van plays its jingle now and then while it drives, and its
// engine is silent for a while after each.
bool IceCreamQuiet(FigurRecord &r, Visit &v)
{
    if (VehicleSoundOn(kOptHorns) && ++v.jingle > kJingleAgainAfter && Rand() % 81 == 0) {
        VehiclePlay2(r, kJingle);
        v.jingle = 0;
        v.silence = 0;
    }
    if (v.silence < kIceCreamSilence)
        ++v.silence;
    return v.silence < kIceCreamSilence;
}

void Engine(FigurRecord &r, const PassingMember &m, Visit &v)
{
    if (r.Id == kIceCream && IceCreamQuiet(r, v))
        return;
    if (!VehicleSoundOn(kOptVehicles) || --r.SoundCount >= 1)
        return;
    r.SoundCount = Rand() % m.engine->countdownSpan + m.engine->countdownLeast;
    VehiclePlay(r, EngineSample(r, m, v));
}

bool HasLeft(const FigurRecord &r, const PassingMember &m)
{
    return m.direction < 0 ? r.X < m.leaveX : r.X > SceneW + m.leaveX;
}

// Pulled over: the driver looks about; the wait ends by itself or by a click.
void Stand(FigurRecord &r, const PassingMember &m, Visit &v)
{
    Draw(r, v);
    ChooseOccupant(r, m, v);
    r.AvoidOrder = 0;
    Engine(r, m, v);
    if (--v.wait < 1) {
        v.pullOver = 0;
        r.State = kDriving;
    }
}

void Drive(FigurRecord &r, const PassingMember &m, Visit &v)
{
    Draw(r, v);
    Move(r, m, v);
    ChooseOccupant(r, m, v);
    r.AvoidOrder = 0;
    Engine(r, m, v);
    if (HasLeft(r, m))
        UnloadFigur(r.Id);
}

void PassingStep(int id)
{
    FigurRecord &r = VehicleRecord(id);
    Visit &v = VisitOf(id);
    TakeClick(r, v);
    VehicleFollowSound(r);
    // While it waits off stage for its set-up, lettering or sheet, a hold
    // set for a vehicle passing by means nothing: left standing, it would
    // make the vehicle give up at its entry on a free road.
    if (r.State == kSetUp || r.State >= kAskLettering)
        r.AvoidOrder = 0;
    switch (r.State) {
    case kSetUp: SetUp(r, v); return;
    case kEntering: Enter(r, *v.member); return;
    case kDriving: Drive(r, *v.member, v); return;
    case kStanding: Stand(r, *v.member, v); return;
    case kAskLettering: AskLettering(r); return;
    case kWaitLettering: WaitLettering(r, v); return;
    case kWaitSheet: WaitSheet(r, v); return;
    default: return;
    }
}

}  // namespace

const PassingMember *FindPassingMember(int id, int timeOfDay)
{
    if (timeOfDay != kDay)
        for (const PassingMember &m : kDarkMembers)
            if (m.id == id)
                return &m;
    for (const PassingMember &m : kMembers)
        if (m.id == id)
            return &m;
    return nullptr;
}

const PassingMember *FindLongVariant(int id, int variant)
{
    int k = 0;
    for (const PassingMember &m : kLongMembers)
        if (m.id == id && ++k == variant - 1)
            return &m;
    return nullptr;
}

#define PASSING_SCRIPT(n) \
    void Figur##n##Script() { PassingStep(1##n - 1000); }
PASSING_SCRIPT(074)
PASSING_SCRIPT(075)
PASSING_SCRIPT(076)
PASSING_SCRIPT(077)
PASSING_SCRIPT(078)
PASSING_SCRIPT(079)
PASSING_SCRIPT(080)
PASSING_SCRIPT(081)
PASSING_SCRIPT(082)
PASSING_SCRIPT(083)
PASSING_SCRIPT(084)
PASSING_SCRIPT(085)
PASSING_SCRIPT(086)
PASSING_SCRIPT(087)
PASSING_SCRIPT(088)
PASSING_SCRIPT(089)
PASSING_SCRIPT(090)
PASSING_SCRIPT(091)
PASSING_SCRIPT(092)
PASSING_SCRIPT(093)
PASSING_SCRIPT(094)
PASSING_SCRIPT(095)
PASSING_SCRIPT(096)
PASSING_SCRIPT(097)
PASSING_SCRIPT(098)
PASSING_SCRIPT(099)
PASSING_SCRIPT(100)
PASSING_SCRIPT(101)
PASSING_SCRIPT(102)
PASSING_SCRIPT(103)
PASSING_SCRIPT(104)
PASSING_SCRIPT(105)

PassingChoice PassingChoiceOf(int id)
{
    const Visit &v = VisitOf(id);
    return {v.body,     v.occupantSet, v.occupant, v.extra,    v.extraPose, v.load,
            v.seats[0], v.seats[1],    v.roof,     v.trailing, v.trailBody, v.trailSet};
}

void ResetPassingVehicles()
{
    for (Visit &v : gVisits)
        v = {};
    ResetTractor();
}
