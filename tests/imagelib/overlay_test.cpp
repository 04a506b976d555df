// Overlay with key colour and opacity, colour blending under a mask, the
// 1-bit paste, the 16-bit compositor and the text-mask blend.
#include <gtest/gtest.h>

#include "imageops.h"
#include "imgtest.h"
#include "opstest.h"

#include <climits>
#include <cmath>
#include <limits>

using namespace imgtest;
using opstest::ProgressProbe;
using opstest::Rgb;

namespace {

constexpr COLORREF kGreenKey = 0x00FF00;

// One target pixel under one overlay pixel.
Bytes OverlayOne(Bytes target, const Bytes &overlay, double opacity, uint32_t tolerance, uint32_t flags,
                 COLORREF key = kGreenKey)
{
    EXPECT_TRUE(OverlayImage(target.data(), 1, 1, 3, overlay.data(), 1, 1, 3, 0, 0, opacity, key, tolerance, flags));
    return target;
}

}  // namespace

TEST(Overlay, KeyOpacityAndArithmetic)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        Bytes target, overlay;
        double opacity;
        uint32_t tolerance, flags;
        COLORREF key;
        Bytes expected;
    };
    const Case cases[] = {
        {{9, 9, 9}, {2, 255, 2}, 1.0, 8, 0, kGreenKey, {9, 9, 9}},        // distance 8: transparent
        {{9, 9, 9}, {3, 255, 0}, 1.0, 8, 0, kGreenKey, {3, 255, 0}},      // distance 9: drawn
        {{9, 9, 9}, {1, 255, 0}, 1.0, 0, 0, kGreenKey, {1, 255, 0}},      // tolerance 0: exact key only
        {{9, 9, 9}, {0, 255, 0}, 1.0, 0, 0, kGreenKey, {9, 9, 9}},
        {{9, 8, 7}, {1, 2, 3}, 1.0, 0, 0, kGreenKey, {1, 2, 3}},          // opacity 1 copies
        {{255, 255, 1}, {0, 255, 1}, 0.5, 0, 0, kGreenKey, {127, 255, 1}},  // doubles: trunc(t/2 + s/2)
        {{255, 255, 1}, {0, 255, 1}, 0.5, 0, kOverlayByteTables, kGreenKey, {127, 254, 0}},  // trunc each half
        {{9, 8, 7}, {1, 2, 3}, 1.7, 0, 0, kGreenKey, {1, 2, 3}},
        {{9, 8, 7}, {1, 2, 3}, nan, 0, 0, kGreenKey, {1, 2, 3}},
        {{9, 8, 7}, {1, 2, 3}, -0.3, 0, 0, kGreenKey, {9, 8, 7}},
        // A key given red-first meets blue-first pixels with flag 2.
        {{9, 9, 9}, {0, 0, 255}, 1.0, 0, 0, Rgb(255, 0, 0), {0, 0, 255}},
        {{9, 9, 9}, {0, 0, 255}, 1.0, 0, kOverlaySwapKey, Rgb(255, 0, 0), {9, 9, 9}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OverlayOne(c.target, c.overlay, c.opacity, c.tolerance, c.flags, c.key), c.expected)
            << c.opacity << " flags " << c.flags;
}

