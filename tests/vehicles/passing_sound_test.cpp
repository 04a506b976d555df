// A passing car through our audio library, captured by the rig's sink: its
// engine is heard on the right while it comes in from the right and on the
// left as it goes; with the engine switch off in the stored settings no
// engine plays, while a click still sounds the horn.
#include "street_fixture.h"

#include "audiotest.h"
#include "base/registry.h"
#include "core/random.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/sound.h"
#include "config/config.h"
#include "shell/keys.h"
#include "testutil.h"

#include <string>

namespace {

using streettest::StreetScene;

constexpr int kCar = 74;
constexpr int kEngine[] = {40, 41, 42, 43};
constexpr int kHorn = 0;

class PassingSound : public StreetScene {
protected:
    void TearDown() override
    {
        FreeBASS();
        Sound = 0;
        scenetest::ClearSettings();
        StreetScene::TearDown();
    }
    // The sound switches as the settings page stores them, read back the way
    // the start-up reads them, and the samples loaded for them.
    void StartSound(bool engines)
    {
        scenetest::ClearSettings();
        int switches[10] = {};
        switches[kOptVehicles] = engines ? 1 : 0;
        switches[kOptHorns] = 1;
        HKEY key = RegCreateUserKey(kMainKey);
        ASSERT_NE(key, nullptr);
        RegWriteList(key, "SoundOpt", switches, 10);
        RegCloseKey(key);
        ReadSettings();
        DebugOn = 1;
        ASSERT_EQ(SoundOpt[kOptVehicles], engines ? 1 : 0);
        ASSERT_TRUE(StartEffects());
        minCarSpeed = 8;
        maxCarSpeed = 10;
    }
    int EnginePlays()
    {
        int n = 0;
        for (int s : kEngine)
            n += SamplePlays(s);
        return n;
    }
    // One pass of the car across the street in real time, clicked every
    // clickEvery ticks (0: never); the capture's byte where its middle
    // passed the street's.
    size_t Pass(int clickEvery, size_t *start, size_t *end)
    {
        SeedRand(5);
        OnStage(kCar, 0);
        FigurRecord &r = FigurTable[kCar];
        size_t middle = 0;
        *start = capture_.Mark();
        for (int tick = 0; tick < 3000 && IsOnStage(kCar); ++tick) {
            if (clickEvery && tick % clickEvery == 0 && r.State == 2) {
                MouseX = r.X + 100;
                MouseY = r.Y + 30;
                ClickPending = 1;
            }
            Run(kCar);
            if (r.State == 2 && !middle && r.X + r.FrameW / 2 < SceneW / 2)
                middle = capture_.Mark();
            Sleep(8);
        }
        capture_.Settle();
        *end = capture_.Mark();
        return middle;
    }
    audiotest::Level Between(size_t from, size_t to)
    {
        std::vector<int16_t> frames = capture_.FramesFrom(from);
        const size_t count = (to - from) / 4;
        return audiotest::Rms(frames, 0, std::min(count, frames.size() / 2));
    }
    audiotest::Capture capture_;
};

TEST_F(PassingSound, TheEngineOfALeftMoverGoesFromTheRightToTheLeft)
{
    ASSERT_TRUE(capture_.Available());
    StartSound(true);
    const int before = EnginePlays();
    size_t start = 0, end = 0;
    const size_t middle = Pass(0, &start, &end);
    ASSERT_NE(middle, 0u);
    EXPECT_GT(EnginePlays(), before + 10);
    const audiotest::Level in = Between(start, middle);
    const audiotest::Level out = Between(middle, end);
    EXPECT_GT(in.right, in.left * 1.2) << in.left << " " << in.right;
    EXPECT_GT(out.left, out.right * 1.2) << out.left << " " << out.right;
}

TEST_F(PassingSound, WithTheEngineSwitchOffOnlyTheClicksSound)
{
    StartSound(false);
    const int engines = EnginePlays(), horns = SamplePlays(kHorn);
    size_t start = 0, end = 0;
    Pass(20, &start, &end);
    EXPECT_EQ(EnginePlays(), engines);
    EXPECT_GT(SamplePlays(kHorn), horns) << "a click still sounds the horn";
}

}  // namespace
