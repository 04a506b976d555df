// Laying one image over another, blending a colour under a weight mask, and
// the two workers of the TIFF code: the 1-bit paste and the 16-bit
// compositor. All share one clip rule.
#include "imageops.h"
#include "pixelrows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kRgbBytes = 3;
constexpr uint32_t kRgbaBytes = 4;
constexpr uint32_t kLevels = 256;

int64_t ClampCoord(int64_t v, uint32_t limit) { return std::clamp<int64_t>(v, 0, limit); }

// Opacities not below 1 (and NaN) draw fully; those below 0 not at all.
double ClampOpacity(double o)
{
    if (!(o < 1.0))
        return 1.0;
    return o < 0.0 ? 0.0 : o;
}

// The opacity threshold and offset of the compositor: the caller's opacity
// truncated, held inside the range a sample difference can use.
int64_t OpacityThreshold(double opacity)
{
    if (std::isnan(opacity))
        return 0;
    return static_cast<int64_t>(std::clamp(opacity, -131072.0, 131072.0));
}

BYTE BitAt(const BYTE *row, uint32_t x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

void PutBit(BYTE *row, uint32_t x, bool on)
{
    const BYTE bit = kSingleBitMask[7 - (x & 7)];
    if (on)
        row[x >> 3] = static_cast<BYTE>(row[x >> 3] | bit);
    else
        row[x >> 3] = static_cast<BYTE>(row[x >> 3] & ~bit);
}

struct OpacityTables {
    double keep[kLevels];
    double take[kLevels];
    BYTE keepByte[kLevels];
    BYTE takeByte[kLevels];

    explicit OpacityTables(double o)
    {
        for (uint32_t i = 0; i < kLevels; ++i) {
            keep[i] = i * (1.0 - o);
            take[i] = i * o;
            keepByte[i] = static_cast<BYTE>(keep[i]);
            takeByte[i] = static_cast<BYTE>(take[i]);
        }
    }
};

// The colours-match test against one key, with the key's bytes taken apart
// once a call.
class KeyTest {
public:
    KeyTest(uint32_t key, uint32_t tolerance)
        : key_(key), tolerance_(tolerance), k0_(key & 0xFF), k1_((key >> 8) & 0xFF), k2_((key >> 16) & 0xFF)
    {
    }
    bool Matches(const BYTE *s) const
    {
        if (static_cast<uint32_t>(s[0] | (s[1] << 8) | (s[2] << 16)) == key_)
            return true;
        if (tolerance_ == 0)
            return false;
        const int32_t d0 = s[0] - k0_, d1 = s[1] - k1_, d2 = s[2] - k2_;
        return static_cast<uint32_t>(d0 * d0 + d1 * d1 + d2 * d2) <= tolerance_;
    }

private:
    uint32_t key_;
    uint32_t tolerance_;
    int32_t k0_, k1_, k2_;
};

// The arithmetic is chosen once a call, not once a byte.
template <bool kByteTables>
void OverlayRow(BYTE *t, const BYTE *s, uint32_t count, const OpacityTables &tables, const KeyTest &key)
{
    for (uint32_t i = 0; i < count; ++i, t += kRgbBytes, s += kRgbBytes) {
        if (key.Matches(s))
            continue;
        for (uint32_t k = 0; k < kRgbBytes; ++k)
            t[k] = kByteTables ? static_cast<BYTE>(tables.keepByte[t[k]] + tables.takeByte[s[k]])
                               : static_cast<BYTE>(tables.keep[t[k]] + tables.take[s[k]]);
    }
}

// One visited row of the compositor, in sample units.
struct SampleSpan {
    uint16_t *target;
    const uint16_t *source;
    uint32_t count;
};

class Compositor {
public:
    Compositor(uint32_t mode, double opacity, uint32_t largest)
        : mode_(mode), o_(ClampOpacity(opacity)), raw_(opacity), t_(OpacityThreshold(opacity)), largest_(largest)
    {
        if (mode_ == kCompositeTables || mode_ == kCompositeDoubles) {
            keep_.resize(static_cast<size_t>(largest) + 1);
            take_.resize(static_cast<size_t>(largest) + 1);
            for (uint32_t i = 0; i <= largest; ++i) {
                keep_[i] = i * (1.0 - o_);
                take_[i] = i * o_;
                if (mode_ == kCompositeTables) {
                    keep_[i] = std::trunc(keep_[i]);
                    take_[i] = std::trunc(take_[i]);
                }
            }
        }
    }

    bool CopiesSource() const { return IsBlend() && o_ == 1.0; }
    bool ChangesNothing() const { return IsBlend() && o_ == 0.0; }

    void Row(const SampleSpan &span) const
    {
        for (uint32_t i = 0; i < span.count; ++i)
            span.target[i] = Sample(span.target[i], span.source[i]);
    }

private:
    bool IsBlend() const { return mode_ == kCompositeTables || mode_ == kCompositeDoubles; }

    uint16_t Top(int64_t v) const { return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, largest_)); }

    uint16_t Sample(uint32_t d, uint32_t s) const
    {
        const int64_t l = largest_;
        switch (mode_) {
        case kCompositeTables:
        case kCompositeDoubles: return Top(static_cast<int64_t>(keep_[Limit(d)] + take_[Limit(s)]));
        case kCompositeAnd: return static_cast<uint16_t>(d & s);
        case kCompositeOr: return static_cast<uint16_t>(d | s);
        case kCompositeXor: return static_cast<uint16_t>(d ^ s);
        case kCompositeMax: return static_cast<uint16_t>(std::max(d, s));
        case kCompositeMin: return static_cast<uint16_t>(std::min(d, s));
        case kCompositeAdd: return Top(static_cast<int64_t>(d) + s);
        case kCompositeSubtract: return Top(static_cast<int64_t>(d) - s);
        case kCompositeAbove: return static_cast<uint16_t>(static_cast<int64_t>(s) > t_ ? s : d);
        case kCompositeBelow: return static_cast<uint16_t>(static_cast<int64_t>(s) < t_ ? s : d);
        case kCompositeDifference: return static_cast<uint16_t>(d > s ? d - s : s - d);
        case kCompositeMultiply: return Top(static_cast<int64_t>(d) * s / l);
        case kCompositeScaledMultiply: {
            const double v = static_cast<double>(d) / l * s * raw_;
            return Top(std::isnan(v) ? 0 : static_cast<int64_t>(std::clamp(v, 0.0, static_cast<double>(l))));
        }
        case kCompositeScreen: return Top(l - (l - Limit(d)) * (l - Limit(s)) / l);
        // Both may fall below 0; they stop there as every other mode does.
        case kCompositeAddOffset: return Top(static_cast<int64_t>(d) - t_ + s);
        case kCompositeSubtractOffset: return Top(static_cast<int64_t>(d) - s + t_);
        case kCompositeNand: return static_cast<uint16_t>(~(d & s));
        case kCompositeNor: return static_cast<uint16_t>(~(d | s));
        default: return static_cast<uint16_t>(~(d ^ s));
        }
    }

    // Samples above the largest value (the caller's data may hold them)
    // are read as the largest.
    uint32_t Limit(uint32_t v) const { return std::min<uint32_t>(v, largest_); }

    uint32_t mode_;
    double o_;
    double raw_;
    int64_t t_;
    uint32_t largest_;
    std::vector<double> keep_;
    std::vector<double> take_;
};

}  // namespace

