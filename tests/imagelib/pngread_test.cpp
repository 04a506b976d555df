// PNG reader: every colour type and bit depth through the generic reader,
// compositing over bKGD or black, interlace progress, gamma and sRGB, cut
// files, the thread's text list, the other layouts, DIBs, the information
// query and mutated files.
#include <gtest/gtest.h>

#include "codecfixtures.h"
#include "codecreaders.h"

#include <cmath>
#include <cstring>

#include <png.h>
#include <zlib.h>

using namespace imgtest;

namespace {

uint8_t To8(uint16_t v, int depth)
{
    if (depth == 16)
        return static_cast<uint8_t>(v >> 8);
    return static_cast<uint8_t>(v * 255 / ((1u << depth) - 1));
}

uint8_t Over(double colour, double alpha, double background)
{
    return static_cast<uint8_t>(std::lround(colour * alpha + background * (1 - alpha)));
}

// The picture the recipe's samples show, composited over the background.
Bytes ExpectedRgb(const PngRecipe &recipe, const uint8_t background[3])
{
    const std::vector<uint16_t> s = recipe.samples.empty() ? PngPattern(recipe) : recipe.samples;
    const int channels = PngChannels(recipe.colourType);
    const double top = recipe.bitDepth == 16 ? 65535.0 : (1 << recipe.bitDepth) - 1;
    Bytes out;
    for (size_t p = 0; p < static_cast<size_t>(recipe.width) * recipe.height; ++p) {
        const uint16_t *px = &s[p * channels];
        double rgb[3];
        double alpha = 1;
        if (recipe.colourType == 3) {
            const RGBQUAD &q = recipe.palette[px[0]];
            rgb[0] = q.rgbRed, rgb[1] = q.rgbGreen, rgb[2] = q.rgbBlue;
            if (px[0] < recipe.trnsAlpha.size())
                alpha = recipe.trnsAlpha[px[0]] / 255.0;
        } else {
            const bool grey = recipe.colourType == 0 || recipe.colourType == 4;
            for (int c = 0; c < 3; ++c)
                rgb[c] = To8(px[grey ? 0 : c], recipe.bitDepth);
            if (recipe.colourType == 4 || recipe.colourType == 6)
                alpha = px[channels - 1] / top;
        }
        for (int c = 0; c < 3; ++c)
            out.push_back(Over(rgb[c], alpha, background[c]));
    }
    return out;
}

std::vector<RGBQUAD> Palette(uint32_t n)
{
    std::vector<RGBQUAD> p;
    for (uint32_t i = 0; i < n; ++i)
        p.push_back(RGBQUAD{static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i * 11), static_cast<BYTE>(i * 5 + 1), 0});
    return p;
}

PngRecipe Png(int colourType, int bitDepth)
{
    PngRecipe s;
    s.colourType = colourType;
    s.bitDepth = bitDepth;
    if (colourType == 3)
        s.palette = Palette(1u << (bitDepth < 8 ? bitDepth : 7));
    return s;
}

