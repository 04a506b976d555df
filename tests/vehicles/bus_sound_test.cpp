// The bus's engine through our audio library, captured by the rig's sink:
// louder on the right while it comes in, idling at the stop, louder on the
// left as it goes; and silent with the engine switch off.
#include "street_fixture.h"

#include "audiotest.h"
#include "core/random.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "testutil.h"

#include <string>

namespace {

using streettest::StreetScene;

constexpr int kBusId = 70;

class BusSound : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        // The engine samples load only with their switch on; a test turns it
        // off afterwards to hear the bus's own gate.
        for (int &on : SoundOpt)
            on = 0;
        SoundOpt[kOptVehicles] = 1;
        ASSERT_TRUE(StartEffects());
        minCarSpeed = 8;
        maxCarSpeed = 10;
    }
    void TearDown() override
    {
        FreeBASS();
        Sound = 0;
        StreetScene::TearDown();
    }
    // One visit of the bus, in real time; the capture's byte marks where it
    // crossed the middle coming in, stood, and crossed it going out.
    struct Marks {
        size_t start = 0, inMiddle = 0, halted = 0, leaves = 0, outMiddle = 0, end = 0;
    };
    Marks Visit()
    {
        Marks m;
        SeedRand(3);
        OnStage(kBusId, 0);
        FigurRecord &r = FigurTable[kBusId];
        m.start = capture_.Mark();
        for (int tick = 0; tick < 3000 && IsOnStage(kBusId); ++tick) {
            const int state = r.State;
            Run(kBusId);
            if (state == 2 && r.X < SceneW / 2 && !m.inMiddle)
                m.inMiddle = capture_.Mark();
            if (state == 2 && r.State == 3)
                m.halted = capture_.Mark();
            if (state == 3 && r.State == 4)
                m.leaves = capture_.Mark();
            if (state == 4 && r.X < SceneW / 2 - 312 && !m.outMiddle)
                m.outMiddle = capture_.Mark();
            Sleep(8);
        }
        capture_.Settle();
        m.end = capture_.Mark();
        return m;
    }
    audiotest::Level Between(size_t from, size_t to)
    {
        std::vector<int16_t> frames = capture_.FramesFrom(from);
        const size_t count = (to - from) / 4;
        return audiotest::Rms(frames, 0, std::min(count, frames.size() / 2));
    }
    audiotest::Capture capture_;
};

TEST_F(BusSound, TheEngineFollowsTheBusAcrossAndIdlesAtTheStop)
{
    ASSERT_TRUE(capture_.Available());
    SoundOpt[kOptVehicles] = 1;
    const int driving = SamplePlays(34) + SamplePlays(35);
    const Marks m = Visit();
    ASSERT_TRUE(m.inMiddle && m.halted && m.leaves && m.outMiddle);
    EXPECT_GT(SamplePlays(34) + SamplePlays(35), driving);
    EXPECT_GT(SamplePlays(32), 0);
    const audiotest::Level in = Between(m.start, m.inMiddle);
    const audiotest::Level stop = Between(m.halted, m.leaves);
    const audiotest::Level out = Between(m.outMiddle, m.end);
    EXPECT_GT(in.right, in.left * 1.2) << in.left << " " << in.right;
    EXPECT_GT(out.left, out.right * 1.2) << out.left << " " << out.right;
    EXPECT_GT(stop.left + stop.right, 0) << "idling at the stop";
}

TEST_F(BusSound, WithTheEngineSwitchOffNoEngineIsHeard)
{
    SoundOpt[kOptVehicles] = 0;
    const int before = SamplePlays(32) + SamplePlays(34) + SamplePlays(35);
    Visit();
    EXPECT_EQ(SamplePlays(32) + SamplePlays(34) + SamplePlays(35), before);
}

}  // namespace
