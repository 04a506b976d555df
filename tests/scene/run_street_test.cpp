// The saver's window run inside the test program with the walkers' probe
// sheets: the street lives, takes clicks and keys through the animation
// thread, changes its day phase by the clock, and leaves nothing behind.
#include <gtest/gtest.h>

#include "audiotest.h"

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/bubbles.h"
#include "features/lights.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "running_saver.h"
#include "scene_fixture.h"
#include "scene_geometry.h"
#include "services/music.h"
#include "services/piclists.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <thread>
#include <utility>
#include <vector>

namespace {

using scenetest::CountOf;
using testutil::WaitFor;

class StreetRun : public scenetest::RunningSaver {
protected:
    void SetUp() override
    {
        RunningSaver::SetUp();
        std::string texts = dir_.File("sb.txt");
        testutil::WriteFileBytes(texts, "[Marlene]\r\nN=1\r\nTEXT1=Guten Tag!\r\n"
                                        "[Tourist Bernd]\r\nN=1\r\nTEXT1=Ein Foto bitte!\r\n");
        scenetest::SetSettingString("Sprechblasen", texts.c_str());
        scenetest::SetSetting("Interactive", 1);
        // The picture lists the start-up reads: a bus list, no tram list.
        std::string busList = dir_.File("buspic.dat");
        testutil::WriteFileBytes(busList, "# Bilder\r\nC:\\a.bmp\r\nC:\\b.jpg\r\n");
        scenetest::SetSettingString("BusPics", busList.c_str());
        scenetest::SetSettingString("BahnPics", dir_.File("bahnpic.dat").c_str());
        // Kept off so that what these tests click and count is the walkers'
        // (the man who gives way stands where Marlene is clicked); the bus
        // would also hold the change of day phase back while it visits.
        for (int id : {8, 20, 22, 70, 71})
            KeepOff(id);
    }
    void Start(int year, int month, int day, int hour, int minute, int second)
    {
        StartAt(testutil::Moment(year, month, day, hour, minute, second));
    }
    // The window point of a place on the figure.
    LPARAM On(int id, int dx, int dy)
    {
        const FigurRecord &r = FigurTable[id];
        return MAKELPARAM(SceneX + r.X + dx, SceneY + r.Y + dy);
    }
    // Frames make no GDI objects: a second without a load, a loader at work
    // or a bubble shows it; a few tries find such a second.
    void ExpectFramesMakeNoGdiObjects()
    {
        bool measured = false;
        for (int attempt = 0; attempt < 8 && !measured; ++attempt) {
            int loads = CountOf(Log(), "GELADEN");
            LONG made = GdiObjectsMade();
            WaitFor([] { return false; }, 1000);
            if (CountOf(Log(), "GELADEN") != loads || LoaderBusy || OpenBubbleKind)
                continue;
            measured = true;
            EXPECT_EQ(GdiObjectsMade(), made);
        }
        EXPECT_TRUE(measured);
    }
    // A remove click on the figure's box ends it where it stands.
    void RemoveByClick(int id)
    {
        FigurTable[id].X = 500;
        ASSERT_TRUE(WaitFor(
            [this, id] {
                PostMessageA(MainWindow, WM_MBUTTONUP, 0, On(id, 10, 10));
                return !IsOnStage(id);
            },
            5000))
            << id << Log();
        char line[48];
        StrPrintfN(line, sizeof(line), "Figur %3d ENTLADEN", id);
        EXPECT_GE(CountOf(Log(), line), 1) << id;
    }
    // Brings each figure in turn with its start state, sees it past its
    // set-up, removes it with a click, and then sees frames make no GDI
    // objects.
    void BringInTurn(const std::vector<std::pair<int, int>> &figures)
    {
        for (auto [id, start] : figures) {
            FigurTable[id].Pause = 0;
            FigurTable[id].MayReturn = 1;
            ASSERT_TRUE(WaitFor(
                [id, start] {
                    if (!IsOnStage(id) && !LoaderBusy)
                        LoadFigur(id, start);
                    return IsOnStage(id) && FigurTable[id].State != 0 && FigurTable[id].State != start &&
                           FigurTable[id].State != 2000;
                },
                60000))
                << id << Log();
            char line[48];
            StrPrintfN(line, sizeof(line), "Figur %3d GELADEN", id);
            EXPECT_GE(CountOf(Log(), line), 1) << id;
            StrPrintfN(line, sizeof(line), "F_PAUSE: %3d,", id);
            EXPECT_GE(CountOf(Log(), line), 1) << id;
            RemoveByClick(id);
        }
        ExpectFramesMakeNoGdiObjects();
    }
    // The people of the stop, the group, the man who gives way and the pairs;
    // the passengers as the bus lets them out. 8 and 20 are switched on again
    // for these, which the start may put on the street.
    void BringTheStopFigures()
    {
        scenetest::SetSetting("nicht008", 0);
        scenetest::SetSetting("nicht020", 0);
    }
    const std::vector<std::pair<int, int>> stopFigures_ = {
        {1, 0}, {3, 0}, {5, 0}, {10, 0}, {13, 0}, {18, 0}, {20, 0},
        {23, 0}, {30, 0}, {7, 100}, {8, 100}, {9, 100}, {23, 100}};
};

TEST_F(StreetRun, WalkersComeTakeClicksAndKeysAndLeaveNothingBehind)
{
    Start(2026, 6, 10, 14, 0, 0);
    EXPECT_EQ(BusPiclistCount, 2);
    EXPECT_STREQ(BusPiclist[1], "C:\\b.jpg");
    EXPECT_EQ(SBahnPiclistCount, 0);
    {
        std::string log = Log();
        size_t tram = log.find("SBahnPiclist lesen");
        ASSERT_NE(log.find("BusPiclist lesen"), std::string::npos) << log;
        ASSERT_NE(tram, std::string::npos);
        EXPECT_NE(log.find("+++ Datei nicht vorhanden", tram), std::string::npos);
        EXPECT_NE(log.find("LKWPiclist lesen"), std::string::npos);
    }
    // Marlene may come at once. The casting draws her about once in seventy
    // picks, so she is asked for as a key asks for a figure; the loader
    // refuses while it is busy, so asking again is harmless.
    FigurTable[4].Pause = 0;
    FigurTable[4].MayReturn = 1;
    ASSERT_TRUE(WaitFor(
        [] {
            if (!IsOnStage(4))
                LoadFigur(4, 0);
            return IsOnStage(4) && FigurTable[4].State == 1;
        },
        60000))
        << Log();
    FigurTable[4].X = 600;

    ExpectFramesMakeNoGdiObjects();

    // A talk click opens her bubble; a click on it closes it.
    PostMessageA(MainWindow, WM_RBUTTONUP, 0, On(4, 40, 40));
    ASSERT_TRUE(WaitFor([] { return OpenBubbleKind != 0; }, 3000)) << Log();
    EXPECT_STREQ(FigurTable[4].SpeechText, "Guten Tag!");
    POINT bubble = BubblePosition();
    PostMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(SceneX + bubble.x + 30, SceneY + bubble.y + 20));
    ASSERT_TRUE(WaitFor([] { return OpenBubbleKind == 0; }, 3000)) << Log();
    EXPECT_EQ(CountOf(Log(), "KLICK AUF SPRECHBLASE"), 1);

