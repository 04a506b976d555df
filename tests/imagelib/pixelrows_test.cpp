// Row conversions, packing, flips and mirrors.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "pixelrows.h"

using namespace imgtest;

TEST(PixelRows, SixteenBitPixels)
{
    struct Case {
        uint16_t pixel;
        bool masks;
        uint8_t r, g, b;
    };
    const Case cases[] = {
        {0x7FFF, false, 255, 255, 255}, {0x0421, false, 8, 8, 8},   {0x7C00, false, 255, 0, 0},
        {0xFFFF, true, 248, 252, 248},  {0xF800, true, 248, 0, 0}, {0x0841, true, 8, 8, 8},
    };
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    for (const Case &c : cases) {
        uint8_t src[2] = {static_cast<uint8_t>(c.pixel), static_cast<uint8_t>(c.pixel >> 8)};
        uint8_t out[4] = {};
        RowToRgb(src, out, 1, 16, nullptr, c.masks ? masks : nullptr, true, 0x42);
        EXPECT_EQ(Bytes(out, out + 4), Bytes({c.r, c.g, c.b, 0x42})) << std::hex << c.pixel;
    }
    // A zero mask has no highest bit: its channel is 0, not a wild shift.
    const uint32_t oddMasks[3] = {0, 0x0100, 0x0080};
    uint8_t src[2] = {0xFF, 0xFF};
    uint8_t out[3] = {};
    RowToRgb(src, out, 1, 16, nullptr, oddMasks, false, 0);
    EXPECT_EQ(Bytes(out, out + 3), Bytes({0, 128, 128}));
}

TEST(PixelRows, PaletteTrueColourAndUnpacking)
{
    RGBQUAD palette[256] = {};
    palette[1] = {30, 20, 10, 0};
    palette[5] = {3, 2, 1, 0};
    const uint8_t fourBit[] = {0x15, 0x10};
    uint8_t out[9] = {};
    RowToRgb(fourBit, out, 3, 4, palette, nullptr, false, 0);
    EXPECT_EQ(Bytes(out, out + 9), Bytes({10, 20, 30, 1, 2, 3, 10, 20, 30}));

    const uint8_t bgra[] = {1, 2, 3, 4};
    uint8_t rgba[4] = {};
    RowToRgb(bgra, rgba, 1, 32, nullptr, nullptr, true, 0);
    EXPECT_EQ(Bytes(rgba, rgba + 4), Bytes({3, 2, 1, 4}));

    uint8_t bytes[10] = {};
    const uint8_t oneBit[] = {0xA5, 0x80};
    UnpackToBytes(oneBit, bytes, 9, 1);
    EXPECT_EQ(Bytes(bytes, bytes + 9), Bytes({1, 0, 1, 0, 0, 1, 0, 1, 1}));
    const uint8_t twoBit[] = {0x1B, 0xC0};
    uint8_t nibbles[3] = {};
    Repack2To4(twoBit, nibbles, 5, 2);
    EXPECT_EQ(Bytes(nibbles, nibbles + 3), Bytes({0x01, 0x23, 0x30}));
}

TEST(PixelRows, PackAndUnpackBits)
{
    OperationContext ctx;
    const uint8_t values[] = {7, 0, 5};
    uint8_t packed[2] = {0xFF, 0xFF};
    EXPECT_TRUE(PackBits(values, 3, 1, 3, packed, 3, ctx));
    EXPECT_EQ(Bytes(packed, packed + 2), Bytes({0xE2, 0x80}));
    uint8_t back[3] = {};
    EXPECT_TRUE(UnpackBits(packed, 3, 1, 3, back, ctx));
    EXPECT_EQ(Bytes(back, back + 3), Bytes(values, values + 3));

    // Two rows run on in one stream, without row padding.
    const uint8_t grid[] = {1, 2, 3, 9, 4, 5, 6, 9};
    uint8_t stream[3] = {};
    EXPECT_TRUE(PackBits(grid, 3, 2, 4, stream, 4, ctx));
    EXPECT_EQ(Bytes(stream, stream + 3), Bytes({0x12, 0x34, 0x56}));
    EXPECT_EQ(ctx.error, 0);

    EXPECT_FALSE(PackBits(values, 3, 1, 3, packed, 9, ctx));
    EXPECT_EQ(ctx.error, kImgBadParam);
    OperationContext ctx2;
    EXPECT_FALSE(UnpackBits(nullptr, 3, 1, 3, back, ctx2));
    EXPECT_EQ(ctx2.error, kImgBadParam);
}

TEST(PixelRows, FlipsAndMirrors)
{
    OperationContext ctx;
    Bytes rows = {1, 1, 2, 2, 3, 3};
    EXPECT_TRUE(FlipRows(rows.data(), 2, 3, ctx));
    EXPECT_EQ(rows, Bytes({3, 3, 2, 2, 1, 1})) << "the middle row stays";

    Bytes pixels = {1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12, 0};
    EXPECT_TRUE(MirrorRows(pixels.data(), 2, 2, 3, 7, ctx));
    EXPECT_EQ(pixels, Bytes({4, 5, 6, 1, 2, 3, 0, 10, 11, 12, 7, 8, 9, 0}));

    Bytes samples = {1, 0, 2, 0, 3, 0};
    EXPECT_TRUE(MirrorRows16(samples.data(), 3, 1, 1, 6, ctx));
    EXPECT_EQ(samples, Bytes({3, 0, 2, 0, 1, 0}));

    // Width 10: bits 1100000001 mirror to 1000000011; the padding stays 0.
    Bytes mono = {0xC0, 0x40, 0xAA, 0xAA};
    EXPECT_TRUE(MirrorRows1Bit(mono.data(), 10, 1, 4, ctx));
    EXPECT_EQ(mono, Bytes({0x80, 0xC0, 0xAA, 0xAA}));
    EXPECT_EQ(ctx.error, 0);
    EXPECT_FALSE(FlipRows(nullptr, 2, 3, ctx));
    EXPECT_EQ(ctx.error, kImgBadParam);
}

TEST(PixelRows, BottomUpBgrAndSwaps)
{
    const Bytes bgr = {1, 2, 3, 4, 5, 6};  // 1 x 2, bottom row first
    Bytes out(8, 0xEE);
    EXPECT_EQ(BottomUpBgrToTopDownRgb(bgr.data(), out.data(), 1, 2, 4, false), 0);
    EXPECT_EQ(out, Bytes({6, 5, 4, 0xEE, 3, 2, 1, 0xEE}));
    EXPECT_EQ(BottomUpBgrToTopDownRgb(bgr.data(), out.data(), 1, 2, 4, true), 0);
    EXPECT_EQ(out, Bytes({4, 5, 6, 0xEE, 1, 2, 3, 0xEE}));
    EXPECT_EQ(BottomUpBgrToTopDownRgb(bgr.data(), out.data(), 0, 2, 4, true), kImgBadParam);

    Bytes four = {1, 2, 3, 4, 5, 6, 7, 8};
    SwapRedBlue(four.data(), 2, 1, 4);
    EXPECT_EQ(four, Bytes({3, 2, 1, 4, 7, 6, 5, 8}));

    Bytes rgb = {1, 2, 3, 4, 5, 6};
    Bytes rgba(8, 0);
    EXPECT_TRUE(RGBToRGBA(rgb.data(), 2, 1, 6, rgba.data(), 8, 0x99));
    EXPECT_EQ(rgba, Bytes({1, 2, 3, 0x99, 4, 5, 6, 0x99}));
    EXPECT_FALSE(RGBToRGBA(nullptr, 2, 1, 6, rgba.data(), 8, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}
