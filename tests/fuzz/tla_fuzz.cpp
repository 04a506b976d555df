// libFuzzer target for the TLA reader: the first byte gives the length of a
// password taken from the bytes after it (0: none), the rest is the file.
// Every output mode, the DIB, the information query and the generic reader.
#include "imagelib.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr size_t kMaxPassword = 15;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 0x100000)
        return 0;
    const size_t passwordLength = data[0] % (kMaxPassword + 1);
    if (size < 1 + passwordLength)
        return 0;
    const std::string password(reinterpret_cast<const char *>(data + 1), passwordLength);
    const uint8_t *file = data + 1 + passwordLength;
    const uint32_t fileSize = static_cast<uint32_t>(size - 1 - passwordLength);
    HISSRC src = OpenMemorySource(file, fileSize);
    if (!src)
        return 0;
    RGBQUAD palette[256];
    uint32_t w = 0;
    uint32_t h = 0;
    for (uint32_t mode = 1; mode <= 4; ++mode) {
        SeekSource(src, 0, 0);
        if (BYTE *image = ReadTLA(src, &w, &h, password.c_str(), mode, palette, 0))
            GlobalFree(image);
    }
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadTLA(src, &w, &h, password.c_str(), 0, nullptr, kReadAsDib))
        GlobalFree(image);
    SeekSource(src, 0, 0);
    uint32_t bits = 0;
    uint32_t colours = 0;
    GetTLAInfo(src, &w, &h, &bits, password.c_str(), palette, &colours);
    SeekSource(src, 0, 0);
    if (BYTE *image = ReadGeneric(src, &w, &h))
        GlobalFree(image);
    CloseSource(src);
    return 0;
}
