// libFuzzer target: the "8BIM" image-resource block parser in both modes,
// and reading every block it found.
#include "metatags.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 0x100000)
        return 0;
    for (bool keepAll : {false, true}) {
        ResourceBlockList list;
        list.Parse(data, static_cast<uint32_t>(size), keepAll);
        uint32_t sum = 0;
        for (size_t i = 0; i < list.Count(); ++i) {
            const ImageResourceBlock &b = list.At(i);
            if (b.DataSize())
                sum += b.Data()[b.DataSize() - 1];
        }
        list.Find(1005);
        (void)sum;
    }
    return 0;
}
