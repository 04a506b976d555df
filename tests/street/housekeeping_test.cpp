// The animation loop's scheduler and its pacing: when the housekeeping runs,
// the bus timetable, the day-phase change with its forced unload, the pauses
// of the figures and the countdowns of the choices.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "scene/animation.h"
#include "scene/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "shell/config.h"
#include "shell/keys.h"
#include "standins/standins.h"

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

TEST(Housekeeping, RunsOnTheFirstPassThenEveryNinthAndAtOnceForThePauseKey)
{
    Housekeeping hk;
    ResetHousekeeping(&hk);
    KeyForce = 0;
    std::string runs;
    for (int pass = 0; pass < 28; ++pass)
        runs += CountPass(&hk) ? 'H' : '.';
    EXPECT_EQ(runs, "H........H........H........H");
    hk.lastMinute = 17;
    EXPECT_FALSE(CountPass(&hk));
    KeyForce = 1;
    EXPECT_TRUE(CountPass(&hk));
    EXPECT_EQ(hk.lastMinute, -1);
    EXPECT_EQ(KeyForce, 0u);
    EXPECT_FALSE(CountPass(&hk));
}

class Scheduler : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        ResetHousekeeping(&hk_);
        DayNight[0] = 8;
        DayNight[1] = 20;
        LastRebuildHour = -1;
    }
    void Pass(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            RunHousekeeping(&hk_);
    }
    Housekeeping hk_;
};

TEST_F(Scheduler, BusComesOnTheMinutesOfItsIntervalWhileNoneIsOnStage)
{
    BusKommt[0] = 4;
    for (int minute = 0; minute <= 9; ++minute) {
        At(2026, 6, 10, 14, minute);
        Pass(3);
    }
    std::string log = Log();
    EXPECT_EQ(CountOf(log, "-- BUS --"), 3);
    // There is no bus yet: the timetable's pick is logged and refused.
    EXPECT_EQ(CountOf(log, "Figur  70: kein Skript"), 3);
    EXPECT_EQ(BusOnStage, 0u);
    BusOnStage = 1;
    At(2026, 6, 10, 14, 12);
    Pass();
    EXPECT_EQ(CountOf(Log(), "-- BUS --"), 3);
    BusOnStage = 0;
}

TEST_F(Scheduler, PhaseChangeEmptiesTheStreetAndRebuildsOnceAnHour)
{
    At(2026, 6, 10, 19, 58);
    Pass();
    EXPECT_EQ(PhaseChangeDue, 0u);
    At(2026, 6, 10, 19, 59);
    Pass();
    EXPECT_EQ(PhaseChangeDue, 1u);
    EXPECT_EQ(CountOf(Log(), "-TW-"), 1);
    EXPECT_EQ(hk_.pedestrianCountdown, 999);
    EXPECT_EQ(hk_.vehicleCountdown, 3999);
    EXPECT_EQ(hk_.aircraftCountdown, 7999);
    // Not before the hour turns.
    Pass(5);
    EXPECT_EQ(BuiltTimeOfDay, kDay);
    At(2026, 6, 10, 20, 0);
    Pass();
    EXPECT_EQ(PhaseChangeDue, 0u);
    EXPECT_EQ(BuiltTimeOfDay, kDusk);
    EXPECT_EQ(LastRebuildHour, 20);
    EXPECT_EQ(hk_.pedestrianCountdown, 19);
    EXPECT_NE(Log().find("Hintergrund: HG_02_01"), std::string::npos);
    // Once an hour: a change due again in the same hour waits.
    PhaseChangeDue = 1;
    At(2026, 6, 10, 20, 3);
    Pass(3);
    EXPECT_EQ(CountOf(Log(), "Tageszeit ..."), 1);
    PhaseChangeDue = 0;
}

