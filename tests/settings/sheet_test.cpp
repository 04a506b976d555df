// The sheet as a whole: every page, Cancel, OK, GDI balance, the language
// rebuild, help, and the settings mode as a process.
#include "sheet_fixture.h"

#include "base/gdiutil.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "config/config.h"

#include <set>

namespace sheettest {
namespace {

constexpr DWORD kBoxWaitMs = 20000;

// Rows of the pages this sheet builds: every row with a procedure.
std::vector<int> BuiltRows()
{
    std::vector<int> rows;
    for (int row = 0; row < kSettingsPageRows; ++row) {
        if (kSettingsPages[row].proc)
            rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> TextFiles(const std::string &folder, const char *pattern)
{
    std::vector<std::string> out;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do
        out.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return out;
}

std::string TempFolderPath()
{
    char path[MAX_PATH];
    GetTempPathA(sizeof(path), path);
    return path;
}

TEST_F(SheetTest, PageTableHoldsTheBuiltPagesInOrder)
{
    const int expected[][2] = {{0, 121},  {1, 134},  {2, 141},  {3, 146},  {4, 120},  {5, 131},
                               {6, 142},  {7, 144},  {8, 149},  {9, 137},  {10, 140}, {11, 138},
                               {12, 136}, {13, 135}, {14, 143}, {15, 145}, {16, 114}, {17, 132}};
    std::vector<int> rows = BuiltRows();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], expected[i][0]);
        EXPECT_EQ(kSettingsPages[rows[i]].templateId, expected[i][1]);
        // Every built page has its template in the program.
        EXPECT_TRUE(FindResourceA(nullptr, MAKEINTRESOURCEA(expected[i][1]), reinterpret_cast<LPCSTR>(RT_DIALOG)));
    }
}

TEST_F(SheetTest, CancelAfterEveryPageLeavesEverythingAsItWas)
{
    PutDword("Speed", 33);
    PutString("DayNight", "7,22,11,4");
    testutil::WriteFileBytes(dir_->File("music.m3u"), "a.mp3\r\n");
    auto before = RegistrySnapshot();
    std::string speech = testutil::ReadFileBytes(dir_->File("sb.txt"));
    auto tempsBefore = TextFiles(TempFolderPath(), "SB*.tmp");
    std::vector<std::string> titles;
    bool applyEverEnabled = false;
    int result = RunSheet([&](HWND sheet) {
        EXPECT_EQ(PageCount(sheet), static_cast<int>(BuiltRows().size()));
        EXPECT_EQ(TextFiles(TempFolderPath(), "SB*.tmp").size(), tempsBefore.size() + 1);
        for (int i = 0; i < PageCount(sheet); ++i) {
            HWND page = ShowPage(sheet, i);
            ASSERT_TRUE(page) << "page " << i;
            EXPECT_TRUE(Poll([&] { return IsWindowVisible(page) != FALSE; }, 5000)) << "page " << i;
            applyEverEnabled |= ApplyEnabled(sheet);
            titles.push_back(TabTitle(sheet, i));
        }
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(applyEverEnabled);
    EXPECT_EQ(RegistrySnapshot(), before);
    EXPECT_EQ(testutil::ReadFileBytes(dir_->File("sb.txt")), speech);
    EXPECT_EQ(testutil::ReadFileBytes(dir_->File("music.m3u")), "a.mp3\r\n");
    EXPECT_EQ(TextFiles(TempFolderPath(), "SB*.tmp"), tempsBefore);
    std::vector<std::string> german = {"Allgemein", "Geschwindigkeit", "Interaktion", "Sprechblasen",
                                       "Tag/Nacht...", "Fahrplan", "Uhr", "Gehweg", "Haus-Beschriftung",
                                       "Bus-Design", "Straßenbahn", "LKW-Beschriftung", "Sound", "Musik",
                                       "E-Mail", "Wetter", "Tarvo", "Mitteilungen"};
    EXPECT_EQ(titles, german);
}

TEST_F(SheetTest, PagingTwentyTimesLeavesNoGdiObjectBehind)
{
    auto pageThrough = [](int rounds) {
        return [rounds](HWND sheet) {
            for (int r = 0; r < rounds; ++r) {
                for (int i = 0; i < PageCount(sheet); ++i)
                    ShowPage(sheet, i);
            }
        };
    };
    // A first opening lets the system make what it keeps for the process.
    RunSheet(pageThrough(1));
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    LONG ownBefore = GdiObjectsAlive();
    RunSheet(pageThrough(20));
    EXPECT_EQ(GdiObjectsAlive(), ownBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
}

TEST_F(SheetTest, OkAppliesEveryPageThatWasCreated)
{
    RunSheet([&](HWND sheet) {
        for (int i = 0; i < PageCount(sheet); ++i)
            ShowPage(sheet, i);
        PressButton(sheet, PSBTN_OK);
    });
    // Each page's Apply ran: their values are stored (defaults here).
    EXPECT_EQ(GetDword("Speed"), 20u);
    EXPECT_EQ(GetString("DayNight"), "8,20,12,3");
    EXPECT_EQ(GetString("BusKommt"), "4,6,12,1");
    EXPECT_EQ(GetDword("NoMailCheck"), 1u);
    EXPECT_EQ(GetDword("Language"), 1u);
    EXPECT_FALSE(HasValue("DebugTab"));
}

TEST_F(SheetTest, EnglishWithApplyRetitlesEveryTabAndKeepsTheSheetOpen)
{
    SetLanguageText(true, "TABS", "SPEED", std::string(45, 'S').c_str());
    std::vector<std::string> titles;
    HWND shownAfter = nullptr;
    bool stillOpen = false, everyPageOpens = true;
    RunSheet([&](HWND sheet) {
        HWND general = ShowPage(sheet, 0);
        ShowPage(sheet, 1);
        SelectCombo(general, 2022, 0);
        PressButton(sheet, PSBTN_APPLYNOW);
        // The rebuild runs once the Apply has returned.
        Poll([&] { return TabTitle(sheet, 0) == "General"; }, 10000);
        stillOpen = IsWindow(sheet) && IsWindowVisible(sheet);
        shownAfter = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        EXPECT_EQ(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(shownAfter), 0), 0);
        for (int i = 0; i < PageCount(sheet); ++i)
            titles.push_back(TabTitle(sheet, i));
        for (int i = 0; i < PageCount(sheet); ++i)
            everyPageOpens &= ShowPage(sheet, i) != nullptr;
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(everyPageOpens);
    std::vector<std::string> english;
    for (int row : BuiltRows()) {
        char text[256];
        GetPrivateProfileStringA("TABS", kSettingsPages[row].tabKey, "?", text, sizeof(text),
                                 LanguageFile(true).c_str());
        english.push_back(std::string(text).substr(0, kTabTitleMax));
    }
    EXPECT_EQ(titles, english);
    EXPECT_EQ(titles[1], std::string(39, 'S'));
    EXPECT_EQ(GetDword("Language"), 0u);
}

TEST_F(SheetTest, EnglishWithOkClosesAndTheNextOpeningIsEnglish)
{
    RunSheet([&](HWND sheet) {
        SelectCombo(ShowPage(sheet, 0), 2022, 0);
        PressButton(sheet, PSBTN_OK);
    });
    std::string first;
    RunSheet([&](HWND sheet) { first = TabTitle(sheet, 0); });
    EXPECT_EQ(first, "General");
}

TEST_F(SheetTest, UnchangedLanguagePostsNoRebuild)
{
    bool samePages = false;
    RunSheet([&](HWND sheet) {
        HWND general = ShowPage(sheet, 0);
        HWND speed = ShowPage(sheet, 1);
        SelectCombo(general, 2022, 1);
        PressButton(sheet, PSBTN_APPLYNOW);
        // Give a rebuild every chance to happen.
        Sleep(500);
        SendMessageA(sheet, WM_NULL, 0, 0);
        samePages = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0)) == general &&
                    reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, 1, 0)) == speed;
    });
    EXPECT_TRUE(samePages);
}

TEST_F(SheetTest, ShiftClickOnTheTitleRebuildsAndFlipsDebugTabUnstored)
{
    DWORD sheetThread = GetCurrentThreadId();
    int debugAfter = -1;
    bool rebuilt = false;
    RunSheet([&](HWND sheet) {
        HWND general = ShowPage(sheet, 0);
        SetForegroundWindow(sheet);
        AttachThreadInput(GetCurrentThreadId(), sheetThread, TRUE);
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = VK_SHIFT;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &down, sizeof(INPUT));
        Poll([&] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 2000);
        // The sheet's thread sees the key once it has read its input.
        SendMessageA(sheet, WM_NULL, 0, 0);
        Sleep(200);
        SendMessageA(general, WM_COMMAND, MAKEWPARAM(2141, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(general, 2141)));
        SendInput(1, &up, sizeof(INPUT));
        AttachThreadInput(GetCurrentThreadId(), sheetThread, FALSE);
        rebuilt = Poll([&] { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0)) != general; },
                       10000);
        debugAfter = DebugTab;
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(rebuilt);
    EXPECT_EQ(debugAfter, 1);
    EXPECT_FALSE(HasValue("DebugTab"));
}

