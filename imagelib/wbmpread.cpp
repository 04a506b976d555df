// WBMP reader (type 0): black-and-white rows as packed bits, one byte a
// pixel, or a 1-bit DIB.
#include "readerkit.h"

#include <cstring>

namespace {

// Longer integers, or larger values, are not pictures this library can
// hold; without the limit the value overflows 32 bits.
constexpr uint32_t kMaxIntegerBytes = 4;
constexpr uint32_t kMaxDimension = 65535;
constexpr BYTE kMoreBytesFlag = 0x80;
constexpr uint32_t kMonoTableBytes = 8;

bool ReadInteger(CISIO &io, uint32_t &value)
{
    value = 0;
    for (uint32_t i = 0; i < kMaxIntegerBytes; ++i) {
        BYTE b;
        if (!io.ReadExact(&b, 1))
            return false;
        value = (value << 7) | (b & 0x7F);
        if (!(b & kMoreBytesFlag))
            return value <= kMaxDimension;
    }
    return false;
}

bool ReadHeader(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    BYTE type[2];
    if (!io.ReadExact(type, sizeof(type)) || type[0] || type[1] || !ReadInteger(io, width) ||
        !ReadInteger(io, height) || !width || !height) {
        ctx.Fail(kImgBadWbmp);
        return false;
    }
    return true;
}

// The eight pixel bytes each file byte spreads to, as one word a byte.
struct SpreadTable {
    uint64_t words[256];
    SpreadTable()
    {
        for (uint32_t b = 0; b < 256; ++b) {
            BYTE pixels[8];
            for (uint32_t i = 0; i < 8; ++i)
                pixels[i] = (b >> (7 - i)) & 1;
            memcpy(&words[b], pixels, sizeof(pixels));
        }
    }
};

// One file row as one byte (0 or 1) a pixel, most significant bit first:
// whole bytes through the table, the last few pixels bit by bit.
void SpreadBits(const BYTE *packed, BYTE *row, uint32_t width)
{
    static const SpreadTable table;
    uint32_t x = 0;
    for (; width - x >= 8; x += 8)
        memcpy(row + x, &table.words[packed[x >> 3]], 8);
    for (; x < width; ++x)
        row[x] = (packed[x >> 3] >> (7 - (x & 7))) & 1;
}

}  // namespace

BYTE *ReadWbmpImage(CISIO &io, RGBQUAD *palette, uint32_t bits, uint32_t flags, uint32_t &width,
                    uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    const bool asDib = (flags & kReadAsDib) != 0;
    if (!asDib && !palette) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    if (!ReadHeader(io, w, h, ctx))
        return nullptr;
    const bool spread = !asDib && bits != 1;
    const CheckedSize fileRow = PackedRowBytes(w, 1);
    const CheckedSize rowBytes = asDib ? PaddedRowBytes(w, 1) : spread ? CheckedSize(w) : fileRow;
    const CheckedSize header = asDib ? CheckedSize(kDibInfoBytes + kMonoTableBytes) : CheckedSize(0);
    ImageBuffer out;
    WorkBuffer packed(fileRow);
    if (!packed.Data() || !out.Allocate(header + rowBytes * CheckedSize(h))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    const RGBQUAD black = {0, 0, 0, 0};
    const RGBQUAD white = {0xFF, 0xFF, 0xFF, 0xFF};
    if (asDib) {
        PutDibHeader(out.Data(), w, h, 1, rowBytes.Value() * h, 2);
        memcpy(out.Data() + kDibInfoBytes, &black, sizeof(black));
        memcpy(out.Data() + kDibInfoBytes + sizeof(black), &white, sizeof(white));
    } else {
        palette[0] = black;
        palette[1] = white;
    }
    RowPlacement rows{out.Data() + header.Value(), rowBytes.Value(), h, asDib};
    RowProgress progress;
    for (uint32_t y = 0; y < h; ++y) {
        BYTE *row = rows.Row(y);
        if (spread)
            memset(packed.Data(), 0, packed.Size());
        // A short row keeps the bytes that came.
        const bool whole = io.ReadExact(spread ? packed.Data() : row, fileRow.Value());
        if (spread)
            SpreadBits(packed.Data(), row, w);
        if (!whole) {
            ctx.Fail(kImgFileRead);
            break;
        }
        if (!progress.Report(y, h, ctx))
            break;
    }
    width = w;
    height = h;
    return out.Release();
}

bool ReadWbmpSize(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    return ReadHeader(io, width, height, ctx);
}

BYTE *ReadWBMP(HISSRC source, uint32_t *width, uint32_t *height, RGBQUAD *palette, uint32_t bits, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadWbmpImage(io, palette, bits, flags, w, h, ctx);
    });
}
