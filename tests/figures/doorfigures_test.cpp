// The large walkers of the near pavement and the person of door 2: where
// the person is between appearances, the lights it switches, the clicks
// that stop or start its acts.
#include "street_fixture.h"

#include "base/debuglog.h"
#include "core/daterules.h"
#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene/scripts.h"
#include "scene_fixture.h"
#include "shell/keys.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

// Seeds the generator so that its next n values pass the test.
void SeedSoThat(int n, const std::function<bool(const std::vector<int> &)> &next)
{
    for (uint32_t seed = 1; seed < 200000; ++seed) {
        SeedRand(seed);
        std::vector<int> v;
        for (int i = 0; i < n; ++i)
            v.push_back(Rand());
        if (next(v)) {
            SeedRand(seed);
            return;
        }
    }
    FAIL() << "no seed";
}

class DoorFigures : public StreetScene {
protected:
    void FigSetYForTest(FigurRecord &r, int y)
    {
        r.Y = y;
        r.FootLine = y + r.FrameH;
    }
    // The next call ends the frame (or the run) the figure is in.
    void AtFrameEnd(FigurRecord &r, int frame)
    {
        r.Frame = frame;
        r.Tick = 100000;
    }
};

TEST_F(DoorFigures, TheWinterResidentActsOnlyOnAClickOnHerCoat)
{
    At(2026, 12, 10, 20, 30);
    Build();
    struct {
        int dx, dy;
        bool acts;
    } cases[] = {{70, 60, true}, {144, 130, true}, {69, 60, false}, {100, 59, false}, {145, 100, false}};
    for (auto c : cases) {
        FigurRecord &r = Enter(26);
        EXPECT_EQ(std::string(r.Name), std::string(FigurDisplayName(25)) + " (W)");
        EXPECT_EQ(r.FrameW, 144);
        EXPECT_EQ(r.X, -120);
        EXPECT_GE(r.Y, SceneH - 135);
        EXPECT_LE(r.Y, SceneH - 133);
        r.X = 300;
        AtFrameEnd(r, 0);
        Click(300 + c.dx, r.Y + c.dy);
        Run(26);
        EXPECT_EQ(r.State, c.acts ? 2 : 1) << c.dx << "," << c.dy;
        EXPECT_EQ(ClickPending, c.acts ? 0u : 1u);
        if (c.acts) {
            EXPECT_GE(r.WaitCount, 3);
            EXPECT_LE(r.WaitCount, 12);
        }
        ClickPending = 0;
        UnloadFigur(26);
    }
}

TEST_F(DoorFigures, TheWinterResidentsActEndsWhenTwoCarsComeOnTheNearLane)
{
    struct {
        int cars, state;
    } cases[] = {{1, 2}, {2, 1}};
    for (auto c : cases) {
        FigurRecord &r = Enter(26);
        r.X = 300;
        r.State = 2;
        r.WaitCount = 5;
        AtFrameEnd(r, 4);
        VehicleCountRight = c.cars;
        Run(26);
        EXPECT_EQ(r.State, c.state) << c.cars;
        EXPECT_EQ(r.X, c.state == 1 ? 305 : 300);
        VehicleCountRight = 0;
        UnloadFigur(26);
    }
}

TEST_F(DoorFigures, TheNightWalkerStridesThirtyThreePixelsAndTakesNoClick)
{
    At(2026, 6, 10, 23, 30);
    Build();
    FigurRecord &r = Enter(27);
    EXPECT_EQ(r.X, -120);
    EXPECT_TRUE(r.Gait == 0 || r.Gait == 4);
    r.X = 300;
    Click(330, r.Y + 40);
    AtFrameEnd(r, 3);
    const int gait = r.Gait;
    Run(27);
    EXPECT_EQ(DrawnEntryAt(27, 300, r.Y), gait + 3);
    EXPECT_EQ(r.X, 333);
    EXPECT_EQ(ClickPending, 1u);
    ClickPending = 0;
    r.X = SceneW - 10;
    AtFrameEnd(r, 3);
    Run(27);
    EXPECT_FALSE(IsOnStage(27));
}

