// TGA reader: row order, packets across rows, 5-bit channels, colour maps,
// the footer, detection by content, and the index and DIB roads.
#include <gtest/gtest.h>

#include "readertest.h"

using namespace readertest;

namespace {

constexpr uint32_t kHeaderBytes = 18;

PaletteOutcome ReadTga(const Bytes &file, uint32_t bits, uint32_t flags = 0)
{
    return ReadWithPalette(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h, RGBQUAD *p) { return ReadTGA(s, w, h, bits, p, flags); },
        flags ? 0 : bits / 8);
}

Bytes TgaHeader(uint32_t type, uint32_t width, uint32_t height, uint32_t depth, uint32_t mapLength = 0,
                uint32_t mapBits = 0, uint32_t descriptor = 0)
{
    Bytes b{0, static_cast<uint8_t>(mapLength ? 1 : 0), static_cast<uint8_t>(type)};
    Le16(b, 0);
    Le16(b, mapLength);
    b.push_back(static_cast<uint8_t>(mapBits));
    Le32(b, 0);
    Le16(b, width);
    Le16(b, height);
    b.push_back(static_cast<uint8_t>(depth));
    b.push_back(static_cast<uint8_t>(descriptor));
    return b;
}

Bytes Footer(uint32_t extensionOffset)
{
    Bytes b;
    Le32(b, extensionOffset);
    Le32(b, 0);
    const char mark[] = "TRUEVISION-XFILE.";
    b.insert(b.end(), mark, mark + sizeof(mark));
    return b;
}

// The file with an extension area and a footer pointing at it.
Bytes WithFooter(Bytes file)
{
    const uint32_t extension = static_cast<uint32_t>(file.size());
    Bytes area(495, 0);
    area[0] = 0xEF;
    area[1] = 0x01;
    file.insert(file.end(), area.begin(), area.end());
    Bytes footer = Footer(extension);
    file.insert(file.end(), footer.begin(), footer.end());
    return file;
}

}  // namespace

TEST(TgaRead, RowOrderAndPacketsAcrossRows)
{
    // The same picture stored top row first, with the descriptor saying so.
    const Bytes bottomUp = FixtureBytes("t2.tga");
    Bytes topDown(bottomUp.begin(), bottomUp.begin() + kHeaderBytes);
    topDown[17] |= 0x20;
    const size_t row = 37 * 3;
    for (size_t y = 23; y-- > 0;)
        topDown.insert(topDown.end(), bottomUp.begin() + kHeaderBytes + y * row,
                       bottomUp.begin() + kHeaderBytes + (y + 1) * row);
    EXPECT_EQ(ReadTga(topDown, 24).outcome.pixels, FixtureBytes("t2.tga.rgb"));
    // A repeat packet of 3 over a 2x2 picture runs on into the second row.
    Bytes rle = TgaHeader(10, 2, 2, 24, 0, 0, 0x20);
    rle.insert(rle.end(), {0x82, 1, 2, 3, 0x00, 9, 8, 7});
    PaletteOutcome r = ReadTga(rle, 24);
    ASSERT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.outcome.pixels, (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 7, 8, 9}));
}

TEST(TgaRead, FiveBitChannelsAndColourMaps)
{
    // 0x7FFF: each 5-bit channel moved to the top of its byte.
    Bytes sixteen = TgaHeader(2, 1, 1, 16);
    Le16(sixteen, 0x7FFF);
    EXPECT_EQ(ReadTga(sixteen, 24).outcome.pixels, (Bytes{248, 248, 248}));
    // 24-bit map entries carry alpha 0; the colours are the encoder's.
    PaletteOutcome mapped = ReadTga(FixtureBytes("t1.tga"), 32);
    ASSERT_EQ(mapped.outcome.error, 0);
    const Bytes expected = FixtureBytes("t1.tga.rgb");
    for (size_t i = 0; i < 37 * 23; ++i) {
        ASSERT_EQ(Bytes(mapped.outcome.pixels.begin() + 4 * i, mapped.outcome.pixels.begin() + 4 * i + 3),
                  Bytes(expected.begin() + 3 * i, expected.begin() + 3 * i + 3));
        ASSERT_EQ(mapped.outcome.pixels[4 * i + 3], 0);
    }
    // 16-bit indices past the map's 256 entries are black and opaque.
    Bytes wide = TgaHeader(1, 2, 1, 16, 2, 24, 0x20);
    wide.insert(wide.end(), {10, 20, 30, 40, 50, 60});
    Le16(wide, 1);
    Le16(wide, 300);
    EXPECT_EQ(ReadTga(wide, 32).outcome.pixels, (Bytes{60, 50, 40, 0, 0, 0, 0, 255}));
}

