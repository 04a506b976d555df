// The screensaver program built on the test pictures, started the way the
// display settings start it, watched through its log and the screen.
#include "saver_process.h"

namespace {

using namespace scenetest;
using testutil::WaitFor;

TEST_F(SaverProcess, StartsStepByStepShowsTheSceneAndEndsOnEscape)
{
    RunToScene();
    EXPECT_TRUE(MutexExists());
    std::string log = Log();
    size_t at = log.find("START");
    for (int step = 0; step <= 8; ++step) {
        std::string line = "-- " + std::to_string(step) + " --";
        size_t next = log.find(line, at);
        ASSERT_NE(next, std::string::npos) << line;
        at = next;
    }
    EXPECT_NE(log.find("Sommer, Tag"), std::string::npos);
    EXPECT_NE(log.find("Hintergrund: HG_01_01"), std::string::npos);
    EXPECT_NE(log.find("CreateScreen() - OK"), std::string::npos);
    EXPECT_NE(log.find("StartFigur() - Ende"), std::string::npos);
    // On a busy machine the first frames reach the screen late.
    WaitFor([] { return ScreenShot().At(116 + 2, 646 + 5) == RGB(10, 1, 1); }, 30000);
    ScreenShot shot;
    ASSERT_EQ(shot.w, 1280);
    // The 1280 x 1024 background fills the screen: the sky band on top, the
    // street at the bottom, the digital clock showing 10.
    EXPECT_EQ(shot.At(640, 100), RGB(40, 100, 200));
    EXPECT_EQ(shot.At(640, 1000), RGB(43, 100, 200));
    EXPECT_EQ(shot.At(110 + 2, 646 + 5), RGB(30, 1, 1));
    EXPECT_EQ(shot.At(116 + 2, 646 + 5), RGB(10, 1, 1));
    EXPECT_EQ(shot.At(103 + 1, 1024 - 389 + 1), RGB(200, 200, 0));  // the housing
    EndCleanly();
}

TEST_F(SaverProcess, EveryClockDesignShowsTheTime)
{
    struct { int design; int x, y; COLORREF colour; } cases[] = {
        {1, 107 + 2, 631 + 2, RGB(255, 255, 255)},      // the dial's rim
        {2, 19 + (171 - 168) + 3, 753 + 70 + 10, RGB(1, 1, 30)},  // large "1" of 10
        {2, 19 + (171 - 168) + 15 + 3, 753 + 70 + 10, RGB(1, 1, 10)},  // large "0"
        {3, 19 + (55 - 24) + 2, 753 + 65 + 2, RGB(255, 255, 255)},  // dial in the pillar
    };
    for (auto c : cases) {
        scenetest::SetSetting("Uhr", c.design);
        RunToScene();
        // On a busy machine the first frames reach the screen late.
        WaitFor([&] { return ScreenShot().At(c.x, c.y) == c.colour; }, 10000);
        ScreenShot shot;
        EXPECT_EQ(shot.At(c.x, c.y), c.colour) << "design " << c.design;
        if (c.design == 1 || c.design == 3) {
            // Hands on the dial: not all of it is white.
            int cx = c.x - 2 + 16, cy = c.y - 2 + 16;
            EXPECT_NE(shot.At(cx, cy), RGB(255, 255, 255)) << "design " << c.design;
        }
        EndCleanly();
        CloseHandle(process_);
        process_ = nullptr;
    }
}

TEST_F(SaverProcess, CloseIsRefusedInTheFirstTwoTicksAndAnExistingMutexDoesNotStopIt)
{
    HANDLE held = CreateMutexA(nullptr, FALSE, kMutexName);
    Start(TestSaver(), "/s");
    ASSERT_TRUE(WaitFor([&] { return SaverWindow() != nullptr; }, 10000));
    Post(WM_CLOSE);
    // A big mouse move before the scene runs does not end it either.
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(900, 900));
    ASSERT_TRUE(WaitLog("MoveImage-Thread gestartet")) << Log();
    std::string log = Log();
    EXPECT_TRUE(log.find("WM_CLOSE (s=0)") != std::string::npos || log.find("WM_CLOSE (s=1)") != std::string::npos)
        << log;
    EXPECT_TRUE(Running());
    CloseHandle(held);
    EndCleanly();
}

TEST_F(SaverProcess, WithoutItsMutexItShowsBlackAndClosesOnInput)
{
    // An object of another kind holds the name: the mutex cannot be made.
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, kMutexName);
    ASSERT_TRUE(squatter);
    Start(TestSaver(), "/s");
    // A hidden window would stay until logoff with the saver marked running.
    ASSERT_TRUE(WaitFor([&] { HWND w = SaverWindow(); return w && IsWindowVisible(w); }, 10000));
    WaitFor([] { return ScreenShot().At(640, 512) == RGB(0, 0, 0); }, 5000);
    ScreenShot shot;
    EXPECT_EQ(shot.At(640, 512), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(20, 20), RGB(0, 0, 0));
    EXPECT_TRUE(Running());
    // The first move marks the pointer, the second closes.
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 320));
    EXPECT_EQ(WaitExit(5000), 0);
    // Nothing of the start-up ran.
    EXPECT_FALSE(LogHas("-- 0 --"));
    CloseHandle(squatter);
}

