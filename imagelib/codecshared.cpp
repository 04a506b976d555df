// Pieces the codec readers share: the resolution of their DIB headers.
#include "codecreaders.h"

#include <cmath>

namespace {

constexpr double kInchesPerMetre = 39.37;
constexpr uint32_t kCentimetresPerMetre = 100;
enum DensityUnit : uint32_t { kUnitNone = 0, kUnitInch = 1, kUnitCentimetre = 2 };

}  // namespace

// A density without a unit is an aspect ratio, not a resolution.
int32_t PixelsPerMetre(uint32_t density, uint32_t unit)
{
    switch (unit) {
    case kUnitInch: return static_cast<int32_t>(std::lround(density * kInchesPerMetre));
    case kUnitCentimetre: return static_cast<int32_t>(density * kCentimetresPerMetre);
    default: return 0;
    }
}
