// libFuzzer target for the metafile size rules: a placeable header (the
// first 22 bytes), an enhanced metafile's frame and reference device, and
// a request of flags, size and screen resolution.
#include "metafilesize.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

int32_t Field(const uint8_t *data, size_t index)
{
    int32_t v;
    memcpy(&v, data + kPlaceableHeaderBytes + 4 * index, sizeof(v));
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t kFields = 13;
    if (size < kPlaceableHeaderBytes + 4 * kFields)
        return 0;
    PlaceableHeader placeable = ReadPlaceableHeader(data, static_cast<uint32_t>(size));
    placeable.present = placeable.present || (data[0] & 1);
    MetafileFrame frame;
    frame.left = Field(data, 0);
    frame.top = Field(data, 1);
    frame.right = Field(data, 2);
    frame.bottom = Field(data, 3);
    frame.devicePixelsX = Field(data, 4);
    frame.devicePixelsY = Field(data, 5);
    frame.deviceMillimetresX = Field(data, 6);
    frame.deviceMillimetresY = Field(data, 7);
    MetafileSizeRequest request;
    request.flags = static_cast<uint32_t>(Field(data, 8));
    request.width = Field(data, 9);
    request.height = Field(data, 10);
    request.pixelsPerInchX = Field(data, 11);
    request.pixelsPerInchY = Field(data, 12);
    int32_t w = 0;
    int32_t h = 0;
    if (MetafileNaturalSize(placeable, frame, request, w, h) &&
        (w < 1 || h < 1 || w > kMaxMetafilePixels || h > kMaxMetafilePixels))
        __builtin_trap();
    int32_t x = 0;
    int32_t y = 0;
    PlaceableExtent(placeable, x, y);
    return 0;
}
