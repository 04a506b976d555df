// Photo CD reader: files of our own writer (make_pcd_fixtures.py) with the
// pixels a second implementation of the decoding expects, at every level,
// turned, with residual layers, and damaged.
#include <gtest/gtest.h>

#include "readertest.h"

#include <cstdlib>
#include <cstring>
#include <string>

using namespace readertest;

namespace {

std::string PcdPath(const std::string &name)
{
    std::string path = std::string(WYN_PCD_FIXTURES) + "/" + name;
#ifdef _WIN32
    for (char &c : path)
        if (c == '/')
            c = '\\';
    path = "Z:" + path;
#endif
    return path;
}

Bytes PcdBytes(const std::string &name) { return imgtest::ReadFile(PcdPath(name)); }

Outcome ReadPcd(const Bytes &file, uint32_t level, uint32_t flags = 0)
{
    return ReadMemory(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h) { return ReadPCD(s, w, h, level, flags); },
        flags & kReadAsDib ? 0 : 3);
}

constexpr uint32_t kOrientationOffset = 3586;

}  // namespace

TEST(PcdRead, BaseLevelsAreTheConversionOfTheStoredPlanes)
{
    const Bytes file = PcdBytes("base.pcd");
    struct Case {
        uint32_t level;
        uint32_t width;
        uint32_t height;
        const char *expected;
    } cases[] = {{0, 192, 128, "base.1.rgb"}, {1, 192, 128, "base.1.rgb"}, {2, 384, 256, "base.2.rgb"},
                 {3, 768, 512, "base.3.rgb"}};
    for (const Case &c : cases) {
        Outcome r = ReadPcd(file, c.level);
        ASSERT_EQ(r.error, 0) << c.level;
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        EXPECT_TRUE(r.pixels == PcdBytes(c.expected)) << "level " << c.level;
    }
    // The generic reader takes level 3.
    Outcome generic = ReadMemory(file, Generic(), 3);
    ASSERT_EQ(generic.error, 0);
    EXPECT_EQ(generic.width, 768u);
    EXPECT_TRUE(generic.pixels == PcdBytes("base.3.rgb"));
    // As a DIB: the same rows bottom-up, blue first.
    Outcome dib = ReadPcd(file, 1, kReadAsDib);
    ASSERT_EQ(dib.error, 0);
    const Bytes rgb = PcdBytes("base.1.rgb");
    EXPECT_EQ(dib.pixels[14], 24);
    const BYTE *last = &dib.pixels[40];
    EXPECT_EQ((Bytes{last[2], last[1], last[0]}), Bytes(&rgb[127 * 192 * 3], &rgb[127 * 192 * 3 + 3]));
}

// ImageMagick reads the same file apart from us: where the chroma was stored
// (even rows and columns) its planes give our pixels exactly; between them
// only its own chroma enlargement may move a value a little.
TEST(PcdRead, ImageMagickReadsTheBaseLevelsAsWeDo)
{
    constexpr int kEnlargementSlack = 3;
    const Bytes file = PcdBytes("base.pcd");
    for (uint32_t level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        const Outcome r = ReadPcd(file, level);
        ASSERT_EQ(r.error, 0);
        const Bytes magick = PcdBytes("im." + std::to_string(level) + ".rgb");
        ASSERT_EQ(r.pixels.size(), magick.size());
        int storedOff = 0, farOff = 0;
        for (uint32_t y = 0; y < r.height; ++y)
            for (uint32_t x = 0; x < r.width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const size_t i = (static_cast<size_t>(y) * r.width + x) * 3 + c;
                    const int d = std::abs(static_cast<int>(r.pixels[i]) - static_cast<int>(magick[i]));
                    if (x % 2 == 0 && y % 2 == 0 && d != 0)
                        ++storedOff;
                    if (d > kEnlargementSlack)
                        ++farOff;
                }
        EXPECT_EQ(storedOff, 0);
        EXPECT_EQ(farOff, 0);
    }
}

TEST(PcdRead, BlackAndLightGrey)
{
    Outcome r = ReadPcd(PcdBytes("grey.pcd"), 1);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(Bytes(r.pixels.begin(), r.pixels.begin() + 3), (Bytes{0, 0, 0}));
    EXPECT_EQ(Bytes(r.pixels.end() - 3, r.pixels.end()), (Bytes{235, 235, 235}));
}

