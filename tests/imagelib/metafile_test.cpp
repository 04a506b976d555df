// Metafile rendering under Wine: metafiles drawn by GDI itself into a temp
// folder, read back through ReadMetafile and the generic reader, and
// compared with GDI playing the same picture onto a bitmap directly.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "testutil.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

using namespace imgtest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

struct Rendered {
    Bytes rgb;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t error = 0;
    bool returned = false;
};

Rendered Read(const std::string &path, int32_t width, int32_t height, COLORREF background, uint32_t flags)
{
    Rendered r;
    uint32_t w = 0;
    uint32_t h = 0;
    Result image(ReadMetafile(path.empty() ? nullptr : path.c_str(), &w, &h, width, height, background, flags));
    r.error = GetLastImageError();
    r.returned = image.Get() != nullptr;
    r.width = w;
    r.height = h;
    if (image.Get() && !(flags & 2))
        r.rgb = image.Copy(static_cast<size_t>(w) * h * 3);
    return r;
}

// GDI's own rendering: the picture played onto a bitmap filled with the
// background, read back as top-down RGB.
Bytes PlayDirect(HENHMETAFILE emf, int width, int height, COLORREF background)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT rect = {0, 0, width, height};
    FillRect(dc, &rect, brush);
    PlayEnhMetaFile(dc, emf, &rect);
    SelectObject(dc, old);
    BITMAPINFO info = testutil::TopDownDib(width, height, 24);
    const int stride = (width * 3 + 3) / 4 * 4;
    Bytes padded(static_cast<size_t>(stride) * height);
    GetDIBits(screen, bitmap, 0, height, padded.data(), &info, DIB_RGB_COLORS);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t *p = &padded[y * stride + 3 * x];
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    return rgb;
}

Bytes Pixel(const Rendered &r, uint32_t x, uint32_t y)
{
    const size_t at = (static_cast<size_t>(y) * r.width + x) * 3;
    return Bytes(r.rgb.begin() + at, r.rgb.begin() + at + 3);
}

// A 2 x 1 cm enhanced metafile: a red rectangle over its middle half.
void WriteEmf(const std::string &path)
{
    HDC screen = GetDC(nullptr);
    const RECT frame = {0, 0, 2000, 1000};
    HDC dc = CreateEnhMetaFileA(screen, path.c_str(), &frame, nullptr);
    const int pxW = 2000 * GetDeviceCaps(screen, HORZRES) / (GetDeviceCaps(screen, HORZSIZE) * 100);
    const int pxH = 1000 * GetDeviceCaps(screen, VERTRES) / (GetDeviceCaps(screen, VERTSIZE) * 100);
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT middle = {pxW / 4, pxH / 4, 3 * pxW / 4, 3 * pxH / 4};
    FillRect(dc, &middle, red);
    DeleteObject(red);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    ReleaseDC(nullptr, screen);
}

// A Windows metafile of a red rectangle over the middle of a 100 x 100
// window; its bits.
Bytes WmfBits()
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 100, 100, nullptr);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 25, 25, 76, 76);
    SelectObject(dc, old);
    DeleteObject(red);
    HMETAFILE wmf = CloseMetaFile(dc);
    Bytes bits(GetMetaFileBitsEx(wmf, 0, nullptr));
    GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    return bits;
}

Bytes PlaceableFile(const Bytes &bits, int16_t right, int16_t bottom, uint16_t unitsPerInch)
{
    Bytes head(22 + bits.size(), 0);
    const uint32_t key = 0x9AC6CDD7;
    memcpy(head.data(), &key, 4);
    memcpy(&head[10], &right, 2);
    memcpy(&head[12], &bottom, 2);
    memcpy(&head[14], &unitsPerInch, 2);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= static_cast<uint16_t>(head[2 * i] | (head[2 * i + 1] << 8));
    memcpy(&head[20], &sum, 2);
    std::copy(bits.begin(), bits.end(), head.begin() + 22);
    return head;
}

}  // namespace

TEST(Metafile, EnhancedMetafileAtItsNaturalSize)
{
    TempFolder dir;
    const std::string path = dir.File("box.emf");
    WriteEmf(path);
    HENHMETAFILE emf = GetEnhMetaFileA(path.c_str());
    ENHMETAHEADER header;
    ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof(header), &header));
    Rendered r = Read(path, 0, 0, kGreen, 0);
    ASSERT_EQ(r.error, 0);
    // 2 x 1 cm on the reference device.
    const double perMm = header.szlDevice.cx / static_cast<double>(header.szlMillimeters.cx);
    EXPECT_NEAR(r.width, 20 * perMm, 1.0);
    EXPECT_NEAR(r.height, 10 * header.szlDevice.cy / static_cast<double>(header.szlMillimeters.cy), 1.0);
    EXPECT_EQ(Pixel(r, r.width / 2, r.height / 2), (Bytes{255, 0, 0}));
    EXPECT_EQ(Pixel(r, 0, 0), (Bytes{0, 255, 0}));
    EXPECT_EQ(r.rgb, PlayDirect(emf, r.width, r.height, kGreen));
    DeleteEnhMetaFile(emf);

    // The generic reader renders a file source by its name.
    HISSRC src = OpenFileSource(path.c_str());
    uint32_t w = 0, h = 0;
    Result generic(ReadGeneric(src, &w, &h));
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(w, r.width);
    EXPECT_EQ(h, r.height);
    CloseSource(src);
}

