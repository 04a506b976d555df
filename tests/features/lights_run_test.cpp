// The saver's window run inside the test program at dusk: the schedule lights
// windows, the light keys and R reach the lights through the animation
// thread, and nothing is left behind.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "features/lights.h"
#include "services/calendar.h"
#include "scene/screen.h"
#include "running_saver.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

#include <string>
#include <thread>

namespace {

using testutil::WaitFor;

class LightsRun : public scenetest::RunningSaver {
protected:
    void SetUp() override
    {
        RunningSaver::SetUp();
        scenetest::SetSetting("Interactive", 1);
        scenetest::SetSetting("NoMailCheck", 1);
        scenetest::SetSettingString("Weather", "0,60,0,0,0,0");
    }
    void Start(int hour, int minute) { StartAt(testutil::Moment(2026, 6, 10, hour, minute, 0)); }
    COLORREF WindowPixel(int x, int y)
    {
        HDC dc = GetDC(MainWindow);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(MainWindow, dc);
        return c;
    }
};

TEST_F(LightsRun, DuskLightsKeysAndTheRollerShutter)
{
    Start(20, 15);
    // The evening schedule lights the ground-floor windows at once.
    ASSERT_TRUE(WaitFor([this] { return LogHasAfter(0, "Licht:  5 an"); }, 10000)) << Log();

    // Key 3 toggles 12 and 13 (and 11, the roller shutter being up).
    size_t mark = Log().size();
    Key('3');
    ASSERT_TRUE(WaitFor([&] { return LogHasAfter(mark, "Licht: 13 "); }, 5000)) << Log();
    std::string after = Log().substr(mark);
    EXPECT_LT(after.find("Licht: 12 "), after.find("Licht: 13 "));

    // Key 6 switches the upper windows, which show in the window at once.
    mark = Log().size();
    Key('6');
    ASSERT_TRUE(WaitFor([&] { return LogHasAfter(mark, "Licht: 46 "); }, 5000)) << Log();
    after = Log().substr(mark);
    const bool on = after.find("Licht: 20 an") != std::string::npos;
    COLORREF p = WindowPixel(6 + 16, 577 + 20);
    EXPECT_EQ(GetRValue(p), on ? 250 : 200);
    EXPECT_EQ(GetGValue(p), 20);

    // R rolls the roller shutter down to its end.
    mark = Log().size();
    Key('R');
    ASSERT_TRUE(WaitFor([&] { return LogHasAfter(mark, "ROLL 2 fertig"); }, 20000)) << Log();
    EXPECT_TRUE(LogHasAfter(mark, "rechter Rollladen runter"));

    // 0 puts every light out in order; the shop window behind its shutter
    // is left alone.
    mark = Log().size();
    Key('0');
    ASSERT_TRUE(WaitFor([&] { return LogHasAfter(mark, "Licht: 56 aus"); }, 5000)) << Log();
    after = Log().substr(mark);
    size_t at = 0;
    for (int n = 1; n <= 56; ++n) {
        if (n == 11 || n == 15)
            continue;
        char line[32];
        StrPrintfN(line, sizeof(line), "Licht: %2d aus", n);
        size_t found = after.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found;
    }
    EXPECT_EQ(after.find("Licht: 11 "), std::string::npos);
    Stop();
}

}  // namespace
