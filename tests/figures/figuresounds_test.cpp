// Clicks on the people at the stop, the group and the pairs, and their
// sounds through our bass.dll: the click boxes with their edges, the bus that
// keeps clicks away, the figure's own sound file, and the samples of the acts.
#include "street_fixture.h"

#include "audiotest.h"

#include "core/random.h"
#include "features/lights.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "shell/keys.h"
#include "testutil.h"
#include "vehicles/busstop.h"

#include <algorithm>
#include <string>

namespace {

using streettest::FixedHoursScene;

class FigureSounds : public FixedHoursScene {
protected:
    void SetUp() override
    {
        FixedHoursScene::SetUp();
        // The doors' and shutters' samples are loaded only with their
        // switch on; a test turns the switch on when it wants them heard.
        for (int &on : SoundOpt)
            on = 0;
        SoundOpt[kOptDoors] = 1;
        ASSERT_TRUE(StartEffects());
        SoundOpt[kOptDoors] = 0;
        wav_ = dir_.File("own.wav");
        ASSERT_TRUE(testutil::WriteFileBytes(
            wav_, audiotest::MakeWav(22050, 1, 16, audiotest::Tone(22050, 1, 2.0, 500, 8000))));
    }
    void TearDown() override
    {
        for (int id : {1, 3, 5, 10, 13, 20, 23, 30, 40, 54})
            SaveFigurSound(id, "");
        FreeBASS();
        Sound = 0;
        ClickPending = 0;
        FixedHoursScene::TearDown();
    }
    bool CursorHidden()
    {
        MSG msg;
        bool hidden = false;
        while (PeekMessageA(&msg, window_, kHideCursorMessage, kHideCursorMessage, PM_REMOVE))
            hidden = true;
        return hidden;
    }
    std::string wav_;
};

TEST_F(FigureSounds, ClicksTakenByTheirBoxesAndKeptAwayByTheBus)
{
    const int post = StopPostRect.x;
    struct Case {
        const char *what;
        int id, state;
        int dx, dy;  // the point from the figure's corner
        bool busHalted;
        int after1, after2;  // the state after (one of two)
        bool ownSound, hidden, taken;
    } cases[] = {
        {"1 waiting, lower right corner", 1, 2, 56, 72, false, 4, 4, false, true, true},
        {"1 waiting, just outside", 1, 2, 57, 30, false, 2, 2, false, false, false},
        {"1 waiting while the bus halts", 1, 2, 10, 10, true, 2, 2, false, false, false},
        {"3 walking, at its stride", 3, 1, 40, 76, false, 2, 2, true, true, true},
        {"5 waiting, wide box edge", 5, 3, 96, 98, false, 100, 100, true, true, true},
        {"10 waiting, act box edge", 10, 2, 88, 82, false, 10, 10, true, true, true},
        {"13 waiting", 13, 2, 0, 0, false, 3, 5, false, true, true},
        {"20 standing", 20, 2, 56, 76, false, 10, 10, false, true, true},
        {"23 standing while the bus halts", 23, 3, 40, 40, true, 3, 3, false, false, false},
        {"23 standing", 23, 3, 80, 78, false, 9, 11, true, true, true},
        {"30 walking, at its stride", 30, 1, 112, 73, false, 1, 2, true, false, true},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(SaveFigurSound(c.id, wav_.c_str()), ERROR_SUCCESS) << c.what;
        FigurRecord &r = Enter(c.id, c.id == 20 ? 1 : 0);
        r.State = c.state;
        r.Frame = r.Tick = 0;
        r.WaitCount = 400;
        r.Gait = 400;
        r.X = c.id == 5 ? post - 80 : post + 60;
        r.Sound.Channel1 = 0;
        BusHalted = c.busHalted ? 1 : 0;
        CursorHidden();
        MouseX = r.X + c.dx;
        MouseY = r.Y + c.dy;
        ClickPending = 1;
        // Some take a click only at a stride or a frame step.
        for (int call = 0; call < 200 && ClickPending && IsOnStage(c.id); ++call) {
            MouseX = r.X + c.dx;
            MouseY = r.Y + c.dy;
            r.AvoidOrder = 0;
            Run(c.id);
            if (!c.taken && call > 0)
                break;
        }
        EXPECT_EQ(ClickPending == 0, c.taken) << c.what;
        const int after = r.State;
        if (c.id == 23 && c.taken) {
            EXPECT_TRUE(after == 5 || (after >= 9 && after <= 11)) << c.what << " " << after;
        } else {
            EXPECT_TRUE(after == c.after1 || after == c.after2) << c.what << " " << after;
        }
        // A click on 13 may also cough a sample on that channel (one in
        // three, its own test below), so only the others tell their file.
        if (c.id != 13) {
            EXPECT_EQ(r.Sound.Channel1 != 0 && IsChannelPlaying(kEffectsInstance, r.Sound.Channel1), c.ownSound)
                << c.what;
        }
        EXPECT_EQ(CursorHidden(), c.hidden) << c.what;
        ClickPending = 0;
        BusHalted = 0;
        StopObjectSound(&r.Sound);
        UnloadFigur(c.id);
    }
    // No file named, or the file gone: silence.
    for (const char *path : {"", "C:\\nowhere\\gone.wav"}) {
        SaveFigurSound(10, path);
        FigurRecord &r = Enter(10);
        r.State = 2;
        r.X = post + 60;
        r.Sound.Channel1 = 0;
        MouseX = r.X + 5;
        MouseY = r.Y + 5;
        ClickPending = 1;
        Run(10);
        EXPECT_EQ(r.State, 10) << path;
        EXPECT_EQ(r.Sound.Channel1, 0u) << path;
        UnloadFigur(10);
    }
}

TEST_F(FigureSounds, FigureOnesFindSaysOhAtTheEndOfHisSearch)
{
    FigurRecord &r = Enter(1);
    r.State = 2;
    r.X = StopPostRect.x + 20;
    MouseX = r.X + 10;
    MouseY = r.Y + 10;
    ClickPending = 1;
    Run(1);
    ASSERT_EQ(r.State, 4);
    const int before = SamplePlays(13);
    // His search runs a frame a call through the entries 13 to 19, entry 16
    // from its own place on the second row.
    for (int k = 13; k <= 19; ++k) {
        EXPECT_EQ(SamplePlays(13), before) << k;
        Run(1);
        EXPECT_EQ(DrawnEntry(1, Season - 1), k);
    }
    EXPECT_EQ(SamplePlays(13), before + 1);
    EXPECT_EQ(r.State, 5);
}

TEST_F(FigureSounds, FigureThirteenCoughsInTheColdAndWhenClicked)
{
    // Acts at the end of a wait cycle: 1 in 5 in winter, 1 in 17 in summer;
    // a cough in 1 of 9 of them.
    auto acts = [this](int month, int *coughs) {
        At(2026, month, 10, 10, 0);
        Build();
        FigurRecord &r = Enter(13);
        const int before = SamplePlays(14);
        int n = 0;
        SeedRand(23);
        for (int k = 0; k < 850; ++k) {
            r.State = 2;
            r.Frame = 3;
            r.Tick = 100000;
            Run(13);
            n += r.State == 3;
        }
        *coughs = SamplePlays(14) - before;
        UnloadFigur(13);
        return n;
    };
    int winterCoughs = 0, summerCoughs = 0;
    const int winter = acts(12, &winterCoughs), summer = acts(6, &summerCoughs);
    EXPECT_GT(winter, 170 - 45);
    EXPECT_LT(winter, 170 + 45);
    EXPECT_GT(summer, 50 - 25);
    EXPECT_LT(summer, 50 + 25);
    EXPECT_GT(winterCoughs, 0);
    EXPECT_LT(winterCoughs, winter / 3);

    // Clicked: a cough and the cold act 1 in 3, else the knee bends.
    FigurRecord &r = Enter(13);
    int coldActs = 0, bends = 0;
    const int before = SamplePlays(14);
    for (int k = 0; k < 60; ++k) {
        r.State = 2;
        MouseX = r.X + 1;
        MouseY = r.Y + 1;
        ClickPending = 1;
        Run(13);
        coldActs += r.State == 3;
        bends += r.State == 5;
    }
    EXPECT_EQ(coldActs + bends, 60);
    EXPECT_EQ(SamplePlays(14) - before, coldActs);
    EXPECT_GT(coldActs, 8);
    EXPECT_LT(coldActs, 35);
}

TEST_F(FigureSounds, ThePramSqueaksAtTheSecondFrameWhileItsChannelIsFree)
{
    FigurRecord &r = Enter(30);
    r.X = 600;
    const int before = SamplePlays(28);
    while (r.Frame != 2)
        Run(30);
    EXPECT_EQ(SamplePlays(28), before + 1);
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, r.Sound.Channel1));
    // Its channel busy: no second squeak over the first.
    const DWORD first = r.Sound.Channel1;
    while (r.Frame == 2)
        Run(30);
    while (r.Frame != 2)
        Run(30);
    if (IsChannelPlaying(kEffectsInstance, first)) {
        EXPECT_EQ(SamplePlays(28), before + 1);
    }
    // Far off the left edge it is not heard.
    StopObjectSound(&r.Sound);
    r.X = -140;
    const int off = SamplePlays(28);
    while (r.Frame == 2)
        Run(30);
    while (r.Frame != 2 && IsOnStage(30))
        Run(30);
    EXPECT_EQ(SamplePlays(28), off);
}

