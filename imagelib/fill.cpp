// Filling rectangles of an image with a colour, and polygons (even-odd
// rule, pixel centres) of 1-bit or byte images with a colour, a blend or a
// tiled pattern.
#include "imageops.h"
#include "pixelrows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kRgbBytes = 3;
constexpr uint32_t kRgbaBytes = 4;
constexpr uint32_t kMinPolygonPoints = 3;
// Polygon coordinates beyond this are refused: the scan rows and columns
// derived from them must stay well inside 32-bit integers.
constexpr double kCoordinateLimit = 1073741824.0;

bool FillablePixelSize(uint32_t bytesPerPixel)
{
    return bytesPerPixel == 1 || bytesPerPixel == kRgbBytes || bytesPerPixel == kRgbaBytes;
}

void ColourBytes(COLORREF colour, bool swapRedBlue, BYTE (&c)[kRgbaBytes])
{
    c[0] = static_cast<BYTE>(colour);
    c[1] = static_cast<BYTE>(colour >> 8);
    c[2] = static_cast<BYTE>(colour >> 16);
    c[3] = static_cast<BYTE>(colour >> 24);
    if (swapRedBlue)
        std::swap(c[0], c[2]);
}

// One run of a scan row inside the polygon, already inside the image.
struct Span {
    uint32_t row;
    uint32_t first;
    uint32_t last;
};

bool PointsUsable(const PolygonPoint *points, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        if (!(std::fabs(points[i].x) <= kCoordinateLimit) || !(std::fabs(points[i].y) <= kCoordinateLimit))
            return false;
    return true;
}

// Crossings of the scan line at row + 0.5 with every edge whose upper end
// lies on or above it and whose lower end lies below it.
void Crossings(const PolygonPoint *points, uint32_t count, double scan, std::vector<double> &xs)
{
    xs.clear();
    for (uint32_t i = 0; i < count; ++i) {
        const PolygonPoint &a = points[i];
        const PolygonPoint &b = points[(i + 1) % count];
        const PolygonPoint &upper = a.y <= b.y ? a : b;
        const PolygonPoint &lower = a.y <= b.y ? b : a;
        if (upper.y <= scan && lower.y > scan)
            xs.push_back(upper.x + (scan - upper.y) * (lower.x - upper.x) / (lower.y - upper.y));
    }
    std::sort(xs.begin(), xs.end());
}

// Every span of the polygon inside width x height, top row first. Built in
// full before anything is drawn, so that running out of memory leaves the
// image untouched.
std::vector<Span> ScanPolygon(const PolygonPoint *points, uint32_t count, uint32_t width, uint32_t height)
{
    std::vector<Span> spans;
    double ymin = points[0].y;
    double ymax = points[0].y;
    for (uint32_t i = 1; i < count; ++i) {
        ymin = std::min(ymin, points[i].y);
        ymax = std::max(ymax, points[i].y);
    }
    const int64_t firstRow = std::max<int64_t>(static_cast<int64_t>(std::ceil(ymin - 0.5)), 0);
    const int64_t lastRow = std::min<int64_t>(static_cast<int64_t>(std::floor(ymax - 0.5)), int64_t{height} - 1);
    std::vector<double> xs;
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        Crossings(points, count, static_cast<double>(row) + 0.5, xs);
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int64_t first = std::max<int64_t>(static_cast<int64_t>(std::ceil(xs[i] - 0.5)), 0);
            const int64_t last = std::min<int64_t>(static_cast<int64_t>(std::floor(xs[i + 1] - 0.5)), int64_t{width} - 1);
            if (first <= last)
                spans.push_back({static_cast<uint32_t>(row), static_cast<uint32_t>(first), static_cast<uint32_t>(last)});
        }
    }
    return spans;
}

void SetBitRun(BYTE *row, uint32_t first, uint32_t last, bool set)
{
    for (uint32_t x = first; x <= last; ++x) {
        if ((x & 7) == 0 && x + 7 <= last) {
            const uint32_t whole = (last + 1 - x) / 8;
            memset(row + x / 8, set ? 0xFF : 0, whole);
            x += whole * 8 - 1;
            continue;
        }
        const BYTE bit = kSingleBitMask[7 - (x & 7)];
        row[x >> 3] = static_cast<BYTE>(set ? row[x >> 3] | bit : row[x >> 3] & ~bit);
    }
}

