#include "scene/casting.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "services/mail.h"

#include <initializer_list>

int LastPedestrian = 0;
int LastVehicle = 0;

namespace {

constexpr int kAttempts = 2;
constexpr int kDrawsPerAttempt = 16;
constexpr int kVehicleDraws = 10;
constexpr int kFirstChosenVehicle = 71;
constexpr int kChosenVehicles = kLastVehicle - kFirstChosenVehicle + 1;
constexpr int kFewPedestrians = 3;
constexpr int kDogTracesForRareDog = 3;
constexpr int kWideScene = 1025;
// The house whose door the couple of figure 33 goes in and comes out of.
constexpr int kFigur033HomeDoor = 2;
// The residents who live behind door 2, and that door.
constexpr int kFirstHomeResident = 63, kLastHomeResident = 67;
constexpr int kResidentsHome = 2;
constexpr int kHouseVisitor = 62;

enum Phase : unsigned { kAnyPhase = 7, kDayOnly = 1, kDuskOnly = 2, kNightOnly = 4 };
constexpr unsigned kNotDusk = kDayOnly | kNightOnly;
constexpr unsigned kNotNight = kDayOnly | kDuskOnly;
constexpr unsigned kNotDay = kDuskOnly | kNightOnly;

bool InPhase(unsigned phases)
{
    if (TimeOfDay < kDay || TimeOfDay > kNight)
        return false;
    return (phases & (1u << (TimeOfDay - 1))) != 0;
}
bool IsWeekday() { return DayOfWeek >= 1 && DayOfWeek <= 5; }
bool IsSummer() { return Season == kSummer; }

bool NoneOnStage(std::initializer_list<int> ids)
{
    for (int id : ids)
        if (IsOnStage(id))
            return false;
    return true;
}

// The musicians come only while music is on and can be started or plays.
bool MusicCondition()
{
    return Music && (MusikKommt >= 1 || WinampPlaying) && (!MusicPlaying || WinampPlaying) && !MusicStarting;
}

bool HourFrom(int hour) { return Hour >= hour; }
bool HourUpTo(int hour) { return Hour <= hour; }

bool ResidentRule(int id, bool dayOnly, int door)
{
    return (!dayOnly || TimeOfDay == kDay) && ResidentDoor[id] == door;
}

// A candidate the draw may take: not the last one, switched on, not on
// stage, free to come again and not riding the bus.
bool PassesDraw(int id)
{
    if (id < 1 || id > kLastPedestrian || id == LastPedestrian)
        return false;
    const FigurRecord &r = FigurTable[id];
    return FigurSheetCount[id] >= 1 && !IsOnStage(id) && r.MayReturn && !r.RidesBus;
}

int DrawCandidate()
{
    if (WeatherShow && !IsOnStage(69) && Rand() % 8 == 0)
        return 69;
    if (PedestrianCount < kFewPedestrians && Rand() % 3 != 0) {
        if (BirthdaysToday > 0)
            return 35;
        if (Month == 12 && Day < 26)
            return 37;
        if (IsEasterTime())
            return 38;
        if (WinampPlaying && !IsOnStage(41) && !IsOnStage(42) && Rand() % 4 == 0)
            return 42;
        if (Rand() % 3 == 0)
            return 60;
        return Rand() % kLastPedestrian + 1;
    }
    if (NewMail && !IsOnStage(46) && Rand() % 3 != 0)
        return 46;
    return Rand() % kLastPedestrian + 1;
}

}  // namespace

bool Figur033MayCome() { return Figur033HouseDoor1 == 0 || Figur033HouseDoor1 == kFigur033HomeDoor; }

