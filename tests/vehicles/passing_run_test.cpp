// The passing vehicles in the running saver, inside the test program on the
// street's probe sheets: called one after the other in both lanes by day,
// the long lorries on their extra sheets among them, over a hundred visits,
// and nothing left behind, pictures or memory.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"
#include "vehicles/passing.h"

#include <psapi.h>

#include <cstdio>
#include <thread>

namespace {

using scenetest::CountOf;
using testutil::WaitFor;

constexpr int kVisits = 100;

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

int VehicleVisits(const std::string &log)
{
    int visits = 0;
    for (int id = kFirstPassing; id <= kLastPassing; ++id) {
        char line[32];
        std::snprintf(line, sizeof line, "Figur %3d ENTLADEN", id);
        visits += CountOf(log, line);
    }
    return visits;
}

class PassingRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ClearSettings();
        log_ = dir_.File("passing.log");
        scenetest::SetSetting("DebugOn", 1);
        scenetest::SetSettingString("DebugFileName", log_.c_str());
        scenetest::SetSetting("Sound", 0);
        scenetest::SetSetting("Speed", 40);
        scenetest::SetSetting("minCarSpeed", 8);
        scenetest::SetSetting("maxCarSpeed", 10);
        // Nothing but the passing vehicles comes, and no bus.
        for (int id = 1; id < kFirstPassing; ++id) {
            char name[16];
            std::snprintf(name, sizeof name, "nicht%03d", id);
            scenetest::SetSetting(name, 1);
        }
        gdiBefore_ = GdiObjectsAlive();
    }
    void TearDown() override
    {
        if (MainWindow)
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        if (saver_.joinable())
            saver_.join();
        ClockReset();
        scenetest::ClearSettings();
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    std::string Log() const { return scenetest::ReadText(log_); }
    // Calls the vehicles in turn, as keys would, a few at a time on the
    // street, until `visits` have left.
    bool CallUntil(int visits, int *next)
    {
        int polls = 0;
        return WaitFor(
            [this, visits, next, &polls] {
                if (++polls % 25 == 0 && !LoaderBusy && VehicleCountLeft + VehicleCountRight < 4) {
                    if (!IsOnStage(*next))
                        LoadFigur(*next, 0);
                    *next = *next == kLastPassing ? kFirstPassing : *next + 1;
                }
                return polls % 25 == 0 && VehicleVisits(Log()) >= visits;
            },
            400000);
    }

    testutil::TempDir dir_;
    std::string log_;
    std::thread saver_;
    std::atomic<bool> ended_{false};
    LONG gdiBefore_ = 0;
};

TEST_F(PassingRun, AHundredVisitsInBothLanesLeaveNothingBehind)
{
    ClockStartAt(testutil::Moment(2026, 6, 10, 14, 0, 0));
    RunState = kEndPosted;
    MainWindow = nullptr;
    saver_ = std::thread([this] {
        SaverMode = kModeFullScreen;
        RunSaverWindow(nullptr, kModeFullScreen);
        ended_ = true;
    });
    ASSERT_TRUE(WaitFor([] { return RunState == kRunning && MainWindow; }, 60000)) << Log();

    int next = kFirstPassing;
    ASSERT_TRUE(CallUntil(20, &next)) << Log();
    const size_t memoryEarly = PrivateBytes();
    ASSERT_TRUE(CallUntil(kVisits, &next)) << Log();
    EXPECT_LE(PrivateBytes(), memoryEarly + 2 * 1024 * 1024);

    std::string log = Log();
    // Both lanes had their vehicles, and the long lorries their extra sheet.
    EXPECT_GT(CountOf(log, "Figur  74 ENTLADEN") + CountOf(log, "Figur  80 ENTLADEN"), 0);
    EXPECT_GT(CountOf(log, "Figur  90 ENTLADEN") + CountOf(log, "Figur 104 ENTLADEN"), 0);
    EXPECT_GT(CountOf(log, "DoLoadFigurPlus() - EXIT"), 0);

    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([this] { return ended_.load(); }, 10000)) << Log();
    saver_.join();
    log = Log();
    EXPECT_NE(log.find("SCR NORMAL BEENDET"), std::string::npos);
    EXPECT_NE(log.find("GDI-Objekte offen: 0\r\n"), std::string::npos);
}

}  // namespace