    // A remove click: she vanishes.
    PostMessageA(MainWindow, WM_MBUTTONUP, 0, On(4, 40, 40));
    ASSERT_TRUE(WaitFor([] { return !IsOnStage(4); }, 3000)) << Log();
    EXPECT_NE(Log().find("Figur   4 ENTLADEN"), std::string::npos);

    // The U key calls the jogger through the animation thread's queue.
    if (!IsOnStage(2)) {
        bool came = WaitFor(
            [] {
                if (!LoaderBusy && !IsOnStage(2))
                    PostMessageA(MainWindow, WM_KEYUP, 'U', 0);
                return IsOnStage(2);
            },
            10000);
        EXPECT_TRUE(came) << Log();
    }
    Stop();
}

TEST_F(StreetRun, TheDayPhaseChangesOnTheHourAndTheSceneIsBuiltAgain)
{
    Start(2026, 6, 10, 19, 59, 45);
    ASSERT_TRUE(WaitFor([this] { return Log().find("-TW-") != std::string::npos; }, 10000)) << Log();
    EXPECT_EQ(PhaseChangeDue, 1u);
    ASSERT_TRUE(WaitFor([] { return BuiltTimeOfDay == kDusk; }, 40000)) << Log();
    EXPECT_TRUE(WaitFor([] { return PhaseChangeDue == 0; }, 2000));
    std::string log = Log();
    EXPECT_EQ(CountOf(log, "Tageszeit ..."), 1);
    EXPECT_NE(log.find("Hintergrund: HG_02_01"), std::string::npos);
    Stop();
}

