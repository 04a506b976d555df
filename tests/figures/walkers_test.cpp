// The walkers as their tables give them: what they draw, how they move, when
// they leave, what clicks do to them, and their states out of the bus.
#include "street_fixture.h"

#include "scene/bubbles.h"
#include "features/vanish.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "vehicles/busstop.h"

#include <set>

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

class Walkers : public StreetScene {};

TEST_F(Walkers, TheJoggerLeapsAHundredPixelsAtATimeAndComesBackFromTheOtherSide)
{
    FigurRecord &r = Enter(2);
    ASSERT_TRUE(r.State == 100 || r.State == 200);
    const bool fromLeft = r.State == 100;
    if (fromLeft) {
        EXPECT_LE(r.X, -100);
        EXPECT_GE(r.X, -115);
        EXPECT_LE(r.Pause, 16);
    } else {
        EXPECT_GE(r.X, SceneW);
        EXPECT_GE(r.Pause, 64);
        EXPECT_LE(r.Pause, 128);
    }
    EXPECT_EQ(r.FootLine, r.Y + 75);
    EXPECT_GE(r.Y, SceneH - 79);
    EXPECT_LE(r.Y, SceneH - 76);
    r.X = 400;
    // Seven frames a leap, each Speed + 1 calls; the figure moves only at
    // the leap's end.
    std::vector<int> entries;
    int x = r.X;
    for (int call = 0; call < 7 * (r.Speed + 1); ++call) {
        Run(2);
        entries.push_back(DrawnEntryAt(2, x, r.Y));
        if (call < 7 * (r.Speed + 1) - 1) {
            EXPECT_EQ(r.X, x) << call;
        }
    }
    EXPECT_EQ(r.X, x + (fromLeft ? 100 : -100));
    const int first = fromLeft ? 0 : 7;
    for (size_t call = 0; call < entries.size(); ++call)
        EXPECT_EQ(entries[call], first + static_cast<int>(call) / (r.Speed + 1)) << call;
    // Off at the far side, and back from there next time.
    r.X = fromLeft ? SceneW - 10 : -100;
    Run(2, 7 * (r.Speed + 1));
    EXPECT_FALSE(IsOnStage(2));
    FigurRecord &again = Enter(2);
    EXPECT_EQ(again.State, fromLeft ? 200 : 100);
}

TEST_F(Walkers, FarWalkersStrideRightInTwoGaitsAndNeverWaitForTheBus)
{
    for (int id : {4, 6}) {
        FigurRecord &r = Enter(id);
        EXPECT_EQ(r.State, 1);
        EXPECT_EQ(r.X, -80);
        EXPECT_EQ(r.WantsBus, 0u);
        EXPECT_GE(r.Y, SceneH - 264);
        EXPECT_LE(r.Y, SceneH - 249);
        r.X = 300;
        std::set<int> seen;
        int strides = 0, x = r.X;
        for (int call = 0; call < 400; ++call) {
            Run(id);
            seen.insert(DrawnEntry(id));
            if (r.X != x) {
                EXPECT_EQ(r.X - x, 19);
                x = r.X;
                ++strides;
            }
        }
        EXPECT_GE(strides, 5);
        for (int e : seen)
            EXPECT_TRUE(e >= 0 && e <= 7) << e;
        EXPECT_TRUE(seen.count(5) || seen.count(1));
        r.X = SceneW - 5;
        Run(id, 50);
        EXPECT_FALSE(IsOnStage(id)) << id;
    }
}

TEST_F(Walkers, OutOfTheBusTheyLookAboutFirst)
{
    FigurRecord &r = Enter(4, 100);
    EXPECT_EQ(r.State, 101);
    EXPECT_GE(r.X, StopPostRect.x - 30);
    EXPECT_LE(r.X, StopPostRect.x - 10);
    EXPECT_EQ(DrawnEntry(4), 37);
    while (r.State == 101 && IsOnStage(4)) {
        int e = DrawnEntry(4);
        EXPECT_TRUE(e >= 37 && e <= 44) << e;
        Run(4);
    }
    EXPECT_EQ(r.State, 1);
    EXPECT_EQ(r.WantsBus, 0u);

    FigurRecord &s = Enter(11, 100);
    EXPECT_EQ(s.State, 101);
    EXPECT_GE(s.X, StopPostRect.x - 84);
    EXPECT_LE(s.X, StopPostRect.x - 64);
    int e = DrawnEntry(11);
    EXPECT_TRUE(e == 48 || e == 52) << e;
    // While the bus halts a left click on her is not taken.
    BusHalted = 1;
    Click(ClickPending, s.X + 10, s.Y + 10);
    Run(11, 40);
    EXPECT_EQ(ClickPending, 1u);
    BusHalted = 0;
    ClickPending = 0;
}

