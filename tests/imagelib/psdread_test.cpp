// PSD reader on files of our own making (modes and layouts no encoder here
// writes, damaged fields) and on the cross-check files for the rest.
#include <gtest/gtest.h>

#include "readerkit.h"
#include "readertest.h"

#include <utility>

using namespace readertest;

namespace {

// A PSD, section by section; channel data as stored after the compression.
struct PsdLayout {
    uint16_t version = 1;
    uint16_t channels = 3;
    uint32_t width = 2;
    uint32_t height = 1;
    uint16_t depth = 8;
    uint16_t mode = 3;
    Bytes colourData;
    Bytes resources;
    Bytes layers;
    uint16_t compression = 0;
    Bytes data;
};

Bytes PsdFile(const PsdLayout &p)
{
    Bytes b{'8', 'B', 'P', 'S'};
    Be16(b, p.version);
    b.resize(b.size() + 6, 0);
    Be16(b, p.channels);
    Be32(b, p.height);
    Be32(b, p.width);
    Be16(b, p.depth);
    Be16(b, p.mode);
    for (const Bytes *section : {&p.colourData, &p.resources, &p.layers}) {
        Be32(b, static_cast<uint32_t>(section->size()));
        b.insert(b.end(), section->begin(), section->end());
    }
    Be16(b, p.compression);
    b.insert(b.end(), p.data.begin(), p.data.end());
    return b;
}

// Rows as PackBits with their byte-count table in front.
Bytes Packed(const std::vector<Bytes> &rows)
{
    Bytes counts;
    Bytes data;
    for (const Bytes &row : rows) {
        Bytes packed = PackBitsRow(row);
        Be16(counts, static_cast<uint32_t>(packed.size()));
        data.insert(data.end(), packed.begin(), packed.end());
    }
    counts.insert(counts.end(), data.begin(), data.end());
    return counts;
}

PaletteOutcome ReadPsd(const Bytes &file, uint32_t bits, uint32_t flags = 0, uint32_t bytesPerPixel = 3)
{
    return ReadWithPalette(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h, RGBQUAD *p) { return ReadPSD(s, w, h, bits, p, flags); },
        bytesPerPixel);
}

Bytes ResolutionBlock(uint16_t horizontal, uint16_t hUnit, uint16_t vertical, uint16_t vUnit)
{
    Bytes b{'8', 'B', 'I', 'M'};
    Be16(b, 1005);
    Be16(b, 0);  // empty name and its pad
    Be32(b, 16);
    for (uint16_t v : {horizontal, uint16_t(0), hUnit, uint16_t(1), vertical, uint16_t(0), vUnit, uint16_t(1)})
        Be16(b, v);
    return b;
}

std::vector<std::pair<uint32_t, uint32_t>> g_progress;
BOOL WINAPI NoteProgress(uint32_t row, uint32_t rows, uint32_t)
{
    g_progress.emplace_back(row, rows);
    return TRUE;
}

}  // namespace

