// The group of three men, the man who gives way and the two pairs: the side
// the group comes from by the hour, where it stops to talk and how long, the
// man's stand that ends for the visitors and residents, his bow, the couple's
// stop past the post by day and by night, their acts, and the pram pair's
// scene with the baby, started early by a clamped step and played again.
#include "street_fixture.h"

#include "scene_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "vehicles/busstop.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

using streettest::FixedHoursScene;

constexpr int kGroup = 18;
constexpr int kMan = 20;
constexpr int kCouple = 23;
constexpr int kPram = 30;

// With day from 8 and night from 20: the evening hour is dusk.
constexpr int kDuskHour = 20;
constexpr int kNightHour = 23;

class GroupAndPairs : public FixedHoursScene {
protected:
    void TearDown() override
    {
        FixedHoursScene::TearDown();
        ClientWidth = 1280;
    }
    // The same figure set up anew from a start state, without a new load.
    FigurRecord &SetUpAgain(int id, int startState)
    {
        FigurRecord &r = FigurTable[id];
        r.State = startState;
        Fresh();
        Run(id);
        return r;
    }
    // The next call ends a walk cycle.
    void AtStrideEnd(FigurRecord &r)
    {
        r.Frame = 3;
        r.Tick = 100000;
    }
    // The next stride is pressed against the top of the lane: a clamped step.
    void Hemmed(FigurRecord &r)
    {
        r.Y = r.LaneYMin;
        r.FootLine = r.Y + r.FrameH;
        r.AvoidOrder = -5;
    }
};

// ------------------------------------------------------------ the group

TEST_F(GroupAndPairs, TheGroupsSideTellsTheHour)
{
    struct Case {
        int hour, fromLeftMin, fromLeftMax;
    } cases[] = {
        {10, 0, 0},
        {12, 0, 0},
        // 22 in 23 at eight in the evening, of 460 set-ups.
        {20, 460 - 45, 459},
    };
    for (const Case &c : cases) {
        At(2026, 6, 10, c.hour, 30);
        Build();
        SeedRand(7);
        FigurRecord &r = Enter(kGroup);
        int fromLeft = 0;
        for (int k = 0; k < 460; ++k) {
            if (k > 0)
                SetUpAgain(kGroup, 0);
            if (r.State == 6) {
                ++fromLeft;
                EXPECT_EQ(r.Direction, 1);
                EXPECT_LE(r.X, -128);
                EXPECT_GT(r.X, -128 - 18);
            } else {
                EXPECT_EQ(r.State, 1) << c.hour;
                EXPECT_EQ(r.Direction, -1);
                EXPECT_EQ(r.X, SceneW + 5);
            }
            EXPECT_EQ(r.Avoids, r.Direction);
            EXPECT_GE(r.Y, SceneH - 287);
            EXPECT_LE(r.Y, SceneH - 257);
        }
        EXPECT_GE(fromLeft, c.fromLeftMin) << c.hour;
        EXPECT_LE(fromLeft, c.fromLeftMax) << c.hour;
        // Nothing is drawn in the set-up call.
        EXPECT_EQ(DrawnEntry(kGroup), -1);
        UnloadFigur(kGroup);
    }
}

TEST_F(GroupAndPairs, TheGroupStopsToTalkOnlyInTheMiddleUnlessHemmedInOrClicked)
{
    figSpeed = 0;  // more talks per walk
    At(2026, 6, 10, 10, 0);
    Build();
    SeedRand(31);
    int talks = 0;
    FigurRecord &r = Enter(kGroup);
    for (int walk = 0; walk < 60; ++walk) {
        if (walk > 0)
            SetUpAgain(kGroup, 0);
        ASSERT_EQ(r.State, 1);
        while (IsOnStage(kGroup) && r.State == 1) {
            r.AvoidOrder = 0;
            r.Tick = 100000;  // a frame a call
            Run(kGroup);
        }
        if (!IsOnStage(kGroup)) {
            OnStage(kGroup, 0);
            continue;
        }
        ASSERT_EQ(r.State, 3);
        ++talks;
        // The talk's place is a stride on from where the group decided.
        const int decided = r.X - 15;
        EXPECT_GT(decided, 150);
        EXPECT_LT(decided, SceneW - 250);
        EXPECT_EQ(r.Direction, 0);
    }
    EXPECT_GT(talks, 3);

    // Near the left edge a clamped step or a click stops it all the same.
    for (bool click : {false, true}) {
        SetUpAgain(kGroup, 0);
        r.State = 2;
        r.X = 100;
        r.WaitCount = 0;
        AtStrideEnd(r);
        if (click)
            Click(r.X - 15 + 128, r.Y + 40);
        else
            Hemmed(r);
        Run(kGroup);
        EXPECT_EQ(r.State, 3) << click;
        EXPECT_EQ(r.X, 100) << click;
        EXPECT_EQ(ClickPending, 0u) << click;
    }
}

