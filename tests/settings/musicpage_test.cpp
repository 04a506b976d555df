// The music page: the preview on our audio library and the playlist edits.
#include "sheet_fixture.h"

#include "audiotest.h"
#include "services/music.h"
#include "services/sound.h"
#include "settings/pagekit.h"
#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kMusicRow = 13;
constexpr DWORD kPlayWaitMs = 5000;

// What the stand-in of the file dialog hands back, in the dialog's form.
std::string gChosen;

BOOL WINAPI ChooseFiles(OPENFILENAMEA *ofn)
{
    if (gChosen.empty() || gChosen.size() + 1 > ofn->nMaxFile)
        return FALSE;
    memcpy(ofn->lpstrFile, gChosen.data(), gChosen.size());
    ofn->lpstrFile[gChosen.size()] = '\0';
    return TRUE;
}

class MusicPageTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        OpenFileDialog = ChooseFiles;
        gChosen.clear();
    }
    void TearDown() override
    {
        OpenFileDialog = GetOpenFileNameA;
        SheetTest::TearDown();
    }

    std::string Wav(const char *name, double seconds)
    {
        auto frames = audiotest::Tone(22050, 1, seconds, 440, 12000);
        testutil::WriteFileBytes(dir_->File(name), audiotest::MakeWav(22050, 1, 16, frames));
        return dir_->File(name);
    }
    // A playlist entry: the playlist keeps only files that are there.
    std::string Song(const std::string &name)
    {
        testutil::WriteFileBytes(dir_->File(name), "not music");
        return dir_->File(name);
    }
    void WritePlaylist(const std::vector<std::string> &lines)
    {
        std::string text;
        for (const std::string &l : lines)
            text += l + "\r\n";
        testutil::WriteFileBytes(dir_->File("music.m3u"), text);
    }
    std::string PlaylistFile() { return testutil::ReadFileBytes(dir_->File("music.m3u")); }
};

int Count(HWND page) { return static_cast<int>(SendDlgItemMessageA(page, 2075, LB_GETCOUNT, 0, 0)); }
void Select(HWND page, int line) { SendDlgItemMessageA(page, 2075, LB_SETCURSEL, line, 0); }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
bool PreviewRuns() { return MusicStarting != 0 || IsMusicPlaying(); }
int MusicLevel()
{
    DWORD level = BassApi[kMusicInstance].ChannelGetLevel ? BassApi[kMusicInstance].ChannelGetLevel(MusicStream) : 0;
    return level == 0xFFFFFFFF ? 0 : static_cast<int>(level & 0xFFFF);
}

TEST_F(MusicPageTest, PreviewFollowsThePlaybackAndTheVolume)
{
    ASSERT_TRUE(CopyFileA(testutil::DistPath("bass.dll").c_str(), dir_->File("bass.dll").c_str(), FALSE));
    WritePlaylist({Wav("short.wav", 0.3), Song("bad.wav"), Wav("long.wav", 20)});
    PutDword("MP3volume", 1000);
    std::string playing, afterEnd, afterBad, afterDelete;
    int loud = 0, quiet = 99999, linesLeft = 0;
    bool stoppedFirst = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Select(page, 0);
        Click(page, 2071);
        playing = ControlText(page, 2071);
        // The page sees the end of the preview by itself: no click, no
        // other message brings the button back.
        Poll([] { return !PreviewRuns(); }, kPlayWaitMs);
        Poll([&] { return ControlText(page, 2071) == "&Anhören"; }, kPlayWaitMs);
        afterEnd = ControlText(page, 2071);

        Select(page, 1);
        Click(page, 2071);
        Poll([&] { return ControlText(page, 2071) == "&Anhören"; }, kPlayWaitMs);
        afterBad = ControlText(page, 2071);

        Select(page, 2);
        Click(page, 2071);
        Poll([&] { return (loud = MusicLevel()) > 2000; }, kPlayWaitMs);
        MoveSlider(page, 2078, 100);
        Poll([&] { return (quiet = MusicLevel()) < loud / 4; }, kPlayWaitMs);
        Click(page, 2069);
        stoppedFirst = !IsMusicPlaying();
        afterDelete = ControlText(page, 2071);
        linesLeft = Count(page);
    });
    EXPECT_EQ(playing, "S&top");
    EXPECT_EQ(afterEnd, "&Anhören");
    EXPECT_EQ(afterBad, "&Anhören");
    EXPECT_GT(loud, 2000);
    EXPECT_LT(quiet, loud / 4);
    EXPECT_TRUE(stoppedFirst);
    EXPECT_EQ(afterDelete, "&Anhören");
    EXPECT_EQ(linesLeft, 2);
}

