// Hours of the street in a few minutes: the real start, casting,
// housekeeping, scene step and scripts, pass by pass as the animation thread
// runs them, with clicks and keys at random moments; only the clock is moved
// one frame period per pass instead of being waited for, and every load is
// awaited where it starts. It shows who comes, how long anyone stays, that
// the day phase changes when due and that nothing is left at the end.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/bubbles.h"
#include "features/weathersign.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "testutil.h"
#include "vehicles/aircraft.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using streettest::StreetScene;

constexpr int kLastStreetObject = 109;
constexpr int kFramePeriodBase = 60;  // the frame period is 60 - Speed ms
constexpr int64_t kTicksPerMs = 10000;  // FILETIME counts 100 ns
constexpr int64_t kTicksPerMinute = 60 * 1000 * kTicksPerMs;
constexpr DWORD kLoadWaitMs = 20000;

// How long anyone may stay, in minutes of the clock: the longest act of the
// kind with room to spare, never the hours a stuck figure stands.
int StayBoundMinutes(int id)
{
    if (id >= kBus)
        return 12;  // a vehicle crosses, or halts at the stop and waits for its lettering
    return 20;      // a walker's crossing with its longest act
}

// A stretch of the run: a day, the hour it starts and how long it lasts,
// who must come in it more than once, and who at least once. The casting is
// a random choice among those free to come, and the loaders' timing moves
// it from run to run: those who come often must come again, the rarer ones
// must come. A walker who comes three or four times a span in one run may
// come once or not at all in the next: one is listed only when it came at
// least three times in each of four trial runs, or came in every one of them
// without fail. Even so, in a span of an hour and a quarter one or two of a
// dozen rarer walkers stay away now and then without a fault; a fault that
// keeps walkers off the street for the rest of the run keeps more than a
// quarter of them away.
constexpr size_t kRareMayMissShare = 4;

struct Span {
    const char *name;
    int year, month, day, hour, minute;
    int minutes;
    std::vector<int> mustComeAgain;
    std::vector<int> mustCome;
};