ClipBox ClipPiece(uint32_t width, uint32_t height, int64_t x, int64_t y, uint64_t w, uint64_t h)
{
    const int64_t right = x + static_cast<int64_t>(std::min<uint64_t>(w, UINT32_MAX));
    const int64_t bottom = y + static_cast<int64_t>(std::min<uint64_t>(h, UINT32_MAX));
    return {static_cast<uint32_t>(ClampCoord(x, width)), static_cast<uint32_t>(ClampCoord(y, height)),
            static_cast<uint32_t>(ClampCoord(right, width)), static_cast<uint32_t>(ClampCoord(bottom, height))};
}

BOOL OverlayImage(BYTE *target, uint32_t width, uint32_t height, uint32_t rowBytes, const BYTE *overlay,
                  uint32_t overlayWidth, uint32_t overlayHeight, uint32_t overlayRowBytes, int32_t x, int32_t y,
                  double opacity, COLORREF transparent, uint32_t tolerance, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!target || !overlay || overlay == target || !RowsFit(width, height, kRgbBytes, rowBytes) ||
            !RowsFit(overlayWidth, overlayHeight, kRgbBytes, overlayRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const ClipBox box = ClipPiece(width, height, x, y, overlayWidth, overlayHeight);
        if (box.top >= box.bottom || box.left >= box.right)
            return TRUE;
        if (flags & kOverlaySwapKey)
            transparent = (transparent & 0xFF00FF00u) | ((transparent & 0xFF) << 16) | ((transparent >> 16) & 0xFF);
        const OpacityTables tables(ClampOpacity(opacity));
        const uint32_t count = box.right - box.left;
        const KeyTest key(transparent, tolerance);
        RowProgress progress;
        for (uint32_t row = box.top; row < box.bottom; ++row) {
            BYTE *t = RowAt(target, row, rowBytes) + static_cast<size_t>(box.left) * kRgbBytes;
            const BYTE *s = RowAt(overlay, static_cast<uint32_t>(row - y), overlayRowBytes) +
                            static_cast<size_t>(box.left - x) * kRgbBytes;
            if (flags & kOverlayByteTables)
                OverlayRow<true>(t, s, count, tables, key);
            else
                OverlayRow<false>(t, s, count, tables, key);
            if (!progress.Report(row - box.top, box.bottom - box.top, ctx))
                return FALSE;
        }
        return TRUE;
    });
}

