// A bus whose pictures are missing (this program carries no bus sheet): the
// load fails on the loader's thread at once, and whichever asked for the bus,
// the timetable or key B, no flag says a bus is on stage.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "testutil.h"
#include "vehicles/bus.h"
#include "vehicles/busstop.h"

namespace {

bool LoaderIdle() { return !LoaderBusy; }

TEST(BusRequest, AFailedBusLoadLeavesNoFlagSetWhoeverAskedForIt)
{
    scenetest::UseTestArt();
    scenetest::ResetScene();
    scenetest::FreezeClock(2026, 6, 10, 10, 0, 0);
    BusOnStage = 0;
    BusHalted = 1;
    ASSERT_EQ(RequestBus(), 1);
    ASSERT_TRUE(testutil::WaitFor(LoaderIdle, 10000));
    EXPECT_EQ(BusOnStage, 0u);
    EXPECT_EQ(BusHalted, 0u);
    EXPECT_EQ(LoadFailCount, 1);

    QueueSceneKey('B');
    RunQueuedSceneKeys();
    ASSERT_TRUE(testutil::WaitFor(LoaderIdle, 10000));
    EXPECT_EQ(BusOnStage, 0u);
    EXPECT_EQ(LoadFailCount, 2);

    Housekeeping hk;
    ResetHousekeeping(&hk);
    BusKommt[0] = 5;
    scenetest::FreezeClock(2026, 6, 10, 10, 5, 0);
    RunHousekeeping(&hk);
    ASSERT_TRUE(testutil::WaitFor(LoaderIdle, 10000));
    EXPECT_EQ(BusOnStage, 0u);
    EXPECT_EQ(LoadFailCount, 3);

    // While a bus is on its way, neither asks again.
    BusOnStage = 1;
    EXPECT_EQ(RequestBus(), 0);
    EXPECT_EQ(BusOnStage, 1u);
    UnloadFigur(70);
    EXPECT_EQ(BusOnStage, 0u);
    scenetest::ResetScene();
    ClockReset();
}

}  // namespace
