// Packed DIBs: size and colour-table rules, and conversions to and from the
// library's RGB and index images.
#include "dib.h"

#include "pixelrows.h"

#include <cstring>

namespace {

constexpr uint32_t kHeaderBytes = 40;
constexpr uint32_t kMonoTableBytes = 8;

bool IsIndexDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

void WriteHeader(BYTE *dib, uint32_t width, uint32_t height, uint32_t bits, uint32_t imageSize, uint32_t colours)
{
    BITMAPINFOHEADER h = {};
    h.biSize = kHeaderBytes;
    h.biWidth = static_cast<LONG>(width);
    h.biHeight = static_cast<LONG>(height);
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = BI_RGB;
    h.biSizeImage = imageSize;
    h.biClrUsed = colours;
    h.biClrImportant = colours;
    memcpy(dib, &h, sizeof(h));
}

// Dimensions that fit a LONG header field.
bool FitsHeader(uint32_t width, uint32_t height) { return width && height && width <= INT32_MAX && height <= INT32_MAX; }

}  // namespace

bool ReadDibHeader(const BYTE *dib, BITMAPINFOHEADER &header, OperationContext &ctx)
{
    if (!dib) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    memcpy(&header, dib, sizeof(header));
    if (header.biSize != kHeaderBytes) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    return true;
}

uint32_t DibColourEntries(const BITMAPINFOHEADER &header)
{
    if (header.biBitCount < 1 || header.biBitCount > 8)
        return 0;
    return header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount;
}

uint32_t DibColourTableBytes(const BITMAPINFOHEADER &header)
{
    if (header.biBitCount > 8)
        return header.biCompression == BI_BITFIELDS ? 12 : 0;
    return 4 * DibColourEntries(header);
}

CheckedSize DibRowBytes(uint32_t width, uint32_t bits) { return PaddedRowBytes(width, bits); }

CheckedSize DibSize(uint32_t width, uint32_t height, uint32_t bits, uint32_t colours, OperationContext &ctx)
{
    CheckedSize pixels = DibRowBytes(width, bits) * CheckedSize(height);
    switch (bits) {
    case 1:
        return pixels + CheckedSize(kMonoTableBytes + kHeaderBytes);
    case 4:
    case 8:
        return pixels + CheckedSize(colours) * CheckedSize(4) + CheckedSize(kHeaderBytes);
    case 24:
    case 32:
        return pixels + CheckedSize(kHeaderBytes);
    default:
        ctx.Fail(kImgBadParam);
        return CheckedSize(kImageSizeLimit);
    }
}

int32_t DibWidth(const BYTE *dib, OperationContext &ctx)
{
    BITMAPINFOHEADER h;
    return ReadDibHeader(dib, h, ctx) ? h.biWidth : 0;
}

int32_t DibHeight(const BYTE *dib, OperationContext &ctx)
{
    BITMAPINFOHEADER h;
    return ReadDibHeader(dib, h, ctx) ? h.biHeight : 0;
}

uint32_t DibBitCount(const BYTE *dib, OperationContext &ctx)
{
    BITMAPINFOHEADER h;
    return ReadDibHeader(dib, h, ctx) ? h.biBitCount : 0;
}

const BYTE *DibPixels(const BYTE *dib, OperationContext &ctx)
{
    BITMAPINFOHEADER h;
    if (!ReadDibHeader(dib, h, ctx))
        return nullptr;
    return dib + kHeaderBytes + DibColourTableBytes(h);
}

const RGBQUAD *DibColourTable(const BYTE *dib, uint32_t &entries, OperationContext &ctx)
{
    BITMAPINFOHEADER h;
    entries = 0;
    if (!ReadDibHeader(dib, h, ctx))
        return nullptr;
    if (h.biBitCount > 8) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    entries = DibColourEntries(h);
    return reinterpret_cast<const RGBQUAD *>(dib + kHeaderBytes);
}

