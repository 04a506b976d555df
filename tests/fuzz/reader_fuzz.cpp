// libFuzzer target for one of the GIF, PCX, PSD, TGA and WBMP readers (the
// build names it with WYN_FUZZ_READER): the reader at each of its depths and
// flags on a memory source, then format detection and the generic reader.
// A memory source has no name, so the generic reader reaches TGA only by
// its footer and WBMP only by 00 00; the direct calls cover the rest.
#include "imagelib.h"

#include <cstddef>
#include <cstdint>

namespace {

enum Reader { kGif, kPcx, kPsd, kTga, kWbmp };

struct Call {
    uint32_t bits;
    uint32_t flags;
};

BYTE *ReadOnce(HISSRC src, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t *w, uint32_t *h)
{
    switch (WYN_FUZZ_READER) {
    case kGif: {
        int32_t transparent = 0;
        return ReadGIF(src, w, h, &transparent, palette, flags);
    }
    case kPcx:
        return ReadPCX(src, w, h, bits, palette, flags);
    case kPsd:
        return ReadPSD(src, w, h, bits, palette, flags);
    case kTga:
        return ReadTGA(src, w, h, bits, palette, flags);
    default:
        return ReadWBMP(src, w, h, palette, bits, flags);
    }
}

constexpr Call kCalls[] = {
    {24, 0}, {32, 0}, {8, 0}, {1, 0}, {0, kReadAsDib}, {24, kReadPsdCmyk}, {0, kReadAsDib | kReadPsdCmyk},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 0x100000)
        return 0;
    HISSRC src = OpenMemorySource(data, static_cast<uint32_t>(size));
    if (!src)
        return 0;
    RGBQUAD palette[256];
    for (const Call &call : kCalls) {
        if ((call.flags & kReadPsdCmyk) && WYN_FUZZ_READER != kPsd)
            continue;
        uint32_t w = 0;
        uint32_t h = 0;
        SeekSource(src, 0, 0);
        if (BYTE *image = ReadOnce(src, call.bits, palette, call.flags, &w, &h))
            GlobalFree(image);
    }
    SeekSource(src, 0, 0);
    GuessFormat(src);
    uint32_t w = 0;
    uint32_t h = 0;
    if (BYTE *image = ReadGeneric(src, &w, &h))
        GlobalFree(image);
    CloseSource(src);
    return 0;
}
