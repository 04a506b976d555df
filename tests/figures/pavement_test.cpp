// The pavement figures from 34 on: every script's long run draws only the
// frames of the state it is in, and the behaviours that make each figure
// what it is (acts, looks, turning back, waiting off stage, clicks).
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "scene/bubbles.h"
#include "services/birthdays.h"
#include "config/config.h"
#include "testutil.h"
#include "shell/keys.h"
#include "vehicles/busstop.h"

#include <map>
#include <set>
#include <vector>

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

// The entries a state may draw, as first and last.
struct Run {
    int first, last;
};
struct Plan {
    int id;
    std::map<int, Run> states;
};

const Plan kPlans[] = {
    {34, {{1, {0, 3}}, {2, {4, 7}}, {3, {8, 14}}, {4, {15, 22}}}},
    {35, {{1, {0, 3}}, {2, {4, 8}}}},
    {38, {{1, {0, 3}}, {2, {4, 4}}, {3, {5, 9}}}},
    {39, {{1, {0, 7}}}},
    {36, {{1, {0, 11}}, {2, {12, 12}}, {3, {13, 23}}, {4, {31, 36}}}},
    {40, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
    {43, {{1, {0, 3}}, {2, {4, 9}}, {3, {10, 13}}}},
    {45, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
    {47, {{1, {0, 3}}}},
    {48, {{1, {0, 3}}}},
    {49, {{1, {0, 3}}, {2, {4, 9}}, {3, {10, 13}}}},
    {50, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
    {51, {{1, {0, 3}}, {2, {4, 7}}, {3, {4, 7}}}},
    {54, {{1, {0, 3}}, {2, {4, 11}}, {3, {12, 15}}}},
    {56, {{1, {0, 3}}, {2, {4, 13}}, {3, {15, 21}}, {4, {22, 25}}}},
    {57, {{1, {0, 3}}, {2, {4, 13}}, {3, {15, 21}}, {4, {22, 25}}}},
};

class Pavement : public StreetScene {
protected:
    // One call on a clean work buffer; the entry it drew at the figure's
    // corner, or -1 for nothing (or a corner off the scene).
    int Step(int id, int slot = 0)
    {
        const FigurRecord &r = FigurTable[id];
        const int x = r.X, y = r.Y;
        // Only the probed pixel's neighbourhood is cleaned: long runs stay fast.
        BitBlt(WorkDC, x, y, 3, 3, BackgroundDC, SceneX + x, SceneY + y, SRCCOPY);
        RunScript(id);
        if (x + 1 < 0 || x + 1 >= SceneW)
            return -1;
        return DrawnEntryAt(id, x, y, slot);
    }
    int Sheet(int id) { return (id == 48 || id == 50) ? Season - 1 : 0; }
};

TEST_F(Pavement, LongRunsDrawOnlyTheFramesOfTheStateTheFigureIsIn)
{
    for (const Plan &plan : kPlans) {
        for (uint32_t seed : {1u, 7u, 23u}) {
            SeedRand(seed);
            FigurRecord &r = Enter(plan.id);
            const bool fromLeft = r.X < 0;
            r.X = fromLeft ? 200 : SceneW - 110;
            std::set<int> statesSeen;
            int call = 0;
            for (; call < 40000 && IsOnStage(plan.id); ++call) {
                const int state = r.State;
                // Spells of being steered one way, up to the lane's edge,
                // and of clicks on the figure.
                r.AvoidOrder = call % 1500 < 700 ? ((call / 1500) % 2 ? 3 : -3) : 0;
                if (call % 600 >= 300 && call % 600 < 400) {
                    // 36 takes it after a 72-pixel stride.
                    Click(ClickPending, r.X + (plan.id == 36 ? 80 : 10), r.Y + 10);
                } else {
                    ClickPending = 0;
                }
                const int e = Step(plan.id, Sheet(plan.id));
                statesSeen.insert(state);
                // A state may hand over to the next within the call, which
                // then draws.
                auto within = [&](int st) {
                    auto run = plan.states.find(st);
                    return run != plan.states.end() && e >= run->second.first && e <= run->second.last;
                };
                if (e != -1) {
                    EXPECT_TRUE(within(state) || (IsOnStage(plan.id) && within(r.State)))
                        << plan.id << " state " << state << " then " << r.State << " drew " << e << " call " << call;
                }
                EXPECT_GE(r.Y, r.LaneYMin);
                EXPECT_LE(r.Y, r.LaneYMax);
                EXPECT_EQ(r.FootLine, r.Y + r.FrameH);
            }
            EXPECT_FALSE(IsOnStage(plan.id)) << plan.id << " seed " << seed << " still in state " << r.State;
            if (plan.states.size() > 2) {
                EXPECT_GE(statesSeen.size(), 2u) << plan.id << " seed " << seed;
            }
        }
        char line[32];
        StrPrintfN(line, sizeof(line), "F_PAUSE: %3d,", plan.id);
        EXPECT_GE(CountOf(Log(), line), 3) << plan.id;
    }
}

TEST_F(Pavement, SetUpsPlaceEachFigureAtItsEdgeAndLane)
{
    struct {
        int id, x, laneTop, laneBottom, w, h;
    } cases[] = {
        {36, -100, 73, 71, 96, 70},     {40, 0, 296, 236, 56, 76},      {43, 5, 289, 249, 56, 74},
        {45, 0, 273, 253, 82, 83},      {47, -100, 82, 79, 56, 79},     {48, -100, 84, 81, 64, 81},
        {49, 5, 284, 249, 64, 74},      {50, 0, 298, 263, 72, 83},
    };
    for (auto c : cases) {
        FigurRecord &r = Enter(c.id);
        EXPECT_EQ(r.State, 1) << c.id;
        EXPECT_EQ(r.X, c.x < -50 ? c.x : SceneW + c.x) << c.id;
        EXPECT_EQ(r.LaneYMin, SceneH - c.laneTop) << c.id;
        EXPECT_EQ(r.LaneYMax, SceneH - c.laneBottom) << c.id;
        EXPECT_EQ(r.FrameW, c.w) << c.id;
        EXPECT_EQ(r.FrameH, c.h) << c.id;
        EXPECT_STRNE(r.Name, "") << c.id;
        UnloadFigur(c.id);
    }
}

TEST_F(Pavement, TheStriderTakesAClickOnlyBetweenStridesAndSlowsDownInHisAct)
{
    FigurRecord &r = Enter(36);
    r.X = 300;
    r.Speed = 2;
    // Mid-stride the click waits.
    Step(36);
    Click(ClickPending, r.X + 80, r.Y + 20);
    int calls = 1;
    while (r.Frame != 0 || r.Tick != 0) {
        ASSERT_EQ(r.State, 1);
        Step(36);
        ++calls;
    }
    // The stride ended on the last call: X moved 72, and the click at the
    // old place now lies inside the figure's first 64 columns.
    EXPECT_EQ(r.State, 2) << calls;
    EXPECT_EQ(r.X, 300 + 72 - 52);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(Step(36), 12);
    Step(36);
    ASSERT_EQ(r.State, 3);
    // The act: frame 5 jumps back WaitCount - 1 times, each frame slower.
    const int jumps = r.WaitCount - 1;
    int seenJumps = 0, lastFrame = 0, lastSpeed = r.Speed;
    while (r.State == 3) {
        Step(36);
        if (r.State != 3)
            break;
        if (r.Frame != lastFrame) {
            EXPECT_EQ(r.Speed, lastSpeed + 1);
            if (r.Frame < lastFrame) {
                EXPECT_EQ(lastFrame, 5);
                EXPECT_GE(r.Frame, 1);
                EXPECT_LE(r.Frame, 4);
                ++seenJumps;
            }
            lastFrame = r.Frame;
            lastSpeed = r.Speed;
        }
    }
    EXPECT_EQ(seenJumps, jumps);
    EXPECT_EQ(r.State, 4);
    const int x = r.X;
    while (r.X == x)
        Step(36);
    EXPECT_EQ(r.X - x, 53);
}

TEST_F(Pavement, AClickInTheActSkipsToItsEnd)
{
    FigurRecord &r = Enter(36);
    r.X = 300;
    r.State = 2;
    Step(36);
    Step(36);
    ASSERT_EQ(r.State, 3);
    Click(ClickPending, r.X + 10, r.Y + 10);
    EXPECT_EQ(Step(36), 13 + 6);
    EXPECT_EQ(ClickPending, 0u);
}

TEST_F(Pavement, Figure40StopsWhenHemmedInOrClickedAndWaitsOffStageUntilThePhaseChanges)
{
    FigurRecord &r = Enter(40);
    r.X = 600;
    // Hemmed in at the lane's edge: it stands and looks, a step back.
    r.Y = r.LaneYMin;
    while (r.State == 1) {
        r.AvoidOrder = -3;
        Step(40);
    }
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(r.X, 600);
    EXPECT_EQ(r.Direction, 0);
    // A click with strict bounds: on the edge it passes by.
    r.State = 1;
    r.Frame = r.Tick = 0;
    Click(ClickPending, r.X, r.Y + 10);
    Step(40);
    EXPECT_EQ(ClickPending, 1u);
    Click(ClickPending, r.X + 1, r.Y + 10);
    while (r.State == 1)
        Step(40);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(r.State, 2);

    // Off stage it counts as on stage, draws nothing, and a due change of
    // day phase ends it at once.
    r.State = 4;
    r.WaitCount = 900;
    EXPECT_EQ(Step(40), -1);
    EXPECT_TRUE(IsOnStage(40));
    PhaseChangeDue = 1;
    Step(40);
    EXPECT_FALSE(IsOnStage(40));
    PhaseChangeDue = 0;

    // Blocked while walking right it still leaves past the right edge.
    FigurRecord &s = Enter(40);
    s.State = 3;
    s.X = SceneW - 20;
    s.ScriptVar = -1;
    for (int i = 0; i < 400 && IsOnStage(40); ++i)
        Step(40);
    EXPECT_FALSE(IsOnStage(40));
}

TEST_F(Pavement, PastTheLeftEdgeTheLookersLeaveOrWaitAndComeBackWalkingRight)
{
    for (int id : {43, 45, 49, 50}) {
        int left = 0, waited = 0;
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            SeedRand(seed);
            FigurRecord &r = Enter(id);
            r.X = -60;
            r.WaitCount = id == 45 ? 50 : 0;  // 45 counts strides down, the others up
            while (IsOnStage(id) && r.State == 1)
                Step(id);
            if (!IsOnStage(id)) {
                ++left;
                continue;
            }
            if (r.State != 4)
                continue;  // stopped to look first
            ++waited;
            EXPECT_GE(r.WaitCount, 400);
            EXPECT_LE(r.WaitCount, 1500);
            int calls = 0;
            while (r.State == 4) {
                EXPECT_EQ(Step(id), -1);
                ++calls;
            }
            EXPECT_GE(calls, 400);
            EXPECT_EQ(r.State, 3);
            EXPECT_EQ(r.Direction, 1);
            UnloadFigur(id);
        }
        EXPECT_GT(left, 0) << id;
        EXPECT_GT(waited, 0) << id;
        EXPECT_GT(left, waited) << id;
    }
}

TEST_F(Pavement, LeftClicksOnTheLookers)
{
    // 45 and 50 stop to look on a click while walking either way; 43 takes
    // the click at the end of its stride and walks on; 49 takes none.
    struct {
        int id, state, stateAfter;
        bool taken;
    } cases[] = {{45, 3, 2, true}, {50, 1, 2, true}, {43, 1, 1, true}, {49, 1, 1, false}};
    for (auto c : cases) {
        FigurRecord &r = Enter(c.id);
        r.X = 500;
        r.State = c.state;
        r.Frame = 3;
        r.Tick = r.Speed + 5;
        r.WaitCount = 5;
        Click(ClickPending, r.X + 20, r.Y + 20);
        Step(c.id);
        EXPECT_EQ(ClickPending, c.taken ? 0u : 1u) << c.id;
        EXPECT_EQ(r.State, c.stateAfter) << c.id;
        ClickPending = 0;
        UnloadFigur(c.id);
    }
}

TEST_F(Pavement, WalkersWithWinterClothesDrawTheirWinterSheetInWinter)
{
    for (int id : {48, 50}) {
        At(2026, 1, 10, 14, 0);
        Build();
        FigurRecord &w = Enter(id);
        w.X = 400;
        EXPECT_EQ(Step(id, 1), 0) << id;
        UnloadFigur(id);
        At(2026, 6, 10, 14, 0);
        Build();
        FigurRecord &s = Enter(id);
        s.X = 400;
        EXPECT_EQ(Step(id, 0), 0) << id;
        UnloadFigur(id);
    }
}

TEST_F(Pavement, CrossersStrideRightAndLeave)
{
    for (auto [id, stride] : {std::pair{47, 16}, std::pair{48, 26}}) {
        FigurRecord &r = Enter(id);
        r.X = 200;
        int x = r.X;
        while (r.X == x)
            Step(id, Sheet(id));
        EXPECT_EQ(r.X - x, stride);
        r.X = SceneW - 5;
        for (int i = 0; i < 200 && IsOnStage(id); ++i)
            Step(id, Sheet(id));
        EXPECT_FALSE(IsOnStage(id));
    }
}

TEST_F(Pavement, TheActorPlaysAnActOnlyWhenClickedAtACyclesStart)
{
    std::set<int> actBLengths;
    bool turnedBack = false;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRand(seed);
        FigurRecord &r = Enter(34);
        r.X = 400;
        // Mid-cycle a click waits; at the cycle's start it begins an act.
        r.Frame = 1;
        Click(ClickPending, r.X + 20, r.Y + 20);
        Step(34);
        ASSERT_EQ(r.State, 1);
        r.Frame = 0;
        Step(34);
        ASSERT_TRUE(r.State == 3 || r.State == 4);
        EXPECT_EQ(r.X, 400 - 31);
        EXPECT_EQ(ClickPending, 0u);
        if (r.State == 4) {
            std::set<int> shown;
            int before = 0;
            while (r.State == 4) {
                const int e = Step(34);
                if (e >= 0)
                    shown.insert(e);
                if (r.State == 4 && r.Frame == 0 && before > 0)
                    break;  // the act plays once more
                before = r.Frame;
            }
            actBLengths.insert(static_cast<int>(shown.size()));
        }
        for (int i = 0; i < 4000 && IsOnStage(34) && r.State >= 3; ++i)
            Step(34);
        if (IsOnStage(34) && r.State == 2) {
            turnedBack = true;
            EXPECT_EQ(r.Direction, -1);
            // Off only once past its sheet's width, the width of the sheet
            // it loaded (a narrower one here than the usual).
            r.SheetW = 600;
            r.X = -r.SheetW + 40;
            r.Frame = 0;
            while (r.X == -r.SheetW + 40)
                Step(34);
            EXPECT_EQ(r.X, -r.SheetW + 9);
            EXPECT_TRUE(IsOnStage(34));
            for (int i = 0; i < 400 && IsOnStage(34) && r.X == -r.SheetW + 9; ++i)
                Step(34);
            EXPECT_FALSE(IsOnStage(34));
        }
        if (IsOnStage(34))
            UnloadFigur(34);
    }
    EXPECT_TRUE(turnedBack);
    ASSERT_FALSE(actBLengths.empty());
    EXPECT_GE(*actBLengths.begin(), 5);
    EXPECT_LE(*actBLengths.rbegin(), 8);
}

TEST_F(Pavement, Figure37TakesItsFormByTheDate)
{
    struct {
        int month, day, language;
        const char *name;
        int state;
    } cases[] = {
        {12, 25, 1, "Nikolaus", 1000},
        {12, 1, 2, "Father Christmas", 1000},
        {12, 26, 1, "2 M\xE4nner mit Paket", 2000},
        {6, 10, 2, "2 M\xE4nner mit Paket", 2000},
    };
    for (auto c : cases) {
        At(2026, c.month, c.day, 14, 0);
        Language = c.language;
        OnStage(37, 0);
        Run(37);
        FigurRecord &r = FigurTable[37];
        EXPECT_STREQ(r.Name, c.name) << c.month << "/" << c.day;
        EXPECT_EQ(r.State, c.state) << c.month << "/" << c.day;
        UnloadFigur(37);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    }
    Language = 1;
}

TEST_F(Pavement, TheChristmasFigureWalksStandsAndPlaysOnAClick)
{
    At(2026, 12, 10, 14, 0);
    FigurRecord &r = Enter(37);
    ASSERT_EQ(r.State, 1000);
    Step(37);
    ASSERT_EQ(r.State, 1001);
    EXPECT_EQ(r.X, -100);
    r.X = 400;
    std::set<int> states;
    for (int i = 0; i < 20000 && IsOnStage(37); ++i) {
        const int state = r.State;
        if (i % 700 < 200)
            r.AvoidOrder = 3;
        const int e = Step(37);
        states.insert(state);
        if (e >= 0 && state == 1001) {
            EXPECT_GE(e, 12);
            EXPECT_LE(e, 15);
        }
        if (e >= 0 && state == 1002) {
            EXPECT_GE(e, 16);
            EXPECT_LE(e, 20);
        }
    }
    EXPECT_FALSE(IsOnStage(37));
    EXPECT_EQ(states, (std::set<int>{1001, 1002}));
    FigurRecord &s = Enter(37);
    Step(37);
    s.X = 400;
    Click(ClickPending, s.X + 10, s.Y + 10);
    Step(37);
    EXPECT_EQ(s.State, 1002);
    EXPECT_EQ(s.X, 400 - 17);
    EXPECT_EQ(ClickPending, 0u);
}

TEST_F(Pavement, TheParcelMenWaitForTheirSheetKeepOffAFullPavementAndStopSilently)
{
    // Without their extra sheet in 400 calls they leave unseen.
    FigurRecord &r = Enter(37);
    ASSERT_EQ(r.State, 2000);
    r.State = 2001;
    for (int i = 0; i < 399; ++i)
        EXPECT_EQ(Step(37), -1);
    EXPECT_TRUE(IsOnStage(37));
    Step(37);
    EXPECT_FALSE(IsOnStage(37));

    int farCount = 0, frontCount = 0, farWithOthers = 0;
    for (bool others : {false, true}) {
        if (others)
            PretendOnStage(23);
        for (uint32_t seed = 1; seed <= 24; ++seed) {
            SeedRand(seed);
            FigurRecord &p = Enter(37);
            Step(37);
            ASSERT_EQ(p.State, 2001);
            const bool onFar = p.LaneYMax == SceneH - 76 - 185;
            if (!onFar) {
                EXPECT_EQ(p.LaneYMin, SceneH - 76 - 3);
            }
            if (others) {
                farWithOthers += onFar ? 1 : 0;
            } else {
                ++(onFar ? farCount : frontCount);
            }
            ASSERT_TRUE(testutil::WaitFor([&p] { return p.Sheets[1] && p.Masks[1]; }, 5000));
            Step(37);
            ASSERT_EQ(p.State, 2002);
            if (!others && seed == 1) {
                // Their click: they put the parcel down, without a sound.
                p.X = 400;
                Click(ClickPending, p.X + 100, p.Y + 10);
                Step(37);
                EXPECT_EQ(p.State, 2003);
                EXPECT_EQ(ClickPending, 0u);
                EXPECT_EQ(p.X, 400 - 17);
                for (int i = 0; i < 3000 && p.State == 2003; ++i) {
                    int e = Step(37, 1);
                    if (e >= 0) {
                        EXPECT_GE(e, 4);
                    }
                }
                EXPECT_EQ(p.State, 2002);
            }
            UnloadFigur(37);
            testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
        }
        if (others)
            PretendOnStage(23, false);
    }
    EXPECT_GT(farCount, 0);
    EXPECT_GT(frontCount, farCount);
    EXPECT_EQ(farWithOthers, 0);
}

TEST_F(Pavement, TheBunnyLooksAboutOnlyPastTheStopUnlessHemmedIn)
{
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        SeedRand(seed);
        FigurRecord &r = Enter(38);
        r.X = -100;
        // A hop that takes it past the post + 50 may end in a pause.
        while (IsOnStage(38) && r.X + 33 <= StopPostRect.x + 50) {
            Step(38);
            ASSERT_EQ(r.State, 1) << r.X;
        }
        UnloadFigur(38);
    }
    FigurRecord &r = Enter(38);
    r.X = 100;
    r.Y = r.LaneYMax;
    while (r.State == 1) {
        r.AvoidOrder = 3;
        Step(38);
    }
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(r.X, 100);
    // Its click has strict bounds.
    r.State = 1;
    Click(ClickPending, r.X + 90, r.Y + 10);
    Step(38);
    EXPECT_EQ(ClickPending, 1u);
    Click(ClickPending, r.X + 89, r.Y + 10);
    Step(38);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(r.State, 2);
}