TEST(TgaRead, IndicesAndMissingMaps)
{
    PaletteOutcome grey = ReadTga(FixtureBytes("t3.tga"), 8);
    ASSERT_EQ(grey.outcome.error, 0);
    for (int i = 0; i < 256; i += 85)
        EXPECT_EQ(grey.palette[i].rgbGreen, i);
    const Bytes greyRgb = FixtureBytes("t3.tga.rgb");
    EXPECT_EQ(grey.outcome.pixels[5], greyRgb[15]);
    PaletteOutcome mapped = ReadTga(FixtureBytes("t9.tga"), 8);
    ASSERT_EQ(mapped.outcome.error, 0);
    const Bytes expected = FixtureBytes("t9.tga.rgb");
    const RGBQUAD &c = mapped.palette[mapped.outcome.pixels[40]];
    EXPECT_EQ((Bytes{c.rgbRed, c.rgbGreen, c.rgbBlue}), Bytes(expected.begin() + 120, expected.begin() + 123));
    // A colour-mapped type without its map, on every road.
    Bytes noMap = TgaHeader(1, 1, 1, 8);
    noMap.push_back(0);
    for (uint32_t bits : {8u, 24u, 32u})
        EXPECT_EQ(ReadTga(noMap, bits).outcome.error, kImgBadTga) << bits;
    EXPECT_EQ(ReadTga(FixtureBytes("t2.tga"), 8).outcome.error, kImgWrongDepth);
    EXPECT_EQ(ReadTga(FixtureBytes("t2.tga"), 16).outcome.error, kImgBadParam);
}

TEST(TgaRead, FooterAndDetectionByContent)
{
    const Bytes footered = WithFooter(FixtureBytes("t10.tga"));
    PaletteOutcome r = ReadTga(footered, 24);
    EXPECT_EQ(r.outcome.error, 0);
    EXPECT_EQ(r.outcome.pixels, FixtureBytes("t10.tga.rgb"));
    // An extension offset past the end: the picture, with a read error.
    Bytes badExtension = FixtureBytes("t10.tga");
    const Bytes footer = Footer(0x7FFFFF00);
    badExtension.insert(badExtension.end(), footer.begin(), footer.end());
    PaletteOutcome bad = ReadTga(badExtension, 24);
    EXPECT_EQ(bad.outcome.error, kImgFileRead);
    EXPECT_EQ(bad.outcome.pixels, FixtureBytes("t10.tga.rgb"));

    // By content: a footered file named .dat, and from memory.
    imgtest::TempFolder dir;
    const std::string dat = dir.File("picture.dat");
    ASSERT_TRUE(imgtest::WriteFile(dat, footered));
    EXPECT_EQ(ReadPath(dat, Generic(), 3).pixels, FixtureBytes("t10.tga.rgb"));
    EXPECT_EQ(ReadMemory(footered, Generic(), 3).pixels, FixtureBytes("t10.tga.rgb"));
    // Without the footer or the name, 00 00 makes it a WBMP: an error, no crash.
    const std::string plain = dir.File("picture.bin");
    ASSERT_TRUE(imgtest::WriteFile(plain, FixtureBytes("t2.tga")));
    EXPECT_EQ(ReadPath(plain, Generic(), 3).error, kImgBadWbmp);
}

TEST(TgaRead, DibRoads)
{
    PaletteOutcome rgba = ReadTga(FixtureBytes("t2-32.tga"), 0, kReadAsDib);
    ASSERT_EQ(rgba.outcome.error, 0);
    EXPECT_EQ(rgba.outcome.pixels[14], 32);
    EXPECT_EQ(rgba.outcome.pixels.size(), 40u + 37 * 4 * 23);
    PaletteOutcome indexed = ReadTga(FixtureBytes("t1.tga"), 0, kReadAsDib);
    ASSERT_EQ(indexed.outcome.error, 0);
    EXPECT_EQ(indexed.outcome.pixels[14], 8);
    EXPECT_EQ(indexed.outcome.pixels.size(), 40u + 1024 + 40 * 23);
    // The first decoded row of a bottom-up file is the DIB's first row.
    PaletteOutcome plain = ReadTga(FixtureBytes("t2.tga"), 0, kReadAsDib);
    const Bytes file = FixtureBytes("t2.tga");
    EXPECT_TRUE(Bytes(plain.outcome.pixels.begin() + 40, plain.outcome.pixels.begin() + 40 + 111) ==
                Bytes(file.begin() + kHeaderBytes, file.begin() + kHeaderBytes + 111));
}
