// GIF reader: block layouts, interlace, palettes, DIB rows, the LZW paths
// (through an encoder of our own) and damaged streams.
#include <gtest/gtest.h>

#include "readertest.h"

using namespace readertest;

namespace {

struct GifRead {
    Outcome outcome;
    int32_t transparent = 99;
    RGBQUAD palette[256];
};

GifRead ReadGif(const Bytes &file, uint32_t flags = 0)
{
    GifRead r;
    memset(r.palette, 0xAB, sizeof(r.palette));
    r.outcome = ReadMemory(
        file,
        [&](HISSRC s, uint32_t *w, uint32_t *h) { return ReadGIF(s, w, h, &r.transparent, r.palette, flags); },
        flags ? 0 : 1);
    return r;
}

std::vector<RGBQUAD> Greys(uint32_t n)
{
    std::vector<RGBQUAD> c;
    for (uint32_t i = 0; i < n; ++i)
        c.push_back(RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0});
    return c;
}

std::vector<uint8_t> Pattern(uint32_t n, uint32_t colours, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    for (uint32_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        v[i] = static_cast<uint8_t>((seed >> 16) % colours);
    }
    return v;
}

Bytes GifOf(uint32_t w, uint32_t h, const std::vector<uint8_t> &pixels, LzwMode mode, size_t *decodable = nullptr,
            const Bytes &extensions = {}, BYTE packed = 0)
{
    return GifFile(w, h, Greys(256), extensions, packed, LzwEncode(pixels, 8, mode, decodable));
}

BOOL WINAPI StopAfterFirstRow(uint32_t, uint32_t, uint32_t) { return FALSE; }

}  // namespace

TEST(GifRead, RefusesWhatIsNotAnImage)
{
    const Bytes good = GifOf(4, 2, Pattern(8, 4, 1), LzwMode::kClearWhenFull);
    const size_t screenEnd = 13 + 256 * 3;
    Bytes badVersion = good;
    badVersion[4] = '8';
    Bytes trailerOnly(good.begin(), good.begin() + screenEnd);
    trailerOnly.push_back(0x3B);
    Bytes bigCodeSize = good;
    bigCodeSize[screenEnd + 10] = 12;  // the minimum code size after the descriptor
    Bytes cutDescriptor(good.begin(), good.begin() + screenEnd + 5);
    struct Case {
        const char *what;
        Bytes file;
        int32_t error;
        bool image;
    } cases[] = {
        {"a version other than 87a and 89a", badVersion, kImgNoText12, false},
        {"only a trailer after the screen", trailerOnly, kImgFileRead, false},
        {"a minimum code size above 11", bigCodeSize, kImgNoText12, false},
        {"a cut image descriptor", cutDescriptor, kImgFileRead, false},
        {"a cut signature", Bytes(good.begin(), good.begin() + 4), kImgNoText12, false},
    };
    for (const Case &c : cases) {
        GifRead r = ReadGif(c.file);
        EXPECT_EQ(r.outcome.error, c.error) << c.what;
        EXPECT_EQ(r.outcome.returned, c.image) << c.what;
    }
}

// gifbuild's exact layout: loop block, comment, a graphic control without
// transparency, a 4x3 image with a local table of 4 on a 6x5 screen, and a
// second image that must not be read.
TEST(GifRead, BlocksBeforeTheImageAndALocalTable)
{
    GifRead r = ReadGif(FixtureBytes("blocks.gif"));
    ASSERT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.outcome.width, 4u);
    EXPECT_EQ(r.outcome.height, 3u);
    EXPECT_EQ(r.transparent, -1);
    EXPECT_EQ(r.outcome.pixels, (Bytes{0, 1, 2, 3, 2, 1, 0, 3, 3, 3, 0, 0}));
    EXPECT_EQ(r.palette[0].rgbRed, 200);
    EXPECT_EQ(r.palette[3].rgbBlue, 9);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(r.palette[i].rgbReserved, 255) << i;
        if (i >= 4) {
            EXPECT_EQ(r.palette[i].rgbRed | r.palette[i].rgbGreen | r.palette[i].rgbBlue, 0) << i;
        }
    }
}

TEST(GifRead, TransparentIndexAndInterlacedRows)
{
    // gifbuild: a 3x3 interlaced image, transparent index 2.
    GifRead r = ReadGif(FixtureBytes("gce-transparent.gif"));
    ASSERT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.transparent, 2);
    EXPECT_EQ(r.palette[2].rgbReserved, 0);
    EXPECT_EQ(r.palette[1].rgbReserved, 255);
    EXPECT_EQ(r.outcome.pixels, (Bytes{0, 1, 2, 2, 3, 0, 1, 1, 3}));
    // One interlaced row is filled by the first pass alone.
    GifRead one = ReadGif(GifOf(5, 1, {1, 2, 3, 4, 5}, LzwMode::kClearWhenFull, nullptr, {}, 0x40));
    EXPECT_EQ(one.outcome.pixels, (Bytes{1, 2, 3, 4, 5}));
}

