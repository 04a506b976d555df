// The built wyn03.scr in its three modes, started as Windows starts it.
#include <gtest/gtest.h>

#include "base/registry.h"
#include "crossfiles.h"
#include "settings/configdialog.h"
#include "config/config.h"
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

std::string DistFolder()
{
    std::string dist = testutil::DistPath("");
    while (!dist.empty() && dist.back() == '\\')
        dist.pop_back();
    return dist;
}

std::string ReadUserString(const char *subKey, const char *name)
{
    char text[kPathLen] = {0};
    HKEY key = RegOpenUserKey(subKey);
    if (key) {
        RegReadString(key, name, text, sizeof(text));
        RegCloseKey(key);
    }
    return text;
}

// The sheet index of a page of the table: its place among the pages built.
int SheetIndexOfRow(int row)
{
    int index = 0;
    for (int i = 0; i < row; ++i)
        index += kSettingsPages[i].proc ? 1 : 0;
    return index;
}

// Copied from the program set and installed, nothing stored yet: the notes
// can be switched on at once, the companion found beside the saver.
TEST_F(SaverProcessTest, AfterAPlainInstallTheNotesCanBeSwitchedOn)
{
    constexpr int kMessagesRow = 17;
    constexpr int kNotesOn = 1048, kNotesFolder = 2034;
    testutil::DeleteUserKey("Software\\Tandrovi");
    HANDLE process = testutil::StartProcess("\"" + testutil::DistPath("wyn03.scr") + "\"");
    ASSERT_NE(process, nullptr);
    HWND sheet = nullptr;
    ASSERT_TRUE(testutil::WaitFor([&] { return (sheet = FindSheetOwnedBy(nullptr)) != nullptr; }, 20000));
    SendMessageA(sheet, PSM_SETCURSEL, SheetIndexOfRow(kMessagesRow), 0);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(GetDlgItem(page, kNotesOn), nullptr);
    EXPECT_EQ(SendDlgItemMessageA(page, kNotesOn, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kNotesFolder)));
    EXPECT_EQ(_stricmp(ReadUserString(kNotesKey, "Path").c_str(), DistFolder().c_str()), 0)
        << ReadUserString(kNotesKey, "Path");
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitExit(process, 20000), 0);
}

// A bass.dll that this program cannot load: the other build's where this
// machine has built and run it, else a file no loader takes.
std::string ForeignBass()
{
    std::string own = testutil::ReadFileBytes(testutil::DistPath("bass.dll"));
    testutil::WriteFileBytes(crossfiles::MyDir() + "\\bass.dll", own);
    std::string theirs;
    if (crossfiles::ReadPartner("bass.dll", &theirs))
        return theirs;
    return "MZ this is no library of any architecture";
}

// After a change from the 32-bit to the 64-bit program set (or a move) the
// stored folder holds the other set: the saver's own files are the ones
// beside it, so its sound plays.
TEST_F(SaverProcessTest, AStoredFolderOfAnotherProgramSetGivesWayToTheSaversOwn)
{
    testutil::TempDir other;
    testutil::WriteFileBytes(other.File("bass.dll"), ForeignBass());
    HKEY key = RegCreateUserKey(kMainKey);
    RegWriteString(key, "HLPpath", other.Path().c_str());
    RegWriteDword(key, "Sound", 1);
    RegCloseKey(key);
    HANDLE process = testutil::StartProcess(Saver("/s"));
    ASSERT_NE(process, nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(testutil::WaitFor([&] {
        window = FindWindowA("ScrClass", "Tandrovi Wendelby 3");
        return window && testutil::ReadFileBytes(LogPath()).find("MoveImage-Thread gestartet") != std::string::npos;
    }, 30000));
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(WaitExit(process, 20000), 0);
    std::string log = testutil::ReadFileBytes(LogPath());
    EXPECT_NE(log.find("Load BASS: 0"), std::string::npos);
    EXPECT_EQ(log.find("+++ Can't load BASS.DLL"), std::string::npos) << log;
    EXPECT_EQ(log.find("+++ BASS version"), std::string::npos) << log;
    EXPECT_EQ(_stricmp(ReadUserString(kMainKey, "HLPpath").c_str(), DistFolder().c_str()), 0)
        << ReadUserString(kMainKey, "HLPpath");
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
