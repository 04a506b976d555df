#include <gtest/gtest.h>

#include "config/config.h"
#include "shell/startup.h"

namespace {

TEST(StartupRules, ColourCounts)
{
    struct { int colours; bool tooFew; bool palette; } cases[] = {
        {2, true, false}, {16, true, true}, {17, false, true}, {256, false, true},
        {-1, false, false}, {65536, false, false}, {0x7FFFFFFF, false, false},
    };
    for (auto c : cases) {
        EXPECT_EQ(IsTooFewColours(c.colours), c.tooFew) << c.colours;
        EXPECT_EQ(IsPaletteColourCount(c.colours), c.palette) << c.colours;
    }
}

TEST(StartupRules, MemoryNeed)
{
    EXPECT_EQ(MemoryNeed(1280, 1024, true, 256), 1280.0 * 1024 * 2);
    EXPECT_EQ(MemoryNeed(1280, 1024, false, 65535), 1280.0 * 1024 * 4);
    EXPECT_EQ(MemoryNeed(1280, 1024, false, -1), 1280.0 * 1024 * 6);
    EXPECT_EQ(MemoryNeed(1920, 1080, false, 0x7FFFFFFF), 1920.0 * 1080 * 6);
}

TEST(StartupRules, ShutterTrend)
{
    struct { int phase, hour, minute; int first, second; } cases[] = {
        {1, 12, 0, -2, -2}, {3, 22, 0, 2, 2}, {2, 7, 10, -2, 2}, {2, 7, 55, -2, -2},
        {2, 20, 10, -2, -2}, {2, 20, 55, -2, 2},
    };
    for (auto c : cases) {
        int trend[2] = {0, 0};
        ComputeShutterTrend(c.phase, c.hour, c.minute, trend);
        EXPECT_EQ(trend[0], c.first) << c.phase << " " << c.hour << ":" << c.minute;
        EXPECT_EQ(trend[1], c.second) << c.phase << " " << c.hour << ":" << c.minute;
    }
}

TEST(StartupRules, ErrorPictureBouncesInsideTheScreen)
{
    Bounce b = {0, 0, 0, 0};
    const int w = 200, h = 100, pw = 64, ph = 48;
    BounceStep(&b, w, h, pw, ph);
    EXPECT_EQ(b.x, (w - pw) / 2 + 1);
    EXPECT_EQ(b.y, (h - ph) / 2 + 1);
    int minX = b.x, maxX = b.x, minY = b.y, maxY = b.y;
    bool flippedX = false, flippedY = false;
    for (int i = 0; i < 1000; ++i) {
        int dx = b.dx, dy = b.dy;
        BounceStep(&b, w, h, pw, ph);
        flippedX |= b.dx != dx;
        flippedY |= b.dy != dy;
        minX = std::min(minX, b.x);
        maxX = std::max(maxX, b.x);
        minY = std::min(minY, b.y);
        maxY = std::max(maxY, b.y);
    }
    EXPECT_TRUE(flippedX && flippedY);
    EXPECT_GE(minX, 1);
    EXPECT_LE(maxX, w - pw - 9);
    EXPECT_GE(minY, 1);
    EXPECT_LE(maxY, h - ph - 9);
}

TEST(StartupRules, PictureLanguage)
{
    int saved = Language;
    Language = 1;
    EXPECT_EQ(SceneLangNo(), 1);
    Language = 0;
    EXPECT_EQ(SceneLangNo(), 2);
    Language = 7;
    EXPECT_EQ(SceneLangNo(), 2);
    Language = saved;
}

}  // namespace
