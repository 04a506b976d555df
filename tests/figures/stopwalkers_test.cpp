// The people at the bus stop: where they come from, where they wait, how they
// step to the door and are taken on by the real bus, what clicks do to them,
// and the passengers who get out and walk off.
#include "street_fixture.h"

#include "core/daterules.h"
#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "vehicles/bus.h"
#include "vehicles/busstop.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

using streettest::FixedHoursScene;

constexpr int kBusId = 70;

class StopWalkers : public FixedHoursScene {
protected:
    int PostX() { return StopPostRect.x; }
    int PostFoot() { return StopFootLine(); }
};

// With day from 8 and night from 20: the evening hour is dusk.
constexpr int kDuskHour = 20;
constexpr int kNightHour = 23;

TEST_F(StopWalkers, SetUpPlacesEachWhereItComesFrom)
{
    const int W = SceneW, H = SceneH, post = StopPostRect.x;
    struct Case {
        const char *what;
        int id, start, hour;
        int state, xMin, xMax, yMin, yMax;
        int wantsBus;  // -1: either
        int direction;
        int drawn;  // the entry drawn in that call, -1 none
    } cases[] = {
        {"1 from the right", 1, 0, 10, 1, W, W + 5, H - 240, H - 230, 1, -1, -1},
        {"3 from the left by day", 3, 0, 10, 1, -105, -90, H - 268, H - 235, 1, 1, -1},
        {"3 at night wants no bus", 3, 0, kNightHour, 1, -105, -90, H - 268, H - 235, 0, 1, -1},
        {"5 from the left", 5, 0, 10, 1, -120, -100, H - 260, H - 253, 1, 1, -1},
        {"10 from the right", 10, 0, 10, 1, W, W + 5, H - 260, H - 240, -1, -1, -1},
        {"13 from the left", 13, 0, 10, 1, -70, -56, H - 251, H - 241, 1, 1, -1},
        {"1 out of the bus", 1, 100, 10, 101, post - 30, post - 10, H - 240, H - 230, 0, -1, 4},
        {"3 out of the bus", 3, 100, 10, 101, post + 10, post + 30, H - 243, H - 233, 0, 0, 4},
        {"5 out of the bus", 5, 900, 10, 901, post + 20, post + 40, H - 263, H - 255, 0, 0, 29},
        {"10 out of the bus", 10, 100, 10, 101, post - 94, post - 74, H - 248, H - 238, 0, 0, 4},
        {"13 out of the bus", 13, 100, 10, 101, post + 20, post + 35, H - 244, H - 236, 0, 0, 4},
        {"7 out of the bus", 7, 100, 10, 101, post - 74, post - 56, H - 241, H - 234, 0, 0, 4},
        {"8 out of the bus", 8, 100, 10, 101, post - 94, post - 74, H - 249, H - 239, 0, 0, 4},
        {"9 out of the bus", 9, 100, 10, 101, post - 60, post - 30, H - 234, H - 227, 0, -1, 13},
    };
    for (const Case &c : cases) {
        At(2026, 6, 10, c.hour, 0);
        Build();
        FigurRecord &r = Enter(c.id, c.start);
        EXPECT_EQ(r.State, c.state) << c.what;
        EXPECT_GE(r.X, c.xMin) << c.what;
        EXPECT_LE(r.X, c.xMax) << c.what;
        EXPECT_GE(r.Y, c.yMin) << c.what;
        EXPECT_LE(r.Y, c.yMax) << c.what;
        EXPECT_EQ(r.FootLine, r.Y + r.FrameH) << c.what;
        if (c.wantsBus >= 0) {
            EXPECT_EQ(r.WantsBus, static_cast<uint32_t>(c.wantsBus)) << c.what;
        }
        EXPECT_EQ(r.Direction, c.direction) << c.what;
        EXPECT_EQ(DrawnEntry(c.id, c.id == 8 ? Season - 1 : 0), c.drawn)
            << c.what;
        EXPECT_STRNE(r.Name, "") << c.what;
        UnloadFigur(c.id);
    }
    // Figure 10 either goes to the stop or walks past with a wider gap.
    for (int k = 0; k < 12; ++k) {
        FigurRecord &r = Enter(10);
        EXPECT_EQ(r.Spacing, r.WantsBus ? 7 : 24);
        UnloadFigur(10);
    }
}

