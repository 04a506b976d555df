// The street inside the test program on a 1920 x 1080 screen (a rig of its
// own), where the 1280 wide scene starts at window x 320: a talk click on a
// figure at the right end of the street still opens its bubble.
#include <gtest/gtest.h>

#include "scene/bubbles.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "running_saver.h"
#include "scene_fixture.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

namespace {

using testutil::WaitFor;

constexpr int kMarlene = 4;
constexpr int kDoorFourX = 914;

class WideStreetRun : public scenetest::RunningSaver {
protected:
    void SetUp() override
    {
        RunningSaver::SetUp();
        std::string texts = dir_.File("sb.txt");
        testutil::WriteFileBytes(texts, "[Marlene]\r\nN=1\r\nTEXT1=Guten Tag!\r\n");
        scenetest::SetSettingString("Sprechblasen", texts.c_str());
        scenetest::SetSetting("Interactive", 1);
        // The man who gives way and the bus would stand where she is clicked.
        for (int id : {8, 20, 22, 70, 71})
            KeepOff(id);
    }
};

TEST_F(WideStreetRun, ATalkClickOnAFigureAtDoorFourOpensItsBubble)
{
    StartAt(testutil::Moment(2026, 6, 10, 14, 0, 0));
    ASSERT_EQ(SceneX, 320);
    ASSERT_EQ(SceneW, 1280);
    FigurTable[kMarlene].Pause = 0;
    FigurTable[kMarlene].MayReturn = 1;
    ASSERT_TRUE(WaitFor(
        [] {
            if (!IsOnStage(kMarlene) && !LoaderBusy)
                LoadFigur(kMarlene, 0);
            return IsOnStage(kMarlene) && FigurTable[kMarlene].State == 1;
        },
        60000))
        << Log();
    const FigurRecord &r = FigurTable[kMarlene];
    FigurTable[kMarlene].X = kDoorFourX - 20;
    // Window x 1254: right of where the scene's own width would end.
    const LPARAM at = MAKELPARAM(SceneX + r.X + 40, SceneY + r.Y + 40);
    PostMessageA(MainWindow, WM_RBUTTONUP, 0, at);
    ASSERT_TRUE(WaitFor([] { return OpenBubbleKind != 0; }, 3000)) << Log();
    EXPECT_STREQ(r.SpeechText, "Guten Tag!");
    Stop();
}

}  // namespace
