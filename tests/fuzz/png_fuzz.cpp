// libFuzzer target: the PNG reader through the generic reader, then every
// other layout, gamma, the packed DIB and the information query, on a
// memory source.
#include "codecreaders.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadAndFree(HISSRC src, uint32_t depth, uint32_t flags)
{
    RGBQUAD palette[256];
    uint32_t w = 0;
    uint32_t h = 0;
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadPNG(src, &w, &h, depth, palette, flags))
        GlobalFree(image);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 0x100000)
        return 0;
    HISSRC src = OpenMemorySource(data, static_cast<uint32_t>(size));
    if (!src)
        return 0;
    uint32_t w = 0;
    uint32_t h = 0;
    if (BYTE *image = ReadGeneric(src, &w, &h))
        GlobalFree(image);
    for (uint32_t depth : {1u, 8u, 16u, 32u, 48u, 64u})
        ReadAndFree(src, depth, 0);
    ReadAndFree(src, 16, kPngGrey16);
    ReadAndFree(src, 24, kPngGamma);
    ReadAndFree(src, 0, kPngAsDib);
    SeekSource(src, 0, 0);
    {
        CISIO io(src);
        OperationContext ctx;
        PngInfo info;
        RGBQUAD palette[256];
        ReadPngInfo(io, info, palette, ctx);
    }
    CloseSource(src);
    return 0;
}
