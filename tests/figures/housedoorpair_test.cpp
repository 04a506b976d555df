// The couple at door 2 (figure 33): who comes by the time of day and the
// house-door globals, her street act, the walk from the left to door 2 with
// the house lights, going in and coming out again, the click that stops a
// person before the door, and the ends of an appearance without its sheet.
#include "street_fixture.h"

#include "core/random.h"
#include "features/lights.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "shell/keys.h"
#include "testutil.h"

#include <set>
#include <string>

namespace {

using streettest::StreetScene;

constexpr int kPair = 33;
constexpr int kDoorX = 429, kDoorY = 17;

class HouseDoorPair : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        Figur033HouseDoor1 = Figur033HouseDoor2 = 0;
    }
    void TearDown() override
    {
        Figur033HouseDoor1 = Figur033HouseDoor2 = 0;
        for (int id = 61; id <= 67; ++id)
            PretendOnStage(id, false);
        StreetScene::TearDown();
    }
    // Runs the script until its state is one of the wanted, or it leaves.
    bool RunUntil(std::initializer_list<int> wanted, int calls = 20000)
    {
        FigurRecord &r = FigurTable[kPair];
        for (int i = 0; i < calls && IsOnStage(kPair); ++i) {
            for (int s : wanted)
                if (r.State == s)
                    return true;
            Run(kPair);
        }
        for (int s : wanted)
            if (r.State == s && IsOnStage(kPair))
                return true;
        return false;
    }
    // Waits for the extra sheet the set-up asked for.
    bool SheetArrives(int waitState)
    {
        FigurRecord &r = FigurTable[kPair];
        return testutil::WaitFor(
            [&] {
                if (r.State == waitState)
                    Run(kPair);
                return r.State != waitState || !IsOnStage(kPair);
            },
            10000) &&
               IsOnStage(kPair);
    }
    // The caller alone on her way to the door, her sheet there: true when
    // she walks.
    bool WalkingToTheDoor(uint32_t seed)
    {
        SeedRand(seed);
        OnStage(kPair, 90);
        Run(kPair);
        return SheetArrives(91) && FigurTable[kPair].State == 100;
    }
    void Leave()
    {
        UnloadFigur(kPair);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    }
};

TEST_F(HouseDoorPair, WhoComesByTheTimeOfDayAndTheSecondPersonsDoor)
{
    struct Case {
        const char *what;
        int hour;
        int door2;
        std::set<int> states;  // what the choice gives over the seeds
    } cases[] = {
        {"dusk: she, for the door act", 20, 0, {90}},
        {"night: she, for the door act", 23, 2, {90}},
        {"day, he is inside: he comes out", 14, 2, {900}},
        {"day: her street act or his door act", 14, 0, {1, 900}},
    };
    for (const Case &c : cases) {
        At(2026, 6, 10, c.hour, 0);
        Build();
        Figur033HouseDoor2 = c.door2;
        std::set<int> seen;
        for (unsigned seed = 1; seed <= 24; ++seed) {
            SeedRand(seed);
            OnStage(kPair, 0);
            Run(kPair);
            seen.insert(FigurTable[kPair].State);
            Leave();
        }
        EXPECT_EQ(seen, c.states) << c.what;
    }
}

