// The GDI bridges under Wine: bitmap resources, RGB images and DIBs to
// bitmaps and back, palettes, and drawing with a transparent colour.
#include <gtest/gtest.h>

#include "dib.h"
#include "gdibridge.h"
#include "imgtest.h"
#include "testutil.h"

#include <cstring>

using namespace imgtest;

namespace {

constexpr int kW = 13;
constexpr int kH = 7;

// A bitmap's pixels as packed top-down RGB, through GetDIBits.
Bytes BitmapRgb(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = testutil::TopDownDib(width, height, 24);
    const int stride = (width * 3 + 3) / 4 * 4;
    Bytes padded(static_cast<size_t>(stride) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, height, padded.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, height);
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t *p = &padded[y * stride + 3 * x];
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    return rgb;
}

BITMAP Describe(HBITMAP bitmap)
{
    BITMAP bm = {};
    GetObject(bitmap, sizeof(bm), &bm);
    return bm;
}

struct ResourceCase {
    const char *name;
    uint32_t colours;  // 0: true colour
};

}  // namespace

TEST(ResourceToHBITMAP, LoadsEveryDepthWithAndWithoutAPalette)
{
    const ResourceCase cases[] = {
        {"T_BMP1", 2}, {"T_BMP4", 16}, {"T_BMP8", 256}, {"T_BMP8_CLR16", 16}, {"T_BMP24", 0},
    };
    Picture grey = IndexPicture(1, 1, 256);
    HPALETTE palette = RGBPaletteToHPALETTE(grey.palette.data(), 256);
    ASSERT_NE(palette, nullptr);
    for (const ResourceCase &c : cases) {
        const Bytes expected = c.colours ? IndexPicture(kW, kH, c.colours).rgb : ColourPicture(kW, kH).rgb;
        for (HPALETTE given : {static_cast<HPALETTE>(nullptr), palette}) {
            HBITMAP bitmap = ResourceToHBITMAP(GetModuleHandleA(nullptr), c.name, given);
            ASSERT_NE(bitmap, nullptr) << c.name;
            EXPECT_EQ(GetLastImageError(), 0) << c.name;
            BITMAP bm = Describe(bitmap);
            EXPECT_EQ(bm.bmWidth, kW);
            EXPECT_EQ(bm.bmHeight, kH);
            EXPECT_EQ(BitmapRgb(bitmap, kW, kH), expected) << c.name << (given ? " with palette" : "");
            DeleteObject(bitmap);
        }
    }
    DeleteObject(palette);
}