TEST(Metafile, PlainAndPlaceableWindowsMetafiles)
{
    TempFolder dir;
    const Bytes bits = WmfBits();
    const std::string plain = dir.File("plain.wmf");
    ASSERT_TRUE(WriteFile(plain, bits));
    Rendered given = Read(plain, 120, 80, kGreen, 1);
    ASSERT_EQ(given.error, 0);
    EXPECT_EQ(given.width, 120u);
    EXPECT_EQ(given.height, 80u);
    EXPECT_EQ(Pixel(given, 60, 40), (Bytes{255, 0, 0}));
    EXPECT_EQ(Pixel(given, 2, 2), (Bytes{0, 255, 0}));

    const std::string placeable = dir.File("inch.wmf");
    ASSERT_TRUE(WriteFile(placeable, PlaceableFile(bits, 1440, 720, 1440)));
    struct Case {
        const char *what;
        int32_t width;
        int32_t height;
        uint32_t flags;
        uint32_t wantWidth;
        uint32_t wantHeight;
    } cases[] = {
        {"natural", 0, 0, 0, 95, 47}, {"half", 50, 50, 4, 47, 23}, {"given", 200, 100, 1, 200, 100}};
    for (const Case &c : cases) {
        Rendered r = Read(placeable, c.width, c.height, kGreen, c.flags);
        ASSERT_EQ(r.error, 0) << c.what;
        EXPECT_EQ(r.width, c.wantWidth) << c.what;
        EXPECT_EQ(r.height, c.wantHeight) << c.what;
        EXPECT_EQ(Pixel(r, r.width / 2, r.height / 2), (Bytes{255, 0, 0})) << c.what;
        EXPECT_EQ(Pixel(r, 1, 1), (Bytes{0, 255, 0})) << c.what;
    }
    uint32_t w = 0, h = 0;
    Result dib(ReadMetafile(placeable.c_str(), &w, &h, 0, 0, kGreen, 2));
    ASSERT_TRUE(dib.Get());
    BITMAPINFOHEADER header;
    memcpy(&header, dib.Get(), sizeof(header));
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 95);
    EXPECT_EQ(header.biHeight, 47);

    HISSRC src = OpenFileSource(placeable.c_str());
    Result generic(ReadGeneric(src, &w, &h));
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(w, 95u);
    CloseSource(src);
}

TEST(Metafile, Failures)
{
    TempFolder dir;
    const std::string empty = dir.File("empty.wmf");
    ASSERT_TRUE(WriteFile(empty, Bytes()));
    std::mt19937 random(41);
    Bytes noise(3000);
    for (uint8_t &b : noise)
        b = static_cast<uint8_t>(random());
    const std::string junk = dir.File("junk.wmf");
    ASSERT_TRUE(WriteFile(junk, noise));
    const std::string zeroUnits = dir.File("zero.wmf");
    ASSERT_TRUE(WriteFile(zeroUnits, PlaceableFile(WmfBits(), 1440, 720, 0)));
    const std::string huge = dir.File("huge.wmf");
    ASSERT_TRUE(WriteFile(huge, PlaceableFile(WmfBits(), 32000, 720, 100)));
    struct Case {
        const char *what;
        std::string path;
        int32_t error;
    } cases[] = {
        {"empty file", empty, kImgBadMetafile},
        {"random bytes", junk, kImgSetWinMetaFileBits},
        {"no such file", dir.File("missing.emf"), kImgFileOpen},
        {"no name", "", kImgBadParam},
        {"0 units per inch", zeroUnits, kImgBadMetafile},
        {"larger than 16384 pixels", huge, kImgBadMetafile},
    };
    for (const Case &c : cases) {
        Rendered r = Read(c.path, 100, 100, kGreen, 0);
        EXPECT_EQ(r.error, c.error) << c.what;
        EXPECT_FALSE(r.returned) << c.what;
    }
}

namespace {

struct Steps {
    static BOOL WINAPI StopAtThird(uint32_t, uint32_t, uint32_t)
    {
        ++calls;
        return calls != stopAt;
    }
    static inline uint32_t calls = 0;
    static inline uint32_t stopAt = 3;
};

}  // namespace

TEST(Metafile, AbortAndNoGdiObjectsLeft)
{
    TempFolder dir;
    const std::string path = dir.File("box.emf");
    WriteEmf(path);
    SetProgressCallback(Steps::StopAtThird, 0);
    Rendered stopped = Read(path, 0, 0, kGreen, 0);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(stopped.error, kImgAborted);
    EXPECT_FALSE(stopped.returned);
    EXPECT_EQ(Steps::calls, 3u);

    // Every way through gives its GDI objects back: far more calls than a
    // process may hold objects never make GDI creation fail.
    const std::string placeable = dir.File("inch.wmf");
    ASSERT_TRUE(WriteFile(placeable, PlaceableFile(WmfBits(), 1440, 720, 1440)));
    uint32_t failed = 0;
    for (int i = 0; i < 12000; ++i) {
        Steps::calls = 0;
        Steps::stopAt = 1 + i % 5;
        SetProgressCallback(Steps::StopAtThird, 0);
        Rendered r = Read(i % 2 ? path : placeable, 8, 8, kGreen, 1);
        SetProgressCallback(nullptr, 0);
        failed += (r.error != 0) != (Steps::stopAt <= 4);
    }
    EXPECT_EQ(failed, 0u);
    Rendered after = Read(path, 0, 0, kGreen, 0);
    EXPECT_EQ(after.error, 0);
}
