// Help through Wine's hhctrl with our help files, and the whole mapping
// through a stand-in HtmlHelpA of the test.
#include "testutil.h"

#include <gtest/gtest.h>

#include "services/help.h"
#include "config/config.h"

#include <string>
#include <thread>
#include <vector>

namespace {

struct HelpCall {
    HWND caller;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpCall> gCalls;
HWND gAnswer = reinterpret_cast<HWND>(static_cast<uintptr_t>(1));

HWND WINAPI RecordHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
    gCalls.push_back({caller, file, command, data});
    return gAnswer;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override
    {
        gCalls.clear();
        gAnswer = reinterpret_cast<HWND>(static_cast<uintptr_t>(1));
        StrCopy(HLPpath, "C:\\Wyn");
        Language = 1;
    }
    void TearDown() override { HtmlHelpOverride = nullptr; }
};

TEST_F(Help, TopicsMapToTheirPagesInBothLanguages)
{
    HtmlHelpOverride = RecordHelp;
    struct {
        int language, topic;
        const char *file;
    } cases[] = {
        {1, 1, "C:\\Wyn\\Wyn03d.chm::html/d/index.html>main"},
        {1, 2, "C:\\Wyn\\Wyn03d.chm::html/d/allgemein.html>main"},
        {1, 4, "C:\\Wyn\\Wyn03d.chm::html/d/tagnacht.html>main"},
        {1, 5, "C:\\Wyn\\Wyn03d.chm::html/d/geschwindigkeit.html>main"},
        {1, 6, "C:\\Wyn\\Wyn03d.chm::html/d/buskommt.html>main"},
        {1, 7, "C:\\Wyn\\Wyn03d.chm::html/d/busbeschriftung.html>main"},
        {1, 8, "C:\\Wyn\\Wyn03d.chm::html/d/sbahnbeschriftung.html>main"},
        {1, 9, "C:\\Wyn\\Wyn03d.chm::html/d/lkwbeschriftung.html>main"},
        {1, 12, "C:\\Wyn\\Wyn03d.chm::html/d/mitteilung.html>main"},
        {1, 13, "C:\\Wyn\\Wyn03d.chm::html/d/sound.html>main"},
        {1, 14, "C:\\Wyn\\Wyn03d.chm::html/d/musik.html>main"},
        {1, 17, "C:\\Wyn\\Wyn03d.chm::html/d/index.html>main"},
        {1, 19, "C:\\Wyn\\Wyn03d.chm::html/d/interaktion.html>main"},
        {1, 20, "C:\\Wyn\\Wyn03d.chm::html/d/uhr.html>main"},
        {1, 21, "C:\\Wyn\\Wyn03d.chm::html/d/gehweg.html>main"},
        {1, 22, "C:\\Wyn\\Wyn03d.chm::html/d/email.html>main"},
        {1, 23, "C:\\Wyn\\Wyn03d.chm::html/d/wetter.html>main"},
        {1, 24, "C:\\Wyn\\Wyn03d.chm::html/d/sprechblasen.html>main"},
        {1, 25, "C:\\Wyn\\Wyn03d.chm::html/d/hausbeschriftung.html>main"},
        {1, 26, "C:\\Wyn\\Wyn03d.chm::html/d/tarvo.html>main"},
        {1, 0, "C:\\Wyn\\Wyn03d.chm::html/d/index.html>main"},
        {1, 100, "C:\\Wyn\\Wyn03d.chm::html/d/index.html>main"},
        {2, 2, "C:\\Wyn\\Wyn03e.chm::html/en/allgemein.html>main"},
        {2, 23, "C:\\Wyn\\Wyn03e.chm::html/en/wetter.html>main"},
        {2, 26, "C:\\Wyn\\Wyn03e.chm::html/en/index.html>main"},
        {0, 0, "C:\\Wyn\\Wyn03e.chm::html/en/index.html>main"},
        {2, 100, "C:\\Wyn\\Wyn03e.chm::html/en/index.html>main"},
    };
    for (const auto &c : cases) {
        gCalls.clear();
        Language = c.language;
        ShowHelp(nullptr, nullptr, c.topic);
        ASSERT_EQ(gCalls.size(), 1u);
        EXPECT_EQ(gCalls[0].file, c.file);
        EXPECT_EQ(gCalls[0].command, 0u);
        EXPECT_EQ(gCalls[0].caller, GetDesktopWindow());
    }
    // A trailing backslash of the folder is not doubled.
    StrCopy(HLPpath, "C:\\Wyn\\");
    gCalls.clear();
    ShowHelp(nullptr, nullptr, 2);
    EXPECT_EQ(gCalls.at(0).file, "C:\\Wyn\\Wyn03e.chm::html/en/allgemein.html>main");
}

TEST_F(Help, ControlsOfTheTableGetTheirPopups)
{
    HtmlHelpOverride = RecordHelp;
    ASSERT_EQ(kHelpPopupTable[2 * kHelpPopupPairs], 0u);
    ASSERT_EQ(kHelpPopupTable[2 * kHelpPopupPairs + 1], 0u);
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = 2054;
    info.hItemHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x777));
    ShowHelp(nullptr, &info, 4);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].caller, info.hItemHandle);
    EXPECT_EQ(gCalls[0].file, "C:\\Wyn\\Wyn03d.chm::/popups.txt");
    EXPECT_EQ(gCalls[0].command, 17u);
    const DWORD *pairs = reinterpret_cast<const DWORD *>(gCalls[0].data);
    EXPECT_EQ(pairs, kHelpPopupTable);
    Language = 2;
    info.iCtrlId = 2034;
    ShowHelp(nullptr, &info, 4);
    EXPECT_EQ(gCalls.at(1).file, "C:\\Wyn\\Wyn03e.chm::/popups_en.txt");
    // Unlisted control: no call at all.
    info.iCtrlId = 4242;
    ShowHelp(nullptr, &info, 4);
    EXPECT_EQ(gCalls.size(), 2u);
    // A notification header is no help request, whatever its code reads as.
    gCalls.clear();
    NMHDR header = {};
    header.code = static_cast<UINT>(PSN_HELP);
    header.idFrom = 2054;
    ShowHelp(nullptr, &header, 20);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].file, "C:\\Wyn\\Wyn03e.chm::html/en/uhr.html>main");
}