TEST_F(DoorFigures, WhereThePersonOfDoorTwoIsAfterEachWayOut)
{
    struct {
        int id, state, frame, x;
        int home;
        bool staysOnStage;
        const char *what;
    } cases[] = {
        {28, 3, 9, 411, 2, true, "28 goes back in"},
        {28, 10, 8, 411, 0, true, "28 comes out"},
        {32, 5, 16, 429, 2, true, "32 goes in"},
        {32, 1, 4, 1270, 0, false, "32 walks past its door off the right edge"},
    };
    for (auto c : cases) {
        Figur028Home = 2 - c.home;
        FigurRecord &r = Enter(c.id);
        r.State = c.state;
        r.X = c.x;
        r.Y = 17;
        AtFrameEnd(r, c.frame);
        Run(c.id);
        EXPECT_EQ(Figur028Home, c.home) << c.what;
        EXPECT_EQ(IsOnStage(c.id), c.staysOnStage) << c.what;
        if (c.id == 28 && c.home == 0) {
            EXPECT_EQ(r.State, 11);
            EXPECT_EQ(r.Y, 40);
            EXPECT_EQ(r.FootLine, 40 + 87);
        }
        UnloadFigur(c.id);
    }
    Figur028Home = 2;
}

TEST_F(DoorFigures, TheDoorwayWaitsUnseenWhileTheWaitingGroupIsThereAndGivesUpAtAPhaseChange)
{
    FigurRecord &r = Enter(28);
    EXPECT_EQ(r.State, 1);
    PretendOnStage(62);
    Run(28);
    EXPECT_EQ(r.State, 900);
    EXPECT_EQ(r.WaitCount, 100);
    Run(28, 99);
    EXPECT_EQ(r.State, 900);
    Run(28);
    EXPECT_EQ(r.State, 1);
    Run(28);
    EXPECT_EQ(r.State, 900);
    PhaseChangeDue = 1;
    Run(28, 101);
    EXPECT_EQ(r.State, 999);
    PhaseChangeDue = 0;
    PretendOnStage(62, false);
    UnloadFigur(28);
    // Once the group has gone he stands in the doorway.
    FigurRecord &s = Enter(28);
    Run(28);
    EXPECT_EQ(s.State, 2);
    EXPECT_EQ(s.X, 411);
    EXPECT_EQ(s.Y, 17);
    Run(28);
    EXPECT_EQ(DrawnEntryAt(28, 411, 17), 0);
}

TEST_F(DoorFigures, TheDoorwayWalkLeftJumpsBetweenRunsOfThree)
{
    struct {
        int from;
        std::vector<int> draws;  // speed, the jump's chance, its choice
        int to;
    } cases[] = {
        {0, {0, 0, 1}, 3}, {0, {0, 0, 0}, 6}, {0, {0, 1, 0}, 1}, {3, {0, 0}, 9},
        {6, {0, 0, 1}, 3}, {6, {0, 0, 0}, 9}, {1, {0}, 2},
    };
    FigurRecord &r = Enter(28);
    for (auto c : cases) {
        r.State = 12;
        r.X = 600;
        r.Y = 60;
        AtFrameEnd(r, c.from);
        const size_t n = c.draws.size();
        SeedSoThat(static_cast<int>(n), [&](const std::vector<int> &v) {
            if (n >= 2 && ((v[1] & 3) == 0) != (c.draws[1] == 0))
                return false;
            return n < 3 || (v[2] & 1) == c.draws[2];
        });
        Run(28);
        EXPECT_EQ(r.Frame, c.to) << c.from;
        EXPECT_EQ(r.X, 600);
    }
}

