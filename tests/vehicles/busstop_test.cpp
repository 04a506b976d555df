// The stop post: where it stands whatever the screen, the one post of a run,
// and the stop that stays in place when the post cannot come on stage.
#include "street_fixture.h"

#include "scene/objects.h"
#include "scene/scripts.h"
#include "scene/screen.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "vehicles/busstop.h"

namespace {

using streettest::StreetScene;

class StopPost : public StreetScene {};

TEST_F(StopPost, StandsAtTheSamePlaceWhateverTheWidthAndKeepsItsPictureOverRebuilds)
{
    FigurRecord &post = FigurTable[111];
    ASSERT_TRUE(IsOnStage(111));
    Frames(1);
    const SceneRect first = StopPostRect;
    EXPECT_EQ(first.x, 265);
    EXPECT_EQ(first.y, SceneH - 268);
    EXPECT_EQ(first.w, 32);
    EXPECT_EQ(first.h, 115);
    EXPECT_EQ(post.X, 265);
    EXPECT_EQ(post.FootLine, SceneH - 153);
    const HBITMAP dayPicture = post.Sheets[0];

    // A rebuild for dusk on a wider screen: the same place, the same variant
    // (the test sheets show variant v in the blue 60 + 40v).
    const COLORREF before = Work(270, SceneH - 260);
    ASSERT_EQ(GetRValue(before), 111);
    ClientWidth = 1920;
    At(2026, 6, 10, 20, 30);
    Build();
    Frames(1);
    EXPECT_NE(post.Sheets[0], dayPicture);
    EXPECT_EQ(StopPostRect.x, 265);
    EXPECT_EQ(StopPostRect.y, SceneH - 268);
    const COLORREF after = Work(270, SceneH - 260);
    EXPECT_EQ(GetBValue(after), GetBValue(before));
    EXPECT_EQ(GetGValue(after), 20);
}

TEST_F(StopPost, WithoutThePostTheStopKeepsItsPlaceAndFootLine)
{
    UnloadFigur(111);
    StopPostRect = {0, 0, 0, 0};
    FigurSheetCount[111] = 0;  // switched off: the load is refused
    Build();
    EXPECT_FALSE(IsOnStage(111));
    EXPECT_EQ(StopPostRect.x, 265);
    EXPECT_EQ(StopPostRect.y, SceneH - 268);
    EXPECT_EQ(StopFootLine(), SceneH - 153);
}

}  // namespace
