// Colour reduction to a caller's palette with serpentine error diffusion,
// the expansion of palette indices, and nearest-colour matching.
#include "imageops.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kChannels = 3;
constexpr uint32_t kCacheCells = 32768;
constexpr int16_t kEmptyCell = -1;
constexpr int32_t kMatchStart = 0x30000;      // above 3 * 255 * 255
constexpr int32_t kReduceStart = 0xFD0300;    // above any distance of the planes
constexpr uint32_t kLimitMask = 0xFF;
constexpr int32_t kLargestLimit = 127;

void FillSquares(int32_t (&table)[511])
{
    for (int32_t d = -255; d <= 255; ++d)
        table[d + 255] = d * d;
}

BYTE ClampByte(int32_t v) { return static_cast<BYTE>(std::clamp(v, 0, 255)); }

// The working state of one reduction: the palette as three planes in the
// pixel's byte order, the 15-bit colour cache and the two error rows.
class Reducer {
public:
    Reducer(uint32_t width, uint32_t colours, const RGBQUAD *palette, uint32_t diffusion, uint32_t errorLimit,
            uint32_t flags)
        : width_(width), colours_(colours), sixteenths_(diffusion != 0),
          cache_(kCacheCells, kEmptyCell),
          errors_(2 * (static_cast<size_t>(kChannels) * width + 2 * kChannels), 0)
    {
        const bool sameOrder = (flags & kSamePaletteOrder) != 0;
        for (uint32_t i = 0; i < colours; ++i) {
            const BYTE *entry = reinterpret_cast<const BYTE *>(&palette[i]);
            for (uint32_t k = 0; k < kChannels; ++k)
                planes_[k][i] = entry[sameOrder ? k : 2 - k];
        }
        FillSquares(squares_);
        int32_t limit = static_cast<int32_t>(errorLimit & kLimitMask);
        limit = std::min(limit, kLargestLimit);
        for (int32_t d = -256; d <= 255; ++d)
            limits_[d + 256] = static_cast<int8_t>(std::clamp(d, -limit, limit));
    }

    void Row(const BYTE *src, BYTE *out, uint32_t y)
    {
        const size_t rowEntries = static_cast<size_t>(kChannels) * width_ + 2 * kChannels;
        int16_t *cur = errors_.data() + (y & 1) * rowEntries + kChannels;
        int16_t *next = errors_.data() + ((y & 1) ^ 1) * rowEntries + kChannels;
        const bool forward = (y & 1) == 0;
        // The next row runs the other way, so the pixel below scan position
        // p is its position width - 1 - p; nothing else clears this one.
        for (uint32_t k = 0; k < kChannels; ++k)
            next[kChannels * (width_ - 1) + k] = 0;
        for (uint32_t p = 0; p < width_; ++p) {
            const uint32_t x = forward ? p : width_ - 1 - p;
            const BYTE *pixel = src + static_cast<size_t>(x) * kChannels;
            int16_t *e = cur + static_cast<size_t>(p) * kChannels;
            int16_t *below = next + static_cast<size_t>(width_ - 1 - p) * kChannels;
            BYTE v[kChannels];
            for (uint32_t k = 0; k < kChannels; ++k)
                v[k] = ClampByte(pixel[k] + (sixteenths_ ? (e[k] + 8) >> 4 : e[k] >> 1));
            const BYTE index = Nearest(v);
            out[x] = index;
            for (uint32_t k = 0; k < kChannels; ++k) {
                const int32_t err = limits_[v[k] - planes_[k][index] + 256];
                if (sixteenths_) {
                    e[kChannels + k] = static_cast<int16_t>(e[kChannels + k] + 7 * err);
                    below[kChannels + k] = static_cast<int16_t>(below[kChannels + k] + 3 * err);
                    below[k] = static_cast<int16_t>(below[k] + 5 * err);
                    (below - kChannels)[k] = static_cast<int16_t>(err);
                } else {
                    e[kChannels + k] = static_cast<int16_t>(e[kChannels + k] + err);
                    below[k] = static_cast<int16_t>(err);
                }
            }
        }
    }

private:
    BYTE Nearest(const BYTE (&v)[kChannels])
    {
        const uint32_t key = ((v[0] >> 3) << 10) | ((v[1] >> 3) << 5) | (v[2] >> 3);
        if (cache_[key] != kEmptyCell)
            return static_cast<BYTE>(cache_[key]);
        int32_t best = kReduceStart;
        uint32_t bestIndex = 0;
        for (uint32_t i = 0; i < colours_; ++i) {
            const int32_t d = squares_[v[0] - planes_[0][i] + 255] + squares_[v[1] - planes_[1][i] + 255] +
                              squares_[v[2] - planes_[2][i] + 255];
            if (d < best) {
                best = d;
                bestIndex = i;
            }
        }
        cache_[key] = static_cast<int16_t>(bestIndex);
        return static_cast<BYTE>(bestIndex);
    }

    uint32_t width_;
    uint32_t colours_;
    bool sixteenths_;
    BYTE planes_[kChannels][CISColorMatch::kMaxEntries] = {};
    int32_t squares_[511];
    int8_t limits_[512];
    std::vector<int16_t> cache_;
    // Two rows of errors, each with one spare pixel at either end for the
    // neighbours past the row's ends.
    std::vector<int16_t> errors_;
};

}  // namespace

