// The sound part of every scene object's record: the channels of its first and
// second sound and a pending fade of the first. Unloading an object keeps it.
#pragma once

#include <cstdint>

struct ObjectSound {
    uint32_t Channel1;
    uint32_t Channel2;
    int32_t Fade;  // > 0 fade in to full, < 0 fade out and stop
};
