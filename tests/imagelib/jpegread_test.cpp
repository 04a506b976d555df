// JPEG reader: the generic reader's 24-bit road over every common coding,
// CMYK and YCCK, the thread's comment and marker lists, cut and empty files,
// abort, the other layouts, and mutated files.
#include <gtest/gtest.h>

#include "codecfixtures.h"
#include "codecreaders.h"

#include <cstring>

#include <cstdio>
#include <jpeglib.h>

using namespace imgtest;

namespace {

struct CodingCase {
    const char *what;
    JpegRecipe recipe;
};

JpegRecipe Recipe(int components, int h, int v)
{
    JpegRecipe s;
    s.width = 37;
    s.height = 21;
    s.components = components;
    s.hSample = h;
    s.vSample = v;
    return s;
}

std::vector<CodingCase> Codings()
{
    std::vector<CodingCase> cases = {
        {"grey", Recipe(1, 1, 1)},      {"4:2:0", Recipe(3, 2, 2)},      {"4:2:2", Recipe(3, 2, 1)},
        {"4:4:4", Recipe(3, 1, 1)},     {"progressive", Recipe(3, 2, 2)}, {"restart intervals", Recipe(3, 2, 2)},
        {"arithmetic", Recipe(3, 2, 2)},
    };
    cases[4].recipe.progressive = true;
    cases[5].recipe.restartRows = 1;
    cases[6].recipe.arithmetic = true;
    return cases;
}

TEST(JpegRead, GenericReadEqualsTheLibrarysOwnDecode)
{
    for (const CodingCase &c : Codings()) {
        SCOPED_TRACE(c.what);
        const Bytes file = EncodeJpeg(c.recipe);
        uint32_t w = 0;
        uint32_t h = 0;
        const Bytes expected = DecodeJpegDirect(file, w, h);
        ReadOutcome r = ReadGenericBytes(file);
        EXPECT_EQ(r.error, 0);
        ASSERT_TRUE(r.returned);
        EXPECT_EQ(r.width, c.recipe.width);
        EXPECT_EQ(r.height, c.recipe.height);
        EXPECT_EQ(r.pixels, expected);
    }
}

TEST(JpegRead, CmykAndYcckBecomeRgbByTheBlackChannel)
{
    for (bool ycck : {false, true}) {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        JpegRecipe recipe = Recipe(4, 1, 1);
        recipe.ycck = ycck;
        const Bytes file = EncodeJpeg(recipe);
        uint32_t w = 0;
        uint32_t h = 0;
        const Bytes cmyk = DecodeJpegDirect(file, w, h);
        Bytes expected;
        for (size_t i = 0; i < cmyk.size(); i += 4)
            for (int c = 0; c < 3; ++c)
                expected.push_back(static_cast<uint8_t>(cmyk[i + c] * cmyk[i + 3] / 255));
        ReadOutcome r = ReadGenericBytes(file);
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(r.pixels, expected);
        // Raw: the four bytes as libjpeg delivers them.
        ReadOutcome raw = ReadJpgBytes(file, 32, kJpegRawCmyk, 4);
        EXPECT_EQ(raw.error, 0);
        EXPECT_EQ(raw.pixels, cmyk);
    }
}

size_t CountOf(const ISPtrVector<CFileDataTag> &list) { return list.Count(); }

TEST(JpegRead, CommentsAndApplicationMarkersLandInTheThreadsLists)
{
    JpegRecipe recipe = Recipe(3, 2, 2);
    recipe.markers.push_back({JPEG_COM, "first note"});
    for (int n = 1; n <= 15; ++n)
        recipe.markers.push_back({JPEG_APP0 + n, "app" + std::to_string(n)});
    recipe.markers.push_back({JPEG_COM, std::string("second\0part", 11)});
    ASSERT_EQ(ReadGenericBytes(EncodeJpeg(recipe)).error, 0);
    LibThreadState *state = GetThreadState();
    const JpegSettings &lists = state->jpeg;
    ASSERT_EQ(CountOf(lists.comments), 2u);
    EXPECT_STREQ(lists.comments.At(0).text.c_str(), "first note");
    EXPECT_EQ(lists.comments.At(0).key, 0u);
    EXPECT_STREQ(lists.comments.At(1).text.c_str(), "second");
    // APP0 (the JFIF header) and APP15 are not kept.
    ASSERT_EQ(CountOf(lists.markers), 14u);
    for (int n = 1; n <= 14; ++n) {
        const CFileDataTag &m = lists.markers.At(static_cast<size_t>(n - 1));
        EXPECT_EQ(m.key, static_cast<uint32_t>(JPEG_APP0 + n));
        const std::string text = "app" + std::to_string(n);
        EXPECT_EQ(std::string(m.data.begin(), m.data.end()), text);
    }
    // Only the last file's: a plain file empties both lists, and so does a
    // file that fails.
    ASSERT_EQ(ReadGenericBytes(EncodeJpeg(Recipe(1, 1, 1))).error, 0);
    EXPECT_EQ(CountOf(lists.comments), 0u);
    EXPECT_EQ(CountOf(lists.markers), 0u);
    ASSERT_EQ(ReadGenericBytes(EncodeJpeg(recipe)).error, 0);
    Bytes broken = {0xFF, 0xD8, 0xFF, 0x01, 0x02};
    EXPECT_EQ(ReadJpgBytes(broken, 24, 0, 3).error, 9);
    EXPECT_EQ(CountOf(lists.comments), 0u);
}

TEST(JpegRead, EmptySourceIsNotAJpeg)
{
    TempFolder dir;
    const std::string path = dir.File("empty.jpg");
    ASSERT_TRUE(WriteFile(path, {}));
    HISSRC src = OpenFileSource(path.c_str());
    ASSERT_NE(src, nullptr);
    uint32_t w = 0;
    uint32_t h = 0;
    EXPECT_EQ(ReadJPG(src, &w, &h, 24, 0), nullptr);
    EXPECT_EQ(GetLastImageError(), 9);
    CloseSource(src);
}

TEST(JpegRead, FileCutInsideTheScanDecodesToFullHeight)
{
    JpegRecipe recipe = Recipe(3, 2, 2);
    recipe.height = 64;
    Bytes file = EncodeJpeg(recipe);
    file.resize(file.size() * 2 / 3);
    ReadOutcome r = ReadGenericBytes(file);
    EXPECT_EQ(r.error, 0);
    ASSERT_TRUE(r.returned);
    EXPECT_EQ(r.height, 64u);
}

BOOL WINAPI StopAfterFirstRow(uint32_t, uint32_t, uint32_t) { return FALSE; }

TEST(JpegRead, CallbackAnsweringZeroStopsWithTheRowsRead)
{
    const Bytes file = EncodeJpeg(Recipe(3, 1, 1));
    uint32_t w = 0;
    uint32_t h = 0;
    const Bytes expected = DecodeJpegDirect(file, w, h);
    SetProgressCallback(StopAfterFirstRow, 0);
    ReadOutcome r = ReadGenericBytes(file);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(r.error, 14);
    ASSERT_TRUE(r.returned);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + w * 3, r.pixels.begin()));
    EXPECT_TRUE(std::all_of(r.pixels.begin() + w * 3, r.pixels.end(), [](uint8_t b) { return b == 0; }));
}