TEST_F(StopWalkers, ThePassengersOnlyComeOutOfTheBus)
{
    for (int id : {7, 8, 9}) {
        OnStage(id, 0);
        Fresh();
        Run(id);
        EXPECT_FALSE(IsOnStage(id)) << id;
        EXPECT_EQ(DrawnEntryAt(id, FigurTable[id].X, FigurTable[id].Y), -1) << id;
    }
}

// At speed setting 0 and 10 each figure still gets from its entry to its
// waiting place, and out of the bus away again.
TEST_F(StopWalkers, NeitherSpeedSettingFreezesAFigure)
{
    for (int speed : {0, 10}) {
        figSpeed = speed;
        for (int id : {1, 3, 5, 10, 13, 7, 8, 9}) {
            const int start = id == 5 ? 900 : 100;
            FigurRecord &r = Enter(id, start);
            const int x = r.X;
            bool moved = RunUntil(id, [x](const FigurRecord &f) { return f.X != x; }, 40000);
            EXPECT_TRUE(moved || !IsOnStage(id)) << id << " at speed " << speed;
            UnloadFigur(id);
        }
        for (int id : {1, 5, 13}) {
            FigurRecord &r = Enter(id);
            r.X = id == 1 ? PostX() + 200 : PostX() - 200;
            EXPECT_TRUE(RunUntil(id, [](const FigurRecord &f) { return f.State >= 2; }, 40000))
                << id << " at speed " << speed;
            UnloadFigur(id);
        }
    }
}

TEST_F(StopWalkers, FigureOneStopsAtTheLatestNearThePostAndHurriesForTheBus)
{
    SeedRand(3);
    FigurRecord &r = Enter(1);
    // Far above his wait line: he still stops by the post.
    r.Y = SceneH - 300;
    r.FootLine = r.Y + r.FrameH;
    r.X = PostX() + 200;
    ASSERT_TRUE(RunUntil(1, [](const FigurRecord &f) { return f.State == 2; }));
    EXPECT_LT(r.X, PostX() + 36);
    EXPECT_GE(r.X, PostX() + 36 - 17 - 5);
    UnloadFigur(1);

    // The bus on stage right of the post: he walks faster down to B + 1.
    FigurRecord &s = Enter(1);
    s.X = PostX() + 600;
    BusOnStage = 1;
    FigurTable[kBusId].X = PostX() + 100;
    const int before = s.Speed;
    RunUntil(1, [](const FigurRecord &f) { return f.X < StopPostRect.x + 400; });
    EXPECT_EQ(s.Speed, figSpeed + 1) << "from " << before;
    // Once the bus is past the post he slows down again.
    FigurTable[kBusId].X = PostX() - 100;
    RunUntil(1, [](const FigurRecord &f) { return f.X < StopPostRect.x + 200; });
    EXPECT_EQ(s.Speed, figSpeed + 5);
    BusOnStage = 0;
}