TEST_F(GroupAndPairs, ADueChangeOfDayPhaseEndsTheTalkAtTheNextCycle)
{
    FigurRecord &r = Enter(kGroup);
    for (bool due : {false, true}) {
        r.State = 3;
        r.Frame = r.Tick = 0;
        r.WaitCount = 50;
        r.X = 600;
        PhaseChangeDue = due ? 1 : 0;
        RunUntil(kGroup, [](const FigurRecord &f) { return f.State != 3 || f.WaitCount < 50; });
        if (due) {
            EXPECT_EQ(r.State, 2);
            EXPECT_EQ(r.X, 600 - 15);
            EXPECT_EQ(r.WaitCount, 0);
            // ... and it walks on to the left.
            EXPECT_TRUE(RunUntil(kGroup, [](const FigurRecord &f) { return f.X < 600 - 15; }));
            EXPECT_EQ(r.Direction, -1);
        } else {
            EXPECT_EQ(r.State, 3);
            EXPECT_EQ(r.WaitCount, 49);
        }
    }
    PhaseChangeDue = 0;
}

TEST_F(GroupAndPairs, InWinterTheGroupTalksOnMoreOftenAndLonger)
{
    struct Result {
        int goOn = 0;
        int longest = 0;
    };
    auto talkEnds = [this](int month) {
        At(2026, month, 10, 10, 0);
        Build();
        SeedRand(5);
        FigurRecord &r = Enter(kGroup);
        Result res;
        for (int k = 0; k < 600; ++k) {
            r.State = 3;
            r.Frame = 4;
            r.Tick = 100000;
            r.WaitCount = 1;
            r.X = 600;
            Run(kGroup);
            if (r.State == 4) {
                ++res.goOn;
                res.longest = std::max(res.longest, r.WaitCount);
                EXPECT_EQ(r.WaitCount % Season, 0);
            }
        }
        UnloadFigur(kGroup);
        return res;
    };
    const Result summer = talkEnds(6), winter = talkEnds(12);
    // 2 in 3 in summer, 4 in 5 in winter; talks of up to 10 or 20 cycles.
    EXPECT_NEAR(summer.goOn, 400, 45);
    EXPECT_NEAR(winter.goOn, 480, 40);
    EXPECT_EQ(summer.longest, 10);
    EXPECT_EQ(winter.longest, 20);
}

TEST_F(GroupAndPairs, TheGroupInAStateItDoesNotKnowIsLoggedAndLeaves)
{
    for (int state : {7, 99, -1}) {
        FigurRecord &r = Enter(kGroup);
        r.State = state;
        Run(kGroup);
        EXPECT_FALSE(IsOnStage(kGroup)) << state;
    }
    EXPECT_EQ(scenetest::CountOf(Log(), "+++ ADR: 018 ???"), 3);
}

// ------------------------------------------------------------ the man who gives way