TEST_F(Pavement, TheClownSlowsDownWhenPressedAgainstHisLaneAndTakesNoClick)
{
    FigurRecord &r = Enter(39);
    r.X = 100;
    r.Speed = 3;
    r.Y = r.LaneYMin;
    const int x = r.X;
    while (r.X == x) {
        r.AvoidOrder = -3;
        Step(39);
    }
    EXPECT_EQ(r.Speed, 4);
    EXPECT_EQ(r.Y, r.LaneYMin);
    r.Speed = 8;
    r.Y = r.LaneYMax;
    const int x2 = r.X;
    while (r.X == x2) {
        r.AvoidOrder = 3;
        Step(39);
    }
    EXPECT_EQ(r.Speed, 9);
    Click(ClickPending, r.X + 20, r.Y + 20);
    Run(39, 50);
    EXPECT_EQ(ClickPending, 1u);
    ClickPending = 0;
}

class BirthdayTeller : public Pavement {
protected:
    void SetUp() override
    {
        Pavement::SetUp();
        Texts({"Anna wird 30!", "Hochzeitstag von Ben und Cara", "Omas Geburtstag"});
        for (int i = 0; i < BirthdaysToday; ++i) {
            CreateSprechblase(1, BirthdayTexts[i], 0, 0, 10);
            signatures_.push_back(Signature());
            KillSprechblase();
        }
    }
    void Texts(std::vector<std::string> texts)
    {
        BirthdaysToday = static_cast<int>(texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            StrCopy(BirthdayTexts[i], texts[i].c_str());
    }
    // What the open bubble shows, as a number.
    uint64_t Signature()
    {
        uint64_t h = 1469598103934665603ull;
        for (int y = 0; y < 58; ++y)
            for (int x = 0; x < kBubbleW; ++x)
                h = (h ^ BubblePixel(x, y)) * 1099511628211ull;
        return h;
    }
    // Which text the open bubble tells, or -1.
    int Told()
    {
        if (!OpenBubbleKind)
            return -1;
        uint64_t s = Signature();
        for (size_t i = 0; i < signatures_.size(); ++i)
            if (signatures_[i] == s)
                return static_cast<int>(i);
        return -2;
    }
    // A stop after a stride, hemmed in at x.
    void StopAt(FigurRecord &r, int x)
    {
        r.State = 1;
        r.X = x - 20;
        r.Frame = 3;
        r.Tick = r.Speed;
        r.ScriptVar = -1;
        Step(35);
        ASSERT_EQ(r.State, 2);
    }
    std::vector<uint64_t> signatures_;
};

TEST_F(BirthdayTeller, TellsTheTextsInTurnAcrossHisWalks)
{
    std::vector<int> told;
    for (int walk = 0; walk < 2; ++walk) {
        FigurRecord &r = Enter(35);
        for (int stop = 0; stop < 2; ++stop) {
            StopAt(r, 500);
            told.push_back(Told());
            EXPECT_EQ(BubbleLifetime(), 10);
            KillSprechblase();
        }
        UnloadFigur(35);
    }
    EXPECT_EQ(told, (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(BirthdayTeller, AnOpenBubbleOfAnotherKeepsHimQuietAndAnEmptyTextIsPassedOver)
{
    FigurRecord &r = Enter(35);
    CreateSprechblase(2, "Ein anderer spricht", 600, 10, 5);
    const POINT other = BubblePosition();
    StopAt(r, 500);
    EXPECT_EQ(BubblePosition().x, other.x);
    KillSprechblase();
    StopAt(r, 500);
    EXPECT_EQ(Told(), 0);  // the index was kept
    KillSprechblase();
    StrCopy(BirthdayTexts[1], "");
    StopAt(r, 500);
    EXPECT_EQ(OpenBubbleKind, 0);
    StopAt(r, 500);
    EXPECT_EQ(Told(), 2);
    KillSprechblase();
    // No texts today: nothing is told.
    BirthdaysToday = 0;
    StopAt(r, 500);
    EXPECT_EQ(OpenBubbleKind, 0);
}

TEST_F(BirthdayTeller, TheBubbleOpensOnTheSideWithRoom)
{
    struct {
        int x, kind, bubbleX, dy;
    } cases[] = {{210, 2, 320, -50}, {211, 1, 57, -40}};
    for (auto c : cases) {
        FigurRecord &r = Enter(35);
        StopAt(r, c.x);
        EXPECT_EQ(r.X, c.x);
        EXPECT_EQ(OpenBubbleKind, c.kind) << c.x;
        EXPECT_EQ(BubblePosition().x, c.bubbleX) << c.x;
        EXPECT_EQ(BubblePosition().y, r.Y + c.dy) << c.x;
        KillSprechblase();
        UnloadFigur(35);
    }
}

TEST_F(BirthdayTeller, ClicksWhileWalkingAndStandingAndTheStandsEndClosesTheBubble)
{
    FigurRecord &r = Enter(35);
    r.X = 500;
    // Walking: a click is taken as a step is taken, and tells nothing.
    Click(ClickPending, r.X + 10, r.Y + 10);
    while (r.State == 1)
        Step(35);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(OpenBubbleKind, 0);
    EXPECT_EQ(r.Direction, 0);
    // Standing: a click tells the next text; another closes it.
    Click(ClickPending, r.X + 100, r.Y + 10);
    Step(35);
    EXPECT_EQ(Told(), 0);
    EXPECT_EQ(r.WaitCount, 6);
    Click(ClickPending, r.X + 10, r.Y + 10);
    Step(35);
    EXPECT_EQ(OpenBubbleKind, 0);
    // The stand's end closes a bubble that is open.
    CreateSprechblase(1, "Ein anderer spricht", 600, 10, 30);
    r.WaitCount = 1;
    while (r.State == 2)
        Step(35);
    EXPECT_EQ(OpenBubbleKind, 0);
    EXPECT_EQ(r.Direction, 1);
}

TEST_F(Pavement, TheExitSignStandsAtTheLeftEdgeOrNotAtAll)
{
    struct {
        int exit;
        bool tram;
        int x, entry;
    } cases[] = {{1, false, 6, 0}, {2, true, 46, 1}, {0, false, 6, -1}};
    const int exitBefore = EXIT;
    const bool tramBefore = TramOn;
    for (auto c : cases) {
        EXIT = c.exit;
        TramOn = c.tram;
        UnloadFigur(110);
        OnStage(110, 0);
        BitBlt(WorkDC, 0, 0, 100, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
        RunScript(110);
        EXPECT_EQ(DrawnEntryAt(110, c.x, SceneH - 113), c.entry) << c.exit;
        if (c.exit == 0) {
            EXPECT_FALSE(IsOnStage(110));
            continue;
        }
        const FigurRecord &r = FigurTable[110];
        EXPECT_EQ(r.X, c.x);
        EXPECT_EQ(r.Y, SceneH - 113);
        EXPECT_EQ(r.FootLine, SceneH);
    }
    // Without the sign a click at the left edge reaches the figure there.
    FigurRecord &f = Enter(45);
    f.X = 0;
    Click(ClickPending, 20, f.Y + 20);
    Frames(1);
    EXPECT_EQ(f.State, 2);
    EXIT = exitBefore;
    TramOn = tramBefore;
}

TEST_F(Pavement, PainterAndPhotographerKeepToTheNearPavementWhenTheStreetIsBusy)
{
    struct {
        int id, nearTop, farTop;
    } figures[] = {{51, 84, 292}, {54, 76, 239}};
    for (auto f : figures) {
        int farCount = 0;
        for (int busy : {3, 0}) {
            PedestrianCount = busy;
            for (uint32_t seed = 1; seed <= 24; ++seed) {
                SeedRand(seed);
                FigurRecord &r = Enter(f.id);
                const bool onFar = r.LaneYMin == SceneH - f.farTop;
                if (!onFar) {
                    EXPECT_EQ(r.LaneYMin, SceneH - f.nearTop) << f.id;
                }
                if (busy) {
                    EXPECT_FALSE(onFar) << f.id;
                } else {
                    farCount += onFar ? 1 : 0;
                }
                UnloadFigur(f.id);
            }
        }
        EXPECT_GT(farCount, 0) << f.id;
    }
    // At dusk the painter always keeps near.
    PedestrianCount = 0;
    At(2026, 6, 10, 20, 30);
    Build();
    ASSERT_EQ(TimeOfDay, kDusk);
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        SeedRand(seed);
        FigurRecord &r = Enter(51);
        EXPECT_EQ(r.LaneYMin, SceneH - 84);
        UnloadFigur(51);
    }
}

TEST_F(Pavement, ThePainterStrokesAgainWhileSomeoneIsSteeredRoundHim)
{
    for (int order : {3, 0}) {
        FigurRecord &r = Enter(51);
        r.X = 500;
        r.State = 3;
        r.Frame = 0;
        r.Tick = 100;
        r.AvoidOrder = order;
        Step(51);
        EXPECT_EQ(r.State, order ? 2 : 1);
        EXPECT_EQ(r.X, order ? 500 : 500 - 16);
        UnloadFigur(51);
    }
}

// A click on a walking figure is taken on a frame it is drawn on: the work
// buffer is built afresh each frame, so a script that took the click and
// returned before drawing would make the figure blink.
TEST_F(Pavement, AClickNeverMakesAFigureBlink)
{
    struct Case {
        const char *what;
        int id, month, state, slot, clickDx;
    } cases[] = {
        {"Father Christmas walking", 37, 12, 1001, 0, 10}, {"the parcel men walking", 37, 6, 2002, 1, 100},
        {"the Easter bunny hopping", 38, 4, 1, 0, 10},     {"45 walking left", 45, 6, 1, 0, 10},
        {"45 walking right", 45, 6, 3, 0, 10},             {"50 walking left", 50, 6, 1, 0, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        At(2026, c.month, 10, 14, 0);
        FigurRecord &r = Enter(c.id);
        for (int i = 0; i < 5 && r.State != c.state; ++i) {
            testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
            Run(c.id);
        }
        r.State = c.state;
        r.X = 400;
        r.Frame = r.Tick = 0;
        const int x = r.X, y = r.Y;
        Click(ClickPending, x + c.clickDx, y + 10);
        Frames(1);
        EXPECT_EQ(ClickPending, 0u) << "the click was taken";
        EXPECT_NE(r.State, c.state) << "by the figure";
        EXPECT_GE(DrawnEntryAt(c.id, x, y, c.slot), 0) << "nothing drawn on the click's frame";
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    }
}

// Someone who passes on his left while he photographs holds him one more
// round; once nobody is in reach he walks on, through the real scene step.
TEST_F(Pavement, ThePhotographerWalksOnOnceThePasserOnHisLeftIsGone)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        SeedRand(seed);
        FigurRecord &r = Enter(54);
        r.X = 600;
        r.State = 2;
        r.Frame = r.Tick = r.WaitCount = 0;
        ASSERT_NE(OrderFromAPasserBy(54, 34, -100), 0) << "the passer was in reach";
        int frames = 0;
        for (; frames < 20000 && IsOnStage(54) && r.State == 2; ++frames)
            SceneStep();
        EXPECT_NE(r.State, 2) << "seed " << seed << ": still photographing after " << frames << " frames";
        UnloadFigur(54);
    }
}

TEST_F(Pavement, Couple57StopsFarMoreOftenThanCouple56)
{
    std::map<int, int> stops;
    for (int id : {56, 57}) {
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            SeedRand(seed);
            FigurRecord &r = Enter(id);
            r.Speed = 0;  // a frame a call: only the strides count here
            while (IsOnStage(id) && r.State == 1)
                Step(id);
            if (IsOnStage(id)) {
                EXPECT_EQ(r.State, 2);
                ++stops[id];
                UnloadFigur(id);
            }
        }
    }
    EXPECT_GT(stops[57], 2 * stops[56]);
}

TEST_F(Pavement, CouplesLeaveRightWhenTheyTurnBackLeftPastTheEdgeAndTakeClicksOnlyWalkingLeft)
{
    for (int id : {56, 57}) {
        FigurRecord &r = Enter(id);
        r.State = 4;
        r.X = SceneW - 30;
        for (int i = 0; i < 2000 && IsOnStage(id); ++i)
            Step(id);
        EXPECT_FALSE(IsOnStage(id));
        FigurRecord &s = Enter(id);
        s.X = -80;
        s.WaitCount = -1000;  // no stop now
        int lastX = s.X;
        while (IsOnStage(id)) {
            lastX = s.X;
            Step(id);
        }
        EXPECT_LT(lastX, -80);
        FigurRecord &t = Enter(id);
        t.X = 500;
        t.State = 2;
        Click(ClickPending, 520, t.Y + 20);
        Run(id, 40);
        EXPECT_EQ(ClickPending, 1u) << id;
        t.State = 1;
        t.WaitCount = -1000;
        t.Frame = 3;
        t.Tick = 100;
        Step(id);
        EXPECT_EQ(ClickPending, 0u) << id;
        EXPECT_EQ(t.State, 2) << id;
        UnloadFigur(id);
    }
}

}  // namespace
