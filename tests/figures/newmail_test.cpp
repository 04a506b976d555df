// Figure 46: the messenger that new mail brings, with his extra sheet, his
// stops and turns; the runner by day and the dog walker by night.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/mail.h"
#include "shell/keys.h"
#include "vehicles/busstop.h"

namespace {

using streettest::StreetScene;

constexpr int kMessenger = 46;

class NewMailFigure : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        SeedRand(46);
    }
    void TearDown() override
    {
        NewMail = 0;
        PhaseChangeDue = 0;
        StreetScene::TearDown();
    }
    void AtHour(int hour)
    {
        At(2026, 6, 10, hour, 0);
        Build();
    }
    // On stage, after its first call.
    FigurRecord &Enter()
    {
        OnStage(kMessenger, 0);
        Run(kMessenger);
        return FigurTable[kMessenger];
    }
    // The messenger with his letter sheet, walking right from x.
    FigurRecord &Messenger(int x)
    {
        NewMail = 1;
        FigurRecord &r = Enter();
        EXPECT_EQ(r.State, 500);
        EXPECT_TRUE(testutil::WaitFor([&r] { return r.Sheets[1] && r.Masks[1]; }, 5000));
        Run(kMessenger);
        EXPECT_EQ(r.State, 511);
        r.X = x;
        return r;
    }
};

TEST_F(NewMailFigure, TheVariantFollowsTheMailAndTheTimeOfDay)
{
    struct {
        int hour, mail, state, frameW, frameH;
        const char *name;
        int laneFromBottom;
    } cases[] = {
        {14, 1, 500, 56, 105, "New Mail", 109}, {14, 0, 1, 64, 70, "", 74},   {23, 0, 100, 104, 92, "", 96},
        {20, 1, 500, 56, 105, "New Mail", 109}, {20, 0, -1, 0, 0, "", 0},
    };
    for (auto c : cases) {
        AtHour(c.hour);
        ASSERT_EQ(TimeOfDay, c.hour == 14 ? kDay : c.hour == 20 ? kDusk : kNight);
        NewMail = c.mail;
        FigurRecord &r = Enter();
        if (c.state < 0) {
            EXPECT_FALSE(IsOnStage(kMessenger)) << c.hour;
            continue;
        }
        EXPECT_EQ(r.State, c.state) << c.hour << " " << c.mail;
        EXPECT_STREQ(r.Name, c.name);
        EXPECT_EQ(r.FrameW, c.frameW) << c.hour << " " << c.mail;
        EXPECT_EQ(r.FootLine, r.Y + c.frameH);
        EXPECT_GE(r.Y, SceneH - c.laneFromBottom);
        EXPECT_LE(r.Y, SceneH - c.laneFromBottom + 3);
        EXPECT_EQ(r.X, -140);
        testutil::WaitFor([] { return !PlusLoaderBusy && !LoaderBusy; }, 5000);
        UnloadFigur(kMessenger);
    }
}

TEST_F(NewMailFigure, WithoutItsLetterSheetTheMessengerGivesUpUnseen)
{
    // The request refused: he leaves at once.
    NewMail = 1;
    PlusLoaderBusy = 1;
    Enter();
    EXPECT_FALSE(IsOnStage(kMessenger));
    PlusLoaderBusy = 0;
    // The sheet never comes: 400 calls of waiting, nothing drawn.
    OnStage(kMessenger, 500);
    FigurRecord &r = FigurTable[kMessenger];
    r.X = 500;
    r.Y = 800;
    const COLORREF before = Work(520, 850);
    Run(kMessenger, 400);
    EXPECT_TRUE(IsOnStage(kMessenger));
    Run(kMessenger);
    EXPECT_FALSE(IsOnStage(kMessenger));
    EXPECT_EQ(Work(520, 850), before);
}

TEST_F(NewMailFigure, TheMessengerWalksToAndFroAndStopsOnlyClearOfThePostAndTheEdge)
{
    FigurRecord &r = Messenger(-100);
    r.Speed = 0;  // a walk frame a call: many crossings in a short test
    std::set<int> states;
    int stops = 0, turnsRight = 0, turnsLeft = 0, prev = r.State;
    for (int i = 0; i < 30000 && IsOnStage(kMessenger); ++i) {
        const int x = r.X, drawnIn = r.State;
        Run(kMessenger);
        if (drawnIn >= 511 && drawnIn != 516 && r.X == x && x >= 0 && x + 80 < SceneW) {
            EXPECT_GE(DrawnEntryAt(kMessenger, x, r.Y, 1), 0) << drawnIn;
        }
        if (r.State != prev) {
            states.insert(r.State);
            if (r.State == 512 || r.State == 518) {
                ++stops;
                const int strideEnd = r.X + 4;
                EXPECT_GT(strideEnd, StopPostRect.x + 123);
                EXPECT_LT(strideEnd, SceneW - 123);
            }
            if (prev == 517 && r.State == 511) {
                ++turnsRight;
                EXPECT_LT(r.X, -80);
            }
            if (prev == 516 && r.State == 517)
                ++turnsLeft;
            prev = r.State;
        }
    }
    EXPECT_TRUE(IsOnStage(kMessenger));
    EXPECT_GE(stops, 3);
    EXPECT_GE(turnsRight, 1);
    EXPECT_GE(turnsLeft, 1);
    for (int s : {512, 513, 514, 515, 516, 517, 518})
        EXPECT_TRUE(states.count(s)) << s;
}

TEST_F(NewMailFigure, WithThePhaseChangeDueHeLeavesAtTheNextEdge)
{
    struct {
        int state, x;
    } cases[] = {{516, 1300}, {517, -60}};
    for (auto c : cases) {
        FigurRecord &r = Messenger(c.x);
        r.State = c.state;
        r.Frame = 3;
        r.Tick = r.Speed;
        PhaseChangeDue = 1;
        Run(kMessenger, 20);
        EXPECT_FALSE(IsOnStage(kMessenger)) << c.state;
        PhaseChangeDue = 0;
        testutil::WaitFor([] { return !PlusLoaderBusy && !LoaderBusy; }, 5000);
    }
}

TEST_F(NewMailFigure, TheRunnerStridesSeventyAndWaitsOffStageTheDogWalkerTwentySix)
{
    struct {
        int hour, stride, frames, state;
    } cases[] = {{14, 70, 6, 1}, {23, 26, 5, 100}};
    for (auto c : cases) {
        AtHour(c.hour);
        FigurRecord &r = Enter();
        ASSERT_EQ(r.State, c.state);
        r.X = 300;
        int x = r.X, strides = 0;
        for (int i = 0; i < 2000 && strides < 5; ++i) {
            Run(kMessenger);
            const int e = DrawnEntryAt(kMessenger, x, r.Y);
            EXPECT_TRUE(e >= 0 && e < (c.frames == 6 ? 12 : 5)) << e;
            if (r.X != x) {
                EXPECT_EQ(r.X - x, c.stride);
                x = r.X;
                ++strides;
            }
        }
        EXPECT_EQ(strides, 5);
        r.X = SceneW - 5;
        r.Frame = c.frames - 1;
        r.Tick = r.Speed;
        Run(kMessenger);
        if (c.state == 1) {
            EXPECT_EQ(r.State, 2);
            Run(kMessenger, 99);
            EXPECT_TRUE(IsOnStage(kMessenger));
            Run(kMessenger);
        }
        EXPECT_FALSE(IsOnStage(kMessenger)) << c.hour;
    }
}

}  // namespace