TEST(PngRead, EveryColourTypeAndDepthEqualsTheSourcePicture)
{
    const uint8_t black[3] = {0, 0, 0};
    const int depths[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1}, {3, 2},
                             {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (const auto &d : depths) {
        for (bool interlaced : {false, true}) {
            PngRecipe recipe = Png(d[0], d[1]);
            recipe.interlaced = interlaced;
            SCOPED_TRACE("colour type " + std::to_string(d[0]) + " depth " + std::to_string(d[1]) +
                         (interlaced ? " interlaced" : ""));
            ReadOutcome r = ReadGenericBytes(EncodePng(recipe));
            EXPECT_EQ(r.error, 0);
            EXPECT_EQ(r.width, recipe.width);
            EXPECT_EQ(r.height, recipe.height);
            // Straight samples are exact; composited ones within rounding.
            EXPECT_LE(MaxDifference(r.pixels, ExpectedRgb(recipe, black)), d[0] >= 4 ? 1 : 0);
        }
    }
}

TEST(PngRead, TransparencyIsCompositedOverTheFilesBackgroundOrBlack)
{
    PngRecipe palette = Png(3, 8);
    palette.trnsAlpha = {0, 64, 128, 255, 10};
    PngRecipe rgba = Png(6, 8);
    PngRecipe greyKey = Png(0, 8);
    greyKey.trnsColour = true;
    greyKey.trnsValue[0] = PngPattern(greyKey)[0];
    const uint8_t black[3] = {0, 0, 0};
    for (PngRecipe recipe : {palette, rgba}) {
        SCOPED_TRACE(recipe.colourType);
        EXPECT_LE(MaxDifference(ReadGenericBytes(EncodePng(recipe)).pixels, ExpectedRgb(recipe, black)), 1);
        recipe.background = true;
        const uint8_t bg[3] = {200, 100, 50};
        if (recipe.colourType == 3) {
            recipe.palette[3] = RGBQUAD{50, 100, 200, 0};
            recipe.backgroundValue[0] = 3;
        } else {
            recipe.backgroundValue[0] = 200, recipe.backgroundValue[1] = 100, recipe.backgroundValue[2] = 50;
        }
        ReadOutcome r = ReadGenericBytes(EncodePng(recipe));
        EXPECT_EQ(r.error, 0);
        EXPECT_LE(MaxDifference(r.pixels, ExpectedRgb(recipe, bg)), 1);
        EXPECT_EQ(GetThreadState()->png.lastBackground.red, 200);
    }
    // A grey key colour becomes the background too.
    ReadOutcome key = ReadGenericBytes(EncodePng(greyKey));
    EXPECT_EQ(key.pixels[0], 0);
    EXPECT_NE(key.pixels[3 * 1], 0);
}

std::vector<uint32_t> gReported;
BOOL WINAPI Record(uint32_t row, uint32_t, uint32_t)
{
    gReported.push_back(row);
    return TRUE;
}

TEST(PngRead, InterlacedFileReportsEachRowOnce)
{
    PngRecipe recipe = Png(2, 8);
    recipe.height = 10;
    recipe.interlaced = true;
    const Bytes file = EncodePng(recipe);
    gReported.clear();
    SetProgressCallback(Record, 0);
    ReadOutcome r = ReadGenericBytes(file);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(gReported, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

BOOL WINAPI Stop(uint32_t, uint32_t, uint32_t) { return FALSE; }

TEST(PngRead, AbortAndCutFilesKeepTheRowsRead)
{
    PngRecipe recipe = Png(2, 8);
    recipe.width = 128;
    recipe.height = 128;
    recipe.samples.resize(128 * 128 * 3);
    uint32_t seed = 99;
    for (uint16_t &v : recipe.samples)
        v = static_cast<uint16_t>((seed = seed * 1103515245u + 12345u) >> 24);
    const uint8_t black[3] = {0, 0, 0};
    const Bytes expected = ExpectedRgb(recipe, black);
    Bytes file = EncodePng(recipe);
    SetProgressCallback(Stop, 0);
    ReadOutcome stopped = ReadGenericBytes(file);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(stopped.error, 14);
    ASSERT_TRUE(stopped.returned);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 128 * 3, stopped.pixels.begin()));

    file.resize(file.size() / 2);
    ReadOutcome cut = ReadGenericBytes(file);
    EXPECT_EQ(cut.error, 15);
    ASSERT_TRUE(cut.returned);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 128 * 3 * 20, cut.pixels.begin()));
}

TEST(PngRead, GammaOnlyWithTheFlagAndNeverWithSrgb)
{
    PngRecipe recipe = Png(2, 8);
    recipe.gamma = 0.45455;  // what sRGB implies, so the file is consistent
    const Bytes plain = ReadPngBytes(EncodePng(recipe), 24, 0, 3).pixels;
    const Bytes corrected = ReadPngBytes(EncodePng(recipe), 24, kPngGamma, 3).pixels;
    EXPECT_GT(MaxDifference(plain, corrected), 20);
    recipe.srgb = true;
    EXPECT_EQ(ReadPngBytes(EncodePng(recipe), 24, kPngGamma, 3).pixels, plain);
}