TEST_F(StreetRun, ThePavementFiguresComeInTurnActAndLeaveNothingBehind)
{
    Start(2026, 6, 10, 14, 0, 0);
    const int ids[] = {34, 35, 36, 37, 38, 39, 40, 43, 45, 47, 48, 49, 50, 51, 54, 56, 57};
    for (int id : ids) {
        FigurTable[id].Pause = 0;
        FigurTable[id].MayReturn = 1;
        // Past its set-up, the figure is in its act on the street.
        ASSERT_TRUE(WaitFor(
            [id] {
                if (!IsOnStage(id) && !LoaderBusy)
                    LoadFigur(id, 0);
                return IsOnStage(id) && FigurTable[id].State != 0 && FigurTable[id].State != 2000;
            },
            60000))
            << id << Log();
        char line[48];
        StrPrintfN(line, sizeof(line), "Figur %3d GELADEN", id);
        EXPECT_GE(CountOf(Log(), line), 1) << id;
        const int state = FigurTable[id].State;
        EXPECT_TRUE(state >= 1) << id << " state " << state;
        RemoveByClick(id);
    }
    // Frames make no GDI objects while the figures walk.
    ExpectFramesMakeNoGdiObjects();
    Stop();
}

TEST_F(StreetRun, KeyPBringsTheCoupleAndAHotSpotAWindowSceneThatStaysInTheBackground)
{
    Start(2026, 6, 10, 14, 0, 0);
    // P asks for the couple while she is not inside; by day she walks the
    // pavement or he comes to door 2.
    ASSERT_TRUE(WaitFor(
        [] {
            if (!LoaderBusy && !IsOnStage(33))
                PostMessageA(MainWindow, WM_KEYUP, 'P', 0);
            return IsOnStage(33) && FigurTable[33].State != 0;
        },
        30000))
        << Log();
    EXPECT_GE(CountOf(Log(), "Figur  33 GELADEN"), 1);
    const int state = FigurTable[33].State;
    EXPECT_TRUE((state >= 1 && state <= 6) || state >= 900) << state;
    FigurTable[33].X = 500;
    ASSERT_TRUE(WaitFor(
        [this] {
            PostMessageA(MainWindow, WM_MBUTTONUP, 0, On(33, 10, 10));
            return !IsOnStage(33);
        },
        5000))
        << Log();

    // The window under hot spot I: one click in four brings a scene (variant
    // 1 or 2, ten frames); its last frame stays in the background.
    // The street's own choice may bring another window meanwhile: that one
    // is waited out.
    const int x = BackgroundX + 110, y = BackgroundBottom - 1024 + 400;
    bool ours = false;
    for (int attempt = 0; attempt < 5 && !ours; ++attempt) {
        ASSERT_TRUE(WaitFor(
            [x, y] {
                if (!LoaderBusy && !IsOnStage(60))
                    PostMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                return IsOnStage(60);
            },
            30000))
            << Log();
        ours = FigurTable[60].StartState == 1 || FigurTable[60].StartState == 2;
        ASSERT_TRUE(WaitFor([] { return !IsOnStage(60); }, 60000)) << Log();
    }
    ASSERT_TRUE(ours);
    COLORREF last = CLR_INVALID;
    {
        SceneDCHold hold;
        last = GetPixel(BackgroundDC, BackgroundX + 89 + 1, BackgroundBottom - 1024 + 381 + 1);
    }
    // The probe sheets colour frame k of a window scene (20 + 2k, 100, 30t + 9).
    EXPECT_EQ(last, RGB(20 + 2 * 9, 100, 30 + 9));
    Stop();
}