TEST(PcdRead, OrientationTurnsThePicture)
{
    const Bytes upright = PcdBytes("base.3.rgb");
    const uint32_t w = 768;
    const uint32_t h = 512;
    struct Case {
        BYTE orientation;
        uint32_t width;
        // Where the stored pixel (x, y) lands.
        uint32_t (*column)(uint32_t x, uint32_t y);
        uint32_t (*row)(uint32_t x, uint32_t y);
    } cases[] = {
        {1, h, [](uint32_t, uint32_t y) { return y; }, [](uint32_t x, uint32_t) { return w - 1 - x; }},
        {2, w, [](uint32_t x, uint32_t) { return w - 1 - x; }, [](uint32_t, uint32_t y) { return h - 1 - y; }},
        {3, h, [](uint32_t, uint32_t y) { return h - 1 - y; }, [](uint32_t x, uint32_t) { return x; }},
    };
    for (const Case &c : cases) {
        Bytes file = PcdBytes("base.pcd");
        file[kOrientationOffset] = static_cast<BYTE>(0xFC | c.orientation);
        Outcome r = ReadPcd(file, 3);
        ASSERT_EQ(r.error, 0);
        EXPECT_EQ(r.width, c.width) << int(c.orientation);
        EXPECT_EQ(r.width * r.height, w * h);
        uint32_t wrong = 0;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                wrong += memcmp(&upright[(static_cast<size_t>(y) * w + x) * 3],
                                &r.pixels[(static_cast<size_t>(c.row(x, y)) * r.width + c.column(x, y)) * 3], 3) != 0;
        EXPECT_EQ(wrong, 0u) << int(c.orientation);
    }
}

TEST(PcdRead, ResidualLayers)
{
    // One table: a whole row, a row cut by an unknown code, a chroma row
    // passed over, a row longer than its width, then a row number past the
    // pass that ends it.
    Outcome four = ReadPcd(PcdBytes("res4.pcd"), 4);
    ASSERT_EQ(four.error, 0);
    EXPECT_EQ(four.width, 1536u);
    EXPECT_TRUE(four.pixels == PcdBytes("res4.4.rgb"));
    // Three tables in both passes, luma and chroma rows.
    const Bytes five = PcdBytes("res5.pcd");
    Outcome r = ReadPcd(five, 5);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.width, 3072u);
    EXPECT_TRUE(r.pixels == PcdBytes("res5.5.rgb"));
    Outcome six = ReadPcd(five, 9);
    ASSERT_EQ(six.error, 0);
    EXPECT_EQ(six.width, 6144u);
    EXPECT_EQ(six.height, 4096u);
}

TEST(PcdRead, DamagedFiles)
{
    const Bytes base = PcdBytes("base.pcd");
    Bytes overview = base;
    memcpy(overview.data(), "PCD_OPA", 7);
    Bytes unmarked = base;
    unmarked[2048] = 'X';
    struct Case {
        const char *what;
        Bytes file;
        uint32_t level;
        int32_t error;
    } cases[] = {
        {"overview", overview, 1, kImgPhotoCdIndex},
        {"no PCD at 2048", unmarked, 1, kImgBadPhotoCd},
        {"short head", Bytes(base.begin(), base.begin() + 6000), 1, kImgBadPhotoCd},
        {"short base", Bytes(base.begin(), base.begin() + 300000), 3, kImgFileRead},
        {"plane 1", PcdBytes("plane1.pcd"), 4, kImgBadPhotoCd},
        {"code length 17", PcdBytes("code17.pcd"), 4, kImgBadPhotoCd},
    };
    for (const Case &c : cases) {
        Outcome r = ReadPcd(c.file, c.level);
        EXPECT_EQ(r.error, c.error) << c.what;
        EXPECT_FALSE(r.returned) << c.what;
    }
}

namespace {

struct Count {
    static BOOL WINAPI Rows(uint32_t row, uint32_t rows, uint32_t)
    {
        ++calls;
        total = rows;
        return row < stopAfter;
    }
    static inline uint32_t calls = 0;
    static inline uint32_t total = 0;
    static inline uint32_t stopAfter = 1000;
};

}  // namespace

TEST(PcdRead, ProgressOnceARowAndAbort)
{
    const Bytes file = PcdBytes("base.pcd");
    SetProgressCallback(Count::Rows, 0);
    Outcome whole = ReadPcd(file, 1);
    const uint32_t calls = Count::calls;
    Count::stopAfter = 5;
    Outcome stopped = ReadPcd(file, 1);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(whole.error, 0);
    EXPECT_EQ(calls, 128u);
    EXPECT_EQ(Count::total, 128u);
    EXPECT_EQ(stopped.error, kImgAborted);
    EXPECT_FALSE(stopped.returned);
}