TEST_F(GroupAndPairs, StandingTheManLeavesAtACycleEndOnceAVisitorOrResidentComes)
{
    for (int visitor : {0, 61, 62, 63, 64}) {
        FigurRecord &r = Enter(kMan, 1);
        ASSERT_EQ(r.State, 2);
        EXPECT_EQ(DrawnEntry(kMan), 8) << "drawn in the call that set him up";
        r.WaitCount = 400;
        if (visitor)
            PretendOnStage(visitor);
        RunUntil(kMan, [](const FigurRecord &f) { return f.WaitCount < 400 || f.State != 2; });
        EXPECT_EQ(r.WaitCount, 399) << visitor;
        if (visitor) {
            EXPECT_TRUE(r.State == 3 || r.State == 4) << visitor;
            EXPECT_EQ(r.Direction, r.State == 3 ? -1 : 1);
            EXPECT_EQ(r.LaneYMin, SceneH - r.FrameH - 228);
            EXPECT_EQ(r.LaneYMax, SceneH - r.FrameH - 180);
            PretendOnStage(visitor, false);
        } else {
            EXPECT_EQ(r.State, 2);
        }
        UnloadFigur(kMan);
    }
}

TEST_F(GroupAndPairs, InANarrowSceneTheManNeverStandsAtTheFarSpot)
{
    for (int width : {1280, 700}) {
        ClientWidth = width;
        Build();
        ASSERT_EQ(SceneW, width);
        SeedRand(17);
        FigurRecord &r = Enter(kMan, 1);
        int farSpot = 0, others = 0;
        for (int k = 0; k < 200; ++k) {
            SetUpAgain(kMan, 1);
            const bool atFar = r.X >= 850 && r.X <= 890;
            const bool atOthers = (r.X >= 585 && r.X <= 610) || (r.X >= 275 && r.X <= 310);
            EXPECT_TRUE(atFar || atOthers) << r.X;
            farSpot += atFar;
            others += atOthers;
        }
        if (width < 800) {
            EXPECT_EQ(farSpot, 0);
        } else {
            EXPECT_NEAR(farSpot, 100, 30);
        }
        EXPECT_GT(others, 0);
        UnloadFigur(kMan);
    }
}

TEST_F(GroupAndPairs, WalkingTheManLeavesOnlyWithHisWholeSheetAndStopsWhenHemmedIn)
{
    // To the left he stays until the whole width of his sheet is gone.
    FigurRecord &r = Enter(kMan);
    ASSERT_EQ(r.State, 4);
    const int sheetW = r.SheetW;
    ASSERT_GT(sheetW, r.FrameW);
    r.State = 3;
    r.X = 0;
    int lastX = r.X;
    while (IsOnStage(kMan)) {
        lastX = r.X;
        r.AvoidOrder = 0;
        Run(kMan);
        if (IsOnStage(kMan)) {
            ASSERT_EQ(r.State, 3);
        }
    }
    EXPECT_LT(lastX + sheetW, 0);
    EXPECT_GE(lastX + 19 + sheetW, 0);

    // To the right he leaves past W + 1.
    FigurRecord &s = Enter(kMan);
    s.X = SceneW - 40;
    while (IsOnStage(kMan)) {
        lastX = s.X;
        s.AvoidOrder = 0;
        Run(kMan);
    }
    EXPECT_GT(lastX, SceneW + 1);

    // A clamped step stops him 4 times in 5, standing a few cycles.
    SeedRand(3);
    FigurRecord &t = Enter(kMan);
    int stops = 0;
    for (int k = 0; k < 300; ++k) {
        t.State = 4;
        t.X = 400;
        AtStrideEnd(t);
        Hemmed(t);
        Run(kMan);
        if (t.State == 2) {
            ++stops;
            EXPECT_GE(t.WaitCount, 1);
            EXPECT_LE(t.WaitCount, 5);
            EXPECT_EQ(t.Direction, 0);
            EXPECT_EQ(t.ScriptVar, 0);
        }
    }
    EXPECT_NEAR(stops, 240, 30);
}

