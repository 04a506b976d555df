// libFuzzer target: the BMP reader at every depth it offers, the packed-DIB
// form, format detection and the generic reader, on a memory source.
#include "imagelib.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadAndFree(HISSRC src, uint32_t bits, RGBQUAD *palette, uint32_t flags)
{
    uint32_t w = 0;
    uint32_t h = 0;
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadBMP(src, &w, &h, bits, palette, flags))
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
    RGBQUAD palette[256];
    ReadAndFree(src, 24, nullptr, 0);
    ReadAndFree(src, 32, nullptr, 0);
    ReadAndFree(src, 8, palette, 0);
    ReadAndFree(src, 1, palette, 0);
    ReadAndFree(src, 0, nullptr, kReadAsDib);
    SeekSource(src, 0, 0);
    GuessFormat(src);
    uint32_t w = 0;
    uint32_t h = 0;
    if (BYTE *image = ReadGeneric(src, &w, &h))
        GlobalFree(image);
    CloseSource(src);
    return 0;
}
