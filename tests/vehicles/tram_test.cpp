// The tram's visit: where it comes in, how fast, what it draws, the faces in
// its windows, its lettering, the click on it and the mark it leaves.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "services/sound.h"
#include "config/config.h"
#include "shell/keys.h"
#include "vehicles/tram.h"

#include "fig072_frames.h"

#include <set>
#include <vector>

namespace {

using scenetest::CountOf;
using streettest::EntryColour;
using streettest::LetteringCases;
using streettest::StreetScene;

constexpr int kTramId = 72;
constexpr int kRunning = 200;

class TramTest : public StreetScene {
protected:
    FigurRecord &T() { return FigurTable[kTramId]; }
    // On stage, through its set-up and its choice of faces.
    FigurRecord &Running()
    {
        OnStage(kTramId, 0);
        for (int i = 0; i < 20 && T().State != kRunning; ++i)
            Run(kTramId);
        EXPECT_EQ(T().State, kRunning);
        return T();
    }
    COLORREF Entry(int k) { return EntryColour(kTramId, TimeOfDay, 0, k); }
};

TEST_F(TramTest, ComesInFromTheLeftOnItsTrackAndLeavesAtTheRightEdge)
{
    SeedRand(3);
    OnStage(kTramId, 0);
    FigurRecord &r = T();
    Run(kTramId);
    EXPECT_EQ(TramOnStage, 72);
    EXPECT_EQ(VehicleCountLeft, 1);
    EXPECT_EQ(r.Direction, 1);
    // 192 to 242 pixels of empty track before its front.
    EXPECT_LE(r.X, -1088);
    EXPECT_GE(r.X, -1138);
    EXPECT_EQ(r.Y, SceneH - 244);
    EXPECT_EQ(r.FootLine, r.Y + 185);
    EXPECT_GE(r.Speed, minCarSpeed);
    EXPECT_LE(r.Speed, minCarSpeed + 2);
    EXPECT_EQ(r.Avoids, 0) << "takes no part in the avoidance";
    std::vector<int> states = {r.State};
    int ticks = 0;
    for (; ticks < 5000 && IsOnStage(kTramId); ++ticks) {
        const int x = r.X, state = r.State;
        r.AvoidOrder = -1;   // a hold from the scene step changes nothing
        Run(kTramId);
        if (!IsOnStage(kTramId))
            break;
        if (states.back() != r.State)
            states.push_back(r.State);
        if (state == kRunning) {
            EXPECT_EQ(r.X - x, r.Speed) << "never stops";
        }
    }
    std::vector<int> expected = {50, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 200};
    EXPECT_EQ(states, expected);
    EXPECT_FALSE(IsOnStage(kTramId));
    EXPECT_EQ(TramOnStage, 0);
    EXPECT_EQ(VehicleCountLeft, 0);
}

TEST_F(TramTest, StaysAwayForThePauseOfTheTimetablesTramChoice)
{
    struct {
        int choice, least, most;
    } cases[] = {{1, 8, 24}, {2, 16, 48}, {3, 32, 80}};
    for (auto c : cases) {
        BusKommt[3] = c.choice;
        std::set<int> seen;
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            SeedRand(seed);
            OnStage(kTramId, 0);
            Run(kTramId);
            const int pause = T().Pause;
            EXPECT_GE(pause, c.least) << c.choice;
            EXPECT_LE(pause, c.most) << c.choice;
            EXPECT_EQ(T().MayReturn, 0u);
            seen.insert(pause);
            UnloadFigur(kTramId);
            EXPECT_EQ(T().Pause, pause) << "kept over the unload";
        }
        EXPECT_GT(seen.size(), 5u) << c.choice;
    }
    EXPECT_GE(CountOf(Log(), "F_PAUSE:  72,"), 180);
}

TEST_F(TramTest, NoFaceTwiceAndAWindowMayStayEmpty)
{
    int empty = 0;
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        SeedRand(seed);
        Running();
        std::set<int> faces;
        for (int k = 1; k <= kTramWindows; ++k) {
            const int face = TramPassengerList[k];
            EXPECT_GE(face, 0);
            EXPECT_LE(face, 40);
            if (face == 0) {
                ++empty;
            } else {
                EXPECT_TRUE(faces.insert(face).second) << "face " << face << " twice, seed " << seed;
            }
        }
        UnloadFigur(kTramId);
    }
    EXPECT_GT(empty, 0);
    EXPECT_LT(empty, 150 * kTramWindows / 4);
}