TEST_F(SheetTest, HelpWithoutHelpFileTellsSoOwnedByThePage)
{
    DWORD sheetThread = GetCurrentThreadId();
    SeenBox box;
    HWND page = nullptr, sheetWindow = nullptr;
    bool unlistedQuiet = false;
    RunSheet([&](HWND sheet) {
        page = ShowPage(sheet, 1);
        sheetWindow = GetAncestor(page, GA_ROOT);
        // Help on a control without a popup does nothing at all.
        HELPINFO info = {};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = 2052;
        info.hItemHandle = GetDlgItem(page, 2052);
        SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        SeenBox none;
        unlistedQuiet = !DismissBox(sheetThread, &none, 500);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_HELP, 0);
        EXPECT_TRUE(DismissBox(sheetThread, &box, kBoxWaitMs));
    });
    EXPECT_TRUE(unlistedQuiet);
    EXPECT_EQ(box.text, "Hilfedatei nicht gefunden!");
    EXPECT_EQ(box.caption, "FEHLER!");
    // A message box asked for by a child window is owned by its top-level window.
    EXPECT_EQ(box.owner, sheetWindow);
    EXPECT_NE(box.owner, nullptr);
}

TEST_F(SheetTest, OldCommonControlsEndTheModeWithAMessage)
{
    DWORD sheetThread = GetCurrentThreadId();
    Language = 1;
    auto real = CommonControlsVersion;
    CommonControlsVersion = [] { return static_cast<DWORD>(0x50046); };
    SeenBox box;
    std::thread driver([&] { DismissBox(sheetThread, &box, kBoxWaitMs); });
    int result = DoConfigDialog(nullptr);
    driver.join();
    CommonControlsVersion = real;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box.caption, "FEHLER!");
    EXPECT_NE(box.text.find("Internet Explorer"), std::string::npos);
}

}  // namespace
}  // namespace sheettest