// One picture stored linear (gAMA 1.0), for the usual screen (0.45455) and
// dark (2.5). Without the flag the samples are the file's own, composited
// only where there is alpha; with it each opaque 8-bit sample v becomes
// 255 (v / 255)^(1 / (file gamma x screen gamma)).
TEST(PngRead, GammaChunkIsAppliedOnlyWithTheFlag)
{
    const uint8_t black[3] = {0, 0, 0};
    const int types[][2] = {{2, 8}, {6, 8}, {6, 16}, {2, 16}};
    for (double gamma : {1.0, 0.45455, 2.5}) {
        SCOPED_TRACE("gAMA " + std::to_string(gamma));
        for (const auto &t : types) {
            SCOPED_TRACE("colour type " + std::to_string(t[0]) + " depth " + std::to_string(t[1]));
            PngRecipe recipe = Png(t[0], t[1]);
            recipe.gamma = gamma;
            const Bytes file = EncodePng(recipe);
            const Bytes own = ExpectedRgb(recipe, black);
            const int rounding = t[0] == 6 ? 1 : 0;
            EXPECT_LE(MaxDifference(ReadPngBytes(file, 24, 0, 3).pixels, own), rounding);
            EXPECT_LE(MaxDifference(ReadGenericBytes(file).pixels, own), rounding);
            if (t[0] == 6 || t[1] == 16)
                continue;
            const Bytes corrected = ReadPngBytes(file, 24, kPngGamma, 3).pixels;
            ASSERT_EQ(corrected.size(), own.size());
            const double exponent = 1 / (gamma * GetThreadState()->pngScreenGamma);
            for (size_t i = 0; i < own.size(); ++i)
                ASSERT_NEAR(corrected[i], 255 * std::pow(own[i] / 255.0, exponent), 1.0) << i;
        }
    }
}

TEST(PngRead, TextChunksOfTheLastReadOnly)
{
    PngRecipe recipe = Png(2, 8);
    recipe.texts = {{"Title", "plain", PNG_TEXT_COMPRESSION_NONE},
                  {"Comment", "squeezed", PNG_TEXT_COMPRESSION_zTXt},
                  {"Author", "international", PNG_ITXT_COMPRESSION_NONE}};
    ASSERT_EQ(ReadGenericBytes(EncodePng(recipe)).error, 0);
    const std::vector<PngTextEntry> &texts = GetThreadState()->png.texts;
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].keyword, "Title");
    EXPECT_EQ(texts[0].text, "plain");
    EXPECT_EQ(texts[0].compressed, 0u);
    EXPECT_EQ(texts[1].keyword, "Comment");
    EXPECT_EQ(texts[1].compressed, 1u);
    Bytes broken = EncodePng(recipe);
    broken.resize(60);
    EXPECT_EQ(ReadGenericBytes(broken).error, 15);
    EXPECT_TRUE(GetThreadState()->png.texts.empty());
}

struct LayoutCase {
    const char *what;
    int colourType;
    int bitDepth;
    uint32_t depth;
    uint32_t flags;
    int error;
};

TEST(PngRead, LayoutsByDepth)
{
    const LayoutCase cases[] = {
        {"RGB at 8", 2, 8, 8, 0, 28},          {"RGB at 1", 2, 8, 1, 0, 28},
        {"grey 8 at 1", 0, 8, 1, 0, 17},       {"grey 1 at 1", 0, 1, 1, 0, 0},
        {"palette 4 at 8", 3, 4, 8, 0, 0},     {"grey+alpha at 16", 4, 8, 16, 0, 0},
        {"RGB at 16", 2, 8, 16, 0, 28},        {"grey 16 at 16 grey", 0, 16, 16, kPngGrey16, 0},
        {"grey 1 at 16 grey", 0, 1, 16, kPngGrey16, 28},
        {"grey+alpha 16 at 16 grey", 4, 16, 16, kPngGrey16, 28},
        {"RGBA at 32", 6, 8, 32, 0, 0},        {"palette at 32", 3, 8, 32, 0, 0},
        {"RGB 16 at 48", 2, 16, 48, 0, 0},     {"RGB 8 at 48", 2, 8, 48, 0, 17},
        {"RGBA 16 at 64", 6, 16, 64, 0, 0},    {"grey 8 at 64", 0, 8, 64, 0, 17},
        {"depth 7", 2, 8, 7, 0, 5},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.what);
        RGBQUAD palette[256];
        ReadOutcome r = ReadPngBytes(EncodePng(Png(c.colourType, c.bitDepth)), c.depth, c.flags, 0, palette);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.returned, c.error == 0);
    }
}