// Wine's hhctrl opens its window without a browser engine; the caption is
// the title of the file's "main" window type.
TEST_F(Help, OpensOurHelpFilesInBothLanguages)
{
    StrCopy(HLPpath, testutil::DistPath("").c_str());
    struct {
        int language;
        const char *caption;
    } cases[] = {{1, "Tandrovi Wendelby 3 - Hilfe"}, {2, "Tandrovi Wendelby 3 - Help"}};
    for (const auto &c : cases) {
        Language = c.language;
        ShowHelp(nullptr, nullptr, 2);
        HWND window = nullptr;
        EXPECT_TRUE(testutil::WaitFor([&] { return (window = FindWindowA("HH Parent", c.caption)) != nullptr; },
                                      20000))
            << c.caption;
        if (window)
            SendMessageA(window, WM_CLOSE, 0, 0);
    }
}

TEST_F(Help, NoHelpFileShowsTheMessage)
{
    StrCopy(HLPpath, "C:\\no such folder");
    std::thread asking([] { ShowHelp(nullptr, nullptr, 2); });
    HWND box = nullptr;
    EXPECT_TRUE(testutil::WaitFor([&] { return (box = FindWindowA("#32770", "FEHLER!")) != nullptr; }, 20000));
    char text[256] = "";
    if (box) {
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        // Wine's message box keeps its icon in control stc1.
        EXPECT_EQ(reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0)),
                  LoadIconA(nullptr, IDI_HAND));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    asking.join();
    EXPECT_STREQ(text, "Hilfedatei nicht gefunden!");
    // A stand-in that answers with no window gives the same message.
    HtmlHelpOverride = RecordHelp;
    gAnswer = nullptr;
    std::thread again([] { ShowHelp(nullptr, nullptr, 2); });
    EXPECT_TRUE(testutil::WaitFor([&] { return (box = FindWindowA("#32770", "FEHLER!")) != nullptr; }, 20000));
    if (box)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    again.join();
}

}  // namespace
