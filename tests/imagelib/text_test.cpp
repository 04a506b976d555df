// Text on images under Wine. The fonts are the host's, so no glyph pixel
// is compared with a fixed picture: the tests look at where pixels change,
// what colour they take, and that two ways of drawing agree.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "opstest.h"

#include <algorithm>
#include <cstring>
#include <functional>

using namespace imgtest;

namespace {

constexpr uint32_t kW = 200;
constexpr uint32_t kH = 60;
constexpr BYTE kGrey = 128;
constexpr COLORREF kInk = RGB(200, 30, 60);
constexpr uint32_t kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // the saver's 37

LOGFONTA Font()
{
    LOGFONTA f = {};
    f.lfHeight = -20;
    f.lfWeight = FW_BOLD;
    strcpy(f.lfFaceName, "Arial");
    return f;
}

Bytes GreyImage() { return Bytes(kW * kH * 3, kGrey); }

struct Changes {
    uint32_t count = 0;
    bool outside = false;     // a change outside the rectangle
    bool wrongInk = false;    // a changed pixel not exactly the ink
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};  // of the changed pixels
};

Changes Compare(const Bytes &img, const RECT &r, const Bytes &ink)
{
    Changes c;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const BYTE *p = &img[(y * kW + x) * 3];
            if (p[0] == kGrey && p[1] == kGrey && p[2] == kGrey)
                continue;
            ++c.count;
            const LONG lx = static_cast<LONG>(x), ly = static_cast<LONG>(y);
            c.outside |= lx < r.left || lx >= r.right || ly < r.top || ly >= r.bottom;
            c.wrongInk |= !std::equal(ink.begin(), ink.end(), p);
            c.box = {std::min(c.box.left, lx), std::min(c.box.top, ly), std::max(c.box.right, lx + 1),
                     std::max(c.box.bottom, ly + 1)};
        }
    return c;
}

Bytes Draw(const void *text, const RECT &r, uint32_t drawFlags, uint32_t flags)
{
    Bytes img = GreyImage();
    const LOGFONTA font = Font();
    EXPECT_TRUE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, text, &font, &r, drawFlags, flags, kInk));
    EXPECT_EQ(GetLastImageError(), 0);
    return img;
}

Bytes FlipRows(const Bytes &img)
{
    Bytes out(img.size());
    for (uint32_t y = 0; y < kH; ++y)
        memcpy(&out[(kH - 1 - y) * kW * 3], &img[y * kW * 3], kW * 3);
    return out;
}

}  // namespace

TEST(TextOnImage, InkLandsExactlyAndOnlyInsideTheRectangle)
{
    const RECT r = {20, 10, 180, 50};
    const Bytes img = Draw("Wendelby", r, kCentred, 0);
    const Changes c = Compare(img, r, {200, 30, 60});
    EXPECT_GT(c.count, 100u);
    EXPECT_FALSE(c.outside);
    EXPECT_FALSE(c.wrongInk);
    // A DT_CALCRECT of the caller is ignored.
    EXPECT_EQ(Draw("Wendelby", r, kCentred | DT_CALCRECT, 0), img);
    // Blue-first images take the ink with red and blue exchanged.
    EXPECT_FALSE(Compare(Draw("Wendelby", r, kCentred, kTextBlueFirst), r, {60, 30, 200}).wrongInk);
}

TEST(TextOnImage, NothingDrawnForEdgesAndEmptyText)
{
    const LOGFONTA font = Font();
    Bytes img = GreyImage();
    const RECT past = {20, 10, kW + 1, 50};
    EXPECT_TRUE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "Wendelby", &font, &past, kCentred, 0, kInk));
    const RECT low = {20, 10, 180, kH + 1};
    EXPECT_TRUE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "Wendelby", &font, &low, kCentred, 0, kInk));
    const RECT r = {20, 10, 180, 50};
    EXPECT_TRUE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "", &font, &r, kCentred, 0, kInk));
    EXPECT_EQ(img, GreyImage());

    const RECT inverted = {180, 10, 20, 50};
    EXPECT_FALSE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "x", &font, &inverted, kCentred, 0, kInk));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, nullptr, &font, &r, kCentred, 0, kInk));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_FALSE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "x", nullptr, &r, kCentred, 0, kInk));
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(img, GreyImage());
}

TEST(TextOnImage, MeasuredTextSitsAtTheCorner)
{
    const RECT r = {30, 15, 190, 58};
    const Changes c = Compare(Draw("Wendelby", r, 0, 0), r, {200, 30, 60});
    EXPECT_GT(c.count, 100u);
    EXPECT_FALSE(c.outside);
    // Sized to the text at (left, top): the ink starts close to the corner,
    // not centred in the rectangle.
    EXPECT_LT(c.box.left, r.left + 6);
    EXPECT_LT(c.box.top, r.top + 10);
    EXPECT_LT(c.box.right, 180);
}

