// The operations as the saver chains them for its advertising panels:
// crop, resize, darken, lay two templates over, reduce to the scene palette
// and expand again, on a picture of flat colours whose results are exact.
#include <gtest/gtest.h>

#include "imgtest.h"

#include <array>
#include <cstring>

using namespace imgtest;

namespace {

using Pixel = std::array<BYTE, 3>;

constexpr Pixel kLeft = {200, 100, 0};
constexpr Pixel kRight = {0, 60, 220};
constexpr Pixel kKey = {0, 255, 0};
constexpr Pixel kNearKey = {2, 255, 2};  // squared distance 8 from the key
constexpr Pixel kFrame = {50, 50, 50};
constexpr Pixel kWhite = {250, 250, 250};

// After darkening with (-0.2, -0.1), and after each template.
constexpr Pixel kDarkLeft = {147, 49, 0};
constexpr Pixel kDarkRight = {0, 10, 163};
constexpr Pixel kFrameLeft = {79, 49, 35};    // frame at 0.7 over the left
constexpr Pixel kFrameRight = {35, 38, 83};
constexpr Pixel kWhiteLeft = {198, 149, 125};  // white at 0.5
constexpr Pixel kWhiteRight = {125, 130, 206};
constexpr Pixel kNearRight = {1, 132, 82};    // near-key at 0.5 with tolerance 0

struct Image {
    uint32_t w, h;
    Bytes px;
    Image(uint32_t width, uint32_t height, Pixel fill) : w(width), h(height)
    {
        for (uint32_t i = 0; i < w * h; ++i)
            px.insert(px.end(), fill.begin(), fill.end());
    }
    void Set(uint32_t x, uint32_t y, Pixel p) { memcpy(&px[(y * w + x) * 3], p.data(), 3); }
    Pixel At(uint32_t x, uint32_t y) const { return {px[(y * w + x) * 3], px[(y * w + x) * 3 + 1], px[(y * w + x) * 3 + 2]}; }
};

}  // namespace

TEST(PanelChain, FlatColoursComeThroughExactly)
{
    Image picture(40, 20, kLeft);
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 20; x < 40; ++x)
            picture.Set(x, y, kRight);

    Image cropped(32, 16, {});
    const RECT aspect = {4, 2, 36, 18};
    ASSERT_TRUE(CropImage(picture.px.data(), 40, 20, 120, cropped.px.data(), 96, &aspect, 3));
    Image panel(16, 8, {});
    ASSERT_TRUE(ResizeImage(cropped.px.data(), 32, 16, 96, panel.px.data(), 16, 8, 48, 3));
    ASSERT_TRUE(AdjustBrightnessContrast(panel.px.data(), 16, 8, 3, 48, -0.2, -0.1, 0));

    // The light template: a frame, the key inside, one near-key pixel that
    // tolerance 8 still counts as key.
    Image light(16, 8, kKey);
    for (uint32_t x = 0; x < 16; ++x) {
        light.Set(x, 0, kFrame);
        light.Set(x, 7, kFrame);
    }
    for (uint32_t y = 0; y < 8; ++y) {
        light.Set(0, y, kFrame);
        light.Set(15, y, kFrame);
    }
    light.Set(3, 3, kNearKey);
    ASSERT_TRUE(OverlayImage(panel.px.data(), 16, 8, 48, light.px.data(), 16, 8, 48, 0, 0, 0.7, 0x00FF00, 8, 0));
    // The frame template at 0.5 with tolerance 0: the near-key pixel shows.
    Image frame(16, 8, kKey);
    for (uint32_t y = 3; y < 5; ++y)
        for (uint32_t x = 6; x < 10; ++x)
            frame.Set(x, y, kWhite);
    frame.Set(12, 4, kNearKey);
    ASSERT_TRUE(OverlayImage(panel.px.data(), 16, 8, 48, frame.px.data(), 16, 8, 48, 0, 0, 0.5, 0x00FF00, 0, 0));

    Image expected(16, 8, {});
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            const bool left = x < 8;
            const bool border = x == 0 || x == 15 || y == 0 || y == 7;
            const bool white = y >= 3 && y < 5 && x >= 6 && x < 10;
            expected.Set(x, y, border  ? (left ? kFrameLeft : kFrameRight)
                               : white ? (left ? kWhiteLeft : kWhiteRight)
                                       : (left ? kDarkLeft : kDarkRight));
        }
    expected.Set(12, 4, kNearRight);
    EXPECT_EQ(panel.px, expected.px);

    // The scene palette holds every colour of the panel among others, so
    // reduction without diffusion and expansion give the panel back.
    const Pixel colours[] = {{0, 0, 0},   kDarkLeft,  {255, 255, 255}, kDarkRight, kFrameLeft, {0, 255, 0},
                             kFrameRight, kWhiteLeft, kWhiteRight,     kNearRight, {90, 90, 90}};
    std::vector<RGBQUAD> palette;
    for (const Pixel &c : colours)
        palette.push_back({c[2], c[1], c[0], 0});
    Bytes indices(16 * 8);
    ASSERT_TRUE(RGBTo8Bit(panel.px.data(), 16, 8, 48, indices.data(), 16, static_cast<uint32_t>(palette.size()),
                          palette.data(), 1, 0x1000000, 0));
    EXPECT_EQ(indices[0], 4);      // frame, left
    EXPECT_EQ(indices[17], 1);     // dark left
    EXPECT_EQ(indices[4 * 16 + 12], 9);
    Bytes back(16 * 8 * 3);
    ASSERT_TRUE(Convert8BitToRGB(indices.data(), 16, 8, 16, back.data(), 48, 256, palette.data(), 0));
    EXPECT_EQ(back, expected.px);
}
