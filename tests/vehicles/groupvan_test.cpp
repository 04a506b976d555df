// The van that brings a group, with a stand-in group that keeps to its side
// of their agreement: it rides along, gets out when the door is open, sets
// and clears the door flag and sends the van off when its scene is over.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scripts.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "vehicles/busstop.h"

#include "fig061_frames.h"

namespace {

using streettest::EntryColour;
using streettest::StreetScene;

constexpr int kVanId = 71;
constexpr int kGroupId = 61;
constexpr int kGroupActs = 30;   // ticks the door flag stays set

struct FakeGroup {
    int ticks = 0;
    int stopX = -1;
} gGroup;

void FakeGroupScript()
{
    FigurRecord &g = FigurTable[kGroupId];
    FigurRecord &van = FigurTable[kVanId];
    if (g.State == 0 || g.State == 1) {
        g.X = van.X;
        g.Y = van.Y;
        g.FootLine = van.FootLine + 1;
    }
    // Given the stop, it waits for the van to stand with its door open.
    if (g.State == 1 && van.State == 10) {
        gGroup.stopX = g.Gait;
        van.Gait = 1;
        g.State = 2;
        return;
    }
    if (g.State == 2 && ++gGroup.ticks > kGroupActs) {
        van.Gait = 0;
        if (van.State == 10)
            van.State = 11;
        g.State = 3;
    }
}

const ObjectScript kFakeGroup[] = {{kGroupId, FakeGroupScript, nullptr, "Gruppe"}};

class Van : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        gGroup = {};
        SetTestScripts(kFakeGroup);
    }
    void TearDown() override
    {
        SetTestScripts({});
        StreetScene::TearDown();
    }
    FigurRecord &V() { return FigurTable[kVanId]; }
    // Both on stage after the set-up tick, the group's load waited for.
    FigurRecord &Arrive()
    {
        OnStage(kVanId, 0);
        Run(kVanId);
        EXPECT_TRUE(testutil::WaitFor([] { return !LoaderBusy; }, 5000));
        AcceptNewDrawListEntries();
        return V();
    }
    // Runs the van and the group until the van's state is one of the given
    // or it left; the ticks it took.
    int Until(std::initializer_list<int> states, int limit = 5000)
    {
        int ticks = 0;
        while (IsOnStage(kVanId) && ticks < limit) {
            for (int s : states)
                if (V().State == s)
                    return ticks;
            Frames(1);
            ++ticks;
        }
        return ticks;
    }
};

TEST_F(Van, PullsInAtItsStopOpensTheDoorAndLeavesWithTheGroupWhenItsSceneIsOver)
{
    SeedRand(11);
    FigurRecord &r = Arrive();
    EXPECT_TRUE(IsOnStage(kGroupId));
    EXPECT_EQ(r.X, SceneW + 250);
    EXPECT_EQ(VehicleCountLeft, 1);
    Until({5});
    ASSERT_EQ(r.State, 5);
    EXPECT_EQ(r.Direction, 0);
    const int stopX = r.X <= 180 ? 170 : 510;
    EXPECT_LE(r.X, stopX + 10);
    EXPECT_GE(r.X, stopX - maxCarSpeed);
    // Pulled in towards the kerb, by the stop's base line.
    EXPECT_LE(r.FootLine, StopFootLine() + 32);
    Until({6});
    const int doorTicks = Until({7});
    EXPECT_GE(doorTicks, 10 * (figSpeed + 4));
    EXPECT_LE(doorTicks, 10 * (figSpeed + 9) + 10);
    EXPECT_EQ(FigurTable[kGroupId].Gait, stopX);
    Until({10});
    Frames(2);
    EXPECT_EQ(gGroup.stopX, stopX);
    ASSERT_EQ(r.Gait, 1);
    // The open door stands out behind the van while the group gets out.
    EXPECT_EQ(Work(r.X + 213 + 40, r.Y + 50), EntryColour(kGroupId, TimeOfDay, 0, 35));
    Until({11});
    EXPECT_EQ(r.Gait, 0);
    Until({12});
    EXPECT_EQ(r.Direction, -1);
    Until({});
    EXPECT_FALSE(IsOnStage(kVanId));
    EXPECT_FALSE(IsOnStage(kGroupId));
    EXPECT_EQ(VehicleCountLeft, 0);
}

