// Figure 58 answering at door 1: her act at the door's point in one costume,
// the hall lights after dark, and giving up while people pass below.
#include "street_fixture.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/figures.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"

#include <vector>

namespace {

using streettest::StreetScene;

constexpr int kDoorFigure = 58;
constexpr int kAtX = 69, kAtY = 16;

class DoorFigure : public StreetScene {
protected:
    void ClearWork() { BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY); }
    // The entry and costume drawn at her point, or -1.
    int Drawn(int *sheet)
    {
        for (int s = 0; s < 3; ++s) {
            const int e = DrawnEntryAt(kDoorFigure, kAtX, kAtY, s);
            if (e >= 0) {
                *sheet = s;
                return e;
            }
        }
        return -1;
    }
};

TEST_F(DoorFigure, SheActsHerThirtyTwoFramesAtTheDoorInOneCostumeAndLeaves)
{
    struct Case {
        const char *what;
        int hour;
        bool lights;
    } cases[] = {{"by day", 14, false}, {"at dusk", 20, true}, {"at night", 23, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        At(2026, 6, 10, c.hour, 30);
        Build();
        for (int n : {1, 2})
            LightState[n] = 0;
        SeedRand(static_cast<uint32_t>(c.hour));
        OnStage(kDoorFigure, 0);
        FigurRecord &r = FigurTable[kDoorFigure];
        Run(kDoorFigure);
        EXPECT_EQ(r.FrameW, 48);
        EXPECT_EQ(r.FrameH, 96);
        EXPECT_EQ(LightState[1] != 0, c.lights);
        std::vector<int> frames;
        int costume = -1;
        for (int call = 0; call < 20000 && IsOnStage(kDoorFigure); ++call) {
            ClearWork();
            Run(kDoorFigure);
            int sheet = -1;
            const int e = Drawn(&sheet);
            if (e < 0)
                continue;
            EXPECT_EQ(r.X, kAtX);
            EXPECT_EQ(r.Y, kAtY);
            if (costume < 0)
                costume = sheet;
            EXPECT_EQ(sheet, costume);
            if (frames.empty() || frames.back() != e)
                frames.push_back(e);
        }
        EXPECT_FALSE(IsOnStage(kDoorFigure));
        ASSERT_EQ(frames.size(), 32u);
        for (int k = 0; k < 32; ++k)
            EXPECT_EQ(frames[static_cast<size_t>(k)], k);
        EXPECT_EQ(LightState[2] != 0, c.lights);
    }
}

TEST_F(DoorFigure, SheGivesUpWhilePeoplePassBelowTheDoor)
{
    struct Case {
        const char *what;
        int other, x;
        bool givesUp;
    } cases[] = {
        {"the visitor near the door", 62, 200, true},
        {"a resident near the door", 63, 280, true},
        {"the visitors' group near the door", 61, 250, true},
        {"figure 52 anywhere", 52, 1000, true},
        {"the visitor further along", 62, 201, false},
        {"the resident further along", 63, 281, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OnStage(kDoorFigure, 0);
        FigurRecord &r = FigurTable[kDoorFigure];
        Run(kDoorFigure);
        PretendOnStage(c.other);
        FigurTable[c.other].X = c.x;
        int calls = 0;
        while (IsOnStage(kDoorFigure) && r.State == 1 && calls < 400) {
            Run(kDoorFigure);
            ++calls;
        }
        if (c.givesUp) {
            EXPECT_FALSE(IsOnStage(kDoorFigure));
            EXPECT_EQ(calls, 251);
        } else {
            EXPECT_EQ(calls, 1);
            EXPECT_EQ(r.State, 2);
            UnloadFigur(kDoorFigure);
        }
        PretendOnStage(c.other, false);
    }
}

}  // namespace
