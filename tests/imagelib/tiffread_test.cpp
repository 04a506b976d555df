// TIFF reader: layouts and compressions through the generic reader, the
// orientations, pages, bad files, abort between bands, file and memory
// sources, and offsets beyond 32 bits.
#include <gtest/gtest.h>

#include "codecfixtures.h"
#include "codecreaders.h"

#include <cstring>
#include <functional>

#include <tiffio.h>

using namespace imgtest;

namespace {

constexpr uint32_t kW = 37;
constexpr uint32_t kH = 21;

uint8_t Sample(uint32_t x, uint32_t y, uint32_t c) { return static_cast<uint8_t>(x * 7 + y * 11 + c * 85 + x * y); }

// An RGB page of the test picture, and the picture itself.
TiffPage RgbPage(uint16_t bits = 8)
{
    TiffPage p;
    p.width = kW;
    p.height = kH;
    p.bitsPerSample = bits;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x)
            for (uint32_t c = 0; c < 3; ++c)
                p.samples.push_back(static_cast<uint16_t>(Sample(x, y, c) * (bits == 16 ? 257 : 1)));
    return p;
}

Bytes RgbPicture()
{
    Bytes rgb;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x)
            for (uint32_t c = 0; c < 3; ++c)
                rgb.push_back(Sample(x, y, c));
    return rgb;
}

struct LayoutCase {
    const char *what;
    std::function<void(TiffPage &)> shape;
    bool equalsPicture;  // lossless RGB: the result is the test picture
};

TiffPage GreyPage(uint16_t photometric, uint16_t bits)
{
    TiffPage p = RgbPage();
    p.samplesPerPixel = 1;
    p.photometric = photometric;
    p.bitsPerSample = bits;
    p.samples.clear();
    for (uint32_t i = 0; i < kW * kH; ++i)
        p.samples.push_back(static_cast<uint16_t>((i * 37) % (1u << bits)));
    return p;
}

TiffPage PalettePage(uint16_t bits)
{
    TiffPage p = GreyPage(PHOTOMETRIC_PALETTE, bits);
    const size_t n = static_cast<size_t>(1) << bits;
    p.colourMap.resize(3 * n);
    for (size_t i = 0; i < n; ++i) {
        p.colourMap[i] = static_cast<uint16_t>((i * 53 % 256) * 257);
        p.colourMap[n + i] = static_cast<uint16_t>((255 - i) * 257);
        p.colourMap[2 * n + i] = static_cast<uint16_t>((i * 7 % 256) * 257);
    }
    return p;
}

TEST(TiffRead, LayoutsAndCompressionsThroughTheGenericReader)
{
    const LayoutCase cases[] = {
        {"one strip", [](TiffPage &) {}, true},
        {"strips of one row", [](TiffPage &p) { p.rowsPerStrip = 1; }, true},
        // libtiff 4.5.0 refuses uncompressed tiles whose byte size is no
        // multiple of 1024 when it reads them through a client (4.5.1 mends
        // it); 32 x 32 x 3 bytes is one.
        {"tiles", [](TiffPage &p) { p.tileSize = 32; }, true},
        {"planar strips", [](TiffPage &p) { p.planar = PLANARCONFIG_SEPARATE, p.rowsPerStrip = 4; }, true},
        {"planar tiles", [](TiffPage &p) { p.planar = PLANARCONFIG_SEPARATE, p.tileSize = 32; }, true},
        {"LZW", [](TiffPage &p) { p.compression = COMPRESSION_LZW, p.rowsPerStrip = 5; }, true},
        {"Deflate", [](TiffPage &p) { p.compression = COMPRESSION_ADOBE_DEFLATE; }, true},
        {"PackBits", [](TiffPage &p) { p.compression = COMPRESSION_PACKBITS, p.rowsPerStrip = 3; }, true},
        {"16-bit", [](TiffPage &p) { p = RgbPage(16); }, true},
        {"JPEG YCbCr", [](TiffPage &p) { p.compression = COMPRESSION_JPEG, p.photometric = PHOTOMETRIC_YCBCR,
                                          p.rowsPerStrip = 16; }, false},
        {"planar YCbCr 1x1", [](TiffPage &p) { p.photometric = PHOTOMETRIC_YCBCR, p.planar = PLANARCONFIG_SEPARATE; },
         false},
        {"palette 8", [](TiffPage &p) { p = PalettePage(8); }, false},
        {"palette 4 LZW", [](TiffPage &p) { p = PalettePage(4), p.compression = COMPRESSION_LZW; }, false},
        {"grey", [](TiffPage &p) { p = GreyPage(PHOTOMETRIC_MINISBLACK, 8); }, false},
        {"grey min-is-white 4", [](TiffPage &p) { p = GreyPage(PHOTOMETRIC_MINISWHITE, 4); }, false},
    };
    const Bytes picture = RgbPicture();
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.what);
        TiffPage page = RgbPage();
        c.shape(page);
        const Bytes file = EncodeTiff({page});
        uint32_t w = 0;
        uint32_t h = 0;
        const Bytes direct = DecodeTiffDirect(file, w, h);
        ASSERT_FALSE(direct.empty());
        ReadOutcome r = ReadGenericBytes(file);
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(r.width, kW);
        EXPECT_EQ(r.height, kH);
        EXPECT_EQ(r.pixels, direct);
        if (c.equalsPicture) {
            EXPECT_EQ(r.pixels, picture);
        }
    }
    // The grey and palette values themselves, not only libtiff's word.
    const TiffPage grey = GreyPage(PHOTOMETRIC_MINISWHITE, 8);
    const Bytes white = ReadGenericBytes(EncodeTiff({grey})).pixels;
    ASSERT_EQ(white.size(), 3u * kW * kH);
    EXPECT_EQ(white[3 * 5], 255 - grey.samples[5]);
    const TiffPage pal = PalettePage(8);
    const Bytes indexed = ReadGenericBytes(EncodeTiff({pal})).pixels;
    EXPECT_EQ(indexed[3 * 7 + 1], pal.colourMap[256 + pal.samples[7]] >> 8);
}