TEST_F(StreetRun, KeyCBringsAMusicianWhoPlaysThePlaylistObeysItsBubbleAndLeavesAtItsEnd)
{
    // A playlist of three short songs; the music plays on our bass.dll.
    std::string list;
    for (const char *name : {"eins", "zwei", "drei"}) {
        std::string song = dir_.File(std::string(name) + ".wav");
        testutil::WriteFileBytes(song, audiotest::MakeWav(22050, 2, 16, audiotest::Tone(22050, 2, 4.0, 440, 6000)) +
                                           audiotest::MakeId3v1(name, "Strassenband"));
        list += song + "\r\n";
    }
    std::string playlist = dir_.File("music.m3u");
    testutil::WriteFileBytes(playlist, list);
    std::string dist = testutil::DistPath("");
    while (!dist.empty() && dist.back() == '\\')
        dist.pop_back();
    // bass.dll beside the program, as in the program set.
    SetProgramFolder(dist.c_str());
    struct OwnFolderAgain {
        ~OwnFolderAgain() { SetProgramFolder(nullptr); }
    } ownFolderAgain;
    scenetest::SetSettingString("MP3file", playlist.c_str());
    scenetest::SetSetting("Music", 1);
    scenetest::SetSetting("MusikKommt", 3);
    Start(2026, 6, 10, 14, 0, 0);
    ASSERT_TRUE(WaitFor(
        [] {
            if (!LoaderBusy && !IsOnStage(41) && !IsOnStage(42))
                PostMessageA(MainWindow, WM_KEYUP, 'C', 0);
            return IsOnStage(41) || IsOnStage(42);
        },
        30000))
        << Log();
    const int musician = IsOnStage(41) ? 41 : 42;
    // He walks in, sets up and plays; the title bubble opens with a new
    // title, or when C is pressed while he plays.
    ASSERT_TRUE(WaitFor([] { return MusicPlaying != 0; }, 90000)) << Log();
    ASSERT_TRUE(WaitFor(
        [] {
            if (OpenBubbleKind == 0)
                PostMessageA(MainWindow, WM_KEYUP, 'C', 0);
            return OpenBubbleKind == 3 || OpenBubbleKind == 4;
        },
        10000))
        << Log();
    char first[64] = "", now[64] = "";
    GetMusicTitle(first, sizeof(first));
    // Its next button skips to the next song.
    const POINT bubble = BubblePosition();
    const scene::GeoRect next = scene::kMusicButtons[1];
    PostMessageA(MainWindow, WM_LBUTTONUP, 0,
                 MAKELPARAM(SceneX + bubble.x + next.x + next.w / 2, SceneY + bubble.y + next.y + next.h / 2));
    EXPECT_TRUE(WaitFor(
        [&] {
            GetMusicTitle(now, sizeof(now));
            return MusicPlaying && strcmp(now, first) != 0 && now[0] != '\0';
        },
        15000))
        << first << " " << now << Log();
    // When the music ends he leaves.
    EXPECT_TRUE(WaitFor([musician] { return !IsOnStage(musician); }, 120000)) << Log();
    EXPECT_FALSE(MusicPlaying);
    Stop();
}

