// The BMP reader: every depth and header, both row orders, colour tables,
// bit fields, RLE8 and RLE4, the packed-DIB form, and bad files.
#include <gtest/gtest.h>

#include "bmpformat.h"
#include "imgtest.h"

#include <climits>
#include <cstring>

using namespace imgtest;

namespace {

constexpr uint32_t kW = 13;
constexpr uint32_t kH = 7;

struct DepthCase {
    const char *what;
    uint16_t bits;
    uint32_t colours;  // palette depths: entries in the file
    bool topDown;
    bool clrUsedSet;   // write biClrUsed = colours (else 0)
    bool bitFields;
    uint32_t gap;
    bool core;
};

const DepthCase kDepths[] = {
    {"1 bit", 1, 2, false, false, false, 0, false},
    {"1 bit top-down", 1, 2, true, false, false, 0, false},
    {"4 bits", 4, 16, false, false, false, 0, false},
    {"4 bits, 5 colours", 4, 5, false, true, false, 0, false},
    {"8 bits", 8, 256, false, false, false, 0, false},
    {"8 bits, 16 colours, top-down", 8, 16, true, true, false, 0, false},
    {"8 bits, gap of 100", 8, 40, false, true, false, 100, false},
    {"16 bits 5-5-5", 16, 0, false, false, false, 0, false},
    {"16 bits top-down", 16, 0, true, false, false, 0, false},
    {"16 bits 5-6-5 bit fields", 16, 0, false, false, true, 0, false},
    {"24 bits", 24, 0, false, false, false, 0, false},
    {"24 bits top-down", 24, 0, true, false, false, 0, false},
    {"24 bits, gap of 100", 24, 0, false, false, false, 100, false},
    {"24 bits with masks", 24, 0, false, false, true, 0, false},
    {"32 bits", 32, 0, false, false, false, 0, false},
    {"32 bits bit fields top-down", 32, 0, true, false, true, 0, false},
    {"core 1 bit", 1, 2, false, false, false, 0, true},
    {"core 4 bits", 4, 16, false, false, false, 0, true},
    {"core 8 bits", 8, 256, false, false, false, 0, true},
    {"core 24 bits", 24, 0, false, false, false, 0, true},
};

struct Fixture {
    Bytes file;
    Picture expected;
};

Fixture MakeFixture(const DepthCase &c)
{
    Picture p = c.bits <= 8 ? IndexPicture(kW, kH, c.colours) : ColourPicture(kW, kH);
    const bool mask565 = c.bits == 16 && c.bitFields;
    BmpLayout layout;
    layout.width = kW;
    layout.height = c.topDown ? -static_cast<int32_t>(kH) : static_cast<int32_t>(kH);
    layout.bits = c.bits;
    layout.core = c.core;
    layout.gap = c.gap;
    if (c.bits <= 8)
        layout.palette = p.palette;
    layout.clrUsed = c.clrUsedSet ? c.colours : 0;
    if (c.bitFields) {
        layout.compression = 3;
        layout.masks = mask565 ? std::vector<uint32_t>{0xF800, 0x07E0, 0x001F}
                             : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF};
    }
    layout.pixels = StoredRows(p, c.bits, c.topDown, mask565);
    return {BuildBmp(layout), c.bits == 16 ? As16Bit(p, mask565) : p};
}

Bytes AlphaOf(const DepthCase &c)
{
    Bytes alpha;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x)
            alpha.push_back(c.bits == 32 ? static_cast<uint8_t>(x + y) : 0xFF);
    return alpha;
}

RGBQUAD Colour(uint8_t r, uint8_t g, uint8_t b) { return RGBQUAD{b, g, r, 0}; }

}  // namespace

