// The saver's window run inside the test program, on a thread of its own,
// with the test pictures: what it draws and what it leaves behind.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

#include <thread>

namespace {

using testutil::WaitFor;

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeHost(int w, int h)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SceneRunHost";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOPMOST, "SceneRunHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, w,
                           h, nullptr, nullptr, wc.hInstance, nullptr);
}

std::atomic<DWORD> gDestroyTick{0};
std::atomic<DWORD> gEndTick{0};

LRESULT CALLBACK WatchDestroy(int code, WPARAM wp, LPARAM lp)
{
    auto *msg = reinterpret_cast<CWPSTRUCT *>(lp);
    if (code == HC_ACTION && msg->message == WM_DESTROY && gDestroyTick == 0)
        gDestroyTick = GetTickCount();
    return CallNextHookEx(nullptr, code, wp, lp);
}

class SaverRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ClearSettings();
        log_ = dir_.File("run.log");
        scenetest::SetSetting("DebugOn", 1);
        scenetest::SetSettingString("DebugFileName", log_.c_str());
        scenetest::SetSetting("Interactive", 0);
        ClockStartAt(testutil::Moment(2026, 6, 10, 10));
        gdiBefore_ = GdiObjectsAlive();
    }
    void TearDown() override
    {
        if (saver_.joinable())
            saver_.join();
        ClockReset();
        scenetest::ClearSettings();
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    void Run(HWND host, int mode)
    {
        ended_ = false;
        // Nothing of an earlier run may look like this one's progress.
        RunState = kEndPosted;
        MainWindow = nullptr;
        saver_ = std::thread([this, host, mode] {
            SaverMode = mode;
            RunSaverWindow(host, mode);
            gEndTick = GetTickCount();
            ended_ = true;
        });
    }
    std::string Log() const { return scenetest::ReadText(log_); }

    testutil::TempDir dir_;
    std::string log_;
    std::thread saver_;
    std::atomic<bool> ended_{false};
    LONG gdiBefore_ = 0;
};

TEST_F(SaverRun, SmallPreviewShowsTheStillPictureCentred)
{
    HWND host = MakeHost(152, 112);
    Run(host, kModePreview);
    ASSERT_TRUE(WaitFor([] { return RunState == kStillPicture; }, 10000));
    // (152 - 120) / 2 = 16 and (112 - 90) / 2 = 11 inside the host at 100, 100.
    // On a busy machine the picture reaches the screen late.
    WaitFor([] { return ScreenPixel(100 + 16 + 118, 100 + 11 + 88) == RGB(30, 140, 230); }, 30000);
    EXPECT_EQ(ScreenPixel(100 + 16 + 3, 100 + 11 + 3), RGB(30, 140, 230));
    EXPECT_EQ(ScreenPixel(100 + 16 + 118, 100 + 11 + 88), RGB(30, 140, 230));
    EXPECT_NE(ScreenPixel(100 + 16 - 2, 100 + 11 + 3), RGB(30, 140, 230));
    EXPECT_EQ(MoveImageThread, nullptr);
    EXPECT_EQ(PedestrianCount, 0);
    HWND child = FindWindowExA(host, nullptr, "ScrClass", "SaverPreview");
    ASSERT_TRUE(child);
    PostMessageA(child, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([this] { return ended_.load(); }, 5000));
    DestroyWindow(host);
    EXPECT_FALSE(testutil::FileExists(log_));
}

TEST_F(SaverRun, WidePreviewRunsTheSceneInItsHost)
{
    HWND host = MakeHost(400, 300);
    Run(host, kModePreview);
    ASSERT_TRUE(WaitFor([] { return RunState == kRunning; }, 60000)) << Log();
    // The picture's lowest 300 rows: the street band, and the work area
    // reaches above the host's top.
    WaitFor([] { return ScreenPixel(100 + 200, 100 + 150) == RGB(43, 100, 200); }, 30000);
    EXPECT_EQ(ScreenPixel(100 + 200, 100 + 150), RGB(43, 100, 200));
    EXPECT_EQ(SceneW, 400);
    EXPECT_EQ(SceneY, 300 - 348);
    DestroyWindow(host);
    EXPECT_TRUE(WaitFor([this] { return ended_.load(); }, 5000));
    EXPECT_NE(Log().find("SCR NORMAL BEENDET"), std::string::npos);
}

TEST_F(SaverRun, CloseDuringASlowLoadEndsWithinTwoSecondsAndFreesEverything)
{
    Run(nullptr, kModeFullScreen);
    ASSERT_TRUE(WaitFor([] { return RunState == kRunning; }, 60000)) << Log();
    // Watch the window's end on its own thread.
    gDestroyTick = 0;
    DWORD saverThread = GetWindowThreadProcessId(MainWindow, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, saverThread);
    ASSERT_TRUE(hook);
    // Figure 58's three large sheets take their time.
    ASSERT_TRUE(WaitFor([] { return LoadFigur(58, 0) == 1; }, 5000));
    Sleep(20);
    DWORD start = GetTickCount();
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    // The load is cut short and the animation stops at once; the window
    // system's own unmapping of the window (it waits for a window manager
    // that Xvfb does not have) is not the saver's time.
    ASSERT_TRUE(WaitFor([this] { return ended_.load(); }, 10000)) << Log();
    ASSERT_NE(gDestroyTick.load(), 0u);
    EXPECT_LT(gEndTick.load() - gDestroyTick.load(), 2000u);
    EXPECT_LT(GetTickCount() - start, 5000u);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(IsOnStage(58));
    EXPECT_FALSE(LoaderBusy);
    std::string log = Log();
    EXPECT_NE(log.find("SCR NORMAL BEENDET"), std::string::npos);
    EXPECT_NE(log.find("GDI-Objekte offen: 0\r\n"), std::string::npos);
    EXPECT_EQ(log.find("endet nicht"), std::string::npos);
}

}  // namespace
