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
#include "services/mail.h"
#include "vehicles/busstop.h"

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

std::string StreetScene::Log() { return scenetest::ReadText(log_); }

void StreetScene::WriteSpeechTexts(const std::string &ini) { testutil::WriteFileBytes(Sprechblasen, ini); }

}  // namespace streettest