TEST_F(HouseDoorPair, HerStreetActPausesShorterAtWeekendsAndDrawsEachStatesOwnFrames)
{
    // June 13 2026 is a Saturday, June 10 a Wednesday.
    struct Case {
        int day, low, high;
    } cases[] = {{13, 16, 64}, {10, 48, 128}};
    for (const Case &c : cases) {
        At(2026, 6, c.day, 14, 0);
        Build();
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SeedRand(seed);
            OnStage(kPair, 1);
            Run(kPair);
            const FigurRecord &r = FigurTable[kPair];
            EXPECT_GE(r.Pause, c.low) << c.day;
            EXPECT_LE(r.Pause, c.high) << c.day;
            EXPECT_EQ(r.X, -90);
            EXPECT_GE(r.Y, SceneH - 300);
            EXPECT_LE(r.Y, SceneH - 240);
            EXPECT_STREQ(r.Name, "Frau Lindemann");
            Leave();
        }
    }
    // Each state draws from its own run of the table, and she leaves at an
    // edge. Nothing stops her walk but the lane's edge or a click, taken at
    // the end of a stride: a click halfway across makes her stand.
    struct Span {
        int first, last;
    };
    const Span runs[7] = {{0, 0}, {0, 0}, {136, 171}, {234, 257}, {172, 177}, {178, 219}, {220, 233}};
    std::set<int> visited;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SeedRand(seed);
        OnStage(kPair, 1);
        FigurRecord &r = FigurTable[kPair];
        int calls = 0;
        for (; calls < 60000 && IsOnStage(kPair); ++calls) {
            if (r.State == 2 && r.X > 400 && r.X < 700 && !visited.count(4)) {
                MouseX = r.X + 30;
                MouseY = r.Y + 30;
                ClickPending = 1;
            }
            const int state = r.State;
            const int x = r.X, y = r.Y;
            Run(kPair);
            if (!IsOnStage(kPair))
                break;
            if (state >= 2 && state <= 6 && x >= 0 && x + 2 < SceneW) {
                visited.insert(state);
                const int e = DrawnEntryAt(kPair, x, y);
                EXPECT_GE(e, runs[state].first) << "state " << state;
                EXPECT_LE(e, runs[state].last) << "state " << state;
            }
            r.AvoidOrder = 0;
        }
        ClickPending = 0;
        EXPECT_FALSE(IsOnStage(kPair)) << "seed " << seed;
    }
    EXPECT_TRUE(visited.count(2) && visited.count(4)) << "she walks and stands";
    EXPECT_TRUE(visited.count(5) || visited.count(6)) << "and does her act";
}

TEST_F(HouseDoorPair, SheComesFromTheLeftLightsTheHouseAndGoesInAtDoorTwo)
{
    At(2026, 6, 10, 20, 0);
    Build();
    ASSERT_EQ(TimeOfDay, kDusk);
    SeedRand(5);
    OnStage(kPair, 90);
    Run(kPair);
    FigurRecord &r = FigurTable[kPair];
    ASSERT_EQ(r.State, 91);
    EXPECT_GE(r.X, -100);
    EXPECT_LE(r.X, -90);
    for (int light : {5, 6, 9})
        EXPECT_EQ(LightState[light], 1) << light;
    ASSERT_TRUE(SheetArrives(91));
    ASSERT_EQ(r.State, 100);
    ASSERT_TRUE(RunUntil({105}));
    EXPECT_EQ(r.X, kDoorX);
    EXPECT_EQ(r.Y, kDoorY);
    // She goes in through the 17 door frames.
    std::set<int> drawn;
    while (IsOnStage(kPair) && r.State == 105) {
        Run(kPair);
        if (r.State == 105)
            drawn.insert(DrawnEntryAt(kPair, kDoorX, kDoorY, 1));
    }
    EXPECT_EQ(*drawn.begin(), 102);
    EXPECT_EQ(*drawn.rbegin(), 118);
    EXPECT_EQ(Figur033HouseDoor1, 2);
    ASSERT_EQ(r.State, 106);
    int calls = 0;
    while (IsOnStage(kPair) && calls < 100) {
        Run(kPair);
        ++calls;
    }
    EXPECT_EQ(calls, 30);
    // The record of where she is outlives the figure and the next day phase.
    At(2026, 6, 10, 23, 0);
    Build();
    EXPECT_EQ(Figur033HouseDoor1, 2);
}

