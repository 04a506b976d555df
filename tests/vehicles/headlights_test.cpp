// The headlights on real GDI: a lit street whose every pixel tells its
// place, wedge cones, and the work buffer of a street built at night.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "vehicles/headlights.h"
#include "vehicles/tram.h"

#include "fig072_frames.h"

#include <vector>

namespace {

using scenetest::CountOf;
using streettest::EntryColour;
using streettest::StreetScene;

// The test's lit street of season 1, variant 0: its colour at (x, y).
COLORREF LitStreet(int x, int y) { return RGB(8 * (x % 32), 32 * (y % 8), 100 + 20 * 1); }

// The test's right cone: yellow (lit) inside the wedge; the left is its mirror.
bool InRightCone(int x, int y) { return 20 - 18 * x / 127.0 <= y && y <= 24 + 19 * x / 127.0; }
bool InCone(int x, int y, int direction) { return InRightCone(direction == 1 ? x : 127 - x, y); }

class Headlights : public StreetScene {
protected:
    void SetUp() override
    {
        StreetScene::SetUp();
        At(2026, 6, 10, 23, 0);
        Build();
    }
    // The work buffer's pixels, top row first, as COLORREF values.
    std::vector<COLORREF> Snapshot() { return testutil::GrabPixels(WorkDC, 0, 0, SceneW, SceneH); }
    // Every pixel of the work buffer: the lit street inside the cone with
    // its corner at (cx, cy), untouched everywhere else.
    void ExpectCone(const std::vector<COLORREF> &before, int cx, int cy, int direction)
    {
        const std::vector<COLORREF> after = Snapshot();
        int lit = 0, wrong = 0;
        for (int y = 0; y < SceneH; ++y) {
            for (int x = 0; x < SceneW; ++x) {
                const int dx = x - cx, dy = y - cy;
                const bool inside = dx >= 0 && dx < kConeW && dy >= 0 && dy < kConeH && InCone(dx, dy, direction);
                const COLORREF want = inside ? LitStreet(x, y - kLitStreetTop) : before[static_cast<size_t>(y) * SceneW + x];
                lit += inside;
                if (after[static_cast<size_t>(y) * SceneW + x] != want && ++wrong <= 3) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " of the cone at " << cx << "," << cy;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(lit, 0);
    }
    void Vehicle(int id, int x, int y, int w, int h, int direction)
    {
        PretendOnStage(id);
        FigurRecord &r = FigurTable[id];
        r.X = x;
        r.Y = y;
        r.FrameW = w;
        r.FrameH = h;
        r.Direction = direction;
    }
};

TEST_F(Headlights, InsideTheConeTheLitStreetOutsideNothingChanges)
{
    ASSERT_TRUE(HeadlightStreetLoaded());
    EXPECT_EQ(CountOf(Log(), "Scheinwerfer GELADEN"), 1);
    struct {
        int x, y, direction;
    } cases[] = {{500, 240, 1}, {300, 200, -1}, {-100, 250, 1}, {1200, 210, -1}};
    for (auto c : cases) {
        BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
        const std::vector<COLORREF> before = Snapshot();
        DrawScheinwerfer(c.x, c.y, c.direction);
        ExpectCone(before, c.x, c.y, c.direction);
    }
}

TEST_F(Headlights, EachMovingVehicleLeadsWithItsConeAndCoversItsOwn)
{
    struct {
        int id, direction, coneX, coneY;   // the cone's corner from x and y
    } cases[] = {
        {80, -1, -128, 60 - 44},           // a 60 rows high left-mover
        {95, 1, 150, 60 - 40},             // a 150 wide right-mover
        {72, 1, 896, 185 - 30},            // the tram
    };
    for (auto c : cases) {
        BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
        const std::vector<COLORREF> before = Snapshot();
        const bool tram = c.id == 72;
        Vehicle(c.id, 300, tram ? 104 : 180, tram ? 896 : 150, tram ? 185 : 60, c.direction);
        DrawAllScheinwerfer();
        ExpectCone(before, 300 + c.coneX, (tram ? 104 : 180) + c.coneY, c.direction);
        PretendOnStage(c.id, false);
    }
    // Standing, or not yet set up: no direction, no cone.
    BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
    const std::vector<COLORREF> before = Snapshot();
    Vehicle(71, 300, 180, 240, 119, 0);
    DrawAllScheinwerfer();
    EXPECT_EQ(Snapshot(), before);
    PretendOnStage(71, false);

    // A vehicle drawn in the frame covers a cone that falls on it.
    OnStage(72, 0);
    for (int i = 0; i < 20 && FigurTable[72].State != 200; ++i)
        Run(72);
    FigurRecord &tram = FigurTable[72];
    tram.X = 200;
    Vehicle(85, 600, tram.Y + 40, 100, 60, -1);   // its cone lies on the tram's side
    Frames(1);
    EXPECT_EQ(Work(600 - 64, tram.Y + 40 + 60 - 22), EntryColour(72, TimeOfDay, 0, 0));
    PretendOnStage(85, false);
}

TEST_F(Headlights, NoneByDayAndNoneMadeFrameByFrame)
{
    for (int id = 0; id < 8; ++id)
        Vehicle(90 + id, 100 + 140 * id, 200 + id * 5, 120, 50, id % 2 ? 1 : -1);
    // As the animation thread does: the blit helpers keep their DCs.
    KeepBlitDCs();
    Frames(2);
    const LONG made = GdiObjectsMade();
    Frames(500);
    EXPECT_EQ(GdiObjectsMade(), made) << "a frame made GDI objects";
    ReleaseBlitDCs();

    At(2026, 6, 10, 14, 0);
    Build();
    EXPECT_FALSE(HeadlightStreetLoaded());
    EXPECT_EQ(CountOf(Log(), "Scheinwerfer entladen"), 1);
    BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
    const std::vector<COLORREF> before = Snapshot();
    DrawAllScheinwerfer();
    EXPECT_EQ(Snapshot(), before);
    for (int id = 0; id < 8; ++id)
        PretendOnStage(90 + id, false);
}

}  // namespace
