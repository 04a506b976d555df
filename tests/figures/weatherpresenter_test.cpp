// The weather presenter (figure 69): one scene of twenty frames beside the
// weather sign, then gone; without her scene's sheet she leaves quietly.
#include "street_fixture.h"

#include "core/random.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "testutil.h"

#include <vector>

namespace {

using streettest::StreetScene;

constexpr int kPresenter = 69;

class WeatherPresenter : public StreetScene {};

TEST_F(WeatherPresenter, PlaysHerTwentyFramesOnceBesideTheSign)
{
    SeedRand(4);
    OnStage(kPresenter, 0);
    FigurRecord &r = FigurTable[kPresenter];
    Run(kPresenter);
    ASSERT_EQ(r.State, 1);
    EXPECT_EQ(r.X, 656);
    EXPECT_EQ(r.Y, SceneH - 320);
    EXPECT_EQ(r.FootLine, SceneH - 265);
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            Run(kPresenter);
            return r.State == 100;
        },
        5000));
    std::vector<int> shown;
    while (IsOnStage(kPresenter)) {
        Run(kPresenter);
        const int e = DrawnEntryAt(kPresenter, 656, SceneH - 320, 1);
        if (shown.empty() || shown.back() != e)
            shown.push_back(e);
    }
    std::vector<int> all;
    for (int k = 0; k < 20; ++k)
        all.push_back(k);
    EXPECT_EQ(shown, all);
}

TEST_F(WeatherPresenter, WithoutHerSceneSheSaysNothingAndLeaves)
{
    // The worker is busy: the request is refused and she is gone at once.
    OnStage(kPresenter, 0);
    PlusLoaderBusy = 1;
    Run(kPresenter);
    PlusLoaderBusy = 0;
    EXPECT_FALSE(IsOnStage(kPresenter));
    // The sheet never comes: she waits 400 frames for it.
    OnStage(kPresenter, 1);
    int calls = 0;
    while (IsOnStage(kPresenter) && calls < 500) {
        Run(kPresenter);
        ++calls;
    }
    EXPECT_EQ(calls, 401);
}

}  // namespace
