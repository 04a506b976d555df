// The musicians and their listener: where they stop, what their clicks and
// the music bubble's orders do, when they bring others, and how they leave;
// the music itself on our audio library with a playlist of short songs.
#include "street_fixture.h"

#include "audiotest.h"
#include "core/random.h"
#include "scene/bubbles.h"
#include "figures/musicians.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "shell/keys.h"

#include <set>

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

constexpr int kBand = 41, kSolo = 42, kListener = 44;

class Musicians : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        SeedRand(26);
        Music = 0;
        MusikKommt = 3;
        MusicPlaying = 0;
        MusicStarting = 0;
        MusicTitleChanged = 0;
        WinampPlaying = 0;
        MusicCommand = 0;
    }
    void TearDown() override
    {
        WaitMusicThread(10000);
        if (BassLoaded(kMusicInstance))
            StopMusic();
        FreeBASS();
        Music = 0;
        MusicPlaying = 0;
        MusicTitleChanged = 0;
        WinampPlaying = 0;
        MusicCommand = 0;
        StreetScene::TearDown();
    }
    // On stage and set up (state 0, then the set-up state).
    // The street musician may bring the listener; she is sent off again.
    FigurRecord &Enter(int id)
    {
        if (IsOnStage(id))
            UnloadFigur(id);
        OnStage(id, 0);
        Run(id, 2);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
        if (id == kSolo && IsOnStage(kListener))
            UnloadFigur(kListener);
        return FigurTable[id];
    }
    // The next call ends a stride.
    void StrideEndsNext(FigurRecord &r)
    {
        r.Frame = 5;
        r.Tick = r.Speed;
    }
    // Calls until the figure leaves state, at most n.
    void RunWhile(int id, int state, int n = 3000)
    {
        for (int i = 0; i < n && IsOnStage(id) && FigurTable[id].State == state; ++i)
            Run(id);
    }
    // Playing (or listening) at x, facing left (state 3) or right (11).
    FigurRecord &Playing(int id, int state, int x)
    {
        FigurRecord &r = Enter(id);
        r.State = state;
        r.X = x;
        r.Frame = r.Tick = 0;
        r.Direction = r.Avoids = 0;
        return r;
    }
    int LoadsAsked(int id)
    {
        char refused[40], loaded[40];
        snprintf(refused, sizeof(refused), "Figur %3d: kein Skript", id);
        snprintf(loaded, sizeof(loaded), "Figur %3d laden", id);
        const std::string log = Log();
        return CountOf(log, refused) + CountOf(log, loaded);
    }
};

TEST_F(Musicians, TheBandWalksInAndStopsAtTheFirstStopPlaceAfterItsCountdown)
{
    FigurRecord &r = Enter(kBand);
    EXPECT_STREQ(r.Name, "Musiker");
    EXPECT_EQ(r.State, 2);
    EXPECT_LE(r.X, -160);
    EXPECT_GE(r.X, -180);
    EXPECT_EQ(r.Direction, 1);
    EXPECT_GE(r.Y, SceneH - 314);
    EXPECT_LE(r.Y, SceneH - 274);
    EXPECT_EQ(r.FootLine, r.Y + 94);
    EXPECT_GE(r.Pause, 32);
    EXPECT_LE(r.Pause, 80);
    // The countdown runs out at X 300, outside every stop place: it walks on
    // to the first stride that ends at 491..579.
    r.X = 276;
    r.WaitCount = 1;
    StrideEndsNext(r);
    std::set<int> entries;
    for (int i = 0; i < 3000 && r.State == 2; ++i) {
        Run(kBand);
        entries.insert(DrawnEntryAt(kBand, r.X, r.Y));
    }
    EXPECT_EQ(r.State, 3);
    EXPECT_EQ(r.X, 492);
    EXPECT_EQ(r.Direction, 0);
    for (int e : entries)
        EXPECT_TRUE(e >= 0 && e <= 11) << e;
    // Two set-up frames, then it plays (with the music off, for good).
    RunWhile(kBand, 3);
    EXPECT_EQ(r.State, 4);
    std::set<int> played;
    for (int i = 0; i < 1500; ++i) {
        Run(kBand);
        played.insert(DrawnEntry(kBand));
    }
    EXPECT_EQ(r.State, 4);
    EXPECT_GE(played.size(), 10u);
    for (int e : played)
        EXPECT_TRUE(e >= 14 && e <= 29) << e;
}

