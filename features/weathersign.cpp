#include "features/weathersign.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "scene/bubbles.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/weather.h"
#include "config/config.h"
#include "base/saverstate.h"

#include "scene_geometry.h"

namespace {

constexpr int kGlyphW = 4, kGlyphH = 9;
constexpr int kMinusX = 50, kBlankX = 53, kHundredsX = 8, kHundredsW = 2;
constexpr int kLineX = 60, kTubeRow = 0, kColdRow = 6, kWarmRow = 8;
constexpr int kBulbW = 8, kBulbH = 7, kWarmBulbX = 65, kColdBulbX = 75;
constexpr int kTubeLines = 40;
constexpr int kCleanAbove = 53;
constexpr int kBulbDX = 5, kBulbAbove = 10, kTubeDX = 7;
constexpr int kLowest = -99, kHighest = 199;
constexpr int kDayFromHour = 7, kDayToHour = 20;
constexpr int kBubbleX = 480, kBubbleRise = 384, kBubbleSeconds = 20;

// What the sign shows now; cleared when the sign is placed, so that every
// build paints it afresh.
struct Shown {
    bool thermometer;
    int tempC, valid, fahrenheit, timeOfDay;
    bool picture;
    int cover, kind, dayOrNight;
};
Shown gShown;
WeatherSignPaints gPaints;

void Glyph(HBITMAP glyphs, int x, int y, int sourceX, int w = kGlyphW)
{
    DrawBitmapPart(BackgroundDC, x, y, glyphs, {sourceX, 0, w, kGlyphH});
}

void Dashes(HBITMAP glyphs, int x, int y)
{
    Glyph(glyphs, x, y, kBlankX);
    Glyph(glyphs, x + 5, y, kMinusX);
    Glyph(glyphs, x + 10, y, kMinusX);
}

void Reading(HBITMAP glyphs, int x, int y, int v)
{
    if (v > 99) {
        Glyph(glyphs, x + 2, y, kHundredsX, kHundredsW);
        v %= 100;
    } else {
        Glyph(glyphs, x, y, v < 0 ? kMinusX : kBlankX);
        v = v < 0 ? -v : v;
    }
    Glyph(glyphs, x + 5, y, 5 * (v / 10));
    Glyph(glyphs, x + 10, y, 5 * (v % 10));
}

void Column(HBITMAP glyphs, int x, int y, int row, int lines)
{
    for (int i = 0; i < lines; ++i)
        DrawBitmapPart(BackgroundDC, x, y - i, glyphs, {kLineX, row, kGlyphW, 1});
}

void PaintThermometer(const FigurRecord &r, const WeatherReportData &w)
{
    HBITMAP glyphs = r.Sheets[0];
    HBITMAP clean = r.Sheets[1];
    SceneRect size = {0, 0, 0, 0};
    GetBitmapSize(clean, &size);
    ++gPaints.thermometer;
    SceneDCHold hold;
    if (!BackgroundDC)
        return;
    DrawBitmapPart(BackgroundDC, r.X, r.Y - kCleanAbove, clean, size);
    const int v = WeatherFahrenheit ? w.TempF : w.TempC;
    // A report valid by its clouds alone has no temperature.
    if (!w.WeatherValid || w.TempC == kWeatherUnknown || v < kLowest || v > kHighest) {
        Dashes(glyphs, r.X, r.Y);
        return;
    }
    Reading(glyphs, r.X, r.Y, v);
    const bool warm = w.TempC > 0;
    DrawBitmapPart(BackgroundDC, r.X + kBulbDX, r.Y - kBulbAbove, glyphs,
                   {warm ? kWarmBulbX : kColdBulbX, 0, kBulbW, kBulbH});
    Column(glyphs, r.X + kTubeDX, r.Y - kBulbAbove, kTubeRow, kTubeLines);
    int lines = warm ? w.TempC : w.TempC + kTubeLines;
    lines = lines < 0 ? 0 : (lines > kTubeLines ? kTubeLines : lines);
    Column(glyphs, r.X + kTubeDX, r.Y - kBulbAbove, warm ? kWarmRow : kColdRow, lines);
}

void PaintPicture(const WeatherReportData &w)
{
    char name[32];
    WeatherPictureName(w.CloudCover, w.WeatherKind, Hour, Weather[5], name, sizeof(name));
    if (w.CloudCover >= 0 && w.WeatherKind >= 0)
        WriteLog("%s", name);
    // A palette of its own: the background's stays as it is.
    HPALETTE own = nullptr;
    const int mode = PaletteDisplay ? kLoadPreview : kLoadScene;
    HBITMAP picture = LoadResourceBitmap(AppInstance, name, TRUE, PaletteDisplay ? &own : &ScenePalette, mode);
    if (!picture)
        picture = LoadResourceBitmap(AppInstance, "WET_0_00_00", TRUE, PaletteDisplay ? &own : &ScenePalette, mode);
    DeleteTrackedPalette(&own);
    if (!picture)
        return;
    ++gPaints.picture;
    {
        SceneDCHold hold;
        if (BackgroundDC)
            DrawBitmapAt(BackgroundDC, BackgroundX + scene::kWeatherPictureX,
                         BackgroundBottom - scene::kPictureH + scene::kWeatherPictureY, picture);
    }
    DeleteTrackedBitmap(&picture);
}

void PlaceSign(FigurRecord &r)
{
    r.X = BackgroundX + scene::kThermometerX;
    r.Y = BackgroundBottom - scene::kPictureH + scene::kThermometerY;
    r.FootLine = 0;
    r.State = 1;
    gShown = {};
    gPaints = {};
    WriteLog("ShowWeather=%d, UpdateWeather=%d, Fahrenheit=%d, MetarLand=%d, MetarOrt=%d, MetarOrtszeit=%d",
             Weather[0], Weather[1], Weather[2], Weather[3], Weather[4], Weather[5]);
}

}  // namespace

