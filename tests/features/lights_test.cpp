#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "base/registry.h"
#include "features/lights.h"
#include "features/lightschedule.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "scene_geometry.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "testutil.h"

#include <set>
#include <string>

namespace {

// The test light sheets paint light n in red 250 (on) or 200 (off) with
// green n; the English lettering in red 120 + sign, green 10 + variant; the
// roller shutter's frame k in green 30 + 10 k.
enum Look { kUntouched, kOff, kOn };

const scene::LightPlace &PlaceOf(int n)
{
    for (const scene::LightPlace &l : scene::kLights)
        if (l.n == n)
            return l;
    return scene::kLights[0];
}

POINT Middle(int n)
{
    const scene::LightPlace &l = PlaceOf(n);
    // Lights 11/13 and 14/16 share columns at their edges: look at the middle.
    return {BackgroundX + l.dst.x + l.dst.w / 2, BackgroundBottom - scene::kPictureH + l.dst.y + l.dst.h / 2};
}

COLORREF LightPixel(int n)
{
    POINT p = Middle(n);
    return GetPixel(BackgroundDC, p.x, p.y);
}

Look LookOf(int n)
{
    COLORREF c = LightPixel(n);
    if (GetGValue(c) != n)
        return kUntouched;
    return GetRValue(c) == 250 ? kOn : (GetRValue(c) == 200 ? kOff : kUntouched);
}

bool ForcedOnStage(int id, bool on)
{
    std::atomic_ref<uint32_t>(FigurTable[id].Loaded).store(on ? 1 : 0);
    return on;
}

// Chance seams: every draw hits, or none does.
bool AlwaysHit(int) { return true; }
bool NeverHit(int) { return false; }

// A 24-bit BMP of one colour.
void WriteBmp(const std::string &path, int w, int h, COLORREF c)
{
    const int stride = (w * 3 + 3) & ~3;
    std::string bits(static_cast<size_t>(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t at = static_cast<size_t>(y) * stride + 3 * x;
            bits[at] = static_cast<char>(GetBValue(c));
            bits[at + 1] = static_cast<char>(GetGValue(c));
            bits[at + 2] = static_cast<char>(GetRValue(c));
        }
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(bits.size());
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string file(reinterpret_cast<const char *>(&fh), sizeof(fh));
    file.append(reinterpret_cast<const char *>(&ih), sizeof(ih));
    file += bits;
    ASSERT_TRUE(testutil::WriteFileBytes(path, file));
}

class Lights : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        gdiBefore_ = GdiObjectsAlive();
        window_ = CreateWindowExA(0, "STATIC", "lights", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window_;
        SaverMode = kModeUnset;
        scenetest::ResetScene();
        ClientWidth = 1280;
        ClientHeight = 1024;
        log_ = dir_.File("lights.log");
        DebugOn = 1;
        OpenDebugLog(log_.c_str());
    }
    void TearDown() override
    {
        ForcedOnStage(55, false);
        testutil::WaitFor([] { return !LoaderBusy; }, 10000);
        scenetest::ResetScene();
        for (int house = 1; house <= 4; ++house) {
            char key[200];
            StrPrintfN(key, sizeof(key), "%s\\Haus%02d", kMainKey, house);
            testutil::DeleteUserKey(key);
        }
        CloseDebugLog();
        DebugOn = 0;
        ClockReset();
        MainWindow = nullptr;
        DestroyWindow(window_);
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    // Builds the scene at a moment of 2026 (June summer, December winter).
    void Build(int month, int hour, int minute = 0)
    {
        scenetest::ResetScene();
        if (!lettering_.empty())
            StrCopy(HausBeschrPics, lettering_.c_str());
        Language = language_;
        DebugOn = 1;
        WeatherShow = false;
        ClientWidth = 1280;
        ClientHeight = 1024;
        scenetest::FreezeClock(2026, month, 10, hour, minute, 0);
        ASSERT_EQ(CreateScreen(), 1);
    }
    void At(int hour, int minute, int second = 0)
    {
        scenetest::FreezeClock(2026, Month, 10, hour, minute, second, false);
    }
    std::string Log() { return scenetest::ReadText(log_); }
    // The lights the log says went on since mark.
    std::set<int> SwitchedOn(size_t mark)
    {
        std::set<int> on;
        std::string text = Log().substr(mark);
        for (size_t at = text.find("Licht: "); at != std::string::npos; at = text.find("Licht: ", at + 1)) {
            int n = atoi(text.c_str() + at + 7);
            if (text.compare(at + 10, 2, "an") == 0)
                on.insert(n);
        }
        return on;
    }
    void SetHouseDefault(int house, int value)
    {
        char key[200];
        StrPrintfN(key, sizeof(key), "%s\\Haus%02d", kMainKey, house);
        HKEY k = RegCreateUserKey(key);
        RegWriteDword(k, "Default", value);
        RegCloseKey(k);
    }

    testutil::TempDir dir_;
    std::string log_;
    std::string lettering_;
    int language_ = 1;
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

TEST_F(Lights, ResetAndRepaint)
{
    // By day the reset clears every state.
    Build(6, 10);
    LightState[5] = 1;
    LightState[20] = 16;
    LichtSteuerung(-11, 0);
    for (int n = 1; n < kLightCount; ++n)
        EXPECT_EQ(LightState[n], 0) << n;

    // At night it keeps them and repaints the four signs by their states.
    Build(6, 23);
    LightState[3] = 1;
    LightState[20] = 16;
    LightState[10] = LightState[12] = LightState[19] = 0;
    LichtSteuerung(-11, 0);
    EXPECT_EQ(LightState[20], 16);
    EXPECT_EQ(LookOf(3), kOn);
    for (int n : {10, 12, 19})
        EXPECT_EQ(LookOf(n), kOff) << n;

    // The repaint: lit lights only, at night only those of the night repaint.
    Build(6, 23);
    for (int n : {1, 4, 17})
        LightState[n] = 1;
    LichtSteuerung(-1, 0);
    EXPECT_EQ(LookOf(1), kOn);
    EXPECT_EQ(LookOf(4), kUntouched);   // not in the night repaint
    EXPECT_EQ(LookOf(17), kUntouched);
    EXPECT_EQ(LookOf(2), kUntouched);   // off

    // With the weather sign the shop window lights up at dusk and night.
    for (int hour : {20, 23}) {
        Build(6, hour);
        WeatherShow = true;
        LightState[11] = 0;
        LichtSteuerung(-1, 0);
        EXPECT_EQ(LightState[11], 1) << hour;
        EXPECT_EQ(LookOf(11), kOn) << hour;
    }
}

TEST_F(Lights, OneLightByValue)
{
    struct { int value; int timedState; int plainState; } cases[] = {
        {-101, 1, 1}, {-5, 5, 1}, {-1, 1, 1}, {0, 0, 0}, {3, 3, 1},
    };
    Build(6, 20);
    for (auto c : cases) {
        for (int n : {7, 5}) {  // 7 timed, 5 not
            LightState[n] = 0;
            LichtSteuerung(n, c.value);
            int expected = n == 7 ? c.timedState : c.plainState;
            EXPECT_EQ(LightState[n], expected) << n << " " << c.value;
            EXPECT_EQ(LookOf(n), expected ? kOn : kOff) << n << " " << c.value;
        }
    }
    // Switching a lit light: -5 and the toggle put it out, and twice restores.
    LightState[7] = 0;
    LichtSteuerung(7, -5);
    LichtSteuerung(7, -5);
    EXPECT_EQ(LightState[7], 0);
    LichtSteuerung(20, -1);
    LichtSteuerung(20, -1);
    EXPECT_EQ(LightState[20], 0);
    EXPECT_EQ(LookOf(20), kOff);
    // Numbers that name no light do nothing.
    size_t mark = Log().size();
    for (int n : {15, 57, -3, 0})
        SetLicht(n, 1);
    LichtSteuerung(15, 1);
    LichtSteuerung(57, 1);
    EXPECT_EQ(Log().find("Licht:", mark), std::string::npos);
}

TEST_F(Lights, TimedLightGoesOutAfterFortyFiveSecondChanges)
{
    Build(6, 20, 30);
    LightChance = NeverHit;
    At(20, 30, 0);
    LichtSteuerung(0, 0);  // the pass that first sees the clock
    LichtSteuerung(7, -5);
    for (int change = 1; change <= 45; ++change) {
        At(20, 30 + change / 60, change % 60);
        LichtSteuerung(0, 0);
        if (change < 45) {
            ASSERT_NE(LightState[7], 0) << change;
        }
    }
    EXPECT_EQ(LightState[7], 0);
    EXPECT_EQ(LookOf(7), kOff);
    // Passes within the same second count nothing.
    LichtSteuerung(7, -1);
    for (int pass = 0; pass < 30; ++pass)
        LichtSteuerung(0, 0);
    EXPECT_EQ(LightState[7], 1);
}

TEST_F(Lights, ShuttersAndFigure55GuardTheirLights)
{
    Build(6, 20);
    ShutterState = kShutterClosed;
    LichtSteuerung(4, 1);
    EXPECT_EQ(LookOf(4), kUntouched);
    RightShutterState = kShutterClosed;
    LichtSteuerung(11, 1);
    EXPECT_EQ(LookOf(11), kUntouched);

    ShutterState = kShutterOpen;
    ForcedOnStage(55, true);
    LichtSteuerung(3, 1);
    LichtSteuerung(4, 1);
    LichtSteuerung(3, 0);
    LichtSteuerung(4, -1);
    EXPECT_EQ(LightState[3], 1);
    EXPECT_EQ(LightState[4], 1);
    EXPECT_EQ(LookOf(3), kOn);
    EXPECT_EQ(LookOf(4), kOn);
    ForcedOnStage(55, false);
    LichtSteuerung(4, 0);
    EXPECT_EQ(LookOf(4), kOff);
}

TEST_F(Lights, UpperLightsReachTheWindowAndSurviveARebuild)
{
    Build(6, 23);
    LichtSteuerung(33, 1);
    EXPECT_EQ(LookOf(33), kOn);
    // A rebuild in the same phase repaints what is lit.
    KeyForce = 1;
    ASSERT_EQ(CreateScreen(), 1);
    KeyForce = 0;
    EXPECT_EQ(LookOf(33), kOn);
}

TEST_F(Lights, MissingLightPicturesPaintNothing)
{
    Build(6, 20);
    COLORREF before = LightPixel(5);
    // A module without the pictures.
    AppInstance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(LoadLichter(), 0);
    scenetest::UseTestArt();
    EXPECT_NE(Log().find("LoadResourceBitmap(\"LICHTER_01_02_0\") - nicht gefunden!"), std::string::npos);
    LichtSteuerung(5, 1);
    EXPECT_EQ(LightPixel(5), before);
}

TEST_F(Lights, EnglishSignsByPhaseAndSeason)
{
    struct { int month, hour; int variantOff, variantOn; } cases[] = {
        {6, 10, 0, 0}, {12, 10, 1, 1}, {6, 20, 2, 3}, {12, 20, 4, 5}, {6, 23, 6, 7}, {12, 23, 8, 9},
    };
    language_ = 0;
    for (auto c : cases) {
        Build(c.month, c.hour);
        int sign = 0;
        for (int n : {3, 10, 19}) {
            for (int on : {0, 1}) {
                SetLicht(n, on);
                COLORREF p = LightPixel(n);
                EXPECT_EQ(GetRValue(p), 120 + sign) << n;
                EXPECT_EQ(GetGValue(p), 10 + (on ? c.variantOn : c.variantOff)) << n << " " << c.hour;
            }
            ++sign;
        }
    }
}

TEST_F(Lights, UserLetteringOfAHouse)
{
    lettering_ = dir_.Path();
    SetHouseDefault(1, 0);
    const scene::LightPlace &sign = PlaceOf(3);
    // Dusk, summer: "_00" off, "_01" on, painted whole at the sign.
    WriteBmp(dir_.File("B01_02_01_00.BMP"), sign.dst.w, sign.dst.h, RGB(11, 22, 33));
    WriteBmp(dir_.File("B01_02_01_01.BMP"), sign.dst.w, sign.dst.h, RGB(44, 55, 66));
    Build(6, 20);
    SetLicht(3, 1);
    EXPECT_EQ(LightPixel(3), RGB(44, 55, 66));
    SetLicht(3, 0);
    EXPECT_EQ(LightPixel(3), RGB(11, 22, 33));
    // By day only "_00" is asked for.
    WriteBmp(dir_.File("B01_01_01_00.BMP"), sign.dst.w, sign.dst.h, RGB(77, 88, 99));
    size_t mark = Log().size();
    Build(6, 10);
    EXPECT_EQ(LightPixel(3), RGB(77, 88, 99));
    EXPECT_EQ(Log().find("B01_01_01_01", mark), std::string::npos);
    // Without its files a house keeps the built-in sign, and says so.
    DeleteFileA(dir_.File("B01_02_01_01.BMP").c_str());
    mark = Log().size();
    Build(6, 20);
    SetLicht(3, 1);
    EXPECT_EQ(LookOf(3), kOn);
    EXPECT_NE(Log().find("B01_02_01_01.BMP fehlt", mark), std::string::npos);
}

TEST_F(Lights, Schedule)
{
    struct Case {
        int hour, minute;
        int left, right;  // shutters
        bool weather;
        bool hit;
        std::set<int> on;
        bool rollerStarts;
        bool asks55;
    };
    const int O = kShutterOpen, C = kShutterClosed;
    const Case cases[] = {
        {23, 0, C, C, false, false, {3, 5, 6, 9, 10, 12, 18, 19}, false, false},
        // Morning dusk.
        {7, 1, C, C, false, true, {3}, false, false},
        {7, 5, C, C, false, true, {3}, true, true},
        {7, 5, C, C, false, false, {3}, false, false},
        {7, 5, O, O, false, true, {3, 4, 11}, false, false},
        {7, 45, O, O, false, true, {3, 5, 6, 9, 10}, false, false},
        {7, 58, C, C, false, false, {}, false, true},
        {7, 59, O, C, false, false, {}, true, false},
        {7, 59, O, C, true, true, {}, false, false},
        // Evening dusk.
        {20, 5, O, O, false, true, {5, 6, 9, 10}, false, false},
        {20, 5, O, O, false, false, {5, 6, 9}, false, false},
        {20, 15, O, O, false, true, {3, 4, 5, 6, 9, 10, 11, 12, 19}, false, false},
        {20, 15, C, C, false, true, {3, 5, 6, 9, 10, 12, 19}, false, false},
        {20, 35, O, O, false, false, {5, 6, 9, 10}, false, false},
        {20, 52, O, O, false, true, {4, 5, 6, 9, 10}, false, true},
        {20, 52, O, O, false, false, {5, 6, 9, 10}, false, false},
        {20, 59, O, O, false, false, {4, 5, 6, 9, 10}, false, true},
        {20, 56, C, O, false, true, {5, 6, 9, 10, 11}, true, false},
        {20, 56, C, O, true, true, {5, 6, 9, 10}, false, false},
    };
    const std::set<int> scheduled = {3, 4, 5, 6, 9, 10, 11, 12, 18, 19};
    for (const Case &c : cases) {
        Build(6, c.hour, c.minute);
        for (int &state : LightState)
            state = 0;
        ShutterState = c.left;
        RightShutterState = c.right;
        WeatherShow = c.weather;
        LightChance = c.hit ? AlwaysHit : NeverHit;
        size_t mark = Log().size();
        LichtSteuerung(0, 0);
        std::set<int> on;
        for (int n : SwitchedOn(mark))
            if (scheduled.count(n))
                on.insert(n);
        // Light 4 behind closed shutters and 11 behind the roller keep their
        // state unpainted, so the log does not name them.
        std::string what = std::to_string(c.hour) + ":" + std::to_string(c.minute);
        EXPECT_EQ(on, c.on) << what;
        std::string log = Log().substr(mark);
        EXPECT_EQ(log.find("rechter Rollladen") != std::string::npos, c.rollerStarts) << what;
        EXPECT_EQ(log.find("Figur  55 laden") != std::string::npos, c.asks55) << what;
        LightChance = RandomLightChance;
        WeatherShow = false;
        ResetLights();
    }
}

TEST_F(Lights, FlickerRows)
{
    Build(6, 23);
    LightChance = AlwaysHit;
    LightState[17] = 0;
    LichtSteuerung(0, 0);
    // Every row hit: the dependent lights take their leader's state.
    EXPECT_EQ(LightState[22], LightState[20] - 1);
    EXPECT_EQ(LightState[47], LightState[48] + 1);  // at night
    EXPECT_EQ(LightState[49], LightState[48]);
    EXPECT_EQ(LightState[50], LightState[40]);
    EXPECT_EQ(LightState[31], LightState[29] - 1);
    // 16 came before 17 was lit; every other state is f x 8 within bounds.
    EXPECT_EQ(LightState[16], 0);
    struct { int n, top; } rows[] = {{1, 9}, {13, 19}, {26, 14}, {14, 5}, {17, 6}, {42, 13}, {51, 17}, {56, 8}};
    for (auto r : rows) {
        EXPECT_EQ(LightState[r.n] % 8, 0) << r.n;
        EXPECT_GE(LightState[r.n], 8) << r.n;
        EXPECT_LE(LightState[r.n], 8 * r.top) << r.n;
    }
    EXPECT_EQ(LightState[21], LightState[20]);
    EXPECT_GE(FlickerCountdown(), 16);
    EXPECT_LE(FlickerCountdown(), 256);

    // 16 follows a lit 17 without a draw; by dusk f starts at 2.
    Build(6, 20, 30);
    LightChance = NeverHit;
    LightState[17] = 8;
    LichtSteuerung(0, 0);
    EXPECT_GE(LightState[16], 16);
    EXPECT_LE(LightState[16], 40);
    EXPECT_EQ(LightState[1], 0);
    EXPECT_GE(FlickerCountdown(), 8);
    EXPECT_LE(FlickerCountdown(), 64);
}

TEST_F(Lights, RollerShutterFrames)
{
    Build(6, 20);
    ShutterState = kShutterOpen;
    RightShutterState = kShutterOpen;
    const POINT p = {BackgroundX + scene::kRoll2X + 60, BackgroundBottom - scene::kPictureH + scene::kRoll2Y + 60};
    auto frame = [&] { return (GetGValue(GetPixel(BackgroundDC, p.x, p.y)) - 30) / 10; };

    RollShutter(kShutterClosed);
    ASSERT_TRUE(RollerShutterBusy());
    for (int k = 0; k <= 14; ++k) {
        RollShutter(0);
        EXPECT_EQ(frame(), k);
    }
    EXPECT_EQ(RightShutterState, kShutterClosed);
    RollShutter(0);
    EXPECT_FALSE(RollerShutterBusy());
    EXPECT_NE(Log().find("ROLL 2 fertig"), std::string::npos);

    // Up: 14 down to 0, one to three passes a frame, then light 11 on.
    RollShutter(kShutterOpen);
    std::vector<int> seen;
    int passes = 0;
    while (RightShutterState != kShutterOpen && passes < 100) {
        RollShutter(0);
        if (seen.empty() || seen.back() != frame())
            seen.push_back(frame());
        ++passes;
    }
    std::vector<int> expected;
    for (int k = 14; k >= 0; --k)
        expected.push_back(k);
    EXPECT_EQ(seen, expected);
    EXPECT_GE(passes, 15);
    EXPECT_LE(passes, 45);
    RollShutter(0);
    EXPECT_FALSE(RollerShutterBusy());
    EXPECT_EQ(LightState[11], 1);
    EXPECT_EQ(LookOf(11), kOn);
}

TEST_F(Lights, StartShuttersFollowTheTrend)
{
    const int trend[2] = {kShutterClosed, kShutterClosed};
    WeatherShow = false;
    SetShutterStates(trend);
    EXPECT_EQ(ShutterState, kShutterClosed);
    EXPECT_EQ(RightShutterState, kShutterClosed);
    WeatherShow = true;
    SetShutterStates(trend);
    EXPECT_EQ(RightShutterState, kShutterOpen);
    WeatherShow = false;
}

}  // namespace
