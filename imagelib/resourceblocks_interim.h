// Image-resource blocks ("8BIM") as Photoshop files store them: a small
// interim parser that gives the PSD reader its resolution block until the
// library's full metadata-tag parser takes its place.
#pragma once

#include "libframe.h"

#include <cstdint>
#include <vector>

struct ImageResourceBlock {
    uint16_t resourceId = 0;
    uint32_t headerLength = 0;  // block start to data start
    std::vector<BYTE> data;     // the whole block, signature included
};

class ResourceBlockList {
public:
    // Splits the buffer into blocks; with keepAll clear a repeated id keeps
    // its first block. False (error 5 or 67) when no block could be parsed.
    bool Parse(const BYTE *buffer, uint32_t length, bool keepAll);
    // The first block of that id, or null with error 5.
    const ImageResourceBlock *Find(uint16_t id);
    int32_t Error() const { return error_; }

private:
    int32_t error_ = 0;
    std::vector<ImageResourceBlock> blocks_;
};
