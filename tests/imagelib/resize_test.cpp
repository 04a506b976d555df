// Bilinear resampling and rectangle copies.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "opstest.h"

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

Bytes Resize(const Bytes &in, int32_t w, int32_t h, uint32_t bpp, int32_t nw, int32_t nh)
{
    Bytes out(static_cast<size_t>(nw) * nh * bpp, 0xEE);
    EXPECT_TRUE(ResizeImage(in.data(), w, h, w * bpp, out.data(), nw, nh, nw * bpp, bpp));
    return out;
}

}  // namespace

TEST(Resize, SamplesInterpolatesAndRoundsToEven)
{
    // Halving samples columns 0 and 2 exactly.
    EXPECT_EQ(Resize({10, 20, 30, 40}, 4, 1, 1, 2, 1), Bytes({10, 30}));
    // Enlarging 2 to 4 steps by 0.375: 0, 0.375, 0.75, and 1.125 held at
    // the last column.
    EXPECT_EQ(Resize({0, 200}, 2, 1, 1, 4, 1), Bytes({0, 75, 150, 200}));
    // 0.375 x 12 = 4.5 goes down to 4, 0.375 x 4 = 1.5 up to 2.
    EXPECT_EQ(Resize({0, 0, 12, 4}, 2, 1, 2, 4, 1), Bytes({0, 0, 4, 2, 9, 3, 12, 4}));
    // Rows as columns: 1 x 2 to 1 x 4.
    EXPECT_EQ(Resize({0, 200}, 1, 2, 1, 1, 4), Bytes({0, 75, 150, 200}));
    // Both ways at once, at (0.375, 0.375) of a 2 x 2: weights 25/64, 15/64,
    // 15/64 and 9/64 give 15 + 30 + 35.86.
    EXPECT_EQ(Resize({0, 64, 128, 255}, 2, 2, 1, 4, 4)[5], 81);
}

TEST(Resize, SameSizeCopiesOrResamplesByStride)
{
    const Bytes in = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2, 3 bytes a pixel
    {
        ProgressProbe probe;
        Bytes out(12, 0);
        ASSERT_TRUE(ResizeImage(in.data(), 2, 2, 6, out.data(), 2, 2, 6, 3));
        EXPECT_EQ(out, in);
        EXPECT_TRUE(probe.Reports().empty());  // a plain copy reports nothing
    }
    ProgressProbe probe;
    Bytes out(16, 0xEE);
    ASSERT_TRUE(ResizeImage(in.data(), 2, 2, 6, out.data(), 2, 2, 8, 3));
    EXPECT_EQ(out, Bytes({1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE}));
    EXPECT_EQ(probe.Reports().size(), 2u);
}

TEST(Resize, RefusesBadSizesAndStopsOnAbort)
{
    Bytes in(12, 1), out(64, 0);
    struct Case {
        int32_t w, h, nw, nh;
        uint32_t rowBytes, outRowBytes, bpp;
    };
    const Case bad[] = {
        {0, 2, 2, 2, 6, 6, 3},  {2, -1, 2, 2, 6, 6, 3}, {2, 2, 0, 2, 6, 6, 3},    {2, 2, 2, INT32_MIN, 6, 6, 3},
        {2, 2, 2, 2, 6, 6, 0},  {2, 2, 2, 2, 5, 6, 3},  {2, 2, 4, 2, 6, 11, 3},
        {2, 0x40000000, 2, 2, 6, 6, 3},  // rows that cannot exist in any buffer
        {0x7FFFFFFF, 1, 2, 2, 0xFFFFFFFF, 6, 3},
    };
    for (const Case &c : bad) {
        EXPECT_FALSE(ResizeImage(in.data(), c.w, c.h, c.rowBytes, out.data(), c.nw, c.nh, c.outRowBytes, c.bpp));
        EXPECT_EQ(GetLastImageError(), kImgBadParam) << c.w << "x" << c.h << " -> " << c.nw << "x" << c.nh;
    }
    EXPECT_FALSE(ResizeImage(nullptr, 2, 2, 6, out.data(), 2, 2, 6, 3));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);

    ProgressProbe probe(2);
    EXPECT_FALSE(ResizeImage(in.data(), 2, 2, 6, out.data(), 4, 4, 12, 3));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(probe.Reports(), (std::vector<std::pair<uint32_t, uint32_t>>{{0, 4}, {1, 4}}));
}

TEST(Crop, CopiesTheRectangleRefusesEdgesReportsEveryRow)
{
    Bytes in(12);
    for (uint32_t i = 0; i < 12; ++i)
        in[i] = static_cast<BYTE>(i);  // 4 x 3, one byte a pixel
    Bytes out(6, 0xEE);
    const RECT inner = {1, 1, 3, 3};
    ASSERT_TRUE(CropImage(in.data(), 4, 3, 4, out.data(), 3, &inner, 1));
    EXPECT_EQ(out, Bytes({5, 6, 0xEE, 9, 10, 0xEE}));

    const RECT bad[] = {{2, 0, 5, 1}, {0, 2, 1, 4}, {-1, 0, 1, 1}, {0, -1, 1, 1}, {4, 0, 5, 1}, {3, 1, 1, 2},
                        {1, 2, 2, 1}, {0, 0, INT32_MAX, 1}, {INT32_MIN, 0, 1, 1}};
    for (const RECT &r : bad) {
        EXPECT_FALSE(CropImage(in.data(), 4, 3, 4, out.data(), 3, &r, 1));
        EXPECT_EQ(GetLastImageError(), kImgBadParam) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_FALSE(CropImage(in.data(), 4, 3, 4, out.data(), 1, &inner, 1));  // output rows too short
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(CropImage(in.data(), 4, 3, 4, in.data(), 4, &inner, 1));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(CropImage(in.data(), 4, 3, 4, out.data(), 3, nullptr, 1));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);

    // One row out of a thousand still reports each source row.
    Bytes tall(1000, 7);
    const RECT one = {0, 500, 1, 501};
    ProgressProbe probe;
    ASSERT_TRUE(CropImage(tall.data(), 1, 1000, 1, out.data(), 1, &one, 1));
    EXPECT_EQ(probe.Reports().size(), 1000u);
    EXPECT_EQ(probe.Reports().back(), std::make_pair(999u, 1000u));
}
