// Figure 52, the student behind door 3: out of his door and off to the left,
// or home from the left in an outfit of his extra sheet and in at door 3;
// the night crossing; dusk and the people of the houses keep him away.
#include "street_fixture.h"

#include "core/random.h"
#include "figures/figures.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"

#include <set>

namespace {

using streettest::StreetScene;

constexpr int kLodger = 52;
constexpr int kDoor3X = 779, kDoor3Y = 18;

class Lodger : public StreetScene {
protected:
    void ClearWork() { BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY); }
    // Calls him until he leaves; the states he passed through.
    std::set<int> RunToEnd(int calls)
    {
        std::set<int> states;
        FigurRecord &r = FigurTable[kLodger];
        for (int call = 0; call < calls && IsOnStage(kLodger); ++call) {
            states.insert(r.State);
            Run(kLodger);
            r.AvoidOrder = 0;
        }
        return states;
    }
};

TEST_F(Lodger, AtDuskHeLeavesAtHisFirstCall)
{
    At(2026, 6, 10, 20, 30);
    Build();
    ASSERT_EQ(TimeOfDay, kDusk);
    OnStage(kLodger, 0);
    Run(kLodger);
    EXPECT_FALSE(IsOnStage(kLodger));
}

TEST_F(Lodger, BehindHisDoorHeWaitsForThePeopleOfTheHousesThenComesOutAndWalksOffLeft)
{
    ResidentDoor[kLodger] = 3;
    OnStage(kLodger, 0);
    FigurRecord &r = FigurTable[kLodger];
    Run(kLodger, 2);
    ASSERT_EQ(r.State, 2);
    for (int id : {61, 64, 67}) {
        SCOPED_TRACE(id);
        PretendOnStage(id);
        Run(kLodger, 30);
        EXPECT_EQ(r.State, 2);
        EXPECT_EQ(ResidentDoor[kLodger], 3);
        PretendOnStage(id, false);
    }
    const size_t pauseLines = static_cast<size_t>(scenetest::CountOf(Log(), "F_PAUSE:  52"));
    EXPECT_EQ(pauseLines, 1u);
    Run(kLodger);
    ASSERT_EQ(r.State, 3);
    EXPECT_EQ(r.X, kDoor3X);
    EXPECT_EQ(r.Y, kDoor3Y);
    ClearWork();
    Run(kLodger);
    EXPECT_EQ(DrawnEntryAt(kLodger, kDoor3X, kDoor3Y, 0), 0);
    const std::set<int> states = RunToEnd(20000);
    EXPECT_FALSE(IsOnStage(kLodger));
    EXPECT_EQ(ResidentDoor[kLodger], 0);
    for (int s : {3, 4, 5, 6, 7, 999})
        EXPECT_EQ(states.count(s), 1u) << s;
}

TEST_F(Lodger, NotInsideHeWalksHomeInAnOutfitAndGoesInAtDoorThree)
{
    ResidentDoor[kLodger] = 0;
    OnStage(kLodger, 0);
    FigurRecord &r = FigurTable[kLodger];
    Run(kLodger, 3);
    ASSERT_EQ(r.State, 191);
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            Run(kLodger);
            return r.State == 192;
        },
        5000));
    EXPECT_NE(Log().find("FIG052_01_0"), std::string::npos);
    while (r.State != 201 && IsOnStage(kLodger))
        Run(kLodger);
    EXPECT_EQ(r.X, -100);
    int walked = 0;
    for (int call = 0; call < 2000 && r.State == 201; ++call) {
        if (r.X >= 0 && r.X < 700) {
            ClearWork();
            const int x = r.X, y = r.Y;
            Run(kLodger);
            const int e = DrawnEntryAt(kLodger, x, y, 1);
            if (e >= 0) {
                EXPECT_LE(e, 8);  // entry 8 lies over entry 7 (the same pose)
                ++walked;
            }
        } else {
            Run(kLodger);
        }
        r.AvoidOrder = 0;
    }
    EXPECT_GT(walked, 0);
    const std::set<int> states = RunToEnd(20000);
    for (int s : {203, 204, 205, 999})
        EXPECT_EQ(states.count(s), 1u) << s;
    EXPECT_FALSE(IsOnStage(kLodger));
    EXPECT_EQ(ResidentDoor[kLodger], 3);
}

TEST_F(Lodger, ARefusedOutfitEndsHisActQuietly)
{
    ResidentDoor[kLodger] = 0;
    OnStage(kLodger, 0);
    FigurRecord &r = FigurTable[kLodger];
    Run(kLodger, 2);
    ASSERT_EQ(r.State, 190);
    PlusLoaderBusy = 1;
    Run(kLodger);
    PlusLoaderBusy = 0;
    EXPECT_EQ(r.State, 999);
    Run(kLodger, 60);
    EXPECT_FALSE(IsOnStage(kLodger));
    EXPECT_EQ(scenetest::CountOf(Log(), "+++ 52"), 0);
}

TEST_F(Lodger, AtNightHeCrossesTheNearPavement)
{
    At(2026, 6, 10, 23, 30);
    Build();
    OnStage(kLodger, 0);
    FigurRecord &r = FigurTable[kLodger];
    Run(kLodger, 2);
    ASSERT_EQ(r.State, 501);
    EXPECT_EQ(r.X, -100);
    EXPECT_GE(r.Y, SceneH - 92);
    int strides = 0;
    for (int call = 0; call < 20000 && IsOnStage(kLodger); ++call) {
        const int x = r.X;
        Run(kLodger);
        if (IsOnStage(kLodger) && r.X != x) {
            EXPECT_EQ(r.X - x, 35);
            ++strides;
        }
    }
    EXPECT_FALSE(IsOnStage(kLodger));
    EXPECT_GT(strides, SceneW / 35);
}

}  // namespace
