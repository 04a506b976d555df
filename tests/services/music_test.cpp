// Music: the playlist file and its edits, the music thread with its skipping
// and titles, radio titles, and Winamp driven through a stand-in window.
#include "audiofixture.h"

#include "core/random.h"
#include "services/winamp.h"

#include <set>

using namespace audiotest;

namespace {

class MusicTest : public SaverAudioTest {
protected:
    void SetUp() override
    {
        SaverAudioTest::SetUp();
        StrCopy(MP3file, dir.File("music.m3u").c_str());
        PlaylistCount = 0;
        MP3next = 0;
        MP3shuffle = 0;
        PlayChosen = 0;
        MusicStream = 0;
        MusicPlaying = 0;
        MusicTitleChanged = 0;
        Music = 1;
        WinampWindow = nullptr;
        WinampPlaying = 0;
        SetMusicTitle("");
        MusicTitleChanged = 0;
    }

    std::string Song(const std::string &name, const std::string &tag = "")
    {
        std::string path = dir.File(name);
        testutil::WriteFileBytes(path, MakeWav(22050, 2, 16, Tone(22050, 2, 1.5, 440, 6000)) + tag);
        return path;
    }
    std::string Junk(const std::string &name)
    {
        std::string path = dir.File(name);
        testutil::WriteFileBytes(path, std::string(4000, 'j'));
        return path;
    }
    void SetPlaylist(const std::vector<std::string> &entries)
    {
        PlaylistCount = 0;
        for (const std::string &e : entries)
            InsPlaylistEntry(PlaylistCount, e.c_str());
    }
    // Runs PlayMusic on its thread and waits for it.
    void PlayNext()
    {
        ASSERT_EQ(1, StartPlayMusic());
        EXPECT_EQ(1, MusicStarting.load());
        ASSERT_TRUE(WaitMusicThread(20000));
        EXPECT_EQ(0, MusicStarting.load());
    }
    std::string Title()
    {
        char t[kMusicTitleLen];
        GetMusicTitle(t, sizeof(t));
        return t;
    }
};

TEST_F(MusicTest, PlaylistFileIsReadAsTheUserWroteIt)
{
    std::string a = Song("a.wav"), b = Song("b.wav");
    std::string longLine(300, 'x');
    std::string text = "#EXTM3U\r\n" + a + "\r\n   \r\n  " + b + "  \r\n" + dir.File("gone.mp3") +
                       "\r\n# http://127.0.0.1/skipped\r\nradio: HTTP://127.0.0.1:8000/live\r\n" + longLine +
                       "\r\n#" + a + "\n" + a;
    ASSERT_TRUE(testutil::WriteFileBytes(MP3file, text));
    ASSERT_EQ(4, ReadPlaylist());
    EXPECT_EQ(a, Playlist[0]);
    EXPECT_EQ(b, Playlist[1]);
    EXPECT_STREQ("radio: HTTP://127.0.0.1:8000/live", Playlist[2]);
    EXPECT_EQ(a, Playlist[3]);  // the rest of the long line was no entry

    SavePlaylist();
    EXPECT_EQ(a + "\r\n" + b + "\r\nradio: HTTP://127.0.0.1:8000/live\r\n" + a + "\r\n",
              testutil::ReadFileBytes(MP3file));

    std::string many;
    for (int i = 0; i < 1025; ++i)
        many += "http://127.0.0.1/" + std::to_string(i) + "\n";
    testutil::WriteFileBytes(MP3file, many);
    EXPECT_EQ(kPlaylistMax, ReadPlaylist());
    EXPECT_STREQ("http://127.0.0.1/1023", Playlist[1023]);

    DeleteFileA(MP3file);
    EXPECT_EQ(0, ReadPlaylist());
    EXPECT_NE(std::string::npos, LogText().find("+++ Datei nicht vorhanden"));
}

TEST_F(MusicTest, PlaylistEdits)
{
    SetPlaylist({"a", "b", "c"});
    auto list = [] {
        std::string s;
        for (int i = 0; i < PlaylistCount; ++i)
            s += Playlist[i];
        return s;
    };
    MovePlaylistEntryUp(0);
    MovePlaylistEntryDown(2);
    EXPECT_EQ("abc", list());
    MovePlaylistEntryUp(2);
    EXPECT_EQ("acb", list());
    MovePlaylistEntryDown(0);
    EXPECT_EQ("cab", list());
    EXPECT_TRUE(InsPlaylistEntry(1, "d"));
    EXPECT_EQ("cdab", list());
    DelPlaylistEntry(0);
    DelPlaylistEntry(3);
    DelPlaylistEntry(-1);
    EXPECT_EQ("dab", list());
    DelPlaylistEntry(2);
    EXPECT_EQ("da", list());
    std::string tooLong(400, 'y');
    EXPECT_TRUE(InsPlaylistEntry(99, tooLong.c_str()));
    EXPECT_EQ(kPlaylistEntryLen - 1, strlen(Playlist[2]));

    PlaylistCount = 0;
    for (int i = 0; i < kPlaylistMax; ++i)
        ASSERT_TRUE(InsPlaylistEntry(i, "e"));
    EXPECT_FALSE(InsPlaylistEntry(0, "f"));
    EXPECT_EQ(kPlaylistMax, PlaylistCount);
}

TEST_F(MusicTest, ShuffleDrawsAPermutation)
{
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i)
        names.push_back(std::to_string(i));
    SetPlaylist(names);
    MP3shuffle = 1;
    SeedRand(7);
    ShufflePlaylist();
    std::set<int> seen(PlayOrder, PlayOrder + 50);
    EXPECT_EQ(50u, seen.size());
    EXPECT_EQ(0, *seen.begin());
    EXPECT_EQ(49, *seen.rbegin());
    bool moved = false;
    for (int i = 0; i < 50; ++i)
        moved = moved || PlayOrder[i] != i;
    EXPECT_TRUE(moved);
}

