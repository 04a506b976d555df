// The saver on a 1920 x 1080 screen (a rig of its own): the 1280 x 1024
// picture is centred, and the work area and the clock follow it.
#include "saver_process.h"

namespace {

using namespace scenetest;

TEST_F(SaverProcess, WideScreenCentresThePictureAndKeepsTheStreetInView)
{
    RunToScene();
    // On a busy machine the first frames reach the screen late.
    WaitFor([] { return ScreenShot().At(436 + 2, 674 + 5) == RGB(10, 1, 1); }, 30000);
    ScreenShot shot;
    ASSERT_EQ(shot.w, 1920);
    ASSERT_EQ(shot.h, 1080);
    // Picture at x 320..1599, y 28..1051; black bands around it.
    EXPECT_EQ(shot.At(319, 500), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(1600, 500), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(960, 27), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(960, 1052), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(320, 28), RGB(40, 100, 200));
    EXPECT_EQ(shot.At(1599, 1051), RGB(43, 100, 200));
    // The clock's digits "10" at the house front: x 320 + 110, y 1052 - 378.
    EXPECT_EQ(shot.At(430 + 2, 674 + 5), RGB(30, 1, 1));
    EXPECT_EQ(shot.At(436 + 2, 674 + 5), RGB(10, 1, 1));
    EndCleanly();
}

}  // namespace
