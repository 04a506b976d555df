// Picture files for the lettering tests, written into a temp folder in the
// formats the program reads, from a pixel function.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace lettertest {

enum class Format { kBmp, kPng, kJpeg };
const char *FormatName(Format format);

struct Rgb {
    uint8_t r, g, b;
};
using PixelFn = std::function<Rgb(uint32_t x, uint32_t y)>;

// Writes a w x h picture to path; false when it could not be written.
bool WritePicture(const std::string &path, Format format, uint32_t w, uint32_t h, const PixelFn &pixel);

COLORREF Ref(Rgb c);
// trunc(under * (1 - opacity) + over * opacity) per channel, as a template is laid.
Rgb Blend(Rgb under, Rgb over, double opacity);

}  // namespace lettertest
