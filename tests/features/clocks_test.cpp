#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/clocks.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"

#include <cmath>

namespace {

// Digit d of strip UHR_00 is red 10 + 20 d; of UHR_01 green; of UHR_02 blue.
COLORREF SmallDigit(int d) { return RGB(10 + 20 * d, 1, 1); }
COLORREF DateDigit(int d) { return RGB(1, 10 + 20 * d, 1); }
COLORREF LargeDigit(int d) { return RGB(1, 1, 10 + 20 * d); }

// A memory surface standing in for the window or the background.
struct Surface {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    Surface(int w, int h)
    {
        HDC screen = GetDC(nullptr);
        bitmap = TrackBitmap(CreateCompatibleBitmap(screen, w, h));
        dc = TrackDC(CreateCompatibleDC(screen));
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT rc = {0, 0, w, h};
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteTrackedDC(&dc);
        DeleteTrackedBitmap(&bitmap);
    }
    COLORREF Pixel(int x, int y) { return GetPixel(dc, x, y); }
};

class Clocks : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ResetScene();
        for (int n = 0; n < 3; ++n) {
            char name[16];
            StrPrintfN(name, sizeof(name), "UHR_%02d", n);
            ClockStrips[n] = LoadResourceBitmap(AppInstance, name, TRUE, nullptr, kLoadScene);
            ASSERT_TRUE(ClockStrips[n]);
        }
    }
    void TearDown() override
    {
        scenetest::ResetScene();
        ClockReset();
        TwelveHourClock = 0;
        DateOrder = 1;
    }
};

TEST(ClockRules, HourAndDateDigits)
{
    EXPECT_EQ(DisplayHour(15, true), 3);
    EXPECT_EQ(DisplayHour(15, false), 15);
    EXPECT_EQ(DisplayHour(0, true), 0);
    EXPECT_EQ(DisplayHour(12, true), 12);
    struct { int order; int groups[3]; bool shown; } cases[] = {
        {0, {12, 9, 26}, true}, {1, {9, 12, 26}, true}, {2, {26, 12, 9}, true}, {3, {0, 0, 0}, false},
    };
    for (auto c : cases) {
        int g[3] = {0, 0, 0};
        EXPECT_EQ(PillarDateGroups(9, 12, 2026, c.order, g), c.shown);
        if (c.shown) {
            EXPECT_EQ(g[0], c.groups[0]) << c.order;
            EXPECT_EQ(g[1], c.groups[1]) << c.order;
            EXPECT_EQ(g[2], c.groups[2]) << c.order;
        }
    }
    // Past 2099 the year keeps two digits.
    int g[3];
    PillarDateGroups(1, 1, 2105, 1, g);
    EXPECT_EQ(g[2], 5);
}

TEST_F(Clocks, DigitalClockDrawsTheMinuteIntoWindowAndBackground)
{
    Surface window(200, 40), background(200, 40);
    BackgroundDC = background.dc;
    ClockX = 50;
    ClockY = 10;
    struct { int hour, minute; bool twelve; int digits[4]; } cases[] = {
        {15, 7, true, {0, 3, 0, 7}}, {15, 8, false, {1, 5, 0, 8}}, {0, 5, true, {0, 0, 0, 5}}, {0, 6, false, {0, 0, 0, 6}},
    };
    const int offsets[4] = {0, 6, 14, 20};
    for (auto c : cases) {
        TwelveHourClock = c.twelve ? 1 : 0;
        DrawDigitalClock(window.dc, c.hour, c.minute, 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(window.Pixel(ClockX + offsets[i] + 2, ClockY + 5), SmallDigit(c.digits[i])) << c.hour << ":" << c.minute;
            EXPECT_EQ(background.Pixel(ClockX + offsets[i] + 2, ClockY + 5), SmallDigit(c.digits[i]));
        }
    }
    // The same minute again draws nothing, unless the screen was rebuilt.
    RECT rc = {0, 0, 200, 40};
    FillRect(window.dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawDigitalClock(window.dc, 0, 6, 0);
    EXPECT_EQ(window.Pixel(ClockX + 2, ClockY + 5), RGB(0, 0, 0));
    ScreenCreated = 1;
    DrawDigitalClock(window.dc, 0, 6, 0);
    EXPECT_EQ(window.Pixel(ClockX + 2, ClockY + 5), SmallDigit(0));
    BackgroundDC = nullptr;
}

TEST_F(Clocks, AnalogueHandsPointAtTheTime)
{
    Uhr = 1;
    scenetest::FreezeClock(2026, 6, 10, 15, 30, 0);
    Surface window(60, 60);
    ASSERT_EQ(StartAClock(window.dc), 1);
    DrawAClock(window.dc, 10, 10);
    auto at = [&](double degrees, int radius) {
        double a = degrees * 3.14159265358979 / 180.0;
        return window.Pixel(10 + 16 + static_cast<int>(std::lround(radius * sin(a))),
                            10 + 16 - static_cast<int>(std::lround(radius * cos(a))));
    };
    // Hour hand half-way between 3 and 4 (105 degrees), minute hand at 6
    // (180 degrees), second hand at 12 (0 degrees); the dial is white.
    EXPECT_EQ(at(105, 6), RGB(0, 0, 0x50));
    EXPECT_EQ(at(180, 9), RGB(0x50, 0, 0));
    EXPECT_EQ(at(0, 11), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(at(270, 8), RGB(255, 255, 255));
    // The same second is not drawn again.
    Surface other(60, 60);
    DrawAClock(other.dc, 10, 10);
    EXPECT_EQ(other.Pixel(10 + 16, 10 + 16 + 9), RGB(0, 0, 0));
    StopAClock();
    EXPECT_EQ(StartAClock(window.dc), 1);  // a restart after a stop works
    StopAClock();
}

TEST_F(Clocks, PillarShowsTimeAndDateInTheSystemOrder)
{
    Uhr = 2;
    TwelveHourClock = 0;
    scenetest::FreezeClock(2026, 12, 9, 21, 47, 0);
    FigurRecord &pillar = FigurTable[115];
    pillar.Sheets[0] = LoadResourceBitmap(AppInstance, "FIG115_03_00", TRUE, nullptr, kLoadScene);
    ASSERT_TRUE(pillar.Sheets[0]);
    ClockX = 171;
    ClockY = 70;
    struct { int order; int digits[6]; } cases[] = {
        {0, {1, 2, 0, 9, 2, 6}}, {1, {0, 9, 1, 2, 2, 6}}, {2, {2, 6, 1, 2, 0, 9}},
    };
    const int timeOffsets[4] = {0, 15, 34, 49};
    const int dateOffsets[6] = {10, 16, 26, 32, 42, 48};
    const int time[4] = {2, 1, 4, 7};
    for (auto c : cases) {
        DateOrder = c.order;
        ScreenCreated = 1;
        DrawPillarDisplay();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(scenetest::BitmapPixel(pillar.Sheets[0], ClockX + timeOffsets[i] + 3, ClockY + 10),
                      LargeDigit(time[i]));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(scenetest::BitmapPixel(pillar.Sheets[0], ClockX + dateOffsets[i] + 2, ClockY + 31 + 5),
                      DateDigit(c.digits[i]))
                << "order " << c.order << " digit " << i;
    }
    DeleteTrackedBitmap(&pillar.Sheets[0]);
}

}  // namespace
