// The scene step: the order back to front, the avoidance orders, the clicks
// on the exit sign, the bubble and the house fronts, and a frame that makes
// no GDI object.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "scene/bubbles.h"
#include "figures/musicians.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"

namespace {

using scenetest::CountOf;
using streettest::EntryColour;
using streettest::StreetScene;

class Step : public StreetScene {
protected:
    // A walker or vehicle record as the avoidance reads it.
    FigurRecord &Mover(int id, int x, int footLine, int direction, int w = 64, int spacing = 6, int avoids = 1)
    {
        PretendOnStage(id);
        FigurRecord &r = FigurTable[id];
        r.X = x;
        r.FootLine = footLine;
        r.Direction = direction;
        r.FrameW = w;
        r.Spacing = spacing;
        r.Avoids = avoids;
        r.State = 1;
        r.AvoidOrder = 0;
        for (DrawListEntry &pair : DrawList) {
            if (pair.Figur == id)
                return r;
        }
        for (DrawListEntry &pair : DrawList) {
            if (pair.Figur < 1) {
                pair.Figur = id;
                pair.Key = footLine;
                break;
            }
        }
        return r;
    }
    bool ClosePosted()
    {
        MSG msg;
        return PeekMessageA(&msg, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
    }
};

TEST_F(Step, WalkersStepAsideForOneAnother)
{
    struct Case {
        const char *what;
        int ix, iFoot, iDir, iAvoids;
        int jx, jFoot, jDir, jAvoids, jState;
        int iSpacing;
        int order;
    } cases[] = {
        {"towards each other, 2 apart", 500, 200, -1, -1, 400, 202, 1, 1, 1, 6, -3},
        {"towards each other, 5 apart", 500, 200, -1, -1, 400, 205, 1, 1, 1, 6, -2},
        {"5 apart, other takes no orders", 500, 200, -1, -1, 400, 205, 1, 0, 1, 6, -3},
        {"the other walks in front", 500, 205, -1, -1, 400, 200, 1, 1, 1, 6, 2},
        {"right walker behind a slower one", 300, 200, 1, 1, 400, 201, 1, 1, 1, 6, -3},
        {"too far ahead", 500, 200, -1, -1, 250, 202, 1, 1, 1, 6, 0},
        {"other lane", 500, 200, -1, -1, 400, 210, 1, 1, 1, 6, 0},
        {"other not walking yet", 500, 200, -1, -1, 400, 202, 1, 1, 0, 6, 0},
        {"no orders for this one", 500, 200, -1, 0, 400, 202, 1, 1, 1, 6, 0},
        {"at a door, someone close behind", 500, 200, -2, 1, 510, 195, 1, 1, 1, 6, 3},
        {"standing", 500, 200, 0, 1, 450, 201, 1, 1, 1, 6, 0},
    };
    for (const Case &c : cases) {
        FigurRecord &i = Mover(4, c.ix, c.iFoot, c.iDir, 64, c.iSpacing, c.iAvoids);
        FigurRecord &j = Mover(6, c.jx, c.jFoot, c.jDir, 64, 6, c.jAvoids);
        j.State = c.jState;
        ComputeAvoidanceOrders();
        EXPECT_EQ(i.AvoidOrder, c.order) << c.what;
    }
}

TEST_F(Step, VehiclesHoldBackBehindTheOneAheadInTheirLane)
{
    struct Case {
        const char *what;
        int phase, speed, ix, jx, jFoot, jDir, jState;
        int order;
    } cases[] = {
        {"30 behind, day, speed 1", kDay, 1, 500, 370, 300, -1, 2, -1},
        {"30 behind, day, speed 0", kDay, 0, 500, 370, 300, -1, 2, 0},
        {"30 behind, night, speed 0", kNight, 0, 500, 370, 300, -1, 2, -1},
        {"other lane", kDay, 1, 500, 370, 250, -1, 2, 0},
        {"other direction", kDay, 1, 500, 370, 300, 1, 2, 0},
        {"the other still sets up", kDay, 1, 500, 370, 300, -1, 1, 0},
        {"the other is behind", kDay, 1, 500, 700, 300, -1, 2, 0},
    };
    for (const Case &c : cases) {
        TimeOfDay = c.phase;
        FigurRecord &i = Mover(80, c.ix, 300, -1, 100, 10, 1);
        i.Speed = c.speed;
        FigurRecord &j = Mover(81, c.jx, c.jFoot, c.jDir, 100, 10, 1);
        j.State = c.jState;
        ComputeAvoidanceOrders();
        EXPECT_EQ(i.AvoidOrder, c.order) << c.what;
    }
    // Driving right: held back when the one ahead is near or overlapped.
    TimeOfDay = kDay;
    FigurRecord &i = Mover(90, 300, 330, 1, 100, 10, 1);
    i.Speed = 1;
    FigurRecord &j = Mover(91, 420, 331, 1, 100, 10, 1);
    j.State = 3;
    ComputeAvoidanceOrders();
    EXPECT_EQ(i.AvoidOrder, -1);
}

TEST_F(Step, ObjectsAreDrawnBackToFrontAndLeaveTheListWhenUnloaded)
{
    OnStage(4, 0);
    OnStage(6, 0);
    Frames(1);  // the set-up
    FigurTable[4].X = FigurTable[6].X = 600;
    FigurTable[4].Y = FigurTable[6].Y = 150;
    FigurTable[4].FootLine = 240;
    FigurTable[6].FootLine = 250;
    Frames(1);
    EXPECT_EQ(Work(602, 152), EntryColour(6, kDay, 0, 0));
    FigurTable[4].FootLine = 260;
    Frames(1);
    EXPECT_EQ(Work(602, 152), EntryColour(4, kDay, 0, 0));
    int pos4 = -1, pos6 = -1, last = -1;
    for (int n = 0; n < kDrawListSize; ++n) {
        if (DrawList[n].Figur == 4)
            pos4 = n;
        if (DrawList[n].Figur == 6)
            pos6 = n;
        if (DrawList[n].Figur >= 1 && DrawList[n].Figur < 120) {
            EXPECT_GE(DrawList[n].Key, last);
            last = DrawList[n].Key;
        }
    }
    EXPECT_LT(pos6, pos4);
    UnloadFigur(6);
    Frames(1);
    for (const DrawListEntry &pair : DrawList)
        EXPECT_NE(pair.Figur, 6);
}

TEST_F(Step, TheOpenBubbleIsDrawnOverEveryFigure)
{
    OnStage(4, 0);
    Frames(1);
    FigurTable[4].X = 600;
    FigurTable[4].Y = 100;
    FigurTable[4].FootLine = 340;
    CreateSprechblase(1, "Hallo", 580, 90, 5);
    Frames(1);
    // The bubble's body is white in the test picture; the figure lies under it.
    EXPECT_EQ(Work(640, 100), RGB(255, 255, 255));
    EXPECT_EQ(Work(602, 175), EntryColour(4, kDay, 0, 0));
}

TEST_F(Step, TheExitSignEndsTheSaverBeforeAnythingElseSeesTheClick)
{
    if (!IsOnStage(110))
        OnStage(110, 0);
    FigurTable[110].State = 1;  // placed here instead of by its script
    FigurTable[110].X = 100;
    FigurTable[110].Y = 200;
    CreateSprechblase(1, "Hallo", 90, 190, 5);
    Click(110, 220);
    Frames(1);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(CountOf(Log(), "Mausklick auf EXIT"), 1);
    EXPECT_NE(OpenBubbleKind, 0);
    // Just outside the button.
    Click(100 + 62, 220);
    Frames(1);
    EXPECT_FALSE(ClosePosted());
}

TEST_F(Step, AClickOnABubbleClosesItAndTheMusicBubbleKeepsItsButtons)
{
    CreateSprechblase(2, "Hallo", 400, 100, 5);
    Click(420, 100 + kBubbleH - kBubbleTail + 2);  // the tail
    Frames(1);
    EXPECT_EQ(OpenBubbleKind, 2);
    EXPECT_EQ(ClickPending, 1u);
    Click(420, 120);
    Frames(1);
    EXPECT_EQ(OpenBubbleKind, 0);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_NE(Log().find("KLICK AUF SPRECHBLASE: x=20, y=20"), std::string::npos);

    MP3volume = 600;
    CreateSprechblase(3, "Musik", 400, 100, 5);
    Click(400 + 85, 100 + 45);  // louder
    Frames(1);
    EXPECT_EQ(MP3volume, 800);
    EXPECT_EQ(OpenBubbleKind, 3);
    EXPECT_EQ(BubbleLifetime(), 20);
    Click(400 + 10, 100 + 45);  // stop
    Frames(1);
    EXPECT_EQ(OpenBubbleKind, 0);
    // No musician plays: nobody is there to stop, and the next musician to
    // come must not find the order waiting.
    EXPECT_EQ(MusicCommand, 0);
    // The street musician playing takes the orders on his next frame.
    struct { int button; int order; } orders[] = {{10, kMusicOrderStop}, {35, kMusicOrderNext}};
    for (auto o : orders) {
        PretendOnStage(42);
        FigurTable[42].State = 3;
        CreateSprechblase(3, "Musik", 400, 100, 5);
        Click(400 + o.button, 100 + 45);
        Frames(1);
        EXPECT_EQ(MusicCommand, o.order) << o.button;
        PretendOnStage(42, false);
        CreateSprechblase(3, "Musik", 400, 100, 5);
        Click(400 + o.button, 100 + 45);
        Frames(1);
        EXPECT_EQ(MusicCommand, 0) << o.button;
    }
}

TEST_F(Step, HotSpotsOfTheHouseFronts)
{
    const int h = SceneH;
    // Door A: knocks, and the third to fifth knock call the door's figure.
    for (int n = 1; n <= 3; ++n) {
        Click(110, h - 300);
        EXPECT_TRUE(HandleSceneClick());
        EXPECT_EQ(ClickPending, 0u);
        EXPECT_EQ(SpotClickCount, n);
    }
    EXPECT_EQ(CountOf(Log(), "Figur  58 laden"), 1);
    SpotClickCount = 11;
    Click(110, h - 300);
    HandleSceneClick();
    EXPECT_EQ(SpotClickCount, 2);
    // A bell push and a window.
    Click(418, h - 293);
    EXPECT_TRUE(HandleSceneClick());
    Click(200, h - 500);
    EXPECT_TRUE(HandleSceneClick());
    // The lit windows answer only in the dark.
    Click(120, h - 350);
    EXPECT_FALSE(HandleSceneClick());
    EXPECT_EQ(ClickPending, 1u);
    TimeOfDay = kDusk;
    EXPECT_TRUE(HandleSceneClick());
    EXPECT_EQ(ClickPending, 0u);
    TimeOfDay = kDay;
}

TEST_F(Step, AClickThatNoOneTakesIsForgottenAfterASecond)
{
    Click(600, 20);
    Frames(kClickLifetimeFrames);
    EXPECT_EQ(ClickPending, 1u);
    Frames(1);
    EXPECT_EQ(ClickPending, 0u);
    MouseX = 600;
    MouseY = 20;
    RemovePending = 1;
    Frames(kClickLifetimeFrames + 1);
    EXPECT_EQ(RemovePending, 0u);
}

TEST_F(Step, AFrameMakesNoGdiObject)
{
    OnStage(2, 0);
    OnStage(4, 0);
    OnStage(11, 0);
    OnStage(17, 0);
    KeepBlitDCs();
    Frames(10);
    FigurTable[4].X = 500;
    CreateSprechblase(1, "Guten Tag!", 300, 100, 60);
    Frames(2);
    LONG made = GdiObjectsMade();
    Frames(200);
    EXPECT_EQ(GdiObjectsMade(), made);
    KillSprechblase();
    ReleaseBlitDCs();
}

}  // namespace