// A run-length resource (BI_RLE8) shorter than its rows would be: a run of
// five pixels of index y starts each row, the index picture's pixels follow.
TEST(ResourceToHBITMAP, LoadsARunLengthEncodedPicture)
{
    constexpr uint32_t kRunPixels = 5;
    Picture p = IndexPicture(kW, kH, 256);
    Bytes expected;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const RGBQUAD &c = p.palette[x < kRunPixels ? y : p.indices[y * kW + x]];
            expected.insert(expected.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    HBITMAP bitmap = ResourceToHBITMAP(GetModuleHandleA(nullptr), "T_BMP8_RLE", nullptr);
    ASSERT_NE(bitmap, nullptr) << GetLastImageError();
    EXPECT_EQ(BitmapRgb(bitmap, kW, kH), expected);
    DeleteObject(bitmap);
}

TEST(ResourceToHBITMAP, MissingNameIsThirteen)
{
    EXPECT_EQ(ResourceToHBITMAP(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP", nullptr), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgResourceNotFound);
    EXPECT_EQ(ResourceToHBITMAP(GetModuleHandleA(nullptr), nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgResourceNotFound);
    // A bitmap that does load afterwards clears the error.
    HBITMAP bitmap = ResourceToHBITMAP(GetModuleHandleA(nullptr), "T_BMP24", nullptr);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_EQ(GetLastImageError(), 0);
    DeleteObject(bitmap);
}

TEST(RGB2HBITMAP, RoundTripGivesTheSamePixels)
{
    const Picture p = ColourPicture(3, 2);
    HBITMAP bitmap = RGB2HBITMAP(p.rgb.data(), 3, 2, nullptr, nullptr);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(BitmapRgb(bitmap, 3, 2), p.rgb);

    // And back through the library's own HBITMAP-to-RGB bridge.
    OperationContext ctx;
    HDC screen = GetDC(nullptr);
    Bytes back(p.rgb.size(), 0);
    EXPECT_TRUE(HBitmapToRgb(bitmap, screen, nullptr, back.data(), ctx));
    EXPECT_EQ(ctx.error, 0);
    EXPECT_EQ(back, p.rgb);
    EXPECT_FALSE(HBitmapToRgb(bitmap, nullptr, nullptr, back.data(), ctx));
    EXPECT_EQ(ctx.error, kImgBadParam);
    ReleaseDC(nullptr, screen);

    OperationContext refused;
    EXPECT_EQ(HBitmapToDib(bitmap, BI_BITFIELDS, nullptr, refused), nullptr);
    EXPECT_EQ(refused.error, kImgUnexpected);
    DeleteObject(bitmap);

    EXPECT_EQ(RGB2HBITMAP(nullptr, 3, 2, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}

TEST(DibToHBitmap, PaletteDibsOnTheScreenAndAMemoryDc)
{
    for (uint32_t bits : {1u, 4u, 8u}) {
        OperationContext ctx;
        Picture p = IndexPicture(kW, kH, bits == 1 ? 2 : 11);
        Result dib(IndexToDib(p.indices.data(), kW, kH, kW, bits, p.palette.data(),
                              static_cast<uint32_t>(p.palette.size()), ctx));
        ASSERT_NE(dib.Get(), nullptr);
        HBITMAP bitmap = DibToHBitmap(dib.Get(), nullptr, nullptr, ctx);
        ASSERT_NE(bitmap, nullptr) << bits;
        EXPECT_EQ(ctx.error, 0);
        if (bits == 1) {
            // Made on a memory DC, so it is a monochrome bitmap: black and
            // white whatever the two colours were.
            EXPECT_EQ(Describe(bitmap).bmBitsPixel, 1);
        } else {
            EXPECT_EQ(BitmapRgb(bitmap, kW, kH), p.rgb) << bits;
        }
        DeleteObject(bitmap);
    }
    OperationContext bad;
    Bytes notADib(64, 0);
    EXPECT_EQ(DibToHBitmap(notADib.data(), nullptr, nullptr, bad), nullptr);
    EXPECT_EQ(bad.error, kImgBadParam);
}

TEST(RGBPaletteToHPALETTE, TakesRedGreenBlueFromBytesTwoOneZero)
{
    const RGBQUAD table[2] = {{10, 20, 30, 0}, {1, 2, 3, 0}};
    HPALETTE palette = RGBPaletteToHPALETTE(table, 2);
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY entries[2] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 0, 2, entries), 2u);
    EXPECT_EQ(entries[0].peRed, 30);
    EXPECT_EQ(entries[0].peGreen, 20);
    EXPECT_EQ(entries[0].peBlue, 10);
    EXPECT_EQ(entries[1].peRed, 3);
    EXPECT_EQ(entries[0].peFlags, 0);
    DeleteObject(palette);
    EXPECT_EQ(RGBPaletteToHPALETTE(table, 0), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(RGBPaletteToHPALETTE(nullptr, 2), nullptr);
}

TEST(DrawTransparentBitmap, KeyPixelsLeaveTheTargetAlone)
{
    constexpr int kTarget = 20;
    const uint8_t background[3] = {1, 2, 3};
    BITMAPINFO info = testutil::TopDownDib(kTarget, kTarget);
    void *bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(target, nullptr);
    uint8_t *pixels = static_cast<uint8_t *>(bits);
    for (int i = 0; i < kTarget * kTarget; ++i) {
        pixels[4 * i] = background[2];
        pixels[4 * i + 1] = background[1];
        pixels[4 * i + 2] = background[0];
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);

    // 4 x 4: magenta where (x + y) is even, a colour elsewhere.
    Bytes sprite;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            if ((x + y) % 2 == 0)
                sprite.insert(sprite.end(), {255, 0, 255});
            else
                sprite.insert(sprite.end(), {static_cast<uint8_t>(40 * x), static_cast<uint8_t>(50 * y), 77});
        }
    HBITMAP bitmap = RGB2HBITMAP(sprite.data(), 4, 4, nullptr, nullptr);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(DrawTransparentBitmap(dc, bitmap, 5, 6, RGB(255, 0, 255)));
    EXPECT_EQ(GetLastImageError(), 0);
    GdiFlush();

    for (int y = 0; y < kTarget; ++y)
        for (int x = 0; x < kTarget; ++x) {
            const uint8_t *p = pixels + 4 * (y * kTarget + x);
            const Bytes got = {p[2], p[1], p[0]};
            const int sx = x - 5, sy = y - 6;
            const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
            Bytes want(background, background + 3);
            if (inside && (sx + sy) % 2 != 0)
                want = Bytes(sprite.begin() + 3 * (sy * 4 + sx), sprite.begin() + 3 * (sy * 4 + sx) + 3);
            EXPECT_EQ(got, want) << x << "," << y;
        }
    EXPECT_EQ(BitmapRgb(bitmap, 4, 4), sprite) << "the caller's bitmap is as it was";

    EXPECT_FALSE(DrawTransparentBitmap(dc, nullptr, 0, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgDeviceContext);
    EXPECT_FALSE(DrawTransparentBitmap(nullptr, bitmap, 0, 0, 0));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);

    DeleteObject(bitmap);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
}