struct LayoutCase {
    const char *what;
    int components;
    uint32_t depth;
    uint32_t flags;
    int error;
};

TEST(JpegRead, LayoutsByDepthAndFlags)
{
    const LayoutCase cases[] = {
        {"grey at 8", 1, 8, 0, 0},           {"grey at 32", 1, 32, 0, 9},
        {"RGB at 8", 3, 8, 0, 9},            {"CMYK at 24 raw", 4, 24, kJpegRawCmyk, 9},
        {"depth 16", 3, 16, 0, 5},           {"YCbCr kept at 24", 3, 24, kJpegKeepYcc, 0},
        {"YCbCr kept at 32", 3, 32, kJpegKeepYcc, 9},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes file = EncodeJpeg(Recipe(c.components, 1, 1));
        ReadOutcome r = ReadJpgBytes(file, c.depth, c.flags, c.depth / 8);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.returned, c.error == 0);
    }
    // Grey at 8: the luma bytes as decoded.
    const Bytes grey = EncodeJpeg(Recipe(1, 1, 1));
    uint32_t w = 0;
    uint32_t h = 0;
    const Bytes rgb = DecodeJpegDirect(grey, w, h);
    ReadOutcome g = ReadJpgBytes(grey, 8, 0, 1);
    ASSERT_EQ(g.pixels.size(), static_cast<size_t>(w) * h);
    for (size_t i = 0; i < g.pixels.size(); ++i)
        ASSERT_EQ(g.pixels[i], rgb[3 * i]);
}