namespace {

// 1 while it is day at the station, 2 while it is night there.
int StationDayOrNight(int hour, int offset)
{
    const int stationHour = ((hour + offset) % 24 + 24) % 24;
    return stationHour >= kDayFromHour && stationHour <= kDayToHour ? 1 : 2;
}

}  // namespace

void WeatherPictureName(int cover, int kind, int hour, int offset, char *name, size_t size)
{
    const int dayOrNight = StationDayOrNight(hour, offset);
    if (cover >= 0 && kind >= 0)
        StrPrintfN(name, size, "WET_%d_%02d_%02d", dayOrNight, cover, kind);
    else
        StrPrintfN(name, size, "WET_1_--_--");
}

void UpdateWeatherSign()
{
    if (!IsOnStage(kWeatherSignObject))
        return;
    FigurRecord &r = FigurTable[kWeatherSignObject];
    if (r.State == 0)
        PlaceSign(r);
    if (r.State != 1)
        return;
    // One snapshot of the report for both parts.
    const WeatherReportData w = GetWeatherReport();
    if (!gShown.thermometer || gShown.tempC != w.TempC || gShown.valid != w.WeatherValid ||
        gShown.fahrenheit != WeatherFahrenheit || gShown.timeOfDay != TimeOfDay) {
        gShown.thermometer = true;
        gShown.tempC = w.TempC;
        gShown.valid = w.WeatherValid;
        gShown.fahrenheit = WeatherFahrenheit;
        gShown.timeOfDay = TimeOfDay;
        PaintThermometer(r, w);
    }
    // The picture follows the station's own day and night, which turn at
    // other hours than the street's day phases.
    const int dayOrNight = StationDayOrNight(Hour, Weather[5]);
    if (!gShown.picture || gShown.cover != w.CloudCover || gShown.kind != w.WeatherKind ||
        gShown.dayOrNight != dayOrNight) {
        gShown.picture = true;
        gShown.cover = w.CloudCover;
        gShown.kind = w.WeatherKind;
        gShown.dayOrNight = dayOrNight;
        PaintPicture(w);
    }
}

WeatherSignPaints WeatherSignPaintCount() { return gPaints; }

void WeatherBubbleText(const WeatherReportData &w, char *text, size_t size)
{
    if (!w.WeatherValid) {
        StrPrintfN(text, size, "%s\n%s", WeatherCountry, WeatherStation);
        return;
    }
    char temperature[16], humidity[16], pressure[16];
    if (w.TempC < kLowest)
        StrPrintfN(temperature, sizeof(temperature), "? °C");
    else if (WeatherFahrenheit)
        StrPrintfN(temperature, sizeof(temperature), "%d °F", w.TempF);
    else
        StrPrintfN(temperature, sizeof(temperature), "%d °C", w.TempC);
    if (w.Humidity >= 1 && w.Humidity <= 100)
        StrPrintfN(humidity, sizeof(humidity), "%d %%", w.Humidity);
    else
        StrPrintfN(humidity, sizeof(humidity), "? %%");
    if (w.PressureHPa >= 1 && w.PressureHPa <= 1199)
        StrPrintfN(pressure, sizeof(pressure), "%d hPa", w.PressureHPa);
    else
        StrPrintfN(pressure, sizeof(pressure), "? hPa");
    StrPrintfN(text, size, "%s\n%s\n%s | %s | %s", WeatherCountry, WeatherStation, temperature, humidity, pressure);
}

void ShowWeatherBubble()
{
    SceneDCHold hold;
    if (OpenBubbleKind) {
        KillSprechblase();
        return;
    }
    char text[kSpeechTextLen];
    WeatherBubbleText(GetWeatherReport(), text, sizeof(text));
    CreateSprechblase(1, text, kBubbleX, SceneH - kBubbleRise, kBubbleSeconds);
}