TEST(PngRead, IndexLayoutsCarryTheirPalette)
{
    // Grey 4-bit at 8: indices 0..15, the ramp 0, 17, ... 255, the rest entry 0.
    PngRecipe grey = Png(0, 4);
    RGBQUAD palette[256];
    ReadOutcome r = ReadPngBytes(EncodePng(grey), 8, 0, 1, palette);
    ASSERT_EQ(r.error, 0);
    const std::vector<uint16_t> s = PngPattern(grey);
    for (size_t i = 0; i < r.pixels.size(); ++i)
        ASSERT_EQ(r.pixels[i], s[i]);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(palette[i].rgbRed, i * 17);
    EXPECT_EQ(palette[16].rgbRed, 0);
    EXPECT_EQ(palette[255].rgbReserved, 255);

    // Palette with tRNS: the alpha values in the fourth bytes at depth 8.
    PngRecipe indexed = Png(3, 8);
    indexed.trnsAlpha = {7, 77};
    ReadOutcome p = ReadPngBytes(EncodePng(indexed), 8, 0, 1, palette);
    ASSERT_EQ(p.error, 0);
    EXPECT_EQ(palette[0].rgbReserved, 7);
    EXPECT_EQ(palette[1].rgbReserved, 77);
    EXPECT_EQ(palette[2].rgbReserved, 255);
    EXPECT_EQ(palette[5].rgbRed, indexed.palette[5].rgbRed);

    // 16-bit grey, low byte first.
    ReadOutcome g16 = ReadPngBytes(EncodePng(Png(0, 16)), 16, kPngGrey16, 2);
    const std::vector<uint16_t> s16 = PngPattern(Png(0, 16));
    ASSERT_EQ(g16.pixels.size(), s16.size() * 2);
    for (size_t i = 0; i < s16.size(); ++i)
        ASSERT_EQ(g16.pixels[2 * i] | g16.pixels[2 * i + 1] << 8, s16[i]);
}

TEST(PngRead, DibsFromTheFilesDepth)
{
    struct DibCase {
        int colourType;
        int bitDepth;
        uint16_t dibBits;
        uint32_t colours;
    } cases[] = {{0, 1, 1, 2}, {3, 2, 4, 16}, {3, 4, 4, 16}, {3, 8, 8, 256}, {0, 4, 8, 256},
                 {2, 16, 24, 0}, {6, 8, 32, 0}, {4, 8, 32, 0}};
    for (const DibCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.colourType) + "/" + std::to_string(c.bitDepth));
        PngRecipe recipe = Png(c.colourType, c.bitDepth);
        recipe.physMetre = true;
        recipe.physX = 2835;
        recipe.physY = 3000;
        const Bytes file = EncodePng(recipe);
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        uint32_t w = 0;
        uint32_t h = 0;
        Result dib(ReadPNG(src, &w, &h, 0, nullptr, kPngAsDib));
        CloseSource(src);
        ASSERT_NE(dib.Get(), nullptr);
        BITMAPINFOHEADER bi;
        memcpy(&bi, dib.Get(), sizeof(bi));
        EXPECT_EQ(bi.biBitCount, c.dibBits);
        EXPECT_EQ(bi.biClrUsed, c.colours);
        EXPECT_EQ(bi.biXPelsPerMeter, 2835);
        EXPECT_EQ(bi.biYPelsPerMeter, 3000);
        // The top row of the picture is the last DIB row; compare its first
        // pixel with the generic read.
        const uint8_t black[3] = {0, 0, 0};
        const Bytes rgb = ExpectedRgb(recipe, black);
        const uint32_t stride = (w * c.dibBits + 31) / 32 * 4;
        const BYTE *top = dib.Get() + 40 + 4 * c.colours + static_cast<size_t>(h - 1) * stride;
        if (c.dibBits == 32) {
            // Alpha stays: the first pixel's own samples, blue first.
            const std::vector<uint16_t> px = PngPattern(recipe);
            const bool grey = c.colourType == 4;
            EXPECT_EQ(top[0], To8(px[grey ? 0 : 2], c.bitDepth));
            EXPECT_EQ(top[2], To8(px[0], c.bitDepth));
            EXPECT_EQ(top[3], To8(px[grey ? 1 : 3], c.bitDepth));
        } else if (c.dibBits == 24) {
            EXPECT_EQ(top[0], rgb[2]);
            EXPECT_EQ(top[2], rgb[0]);
        } else {
            const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(dib.Get() + 40);
            const uint32_t index = c.dibBits == 8 ? top[0] : c.dibBits == 4 ? top[0] >> 4 : top[0] >> 7;
            EXPECT_EQ(table[index].rgbRed, rgb[0]);
        }
    }
}

