#include "scene_fixture.h"

#include "base/gdiutil.h"
#include "base/now.h"
#include "base/registry.h"
#include "features/lights.h"
#include "scene/clocks.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/birthdays.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "testutil.h"
#include "vehicles/aircraft.h"
#include "vehicles/headlights.h"

namespace scenetest {

void UseTestArt() { AppInstance = GetModuleHandleA(nullptr); }

std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int *width, int *height)
{
    BITMAP info = {};
    std::vector<COLORREF> out;
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return out;
    BITMAPINFO bi = testutil::TopDownDib(info.bmWidth, info.bmHeight);
    std::vector<DWORD> raw(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, raw.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    out.reserve(raw.size());
    for (DWORD p : raw)
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    if (width)
        *width = info.bmWidth;
    if (height)
        *height = info.bmHeight;
    return out;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    int w = 0, h = 0;
    std::vector<COLORREF> px = BitmapPixels(bitmap, &w, &h);
    if (x < 0 || y < 0 || x >= w || y >= h)
        return CLR_INVALID;
    return px[static_cast<size_t>(y) * w + x];
}

void FreezeClock(int year, int month, int day, int hour, int minute, int second, bool phase)
{
    SYSTEMTIME st = testutil::Moment(year, month, day, hour, minute, second);
    // The day of the week comes from the calendar, not from us.
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    FileTimeToSystemTime(&ft, &st);
    ClockFreeze(st);
    UpdateTimeOfDay(phase ? 1 : 0);
}

void ResetScene()
{
    EndFlag = 0;
    for (int i = 0; i < 200 && (LoaderBusy || PlusLoaderBusy); ++i)
        Sleep(10);
    JoinLoaderThreads(5000);
    UnloadFlieger();
    ResetFlieger();
    UnloadScheinwerfer();
    for (int id = 0; id < kObjectIdCount; ++id)
        UnloadFigur(id);
    FreeScreen();
    StopAClock();
    for (HBITMAP &strip : ClockStrips)
        DeleteTrackedBitmap(&strip);
    SetDefaultSettings();
    GeburtstagCount = 0;
    InitFigurTable();
    RunState = kRunning;
    EndFlag = 0;
    KeyForce = 0;
    SmallWindow = 0;
    PaletteDisplay = 0;
    ResetLights();
    DogTraces.count = 0;
}

bool WaitUntil(bool (*cond)(), DWORD ms) { return testutil::WaitFor(cond, ms); }

void SetSetting(const char *name, DWORD value)
{
    HKEY key = RegCreateUserKey(kMainKey);
    RegWriteDword(key, name, static_cast<int>(value));
    RegCloseKey(key);
}

void SetSettingString(const char *name, const char *value)
{
    HKEY key = RegCreateUserKey(kMainKey);
    RegWriteString(key, name, value);
    RegCloseKey(key);
}

void ClearSettings() { testutil::DeleteUserKey(kMainKey); }

std::string ReadText(const std::string &path) { return testutil::ReadFileBytes(path); }

int CountOf(const std::string &text, const std::string &needle)
{
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size()))
        ++n;
    return n;
}

std::string WindowsPath(const char *unixPath)
{
    std::string win = "Z:";
    for (const char *p = unixPath; *p; ++p)
        win += (*p == '/') ? '\\' : *p;
    return win;
}

}  // namespace scenetest
