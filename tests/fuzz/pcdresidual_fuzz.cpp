// libFuzzer target for the Photo CD residual decoder on small planes: the
// first byte picks the table count (1 to 3) and the row count, the rest is
// the stream.
#include "pcdformat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr uint32_t kWidth = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 0x10000)
        return 0;
    const uint32_t tables = data[0] % 3 + 1;
    const uint32_t rows = 8u << ((data[0] >> 2) % 4);
    HISSRC src = OpenMemorySource(data + 1, static_cast<uint32_t>(size - 1));
    if (!src)
        return 0;
    // Exactly the planes' size, so that a write past them is seen.
    const uint32_t planeBytes = kWidth * rows + 1;
    std::vector<BYTE> luma(planeBytes), chroma1(planeBytes), chroma2(planeBytes);
    PcdPlanes planes{luma.data(), chroma1.data(), chroma2.data(), kWidth, planeBytes};
    CISIO io(src);
    uint32_t end = 0;
    DecodePcdResidual(io, planes, kWidth, rows, tables, end);
    CloseSource(src);
    return 0;
}
