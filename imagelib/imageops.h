// Workers of the image operations that have no entry point of their own or
// that other parts of the library share: palette matching, the clip rule,
// the 1-bit paste, the 16-bit compositor, the quarter turns, the text-mask
// blend and the row checks every operation makes on its caller's buffers.
#pragma once

#include "libframe.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Caller's rows of width pixels of bytesPerPixel each, rowBytes apart: the
// row must hold its pixels and the whole picture must stay below the buffer
// limit, so that every offset an operation forms fits 32 bits on i686 too.
bool RowsFit(uint64_t width, uint64_t height, uint64_t bytesPerPixel, uint64_t rowBytes);

inline BYTE *RowAt(BYTE *pixels, uint32_t y, uint32_t rowBytes) { return pixels + static_cast<size_t>(y) * rowBytes; }
inline const BYTE *RowAt(const BYTE *pixels, uint32_t y, uint32_t rowBytes)
{
    return pixels + static_cast<size_t>(y) * rowBytes;
}

// Nearest palette entry for single colours, with a short cache of the
// colours asked for lately.
class CISColorMatch {
public:
    static constexpr uint32_t kMaxEntries = 256;
    static constexpr uint32_t kCachePairs = 255;

    CISColorMatch();
    CISColorMatch(const CISColorMatch &) = delete;
    CISColorMatch &operator=(const CISColorMatch &) = delete;

    // Copies up to 256 entries (blue, green, red, reserved) when the palette
    // is not null; always empties the cache.
    void SetPalette(const RGBQUAD *palette, uint32_t count);
    // Colour 0x00BBGGRR.
    uint32_t Match(COLORREF colour);
    uint32_t Match(BYTE red, BYTE green, BYTE blue);
    // Equal 32-bit values, or (tolerance above 0) a squared distance of
    // the three low bytes of at most the tolerance.
    static bool ColorsMatch(uint32_t a, uint32_t b, uint32_t tolerance)
    {
        if (a == b)
            return true;
        if (tolerance == 0)
            return false;
        uint32_t sum = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int32_t d = static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF);
            sum += static_cast<uint32_t>(d * d);
        }
        return sum <= tolerance;
    }

    uint32_t CachedPairs() const { return static_cast<uint32_t>(cache_.size()); }

private:
    struct Pair {
        uint32_t key;
        uint32_t index;
    };

    const int32_t *squares_;
    bool paletteSet_ = false;
    RGBQUAD palette_[kMaxEntries] = {};
    uint32_t count_ = 0;
    int32_t squareTable_[511];
    std::vector<Pair> cache_;
};

// Indices to three bytes a pixel through the palette (red first, or with
// flag bit 0 in the entry's own order). Reports progress only when it is
// the outermost operation.
bool ExpandPaletteRows(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
                       uint32_t outRowBytes, const RGBQUAD *palette, uint32_t flags, OperationContext &ctx);

// The part of a piece of w x h placed at (x, y) that lies inside an image of
// width x height: columns left .. right - 1, rows top .. bottom - 1.
struct ClipBox {
    uint32_t left;
    uint32_t top;
    uint32_t right;
    uint32_t bottom;
};
ClipBox ClipPiece(uint32_t width, uint32_t height, int64_t x, int64_t y, uint64_t w, uint64_t h);

// 1-bit paste flags: bit 0 set combines instead of copying (with bit 1: OR,
// without: AND); bit 3 reads the source rows bottom-up.
constexpr uint32_t kPasteCombine = 0x1;
constexpr uint32_t kPasteOr = 0x2;
constexpr uint32_t kPasteBottomUp = 0x8;
bool PasteBits1(BYTE *target, uint32_t width, uint32_t height, uint32_t targetRowBytes, const BYTE *source,
                uint32_t sourceWidth, uint32_t sourceHeight, uint32_t sourceRowBytes, int32_t x, int32_t y,
                uint32_t flags, OperationContext &ctx);

// The 16-bit compositor's modes (bit 31 of the mode reads the source
// bottom-up).
enum CompositeMode : uint32_t {
    kCompositeTables = 0,
    kCompositeDoubles = 1,
    kCompositeAnd = 2,
    kCompositeOr = 3,
    kCompositeXor = 4,
    kCompositeMax = 5,
    kCompositeMin = 6,
    kCompositeAdd = 7,
    kCompositeSubtract = 8,
    kCompositeAbove = 9,
    kCompositeBelow = 10,
    kCompositeDifference = 11,
    kCompositeMultiply = 12,
    kCompositeScaledMultiply = 13,
    kCompositeScreen = 14,
    kCompositeAddOffset = 15,
    kCompositeSubtractOffset = 16,
    kCompositeNand = 17,
    kCompositeNor = 18,
    kCompositeXnor = 19,
    kCompositeModeCount = 20,
};
constexpr uint32_t kCompositeBottomUp = 0x80000000u;
// Strides in samples.
bool Composite16(uint16_t *target, uint32_t width, uint32_t height, const uint16_t *source, uint32_t sourceWidth,
                 uint32_t sourceHeight, int32_t x, int32_t y, double opacity, uint32_t samplesPerPixel,
                 uint32_t targetStride, uint32_t sourceStride, uint32_t largest, uint32_t mode,
                 OperationContext &ctx);

// Quarter turns: 0 clockwise, 1 half, 2 counter-clockwise. Modes 0 and 2
// make the picture height wide and width high.
enum TurnMode : uint32_t { kTurnClockwise = 0, kTurnHalf = 1, kTurnCounterClockwise = 2 };
// 1-bit flags: bits 0-1 the mode; bit 3 only sets destination bits.
constexpr uint32_t kTurnModeMask = 0x3;
constexpr uint32_t kTurnSetOnly = 0x8;
bool TurnBits1(const BYTE *source, BYTE *dest, uint32_t width, uint32_t height, uint32_t flags,
               uint32_t sourceRowBytes, uint32_t destRowBytes, OperationContext &ctx);
bool TurnBytes(const BYTE *source, uint32_t width, uint32_t height, uint32_t sourceRowBytes, BYTE *dest,
               uint32_t destRowBytes, uint32_t mode, uint32_t bytesPerPixel, OperationContext &ctx);
bool TurnBytesInPlace(BYTE *pixels, uint32_t width, uint32_t height, uint32_t mode, uint32_t bytesPerPixel,
                      OperationContext &ctx);
bool Turn16(const uint16_t *source, uint32_t width, uint32_t height, uint32_t sourceStride, uint16_t *dest,
            uint32_t destStride, uint32_t mode, uint32_t samplesPerPixel, OperationContext &ctx);
bool Turn16InPlace(uint16_t *pixels, uint32_t width, uint32_t height, uint32_t mode, uint32_t samplesPerPixel,
                   OperationContext &ctx);

// Blends a 1-bit text mask (rows of (maskWidth + 7) / 8 bytes, most
// significant bit first, set = text) placed at (x, y) into an image in the
// colour with weight alpha. Three bytes a pixel (swapRedBlue for blue-first
// images), or with a palette one index a pixel mapped back to the nearest
// entry. Progress once a visited row.
struct TextMask {
    const BYTE *bits;
    uint32_t width;
    uint32_t height;
    uint32_t rowBytes;
};
struct TextColour {
    BYTE red;
    BYTE green;
    BYTE blue;
    BYTE alpha;
};
bool BlendTextMask(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const TextMask &mask, int32_t x,
                   int32_t y, TextColour colour, bool swapRedBlue, const RGBQUAD *palette, uint32_t colours,
                   OperationContext &ctx);