TEST_F(MusicPageTest, ClosingDuringAPreviewEndsItBeforeTheLibraryGoes)
{
    ASSERT_TRUE(CopyFileA(testutil::DistPath("bass.dll").c_str(), dir_->File("bass.dll").c_str(), FALSE));
    WritePlaylist({Wav("long.wav", 30)});
    bool started = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Click(page, 2071);
        started = Poll([] { return IsMusicPlaying(); }, kPlayWaitMs);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(started);
    EXPECT_EQ(MusicStarting.load(), 0);
    EXPECT_TRUE(WaitMusicThread(0));
    EXPECT_FALSE(BassLoaded(kMusicInstance));
    EXPECT_FALSE(IsMusicPlaying());
}

TEST_F(MusicPageTest, FilesAddedToAnEmptyListKeepTheDialogsOrder)
{
    std::string b = Song("b.mp3"), a = Song("a.wav"), c = Song("c.ogg");
    gChosen = dir_->Path() + std::string("\0b.mp3\0a.wav\0", 14);
    bool interval = false, volume = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Click(page, 2067);
        interval = Enabled(page, 2080);
        volume = Enabled(page, 2078);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(interval);
    EXPECT_FALSE(volume);
    EXPECT_EQ(PlaylistFile(), b + "\r\n" + a + "\r\n");
    // A single choice is one full path; it goes behind the selection.
    gChosen = c + std::string("\0", 1);
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Select(page, 0);
        Click(page, 2067);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(PlaylistFile(), b + "\r\n" + c + "\r\n" + a + "\r\n");
}

TEST_F(MusicPageTest, TwoEntriesAllowNoShuffleAndMovesStopAtTheEnds)
{
    std::string a = Song("a.mp3"), b = Song("b.mp3");
    WritePlaylist({a, b});
    PutDword("MP3shuffle", 1);
    PutDword("MusikKommt", 3);
    bool shuffle = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        shuffle = Enabled(page, 2074);
        Select(page, 0);
        Click(page, 2076);
        Select(page, 1);
        Click(page, 2077);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_FALSE(shuffle);
    EXPECT_EQ(GetDword("MP3shuffle"), 0u);
    EXPECT_EQ(PlaylistFile(), a + "\r\n" + b + "\r\n");
    // Up on the second line does move it.
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Select(page, 1);
        Click(page, 2076);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(PlaylistFile(), b + "\r\n" + a + "\r\n");
}

TEST_F(MusicPageTest, AFullListTakesNoMore)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 1020; ++i)
        lines.push_back(Song(std::to_string(i) + ".mp3"));
    WritePlaylist(lines);
    gChosen = std::string("C:\\new");
    for (int i = 0; i < 10; ++i)
        gChosen += std::string("\0n", 2) + std::to_string(i) + ".mp3";
    gChosen += std::string("\0", 1);
    int count = 0;
    bool add = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Click(page, 2067);
        count = Count(page);
        add = Enabled(page, 2067);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(count, 1024);
    EXPECT_FALSE(add);
    std::string file = PlaylistFile();
    EXPECT_NE(file.find("C:\\new\\n3.mp3\r\n"), std::string::npos);
    EXPECT_EQ(file.find("C:\\new\\n4.mp3"), std::string::npos);
}

TEST_F(MusicPageTest, IntervalZeroSwitchesMusicOff)
{
    WritePlaylist({Song("a.mp3"), Song("b.mp3"), Song("c.mp3")});
    PutDword("MusikKommt", 2);
    std::string before, after;
    bool shuffleBefore = false, volumeAfter = true, shuffleAfter = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        before = ControlText(page, 2081);
        shuffleBefore = Enabled(page, 2074);
        MoveSlider(page, 2080, 0);
        after = ControlText(page, 2081);
        volumeAfter = Enabled(page, 2078);
        shuffleAfter = Enabled(page, 2074);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(before, "Musiker &kommen alle 2 bis 6 Minuten");
    EXPECT_TRUE(shuffleBefore);
    EXPECT_EQ(after, "Musik AUS");
    EXPECT_FALSE(volumeAfter);
    EXPECT_FALSE(shuffleAfter);
    EXPECT_EQ(GetDword("MusikKommt"), 0u);
}

