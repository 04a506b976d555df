// Tone changes through 256-entry tables: a piecewise-linear contrast curve
// shifted by the brightness (per channel, mean-preserving or on HSL
// lightness) and a power-law gamma.
#include "imageops.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kLevels = 256;
constexpr uint32_t kMaxChannels = 4;
constexpr double kInv255 = 0.00392156862745098;
constexpr double kInv256 = 0.00390625;
constexpr double kCurveMiddle = 128.0;
constexpr double kContrastSpan = 127.0;
constexpr double kContrastLimit = 0.99;

using Lut = BYTE[kLevels];

struct CurvePoint {
    double x;
    double y;
};

double ClampTo(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

// Below the lower bound takes it; at or above the upper bound takes that.
double ClampInput(double v, double lo, double hi) { return v < lo ? lo : (v >= hi ? hi : v); }

CurvePoint Toward(CurvePoint from, CurvePoint to, double k, bool fromLow)
{
    const double x = (to.x + from.x) / 2;
    return fromLow ? CurvePoint{x, from.y + (to.y - from.y) / 2 * k} : CurvePoint{x, from.y - (from.y - to.y) / 2 * k};
}

std::vector<CurvePoint> ControlPoints(double c, uint32_t flags)
{
    const CurvePoint first = c >= 0 ? CurvePoint{kContrastSpan * c, 0} : CurvePoint{0, -kContrastSpan * c};
    const CurvePoint last =
        c >= 0 ? CurvePoint{255 - kContrastSpan * c, 255} : CurvePoint{255, 255 + kContrastSpan * c};
    const CurvePoint middle{kCurveMiddle, kCurveMiddle};
    const double k = 1 - std::fabs(c);
    if (flags & kToneThreePoints)
        return {first, middle, last};
    const CurvePoint q1 = Toward(first, middle, k, true);
    const CurvePoint q3 = Toward(last, middle, k, false);
    if (!(flags & kToneSevenPoints))
        return {first, q1, middle, q3, last};
    return {first, Toward(first, q1, k, true), q1, middle, q3, Toward(last, q3, k, false), last};
}

void ContrastTable(double brightness, double contrast, uint32_t flags, Lut &lut)
{
    const std::vector<CurvePoint> points = ControlPoints(contrast, flags);
    double y[kLevels];
    for (uint32_t x = 0; x < kLevels; ++x)
        y[x] = x < 129 ? 0 : 255;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const CurvePoint a = points[i];
        const CurvePoint b = points[i + 1];
        const double slope = (b.y - a.y) / (b.x - a.x);
        const int32_t start = static_cast<int32_t>(a.x);
        int32_t end = start + static_cast<int32_t>(b.x - a.x);
        if (end > 255 || i + 2 == points.size())
            end = 255;
        for (int32_t x = start; x <= end; ++x)
            y[x] = ClampTo(a.y + (x - start) * slope, 0, 255);
    }
    for (uint32_t x = 0; x < kLevels; ++x)
        lut[x] = static_cast<BYTE>(ClampTo(y[x] + 255 * brightness, 0, 255));
}