bool PedestrianRuleHolds(int id)
{
    switch (id) {
    case 1: return TimeOfDay == kDay && HourUpTo(12) && NoneOnStage({71});
    case 2: return NoneOnStage({11, 22, 26, 27, 37, 42, 46, 51, 52, 54, 71});
    case 3:
    case 20: return InPhase(kNotDusk);
    case 4:
    case 17: return InPhase(kNotNight) && HourFrom(13);
    case 5: return HourFrom(11) && NoneOnStage({71});
    case 6: return InPhase(kNotDay) && HourFrom(14);
    case 10: return HourUpTo(14) && NoneOnStage({8, 54, 71});
    case 11:
        return TimeOfDay == kDay && IsSummer() && HourFrom(12) && !NewMail && NoneOnStage({37, 42, 46, 47, 54});
    case 13:
        if (!HourFrom(15) || !NoneOnStage({18, 71}))
            return false;
        return TimeOfDay != kDusk || Rand() % 3 == 0;
    case 18: return InPhase(kNotNight) && NoneOnStage({13, 41, 45, 50, 71});
    case 22:
        return TimeOfDay == kDay && IsSummer() && IsWeekday() && !PhaseChangeDue &&
               NoneOnStage({8, 18, 25, 28, 31, 33, 37, 41, 51, 52, 55, 61, 63, 64, 65, 66, 67, 68});
    case 23: return HourFrom(12);
    case 24:
        if (!InPhase(kNotNight) || !NoneOnStage({61, 62, 63, 64}))
            return false;
        return DogTraces.count < kDogTracesForRareDog || Rand() % 4 == 0;
    case 25: return NoneOnStage({26, 28, 31, 33, 37, 47, 55, 61, 62, 63, 64, 65, 66, 67, 68});
    case 26:
        return TimeOfDay == kDusk && Month == 12 && Day <= 25 && Figur025HouseDoor == 0 &&
               NoneOnStage({2, 25, 37, 42, 47});
    case 27: return TimeOfDay == kNight && IsWeekday() && !NewMail && NoneOnStage({2, 42, 46, 47, 54});
    case 28: return Figur028Home == 2 && NoneOnStage({25, 29, 31, 32, 33, 61, 62, 63, 64, 65, 66, 67});
    case 29: return TimeOfDay != kDay && Figur028Home == 2 && NoneOnStage({28, 31, 32});
    case 30: return TimeOfDay == kDay && IsSummer() && HourFrom(13) && NoneOnStage({41, 48, 71});
    case 31: return HourFrom(13) && Figur028Home == 0 && NoneOnStage({28, 29, 32});
    case 32:
        return HourFrom(12) && Figur028Home == 0 && NoneOnStage({25, 28, 29, 31, 33, 61, 62, 63, 64, 65, 66});
    case 33:
        return Figur033MayCome() && NoneOnStage({25, 28, 31, 51, 61, 62, 63, 64, 65, 66, 67, 68});
    case 34: return IsWeekday() && !IsCarnivalTime();
    case 35: return BirthdaysToday >= 1 && TimeOfDay != kNight && NoneOnStage({41, 42, 71});
    case 36:
        return TimeOfDay == kDay && HourFrom(11) && !NewMail &&
               NoneOnStage({11, 30, 37, 42, 44, 46, 47, 51, 52, 54});
    case 37: return TimeOfDay != kNight && NoneOnStage({2, 11, 22, 26, 42, 46, 51, 52, 54, 71});
    case 38: return TimeOfDay == kDay && IsEasterTime() && NoneOnStage({42, 71});
    case 39: return TimeOfDay == kDay && IsCarnivalTime() && HourFrom(10) && NoneOnStage({34, 37, 42, 71});
    case 40: return HourFrom(16);
    case 41: return MusicCondition() && TimeOfDay != kNight && NoneOnStage({35, 42, 71});
    case 42: return MusicCondition() && NoneOnStage({2, 35, 36, 37, 38, 39, 41, 46, 47, 52, 54});
    case 43: return TimeOfDay != kDusk && NoneOnStage({49, 56, 57});
    case 45: return TimeOfDay != kNight && NoneOnStage({18, 41, 50});
    case 46: return (TimeOfDay != kDusk || NewMail) && NoneOnStage({2, 11, 24, 36, 37, 47, 52, 54});
    case 47:
        return TimeOfDay != kDusk && Figur025HouseDoor == 0 && NoneOnStage({11, 25, 26, 27, 36, 37, 42, 52, 54});
    case 48:
        return TimeOfDay != kNight && HourFrom(13) && !NewMail && NoneOnStage({11, 30, 36, 37, 42, 47, 52, 54});
    case 49: return TimeOfDay != kNight && NoneOnStage({43, 56, 57});
    case 50: return TimeOfDay != kNight && NoneOnStage({18});
    case 51:
        return TimeOfDay != kNight && IsWeekday() &&
               NoneOnStage({1, 2, 10, 11, 24, 33, 36, 37, 42, 46, 47, 48, 52, 54, 59, 61, 62, 63, 64, 65, 66, 68, 71});
    case 52:
        return TimeOfDay != kDusk &&
               NoneOnStage({2, 25, 36, 37, 42, 46, 47, 48, 54, 59, 61, 62, 63, 64, 65, 66, 67, 68, 71});
    case 54:
        return TimeOfDay == kDay && NoneOnStage({1, 2, 10, 11, 24, 36, 37, 42, 46, 47, 51, 52, 59, 71});
    case 56: return TimeOfDay != kDusk && NoneOnStage({49, 57, 67});
    case 57: return TimeOfDay == kDusk && NoneOnStage({49, 56});
    case 58: return IsOnStage(41) && NoneOnStage({55});
    case 59: return NoneOnStage({52, 54, 71});
    case 60: return true;
    case 62:
        return ResidentRule(62, true, 0) &&
               NoneOnStage({25, 28, 31, 33, 41, 51, 52, 55, 61, 63, 64, 65, 66, 67, 68});
    case 63:
        return ResidentRule(63, true, 2) &&
               NoneOnStage({25, 28, 31, 33, 41, 51, 52, 55, 61, 62, 64, 65, 66, 67, 68});
    case 64:
        return ResidentRule(64, true, 2) &&
               NoneOnStage({25, 28, 31, 33, 41, 51, 52, 55, 61, 62, 63, 65, 66, 67, 68});
    case 65:
        return ResidentRule(65, false, 2) &&
               NoneOnStage({25, 28, 31, 33, 41, 51, 52, 55, 61, 62, 63, 64, 66, 67, 68});
    case 66:
        return ResidentRule(66, true, 2) && IsWeekday() &&
               NoneOnStage({25, 28, 31, 33, 41, 51, 52, 55, 61, 62, 63, 64, 65, 67, 68});
    case 67:
        return ResidentRule(67, true, 2) &&
               NoneOnStage({25, 28, 31, 33, 41, 49, 51, 52, 55, 56, 61, 62, 63, 64, 65, 66, 68});
    case 68:
        return TimeOfDay == kDay && IsSummer() && IsWeekday() &&
               NoneOnStage({25, 28, 31, 33, 41, 49, 51, 52, 55, 56, 61, 62, 63, 64, 65, 66, 67});
    case 69: return WeatherShow;
    default:
        // 7, 8, 9, 44, 55 and 61 come only with the bus, a vehicle or a
        // click; the other ids have no figure.
        return false;
    }
}

