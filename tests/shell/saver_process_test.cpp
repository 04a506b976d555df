// The built wyn03.scr in its three modes, started as Windows starts it.
#include <gtest/gtest.h>

#include "base/registry.h"
#include "settings/configdialog.h"
#include "shell/config.h"
#include "testutil.h"

#include <string>

namespace {

class SaverProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        testutil::DeleteUserKey(kMainKey);
        HKEY key = RegCreateUserKey(kMainKey);
        RegWriteDword(key, "DebugOn", 1);
        RegWriteString(key, "DebugFileName", LogPath().c_str());
        RegCloseKey(key);
    }
    void TearDown() override { testutil::DeleteUserKey(kMainKey); }

    std::string LogPath() const { return dir_.File("wyn03.log"); }
    static std::string Saver(const std::string &args) { return "\"" + testutil::DistPath("wyn03.scr") + "\" " + args; }

    static int WaitExit(HANDLE process, DWORD ms)
    {
        bool ended = testutil::WaitFor([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, ms);
        DWORD code = 255;
        if (ended)
            GetExitCodeProcess(process, &code);
        else
            TerminateProcess(process, 255);
        CloseHandle(process);
        return ended ? static_cast<int>(code) : -1;
    }

    testutil::TempDir dir_;
};

TEST_F(SaverProcessTest, FullScreenWindowIsTopmostScreenSizedAndEndsOnEscape)
{
    HANDLE process = testutil::StartProcess(Saver("/s"));
    ASSERT_NE(process, nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(testutil::WaitFor([&] {
        window = FindWindowA("ScrClass", "Tandrovi Wendelby 3");
        return window && IsWindowVisible(window);
    }, 20000));
    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom - rc.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_POPUP, static_cast<DWORD>(WS_POPUP));

    Sleep(500);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(WaitExit(process, 20000), 0);

    std::string log = testutil::ReadFileBytes(LogPath());
    EXPECT_EQ(log.rfind(std::string(70, '-') + "\r\n", 0), 0u) << log.substr(0, 200);
    EXPECT_NE(log.find("START\r\n"), std::string::npos);
    EXPECT_NE(log.find("Stra\xDF" "enbahn:        J\r\n"), std::string::npos);
    EXPECT_NE(log.find("SCR NORMAL BEENDET\r\n" + std::string(70, '-') + "\r\n\r\n"), std::string::npos);
}

TEST_F(SaverProcessTest, UnknownSwitchEndsWithoutAnyWindow)
{
    HANDLE process = testutil::StartProcess(Saver("/x"));
    ASSERT_NE(process, nullptr);
    bool sawWindow = false;
    testutil::WaitFor([&] {
        sawWindow = sawWindow || FindWindowA("ScrClass", nullptr) != nullptr;
        return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    }, 20000);
    EXPECT_EQ(WaitExit(process, 1000), 0);
    EXPECT_FALSE(sawWindow);
    EXPECT_FALSE(testutil::FileExists(LogPath()));
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeHost(int w, int h)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PreviewHost";
    RegisterClassA(&wc);
    RECT rc = {0, 0, w, h};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowA("PreviewHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, rc.right - rc.left,
                         rc.bottom - rc.top, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST_F(SaverProcessTest, PreviewIsAChildFillingTheHost)
{
    HWND host = MakeHost(400, 300);
    ASSERT_NE(host, nullptr);
    const char *forms[] = {"/p %lu", "/p:%lu", "-P%lu", "/l %lu"};
    for (const char *form : forms) {
        char args[64];
        snprintf(args, sizeof(args), form, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
        HANDLE process = testutil::StartProcess(Saver(args));
        ASSERT_NE(process, nullptr);
        HWND child = nullptr;
        ASSERT_TRUE(testutil::WaitFor([&] {
            child = FindWindowExA(host, nullptr, "ScrClass", "SaverPreview");
            return child != nullptr;
        }, 20000)) << args;
        RECT rc;
        GetClientRect(child, &rc);
        EXPECT_EQ(rc.right, 400) << args;
        EXPECT_EQ(rc.bottom, 300) << args;
        EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
        // A close request is honoured from the third start-up tick on; ask
        // until it is.
        testutil::WaitFor([&] {
            if (IsWindow(child))
                PostMessageA(child, WM_CLOSE, 0, 0);
            return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        }, 20000);
        EXPECT_EQ(WaitExit(process, 20000), 0) << args;
    }
    DestroyWindow(host);
}

TEST_F(SaverProcessTest, PreviewOfNoWindowEndsQuietly)
{
    for (const char *args : {"/p", "/p 1234567"}) {
        HANDLE process = testutil::StartProcess(Saver(args));
        ASSERT_NE(process, nullptr);
        EXPECT_EQ(WaitExit(process, 20000), 0) << args;
    }
}

struct SheetSearch {
    HWND owner, found;
};

BOOL CALLBACK MatchSheet(HWND w, LPARAM lp)
{
    auto *s = reinterpret_cast<SheetSearch *>(lp);
    char cls[64] = {0};
    GetClassNameA(w, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0 && GetWindow(w, GW_OWNER) == s->owner && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindSheetOwnedBy(HWND owner)
{
    SheetSearch s = {owner, nullptr};
    EnumWindows(MatchSheet, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

TEST_F(SaverProcessTest, SettingsSheetIsOwnedByTheGivenWindow)
{
    HWND owner = MakeHost(200, 100);
    char args[64];
    snprintf(args, sizeof(args), "/c:%lu", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(owner)));
    HANDLE process = testutil::StartProcess(Saver(args));
    ASSERT_NE(process, nullptr);
    HWND sheet = nullptr;
    ASSERT_TRUE(testutil::WaitFor([&] { return (sheet = FindSheetOwnedBy(owner)) != nullptr; }, 20000));
    char title[256] = {0};
    GetWindowTextA(sheet, title, sizeof(title));
    EXPECT_NE(strstr(title, "Tandrovi Wendelby 3"), nullptr) << title;
    HWND tabs = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    // The tab control lives in the other process, so only its page count can be
    // asked: one tab for each page the sheet builds.
    int built = 0;
    for (const SettingsPage &page : kSettingsPages)
        built += page.proc ? 1 : 0;
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), built);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitExit(process, 20000), 0);
    DestroyWindow(owner);
}

TEST_F(SaverProcessTest, EmptyCommandLineOpensTheSettingsWithoutOwner)
{
    HANDLE process = testutil::StartProcess("\"" + testutil::DistPath("wyn03.scr") + "\"");
    ASSERT_NE(process, nullptr);
    HWND sheet = nullptr;
    ASSERT_TRUE(testutil::WaitFor([&] { return (sheet = FindSheetOwnedBy(nullptr)) != nullptr; }, 20000));
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitExit(process, 20000), 0);
}

}  // namespace
