// The animation loop's scheduler and its pacing: when the housekeeping runs,
// the bus timetable, the day-phase change with its forced unload, the pauses
// of the figures and the countdowns of the choices.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "services/mail.h"
#include "services/weather.h"
#include "shell/startup.h"
#include "fakemapi.h"
#include "testutil.h"

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
        // No bus unless a test asks for one: a bus on stage holds the
        // phase change back.
        BusKommt[0] = BusKommt[1] = BusKommt[2] = 0;
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
    int buses = 0;
    for (int minute = 0; minute <= 9; ++minute) {
        At(2026, 6, 10, 14, minute);
        Pass(3);
        ASSERT_TRUE(testutil::WaitFor([] { return !LoaderBusy; }, 5000));
        // Each bus leaves again before the next minute of the timetable.
        if (BusOnStage) {
            ++buses;
            UnloadFigur(70);
        }
    }
    std::string log = Log();
    EXPECT_EQ(CountOf(log, "-- BUS --"), 3);
    EXPECT_EQ(buses, 3);
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
    // A vehicle and a walker without a script, while there are such: the
    // walker one whose rule lets it come on a June afternoon.
    int vehicle = 0, walker = 0;
    for (int id = kBus + 1; id <= kLastVehicle && vehicle == 0; ++id)
        if (!HasScript(id))
            vehicle = id;
    for (int id : {52, 68, 31, 32, 60})
        if (walker == 0 && !HasScript(id))
            walker = id;
    for (int id = 1; id <= kLastVehicle; ++id)
        FigurTable[id].MayReturn = 0;
    if (walker)
        FigurTable[walker].MayReturn = 1;
    if (vehicle)
        FigurTable[vehicle].MayReturn = 1;
    Figur028Home = 0;  // 31 and 32 come while 28 is out
    At(2026, 6, 10, 14, 1, 1);
    // Picked, logged, refused.
    if (walker) {
        char line[32];
        snprintf(line, sizeof line, "Figur %3d: kein Skript", walker);
        for (int i = 0; i < 40 && CountOf(Log(), line) == 0; ++i) {
            hk_.pedestrianCountdown = 1;
            Pass();
            ASSERT_EQ(hk_.pedestrianCountdown, 5);
        }
        EXPECT_GE(CountOf(Log(), line), 1);
        EXPECT_FALSE(IsOnStage(walker));
    }
    if (vehicle) {
        char line[32];
        snprintf(line, sizeof line, "Figur %3d: kein Skript", vehicle);
        for (int i = 0; i < 40 && CountOf(Log(), line) == 0; ++i) {
            hk_.vehicleCountdown = 1;
            Pass();
            ASSERT_EQ(hk_.vehicleCountdown, 5);
        }
        EXPECT_GE(CountOf(Log(), line), 1);
        EXPECT_FALSE(IsOnStage(vehicle));
    }
    // A walker with a script comes, and the next choice waits 8 to 32 passes.
    FigurTable[4].MayReturn = 1;
    for (int i = 0; i < 200 && !LoaderBusy && !IsOnStage(4); ++i) {
        hk_.pedestrianCountdown = 1;
        Pass();
    }
    EXPECT_TRUE(LoaderBusy || IsOnStage(4));
    EXPECT_GE(hk_.pedestrianCountdown, 8);
    EXPECT_LE(hk_.pedestrianCountdown, 32);
    // The loader puts the walker on stage before it lets go of its flag.
    EXPECT_TRUE(testutil::WaitFor([] { return IsOnStage(4) && !LoaderBusy; }, 5000));
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

// ---------------------------------------------------------------- mail and weather

TEST_F(Scheduler, MoreUnreadMailThanAtTheStartCallsThePostmanAtOnce)
{
    UseMapiEntries(&servicetest::FakeMapiEntries());
    servicetest::gFakeMapi = {};
    servicetest::gFakeMapi.unread = 2;
    NoMailCheck = 0;
    StartMailCheck(nullptr);
    ASSERT_EQ(MailCheckOn, 1);
    ASSERT_EQ(MailBaseline, 2);
    FigurTable[46].Pause = 50;
    FigurTable[46].MayReturn = 0;
    servicetest::gFakeMapi.unread = 3;
    At(2026, 6, 10, 14, 21);
    Pass();
    EXPECT_EQ(NewMail.load(), 1);
    EXPECT_EQ(FigurTable[46].Pause, 0);
    EXPECT_EQ(FigurTable[46].MayReturn, 1u);
    // The message is read: the next minute clears the flag.
    servicetest::gFakeMapi.unread = 2;
    At(2026, 6, 10, 14, 22);
    Pass();
    EXPECT_EQ(NewMail.load(), 0);
    MailLogoff(nullptr);
    MailCheckOn = 0;
    UseMapiEntries(nullptr);
    NoMailCheck = 1;
}

TEST_F(Scheduler, WeatherIsFetchedWhenTheIntervalPassesOrNoReportIsValid)
{
    testutil::TempDir maker;
    SetEnvironmentVariableA("WYN_MAKER_DIR", maker.Path().c_str());
    SetEnvironmentVariableA("WYN_NET_STATE", "0");  // each download ends at once
    WeatherShow = true;
    Weather[1] = 3;
    StrCopy(METAR, "EDDF");
    auto starts = [&] { return CountOf(Log(), "GetWeather-Thread gestartet"); };
    auto settle = [] { EXPECT_TRUE(testutil::WaitFor([] { return WeatherDownloadBusy.load() == 0; }, 20000)); };
    // No valid report: every minute asks again.
    for (int minute = 30; minute < 33; ++minute) {
        At(2026, 6, 10, 14, minute);
        Pass();
        settle();
    }
    EXPECT_EQ(starts(), 3);
    // A valid report is asked for again once the count passes the interval.
    testutil::WriteFileBytes(maker.File("metar.dat"), "EDDF 12/08 Q1013\r\n");
    ParseStoredMETAR();
    ASSERT_EQ(WeatherValid.load(), 1);
    hk_.weatherMinutes = 0;
    for (int minute = 33; minute < 36; ++minute) {
        At(2026, 6, 10, 14, minute);
        Pass();
    }
    EXPECT_EQ(starts(), 3);
    At(2026, 6, 10, 14, 36);
    Pass();
    settle();
    EXPECT_EQ(starts(), 4);
    WeatherShow = false;
    SetEnvironmentVariableA("WYN_MAKER_DIR", nullptr);
    SetEnvironmentVariableA("WYN_NET_STATE", nullptr);
}