TEST_F(FigureSounds, HouseDoorsAndShuttersSoundOnlyWithTheDoorSwitch)
{
    struct Case {
        const char *what;
        bool sound, doors;
        int plays;
    } cases[] = {{"sound and the door switch on", true, true, 1},
                 {"the door switch off", true, false, 0},
                 {"sound off", false, true, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SoundOpt[kOptDoors] = c.doors ? 1 : 0;
        // A resident out of its door: the house door.
        ResidentDoor[63] = 2;
        FigurRecord &r = Enter(63);
        Run(63);
        ASSERT_EQ(r.State, 6);
        const int doorBefore = SamplePlays(22);
        const int soundWas = Sound;
        Sound = c.sound ? soundWas : 0;
        while (r.State == 6)
            Run(63);
        EXPECT_EQ(SamplePlays(22), doorBefore + c.plays);
        UnloadFigur(63);
        // The baker's wife closing the shutters at dusk.
        At(2026, 6, 10, 20, 30);
        Build();
        ShutterState = kShutterOpen;
        Sound = soundWas;
        FigurRecord &w = Enter(55);
        while (w.State < 10 && IsOnStage(55))
            Run(55);
        const int shutterBefore = SamplePlays(21);
        Sound = c.sound ? soundWas : 0;
        while (w.State == 10)
            Run(55);
        EXPECT_EQ(SamplePlays(21), shutterBefore + c.plays);
        Sound = soundWas;
        UnloadFigur(55);
        ShutterState = kShutterOpen;
        At(2026, 6, 10, 14, 0);
        Build();
    }
    SoundOpt[kOptDoors] = 0;
}

TEST_F(FigureSounds, Figure40SaysHisPieceWhenHemmedInAsWhenClicked)
{
    ASSERT_EQ(SaveFigurSound(40, wav_.c_str()), ERROR_SUCCESS);
    FigurRecord &r = Enter(40);
    r.X = 600;
    r.Sound.Channel1 = 0;
    // Free strides say nothing.
    for (int k = 0; k < 200 && r.X > 500; ++k) {
        r.AvoidOrder = 0;
        Run(40);
    }
    ASSERT_EQ(r.State, 1);
    EXPECT_EQ(r.Sound.Channel1, 0u);
    // A step cut at the lane's edge stops him, and his file plays.
    r.Y = r.LaneYMin;
    for (int k = 0; k < 200 && r.State == 1; ++k) {
        r.AvoidOrder = -3;
        Run(40);
    }
    EXPECT_EQ(r.State, 2);
    EXPECT_NE(r.Sound.Channel1, 0u);
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, r.Sound.Channel1));
    StopObjectSound(&r.Sound);
}