TEST_F(Scheduler, AStreetThatDoesNotEmptyIsClearedAfterAThousandPasses)
{
    At(2026, 6, 10, 19, 59);
    Pass();
    ASSERT_EQ(PhaseChangeDue, 1u);
    OnStage(4, 0);
    // Minute 0 does not count.
    At(2026, 6, 10, 20, 0);
    Pass(5);
    EXPECT_EQ(hk_.forceUnloadCount, 0);
    At(2026, 6, 10, 20, 4);
    Pass(kForceUnloadPasses);
    EXPECT_TRUE(IsOnStage(4));
    EXPECT_EQ(BuiltTimeOfDay, kDay);
    Pass();
    EXPECT_FALSE(IsOnStage(4));
    EXPECT_EQ(PedestrianCount, 0);
    EXPECT_EQ(CountOf(Log(), "+++ ALLES WIRD ZWANGS-ENTLADEN +++"), 1);
    EXPECT_EQ(BuiltTimeOfDay, kDusk);
    EXPECT_EQ(PhaseChangeDue, 0u);
}

TEST_F(Scheduler, PausesCountDownEveryEighthSecondAndLetTheFigureComeAgain)
{
    FigurTable[4].Pause = 2;
    FigurTable[4].MayReturn = 0;
    At(2026, 6, 10, 14, 1, 8);
    Pass();
    EXPECT_EQ(FigurTable[4].Pause, 1);
    EXPECT_EQ(FigurTable[4].MayReturn, 0u);
    Pass(3);  // the same second again
    EXPECT_EQ(FigurTable[4].Pause, 1);
    At(2026, 6, 10, 14, 1, 12);
    Pass();
    EXPECT_EQ(FigurTable[4].Pause, 1);
    At(2026, 6, 10, 14, 1, 16);
    Pass();
    EXPECT_EQ(FigurTable[4].Pause, 0);
    EXPECT_EQ(FigurTable[4].MayReturn, 1u);
    // Nothing counts down while the phase changes.
    FigurTable[6].Pause = 5;
    PhaseChangeDue = 1;
    LastRebuildHour = 14;
    At(2026, 6, 10, 14, 1, 24);
    Pass();
    EXPECT_EQ(FigurTable[6].Pause, 5);
    PhaseChangeDue = 0;
}

TEST_F(Scheduler, ChoicesThatBringNobodyAreTriedAgainSoon)
{
    for (int id = 1; id <= kLastVehicle; ++id)
        FigurTable[id].MayReturn = 0;
    FigurTable[60].MayReturn = 1;
    FigurTable[75].MayReturn = 1;
    At(2026, 6, 10, 14, 1, 1);
    // Figure 60 and vehicle 75 have no script: picked, logged, refused.
    for (int i = 0; i < 40 && CountOf(Log(), "Figur  60: kein Skript") == 0; ++i) {
        hk_.pedestrianCountdown = 1;
        Pass();
        ASSERT_EQ(hk_.pedestrianCountdown, 5);
    }
    EXPECT_GE(CountOf(Log(), "Figur  60: kein Skript"), 1);
    for (int i = 0; i < 40 && CountOf(Log(), "Figur  75: kein Skript") == 0; ++i) {
        hk_.vehicleCountdown = 1;
        Pass();
        ASSERT_EQ(hk_.vehicleCountdown, 5);
    }
    EXPECT_GE(CountOf(Log(), "Figur  75: kein Skript"), 1);
    EXPECT_FALSE(IsOnStage(60));
    EXPECT_FALSE(IsOnStage(75));
    // A walker with a script comes, and the next choice waits 8 to 32 passes.
    FigurTable[4].MayReturn = 1;
    for (int i = 0; i < 200 && !LoaderBusy && !IsOnStage(4); ++i) {
        hk_.pedestrianCountdown = 1;
        Pass();
    }
    EXPECT_TRUE(LoaderBusy || IsOnStage(4));
    EXPECT_GE(hk_.pedestrianCountdown, 8);
    EXPECT_LE(hk_.pedestrianCountdown, 32);
    EXPECT_TRUE(testutil::WaitFor([] { return IsOnStage(4); }, 5000));
    // At the limit of figures on stage nobody is chosen.
    MaxFigurenAktiv = 1;
    FigurTable[6].MayReturn = 1;
    At(2026, 6, 10, 18, 1, 1);
    hk_.pedestrianCountdown = 1;
    Pass();
    EXPECT_LE(hk_.pedestrianCountdown, 0);
    EXPECT_FALSE(LoaderBusy);
}

}  // namespace
