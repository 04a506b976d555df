// The sounds of the pavement renewer, the dog and the people of doors 1 and
// 2 through our bass.dll: the samples of their work, their barks and their
// doors, with the user's switches and a busy channel, and the sound files
// their clicks play.
#include "street_fixture.h"

#include "audiotest.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "shell/keys.h"
#include "testutil.h"

#include <string>

namespace {

using streettest::StreetScene;

constexpr int kRenewer = 22, kDog = 24, kResident = 25, kWindow = 29;
constexpr int kBarkSample = 5, kWorkSample = 12, kDoorSample = 22;

class StreetLifeSounds : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        // The barks and the doors are loaded only with their switches on; the
        // tests turn them off again where they ask.
        for (int &on : SoundOpt)
            on = 0;
        SoundOpt[kOptDog] = SoundOpt[kOptDoors] = 1;
        ASSERT_TRUE(StartEffects());
        for (int &on : SoundOpt)
            on = 0;
        // Two seconds: long enough to be playing still at the next call.
        wav_ = dir_.File("own.wav");
        ASSERT_TRUE(testutil::WriteFileBytes(
            wav_, audiotest::MakeWav(22050, 1, 16, audiotest::Tone(22050, 1, 2.0, 500, 8000))));
    }
    void TearDown() override
    {
        for (int id : {22, 24, 25, 28, 29, 31, 32})
            SaveFigurSound(id, "");
        for (int &on : SoundOpt)
            on = 0;
        FreeBASS();
        Sound = 0;
        ClickPending = 0;
        Figur025HouseDoor = 0;
        Figur028Home = 2;
        StreetScene::TearDown();
    }
    // The next call ends the frame the figure is in.
    static void AtFrameEnd(FigurRecord &r, int frame)
    {
        r.Frame = frame;
        r.Tick = 100000;
    }
    static bool Playing(const FigurRecord &r) { return IsChannelPlaying(kEffectsInstance, r.Sound.Channel1); }
    // The resident asks for her extra sheet at her set-up; the worker is
    // let finish before her states are set by hand.
    FigurRecord &EnterResident()
    {
        FigurRecord &r = Enter(kResident);
        EXPECT_TRUE(testutil::WaitFor([] { return FigurTable[kResident].Sheets[1] != nullptr && !PlusLoaderBusy; },
                                      5000));
        return r;
    }
    std::string wav_;
};

TEST_F(StreetLifeSounds, TheRenewerWorksAloudOverAQuietChannelAndHisClickIsHeard)
{
    FigurRecord &r = Enter(kRenewer);
    ASSERT_TRUE(IsOnStage(kRenewer)) << Log();
    auto stride = [this, &r] {
        r.State = 1;
        r.X = 300;
        r.ScriptVar = 0;
        r.AvoidOrder = 0;
        r.Gait = 1000;  // no act of his own in between
        AtFrameEnd(r, 3);
        Run(kRenewer);
    };
    const int before = SamplePlays(kWorkSample);
    stride();
    EXPECT_EQ(SamplePlays(kWorkSample), before + 1);
    EXPECT_TRUE(Playing(r));
    // Still working aloud: no second sample over the first.
    stride();
    EXPECT_EQ(SamplePlays(kWorkSample), before + 1);
    StopObjectSound(&r.Sound);
    stride();
    EXPECT_EQ(SamplePlays(kWorkSample), before + 2);
    // The sound off: silence.
    StopObjectSound(&r.Sound);
    Sound = 0;
    stride();
    Sound = 1;
    EXPECT_EQ(SamplePlays(kWorkSample), before + 2);
    // Kneeling, he sets a stone at each frame's end.
    StopObjectSound(&r.Sound);
    r.State = 4;
    AtFrameEnd(r, 0);
    Run(kRenewer);
    EXPECT_EQ(SamplePlays(kWorkSample), before + 3);

    // Clicked at a stride, his own file plays and is still heard once his
    // act has begun.
    ASSERT_EQ(SaveFigurSound(kRenewer, wav_.c_str()), ERROR_SUCCESS);
    StopObjectSound(&r.Sound);
    r.State = 1;
    r.X = 300;
    r.Gait = 1000;
    AtFrameEnd(r, 3);
    Click(300 + 14 + 30, r.Y + 40);
    Run(kRenewer);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_TRUE(r.State == 2 || r.State == 3) << r.State;
    EXPECT_TRUE(Playing(r));
    EXPECT_EQ(r.Sound.Channel1, LastFreeChannel);
    Run(kRenewer);
    EXPECT_TRUE(Playing(r));
}