TEST_F(StreetRun, ThePeopleOfTheHousesComeByTheirKeysAndLeaveNothingBehind)
{
    // K brings the visitors' vehicle: switched on again here.
    scenetest::SetSetting("nicht071", 0);
    Start(2026, 6, 10, 14, 0, 0);  // a summer weekday: Z may bring 68
    struct {
        char key;
        int id;
    } keys[] = {{'A', 62}, {'F', 64}, {'V', 63}, {'Q', 52}, {'Z', 68}};
    for (const auto &k : keys) {
        const int id = k.id;
        FigurTable[id].Pause = 0;
        FigurTable[id].MayReturn = 1;
        ASSERT_TRUE(WaitFor(
            [this, k] {
                if (!IsOnStage(k.id) && !LoaderBusy)
                    PostMessageA(MainWindow, WM_KEYUP, static_cast<WPARAM>(k.key), 0);
                return IsOnStage(k.id) && FigurTable[k.id].State != 0;
            },
            60000))
            << k.key << Log();
        char line[48];
        StrPrintfN(line, sizeof(line), "Figur %3d GELADEN", id);
        EXPECT_GE(CountOf(Log(), line), 1) << id;
        // Inside a house or on the pavement, a remove click on its box ends it.
        FigurTable[id].X = 500;
        ASSERT_TRUE(WaitFor(
            [this, id] {
                PostMessageA(MainWindow, WM_MBUTTONUP, 0, On(id, 10, 10));
                return !IsOnStage(id);
            },
            5000))
            << id << Log();
    }
    ASSERT_TRUE(WaitFor(
        [this] {
            if (!IsOnStage(71) && !LoaderBusy)
                PostMessageA(MainWindow, WM_KEYUP, 'K', 0);
            return IsOnStage(71);
        },
        60000))
        << Log();
    // Three to five knocks at door 1 call the baker's wife.
    const int doorX = SceneX + 110, doorY = SceneY + SceneH - 300;
    ASSERT_TRUE(WaitFor(
        [doorX, doorY] {
            if (!IsOnStage(58) && !LoaderBusy)
                PostMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(doorX, doorY));
            return IsOnStage(58);
        },
        60000))
        << Log();
    // Frames make no GDI objects while they act.
    ExpectFramesMakeNoGdiObjects();
    Stop();
}

TEST_F(StreetRun, AtDuskTheLightsBringTheBakersWifeWhoClosesTheShutters)
{
    // At a minute to nine the lights' schedule surely asks for her.
    Start(2026, 6, 10, 20, 58, 55);
    ShutterState = kShutterOpen;
    ASSERT_TRUE(WaitFor([this] { return CountOf(Log(), "Figur  55 GELADEN") >= 1; }, 60000)) << Log();
    ASSERT_TRUE(WaitFor([this] { return CountOf(Log(), "Figur  55 ENTLADEN") >= 1; }, 120000)) << Log();
    EXPECT_EQ(ShutterState, kShutterClosed);
    Stop();
}

// The pavement renewer, the dog and the people of doors 1 and 2.
constexpr int kStreetChangers[] = {22, 24, 25, 26, 27, 28, 29, 31, 32};

// Only they may come: every other object is switched off.
void OnlyTheStreetChangers()
{
    for (int id = 1; id <= kLastVehicle; ++id) {
        char name[16];
        StrPrintfN(name, sizeof(name), "nicht%03d", id);
        const bool ours = std::find(std::begin(kStreetChangers), std::end(kStreetChangers), id) !=
                          std::end(kStreetChangers);
        scenetest::SetSetting(name, ours ? 0 : 1);
    }
}

class StreetChangersRun : public StreetRun {
protected:
    void Key(int key) { PostMessageA(MainWindow, WM_KEYUP, key, 0); }
    // Presses a key until one of the figures is on stage past its set-up;
    // the loader refuses while busy, so pressing again is harmless.
    int ComeByKey(int key, std::initializer_list<int> ids)
    {
        int came = 0;
        WaitFor(
            [&] {
                for (int id : ids) {
                    if (IsOnStage(id) && FigurTable[id].State != 0) {
                        came = id;
                        return true;
                    }
                }
                if (!LoaderBusy)
                    Key(key);
                return false;
            },
            60000);
        return came;
    }
    bool Come(int id)
    {
        FigurTable[id].Pause = 0;
        FigurTable[id].MayReturn = 1;
        return WaitFor(
            [id] {
                if (!IsOnStage(id) && !LoaderBusy)
                    LoadFigur(id, 0);
                return IsOnStage(id) && FigurTable[id].State != 0;
            },
            60000);
    }
    // A remove click where the figure stands.
    bool Remove(int id, int dx = 10, int dy = 10)
    {
        return WaitFor(
            [this, id, dx, dy] {
                PostMessageA(MainWindow, WM_MBUTTONUP, 0, On(id, dx, dy));
                return !IsOnStage(id);
            },
            5000);
    }
    int Lines(const char *what, int id)
    {
        char line[48];
        StrPrintfN(line, sizeof(line), "Figur %3d %s", id, what);
        return CountOf(Log(), line);
    }
};

