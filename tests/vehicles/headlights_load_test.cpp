// The headlights load all or nothing: this program carries a lit street of
// the summer and the left cone only.
#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "services/calendar.h"
#include "scene/screen.h"
#include "config/config.h"
#include "scene_fixture.h"
#include "testutil.h"
#include "vehicles/headlights.h"

namespace {

TEST(HeadlightsLoad, AnyMissingPictureLeavesNothingLoadedAndSaysWhich)
{
    scenetest::UseTestArt();
    scenetest::ResetScene();
    testutil::TempDir dir;
    const std::string log = dir.File("lights.log");
    DebugOn = 1;
    OpenDebugLog(log.c_str());
    struct {
        int season;
        const char *missing;   // the picture's own line, or none
    } cases[] = {{1, "M_SCHEIN_WR konnte NICHT geladen werden!"}, {2, nullptr}};
    for (auto c : cases) {
        Season = c.season;
        NoTramOverlay = 0;
        const LONG alive = GdiObjectsAlive();
        EXPECT_EQ(LoadScheinwerfer(), 0) << c.season;
        EXPECT_FALSE(HeadlightStreetLoaded()) << c.season;
        EXPECT_EQ(GdiObjectsAlive(), alive) << "what was made is freed again";
        UnloadScheinwerfer();
        EXPECT_EQ(GdiObjectsAlive(), alive);
        const std::string text = scenetest::ReadText(log);
        EXPECT_EQ(scenetest::CountOf(text, "Scheinwerfer konnten NICHT geladen werden!"), c.season) << c.season;
        if (c.missing) {
            EXPECT_EQ(scenetest::CountOf(text, c.missing), 1);
        }
    }
    // Nothing loaded, nothing drawn and nothing touched.
    DrawScheinwerfer(100, 200, 1);
    DrawAllScheinwerfer();
    CloseDebugLog();
    DebugOn = 0;
    scenetest::ResetScene();
}

}  // namespace