BOOL AlphaBlendColor(BYTE *image, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                     const BYTE *mask, uint32_t maskWidth, uint32_t maskHeight, uint32_t maskRowBytes,
                     COLORREF colour, int32_t x, int32_t y, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!image || !mask) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (bytesPerPixel != kRgbBytes && bytesPerPixel != kRgbaBytes)
            return TRUE;
        if (!RowsFit(width, height, bytesPerPixel, rowBytes) || !RowsFit(maskWidth, maskHeight, 1, maskRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const ClipBox box = ClipPiece(width, height, x, y, maskWidth, maskHeight);
        if (box.top >= box.bottom || box.left >= box.right)
            return TRUE;
        BYTE c[kRgbaBytes] = {static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                              static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 24)};
        if (flags & kBlendSwapRedBlue)
            std::swap(c[0], c[2]);
        const uint32_t channels = bytesPerPixel == kRgbaBytes && (flags & kBlendFourthByte) ? kRgbaBytes : kRgbBytes;
        const uint8_t *product = ProductTable();
        RowProgress progress;
        for (uint32_t row = box.top; row < box.bottom; ++row) {
            BYTE *p = RowAt(image, row, rowBytes) + static_cast<size_t>(box.left) * bytesPerPixel;
            const BYTE *m = RowAt(mask, static_cast<uint32_t>(row - y), maskRowBytes) + (box.left - x);
            for (uint32_t col = box.left; col < box.right; ++col, p += bytesPerPixel, ++m) {
                const uint32_t a = *m;
                for (uint32_t k = 0; k < channels; ++k)
                    p[k] = static_cast<BYTE>(product[(255 - a) * 256 + p[k]] + product[a * 256 + c[k]]);
            }
            if (!progress.Report(row - box.top, box.bottom - box.top, ctx))
                return FALSE;
        }
        return TRUE;
    });
}

