// Pixel rows: conversions, packing, flips and mirrors.
#include "pixelrows.h"

#include <cstring>
#include <vector>

namespace {

constexpr BYTE ReverseByte(unsigned v)
{
    unsigned r = 0;
    for (int i = 0; i < 8; ++i)
        if (v & (1u << i))
            r |= 0x80u >> i;
    return static_cast<BYTE>(r);
}

BYTE IndexAt(const BYTE *row, uint32_t x, uint32_t bits)
{
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 2:
        return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

// Moves the mask's highest bit onto bit 7; a zero mask gives a zero
// channel (it has no highest bit to shift by). 16-bit pixels count the low
// 16 bits of a mask, 32-bit pixels all of it.
BYTE MaskedChannel(uint32_t pixel, uint32_t mask, uint32_t pixelBits = 16)
{
    if (pixelBits == 16)
        mask &= 0xFFFF;
    if (!mask)
        return 0;
    int highest = 31;
    while (!(mask & (1u << highest)))
        --highest;
    uint32_t v = pixel & mask;
    return static_cast<BYTE>(highest > 7 ? v >> (highest - 7) : v << (7 - highest));
}

void Put(BYTE *&dst, BYTE r, BYTE g, BYTE b, bool addFourth, BYTE fourth)
{
    dst[0] = r;
    dst[1] = g;
    dst[2] = b;
    if (addFourth) {
        dst[3] = fourth;
        dst += 4;
    } else {
        dst += 3;
    }
}

}  // namespace

const BYTE kSingleBitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
const BYTE kBitReversal[256] = {
#define R(v) ReverseByte(v)
#define R4(v) R(v), R(v + 1), R(v + 2), R(v + 3)
#define R16(v) R4(v), R4(v + 4), R4(v + 8), R4(v + 12)
#define R64(v) R16(v), R16(v + 16), R16(v + 32), R16(v + 48)
    R64(0), R64(64), R64(128), R64(192)
#undef R64
#undef R16
#undef R4
#undef R
};

void RowToRgb(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits, const RGBQUAD *palette,
              const uint32_t *masks, bool addFourth, BYTE fourth)
{
    // Index pictures to RGB are the readers' most common row: kept free of
    // the per-pixel choice of depth below.
    // Each pixel goes out as one four-byte word whose last byte the next
    // pixel overwrites; the last pixel byte by byte, so nothing lands past
    // the row.
    if (bits == 8 && !addFourth) {
        if (count == 0)
            return;
        const auto word = [palette](BYTE index) {
            const RGBQUAD &c = palette[index];
            const BYTE bytes[4] = {c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
            uint32_t w;
            memcpy(&w, bytes, sizeof(w));
            return w;
        };
        uint32_t x = 0;
        for (; x + 1 < count; ++x, dst += 3) {
            const uint32_t w = word(src[x]);
            memcpy(dst, &w, sizeof(w));
        }
        const uint32_t w = word(src[x]);
        memcpy(dst, &w, 3);
        return;
    }
    for (uint32_t x = 0; x < count; ++x) {
        switch (bits) {
        case 1:
        case 4:
        case 8: {
            const RGBQUAD &c = palette[IndexAt(src, x, bits)];
            Put(dst, c.rgbRed, c.rgbGreen, c.rgbBlue, addFourth, fourth);
            break;
        }
        case 16: {
            uint32_t p = Le16(src + 2 * x);
            if (masks)
                Put(dst, MaskedChannel(p, masks[0]), MaskedChannel(p, masks[1]), MaskedChannel(p, masks[2]),
                    addFourth, fourth);
            else
                Put(dst, static_cast<BYTE>(((p >> 10) & 31) * 255 / 31), static_cast<BYTE>(((p >> 5) & 31) * 255 / 31),
                    static_cast<BYTE>((p & 31) * 255 / 31), addFourth, fourth);
            break;
        }
        case 24: {
            const BYTE *p = src + 3 * x;
            Put(dst, p[2], p[1], p[0], addFourth, fourth);
            break;
        }
        case 32: {
            const BYTE *p = src + 4 * x;
            if (masks) {
                const uint32_t v = Le32(p);
                Put(dst, MaskedChannel(v, masks[0], 32), MaskedChannel(v, masks[1], 32), MaskedChannel(v, masks[2], 32),
                    addFourth, p[3]);
            } else {
                Put(dst, p[2], p[1], p[0], addFourth, p[3]);
            }
            break;
        }
        default:
            return;
        }
    }
}

void UnpackToBytes(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits)
{
    if (bits == 8) {
        memcpy(dst, src, count);
        return;
    }
    for (uint32_t x = 0; x < count; ++x)
        dst[x] = IndexAt(src, x, bits);
}

void Repack2To4(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits)
{
    if (bits == 4) {
        memcpy(dst, src, count);
        return;
    }
    for (uint32_t x = 0; x < count; ++x) {
        BYTE v = IndexAt(src, x, 2);
        if (x & 1)
            dst[x >> 1] |= v;
        else
            dst[x >> 1] = static_cast<BYTE>(v << 4);
    }
}

bool PackBits(const BYTE *src, uint32_t width, uint32_t height, uint32_t srcRowBytes, BYTE *dst, uint32_t bits,
              OperationContext &ctx)
{
    OperationScope scope;
    if (!src || !dst || bits == 0 || bits > 8) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    RowProgress progress;
    uint32_t acc = 0;
    uint32_t held = 0;
    const uint32_t valueMask = (1u << bits) - 1;
    for (uint32_t y = 0; y < height; ++y) {
        const BYTE *row = src + static_cast<size_t>(y) * srcRowBytes;
        for (uint32_t x = 0; x < width; ++x) {
            acc = (acc << bits) | (row[x] & valueMask);
            held += bits;
            if (held >= 8) {
                held -= 8;
                *dst++ = static_cast<BYTE>(acc >> held);
                acc &= (1u << held) - 1;
            }
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    if (held)
        *dst = static_cast<BYTE>(acc << (8 - held));
    return true;
}

bool UnpackBits(const BYTE *src, uint32_t width, uint32_t height, uint32_t bits, BYTE *dst, OperationContext &ctx)
{
    OperationScope scope;
    if (!src || !dst || bits < 1 || bits > 8) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    uint64_t count = static_cast<uint64_t>(width) * height;
    if (bits == 8) {
        memcpy(dst, src, static_cast<size_t>(count));
        return true;
    }
    uint64_t bitPos = 0;
    const uint32_t valueMask = (1u << bits) - 1;
    for (uint64_t i = 0; i < count; ++i, bitPos += bits) {
        // A value may straddle two bytes; read sixteen bits around it.
        size_t byte = static_cast<size_t>(bitPos >> 3);
        uint32_t offset = static_cast<uint32_t>(bitPos & 7);
        uint32_t window = static_cast<uint32_t>(src[byte]) << 8;
        if (offset + bits > 8)
            window |= src[byte + 1];
        dst[i] = static_cast<BYTE>((window >> (16 - offset - bits)) & valueMask);
    }
    return true;
}

bool FlipRows(BYTE *pixels, uint32_t rowBytes, uint32_t height, OperationContext &ctx)
{
    OperationScope scope;
    if (!pixels) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    GrowBuffer<BYTE> row;
    if (!row.Resize(rowBytes)) {
        ctx.Fail(kImgOutOfMemory);
        return false;
    }
    RowProgress progress;
    for (uint32_t i = 0; i < (height + 1) / 2; ++i) {
        BYTE *top = pixels + static_cast<size_t>(i) * rowBytes;
        BYTE *bottom = pixels + static_cast<size_t>(height - 1 - i) * rowBytes;
        memcpy(row.Data(), top, rowBytes);
        memmove(top, bottom, rowBytes);
        memcpy(bottom, row.Data(), rowBytes);
        if (!progress.Report(2 * i, height, ctx))
            return false;
    }
    return true;
}

namespace {

bool MirrorSamples(BYTE *pixels, uint32_t width, uint32_t height, uint32_t pixelBytes, uint32_t rowBytes,
                   OperationContext &ctx)
{
    OperationScope scope;
    if (!pixels) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    GrowBuffer<BYTE> row;
    CheckedSize used = CheckedSize(width) * CheckedSize(pixelBytes);
    if (!used.Ok() || !row.Resize(used.Value())) {
        ctx.Fail(kImgOutOfMemory);
        return false;
    }
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *line = pixels + static_cast<size_t>(y) * rowBytes;
        memcpy(row.Data(), line, used.Value());
        for (uint32_t x = 0; x < width; ++x)
            memcpy(line + static_cast<size_t>(x) * pixelBytes,
                   row.Data() + static_cast<size_t>(width - 1 - x) * pixelBytes, pixelBytes);
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

}  // namespace

bool MirrorRows(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                OperationContext &ctx)
{
    return MirrorSamples(pixels, width, height, bytesPerPixel, rowBytes, ctx);
}

bool MirrorRows16(BYTE *pixels, uint32_t width, uint32_t height, uint32_t samplesPerPixel, uint32_t rowBytes,
                  OperationContext &ctx)
{
    return MirrorSamples(pixels, width, height, 2 * samplesPerPixel, rowBytes, ctx);
}

bool MirrorRows1Bit(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, OperationContext &ctx)
{
    OperationScope scope;
    if (!pixels) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const uint32_t used = (width + 7) / 8;
    const uint32_t pad = ((width + 7) & ~7u) - width;
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *line = pixels + static_cast<size_t>(y) * rowBytes;
        for (uint32_t i = 0; i < used / 2; ++i) {
            BYTE t = line[i];
            line[i] = line[used - 1 - i];
            line[used - 1 - i] = t;
        }
        for (uint32_t i = 0; i < used; ++i)
            line[i] = kBitReversal[line[i]];
        if (pad) {
            for (uint32_t i = 0; i < used; ++i) {
                BYTE next = i + 1 < used ? line[i + 1] : 0;
                line[i] = static_cast<BYTE>((line[i] << pad) | (next >> (8 - pad)));
            }
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

int32_t BottomUpBgrToTopDownRgb(const BYTE *src, BYTE *dst, uint32_t width, uint32_t height, uint32_t destRowBytes,
                                bool keepOrder)
{
    if (!width || !height || !src || !dst)
        return kImgBadParam;
    const size_t srcRowBytes = static_cast<size_t>(width) * 3;
    for (uint32_t r = 0; r < height; ++r) {
        const BYTE *s = src + static_cast<size_t>(height - 1 - r) * srcRowBytes;
        BYTE *d = dst + static_cast<size_t>(r) * destRowBytes;
        memcpy(d, s, srcRowBytes);
        if (!keepOrder)
            SwapRedBlue(d, width, 1, 3);
    }
    return kImgOk;
}

void SwapRedBlue(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel)
{
    const uint64_t count = static_cast<uint64_t>(width) * height;
    for (uint64_t i = 0; i < count; ++i) {
        BYTE *p = pixels + i * bytesPerPixel;
        BYTE t = p[0];
        p[0] = p[2];
        p[2] = t;
    }
}

BOOL RGBToRGBA(const BYTE *source, uint32_t width, uint32_t height, uint32_t sourceRowBytes, BYTE *dest,
               uint32_t destRowBytes, BYTE fourthByte)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!source || !dest) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        RowProgress progress;
        for (uint32_t y = 0; y < height; ++y) {
            const BYTE *s = source + static_cast<size_t>(y) * sourceRowBytes;
            BYTE *d = dest + static_cast<size_t>(y) * destRowBytes;
            for (uint32_t x = 0; x < width; ++x, s += 3, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = fourthByte;
            }
            if (!progress.Report(y, height, ctx))
                return FALSE;
        }
        return TRUE;
    });
}
