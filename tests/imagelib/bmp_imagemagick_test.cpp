// Cross-checks the BMP reader against files written by an encoder that is
// not ours: ImageMagick, run on this machine from a synthetic picture.
// Native only (the tests under Wine cannot start a Linux program).
#include <gtest/gtest.h>

#include "imgtest.h"

#include <cstdlib>
#include <string>

using namespace imgtest;

namespace {

constexpr uint32_t kW = 23;
constexpr uint32_t kH = 9;

// A picture of four colours in bands and blocks, so that palette and RLE
// encodings stay lossless and have runs to compress.
Bytes FourColourRgb()
{
    const uint8_t colours[4][3] = {{200, 30, 40}, {10, 160, 90}, {250, 250, 250}, {5, 5, 120}};
    Bytes rgb;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const uint8_t *c = colours[(x / 5 + y / 3 + (x == y ? 1 : 0)) % 4];
            rgb.insert(rgb.end(), c, c + 3);
        }
    return rgb;
}

Bytes TwoColourRgb()
{
    Bytes rgb;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            uint8_t v = ((x + y) % 3 == 0) ? 255 : 0;
            rgb.insert(rgb.end(), {v, v, v});
        }
    return rgb;
}

Bytes ManyColourRgb()
{
    Bytes rgb;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            uint32_t i = (x + y * 3) % 40;
            rgb.insert(rgb.end(), {static_cast<uint8_t>(i * 6), static_cast<uint8_t>(255 - i * 5),
                                   static_cast<uint8_t>(i * 3 + 7)});
        }
    return rgb;
}

enum class Source { kTwo, kFour, kMany };

Bytes SourceRgb(Source s)
{
    switch (s) {
    case Source::kTwo:
        return TwoColourRgb();
    case Source::kFour:
        return FourColourRgb();
    default:
        return ManyColourRgb();
    }
}

bool WritePpm(const std::string &path, const Bytes &rgb)
{
    std::string header = "P6\n" + std::to_string(kW) + " " + std::to_string(kH) + "\n255\n";
    Bytes file(header.begin(), header.end());
    file.insert(file.end(), rgb.begin(), rgb.end());
    return WriteFile(path, file);
}

bool Convert(const std::string &args)
{
    std::string cmd = std::string(WYN_CONVERT) + " " + args + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

struct ConvertCase {
    const char *what;
    const char *options;
    Source source;
    uint16_t bits;        // expected bit count in the file
    uint32_t compression;
};

}  // namespace