TEST(ReadBmp, EveryDepthTo24And32BitsAndThroughReadGeneric)
{
    for (const DepthCase &c : kDepths) {
        Fixture f = MakeFixture(c);
        ReadOutcome r24 = ReadBmpBytes(f.file, 24);
        EXPECT_EQ(r24.error, 0) << c.what;
        EXPECT_EQ(r24.width, kW) << c.what;
        EXPECT_EQ(r24.height, kH) << c.what;
        EXPECT_EQ(r24.pixels, f.expected.rgb) << c.what;

        ReadOutcome generic = ReadGenericBytes(f.file);
        EXPECT_EQ(generic.error, 0) << c.what;
        EXPECT_EQ(generic.pixels, f.expected.rgb) << c.what;

        ReadOutcome r32 = ReadBmpBytes(f.file, 32);
        ASSERT_EQ(r32.pixels.size(), kW * kH * 4) << c.what;
        Bytes rgb, alpha;
        for (size_t i = 0; i < r32.pixels.size(); i += 4) {
            rgb.insert(rgb.end(), r32.pixels.begin() + i, r32.pixels.begin() + i + 3);
            alpha.push_back(r32.pixels[i + 3]);
        }
        EXPECT_EQ(rgb, f.expected.rgb) << c.what;
        EXPECT_EQ(alpha, AlphaOf(c)) << c.what;
    }
}

TEST(ReadBmp, PaletteDepthsTo8BitIndices)
{
    for (const DepthCase &c : kDepths) {
        if (c.bits > 8)
            continue;
        Fixture f = MakeFixture(c);
        RGBQUAD palette[256];
        memset(palette, 0x77, sizeof(palette));
        ReadOutcome r = ReadBmpBytes(f.file, 8, palette);
        EXPECT_EQ(r.error, 0) << c.what;
        EXPECT_EQ(r.pixels, Bytes(f.expected.indices.begin(), f.expected.indices.end())) << c.what;
        for (uint32_t i = 0; i < c.colours; ++i) {
            EXPECT_EQ(palette[i].rgbRed, f.expected.palette[i].rgbRed) << c.what << " entry " << i;
            EXPECT_EQ(palette[i].rgbBlue, f.expected.palette[i].rgbBlue) << c.what << " entry " << i;
        }
        // After the file's colours: copies of entry 0 (info header), or the
        // caller's entries untouched (core header).
        const RGBQUAD after = palette[255];
        if (c.colours < 256) {
            if (c.core)
                EXPECT_EQ(after.rgbRed, 0x77) << c.what;
            else
                EXPECT_EQ(after.rgbRed, f.expected.palette[0].rgbRed) << c.what;
        }
    }
}

TEST(ReadBmp, OneBitAsOneBitAndDepthRefusals)
{
    Fixture mono = MakeFixture(kDepths[0]);
    RGBQUAD palette[256] = {};
    ReadOutcome r = ReadBmpBytes(mono.file, 1, palette);
    EXPECT_EQ(r.error, 0);
    // Packed rows of (13 + 7) / 8 = 2 bytes, top row first, no padding.
    Bytes stored = StoredRows(mono.expected, 1, true);
    Bytes packed;
    for (uint32_t y = 0; y < kH; ++y)
        packed.insert(packed.end(), stored.begin() + y * 4, stored.begin() + y * 4 + 2);
    EXPECT_EQ(r.pixels, packed);

    Fixture eight = MakeFixture(kDepths[4]);
    EXPECT_EQ(ReadBmpBytes(eight.file, 1, palette).error, kImgWrongDepth);
    EXPECT_EQ(ReadBmpBytes(MakeFixture(kDepths[10]).file, 8, palette).error, kImgWrongDepth);
    EXPECT_EQ(ReadBmpBytes(MakeFixture(kDepths[18]).file, 1, palette).error, kImgWrongDepth);
    EXPECT_EQ(ReadBmpBytes(eight.file, 8, nullptr).error, kImgBadParam);
    EXPECT_EQ(ReadBmpBytes(eight.file, 16).error, kImgBadParam);
    EXPECT_EQ(ReadBmpBytes(eight.file, 4, palette).error, kImgBadParam);
}

// ---------------------------------------------------------------------------
// Run-length files.

namespace {

const RGBQUAD kRlePalette[16] = {
    Colour(10, 20, 30),   Colour(255, 0, 0),   Colour(0, 255, 0),   Colour(0, 0, 255),
    Colour(1, 2, 3),      Colour(4, 5, 6),     Colour(7, 8, 9),     Colour(11, 12, 13),
    Colour(14, 15, 16),   Colour(17, 18, 19),  Colour(20, 21, 22),  Colour(23, 24, 25),
    Colour(26, 27, 28),   Colour(29, 30, 31),  Colour(32, 33, 34),  Colour(35, 36, 37),
};

Bytes RleFile(uint16_t bits, int32_t width, int32_t height, const Bytes &stream)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bits = bits;
    layout.compression = bits == 8 ? 1 : 2;
    layout.palette.assign(kRlePalette, kRlePalette + (bits == 8 ? 4 : 16));
    layout.clrUsed = static_cast<uint32_t>(layout.palette.size());
    layout.pixels = stream;
    return BuildBmp(layout);
}

