// Helpers of the GIF, PCX, PSD, TGA and WBMP reader tests: the cross-check
// files made at build time by other encoders, reads through a memory
// source, and writers of our own for what no encoder writes.
#pragma once

#include "imgtest.h"

#include <functional>
#include <string>
#include <vector>

namespace readertest {

using imgtest::Bytes;

// One cross-check file and the pixels its encoder decodes it to.
struct Fixture {
    std::string name;
    uint32_t width = 0;
    uint32_t height = 0;
    std::string expected;
};
std::vector<Fixture> Manifest();
// The path of a file of the cross-check folder, as this program opens it.
std::string FixturePath(const std::string &name);
Bytes FixtureBytes(const std::string &name);

// A read on an open source: the buffer, and how many of its bytes to keep.
using SourceRead = std::function<BYTE *(HISSRC source, uint32_t *width, uint32_t *height)>;
struct Outcome {
    Bytes pixels;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t error = 0;
    bool returned = false;
};
// bytesPerPixel 0: bytes of the whole packed DIB from its header;
// kPackedMono: rows of (width + 7) / 8 bytes.
constexpr uint32_t kPackedMono = 0x100;
Outcome ReadMemory(const Bytes &file, const SourceRead &read, uint32_t bytesPerPixel);
Outcome ReadPath(const std::string &path, const SourceRead &read, uint32_t bytesPerPixel);
SourceRead Generic();

// A read that also fills a 256-entry palette (set to 0xAB bytes first).
struct PaletteOutcome {
    Outcome outcome;
    RGBQUAD palette[256];
};
using PaletteRead = std::function<BYTE *(HISSRC source, uint32_t *width, uint32_t *height, RGBQUAD *palette)>;
PaletteOutcome ReadWithPalette(const Bytes &file, const PaletteRead &read, uint32_t bytesPerPixel);

// Little- and big-endian appenders for hand-made files.
void Le16(Bytes &b, uint32_t v);
void Le32(Bytes &b, uint32_t v);
void Be16(Bytes &b, uint32_t v);
void Be32(Bytes &b, uint32_t v);

// GIF image data (minimum code size byte, sub-blocks, terminator) by an
// LZW encoder of our own. kClearWhenFull is the usual encoder; kPlain sends
// a clear code every 2^n - 2 codes so every code is a literal; kNoClear
// lets the table fill to 4096 and goes on without a clear code. For
// kNoClear, decodable tells how many pixels a decoder that ends at the full
// table delivers.
enum class LzwMode { kClearWhenFull, kPlain, kNoClear };
Bytes LzwEncode(const std::vector<uint8_t> &indices, uint32_t minCodeSize, LzwMode mode,
                size_t *decodable = nullptr);
// GIF89a with a global table of the given colours, screen = image size.
Bytes GifFile(uint32_t width, uint32_t height, const std::vector<RGBQUAD> &colours, const Bytes &extensions,
              BYTE imagePacked, const Bytes &imageData);

// PackBits rows as PSD stores them.
Bytes PackBitsRow(const Bytes &row);

}  // namespace readertest