TEST_F(StopWalkers, FigureThreeTurnsToTheDoorFromTheFarSideWalkingAndTheNearSideStanding)
{
    const int post = StopPostRect.x;
    struct Case {
        const char *what;
        int hour, state, footAbovePost;
        bool forceWant, door;
    } cases[] = {
        {"walking on the far side", 10, 1, 30, false, true},
        {"walking near the kerb", 10, 1, 10, false, false},
        {"standing near the kerb", 10, 2, 10, false, true},
        {"standing on the far side", 10, 2, 30, false, false},
        {"at dusk she wants no bus", kDuskHour, 1, 30, false, false},
        {"at night not even wanting it", kNightHour, 1, 30, true, false},
    };
    for (const Case &c : cases) {
        At(2026, 6, 10, c.hour, 30);
        Build();
        FigurRecord &r = Enter(3);
        if (c.forceWant)
            r.WantsBus = 1;
        r.State = c.state;
        r.X = post + 50;
        r.Y = PostFoot() - c.footAbovePost - r.FrameH;
        r.FootLine = r.Y + r.FrameH;
        BusHalted = 1;
        Run(3);
        EXPECT_EQ(r.State == 3, c.door) << c.what;
        if (c.door) {
            // Down and left a pixel a call to the door line, then she stands.
            Run(3, 200);
            EXPECT_EQ(r.FootLine, PostFoot() + 4) << c.what;
            EXPECT_EQ(r.X, post + 50 - (4 + c.footAbovePost)) << c.what;
        }
        BusHalted = 0;
        UnloadFigur(3);
    }
}

TEST_F(StopWalkers, FigureFiveWaitsLeftOfThePostAndStepsRightToTheDoor)
{
    FigurRecord &r = Enter(5);
    r.X = PostX() - 300;
    ASSERT_TRUE(RunUntil(5, [](const FigurRecord &f) { return f.State == 3; }));
    EXPECT_GT(r.X, PostX() - 95);
    EXPECT_LE(r.X, PostX() - 95 + 21);
    BusHalted = 1;
    const int x = r.X, foot = r.FootLine;
    Run(5);
    EXPECT_EQ(r.X, x + 2);
    EXPECT_EQ(r.FootLine, foot + 1);
    Run(5, 300);
    EXPECT_EQ(r.FootLine, PostFoot() + 4);
    EXPECT_EQ(r.X, x + 2 * (PostFoot() + 4 - foot));
    EXPECT_EQ(DrawnEntry(5), 31);
}

// Clicked in either fidget he changes it on a frame he is drawn on: a click
// never makes him blink.
TEST_F(StopWalkers, FigureFiveClickedInHisFidgetsIsStillDrawn)
{
    for (int state : {100, 200}) {
        SCOPED_TRACE(state);
        FigurRecord &r = Enter(5);
        r.X = PostX() - 90;
        r.State = state;
        r.Frame = r.Tick = 0;
        r.WaitCount = 3;
        const int x = r.X, y = r.Y;
        Click(ClickPending, x + 10, y + 10);
        Frames(1);
        EXPECT_EQ(ClickPending, 0u) << "the click was taken";
        EXPECT_NE(r.State, state);
        EXPECT_GE(DrawnEntryAt(5, x, y), 0) << "nothing drawn on the click's frame";
        UnloadFigur(5);
    }
}

// While the bus halts she ignores a click, as the others at the stop do;
// once it has gone, the click stops her to look about.
TEST_F(StopWalkers, FigureThreeIgnoresAClickWhileTheBusHalts)
{
    for (bool halted : {true, false}) {
        SCOPED_TRACE(halted ? "bus halted" : "no bus");
        FigurRecord &r = Enter(3);
        r.State = 1;
        r.WantsBus = 0;
        r.X = 100;
        // The last frame of a stride: the click is taken where it ends.
        r.Frame = 3;
        r.Tick = 0;
        r.Speed = 4;
        BusHalted = halted ? 1 : 0;
        Click(ClickPending, r.X + 40, r.Y + 10);
        for (int frame = 0; frame < kClickLifetimeFrames && r.X == 100; ++frame)
            Frames(1);
        ASSERT_GT(r.X, 100) << "a stride ended";
        EXPECT_EQ(r.State, halted ? 1 : 2);
        EXPECT_EQ(ClickPending, halted ? 1u : 0u);
        ClickPending = 0;
        BusHalted = 0;
        UnloadFigur(3);
    }
}

