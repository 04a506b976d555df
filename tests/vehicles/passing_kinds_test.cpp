// What some passing vehicles add to the common script: the long lorries on a
// sheet asked for on demand, the lorries lettered with the user's pictures,
// pulling over by the kerb, and the lorries that are others after dark.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "scene/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/lettering.h"
#include "services/piclists.h"
#include "shell/config.h"
#include "shell/keys.h"
#include "vehicles/passing.h"

namespace {

using scenetest::CountOf;
using streettest::EntryColour;
using streettest::StreetScene;

class PassingSpecial : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        VehicleCountLeft = VehicleCountRight = 0;
    }
    void TearDown() override
    {
        SetLetteringStandIn(nullptr);
        LKWPiclistCount = 0;
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
        VehicleCountLeft = VehicleCountRight = 0;
        StreetScene::TearDown();
    }
    FigurRecord &R(int id) { return FigurTable[id]; }
    void WaitForExtraSheet() { testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000); }
    // Runs id until its state is one of two, or it left; the ticks it took.
    int Until(int id, int a, int b = -1000, int limit = 3000)
    {
        int ticks = 0;
        while (IsOnStage(id) && R(id).State != a && R(id).State != b && ticks < limit) {
            WaitForExtraSheet();
            Run(id);
            ++ticks;
        }
        return ticks;
    }
};

// 77 comes long only by day, 100 by day and at dusk; a long one waits for
// its sheet, enters and draws from it, and leaves where its length says.
TEST_F(PassingSpecial, LongVariantsComeByTimeOfDayOnTheirOwnSheet)
{
    struct Case {
        int id, timeOfDay;
        bool mayBeLong;
    } cases[] = {{77, kDay, true}, {77, kDusk, false}, {100, kDusk, true}, {100, kNight, false}};
    for (const Case &c : cases) {
        TimeOfDay = c.timeOfDay;
        int longOnes = 0;
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            SeedRand(seed);
            OnStage(c.id, 0);
            FigurRecord &r = R(c.id);
            Run(c.id);
            const bool isLong = r.Spacing == 32;
            longOnes += isLong;
            if (isLong) {
                EXPECT_EQ(Until(c.id, 1) > 0, true);
                ASSERT_EQ(r.State, 1) << c.id;
                ASSERT_NE(r.Sheets[1], nullptr);
                Run(c.id);
                ASSERT_EQ(r.State, 2);
                r.X = 500;
                const int x = r.X, y = r.Y;
                Run(c.id);
                const int drawn = DrawnEntryAt(c.id, x, y, 1);
                EXPECT_EQ(drawn, 0) << c.id << ": the long body from the extra sheet";
                EXPECT_EQ(r.FrameW == 320 || r.FrameW == 578 || r.FrameW == 584, true) << r.FrameW;
            }
            UnloadFigur(c.id);
            WaitForExtraSheet();
        }
        EXPECT_EQ(longOnes > 0, c.mayBeLong) << c.id << " at time of day " << c.timeOfDay;
    }
    TimeOfDay = kDay;
}

// A refused request repeats the set-up on the next tick and counts the
// vehicle once; a sheet that never comes sends the vehicle away after 400.
TEST_F(PassingSpecial, RefusedOrMissingSheetRepeatsOrGivesUp)
{
    TimeOfDay = kDay;
    FigurRecord &r = R(77);
    // The extra-sheet worker busy: refused, set up again, counted once.
    OnStage(77, 0);
    PlusLoaderBusy = 1;
    bool refused = false;
    for (uint32_t seed = 1; seed < 20 && !refused; ++seed) {
        SeedRand(seed);
        r.State = 0;
        Run(77);
        refused = r.State == 0;
    }
    ASSERT_TRUE(refused);
    Run(77, 3);
    EXPECT_EQ(VehicleCountLeft, 1);
    PlusLoaderBusy = 0;
    UnloadFigur(77);
    // Asked for, but the slot stays empty: after 400 ticks it leaves.
    bool asked = false;
    for (uint32_t seed = 1; seed < 20 && !asked; ++seed) {
        OnStage(77, 0);
        SeedRand(seed);
        Run(77);
        asked = r.State == 200;
        if (!asked)
            UnloadFigur(77);
    }
    ASSERT_TRUE(asked);
    WaitForExtraSheet();
    ClearExtraSheet(&r, 1);
    int ticks = 0;
    while (IsOnStage(77) && ticks < 500) {
        Run(77);
        ++ticks;
    }
    EXPECT_FALSE(IsOnStage(77));
    EXPECT_EQ(ticks, 401);
}

int PublishAProbeSheetAsLettering(int id) { return LoadFigurPlus(id, 1, "FIG074_01_00"); }
int AcceptButNeverDeliver(int) { return 1; }
int Refuse(int) { return 0; }