TEST_F(HouseDoorPair, APersonInsideComesOutOnceTheNeighboursAreGoneOrGivesUp)
{
    // By day he is inside house 2 and comes out of its door.
    Figur033HouseDoor2 = 2;
    SeedRand(3);
    OnStage(kPair, 900);
    Run(kPair);
    FigurRecord &r = FigurTable[kPair];
    ASSERT_EQ(r.State, 901);
    EXPECT_EQ(r.X, kDoorX - 18);
    EXPECT_EQ(r.Y, kDoorY);
    EXPECT_STREQ(r.Name, "Herr Lindemann");
    ASSERT_TRUE(SheetArrives(901));
    ASSERT_EQ(r.State, 1200);
    // A neighbour on the street keeps him in.
    PretendOnStage(64);
    Run(kPair, 50);
    EXPECT_EQ(r.State, 1200);
    PretendOnStage(64, false);
    Run(kPair);
    ASSERT_EQ(r.State, 1201);
    std::set<int> drawn;
    while (IsOnStage(kPair) && r.State == 1201) {
        Run(kPair);
        if (r.State == 1201)
            drawn.insert(DrawnEntryAt(kPair, kDoorX - 18, kDoorY, 2));
    }
    EXPECT_EQ(*drawn.begin(), 0);
    EXPECT_EQ(*drawn.rbegin(), 19);
    EXPECT_EQ(r.State, 1202);
    EXPECT_EQ(Figur033HouseDoor2, 0);
    EXPECT_EQ(r.Y, kDoorY + 15);
    ASSERT_TRUE(RunUntil({1203, 1250}));
    const int away = r.State;
    int lastX = r.X;
    while (IsOnStage(kPair)) {
        lastX = r.X;
        Run(kPair);
    }
    EXPECT_TRUE(away == 1203 ? lastX + 25 > SceneW : lastX - 25 < -100) << away << " " << lastX;

    // Her way out, as his.
    At(2026, 6, 10, 20, 0);
    Build();
    Figur033HouseDoor1 = 2;
    OnStage(kPair, 90);
    Run(kPair);
    ASSERT_EQ(r.State, 91);
    EXPECT_STREQ(r.Name, "Frau Lindemann");
    ASSERT_TRUE(SheetArrives(91));
    EXPECT_EQ(r.State, 200);
    Leave();
    EXPECT_EQ(Figur033HouseDoor1, 2);
    Figur033HouseDoor1 = 0;

    // Behind the door he gives up when a phase change is due, or after 1000
    // calls while the neighbours stay about.
    for (bool phaseChange : {true, false}) {
        Figur033HouseDoor2 = 2;
        PretendOnStage(62);
        OnStage(kPair, 900);
        Run(kPair);
        ASSERT_TRUE(SheetArrives(901));
        PhaseChangeDue = phaseChange ? 1 : 0;
        int calls = 0;
        while (IsOnStage(kPair) && calls < 2000) {
            Run(kPair);
            ++calls;
        }
        PhaseChangeDue = 0;
        EXPECT_EQ(calls, phaseChange ? 1 : 1001);
        EXPECT_EQ(Figur033HouseDoor2, 2) << "still inside";
        PretendOnStage(62, false);
    }
}

TEST_F(HouseDoorPair, ACallerClickedFarBeforeTheDoorStopsToLookNearerNot)
{
    struct Case {
        int x;
        int after;
    } cases[] = {{kDoorX - 120, 102}, {kDoorX - 51, 102}, {kDoorX - 50, 100}, {kDoorX - 30, 100}};
    At(2026, 6, 10, 20, 0);
    Build();
    for (const Case &c : cases) {
        ASSERT_TRUE(WalkingToTheDoor(2));
        FigurRecord &r = FigurTable[kPair];
        // The click is taken where her stride ends.
        r.X = c.x - 31;
        r.Frame = 5;
        r.Tick = r.Speed;
        MouseX = c.x + 10;
        MouseY = r.Y + 10;
        ClickPending = 1;
        Run(kPair);
        EXPECT_EQ(ClickPending, 0u) << c.x;
        EXPECT_EQ(r.State, c.after) << c.x;
        ClickPending = 0;
        Leave();
    }
}