TEST(JpegRead, PaddedBgrRowsAndDibs)
{
    const Bytes colour = EncodeJpeg(Recipe(3, 1, 1));  // 37 wide: rows of 111, padded to 112
    uint32_t w = 0;
    uint32_t h = 0;
    const Bytes rgb = DecodeJpegDirect(colour, w, h);
    const uint32_t stride = 112;
    HISSRC src = OpenMemorySource(colour.data(), static_cast<uint32_t>(colour.size()));
    Result padded(ReadJPG(src, &w, &h, 24, kJpegPaddedBgr));
    ASSERT_NE(padded.Get(), nullptr);
    SeekSource(src, 0, 0);
    Result dib(ReadJPG(src, &w, &h, 24, kJpegAsDib));
    ASSERT_NE(dib.Get(), nullptr);
    CloseSource(src);
    BITMAPINFOHEADER bi;
    memcpy(&bi, dib.Get(), sizeof(bi));
    EXPECT_EQ(bi.biBitCount, 24);
    EXPECT_EQ(bi.biHeight, 21);
    EXPECT_EQ(bi.biSizeImage, stride * h);
    EXPECT_EQ(bi.biClrUsed, 0u);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const uint8_t want = rgb[(y * w + x) * 3 + 2 - c];
                ASSERT_EQ(padded.Get()[y * stride + x * 3 + c], want);
                ASSERT_EQ(dib.Get()[40 + (h - 1 - y) * stride + x * 3 + c], want);
            }

    // A grey DIB carries the 256-entry grey table.
    JpegRecipe greyRecipe = Recipe(1, 1, 1);
    const Bytes grey = EncodeJpeg(greyRecipe);
    HISSRC g = OpenMemorySource(grey.data(), static_cast<uint32_t>(grey.size()));
    Result gdib(ReadJPG(g, &w, &h, 24, kJpegAsDib));
    CloseSource(g);
    ASSERT_NE(gdib.Get(), nullptr);
    memcpy(&bi, gdib.Get(), sizeof(bi));
    EXPECT_EQ(bi.biBitCount, 8);
    EXPECT_EQ(bi.biClrUsed, 256u);
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(gdib.Get() + 40);
    EXPECT_EQ(table[200].rgbRed, 200);
    EXPECT_EQ(table[200].rgbReserved, 255);

    // The JFIF density becomes pixels per metre: per inch x 39.37 rounded,
    // per centimetre x 100, no unit none.
    const int densities[][3] = {{1, 72, 2835}, {1, 300, 11811}, {2, 100, 10000}, {0, 3, 0}};
    for (const auto &d : densities) {
        JpegRecipe withDensity = Recipe(3, 1, 1);
        withDensity.densityUnit = d[0];
        withDensity.density = d[1];
        const Bytes file = EncodeJpeg(withDensity);
        HISSRC s = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        Result image(ReadJPG(s, &w, &h, 24, kJpegAsDib));
        CloseSource(s);
        ASSERT_NE(image.Get(), nullptr);
        memcpy(&bi, image.Get(), sizeof(bi));
        EXPECT_EQ(bi.biXPelsPerMeter, d[2]);
        EXPECT_EQ(bi.biYPelsPerMeter, d[2]);
    }
}