TEST(PsdRead, ModesOfOurOwnFiles)
{
    // Indexed: entry i is (red[i], green[i], blue[i]) of the 768-byte table.
    PsdLayout indexed;
    indexed.mode = 2;
    indexed.channels = 1;
    indexed.colourData.resize(768);
    for (int i = 0; i < 256; ++i) {
        indexed.colourData[i] = static_cast<uint8_t>(i);
        indexed.colourData[256 + i] = static_cast<uint8_t>(255 - i);
        indexed.colourData[512 + i] = static_cast<uint8_t>(i / 2);
    }
    indexed.data = {7, 200};
    PaletteOutcome r = ReadPsd(PsdFile(indexed), 24);
    EXPECT_EQ(r.outcome.pixels, (Bytes{7, 248, 3, 200, 55, 100}));
    PaletteOutcome i8 = ReadPsd(PsdFile(indexed), 8, 0, 1);
    EXPECT_EQ(i8.outcome.pixels, (Bytes{7, 200}));
    EXPECT_EQ(i8.palette[200].rgbGreen, 55);
    // A table of 300 bytes (all reds, 44 greens): read as far as it goes,
    // the rest zero, and the next section still found where its length says.
    indexed.colourData.resize(300);
    indexed.resources = ResolutionBlock(72, 1, 72, 1);
    EXPECT_EQ(ReadPsd(PsdFile(indexed), 24).outcome.pixels, (Bytes{7, 248, 0, 200, 0, 0}));

    // CMYK as stored: all 255 is white, no fourth channel is black.
    PsdLayout cmyk;
    cmyk.mode = 4;
    cmyk.channels = 4;
    cmyk.data = {255, 255, 255, 255, 255, 255, 255, 0};
    EXPECT_EQ(ReadPsd(PsdFile(cmyk), 24).outcome.pixels, (Bytes{255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(ReadPsd(PsdFile(cmyk), 24, kReadPsdCmyk, 4).outcome.pixels,
              (Bytes{255, 255, 255, 255, 255, 255, 255, 0}));

    // Bitmap mode, raw and PackBits: 0 is white, 1 black.
    PsdLayout bitmap;
    bitmap.mode = 0;
    bitmap.channels = 1;
    bitmap.depth = 1;
    bitmap.width = 10;
    bitmap.data = {0x80, 0x40};
    const Bytes rawBitmap = ReadPsd(PsdFile(bitmap), 24).outcome.pixels;
    ASSERT_EQ(rawBitmap.size(), 30u);
    EXPECT_EQ(Bytes(rawBitmap.begin(), rawBitmap.begin() + 6), (Bytes{0, 0, 0, 255, 255, 255}));
    EXPECT_EQ(rawBitmap[27], 0);  // pixel 9 of 0x40 in the second byte
    bitmap.compression = 1;
    bitmap.data = Packed({{0x80, 0x40}});
    PaletteOutcome packedBitmap = ReadPsd(PsdFile(bitmap), 24);
    ASSERT_EQ(packedBitmap.outcome.error, 0);
    EXPECT_EQ(packedBitmap.outcome.pixels[27], 0);  // pixel 9
    EXPECT_EQ(packedBitmap.outcome.pixels[3 * 8], 255);

    // Grey with alpha reads the grey channel; duotone data give the ramp.
    PsdLayout grey;
    grey.mode = 1;
    grey.channels = 2;
    grey.compression = 1;
    grey.data = Packed({{10, 20}, {99, 99}});
    EXPECT_EQ(ReadPsd(PsdFile(grey), 24).outcome.pixels, (Bytes{10, 10, 10, 20, 20, 20}));
    grey.mode = 8;
    grey.colourData = Bytes(40, 0x5A);
    EXPECT_EQ(ReadPsd(PsdFile(grey), 24).outcome.pixels, (Bytes{10, 10, 10, 20, 20, 20}));
}

TEST(PsdRead, RefusedAndDamagedFiles)
{
    PsdLayout good;
    good.data = {1, 2, 3, 4, 5, 6};
    auto with = [&](auto change) {
        PsdLayout p = good;
        change(p);
        return PsdFile(p);
    };
    Bytes longSection = PsdFile(good);
    longSection[29] = 0x40;  // colour data length beyond the file
    Bytes badCount = with([](PsdLayout &p) {
        p.compression = 1;
        p.data = {0xFF, 0xF0, 0, 1, 0, 1, 0, 1, 1, 2};  // first count 65520
    });
    struct Case {
        const char *what;
        Bytes file;
        int32_t error;
        bool image;
    } cases[] = {
        {"version 2", with([](PsdLayout &p) { p.version = 2; }), kImgBadPsd, false},
        {"width above 30000", with([](PsdLayout &p) { p.width = 30001; }), kImgBadPsd, false},
        {"RGB with two channels", with([](PsdLayout &p) { p.channels = 2; }), kImgPsdUnsupported, false},
        {"CMYK with three channels", with([](PsdLayout &p) { p.mode = 4; }), kImgPsdUnsupported, false},
        {"RGB at 1 bit", with([](PsdLayout &p) { p.depth = 1; }), kImgPsdUnsupported, false},
        {"4 bits a channel", with([](PsdLayout &p) { p.depth = 4; }), kImgPsdUnsupported, false},
        {"Lab mode", with([](PsdLayout &p) { p.mode = 9; }), kImgPsdUnsupported, false},
        {"compression 2", with([](PsdLayout &p) { p.compression = 2; }), kImgFileRead, false},
        {"a section longer than the file", longSection, kImgFileRead, false},
        {"a byte count beyond a row's worth", badCount, kImgFileRead, false},
        {"rows cut short", with([](PsdLayout &p) { p.data.resize(4); }), kImgFileRead, true},
    };
    for (const Case &c : cases) {
        PaletteOutcome r = ReadPsd(c.file, 24);
        EXPECT_EQ(r.outcome.error, c.error) << c.what;
        EXPECT_EQ(r.outcome.returned, c.image) << c.what;
    }
    EXPECT_EQ(ReadPsd(PsdFile(good), 16).outcome.error, kImgBadParam);
    EXPECT_EQ(ReadPsd(with([](PsdLayout &p) { p.mode = 9; }), 0, kReadAsDib, 0).outcome.error, kImgBadPsd);
}

TEST(PsdRead, ProgressOverChannelsAndDibs)
{
    g_progress.clear();
    SetProgressCallback(NoteProgress, 0);
    PaletteOutcome rgb = ReadPsd(FixtureBytes("rgb8-rle.psd"), 24);
    SetProgressCallback(nullptr, 0);
    ASSERT_EQ(rgb.outcome.error, 0);
    ASSERT_EQ(g_progress.size(), 3u * 23);
    EXPECT_EQ(g_progress.back(), std::make_pair(3u * 23 - 1, 3u * 23));

    PaletteOutcome rgbDib = ReadPsd(FixtureBytes("rgb8-none.psd"), 0, kReadAsDib, 0);
    ASSERT_EQ(rgbDib.outcome.error, 0);
    EXPECT_EQ(rgbDib.outcome.pixels[14], 24);
    PaletteOutcome greyDib = ReadPsd(FixtureBytes("grey8-rle.psd"), 0, kReadAsDib, 0);
    ASSERT_EQ(greyDib.outcome.error, 0);
    EXPECT_EQ(greyDib.outcome.pixels[14], 8);
    PaletteOutcome cmykDib = ReadPsd(FixtureBytes("cmyk8-rle.psd"), 0, kReadAsDib | kReadPsdCmyk, 0);
    ASSERT_EQ(cmykDib.outcome.error, 0);
    EXPECT_EQ(cmykDib.outcome.pixels[14], 32);
}

TEST(PsdRead, ResolutionBlock)
{
    struct Case {
        uint16_t hUnit;
        uint16_t vUnit;
        PsdResolution want;
    } cases[] = {
        {1, 1, {300, 150, 1}},
        {1, 2, {300, 59, 1}},  // 150 x 0.3937
        {2, 1, {300, 150, 2}},
        {3, 1, {300, 150, 0}},
    };
    for (const Case &c : cases) {
        PsdLayout p;
        p.resources = Bytes{'x', 'y'};
        Bytes block = ResolutionBlock(300, c.hUnit, 150, c.vUnit);
        p.resources.insert(p.resources.end(), block.begin(), block.end());
        p.data = Bytes(6, 0);
        const Bytes file = PsdFile(p);
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        CISIO io(src);
        OperationContext ctx;
        uint32_t w = 0, h = 0, mode = 0;
        PsdResolution got = {};
        EXPECT_TRUE(ReadPsdInfo(io, w, h, mode, &got, ctx));
        CloseSource(src);
        EXPECT_EQ(mode, 3u);
        EXPECT_EQ(got.x, c.want.x) << c.hUnit << c.vUnit;
        EXPECT_EQ(got.y, c.want.y) << c.hUnit << c.vUnit;
        EXPECT_EQ(got.unit, c.want.unit) << c.hUnit << c.vUnit;
    }
}
