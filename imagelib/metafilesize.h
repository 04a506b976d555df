// The size rules of metafile rendering, apart from GDI so that they build
// and are fuzzed natively: the placeable header, the picture extents it
// gives, and a picture's natural size in pixels.
#pragma once

#include "platform.h"

#include <cstdint>

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kPlaceableHeaderBytes = 22;
// Natural sizes beyond this many pixels either way are refused: no picture
// preview needs them, and a bitmap that size cannot be had anyway.
constexpr int32_t kMaxMetafilePixels = 16384;

// ReadMetafile flags.
constexpr uint32_t kMetafileGivenSize = 0x1;
constexpr uint32_t kMetafileAsDib = 0x2;
constexpr uint32_t kMetafilePercent = 0x4;

struct PlaceableHeader {
    bool present = false;
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;
    uint16_t unitsPerInch = 0;
};

// The header from a file's first bytes (present only with the key).
PlaceableHeader ReadPlaceableHeader(const BYTE *head, uint32_t length);

// The picture extent in 0.01 mm; false for 0 units per inch.
bool PlaceableExtent(const PlaceableHeader &header, int32_t &xExtent, int32_t &yExtent);

// An enhanced metafile's frame (0.01 mm) and reference device.
struct MetafileFrame {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t devicePixelsX = 0;
    int32_t devicePixelsY = 0;
    int32_t deviceMillimetresX = 0;
    int32_t deviceMillimetresY = 0;
};

struct MetafileSizeRequest {
    uint32_t flags = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pixelsPerInchX = 96;
    int32_t pixelsPerInchY = 96;
};

// The natural size in pixels, by the flags, the placeable header (when
// present) or the frame; false (not a valid metafile) for a size outside
// 1 to kMaxMetafilePixels either way or a device of no size.
bool MetafileNaturalSize(const PlaceableHeader &placeable, const MetafileFrame &frame,
                         const MetafileSizeRequest &request, int32_t &width, int32_t &height);
