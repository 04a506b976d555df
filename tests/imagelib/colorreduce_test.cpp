// Palette reduction with its colour cache and diffusion, index expansion,
// and nearest-colour matching.
#include <gtest/gtest.h>

#include "imageops.h"
#include "imgtest.h"
#include "opstest.h"

#include <algorithm>

using namespace imgtest;
using opstest::ProgressProbe;
using opstest::Rgb;

namespace {

// Grey entry of the given level (blue, green, red, reserved).
RGBQUAD Grey(BYTE v) { return {v, v, v, 0}; }

Bytes Reduce(const Bytes &rgb, uint32_t width, uint32_t height, const std::vector<RGBQUAD> &palette,
             uint32_t diffusion, uint32_t limit, uint32_t flags = 0)
{
    Bytes out(static_cast<size_t>(width) * height, 0xEE);
    EXPECT_TRUE(RGBTo8Bit(rgb.data(), width, height, width * 3, out.data(), width,
                          static_cast<uint32_t>(palette.size()), palette.data(), diffusion, limit, flags));
    return out;
}

Bytes Uniform(uint32_t pixels, BYTE r, BYTE g, BYTE b)
{
    Bytes rgb;
    for (uint32_t i = 0; i < pixels; ++i)
        rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

}  // namespace

TEST(ColourReduction, WithoutDiffusionTheFirstColourOfACacheCellDecides)
{
    const std::vector<RGBQUAD> palette = {Grey(0), Grey(8), Grey(50), Grey(50)};
    // (7,7,7) and (0,0,0) share a 15-bit cell: whichever comes first picks
    // the index for both. The saver's limit 0x1000000 has a low byte of 0.
    EXPECT_EQ(Reduce({7, 7, 7, 0, 0, 0}, 2, 1, palette, 1, 0x1000000), Bytes({1, 1}));
    EXPECT_EQ(Reduce({0, 0, 0, 7, 7, 7}, 2, 1, palette, 1, 0x1000000), Bytes({0, 0}));
    // Two equal entries: the lower index.
    EXPECT_EQ(Reduce({50, 50, 50}, 1, 1, palette, 1, 0), Bytes({2}));

    // Pixel and entry byte order: red first against blue-green-red entries,
    // or the entry's own order with flag 1.
    const std::vector<RGBQUAD> blueRed = {{255, 0, 0, 0}, {0, 0, 255, 0}};
    EXPECT_EQ(Reduce({0, 0, 255, 255, 0, 0}, 2, 1, blueRed, 1, 0), Bytes({0, 1}));
    EXPECT_EQ(Reduce({0, 0, 255, 255, 0, 0}, 2, 1, blueRed, 1, 0, kSamePaletteOrder), Bytes({1, 0}));
}

TEST(ColourReduction, DiffusionMixesAColourHalfwayBetweenTwoEntries)
{
    const std::vector<RGBQUAD> palette = {Grey(0), Grey(100)};
    const uint32_t w = 8, h = 4;
    const Bytes mid = Uniform(w * h, 50, 50, 50);
    // Without diffusion every pixel takes the lower of the two tied entries.
    EXPECT_EQ(Reduce(mid, w, h, palette, 1, 0), Bytes(w * h, 0));
    // Worked by hand for the first row: the error of +-20 (the limit) moves
    // on as 7/16 or as 1/2 and flips the next pixel.
    for (uint32_t mode : {0u, 1u}) {
        const Bytes out = Reduce(mid, w, h, palette, mode, 20);
        EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), Bytes({0, 1, 0, 1})) << "mode " << mode;
        const auto ones = std::count(out.begin(), out.end(), 1);
        EXPECT_GT(ones, static_cast<long>(w * h / 4)) << mode;
        EXPECT_LT(ones, static_cast<long>(w * h * 3 / 4)) << mode;
    }
    // A limit byte of 128 or more is taken as 127, not as negative.
    const Bytes capped = Reduce(mid, w, h, palette, 1, 0xFF);
    EXPECT_EQ(Bytes(capped.begin(), capped.begin() + 2), Bytes({0, 1}));
}