TEST_F(GroupAndPairs, TheMansBowSlowsDownAndComesBackToHisStand)
{
    FigurRecord &r = Enter(kMan, 1);
    Click(r.X + 56, r.Y + 76);
    Fresh();
    Run(kMan);
    ASSERT_EQ(r.State, 10);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(DrawnEntry(kMan), 14);
    // Each frame of the bow lasts at least as long as the one before.
    std::vector<int> lengths;
    int calls = 0, frame = r.Frame;
    while (r.State == 10) {
        const int drawing = r.Frame;
        Fresh();
        Run(kMan);
        ++calls;
        EXPECT_EQ(DrawnEntry(kMan), 14 + drawing);
        if (r.Frame != frame) {
            lengths.push_back(calls);
            calls = 0;
            frame = r.Frame;
        }
    }
    ASSERT_EQ(lengths.size(), 14u);
    EXPECT_TRUE(std::is_sorted(lengths.begin(), lengths.end()));
    EXPECT_GT(lengths.back(), lengths.front());
    // Back from entry 18 to 14, a frame every second call, then he stands.
    ASSERT_EQ(r.State, 11);
    std::vector<int> back;
    while (r.State == 11) {
        Fresh();
        Run(kMan);
        back.push_back(DrawnEntry(kMan));
    }
    EXPECT_EQ(back.front(), 18);
    EXPECT_EQ(back.size(), 10u);
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(DrawnEntry(kMan), 14);
}

// ------------------------------------------------------------ the couple

TEST_F(GroupAndPairs, TheCoupleStopsPastThePostMoreOftenAtDuskAndNight)
{
    struct Case {
        int hour, expected;
    } cases[] = {{10, 900 / 9}, {kDuskHour, 900 / 4}, {kNightHour, 900 / 4}};
    for (const Case &c : cases) {
        At(2026, 6, 10, c.hour, 30);
        Build();
        SeedRand(13);
        FigurRecord &r = Enter(kCouple);
        int stops = 0;
        for (int k = 0; k < 900; ++k) {
            r.State = 2;
            r.X = StopPostRect.x + 100;
            r.WaitCount = 100;
            r.AvoidOrder = 0;
            AtStrideEnd(r);
            Run(kCouple);
            if (r.State == 3) {
                ++stops;
                EXPECT_GE(r.WaitCount, 50);
                EXPECT_LE(r.WaitCount, 200);
            }
        }
        EXPECT_NEAR(stops, c.expected, c.expected / 4) << c.hour;
        // Short of the post they never stop of their own accord.
        int early = 0;
        for (int k = 0; k < 200; ++k) {
            r.State = 2;
            r.X = StopPostRect.x - 40;
            r.WaitCount = 100;
            r.AvoidOrder = 0;
            AtStrideEnd(r);
            Run(kCouple);
            early += r.State == 3;
        }
        EXPECT_EQ(early, 0) << c.hour;
        UnloadFigur(kCouple);
    }
}

TEST_F(GroupAndPairs, TheStandingCoupleWalksOnAtTheNextPoseOnceThePhaseChangeIsDue)
{
    FigurRecord &r = Enter(kCouple);
    for (bool due : {false, true}) {
        r.State = 3;
        r.Tick = 0;
        r.WaitCount = 400;
        PhaseChangeDue = due ? 1 : 0;
        RunUntil(kCouple, [](const FigurRecord &f) { return f.WaitCount < 400; });
        EXPECT_EQ(r.WaitCount, 399);
        if (due) {
            EXPECT_TRUE(r.State == 2 || r.State == 5) << r.State;
            EXPECT_EQ(r.Frame, 0);
        } else {
            EXPECT_EQ(r.State, 3);
        }
    }
    PhaseChangeDue = 0;
}

