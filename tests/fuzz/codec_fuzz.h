// Steps the codec fuzz targets share.
#pragma once

#include "imagelib.h"

#include <cstddef>
#include <cstdint>

// Pictures above this many pixels are decoded once only: each further
// layout would take as long again and the run would time out.
constexpr uint64_t kLayoutPixels = 256 * 1024;

// A memory source over the input, or null for inputs not worth a run.
inline HISSRC OpenFuzzInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 0x100000)
        return nullptr;
    return OpenMemorySource(data, static_cast<uint32_t>(size));
}

// The generic reader on the source; the pixels of what it gave (0 for none).
inline uint64_t ReadGenericPixels(HISSRC src)
{
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *image = ReadGeneric(src, &w, &h);
    if (!image)
        return 0;
    GlobalFree(image);
    return static_cast<uint64_t>(w) * h;
}