TEST(Overlay, PlacementClipsAndBadBuffersAreRefused)
{
    // 3x3 target of zeros, 2x2 overlay of 1, 2 / 3, 4 (grey pixels).
    const Bytes overlay = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    struct Case {
        int32_t x, y;
        Bytes greys;  // the target's first byte of each pixel
    };
    const Case cases[] = {
        {-1, -1, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
        {2, 1, {0, 0, 0, 0, 0, 1, 0, 0, 3}},
        {INT32_MAX - 1, 0, Bytes(9, 0)},
        {INT32_MIN, INT32_MIN, Bytes(9, 0)},
        {0, INT32_MAX, Bytes(9, 0)},
    };
    for (const Case &c : cases) {
        Bytes target(27, 0);
        ASSERT_TRUE(OverlayImage(target.data(), 3, 3, 9, overlay.data(), 2, 2, 6, c.x, c.y, 1.0, kGreenKey, 0, 0));
        Bytes greys;
        for (size_t i = 0; i < target.size(); i += 3)
            greys.push_back(target[i]);
        EXPECT_EQ(greys, c.greys) << c.x << "," << c.y;
    }
    Bytes target(27, 0);
    EXPECT_FALSE(OverlayImage(target.data(), 3, 3, 9, nullptr, 2, 2, 6, 0, 0, 1.0, kGreenKey, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(OverlayImage(target.data(), 3, 3, 9, target.data(), 3, 3, 9, 0, 0, 1.0, kGreenKey, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);

    ProgressProbe probe(1);
    EXPECT_FALSE(OverlayImage(target.data(), 3, 3, 9, overlay.data(), 2, 2, 6, 1, 1, 1.0, kGreenKey, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    ASSERT_EQ(probe.Reports().size(), 1u);
    EXPECT_EQ(probe.Reports()[0], std::make_pair(0u, 2u));
    EXPECT_EQ(target[4 * 3], 1);   // the first visited row is drawn
    EXPECT_EQ(target[7 * 3], 0);   // the second is not
}

TEST(AlphaBlend, WeightsFourthByteAndPixelSizes)
{
    const COLORREF glow = 0xAAC8E6F0;  // red F0, green E6, blue C8, fourth AA
    const Bytes mask = {0, 255, 128};
    Bytes rgb = {100, 150, 200, 100, 150, 200, 100, 150, 200};
    ASSERT_TRUE(AlphaBlendColor(rgb.data(), 3, 1, 3, 9, mask.data(), 3, 1, 3, glow, 0, 0, 0));
    EXPECT_EQ(rgb, Bytes({100, 150, 200, 0xF0, 0xE6, 0xC8, 169, 189, 199}));

    Bytes swapped = {100, 150, 200};
    ASSERT_TRUE(AlphaBlendColor(swapped.data(), 1, 1, 3, 3, mask.data() + 2, 1, 1, 1, glow, 0, 0, kBlendSwapRedBlue));
    EXPECT_EQ(swapped, Bytes({149, 189, 219}));

    const Bytes full = {255};
    for (uint32_t flags : {0u, static_cast<uint32_t>(kBlendFourthByte)}) {
        Bytes rgba = {1, 2, 3, 50};
        ASSERT_TRUE(AlphaBlendColor(rgba.data(), 1, 1, 4, 4, full.data(), 1, 1, 1, glow, 0, 0, flags));
        EXPECT_EQ(rgba, Bytes({0xF0, 0xE6, 0xC8, static_cast<BYTE>(flags ? 0xAA : 50)}));
    }
    Bytes two = {1, 2};
    EXPECT_TRUE(AlphaBlendColor(two.data(), 1, 1, 2, 2, full.data(), 1, 1, 1, glow, 0, 0, 0));
    EXPECT_EQ(two, Bytes({1, 2}));

    // Placed at (-1, 0): the mask's second weight lands on the first pixel.
    Bytes shifted = {100, 150, 200, 7, 7, 7};
    ASSERT_TRUE(AlphaBlendColor(shifted.data(), 2, 1, 3, 6, mask.data(), 3, 1, 3, glow, -1, 0, 0));
    EXPECT_EQ(shifted, Bytes({0xF0, 0xE6, 0xC8, 123, 118, 103}));  // 3 + colour * 128/255

    EXPECT_FALSE(AlphaBlendColor(rgb.data(), 3, 1, 3, 9, nullptr, 3, 1, 3, glow, 0, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}

TEST(PasteBits, CopyOrAndAndBottomUp)
{
    const Bytes source = {0xA5};
    struct Case {
        uint32_t flags;
        Bytes expected;
    };
    const Case cases[] = {
        {0, {0xFA, 0x50}},
        {kPasteCombine | kPasteOr, {0xFF, 0x50}},
        {kPasteCombine, {0xFA, 0x00}},
    };
    for (const Case &c : cases) {
        Bytes target = {0xFF, 0x00};
        OperationContext ctx;
        ASSERT_TRUE(PasteBits1(target.data(), 16, 1, 2, source.data(), 8, 1, 1, 4, 0, c.flags, ctx));
        EXPECT_EQ(target, c.expected) << c.flags;
    }
    const Bytes twoRows = {0xFF, 0x00};
    for (uint32_t flags : {0u, static_cast<uint32_t>(kPasteBottomUp)}) {
        Bytes target(2, 0);
        OperationContext ctx;
        ASSERT_TRUE(PasteBits1(target.data(), 8, 2, 1, twoRows.data(), 8, 2, 1, 0, 0, flags, ctx));
        EXPECT_EQ(target, flags ? Bytes({0x00, 0xFF}) : Bytes({0xFF, 0x00}));
    }
    // Partly outside on the left: source bits 3.. land from column 0.
    Bytes target(1, 0);
    OperationContext ctx;
    ASSERT_TRUE(PasteBits1(target.data(), 8, 1, 1, source.data(), 8, 1, 1, -3, 0, 0, ctx));
    EXPECT_EQ(target, Bytes({0x28}));
    EXPECT_FALSE(PasteBits1(target.data(), 8, 1, 1, target.data(), 8, 1, 1, 0, 0, 0, ctx));
    EXPECT_EQ(ctx.error, kImgBadParam);
}

TEST(Composite16, OneRowPerMode)
{
    constexpr uint32_t kLargest = 65535;
    struct Case {
        uint32_t mode;
        uint16_t d, s;
        double opacity;
        uint16_t expected;
    };
    const Case cases[] = {
        {kCompositeTables, 1000, 300, 0.25, 825},   {kCompositeDoubles, 1000, 300, 0.25, 825},
        {kCompositeTables, 3, 3, 0.5, 2},           {kCompositeDoubles, 3, 3, 0.5, 3},
        {kCompositeAnd, 1000, 300, 0, 296},         {kCompositeOr, 1000, 300, 0, 1004},
        {kCompositeXor, 1000, 300, 0, 708},         {kCompositeMax, 1000, 300, 0, 1000},
        {kCompositeMin, 1000, 300, 0, 300},         {kCompositeAdd, 65000, 1000, 0, 65535},
        {kCompositeSubtract, 300, 1000, 0, 0},      {kCompositeSubtract, 1000, 300, 0, 700},
        {kCompositeAbove, 1000, 300, 200, 300},     {kCompositeAbove, 1000, 300, 500, 1000},
        {kCompositeBelow, 1000, 300, 500, 300},     {kCompositeDifference, 300, 1000, 0, 700},
        {kCompositeMultiply, 1000, 300, 0, 4},      {kCompositeScaledMultiply, 1000, 300, 500, 2288},
        {kCompositeScreen, 1000, 300, 0, 1296},     {kCompositeAddOffset, 1000, 300, 500, 800},
        {kCompositeAddOffset, 1000, 300, 2000, 0},  {kCompositeSubtractOffset, 1000, 300, 500, 1200},
        {kCompositeSubtractOffset, 100, 300, 0, 0}, {kCompositeNand, 1000, 300, 0, 65239},
        {kCompositeNor, 1000, 300, 0, 64531},       {kCompositeXnor, 1000, 300, 0, 64827},
    };
    for (const Case &c : cases) {
        uint16_t target[3] = {c.d, c.d, c.d};
        const uint16_t source[3] = {c.s, c.s, c.s};
        OperationContext ctx;
        ASSERT_TRUE(Composite16(target, 1, 1, source, 1, 1, 0, 0, c.opacity, 3, 3, 3, kLargest, c.mode, ctx));
        EXPECT_EQ(target[0], c.expected) << "mode " << c.mode;
        EXPECT_EQ(target[2], c.expected) << "mode " << c.mode;
    }
    uint16_t target[2] = {1, 2};
    const uint16_t source[2] = {5, 6};
    OperationContext ctx;
    ASSERT_TRUE(Composite16(target, 1, 2, source, 1, 2, 0, 0, 1.0, 1, 1, 1, kLargest,
                            kCompositeTables | kCompositeBottomUp, ctx));
    EXPECT_EQ(target[0], 6);
    EXPECT_EQ(target[1], 5);
    ASSERT_TRUE(Composite16(target, 1, 2, source, 1, 2, 0, 0, 0.0, 1, 1, 1, kLargest, kCompositeDoubles, ctx));
    EXPECT_EQ(target[0], 6);
    EXPECT_FALSE(Composite16(target, 1, 2, source, 1, 2, 0, 0, 0.5, 1, 1, 1, kLargest, 20, ctx));
    EXPECT_EQ(ctx.error, kImgBadParam);
}

TEST(TextMaskBlend, SetBitsTakeTheColourOthersStay)
{
    // 4x2 mask: row 0 columns 0 and 2, row 1 columns 1 and 3.
    const Bytes bits = {0xA0, 0x50};
    const TextMask mask{bits.data(), 4, 2, 1};
    const TextColour colour{10, 20, 30, 255};
    for (bool swap : {false, true}) {
        Bytes rgb(4 * 2 * 3, 100);
        OperationContext ctx;
        ASSERT_TRUE(BlendTextMask(rgb.data(), 4, 2, 12, mask, 0, 0, colour, swap, nullptr, 0, ctx));
        const Bytes text = swap ? Bytes({30, 20, 10}) : Bytes({10, 20, 30});
        for (uint32_t i = 0; i < 8; ++i) {
            const bool on = (bits[i / 4] >> (7 - i % 4)) & 1;
            EXPECT_EQ(Bytes(rgb.begin() + i * 3, rgb.begin() + i * 3 + 3), on ? text : Bytes(3, 100)) << i;
        }
    }
    // Placed at (-1, 1) on a grey-ramp palette image: mask row 0 meets image
    // row 1 from mask column 1 on; text pixels become the white entry.
    RGBQUAD ramp[256];
    for (uint32_t i = 0; i < 256; ++i)
        ramp[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    Bytes indices = {1, 2, 3, 4, 5, 6, 7, 8};
    OperationContext ctx;
    ASSERT_TRUE(BlendTextMask(indices.data(), 4, 2, 4, mask, -1, 1, {255, 255, 255, 255}, false, ramp, 256, ctx));
    EXPECT_EQ(indices, Bytes({1, 2, 3, 4, 5, 255, 7, 8}));
}
