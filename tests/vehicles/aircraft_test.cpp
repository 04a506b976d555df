// The flyers on a real window as large as the screen (1280 x 1024 here, the
// wide rig's 1920 x 1080 there): each type's flight read back from the
// window, what starts a flight, and the off-screen pair.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/mail.h"
#include "shell/startup.h"
#include "vehicles/aircraft.h"

#include <vector>

namespace {

using scenetest::CountOf;
using streettest::ScreenWindowScene;

// The test's flyer sheets paint their frames green (plane) or with a green
// of 150 or 200 (birds); the test backgrounds hold no such green.
bool FlyerPixel(COLORREF c) { return GetGValue(c) == 200 || GetGValue(c) == 150; }

class Flyers : public ScreenWindowScene {
protected:
    // Flies one flight of the type to its end; the frames it took and
    // where the flyer was when it was last drawn.
    int Fly(int type, bool *seen, int *lastX)
    {
        AircraftCount = LoadFlieger(type);
        EXPECT_EQ(AircraftCount, 1) << type;
        int frames = 0;
        *seen = false;
        while (AircraftCount && frames < 4000) {
            *lastX = FigurTable[kFlyerBase + type].X;
            DrawFliegerOn(dc_);
            ++frames;
            const FigurRecord &r = FigurTable[kFlyerBase + type];
            if (frames == 150 && AircraftCount) {
                for (COLORREF c : testutil::GrabPixels(dc_, 0, r.Y, w_, 80))
                    *seen = *seen || FlyerPixel(c);
            }
        }
        return frames;
    }
};

TEST_F(Flyers, EachTypeCrossesTheWindowAndLeavesNoTrace)
{
    const int top = BackgroundY;   // the band above the picture
    const std::vector<COLORREF> background = testutil::GrabPixels(BackgroundDC, 0, 0, w_, top + 160);
    for (int type : {2, 4, 5, 6, 7}) {
        SeedRand(static_cast<uint32_t>(type));
        const LONG alive = GdiObjectsAlive();
        bool seen = false;
        int lastX = 0;
        const int frames = Fly(type, &seen, &lastX);
        EXPECT_TRUE(seen) << "type " << type << " was never on screen";
        EXPECT_LT(frames, 4000) << type;
        EXPECT_EQ(AircraftCount, 0);
        EXPECT_FALSE(IsOnStage(kFlyerBase + type));
        EXPECT_EQ(GdiObjectsAlive(), alive) << "type " << type;
        // Right to left but for types 6 and 7; drawn last just before the
        // window's edge: out of sight then, and gone right after.
        if (type >= 6) {
            EXPECT_GT(lastX + 8, w_ - 4) << type;
        } else {
            EXPECT_LT(lastX + (type == 2 ? 400 : 120), 0) << type;
        }
        const std::vector<COLORREF> shown = testutil::GrabPixels(dc_, 0, 0, w_, top + 160);
        int left = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            left += shown[i] != background[i];
        EXPECT_EQ(left, 0) << "pixels left behind by type " << type;
        if (BackgroundX > 0) {
            EXPECT_EQ(shown[static_cast<size_t>(top + 30) * w_ + 10], RGB(0, 0, 0)) << "the band beside the picture";
        }
    }
    EXPECT_EQ(CountOf(Log(), "WURDE GELADEN"), 5);
}

TEST_F(Flyers, FlyAtTheTopOfThePictureInTheirBand)
{
    const int top = BackgroundY;
    const int low = static_cast<int>(0.8 * top);
    struct {
        int type, spread;
    } cases[] = {{2, 51}, {4, 41}, {5, 61}, {6, 41}, {7, 41}};
    for (auto c : cases) {
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            SeedRand(seed);
            AircraftCount = LoadFlieger(c.type);
            DrawFliegerOn(dc_);
            const FigurRecord &r = FigurTable[kFlyerBase + c.type];
            EXPECT_GE(r.Y, low) << c.type;
            EXPECT_LT(r.Y, top + c.spread) << c.type;
            EXPECT_EQ(r.X, c.type >= 6 ? -240 : w_) << c.type;
            UnloadFlieger();
        }
    }
}

TEST_F(Flyers, TheMailBringsTheBannerPlaneAndFigure68KeepsThemAllAway)
{
    NewMail = 1;
    StartFlieger();
    EXPECT_EQ(AircraftCount, 1);
    EXPECT_EQ(FlyerType, 2);
    UnloadFlieger();
    NewMail = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SeedRand(seed);
        StartFlieger();
        EXPECT_GE(FlyerType, 4);
        EXPECT_LE(FlyerType, 7);
        EXPECT_EQ(AircraftCount, 1);
        UnloadFlieger();
    }
    PretendOnStage(68);
    const int before = FlyerType;
    StartFlieger();
    EXPECT_EQ(AircraftCount, 0);
    EXPECT_EQ(FlyerType, before);
    PretendOnStage(68, false);
}

TEST_F(Flyers, APatchThatCannotBeMadeEndsTheFlightWithoutDrawing)
{
    const LONG alive = GdiObjectsAlive();
    AircraftCount = LoadFlieger(4);
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    DrawFliegerOn(gone);
    EXPECT_EQ(AircraftCount, 0);
    EXPECT_EQ(FlyerPatchDC, nullptr);
    EXPECT_FALSE(IsOnStage(kFlyerBase + 4));
    EXPECT_EQ(GdiObjectsAlive(), alive);
}

TEST_F(Flyers, UnloadFreesWhicheverPairThereIs)
{
    const LONG alive = GdiObjectsAlive();
    // Figure 68's own pair for its window scene.
    FlyerPatchBitmap = TrackBitmap(CreateCompatibleBitmap(dc_, 128, 160));
    FlyerPatchDC = TrackDC(CreateCompatibleDC(dc_));
    FlyerOldBitmap = SelectObject(FlyerPatchDC, FlyerPatchBitmap);
    UnloadFlieger();
    EXPECT_EQ(FlyerPatchDC, nullptr);
    EXPECT_EQ(FlyerPatchBitmap, nullptr);
    EXPECT_EQ(GdiObjectsAlive(), alive);
    // And none at all, as at a shutdown without a flight.
    UnloadFlieger();
    EXPECT_EQ(GdiObjectsAlive(), alive);
}

}  // namespace
