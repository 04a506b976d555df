// Quarter and half turns of 1-bit, byte-pixel and 16-bit-sample pictures,
// to a destination or in place. The readers turn their pictures upright
// with them.
#include "imageops.h"
#include "pixelrows.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

bool Swaps(uint32_t mode) { return mode != kTurnHalf; }

struct Place {
    uint32_t x;
    uint32_t y;
};

// Where source pixel (x, y) of a width x height picture lands.
Place Turned(uint32_t mode, uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    switch (mode) {
    case kTurnClockwise: return {height - 1 - y, x};
    case kTurnHalf: return {width - 1 - x, height - 1 - y};
    default: return {y, width - 1 - x};
    }
}

// The destination's rows must hold the turned picture.
bool DestFits(uint32_t mode, uint64_t width, uint64_t height, uint64_t unitsPerPixel, uint64_t rowUnits)
{
    return Swaps(mode) ? RowsFit(height, width, unitsPerPixel, rowUnits) : RowsFit(width, height, unitsPerPixel, rowUnits);
}

BYTE BitAt(const BYTE *row, uint32_t x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

}  // namespace

bool TurnBits1(const BYTE *source, BYTE *dest, uint32_t width, uint32_t height, uint32_t flags,
               uint32_t sourceRowBytes, uint32_t destRowBytes, OperationContext &ctx)
{
    OperationScope scope;
    const uint32_t mode = flags & kTurnModeMask;
    if (!source || !dest || source == dest || mode > kTurnCounterClockwise ||
        !RowsFit(PackedRowBytes(width, 1).Value(), height, 1, sourceRowBytes) ||
        !(Swaps(mode) ? RowsFit(PackedRowBytes(height, 1).Value(), width, 1, destRowBytes)
                      : RowsFit(PackedRowBytes(width, 1).Value(), height, 1, destRowBytes))) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    if (width == 0)
        return true;
    const bool setOnly = (flags & kTurnSetOnly) != 0;
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        const BYTE *row = RowAt(source, y, sourceRowBytes);
        for (uint32_t x = 0; x < width; ++x) {
            const bool on = BitAt(row, x) != 0;
            if (setOnly && !on)
                continue;
            const Place to = Turned(mode, x, y, width, height);
            BYTE &b = RowAt(dest, to.y, destRowBytes)[to.x >> 3];
            const BYTE bit = kSingleBitMask[7 - (to.x & 7)];
            b = static_cast<BYTE>(on ? b | bit : b & ~bit);
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

bool TurnBytes(const BYTE *source, uint32_t width, uint32_t height, uint32_t sourceRowBytes, BYTE *dest,
               uint32_t destRowBytes, uint32_t mode, uint32_t bytesPerPixel, OperationContext &ctx)
{
    OperationScope scope;
    if (!source || !dest || source == dest || mode > kTurnCounterClockwise || bytesPerPixel == 0 ||
        !RowsFit(width, height, bytesPerPixel, sourceRowBytes) ||
        !DestFits(mode, width, height, bytesPerPixel, destRowBytes)) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    if (width == 0)
        return true;
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        const BYTE *from = RowAt(source, y, sourceRowBytes);
        for (uint32_t x = 0; x < width; ++x, from += bytesPerPixel) {
            const Place to = Turned(mode, x, y, width, height);
            memcpy(RowAt(dest, to.y, destRowBytes) + static_cast<size_t>(to.x) * bytesPerPixel, from, bytesPerPixel);
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

bool TurnBytesInPlace(BYTE *pixels, uint32_t width, uint32_t height, uint32_t mode, uint32_t bytesPerPixel,
                      OperationContext &ctx)
{
    const CheckedSize rowBytes = CheckedSize(width) * CheckedSize(bytesPerPixel);
    if (!pixels || mode > kTurnCounterClockwise || bytesPerPixel == 0 || !rowBytes.Ok() ||
        !RowsFit(width, height, bytesPerPixel, rowBytes.Value())) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    if (width == 0 || height == 0)
        return true;
    if (mode == kTurnHalf)
        return FlipRows(pixels, rowBytes.Value(), height, ctx) &&
               MirrorRows(pixels, width, height, bytesPerPixel, rowBytes.Value(), ctx);
    // The turn goes to a copy, and only a finished turn replaces the
    // picture: an abort leaves it as it was.
    const size_t bytes = static_cast<size_t>(rowBytes.Value()) * height;
    std::vector<BYTE> work;
    try {
        work.resize(bytes);
    } catch (const std::bad_alloc &) {
        ctx.Fail(kImgOutOfMemory);
        return false;
    }
    if (bytes == 0)
        return true;
    const uint32_t turnedRowBytes = static_cast<uint32_t>(height) * bytesPerPixel;
    if (!TurnBytes(pixels, width, height, rowBytes.Value(), work.data(), turnedRowBytes, mode, bytesPerPixel, ctx))
        return false;
    memcpy(pixels, work.data(), bytes);
    return true;
}

bool Turn16(const uint16_t *source, uint32_t width, uint32_t height, uint32_t sourceStride, uint16_t *dest,
            uint32_t destStride, uint32_t mode, uint32_t samplesPerPixel, OperationContext &ctx)
{
    const CheckedSize sourceRow = CheckedSize(sourceStride) * CheckedSize(sizeof(uint16_t));
    const CheckedSize destRow = CheckedSize(destStride) * CheckedSize(sizeof(uint16_t));
    const CheckedSize pixelBytes = CheckedSize(samplesPerPixel) * CheckedSize(sizeof(uint16_t));
    if (!sourceRow.Ok() || !destRow.Ok() || !pixelBytes.Ok()) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    return TurnBytes(reinterpret_cast<const BYTE *>(source), width, height, sourceRow.Value(),
                     reinterpret_cast<BYTE *>(dest), destRow.Value(), mode, pixelBytes.Value(), ctx);
}

bool Turn16InPlace(uint16_t *pixels, uint32_t width, uint32_t height, uint32_t mode, uint32_t samplesPerPixel,
                   OperationContext &ctx)
{
    const CheckedSize pixelBytes = CheckedSize(samplesPerPixel) * CheckedSize(sizeof(uint16_t));
    if (!pixelBytes.Ok()) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    return TurnBytesInPlace(reinterpret_cast<BYTE *>(pixels), width, height, mode, pixelBytes.Value(), ctx);
}