namespace {

// The people of door 2 whose last act ended away from home (off an edge, at a
// phase change or a remove click while inside another door) are home again
// once none of them is on stage, and the visitor 62 is in no house once off
// stage: else they would stay away for the rest of the run.
void ResidentsHomeAgain()
{
    if (!IsOnStage(kHouseVisitor))
        ResidentDoor[kHouseVisitor] = 0;
    for (int id = kFirstHomeResident; id <= kLastHomeResident; ++id)
        if (IsOnStage(id))
            return;
    for (int id = kFirstHomeResident; id <= kLastHomeResident; ++id)
        ResidentDoor[id] = kResidentsHome;
}

}  // namespace

int NextPedestrian()
{
    if (PhaseChangeDue)
        return 0;
    ResidentsHomeAgain();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int candidate = 0;
        for (int draw = 0; draw < kDrawsPerAttempt && !candidate; ++draw) {
            int id = DrawCandidate();
            if (PassesDraw(id))
                candidate = id;
        }
        if (candidate && PedestrianRuleHolds(candidate)) {
            LastPedestrian = candidate;
            return candidate;
        }
    }
    return 0;
}

bool VehicleRuleHolds(int id)
{
    const bool day = TimeOfDay == kDay;
    switch (id) {
    case 71: return day && NoneOnStage({62, 63, 64, 65, 73});
    case 72: return TramOn && TramOnStage == 0;
    case 73: return day && NoneOnStage({71});
    case 74: return day && IsSummer() && NoneOnStage({104});
    case 75:
    case 83:
    case 88:
    case 90:
    case 95:
    case 96: return true;
    case 76: return day && NoneOnStage({73});
    case 77: return IsSummer() && NoneOnStage({100});
    case 78: return NoneOnStage({105});
    case 79: return day && HourUpTo(14);
    case 80: return TimeOfDay != kDusk && IsSummer() && NoneOnStage({90});
    case 81: return TimeOfDay == kDay || (TimeOfDay == kDusk && IsWeekday());
    case 82: return day && NoneOnStage({92});
    case 84: return (TimeOfDay != kNight || IsSummer()) && NoneOnStage({97});
    case 85: return day && Language == 1;
    case 86: return NoneOnStage({91});
    case 87: return NoneOnStage({98});
    case 89:
    case 94:
    case 99: return TimeOfDay != kNight;
    case 91: return NoneOnStage({86});
    case 92: return NoneOnStage({82});
    case 93: return TimeOfDay != kNight && IsWeekday();
    case 97: return NoneOnStage({84});
    case 98: return NoneOnStage({87});
    case 100: return IsSummer() && NoneOnStage({77});
    case 101:
    case 102: return day && IsSummer();
    case 103: return day;
    case 104: return day && IsSummer() && NoneOnStage({74});
    case 105: return NoneOnStage({78});
    default: return false;
    }
}

