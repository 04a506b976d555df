#include <gtest/gtest.h>

#include "base/now.h"
#include "services/calendar.h"
#include "scene_fixture.h"
#include "config/config.h"

namespace {

const int kDefaultDayNight[4] = {8, 20, 12, 3};

TEST(Calendar, DayPhaseFollowsMorningAndEveningHours)
{
    struct { int hour; int phase; } cases[] = {
        {0, kNight}, {6, kNight}, {7, kDusk}, {8, kDay}, {19, kDay}, {20, kDusk}, {21, kNight}, {23, kNight},
    };
    for (auto c : cases)
        EXPECT_EQ(TimeOfDayForHour(c.hour, kDefaultDayNight), c.phase) << c.hour;
    // Through the clock: 6:59 is still night, 7:00 dusk, 19:59 day.
    DayNight[0] = 8; DayNight[1] = 20; DayNight[2] = 12; DayNight[3] = 3;
    scenetest::FreezeClock(2026, 6, 10, 6, 59, 59);
    EXPECT_EQ(TimeOfDay, kNight);
    scenetest::FreezeClock(2026, 6, 10, 7, 0, 0);
    EXPECT_EQ(TimeOfDay, kDusk);
    scenetest::FreezeClock(2026, 6, 10, 19, 59, 0);
    EXPECT_EQ(TimeOfDay, kDay);
    EXPECT_EQ(Season, kSummer);
    ClockReset();
}

TEST(Calendar, EasterAndCarnivalWindowsOf2026)
{
    struct { int month, day; int easter, carnival; } cases[] = {
        {2, 1, 0, 0}, {2, 2, 0, 1}, {2, 17, 0, 1}, {2, 18, 0, 0},
        {3, 28, 0, 0}, {3, 29, 1, 0}, {4, 5, 1, 0}, {4, 6, 1, 0}, {4, 7, 0, 0},
    };
    for (auto c : cases) {
        scenetest::FreezeClock(2026, c.month, c.day, 12, 0, 0, false);
        EXPECT_EQ(IsEasterTime(), c.easter) << c.month << "/" << c.day;
        EXPECT_EQ(IsCarnivalTime(), c.carnival) << c.month << "/" << c.day;
    }
    ClockReset();
}

}  // namespace
