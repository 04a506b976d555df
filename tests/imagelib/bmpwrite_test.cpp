// The BMP writers: plain rows of every depth, RLE8 and packed DIBs, each
// read back by the reader.
#include <gtest/gtest.h>

#include "imgtest.h"

#include <cstring>

using namespace imgtest;

namespace {

struct Written {
    Bytes file;
    uint32_t result = 0;
    int32_t error = 0;
};

Written Write(const TempFolder &dir, const BYTE *pixels, uint32_t w, uint32_t h, uint32_t bits, uint32_t colours,
              const RGBQUAD *palette, uint32_t flags = 0, const uint32_t *resolution = nullptr)
{
    const std::string path = dir.File("w.bmp");
    HISDEST dest = OpenFileDest(path.c_str(), FALSE);
    Written out;
    out.result = WriteBMP(dest, pixels, w, h, bits, colours, palette, resolution, flags);
    out.error = GetLastImageError();
    uint32_t size = CloseDest(dest);
    out.file = ReadFile(path);
    EXPECT_EQ(size, out.file.size());
    return out;
}

// A row of a table of writes.
struct WriteCase {
    const char *what;
    const BYTE *pixels;
    uint32_t bits;
    uint32_t colours;
    const RGBQUAD *palette;
    uint32_t flags = 0;
    uint32_t failed = 0;  // the answer to a write whose flush fails: a size, or for a DIB an error
};

// One byte an index, packed to the depth, top row first (the writer's
// source layout for palette depths).
Bytes PackedSource(const Picture &p, uint32_t bits)
{
    Bytes out;
    const uint32_t rowBytes = (p.width * bits + 7) / 8;
    for (uint32_t y = 0; y < p.height; ++y) {
        Bytes row(rowBytes, 0);
        for (uint32_t x = 0; x < p.width; ++x) {
            uint32_t bit = x * bits;
            row[bit / 8] |= static_cast<uint8_t>(p.indices[y * p.width + x] << (8 - bits - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

TEST(WriteBmp, PlainRoundTripAtEveryDepth)
{
    TempFolder dir;
    const uint32_t w = 11, h = 5;
    for (uint32_t bits : {1u, 4u, 8u}) {
        Picture p = IndexPicture(w, h, 1u << (bits == 8 ? 6 : bits));
        Bytes source = PackedSource(p, bits);
        const uint32_t colours = static_cast<uint32_t>(p.palette.size());
        Written out = Write(dir, source.data(), w, h, bits, colours, p.palette.data());
        EXPECT_EQ(out.error, 0) << bits;
        const uint32_t stride = (w * bits + 31) / 32 * 4;
        EXPECT_EQ(out.result, 54 + colours * 4 + h * stride) << bits;
        EXPECT_EQ(ReadBmpBytes(out.file, 24).pixels, p.rgb) << bits;
    }
    Picture colour = ColourPicture(w, h);
    Written rgb = Write(dir, colour.rgb.data(), w, h, 24, 0, nullptr);
    EXPECT_EQ(rgb.result, 54u + h * 36);
    EXPECT_EQ(ReadBmpBytes(rgb.file, 24).pixels, colour.rgb);
    const Bytes reference = PictureBmp(colour, 24, false);
    EXPECT_EQ(Bytes(rgb.file.begin() + 54, rgb.file.end()), Bytes(reference.begin() + 54, reference.end()));

    Bytes rgba;
    for (size_t i = 0; i < colour.rgb.size(); i += 3)
        rgba.insert(rgba.end(), {colour.rgb[i], colour.rgb[i + 1], colour.rgb[i + 2], static_cast<uint8_t>(i)});
    Written four = Write(dir, rgba.data(), w, h, 32, 0, nullptr);
    EXPECT_EQ(ReadBmpBytes(four.file, 32).pixels, rgba);

    // 16 bits are written as they come (5-5-5 words).
    Bytes words = StoredRows(colour, 16, true);
    Bytes packed16;
    for (uint32_t y = 0; y < h; ++y)
        packed16.insert(packed16.end(), words.begin() + y * 24, words.begin() + y * 24 + 2 * w);
    Written sixteen = Write(dir, packed16.data(), w, h, 16, 0, nullptr);
    EXPECT_EQ(ReadBmpBytes(sixteen.file, 24).pixels, As16Bit(colour, false).rgb);
}

TEST(WriteBmp, ResolutionAndColourFields)
{
    TempFolder dir;
    Picture p = IndexPicture(4, 2, 3);
    Bytes source = PackedSource(p, 8);
    const uint32_t resolution[2] = {3780, 2835};
    Written out = Write(dir, source.data(), 4, 2, 8, 3, p.palette.data(), 0, resolution);
    ASSERT_GE(out.file.size(), 54u);
    EXPECT_EQ(out.file[38], 3780 & 0xFF);
    EXPECT_EQ(out.file[42], 2835 & 0xFF);
    EXPECT_EQ(out.file[46], 3) << "colours used";
    EXPECT_EQ(out.file[50], 3) << "colours important";
    EXPECT_EQ(out.file[10], 54 + 12) << "data offset";
}

TEST(WriteBmp, RefusalsLeaveNoHeaderOnlyFile)
{
    TempFolder dir;
    Picture p = IndexPicture(4, 2, 4);
    Bytes source = PackedSource(p, 8);
    const WriteCase cases[] = {
        {"null pixels", nullptr, 24, 0, nullptr},
        {"palette depth without palette", source.data(), 8, 4, nullptr},
        {"no colours", source.data(), 8, 0, p.palette.data()},
        {"more colours than 4 bits hold", source.data(), 4, 17, p.palette.data()},
        {"bit count 12", source.data(), 12, 0, nullptr},
    };
    for (const WriteCase &c : cases) {
        Written out = Write(dir, c.pixels, 4, 2, c.bits, c.colours, c.palette);
        EXPECT_EQ(out.result, 0u) << c.what;
        EXPECT_EQ(out.error, kImgBadParam) << c.what;
        EXPECT_TRUE(out.file.empty()) << c.what;
    }
    Written empty = Write(dir, source.data(), 0, 2, 24, 0, nullptr);
    EXPECT_EQ(empty.error, kImgBadParam);
}

TEST(WriteBmp, AbortKeepsTheRowsWritten)
{
    struct Stop {
        static BOOL WINAPI After2(uint32_t row, uint32_t, uint32_t) { return row < 1; }
    };
    TempFolder dir;
    Picture colour = ColourPicture(4, 6);
    SetProgressCallback(Stop::After2, 0);
    Written out = Write(dir, colour.rgb.data(), 4, 6, 24, 0, nullptr);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(out.error, kImgAborted);
    EXPECT_EQ(out.result, 54u + 2 * 12) << "the size of what was written";
}

TEST(WriteBmp, Rle8EncodingAndRoundTrip)
{
    TempFolder dir;
    RGBQUAD palette[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    const Bytes eight(8, 2);
    Written even = Write(dir, eight.data(), 8, 1, 8, 4, palette, kWriteRle8);
    EXPECT_EQ(even.error, 0);
    Bytes data(even.file.begin() + 54 + 16, even.file.end());
    EXPECT_EQ(data, Bytes({8, 2, 0, 0, 0, 1}));
    EXPECT_EQ(even.file[2], even.file.size()) << "file size patched in";
    EXPECT_EQ(even.file[34], 6) << "image size patched in";

    // An odd row is encoded with one added 0 pixel.
    const Bytes sevenZeros(7, 0);
    Written zeros = Write(dir, sevenZeros.data(), 7, 1, 8, 4, palette, kWriteRle8);
    EXPECT_EQ(Bytes(zeros.file.begin() + 70, zeros.file.end()), Bytes({8, 0, 0, 0, 0, 1}));
    const Bytes seven(7, 3);
    Written odd = Write(dir, seven.data(), 7, 1, 8, 4, palette, kWriteRle8);
    EXPECT_EQ(Bytes(odd.file.begin() + 70, odd.file.end()), Bytes({7, 3, 1, 0, 0, 0, 0, 1}));

    // Literal stretches go out in absolute mode with their filler.
    const Bytes mixed = {1, 2, 3, 1, 1, 1, 1, 2, 3};
    Written m = Write(dir, mixed.data(), 9, 1, 8, 4, palette, kWriteRle8);
    EXPECT_EQ(Bytes(m.file.begin() + 70, m.file.end()),
              Bytes({0, 3, 1, 2, 3, 0, 4, 1, 1, 2, 1, 3, 1, 0, 0, 0, 0, 1}));

    // A larger picture of runs and noise reads back as it was.
    Picture p = IndexPicture(37, 9, 4);
    for (uint32_t x = 5; x < 30; ++x)
        p.indices[3 * 37 + x] = 1;
    RGBQUAD full[256] = {};
    memcpy(full, p.palette.data(), 16);
    Written big = Write(dir, p.indices.data(), 37, 9, 8, 4, p.palette.data(), kWriteRle8);
    EXPECT_EQ(big.error, 0);
    ReadOutcome r = ReadBmpBytes(big.file, 8, full);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.pixels, Bytes(p.indices.begin(), p.indices.end()));
}

TEST(WriteBmp, PackedDibRoundTrip)
{
    TempFolder dir;
    Picture p = IndexPicture(9, 4, 16);
    BmpLayout layout;
    layout.width = 9;
    layout.height = 4;
    layout.bits = 4;
    layout.palette = p.palette;
    layout.pixels = StoredRows(p, 4, false);
    const Bytes file = BuildBmp(layout);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    uint32_t w, h;
    Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
    CloseSource(src);
    ASSERT_NE(dib.Get(), nullptr);
    Written out = Write(dir, dib.Get(), 0, 0, 0, 0, nullptr, kWriteFromDib);
    EXPECT_EQ(out.result, 0u) << "the DIB writer answers with an error code";
    EXPECT_EQ(out.error, 0);
    EXPECT_EQ(out.file, file);

    Written none = Write(dir, nullptr, 0, 0, 0, 0, nullptr, kWriteFromDib);
    EXPECT_EQ(none.result, static_cast<uint32_t>(kImgBadParam));
}

// A full disk often shows only when the last buffered bytes go out, at the
// writer's final flush or at the close; writes to /dev/full fail exactly
// there.
TEST(WriteBmp, AFailureAtTheFinalFlushIsReported)
{
    const char *full = "/dev/full";
    Picture colour = ColourPicture(4, 6);
    Picture p = IndexPicture(9, 4, 16);
    const Bytes indices = PackedSource(p, 8);
    const Bytes file = PictureBmp(p, 4, false);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    uint32_t w, h;
    Result dib(ReadBMP(src, &w, &h, 0, nullptr, kReadAsDib));
    ASSERT_NE(dib.Get(), nullptr) << GetLastImageError();
    CloseSource(src);
    const WriteCase cases[] = {
        {"plain rows", colour.rgb.data(), 24, 0, nullptr, 0, 0},
        {"RLE8", indices.data(), 8, 16, p.palette.data(), kWriteRle8, 0},
        {"from a DIB", dib.Get(), 0, 0, nullptr, kWriteFromDib, kImgFileWrite},
    };
    for (const WriteCase &c : cases) {
        HISDEST dest = OpenFileDest(full, FALSE);
        if (!dest)
            GTEST_SKIP() << "no " << full << " here";
        const uint32_t width = c.flags & kWriteFromDib ? 0 : (c.bits == 24 ? 4 : 9);
        const uint32_t height = c.flags & kWriteFromDib ? 0 : (c.bits == 24 ? 6 : 4);
        EXPECT_EQ(WriteBMP(dest, c.pixels, width, height, c.bits, c.colours, c.palette, nullptr, c.flags), c.failed)
            << c.what;
        EXPECT_EQ(GetLastImageError(), kImgFileWrite) << c.what;
        EXPECT_EQ(CloseDest(dest), 0u) << c.what;
        EXPECT_EQ(GetLastImageError(), kImgFileWrite) << c.what;
    }
}
