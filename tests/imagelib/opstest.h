// Helpers of the image-operation tests: a progress callback that stops an
// operation after a number of reports and keeps what it was told.
#pragma once

#include "imagelib.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace opstest {

// 0x00BBGGRR, as Windows' RGB macro (which native builds do not have).
constexpr COLORREF Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Registered for as long as it lives; answers zero on report number
// stopAt (counting from 1), and non-zero before it (0: never stops).
class ProgressProbe {
public:
    explicit ProgressProbe(uint32_t stopAt = 0);
    ~ProgressProbe();
    ProgressProbe(const ProgressProbe &) = delete;
    ProgressProbe &operator=(const ProgressProbe &) = delete;

    // (row, rows) of every report so far.
    const std::vector<std::pair<uint32_t, uint32_t>> &Reports() const;
};

}  // namespace opstest