Bytes Expand(const Bytes &indices)
{
    Bytes rgb;
    for (uint8_t i : indices)
        rgb.insert(rgb.end(), {kRlePalette[i].rgbRed, kRlePalette[i].rgbGreen, kRlePalette[i].rgbBlue});
    return rgb;
}

// 6 x 4: runs, an absolute run with its filler, end of line, deltas
// (skipped pixels keep entry 0) and the end of the bitmap.
const Bytes kRle8Stream = {
    0x02, 0x01, 0x00, 0x03, 0x02, 0x03, 0x01, 0x00, 0x01, 0x00,  // bottom row
    0x00, 0x00,                                                // end of line
    0x03, 0x02,                                                // row 2
    0x00, 0x02, 0x00, 0x01, 0x03, 0x01,                        // delta up 1, then row 1
    0x00, 0x00,                                                // end of line
    0x00, 0x02, 0x04, 0x00, 0x02, 0x03,                        // delta right 4, row 0
    0x00, 0x01,
};
const Bytes kRle8Indices = {
    0, 0, 0, 0, 3, 3,  //
    0, 0, 0, 1, 1, 1,  //
    2, 2, 2, 0, 0, 0,  //
    1, 1, 2, 3, 1, 0,
};

}  // namespace

TEST(ReadBmp, Rle8RunsDeltasAndAbsoluteRuns)
{
    Bytes file = RleFile(8, 6, 4, kRle8Stream);
    ReadOutcome r = ReadBmpBytes(file, 24);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.pixels, Expand(kRle8Indices));
    RGBQUAD palette[256] = {};
    ReadOutcome indices = ReadBmpBytes(file, 8, palette);
    EXPECT_EQ(indices.error, 0);
    EXPECT_EQ(indices.pixels, kRle8Indices);
    EXPECT_EQ(palette[1].rgbRed, 255);
    EXPECT_EQ(ReadGenericBytes(file).pixels, Expand(kRle8Indices));

    // Absolute runs of 4 bytes take no filler, of 3 they do.
    Bytes even = RleFile(8, 4, 1, {0x00, 0x04, 0x01, 0x02, 0x03, 0x01, 0x00, 0x01});
    EXPECT_EQ(ReadBmpBytes(even, 8, palette).pixels, Bytes({1, 2, 3, 1}));
}

TEST(ReadBmp, Rle4AbsoluteRunsReadTheirFillers)
{
    const Bytes stream = {
        0x05, 0x12, 0x00, 0x00,                          // bottom row: 1 2 1 2 1
        0x00, 0x03, 0x12, 0x30,                          // 3 pixels in 2 bytes
        0x00, 0x04, 0x45, 0x67,                          // 4 in 2
        0x00, 0x05, 0x89, 0xAB, 0xC0, 0x00,              // 5 in 3 and a filler
        0x00, 0x06, 0xDE, 0xF1, 0x23, 0x00,              // 6 in 3 and a filler
        0x00, 0x01,
    };
    Bytes file = RleFile(4, 18, 2, stream);
    Bytes expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 2, 3,
                      1, 2, 1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    RGBQUAD palette[256] = {};
    ReadOutcome r = ReadBmpBytes(file, 8, palette);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.pixels, expected);
    EXPECT_EQ(ReadBmpBytes(file, 24).pixels, Expand(expected));
}

