// Who comes next: the rules of the figures and vehicles, the draws with a
// fixed seed, the lane limits and the windows of the day-phase change.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"
#include "vehicles/tram.h"

#include <initializer_list>

namespace {

using streettest::StreetScene;

class Casting : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        for (int id = 1; id <= kLastVehicle; ++id)
            FigurTable[id].MayReturn = 1;
    }
    // The scene's day phase and season without building it.
    void Phase(int timeOfDay, int season = kSummer)
    {
        TimeOfDay = timeOfDay;
        Season = season;
    }
};

TEST_F(Casting, PhaseChangeWindowsAroundTheDayAndNightHours)
{
    DayNight[0] = 8;
    DayNight[1] = 20;
    struct {
        int phase, hour, minute;
        int due;
    } cases[] = {
        {kDay, 19, 58, 0},   {kDay, 19, 59, 1},   {kDay, 20, 7, 1},    {kDay, 20, 8, 0},
        {kDusk, 20, 58, 0},  {kDusk, 20, 59, 1},  {kDusk, 21, 7, 1},   {kDusk, 21, 8, 0},
        {kDusk, 7, 58, 0},   {kDusk, 7, 59, 1},   {kDusk, 8, 7, 1},    {kDusk, 8, 8, 0},
        {kNight, 6, 58, 0},  {kNight, 6, 59, 1},  {kNight, 7, 7, 1},   {kNight, 7, 8, 0},
        {kNight, 19, 59, 0}, {kDay, 7, 59, 0},    {kDusk, 0, 0, 0},
    };
    for (auto c : cases) {
        Phase(c.phase);
        Hour = c.hour;
        Minute = c.minute;
        EXPECT_EQ(IsPhaseChangeTime(), c.due) << c.phase << " " << c.hour << ":" << c.minute;
    }
}

TEST_F(Casting, RulesOfTheFiguresByTimeCalendarHouseDoorsAndCompany)
{
    struct Case {
        const char *what;
        int id, phase, season, month, day, dayOfWeek, hour;
        std::initializer_list<int> onStage;
        bool holds;
    };
    const Case cases[] = {
        {"jogger any time", 2, kNight, kWinter, 1, 5, 1, 3, {}, true},
        {"jogger not with the skater", 2, kDay, kSummer, 6, 10, 3, 14, {11}, false},
        {"walker 4 in the afternoon", 4, kDay, kSummer, 6, 10, 3, 13, {}, true},
        {"walker 4 not in the morning", 4, kDay, kSummer, 6, 10, 3, 12, {}, false},
        {"walker 4 not at night", 4, kNight, kSummer, 6, 10, 3, 22, {}, false},
        {"walker 6 at dusk", 6, kDusk, kWinter, 1, 5, 1, 17, {}, true},
        {"walker 6 not by day", 6, kDay, kSummer, 6, 10, 3, 15, {}, false},
        {"skater on a summer day", 11, kDay, kSummer, 6, 10, 3, 12, {}, true},
        {"skater not in winter", 11, kDay, kWinter, 1, 5, 1, 12, {}, false},
        {"skater not before noon", 11, kDay, kSummer, 6, 10, 3, 11, {}, false},
        {"skater not with the new-mail figure", 11, kDay, kSummer, 6, 10, 3, 14, {46}, false},
        {"tourist not at night", 17, kNight, kSummer, 6, 10, 3, 23, {}, false},
        {"stop walker 1 mornings only", 1, kDay, kSummer, 6, 10, 3, 13, {}, false},
        {"winter figure 26 before Christmas", 26, kDusk, kWinter, 12, 24, 4, 17, {}, true},
        {"winter figure 26 not after Christmas", 26, kDusk, kWinter, 12, 26, 6, 17, {}, false},
        {"pavement renewer on weekdays", 22, kDay, kSummer, 6, 10, 3, 10, {}, true},
        {"pavement renewer not on Sunday", 22, kDay, kSummer, 6, 14, 0, 10, {}, false},
        {"pair 62 by day", 62, kDay, kSummer, 6, 10, 3, 10, {}, true},
        {"pair 62 not with 63", 62, kDay, kSummer, 6, 10, 3, 10, {63}, false},
        {"figure 58 only with 41", 58, kDay, kSummer, 6, 10, 3, 10, {41}, true},
        {"figure 58 alone never", 58, kDay, kSummer, 6, 10, 3, 10, {}, false},
        {"bus figures never", 7, kDay, kSummer, 6, 10, 3, 10, {}, false},
        {"ids without a figure never", 12, kDay, kSummer, 6, 10, 3, 10, {}, false},
    };
    for (const Case &c : cases) {
        Phase(c.phase, c.season);
        Month = c.month;
        Day = c.day;
        DayOfWeek = c.dayOfWeek;
        Hour = c.hour;
        for (int id : c.onStage)
            PretendOnStage(id);
        EXPECT_EQ(PedestrianRuleHolds(c.id), c.holds) << c.what;
        for (int id : c.onStage)
            PretendOnStage(id, false);
    }
}

TEST_F(Casting, HouseDoorGlobalsDecideWhereThePersonIs)
{
    Phase(kDusk);
    Hour = 18;
    Figur028Home = 2;
    EXPECT_TRUE(PedestrianRuleHolds(28));
    EXPECT_TRUE(PedestrianRuleHolds(29));
    EXPECT_FALSE(PedestrianRuleHolds(31));
    Figur028Home = 0;
    EXPECT_FALSE(PedestrianRuleHolds(28));
    EXPECT_TRUE(PedestrianRuleHolds(31));
    Figur033HouseDoor1 = 1;
    EXPECT_FALSE(PedestrianRuleHolds(33));
    Phase(kDay);
    ResidentDoor[63] = 0;
    EXPECT_FALSE(PedestrianRuleHolds(63));
    ResidentDoor[63] = 2;
    EXPECT_TRUE(PedestrianRuleHolds(63));
}

