// WBMP reader: row forms, the multi-byte integers, and damaged files.
#include <gtest/gtest.h>

#include "readertest.h"

using namespace readertest;

namespace {

PaletteOutcome ReadWbmp(const Bytes &file, uint32_t bits, uint32_t flags, uint32_t bytesPerPixel)
{
    return ReadWithPalette(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h, RGBQUAD *p) { return ReadWBMP(s, w, h, p, bits, flags); },
        bytesPerPixel);
}

// 10 x 2: rows 1100110011 and 0000000001.
const Bytes kTenByTwo = {0, 0, 10, 2, 0xCC, 0xC0, 0x00, 0x40};

}  // namespace

TEST(WbmpRead, RowForms)
{
    PaletteOutcome packed = ReadWbmp(kTenByTwo, 1, 0, kPackedMono);
    ASSERT_EQ(packed.outcome.error, 0);
    EXPECT_EQ(packed.outcome.pixels, (Bytes{0xCC, 0xC0, 0x00, 0x40}));
    PaletteOutcome bytes = ReadWbmp(kTenByTwo, 8, 0, 1);
    ASSERT_EQ(bytes.outcome.error, 0);
    EXPECT_EQ(bytes.outcome.pixels, (Bytes{1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(bytes.palette[0].rgbRed, 0);
    EXPECT_EQ(bytes.palette[1].rgbReserved, 255);
    PaletteOutcome dib = ReadWbmp(kTenByTwo, 0, kReadAsDib, 0);
    ASSERT_EQ(dib.outcome.error, 0);
    ASSERT_EQ(dib.outcome.pixels.size(), 40u + 8 + 8);
    EXPECT_EQ(dib.outcome.pixels[14], 1);
    // Rows of 4 bytes, the file's first row last.
    EXPECT_EQ(Bytes(dib.outcome.pixels.begin() + 48, dib.outcome.pixels.end()),
              (Bytes{0x00, 0x40, 0, 0, 0xCC, 0xC0, 0, 0}));
    // Through the generic reader: black and white. (A memory source under
    // 18 bytes has no footer to read and is not recognised at all.)
    Bytes tenByEight = {0, 0, 10, 8, 0xCC, 0xC0, 0x00, 0x40};
    tenByEight.resize(4 + 16, 0);
    Outcome rgb = ReadMemory(tenByEight, Generic(), 3);
    ASSERT_EQ(rgb.error, 0);
    EXPECT_EQ(Bytes(rgb.pixels.begin(), rgb.pixels.begin() + 9), (Bytes{255, 255, 255, 255, 255, 255, 0, 0, 0}));
}

TEST(WbmpRead, IntegersAndDamage)
{
    // 200 is stored as 81 48.
    Bytes wide = {0, 0, 0x81, 0x48, 1};
    wide.resize(wide.size() + 25, 0xFF);
    PaletteOutcome r = ReadWbmp(wide, 1, 0, kPackedMono);
    EXPECT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.outcome.width, 200u);
    struct Case {
        const char *what;
        Bytes file;
        int32_t error;
        bool image;
    } cases[] = {
        {"type field 00 01", {0, 1, 2, 2, 0xC0, 0xC0}, kImgBadWbmp, false},
        {"a five-byte integer", {0, 0, 0x81, 0x80, 0x80, 0x80, 0x00, 1, 0}, kImgBadWbmp, false},
        {"a value above 65535", {0, 0, 0x84, 0x80, 0x00, 1, 0}, kImgBadWbmp, false},
        {"zero height", {0, 0, 2, 0}, kImgBadWbmp, false},
        {"a cut row", {0, 0, 10, 2, 0xCC, 0xC0, 0x00}, kImgFileRead, true},
    };
    for (const Case &c : cases) {
        PaletteOutcome bad = ReadWbmp(c.file, 8, 0, 1);
        EXPECT_EQ(bad.outcome.error, c.error) << c.what;
        EXPECT_EQ(bad.outcome.returned, c.image) << c.what;
    }
    // A cut file keeps the rows that came.
    PaletteOutcome cut = ReadWbmp({0, 0, 10, 2, 0xCC, 0xC0, 0x00}, 8, 0, 1);
    EXPECT_EQ(cut.outcome.pixels[0], 1);
    EXPECT_EQ(ReadWbmp(kTenByTwo, 8, 0, 1).outcome.error, 0);
}
