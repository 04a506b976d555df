// Rectangle fills and polygon fills (1-bit, solid, blended, patterned).
#include <gtest/gtest.h>

#include "imgtest.h"
#include "opstest.h"

#include <cmath>
#include <numbers>
#include <limits>
#include <string>

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

// A 1-byte image as text rows: '#' where the pixel equals on, '.' else.
std::string Drawn(const Bytes &pixels, uint32_t width, BYTE on)
{
    std::string s;
    for (size_t i = 0; i < pixels.size(); ++i) {
        s += pixels[i] == on ? '#' : '.';
        if ((i + 1) % width == 0)
            s += '\n';
    }
    return s;
}

// A 1-bit image of whole bytes as text rows.
std::string BitPicture(const Bytes &bits, uint32_t rowBytes, uint32_t width)
{
    std::string s;
    for (size_t row = 0; row < bits.size() / rowBytes; ++row) {
        for (uint32_t x = 0; x < width; ++x)
            s += (bits[row * rowBytes + x / 8] >> (7 - x % 8)) & 1 ? '#' : '.';
        s += '\n';
    }
    return s;
}

Bytes Fill1Bit(const std::vector<PolygonPoint> &points, uint32_t width, uint32_t height)
{
    const uint32_t rowBytes = (width + 7) / 8;
    Bytes bits(static_cast<size_t>(rowBytes) * height, 0);
    EXPECT_TRUE(FillPolygon(bits.data(), width, height, rowBytes, points.data(),
                            static_cast<uint32_t>(points.size()), TRUE, 0));
    return bits;
}

}  // namespace

TEST(FillRect, RightColumnIncludedClippedAndColourBytes)
{
    Bytes img(8 * 6, 0);
    const RECT r = {2, 2, 5, 4};
    ASSERT_TRUE(FillImageRect(img.data(), 8, 6, 1, 8, &r, 9, 0));
    EXPECT_EQ(Drawn(img, 8, 9), "........\n........\n..####..\n..####..\n........\n........\n");

    // Past the right and bottom edges: cut there. Starting outside, or
    // inverted (the right column counts, so right < left is empty): nothing.
    const RECT past = {6, 4, 100, 100};
    ASSERT_TRUE(FillImageRect(img.data(), 8, 6, 1, 8, &past, 7, 0));
    EXPECT_EQ(Drawn(img, 8, 7), "........\n........\n........\n........\n......##\n......##\n");
    const Bytes before = img;
    const RECT nothing[] = {{8, 0, 9, 1}, {0, 6, 1, 7}, {-1, 0, 3, 1}, {5, 0, 4, 6}, {0, 3, 7, 3}, {0, 3, 7, 2}};
    for (const RECT &n : nothing) {
        EXPECT_TRUE(FillImageRect(img.data(), 8, 6, 1, 8, &n, 1, 0));
        EXPECT_EQ(img, before) << n.left << "," << n.top << "," << n.right << "," << n.bottom;
    }

    struct Case {
        uint32_t bpp, flags;
        COLORREF colour;
        Bytes pixel;
    };
    const Case cases[] = {
        {3, 0, 0xFE00FF, {0xFF, 0x00, 0xFE}},
        {3, kFillSwapRedBlue, 0xFE00FF, {0xFE, 0x00, 0xFF}},
        {4, 0, 0x11223344, {0x44, 0x33, 0x22, 0x11}},
    };
    for (const Case &c : cases) {
        Bytes px(2 * c.bpp, 0);
        const RECT one = {1, 0, 1, 1};
        ASSERT_TRUE(FillImageRect(px.data(), 2, 1, c.bpp, 2 * c.bpp, &one, c.colour, c.flags));
        Bytes expected(c.bpp, 0);
        expected.insert(expected.end(), c.pixel.begin(), c.pixel.end());
        EXPECT_EQ(px, expected) << c.bpp << " " << c.flags;
    }
}

