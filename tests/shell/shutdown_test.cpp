// The end of a run whose animation thread hangs in a mail call: the saver
// ends without waiting for it and leaves the mail library alone beneath it.
// A program of its own, since what the hung thread holds stays to the end of
// the process.
#include <gtest/gtest.h>

#include "base/now.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene_fixture.h"
#include "services/mail.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

#include <atomic>
#include <thread>

namespace {

using testutil::WaitFor;

constexpr DWORD kStartWaitMs = 60000;
constexpr DWORD kHangWaitMs = 30000;

// A mailbox whose count hangs once it is asked from the scene's minute step,
// until the test lets it go.
std::atomic<bool> gHangArmed{false}, gHanging{false}, gLoggedOff{false};
HANDLE gRelease = nullptr;

ULONG WINAPI Logon(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE session)
{
    *session = 1;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI Logoff(LHANDLE, ULONG_PTR, FLAGS, ULONG)
{
    gLoggedOff = true;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI FindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR)
{
    if (gHangArmed) {
        gHanging = true;
        WaitForSingleObject(gRelease, kHangWaitMs);
    }
    return MAPI_E_NO_MESSAGES;
}

ULONG WINAPI NotSupported() { return MAPI_E_NOT_SUPPORTED; }

const MapiEntries &HangingMapi()
{
    static const FARPROC unused = reinterpret_cast<FARPROC>(reinterpret_cast<void *>(NotSupported));
    static const MapiEntries entries = {Logon,  Logoff, unused, unused, FindNext, unused,
                                        unused, unused, unused, unused, unused,   unused};
    return entries;
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShutdownHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "ShutdownHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

class SaverShutdown : public ::testing::Test {
protected:
    void SetUp() override
    {
        log_ = dir_.File("run.log");
        scenetest::UseTestArt();
        scenetest::ClearSettings();
        scenetest::SetSetting("DebugOn", 1);
        scenetest::SetSettingString("DebugFileName", log_.c_str());
        scenetest::SetSetting("Interactive", 0);
        scenetest::SetSetting("NoMailCheck", 0);
        gRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        UseMapiEntries(&HangingMapi());
        ClockStartAt(testutil::Moment(2026, 6, 10, 10));
    }
    // Whatever failed, the hung call is let go and the run is ended.
    void TearDown() override
    {
        SetEvent(gRelease);
        if (host_ && IsWindow(host_))
            DestroyWindow(host_);
        if (saver_.joinable())
            saver_.join();
        UseMapiEntries(nullptr);
        ClockReset();
        scenetest::ClearSettings();
    }
    void Run()
    {
        host_ = MakeHost();
        RunState = kEndPosted;
        saver_ = std::thread([this] {
            SaverMode = kModePreview;
            RunSaverWindow(host_, kModePreview);
            ended_ = true;
        });
    }
    std::string Log() const { return scenetest::ReadText(log_); }

    testutil::TempDir dir_;
    std::string log_;
    HWND host_ = nullptr;
    std::thread saver_;
    std::atomic<bool> ended_{false};
};

TEST_F(SaverShutdown, AMailCallThatHangsKeepsTheMailLibraryLoggedOn)
{
    ASSERT_GT(GetProfileIntA("Mail", "MAPI", 0), 0) << "the test prefix names a MAPI provider";
    Run();
    ASSERT_TRUE(WaitFor([] { return RunState == kRunning; }, kStartWaitMs)) << Log();
    ASSERT_EQ(MailCheckOn, 1) << Log();
    // The next minute's step asks for the count, and the call hangs.
    gHangArmed = true;
    ClockStartAt(testutil::Moment(2026, 6, 10, 10, 5));
    ASSERT_TRUE(WaitFor([] { return gHanging.load(); }, kHangWaitMs)) << Log();

    DestroyWindow(host_);
    EXPECT_TRUE(WaitFor([this] { return ended_.load(); }, kStartWaitMs));
    EXPECT_FALSE(gLoggedOff) << "logged off beneath the hung call";
    EXPECT_NE(Log().find("+++ MoveImage() endet nicht"), std::string::npos) << Log();

    // The call returns at last, and the animation thread ends.
    SetEvent(gRelease);
    if (MoveImageThread) {
        EXPECT_EQ(WaitForSingleObject(MoveImageThread, kHangWaitMs), WAIT_OBJECT_0);
    }
}

}  // namespace