TEST_F(Walkers, TheSkaterGlidesFallsWhenClickedAndClompsOff)
{
    FigurRecord &r = Enter(11);
    EXPECT_EQ(r.State, 1);
    EXPECT_EQ(r.X, SceneW);
    EXPECT_TRUE(r.Speed == 4 || r.Speed == 5);
    r.X = 700;
    for (int call = 0; call < 10; ++call) {
        int x = r.X;
        Run(11);
        EXPECT_EQ(x - r.X, r.Speed);
    }
    Click(ClickPending, r.X + 30, r.Y + 30);
    int x = r.X;
    Run(11);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(Work(x + 1, r.Y + 1), streettest::EntryColour(11, kDay, 0, 32));
    EXPECT_EQ(x - r.X, r.Speed - 1);
    std::vector<int> states;
    for (int call = 0; call < 3000 && IsOnStage(11); ++call) {
        if (states.empty() || states.back() != r.State)
            states.push_back(r.State);
        if (r.State == 6 && r.X > 100)
            r.X = 100;
        Run(11);
    }
    EXPECT_FALSE(IsOnStage(11));
    EXPECT_EQ(states, (std::vector<int>{2, 3, 4, 5, 6}));
}

TEST_F(Walkers, TheTouristPosesOnceOnHisWay)
{
    FigurRecord &r = Enter(17);
    EXPECT_EQ(r.State, 1);
    EXPECT_EQ(r.X, -95);
    r.X = 100;
    r.WaitCount = 2;
    int poses = 0;
    for (int call = 0; call < 6000 && IsOnStage(17); ++call) {
        int before = r.State;
        Run(17);
        if (r.State == 2 && before != 2) {
            ++poses;
            EXPECT_GE(r.Frame, 16);
        }
        if (before == 2 && r.State == 2) {
            int e = DrawnEntry(17, Season - 1);
            EXPECT_GE(e, 16);
        }
        if (r.State == 3)
            r.AvoidOrder = 0;
    }
    EXPECT_EQ(poses, 1);
    EXPECT_FALSE(IsOnStage(17));
    // Not from the stride count near the right edge.
    FigurRecord &s = Enter(17);
    s.X = SceneW - 150;
    s.WaitCount = 0;
    for (int call = 0; call < 3000 && IsOnStage(17); ++call) {
        Run(17);
        EXPECT_NE(s.State, 2);
    }
}

TEST_F(Walkers, ALeftClickStartsTheTouristsPoses)
{
    FigurRecord &r = Enter(17);
    r.X = 300;
    Click(ClickPending, 330, r.Y + 20);
    Run(17);
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(r.X, 281);
    EXPECT_EQ(ClickPending, 0u);
}

TEST_F(Walkers, ARemoveClickLeavesAPuffWhereTheFigureStood)
{
    ASSERT_TRUE(IsOnStage(kVanishEffect));
    struct {
        int id, width, puffDx;
    } cases[] = {{2, 80, 16}, {11, 64, 0}};
    for (auto c : cases) {
        FigurRecord &r = Enter(c.id);
        r.X = 500;
        const int foot = r.FootLine;
        Click(RemovePending, 500 + c.width, r.Y);
        Run(c.id);
        EXPECT_FALSE(IsOnStage(c.id));
        EXPECT_EQ(RemovePending, 0u);
        const FigurRecord &puff = FigurTable[kVanishEffect];
        EXPECT_EQ(puff.X, 500 + c.puffDx);
        EXPECT_EQ(puff.Y, foot - 80);
        EXPECT_EQ(puff.State, 1);
        // Seven frames of three ticks, then idle again.
        Run(kVanishEffect, 21);
        EXPECT_EQ(puff.State, 0);
    }
    // A remove click beside the figure does nothing.
    FigurRecord &r = Enter(4);
    r.X = 500;
    Click(RemovePending, 500 + 81, r.Y);
    Run(4);
    EXPECT_TRUE(IsOnStage(4));
    RemovePending = 0;
}

TEST_F(Walkers, ATalkClickOpensABubbleWithATextOfTheFiguresSection)
{
    WriteSpeechTexts("[Marlene]\r\nN=2\r\nTEXT1=Guten Tag!\r\nTEXT2=Schoenes Wetter.\r\n");
    FigurRecord &r = Enter(4);
    r.X = 600;
    Click(TalkPending, 620, r.Y + 40);
    Run(4);
    EXPECT_EQ(TalkPending, 0u);
    EXPECT_EQ(OpenBubbleKind, 1);
    EXPECT_TRUE(std::string(r.SpeechText) == "Guten Tag!" || std::string(r.SpeechText) == "Schoenes Wetter.");
    EXPECT_EQ(BubblePosition().x, 430);
    EXPECT_TRUE(IsOnStage(4));
}

TEST_F(Walkers, AStateTheScriptDoesNotKnowEndsTheFigureWithALogLine)
{
    FigurRecord &r = Enter(2);
    r.State = 55;
    Run(2);
    EXPECT_FALSE(IsOnStage(2));
    EXPECT_EQ(CountOf(Log(), "+++ 2 +++ 55 +++"), 1);
    FigurRecord &s = Enter(11);
    s.State = 55;
    Run(11, 3);
    EXPECT_TRUE(IsOnStage(11));
}

}  // namespace