// The lettered lorries ask for the user's picture only with pictures in the
// list; when it comes, its 305 x 80 panel is copied onto the box side.
TEST_F(PassingSpecial, LetteredLorriesWearTheUsersPictureOnTheirBox)
{
    struct Case {
        int id;
        int pictures;
        int (*start)(int);
        bool lettered;
        int waits;
    } cases[] = {
        {81, 0, PublishAProbeSheetAsLettering, false, 0}, {94, 3, Refuse, false, 0},
        {81, 3, PublishAProbeSheetAsLettering, true, -1}, {94, 3, PublishAProbeSheetAsLettering, true, -1},
        {94, 3, AcceptButNeverDeliver, false, 401},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " with " << c.pictures << " pictures");
        const int notices = CountOf(Log(), "- Keine LKW-Beschriftung -");
        LKWPiclistCount = c.pictures;
        SetLetteringStandIn(c.start);
        SeedRand(2);
        OnStage(c.id, 0);
        FigurRecord &r = R(c.id);
        Run(c.id, 2);
        int waited = 0;
        while (r.State == 51 && waited < 1000) {
            WaitForExtraSheet();
            Run(c.id);
            ++waited;
        }
        if (c.waits >= 0) {
            EXPECT_EQ(waited, c.waits);
        }
        EXPECT_EQ(r.State, 1);
        EXPECT_EQ(CountOf(Log(), "- Keine LKW-Beschriftung -") - notices, c.waits == 401 ? 1 : 0);
        Run(c.id);
        ASSERT_EQ(r.State, 2);
        r.X = 400;
        r.Speed = 0;
        r.Frame = 0;
        Frames(1);
        const int at = c.id == 81 ? 128 : 4;
        const COLORREF panel = Work(r.X + at + 10, r.Y + 10);
        EXPECT_EQ(panel == EntryColour(74, kDay, 0, 0), c.lettered);
        UnloadFigur(c.id);
        WaitForExtraSheet();
    }
}

// Pulling over: a click asks a driving 89, 93 or 94 to stop near the right
// edge; it stands there until its wait ends or another click sends it on,
// starting again at 1 and 2 pixels a tick.
TEST_F(PassingSpecial, PullsOverOnAClickAndDrivesOnOnTheNext)
{
    for (int id : {89, 93, 94}) {
        SeedRand(8);
        OnStage(id, 0);
        FigurRecord &r = R(id);
        Until(id, 2);
        ASSERT_EQ(r.State, 2) << id;
        r.X = 200;
        MouseX = r.X + 10;
        MouseY = r.Y + 10;
        ClickPending = 1;
        Run(id);
        EXPECT_EQ(ClickPending, 0u);
        Until(id, 3);
        ASSERT_EQ(r.State, 3) << id;
        EXPECT_EQ(r.Speed, 0);
        EXPECT_GT(r.X, SceneW - 600) << id;
        EXPECT_LE(r.X, SceneW) << id;
        const int x = r.X;
        Run(id, 20);
        EXPECT_EQ(r.State, 3);
        EXPECT_EQ(r.X, x);
        MouseX = r.X + 10;
        MouseY = r.Y + 10;
        ClickPending = 1;
        Run(id);
        EXPECT_EQ(r.State, 2) << id;
        // The click's own rule lifts the stopped speed to 1.
        EXPECT_EQ(r.Speed, 1);
        r.Frame = 0;
        Run(id);
        EXPECT_EQ(r.X, x + 1) << id;
        EXPECT_EQ(r.Speed, 2);
        Run(id);
        EXPECT_EQ(r.X, x + 3) << id;
        UnloadFigur(id);
    }
}

// The lorry that is another after dark draws from its dark frame table.
TEST_F(PassingSpecial, LorriesAfterDarkAreOtherLorries)
{
    for (int id : {81, 93}) {
        for (int tod : {kDay, kNight}) {
            TimeOfDay = tod;
            PretendOnStage(id);
            R(id).State = 0;
            SeedRand(3);
            Run(id);
            EXPECT_EQ(R(id).FrameW, tod == kDay ? (id == 81 ? 440 : 392) : 360) << id;
            EXPECT_EQ(R(id).FrameH, tod == kDay ? (id == 81 ? 126 : 139) : 120) << id;
            UnloadFigur(id);
        }
    }
    TimeOfDay = kDay;
}


// A vehicle unloaded while its extra sheet or its lettering is still being
// made leaves nothing behind: the late result is dropped (the fixture counts
// the GDI objects at its end).
TEST_F(PassingSpecial, UnloadedWhileItsSheetIsMadeLeavesNothingBehind)
{
    TimeOfDay = kDay;
    int asked = 0;
    for (uint32_t seed = 1; seed < 30; ++seed) {
        OnStage(77, 0);
        SeedRand(seed);
        Run(77);
        asked += R(77).State == 200;
        UnloadFigur(77);
        WaitForExtraSheet();
        EXPECT_EQ(R(77).Sheets[1], nullptr);
    }
    EXPECT_GT(asked, 0);
    LKWPiclistCount = 2;
    SetLetteringStandIn(PublishAProbeSheetAsLettering);
    for (int i = 0; i < 5; ++i) {
        OnStage(94, 0);
        Run(94, 2);
        EXPECT_EQ(R(94).State, 51);
        UnloadFigur(94);
        WaitForExtraSheet();
        EXPECT_EQ(R(94).Sheets[1], nullptr);
    }
}

}  // namespace
