#include "letteringfixture.h"

#include "codecfixtures.h"
#include "imgtest.h"

#include <fstream>

namespace lettertest {

const char *FormatName(Format format)
{
    switch (format) {
    case Format::kBmp: return "BMP";
    case Format::kPng: return "PNG";
    case Format::kJpeg: return "JPEG";
    }
    return "?";
}

bool WritePicture(const std::string &path, Format format, uint32_t w, uint32_t h, const PixelFn &pixel)
{
    imgtest::Bytes bytes;
    if (format == Format::kBmp) {
        imgtest::Picture picture;
        picture.width = w;
        picture.height = h;
        picture.rgb.reserve(static_cast<size_t>(w) * h * 3);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                Rgb c = pixel(x, y);
                picture.rgb.insert(picture.rgb.end(), {c.r, c.g, c.b});
            }
        bytes = imgtest::PictureBmp(picture, 24, false);
    } else if (format == Format::kPng) {
        imgtest::PngRecipe recipe;
        recipe.width = w;
        recipe.height = h;
        recipe.colourType = 2;
        recipe.bitDepth = 8;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                Rgb c = pixel(x, y);
                recipe.samples.insert(recipe.samples.end(), {c.r, c.g, c.b});
            }
        bytes = imgtest::EncodePng(recipe);
    } else {
        imgtest::JpegRecipe recipe;
        recipe.width = w;
        recipe.height = h;
        recipe.hSample = 1;
        recipe.vSample = 1;
        recipe.quality = 98;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                Rgb c = pixel(x, y);
                recipe.samples.insert(recipe.samples.end(), {c.r, c.g, c.b});
            }
        bytes = imgtest::EncodeJpeg(recipe);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return !bytes.empty() && out.good();
}

COLORREF Ref(Rgb c) { return RGB(c.r, c.g, c.b); }

Rgb Blend(Rgb under, Rgb over, double opacity)
{
    auto mix = [opacity](uint8_t t, uint8_t s) {
        return static_cast<uint8_t>(t * (1.0 - opacity) + s * opacity);
    };
    return {mix(under.r, over.r), mix(under.g, over.g), mix(under.b, over.b)};
}

}  // namespace lettertest
