// Per-thread settings and results of the readers built on the codec
// libraries: the PNG backgrounds and text chunks, the JPEG scaling and the
// JPEG comments and markers. Part of each thread's LibThreadState, so reads
// on different threads never share them.
#pragma once

#include "metatags.h"

#include <cstdint>
#include <string>
#include <vector>

// A PNG background colour: a palette index, or 16-bit samples.
struct PngColour16 {
    uint8_t index = 0;
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
    uint16_t grey = 0;
};

struct PngTextEntry {
    std::string keyword;
    std::string text;
    uint32_t compressed = 0;  // 1 for zTXt
};

struct PngSettings {
    PngColour16 defaultBackground;
    PngColour16 lastBackground;
    std::vector<PngTextEntry> texts;
};

struct JpegSettings {
    uint32_t scaleNum = 1;
    uint32_t scaleDenom = 1;
    ISPtrVector<CFileDataTag> comments;
    ISPtrVector<CFileDataTag> markers;
};
