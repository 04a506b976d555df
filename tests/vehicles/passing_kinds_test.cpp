// What some passing vehicles add to the common script: the long lorries on a
// sheet asked for on demand, the lorries lettered with the user's pictures,
// pulling over by the kerb, and the lorries that are others after dark.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "config/config.h"
#include "shell/keys.h"
#include "vehicles/passing.h"
#include "vehicles/vehicleframe.h"

#include <set>

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

// While 94 waits for its lettering, 93 drives past in its lane and the scene
// step holds the waiting lorry; once the road is free and the lettering has
// come, it enters and drives with the user's picture, not giving up.
TEST_F(PassingSpecial, AVehiclePassingDuringTheLetteringWaitLeavesNoHold)
{
    LKWPiclistCount = 3;
    SetLetteringStandIn(AcceptButNeverDeliver);
    SeedRand(2);
    OnStage(94, 0);
    FigurRecord &lorry = R(94);
    Run(94, 2);
    ASSERT_EQ(lorry.State, 51);
    OnStage(93, 0);
    Until(93, 2);
    FigurRecord &car = R(93);
    ASSERT_EQ(car.State, 2);
    car.X = lorry.X + lorry.FrameW + 40;
    VehicleSetY(car, lorry.Y + lorry.FrameH - car.FrameH);
    car.Speed = 0;
    RefreshAndSortDrawList();
    ComputeAvoidanceOrders();
    EXPECT_NE(lorry.AvoidOrder, 0) << "held while the car is ahead";
    Frames(3);
    UnloadFigur(93);
    ASSERT_EQ(PublishAProbeSheetAsLettering(94), 1);
    WaitForExtraSheet();
    for (int frame = 0; frame < 100 && IsOnStage(94) && lorry.State != 2; ++frame)
        Frames(1);
    ASSERT_TRUE(IsOnStage(94)) << "gave up on a free road";
    EXPECT_EQ(lorry.State, 2);
    UnloadFigur(94);
    WaitForExtraSheet();
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

// What some vehicles carry besides their driver, over many visits: the
// minibus's passengers in one of two sets, a passenger behind the driver
// every second time, both turning their heads every 3 to 8 ticks, the
// pick-up's load four times in five, a second cyclist on another bicycle
// with another rider half the time (the record spanning both), and the old
// bicycle's own rider.
TEST_F(PassingSpecial, ExtrasAreChosenFromTheirOwnPictures)
{
    std::set<int> minibusSets, loads, trailingSets, drivers, passengers;
    int minibusLater = 0, alone = 0, pairs = 0, oldBicycles = 0;
    // By day the minibus would also ask for its day look.
    TimeOfDay = kDusk;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        for (int id : {78, 84, 89, 97, 101, 102}) {
            SeedRand(seed);
            PretendOnStage(id);
            FigurRecord &r = R(id);
            r.State = 0;
            Run(id);
            const PassingChoice c = PassingChoiceOf(id);
            switch (id) {
            case 78:
                minibusSets.insert(c.occupantSet);
                EXPECT_GE(c.occupant - c.occupantSet, 0);
                EXPECT_LE(c.occupant - c.occupantSet, 6);
                // Once driving, the passengers turn among their first three poses.
                r.State = 2;
                r.Gait = 0;
                r.AvoidOrder = 0;
                r.X = 600;
                Run(id, 2);
                EXPECT_LE(PassingChoiceOf(id).occupant - c.occupantSet, 2);
                minibusLater += r.Gait >= 3 && r.Gait <= 20;
                break;
            case 84:
            case 97: {
                drivers.insert(c.occupantSet);
                passengers.insert(c.extra);
                r.State = 2;
                r.Gait = 0;
                r.AvoidOrder = 0;
                r.X = 600;
                Run(id);
                const PassingChoice now = PassingChoiceOf(id);
                EXPECT_GE(r.Gait, 3);
                EXPECT_LE(r.Gait, 8);
                EXPECT_LE(now.occupant - c.occupantSet, 3);
                EXPECT_LE(now.extraPose, 3);
                break;
            }
            case 89:
                loads.insert(c.load);
                break;
            case 101:
                if (c.trailing == 0) {
                    ++alone;
                    EXPECT_EQ(r.FrameW, 96);
                    EXPECT_EQ(r.X, -352);
                } else {
                    ++pairs;
                    EXPECT_GE(c.trailing, 200);
                    EXPECT_LE(c.trailing, 300);
                    EXPECT_NE(c.trailBody, c.body);
                    EXPECT_NE(c.trailSet, c.occupantSet);
                    EXPECT_EQ((c.trailSet - 14) % 8, 0);
                    trailingSets.insert(c.trailSet);
                    EXPECT_EQ(r.FrameW, 2 * 96 + 200);
                    EXPECT_EQ(r.X, -352 - c.trailing - 96);
                }
                break;
            default:
                oldBicycles += c.body == 3;
                EXPECT_EQ(c.occupantSet == 23, c.body == 3) << "the old bicycle's rider is its own";
                break;
            }
            UnloadFigur(id);
        }
    }
    TimeOfDay = kDay;
    EXPECT_EQ(minibusSets, (std::set<int>{5, 12}));
    EXPECT_EQ(minibusLater, 400);
    EXPECT_EQ(loads, (std::set<int>{-1, 20, 21, 22}));
    EXPECT_EQ(drivers, (std::set<int>{7, 11, 15, 19, 23}));
    std::set<int> everyPassenger = {-1};
    for (int k = 0; k < 15; ++k)
        everyPassenger.insert(27 + 4 * k);
    EXPECT_EQ(passengers, everyPassenger);
    EXPECT_GT(alone, 150);
    EXPECT_GT(pairs, 150);
    EXPECT_EQ(trailingSets, (std::set<int>{14, 22, 30, 38, 46}));
    EXPECT_GT(oldBicycles, 50);
}

