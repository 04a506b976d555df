#include "scene/clocks.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"

#include "scene_geometry.h"
#include "base/saverstate.h"

#include <cmath>

HBITMAP ClockStrips[3];
int TwelveHourClock = 0;

namespace {

constexpr int kHandCount = 60;
constexpr double kRadiansPerStep = 0.10471974;   // 6 degrees
constexpr double kRadiansPerHour = 0.5235987;    // 30 degrees
constexpr int kSecondLength = 14, kSecondTail = 3;
constexpr int kMinuteLength = 12;
constexpr int kHourLength = 9;
constexpr int kPivot = 16;
constexpr COLORREF kSecondColour = 0x808080;
constexpr COLORREF kMinuteColour = 0x000050;
constexpr COLORREF kHourColour = 0x500000;

// Digit strips: small digits 5 x 11, large digits 14 x 26.
constexpr int kSmallDigitW = scene::kSmallDigitW, kSmallDigitH = scene::kSmallDigitH;
constexpr int kLargeDigitW = scene::kLargeDigitW, kLargeDigitH = scene::kLargeDigitH;
constexpr int kPillarDateRise = 31;
constexpr int kPillarX = scene::kPillarX;
constexpr int kPillarH = scene::kPillarFrames[0].h;

int DigitalOffset(int i) { return scene::kClockDigitsX[i] - scene::kClockDigitsX[0]; }

struct Hand {
    POINT from, to;
};
Hand gSecondHands[kHandCount];
Hand gMinuteHands[kHandCount];

HBITMAP gDial = nullptr;
HBITMAP gClockBitmap = nullptr;
HBITMAP gClockOld = nullptr;
HDC gClockDC = nullptr;
HPEN gSecondPen = nullptr, gMinutePen = nullptr, gHourPen = nullptr;
SceneRect gDialSize = {0, 0, 0, 0};
int gLastSecond = -1;
int gLastMinute = -1;

void ComputeHandTables()
{
    for (int i = 0; i < kHandCount; ++i) {
        double a = i * kRadiansPerStep;
        gSecondHands[i].from = HandPoint(a, kSecondLength);
        gSecondHands[i].to = HandPoint(a, -kSecondTail);
        gMinuteHands[i].from = HandPoint(a, kMinuteLength);
        gMinuteHands[i].to = {kPivot, kPivot};
    }
}

void DrawLine(HDC dc, HPEN pen, POINT from, POINT to)
{
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SelectObject(dc, old);
}

void DrawDigit(HDC dc, HBITMAP strip, int digit, int x, int y, int w, int h)
{
    SceneRect source = {digit * w, 0, w, h};
    DrawBitmapPart(dc, x, y, strip, source);
}

}  // namespace

POINT HandPoint(double radians, int length)
{
    POINT p;
    p.x = kPivot + static_cast<int>(length * sin(radians));
    p.y = kPivot - static_cast<int>(length * cos(radians));
    return p;
}

int DisplayHour(int hour, bool twelveHours)
{
    if (twelveHours && hour > 12)
        return hour - 12;
    return hour;
}

bool PillarDateGroups(int day, int month, int year, int order, int groups[3])
{
    // Two digits of the year whatever the century.
    int yy = ((year % 100) + 100) % 100;
    switch (order) {
    case 0: groups[0] = month; groups[1] = day; groups[2] = yy; return true;
    case 1: groups[0] = day; groups[1] = month; groups[2] = yy; return true;
    case 2: groups[0] = yy; groups[1] = month; groups[2] = day; return true;
    default: return false;
    }
}