TEST_F(Musicians, TheFirstCountdownFitsEveryScreenWidth)
{
    const int width = SceneW;
    struct {
        int sceneW, lo, hi;
    } cases[] = {{500, 8, 8}, {400, 8, 8}, {511, 8, 8}, {1280, 8, 32}};
    for (auto c : cases) {
        SceneW = c.sceneW;
        for (int id : {kBand, kSolo}) {
            FigurRecord &r = Enter(id);
            EXPECT_GE(r.WaitCount, c.lo) << c.sceneW << " " << id;
            EXPECT_LE(r.WaitCount, c.hi) << c.sceneW << " " << id;
            UnloadFigur(id);
            testutil::WaitFor([] { return !LoaderBusy; }, 5000);
        }
    }
    SceneW = width;
}

TEST_F(Musicians, TheStreetMusicianStopsOnlyBetween250AndTheRightEdgeLess180)
{
    struct {
        int state, endX, stopsIn, xAfter;
    } cases[] = {
        {2, 250, 2, 250}, {2, 272, 3, 272}, {2, 1100, 2, 1100}, {2, 1078, 3, 1078},
        {10, 250, 10, 250}, {10, 272, 11, 250}, {10, 1100, 10, 1100}, {10, 1078, 11, 1056},
    };
    for (auto c : cases) {
        FigurRecord &r = Enter(kSolo);
        r.State = c.state;
        r.X = c.endX + (c.state == 2 ? 22 : -22);
        r.WaitCount = 1;
        StrideEndsNext(r);
        Run(kSolo);
        EXPECT_EQ(r.State, c.stopsIn) << c.state << " " << c.endX;
        EXPECT_EQ(r.X, c.xAfter) << c.state << " " << c.endX;
        UnloadFigur(kSolo);
    }
}

TEST_F(Musicians, TheStreetMusicianComesFromTheOtherSideEachTime)
{
    FigurRecord &r = Enter(kSolo);
    const int first = r.Direction;
    ASSERT_TRUE(first == 1 || first == -1);
    EXPECT_EQ(r.X, first > 0 ? -100 : r.X);
    if (first < 0) {
        EXPECT_GE(r.X, SceneW);
        EXPECT_LE(r.X, SceneW + 20);
    }
    EXPECT_EQ(r.Avoids, first);
    EXPECT_EQ(r.FootLine, r.Y + 92);
    UnloadFigur(kSolo);
    testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    EXPECT_EQ(Enter(kSolo).Direction, -first);
}