// A display picture of w x h stored under an orientation: stored row 0 and
// column 0 are the display edges TIFF 6.0 names for it.
TiffPage Oriented(const Bytes &display, uint32_t w, uint32_t h, uint16_t orientation)
{
    const bool swap = orientation >= 5;
    TiffPage p;
    p.width = swap ? h : w;
    p.height = swap ? w : h;
    p.orientation = orientation;
    for (uint32_t y = 0; y < p.height; ++y) {
        for (uint32_t x = 0; x < p.width; ++x) {
            uint32_t col = x;
            uint32_t row = y;
            switch (orientation) {
            case 2: col = w - 1 - x; break;                      // row 0 top, column 0 right
            case 3: col = w - 1 - x, row = h - 1 - y; break;     // row 0 bottom, column 0 right
            case 4: row = h - 1 - y; break;                      // row 0 bottom, column 0 left
            case 5: col = y, row = x; break;                     // row 0 left, column 0 top
            case 6: col = w - 1 - y, row = x; break;             // row 0 right, column 0 top
            case 7: col = w - 1 - y, row = h - 1 - x; break;     // row 0 right, column 0 bottom
            case 8: col = y, row = h - 1 - x; break;             // row 0 left, column 0 bottom
            default: break;
            }
            for (int c = 0; c < 3; ++c)
                p.samples.push_back(display[(static_cast<size_t>(row) * w + col) * 3 + c]);
        }
    }
    return p;
}

Bytes DisplayPicture(uint32_t w, uint32_t h)
{
    Bytes d;
    for (uint32_t i = 0; i < w * h; ++i)
        d.insert(d.end(), {static_cast<uint8_t>(i * 17), static_cast<uint8_t>(250 - i * 3), static_cast<uint8_t>(i)});
    return d;
}

TEST(TiffRead, EveryOrientationGivesTheDisplayPicture)
{
    const Bytes display = DisplayPicture(5, 3);
    for (uint16_t o = 0; o <= 8; ++o) {
        SCOPED_TRACE(o);
        ReadOutcome r = ReadGenericBytes(EncodeTiff({Oriented(display, 5, 3, o)}));
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(r.width, 5u);
        EXPECT_EQ(r.height, 3u);
        EXPECT_EQ(r.pixels, display);
    }
    // 100 x 50 as stored under 6 is 50 x 100 on display.
    ReadOutcome tall = ReadGenericBytes(EncodeTiff({Oriented(DisplayPicture(50, 100), 50, 100, 6)}));
    EXPECT_EQ(tall.width, 50u);
    EXPECT_EQ(tall.height, 100u);
    EXPECT_EQ(tall.pixels, DisplayPicture(50, 100));
}

BYTE *ReadPage(const Bytes &file, uint32_t page, uint32_t &w, uint32_t &h, int32_t &error)
{
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    CISIO io(src);
    OperationContext ctx;
    BYTE *image = ReadTiffImage(io, page, 0, w, h, ctx);
    CloseSource(src);
    error = ctx.error;
    return image;
}