TEST_F(Casting, NothingIsChosenWhileThePhaseChangeIsDue)
{
    PhaseChangeDue = 1;
    for (uint32_t seed = 1; seed < 50; ++seed) {
        SeedRand(seed);
        EXPECT_EQ(NextPedestrian(), 0);
        EXPECT_EQ(NextVehicle(), 0);
    }
}

TEST_F(Casting, DrawsWithAFixedSeedRespectTheRulesAndNeverRepeat)
{
    Phase(kDay);
    Hour = 15;
    DayOfWeek = 3;
    int chosen = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SeedRand(seed);
        int last = LastPedestrian;
        int id = NextPedestrian();
        if (!id)
            continue;
        ++chosen;
        EXPECT_NE(id, last);
        EXPECT_EQ(LastPedestrian, id);
        EXPECT_FALSE(IsOnStage(id));
        SeedRand(seed * 7 + 1);  // the rule's own chances draw anew
        if (id != 13 && id != 24) {
            EXPECT_TRUE(PedestrianRuleHolds(id)) << id;
        }
        EXPECT_TRUE(id != 7 && id != 8 && id != 9 && id != 44 && id != 55 && id != 61) << id;
    }
    EXPECT_GT(chosen, 100);
    // The same seed and world give the same choice.
    LastPedestrian = 0;
    SeedRand(99);
    int first = NextPedestrian();
    LastPedestrian = 0;
    SeedRand(99);
    EXPECT_EQ(NextPedestrian(), first);
}

TEST_F(Casting, BirthdayReminderComesFirstWhileFewArePresentButNotAtNight)
{
    BirthdaysToday = 1;
    Phase(kDay);
    Hour = 11;
    int reminders = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SeedRand(seed);
        LastPedestrian = 0;
        if (NextPedestrian() == 35)
            ++reminders;
    }
    // Two in three draws name the reminder; most of the others find no one.
    EXPECT_GT(reminders, 180);
    Phase(kNight);
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        SeedRand(seed);
        LastPedestrian = 0;
        EXPECT_NE(NextPedestrian(), 35);
    }
    // Switched off or paused figures are never drawn.
    Phase(kDay);
    FigurTable[35].MayReturn = 0;
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        SeedRand(seed);
        LastPedestrian = 0;
        EXPECT_NE(NextPedestrian(), 35);
    }
    BirthdaysToday = 0;
}

TEST_F(Casting, ChristmasEveAtDuskBringsFigure37First)
{
    At(2026, 12, 24, 17, 0);
    Phase(kDusk, kWinter);
    int christmas = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SeedRand(seed);
        LastPedestrian = 0;
        if (NextPedestrian() == 37)
            ++christmas;
    }
    EXPECT_GT(christmas, 180);
    FigurSheetCount[37] = 0;
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        SeedRand(seed);
        LastPedestrian = 0;
        EXPECT_NE(NextPedestrian(), 37);
    }
}

TEST_F(Casting, VehicleRulesAndTwinsOfOnePictureSize)
{
    struct Case {
        int id, phase, season;
        std::initializer_list<int> onStage;
        bool holds;
    } cases[] = {
        {74, kDay, kSummer, {}, true},       {74, kDay, kSummer, {104}, false}, {104, kDay, kSummer, {74}, false},
        {77, kNight, kSummer, {100}, false}, {78, kDay, kWinter, {105}, false}, {80, kDay, kSummer, {90}, false},
        {82, kDay, kSummer, {92}, false},    {84, kDay, kSummer, {97}, false},  {86, kDay, kSummer, {91}, false},
        {87, kDay, kSummer, {98}, false},    {84, kNight, kWinter, {}, false},  {84, kNight, kSummer, {}, true},
        {71, kDay, kSummer, {73}, false},    {73, kDusk, kSummer, {}, false},   {75, kNight, kWinter, {}, true},
        {70, kDay, kSummer, {}, false},
    };
    for (const Case &c : cases) {
        Phase(c.phase, c.season);
        for (int id : c.onStage)
            PretendOnStage(id);
        EXPECT_EQ(VehicleRuleHolds(c.id), c.holds) << c.id << " " << c.phase;
        for (int id : c.onStage)
            PretendOnStage(id, false);
    }
    TramOn = true;
    TramOnStage = 0;
    EXPECT_TRUE(VehicleRuleHolds(72));
    TramOnStage = 72;
    EXPECT_FALSE(VehicleRuleHolds(72));
    TramOnStage = 0;
}

TEST_F(Casting, LaneLimitsBySceneWidthAndPhase)
{
    struct {
        int width, phase, limit;
    } cases[] = {{1024, kDay, 4}, {1024, kDusk, 4}, {1024, kNight, 3}, {1280, kDay, 5}, {1280, kNight, 4}};
    for (auto c : cases) {
        SceneW = c.width;
        Phase(c.phase);
        EXPECT_EQ(VehicleLaneLimit(), c.limit) << c.width;
    }
    SceneW = 1280;
    Phase(kDay);
    VehicleCountLeft = 5;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SeedRand(seed);
        int id = NextVehicle();
        EXPECT_TRUE(id == 0 || id > kLastFarLaneVehicle) << id;
    }
    VehicleCountLeft = 0;
    bool anyLeft = false;
    for (uint32_t seed = 1; seed <= 300 && !anyLeft; ++seed) {
        SeedRand(seed);
        int id = NextVehicle();
        EXPECT_NE(id, kBus);
        anyLeft = id >= 71 && id <= kLastFarLaneVehicle;
    }
    EXPECT_TRUE(anyLeft);
}

}  // namespace
