// BMP reading and writing inside the library (the generic reader calls the
// workers directly; ReadBMP and WriteBMP are the entry points).
#pragma once

#include "isio.h"
#include "libframe.h"

#include <cstdint>

constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint32_t kBmpInfoHeaderBytes = 40;
constexpr uint32_t kBmpCoreHeaderBytes = 12;
constexpr uint32_t kBmpPlainHeadersBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;

// Reads the BMP at bits 24 or 32 (rows of red, green, blue and, for 32,
// alpha), at 1 or 8 with the caller's 256-entry palette, or as a packed DIB
// (kReadAsDib). Width and height are set when a buffer comes back; a buffer
// may come back with an error (3 or 14) when the rows stopped early.
BYTE *ReadBmpImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx);

// Resolution record of the BMP information query: unit 2 pixels per metre,
// unit 1 pixels per centimetre.
struct BmpResolution {
    uint32_t x;
    uint32_t y;
    uint32_t unit;
};

// Width, height (signed, as stored) and bit count of a BMP.
bool ReadBmpInfo(CISIO &io, int32_t &width, int32_t &height, uint32_t &bits, BmpResolution *resolution,
                 uint32_t flags, OperationContext &ctx);

uint32_t WriteBmpImage(CISIO &io, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits,
                       uint32_t colours, const RGBQUAD *palette, const uint32_t *resolution, uint32_t flags,
                       OperationContext &ctx);
