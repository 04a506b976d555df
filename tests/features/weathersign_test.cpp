#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/bubbles.h"
#include "features/weathersign.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "scene_geometry.h"
#include "services/weather.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "testutil.h"

#include <string>

namespace {

// The test glyph sheet paints column x of the sheet in green x; the tube and
// mercury columns in red 180 with their row in blue.
COLORREF Bg(int x, int y) { return GetPixel(BackgroundDC, x, y); }

WeatherReportData Report(int tempC, int tempF, int cover = 2, int kind = 0, int valid = 1)
{
    return {valid, tempC, tempF, 60, 1013, cover, kind};
}

class WeatherSign : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        gdiBefore_ = GdiObjectsAlive();
        window_ = CreateWindowExA(0, "STATIC", "weather", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window_;
        SaverMode = kModeUnset;
    }
    void TearDown() override
    {
        if (OpenBubbleKind)
            KillSprechblase();
        testutil::WaitFor([] { return !LoaderBusy; }, 10000);
        scenetest::ResetScene();
        PublishWeatherReport(Report(kWeatherUnknown, kWeatherUnknown, kWeatherUnknown, 0, 0));
        ClockReset();
        MainWindow = nullptr;
        DestroyWindow(window_);
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    void Build(int hour, const WeatherReportData &report, bool fahrenheit = false, int offset = 0)
    {
        scenetest::ResetScene();
        ClientWidth = 1280;
        ClientHeight = 1024;
        Weather[0] = 1;
        Weather[5] = offset;
        WeatherShow = true;
        WeatherFahrenheit = fahrenheit;
        PublishWeatherReport(report);
        scenetest::FreezeClock(2026, 6, 10, hour, 0, 0);
        ASSERT_EQ(CreateScreen(), 1);
        ASSERT_TRUE(IsOnStage(kWeatherSignObject));
    }
    const FigurRecord &R() { return FigurTable[kWeatherSignObject]; }
    // The sheet column drawn at x of the digit row, or -1.
    int GlyphAt(int x) { return GetRValue(Bg(x, R().Y + 4)) == 190 ? GetGValue(Bg(x, R().Y + 4)) : -1; }
    int Lines(int row)
    {
        int n = 0;
        for (int i = 0; i < 40; ++i) {
            COLORREF c = Bg(R().X + 7, R().Y - 10 - i);
            if (GetRValue(c) == 180 && GetBValue(c) == row)
                ++n;
        }
        return n;
    }

    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

TEST_F(WeatherSign, ThermometerReadings)
{
    const int blank = 53, minus = 50;
    struct { int tempC, tempF; bool fahrenheit; int valid; int glyph0, glyph2, glyph5, glyph10; int warm, cold; int bulb; } cases[] = {
        {25, 77, false, 1, blank, -1, 10, 25, 25, 0, 65},
        {-5, 23, false, 1, minus, -1, 0, 25, 0, 35, 75},
        {0, 32, false, 1, blank, -1, 0, 0, 0, 40, 75},
        {30, 86, true, 1, blank, -1, 40, 30, 30, 0, 65},
        {41, 105, true, 1, -2, 8, 0, 25, 40, 0, 65},
        {12, 54, false, 0, blank, -1, minus, minus, 0, 0, -1},
        {kWeatherUnknown, kWeatherUnknown, false, 1, blank, -1, minus, minus, 0, 0, -1},
        {-80, -112, true, 1, blank, -1, minus, minus, 0, 0, -1},
    };
    for (auto c : cases) {
        Build(10, Report(c.tempC, c.tempF, 2, 0, c.valid), c.fahrenheit);
        const int x = R().X, y = R().Y;
        EXPECT_EQ(x, scene::kThermometerX);
        EXPECT_EQ(y, scene::kThermometerY);
        if (c.glyph0 >= 0) {
            EXPECT_EQ(GlyphAt(x), c.glyph0) << c.tempC;
        }
        if (c.glyph2 >= 0) {
            EXPECT_EQ(GlyphAt(x + 2), c.glyph2) << c.tempC;
        }
        EXPECT_EQ(GlyphAt(x + 5), c.glyph5) << c.tempC;
        EXPECT_EQ(GlyphAt(x + 10), c.glyph10) << c.tempC;
        EXPECT_EQ(Lines(8), c.warm) << c.tempC;
        EXPECT_EQ(Lines(6), c.cold) << c.tempC;
        COLORREF bulb = Bg(x + 5, y - 8);
        EXPECT_EQ(GetRValue(bulb) == 190 ? GetGValue(bulb) : -1, c.bulb) << c.tempC;
    }
}

TEST_F(WeatherSign, PictureByCoverAndStationHour)
{
    struct { int cover; int hour; int offset; int green; } cases[] = {
        {2, 10, 0, 12}, {kWeatherUnknown, 23, 0, 99}, {2, 15, 6, 22}, {2, 0, -5, 12}, {3, 10, 0, 0},
    };
    for (auto c : cases) {
        Build(c.hour, Report(20, 68, c.cover), false, c.offset);
        COLORREF p = Bg(scene::kWeatherPictureX + 40, scene::kWeatherPictureY + 30);
        EXPECT_EQ(GetRValue(p), 33) << c.cover << " " << c.hour;
        EXPECT_EQ(GetGValue(p), c.green) << c.cover << " " << c.hour;
    }
    char name[32];
    WeatherPictureName(kWeatherUnknown, 0, 3, 0, name, sizeof(name));
    EXPECT_STREQ(name, "WET_1_--_--");
}

TEST_F(WeatherSign, RepaintsOnlyWhatChanged)
{
    Build(10, Report(20, 68));
    WeatherSignPaints first = WeatherSignPaintCount();
    EXPECT_EQ(first.thermometer, 1);
    EXPECT_EQ(first.picture, 1);
    UpdateWeatherSign();
    EXPECT_EQ(WeatherSignPaintCount().thermometer, 1);
    PublishWeatherReport(Report(21, 70));
    UpdateWeatherSign();
    EXPECT_EQ(WeatherSignPaintCount().thermometer, 2);
    EXPECT_EQ(WeatherSignPaintCount().picture, 1);
    PublishWeatherReport(Report(21, 70, 3));
    UpdateWeatherSign();
    EXPECT_EQ(WeatherSignPaintCount().thermometer, 2);
    EXPECT_EQ(WeatherSignPaintCount().picture, 2);
    // A rebuild in the same phase paints both again.
    KeyForce = 1;
    ASSERT_EQ(CreateScreen(), 1);
    KeyForce = 0;
    EXPECT_EQ(WeatherSignPaintCount().thermometer, 1);
    EXPECT_EQ(WeatherSignPaintCount().picture, 1);
}

// Between two builds the station's day turns to night (and back) at its own
// hours: the picture turns with it, once.
TEST_F(WeatherSign, PictureTurnsWithTheStationsDayBetweenBuilds)
{
    struct { int offset; int before, after; int greenBefore, greenAfter; } cases[] = {
        {0, 20, 21, 12, 22},   // the station's evening, in the street's day phase
        {-3, 9, 10, 22, 12},   // a station three hours behind wakes at the street's 10
        {5, 3, 4, 12, 12},     // still day at the station: no repaint
    };
    for (auto c : cases) {
        Build(c.before, Report(20, 68), false, c.offset);
        COLORREF p = Bg(scene::kWeatherPictureX + 40, scene::kWeatherPictureY + 30);
        EXPECT_EQ(GetGValue(p), c.greenBefore) << c.offset;
        scenetest::FreezeClock(2026, 6, 10, c.after, 0, 0, false);
        UpdateWeatherSign();
        UpdateWeatherSign();
        p = Bg(scene::kWeatherPictureX + 40, scene::kWeatherPictureY + 30);
        EXPECT_EQ(GetGValue(p), c.greenAfter) << c.offset;
        EXPECT_EQ(WeatherSignPaintCount().picture, c.greenBefore == c.greenAfter ? 1 : 2) << c.offset;
    }
}

TEST_F(WeatherSign, BubbleText)
{
    StrCopy(WeatherCountry, "Deutschland");
    StrCopy(WeatherStation, "Frankfurt");
    struct { WeatherReportData report; bool fahrenheit; const char *text; } cases[] = {
        {{1, 12, 54, 60, 1013, 2, 0}, false, "Deutschland\nFrankfurt\n12 \xB0" "C | 60 % | 1013 hPa"},
        {{1, 30, 86, 0, 1200, 2, 0}, true, "Deutschland\nFrankfurt\n86 \xB0" "F | ? % | ? hPa"},
        {{1, kWeatherUnknown, kWeatherUnknown, 101, 0, 2, 0}, false, "Deutschland\nFrankfurt\n? \xB0" "C | ? % | ? hPa"},
        {{0, 12, 54, 60, 1013, 2, 0}, false, "Deutschland\nFrankfurt"},
    };
    for (auto c : cases) {
        WeatherFahrenheit = c.fahrenheit;
        char text[256];
        WeatherBubbleText(c.report, text, sizeof(text));
        EXPECT_STREQ(text, c.text);
    }
    // The bubble opens beside the sign for 20 seconds; a second call closes it.
    Build(10, Report(12, 54));
    ShowWeatherBubble();
    EXPECT_EQ(OpenBubbleKind, 1);
    EXPECT_EQ(BubblePosition().x, 480);
    EXPECT_EQ(BubblePosition().y, SceneH - 384);
    EXPECT_EQ(BubbleLifetime(), 20);
    ShowWeatherBubble();
    EXPECT_EQ(OpenBubbleKind, 0);
}

}  // namespace