TEST_F(SaverProcess, MouseMovesOfNinePixelsEndItEightDoNot)
{
    RunToScene();
    // The first move after the start only marks where the pointer is.
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(308, 308));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    Sleep(700);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(LogHas("Maus bewegt"));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 309));
    EXPECT_EQ(WaitExit(5000), 0);
    EXPECT_TRUE(LogHas("Maus bewegt..."));
    EXPECT_TRUE(LogHas("SCR NORMAL BEENDET"));
}

TEST_F(SaverProcess, InteractiveModeKeepsRunningWhenTheMouseMoves)
{
    scenetest::SetSetting("Interactive", 1);
    RunToScene();
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(400, 400));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    Sleep(700);
    EXPECT_TRUE(Running());
    EndCleanly();
}

void SendKey(WORD key, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

TEST_F(SaverProcess, ControlHeldDisablesEveryKeyEscapeIncluded)
{
    RunToScene();
    HWND window = SaverWindow();
    SetForegroundWindow(window);
    Sleep(300);
    SendKey(VK_CONTROL, false);
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    SendKey(VK_CONTROL, true);
    Sleep(800);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(LogHas("ESC-Taste"));
    // The same keys without Control end it.
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    EXPECT_EQ(WaitExit(5000), 0);
    EXPECT_TRUE(LogHas("ESC-Taste gedr"));
}

// A host window like the one the display settings give the preview.
class Host {
public:
    Host(int w, int h)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SceneTestHost";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "SceneTestHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, w, h,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Host() { Destroy(); }
    void Destroy()
    {
        if (window_)
            DestroyWindow(window_);
        window_ = nullptr;
    }
    HWND get() const { return window_; }
    HWND Child() const { return FindWindowExA(window_, nullptr, "ScrClass", "SaverPreview"); }

private:
    HWND window_ = nullptr;
};

// What the preview draws is checked in the program's own process (the run
// tests): a child window of another process is not captured from the screen
// here. This checks what the process does.
TEST_F(SaverProcess, SmallPreviewKeepsNoLogNoMutexAndClosesAtOnce)
{
    Host host(152, 112);
    Start(TestSaver(), "/p " + std::to_string(reinterpret_cast<intptr_t>(host.get())));
    ASSERT_TRUE(WaitFor([&] { return host.Child() != nullptr; }, 10000));
    WaitFor([] { return false; }, 1500);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(MutexExists());
    EXPECT_FALSE(testutil::FileExists(log_));
    PostMessageA(host.Child(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitExit(5000), 0);
    EXPECT_FALSE(testutil::FileExists(log_));
}

TEST_F(SaverProcess, PreviewEndsWithItsHost)
{
    for (int width : {152, 400}) {
        Host host(width, 300);
        Start(TestSaver(), "/p " + std::to_string(reinterpret_cast<intptr_t>(host.get())));
        ASSERT_TRUE(WaitFor([&] { return host.Child() != nullptr; }, 10000));
        if (width >= 320)
            ASSERT_TRUE(WaitLog("MoveImage-Thread gestartet")) << Log();
        else
            WaitFor([] { return false; }, 800);
        host.Destroy();
        EXPECT_EQ(WaitExit(5000), 0) << width;
        CloseHandle(process_);
        process_ = nullptr;
    }
    EXPECT_TRUE(LogHas("SCR NORMAL BEENDET"));
    EXPECT_TRUE(LogHas("GDI-Objekte offen: 0\r\n"));
}

TEST_F(SaverProcess, FailedStepShowsTheMemoryErrorScreen)
{
    // This program has no large digit strip: step 4 fails.
    Start(ErrorSaver(), "/s");
    ASSERT_TRUE(WaitLog("-- 4 --")) << Log();
    POINT first = {0, 0}, second = {0, 0};
    ASSERT_TRUE(WaitFor([&] { return ScreenShot().FindLast(RGB(20, 250, 0), &first); }, 30000))
        << "SPEICHER_01 not on screen";
    EXPECT_TRUE(WaitFor(
        [&] { return ScreenShot().FindLast(RGB(20, 250, 0), &second) && (first.x != second.x || first.y != second.y); },
        30000))
        << "the picture does not move";
    EXPECT_FALSE(LogHas("-- 5 --"));
    Post(WM_CLOSE);
    EXPECT_EQ(WaitExit(5000), 0);
    EXPECT_TRUE(LogHas("GDI-Objekte offen: 0\r\n"));
}

}  // namespace