TEST_F(FigureSounds, TheCameraClicksOnlyWithItsSwitchAndNeverOverItself)
{
    // Frame steps of the photographer at work, as many as a test can wait for.
    auto shoot = [this](int calls, int *overlapping) {
        FigurRecord &r = FigurTable[54];
        int plays = 0;
        for (int k = 0; k < calls; ++k) {
            r.State = 2;
            r.Frame = 0;
            r.WaitCount = 0;
            r.AvoidOrder = 0;
            r.Tick = 100000;
            const bool busy = r.Sound.Channel1 != 0 && IsChannelPlaying(kEffectsInstance, r.Sound.Channel1);
            const int before = SamplePlays(18);
            Run(54);
            const int now = SamplePlays(18) - before;
            plays += now;
            if (busy && overlapping)
                *overlapping += now;
        }
        return plays;
    };
    FigurRecord &r = Enter(54);
    r.X = 600;
    r.Sound.Channel1 = 0;
    EXPECT_EQ(shoot(400, nullptr), 0) << "the camera switch is off";
    // The sound starts again with the switch on, as the saver starts with it.
    FreeBASS();
    SoundOpt[kOptCamera] = 1;
    ASSERT_EQ(LoadBASS(kEffectsInstance), 1);
    LockWaveResources(GetModuleHandleA(nullptr));
    LoadSamples();
    int overlapping = 0;
    int plays = 0;
    for (int round = 0; round < 20 && plays < 2; ++round) {
        plays += shoot(100, &overlapping);
        // The channel falls quiet between rounds.
        testutil::WaitFor([&r] { return !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1); }, 2000);
    }
    EXPECT_GE(plays, 2);
    EXPECT_EQ(overlapping, 0);
    // Switched off while the saver runs: quiet at once.
    StopObjectSound(&r.Sound);
    SoundOpt[kOptCamera] = 0;
    EXPECT_EQ(shoot(400, nullptr), 0) << "switched off again";
}

}  // namespace

