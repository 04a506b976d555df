// Frame pacing by a deadline.
#include <gtest/gtest.h>

#include "core/pacing.h"
#include "core/random.h"

namespace {

// Frames whose work takes anything from nothing to the whole period: with a
// deadline the period stays the interval on average; a stamp taken before
// the wait would let every other frame go unwaited.
TEST(FramePacing, KeepsTheAveragePeriodAtTheInterval)
{
    const int interval = 40;
    uint32_t now = 1000000, deadline = now;
    uint32_t start = now;
    SeedRand(5);
    const int frames = 2000;
    for (int i = 0; i < frames; ++i) {
        now += static_cast<uint32_t>(Rand() % 36);
        int32_t rest = FrameRest(&deadline, now, interval);
        ASSERT_GE(rest, 0);
        now += static_cast<uint32_t>(rest);
    }
    EXPECT_EQ(now - start, static_cast<uint32_t>(frames * interval));
}

TEST(FramePacing, ALongFrameStartsAfreshInsteadOfRacing)
{
    uint32_t now = 5000, deadline = now;
    now += 10;
    now += static_cast<uint32_t>(FrameRest(&deadline, now, 40));
    EXPECT_EQ(now, 5040u);
    now += 130;  // a frame three periods long
    EXPECT_EQ(FrameRest(&deadline, now, 40), 0);
    // The next frame waits a whole period again rather than coming at once.
    now += 5;
    EXPECT_EQ(FrameRest(&deadline, now, 40), 35);
    // A clock that wraps keeps the pace.
    now = 0xFFFFFFF0u;
    deadline = now;
    EXPECT_EQ(FrameRest(&deadline, now + 10, 40), 30);
}

}  // namespace
