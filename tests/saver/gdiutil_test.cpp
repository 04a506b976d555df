#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/registry.h"
#include "base/winutil.h"
#include "scene_fixture.h"
#include "shell/entry.h"

namespace {

using scenetest::BitmapPixels;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class GdiHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        before_ = GdiObjectsAlive();
    }
    void TearDown() override { EXPECT_EQ(GdiObjectsAlive(), before_) << "GDI objects left behind"; }

    HBITMAP Load(const char *name) { return LoadResourceBitmap(AppInstance, name, TRUE, nullptr, kLoadScene); }

    LONG before_ = 0;
};

TEST_F(GdiHelpers, MaskFromKeyColour)
{
    struct { const char *name; int keyColumns; } cases[] = {
        {"FIX_NOKEY", 0},   // no key: all-black mask, picture unchanged
        {"FIX_ALLKEY", 16}, // all key: all-white mask, black picture
        {"FIX_MIXED", 8},   // left half key
    };
    for (auto c : cases) {
        HBITMAP picture = Load(c.name);
        ASSERT_TRUE(picture) << c.name;
        std::vector<COLORREF> original = BitmapPixels(picture);
        HBITMAP mask = CreateMask(picture);
        ASSERT_TRUE(mask);
        ASSERT_NE(MakeTransparentBitmap(picture, mask, kKeyColour), 0);
        std::vector<COLORREF> maskPixels = BitmapPixels(mask);
        std::vector<COLORREF> after = BitmapPixels(picture);
        ASSERT_EQ(maskPixels.size(), 16u * 8u);
        for (size_t i = 0; i < maskPixels.size(); ++i) {
            bool key = static_cast<int>(i % 16) < c.keyColumns;
            EXPECT_EQ(maskPixels[i], key ? kWhite : kBlack) << c.name << " pixel " << i;
            EXPECT_EQ(after[i], key ? kBlack : original[i]) << c.name << " pixel " << i;
        }
        DeleteTrackedBitmap(&mask);
        DeleteTrackedBitmap(&picture);
    }
}

TEST_F(GdiHelpers, MaskedFrameLeavesTheDestinationWhereTheKeyWas)
{
    HBITMAP picture = Load("FIX_MIXED");
    HBITMAP mask = CreateMask(picture);
    ASSERT_TRUE(MakeTransparentBitmap(picture, mask, kKeyColour));
    HDC screen = GetDC(nullptr);
    HBITMAP target = TrackBitmap(CreateCompatibleBitmap(screen, 20, 10));
    HDC dc = TrackDC(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    RECT all = {0, 0, 20, 10};
    FillRect(dc, &all, green);
    DeleteObject(green);
    // Colours set by someone else's text drawing must not colour the mask.
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    SceneRect point = {2, 1, 0, 0};
    SceneRect source = {4, 0, 8, 8};  // columns 4..11: four key, four blue
    EXPECT_TRUE(DrawMaskedFrame(dc, picture, mask, point, source));
    SelectObject(dc, old);
    std::vector<COLORREF> px = BitmapPixels(target);
    for (int x = 0; x < 20; ++x) {
        COLORREF expected = RGB(0, 160, 0);
        if (x >= 6 && x < 10)
            expected = RGB(0, 0, 200);
        EXPECT_EQ(px[5 * 20 + x], expected) << "x " << x;
    }
    EXPECT_EQ(px[0], RGB(0, 160, 0));
    DeleteTrackedDC(&dc);
    DeleteTrackedBitmap(&target);
    DeleteTrackedBitmap(&mask);
    DeleteTrackedBitmap(&picture);
}

TEST_F(GdiHelpers, NullHandlesAreHarmless)
{
    SceneRect r = {1, 2, 3, 4};
    EXPECT_EQ(GetBitmapSize(nullptr, &r), 0);
    EXPECT_EQ(r.w, 0);
    EXPECT_EQ(r.h, 0);
    EXPECT_EQ(CreateMask(nullptr), nullptr);
    EXPECT_EQ(MakeTransparentBitmap(nullptr, nullptr, kKeyColour), 0);
    SceneRect p = {0, 0, 0, 0};
    EXPECT_FALSE(DrawMaskedFrame(nullptr, nullptr, nullptr, p, p));
    DrawBitmapAt(nullptr, 0, 0, nullptr);
    DrawMaskedBitmap(nullptr, nullptr, nullptr, p);
    EXPECT_EQ(Load("NO_SUCH_PICTURE"), nullptr);
}

TEST_F(GdiHelpers, PaletteFromColourTables)
{
    struct { int bits; int colours; } cases[] = {{1, 2}, {4, 16}, {8, 256}, {24, 0}};
    for (auto c : cases) {
        std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto *h = reinterpret_cast<BITMAPINFOHEADER *>(dib.data());
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biWidth = 4;
        h->biHeight = 4;
        h->biPlanes = 1;
        h->biBitCount = static_cast<WORD>(c.bits);
        auto *table = reinterpret_cast<RGBQUAD *>(dib.data() + sizeof(BITMAPINFOHEADER));
        table[1] = {30, 20, 10, 0};  // blue, green, red
        int count = -1;
        HPALETTE palette = PaletteFromDIB(h, &count);
        EXPECT_EQ(count, c.colours) << c.bits;
        EXPECT_EQ(palette != nullptr, c.colours > 0) << c.bits;
        if (palette) {
            PALETTEENTRY entry = {};
            GetPaletteEntries(palette, 1, 1, &entry);
            EXPECT_EQ(entry.peRed, 10);
            EXPECT_EQ(entry.peGreen, 20);
            EXPECT_EQ(entry.peBlue, 30);
        }
        DeleteTrackedPalette(&palette);
    }
}

TEST_F(GdiHelpers, PreviewModeLoading)
{
    // A true-colour picture brings no palette.
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadResourceBitmap(AppInstance, "FIX_24BIT", TRUE, &palette, kLoadPreview);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(palette, nullptr);
    EXPECT_EQ(scenetest::BitmapPixel(bitmap, 3, 1), RGB(90, 60, 7));
    DeleteTrackedBitmap(&bitmap);
    // A short colour table: the pixels start right after the 16 entries.
    bitmap = LoadResourceBitmap(AppInstance, "FIX_SHORT", TRUE, &palette, kLoadPreview);
    ASSERT_TRUE(bitmap);
    EXPECT_NE(palette, nullptr);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(scenetest::BitmapPixel(bitmap, x, 0), RGB(16 * x, 255 - 16 * x, 100)) << x;
    DeleteTrackedBitmap(&bitmap);
    DeleteTrackedPalette(&palette);
}

TEST(PlatformHelpers, VersionAndFamily)
{
    EXPECT_GT(GetDllVersion("comctl32.dll"), 0u);
    EXPECT_EQ(GetDllVersion("no_such_library.dll"), 0u);
    IsNTPlatform = 0;
    CheckWindowsNT();
    EXPECT_EQ(IsNTPlatform, 1);
}

}  // namespace