TEST(JpegRead, SeekBackLeavesTheSourceRightBehindTheData)
{
    Bytes file = EncodeJpeg(Recipe(3, 2, 2));
    const uint32_t jpegBytes = static_cast<uint32_t>(file.size());
    file.insert(file.end(), 10000, 0x5A);
    for (uint32_t flags : {0u, kJpegSeekBack}) {
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        uint32_t w = 0;
        uint32_t h = 0;
        Result image(ReadJPG(src, &w, &h, 24, flags));
        ASSERT_NE(image.Get(), nullptr);
        const uint32_t at = CloseSource(src);
        if (flags)
            EXPECT_EQ(at, jpegBytes);
        else
            EXPECT_EQ(at % 4096, 0u);
    }
}

TEST(JpegRead, InformationQuery)
{
    JpegRecipe recipe = Recipe(3, 2, 2);
    recipe.progressive = true;
    recipe.markers.push_back({JPEG_COM, "asked"});
    const Bytes file = EncodeJpeg(recipe);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    CISIO io(src);
    OperationContext ctx;
    JpegInfo info;
    ASSERT_TRUE(ReadJpegInfo(io, info, ctx));
    CloseSource(src);
    EXPECT_EQ(info.width, 37u);
    EXPECT_EQ(info.height, 21u);
    EXPECT_EQ(info.bits, 24u);
    EXPECT_EQ(info.colourSpace, static_cast<uint32_t>(JCS_YCbCr));
    EXPECT_EQ(info.codingFlags, 1u);
    EXPECT_EQ(GetThreadState()->jpeg.comments.Count(), 1u);
}

// Patched sizes, cuts and flipped bytes never crash or over-allocate, and
// fail with the reader's codes.
TEST(JpegRead, MutatedFilesFailSoundly)
{
    JpegRecipe recipe = Recipe(3, 2, 2);
    recipe.progressive = true;
    const Bytes good = EncodeJpeg(recipe);
    // 65500 x 65500 in the frame header: a baseline file is refused by the
    // checked output size (1), a progressive one already by libjpeg's
    // memory limit for its coefficients (9).
    for (bool progressive : {false, true}) {
        JpegRecipe big = Recipe(3, 2, 2);
        big.progressive = progressive;
        Bytes huge = EncodeJpeg(big);
        for (size_t i = 0; i + 8 < huge.size(); ++i)
            if (huge[i] == 0xFF && (huge[i + 1] == 0xC2 || huge[i + 1] == 0xC0)) {
                huge[i + 5] = 0xFF, huge[i + 6] = 0xDC, huge[i + 7] = 0xFF, huge[i + 8] = 0xDC;
                break;
            }
        EXPECT_EQ(ReadGenericBytes(huge).error, progressive ? 9 : 1);
    }
    Mutator mutator(good, 7);
    for (int i = 0; i < 300; ++i) {
        const Bytes bad = mutator.Next();
        ReadOutcome r = ReadJpgBytes(bad, 24, 0, 3);
        EXPECT_TRUE(r.error == 0 || r.error == 3 || r.error == 9) << r.error;
    }
}

TEST(JpegRead, ThreadsKeepTheirOwnLists)
{
    EXPECT_TRUE(BothThreadsPass([](int worker) {
        const std::string comment = worker ? "thread B" : "thread A";
        JpegRecipe recipe = Recipe(3, 2, 2);
        recipe.markers.push_back({JPEG_COM, comment});
        const Bytes file = EncodeJpeg(recipe);
        for (int i = 0; i < 20; ++i) {
            const JpegSettings &lists = GetThreadState()->jpeg;
            if (ReadGenericBytes(file).error != 0 || lists.comments.Count() != 1 ||
                lists.comments.At(0).text != comment)
                return false;
        }
        return true;
    }));
}

}  // namespace