TEST_F(StreetLifeSounds, TheDogBarksWithItsSwitchOnAQuietChannelAndWhenClickedRegardless)
{
    FigurRecord &r = Enter(kDog);
    r.X = 300;
    r.Y = 100;
    r.FootLine = r.Y + r.FrameH;
    SeedRand(5);
    // Standing, it barks now and then: with the "dog" switch on and its
    // channel quiet only.
    auto barks = [this, &r](int calls, bool quietEachTime) {
        const int before = SamplePlays(kBarkSample);
        for (int k = 0; k < calls; ++k) {
            r.State = 2;
            r.WaitCount = 0;
            AtFrameEnd(r, 0);
            if (quietEachTime)
                StopObjectSound(&r.Sound);
            Run(kDog);
        }
        return SamplePlays(kBarkSample) - before;
    };
    EXPECT_EQ(barks(100, true), 0);
    SoundOpt[kOptDog] = 1;
    const int on = barks(100, true);
    EXPECT_GT(on, 5);
    EXPECT_LT(on, 45);
    ASSERT_EQ(SaveFigurSound(kDog, wav_.c_str()), ERROR_SUCCESS);
    PlayFigurSoundFile(&r.Sound, kDog, r.X);
    ASSERT_TRUE(Playing(r));
    EXPECT_EQ(barks(100, false), 0);

    // A click on the standing dog away from the kerb barks, switch or not.
    SoundOpt[kOptDog] = 0;
    StopObjectSound(&r.Sound);
    r.State = 2;
    r.Y = 114;
    r.FootLine = r.Y + r.FrameH;
    AtFrameEnd(r, 0);
    const int before = SamplePlays(kBarkSample);
    Click(r.X + 10, r.Y + 10);
    Run(kDog);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_EQ(SamplePlays(kBarkSample), before + 1);
    EXPECT_TRUE(Playing(r));
}

TEST_F(StreetLifeSounds, DoorsSoundWhenTheDoorsSwitchIsOn)
{
    struct {
        const char *what;
        int id, state, frame, x, y;
        int homeBefore;  // Figur028Home before the call
    } cases[] = {
        {"25 goes in", kResident, 105, 16, 429, 17, 0},
        {"25 comes out", kResident, 201, 16, 429, 17, 0},
        {"28 goes back in", 28, 3, 9, 411, 17, 0},
        {"28 comes out", 28, 10, 8, 411, 17, 2},
        {"32 goes in", 32, 5, 16, 429, 17, 0},
    };
    for (bool doors : {true, false}) {
        SoundOpt[kOptDoors] = doors ? 1 : 0;
        for (auto c : cases) {
            Figur028Home = c.homeBefore;
            FigurRecord &r = c.id == kResident ? EnterResident() : Enter(c.id);
            r.State = c.state;
            r.X = c.x;
            r.Y = c.y;
            r.FootLine = r.Y + r.FrameH;
            StopObjectSound(&r.Sound);
            AtFrameEnd(r, c.frame);
            const int before = SamplePlays(kDoorSample);
            Run(c.id);
            EXPECT_EQ(SamplePlays(kDoorSample), before + (doors ? 1 : 0)) << c.what << (doors ? " on" : " off");
            UnloadFigur(c.id);
        }
    }
}

TEST_F(StreetLifeSounds, ClicksOnTheManOfDoorTwoPlayHisWindowsFileAndTheResidentsHerOwn)
{
    struct {
        const char *what;
        int id, state, frame, x;
        bool stepsBefore;  // the click is seen at a frame's end
    } cases[] = {
        {"28 in the doorway", 28, 11, 0, 411, true},
        {"31 walking right", 31, 1, 0, 300, false},
        {"32 walking home", 32, 1, 4, 200, true},
    };
    for (bool windowsFile : {true, false}) {
        // Only one of the two files is named: the click plays 29's.
        SaveFigurSound(kWindow, windowsFile ? wav_.c_str() : "");
        for (auto c : cases) {
            SaveFigurSound(c.id, windowsFile ? "" : wav_.c_str());
            Figur028Home = c.id == 28 ? 2 : 0;
            FigurRecord &r = Enter(c.id);
            r.State = c.state;
            r.X = c.x;
            r.Sound.Channel1 = 0;
            if (c.stepsBefore)
                AtFrameEnd(r, c.frame);
            // 32 takes the click after its stride of 22.
            Click(r.X + (c.id == 32 ? 22 : 0) + 10, r.Y + 10);
            Run(c.id);
            EXPECT_EQ(ClickPending, 0u) << c.what;
            EXPECT_EQ(r.Id, c.id) << c.what;
            EXPECT_EQ(Playing(r), windowsFile) << c.what;
            StopObjectSound(&r.Sound);
            ClickPending = 0;
            UnloadFigur(c.id);
        }
    }

    // The resident's click plays her file and nothing else changes.
    ASSERT_EQ(SaveFigurSound(kResident, wav_.c_str()), ERROR_SUCCESS);
    FigurRecord &r = EnterResident();
    r.State = 202;
    r.ScriptVar = 1;
    r.X = 429;
    r.Y = 32;
    r.FootLine = r.Y + r.FrameH;
    r.Sound.Channel1 = 0;
    AtFrameEnd(r, 0);
    const int samples = SamplePlays(kDoorSample);
    Click(r.X + 10, r.Y + 10);
    Run(kResident);
    EXPECT_EQ(ClickPending, 0u);
    EXPECT_TRUE(Playing(r));
    EXPECT_EQ(r.Sound.Channel1, LastFreeChannel);
    EXPECT_EQ(r.State, 202);
    EXPECT_EQ(SamplePlays(kDoorSample), samples);
}

}  // namespace
