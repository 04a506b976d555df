#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "features/lights.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "testutil.h"

namespace {

// Background pixels: red 40 * phase + row band, green 100 * season.
COLORREF Background(int phase, int season, int band) { return RGB(40 * phase + band, 100 * season, 200); }

COLORREF At(int x, int y) { return GetPixel(BackgroundDC, x, y); }

class Screen : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        gdiBefore_ = GdiObjectsAlive();
        window_ = CreateWindowExA(0, "STATIC", "scene", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window_;
        SaverMode = kModeUnset;
        Prepare(1280, 1024, 2026, 6, 10, 10);
    }
    void TearDown() override
    {
        testutil::WaitFor([] { return !LoaderBusy; }, 10000);
        scenetest::ResetScene();
        ClockReset();
        MainWindow = nullptr;
        DestroyWindow(window_);
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    void Prepare(int w, int h, int year, int month, int day, int hour)
    {
        scenetest::ResetScene();
        ClientWidth = w;
        ClientHeight = h;
        ClockFreeze(testutil::Moment(year, month, day, hour));
    }
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

TEST_F(Screen, BackgroundAndWorkAreaFollowTheWindowSize)
{
    struct { int w, h; int bx, by, bottom; int topBand; } cases[] = {
        {1280, 1024, 0, 0, 1024, 0},
        {1024, 768, 0, 0, 768, 1},     // the picture's top 256 rows are cut
        {1600, 1200, 160, 88, 1112, 0}, // black bands on all sides
        {1920, 1080, 320, 28, 1052, 0},
        {400, 300, 0, 0, 300, 3},      // a preview host: only the street rows
    };
    for (auto c : cases) {
        Prepare(c.w, c.h, 2026, 6, 10, 10);
        ASSERT_EQ(CreateScreen(), 1) << c.w;
        EXPECT_EQ(BackgroundX, c.bx) << c.w;
        EXPECT_EQ(BackgroundY, c.by) << c.w;
        EXPECT_EQ(SceneX, c.bx);
        EXPECT_EQ(SceneY, c.bottom - 348) << c.w;
        EXPECT_EQ(SceneW, c.w - 2 * c.bx);
        EXPECT_EQ(SceneH, 348);
        EXPECT_EQ(At(c.bx + 2, c.by + 2), Background(1, 1, c.topBand)) << c.w;
        EXPECT_EQ(At(c.bx + 2, c.bottom - 2), Background(1, 1, 3)) << c.w;
        if (c.bx > 0) {
            EXPECT_EQ(At(c.bx - 1, c.h / 2), RGB(0, 0, 0));
        }
        if (c.bottom < c.h) {
            EXPECT_EQ(At(c.w / 2, c.bottom), RGB(0, 0, 0));
        }
        // The work buffer holds the work area of the background.
        EXPECT_EQ(GetPixel(WorkDC, 2, 340), Background(1, 1, 3)) << c.w;
        EXPECT_EQ(BuiltTimeOfDay, kDay);
    }
}

TEST_F(Screen, PictureOfThePhaseAndSeasonAndTheFixedObjects)
{
    struct { int month, hour; int phase, season; } cases[] = {
        {6, 10, 1, 1}, {6, 20, 2, 1}, {12, 23, 3, 2}, {1, 7, 2, 2}, {3, 12, 1, 2},
    };
    for (auto c : cases) {
        Prepare(1280, 1024, 2026, c.month, 10, c.hour);
        ASSERT_EQ(CreateScreen(), 1);
        EXPECT_EQ(At(640, 900), Background(c.phase, c.season, 3)) << c.month << " " << c.hour;
    }
    // The stop post, the pillar clock with its props (tram on), the bollards,
    // the exit sign and the vanish effect (interactive) are on stage.
    for (int id : {111, 113, 114, 115, 116, 110, 131})
        EXPECT_TRUE(IsOnStage(id)) << id;
    EXPECT_EQ(PedestrianCount, 0);
}

TEST_F(Screen, RebuildOnlyForANewPhaseOrByKey)
{
    ASSERT_EQ(CreateScreen(), 1);
    SetPixel(BackgroundDC, 5, 5, RGB(1, 2, 3));
    EXPECT_EQ(CreateScreen(), 1);
    EXPECT_EQ(At(5, 5), RGB(1, 2, 3));
    KeyForce = 1;
    EXPECT_EQ(CreateScreen(), 1);
    EXPECT_EQ(At(5, 5), Background(1, 1, 0));
    KeyForce = 0;
    // A new phase is built over the old background.
    scenetest::FreezeClock(2026, 6, 10, 22, 0, 0, false);
    SetPixel(BackgroundDC, 5, 5, RGB(1, 2, 3));
    EXPECT_EQ(CreateScreen(), 1);
    EXPECT_EQ(At(5, 5), Background(3, 1, 0));
    EXPECT_EQ(BuiltTimeOfDay, kNight);
}

TEST_F(Screen, OverlaysAreDrawnWhereTheyBelong)
{
    const int bottom = 1024;
    // Street without rails only when the tram is off.
    ASSERT_EQ(CreateScreen(), 1);
    EXPECT_EQ(NoTramOverlay, 0);
    EXPECT_EQ(At(10, bottom - 20), Background(1, 1, 3));
    Prepare(1280, 1024, 2026, 6, 10, 10);
    TramOn = false;
    ASSERT_EQ(CreateScreen(), 1);
    EXPECT_EQ(NoTramOverlay, 1);
    EXPECT_EQ(At(10, bottom - 20), RGB(0, 250, 11));
    EXPECT_EQ(At(10, bottom - 120), Background(1, 1, 3));  // key rows let it through
    EXPECT_FALSE(IsOnStage(115));

    // The digital clock's housing frames the digits.
    Prepare(1280, 1024, 2026, 6, 10, 10);
    ASSERT_EQ(CreateScreen(), 1);
    EXPECT_EQ(At(103 + 1, bottom - 389 + 1), RGB(200, 200, 0));
    EXPECT_EQ(At(103 + 20, bottom - 389 + 15), Background(1, 1, 2));
    EXPECT_EQ(ClockX, 110);
    EXPECT_EQ(ClockY, bottom - 378);

    // Closed shutters at dusk and night, never by day.
    for (int hour : {10, 20, 23}) {
        Prepare(1280, 1024, 2026, 6, 10, hour);
        ShutterState = 2;
        ASSERT_EQ(CreateScreen(), 1);
        bool closed = At(157 + 10, bottom - 339 + 10) == RGB(139, 69, 19);
        EXPECT_EQ(closed, hour != 10) << hour;
    }

    // The dog's traces stay in the background.
    Prepare(1280, 1024, 2026, 6, 10, 10);
    DogTraces.count = 1;
    DogTraces.points[0] = {300, 900};
    ASSERT_EQ(CreateScreen(), 1);
    EXPECT_EQ(At(305, 905), RGB(90, 60, 30));
}

TEST_F(Screen, ClockPositionsByDesign)
{
    struct { int design; int month; int x, y; } cases[] = {
        {0, 6, 110, 1024 - 378}, {1, 6, 107, 1024 - 393}, {2, 6, 171, 70}, {2, 12, 243, 70},
        {3, 6, 55, 65}, {3, 12, 127, 65},
    };
    for (auto c : cases) {
        Prepare(1280, 1024, 2026, c.month, 10, 12);
        Uhr = c.design;
        ASSERT_EQ(CreateScreen(), 1);
        EXPECT_EQ(ClockX, c.x) << c.design;
        EXPECT_EQ(ClockY, c.y) << c.design;
    }
}

TEST_F(Screen, MissingBackgroundEndsWithTheMemoryScreen)
{
    AppInstance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(CreateScreen(), 0);
    EXPECT_EQ(RunState, kMemoryError);
    scenetest::UseTestArt();
}

TEST_F(Screen, SmallWindowShowsOnlyTheStillPicture)
{
    Prepare(152, 112, 2026, 6, 10, 10);
    SmallWindow = 1;
    ASSERT_EQ(CreateScreen(), 1);
    EXPECT_EQ(BackgroundX, 16);
    EXPECT_EQ(BackgroundY, 11);
    EXPECT_EQ(At(16, 11), RGB(30, 140, 230));
    EXPECT_EQ(At(0, 0), RGB(0, 0, 0));
    EXPECT_FALSE(IsOnStage(111));
    SmallWindow = 0;
}

}  // namespace