int VehicleLaneLimit()
{
    const bool wide = SceneW >= kWideScene;
    if (TimeOfDay == kNight)
        return wide ? 4 : 3;
    return wide ? 5 : 4;
}

int NextVehicle()
{
    if (PhaseChangeDue)
        return 0;
    int candidate = 0;
    for (int draw = 0; draw < kVehicleDraws && !candidate; ++draw) {
        int id = Rand() % kChosenVehicles + kFirstChosenVehicle;
        const FigurRecord &r = FigurTable[id];
        if (id != LastVehicle && FigurSheetCount[id] >= 1 && r.MayReturn && !IsRecordLoaded(r))
            candidate = id;
    }
    if (!candidate)
        return 0;
    const int limit = VehicleLaneLimit();
    if (candidate <= kLastFarLaneVehicle ? VehicleCountLeft >= limit : VehicleCountRight >= limit)
        return 0;
    if (!VehicleRuleHolds(candidate))
        return 0;
    LastVehicle = candidate;
    return candidate;
}

int IsPhaseChangeTime()
{
    const int t = Hour * 60 + Minute;
    const int dayFrom = DayNight[0] * 60;
    const int nightFrom = DayNight[1] * 60;
    switch (TimeOfDay) {
    case kDay: return (nightFrom - 2 < t && t < nightFrom + 8) ? 1 : 0;
    case kDusk:
        if (dayFrom - 2 < t && t < dayFrom + 8)
            return 1;
        if (nightFrom + 58 < t && t < nightFrom + 68)
            return 1;
        return (DayNight[1] >= 24 && t == 0) ? 1 : 0;
    case kNight: return (dayFrom - 62 < t && t < dayFrom - 52) ? 1 : 0;
    default: return 0;
    }
}