TEST_F(MusicPageTest, DeletionsKeepTheNextEntryInsideAndAnEmptyListRemovesTheFile)
{
    std::string a = Song("a.mp3"), b = Song("b.mp3");
    WritePlaylist({a, b, Song("c.mp3")});
    PutDword("MP3next", 2);
    PutDword("MusikKommt", 1);
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Select(page, 2);
        Click(page, 2069);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_LT(GetDword("MP3next"), 2u);
    EXPECT_EQ(PlaylistFile(), a + "\r\n" + b + "\r\n");
    bool nothingLeft = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Click(page, 2069);
        Click(page, 2069);
        nothingLeft = !Enabled(page, 2069) && !Enabled(page, 2071) && !Enabled(page, 2080);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(nothingLeft);
    EXPECT_FALSE(testutil::FileExists(dir_->File("music.m3u")));
    EXPECT_EQ(GetDword("MusikKommt"), 0u);
}

// A playlist whose writing stops on a full disk is reported, and the old
// list stays whole.
TEST_F(MusicPageTest, APlaylistThatCannotBeWrittenIsReportedAndTheOldOneStays)
{
    std::string a = Song("a.mp3"), b = Song("b.mp3");
    WritePlaylist({a, b});
    const std::string old = PlaylistFile();
    // The new list is written beside the old one.
    testutil::FullDiskFile full(dir_->File("music.m3u.neu"));
    ASSERT_TRUE(full.Made());
    SeenBox box;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        Select(page, 0);
        Click(page, 2069);
        // Posted: the box comes up inside the press.
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        EXPECT_TRUE(DismissBox(GetWindowThreadProcessId(sheet, nullptr), &box, kPlayWaitMs));
        Poll([&] { return !IsWindow(sheet) || !PostMessageA(sheet, WM_NULL, 0, 0); }, kPlayWaitMs);
    });
    EXPECT_EQ(box.text, "Kann Datei nicht speichern!");
    EXPECT_EQ(box.caption, "FEHLER!");
    EXPECT_EQ(PlaylistFile(), old);
}

TEST_F(MusicPageTest, LongPathsAreShortenedToTheirLine)
{
    std::string folder = dir_->Path();
    for (char c : {'f', 'g', 'h'}) {
        folder += "\\" + std::string(50, c);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string longPath = folder + "\\song with a name.mp3";
    testutil::WriteFileBytes(longPath, "x");
    WritePlaylist({longPath});
    std::string shown;
    int width = 0, room = 0;
    RunSheet([&](HWND sheet) {
        HWND list = GetDlgItem(PageOfRow(sheet, kMusicRow), 2075);
        char text[300] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        shown = text;
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        RECT client;
        GetClientRect(list, &client);
        width = size.cx;
        room = client.right;
    });
    EXPECT_NE(shown.find("..."), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(0, 3), longPath.substr(0, 3)) << shown;
    EXPECT_NE(shown.find("song with a name.mp3"), std::string::npos) << shown;
    EXPECT_LE(width, room);
    EXPECT_GT(width, room / 2) << "shortened far more than the line needs: " << shown;
}

TEST_F(MusicPageTest, DamagedPlaylistAndNextEntry)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 1100; ++i)
        lines.push_back(i % 7 == 0 ? "C:\\" + std::string(400, 'x') : Song(std::to_string(i) + ".mp3"));
    WritePlaylist(lines);
    PutDword("MP3next", 5000);
    int count = 0;
    LRESULT selected = -1;
    bool add = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMusicRow);
        count = Count(page);
        selected = SendDlgItemMessageA(page, 2075, LB_GETCURSEL, 0, 0);
        add = Enabled(page, 2067);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_GT(count, 0);
    EXPECT_LE(count, 1024);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(add, count < 1024);
}

}  // namespace
}  // namespace sheettest
