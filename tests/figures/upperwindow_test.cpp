// Figure 68: door visits like 62's, from door 1 on, and on a tall window its
// look out of the attic window, drawn onto a real window through the
// aircraft's off-screen pair, which it borrows and gives back.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "figures/figures.h"
#include "figures/upperwindow.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "vehicles/aircraft.h"

#include <vector>

namespace {

using streettest::EntryColour;
using streettest::ScreenWindowScene;

constexpr int kVisitor = 68;
// House 1's attic window in the picture.
constexpr int kWindow1X = 138, kWindow1Y = 246, kWindowW = 128, kWindowH = 160;

std::vector<COLORREF> Grab(HDC dc, int x, int y, int w, int h)
{
    std::vector<COLORREF> out;
    for (int yy = y; yy < y + h; yy += 4)
        for (int xx = x; xx < x + w; xx += 4)
            out.push_back(GetPixel(dc, xx, yy));
    return out;
}

class UpperWindow : public ScreenWindowScene {
protected:
    // From the left to door 1 and in; the state it is in then.
    int InAtDoorOne()
    {
        OnStage(kVisitor, 0);
        FigurRecord &r = FigurTable[kVisitor];
        Run(kVisitor);
        EXPECT_EQ(ResidentTargetDoor(kVisitor), 1);
        for (int call = 0; call < 20000 && IsOnStage(kVisitor) && r.State >= 1 && r.State <= 4; ++call) {
            Run(kVisitor);
            r.AvoidOrder = 0;
        }
        EXPECT_EQ(ResidentDoor[kVisitor], 1);
        return r.State;
    }
    int WindowX() const { return BackgroundX + kWindow1X; }
    int WindowY() const { return BackgroundBottom - 1024 + kWindow1Y; }
};

TEST_F(UpperWindow, OnlyAWindowTallerThan740ShowsTheAtticScene)
{
    struct Case {
        int height, state;
    } cases[] = {{740, 5}, {741, 200}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.height);
        SeedRand(3);
        ClientHeight = c.height;
        EXPECT_EQ(InAtDoorOne(), c.state);
        UnloadFigur(kVisitor);
    }
    ClientHeight = h_;
}

TEST_F(UpperWindow, ItWaitsInsideForTheSkyToClearAndNoFlightStartsWhileItIsOnStage)
{
    ASSERT_EQ(InAtDoorOne(), 200);
    FigurRecord &r = FigurTable[kVisitor];
    AircraftCount = 1;
    Run(kVisitor, 50);
    EXPECT_EQ(r.State, 200);
    AircraftCount = 0;
    StartFlieger();
    EXPECT_EQ(AircraftCount, 0);
    Run(kVisitor);
    EXPECT_EQ(r.State, 201);
}

TEST_F(UpperWindow, TheSceneRisesInTheWindowAndLeavesTheHouseAsItWas)
{
    ASSERT_EQ(InAtDoorOne(), 200);
    FigurRecord &r = FigurTable[kVisitor];
    const std::vector<COLORREF> house = Grab(dc_, WindowX(), WindowY(), kWindowW, kWindowH);
    const LONG alive = GdiObjectsAlive();
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            UpperWindowStepOn(r, 1, dc_);
            return r.State == 203;
        },
        5000));
    UpperWindowStepOn(r, 1, dc_);
    ASSERT_EQ(r.State, 204);
    EXPECT_TRUE(FlyerPatchDC);
    r.WaitCount = 1;
    int shown = 0, rises = 0;
    for (int call = 0; call < 20000 && r.State != 900; ++call) {
        const int state = r.State;
        UpperWindowStepOn(r, 1, dc_);
        if (state == 206 && r.State == 205)
            ++rises;
        // The window's frames in the probe colours of slot 1 by day.
        const COLORREF c = GetPixel(dc_, WindowX() + 2, WindowY() + 2);
        if (r.State == 205 && GetGValue(c) == GetGValue(EntryColour(kVisitor, 1, 1, 1)) &&
            GetBValue(c) == GetBValue(EntryColour(kVisitor, 1, 1, 1)))
            ++shown;
    }
    EXPECT_EQ(r.State, 900);
    EXPECT_GT(shown, 0);
    EXPECT_EQ(rises, 3);
    EXPECT_FALSE(r.Sheets[1]);
    EXPECT_FALSE(r.Masks[1]);
    EXPECT_FALSE(FlyerPatchDC);
    EXPECT_FALSE(FlyerPatchBitmap);
    EXPECT_EQ(GdiObjectsAlive(), alive);
    EXPECT_EQ(Grab(dc_, WindowX(), WindowY(), kWindowW, kWindowH), house);
    // Back from the window, out of the door in due time.
    r.WaitCount = 1;
    Run(kVisitor, 3);
    EXPECT_EQ(r.State, 6);
}

TEST_F(UpperWindow, ARemoveClickDuringTheSceneGivesThePairBack)
{
    ASSERT_EQ(InAtDoorOne(), 200);
    FigurRecord &r = FigurTable[kVisitor];
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            UpperWindowStepOn(r, 1, dc_);
            return r.State == 203;
        },
        5000));
    UpperWindowStepOn(r, 1, dc_);
    r.WaitCount = 1;
    UpperWindowStepOn(r, 1, dc_);
    ASSERT_EQ(r.State, 205);
    ASSERT_TRUE(FlyerPatchDC);
    MouseX = r.X + 10;
    MouseY = r.Y + 10;
    RemovePending = 1;
    Run(kVisitor);
    EXPECT_FALSE(IsOnStage(kVisitor));
    EXPECT_FALSE(FlyerPatchDC);
    EXPECT_FALSE(FlyerPatchBitmap);
}

TEST_F(UpperWindow, WithoutAPairToDrawThroughTheSceneIsDroppedAndItsSheetFreed)
{
    ASSERT_EQ(InAtDoorOne(), 200);
    FigurRecord &r = FigurTable[kVisitor];
    const LONG alive = GdiObjectsAlive();
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            UpperWindowStepOn(r, 1, dc_);
            return r.State == 203;
        },
        5000));
    // No DC to make the pair compatible with: nothing is made.
    UpperWindowStepOn(r, 1, nullptr);
    EXPECT_EQ(r.State, 900);
    EXPECT_FALSE(r.Sheets[1]);
    EXPECT_FALSE(r.Masks[1]);
    EXPECT_FALSE(FlyerPatchDC);
    EXPECT_FALSE(FlyerPatchBitmap);
    EXPECT_EQ(GdiObjectsAlive(), alive);
}

}  // namespace