// How FillPolygonEx paints one pixel.
class PolygonPainter {
public:
    PolygonPainter(uint32_t bytesPerPixel, COLORREF colour, double opacity, const RGBQUAD *palette,
                   uint32_t paletteCount, uint32_t flags)
        : bpp_(bytesPerPixel), blend_((flags & kPolygonBlend) != 0), palette_(palette),
          paletteCount_(std::min(paletteCount, CISColorMatch::kMaxEntries)), index_(static_cast<BYTE>(colour))
    {
        ColourBytes(colour, false, c_);
        if (bpp_ == 1 && palette_) {
            const RGBQUAD entry = Entry(index_);
            c_[0] = entry.rgbRed;
            c_[1] = entry.rgbGreen;
            c_[2] = entry.rgbBlue;
        }
        if (flags & kPolygonSwapRedBlue)
            std::swap(c_[0], c_[2]);
        for (uint32_t i = 0; i < 256; ++i) {
            keep_[i] = static_cast<BYTE>(i * (1.0 - opacity));
            take_[i] = static_cast<BYTE>(i * opacity);
        }
        if (palette_)
            match_.SetPalette(palette_, paletteCount_);
    }

    void Solid(BYTE *p)
    {
        if (bpp_ == 1)
            *p = index_;
        else
            memcpy(p, c_, bpp_);
    }

    void Blend(BYTE *p)
    {
        if (bpp_ != 1) {
            for (uint32_t k = 0; k < bpp_; ++k)
                p[k] = static_cast<BYTE>(keep_[p[k]] + take_[c_[k]]);
            return;
        }
        const RGBQUAD e = Entry(*p);
        *p = static_cast<BYTE>(match_.Match(static_cast<BYTE>(keep_[e.rgbRed] + take_[c_[0]]),
                                            static_cast<BYTE>(keep_[e.rgbGreen] + take_[c_[1]]),
                                            static_cast<BYTE>(keep_[e.rgbBlue] + take_[c_[2]])));
    }

    bool Blends() const { return blend_; }

private:
    // Indices past the caller's palette read as black.
    RGBQUAD Entry(uint32_t i) const { return i < paletteCount_ ? palette_[i] : RGBQUAD{}; }

    uint32_t bpp_;
    bool blend_;
    const RGBQUAD *palette_;
    uint32_t paletteCount_;
    BYTE index_;
    BYTE c_[kRgbaBytes];
    BYTE keep_[256];
    BYTE take_[256];
    CISColorMatch match_;
};

struct Pattern {
    const BYTE *pixels;
    uint32_t width;
    uint32_t height;
    uint32_t rowBytes;
};

void PaintSpans(BYTE *pixels, uint32_t bytesPerPixel, uint32_t rowBytes, const std::vector<Span> &spans,
                PolygonPainter &painter, const Pattern &pattern, uint32_t anchor)
{
    uint32_t patternRow = 0;
    bool started = false;
    uint32_t lastRow = 0;
    for (const Span &span : spans) {
        if (started && span.row != lastRow)
            patternRow = (patternRow + 1) % (pattern.height ? pattern.height : 1);
        started = true;
        lastRow = span.row;
        BYTE *p = RowAt(pixels, span.row, rowBytes) + static_cast<size_t>(span.first) * bytesPerPixel;
        for (uint32_t x = span.first; x <= span.last; ++x, p += bytesPerPixel) {
            if (pattern.pixels) {
                const int64_t offset = (int64_t{x} - anchor) % pattern.width;
                const uint32_t column = static_cast<uint32_t>(offset < 0 ? offset + pattern.width : offset);
                memcpy(p, RowAt(pattern.pixels, patternRow, pattern.rowBytes) + static_cast<size_t>(column) * bytesPerPixel,
                       bytesPerPixel);
            } else if (painter.Blends()) {
                painter.Blend(p);
            } else {
                painter.Solid(p);
            }
        }
    }
}

}  // namespace

