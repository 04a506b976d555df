// The pure half of the DIB bridges: size and colour-table rules, and
// conversions between DIBs and the library's images.
#include <gtest/gtest.h>

#include "dib.h"
#include "imgtest.h"

#include <cstring>

using namespace imgtest;

TEST(Dib, RgbToDibLayout)
{
    OperationContext ctx;
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};  // 3 x 2
    Result dib(RgbToDib(rgb.data(), 3, 2, ctx));
    ASSERT_NE(dib.Get(), nullptr);
    BITMAPINFOHEADER h;
    ASSERT_TRUE(ReadDibHeader(dib.Get(), h, ctx));
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(DibSize(3, 2, 24, 0, ctx).Value(), 64u);
    // The bottom row first, blue first, each row padded from 9 to 12.
    const BYTE *pixels = DibPixels(dib.Get(), ctx);
    EXPECT_EQ(Bytes(pixels, pixels + 24),
              Bytes({12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));

    Bytes back(18, 0);
    EXPECT_TRUE(DibToRgb(dib.Get(), back.data(), ctx));
    EXPECT_EQ(back, rgb);
    EXPECT_EQ(ctx.error, 0);
    EXPECT_EQ(RgbToDib(nullptr, 3, 2, ctx), nullptr);
    EXPECT_EQ(ctx.error, kImgBadParam);
}

TEST(Dib, SizeAndColourTableRules)
{
    OperationContext ctx;
    EXPECT_EQ(DibSize(33, 2, 1, 0, ctx).Value(), 8u * 2 + 8 + 40);
    EXPECT_EQ(DibSize(5, 3, 4, 16, ctx).Value(), 4u * 3 + 64 + 40);
    EXPECT_EQ(DibSize(5, 3, 8, 256, ctx).Value(), 8u * 3 + 1024 + 40);
    EXPECT_EQ(DibSize(5, 3, 32, 0, ctx).Value(), 20u * 3 + 40);
    EXPECT_EQ(ctx.error, 0);
    EXPECT_FALSE(DibSize(5, 3, 16, 0, ctx).Ok());
    EXPECT_EQ(ctx.error, kImgBadParam);
    OperationContext big;
    EXPECT_FALSE(DibSize(0x10000, 0x10000, 32, 0, big).Ok());

    // An 8-bit DIB with 16 colours used: its pixels start at 40 + 64.
    Bytes dib(40 + 64 + 8, 0);
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biClrUsed = 16;
    memcpy(dib.data(), &h, sizeof(h));
    OperationContext ctx2;
    EXPECT_EQ(DibPixels(dib.data(), ctx2), dib.data() + 104);
    uint32_t entries = 0;
    EXPECT_EQ(reinterpret_cast<const BYTE *>(DibColourTable(dib.data(), entries, ctx2)), dib.data() + 40);
    EXPECT_EQ(entries, 16u);
    EXPECT_EQ(DibWidth(dib.data(), ctx2), 2);
    EXPECT_EQ(DibBitCount(dib.data(), ctx2), 8u);
    dib[14] = 24;
    EXPECT_EQ(DibColourTable(dib.data(), entries, ctx2), nullptr);
    EXPECT_EQ(ctx2.error, kImgWrongDepth);
    OperationContext ctx3;
    dib[0] = 108;
    EXPECT_EQ(DibHeight(dib.data(), ctx3), 0);
    EXPECT_EQ(ctx3.error, kImgBadParam);
}

TEST(Dib, IndexAndRgbaRoundTrips)
{
    for (uint32_t bits : {1u, 4u, 8u}) {
        OperationContext ctx;
        Picture p = IndexPicture(11, 3, bits == 1 ? 2 : 9);
        Result dib(IndexToDib(p.indices.data(), 11, 3, 11, bits, p.palette.data(),
                              static_cast<uint32_t>(p.palette.size()), ctx));
        ASSERT_NE(dib.Get(), nullptr) << bits;
        Bytes rgb(11 * 3 * 3, 0);
        EXPECT_TRUE(DibToRgb(dib.Get(), rgb.data(), ctx)) << bits;
        EXPECT_EQ(rgb, p.rgb) << bits;
    }
    OperationContext ctx;
    Picture p = ColourPicture(3, 2);
    Bytes rgba;
    for (size_t i = 0; i < p.rgb.size(); i += 3)
        rgba.insert(rgba.end(), {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2], 0x80});
    Result dib(RgbaToDib(rgba.data(), 3, 2, ctx));
    ASSERT_NE(dib.Get(), nullptr);
    Bytes rgb(18, 0);
    EXPECT_TRUE(DibToRgb(dib.Get(), rgb.data(), ctx));
    EXPECT_EQ(rgb, p.rgb);
    const BYTE *first = dib.Get() + 40;
    EXPECT_EQ(first[0], p.rgb[3 * 3 + 2]) << "bottom row first, blue first";
}
