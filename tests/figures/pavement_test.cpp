// The pavement figures from 34 on: every script's long run draws only the
// frames of the state it is in, and the behaviours that make each figure
// what it is (acts, looks, turning back, waiting off stage, clicks).
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "scene/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "shell/keys.h"

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
    {36, {{1, {0, 11}}, {2, {12, 12}}, {3, {13, 23}}, {4, {31, 36}}}},
    {40, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
    {43, {{1, {0, 3}}, {2, {4, 9}}, {3, {10, 13}}}},
    {45, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
    {47, {{1, {0, 3}}}},
    {48, {{1, {0, 3}}}},
    {49, {{1, {0, 3}}, {2, {4, 9}}, {3, {10, 13}}}},
    {50, {{1, {0, 3}}, {2, {4, 13}}, {3, {14, 17}}}},
};

class Pavement : public StreetScene {
protected:
    FigurRecord &Enter(int id, int startState = 0)
    {
        OnStage(id, startState);
        Run(id);
        return FigurTable[id];
    }
    void Click(std::atomic<uint32_t> &flag, int x, int y)
    {
        MouseX = x;
        MouseY = y;
        flag = 1;
    }
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
                auto run = plan.states.find(state);
                if (run == plan.states.end()) {
                    EXPECT_EQ(e, -1) << plan.id << " state " << state;
                    continue;
                }
                if (e != -1) {
                    EXPECT_GE(e, run->second.first) << plan.id << " state " << state << " call " << call;
                    EXPECT_LE(e, run->second.last) << plan.id << " state " << state << " call " << call;
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

}  // namespace