TEST(FillRect, WholeImageGreyIsOneFillOthersReportRows)
{
    // Grey over the whole image fills the row padding too and reports nothing.
    Bytes img(2 * 7, 0);
    const RECT all = {0, 0, 1, 2};
    {
        ProgressProbe probe;
        ASSERT_TRUE(FillImageRect(img.data(), 2, 2, 3, 7, &all, 0x808080, 0));
        EXPECT_EQ(img, Bytes(14, 0x80));
        EXPECT_TRUE(probe.Reports().empty());
    }
    // Any other colour goes pixel by pixel, a report a row; a zero answer
    // stops after the first.
    Bytes tall(10 * 3, 0);
    const RECT column = {0, 0, 0, 10};
    ProgressProbe probe(1);
    EXPECT_FALSE(FillImageRect(tall.data(), 1, 10, 3, 3, &column, 0xFE00FF, 0));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(Bytes(tall.begin(), tall.begin() + 6), Bytes({0xFF, 0x00, 0xFE, 0, 0, 0}));

    EXPECT_FALSE(FillImageRect(img.data(), 2, 2, 2, 7, &all, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(FillImageRect(img.data(), 2, 2, 3, 5, &all, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}

TEST(FillPolygon, PixelCentresEvenOddAndClipping)
{
    EXPECT_EQ(BitPicture(Fill1Bit({{0, 0}, {4, 0}, {0, 4}}, 8, 5), 1, 8),
              "####....\n###.....\n##......\n#.......\n........\n");
    // A bow tie crossing itself at its middle.
    EXPECT_EQ(BitPicture(Fill1Bit({{0, 0}, {8, 0}, {0, 8}, {8, 8}}, 8, 8), 1, 8),
              "########\n.######.\n..####..\n...##...\n...##...\n..####..\n.######.\n########\n");
    // A pentagram: the tips are filled, the inner pentagon (crossed twice) not.
    std::vector<PolygonPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star.push_back({12 + 11 * std::cos(a), 12 + 11 * std::sin(a)});
    }
    const Bytes starBits = Fill1Bit(star, 24, 24);
    auto on = [&](uint32_t x, uint32_t y) { return (starBits[y * 3 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_TRUE(on(12, 3));    // top tip
    EXPECT_TRUE(on(3, 9));     // left tip
    EXPECT_FALSE(on(12, 12));  // centre
    EXPECT_FALSE(on(0, 0));

    // Reaching past every edge: only the inside, in an exact-size buffer.
    EXPECT_EQ(BitPicture(Fill1Bit({{-5, -5}, {20, -5}, {20, 20}, {-5, 20}}, 10, 2), 2, 10), "##########\n##########\n");
    EXPECT_EQ(BitPicture(Fill1Bit({{-1e9, 1.5}, {1e9, 1.5}, {0, 1e9}}, 10, 2), 2, 10), "..........\n##########\n");

    // Clearing instead of setting.
    Bytes bits(1, 0xFF);
    const PolygonPoint tri[] = {{2, 0}, {6, 0}, {6, 1}};
    ASSERT_TRUE(FillPolygon(bits.data(), 8, 1, 1, tri, 3, FALSE, 0));
    EXPECT_EQ(bits, Bytes({0xF3}));  // at y 0.5 the edges are at x 4 and 6: centres 4.5 and 5.5
}

TEST(FillPolygon, RefusesUnusablePoints)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Bytes bits(8, 0x55);
    const PolygonPoint bad[][3] = {
        {{0, 0}, {nan, 0}, {0, 4}},
        {{0, 0}, {4, 0}, {0, 1e300}},
        {{-3e9, 0}, {4, 0}, {0, 4}},
        {{0, 0}, {4, std::numeric_limits<double>::infinity()}, {0, 4}},
    };
    for (const auto &points : bad) {
        EXPECT_FALSE(FillPolygon(bits.data(), 8, 8, 1, points, 3, TRUE, 0));
        EXPECT_EQ(GetLastImageError(), kImgBadParam);
        Bytes px(64, 0);
        EXPECT_FALSE(FillPolygonEx(px.data(), 8, 8, 1, 8, points, 3, nullptr, 0, 0, 0, 1, 1.0, nullptr, 0, 0));
        EXPECT_EQ(GetLastImageError(), kImgBadParam);
    }
    EXPECT_EQ(bits, Bytes(8, 0x55));
    const PolygonPoint two[] = {{0, 0}, {4, 4}};
    EXPECT_FALSE(FillPolygon(bits.data(), 8, 8, 1, two, 2, TRUE, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}

TEST(FillPolygonEx, SolidBlendedPatternedAndPalette)
{
    const PolygonPoint tri[] = {{0, 0}, {2, 0}, {0, 2}};  // pixels (0,0), (1,0), (0,1)
    Bytes rgb(2 * 2 * 3, 200);
    ASSERT_TRUE(FillPolygonEx(rgb.data(), 2, 2, 3, 6, tri, 3, nullptr, 0, 0, 0, 0x0000FF, 0.3, nullptr, 0, 0));
    EXPECT_EQ(rgb, Bytes({255, 0, 0, 255, 0, 0, 255, 0, 0, 200, 200, 200}));
    Bytes blended(2 * 2 * 3, 200);
    ASSERT_TRUE(FillPolygonEx(blended.data(), 2, 2, 3, 6, tri, 3, nullptr, 0, 0, 0, 0x64FF00, 0.5, nullptr, 0,
                              kPolygonBlend | kPolygonSwapRedBlue));
    EXPECT_EQ(Bytes(blended.begin(), blended.begin() + 3), Bytes({150, 227, 100}));
    EXPECT_EQ(blended[9], 200);

    // A 2 x 2 pattern anchored at the leftmost point (x = 1), a new pattern
    // row for each image row.
    const Bytes pattern = {1, 2, 3, 4};
    const PolygonPoint box[] = {{1, 0}, {5, 0}, {5, 3}, {1, 3}};
    Bytes tiles(6 * 3, 0);
    ASSERT_TRUE(FillPolygonEx(tiles.data(), 6, 3, 1, 6, box, 4, pattern.data(), 2, 2, 2, 0, 1.0, nullptr, 0, 0));
    EXPECT_EQ(tiles, Bytes({0, 1, 2, 1, 2, 0, 0, 3, 4, 3, 4, 0, 0, 1, 2, 1, 2, 0}));

    // On a palette image the blend goes through the palette colours and back.
    const RGBQUAD palette[] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {127, 127, 127, 0}};
    Bytes indices(4, 0);
    ASSERT_TRUE(FillPolygonEx(indices.data(), 2, 2, 1, 2, tri, 3, nullptr, 0, 0, 0, 1, 0.5, palette, 3, kPolygonBlend));
    EXPECT_EQ(indices, Bytes({2, 2, 2, 0}));
    ASSERT_TRUE(FillPolygonEx(indices.data(), 2, 2, 1, 2, tri, 3, nullptr, 0, 0, 0, 1, 0.5, nullptr, 0, 0));
    EXPECT_EQ(indices, Bytes({1, 1, 1, 0}));

    struct Bad {
        uint32_t bpp;
        const BYTE *pattern;
        double opacity;
        const RGBQUAD *palette;
        uint32_t flags;
    };
    const Bad bad[] = {
        {2, nullptr, 1.0, nullptr, 0},
        {1, pattern.data(), 1.0, palette, kPolygonBlend},
        {1, nullptr, 0.5, nullptr, kPolygonBlend},
        {3, nullptr, 1.5, nullptr, kPolygonBlend},
        {3, nullptr, std::numeric_limits<double>::quiet_NaN(), nullptr, kPolygonBlend},
    };
    for (const Bad &b : bad) {
        Bytes px(2 * 2 * 3, 9);
        EXPECT_FALSE(FillPolygonEx(px.data(), 2, 2, b.bpp, 6, tri, 3, b.pattern, 2, 2, 2, 1, b.opacity, b.palette, 3,
                                   b.flags));
        EXPECT_EQ(GetLastImageError(), kImgBadParam);
        EXPECT_EQ(px, Bytes(12, 9));
    }
}