TEST(TiffRead, PagesAndFilesThatAreNoTiffs)
{
    TiffPage second = GreyPage(PHOTOMETRIC_MINISBLACK, 8);
    const Bytes file = EncodeTiff({RgbPage(), second});
    EXPECT_EQ(ReadGenericBytes(file).pixels, RgbPicture());
    uint32_t w = 0;
    uint32_t h = 0;
    int32_t error = 0;
    Result page1(ReadPage(file, 1, w, h, error));
    EXPECT_EQ(error, 0);
    EXPECT_NE(page1.Get(), nullptr);
    Result page2(ReadPage(file, 2, w, h, error));
    EXPECT_EQ(error, 5);
    EXPECT_EQ(page2.Get(), nullptr);

    Bytes junk = {'I', 'I', 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA};
    EXPECT_EQ(ReadGenericBytes(junk).error, 20);
}

BOOL WINAPI Stop(uint32_t, uint32_t, uint32_t) { return FALSE; }

TEST(TiffRead, CallbackAnsweringZeroStopsAfterTheFirstBand)
{
    TiffPage page = RgbPage();
    page.rowsPerStrip = 1;
    SetProgressCallback(Stop, 0);
    ReadOutcome r = ReadGenericBytes(EncodeTiff({page}));
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(r.error, 14);
    EXPECT_FALSE(r.returned);
}

TEST(TiffRead, FileSourceReadsLikeMemory)
{
    TempFolder dir;
    const std::string path = dir.File("picture.tif");
    TiffPage page = RgbPage();
    page.compression = COMPRESSION_LZW;
    ASSERT_TRUE(WriteFile(path, EncodeTiff({page})));
    HISSRC src = OpenFileSource(path.c_str());
    uint32_t w = 0;
    uint32_t h = 0;
    Result image(ReadGeneric(src, &w, &h));
    CloseSource(src);
    ASSERT_NE(image.Get(), nullptr);
    EXPECT_EQ(image.Copy(3u * kW * kH), RgbPicture());
}

// Offsets of the first directory's entries with a tag, in a little-endian
// classic (12-byte entries) or BigTIFF (20-byte entries) file.
size_t EntryOf(const Bytes &f, uint16_t tag, bool big)
{
    const size_t ifd = big ? f[8] | f[9] << 8 | f[10] << 16 | f[11] << 24 : f[4] | f[5] << 8 | f[6] << 16 | f[7] << 24;
    const size_t count = f[ifd] | f[ifd + 1] << 8;
    const size_t first = ifd + (big ? 8 : 2);
    const size_t size = big ? 20 : 12;
    for (size_t i = 0; i < count; ++i)
        if ((f[first + i * size] | f[first + i * size + 1] << 8) == tag)
            return first + i * size;
    return 0;
}

TEST(TiffRead, SizesAndOffsetsFromTheFileAreChecked)
{
    // 60000 x 60000 needs more than a buffer may hold: 1, before any
    // allocation.
    Bytes huge = EncodeTiff({RgbPage()});
    for (uint16_t tag : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH}) {
        const size_t e = EntryOf(huge, tag, false);
        ASSERT_NE(e, 0u);
        huge[e + 8] = 0x60, huge[e + 9] = 0xEA;  // 60000, stored as SHORT or LONG
    }
    const int hugeError = ReadGenericBytes(huge).error;
    EXPECT_TRUE(hugeError == 1 || hugeError == 20) << hugeError;

    // A BigTIFF strip 4 GiB further on: refused, not read from the offset
    // cut down to 32 bits (which would be the real strip).
    Bytes big = EncodeTiff({RgbPage()}, true);
    ASSERT_EQ(ReadGenericBytes(big).pixels, RgbPicture());
    const size_t strip = EntryOf(big, TIFFTAG_STRIPOFFSETS, true);
    ASSERT_NE(strip, 0u);
    big[strip + 12 + 4] = 1;
    EXPECT_EQ(ReadGenericBytes(big).error, 20);
}

TEST(TiffRead, MutatedFilesFailSoundly)
{
    TiffPage page = RgbPage();
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 4;
    const Bytes good = EncodeTiff({page});
    uint32_t seed = 11;
    for (int i = 0; i < 300; ++i) {
        Bytes bad = good;
        seed = seed * 1103515245u + 12345u;
        if (i % 3 == 0)
            bad.resize(seed % bad.size());
        else
            for (int k = 0; k < 3; ++k, seed = seed * 1103515245u + 12345u)
                bad[seed % bad.size()] ^= static_cast<uint8_t>(seed >> 24 | 1);
        ReadOutcome r = ReadGenericBytes(bad);
        EXPECT_TRUE(r.error == 0 || r.error == 1 || r.error == 2 || r.error == 5 || r.error == 20) << r.error;
    }
}

}  // namespace
