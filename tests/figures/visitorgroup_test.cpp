// The couple that the van brings (figure 61), with the van's own script:
// unseen until the van opens its door, a visit behind door 2 or 3 while the
// street is clear of the figures that would meet them, the looks on the way
// in and out, and the van sent off at the end.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"

#include "fig061_frames.h"

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

constexpr int kGroup = 61, kVan = 71;

class VisitorGroup : public StreetScene {
protected:
    FigurRecord &G() { return FigurTable[kGroup]; }
    FigurRecord &V() { return FigurTable[kVan]; }
    void Arrive()
    {
        OnStage(kVan, 0);
        Run(kVan);
        ASSERT_TRUE(testutil::WaitFor([] { return IsOnStage(kGroup) && !LoaderBusy; }, 5000));
        AcceptNewDrawListEntries();
    }
    // Scene frames until the group's state is the one given or the van left.
    int UntilGroup(int state, int limit = 20000)
    {
        int frames = 0;
        while (IsOnStage(kVan) && G().State != state && frames < limit) {
            Frames(1);
            ++frames;
        }
        return frames;
    }
    void ClearWorkAndRun()
    {
        BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
        Run(kGroup);
    }
    // The group drew one of its own frames (not the van's parts) at its point.
    bool GroupDrawn(int slot = 0)
    {
        const int e = DrawnEntry(kGroup, slot);
        return slot != 0 ? e >= 0 : e >= kFig061GroupFirst;
    }
};

TEST_F(VisitorGroup, AVisitFromTheVanToTheDoorAndBackSendsTheVanOff)
{
    SeedRand(5);
    Arrive();
    // Riding along unseen until the van has opened its door.
    while (IsOnStage(kVan) && G().State == 0) {
        Frames(1);
        if (G().State == 0) {
            EXPECT_FALSE(GroupDrawn());
        }
    }
    ASSERT_EQ(G().State, 1);
    const int halt = G().Gait;
    ASSERT_TRUE(halt == 170 || halt == 510);
    Frames(1);
    EXPECT_EQ(G().State, 2);
    EXPECT_EQ(G().X, V().X + 58);
    // From the next frame on it stands before the van.
    Frames(1);
    EXPECT_TRUE(GroupDrawn());
    bool doorFlagSeen = false;
    while (IsOnStage(kVan) && G().State < 500) {
        Frames(1);
        doorFlagSeen = doorFlagSeen || V().Gait == 1;
        G().AvoidOrder = 0;
    }
    EXPECT_TRUE(doorFlagSeen);
    ASSERT_EQ(G().State, 500);
    EXPECT_EQ(G().X, halt == 170 ? 429 : 779);
    G().WaitCount = 1;
    const int vanState = V().State;
    EXPECT_EQ(vanState, 10);
    UntilGroup(606);
    ASSERT_EQ(G().State, 606);
    EXPECT_EQ(V().Gait, 0);
    EXPECT_EQ(V().State, 11);
    // Both drive off past the left edge and are unloaded there.
    int lowest = V().X;
    while (IsOnStage(kVan)) {
        lowest = std::min(lowest, V().X);
        Frames(1);
    }
    EXPECT_LT(lowest, -300);
    EXPECT_FALSE(IsOnStage(kGroup));
}

TEST_F(VisitorGroup, TheyStayInsideAndTheVanWaitsWhileAnyoneTheyWouldMeetIsOut)
{
    SeedRand(9);
    Arrive();
    UntilGroup(500);
    ASSERT_EQ(G().State, 500);
    for (int id : {18, 24, 30, 41, 54, 62, 63, 64}) {
        SCOPED_TRACE(id);
        PretendOnStage(id);
        G().WaitCount = 1;
        Frames(150);
        EXPECT_EQ(G().State, 500);
        EXPECT_EQ(V().State, 10);
        PretendOnStage(id, false);
    }
    Frames(2);
    EXPECT_TRUE(G().State == 600 || G().State == 510) << G().State;
}

TEST_F(VisitorGroup, TheWayOutLookIsAskedForOnlyAfterTheWayInLook)
{
    // Halted at door 2, some seed takes the look on the way in.
    bool withLook = false, withoutLook = false;
    for (uint32_t seed = 1; seed < 80 && !(withLook && withoutLook); ++seed) {
        Arrive();
        G().Gait = 170;
        G().State = 1;
        V().State = 10;
        SeedRand(seed);
        const size_t before = Log().size();
        for (int call = 0; call < 2000 && G().State < 100; ++call) {
            Run(kGroup);
            G().AvoidOrder = 0;
        }
        const bool asked = G().State == 100;
        if ((asked && withLook) || (!asked && withoutLook)) {
            UnloadFigur(kGroup);
            UnloadFigur(kVan);
            testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
            continue;
        }
        EXPECT_EQ(CountOf(Log().substr(before), "FIG061_01_01"), asked ? 1 : 0);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
        for (int call = 0; call < 5000 && G().State != 500; ++call) {
            Run(kGroup);
            G().AvoidOrder = 0;
        }
        ASSERT_EQ(G().State, 500);
        G().WaitCount = 1;
        Run(kGroup);
        EXPECT_EQ(G().State, asked ? 510 : 600);
        EXPECT_EQ(CountOf(Log().substr(before), "FIG061_01_02"), asked ? 1 : 0);
        if (asked) {
            // Nothing shows from the slot until the way-out sheet is in it.
            ASSERT_TRUE(testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000));
            ClearWorkAndRun();
            EXPECT_EQ(DrawnEntry(kGroup, 2), 0);
        }
        (asked ? withLook : withoutLook) = true;
        UnloadFigur(kGroup);
        UnloadFigur(kVan);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    }
    EXPECT_TRUE(withLook);
    EXPECT_TRUE(withoutLook);
}

}  // namespace
