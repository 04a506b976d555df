// The readers built on the codec libraries (libjpeg, libpng, libtiff), as
// the generic reader and the entry points call them. Each works on a CISIO
// from its current position (the TIFF reader rewinds first) and leaves its
// outcome in the context's slot.
#pragma once

#include "isio.h"
#include "libframe.h"

#include <cstdint>

// The memory a codec may take for one picture, and libjpeg's limit on
// progressive scans: a hostile file fails instead of exhausting the machine.
constexpr uint64_t kCodecMemoryLimit = kImageSizeLimit < (512u << 20) ? kImageSizeLimit : (512u << 20);
constexpr int kJpegMaxScans = 500;

// ReadJPG flags.
constexpr uint32_t kJpegRawCmyk = 0x1;
constexpr uint32_t kJpegAsDib = 0x2;
constexpr uint32_t kJpegKeepYcc = 0x4;
constexpr uint32_t kJpegPaddedBgr = 0x8;
constexpr uint32_t kJpegSeekBack = 0x10;

BYTE *ReadJpegImage(CISIO &io, uint32_t depth, uint32_t flags, uint32_t &width, uint32_t &height,
                    OperationContext &ctx);

struct JpegInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bits = 0;
    uint16_t xDensity = 0;
    uint16_t yDensity = 0;
    uint8_t densityUnit = 0;
    uint32_t colourSpace = 0;
    uint32_t codingFlags = 0;  // 1 progressive, 2 arithmetic
};
bool ReadJpegInfo(CISIO &io, JpegInfo &info, OperationContext &ctx);

// ReadPNG flags.
constexpr uint32_t kPngGamma = 0x1;
constexpr uint32_t kPngAsDib = 0x2;
constexpr uint32_t kPngGrey16 = 0x4;

// palette: 256 entries, needed for depths 1 and 8 (and filled in DIB mode
// inside the DIB). A buffer may come back with an error set (14, 15, 17 or
// 28 after it was made): it holds the rows read so far.
BYTE *ReadPngImage(CISIO &io, uint32_t depth, RGBQUAD *palette, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx);

struct PngInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t bitDepth = 0;
    int32_t colourType = 0;
    int32_t interlace = 0;
    uint32_t resolution[3] = {0, 0, 0};  // x, y, unit (1 metre)
    uint32_t paletteCount = 0;
    int32_t transparentIndex = -1;
    int32_t transparentRed = -1;
    int32_t transparentGreen = -1;
    int32_t transparentBlue = -1;
    int32_t transparentGrey = -1;
};
// palette: null, or 256 entries to fill.
bool ReadPngInfo(CISIO &io, PngInfo &info, RGBQUAD *palette, OperationContext &ctx);

// ReadTIFF flags.
constexpr uint32_t kTiffIgnoreOrientation = 0x1;

// The first page (or page) as 24-bit top-down RGB in display orientation.
BYTE *ReadTiffImage(CISIO &io, uint32_t page, uint32_t flags, uint32_t &width, uint32_t &height,
                    OperationContext &ctx);

// DIB resolution from a density and its unit (0 none, 1 per inch, 2 per
// centimetre), in pixels per metre.
int32_t PixelsPerMetre(uint32_t density, uint32_t unit);