TEST_F(MusicTest, ShuffledPlayWalksEveryEntryOnce)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    std::vector<std::string> songs;
    for (int i = 0; i < 5; ++i)
        songs.push_back(Song("s" + std::to_string(i) + ".wav", MakeId3v1("T" + std::to_string(i), "A")));
    SetPlaylist(songs);
    MP3shuffle = 1;
    SeedRand(3);
    ShufflePlaylist();
    std::set<std::string> titles;
    for (int i = 0; i < 5; ++i) {
        PlayNext();
        titles.insert(Title());
    }
    EXPECT_EQ(5u, titles.size());

    // One entry: the order is not used and it plays.
    SetPlaylist({songs[3]});
    MP3next = 0;
    PlayNext();
    EXPECT_EQ("A\r\nT3", Title());
}

TEST_F(MusicTest, FailedEntriesAreSkippedAtMostTwice)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    std::string good = Song("good.wav", MakeId3v1("Song", "Band"));
    SetPlaylist({Junk("j1.mp3"), dir.File("missing.mp3"), good, Song("other.wav")});
    PlayNext();
    EXPECT_EQ(1, MusicPlaying.load());
    EXPECT_TRUE(IsMusicPlaying());
    EXPECT_EQ("Band\r\nSong", Title());
    EXPECT_EQ(1, MusicTitleChanged.load());
    EXPECT_EQ(3, MP3next);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kMainKey, 0, KEY_READ, &key));
    DWORD stored = 0, size = sizeof(stored);
    RegQueryValueExA(key, "MP3next", nullptr, nullptr, reinterpret_cast<BYTE *>(&stored), &size);
    RegCloseKey(key);
    EXPECT_EQ(3u, stored);
    StopMusic();
    EXPECT_EQ(0, MusicPlaying.load());

    SetPlaylist({Junk("a.mp3"), Junk("b.mp3"), Junk("c.mp3"), good});
    MP3next = 0;
    PlayNext();
    EXPECT_EQ(0, MusicPlaying.load());
    EXPECT_EQ(3, MP3next);
    std::string log = LogText();
    EXPECT_NE(std::string::npos, log.find("+++ PlayMusic(1) [" + dir.File("c.mp3") + "], ERR: 41"));
    EXPECT_EQ(std::string::npos, log.find("+++ PlayMusic(1) [" + good + "]"));

    // The music page's choice plays as it stands: no skipping, no advance.
    PlayChosen = 1;
    MP3next = 1;
    PlayNext();
    EXPECT_EQ(0, MusicPlaying.load());
    EXPECT_EQ(1, MP3next);
    MP3next = 3;
    PlayNext();
    EXPECT_EQ(1, MusicPlaying.load());
    EXPECT_EQ(3, MP3next);
}

