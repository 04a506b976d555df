// PCX reader: planes, palettes, line runs, depths and damaged headers.
#include <gtest/gtest.h>

#include "readerkit.h"
#include "readertest.h"

using namespace readertest;

namespace {

PaletteOutcome ReadPcx(const Bytes &file, uint32_t depth, uint32_t flags = 0)
{
    return ReadWithPalette(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h, RGBQUAD *p) { return ReadPCX(s, w, h, depth, p, flags); },
        flags ? 0 : depth == 24 ? 3 : 1);
}

// A 128-byte header of our own, followed by the given line data.
Bytes PcxFile(uint32_t width, uint32_t height, uint32_t bitsPerPlane, uint32_t planes, uint32_t bytesPerLine,
              const Bytes &data)
{
    Bytes b{10, 5, 1, static_cast<uint8_t>(bitsPerPlane)};
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, width - 1);
    Le16(b, height - 1);
    b.resize(65, 0);
    b.push_back(static_cast<uint8_t>(planes));
    Le16(b, bytesPerLine);
    b.resize(128, 0);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

RGBQUAD At(const Bytes &rgb, size_t pixel)
{
    return RGBQUAD{rgb[3 * pixel + 2], rgb[3 * pixel + 1], rgb[3 * pixel], 0};
}

bool Same(const RGBQUAD &a, const RGBQUAD &b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Seeded lines of every kind of token: single bytes, escaped single bytes,
// empty runs, short and long runs, the longest run; a run across a line's
// end is cut there. The expected rows come from the tokens, not a decoder.
struct TokenLines {
    Bytes data;
    Bytes rows;
    // A place in the middle where a run begins: the bytes and rows before.
    size_t cutData = 0;
    size_t cutRows = 0;
};

TokenLines MakeTokenLines(uint32_t width, uint32_t height)
{
    TokenLines t;
    uint32_t seed = 7;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (uint32_t y = 0; y < height; ++y) {
        Bytes line;
        while (line.size() < width) {
            const uint32_t kind = next(16);
            const auto value = static_cast<uint8_t>(next(256));
            if (kind < 12 && value < 0xC0) {
                t.data.push_back(value);
                line.push_back(value);
                continue;
            }
            // An escaped single byte, or an empty, short, long or the longest run.
            const uint32_t runs[] = {0, 2 + next(15), 17 + next(46), 63};
            const uint32_t count = kind < 12 ? 1 : runs[kind - 12];
            if (!t.cutData && y == height / 2 && count > 1) {
                t.cutData = t.data.size();
                t.cutRows = t.rows.size() + line.size();
            }
            t.data.push_back(static_cast<uint8_t>(0xC0 | count));
            t.data.push_back(value);
            line.insert(line.end(), count, value);
        }
        line.resize(width);
        t.rows.insert(t.rows.end(), line.begin(), line.end());
    }
    return t;
}

}  // namespace

// netpbm's 16-colour file keeps its colours in four 1-bit planes and the
// header palette; read as indices they map to the encoder's own decode.
TEST(PcxRead, FourPlanesMapThroughTheHeaderPalette)
{
    PaletteOutcome r = ReadPcx(FixtureBytes("planes4.pcx"), 8);
    ASSERT_EQ(r.outcome.error, 0);
    const Bytes expected = FixtureBytes("planes4.pcx.rgb");
    for (size_t i = 0; i < r.outcome.pixels.size(); ++i) {
        ASSERT_LT(r.outcome.pixels[i], 16) << i;
        ASSERT_TRUE(Same(r.palette[r.outcome.pixels[i]], At(expected, i))) << i;
    }
    for (int i = 16; i < 256; ++i)
        EXPECT_TRUE(Same(r.palette[i], r.palette[0])) << i;
}

