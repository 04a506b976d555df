#include <gtest/gtest.h>

#include "entry.h"

namespace {

struct CommandCase {
    const char *line;
    int mode;
    intptr_t window;
    bool foreground;
};

const CommandCase kCommandCases[] = {
    {"\"C:\\a b\\s.scr\" /p:1234", kModePreview, 1234, false},
    {"s.scr /p 1234", kModePreview, 1234, false},
    {"s.scr -P1234", kModePreview, 1234, false},
    {"s.scr /l 1234", kModePreview, 1234, false},
    {"s.scr /p", kModePreview, 0, false},
    {"s.scr /S", kModeFullScreen, 0, false},
    {"s.scr /s", kModeFullScreen, 0, false},
    {"s.scr /c", kModeConfig, 0, true},
    {"s.scr /c:5678", kModeConfig, 5678, false},
    {"s.scr", kModeConfig, 0, false},
    {"\"C:\\a b\\s.scr\"", kModeConfig, 0, false},
    {"\"C:\\a b\\s.scr\"   ", kModeConfig, 0, false},
    {"s.scr /x", kModeUnset, 0, false},
    {"s.scr /a", kModeUnset, 0, false},
};

TEST(CommandLine, ParsesEverySwitchForm)
{
    for (const CommandCase &c : kCommandCases) {
        SaverCommand cmd = ParseSaverCommandLine(c.line);
        EXPECT_EQ(cmd.mode, c.mode) << c.line;
        EXPECT_EQ(reinterpret_cast<intptr_t>(cmd.window), c.window) << c.line;
        EXPECT_EQ(cmd.useForeground, c.foreground) << c.line;
    }
}

}  // namespace