TEST_F(MusicTest, BusyFlagsNeverStick)
{
    // Without the music library the thread ends at once: the race of the
    // flags against a thread that is already done.
    SetPlaylist({"x"});
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(1, StartPlayMusic());
        ASSERT_TRUE(WaitMusicThread(5000));
        ASSERT_EQ(0, MusicStarting.load()) << i;
        ASSERT_EQ(0, MusicPlaying.load()) << i;
    }
}

TEST_F(MusicTest, TitlesAreCopiedBounded)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    std::string artist(30, 'A'), title(30, 'T');
    std::string tag = MakeId3v1(title, artist);  // fields full: no zero ends them
    tag.replace(63, 30, std::string(30, 'L'));    // the album runs on behind
    SetPlaylist({Song("full.wav", tag)});
    PlayNext();
    EXPECT_EQ(artist + "\r\n" + title, Title());

    MusicTitleChanged = 0;
    std::string meta = "StreamTitle='" + std::string(4000, 'M');  // no closing "';"
    MetaSyncProc(0, 0, reinterpret_cast<DWORD_PTR>(meta.c_str()), 0);
    EXPECT_EQ(std::string(kMusicTitleLen - 1, 'M'), Title());
    EXPECT_EQ(1, MusicTitleChanged.load());
}

TEST_F(MusicTest, RadioTitlesFromMetadataFlagChangesOnce)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    std::vector<std::string> titles(300);
    titles[0] = "StreamTitle='A - B';StreamUrl='';";
    titles[150] = "StreamTitle='C - D';";
    RadioServer server(RadioServer::kIcy, MakeWav(44100, 2, 16, Tone(44100, 2, 8, 440, 5000), 0xFFFFFFFFu), titles);
    SetPlaylist({server.Url()});
    PlayNext();
    ASSERT_EQ(1, MusicPlaying.load());
    EXPECT_EQ("A - B", Title());
    MusicTitleChanged = 0;
    ASSERT_TRUE(WaitUntil([&] { return MusicTitleChanged.load() == 1; }, 20000));
    EXPECT_EQ("C - D", Title());
    MusicTitleChanged = 0;
    const char *same = "StreamTitle='C - D';StreamUrl='x';";
    MetaSyncProc(0, 0, reinterpret_cast<DWORD_PTR>(same), 0);
    EXPECT_EQ(0, MusicTitleChanged.load());
    SetMusicVolume(500);
    FadeMusic(100);
    EXPECT_TRUE(WaitUntil([] { return !IsMusicPlaying(); }, 5000));
}

TEST_F(MusicTest, StationNameWhenThereIsNoSongTitle)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    RadioServer server(RadioServer::kHttpIcy, MakeWav(44100, 2, 16, Tone(44100, 2, 1, 440, 5000), 0xFFFFFFFFu));
    SetPlaylist({server.Url()});
    PlayNext();
    EXPECT_EQ("Test Radio", Title());
    EndMusic();
}

TEST_F(MusicTest, ShutdownDuringASilentRadioEndsPromptly)
{
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    RadioServer server(RadioServer::kSilent, "");
    SetPlaylist({server.Url()});
    ASSERT_EQ(1, StartPlayMusic());
    ASSERT_TRUE(WaitUntil([&] { return server.Connections() > 0; }, 5000));
    DWORD start = GetTickCount();
    FreeBASS();
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(0, MusicStarting.load());
    EXPECT_FALSE(BassLoaded(kMusicInstance));
    EXPECT_EQ(nullptr, BassApi[kMusicInstance].Module);
}

// ---------------------------------------------------------------- Winamp