TEST(ReadBmp, RleNeverWritesOutsideThePicture)
{
    RGBQUAD palette[256] = {};
    // A run longer than the row is cut at its end.
    Bytes longRun = RleFile(8, 4, 2, {0xFF, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x01});
    EXPECT_EQ(ReadBmpBytes(longRun, 8, palette).pixels, Bytes({2, 2, 0, 0, 1, 1, 1, 1}));
    // A delta past the right edge parks the column there.
    Bytes pastRight = RleFile(8, 4, 1, {0x00, 0x02, 0xFF, 0x00, 0x03, 0x01, 0x00, 0x02, 0xF0, 0x00,
                                        0x00, 0x03, 0x01, 0x01, 0x01, 0x00, 0x00, 0x01});
    EXPECT_EQ(ReadBmpBytes(pastRight, 8, palette).pixels, Bytes({0, 0, 0, 0}));
    // Deltas and lines past the top write nothing more.
    Bytes pastTop = RleFile(8, 2, 2, {0x02, 0x01, 0x00, 0x02, 0x00, 0xFF, 0x02, 0x03, 0x00, 0x00,
                                      0x02, 0x02, 0x00, 0x01});
    EXPECT_EQ(ReadBmpBytes(pastTop, 8, palette).pixels, Bytes({0, 0, 1, 1}));
    // An absolute RLE4 run past the row.
    Bytes rle4 = RleFile(4, 3, 1, {0x00, 0x08, 0x12, 0x34, 0x56, 0x78, 0x00, 0x01});
    EXPECT_EQ(ReadBmpBytes(rle4, 8, palette).pixels, Bytes({1, 2, 3}));
}

TEST(ReadBmp, RleWithoutEndOfBitmapReturnsTheImageWithReadError)
{
    Bytes file = RleFile(8, 6, 4, Bytes(kRle8Stream.begin(), kRle8Stream.end() - 2));
    ReadOutcome r = ReadBmpBytes(file, 24);
    EXPECT_TRUE(r.returned);
    EXPECT_EQ(r.error, kImgFileRead);
    EXPECT_EQ(r.pixels, Expand(kRle8Indices));
}

TEST(ReadBmp, RleRefusals)
{
    RGBQUAD palette[256] = {};
    // Top-down run-length files do not exist.
    EXPECT_EQ(ReadBmpBytes(RleFile(8, 6, -4, kRle8Stream), 24).error, kImgBadBmp);
    // RLE8 on a 4-bit file, and a compression beyond bit fields.
    BmpLayout odd;
    odd.width = 4;
    odd.height = 1;
    odd.bits = 4;
    odd.compression = 1;
    odd.palette.assign(kRlePalette, kRlePalette + 16);
    odd.pixels = {0x04, 0x11, 0x00, 0x01};
    EXPECT_EQ(ReadBmpBytes(BuildBmp(odd), 24).error, kImgBadBmp);
    odd.compression = 4;
    EXPECT_EQ(ReadBmpBytes(BuildBmp(odd), 24).error, kImgBadBmp);
    EXPECT_EQ(ReadBmpBytes(BuildBmp(odd), 8, palette).error, kImgBadBmp);
}

// ---------------------------------------------------------------------------
// The packed-DIB form and the information query.

TEST(ReadBmp, AsPackedDib)
{
    Fixture f = MakeFixture(kDepths[5]);  // 8 bits, 16 colours, top-down
    HISSRC src = OpenMemorySource(f.file.data(), static_cast<uint32_t>(f.file.size()));
    uint32_t w = 0, h = 0;
    Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
    CloseSource(src);
    ASSERT_NE(dib.Get(), nullptr);
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    // Header, 16 colours, then the rows exactly as stored.
    Bytes body(f.file.begin() + 14, f.file.end());
    EXPECT_EQ(dib.Copy(body.size()), body);

    // A core file becomes an info-header DIB.
    Fixture core = MakeFixture(kDepths[18]);
    src = OpenMemorySource(core.file.data(), static_cast<uint32_t>(core.file.size()));
    Result coreDib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
    CloseSource(src);
    ASSERT_NE(coreDib.Get(), nullptr);
    EXPECT_EQ(coreDib.Get()[0], 40);
    EXPECT_EQ(coreDib.Get()[32], 0) << "colours used 256 = 0x100";
    EXPECT_EQ(coreDib.Get()[33], 1);
    EXPECT_EQ(coreDib.Get()[40 + 4 * 3 + 2], core.expected.palette[3].rgbRed);

    // More colours than the depth can index is a bad file.
    BmpLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.bits = 1;
    layout.clrUsed = 1000;
    layout.pixels = {0, 0, 0, 0};
    Bytes tooMany = BuildBmp(layout);
    src = OpenMemorySource(tooMany.data(), static_cast<uint32_t>(tooMany.size()));
    EXPECT_EQ(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadBmp);
    CloseSource(src);
}