TEST_F(StreetChangersRun, OnASummerMorningTheRenewerTheDogTheResidentAndTheManOfDoorTwoComeAndGo)
{
    OnlyTheStreetChangers();
    Start(2026, 6, 10, 9, 30, 0);  // a Wednesday

    // The renewer walks off the right edge and takes his pavement with him.
    ASSERT_EQ(ComeByKey('I', {22}), 22) << Log();
    ASSERT_TRUE(WaitFor([] { return FigurTable[22].Sheets[1] != nullptr && FigurTable[22].X > -60; }, 30000))
        << Log();
    FigurTable[22].X = SceneW - 13;
    ASSERT_TRUE(WaitFor([] { return !IsOnStage(22); }, 30000)) << Log();
    EXPECT_GE(Lines("ENTLADEN", 22), 1);
    EXPECT_EQ(CountOf(Log(), "Kann Gehweg nicht laden"), 0);

    // The dog trots in and is taken away.
    ASSERT_EQ(ComeByKey('H', {24}), 24) << Log();
    EXPECT_TRUE(Remove(24)) << Log();

    // The resident walks to her door and goes in ...
    ASSERT_EQ(ComeByKey('O', {25}), 25) << Log();
    ASSERT_TRUE(WaitFor([] { return FigurTable[25].State == 100; }, 30000)) << Log();
    FigurTable[25].X = 400;  // near both doors: she turns to hers
    ASSERT_TRUE(WaitFor([] { return Figur025HouseDoor != 0 && !IsOnStage(25); }, 60000)) << Log();
    const int door = Figur025HouseDoor;
    EXPECT_TRUE(door == 1 || door == 2) << door;
    // ... and, called again, comes out of it.
    FigurTable[25].Pause = 0;
    ASSERT_EQ(ComeByKey('O', {25}), 25) << Log();
    ASSERT_TRUE(WaitFor([] { return Figur025HouseDoor == 0 && FigurTable[25].State >= 202; }, 60000)) << Log();
    EXPECT_TRUE(Remove(25, 20, 40)) << Log();

    // The man of door 2 shows himself at his window by day, or walks by.
    const int person = ComeByKey('J', {28, 29, 31, 32});
    ASSERT_NE(person, 0) << Log();
    EXPECT_TRUE(Remove(person, 20, 30)) << person << Log();
    Stop();
}

TEST_F(StreetChangersRun, AtADecemberDuskTheWinterResidentWavesAndTheManOfDoorTwoIsCalledToHisWindow)
{
    OnlyTheStreetChangers();
    Start(2026, 12, 10, 20, 10, 0);

    ASSERT_TRUE(Come(26)) << Log();
    ASSERT_TRUE(WaitFor([] { return FigurTable[26].State == 1 && FigurTable[26].X > 0; }, 30000)) << Log();
    // A click on her coat starts her act.
    ASSERT_TRUE(WaitFor(
        [this] {
            PostMessageA(MainWindow, WM_LBUTTONUP, 0, On(26, 100, 90));
            return FigurTable[26].State == 2;
        },
        10000))
        << Log();
    EXPECT_TRUE(Remove(26, 100, 90)) << Log();

    // The door bell's hot spot calls him to his window (one time in two),
    // and he lights his rooms.
    Figur028Home = 2;
    const LPARAM bell = MAKELPARAM(SceneX + scene::kHotSpotB.x + 3,
                                   SceneY + SceneH - scene::kPictureH + scene::kHotSpotB.y + 3);
    ASSERT_TRUE(WaitFor(
        [bell] {
            if (!IsOnStage(29) && !LoaderBusy)
                PostMessageA(MainWindow, WM_LBUTTONUP, 0, bell);
            return IsOnStage(29);
        },
        30000))
        << Log();
    ASSERT_TRUE(WaitFor([] { return FigurTable[29].State == 1 || FigurTable[29].State == 2; }, 30000)) << Log();
    EXPECT_GE(CountOf(Log(), "Licht:  6 an"), 1);
    EXPECT_TRUE(Remove(29, 30, 30)) << Log();
    Stop();
}

