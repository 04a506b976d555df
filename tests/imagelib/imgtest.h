// Portable helpers of the image-library tests (they build under Wine and
// natively): temp folders, whole files, a BMP writer of our own for
// fixtures, and synthetic pictures with their expected pixels.
#pragma once

#include "imagelib.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imgtest {

using Bytes = std::vector<uint8_t>;

// A fresh folder for one test, removed with its contents afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    std::string File(const std::string &name) const;

private:
    std::string path_;
};

bool WriteFile(const std::string &path, const Bytes &bytes);
Bytes ReadFile(const std::string &path);

// One BMP file as the tests want it, header field by header field.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down rows
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<RGBQUAD> palette;  // entries written to the file
    std::vector<uint32_t> masks;   // written after the header (bit fields)
    uint32_t gap = 0;              // junk bytes before the pixel data
    bool core = false;             // 12-byte header, 3-byte palette entries
    Bytes pixels;                  // stored rows or RLE stream, as written
    int64_t dataOffset = -1;       // -1: where the pixels really start
};
Bytes BuildBmp(const BmpLayout &layout);

// A synthetic picture: width x height, top row first, and the expected
// pixels as red, green, blue.
struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> indices;  // one a pixel, for palette depths
    std::vector<RGBQUAD> palette;
    Bytes rgb;
};

// An index picture of the given colour count with a distinct palette.
Picture IndexPicture(uint32_t width, uint32_t height, uint32_t colours);
// A colourful true-colour picture.
Picture ColourPicture(uint32_t width, uint32_t height);

// Stored rows (padded, in file order) of a picture at a depth: palette
// depths pack the indices; 16 bits use 5-5-5 or the 5-6-5 masks; 24 and 32
// store blue, green, red (32 adds alpha = x + y).
Bytes StoredRows(const Picture &picture, uint16_t bits, bool topDown, bool mask565 = false);
// What a 16-bit pixel reads back as, for the expected image.
Picture As16Bit(const Picture &picture, bool mask565);

// A BMP file of the picture at that depth.
Bytes PictureBmp(const Picture &picture, uint16_t bits, bool topDown);

// Owner of a GlobalAlloc result.
class Result {
public:
    explicit Result(BYTE *p = nullptr) : p_(p) {}
    ~Result();
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    BYTE *Get() const { return p_; }
    Bytes Copy(size_t n) const { return p_ ? Bytes(p_, p_ + n) : Bytes(); }

private:
    BYTE *p_;
};

// Reads bytes through a memory source with ReadBMP or ReadGeneric.
struct ReadOutcome {
    Bytes pixels;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t error = 0;
    bool returned = false;
};
ReadOutcome ReadBmpBytes(const Bytes &file, uint32_t bits, RGBQUAD *palette = nullptr);
ReadOutcome ReadGenericBytes(const Bytes &file);

}  // namespace imgtest
