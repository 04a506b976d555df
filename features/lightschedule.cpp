#include "features/lightschedule.h"

#include "core/random.h"
#include "features/lights.h"
#include "services/calendar.h"
#include "scene/scenestep.h"
#include "config/config.h"

#include "scene_geometry.h"

#include <initializer_list>

namespace {

constexpr int kShutterFigure = 55;
constexpr int kEveningFromHour = 13;
// Timed lights count down one step on every ninth change of the second.
constexpr int kSecondsPerStep = 9;
constexpr int kFlickerOneIn = 49;
constexpr int kFlickerStep = 8;

int gFlickerCountdown = 0;
int gLastSecond = -1;
int gSecondChanges = 0;

bool IsOn(int n) { return LightState[n] != 0; }

void TurnOn(int n)
{
    if (!IsOn(n))
        LichtSteuerung(n, 1);
}

void TurnOff(int n)
{
    if (IsOn(n))
        LichtSteuerung(n, 0);
}

// The shop window's light belongs to the weather sign while that is shown.
bool ShopWindowFree() { return !WeatherShow; }

void ShutterFigureComes()
{
    LoadScripted(kShutterFigure, 0);
    TurnOn(scene::kShutterWindowLight);
}

bool RollerMayMove(int towards)
{
    return !WeatherShow && !RollerShutterBusy() && RightShutterState != towards;
}

void NightLights()
{
    static const int kNight[] = {3, 5, 6, 9, 10, 12, 18, 19};
    for (int n : kNight)
        TurnOn(n);
}

void MorningDusk()
{
    if (ShutterState == kShutterClosed && Minute >= 3 && (Minute >= 58 || LightChance(51)))
        ShutterFigureComes();
    if (RollerMayMove(kShutterOpen) && Minute >= 2 && (Minute >= 59 || LightChance(51)))
        RollShutter(kShutterOpen);
    if (Minute < 40) {
        TurnOn(3);
        if (ShutterState == kShutterOpen && LightChance(10))
            TurnOn(4);
        if (RightShutterState == kShutterOpen && ShopWindowFree() && LightChance(10))
            TurnOn(11);
    } else if (Minute < 55) {
        if (LightChance(50))
            TurnOn(3);
        for (int n : {5, 6, 9, 10})
            TurnOn(n);
        for (int n : {4, 11, 12, 19})
            if ((n != 11 || ShopWindowFree()) && LightChance(50))
                TurnOff(n);
    } else {
        for (int n : {3, 4, 7, 8, 10, 11, 12, 19})
            if (n != 11 || ShopWindowFree())
                TurnOff(n);
    }
}

void EveningFirstHalf()
{
    if (Minute < 10) {
        if (LightChance(13))
            TurnOn(10);
        return;
    }
    if (LightChance(13))
        TurnOn(3);
    if (ShutterState != kShutterClosed && LightChance(20))
        TurnOn(4);
    if (LightChance(7))
        TurnOn(10);
    if (ShopWindowFree() && RightShutterState != kShutterClosed && LightChance(30))
        TurnOn(11);
    if (LightChance(13))
        TurnOn(12);
    if (LightChance(13))
        TurnOn(19);
}

void EveningSecondHalf()
{
    if (!IsOn(5) || !IsOn(6) || !IsOn(9) || !IsOn(10)) {
        for (int n : {5, 6, 9, 10})
            LichtSteuerung(n, 1);
    } else if (LightChance(4)) {
        TurnOn(3);
        TurnOn(4);
    } else if (LightChance(3)) {
        TurnOn(11);
        TurnOn(10);
    }
}

void EveningDusk()
{
    if (!IsOn(5) || !IsOn(6) || !IsOn(9))
        for (int n : {5, 6, 9})
            LichtSteuerung(n, 1);
    if (Minute < 30)
        EveningFirstHalf();
    else
        EveningSecondHalf();
    if (Minute >= 51 && ShutterState != kShutterClosed) {
        int oneIn = Minute >= 56 ? 4 : 31;
        if (Minute >= 59 || LightChance(oneIn))
            ShutterFigureComes();
    }
    if (Minute >= 55 && RollerMayMove(kShutterClosed) && LightChance(31)) {
        TurnOn(scene::kShopWindowLight);
        RollShutter(kShutterClosed);
    }
}

// ---------------------------------------------------------------- flicker

enum FlickerRule {
    kTopOfF,        // f x 8, f from lo to top
    kLeaderLess,    // the leader's state - 1
    kLeaderSame,    // the leader's state
    kAfter48,       // 48's state + 1 at night, 2 x 48's state + 2 otherwise
    kWith48,        // 48's state at night, 2 x 48's state otherwise
};

struct FlickerRow {
    int lights[3];
    int count;
    int leader;  // 0: the row's first light off is all it takes
    int least;   // the leader's state at least this
    FlickerRule rule;
    int top;
    bool draw;
};

// Tried in this order, each with a draw of its own.
const FlickerRow kFlickerRows[] = {
    {{1}, 1, 0, 0, kTopOfF, 9, true},
    {{2}, 1, 0, 0, kTopOfF, 9, true},
    {{20, 21}, 2, 0, 0, kTopOfF, 9, true},
    {{22}, 1, 20, 2, kLeaderLess, 0, true},
    {{33, 34, 35}, 3, 0, 0, kTopOfF, 9, true},
    {{46}, 1, 0, 0, kTopOfF, 9, true},
    {{7}, 1, 0, 0, kTopOfF, 9, true},
    {{8}, 1, 0, 0, kTopOfF, 9, true},
    {{23, 24, 25}, 3, 0, 0, kTopOfF, 9, true},
    {{36, 37, 38}, 3, 0, 0, kTopOfF, 9, true},
    {{48}, 1, 0, 0, kTopOfF, 9, true},
    {{47}, 1, 0, 0, kAfter48, 0, true},
    {{49}, 1, 48, 2, kWith48, 0, true},
    {{52}, 1, 48, 3, kTopOfF, 12, true},
    {{13}, 1, 0, 0, kTopOfF, 19, true},
    {{26, 27, 28}, 3, 0, 0, kTopOfF, 14, true},
    {{39}, 1, 0, 0, kTopOfF, 9, true},
    {{40}, 1, 0, 0, kTopOfF, 9, true},
    {{41}, 1, 0, 0, kTopOfF, 9, true},
    {{50}, 1, 40, 3, kLeaderSame, 0, true},
    {{14}, 1, 0, 0, kTopOfF, 5, true},
    {{16}, 1, 17, 1, kTopOfF, 5, false},
    {{17}, 1, 0, 0, kTopOfF, 6, true},
    {{29, 30}, 2, 0, 0, kTopOfF, 9, true},
    {{31}, 1, 29, 2, kLeaderLess, 0, true},
    {{42, 43, 44}, 3, 0, 0, kTopOfF, 13, true},
    {{51}, 1, 0, 0, kTopOfF, 17, true},
    {{32}, 1, 0, 0, kTopOfF, 19, true},
    {{45}, 1, 0, 0, kTopOfF, 19, true},
    {{53}, 1, 0, 0, kTopOfF, 9, true},
    {{54}, 1, 0, 0, kTopOfF, 14, true},
    {{55}, 1, 0, 0, kTopOfF, 9, true},
    {{56}, 1, 0, 0, kTopOfF, 8, true},
};

int FlickerState(const FlickerRow &row)
{
    const bool night = TimeOfDay == kNight;
    const int leader = row.leader ? LightState[row.leader] : 0;
    switch (row.rule) {
    case kLeaderLess: return leader - 1;
    case kLeaderSame: return leader;
    case kAfter48: return night ? LightState[48] + 1 : 2 * LightState[48] + 2;
    case kWith48: return night ? LightState[48] : 2 * LightState[48];
    case kTopOfF:
    default: {
        const int lo = night ? 1 : 2;
        const int top = row.top > lo ? row.top : lo;
        return kFlickerStep * (lo + Rand() % (top - lo + 1));
    }
    }
}

void FlickerRound()
{
    for (const FlickerRow &row : kFlickerRows) {
        if (IsOn(row.lights[0]))
            continue;
        if (row.leader && LightState[row.leader] < row.least)
            continue;
        if (row.draw && !LightChance(kFlickerOneIn))
            continue;
        const int state = FlickerState(row);
        for (int k = 0; k < row.count; ++k) {
            LightState[row.lights[k]] = state;
            SetLicht(row.lights[k], 1);
        }
    }
}

void Flicker()
{
    if (--gFlickerCountdown > 0)
        return;
    FlickerRound();
    gFlickerCountdown = TimeOfDay == kNight ? 16 + Rand() % 241 : 8 + Rand() % 57;
}

void CountDownTimedLights()
{
    for (const scene::LightPlace &light : scene::kLights) {
        int &state = LightState[light.n];
        if (!light.timed || state <= 0)
            continue;
        if (--state == 0)
            SetLicht(light.n, 0);
    }
}

void SecondChanges()
{
    if (Second == gLastSecond)
        return;
    const bool first = gLastSecond < 0;
    gLastSecond = Second;
    if (first || ++gSecondChanges < kSecondsPerStep)
        return;
    gSecondChanges = 0;
    CountDownTimedLights();
}

}  // namespace

void ScheduledLights()
{
    if (TimeOfDay == kNight)
        NightLights();
    else if (TimeOfDay == kDusk && Hour < kEveningFromHour)
        MorningDusk();
    else if (TimeOfDay == kDusk)
        EveningDusk();
    Flicker();
    SecondChanges();
    if (RollerShutterBusy())
        RollShutter(0);
}

int FlickerCountdown() { return gFlickerCountdown; }

void ResetLightSchedule()
{
    gFlickerCountdown = 0;
    gLastSecond = -1;
    gSecondChanges = 0;
}