TEST(PngRead, InformationQuery)
{
    PngRecipe recipe = Png(3, 4);
    recipe.trnsAlpha = {1, 2, 3};
    recipe.physMetre = true;
    recipe.physX = 100;
    recipe.physY = 200;
    recipe.interlaced = true;
    const Bytes file = EncodePng(recipe);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    CISIO io(src);
    OperationContext ctx;
    PngInfo info;
    RGBQUAD palette[256];
    ASSERT_TRUE(ReadPngInfo(io, info, palette, ctx));
    CloseSource(src);
    EXPECT_EQ(info.width, 9u);
    EXPECT_EQ(info.bitDepth, 4);
    EXPECT_EQ(info.colourType, 3);
    EXPECT_EQ(info.interlace, 1);
    EXPECT_EQ(info.paletteCount, 16u);
    EXPECT_EQ(info.transparentIndex, -1);
    EXPECT_EQ(info.resolution[1], 200u);
    EXPECT_EQ(info.resolution[2], 1u);
    EXPECT_EQ(palette[2].rgbReserved, 3);
}

void PutBe32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

TEST(PngRead, MutatedFilesFailSoundly)
{
    const Bytes good = EncodePng(Png(6, 8));
    // IHDR patched to 60000 x 60000 with a correct CRC: too big, refused
    // before any allocation.
    Bytes huge = good;
    PutBe32(huge, 16, 60000);
    PutBe32(huge, 20, 60000);
    PutBe32(huge, 29, static_cast<uint32_t>(crc32(0, huge.data() + 12, 17)));
    EXPECT_EQ(ReadGenericBytes(huge).error, 1);
    // A text chunk behind the image data that claims 2 GB in a small file
    // (found by fuzzing): refused by the allocation limit, not allocated
    // and cleared; the complete picture comes back with 15.
    Bytes claim = good;
    const uint8_t text[] = {0x7F, 0xFF, 0xFF, 0x00, 't', 'E', 'X', 't', 'k', 0, 'v'};
    claim.insert(claim.end() - 12, text, text + sizeof(text));
    ReadOutcome claimed = ReadGenericBytes(claim);
    EXPECT_EQ(claimed.error, 15);
    EXPECT_TRUE(claimed.returned);
    Mutator mutator(good, 5);
    for (int i = 0; i < 300; ++i) {
        const Bytes bad = mutator.Next();
        ReadOutcome r = ReadPngBytes(bad, 24, 0, 3);
        EXPECT_TRUE(r.error == 0 || r.error == 15 || r.error == 1) << r.error;
    }
}

TEST(PngRead, ThreadsKeepTheirOwnTextsAndErrors)
{
    // One thread reads good files, the other cut ones: each keeps its own
    // text list and its own last error.
    EXPECT_TRUE(BothThreadsPass([](int worker) {
        PngRecipe recipe = Png(2, 8);
        recipe.texts = {{"Who", worker ? "B" : "A", PNG_TEXT_COMPRESSION_NONE}};
        Bytes file = EncodePng(recipe);
        const bool cut = worker == 1;
        if (cut)
            file.resize(file.size() - 20);
        for (int i = 0; i < 20; ++i) {
            const int error = ReadGenericBytes(file).error;
            const std::vector<PngTextEntry> &texts = GetThreadState()->png.texts;
            if (cut ? error != 15 || !texts.empty() : error != 0 || texts.size() != 1 || texts[0].text != "A")
                return false;
        }
        return true;
    }));
}

}  // namespace