// Every byte of a channel with a table goes through it; progress once a row.
bool ApplyTables(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                 const BYTE *const (&tables)[kMaxChannels], OperationContext &ctx)
{
    if (std::all_of(tables, tables + kMaxChannels, [](const BYTE *t) { return t == nullptr; }))
        return true;
    // One table for every byte of the row is the common case: one run.
    const bool oneTable = std::all_of(tables, tables + bytesPerPixel, [&](const BYTE *t) { return t == tables[0]; });
    const size_t rowUsed = static_cast<size_t>(width) * bytesPerPixel;
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *p = RowAt(pixels, y, rowBytes);
        if (oneTable) {
            for (size_t i = 0; i < rowUsed; ++i)
                p[i] = tables[0][p[i]];
        } else {
            for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel)
                for (uint32_t k = 0; k < bytesPerPixel; ++k)
                    if (tables[k])
                        p[k] = tables[k][p[k]];
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

bool KeepMean(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
              const Lut &lut, OperationContext &ctx)
{
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *p = RowAt(pixels, y, rowBytes);
        for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
            const int32_t m = (p[0] + p[1] + p[2]) / 3;
            for (uint32_t k = 0; k < 3; ++k)
                p[k] = static_cast<BYTE>(std::clamp(p[k] + lut[m] - m, 0, 255));
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

struct Hsl {
    double h;
    double s;
    double l;
};

Hsl ToHsl(const BYTE *p)
{
    const double r = p[0] * kInv255;
    const double g = p[1] * kInv255;
    const double b = p[2] * kInv255;
    const double hi = std::max({r, g, b});
    const double lo = std::min({r, g, b});
    Hsl c{-1, 0, (hi + lo) / 2};
    if (hi == lo)
        return c;
    const double range = hi - lo;
    const double divisor = c.l <= 0.5 ? hi + lo : 2 - hi - lo;
    c.s = divisor == 0 ? 0 : range / divisor;
    if (r == hi)
        c.h = (g - b) / range;
    else if (g == hi)
        c.h = 2 + (b - r) / range;
    else
        c.h = 4 + (r - g) / range;
    c.h *= 60;
    if (c.h < 0)
        c.h += 360;
    return c;
}

BYTE ToByte(double v) { return static_cast<BYTE>(ClampTo(v * 255, 0, 255)); }

void FromHsl(const Hsl &c, BYTE *p)
{
    if (c.h < 0) {
        p[0] = p[1] = p[2] = ToByte(c.l);
        return;
    }
    const double m2 = c.l <= 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    if (m2 <= 0) {
        p[0] = p[1] = p[2] = 0;
        return;
    }
    const double m1 = 2 * c.l - m2;
    const double sixths = c.h * 0.002777777777777778 * 6;
    const int32_t sector = static_cast<int32_t>(sixths);
    const double f = sixths - sector;
    const double up = m1 + (m2 - m1) * f;
    const double down = m2 - (m2 - m1) * f;
    const double table[6][3] = {{m2, up, m1}, {down, m2, m1}, {m1, m2, up},
                                {m1, down, m2}, {up, m1, m2}, {m2, m1, down}};
    const double *rgb = table[std::clamp(sector, 0, 5)];
    for (uint32_t k = 0; k < 3; ++k)
        p[k] = ToByte(rgb[k]);
}

// Runs to the end once started: no progress, no abort.
void ChangeLightness(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                     const Lut &lut)
{
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *p = RowAt(pixels, y, rowBytes);
        for (uint32_t x = 0; x < width; ++x, p += bytesPerPixel) {
            Hsl c = ToHsl(p);
            c.l = lut[static_cast<BYTE>(ClampTo(c.l * 255, 0, 255))] * kInv255;
            FromHsl(c, p);
        }
    }
}

bool ToneArgumentsOk(const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes)
{
    return pixels && bytesPerPixel >= 1 && bytesPerPixel <= kMaxChannels &&
           RowsFit(width, height, bytesPerPixel, rowBytes);
}

}  // namespace

BOOL AdjustBrightnessContrast(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, double brightness, double contrast, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!ToneArgumentsOk(pixels, width, height, bytesPerPixel, rowBytes) || std::isnan(brightness) ||
            std::isnan(contrast)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (width == 0 || height == 0)
            return TRUE;
        Lut lut;
        ContrastTable(ClampInput(brightness, -1, 1), ClampInput(contrast, -kContrastLimit, kContrastLimit), flags,
                      lut);
        const bool colour = bytesPerPixel >= 3;
        if (colour && (flags & kToneKeepMean))
            return KeepMean(pixels, width, height, bytesPerPixel, rowBytes, lut, ctx);
        if (colour && (flags & kToneLightness)) {
            ChangeLightness(pixels, width, height, bytesPerPixel, rowBytes, lut);
            return TRUE;
        }
        const BYTE *tables[kMaxChannels] = {};
        for (uint32_t k = 0; k < bytesPerPixel; ++k)
            tables[k] = lut;
        if (bytesPerPixel == kMaxChannels && (flags & kToneKeepFourth))
            tables[3] = nullptr;
        return ApplyTables(pixels, width, height, bytesPerPixel, rowBytes, tables, ctx);
    });
}

BOOL ApplyGamma(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                double gamma, uint32_t flags)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!ToneArgumentsOk(pixels, width, height, bytesPerPixel, rowBytes) || !(gamma >= 0)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        if (width == 0 || height == 0)
            return TRUE;
        const double exponent = gamma == 0 ? 1 : 1 / gamma;
        Lut lut;
        for (uint32_t i = 0; i < kLevels; ++i)
            lut[i] = static_cast<BYTE>(std::min(256 * std::pow(i * kInv256, exponent), 255.0));
        const BYTE *tables[kMaxChannels] = {};
        for (uint32_t k = 0; k < bytesPerPixel; ++k)
            tables[k] = lut;
        if (bytesPerPixel == kMaxChannels && !(flags & kGammaFourthByte))
            tables[3] = nullptr;
        return ApplyTables(pixels, width, height, bytesPerPixel, rowBytes, tables, ctx);
    });
}
