// libFuzzer target: the JPEG reader through the generic reader, then its
// other layouts, the packed DIB, padded rows with seek-back and the
// information query, on a memory source.
#include "codecreaders.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadAndFree(HISSRC src, uint32_t depth, uint32_t flags)
{
    uint32_t w = 0;
    uint32_t h = 0;
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadJPG(src, &w, &h, depth, flags))
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
    ReadAndFree(src, 8, 0);
    ReadAndFree(src, 32, kJpegRawCmyk);
    ReadAndFree(src, 24, kJpegAsDib);
    ReadAndFree(src, 24, kJpegPaddedBgr | kJpegSeekBack);
    ReadAndFree(src, 24, kJpegKeepYcc);
    SeekSource(src, 0, 0);
    {
        CISIO io(src);
        OperationContext ctx;
        JpegInfo info;
        ReadJpegInfo(io, info, ctx);
    }
    CloseSource(src);
    return 0;
}