TEST_F(DoorFigures, TheWindowLightsAndTheWinterSheet)
{
    At(2026, 12, 10, 21, 0);
    Build();
    FigurRecord &r = Enter(29);
    EXPECT_EQ(r.X, 324);
    EXPECT_EQ(r.Y, SceneH - 331);
    std::string log = Log();
    for (const char *line : {"Licht:  5 an", "Licht:  6 an", "Licht:  9 an"})
        EXPECT_EQ(CountOf(log, line), 1) << line;
    Run(29);
    EXPECT_EQ(DrawnEntry(29, 1), 0);
    // Leaving, it switches light 5 on once more.
    r.State = 3;
    AtFrameEnd(r, 71);
    Run(29);
    EXPECT_FALSE(IsOnStage(29));
    EXPECT_EQ(CountOf(Log(), "Licht:  5 an"), 2);
    // Called by the bell it comes after its two waits, and lights up first.
    FigurRecord &s = Enter(29, 100);
    int calls = 0;
    while (s.State != 1 && calls < 100) {
        Run(29);
        ++calls;
    }
    EXPECT_EQ(s.State, 1);
    EXPECT_GE(calls, 15);
    EXPECT_EQ(CountOf(Log(), "Licht:  6 an"), 3);
}

TEST_F(DoorFigures, ClicksOnThePersonWalkingBy)
{
    // 31 walking right goes into its act at once.
    FigurRecord &r = Enter(31);
    r.X = 300;
    Click(300 + 48, r.Y + 91);
    Run(31);
    EXPECT_EQ(r.State, 3);
    EXPECT_EQ(ClickPending, 0u);
    UnloadFigur(31);
    // 32 stands when clicked more than 50 pixels before its door, else it
    // walks on to the door.
    struct {
        int x, state, xAfter;
    } cases[] = {{429 - 50 - 22 - 1, 2, 429 - 50 - 23}, {429 - 50 - 22, 1, 429 - 50}};
    for (auto c : cases) {
        FigurRecord &s = Enter(32);
        s.X = c.x;
        AtFrameEnd(s, 4);
        Click(c.x + 22 + 10, s.Y + 10);
        Run(32);
        EXPECT_EQ(s.State, c.state) << c.x;
        EXPECT_EQ(s.X, c.xAfter);
        EXPECT_EQ(ClickPending, 0u);
        UnloadFigur(32);
    }
}

TEST_F(DoorFigures, ComingHomeTheyClimbTheStepsAndGoIn)
{
    Figur028Home = 0;
    FigurRecord &r = Enter(32);
    r.X = 300;
    std::vector<int> states;
    for (int call = 0; call < 20000 && IsOnStage(32); ++call) {
        if (states.empty() || states.back() != r.State)
            states.push_back(r.State);
        r.AvoidOrder = 0;
        Run(32);
    }
    EXPECT_FALSE(IsOnStage(32));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), 999);
    EXPECT_EQ(Figur028Home, 2);
    Figur028Home = 2;
}

TEST_F(DoorFigures, TheResidentOfDoorsOneAndTwoAsksForTheSheetOfHerStory)
{
    struct {
        int houseDoor, hour;
        bool group58, refused;
        const char *sheet;  // asked for; "" none
        int x, y, state;    // after the sheet came; state 0: she left at once
    } cases[] = {
        {0, 10, true, false, "FIG025_01_02_K", -100, -1, 100},
        {0, 20, false, false, "FIG025_02_02_K", -100, -1, 100},
        {2, 23, false, false, "FIG025_03_02_G", 429, 17, 200},
        {1, 10, false, false, "FIG025_01_01_G", 93, 11, 200},
        {1, 20, false, false, "", 0, 0, 0},
        {0, 10, false, true, "", 0, 0, 0},
    };
    for (auto c : cases) {
        At(2026, 12, 10, c.hour, 0);
        Build();
        Figur025HouseDoor = c.houseDoor;
        PretendOnStage(58, c.group58);
        OnStage(25, 0);
        if (c.refused)
            PlusLoaderBusy = 1;
        Run(25);
        PlusLoaderBusy = 0;
        const std::string log = Log();
        if (!*c.sheet) {
            EXPECT_FALSE(IsOnStage(25)) << c.hour;
            EXPECT_EQ(CountOf(log, "zu FIG 25 laden"), 0);
            EXPECT_EQ(Figur025HouseDoor, c.houseDoor);
            continue;
        }
        EXPECT_EQ(CountOf(log, std::string("Bitmap [") + c.sheet), 1) << c.sheet;
        FigurRecord &r = FigurTable[25];
        ASSERT_TRUE(testutil::WaitFor([] { return FigurTable[25].Sheets[1] != nullptr && !PlusLoaderBusy; }, 5000));
        Run(25);
        EXPECT_EQ(r.State, c.state) << c.sheet;
        if (c.y < 0) {
            EXPECT_GE(r.X, -100);
            EXPECT_LE(r.X, -90);
        } else {
            EXPECT_EQ(r.X, c.x);
            EXPECT_EQ(r.Y, c.y);
        }
        UnloadFigur(25);
        CloseDebugLog();
        testutil::WriteFileBytes(log_, "");
        OpenDebugLog(log_.c_str());
    }
    PretendOnStage(58, false);
    Figur025HouseDoor = 0;
}

