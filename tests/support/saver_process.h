// The screensaver program built on the test pictures, started as a process
// the way the display settings start it, watched through its log and the
// screen.
#pragma once

#include <gtest/gtest.h>

#include "scene_fixture.h"
#include "config/config.h"
#include "testutil.h"

#include <string>
#include <vector>

namespace scenetest {

using testutil::WaitFor;

inline const char kMutexName[] = "Tandrovi_Wyn2SCR_Mutex";

inline std::string TestSaver() { return scenetest::WindowsPath(WYN_TEST_SAVER_UNIX); }
inline std::string ErrorSaver() { return scenetest::WindowsPath(WYN_ERROR_SAVER_UNIX); }

inline bool MutexExists()
{
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
    if (!m)
        return false;
    CloseHandle(m);
    return true;
}

// The whole screen as COLORREFs, top row first.
struct ScreenShot {
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    ScreenShot()
    {
        HDC screen = GetDC(nullptr);
        w = GetDeviceCaps(screen, HORZRES);
        h = GetDeviceCaps(screen, VERTRES);
        px = testutil::GrabPixels(screen, 0, 0, w, h);
        ReleaseDC(nullptr, screen);
    }
    COLORREF At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    // The last pixel of that colour in reading order.
    bool FindLast(COLORREF c, POINT *where) const
    {
        for (int y = h - 1; y >= 0; --y)
            for (int x = w - 1; x >= 0; --x)
                if (At(x, y) == c) {
                    *where = {x, y};
                    return true;
                }
        return false;
    }
};

class SaverProcess : public ::testing::Test {
protected:
    static constexpr DWORD kSaverGoneMs = 30000;

    void SetUp() override
    {
        // A saver of the previous test that was killed may still be on its
        // way out under a loaded machine; a new one would find its mutex and
        // end at once.
        ASSERT_TRUE(WaitFor([] { return !MutexExists(); }, kSaverGoneMs)) << "another saver still holds the mutex";
        scenetest::ClearSettings();
        log_ = dir_.File("scene.log");
        scenetest::SetSetting("DebugOn", 1);
        scenetest::SetSettingString("DebugFileName", log_.c_str());
        scenetest::SetSetting("NoMailCheck", 1);
        scenetest::SetSetting("Interactive", 0);
        // A summer morning at 10:07, which the program's clock runs on from.
        SetEnvironmentVariableA("WYN_CLOCK", "2026-06-10 10:07:00");
    }
    void TearDown() override
    {
        if (process_) {
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
                TerminateProcess(process_, 1);
                WaitForSingleObject(process_, kSaverGoneMs);
            }
            CloseHandle(process_);
            WaitFor([] { return !MutexExists(); }, kSaverGoneMs);
        }
        SetEnvironmentVariableA("WYN_CLOCK", nullptr);
        scenetest::ClearSettings();
    }

    void Start(const std::string &program, const std::string &args)
    {
        process_ = testutil::StartProcess("\"" + program + "\" " + args);
        ASSERT_TRUE(process_);
    }
    std::string Log() const { return scenetest::ReadText(log_); }
    bool LogHas(const std::string &text) const { return Log().find(text) != std::string::npos; }
    bool WaitLog(const std::string &text, DWORD ms = 20000)
    {
        return WaitFor([&] { return LogHas(text); }, ms);
    }
    bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // Waits for the end; the exit code, or -1 when it did not end in time.
    int WaitExit(DWORD ms)
    {
        bool ended = WaitFor([&] { return !Running(); }, ms);
        if (!ended)
            return -1;
        DWORD code = 1;
        GetExitCodeProcess(process_, &code);
        return static_cast<int>(code);
    }
    HWND SaverWindow() const { return FindWindowA("ScrClass", nullptr); }
    void Post(UINT message, WPARAM w = 0, LPARAM l = 0) { PostMessageA(SaverWindow(), message, w, l); }
    void RunToScene()
    {
        Start(TestSaver(), "/s");
        ASSERT_TRUE(WaitLog("MoveImage-Thread gestartet")) << Log();
    }
    void EndCleanly()
    {
        Post(WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(WaitExit(5000), 0);
        std::string log = Log();
        EXPECT_NE(log.find("ESC-Taste gedr"), std::string::npos);
        EXPECT_NE(log.find("GDI-Objekte offen: 0\r\n"), std::string::npos) << log.substr(log.size() > 600 ? log.size() - 600 : 0);
        size_t end = log.rfind("SCR NORMAL BEENDET");
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(log.find_first_not_of("-\r\n", log.find('\n', end)), std::string::npos) << "lines after the end";
        EXPECT_FALSE(MutexExists());
    }

    testutil::TempDir dir_;
    std::string log_;
    HANDLE process_ = nullptr;
};

}  // namespace scenetest
