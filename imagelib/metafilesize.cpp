// Metafile sizes: the arithmetic of picture extents and natural sizes.
#include "metafilesize.h"

#include "libframe.h"

#include <cmath>

namespace {

constexpr int32_t kHundredthsMmPerInch = 2540;
// Inches in 0.01 mm, slightly below 1 / 2540, so that a placeable picture
// of whole inches comes out a pixel short: callers have seen that size.
constexpr double kInchesPerHundredthMm = 0.00039368528798078815;

// Truncation toward zero of a value that may lie far outside int32_t: the
// result only has to be out of bounds then, never undefined.
int64_t Truncate(double v)
{
    if (!(v == v))
        return 0;
    if (v > 1e12)
        return static_cast<int64_t>(1e12);
    if (v < -1e12)
        return static_cast<int64_t>(-1e12);
    return static_cast<int64_t>(v);
}

bool InBounds(int64_t v) { return v >= 1 && v <= kMaxMetafilePixels; }

}  // namespace

PlaceableHeader ReadPlaceableHeader(const BYTE *head, uint32_t length)
{
    PlaceableHeader h;
    if (!head || length < kPlaceableHeaderBytes || Le32(head) != kPlaceableKey)
        return h;
    h.present = true;
    h.left = static_cast<int16_t>(Le16(head + 6));
    h.top = static_cast<int16_t>(Le16(head + 8));
    h.right = static_cast<int16_t>(Le16(head + 10));
    h.bottom = static_cast<int16_t>(Le16(head + 12));
    h.unitsPerInch = Le16(head + 14);
    return h;
}

bool PlaceableExtent(const PlaceableHeader &header, int32_t &xExtent, int32_t &yExtent)
{
    if (header.unitsPerInch == 0)
        return false;
    xExtent = (header.right - header.left) * kHundredthsMmPerInch / header.unitsPerInch;
    yExtent = (header.bottom - header.top) * kHundredthsMmPerInch / header.unitsPerInch;
    return true;
}

bool MetafileNaturalSize(const PlaceableHeader &placeable, const MetafileFrame &frame,
                         const MetafileSizeRequest &request, int32_t &width, int32_t &height)
{
    int64_t w = 0;
    int64_t h = 0;
    if (request.flags & kMetafileGivenSize) {
        w = request.width;
        h = request.height;
    } else if (placeable.present) {
        int32_t xExtent = 0;
        int32_t yExtent = 0;
        if (!PlaceableExtent(placeable, xExtent, yExtent))
            return false;
        w = Truncate(xExtent * kInchesPerHundredthMm * request.pixelsPerInchX);
        h = Truncate(yExtent * kInchesPerHundredthMm * request.pixelsPerInchY);
    } else {
        if (frame.deviceMillimetresX == 0 || frame.deviceMillimetresY == 0)
            return false;
        const double xScale = frame.devicePixelsX / (frame.deviceMillimetresX * 100.0);
        const float yScale = static_cast<float>(frame.devicePixelsY) / (frame.deviceMillimetresY * 100.0f);
        w = Truncate(frame.right * xScale) - Truncate(frame.left * xScale);
        h = Truncate(static_cast<double>(frame.bottom * yScale)) - Truncate(static_cast<double>(frame.top * yScale));
    }
    if (request.flags & kMetafilePercent) {
        w = Truncate(request.width * 0.01 * static_cast<double>(w));
        h = Truncate(request.height * 0.01 * static_cast<double>(h));
    }
    if (!InBounds(w) || !InBounds(h))
        return false;
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return true;
}