BYTE *RgbToDib(const BYTE *rgb, uint32_t width, uint32_t height, OperationContext &ctx)
{
    OperationScope scope;
    if (!rgb || !FitsHeader(width, height)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    CheckedSize rowBytes = DibRowBytes(width, 24);
    CheckedSize size = DibSize(width, height, 24, 0, ctx);
    ImageBuffer dib;
    if (!dib.Allocate(size)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    WriteHeader(dib.Data(), width, height, 24, rowBytes.Value() * height, 0);
    const size_t srcRow = static_cast<size_t>(width) * 3;
    BYTE *pixels = dib.Data() + kHeaderBytes;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *dst = pixels + static_cast<size_t>(height - 1 - y) * rowBytes.Value();
        memcpy(dst, rgb + y * srcRow, srcRow);
        SwapRedBlue(dst, width, 1, 3);
    }
    return dib.Release();
}

BYTE *RgbaToDib(const BYTE *rgba, uint32_t width, uint32_t height, OperationContext &ctx)
{
    OperationScope scope;
    if (!rgba || !FitsHeader(width, height)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    CheckedSize rowBytes = DibRowBytes(width, 32);
    ImageBuffer dib;
    if (!dib.Allocate(DibSize(width, height, 32, 0, ctx))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    WriteHeader(dib.Data(), width, height, 32, rowBytes.Value() * height, 0);
    BYTE *pixels = dib.Data() + kHeaderBytes;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *dst = pixels + static_cast<size_t>(height - 1 - y) * rowBytes.Value();
        memcpy(dst, rgba + static_cast<size_t>(y) * rowBytes.Value(), rowBytes.Value());
        SwapRedBlue(dst, width, 1, 4);
    }
    return dib.Release();
}

BYTE *IndexToDib(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, uint32_t bits,
                 const RGBQUAD *palette, uint32_t colours, OperationContext &ctx)
{
    OperationScope scope;
    if (!indices || !palette || !IsIndexDepth(bits) || !FitsHeader(width, height) || colours < 1 ||
        colours > (1u << bits)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    // A 1-bit DIB always carries its two-entry table (the size rule).
    const uint32_t tableEntries = bits == 1 ? 2 : colours;
    CheckedSize dibRow = DibRowBytes(width, bits);
    ImageBuffer dib;
    if (!dib.Allocate(DibSize(width, height, bits, colours, ctx))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    WriteHeader(dib.Data(), width, height, bits, dibRow.Value() * height, tableEntries);
    memcpy(dib.Data() + kHeaderBytes, palette, 4 * (colours < tableEntries ? colours : tableEntries));
    BYTE *pixels = dib.Data() + kHeaderBytes + 4 * tableEntries;
    OperationContext packing;
    for (uint32_t y = 0; y < height; ++y) {
        const BYTE *src = indices + static_cast<size_t>(height - 1 - y) * rowBytes;
        PackBits(src, width, 1, rowBytes, pixels + static_cast<size_t>(y) * dibRow.Value(), bits, packing);
    }
    return dib.Release();
}

bool DibToRgb(const BYTE *dib, BYTE *rgb, OperationContext &ctx)
{
    OperationScope scope;
    BITMAPINFOHEADER h;
    if (!ReadDibHeader(dib, h, ctx))
        return false;
    if (!rgb || h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const uint32_t bits = h.biBitCount;
    const bool known = IsIndexDepth(bits) || bits == 16 || bits == 24 || bits == 32;
    if (!known || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) {
        ctx.Fail(kImgRleUnsupported);
        return false;
    }
    const uint32_t width = static_cast<uint32_t>(h.biWidth);
    const uint32_t rows = static_cast<uint32_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    CheckedSize stride = DibRowBytes(width, bits);
    if (!stride.Ok()) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    // Every index must land inside a full table, whatever biClrUsed says.
    RGBQUAD palette[256] = {};
    uint32_t entries = DibColourEntries(h);
    memcpy(palette, dib + kHeaderBytes, 4 * (entries < 256 ? entries : 256));
    uint32_t masks[3] = {0, 0, 0};
    const bool useMasks = h.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32);
    if (useMasks)
        memcpy(masks, dib + kHeaderBytes, sizeof(masks));
    const BYTE *pixels = dib + kHeaderBytes + DibColourTableBytes(h);
    RowProgress progress;
    for (uint32_t i = 0; i < rows; ++i) {
        uint32_t outRow = h.biHeight > 0 ? rows - 1 - i : i;
        RowToRgb(pixels + static_cast<size_t>(i) * stride.Value(), rgb + static_cast<size_t>(outRow) * width * 3, width,
                 bits, palette, useMasks ? masks : nullptr, false, 0);
        if (!progress.Report(i, rows, ctx))
            return false;
    }
    return true;
}