int StartAClock(HDC dc)
{
    if (gDial)
        StopAClock();
    ComputeHandTables();
    char name[32];
    if (Uhr == 1)
        StrPrintfN(name, sizeof(name), "UHR_%02d_%02d_1", TimeOfDay, Season);
    else
        StrPrintfN(name, sizeof(name), "UHR_%02d_%02d_2", TimeOfDay, 1);
    gDial = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    if (!gDial) {
        WriteLog("StartAClock() kein Zifferblatt!");
        return 0;
    }
    GetBitmapSize(gDial, &gDialSize);
    gClockBitmap = TrackBitmap(CreateCompatibleBitmap(dc, gDialSize.w, gDialSize.h));
    if (!gClockBitmap) {
        WriteLog("StartAClock() kann hBitmapUhr nicht anlegen!");
        return 0;
    }
    gClockDC = TrackDC(CreateCompatibleDC(dc));
    if (!gClockDC) {
        WriteLog("StartAClock() kann hdcUhr nicht anlegen!");
        return 0;
    }
    gClockOld = static_cast<HBITMAP>(SelectObject(gClockDC, gClockBitmap));
    RECT rc = {0, 0, gDialSize.w, gDialSize.h};
    FillRect(gClockDC, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawBitmapAt(gClockDC, 0, 0, gDial);
    gSecondPen = CreatePen(PS_SOLID, 1, kSecondColour);
    gMinutePen = CreatePen(PS_SOLID, 2, kMinuteColour);
    gHourPen = CreatePen(PS_SOLID, 2, kHourColour);
    gLastSecond = -1;
    WriteLog("StartAClock() = OK");
    return 1;
}

void StopAClock()
{
    if (gClockDC && gClockOld)
        SelectObject(gClockDC, gClockOld);
    gClockOld = nullptr;
    DeleteTrackedDC(&gClockDC);
    DeleteTrackedBitmap(&gClockBitmap);
    DeleteTrackedBitmap(&gDial);
    for (HPEN *pen : {&gSecondPen, &gMinutePen, &gHourPen}) {
        if (*pen)
            DeleteObject(*pen);
        *pen = nullptr;
    }
    gLastSecond = -1;
}

void DrawAClock(HDC target, int x, int y)
{
    SYSTEMTIME now;
    NowLocal(&now);
    if (now.wSecond == gLastSecond)
        return;
    gLastSecond = now.wSecond;
    if (!gClockDC || !gDial || !target)
        return;
    DrawBitmapAt(gClockDC, 0, 0, gDial);
    int hour = now.wHour;
    if (hour < 0)
        hour += 12;
    double hourAngle = (now.wMinute / 60.0 + hour) * kRadiansPerHour;
    DrawLine(gClockDC, gHourPen, HandPoint(hourAngle, kHourLength), POINT{kPivot, kPivot});
    const Hand &minute = gMinuteHands[now.wMinute % kHandCount];
    DrawLine(gClockDC, gMinutePen, minute.from, minute.to);
    const Hand &second = gSecondHands[now.wSecond % kHandCount];
    DrawLine(gClockDC, gSecondPen, second.from, second.to);
    BitBlt(target, x, y, gDialSize.w, gDialSize.h, gClockDC, 0, 0, SRCCOPY);
}

void DrawDigitalClock(HDC target, int hour, int minute, int strip)
{
    if (minute == gLastMinute && !ScreenCreated)
        return;
    ScreenCreated = 0;
    gLastMinute = minute;
    if (strip < 0 || strip > 2 || !ClockStrips[strip])
        return;
    int h = DisplayHour(hour, TwelveHourClock != 0);
    const int digits[4] = {h / 10, h % 10, minute / 10, minute % 10};
    for (int i = 0; i < 4; ++i) {
        int x = ClockX + DigitalOffset(i);
        if (target)
            DrawDigit(target, ClockStrips[strip], digits[i], x, ClockY, kSmallDigitW, kSmallDigitH);
        if (BackgroundDC)
            DrawDigit(BackgroundDC, ClockStrips[strip], digits[i], x, ClockY, kSmallDigitW, kSmallDigitH);
    }
}

namespace {

void DrawPillarDigits(HDC dc, void *)
{
    int h = DisplayHour(Hour, TwelveHourClock != 0);
    const int time[4] = {h / 10, h % 10, Minute / 10, Minute % 10};
    if (ClockStrips[2]) {
        for (int i = 0; i < 4; ++i)
            DrawDigit(dc, ClockStrips[2], time[i], ClockX + scene::kPillarDigitsX[i], ClockY, kLargeDigitW,
                      kLargeDigitH);
    }
    int groups[3];
    if (ClockStrips[1] && PillarDateGroups(Day, Month, Year, DateOrder, groups)) {
        for (int i = 0; i < 6; ++i) {
            int value = groups[i / 2];
            int digit = (i % 2 == 0) ? value / 10 : value % 10;
            DrawDigit(dc, ClockStrips[1], digit, ClockX + scene::kPillarDateX[i], ClockY + kPillarDateRise,
                      kSmallDigitW, kSmallDigitH);
        }
    }
}

}  // namespace

void DrawPillarDisplay()
{
    if (Minute == gLastMinute && !ScreenCreated)
        return;
    ScreenCreated = 0;
    gLastMinute = Minute;
    HBITMAP sheet = FigurTable[kClockPillar].Sheets[0];
    // Through the helpers: the animation thread keeps the sheet selected in
    // a DC of theirs between frames.
    if (sheet)
        DrawIntoBitmap(sheet, DrawPillarDigits, nullptr);
}

void Figur115Script()
{
    FigurRecord &r = FigurTable[kClockPillar];
    if (r.State == 0) {
        r.X = kPillarX;
        r.Y = SceneH - kPillarH;
        r.FootLine = r.Y + kPillarH;
        r.Frame = (Uhr == 2) ? Season + 2 : (Uhr == 3 ? Season : 0);
        r.State = 1;
    }
    if (r.State != 1)
        return;
    if (Uhr == 2) {
        DrawPillarDisplay();
    } else if (Uhr == 3 && r.Sheets[0]) {
        // Runs every frame: the animation thread's kept DCs make this free.
        DrawIntoBitmap(r.Sheets[0], [](HDC dc, void *) { DrawAClock(dc, ClockX, ClockY); }, nullptr);
    }
    int frame = (r.Frame >= 0 && r.Frame < 5) ? r.Frame : 0;
    SceneRect point = {r.X, r.Y, 0, 0};
    const scene::GeoRect &f = scene::kPillarFrames[frame];
    SceneRect source = {f.x, f.y, f.w, f.h};
    DrawMaskedFrame(WorkDC, r.Sheets[0], r.Masks[0], point, source);
}