// ---------------------------------------------------------------------------
// Bad files never crash or hang and say what was wrong.

namespace {

Bytes Patch32(Bytes file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return file;
}

}  // namespace

TEST(ReadBmp, BadHeadersGiveTheirCodes)
{
    const Bytes good = PictureBmp(ColourPicture(5, 4), 24, false);
    RGBQUAD palette[256] = {};
    struct Case {
        const char *what;
        Bytes file;
        int32_t error24;
    };
    const Case cases[] = {
        {"not BM", [&] { Bytes b = good; b[0] = 'X'; return b; }(), kImgBadBmp},
        {"64-byte header", Patch32(good, 14, 64), kImgBadBmp},
        {"width 0", Patch32(good, 18, 0), kImgBadBmp},
        {"negative width", Patch32(good, 18, 0xFFFFFFFF), kImgBadBmp},
        {"height 0", Patch32(good, 22, 0), kImgBadBmp},
        {"height INT_MIN", Patch32(good, 22, 0x80000000), kImgBadBmp},
        {"huge width and height", Patch32(Patch32(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF), kImgOutOfMemory},
        {"100000 square", Patch32(Patch32(good, 18, 100000), 22, 100000), kImgOutOfMemory},
        {"bit count 2", [&] { Bytes b = good; b[28] = 2; return b; }(), kImgBadBmp},
        {"bit count 0", [&] { Bytes b = good; b[28] = 0; return b; }(), kImgBadBmp},
        {"data offset past the end", Patch32(good, 10, 0x7FFFFFF0), kImgBadBmp},
        {"data offset above 2 GB", Patch32(good, 10, 0xFFFFFFF0), kImgBadBmp},
        {"compression 7", Patch32(good, 30, 7), kImgBadBmp},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadBmpBytes(c.file, 24).error, c.error24) << c.what;
        EXPECT_FALSE(ReadBmpBytes(c.file, 24).returned) << c.what;
        EXPECT_NE(ReadBmpBytes(c.file, 8, palette).error, 0) << c.what;
        uint32_t w, h;
        HISSRC src = OpenMemorySource(c.file.data(), static_cast<uint32_t>(c.file.size()));
        Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
        CloseSource(src);
    }
}

TEST(ReadBmp, PaletteBitCountsThatCannotBeUnpacked)
{
    Fixture f = MakeFixture(kDepths[2]);  // 4 bits
    RGBQUAD palette[256] = {};
    for (uint8_t bits : {2, 3, 5, 6, 7}) {
        Bytes b = f.file;
        b[28] = bits;
        EXPECT_EQ(ReadBmpBytes(b, 8, palette).error, kImgBadBmp) << int(bits);
        EXPECT_EQ(ReadBmpBytes(b, 24).error, kImgBadBmp) << int(bits);
    }
    // More colours used than the palette can hold are read as 256.
    Bytes many = Patch32(MakeFixture(kDepths[4]).file, 46, 100000);
    EXPECT_EQ(ReadBmpBytes(many, 24).error, 0);
}

TEST(ReadBmp, TruncatedFilesAtEveryLength)
{
    for (const DepthCase &c : {kDepths[2], kDepths[10], kDepths[17]}) {
        Fixture f = MakeFixture(c);
        for (size_t len = 1; len < f.file.size(); ++len) {
            Bytes cut(f.file.begin(), f.file.begin() + len);
            // A short last row is used as far as it came; any earlier cut
            // is an error, with the rows made so far once they exist.
            ReadOutcome r = ReadBmpBytes(cut, 24);
            if (r.returned)
                EXPECT_TRUE(r.error == 0 || r.error == kImgFileRead) << c.what << " cut at " << len;
            else
                EXPECT_NE(r.error, 0) << c.what << " cut at " << len;
        }
    }
    // Cut inside the rows: the rows that came are there.
    Fixture f = MakeFixture(kDepths[10]);
    const size_t stride = 40;
    Bytes cut(f.file.begin(), f.file.begin() + 54 + 2 * stride);
    ReadOutcome r = ReadBmpBytes(cut, 24);
    EXPECT_TRUE(r.returned);
    EXPECT_EQ(r.error, kImgFileRead);
    EXPECT_EQ(Bytes(r.pixels.end() - 2 * kW * 3, r.pixels.end()),
              Bytes(f.expected.rgb.end() - 2 * kW * 3, f.expected.rgb.end()));
}