TEST(PcxRead, PaletteRules)
{
    // A 256-colour file whose marker byte is not 12 gets the grey ramp.
    Bytes noMarker = FixtureBytes("nb8.pcx");
    noMarker[noMarker.size() - 769] = 0;
    PaletteOutcome grey = ReadPcx(noMarker, 8);
    ASSERT_EQ(grey.outcome.error, 0);
    for (int i = 0; i < 256; i += 51)
        EXPECT_TRUE(Same(grey.palette[i], RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0})) << i;
    // A one-plane 1-bit file is black and white whatever its header says.
    Bytes mono = FixtureBytes("planes1.pcx");
    for (int i = 16; i < 64; ++i)
        mono[i] = static_cast<uint8_t>(i * 37);
    Outcome rgb = ReadMemory(mono, Generic(), 3);
    ASSERT_EQ(rgb.error, 0);
    EXPECT_TRUE(rgb.pixels == FixtureBytes("planes1.pcx.rgb"));
}

// A run that passes the end of a line is cut there: the next line starts
// with its own bytes.
TEST(PcxRead, RunsStopAtTheLineEnd)
{
    PaletteOutcome r = ReadPcx(PcxFile(4, 2, 8, 1, 4, {0xC6, 7, 1, 2, 3, 4}), 8);
    ASSERT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.outcome.pixels, (Bytes{7, 7, 7, 7, 1, 2, 3, 4}));
}

// Lines long enough for the word-wise decoding, over several blocks of
// the source; cut in the middle, between a run and its value, the rest
// is zeros.
TEST(PcxRead, LongLinesOfEveryToken)
{
    constexpr uint32_t kWidth = 1001;
    constexpr uint32_t kHeight = 80;
    const TokenLines t = MakeTokenLines(kWidth, kHeight);
    ASSERT_GT(t.data.size(), 3u * 4096);
    PaletteOutcome whole = ReadPcx(PcxFile(kWidth, kHeight, 8, 1, kWidth, t.data), 8);
    ASSERT_EQ(whole.outcome.error, 0);
    EXPECT_TRUE(whole.outcome.pixels == t.rows);
    const Bytes cutData(t.data.begin(), t.data.begin() + static_cast<ptrdiff_t>(t.cutData) + 1);
    PaletteOutcome cut = ReadPcx(PcxFile(kWidth, kHeight, 8, 1, kWidth, cutData), 8);
    ASSERT_EQ(cut.outcome.error, 0);
    Bytes expected(t.rows.begin(), t.rows.begin() + static_cast<ptrdiff_t>(t.cutRows));
    expected.resize(t.rows.size(), 0);
    EXPECT_TRUE(cut.outcome.pixels == expected);
}

// The source comes in blocks: a run just before, across or just after a
// block's end, reached by the word-wise steps at each of their alignments
// (lines of nine widths of single bytes).
TEST(PcxRead, RunsAtTheEndOfASourceBlock)
{
    constexpr uint32_t kHeight = 6;
    for (uint32_t width = 1000; width < 1009; ++width) {
        for (uint32_t at = ByteReader::kBlockBytes - 10; at < ByteReader::kBlockBytes + 2; ++at) {
            Bytes data;
            for (uint32_t i = 0; data.size() < width * kHeight; ++i)
                data.push_back(static_cast<uint8_t>(i % 0xC0));
            Bytes rows = data;
            data[at] = 0xC5;
            data.insert(data.begin() + at + 1, 0xEE);
            rows[at] = 0xEE;
            rows.insert(rows.begin() + at, 4, 0xEE);
            rows.resize(width * kHeight);
            PaletteOutcome r = ReadPcx(PcxFile(width, kHeight, 8, 1, width, data), 8);
            ASSERT_EQ(r.outcome.error, 0);
            EXPECT_TRUE(r.outcome.pixels == rows) << "width " << width << ", run at " << at;
        }
    }
}