TEST_F(StreetChangersRun, OnAWeekdayNightTheNightWalkerPassesAndTheManOfDoorTwoComes)
{
    OnlyTheStreetChangers();
    Start(2026, 6, 10, 23, 10, 0);

    ASSERT_TRUE(Come(27)) << Log();
    ASSERT_TRUE(WaitFor([] { return FigurTable[27].X > -60; }, 30000)) << Log();
    FigurTable[27].X = SceneW - 10;
    ASSERT_TRUE(WaitFor([] { return !IsOnStage(27); }, 30000)) << Log();
    EXPECT_GE(Lines("ENTLADEN", 27), 1);

    // By night the dog stays at home; the man of door 2 comes.
    Key('H');
    const int person = ComeByKey('J', {28, 29, 31, 32});
    ASSERT_NE(person, 0) << Log();
    EXPECT_FALSE(IsOnStage(24));
    EXPECT_TRUE(Remove(person, 20, 30)) << person << Log();
    Stop();
}

// The people at the stop and their neighbours by day, at dusk, at night and
// on a winter afternoon, when two of them wear coats.
TEST_F(StreetRun, TheStopFiguresComeByDay)
{
    BringTheStopFigures();
    Start(2026, 6, 10, 10, 0, 0);
    BringInTurn(stopFigures_);
    Stop();
}

TEST_F(StreetRun, TheStopFiguresComeAtDusk)
{
    BringTheStopFigures();
    Start(2026, 6, 10, 20, 5, 0);
    BringInTurn(stopFigures_);
    Stop();
}

TEST_F(StreetRun, TheStopFiguresComeAtNight)
{
    BringTheStopFigures();
    Start(2026, 6, 10, 22, 30, 0);
    BringInTurn(stopFigures_);
    Stop();
}

TEST_F(StreetRun, TheStopFiguresComeOnAWinterAfternoon)
{
    BringTheStopFigures();
    Start(2026, 12, 18, 14, 0, 0);
    BringInTurn(stopFigures_);
    Stop();
}

}  // namespace

namespace {

TEST_F(StreetRun, TheWindowCleanersComeAndWithTheWeatherSignRBringsThePresenter)
{
    // The sign shows without a report: nothing is fetched, for the machine
    // says it is offline.
    SetEnvironmentVariableA("WYN_NET_STATE", "0");
    scenetest::SetSettingString("Weather", "1,60,0,0,0,0");
    scenetest::SetSettingString("METAR", "EDDF");
    Start(2026, 6, 10, 14, 0, 0);
    // The window cleaners come only by the choice: brought as it would.
    BringInTurn({{59, 0}});
    FigurTable[69].Pause = 0;
    FigurTable[69].MayReturn = 1;
    ASSERT_TRUE(WaitFor(
        [] {
            if (!IsOnStage(69) && !LoaderBusy)
                PostMessageA(MainWindow, WM_KEYUP, 'R', 0);
            return IsOnStage(69) && FigurTable[69].State != 0;
        },
        60000))
        << Log();
    EXPECT_GE(CountOf(Log(), "Figur  69 GELADEN"), 1);
    // Her scene is short and ends by itself.
    ASSERT_TRUE(WaitFor([] { return !IsOnStage(69); }, 60000)) << Log();
    EXPECT_GE(CountOf(Log(), "Figur  69 ENTLADEN"), 1);
    SetEnvironmentVariableA("WYN_NET_STATE", nullptr);
    Stop();
}

}  // namespace