namespace sheettest {
namespace {

struct SheetSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindSheetOf(HWND window, LPARAM param)
{
    auto *search = reinterpret_cast<SheetSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof(caption));
    if (pid == search->process && IsWindowVisible(window) && strstr(caption, "Tandrovi Wendelby 3")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The settings mode as the system starts it: the program with "/c", with
// "/c:N" and a host window, and with no switch at all; Cancel ends it.
TEST_F(SheetTest, ProgramOpensTheSheetAndCancelEndsIt)
{
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    std::string scr = testutil::DistPath("wyn03.scr");
    struct Case {
        std::string args;
        HWND owner;
    } cases[] = {{" /c", nullptr},
                 {" /c:" + std::to_string(reinterpret_cast<uintptr_t>(host)), host},
                 {"", nullptr}};
    for (const Case &c : cases) {
        HANDLE process = testutil::StartProcess("\"" + scr + "\"" + c.args);
        ASSERT_TRUE(process) << c.args;
        SheetSearch search = {GetProcessId(process), nullptr};
        bool shown = testutil::WaitFor([&] {
            search.found = nullptr;
            EnumWindows(FindSheetOf, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }, 60000);
        EXPECT_TRUE(shown) << c.args;
        if (shown) {
            if (c.owner) {
                EXPECT_EQ(GetWindow(search.found, GW_OWNER), c.owner) << c.args;
            }
            PostMessageA(search.found, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        }
        bool ended = testutil::WaitFor([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 30000);
        EXPECT_TRUE(ended) << c.args;
        if (!ended)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
    DestroyWindow(host);
}

}  // namespace
}  // namespace sheettest
