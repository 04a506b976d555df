// libFuzzer target for the Photo CD reader: the whole reader at levels 1
// and 2, as RGB and as a DIB, and the generic reader (level 3).
#include "imagelib.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 0x100000)
        return 0;
    HISSRC src = OpenMemorySource(data, static_cast<uint32_t>(size));
    if (!src)
        return 0;
    uint32_t w = 0;
    uint32_t h = 0;
    for (uint32_t level = 1; level <= 2; ++level)
        for (uint32_t flags : {0u, static_cast<uint32_t>(kReadAsDib)}) {
            SeekSource(src, 0, 0);
            if (BYTE *image = ReadPCD(src, &w, &h, level, flags))
                GlobalFree(image);
        }
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadGeneric(src, &w, &h))
        GlobalFree(image);
    CloseSource(src);
    return 0;
}
