// Photo CD: the residual decoder on its own, so it can be tested and
// fuzzed on small planes.
#pragma once

#include "isio.h"
#include "libframe.h"

#include <cstdint>

// The three working planes: luma at full pass size, the two chroma planes
// at half size, all rows stride bytes apart, each plane planeBytes long.
struct PcdPlanes {
    BYTE *luma = nullptr;
    BYTE *chroma1 = nullptr;
    BYTE *chroma2 = nullptr;
    uint32_t stride = 0;
    uint32_t planeBytes = 0;
};

// Adds one residual stream (tables, then rows behind sync markers) read
// from the source's position to planes of width x rows luma pixels. 0, or
// 63 for a stream that is not a Photo CD one. end is where the stream
// stopped: the offset of the first byte not consumed.
int32_t DecodePcdResidual(CISIO &io, PcdPlanes &planes, uint32_t width, uint32_t rows, uint32_t tables,
                          uint32_t &end);