TEST_F(Musicians, ATitleOpensItsBubbleBesideThePlayingMusician)
{
    Music = 1;
    MusicPlaying = 1;
    struct {
        int id, state, x, kind, bubbleX, above;
    } cases[] = {
        {kSolo, 3, 400, 3, 230, 50}, {kSolo, 11, 200, 4, 270, 50},
        {kBand, 4, 600, 3, 475, 75}, {kBand, 4, 300, 4, 350, 75},
    };
    for (auto c : cases) {
        FigurRecord &r = Playing(c.id, c.state, c.x);
        SetMusicTitle(c.id == kBand ? "Polka" : "Ballade");
        MusicTitleChanged = 1;
        for (int i = 0; i < 500 && OpenBubbleKind == 0; ++i)
            Run(c.id);
        EXPECT_EQ(OpenBubbleKind, c.kind) << c.id << " " << c.x;
        EXPECT_EQ(BubblePosition().x, c.bubbleX) << c.id << " " << c.x;
        EXPECT_EQ(BubblePosition().y, r.Y - c.above) << c.id << " " << c.x;
        EXPECT_EQ(MusicTitleChanged.load(), 0);
        // A click on the player closes the music bubble, the next opens it.
        Click(ClickPending, r.X + 10, r.Y + 10);
        Run(c.id);
        EXPECT_EQ(OpenBubbleKind, 0);
        EXPECT_EQ(ClickPending, 0u);
        Click(ClickPending, r.X + 10, r.Y + 10);
        Run(c.id);
        EXPECT_EQ(OpenBubbleKind, c.kind);
        KillSprechblase();
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
}

TEST_F(Musicians, TheBubblesOrdersAreCarriedOutAndCleared)
{
    Music = 1;
    MusicPlaying = 1;
    struct {
        int id, state, order, stateAfter, dx;
    } cases[] = {
        {kBand, 4, kMusicOrderStop, 5, 0},    {kSolo, 3, kMusicOrderStop, 2, -22},
        {kSolo, 11, kMusicOrderStop, 10, 22}, {kBand, 4, kMusicOrderShowTitle, 4, 0},
        {kSolo, 3, kMusicOrderShowTitle, 3, 0}, {kSolo, 3, kMusicOrderCloseTitle, 3, 0},
        {kBand, 4, kMusicOrderNext, 4, 0},
    };
    for (auto c : cases) {
        FigurRecord &r = Playing(c.id, c.state, 600);
        if (c.order == kMusicOrderCloseTitle)
            CreateSprechblase(3, "Titel", 300, 500, 20);
        WinampPlaying = c.order == kMusicOrderNext;  // the next piece is Winamp's business then
        MusicCommand = c.order;
        Run(c.id);
        EXPECT_EQ(MusicCommand, 0) << c.id << " " << c.order;
        EXPECT_EQ(r.State, c.stateAfter) << c.id << " " << c.order;
        EXPECT_EQ(r.X, 600 + c.dx) << c.id << " " << c.order;
        EXPECT_EQ(OpenBubbleKind != 0, c.order == kMusicOrderShowTitle) << c.id << " " << c.order;
        EXPECT_EQ(MusicStarting.load(), 0);
        if (OpenBubbleKind)
            KillSprechblase();
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
    // With the music switched off an order waits for it.
    Music = 0;
    WinampPlaying = 0;
    FigurRecord &r = Playing(kSolo, 3, 600);
    MusicCommand = kMusicOrderStop;
    Run(kSolo);
    EXPECT_EQ(MusicCommand, kMusicOrderStop);
    EXPECT_EQ(r.State, 3);
}

TEST_F(Musicians, WhenTheMusicEndsTheBandPacksUpAndTheOthersWalkOn)
{
    Music = 1;
    struct {
        int id, state, stateAfter, dx, direction;
    } cases[] = {
        {kSolo, 3, 2, -22, -1}, {kSolo, 11, 10, 22, 1}, {kListener, 3, 2, -22, -1}, {kListener, 11, 10, 22, 1},
    };
    for (auto c : cases) {
        FigurRecord &r = Playing(c.id, c.state, 600);
        RunWhile(c.id, c.state, 500);
        EXPECT_EQ(r.State, c.stateAfter) << c.id << " " << c.state;
        EXPECT_EQ(r.X, 600 + c.dx) << c.id << " " << c.state;
        EXPECT_EQ(r.Direction, c.direction) << c.id << " " << c.state;
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
    FigurRecord &band = Playing(kBand, 4, 500);
    RunWhile(kBand, 4, 500);
    ASSERT_EQ(band.State, 5);
    std::vector<int> entries;
    while (band.State == 5) {
        Run(kBand);
        entries.push_back(DrawnEntryAt(kBand, band.State == 5 ? band.X : band.X - 24, band.Y));
    }
    EXPECT_EQ(entries.front(), 13);
    EXPECT_EQ(entries.back(), 12);
    EXPECT_EQ(band.State, 9);
    EXPECT_EQ(band.X, 524);
    EXPECT_EQ(band.Direction, 1);
}

TEST_F(Musicians, PlayingAndListeningFacingRightStayInsideTheirRun)
{
    for (int id : {kSolo, kListener}) {
        FigurRecord &r = Playing(id, 11, 600);
        r.Speed = 0;  // a frame a call: many cycles, some long enough to reach the run's end
        std::set<int> entries;
        for (int i = 0; i < 4000; ++i) {
            Run(id);
            entries.insert(DrawnEntry(id));
        }
        EXPECT_EQ(r.State, 11);
        EXPECT_EQ(*entries.begin(), 38);
        EXPECT_EQ(*entries.rbegin(), 50) << id;
        UnloadFigur(id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
}

TEST_F(Musicians, APhaseChangeEarlyInTheHourEndsTheActButLaterItWaits)
{
    Music = 1;
    MusicPlaying = 1;
    PhaseChangeDue = 1;
    struct {
        int minute, id, state, stateAfter;
    } cases[] = {
        {5, kSolo, 3, 9}, {5, kSolo, 11, 19}, {5, kBand, 4, 5}, {5, kListener, 3, 9},
        {30, kSolo, 3, 3}, {30, kBand, 4, 4}, {30, kListener, 11, 11},
    };
    for (auto c : cases) {
        At(2026, 6, 10, 14, c.minute);
        FigurRecord &r = Playing(c.id, c.state, 600);
        RunWhile(c.id, c.state, 400);
        EXPECT_EQ(r.State, c.stateAfter) << c.minute << " " << c.id << " " << c.state;
        if (c.id == kSolo && c.stateAfter != c.state) {
            EXPECT_EQ(r.WaitCount, 999);
        }
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
    // A walker with the change due leaves and never stops.
    FigurRecord &r = Enter(kSolo);
    r.X = 700;
    r.WaitCount = 1;
    for (int i = 0; i < 5000 && IsOnStage(kSolo); ++i) {
        Run(kSolo);
        ASSERT_NE(r.State, 3);
        ASSERT_NE(r.State, 11);
    }
    EXPECT_FALSE(IsOnStage(kSolo));
}

TEST_F(Musicians, ClicksOnAWalkingMusicianStopHim)
{
    struct {
        int id, state, stateAfter, dx;
    } cases[] = {
        {kSolo, 2, 3, 0}, {kSolo, 10, 11, 0}, {kListener, 2, 3, 0}, {kListener, 10, 11, 0}, {kBand, 2, 3, 24},
    };
    for (auto c : cases) {
        FigurRecord &r = Enter(c.id);
        r.State = c.state;
        r.X = 600;
        StrideEndsNext(r);
        Click(ClickPending, 640, r.Y + 20);
        Run(c.id);
        EXPECT_EQ(r.State, c.stateAfter) << c.id << " " << c.state;
        EXPECT_EQ(r.X, 600 + c.dx) << c.id << " " << c.state;
        EXPECT_EQ(r.Direction, 0);
        EXPECT_EQ(ClickPending, 0u);
        UnloadFigur(c.id);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
}

TEST_F(Musicians, TheListenerFollowsTheMusiciansSideAndStopsBesideHim)
{
    FigurRecord &m = FigurTable[kSolo];
    m.X = 600;
    MusicPlaying = 1;
    struct {
        int musicianDirection, walkState, stopState;
        bool stopsAt(int x) const { return musicianDirection < 0 ? x < 520 : x > 720; }
    } cases[] = {{-1, 2, 3}, {1, 10, 11}};
    for (auto c : cases) {
        m.Direction = c.musicianDirection;
        FigurRecord &r = Enter(kListener);
        EXPECT_EQ(r.State, c.walkState);
        if (c.walkState == 2) {
            EXPECT_GE(r.X, SceneW);
        } else {
            EXPECT_LE(r.X, -110);
            EXPECT_GE(r.X, -150);
        }
        r.X = c.walkState == 2 ? 900 : 300;
        int x = r.X;
        for (int i = 0; i < 5000 && r.State == c.walkState; ++i) {
            x = r.X;
            Run(kListener);
        }
        EXPECT_EQ(r.State, c.stopState);
        // It stops at the first stride that ends beside him, not before.
        const int step = c.walkState == 2 ? -22 : 22;
        EXPECT_TRUE(c.stopsAt(x + step)) << x;
        EXPECT_FALSE(c.stopsAt(x)) << x;
        UnloadFigur(kListener);
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
}

TEST_F(Musicians, ByNightTheStreetMusicianComesWithoutAListener)
{
    struct {
        int hour;
        bool listener;
    } cases[] = {{14, true}, {23, false}};
    for (auto c : cases) {
        At(2026, 6, 10, c.hour, 0);
        Build();
        ASSERT_EQ(TimeOfDay == kNight, !c.listener);
        const int before = LoadsAsked(kListener);
        for (int i = 0; i < 12; ++i) {
            OnStage(kSolo, 0);
            Run(kSolo);
            testutil::WaitFor([] { return !LoaderBusy; }, 5000);
            if (IsOnStage(kListener))
                UnloadFigur(kListener);
            UnloadFigur(kSolo);
        }
        EXPECT_EQ(LoadsAsked(kListener) > before, c.listener) << c.hour;
    }
}

TEST_F(Musicians, AtACyclesEndAWindowSceneOrTheNeighbourIsAsked)
{
    struct {
        int hour, home;
        bool neighbour;
    } cases[] = {{14, 2, false}, {23, 2, true}, {23, 0, false}};
    for (auto c : cases) {
        At(2026, 6, 10, c.hour, 0);
        Build();
        ASSERT_EQ(TimeOfDay != kDay, c.hour == 23);
        Figur028Home = c.home;
        const int windows = LoadsAsked(60), neighbours = LoadsAsked(29);
        Playing(kBand, 4, 600).Speed = 0;  // a frame a call
        for (int i = 0; i < 3000; ++i) {
            Run(kBand);
            if (IsOnStage(29) || IsOnStage(60)) {
                testutil::WaitFor([] { return !LoaderBusy; }, 5000);
                UnloadFigur(29);
                UnloadFigur(60);
            }
        }
        EXPECT_GT(LoadsAsked(60), windows) << c.hour;
        EXPECT_EQ(LoadsAsked(29) > neighbours, c.neighbour) << c.hour << " " << c.home;
        UnloadFigur(kBand);
    }
}

// ------------------------------------------------------------ real music

class MusiciansWithMusic : public Musicians {
protected:
    void SetUp() override
    {
        Musicians::SetUp();
        DistIsProgramFolder();
        StrCopy(MP3file, dir_.File("music.m3u").c_str());
        MP3next = 0;
        MP3shuffle = 0;
        PlayChosen = 0;
        MusicStream = 0;
        ASSERT_EQ(1, LoadBASS(kMusicInstance));
        PlaylistCount = 0;
        InsPlaylistEntry(PlaylistCount, Song("eins.wav", "Eins", 1.0).c_str());
        InsPlaylistEntry(PlaylistCount, Song("zwei.wav", "Zwei", 3.0).c_str());
        SetMusicTitle("");
        MusicTitleChanged = 0;
        Music = 1;
    }
    std::string Song(const std::string &name, const std::string &title, double seconds)
    {
        std::string path = dir_.File(name);
        testutil::WriteFileBytes(path, audiotest::MakeWav(22050, 2, 16, audiotest::Tone(22050, 2, seconds, 440, 6000)) +
                                           audiotest::MakeId3v1(title, "Strassenband"));
        return path;
    }
    std::string Title()
    {
        char t[kMusicTitleLen];
        GetMusicTitle(t, sizeof(t));
        return t;
    }
    bool Sliding() { return MusicStream && BassApi[kMusicInstance].ChannelIsSliding(MusicStream) != 0; }
};

TEST_F(MusiciansWithMusic, TheMusicianStartsThePlaylistShowsTitlesAndWalksOnWhenItEnds)
{
    FigurRecord &r = Enter(kSolo);
    r.State = 2;
    r.X = 622;
    r.WaitCount = 1;
    StrideEndsNext(r);
    Run(kSolo);
    ASSERT_EQ(r.State, 3);
    ASSERT_TRUE(WaitMusicThread(20000));
    EXPECT_EQ(MusicPlaying.load(), 1);
    EXPECT_EQ(Title(), "Strassenband\r\nEins");
    for (int i = 0; i < 500 && OpenBubbleKind == 0; ++i)
        Run(kSolo);
    EXPECT_EQ(OpenBubbleKind, 3);
    EXPECT_EQ(BubblePosition().x, 600 - 170);
    EXPECT_EQ(MusicTitleChanged.load(), 0);
    // Next piece from the bubble.
    MusicCommand = kMusicOrderNext;
    Run(kSolo);
    EXPECT_EQ(MusicCommand, 0);
    ASSERT_TRUE(WaitMusicThread(20000));
    EXPECT_EQ(Title(), "Strassenband\r\nZwei");
    KillSprechblase();
    for (int i = 0; i < 500 && OpenBubbleKind == 0; ++i)
        Run(kSolo);
    EXPECT_EQ(OpenBubbleKind, 3);
    // The three-second piece ends: the housekeeping sees it, he walks on.
    for (int i = 0; i < 400 && r.State == 3; ++i) {
        Sleep(20);
        MusicHousekeeping();
        Run(kSolo);
    }
    EXPECT_EQ(r.State, 2);
    EXPECT_EQ(r.X, 578);
}

TEST_F(MusiciansWithMusic, AClickTogglesTheMusicUnlessWinampPlays)
{
    FigurRecord &r = Enter(kSolo);
    r.State = 2;
    r.X = 600;
    StrideEndsNext(r);
    Click(ClickPending, 610, r.Y + 20);
    Run(kSolo);
    ASSERT_EQ(r.State, 3);
    ASSERT_TRUE(WaitMusicThread(20000));
    EXPECT_EQ(MusicPlaying.load(), 1);
    // Walking again, a click stops what plays.
    r.State = 2;
    StrideEndsNext(r);
    Click(ClickPending, 610, r.Y + 20);
    Run(kSolo);
    EXPECT_EQ(MusicPlaying.load(), 0);
    // Winamp plays: neither a click nor a stop starts the own music.
    WinampPlaying = 1;
    for (int stop = 0; stop < 2; ++stop) {
        r.State = 2;
        r.X = 600;
        StrideEndsNext(r);
        if (stop)
            r.WaitCount = 1;
        else
            Click(ClickPending, 610, r.Y + 20);
        Run(kSolo);
        EXPECT_EQ(r.State, 3);
        EXPECT_EQ(MusicStarting.load(), 0);
        EXPECT_EQ(MusicPlaying.load(), 0);
    }
}

TEST_F(MusiciansWithMusic, LeavingFadesOnlyWhenThePhaseChangesEarlyOrOnARemoveClick)
{
    struct {
        int minute;
        bool phaseChange, remove, fades;
    } cases[] = {{5, true, false, true}, {30, true, false, false}, {5, false, false, false}, {30, false, true, true}};
    for (auto c : cases) {
        At(2026, 6, 10, 14, c.minute);
        MP3next = 1;
        ASSERT_EQ(1, StartPlayMusic());
        ASSERT_TRUE(WaitMusicThread(20000));
        ASSERT_EQ(MusicPlaying.load(), 1);
        FigurRecord &r = Enter(kSolo);
        PhaseChangeDue = c.phaseChange ? 1 : 0;
        if (c.remove) {
            r.X = 600;
            Click(RemovePending, 610, r.Y + 20);
            Run(kSolo);
        } else {
            r.State = 19;
            r.X = SceneW - 10;
            StrideEndsNext(r);
            Run(kSolo);
        }
        EXPECT_FALSE(IsOnStage(kSolo));
        EXPECT_EQ(Sliding(), c.fades) << c.minute << " " << c.phaseChange << " " << c.remove;
        StopMusic();
        testutil::WaitFor([] { return !LoaderBusy; }, 5000);
    }
    PhaseChangeDue = 0;
}

}  // namespace