TEST_F(Van, DrivesThroughWhenTheStopIsTaken)
{
    struct {
        const char *name;
        int onStage;
        bool busComing;
    } cases[] = {
        {"the bus is coming", 0, true},
        {"figure 54 is at the stop", 54, false},
        {"figure 66 is out", 66, false},
    };
    for (auto c : cases) {
        if (c.onStage)
            PretendOnStage(c.onStage);
        BusOnStage = c.busComing ? 1 : 0;
        FigurRecord &r = Arrive();
        BusOnStage = 0;
        int lowest = r.X;
        for (int tick = 0; tick < 4000 && IsOnStage(kVanId); ++tick) {
            EXPECT_NE(r.State, 4) << c.name;
            lowest = std::min(lowest, r.X);
            Frames(1);
        }
        EXPECT_FALSE(IsOnStage(kVanId)) << c.name;
        EXPECT_FALSE(IsOnStage(kGroupId)) << c.name << ": carried along and unloaded with it";
        EXPECT_LT(lowest, -300 + 1) << c.name;
        EXPECT_GE(lowest, -300 - maxCarSpeed - 1) << c.name;
        if (c.onStage)
            PretendOnStage(c.onStage, false);
    }
}

TEST_F(Van, GivesUpWithoutItsGroupOrWhenItCannotEnter)
{
    // The group never comes on stage.
    FigurRecord &r = Arrive();
    UnloadFigur(kGroupId);
    Run(kVanId, 400);
    EXPECT_TRUE(IsOnStage(kVanId));
    Run(kVanId);
    EXPECT_FALSE(IsOnStage(kVanId));

    // Held at the entry for more than 24 ticks, or the bus comes meanwhile.
    for (bool bus : {false, true}) {
        Arrive();
        Run(kVanId);
        ASSERT_EQ(r.State, 2);
        int held = 0;
        while (IsOnStage(kVanId) && held < 40) {
            r.AvoidOrder = -1;
            if (bus && held == 3)
                BusOnStage = 1;
            Run(kVanId);
            ++held;
        }
        EXPECT_FALSE(IsOnStage(kVanId));
        EXPECT_FALSE(IsOnStage(kGroupId));
        EXPECT_EQ(held, bus ? 4 : 25);
        BusOnStage = 0;
    }
}

TEST_F(Van, AsksAgainForTheGroupWhileItsOwnLoaderIsStillBusyAndLeavesOnAnyOtherRefusal)
{
    OnStage(kVanId, 0);
    LoaderBusy = 1;  // as its own loader leaves it for a moment
    Run(kVanId);
    EXPECT_TRUE(IsOnStage(kVanId));
    Run(kVanId, 3);
    LoaderBusy = 0;
    Run(kVanId);
    EXPECT_TRUE(testutil::WaitFor([] { return IsOnStage(kGroupId); }, 5000));
    Run(kVanId);
    EXPECT_EQ(V().State, 2);
    UnloadFigur(kGroupId);
    UnloadFigur(kVanId);

    FigurSheetCount[kGroupId] = 0;  // switched off
    OnStage(kVanId, 0);
    Run(kVanId);
    EXPECT_FALSE(IsOnStage(kVanId));
    FigurSheetCount[kGroupId] = 1;
}

TEST_F(Van, TakesClicksWhileItDrivesButNotWhileItStands)
{
    for (int state : {3, 4, 5, 6, 10, 12}) {
        FigurRecord &r = Arrive();
        r.State = state;
        r.X = 300;
        r.Y = 100;
        MouseX = 300 + 240;
        MouseY = 100 + 119;
        ClickPending = 1;
        Run(kVanId);
        EXPECT_EQ(ClickPending, (state >= 5 && state <= 10) ? 1u : 0u) << state;
        ClickPending = 0;
        UnloadFigur(kGroupId);
        UnloadFigur(kVanId);
    }
}

}  // namespace