TEST(TextOnImage, BottomUpWideAndPaletteAgree)
{
    const RECT r = {20, 10, 180, 50};
    const Bytes upright = Draw("Wendelby", r, kCentred, 0);
    EXPECT_EQ(FlipRows(Draw("Wendelby", r, kCentred, kTextBottomUp)), upright);
    EXPECT_EQ(FlipRows(Draw("Wendelby", r, 0, kTextBottomUp)), Draw("Wendelby", r, 0, 0));
    EXPECT_EQ(Draw(L"Wendelby", r, kCentred, kTextWide), upright);

    // On a grey ramp the text takes index 255; every other pixel keeps its
    // index, and the inked places are those of the RGB drawing.
    RGBQUAD ramp[256];
    for (uint32_t i = 0; i < 256; ++i)
        ramp[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    Bytes indices(kW * kH);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<BYTE>(i % 200);
    const Bytes before = indices;
    const LOGFONTA font = Font();
    ASSERT_TRUE(DrawTextOn8Bit(indices.data(), kW, kH, kW, "Wendelby", &font, &r, kCentred, 0, 255, ramp, 256));
    for (size_t i = 0; i < indices.size(); ++i) {
        const bool inked = upright[i * 3] != kGrey;
        ASSERT_EQ(indices[i], inked ? 255 : before[i]) << i;
    }
}

TEST(TextOnImage, ReleasesItsGdiObjects)
{
    // Wine's GDI handle table holds 65536 objects: a call that kept one of
    // its font, bitmap, brush or DC would exhaust it before the end.
    const LOGFONTA font = Font();
    Bytes img(16 * 16 * 3, 0);
    const RECT r = {0, 0, 16, 16};
    for (int i = 0; i < 70000; ++i)  // both ways: measuring makes a DC more
        ASSERT_TRUE(DrawTextOnRGB(img.data(), 16, 16, 48, "Ab", &font, &r, (i & 1) ? kCentred : 0, 0, kInk)) << i;
}

TEST(TextOnImage, GlowChainStaysInsideTheSign)
{
    // As the saver letters a house sign: the text into a grey-ramp mask of
    // the sign's size, blurred, raised by gamma, blurred again, laid on the
    // picture as a glow, and the text once more on top.
    const RECT sign = {20, 10, 180, 50};
    const uint32_t mw = 160, mh = 40;
    RGBQUAD ramp[256];
    for (uint32_t i = 0; i < 256; ++i)
        ramp[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    const LOGFONTA font = Font();
    Bytes mask(mw * mh, 0), glow(mw * mh, 0);
    const RECT whole = {0, 0, static_cast<LONG>(mw), static_cast<LONG>(mh)};
    ASSERT_TRUE(DrawTextOn8Bit(mask.data(), mw, mh, mw, "Wendelby", &font, &whole, kCentred, 0, 255, ramp, 256));
    ASSERT_TRUE(GaussianBlur(mask.data(), mw, mh, 1, mw, glow.data(), mw, 2.0, 7));
    ASSERT_TRUE(ApplyGamma(glow.data(), mw, mh, 1, mw, 2.4, 0));
    ASSERT_TRUE(GaussianBlur(glow.data(), mw, mh, 1, mw, mask.data(), mw, 1.4, 7));

    Bytes img = GreyImage();
    ASSERT_TRUE(AlphaBlendColor(img.data(), kW, kH, 3, kW * 3, mask.data(), mw, mh, mw, 0xC8E6F0, sign.left, sign.top, 0));
    ASSERT_TRUE(DrawTextOnRGB(img.data(), kW, kH, kW * 3, "Wendelby", &font, &sign, kCentred, 0, kInk));
    const Changes c = Compare(img, sign, {200, 30, 60});
    EXPECT_FALSE(c.outside);
    EXPECT_TRUE(c.wrongInk);  // the glow: changed pixels that are not ink
    EXPECT_GT(c.count, Compare(Draw("Wendelby", sign, kCentred, 0), sign, {200, 30, 60}).count);
}

TEST(TextOnImage, ReportsEveryRowAndStopsWith14)
{
    // Centred text: the mask is the rectangle, so its 40 rows are visited.
    const RECT r = {20, 10, 180, 50};
    const LOGFONTA font = Font();
    RGBQUAD ramp[256] = {};
    Bytes rgb = GreyImage(), indices(kW * kH, 0);
    const std::pair<const char *, std::function<BOOL()>> calls[] = {
        {"RGB", [&] { return DrawTextOnRGB(rgb.data(), kW, kH, kW * 3, "Wendelby", &font, &r, kCentred, 0, kInk); }},
        {"8-bit",
         [&] { return DrawTextOn8Bit(indices.data(), kW, kH, kW, "Wendelby", &font, &r, kCentred, 0, 255, ramp, 256); }},
    };
    const uint32_t rows = static_cast<uint32_t>(r.bottom - r.top);
    for (const auto &[name, call] : calls) {
        {
            opstest::ProgressProbe probe;
            EXPECT_TRUE(call()) << name;
            ASSERT_EQ(probe.Reports().size(), rows) << name;
            for (uint32_t i = 0; i < rows; ++i)
                EXPECT_EQ(probe.Reports()[i], std::make_pair(i, rows)) << name;
        }
        opstest::ProgressProbe stop(1);
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(GetLastImageError(), kImgAborted) << name;
        EXPECT_EQ(stop.Reports().size(), 1u) << name;
    }
}