// Inside house 2 she is not gone for the run: the casting and key P bring
// her, she comes out of door 2, and once she has walked off the couple comes
// again, from the left.
TEST_F(HouseDoorPair, SheComesOutOfDoorTwoAtHerNextDoorActAndTheCoupleComesAgain)
{
    At(2026, 6, 10, 20, 0);
    Build();
    FigurRecord &r = FigurTable[kPair];
    Figur033HouseDoor1 = 2;
    r.MayReturn = 1;
    EXPECT_TRUE(PedestrianRuleHolds(kPair));
    SeedRand(7);
    RunSceneKey('P');
    ASSERT_TRUE(testutil::WaitFor([] { return IsOnStage(kPair) && !LoaderBusy; }, 5000));
    bool cameOut = false;
    for (int frame = 0; frame < 20000 && IsOnStage(kPair); ++frame) {
        if (r.State == 91)
            testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
        Frames(1);
        cameOut = cameOut || r.State == 201;
    }
    EXPECT_TRUE(cameOut);
    EXPECT_FALSE(IsOnStage(kPair));
    EXPECT_EQ(Figur033HouseDoor1, 0);
    testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    RunSceneKey('P');
    ASSERT_TRUE(testutil::WaitFor([] { return IsOnStage(kPair) && !LoaderBusy; }, 5000));
    for (int frame = 0; frame < 5 && r.State != 91; ++frame)
        Frames(1);
    EXPECT_EQ(r.State, 91);
    EXPECT_LT(r.X, 0) << "from the left";
    Leave();
}

// Walking to the door she takes a click, and wanders across the lane, only
// where a stride ends: a click late in a stride stops her where she stands,
// not a stride back, and between strides she keeps her line.
TEST_F(HouseDoorPair, OnHerWayToTheDoorClickAndWanderWaitForTheStride)
{
    At(2026, 6, 10, 20, 0);
    Build();
    ASSERT_TRUE(WalkingToTheDoor(11));
    FigurRecord &r = FigurTable[kPair];
    r.X = kDoorX - 400;
    int midStrideMoves = 0;
    while (IsOnStage(kPair) && r.State == 100 && r.X < kDoorX - 200) {
        const int x = r.X, y = r.Y;
        Frames(1);
        midStrideMoves += r.Y != y && r.X == x;
    }
    EXPECT_EQ(midStrideMoves, 0) << "she wandered between strides";
    ASSERT_EQ(r.State, 100);
    while (r.Frame != 5)
        Frames(1);
    const int x = r.X;
    // On her, where the stride will have brought her.
    MouseX = r.X + 31 + 10;
    MouseY = r.Y + 10;
    ClickPending = 1;
    for (int frame = 0; frame < 100 && r.State == 100; ++frame)
        Frames(1);
    EXPECT_EQ(r.State, 102);
    EXPECT_EQ(r.X, x) << "set back a stride she never made";
    ClickPending = 0;
    Leave();
}

TEST_F(HouseDoorPair, WithoutItsSheetTheAppearanceEnds)
{
    At(2026, 6, 10, 20, 0);
    Build();
    // The worker refuses: gone at once.
    OnStage(kPair, 90);
    PlusLoaderBusy = 1;
    Run(kPair);
    PlusLoaderBusy = 0;
    EXPECT_FALSE(IsOnStage(kPair));
    // Inside another house than 2: no sheet for that door, gone at once.
    Figur033HouseDoor1 = 3;
    OnStage(kPair, 90);
    Run(kPair);
    EXPECT_FALSE(IsOnStage(kPair));
    Figur033HouseDoor1 = 0;
    // Waiting for a sheet that never comes: 400 calls.
    OnStage(kPair, 91);
    int calls = 0;
    while (IsOnStage(kPair) && calls < 1000) {
        Run(kPair);
        ++calls;
    }
    EXPECT_EQ(calls, 401);
    // A state the script does not know.
    OnStage(kPair, 950);
    Run(kPair);
    EXPECT_FALSE(IsOnStage(kPair));
    EXPECT_NE(Log().find("+++ 33 +++ 950 +++"), std::string::npos);
}

}  // namespace
