// Bilinear resampling and rectangle copies of pictures of any pixel size.
#include "imageops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Source step per output pixel. Enlarging spreads the output over slightly
// less than the source, so that the last output pixel still lies inside.
double Step(int32_t from, int32_t to)
{
    const double f = from;
    const double t = to;
    return from < to ? (f - f / t) / t : f / t;
}

struct Column {
    uint32_t x0;
    uint32_t x1;
    double fraction;
};

std::vector<Column> ColumnTable(int32_t width, int32_t newWidth)
{
    std::vector<Column> columns(static_cast<size_t>(newWidth));
    const double step = Step(width, newWidth);
    const uint32_t last = static_cast<uint32_t>(width - 1);
    for (int32_t i = 0; i < newWidth; ++i) {
        const double fx = i * step;
        const double ix = std::trunc(fx);
        const uint32_t x0 = ix >= last ? last : static_cast<uint32_t>(ix);
        columns[static_cast<size_t>(i)] = {x0, std::min(x0 + 1, last), fx - ix};
    }
    return columns;
}

// Weighted sum of four bytes, rounded to nearest with ties to even.
BYTE Mix(double v) { return static_cast<BYTE>(std::clamp(std::nearbyint(v), 0.0, 255.0)); }

}  // namespace

BOOL ResizeImage(const BYTE *pixels, int32_t width, int32_t height, uint32_t rowBytes, BYTE *out, int32_t newWidth,
                 int32_t newHeight, uint32_t outRowBytes, uint32_t bytesPerPixel)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (width < 1 || height < 1 || newWidth < 1 || newHeight < 1 || bytesPerPixel == 0 || !pixels || !out ||
            !RowsFit(static_cast<uint32_t>(width), static_cast<uint32_t>(height), bytesPerPixel, rowBytes) ||
            !RowsFit(static_cast<uint32_t>(newWidth), static_cast<uint32_t>(newHeight), bytesPerPixel,
                     outRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (width == newWidth && height == newHeight && rowBytes == outRowBytes) {
            memmove(out, pixels, static_cast<size_t>(height) * rowBytes);
            return TRUE;
        }
        if (!(CheckedSize(static_cast<uint32_t>(newWidth)) * CheckedSize(sizeof(Column))).Ok()) {
            ctx.Fail(kImgOutOfMemory);
            return FALSE;
        }
        const std::vector<Column> columns = ColumnTable(width, newWidth);
        const double stepY = Step(height, newHeight);
        const int64_t lastRow = height - 1;
        RowProgress progress;
        for (int32_t j = 0; j < newHeight; ++j) {
            const double fy = j * stepY;
            const double iy = std::trunc(fy);
            const double wy = fy - iy;
            const int64_t row = static_cast<int64_t>(iy);
            const BYTE *r0 = RowAt(pixels, static_cast<uint32_t>(std::clamp<int64_t>(row, 0, lastRow)), rowBytes);
            const BYTE *r1 = RowAt(pixels, static_cast<uint32_t>(std::clamp<int64_t>(row + 1, 0, lastRow)), rowBytes);
            BYTE *dst = RowAt(out, static_cast<uint32_t>(j), outRowBytes);
            for (const Column &c : columns) {
                const double wx = c.fraction;
                const double w00 = (1 - wx) * (1 - wy);
                const double w10 = wx * (1 - wy);
                const double w01 = (1 - wx) * wy;
                const double w11 = wx * wy;
                const BYTE *p00 = r0 + static_cast<size_t>(c.x0) * bytesPerPixel;
                const BYTE *p10 = r0 + static_cast<size_t>(c.x1) * bytesPerPixel;
                const BYTE *p01 = r1 + static_cast<size_t>(c.x0) * bytesPerPixel;
                const BYTE *p11 = r1 + static_cast<size_t>(c.x1) * bytesPerPixel;
                for (uint32_t k = 0; k < bytesPerPixel; ++k)
                    *dst++ = Mix(w00 * p00[k] + w10 * p10[k] + w01 * p01[k] + w11 * p11[k]);
            }
            if (!progress.Report(static_cast<uint32_t>(j), static_cast<uint32_t>(newHeight), ctx))
                return FALSE;
        }
        return TRUE;
    });
}

BOOL CropImage(const BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
               uint32_t outRowBytes, const RECT *rect, uint32_t bytesPerPixel)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!pixels || !out || out == pixels || !rect || bytesPerPixel == 0) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (height == 0)
            return TRUE;
        // Unsigned, so that a negative corner or an inverted rectangle is
        // far past the edge.
        const uint64_t left = static_cast<uint32_t>(rect->left);
        const uint64_t top = static_cast<uint32_t>(rect->top);
        const uint64_t cropWidth = static_cast<uint32_t>(rect->right - static_cast<int64_t>(rect->left));
        const uint64_t cropHeight = static_cast<uint32_t>(rect->bottom - static_cast<int64_t>(rect->top));
        if (left >= width || top >= height || left + cropWidth > width || top + cropHeight > height ||
            !RowsFit(width, height, bytesPerPixel, rowBytes) ||
            !RowsFit(cropWidth, cropHeight, bytesPerPixel, outRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const size_t bytes = static_cast<size_t>(cropWidth) * bytesPerPixel;
        RowProgress progress;
        for (uint32_t y = 0; y < height; ++y) {
            if (y >= top && y < top + cropHeight)
                memcpy(RowAt(out, static_cast<uint32_t>(y - top), outRowBytes),
                       RowAt(pixels, y, rowBytes) + static_cast<size_t>(left) * bytesPerPixel, bytes);
            if (!progress.Report(y, height, ctx))
                return FALSE;
        }
        return TRUE;
    });
}
