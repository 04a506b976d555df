// Fixtures made by the codec libraries' own encoders, in memory, from
// synthetic pictures; and the same libraries' direct decodes as expected
// pixels.
#pragma once

#include "imgtest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace imgtest {

struct JpegMarker {
    int code;  // 0xFE comment, 0xE0 + n application marker
    std::string bytes;
};

struct JpegRecipe {
    uint32_t width = 16;
    uint32_t height = 16;
    int components = 3;        // 1 grey, 3 YCbCr, 4 CMYK or YCCK
    bool ycck = false;         // 4 components stored as YCCK
    int hSample = 2;           // luma sampling: 2x2 is 4:2:0, 2x1 4:2:2, 1x1 4:4:4
    int vSample = 2;
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0;
    int quality = 90;
    int densityUnit = 0;       // JFIF: 0 none, 1 per inch, 2 per centimetre
    int density = 1;
    std::vector<JpegMarker> markers;
    Bytes samples;             // interleaved, components a pixel; empty: a gradient
};
Bytes EncodeJpeg(const JpegRecipe &recipe);
// The same bytes decoded by libjpeg directly: RGB for 1 and 3 components,
// CMYK as stored for 4.
Bytes DecodeJpegDirect(const Bytes &file, uint32_t &width, uint32_t &height);

struct PngText {
    std::string key;
    std::string text;
    int compression;  // -1 tEXt, 0 zTXt, 1 iTXt
};

struct PngRecipe {
    uint32_t width = 9;
    uint32_t height = 7;
    int colourType = 2;   // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint16_t> samples;  // samples a pixel x width x height; empty: a pattern
    std::vector<RGBQUAD> palette;   // for colour type 3
    std::vector<uint8_t> trnsAlpha; // palette alpha
    bool trnsColour = false;        // tRNS of one grey/RGB colour: trnsValue
    uint16_t trnsValue[3] = {0, 0, 0};
    bool background = false;
    uint16_t backgroundValue[3] = {0, 0, 0};  // grey or RGB, or index
    bool srgb = false;
    double gamma = 0;               // gAMA when non-zero
    bool physMetre = false;
    uint32_t physX = 0, physY = 0;
    std::vector<PngText> texts;
};
int PngChannels(int colourType);
// A pattern that uses the whole range of the bit depth.
std::vector<uint16_t> PngPattern(const PngRecipe &recipe);
Bytes EncodePng(const PngRecipe &recipe);

struct TiffPage {
    uint32_t width = 5;
    uint32_t height = 3;
    uint16_t samplesPerPixel = 3;
    uint16_t bitsPerSample = 8;
    uint16_t photometric = 2;      // 0 min-is-white, 1 min-is-black, 2 RGB, 3 palette, 6 YCbCr
    uint16_t planar = 1;           // 1 contiguous, 2 separate
    uint16_t compression = 1;      // 1 none, 5 LZW, 8 Deflate, 32773 PackBits, 7 JPEG
    uint16_t orientation = 0;      // 0: no tag
    uint32_t rowsPerStrip = 0;     // 0: the whole picture in one strip
    uint32_t tileSize = 0;         // non-zero: square tiles of this size
    std::vector<uint16_t> samples; // interleaved, as stored; 8-bit samples as values 0..255
    std::vector<uint16_t> colourMap;  // red, green, blue tables of 2^bits 16-bit entries
};
// big: BigTIFF (64-bit offsets).
Bytes EncodeTiff(const std::vector<TiffPage> &pages, bool big = false);
// The page decoded by libtiff's RGBA reader, top row first, as RGB.
Bytes DecodeTiffDirect(const Bytes &file, uint32_t &width, uint32_t &height);

// Reads bytes through a memory source with ReadJPG or ReadPNG.
ReadOutcome ReadJpgBytes(const Bytes &file, uint32_t depth, uint32_t flags, size_t bytesPerPixel);
ReadOutcome ReadPngBytes(const Bytes &file, uint32_t depth, uint32_t flags, size_t bytesPerPixel,
                         RGBQUAD *palette = nullptr);

// Mutations of a good file, for the bad-input tests: every third one cut
// at a seeded length, the others with a few seeded bytes flipped.
class Mutator {
public:
    Mutator(const Bytes &good, uint32_t seed) : good_(good), seed_(seed) {}
    Bytes Next();

private:
    uint32_t Step() { return seed_ = seed_ * 1103515245u + 12345u; }
    const Bytes &good_;
    uint32_t seed_;
    int count_ = 0;
};

// Runs two workers at once on their own threads (each releases its thread
// state when done); true when both answered true.
bool BothThreadsPass(const std::function<bool(int worker)> &work);

// Largest difference between two byte strings of the same length (256 when
// the lengths differ).
int MaxDifference(const Bytes &a, const Bytes &b);

}  // namespace imgtest