// The mopeds' riders, the lorry's crew and its dusk load, the family cars'
// seats and roof loads: each chosen from its own pictures, the heads of a held
// moped from the five held poses.
TEST_F(PassingSpecial, CompanyAndLoadsComeFromTheirOwnPictures)
{
    std::set<int> pillions, heldHeads, crews, seconds, lorryLoads, seat2, seat3, roofs82, roofs92;
    TimeOfDay = kDusk;
    Season = kWinter;
    Month = 12;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        for (int id : {76, 81, 82, 92, 103}) {
            SeedRand(seed);
            PretendOnStage(id);
            FigurRecord &r = R(id);
            r.State = 0;
            Run(id);
            const PassingChoice c = PassingChoiceOf(id);
            if (id == 76 || id == 103) {
                EXPECT_EQ(c.occupantSet, 4);
                EXPECT_LE(c.occupant - 4, 4);
                pillions.insert(c.extra);
                // Held, the heads come from the held poses.
                r.State = 2;
                r.Gait = 0;
                r.AvoidOrder = 1;
                r.X = 600;
                Run(id);
                heldHeads.insert(PassingChoiceOf(id).occupant);
                if (id == 76) {
                    EXPECT_GE(r.Gait, 8);
                    EXPECT_LE(r.Gait, 40);
                } else {
                    EXPECT_GE(r.Gait, 2);
                    EXPECT_LE(r.Gait, 5);
                }
            } else if (id == 81) {
                crews.insert(c.occupantSet);
                seconds.insert(c.extra);
                lorryLoads.insert(c.load);
            } else {
                seat2.insert(c.seat2);
                seat3.insert(c.seat3);
                (id == 82 ? roofs82 : roofs92).insert(c.roof);
            }
            UnloadFigur(id);
        }
    }
    TimeOfDay = kDay;
    Season = kSummer;
    Month = 6;
    EXPECT_EQ(pillions, (std::set<int>{-1, 14}));
    EXPECT_EQ(heldHeads, (std::set<int>{9, 10, 11, 12, 13}));
    EXPECT_EQ(crews, (std::set<int>{13, 14}));
    EXPECT_EQ(seconds, (std::set<int>{17, 21}));
    EXPECT_EQ(lorryLoads, (std::set<int>{-1, 25, 28}));
    EXPECT_EQ(seat2, (std::set<int>{-1, 18, 30, 42, 54, 66}));
    EXPECT_EQ(seat3, (std::set<int>{-1, 22, 34, 46, 58, 70}));
    EXPECT_EQ(roofs82, (std::set<int>{-1, 8, 9, 10, 11, 12}));
    EXPECT_EQ(roofs92, (std::set<int>{-1, 8, 9, 10, 11, 12, 13}));
    // By day the lettered lorry has one of three drivers and one of two
    // co-drivers.
    std::set<int> dayCrews, daySeconds;
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        SeedRand(seed);
        PretendOnStage(81);
        R(81).State = 0;
        Run(81);
        dayCrews.insert(PassingChoiceOf(81).occupant);
        daySeconds.insert(PassingChoiceOf(81).extra);
        UnloadFigur(81);
    }
    EXPECT_EQ(dayCrews, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(daySeconds, (std::set<int>{5, 9}));
    // In summer the family car going left carries nothing on its roof.
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        SeedRand(seed);
        PretendOnStage(82);
        R(82).State = 0;
        Run(82);
        EXPECT_EQ(PassingChoiceOf(82).roof, -1);
        UnloadFigur(82);
    }
}

}  // namespace