TEST(PcxRead, CutFilesDecodeToZeros)
{
    const Bytes whole = FixtureBytes("im8.pcx");
    PaletteOutcome full = ReadPcx(whole, 8);
    PaletteOutcome cut = ReadPcx(Bytes(whole.begin(), whole.begin() + 128 + 300), 8);
    ASSERT_EQ(cut.outcome.error, 0);
    ASSERT_EQ(cut.outcome.pixels.size(), full.outcome.pixels.size());
    EXPECT_TRUE(Bytes(cut.outcome.pixels.begin(), cut.outcome.pixels.begin() + 37) ==
                Bytes(full.outcome.pixels.begin(), full.outcome.pixels.begin() + 37));
    EXPECT_EQ(Bytes(cut.outcome.pixels.end() - 37, cut.outcome.pixels.end()), Bytes(37, 0));
    // Lines of 4 x 65535 bytes over 65535 rows with no data behind the
    // header end at once, not after a walk over every missing byte.
    PaletteOutcome empty = ReadPcx(PcxFile(1, 65535, 1, 4, 65535, {0xC5}), 8);
    EXPECT_EQ(empty.outcome.error, 0);
    EXPECT_EQ(empty.outcome.height, 65535u);
}

TEST(PcxRead, HeadersAndDepths)
{
    Bytes backwards = PcxFile(4, 1, 8, 1, 4, {1, 2, 3, 4});
    backwards[4] = 10;  // xmin 10, xmax 3
    struct Case {
        const char *what;
        Bytes file;
        uint32_t depth;
        int32_t error;
        bool image;
    } cases[] = {
        {"a 24-bit file at 8 bits", FixtureBytes("im24.pcx"), 8, kImgWrongDepth, false},
        {"2-bit pixels", FixtureBytes("packed2.pcx"), 8, kImgUnexpected, true},
        {"xmax below xmin", backwards, 8, kImgBadPcx, false},
        {"lines shorter than the width", PcxFile(9, 1, 8, 1, 8, {}), 8, kImgBadPcx, false},
        {"4-bit lines shorter than the width", PcxFile(9, 1, 4, 1, 4, {}), 8, kImgBadPcx, false},
        {"24 bits in one plane", PcxFile(2, 1, 24, 1, 6, {1, 2, 3, 4, 5, 6}), 24, kImgUnexpected, true},
        {"depth 16 asked", FixtureBytes("im8.pcx"), 16, kImgBadParam, false},
        {"wrong version", Bytes{10, 4, 1, 8}, 8, kImgBadPcx, false},
    };
    for (const Case &c : cases) {
        PaletteOutcome r = ReadPcx(c.file, c.depth);
        EXPECT_EQ(r.outcome.error, c.error) << c.what;
        EXPECT_EQ(r.outcome.returned, c.image) << c.what;
    }
    // A 9-pixel 4-bit row fills all nine pixels.
    PaletteOutcome nine = ReadPcx(PcxFile(9, 1, 4, 1, 6, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xB0}), 8);
    EXPECT_EQ(nine.outcome.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(PcxRead, DibRows)
{
    PaletteOutcome r = ReadPcx(FixtureBytes("nb24.pcx"), 0, kReadAsDib);
    ASSERT_EQ(r.outcome.error, 0);
    const Bytes &dib = r.outcome.pixels;
    const Bytes expected = FixtureBytes("nb24.pcx.rgb");
    const uint32_t stride = (37 * 3 + 3) / 4 * 4;
    ASSERT_EQ(dib.size(), 40u + stride * 23);
    EXPECT_EQ(dib[14], 24);
    // The top row is the last in the DIB, blue first.
    const uint8_t *top = &dib[40 + stride * 22];
    EXPECT_EQ((Bytes{top[2], top[1], top[0]}), Bytes(expected.begin(), expected.begin() + 3));
    PaletteOutcome mono = ReadPcx(FixtureBytes("planes1.pcx"), 0, kReadAsDib);
    ASSERT_EQ(mono.outcome.error, 0);
    EXPECT_EQ(mono.outcome.pixels[14], 1);
    EXPECT_EQ(mono.outcome.pixels.size(), 40u + 8 + 8 * 23);
    EXPECT_EQ(mono.outcome.pixels[40 + 4 + 0], 255);  // entry 1 white
}
