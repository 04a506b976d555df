#include "street_fixture.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/bubbles.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene/scripts.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "services/lettering.h"
#include "services/mail.h"
#include "services/sound.h"
#include "vehicles/aircraft.h"
#include "vehicles/bus.h"
#include "vehicles/busstop.h"
#include "vehicles/letteringworker.h"

#include <algorithm>

namespace streettest {

COLORREF EntryColour(int id, int timeOfDay, int slot, int entry)
{
    // The couple at door 2 has more entries than a byte of steps holds.
    if (id == 33)
        return RGB(entry & 0xFF, 74, 30 * timeOfDay + 5 * slot + 1);
    if (id == 60)
        return RGB(20 + 2 * entry, 100, 30 * timeOfDay + 5 * slot + 4);
    if (id == 52 || id == 55 || id == 58)
        return RGB(20 + 2 * entry, 10 * (id - 50) + 5, 30 * timeOfDay + 5 * slot + 1);
    if (id == 61)
        return RGB(20 + entry, 110, 30 * timeOfDay + 5 * slot + 2);
    if (id >= 62 && id <= 69)
        return RGB(10 + 2 * entry, 10 * (id - 50), 30 * timeOfDay + 5 * slot + 3);
    if (id >= 73 && id <= 105)
        return RGB(20 + 2 * entry, 100 + 4 * (id - 73), 30 * timeOfDay + 5 * slot);
    // The tram has more entries than steps of two leave room for.
    if (id == 72)
        return RGB(20 + entry, 244, 30 * timeOfDay + 5 * slot);
    // The dog and the people of doors 1 and 2 have more entries than steps of
    // three leave room for; their own blue tells them apart.
    if (id >= 24 && id <= 32 && id != 30)
        return RGB(20 + entry, (10 * id) % 256, 30 * timeOfDay + 5 * slot + 4);
    if (id >= 50)
        return RGB(20 + 2 * entry, 10 * (id - 50), 30 * timeOfDay + 5 * slot);
    return RGB(20 + 3 * entry, (10 * id) % 256, 30 * timeOfDay + 5 * slot);
}

void StreetScene::SetUp()
{
    scenetest::UseTestArt();
    gdiBefore_ = GdiObjectsAlive();
    window_ = CreateWindowExA(0, "STATIC", "street", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MainWindow = window_;
    SaverMode = kModeUnset;
    scenetest::ResetScene();
    ResetScripts();
    ClientWidth = 1280;
    ClientHeight = 1024;
    log_ = dir_.File("street.log");
    DebugOn = 1;
    OpenDebugLog(log_.c_str());
    StrCopy(Sprechblasen, dir_.File("sb.txt").c_str());
    PhaseChangeDue = 0;
    BusOnStage = 0;
    BusHalted = 0;
    LastPedestrian = LastVehicle = 0;
    ClickPending = TalkPending = RemovePending = 0;
    NewMail = 0;
    SpotClickCount = 0;
    At(2026, 6, 10, 14, 0);
    Build();
}

void StreetScene::TearDown()
{
    if (OpenBubbleKind)
        KillSprechblase();
    testutil::WaitFor([] { return !LoaderBusy; }, 10000);
    scenetest::ResetScene();
    PhaseChangeDue = 0;
    ClickPending = TalkPending = RemovePending = 0;
    CloseDebugLog();
    DebugOn = 0;
    ClockReset();
    MainWindow = nullptr;
    DestroyWindow(window_);
    EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
}

void StreetScene::At(int year, int month, int day, int hour, int minute, int second)
{
    scenetest::FreezeClock(year, month, day, hour, minute, second, false);
}

void StreetScene::Build()
{
    // A build for another phase than the built one needs it forced.
    UpdateTimeOfDay(1);
    BuiltTimeOfDay = 0;
    ASSERT_EQ(CreateScreen(), 1);
}

void StreetScene::OnStage(int id, int startState)
{
    ASSERT_EQ(LoadFigurWait(id, startState), 1) << id;
    ASSERT_TRUE(testutil::WaitFor([id] { return IsOnStage(id) && !LoaderBusy; }, 5000)) << id;
    AcceptNewDrawListEntries();
}

void StreetScene::PretendOnStage(int id, bool on)
{
    if (FigurSheetCount[id] == 0)
        FigurSheetCount[id] = 1;
    FigurTable[id].Id = id;
    FigurTable[id].Loaded = on ? 1 : 0;
}

void StreetScene::Run(int id, int n)
{
    for (int i = 0; i < n && IsOnStage(id); ++i)
        RunScript(id);
}

void StreetScene::Frames(int n)
{
    for (int i = 0; i < n; ++i) {
        BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
        SceneStep();
    }
}

int StreetScene::OrderFromAPasserBy(int id, int passer, int dx)
{
    OnStage(passer, 0);
    Run(passer);
    const FigurRecord &r = FigurTable[id];
    FigurRecord &p = FigurTable[passer];
    p.X = r.X + dx;
    p.Y = r.FootLine - p.FrameH;
    p.FootLine = r.FootLine;
    RefreshAndSortDrawList();
    ComputeAvoidanceOrders();
    UnloadFigur(passer);
    return r.AvoidOrder;
}

COLORREF StreetScene::Work(int x, int y) { return GetPixel(WorkDC, x, y); }

int StreetScene::DrawnEntry(int id, int slot) { return DrawnEntryAt(id, FigurTable[id].X, FigurTable[id].Y, slot); }

int StreetScene::DrawnEntryAt(int id, int x, int y, int slot)
{
    COLORREF c = Work(x + 1, y + 1);
    const int entries = id == 33 ? 262 : 131;
    for (int k = 0; k < entries; ++k)
        if (c == EntryColour(id, TimeOfDay, slot, k))
            return k;
    return -1;
}

namespace {

LRESULT CALLBACK QuietWindow(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, w, l);
}

int AcceptButNeverDeliver(int) { return 1; }
int Refuse(int) { return 0; }

// The state a lettered vehicle waits in for its lettering.
constexpr int kWaitLettering = 51;
constexpr int kBusId = 70;
// A lettering that never comes is given up after this many ticks.
constexpr int kLetteringPatience = 401;

}  // namespace

FigurRecord &StreetScene::Enter(int id, int startState)
{
    OnStage(id, startState);
    Run(id);
    return FigurTable[id];
}

void StreetScene::Click(std::atomic<uint32_t> &flag, int x, int y)
{
    MouseX = x;
    MouseY = y;
    flag = 1;
}

void StreetScene::Click(int x, int y) { Click(ClickPending, x, y); }

void StreetScene::DistIsProgramFolder()
{
    std::string dist = testutil::DistPath("");
    while (!dist.empty() && dist.back() == '\\')
        dist.pop_back();
    StrCopy(HLPpath, dist.c_str());
}

bool StreetScene::StartEffects()
{
    DistIsProgramFolder();
    Sound = LoadBASS(kEffectsInstance);
    if (Sound != 1)
        return false;
    LockWaveResources(GetModuleHandleA(nullptr));
    LoadSamples();
    SetSoundSceneWidth(SceneW);
    return true;
}

FigurRecord &StreetScene::BusReadyToEnter()
{
    OnStage(kBusId, 0);
    FigurRecord &r = FigurTable[kBusId];
    for (int i = 0; i < 20 && r.State != 1; ++i)
        Run(kBusId);
    EXPECT_EQ(r.State, 1);
    return r;
}

FigurRecord &StreetScene::BusAtTheStop()
{
    FigurRecord &r = BusReadyToEnter();
    for (int k = 1; k <= kBusSlots; ++k) {
        if (BusPassengerList[k])
            FigurTable[BusPassengerList[k]].RidesBus = 0;
        BusPassengerList[k] = 0;
    }
    r.State = 3;
    r.Tick = 0;
    r.X = 200;
    BusHalted = 1;
    return r;
}

std::vector<LetteringCase> LetteringCases(int (*publish)(int))
{
    return {
        {"an empty list", 0, publish, false, 0},
        {"a refusal", 3, Refuse, false, 0},
        {"a lettering that comes", 3, publish, true, -1},
        {"a lettering that never comes", 3, AcceptButNeverDeliver, false, kLetteringPatience},
    };
}

void StreetScene::WaitForLettering(int id, const LetteringCase &c, int *listCount, const char *notice)
{
    const int notices = scenetest::CountOf(Log(), notice);
    *listCount = c.pictures;
    SetLetteringStandIn(c.start);
    OnStage(id, 0);
    Run(id, 2);
    int waited = 0;
    while (FigurTable[id].State == kWaitLettering && waited < 1000) {
        if (c.lettered)
            testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
        Run(id);
        ++waited;
    }
    if (c.waits >= 0) {
        EXPECT_EQ(waited, c.waits) << c.name;
    } else {
        EXPECT_GE(waited, 1) << c.name;
        EXPECT_LE(waited, 2) << c.name;
    }
    EXPECT_EQ(scenetest::CountOf(Log(), notice) - notices, c.waits == kLetteringPatience ? 1 : 0) << c.name;
}

std::string StreetScene::Log() { return scenetest::ReadText(log_); }

void StreetScene::WriteSpeechTexts(const std::string &ini) { testutil::WriteFileBytes(Sprechblasen, ini); }

void ScreenWindowScene::SetUp()
{
    StreetScene::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = QuietWindow;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ScreenWindowScene";
    RegisterClassA(&wc);
    w_ = GetSystemMetrics(SM_CXSCREEN);
    h_ = GetSystemMetrics(SM_CYSCREEN);
    screen_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "scene", WS_POPUP | WS_VISIBLE, 0, 0, w_, h_, nullptr,
                              nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(screen_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    ClientWidth = w_;
    ClientHeight = h_;
    Build();
    dc_ = GetDC(screen_);
    BitBlt(dc_, 0, 0, w_, h_, BackgroundDC, 0, 0, SRCCOPY);
    GdiFlush();
}

void ScreenWindowScene::TearDown()
{
    UnloadFlieger();
    if (dc_)
        ReleaseDC(screen_, dc_);
    DestroyWindow(screen_);
    StreetScene::TearDown();
}

void FixedHoursScene::SetUp()
{
    std::copy(DayNight, DayNight + 4, dayNightBefore_);
    const int dayNight[4] = {8, 20, 12, 3};
    std::copy(dayNight, dayNight + 4, DayNight);
    StreetScene::SetUp();
    speedBefore_ = figSpeed;
}

void FixedHoursScene::TearDown()
{
    figSpeed = speedBefore_;
    BusHalted = 0;
    StreetScene::TearDown();
    std::copy(dayNightBefore_, dayNightBefore_ + 4, DayNight);
}

void FixedHoursScene::Fresh() { BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY); }

FigurRecord &FixedHoursScene::Enter(int id, int startState)
{
    OnStage(id, startState);
    Fresh();
    Run(id);
    return FigurTable[id];
}

}  // namespace streettest
