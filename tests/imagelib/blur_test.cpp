// Gaussian blur: kernel width, edges, symmetry, channels and refusals.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "opstest.h"

#include <algorithm>
#include <limits>
#include <numeric>

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

Bytes Blur(const Bytes &in, uint32_t w, uint32_t h, uint32_t bpp, double sigma, uint32_t mask, BYTE fill = 0xEE)
{
    Bytes out(in.size(), fill);
    EXPECT_TRUE(GaussianBlur(in.data(), w, h, bpp, w * bpp, out.data(), w * bpp, sigma, mask));
    return out;
}

}  // namespace

TEST(GaussianBlur, KernelWidthAndSymmetricSpread)
{
    // On a single row the vertical pass is one tap, so the row shows the
    // kernel itself: 11 taps for sigma 2.0, 9 for 1.4.
    Bytes row(31, 0);
    row[15] = 255;
    for (auto [sigma, taps] : {std::pair{2.0, 11}, std::pair{1.4, 9}}) {
        const Bytes out = Blur(row, 31, 1, 1, sigma, 1);
        const auto lit = std::count_if(out.begin(), out.end(), [](BYTE v) { return v != 0; });
        EXPECT_EQ(lit, taps) << sigma;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), out.rbegin())) << sigma;
    }
    // An impulse spreads alike in every direction and keeps about its sum.
    Bytes dot(21 * 21, 0);
    dot[10 * 21 + 10] = 255;
    const Bytes out = Blur(dot, 21, 21, 1, 2.0, 7);
    for (uint32_t y = 0; y < 21; ++y)
        for (uint32_t x = 0; x < 21; ++x) {
            EXPECT_EQ(out[y * 21 + x], out[x * 21 + y]);
            EXPECT_EQ(out[y * 21 + x], out[(20 - y) * 21 + (20 - x)]);
        }
    const int sum = std::accumulate(out.begin(), out.end(), 0);
    EXPECT_NEAR(sum, 255, 25);
    EXPECT_GT(out[10 * 21 + 10], out[10 * 21 + 11]);
}

TEST(GaussianBlur, UniformStaysAndChannelsAreChosen)
{
    Bytes flat;
    for (int i = 0; i < 7 * 5; ++i)
        flat.insert(flat.end(), {10, 128, 250});
    EXPECT_EQ(Blur(flat, 7, 5, 3, 2.0, 7), flat);  // to the borders

    // Mask 1 writes byte 0 only; the others keep what was there.
    const Bytes only = Blur(flat, 7, 5, 3, 2.0, 1);
    for (size_t i = 0; i < only.size(); i += 3)
        ASSERT_EQ(Bytes(only.begin() + i, only.begin() + i + 3), Bytes({10, 0xEE, 0xEE})) << i;

    // No kernel for sigma 0, negative or NaN: the chosen channels are copied.
    Bytes ramp(12);
    std::iota(ramp.begin(), ramp.end(), 1);
    for (double sigma : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        const Bytes copy = Blur(ramp, 2, 2, 3, sigma, 5);
        EXPECT_EQ(copy, Bytes({1, 0xEE, 3, 4, 0xEE, 6, 7, 0xEE, 9, 10, 0xEE, 12})) << sigma;
    }
    // A sigma far beyond the picture blurs with the whole picture, not more.
    const Bytes wide = Blur(Bytes({0, 0, 0, 255}), 4, 1, 1, 1e9, 1);
    EXPECT_EQ(wide, Bytes({64, 64, 64, 64}));
}

TEST(GaussianBlur, RefusalsWorkImageAndProgress)
{
    Bytes img(12, 1), out(12, 0);
    EXPECT_FALSE(GaussianBlur(img.data(), 2, 2, 3, 6, img.data(), 6, 2.0, 7));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(GaussianBlur(nullptr, 2, 2, 3, 6, out.data(), 6, 2.0, 7));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(GaussianBlur(img.data(), 2, 2, 3, 5, out.data(), 6, 2.0, 7));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    // The rows fit the limit but their single-precision work image does not.
    EXPECT_FALSE(GaussianBlur(img.data(), 30000, 30000, 1, 30000, out.data(), 30000, 2.0, 1));
    EXPECT_EQ(GetLastImageError(), kImgOutOfMemory);

    {
        // Two reports per chosen channel, one for each other channel.
        ProgressProbe probe;
        ASSERT_TRUE(GaussianBlur(img.data(), 2, 2, 3, 6, out.data(), 6, 1.0, 2));
        EXPECT_EQ(probe.Reports(), (std::vector<std::pair<uint32_t, uint32_t>>{{1, 6}, {2, 6}, {3, 6}, {5, 6}}));
    }
    // Stopped after the horizontal pass: the destination is not written.
    std::fill(out.begin(), out.end(), 0xEE);
    ProgressProbe probe(1);
    EXPECT_FALSE(GaussianBlur(img.data(), 2, 2, 3, 6, out.data(), 6, 1.0, 1));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(out, Bytes(12, 0xEE));
}
