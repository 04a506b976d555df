// Figure 55 at door 1 of the left house: the shutters she closes or opens
// land in the background picture at the frame step that swings the leaves,
// and she stays away or gives up while others are about.
#include "street_fixture.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/figures.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "shell/keys.h"

namespace {

using streettest::EntryColour;
using streettest::StreetScene;

constexpr int kShutters = 55;
// The probe sheet's entries for the two shutter pictures.
constexpr int kClosedProbe = 58, kOpenProbe = 59;

class ShutterFigure : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        At(2026, 6, 10, 20, 55);
        Build();
        ASSERT_EQ(TimeOfDay, kDusk);
    }
    COLORREF ShutterPixel()
    {
        SceneDCHold hold;
        return GetPixel(BackgroundDC, BackgroundX + 157 + 5, BackgroundBottom - 339 + 5);
    }
    // Brings her on stage and calls her until she starts her act.
    FigurRecord &ToTheAct()
    {
        OnStage(kShutters, 0);
        FigurRecord &r = FigurTable[kShutters];
        for (int call = 0; call < 200 && r.State < 10; ++call)
            Run(kShutters);
        return r;
    }
};

TEST_F(ShutterFigure, TheShuttersLandInTheBackgroundAtTheFrameStepThatSwingsThem)
{
    struct Case {
        const char *what;
        int before, after;
        int flipFrom, flipTo;  // the frame step at which ShutterState changes
        int probe;
    } cases[] = {
        {"closing the open shutters", kShutterOpen, kShutterClosed, 41, 42, kClosedProbe},
        {"opening the closed shutters", kShutterClosed, kShutterOpen, 39, 38, kOpenProbe},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SeedRand(7);
        ShutterState = c.before;
        FigurRecord &r = ToTheAct();
        ASSERT_EQ(r.State, c.before == kShutterOpen ? 10 : 20);
        EXPECT_EQ(r.X, 91);
        EXPECT_EQ(r.Y, 9);
        EXPECT_EQ(r.FootLine, 105);
        int flips = 0;
        for (int call = 0; call < 20000 && IsOnStage(kShutters); ++call) {
            const int frame = r.Frame;
            const int state = ShutterState;
            Run(kShutters);
            if (ShutterState != state) {
                ++flips;
                EXPECT_EQ(frame, c.flipFrom);
                EXPECT_EQ(r.Frame, c.flipTo);
                EXPECT_EQ(ShutterPixel(), EntryColour(kShutters, kDusk, 0, c.probe));
            }
        }
        EXPECT_FALSE(IsOnStage(kShutters));
        EXPECT_EQ(flips, 1);
        EXPECT_EQ(ShutterState, c.after);
        // The picture outlives her.
        EXPECT_EQ(ShutterPixel(), EntryColour(kShutters, kDusk, 0, c.probe));
    }
}

TEST_F(ShutterFigure, SheStaysAwayWhileOthersAreAboutAndGivesUp)
{
    struct Case {
        const char *what;
        int other;
        int otherX;
        int callsOnStage;  // -1: she never comes out and leaves on the 251st call
    } cases[] = {
        {"figure 25 anywhere", 25, 900, -1},
        {"figure 52 anywhere", 52, 900, -1},
        {"a resident near her door", 63, 300, -1},
        {"figure 58 comes: she leaves at once", 58, 900, 1},
        {"a resident further along", 63, 301, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OnStage(kShutters, 0);
        FigurRecord &r = FigurTable[kShutters];
        Run(kShutters);
        ASSERT_EQ(r.State, 1);
        PretendOnStage(c.other);
        FigurTable[c.other].X = c.otherX;
        int calls = 0;
        while (IsOnStage(kShutters) && r.State == 1 && calls < 400) {
            Run(kShutters);
            ++calls;
        }
        if (c.callsOnStage < 0) {
            EXPECT_FALSE(IsOnStage(kShutters));
            EXPECT_EQ(calls, 251);
        } else if (c.callsOnStage == 1) {
            EXPECT_FALSE(IsOnStage(kShutters));
            EXPECT_EQ(calls, 1);
        } else {
            EXPECT_EQ(r.State, 2);
            UnloadFigur(kShutters);
        }
        PretendOnStage(c.other, false);
    }
}

TEST_F(ShutterFigure, HerClickPlaysTheSoundOfTheSamePersonAndKeepsHerId)
{
    ShutterState = kShutterOpen;
    FigurRecord &r = ToTheAct();
    ASSERT_EQ(r.State, 10);
    // A remove click is not hers to take.
    MouseX = r.X + 10;
    MouseY = r.Y + 50;
    RemovePending = 1;
    Run(kShutters);
    EXPECT_TRUE(IsOnStage(kShutters));
    RemovePending = 0;
    ClickPending = 1;
    Run(kShutters);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(r.Id, kShutters);
    // From frame 50 on her clicks pass.
    r.Frame = 50;
    ClickPending = 1;
    Run(kShutters);
    EXPECT_EQ(ClickPending, 1u);
    ClickPending = 0;
}

}  // namespace