// A window of Winamp's class on its own thread, answering its queries.
class FakeWinamp {
public:
    explicit FakeWinamp(const char *caption)
    {
        self_ = this;
        StrCopy(caption_, caption);
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 5000);
    }
    ~FakeWinamp()
    {
        hang_ = 0;
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(ready_);
        self_ = nullptr;
    }
    void SetCaption(const char *caption) { SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption)); }
    std::atomic<int> playing{1};
    std::atomic<int> hang_{0};   // ms the window sleeps in each query
    std::vector<int> commands;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        FakeWinamp *f = self_;
        if (f && f->hang_ && (m == WM_USER || m == WM_GETTEXT))
            Sleep(static_cast<DWORD>(f->hang_.load()));
        if (m == WM_USER && lp == 0)
            return 0x2091;
        if (m == WM_USER && lp == 104)
            return f->playing.load();
        if (m == WM_COMMAND) {
            f->commands.push_back(static_cast<int>(wp));
            return 0;
        }
        if (m == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    static DWORD WINAPI Run(void *p)
    {
        FakeWinamp *f = static_cast<FakeWinamp *>(p);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Winamp v1.x";
        RegisterClassA(&wc);
        f->window_ = CreateWindowA("Winamp v1.x", f->caption_, WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        SetEvent(f->ready_);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        UnregisterClassA("Winamp v1.x", wc.hInstance);
        return 0;
    }
    static inline FakeWinamp *self_ = nullptr;
    char caption_[256];
    HWND window_ = nullptr;
    HANDLE thread_;
    HANDLE ready_;
};

TEST(WinampCaption, CutsTheWinampSuffix)
{
    struct Case {
        const char *caption, *title;
    } cases[] = {{"Song Name   - Winamp", "Song Name"},
                 {"1. A - B - WINAMP", "1. A - B"},
                 {"Winamp - Winamp [Paused]", "Winamp"},
                 {"No suffix", "No suffix"},
                 {"- Winamp", ""}};
    for (const Case &c : cases) {
        char buf[64];
        StrCopy(buf, c.caption);
        CutWinampCaption(buf);
        EXPECT_STREQ(c.title, buf) << c.caption;
    }
}

TEST_F(MusicTest, WinampIsFoundReadAndCommanded)
{
    FakeWinamp winamp("1. Artist - Song   - Winamp");
    initWinAMP();
    ASSERT_NE(nullptr, WinampWindow.load());
    EXPECT_EQ(0x2091, WinampVersion);
    EXPECT_EQ(1, WinampPlaying.load());
    EXPECT_STREQ("1. Artist - Song", WinampTitle);
    EXPECT_NE(std::string::npos, LogText().find("WinAMP is playing!"));

    ClockFreeze(testutil::Moment(2026, 3, 4, 20, 0, 1));
    MusicHousekeeping();
    EXPECT_EQ("1. Artist - Song", Title());
    EXPECT_EQ(1, MusicTitleChanged.load());
    EXPECT_EQ(1, MusicPlaying.load());
    MusicTitleChanged = 0;
    winamp.SetCaption("2. Next One - Winamp");
    MusicHousekeeping();  // the same second: not asked again
    EXPECT_EQ("1. Artist - Song", Title());
    ClockFreeze(testutil::Moment(2026, 3, 4, 20, 0, 2));
    MusicHousekeeping();
    EXPECT_EQ("2. Next One", Title());
    EXPECT_EQ(1, MusicTitleChanged.load());

    ChangeMusicVolume(true);
    ChangeMusicVolume(false);
    EXPECT_TRUE(SendWinampCommand(kWinampStop));
    EXPECT_TRUE(SendWinampCommand(kWinampNext));
    EXPECT_EQ((std::vector<int>{kWinampVolumeUp, kWinampVolumeDown, kWinampStop, kWinampNext}), winamp.commands);
    std::string log = LogText();
    EXPECT_NE(std::string::npos, log.find("WinAMP lauter"));
    EXPECT_NE(std::string::npos, log.find("WinAMP leiser"));

    winamp.playing = 0;
    ClockFreeze(testutil::Moment(2026, 3, 4, 20, 0, 3));
    MusicHousekeeping();
    EXPECT_EQ(0, WinampPlaying.load());
    EXPECT_EQ(0, MusicPlaying.load());
    EXPECT_EQ("", Title());
}

TEST_F(MusicTest, AHungWinampDoesNotHoldUpTheCaller)
{
    FakeWinamp winamp("Song - Winamp");
    initWinAMP();
    ASSERT_EQ(1, WinampPlaying.load());
    winamp.hang_ = 3000;
    DWORD start = GetTickCount();
    ReadWinampTitle();
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(0, WinampPlaying.load());
    start = GetTickCount();
    SendWinampCommand(kWinampNext);
    EXPECT_LT(GetTickCount() - start, 1500u);
}

TEST_F(MusicTest, KeypadMusicVolumeWithoutWinamp)
{
    MP3volume = 950;
    ChangeMusicVolume(true);
    EXPECT_EQ(1000, MP3volume);
    MP3volume = 50;
    ChangeMusicVolume(false);
    EXPECT_EQ(0, MP3volume);
    EXPECT_NE(std::string::npos, LogText().find("SetMusicVolume: 0"));
}

}  // namespace