class LongRun : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        Interactive = 1;
        // A slow animation a user may choose: fewer frames to an hour of the
        // clock than by default, and so more hours to a minute of the test.
        // (Slower still, the forced unload before a rebuild could no longer
        // come within the ten minutes a rebuild may take.)
        Speed = 10;
        FrameInterval = kFramePeriodBase - Speed;
        // The aircraft fly on the window, outside the scene.
        windowDC_ = GetDC(window_);
        // The passes blit as the animation thread does, through the memory
        // DCs it keeps rather than two new ones a sprite.
        KeepBlitDCs();
        // A talk click on anyone with no text opens no bubble.
        WriteSpeechTexts("[Marlene]\r\nN=1\r\nTEXT1=Guten Tag!\r\n");
    }
    void TearDown() override
    {
        UnloadFlieger();
        ReleaseBlitDCs();
        ReleaseDC(window_, windowDC_);
        StreetScene::TearDown();
    }

    // The street empty and built afresh at the span's start, as a start of
    // the saver builds it and brings its first figures.
    void StartSpan(const Span &span)
    {
        for (int id = 1; id <= kLastStreetObject; ++id)
            UnloadFigur(id);
        UnloadFlieger();
        SYSTEMTIME st = testutil::Moment(span.year, span.month, span.day, span.hour, span.minute, 0);
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        now_ = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        SetClock();
        UpdateTimeOfDay(1);
        BuiltTimeOfDay = 0;
        ASSERT_EQ(CreateScreen(), 1);
        PhaseChangeDue = 0;
        LastRebuildHour = -1;
        ResetHousekeeping(&hk_);
        StartFigur();
        Settle();
        built_ = BuiltTimeOfDay;
        for (int id = 1; id <= kLastStreetObject; ++id) {
            since_[id] = -1;
            came_[id] = 0;
        }
    }
    void SetClock()
    {
        const int64_t second = now_ / (1000 * kTicksPerMs);
        if (second == lastSecond_)
            return;
        lastSecond_ = second;
        FILETIME ft = {static_cast<DWORD>(now_ & 0xFFFFFFFF), static_cast<DWORD>(now_ >> 32)};
        SYSTEMTIME st;
        FileTimeToSystemTime(&ft, &st);
        ClockFreeze(st);
    }
    // A load runs on its own thread while frames go on; here the frames wait
    // for it, so that a load takes no time of the clock. Hundreds of loads
    // are awaited in a span, each as closely as the loader ends.
    void Settle()
    {
        const DWORD start = GetTickCount();
        while (LoaderBusy || PlusLoaderBusy) {
            ASSERT_LT(GetTickCount() - start, kLoadWaitMs) << "a load did not end";
            Sleep(1);
        }
    }
    // One pass of the animation thread.
    void Pass()
    {
        RunQueuedSceneKeys();
        if (CountPass(&hk_))
            RunHousekeeping(&hk_);
        if (WeatherShow)
            UpdateWeatherSign();
        {
            SceneDCHold hold;
            SceneStep();
        }
        if (AircraftCount)
            DrawFliegerOn(windowDC_);
        Settle();
        now_ += FrameInterval * kTicksPerMs;
        SetClock();
    }
    int MinuteOfSpan() const { return static_cast<int>((now_ - spanStart_) / kTicksPerMinute); }

    // Who is on stage, who came, who stays how long.
    void Watch(int64_t pass)
    {
        for (int id = 1; id <= kLastStreetObject; ++id) {
            const bool on = IsOnStage(id);
            if (on && since_[id] < 0) {
                since_[id] = pass;
                ++came_[id];
            } else if (!on && since_[id] >= 0) {
                longest_[id] = std::max(longest_[id], pass - since_[id]);
                since_[id] = -1;
            }
            if (on && pass - since_[id] > stayBoundPasses_[id] && !overstayed_.count(id)) {
                overstayed_.insert(id);
                overstayNotes_ += std::to_string(id) + " (state " + std::to_string(FigurTable[id].State) + ", " +
                                  span_ + ") ";
            }
        }
        if (BuiltTimeOfDay != built_) {
            built_ = BuiltTimeOfDay;
            rebuilds_.push_back(Hour * 60 + Minute);
        }
    }

    // A random click on someone, or a key that brings someone.
    void Poke()
    {
        std::vector<int> onStage;
        for (int id = 1; id <= kLastStreetObject; ++id)
            if (IsOnStage(id) && FigurTable[id].FrameW > 0)
                onStage.push_back(id);
        const int what = static_cast<int>(random_() % 10);
        if (what < 3) {
            static const char kKeys[] = "ABDEFGHIJKLOQRTUVWXYZ";
            QueueSceneKey(kKeys[random_() % (sizeof(kKeys) - 1)]);
            return;
        }
        if (onStage.empty())
            return;
        const FigurRecord &r = FigurTable[onStage[random_() % onStage.size()]];
        const int x = SceneX + r.X + r.FrameW / 2, y = SceneY + r.Y + r.FrameH / 2;
        if (what < 7)
            OnLeftButtonUp(window_, x, y, 0);
        else if (what < 9)
            OnRightButtonUp(window_, x, y, 0);
        else
            OnMiddleButtonUp(window_, x, y, 0);
    }

    void RunSpan(const Span &span)
    {
        span_ = span.name;
        StartSpan(span);
        spanStart_ = now_;
        for (int id = 1; id <= kLastStreetObject; ++id)
            stayBoundPasses_[id] = static_cast<int64_t>(StayBoundMinutes(id)) * 60 * 1000 / FrameInterval;
        rebuilds_.clear();
        const int64_t passes = static_cast<int64_t>(span.minutes) * 60 * 1000 / FrameInterval;
        int64_t nextPoke = 500;
        for (int64_t pass = 0; pass < passes; ++pass) {
            Pass();
            Watch(pass);
            if (pass == nextPoke) {
                Poke();
                nextPoke = pass + 200 + static_cast<int64_t>(random_() % 2500);
            }
            if (RunState != kRunning)
                break;
        }
        ASSERT_EQ(RunState, kRunning) << span.name << " ended the run\n" << Log();
        std::string missing, absent;
        for (int id : span.mustComeAgain)
            if (came_[id] < 2)
                missing += std::to_string(id) + " (" + std::to_string(came_[id]) + ") ";
        size_t absentCount = 0;
        for (int id : span.mustCome)
            if (came_[id] < 1) {
                absent += std::to_string(id) + " ";
                ++absentCount;
            }
        EXPECT_EQ(missing, "") << span.name << ": came less than twice";
        EXPECT_LE(absentCount, span.mustCome.size() / kRareMayMissShare)
            << span.name << ": never came: " << absent;
        std::string seen;
        for (int id = 1; id <= kLastStreetObject; ++id)
            if (came_[id])
                seen += std::to_string(id) + ":" + std::to_string(came_[id]) + " ";
        std::printf("%s: %s\n", span.name, seen.c_str());
    }

    // The span, then what must hold after it. Both spans begin four minutes
    // before the hour and cross two changes of the day phase, one at each
    // full hour (summer: dusk at 20, night at 21; winter: dusk at 7, day at
    // 8); each rebuild comes within the ten minutes the change may take.
    void RunAndCheck(const Span &span)
    {
        RunSpan(span);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(rebuilds_.size(), 2u) << span.name;
        const int due = span.hour * 60 + 60;
        for (size_t n = 0; n < rebuilds_.size() && n < 2; ++n) {
            EXPECT_GE(rebuilds_[n], due + 60 * static_cast<int>(n) - 2) << span.name;
            EXPECT_LT(rebuilds_[n], due + 60 * static_cast<int>(n) + 10) << span.name;
        }
        std::string stays;
        for (int id = 1; id <= kLastStreetObject; ++id)
            if (longest_[id] > 0)
                stays += std::to_string(id) + ":" + std::to_string(longest_[id] * FrameInterval / 1000) + "s ";
        std::printf("longest stays: %s\n", stays.c_str());
        EXPECT_EQ(overstayNotes_, "") << "stayed longer than their kind's bound";
        // At the end nothing is left loaded or open once the street is
        // emptied the way the shutdown empties it.
        for (int id = 1; id <= kLastStreetObject; ++id)
            UnloadFigur(id);
        UnloadFlieger();
        if (OpenBubbleKind)
            KillSprechblase();
        EXPECT_EQ(PedestrianCount, 0);
        EXPECT_EQ(VehicleCountLeft, 0);
        EXPECT_EQ(VehicleCountRight, 0);
        EXPECT_FALSE(LoaderBusy || PlusLoaderBusy);
    }

    HDC windowDC_ = nullptr;
    Housekeeping hk_;
    int64_t now_ = 0, spanStart_ = 0, lastSecond_ = -1;
    int built_ = 0;
    std::string span_;
    std::vector<int> rebuilds_;
    int64_t since_[kLastStreetObject + 1] = {};
    int64_t longest_[kLastStreetObject + 1] = {};
    int64_t stayBoundPasses_[kLastStreetObject + 1] = {};
    int came_[kLastStreetObject + 1] = {};
    std::set<int> overstayed_;
    std::string overstayNotes_;
    std::mt19937 random_{20261211};
};

// From the day through dusk into the night: the people of the street and the
// traffic of the evening.
TEST_F(LongRun, SummerEveningFromDayThroughDuskIntoNight)
{
    RunAndCheck({"a summer evening", 2026, 6, 10, 19, 56, 75,
                 {60, 69, 70, 72, 75, 77, 78, 81, 83, 84, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 105},
                 {2, 4, 6, 23, 25, 28, 29, 34, 50, 59, 100}});
}

// From the night through dusk into the day, in winter clothes: the early
// walkers and the traffic of a working morning. The day's own walkers and
// vehicles have only its first minutes, which the van may hold alone: none
// is asked for.
TEST_F(LongRun, WinterMorningFromNightThroughDuskIntoDay)
{
    RunAndCheck({"a winter morning", 2026, 1, 14, 6, 56, 75,
                 {60, 69, 70, 72, 75, 78, 81, 83, 84, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 105},
                 {2, 3, 10, 23, 24, 25, 34, 45, 49, 50, 57, 59, 99}});
}

}  // namespace