TEST_F(FigureSounds, TheCouplesDoorSoundsOnlyWithSoundAndTheDoorsSwitch)
{
    // The door sample is loaded only with its switch on.
    SoundOpt[kOptDoors] = 1;
    LockWaveResources(GetModuleHandleA(nullptr));
    LoadSamples();
    At(2026, 6, 10, 20, 0);
    Build();
    struct Case {
        int sound, doors;
        bool heard;
    } cases[] = {{1, 1, true}, {1, 0, false}, {0, 1, false}};
    for (const Case &c : cases) {
        Figur033HouseDoor1 = 0;
        FigurRecord &r = Enter(33, 90);
        ASSERT_TRUE(testutil::WaitFor(
            [&] {
                Run(33);
                return r.State == 100 || !IsOnStage(33);
            },
            10000));
        // The last frame of going in at door 2 ends with the door.
        r.State = 105;
        r.Frame = 16;
        r.Tick = 1000;
        const int sound = Sound;
        Sound = c.sound;
        SoundOpt[kOptDoors] = c.doors;
        const int before = SamplePlays(22);
        Run(33);
        Sound = sound;
        SoundOpt[kOptDoors] = 0;
        EXPECT_EQ(r.State, 106);
        EXPECT_EQ(SamplePlays(22) - before, c.heard ? 1 : 0) << c.sound << c.doors;
        StopObjectSound(&r.Sound);
        UnloadFigur(33);
    }
    Figur033HouseDoor1 = 0;
}
