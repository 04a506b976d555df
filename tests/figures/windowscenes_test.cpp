// The window scenes (figure 60): each variant plays only in its season, time
// of day and company, switches its window's light whether it plays or not,
// copies its frames into the background where the last one stays, ends
// quietly without its sheet and never takes a click.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/bubbles.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"
#include "shell/keys.h"
#include "testutil.h"

#include <string>
#include <vector>

namespace {

using streettest::EntryColour;
using streettest::StreetScene;

constexpr int kWindowFigure = 60;
constexpr int kAsksForSheet = 82;
constexpr int kEnd = 999;

int CountOf(const std::string &text, const std::string &what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class WindowScenes : public StreetScene {
protected:
    void TearDown() override
    {
        OpenBubbleKind = 0;
        ResidentDoor[65] = 0;
        StreetScene::TearDown();
    }
    // Runs the figure's first steps: true when it went on to ask for its sheet.
    bool Plays(int variant)
    {
        OnStage(kWindowFigure, variant);
        FigurRecord &r = FigurTable[kWindowFigure];
        for (int i = 0; i < 4 && r.State != kAsksForSheet && r.State != kEnd; ++i)
            Run(kWindowFigure);
        const bool plays = r.State == kAsksForSheet;
        // let it end: the next case starts from an empty stage
        for (int i = 0; i < 400 && IsOnStage(kWindowFigure); ++i) {
            r.State = kEnd;
            Run(kWindowFigure);
        }
        return plays;
    }
    // Runs the figure until its scene starts, giving its sheet the time to come.
    bool UntilScene(int state)
    {
        FigurRecord &r = FigurTable[kWindowFigure];
        return testutil::WaitFor(
                   [&] {
                       Run(kWindowFigure);
                       return r.State == state || !IsOnStage(kWindowFigure);
                   },
                   10000) &&
               r.State == state;
    }
    COLORREF Background(int x, int y)
    {
        SceneDCHold hold;
        return GetPixel(BackgroundDC, x, y);
    }
};

struct SceneCase {
    const char *what;
    int variant;
    int month, hour;          // June and January; 14 day, 20 dusk, 23 night
    int timeOfDay;            // what the clock must give
    std::vector<int> present; // figures on stage
    int caretakerDoor;        // ResidentDoor[65]
    int bubble;               // OpenBubbleKind
    bool plays;
    std::vector<std::string> lights;  // log lines of the lights switched
};

TEST_F(WindowScenes, EachVariantPlaysOnlyInItsSeasonTimeAndCompanyAndSwitchesItsLightEitherWay)
{
    const SceneCase cases[] = {
        {"1 summer day", 1, 6, 14, kDay, {}, 0, 0, true, {}},
        {"1 summer night", 1, 6, 23, kNight, {}, 0, 0, true, {"Licht: 46 aus"}},
        {"1 winter", 1, 1, 23, kNight, {}, 0, 0, false, {"Licht: 46 aus"}},
        {"2 summer night", 2, 6, 23, kNight, {}, 0, 0, false, {"Licht: 46 aus"}},
        {"3 with 58 on stage", 3, 6, 14, kDay, {58}, 0, 0, false, {}},
        {"3 with a bubble open", 3, 6, 20, kDusk, {}, 0, 1, false, {"Licht: 22 aus"}},
        {"3 summer dusk", 3, 6, 20, kDusk, {}, 0, 0, true, {"Licht: 22 aus"}},
        {"4 summer day", 4, 6, 14, kDay, {}, 0, 0, true, {}},
        {"4 summer dusk", 4, 6, 20, kDusk, {}, 0, 0, false, {}},
        {"5 with the tourist", 5, 6, 14, kDay, {17}, 0, 0, false, {}},
        {"5 summer dusk", 5, 6, 20, kDusk, {}, 0, 0, true, {"Licht: 35 aus"}},
        {"6 with the tourist", 6, 6, 14, kDay, {17}, 0, 0, false, {}},
        {"7 summer night", 7, 6, 23, kNight, {}, 0, 0, false, {"Licht: 47 aus"}},
        {"8 caretaker inside", 8, 6, 14, kDay, {}, 2, 0, true, {}},
        {"8 caretaker on the street", 8, 6, 14, kDay, {65}, 2, 0, false, {}},
        {"8 caretaker not at home", 8, 6, 20, kDusk, {}, 0, 0, false, {"Licht: 25 aus"}},
        {"9 summer night", 9, 6, 23, kNight, {}, 0, 0, true, {"Licht: 23 aus"}},
        {"10 summer dusk", 10, 6, 20, kDusk, {}, 0, 0, true, {"Licht: 49 aus"}},
        {"11 winter night", 11, 1, 23, kNight, {}, 0, 0, true, {"Licht: 17 an"}},
        {"11 winter dusk", 11, 1, 20, kDusk, {}, 0, 0, true, {"Licht: 17 aus"}},
        {"11 summer", 11, 6, 14, kDay, {}, 0, 0, false, {}},
        {"12 summer night", 12, 6, 23, kNight, {}, 0, 0, false, {"Licht: 17 aus"}},
        {"13 summer night", 13, 6, 23, kNight, {}, 0, 0, true, {"Licht: 39 an"}},
        {"13 summer day", 13, 6, 14, kDay, {}, 0, 0, false, {}},
    };
    for (const SceneCase &c : cases) {
        At(2026, c.month, 10, c.hour, 0);
        Build();
        ASSERT_EQ(TimeOfDay, c.timeOfDay) << c.what;
        for (int id : c.present)
            PretendOnStage(id);
        ResidentDoor[65] = c.caretakerDoor;
        OpenBubbleKind = c.bubble;
        const std::string before = Log();
        EXPECT_EQ(Plays(c.variant), c.plays) << c.what;
        const std::string log = Log().substr(before.size());
        int switched = CountOf(log, "Licht: ");
        for (const std::string &line : c.lights)
            EXPECT_EQ(CountOf(log, line), 1) << c.what << ": " << line;
        // variant 13 may switch the neighbouring window too
        if (c.variant == 13 && c.plays)
            switched -= CountOf(log, "Licht: 40 an");
        EXPECT_EQ(switched, static_cast<int>(c.lights.size())) << c.what;
        for (int id : c.present)
            PretendOnStage(id, false);
        OpenBubbleKind = 0;
    }
}

TEST_F(WindowScenes, ItsFramesGoIntoTheBackgroundWhereTheLastOneStays)
{
    // Variant 1 by day: ten frames at the window under light 46, no loop.
    SeedRand(7);
    OnStage(kWindowFigure, 1);
    FigurRecord &r = FigurTable[kWindowFigure];
    ASSERT_TRUE(UntilScene(101));
    EXPECT_EQ(r.X, BackgroundX + 89);
    EXPECT_EQ(r.Y, BackgroundBottom - (1024 - 381));
    EXPECT_EQ(r.FrameW, 0) << "nothing on the street avoids or clicks a window";
    std::vector<int> shown;
    for (int i = 0; i < 20000 && IsOnStage(kWindowFigure); ++i) {
        Run(kWindowFigure);
        const COLORREF c = Background(r.X + 1, r.Y + 1);
        int frame = -1;
        for (int k = 0; k < 18; ++k)
            if (c == EntryColour(kWindowFigure, kDay, 1, k))
                frame = k;
        if (frame >= 0 && (shown.empty() || shown.back() != frame))
            shown.push_back(frame);
    }
    EXPECT_FALSE(IsOnStage(kWindowFigure));
    const std::vector<int> all = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(shown, all);
    // The frame stays in the background after the figure has gone, and the
    // next frame of the work area shows it too (the window lies above the
    // street band here, so the work area is not where it shows).
    EXPECT_EQ(Background(BackgroundX + 89 + 1, BackgroundBottom - 1024 + 381 + 1), EntryColour(kWindowFigure, kDay, 1, 9));
    EXPECT_LT(r.Pause, 9);
    EXPECT_EQ(r.MayReturn, 0u);
}

TEST_F(WindowScenes, LoopsOfTheLongerScenesStayInsideTheirFrames)
{
    // Variant 8 goes back from frame 6 to 3 three times in four: it still
    // ends on its last frame, and never draws past it.
    ResidentDoor[65] = 2;
    SeedRand(11);
    OnStage(kWindowFigure, 8);
    FigurRecord &r = FigurTable[kWindowFigure];
    ASSERT_TRUE(UntilScene(108));
    int most = 0;
    int loops = 0, last = -1;
    for (int i = 0; i < 100000 && IsOnStage(kWindowFigure); ++i) {
        Run(kWindowFigure);
        if (r.State == 108) {
            if (r.Frame < last)
                ++loops;
            last = r.Frame;
            most = std::max(most, r.Frame);
        }
    }
    EXPECT_FALSE(IsOnStage(kWindowFigure));
    EXPECT_EQ(most, 10);
    EXPECT_GE(loops, 1);
    EXPECT_EQ(Background(BackgroundX + 518 + 1, BackgroundBottom - 1024 + 581 + 1), EntryColour(kWindowFigure, kDay, 1, 10));
}

TEST_F(WindowScenes, WithoutItsSheetItEndsQuietly)
{
    // The worker is busy: the request is refused, and six calls later it is gone.
    OnStage(kWindowFigure, 4);
    PlusLoaderBusy = 1;
    for (int i = 0; i < 3; ++i)
        Run(kWindowFigure);
    PlusLoaderBusy = 0;
    int calls = 0;
    while (IsOnStage(kWindowFigure) && calls < 50) {
        Run(kWindowFigure);
        ++calls;
    }
    EXPECT_FALSE(IsOnStage(kWindowFigure));
    EXPECT_LE(calls, 7);
    // The sheet never comes (variant 13 has none by day): 200 frames of
    // waiting, then the end with a short pause.
    OnStage(kWindowFigure, 13);
    FigurRecord &r = FigurTable[kWindowFigure];
    r.State = 13;
    Run(kWindowFigure);
    r.State = 81;
    calls = 0;
    while (IsOnStage(kWindowFigure) && calls < 400) {
        Run(kWindowFigure);
        ++calls;
    }
    EXPECT_FALSE(IsOnStage(kWindowFigure));
    EXPECT_GE(calls, 200);
    EXPECT_LE(calls, 210);
    EXPECT_LT(r.Pause, 9);
    EXPECT_GE(CountOf(Log(), "F_PAUSE:  60"), 1);
}

TEST_F(WindowScenes, ClicksPassThroughIt)
{
    OnStage(kWindowFigure, 1);
    FigurRecord &r = FigurTable[kWindowFigure];
    ASSERT_TRUE(UntilScene(101));
    MouseX = r.X + 5;
    MouseY = r.Y + 5;
    RemovePending = 1;
    TalkPending = 1;
    ClickPending = 1;
    Run(kWindowFigure);
    EXPECT_TRUE(IsOnStage(kWindowFigure));
    EXPECT_EQ(RemovePending, 1u);
    EXPECT_EQ(TalkPending, 1u);
    EXPECT_EQ(ClickPending, 1u);
    RemovePending = TalkPending = ClickPending = 0;
}

}  // namespace