TEST(ColourReduction, RefusesBadArgumentsAndStopsOnAbort)
{
    const std::vector<RGBQUAD> palette(256, Grey(9));
    Bytes rgb(3 * 4 * 3, 1), out(4 * 3);
    struct Case {
        const BYTE *pixels;
        BYTE *out;
        uint32_t colours;
        const RGBQUAD *palette;
        uint32_t rowBytes;
    };
    const Case bad[] = {
        {nullptr, out.data(), 2, palette.data(), 12}, {rgb.data(), nullptr, 2, palette.data(), 12},
        {rgb.data(), out.data(), 2, nullptr, 12},     {rgb.data(), out.data(), 0, palette.data(), 12},
        {rgb.data(), out.data(), 257, palette.data(), 12}, {rgb.data(), out.data(), 2, palette.data(), 11},
    };
    for (const Case &c : bad) {
        EXPECT_FALSE(RGBTo8Bit(c.pixels, 4, 3, c.rowBytes, c.out, 4, c.colours, c.palette, 1, 0, 0));
        EXPECT_EQ(GetLastImageError(), kImgBadParam);
    }
    // Error rows that cannot be had are out of memory, not a silent 0.
    const uint32_t wide = 0x7FFDEFFF / 3;
    EXPECT_FALSE(RGBTo8Bit(rgb.data(), wide, 1, wide * 3, out.data(), wide, 2, palette.data(), 1, 20, 0));
    EXPECT_EQ(GetLastImageError(), kImgOutOfMemory);

    ProgressProbe probe(2);
    EXPECT_FALSE(RGBTo8Bit(rgb.data(), 4, 3, 12, out.data(), 4, 256, palette.data(), 1, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(probe.Reports().size(), 2u);
}

TEST(ColourReduction, IndicesExpandInEitherByteOrder)
{
    RGBQUAD palette[256] = {};
    palette[1] = {1, 2, 3, 0};
    palette[200] = {10, 20, 30, 0};
    const Bytes indices = {1, 200, 0, 9 /* padding */, 200, 1, 0, 9};
    Bytes out(2 * 10, 0xEE);
    ASSERT_TRUE(Convert8BitToRGB(indices.data(), 3, 2, 4, out.data(), 10, 0, palette, 0));
    EXPECT_EQ(out, Bytes({3, 2, 1, 30, 20, 10, 0, 0, 0, 0xEE, 30, 20, 10, 3, 2, 1, 0, 0, 0, 0xEE}));
    ASSERT_TRUE(Convert8BitToRGB(indices.data(), 3, 2, 4, out.data(), 10, 0, palette, kSamePaletteOrder));
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), Bytes({1, 2, 3, 10, 20, 30}));

    EXPECT_FALSE(Convert8BitToRGB(nullptr, 3, 2, 4, out.data(), 10, 0, palette, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(Convert8BitToRGB(indices.data(), 3, 2, 4, out.data(), 10, 0, nullptr, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);

    // An abort keeps the rows done so far.
    std::fill(out.begin(), out.end(), 0xEE);
    ProgressProbe probe(1);
    EXPECT_FALSE(Convert8BitToRGB(indices.data(), 3, 2, 4, out.data(), 10, 0, palette, 0));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[10], 0xEE);
}

TEST(ColourMatch, NearestEntryCacheAndTolerance)
{
    CISColorMatch unset;
    EXPECT_EQ(unset.Match(Rgb(200, 200, 200)), 0u);
    EXPECT_EQ(unset.CachedPairs(), 0u);  // no palette: nothing cached

    CISColorMatch empty;
    empty.SetPalette(nullptr, 0);
    const RGBQUAD none[1] = {};
    empty.SetPalette(none, 0);
    EXPECT_EQ(empty.Match(Rgb(9, 9, 9)), 0u);
    EXPECT_EQ(empty.CachedPairs(), 1u);

    const RGBQUAD palette[] = {Grey(0), {0, 0, 200, 0}, Grey(128), Grey(128)};
    CISColorMatch match;
    match.SetPalette(palette, 4);
    EXPECT_EQ(match.Match(Rgb(190, 10, 0)), 1u);
    EXPECT_EQ(match.Match(130, 128, 127), 2u);  // the lower of two equal entries
    // The 256th distinct colour finds 255 pairs and starts the cache over.
    for (uint32_t i = 2; i < 255; ++i)
        match.Match(Rgb(i, 0, 0));
    EXPECT_EQ(match.CachedPairs(), 255u);
    match.Match(Rgb(255, 1, 1));
    EXPECT_EQ(match.CachedPairs(), 1u);

    struct Case {
        uint32_t a, b, tolerance;
        bool match;
    };
    const Case cases[] = {
        {0x0000FF00, 0x0000FF00, 0, true},  {0x0100FF00, 0x0000FF00, 0, false},  // all 32 bits at 0
        {0x00020202, 0x00000000, 0, false}, {0x00020202, 0x00000000, 12, true},
        {0x0002FF02, 0x0000FF00, 8, true},  {0x0000FF03, 0x0000FF00, 8, false},
        {0xFF00FF00, 0x0000FF00, 8, true},  {0x00000000, 0x00FFFFFF, 0xFFFFFFFF, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CISColorMatch::ColorsMatch(c.a, c.b, c.tolerance), c.match) << std::hex << c.a << " " << c.b;
}
