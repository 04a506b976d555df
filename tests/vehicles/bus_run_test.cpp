// The bus in the running saver, inside the test program on the street's
// probe sheets: it comes by its timetable, halts and leaves, visit after
// visit, and leaves no pictures or memory behind.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "running_saver.h"
#include "scene_fixture.h"
#include "config/config.h"
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

class BusRun : public scenetest::RunningSaver {
protected:
    void SetUp() override
    {
        RunningSaver::SetUp();
        scenetest::SetSetting("Sound", 0);
        // A bus every second minute, fast, on a fast street.
        scenetest::SetSettingString("BusKommt", "2,2,2,1");
        scenetest::SetSetting("Speed", 40);
        scenetest::SetSetting("minCarSpeed", 8);
        scenetest::SetSetting("maxCarSpeed", 10);
        // Nothing but the bus comes, so that what is alive after each visit
        // compares.
        for (int id = 1; id <= kLastVehicle; ++id) {
            if (id != kBus)
                KeepOff(id);
        }
    }
    // The clock a few seconds before the minute of the next bus.
    static SYSTEMTIME BeforeMinute(int minute) { return testutil::Moment(2026, 6, 10, 14, minute - 1, 56); }
    bool Visit(int n)
    {
        return WaitFor([this, n] { return CountOf(Log(), "-- BUS weg --") >= n; }, 90000);
    }
};

TEST_F(BusRun, ComesByItsTimetableHaltsLeavesAndKeepsNothingOverVisits)
{
    StartAt(BeforeMinute(2));

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
    // A flight between visits holds its own pictures for a while: counts
    // compare only with the sky empty.
    ASSERT_TRUE(WaitFor([] { return AircraftCount == 0; }, 90000));
    const LONG gdiAfterFirst = GdiObjectsAlive();
    const size_t memoryAfterFirst = PrivateBytes();

    for (int visit = 2; visit <= 3; ++visit) {
        ClockStartAt(BeforeMinute(2 * visit));
        ASSERT_TRUE(Visit(visit)) << Log();
    }
    ASSERT_TRUE(WaitFor([] { return AircraftCount == 0; }, 90000));
    EXPECT_LE(GdiObjectsAlive(), gdiAfterFirst);
    EXPECT_LE(PrivateBytes(), memoryAfterFirst + 512 * 1024);

    Stop();
}

}  // namespace
