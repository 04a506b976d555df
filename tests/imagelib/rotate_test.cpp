// Quarter and half turns of byte, 16-bit and 1-bit pictures.
#include <gtest/gtest.h>

#include "imageops.h"
#include "imgtest.h"
#include "opstest.h"

#include <string>

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

// The 3 x 2 picture (a b c / d e f) turned: rows of the result in order.
struct TurnCase {
    uint32_t mode;
    std::string turned;
};
const TurnCase kTurns[] = {{kTurnClockwise, "daebfc"}, {kTurnHalf, "fedcba"}, {kTurnCounterClockwise, "cfbead"}};

Bytes Letters(const std::string &s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST(QuarterTurn, BytesToDestinationAndInPlace)
{
    for (const TurnCase &c : kTurns) {
        // Two bytes a pixel (the letter and its capital), source rows padded.
        const Bytes src = {'a', 'A', 'b', 'B', 'c', 'C', 0, 'd', 'D', 'e', 'E', 'f', 'F', 0};
        Bytes expected;
        for (char ch : c.turned)
            expected.insert(expected.end(), {static_cast<BYTE>(ch), static_cast<BYTE>(ch - 'a' + 'A')});
        Bytes dest(12, 0);
        OperationContext ctx;
        ASSERT_TRUE(TurnBytes(src.data(), 3, 2, 7, dest.data(), c.mode == kTurnHalf ? 6 : 4, c.mode, 2, ctx));
        EXPECT_EQ(dest, expected) << c.mode;

        Bytes pixels = Letters("abcdef");
        ASSERT_TRUE(TurnBytesInPlace(pixels.data(), 3, 2, c.mode, 1, ctx));
        EXPECT_EQ(pixels, Letters(c.turned)) << c.mode;
        EXPECT_EQ(ctx.error, 0);
    }
}

TEST(QuarterTurn, SixteenBitSamples)
{
    for (const TurnCase &c : kTurns) {
        std::vector<uint16_t> src;
        for (char ch : std::string("abcdef"))
            src.insert(src.end(), {static_cast<uint16_t>(ch * 256), static_cast<uint16_t>(ch)});
        std::vector<uint16_t> expected;
        for (char ch : c.turned)
            expected.insert(expected.end(), {static_cast<uint16_t>(ch * 256), static_cast<uint16_t>(ch)});
        std::vector<uint16_t> dest(12, 0);
        OperationContext ctx;
        ASSERT_TRUE(Turn16(src.data(), 3, 2, 6, dest.data(), c.mode == kTurnHalf ? 6 : 4, c.mode, 2, ctx));
        EXPECT_EQ(dest, expected) << c.mode;
        ASSERT_TRUE(Turn16InPlace(src.data(), 3, 2, c.mode, 2, ctx));
        EXPECT_EQ(src, expected) << c.mode;
    }
}

TEST(QuarterTurn, OneBitWidthNineAndSetOnly)
{
    // Rows 1 0 1 1 0 0 1 0 1 and 0 1 0 0 1 1 0 1 1.
    const Bytes src = {0xB2, 0x80, 0x4D, 0x80};
    // Clockwise: destination row x holds (row 1, row 0) of source column x.
    const Bytes turned = {0x40, 0x80, 0x40, 0x40, 0x80, 0x80, 0x40, 0x80, 0xC0};
    Bytes dest(9, 0xFF);
    OperationContext ctx;
    ASSERT_TRUE(TurnBits1(src.data(), dest.data(), 9, 2, kTurnClockwise, 2, 1, ctx));
    Bytes expected;
    for (BYTE b : turned)
        expected.push_back(static_cast<BYTE>(b | 0x3F));  // bits past the two columns stay
    EXPECT_EQ(dest, expected);
    // Set-only keeps the old ones.
    Bytes kept(9, 0xFF);
    ASSERT_TRUE(TurnBits1(src.data(), kept.data(), 9, 2, kTurnClockwise | kTurnSetOnly, 2, 1, ctx));
    EXPECT_EQ(kept, Bytes(9, 0xFF));
    Bytes clear(9, 0);
    ASSERT_TRUE(TurnBits1(src.data(), clear.data(), 9, 2, kTurnClockwise | kTurnSetOnly, 2, 1, ctx));
    EXPECT_EQ(clear, turned);
    // Half turn of the same rows.
    Bytes half(4, 0);
    ASSERT_TRUE(TurnBits1(src.data(), half.data(), 9, 2, kTurnHalf, 2, 2, ctx));
    EXPECT_EQ(half, Bytes({0xD9, 0x00, 0xA6, 0x80}));
}

TEST(QuarterTurn, RefusalsAndAborts)
{
    Bytes pixels = Letters("abcdef");
    Bytes dest(6, 0);
    OperationContext bad;
    EXPECT_FALSE(TurnBytesInPlace(pixels.data(), 3, 2, 3, 1, bad));
    EXPECT_EQ(bad.error, kImgBadParam);
    OperationContext bad2;
    EXPECT_FALSE(TurnBytes(pixels.data(), 3, 2, 3, dest.data(), 2, 3, 1, bad2));
    EXPECT_EQ(bad2.error, kImgBadParam);
    OperationContext bad3;
    EXPECT_FALSE(TurnBits1(pixels.data(), dest.data(), 8, 2, 3, 1, 1, bad3));
    EXPECT_EQ(bad3.error, kImgBadParam);
    OperationContext bad4;
    EXPECT_FALSE(TurnBytes(pixels.data(), 3, 2, 3, dest.data(), 1, kTurnClockwise, 1, bad4));  // rows too short
    EXPECT_EQ(bad4.error, kImgBadParam);
    EXPECT_EQ(pixels, Letters("abcdef"));
    EXPECT_EQ(dest, Bytes(6, 0));

    {
        // A quarter turn in place that is stopped leaves the picture as it was.
        ProgressProbe probe(1);
        OperationContext ctx;
        EXPECT_FALSE(TurnBytesInPlace(pixels.data(), 3, 2, kTurnClockwise, 1, ctx));
        EXPECT_EQ(ctx.error, kImgAborted);
        EXPECT_EQ(pixels, Letters("abcdef"));
    }
    // A half turn in place may stop half done: here after the row swap.
    ProgressProbe probe(1);
    OperationContext ctx;
    EXPECT_FALSE(TurnBytesInPlace(pixels.data(), 3, 2, kTurnHalf, 1, ctx));
    EXPECT_EQ(ctx.error, kImgAborted);
    EXPECT_EQ(pixels, Letters("defabc"));
}
