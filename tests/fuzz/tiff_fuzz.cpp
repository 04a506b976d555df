// libFuzzer target: the TIFF reader through the generic reader, then its
// second page and the read that ignores the orientation, on a memory source.
#include "codecreaders.h"
#include "codec_fuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HISSRC src = OpenFuzzInput(data, size);
    if (!src)
        return 0;
    if (ReadGenericPixels(src) > kLayoutPixels) {
        CloseSource(src);
        return 0;
    }
    RunEntry<int>([&](OperationContext &ctx) {
        uint32_t w = 0;
        uint32_t h = 0;
        CISIO io(src);
        for (uint32_t page : {0u, 1u})
            if (BYTE *image = ReadTiffImage(io, page, page ? 0 : kTiffIgnoreOrientation, w, h, ctx))
                GlobalFree(image);
        return 0;
    });
    CloseSource(src);
    return 0;
}