TEST_F(GroupAndPairs, TheCouplesActsAndTheStatesThatDrawNothing)
{
    FigurRecord &r = Enter(kCouple);
    r.X = 500;
    // The short act twice through its four entries, then they stand again.
    // Entries 17 and 22 share their place on the sheet, and so their probe
    // colour: the probe reads the later one.
    r.State = 9;
    r.Frame = r.Tick = 0;
    std::vector<int> shown;
    while (r.State == 9 || r.State == 10) {
        Fresh();
        Run(kCouple);
        const int e = DrawnEntry(kCouple);
        if (shown.empty() || shown.back() != e)
            shown.push_back(e);
    }
    EXPECT_EQ(shown, (std::vector<int>{22, 18, 19, 20, 22, 18, 19, 20}));
    EXPECT_EQ(r.State, 3);
    // The long act keeps to its five entries and ends standing. Each has the
    // place of a pose or of the short act; the probe reads them as 21 to 25.
    r.State = 11;
    r.Frame = r.Tick = 0;
    r.WaitCount = 0;
    std::set<int> longAct;
    for (int call = 0; call < 20000 && r.State == 11; ++call) {
        Fresh();
        Run(kCouple);
        longAct.insert(DrawnEntry(kCouple));
    }
    EXPECT_EQ(r.State, 3);
    EXPECT_GE(longAct.size(), 2u);
    EXPECT_GE(*longAct.begin(), 21);
    EXPECT_LE(*longAct.rbegin(), 25);
    for (int state : {6, 8, 12, 99, 102, 104}) {
        r.State = state;
        Fresh();
        Run(kCouple);
        EXPECT_EQ(DrawnEntry(kCouple), -1) << state;
        EXPECT_EQ(r.State, state);
        EXPECT_TRUE(IsOnStage(kCouple));
    }
    // Out of the bus they stand beside the post first.
    UnloadFigur(kCouple);
    FigurRecord &p = Enter(kCouple, 100);
    EXPECT_EQ(p.State, 103);
    EXPECT_GE(p.X, StopPostRect.x + 40);
    EXPECT_LE(p.X, StopPostRect.x + 50);
    EXPECT_GE(p.Y, SceneH - 244);
    EXPECT_LE(p.Y, SceneH - 236);
    EXPECT_EQ(DrawnEntry(kCouple), 4);
    EXPECT_GE(p.WaitCount, 4);
    EXPECT_LE(p.WaitCount, 12);
    EXPECT_EQ(p.WantsBus, 0u);
}

// ------------------------------------------------------------ the pram pair

TEST_F(GroupAndPairs, TheBabysSceneStartsAtAClampedStepBeforeItsCount)
{
    FigurRecord &r = Enter(kPram);
    ASSERT_EQ(r.State, 1);
    EXPECT_EQ(r.X, SceneW);
    // Free strides short of the count never start it.
    r.X = 900;
    r.Gait = 40;
    for (int k = 0; k < 30; ++k) {
        r.AvoidOrder = 0;
        AtStrideEnd(r);
        Run(kPram);
        ASSERT_EQ(r.State, 1) << k;
    }
    // A clamped step does at once.
    r.WaitCount = 0;
    AtStrideEnd(r);
    Hemmed(r);
    Run(kPram);
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(r.Direction, 0);
    EXPECT_EQ(r.ScriptVar, 0);
}

TEST_F(GroupAndPairs, AfterTheBabysSceneThePairWalksOnAndMayPlayItAgain)
{
    FigurRecord &r = Enter(kPram);
    r.State = 2;
    r.X = 900;
    // A click in the scene plays the file and the scene goes on.
    r.Frame = 10;
    r.Tick = 100000;
    Click(r.X + 112, r.Y + 73);
    Run(kPram);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(r.State, 2);
    r.Frame = 29;
    r.Tick = 100000;
    Fresh();
    Run(kPram);
    EXPECT_EQ(r.State, 3);
    EXPECT_EQ(r.X, 900 - 12);
    // The walk on draws entries 35 to 38, then it is walking as before.
    std::set<int> shown;
    while (r.State == 3) {
        Fresh();
        Run(kPram);
        if (r.State == 3)
            shown.insert(DrawnEntry(kPram));
    }
    EXPECT_EQ(shown, (std::set<int>{35, 36, 37, 38}));
    ASSERT_EQ(r.State, 1);
    EXPECT_EQ(r.X, 900 - 12 - 25);
    EXPECT_GE(r.Gait, 25);
    EXPECT_LT(r.Gait, 45 * r.Speed + 1);
    EXPECT_EQ(r.Direction, -1);
    // Its count reached, it plays the scene again further on.
    r.WaitCount = r.Gait;
    EXPECT_TRUE(RunUntil(kPram, [](const FigurRecord &f) {
        FigurTable[kPram].AvoidOrder = 0;
        return f.State == 2;
    }));
    EXPECT_GE(r.X, -160);
}

}  // namespace