BOOL FillImageRect(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                   const RECT *rect, COLORREF colour, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!pixels || !rect || !FillablePixelSize(bytesPerPixel) || !RowsFit(width, height, bytesPerPixel, rowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        // An inverted rectangle is nothing to fill (the right column counts,
        // so right == left is one column wide).
        if (rect->right < rect->left || rect->bottom <= rect->top)
            return TRUE;
        const uint32_t left = static_cast<uint32_t>(rect->left);
        const uint32_t top = static_cast<uint32_t>(rect->top);
        if (left >= width || top >= height)
            return TRUE;
        const uint32_t fillWidth = static_cast<uint32_t>(
            std::min<int64_t>(int64_t{rect->right} - rect->left + 1, int64_t{width} - left));
        const uint32_t fillHeight =
            static_cast<uint32_t>(std::min<int64_t>(int64_t{rect->bottom} - rect->top, int64_t{height} - top));
        BYTE c[kRgbaBytes];
        ColourBytes(colour, (flags & kFillSwapRedBlue) != 0, c);
        const bool uniform = bytesPerPixel == 1 || std::all_of(c + 1, c + bytesPerPixel, [&](BYTE v) { return v == c[0]; });
        const BYTE fill = bytesPerPixel == 1 ? static_cast<BYTE>(colour) : c[0];
        if (uniform && bytesPerPixel != 1 && left == 0 && top == 0 && fillWidth == width && fillHeight == height) {
            memset(pixels, fill, static_cast<size_t>(height) * rowBytes);
            return TRUE;
        }
        RowProgress progress;
        for (uint32_t i = 0; i < fillHeight; ++i) {
            BYTE *p = RowAt(pixels, top + i, rowBytes) + static_cast<size_t>(left) * bytesPerPixel;
            if (uniform)
                memset(p, fill, static_cast<size_t>(fillWidth) * bytesPerPixel);
            else
                for (uint32_t x = 0; x < fillWidth; ++x, p += bytesPerPixel)
                    memcpy(p, c, bytesPerPixel);
            if (!progress.Report(i, fillHeight, ctx))
                return FALSE;
        }
        return TRUE;
    });
}

BOOL FillPolygon(BYTE *image, uint32_t width, uint32_t height, uint32_t rowBytes, const PolygonPoint *points,
                 uint32_t count, BOOL set, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!image || !points || count < kMinPolygonPoints || !PointsUsable(points, count) ||
            !RowsFit(PackedRowBytes(width, 1).Value(), height, 1, rowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (width == 0 || height == 0)
            return TRUE;
        const std::vector<Span> spans = ScanPolygon(points, count, width, height);
        const uint32_t total = static_cast<uint32_t>(spans.size());
        RowProgress progress;
        for (uint32_t i = 0; i < total; ++i) {
            SetBitRun(RowAt(image, spans[i].row, rowBytes), spans[i].first, spans[i].last, set != 0);
            if (!progress.Report(i, total, ctx))
                return FALSE;
        }
        return TRUE;
    });
}

BOOL FillPolygonEx(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                   const PolygonPoint *points, uint32_t count, const BYTE *pattern, uint32_t patternWidth,
                   uint32_t patternHeight, uint32_t patternRowBytes, COLORREF colour, double opacity,
                   const RGBQUAD *palette, uint32_t paletteCount, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        const bool blend = (flags & kPolygonBlend) != 0;
        // A blend outside 0 .. 1 would make bytes of negative or
        // overflowing products; NaN has no meaning at all.
        if (!pixels || !points || count < kMinPolygonPoints || !FillablePixelSize(bytesPerPixel) ||
            !PointsUsable(points, count) || !RowsFit(width, height, bytesPerPixel, rowBytes) ||
            (blend && (pattern || (bytesPerPixel == 1 && !palette) || !(opacity >= 0.0 && opacity <= 1.0))) ||
            (pattern && (patternWidth == 0 || patternHeight == 0 ||
                         !RowsFit(patternWidth, patternHeight, bytesPerPixel, patternRowBytes)))) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (width == 0 || height == 0)
            return TRUE;
        const std::vector<Span> spans = ScanPolygon(points, count, width, height);
        double leftmost = points[0].x;
        for (uint32_t i = 1; i < count; ++i)
            leftmost = std::min(leftmost, points[i].x);
        const uint32_t anchor =
            width ? static_cast<uint32_t>(std::clamp(leftmost, 0.0, static_cast<double>(width - 1))) : 0;
        PolygonPainter painter(bytesPerPixel, colour, blend ? opacity : 1.0, palette, paletteCount, flags);
        PaintSpans(pixels, bytesPerPixel, rowBytes, spans, painter, {pattern, patternWidth, patternHeight, patternRowBytes},
                   anchor);
        return TRUE;
    });
}
