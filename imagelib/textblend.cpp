// The portable half of text on images: a rendered 1-bit text mask blended
// into an RGB or palette image in the text colour.
#include "imageops.h"

#include <algorithm>

namespace {

constexpr uint32_t kRgbBytes = 3;

bool MaskBit(const TextMask &mask, uint32_t x, uint32_t y)
{
    return (RowAt(mask.bits, y, mask.rowBytes)[x >> 3] >> (7 - (x & 7))) & 1;
}

BYTE Blend(const uint8_t *product, uint32_t alpha, BYTE pixel, BYTE colour)
{
    return static_cast<BYTE>(product[(255 - alpha) * 256 + pixel] + product[alpha * 256 + colour]);
}

}  // namespace

bool BlendTextMask(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const TextMask &mask, int32_t x,
                   int32_t y, TextColour colour, bool swapRedBlue, const RGBQUAD *palette, uint32_t colours,
                   OperationContext &ctx)
{
    OperationScope scope;
    const uint32_t pixelBytes = palette ? 1 : kRgbBytes;
    if (!pixels || !mask.bits || !RowsFit(width, height, pixelBytes, rowBytes) ||
        !RowsFit(PackedRowBytes(mask.width, 1).Value(), mask.height, 1, mask.rowBytes)) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const ClipBox box = ClipPiece(width, height, x, y, mask.width, mask.height);
    if (box.top >= box.bottom || box.left >= box.right)
        return true;
    const uint8_t *product = ProductTable();
    BYTE c[kRgbBytes] = {colour.red, colour.green, colour.blue};
    if (swapRedBlue && !palette)
        std::swap(c[0], c[2]);
    CISColorMatch match;
    if (palette)
        match.SetPalette(palette, colours);
    const uint32_t count = std::min(colours, CISColorMatch::kMaxEntries);
    RowProgress progress;
    for (uint32_t row = box.top; row < box.bottom; ++row) {
        BYTE *p = RowAt(pixels, row, rowBytes) + static_cast<size_t>(box.left) * pixelBytes;
        const uint32_t maskRow = static_cast<uint32_t>(int64_t{row} - y);
        for (uint32_t col = box.left; col < box.right; ++col, p += pixelBytes) {
            const uint32_t a = MaskBit(mask, static_cast<uint32_t>(int64_t{col} - x), maskRow) ? colour.alpha : 0;
            if (!palette) {
                for (uint32_t k = 0; k < kRgbBytes; ++k)
                    p[k] = Blend(product, a, p[k], c[k]);
                continue;
            }
            // Indices past the palette read as black.
            const RGBQUAD e = *p < count ? palette[*p] : RGBQUAD{};
            *p = static_cast<BYTE>(match.Match(Blend(product, a, e.rgbRed, c[0]), Blend(product, a, e.rgbGreen, c[1]),
                                               Blend(product, a, e.rgbBlue, c[2])));
        }
        if (!progress.Report(row - box.top, box.bottom - box.top, ctx))
            return false;
    }
    return true;
}
