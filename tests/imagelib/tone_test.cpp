// Tone curves from brightness and contrast, and gamma.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "opstest.h"

#include <algorithm>
#include <limits>

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

// The lookup table an operation applies, read off a ramp of all 256 levels.
Bytes ToneTable(double brightness, double contrast, uint32_t flags)
{
    Bytes ramp(256);
    for (uint32_t i = 0; i < 256; ++i)
        ramp[i] = static_cast<BYTE>(i);
    EXPECT_TRUE(AdjustBrightnessContrast(ramp.data(), 256, 1, 1, 256, brightness, contrast, flags));
    return ramp;
}

Bytes At(const Bytes &table, const Bytes &inputs)
{
    Bytes out;
    for (BYTE i : inputs)
        out.push_back(table[i]);
    return out;
}

Bytes Identity()
{
    Bytes ramp(256);
    for (uint32_t i = 0; i < 256; ++i)
        ramp[i] = static_cast<BYTE>(i);
    return ramp;
}

const Bytes kInputs = {0, 32, 64, 100, 128, 160, 191, 200, 254, 255};

}  // namespace

TEST(Tone, CurveTables)
{
    for (uint32_t flags : {0u, static_cast<uint32_t>(kToneThreePoints), static_cast<uint32_t>(kToneSevenPoints)})
        EXPECT_EQ(ToneTable(0, 0, flags), Identity()) << flags;
    struct Case {
        double brightness, contrast;
        uint32_t flags;
        Bytes expected;  // at kInputs
    };
    const Case cases[] = {
        // The saver's dusk and night pairs.
        {-0.2, -0.1, 0, {0, 0, 13, 49, 77, 108, 139, 147, 190, 191}},
        {-0.3, -0.2, 0, {0, 0, 0, 24, 51, 82, 112, 118, 152, 153}},
        {0, 0.5, 0, {0, 0, 0, 46, 128, 224, 255, 255, 255, 255}},
        {0, 0.5, kToneThreePoints, {0, 0, 1, 73, 128, 192, 254, 255, 255, 255}},
        {0, -0.5, 0, {63, 71, 79, 106, 128, 152, 175, 177, 191, 191}},
        {1, 0, 0, Bytes(10, 255)},
        {2, 0, 0, Bytes(10, 255)},
        {-7, 0.3, 0, Bytes(10, 0)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(At(ToneTable(c.brightness, c.contrast, c.flags), kInputs), c.expected)
            << c.brightness << " " << c.contrast << " flags " << c.flags;
    // Seven points bend the curve further than five near the ends.
    EXPECT_EQ(ToneTable(0, 0.5, 0)[70], 6);
    EXPECT_EQ(ToneTable(0, 0.5, kToneSevenPoints)[70], 3);
    // Contrast 0.5 clears up to 64 and fills from 191.
    const Bytes strong = ToneTable(0, 0.5, 0);
    EXPECT_TRUE(std::all_of(strong.begin(), strong.begin() + 65, [](BYTE v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(strong.begin() + 191, strong.end(), [](BYTE v) { return v == 255; }));
}

TEST(Tone, ModesAndTheFourthByte)
{
    // Mean-preserving: each byte moves by table[mean] - mean.
    Bytes px = {10, 20, 30, 200, 210, 220};
    ASSERT_TRUE(AdjustBrightnessContrast(px.data(), 2, 1, 3, 6, 0, 0.5, kToneKeepMean));
    EXPECT_EQ(px, Bytes({0, 0, 10, 245, 255, 255}));
    // Lightness: full brightness is white, none is black; the fourth byte stays.
    Bytes rgba = {255, 0, 0, 77, 10, 200, 30, 66};
    ASSERT_TRUE(AdjustBrightnessContrast(rgba.data(), 1, 1, 4, 4, -1, 0, kToneLightness));
    ASSERT_TRUE(AdjustBrightnessContrast(rgba.data() + 4, 1, 1, 4, 4, 1, 0, kToneLightness));
    EXPECT_EQ(rgba, Bytes({0, 0, 0, 77, 255, 255, 255, 66}));
    // The fourth byte: tone curves keep it only with flag 1 ...
    for (uint32_t flags : {0u, static_cast<uint32_t>(kToneKeepFourth)}) {
        Bytes p = {1, 2, 3, 4};
        ASSERT_TRUE(AdjustBrightnessContrast(p.data(), 1, 1, 4, 4, 1, 0, flags));
        EXPECT_EQ(p, Bytes({255, 255, 255, static_cast<BYTE>(flags ? 4 : 255)}));
    }
    // ... and gamma maps it only with flag 1.
    for (uint32_t flags : {0u, static_cast<uint32_t>(kGammaFourthByte)}) {
        Bytes p = {1, 64, 128, 1, 255, 0, 0, 0};
        ASSERT_TRUE(ApplyGamma(p.data(), 2, 1, 4, 8, 2.4, flags));
        EXPECT_EQ(p, Bytes({25, 143, 191, static_cast<BYTE>(flags ? 25 : 1), 255, 0, 0, 0}));
    }
}

TEST(Tone, GammaAndRefusals)
{
    Bytes ramp = Identity();
    ASSERT_TRUE(ApplyGamma(ramp.data(), 256, 1, 1, 256, 0, 0));
    EXPECT_EQ(ramp, Identity());
    ASSERT_TRUE(ApplyGamma(ramp.data(), 256, 1, 1, 256, 1.0, 0));
    EXPECT_EQ(ramp, Identity());

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(ApplyGamma(ramp.data(), 256, 1, 1, 256, -1, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(ApplyGamma(ramp.data(), 256, 1, 1, 256, nan, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(AdjustBrightnessContrast(ramp.data(), 256, 1, 1, 256, nan, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(AdjustBrightnessContrast(ramp.data(), 256, 1, 1, 256, 0, nan, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(AdjustBrightnessContrast(ramp.data(), 256, 1, 5, 256, 0, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(ApplyGamma(nullptr, 256, 1, 1, 256, 2, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(ramp, Identity());

    // An abort keeps the rows done so far.
    Bytes rows(4, 0);
    ProgressProbe probe(1);
    EXPECT_FALSE(AdjustBrightnessContrast(rows.data(), 2, 2, 1, 2, 1, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(rows, Bytes({255, 255, 0, 0}));
}
