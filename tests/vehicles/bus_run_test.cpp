// The bus in the running saver, inside the test program on the street's
// probe sheets: it comes by its timetable, halts and leaves, visit after
// visit, and leaves no pictures or memory behind.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene_fixture.h"
#include "shell/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"
#include "vehicles/busstop.h"

#include <psapi.h>

#include <thread>

namespace {

using scenetest::CountOf;
using testutil::WaitFor;

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

class BusRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ClearSettings();
        log_ = dir_.File("bus.log");
        scenetest::SetSetting("DebugOn", 1);
        scenetest::SetSettingString("DebugFileName", log_.c_str());
        scenetest::SetSetting("Sound", 0);
        // A bus every second minute, fast, on a fast street.
        scenetest::SetSettingString("BusKommt", "2,2,2,1");
        scenetest::SetSetting("Speed", 40);
        scenetest::SetSetting("minCarSpeed", 8);
        scenetest::SetSetting("maxCarSpeed", 10);
        // Nothing but the bus comes, so that what is alive after each visit
        // compares.
        for (int id = 1; id <= kLastVehicle; ++id) {
            if (id == kBus)
                continue;
            char name[16];
            StrPrintfN(name, sizeof(name), "nicht%03d", id);
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
    // The clock a few seconds before the minute of the next bus.
    void BeforeMinute(int minute) { ClockStartAt(testutil::Moment(2026, 6, 10, 14, minute - 1, 56)); }
    bool Visit(int n)
    {
        return WaitFor([this, n] { return CountOf(Log(), "-- BUS weg --") >= n; }, 90000);
    }

    testutil::TempDir dir_;
    std::string log_;
    std::thread saver_;
    std::atomic<bool> ended_{false};
    LONG gdiBefore_ = 0;
};

TEST_F(BusRun, ComesByItsTimetableHaltsLeavesAndKeepsNothingOverVisits)
{
    BeforeMinute(2);
    RunState = kEndPosted;
    MainWindow = nullptr;
    saver_ = std::thread([this] {
        SaverMode = kModeFullScreen;
        RunSaverWindow(nullptr, kModeFullScreen);
        ended_ = true;
    });
    ASSERT_TRUE(WaitFor([] { return RunState == kRunning && MainWindow; }, 60000)) << Log();

    bool halted = false;
    ASSERT_TRUE(WaitFor(
        [&halted] {
            halted |= BusHalted != 0;
            return halted;
        },
        60000))
        << Log();
    ASSERT_TRUE(Visit(1)) << Log();
    std::string log = Log();
    const size_t called = log.find("-- BUS --");
    const size_t loaded = log.find("Figur  70 GELADEN");
    const size_t gone = log.find("-- BUS weg --");
    const size_t unloaded = log.find("Figur  70 ENTLADEN");
    ASSERT_NE(called, std::string::npos);
    ASSERT_NE(loaded, std::string::npos);
    ASSERT_NE(unloaded, std::string::npos);
    EXPECT_LT(called, loaded);
    EXPECT_LT(loaded, unloaded);
    EXPECT_LT(unloaded, gone);
    EXPECT_EQ(BusOnStage, 0u);
    const LONG gdiAfterFirst = GdiObjectsAlive();
    const size_t memoryAfterFirst = PrivateBytes();

    for (int visit = 2; visit <= 3; ++visit) {
        BeforeMinute(2 * visit);
        ASSERT_TRUE(Visit(visit)) << Log();
    }
    EXPECT_LE(GdiObjectsAlive(), gdiAfterFirst);
    EXPECT_LE(PrivateBytes(), memoryAfterFirst + 512 * 1024);

    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([this] { return ended_.load(); }, 10000)) << Log();
    saver_.join();
    log = Log();
    EXPECT_NE(log.find("SCR NORMAL BEENDET"), std::string::npos);
    EXPECT_NE(log.find("GDI-Objekte offen: 0\r\n"), std::string::npos);
}

}  // namespace
