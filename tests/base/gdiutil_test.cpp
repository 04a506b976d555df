#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <thread>

#include "base/gdicost.h"
#include "base/gdiutil.h"
#include "base/registry.h"
#include "base/winutil.h"
#include "scene_fixture.h"
#include "shell/entry.h"

namespace {

using scenetest::BitmapPixel;
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

    // FIX_MIXED made transparent over its mask, and a 20x10 target selected
    // into a DC of its own.
    struct MaskedScene {
        HBITMAP picture = nullptr, mask = nullptr, target = nullptr;
        HDC dc = nullptr;
        HGDIOBJ old = nullptr;
    };
    bool PrepareMasked(MaskedScene *m)
    {
        m->picture = Load("FIX_MIXED");
        m->mask = CreateMask(m->picture);
        if (!MakeTransparentBitmap(m->picture, m->mask, kKeyColour))
            return false;
        HDC screen = GetDC(nullptr);
        m->target = TrackBitmap(CreateCompatibleBitmap(screen, 20, 10));
        m->dc = TrackDC(CreateCompatibleDC(screen));
        ReleaseDC(nullptr, screen);
        m->old = SelectObject(m->dc, m->target);
        return true;
    }
    static void FreeMasked(MaskedScene *m)
    {
        DeleteTrackedDC(&m->dc);
        DeleteTrackedBitmap(&m->target);
        DeleteTrackedBitmap(&m->mask);
        DeleteTrackedBitmap(&m->picture);
    }

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
    MaskedScene m;
    ASSERT_TRUE(PrepareMasked(&m));
    HDC dc = m.dc;
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    RECT all = {0, 0, 20, 10};
    FillRect(dc, &all, green);
    DeleteObject(green);
    // Colours set by someone else's text drawing must not colour the mask.
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    SceneRect point = {2, 1, 0, 0};
    SceneRect source = {4, 0, 8, 8};  // columns 4..11: four key, four blue
    EXPECT_TRUE(DrawMaskedFrame(dc, m.picture, m.mask, point, source));
    SelectObject(dc, m.old);
    std::vector<COLORREF> px = BitmapPixels(m.target);
    for (int x = 0; x < 20; ++x) {
        COLORREF expected = RGB(0, 160, 0);
        if (x >= 6 && x < 10)
            expected = RGB(0, 0, 200);
        EXPECT_EQ(px[5 * 20 + x], expected) << "x " << x;
    }
    EXPECT_EQ(px[0], RGB(0, 160, 0));
    FreeMasked(&m);
}

// A thread that keeps its DCs leaves the sheets it drew selected, so that the
// next frame's blits select nothing; a kept sheet is still deleted for good
// and drawn by another thread.
TEST_F(GdiHelpers, KeptDCsSelectASheetOnceAndLetItGo)
{
    MaskedScene m;
    ASSERT_TRUE(PrepareMasked(&m));
    HBITMAP &picture = m.picture, &mask = m.mask, &target = m.target;
    HDC dc = m.dc;
    HGDIOBJ old = m.old;
    auto drawFrame = [&] {
        PatBlt(dc, 0, 0, 20, 10, WHITENESS);
        SceneRect point = {2, 1, 0, 0};
        SceneRect source = {4, 0, 8, 8};
        return DrawMaskedFrame(dc, picture, mask, point, source);
    };
    KeepBlitDCs();
    ASSERT_TRUE(drawFrame());
    const uint32_t selections = BitmapSelections();
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(drawFrame());
    EXPECT_EQ(BitmapSelections(), selections) << "the next frames selected their sheets again";
    SelectObject(dc, old);
    const COLORREF kept = BitmapPixel(target, 7, 5);

    // Another thread draws the sheet the kept DC holds.
    COLORREF elsewhere = 0;
    std::thread([&] {
        HDC other = TrackDC(CreateCompatibleDC(nullptr));
        HGDIOBJ previous = SelectObject(other, target);
        PatBlt(other, 0, 0, 20, 10, WHITENESS);
        SceneRect point = {2, 1, 0, 0};
        SceneRect source = {4, 0, 8, 8};
        DrawMaskedFrame(other, picture, mask, point, source);
        SelectObject(other, previous);
        DeleteTrackedDC(&other);
        elsewhere = BitmapPixel(target, 7, 5);
    }).join();
    EXPECT_EQ(kept, RGB(0, 0, 200));
    EXPECT_EQ(elsewhere, kept);

    old = SelectObject(dc, target);
    ASSERT_TRUE(drawFrame());
    SelectObject(dc, old);
    HBITMAP deleted = picture;
    DeleteTrackedBitmap(&picture);
    EXPECT_EQ(GetObjectType(deleted), 0u) << "a sheet held by a kept DC outlived its deletion";
    ReleaseBlitDCs();
    FreeMasked(&m);
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

// The pixel of the run-length fixture FIX_RLE8 (make_test_art.py): runs of
// six to eight pixels in 100 colours with the key between them.
COLORREF RunLengthFixturePixel(int x, int y)
{
    if ((x / 7 + y / 5) % 3 == 0)
        return kKeyColour;
    return RGB(10 * (x / 60), 20 * (y / 40), 40);
}

// A sheet that ImageMagick wrote run-length encoded (BI_RLE8) loads with
// every pixel, through the scene palette and through a palette of its own.
TEST_F(GdiHelpers, RunLengthEncodedPicturesLoadInBothModes)
{
    for (int mode : {kLoadScene, kLoadPreview}) {
        HPALETTE palette = nullptr;
        HBITMAP bitmap = LoadResourceBitmap(AppInstance, "FIX_RLE8", TRUE, &palette, mode);
        ASSERT_TRUE(bitmap) << mode;
        int w = 0, h = 0;
        std::vector<COLORREF> pixels = scenetest::BitmapPixels(bitmap, &w, &h);
        ASSERT_EQ(w, 600);
        ASSERT_EQ(h, 400);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += pixels[static_cast<size_t>(y) * w + x] != RunLengthFixturePixel(x, y) ? 1 : 0;
        EXPECT_EQ(wrong, 0) << mode;
        DeleteTrackedBitmap(&bitmap);
        DeleteTrackedPalette(&palette);
    }
}

// Once a picture is made, none of its resource's pages stays in the working
// set: the module's own mapping would keep every page it was read through.
TEST_F(GdiHelpers, ALoadedPictureLeavesNoResourcePageInMemory)
{
    constexpr uintptr_t kPage = 4096;
    HRSRC info = FindResourceA(AppInstance, "FIX_RLE8", MAKEINTRESOURCEA(2));
    ASSERT_TRUE(info);
    const auto *data = static_cast<const BYTE *>(LockResource(LoadResource(AppInstance, info)));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + SizeofResource(AppInstance, info)) & ~(kPage - 1);
    ASSERT_GE(end - first, 4 * kPage);
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadResourceBitmap(AppInstance, "FIX_RLE8", TRUE, &palette, kLoadScene);
    ASSERT_TRUE(bitmap);
    DeleteTrackedBitmap(&bitmap);
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages((end - first) / kPage);
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i].VirtualAddress = reinterpret_cast<void *>(first + i * kPage);
    ASSERT_TRUE(QueryWorkingSetEx(GetCurrentProcess(), pages.data(),
                                  static_cast<DWORD>(pages.size() * sizeof(pages[0]))));
    int resident = 0;
    for (const PSAPI_WORKING_SET_EX_INFORMATION &page : pages)
        resident += page.VirtualAttributes.Valid ? 1 : 0;
    EXPECT_EQ(resident, 0) << "of " << pages.size() << " pages";
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