// A graphic control block of one byte: the index comes from a cleared
// buffer, not from the comment read before it.
TEST(GifRead, ShortGraphicControlBlockReadsZeros)
{
    const Bytes extensions = {0x21, 0xFE, 4, 9, 9, 9, 7, 0, 0x21, 0xF9, 1, 0x01, 0};
    GifRead r = ReadGif(GifOf(2, 1, {1, 2}, LzwMode::kClearWhenFull, nullptr, extensions));
    ASSERT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.transparent, 0);
}

TEST(GifRead, DibRowsArePaddedAndBottomUp)
{
    GifRead r = ReadGif(GifOf(3, 2, {1, 2, 3, 4, 5, 6}, LzwMode::kClearWhenFull), kReadAsDib);
    ASSERT_EQ(r.outcome.error, 0);
    const Bytes &dib = r.outcome.pixels;
    ASSERT_EQ(dib.size(), 40u + 1024 + 8);
    EXPECT_EQ(dib[14], 8);
    EXPECT_EQ(dib[32] | (dib[33] << 8), 256);
    // The second image row comes first in memory, each row padded to 4.
    EXPECT_EQ(Bytes(dib.end() - 8, dib.end()), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(dib[40 + 4 * 5 + 2], 5);  // palette entry 5 (grey 5)
}

// The decoder against an encoder of our own: code widths growing to 12
// bits, clear codes, runs that make the KwKwK case, a stream of literals
// only, and a table that fills without a clear code.
TEST(GifRead, LzwPaths)
{
    const uint32_t w = 97;
    const uint32_t h = 61;
    std::vector<uint8_t> mixed = Pattern(w * h, 256, 7);
    for (uint32_t i = 0; i < w * h / 3; ++i)
        mixed[i] = static_cast<uint8_t>(i / 500);  // long runs: KwKwK
    struct Case {
        const char *what;
        LzwMode mode;
        std::vector<uint8_t> pixels;
    } cases[] = {
        {"usual encoder", LzwMode::kClearWhenFull, mixed},
        {"literals only", LzwMode::kPlain, Pattern(w * h, 256, 3)},
        {"few colours", LzwMode::kClearWhenFull, Pattern(w * h, 3, 11)},
    };
    for (const Case &c : cases) {
        GifRead r = ReadGif(GifOf(w, h, c.pixels, c.mode));
        EXPECT_EQ(r.outcome.error, 0) << c.what;
        EXPECT_TRUE(r.outcome.pixels == Bytes(c.pixels.begin(), c.pixels.end())) << c.what;
    }
    size_t decodable = 0;
    const std::vector<uint8_t> pixels = Pattern(w * h, 256, 5);
    GifRead full = ReadGif(GifOf(w, h, pixels, LzwMode::kNoClear, &decodable));
    ASSERT_LT(decodable, pixels.size());
    EXPECT_EQ(full.outcome.error, 0);
    Bytes expected(pixels.begin(), pixels.begin() + decodable);
    expected.resize(pixels.size(), 0);
    EXPECT_TRUE(full.outcome.pixels == expected);
}

TEST(GifRead, EarlyEndAndAbort)
{
    const std::vector<uint8_t> pixels = Pattern(40 * 30, 256, 9);
    Bytes file = GifOf(40, 30, pixels, LzwMode::kClearWhenFull);
    Bytes cut(file.begin(), file.begin() + file.size() / 2);
    GifRead r = ReadGif(cut);
    EXPECT_EQ(r.outcome.error, 0);
    ASSERT_TRUE(r.outcome.returned);
    EXPECT_EQ(r.outcome.pixels.back(), 0);
    EXPECT_TRUE(Bytes(r.outcome.pixels.begin(), r.outcome.pixels.begin() + 40) == Bytes(pixels.begin(), pixels.begin() + 40));

    SetProgressCallback(StopAfterFirstRow, 0);
    GifRead stopped = ReadGif(file);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(stopped.outcome.error, kImgAborted);
    ASSERT_TRUE(stopped.outcome.returned);
    EXPECT_TRUE(Bytes(stopped.outcome.pixels.begin(), stopped.outcome.pixels.begin() + 40) ==
                Bytes(pixels.begin(), pixels.begin() + 40));
    EXPECT_EQ(Bytes(stopped.outcome.pixels.begin() + 40, stopped.outcome.pixels.end()), Bytes(40 * 29, 0));
}