TEST_F(StopWalkers, FigureTenPassingByNeverWaits)
{
    int passed = 0, waited = 0;
    for (int k = 0; k < 30 && (passed == 0 || waited == 0); ++k) {
        FigurRecord &r = Enter(10);
        r.X = PostX() + 300;
        if (r.WantsBus == 0) {
            std::set<int> states;
            while (IsOnStage(10)) {
                states.insert(r.State);
                EXPECT_EQ(r.WantsBus, 0u);
                r.AvoidOrder = 0;
                Run(10);
            }
            EXPECT_EQ(states, std::set<int>{1});
            ++passed;
        } else {
            ASSERT_TRUE(RunUntil(10, [](const FigurRecord &f) { return f.State == 2; }));
            EXPECT_LT(r.X, PostX() + 170 - 27);
            EXPECT_GE(r.X, PostX() + 130 - 13 - 27);
            ++waited;
            UnloadFigur(10);
        }
    }
    EXPECT_GT(passed, 0);
    EXPECT_GT(waited, 0);
}

TEST_F(StopWalkers, FigureThirteenStopsInItsWindowOrStepsOverIt)
{
    // Its stop distance is drawn first in its set-up: find seeds for a near
    // and a far one.
    int nearSeed = 0, farSeed = 0;
    for (int seed = 1; seed < 2000 && (!nearSeed || !farSeed); ++seed) {
        SeedRand(seed);
        const int d = Rand() % 101 + 10;
        const int x = Rand() % 15 - 70;
        (void)x;
        if (d < 30 && !nearSeed)
            nearSeed = seed;
        if (d >= 106 && !farSeed)
            farSeed = seed;
    }
    ASSERT_TRUE(nearSeed && farSeed);
    OnStage(13, 0);
    SeedRand(nearSeed);
    Run(13);
    FigurRecord &r = FigurTable[13];
    ASSERT_TRUE(RunUntil(13, [](const FigurRecord &f) { return f.State == 2; }));
    EXPECT_GT(r.X, PostX() + 10);
    EXPECT_LT(r.X, PostX() + 120);
    UnloadFigur(13);

    // With a window narrower than a stride it may walk right through.
    int walkedOn = 0;
    for (int k = 0; k < 15; ++k) {
        OnStage(13, 0);
        SeedRand(farSeed + 0);
        Run(13);
        FigurRecord &s = FigurTable[13];
        s.X += k;  // each start lands elsewhere against the window
        bool stopped = false;
        while (IsOnStage(13)) {
            Run(13);
            if (s.State == 2) {
                stopped = true;
                break;
            }
        }
        walkedOn += stopped ? 0 : 1;
        UnloadFigur(13);
    }
    EXPECT_GT(walkedOn, 0);
}

TEST_F(StopWalkers, TheRealBusTakesTheWaitingAndLetsAPassengerOut)
{
    FigurRecord &r = Enter(1);
    r.X = PostX() + 100;
    ASSERT_TRUE(RunUntil(1, [](const FigurRecord &f) { return f.State == 2; }));
    FigurRecord &bus = BusAtTheStop();
    BusPassengerList[1] = 7;
    FigurTable[7].RidesBus = 1;
    FigurTable[7].MayReturn = 1;
    // Seed for one passenger out whose chance (3 in 4) passes.
    uint32_t seed = 0;
    for (uint32_t s = 1; s < 10000 && !seed; ++s) {
        SeedRand(s);
        if (Rand() % 3 == 1 && Rand() % 4 != 0)
            seed = s;
    }
    ASSERT_NE(seed, 0u);
    SeedRand(seed);
    Run(kBusId);
    testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    ASSERT_TRUE(IsOnStage(7));
    AcceptNewDrawListEntries();
    Run(7);
    EXPECT_EQ(FigurTable[7].State, 101);
    // Figure 1 steps to the door while the bus ticks towards its boarding.
    for (int tick = 1; tick <= 7 && IsOnStage(1); ++tick) {
        Run(1);
        Run(kBusId);
    }
    EXPECT_FALSE(IsOnStage(1));
    EXPECT_EQ(FigurTable[1].RidesBus, 1u);
    EXPECT_EQ(bus.State, 3);
    // The passenger looks about and walks off to the left.
    FigurRecord &p = FigurTable[7];
    BusHalted = 0;
    UnloadFigur(kBusId);
    std::set<int> states;
    for (int i = 0; i < 40000 && IsOnStage(7); ++i) {
        states.insert(p.State);
        p.AvoidOrder = 0;
        Run(7);
    }
    EXPECT_FALSE(IsOnStage(7));
    EXPECT_EQ(states, (std::set<int>{101, 102}));
}