TEST_F(TramTest, DrawsItsFacesDriverBodyAndWheelsAndTurnsTheWheels)
{
    FigurRecord &r = Running();
    r.X = 100;
    for (int k = 1; k <= kTramWindows; ++k)
        TramPassengerList[k] = k == 4 ? 0 : 2 * k + 1;
    std::vector<int> wheelPhases;
    for (int tick = 0; tick < 3; ++tick) {
        const int x = r.X, phase = r.Frame;
        Frames(1);
        wheelPhases.push_back(phase);
        // The first window's face shows through its glass; an empty window
        // shows what lies behind the tram.
        const COLORREF faceEntry = Work(x + 746 + 20, r.Y + 92 + 17);
        bool isFace = false;
        for (int v = 0; v < 4; ++v)
            isFace = isFace || faceEntry == Entry(kFig072Face + 4 * (3 - 1) + v);
        EXPECT_TRUE(isFace) << tick;
        EXPECT_EQ(Work(x + 548 + 20, r.Y + 92 + 17), GetPixel(BackgroundDC, SceneX + x + 548 + 20,
                                                               SceneY + r.Y + 92 + 17));
        bool isDriver = false;
        for (int v = 0; v < 8; ++v)
            isDriver = isDriver || Work(x + 851 + 8, r.Y + 92 + 17) == Entry(kFig072Driver + v);
        EXPECT_TRUE(isDriver) << tick;
        EXPECT_EQ(Work(x + 300, r.Y + 60), Entry(0)) << "the body";
        const COLORREF wheels = Work(x + 10, r.Y + 180);
        if (phase == 0) {
            EXPECT_EQ(wheels, Entry(0)) << tick;
        } else {
            EXPECT_EQ(wheels, Entry(kFig072Wheel + phase - 1)) << tick;
        }
    }
    EXPECT_EQ(wheelPhases, (std::vector<int>{0, 1, 2}));
}

TEST_F(TramTest, TakesAClickOnItsSideEvenWithTheSoundOff)
{
    struct {
        int dx, dy;
        bool taken;
    } cases[] = {{20, 68, true}, {896, 172, true}, {400, 120, true}, {19, 100, false},
                 {897, 100, false}, {400, 67, false}, {400, 173, false}};
    FigurRecord &r = Running();
    for (int sound : {1, 0}) {
        Sound = sound;
        for (auto c : cases) {
            r.X = 100;
            MouseX = 100 + c.dx;
            MouseY = r.Y + c.dy;
            ClickPending = 1;
            Run(kTramId);
            EXPECT_EQ(ClickPending, c.taken ? 0u : 1u) << c.dx << "," << c.dy << " sound " << sound;
            ClickPending = 0;
        }
    }
}

TEST_F(TramTest, RideSoundEveryNineToEighteenTicks)
{
    Sound = 1;
    SoundOpt[kOptTram] = 1;
    SeedRand(5);
    FigurRecord &r = Running();
    r.X = -2000;
    int last = -1, reloads = 0;
    for (int tick = 0; tick < 400; ++tick) {
        const int before = r.SoundCount;
        Run(kTramId);
        if (r.SoundCount > before) {
            if (last >= 0) {
                EXPECT_GE(tick - last, 9);
                EXPECT_LE(tick - last, 18);
            }
            last = tick;
            ++reloads;
        }
    }
    EXPECT_GE(reloads, 400 / 18);
    // Off, the countdowns stand still.
    SoundOpt[kOptTram] = 0;
    const int count = r.SoundCount, bell = r.Gait;
    Run(kTramId, 30);
    EXPECT_EQ(r.SoundCount, count);
    EXPECT_EQ(r.Gait, bell);
}

TEST_F(TramTest, AnyUnloadClearsTheMarkSoTheTramComesAgain)
{
    Running();
    ASSERT_EQ(TramOnStage, 72);
    // As the stuck phase change's forced unload does.
    UnloadFigur(kTramId);
    EXPECT_EQ(TramOnStage, 0);
    EXPECT_EQ(VehicleCountLeft, 0);
    Running();
    EXPECT_EQ(TramOnStage, 72);
}

}  // namespace

namespace {

// Stands in for the lettering worker: an 888 x 187 picture as sheet 1.
int PublishLetteredBody(int id) { return LoadFigurPlus(id, 1, "FIG072_LT_00"); }

TEST_F(TramTest, WearsTheLetteredBodyWhenItComesElseItsOwn)
{
    for (const auto &c : LetteringCases(PublishLetteredBody)) {
        WaitForLettering(kTramId, c, &SBahnPiclistCount, "- Keine SBAHN-Beschriftung -");
        EXPECT_EQ(TramLivery() == -1, c.lettered) << c.name;
        FigurRecord &r = T();
        while (r.State != kRunning)
            Run(kTramId);
        r.X = 200;
        r.Frame = 0;
        Frames(1);
        const COLORREF body = Work(200 + 300, r.Y + 60);
        if (c.lettered) {
            EXPECT_EQ(body, EntryColour(kTramId, TimeOfDay, 1, 0)) << c.name;
            // Drawn no larger than the picture: its last column, not beyond.
            EXPECT_EQ(Work(200 + 887, r.Y + 150), body) << c.name;
            EXPECT_EQ(Work(200 + 890, r.Y + 150),
                      GetPixel(BackgroundDC, SceneX + 200 + 890, SceneY + r.Y + 150)) << c.name;
        } else {
            EXPECT_EQ(body, Entry(0)) << c.name;
        }
        UnloadFigur(kTramId);
        testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000);
    }
    SetLetteringStandIn(nullptr);
    SBahnPiclistCount = 0;
}

}  // namespace