TEST_F(DoorFigures, TheResidentGivesUpWithoutHerSheetOrWhenSheCannotComeOut)
{
    FigurRecord &r = Enter(25);
    ASSERT_TRUE(testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000));
    ClearExtraSheet(&r, 1);
    r.State = 1;
    r.Frame = 0;
    Run(25, 400);
    EXPECT_TRUE(IsOnStage(25));
    Run(25);
    EXPECT_FALSE(IsOnStage(25));
    // Inside, she waits unseen while the waiting group is there.
    Figur025HouseDoor = 2;
    FigurRecord &s = Enter(25);
    ASSERT_TRUE(testutil::WaitFor([] { return FigurTable[25].Sheets[1] != nullptr && !PlusLoaderBusy; }, 5000));
    Run(25);
    ASSERT_EQ(s.State, 200);
    PretendOnStage(63);
    Run(25, 1000);
    EXPECT_EQ(s.State, 200);
    Run(25);
    EXPECT_EQ(s.State, 999);
    s.State = 200;
    PhaseChangeDue = 1;
    Run(25);
    EXPECT_EQ(s.State, 999);
    PhaseChangeDue = 0;
    PretendOnStage(63, false);
    Run(25, 60);
    EXPECT_FALSE(IsOnStage(25));
    EXPECT_EQ(Figur025HouseDoor, 2);
    EXPECT_GE(FigurTable[25].Pause, 40);
    Figur025HouseDoor = 0;
}

TEST_F(DoorFigures, ArrivingSheStandsWhenHeldUpFarFromHerDoorAndTurnsToItNearby)
{
    PretendOnStage(58);  // door 2
    struct {
        int x, state, xAfter;
    } cases[] = {{429 - 50 - 25 - 1, 102, 429 - 50 - 26}, {429 - 50 - 25, 100, 429 - 50}};
    for (auto c : cases) {
        FigurRecord &r = Enter(25);
        ASSERT_TRUE(testutil::WaitFor([] { return FigurTable[25].Sheets[1] != nullptr && !PlusLoaderBusy; }, 5000));
        Run(25);
        ASSERT_EQ(r.State, 100);
        r.X = c.x;
        FigSetYForTest(r, r.LaneYMin);
        r.AvoidOrder = -2;
        AtFrameEnd(r, 3);
        Run(25);
        EXPECT_EQ(r.State, c.state) << c.x;
        EXPECT_EQ(r.X, c.xAfter);
        if (c.state == 102) {
            // Standing within door x - 15 .. + 20 she turns to the door.
            r.X = 429 + 20;
            r.AvoidOrder = 0;
            AtFrameEnd(r, 7);
            Run(25);
            EXPECT_EQ(r.State, 103);
            EXPECT_EQ(r.Direction, -2);
        }
        UnloadFigur(25);
    }
    PretendOnStage(58, false);
}

}  // namespace