bool PasteBits1(BYTE *target, uint32_t width, uint32_t height, uint32_t targetRowBytes, const BYTE *source,
                uint32_t sourceWidth, uint32_t sourceHeight, uint32_t sourceRowBytes, int32_t x, int32_t y,
                uint32_t flags, OperationContext &ctx)
{
    OperationScope scope;
    if (!target || !source || target == source ||
        !RowsFit(PackedRowBytes(width, 1).Value(), height, 1, targetRowBytes) ||
        !RowsFit(PackedRowBytes(sourceWidth, 1).Value(), sourceHeight, 1, sourceRowBytes)) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const ClipBox box = ClipPiece(width, height, x, y, sourceWidth, sourceHeight);
    if (box.top >= box.bottom || box.left >= box.right)
        return true;
    const bool combine = (flags & kPasteCombine) != 0;
    const bool orBits = (flags & kPasteOr) != 0;
    RowProgress progress;
    for (uint32_t row = box.top; row < box.bottom; ++row) {
        uint32_t sourceRow = static_cast<uint32_t>(row - y);
        if (flags & kPasteBottomUp)
            sourceRow = sourceHeight - 1 - sourceRow;
        BYTE *t = RowAt(target, row, targetRowBytes);
        const BYTE *s = RowAt(source, sourceRow, sourceRowBytes);
        for (uint32_t col = box.left; col < box.right; ++col) {
            const bool bit = BitAt(s, static_cast<uint32_t>(col - x)) != 0;
            if (!combine)
                PutBit(t, col, bit);
            else if (orBits && bit)
                PutBit(t, col, true);
            else if (!orBits && !bit)
                PutBit(t, col, false);
        }
        if (!progress.Report(row - box.top, box.bottom - box.top, ctx))
            return false;
    }
    return true;
}

bool Composite16(uint16_t *target, uint32_t width, uint32_t height, const uint16_t *source, uint32_t sourceWidth,
                 uint32_t sourceHeight, int32_t x, int32_t y, double opacity, uint32_t samplesPerPixel,
                 uint32_t targetStride, uint32_t sourceStride, uint32_t largest, uint32_t mode,
                 OperationContext &ctx)
{
    OperationScope scope;
    const bool bottomUp = (mode & kCompositeBottomUp) != 0;
    mode &= ~kCompositeBottomUp;
    if (!target || !source || target == source || mode >= kCompositeModeCount || largest == 0 ||
        largest > UINT16_MAX || samplesPerPixel == 0 || !RowsFit(width, height, samplesPerPixel * 2ull, targetStride * 2ull) ||
        !RowsFit(sourceWidth, sourceHeight, samplesPerPixel * 2ull, sourceStride * 2ull)) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const ClipBox box = ClipPiece(width, height, x, y, sourceWidth, sourceHeight);
    const Compositor compositor(mode, opacity, largest);
    if (box.top >= box.bottom || box.left >= box.right || compositor.ChangesNothing())
        return true;
    const uint32_t count = (box.right - box.left) * samplesPerPixel;
    RowProgress progress;
    for (uint32_t row = box.top; row < box.bottom; ++row) {
        uint32_t sourceRow = static_cast<uint32_t>(row - y);
        if (bottomUp)
            sourceRow = sourceHeight - 1 - sourceRow;
        const SampleSpan span{target + static_cast<size_t>(row) * targetStride + static_cast<size_t>(box.left) * samplesPerPixel,
                              source + static_cast<size_t>(sourceRow) * sourceStride +
                                  static_cast<size_t>(box.left - x) * samplesPerPixel,
                              count};
        if (compositor.CopiesSource())
            memcpy(span.target, span.source, static_cast<size_t>(count) * sizeof(uint16_t));
        else
            compositor.Row(span);
        if (!progress.Report(row - box.top, box.bottom - box.top, ctx))
            return false;
    }
    return true;
}