// Deterministic byte flips over every fixture: whatever comes out, nothing
// crashes (the sanitizer build watches every access).
TEST(ReadBmp, FlippedBytesNeverCrash)
{
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    RGBQUAD palette[256];
    for (const DepthCase &c : kDepths) {
        const Bytes good = MakeFixture(c).file;
        for (int round = 0; round < 12; ++round) {
            Bytes b = good;
            int flips = 1 + next() % 4;
            for (int i = 0; i < flips; ++i)
                b[next() % std::min<size_t>(b.size(), 80)] ^= static_cast<uint8_t>(1 + next() % 255);
            uint32_t w, h;
            HISSRC src = OpenMemorySource(b.data(), static_cast<uint32_t>(b.size()));
            for (uint32_t bits : {24u, 32u, 8u, 1u}) {
                SeekSource(src, 0, 0);
                Result image(ReadBMP(src, &w, &h, bits, palette, 0));
            }
            SeekSource(src, 0, 0);
            Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
            Result generic(ReadGeneric(src, &w, &h));
            CloseSource(src);
        }
    }
    SUCCEED();
}

TEST(ReadBmp, InformationQuery)
{
    Fixture f = MakeFixture(kDepths[5]);  // top-down 8 bits, 2835 pixels a metre
    HISSRC src = OpenMemorySource(f.file.data(), static_cast<uint32_t>(f.file.size()));
    CISIO io(src);
    OperationContext ctx;
    int32_t w = 0, h = 0;
    uint32_t bits = 0;
    BmpResolution res = {};
    EXPECT_TRUE(ReadBmpInfo(io, w, h, bits, &res, 0, ctx));
    EXPECT_EQ(w, static_cast<int32_t>(kW));
    EXPECT_EQ(h, -static_cast<int32_t>(kH)) << "the height as stored";
    EXPECT_EQ(bits, 8u);
    EXPECT_EQ(res.x, 28u);
    EXPECT_EQ(res.unit, 1u);
    io.Rewind();
    EXPECT_TRUE(ReadBmpInfo(io, w, h, bits, &res, 1, ctx));
    EXPECT_EQ(res.x, 2835u);
    EXPECT_EQ(res.unit, 2u);
    CloseSource(src);

    Fixture core = MakeFixture(kDepths[19]);
    src = OpenMemorySource(core.file.data(), static_cast<uint32_t>(core.file.size()));
    CISIO coreIo(src);
    EXPECT_TRUE(ReadBmpInfo(coreIo, w, h, bits, nullptr, 0, ctx));
    EXPECT_EQ(h, static_cast<int32_t>(kH));
    EXPECT_EQ(bits, 24u);
    EXPECT_EQ(ctx.error, 0);
    CloseSource(src);

    Bytes junk(30, 'x');
    src = OpenMemorySource(junk.data(), 30);
    CISIO junkIo(src);
    EXPECT_FALSE(ReadBmpInfo(junkIo, w, h, bits, nullptr, 0, ctx));
    EXPECT_EQ(ctx.error, kImgBadBmp);
    CloseSource(src);
}

// 32-bit bit fields other than the plain byte layout (as some programs
// write them): each channel by its mask, as 16-bit pixels are.
TEST(ReadBmp, ThirtyTwoBitFieldsFollowTheirMasks)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.bits = 32;
    layout.compression = 3;
    layout.masks = {0xFF000000, 0x00000FF0, 0x000FF000};  // red top byte, green bits 4-11
    const uint32_t pixels[3] = {0xAB0CD120, 0x00000FF0, 0xFF000000};
    for (uint32_t v : pixels)
        for (int i = 0; i < 4; ++i)
            layout.pixels.push_back(static_cast<uint8_t>(v >> (8 * i)));
    ReadOutcome r = ReadBmpBytes(BuildBmp(layout), 24);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.pixels, (Bytes{0xAB, 0x12, 0xCD, 0, 0xFF, 0, 0xFF, 0, 0}));
}