bool RowsFit(uint64_t width, uint64_t height, uint64_t bytesPerPixel, uint64_t rowBytes)
{
    const CheckedSize row = CheckedSize(width) * CheckedSize(bytesPerPixel);
    return row.Ok() && row.Value() <= rowBytes && (CheckedSize(rowBytes) * CheckedSize(height)).Ok();
}

CISColorMatch::CISColorMatch() : squares_(squareTable_ + 255)
{
    FillSquares(squareTable_);
}

void CISColorMatch::SetPalette(const RGBQUAD *palette, uint32_t count)
{
    if (palette) {
        count_ = std::min(count, kMaxEntries);
        memcpy(palette_, palette, count_ * sizeof(RGBQUAD));
        paletteSet_ = true;
    }
    cache_.clear();
    cache_.reserve(kMaxEntries);
}

uint32_t CISColorMatch::Match(COLORREF colour)
{
    return Match(static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8), static_cast<BYTE>(colour >> 16));
}

uint32_t CISColorMatch::Match(BYTE red, BYTE green, BYTE blue)
{
    if (!paletteSet_)
        return 0;
    const uint32_t key = (static_cast<uint32_t>(blue) << 16) | (static_cast<uint32_t>(green) << 8) | red;
    for (const Pair &pair : cache_)
        if (pair.key == key)
            return pair.index;
    uint32_t bestIndex = 0;
    int32_t best = kMatchStart;
    for (uint32_t i = 0; i < count_ && best != 0; ++i) {
        const RGBQUAD &e = palette_[i];
        const int32_t d = squares_[e.rgbGreen - green] + squares_[e.rgbBlue - blue] + squares_[e.rgbRed - red];
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    if (cache_.size() >= kCachePairs)
        cache_.clear();
    cache_.push_back({key, bestIndex});
    return bestIndex;
}

namespace {

// One row of indices to three-byte pixels. Each pixel is stored as one
// four-byte word whose last byte the next pixel overwrites; the row's last
// pixel goes byte by byte, so nothing is written past the row. Only the
// entries the row uses are read.
template <bool kSameOrder>
void ExpandRow(const BYTE *src, BYTE *dst, uint32_t width, const RGBQUAD *palette)
{
    const auto pixel = [&](BYTE index) {
        const BYTE *e = reinterpret_cast<const BYTE *>(&palette[index]);
        const BYTE bytes[4] = {e[kSameOrder ? 0 : 2], e[1], e[kSameOrder ? 2 : 0], 0};
        uint32_t word;
        memcpy(&word, bytes, sizeof(word));
        return word;
    };
    uint32_t x = 0;
    for (; x + 1 < width; ++x, dst += kChannels) {
        const uint32_t word = pixel(src[x]);
        memcpy(dst, &word, sizeof(word));
    }
    const uint32_t word = pixel(src[x]);
    memcpy(dst, &word, kChannels);
}

}  // namespace

bool ExpandPaletteRows(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
                       uint32_t outRowBytes, const RGBQUAD *palette, uint32_t flags, OperationContext &ctx)
{
    OperationScope scope;
    if (!indices || !out || !palette || !RowsFit(width, height, 1, rowBytes) ||
        !RowsFit(width, height, kChannels, outRowBytes)) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    if (width == 0)
        return true;
    const bool sameOrder = (flags & kSamePaletteOrder) != 0;
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        const BYTE *src = RowAt(indices, y, rowBytes);
        BYTE *dst = RowAt(out, y, outRowBytes);
        if (sameOrder)
            ExpandRow<true>(src, dst, width, palette);
        else
            ExpandRow<false>(src, dst, width, palette);
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

BOOL RGBTo8Bit(const BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
               uint32_t outRowBytes, uint32_t colours, const RGBQUAD *palette, uint32_t diffusion,
               uint32_t errorLimit, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!pixels || !out || !palette || colours < 1 || colours > CISColorMatch::kMaxEntries ||
            !RowsFit(width, height, kChannels, rowBytes) || !RowsFit(width, height, 1, outRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (height == 0 || width == 0)
            return TRUE;
        const CheckedSize errorRows =
            (CheckedSize(width) * CheckedSize(kChannels) + CheckedSize(2 * kChannels)) * CheckedSize(2 * sizeof(int16_t));
        if (!errorRows.Ok()) {
            ctx.Fail(kImgOutOfMemory);
            return FALSE;
        }
        Reducer reducer(width, colours, palette, diffusion, errorLimit, flags);
        RowProgress progress;
        for (uint32_t y = 0; y < height; ++y) {
            reducer.Row(RowAt(pixels, y, rowBytes), RowAt(out, y, outRowBytes), y);
            if (!progress.Report(y, height, ctx))
                return FALSE;
        }
        return TRUE;
    });
}

BOOL Convert8BitToRGB(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
                      uint32_t outRowBytes, uint32_t colours, const RGBQUAD *palette, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        return ExpandPaletteRows(indices, width, height, rowBytes, out, outRowBytes, palette, flags, ctx);
    });
}
