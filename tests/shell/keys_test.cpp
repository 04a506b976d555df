#include <gtest/gtest.h>

#include "scene/objects.h"
#include "scene/screen.h"
#include "scene/scenestep.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/keys.h"
#include "shell/startup.h"

#include <utility>

namespace {

TEST(Keys, VolumeStepsStopAtTheEnds)
{
    struct { int start; int step; bool shift; int sound, music; } cases[] = {
        {950, 100, true, 1000, 500}, {1000, 100, true, 1000, 500}, {50, -100, true, 0, 500},
        {950, 100, false, 500, 1000}, {30, -100, false, 500, 0},
    };
    for (auto c : cases) {
        SNDvolume = 500;
        MP3volume = 500;
        (c.shift ? SNDvolume : MP3volume) = c.start;
        ChangeVolume(c.step > 0, c.shift);
        EXPECT_EQ(SNDvolume, c.sound) << c.start << " " << c.step;
        EXPECT_EQ(MP3volume, c.music) << c.start << " " << c.step;
    }
}

TEST(Keys, VolumeKeysWaitInTheSceneQueue)
{
    RunQueuedSceneKeys();
    SNDvolume = 500;
    MP3volume = 500;
    OnKey(nullptr, VK_ADD, true);
    OnKey(nullptr, VK_ADD, false);  // the key-up does nothing
    EXPECT_EQ(MP3volume, 500) << "changed on the window's thread";
    QueueSceneKey(VK_SUBTRACT | kShiftedSceneKey);
    RunQueuedSceneKeys();
    EXPECT_EQ(MP3volume, 600);
    EXPECT_EQ(SNDvolume, 400);
}

TEST(Keys, ButtonsSetOneRequestWithThePointInSceneCoordinates)
{
    // A scene of 1280 in the middle of a 1920 screen: the talk margins, 70
    // on the left and 50 on the right, are the scene's own.
    SceneX = 320;
    SceneY = 704;
    SceneW = 1280;
    struct { int button; int x; WPARAM flags; uint32_t click, talk, remove; } cases[] = {
        {0, 400, 0, 1, 0, 0},
        {1, 400, 0, 0, 0, 1},
        {2, 320 + 70, 0, 0, 0, 0},       // too far left to talk
        {2, 320 + 71, 0, 0, 1, 0},
        {2, 320 + 909, 0, 0, 1, 0},      // door 3 and on, right of window x 1229
        {2, 320 + 1229, 0, 0, 1, 0},
        {2, 320 + 1230, 0, 0, 0, 0},     // too far right
        {2, 60, MK_SHIFT, 0, 0, 1},      // Shift alone: remove anywhere
        {2, 400, MK_SHIFT | MK_CONTROL, 0, 1, 0},
    };
    for (auto c : cases) {
        ClickPending = 1;
        TalkPending = 1;
        RemovePending = 1;
        if (c.button == 0)
            OnLeftButtonUp(nullptr, c.x, 800, c.flags);
        else if (c.button == 1)
            OnMiddleButtonUp(nullptr, c.x, 800, c.flags);
        else
            OnRightButtonUp(nullptr, c.x, 800, c.flags);
        EXPECT_EQ(ClickPending, c.click) << c.button << " at " << c.x;
        EXPECT_EQ(TalkPending, c.talk) << c.button << " at " << c.x;
        EXPECT_EQ(RemovePending, c.remove) << c.button << " at " << c.x;
        EXPECT_EQ(MouseX, c.x - 320);
        EXPECT_EQ(MouseY, 800 - 704);
        EXPECT_EQ(WindowMouseX, c.x);
    }
}

TEST(Keys, SceneKeysWaitForTheSceneThreadAndUnscriptedObjectsStayAway)
{
    scenetest::UseTestArt();
    scenetest::ResetScene();
    // A key whose figure has no script yet, while there is one.
    const std::pair<char, int> keys[] = {{'O', 25}, {'P', 33}, {'Q', 52}};
    for (auto [key, id] : keys) {
        if (HasScript(id))
            continue;
        QueueSceneKey(key);
        EXPECT_FALSE(LoaderBusy);
        RunQueuedSceneKeys();
        EXPECT_FALSE(LoaderBusy);
        EXPECT_FALSE(IsOnStage(id));
        break;
    }
    scenetest::ResetScene();
}

}  // namespace