TEST_F(StopWalkers, AWaitingFigureAtTheDoorLineStandsUntilTaken)
{
    for (int id : {1, 10, 13}) {
        FigurRecord &r = Enter(id);
        // Figure 10 may be one who walks past the stop.
        for (int k = 0; k < 40 && !r.WantsBus; ++k) {
            UnloadFigur(id);
            Enter(id);
        }
        r.X = id == 13 ? PostX() - 200 : PostX() + 300;
        ASSERT_TRUE(RunUntil(id, [](const FigurRecord &f) { return f.State == 2; })) << id;
        BusHalted = 1;
        Run(id, 300);
        EXPECT_EQ(r.FootLine, PostFoot() + 4) << id;
        const int x = r.X, y = r.Y;
        Run(id, 50);
        EXPECT_EQ(r.X, x) << id;
        EXPECT_EQ(r.Y, y) << id;
        EXPECT_EQ(r.WantsBus, 1u) << id;
        BusHalted = 0;
        UnloadFigur(id);
    }
}

TEST_F(StopWalkers, OutOfTheBusTheyLookAboutAsLongAsTheirCountSays)
{
    // Figure 7 looks one cycle more than her count, 8 and 9 their count.
    struct Case {
        int id, extra;
    } cases[] = {{7, 1}, {8, 0}, {9, 0}};
    for (auto c : cases) {
        FigurRecord &r = Enter(c.id, 100);
        const int count = r.WaitCount;
        int cycles = 0;
        while (IsOnStage(c.id) && r.State == 101) {
            const int before = r.WaitCount;
            r.AvoidOrder = 0;
            Run(c.id);
            if (r.WaitCount < before)
                ++cycles;
        }
        EXPECT_EQ(r.State, 102) << c.id;
        EXPECT_EQ(cycles, count + c.extra) << c.id;
        UnloadFigur(c.id);
    }
    // Figure 9's look does not follow the speed setting.
    auto lookCalls = [this](int speed) {
        figSpeed = speed;
        SeedRand(11);
        FigurRecord &r = Enter(9, 100);
        int calls = 0;
        while (IsOnStage(9) && r.State == 101) {
            Run(9);
            ++calls;
        }
        UnloadFigur(9);
        return calls;
    };
    EXPECT_EQ(lookCalls(0), lookCalls(10));
}

TEST_F(StopWalkers, FigureEightPutAtTheStopActsAsOutOfTheBus)
{
    // The start of a scene puts him there with the start state the bus uses.
    SeedRand(5);
    FigurRecord &a = Enter(8, 100);
    const int x1 = a.X, y1 = a.Y, s1 = a.Speed;
    UnloadFigur(8);
    SeedRand(5);
    OnStage(8, 100);
    RunScript(8);
    EXPECT_EQ(FigurTable[8].X, x1);
    EXPECT_EQ(FigurTable[8].Y, y1);
    EXPECT_EQ(FigurTable[8].Speed, s1);
    EXPECT_EQ(FigurTable[8].State, 101);
    Fresh();
    RunScript(8);
    EXPECT_EQ(DrawnEntry(8), 4);
}

}  // namespace
