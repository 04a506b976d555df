// The window cleaner and his apprentice (figure 59): across to the right,
// a while away, back to the left; swaying at night; gone when the day phase
// changes while they are away.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"

#include <set>

namespace {

using streettest::StreetScene;

constexpr int kPair = 59;

class LadderPair : public StreetScene {
protected:
    FigurRecord &Enter()
    {
        OnStage(kPair, 0);
        Run(kPair);
        return FigurTable[kPair];
    }
};

TEST_F(LadderPair, CrossRightStayAwayAndComeBackLeft)
{
    SeedRand(7);
    FigurRecord &r = Enter();
    EXPECT_EQ(r.State, 1);
    EXPECT_EQ(r.X, -90);
    EXPECT_EQ(r.FrameW, 88);
    EXPECT_GE(r.Y, SceneH - 281);
    EXPECT_LE(r.Y, SceneH - 261);
    std::set<int> entries;
    int x = r.X;
    while (IsOnStage(kPair) && r.State == 1) {
        const int x0 = r.X, y0 = r.Y;
        Run(kPair);
        if (x0 >= 0 && x0 < SceneW - 90)
            entries.insert(DrawnEntryAt(kPair, x0, y0));
        if (r.X != x) {
            EXPECT_EQ(r.X - x, 17);
            x = r.X;
        }
        r.AvoidOrder = 0;
    }
    ASSERT_EQ(r.State, 2);
    EXPECT_GT(r.X, SceneW);
    EXPECT_GE(r.WaitCount, 200);
    EXPECT_LE(r.WaitCount, 4000);
    for (int e : entries)
        EXPECT_TRUE(e >= 0 && e < 12) << e;
    const int away = r.WaitCount;
    int calls = 0;
    while (r.State == 2) {
        Run(kPair);
        ++calls;
    }
    EXPECT_EQ(calls, away);
    EXPECT_EQ(r.State, 3);
    x = r.X;
    while (IsOnStage(kPair)) {
        const int x0 = r.X, y0 = r.Y;
        Run(kPair);
        if (IsOnStage(kPair) && r.X != x) {
            EXPECT_EQ(x - r.X, 17);
            x = r.X;
        }
        if (x0 >= 0 && x0 < SceneW - 90) {
            const int e = DrawnEntryAt(kPair, x0, y0);
            EXPECT_TRUE(e >= 12 && e < 20) << e;
        }
        r.AvoidOrder = 0;
    }
    EXPECT_LT(x, -70);
}

TEST_F(LadderPair, AtNightTheySwayOnTheWayAndAwayTheyLeaveAtAPhaseChange)
{
    At(2026, 6, 10, 23, 30);
    Build();
    SeedRand(3);
    FigurRecord &r = Enter();
    EXPECT_LE(r.Y, SceneH - 243);
    r.X = 200;
    // Within one stride the lane position changes on several frames.
    std::set<int> ys;
    const int x = r.X;
    while (r.X == x) {
        Run(kPair);
        ys.insert(r.Y);
    }
    EXPECT_GE(ys.size(), 2u);
    r.State = 2;
    r.WaitCount = 3000;
    PhaseChangeDue = 1;
    Run(kPair);
    EXPECT_FALSE(IsOnStage(kPair));
    PhaseChangeDue = 0;
}

}  // namespace