TEST(ImageMagickBmp, ReadsWhatAnotherEncoderWrote)
{
    if (std::system((std::string("test -x ") + WYN_CONVERT).c_str()) != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    const ConvertCase cases[] = {
        {"24 bits, info header", "-type TrueColor BMP3:", Source::kMany, 24, 0},
        {"24 bits, top-down", "-type TrueColor -define bmp:top-down=true BMP3:", Source::kFour, 24, 0},
        {"8-bit palette", "-type Palette -compress None BMP3:", Source::kMany, 8, 0},
        {"4-bit palette", "-type Palette -compress None BMP3:", Source::kFour, 4, 0},
        {"RLE8", "-type Palette -compress RLE BMP3:", Source::kMany, 8, 1},
        {"RLE8 of four colours", "-type Palette -compress RLE BMP3:", Source::kFour, 8, 1},
        {"core header, 8 bits", "-type Palette BMP2:", Source::kMany, 8, 0},
        {"core header, 4 bits", "-type Palette BMP2:", Source::kFour, 4, 0},
        {"1 bit", "-type Bilevel BMP3:", Source::kTwo, 1, 0},
        {"core header, 1 bit", "-type Bilevel BMP2:", Source::kTwo, 1, 0},
    };
    TempFolder dir;
    const std::string inputs[] = {dir.File("two.ppm"), dir.File("four.ppm"), dir.File("many.ppm")};
    for (Source s : {Source::kTwo, Source::kFour, Source::kMany})
        ASSERT_TRUE(WritePpm(inputs[static_cast<int>(s)], SourceRgb(s)));
    int n = 0;
    for (const ConvertCase &c : cases) {
        const std::string out = dir.File("im" + std::to_string(n++) + ".bmp");
        ASSERT_TRUE(Convert(inputs[static_cast<int>(c.source)] + " " + c.options + out)) << c.what;
        Bytes file = ReadFile(out);
        ASSERT_GT(file.size(), 30u) << c.what;
        const bool core = file[14] == 12;
        EXPECT_EQ(core ? file[24] : file[28], c.bits) << c.what;
        if (!core)
            EXPECT_EQ(file[30], c.compression) << c.what;
        ReadOutcome r = ReadBmpBytes(file, 24);
        EXPECT_EQ(r.error, 0) << c.what;
        EXPECT_EQ(r.width, kW) << c.what;
        EXPECT_EQ(r.height, kH) << c.what;
        EXPECT_EQ(r.pixels, SourceRgb(c.source)) << c.what;
    }
}

// What ImageMagick writes by default: the V5 header (124 bytes), or with no
// rendering intent the V4 header (108 bytes). Each is read at 24 bits, the
// palette ones at 8 bits as well, and as a DIB with the 40-byte header.
TEST(ImageMagickBmp, ReadsTheV4AndV5HeadersEditorsWriteByDefault)
{
    if (std::system((std::string("test -x ") + WYN_CONVERT).c_str()) != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    constexpr const char *kV4 = "-intent Undefined ";
    struct HeaderCase {
        std::string options;
        Source source;
        uint8_t header;
        uint16_t bits;
        uint32_t compression;
    };
    const HeaderCase cases[] = {
        {"-type TrueColor BMP:", Source::kMany, 124, 24, 0},
        {std::string(kV4) + "-type TrueColor BMP:", Source::kMany, 108, 24, 0},
        {"-type TrueColorAlpha BMP:", Source::kMany, 124, 32, 3},
        {std::string(kV4) + "-type TrueColorAlpha BMP:", Source::kFour, 108, 32, 3},
        {"-type Palette -compress None BMP:", Source::kMany, 124, 8, 0},
        {std::string(kV4) + "-type Palette -compress None BMP:", Source::kMany, 108, 8, 0},
        {"-type Palette -compress None BMP:", Source::kFour, 124, 4, 0},
        {std::string(kV4) + "-type Bilevel BMP:", Source::kTwo, 108, 1, 0},
        {"-type Palette -compress RLE BMP:", Source::kMany, 124, 8, 1},
        {std::string(kV4) + "-type Palette -compress RLE BMP:", Source::kFour, 108, 8, 1},
    };
    TempFolder dir;
    const std::string inputs[] = {dir.File("two.ppm"), dir.File("four.ppm"), dir.File("many.ppm")};
    for (Source s : {Source::kTwo, Source::kFour, Source::kMany})
        ASSERT_TRUE(WritePpm(inputs[static_cast<int>(s)], SourceRgb(s)));
    int n = 0;
    for (const HeaderCase &c : cases) {
        const std::string what = c.options + " from source " + std::to_string(static_cast<int>(c.source));
        const std::string out = dir.File("v" + std::to_string(n++) + ".bmp");
        ASSERT_TRUE(Convert(inputs[static_cast<int>(c.source)] + " " + c.options + out)) << what;
        const Bytes file = ReadFile(out);
        ASSERT_GT(file.size(), 14u + c.header) << what;
        ASSERT_EQ(file[14], c.header) << what;
        ASSERT_EQ(file[28], c.bits) << what;
        ASSERT_EQ(file[30], c.compression) << what;
        const Bytes rgb = SourceRgb(c.source);
        ReadOutcome r = ReadBmpBytes(file, 24);
        EXPECT_EQ(r.error, 0) << what;
        EXPECT_EQ(r.width, kW) << what;
        EXPECT_EQ(r.height, kH) << what;
        EXPECT_EQ(r.pixels, rgb) << what;
        if (c.bits <= 8) {
            RGBQUAD palette[256] = {};
            ReadOutcome indexed = ReadBmpBytes(file, 8, palette);
            ASSERT_EQ(indexed.error, 0) << what;
            Bytes shown;
            for (BYTE i : indexed.pixels)
                shown.insert(shown.end(), {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue});
            EXPECT_EQ(shown, rgb) << what;
        }
        if (c.compression == 1)
            continue;
        // The DIB: the 40-byte header, the masks or palette, the file's rows.
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        uint32_t w = 0, h = 0;
        Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
        CloseSource(src);
        ASSERT_NE(dib.Get(), nullptr) << what;
        EXPECT_EQ(Bytes(dib.Get(), dib.Get() + 4), Bytes({40, 0, 0, 0})) << what;
        const size_t colours = c.bits <= 8 ? 4u * (file[46] | file[47] << 8) : (c.compression == 3 ? 12 : 0);
        const size_t dataOffset = file[10] | file[11] << 8;
        const size_t imageBytes = file.size() - dataOffset;
        EXPECT_EQ(dib.Copy(40 + colours + imageBytes), [&] {
            Bytes expected(file.begin() + 14, file.begin() + 14 + 40);
            expected[0] = 40;
            const size_t colourAt = c.compression == 3 ? 14 + 40 : 14 + c.header;
            expected.insert(expected.end(), file.begin() + colourAt, file.begin() + colourAt + colours);
            expected.insert(expected.end(), file.begin() + dataOffset, file.end());
            return expected;
        }()) << what;
    }
    // Headers of other sizes are still refused.
    Bytes file = ReadFile(dir.File("v0.bmp"));
    file[14] = 64;
    EXPECT_EQ(ReadBmpBytes(file, 24).error, kImgBadBmp);
}

// Our writer's files read back by ImageMagick: the same pixels.
TEST(ImageMagickBmp, ReadsWhatOurWriterWrote)
{
    if (std::system((std::string("test -x ") + WYN_CONVERT).c_str()) != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    const Bytes rgb = FourColourRgb();
    const std::string path = dir.File("ours.bmp");
    HISDEST dest = OpenFileDest(path.c_str(), FALSE);
    WriteBMP(dest, rgb.data(), kW, kH, 24, 0, nullptr, nullptr, 0);
    CloseDest(dest);
    const std::string ppm = dir.File("back.ppm");
    ASSERT_TRUE(Convert(path + " -depth 8 " + ppm));
    Bytes back = ReadFile(ppm);
    ASSERT_GE(back.size(), rgb.size());
    EXPECT_EQ(Bytes(back.end() - rgb.size(), back.end()), rgb);
}
