// libFuzzer target: the TIFF reader through the generic reader, then its
// second page and the read that ignores the orientation, on a memory source.
#include "codecreaders.h"

#include <cstddef>
#include <cstdint>

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
    RunEntry<int>([&](OperationContext &ctx) {
        CISIO io(src);
        for (uint32_t page : {0u, 1u})
            if (BYTE *image = ReadTiffImage(io, page, page ? 0 : kTiffIgnoreOrientation, w, h, ctx))
                GlobalFree(image);
        return 0;
    });
    CloseSource(src);
    return 0;
}
