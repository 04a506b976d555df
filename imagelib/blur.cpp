// Separable Gaussian blur of selected channels: a horizontal pass into a
// single-precision work image and a vertical pass into the destination,
// taps outside the picture left out and the rest renormalised.
#include "imageops.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kRadiusPerSigma = 2.5;
constexpr double kE = 2.71828;
constexpr double kTwoPi = 6.2831853;

// Half-width of the kernel. Taps further out than the picture's larger side
// could never land inside it, so the radius stops there.
uint32_t KernelRadius(double sigma, uint32_t width, uint32_t height)
{
    const double larger = std::max(width, height);
    return static_cast<uint32_t>(std::min(std::ceil(kRadiusPerSigma * sigma), larger));
}

bool WeightsUsable(const std::vector<float> &w, double sum)
{
    return std::isfinite(sum) && sum > 0 &&
           std::all_of(w.begin(), w.end(), [](float v) { return std::isfinite(v); });
}

std::vector<float> Kernel(double sigma, uint32_t radius)
{
    const uint32_t taps = 2 * radius + 1;
    std::vector<float> w(taps);
    const double scale = 1 / (std::sqrt(kTwoPi) * sigma);
    double sum = 0;
    for (uint32_t i = 0; i < taps; ++i) {
        const double x = static_cast<double>(i) - radius;
        w[i] = static_cast<float>(std::pow(kE, -0.5 * x * x / (sigma * sigma)) * scale);
        sum += w[i];
    }
    // A sigma so small or so large that the scale leaves single precision:
    // the scale cancels in the normalisation anyway.
    if (!WeightsUsable(w, sum)) {
        sum = 0;
        for (uint32_t i = 0; i < taps; ++i) {
            const double x = static_cast<double>(i) - radius;
            w[i] = static_cast<float>(std::pow(kE, -0.5 * x * x / (sigma * sigma)));
            sum += w[i];
        }
    }
    const double norm = 1 / sum;
    for (float &v : w)
        v = static_cast<float>(v * norm);
    return w;
}

struct Planes {
    const BYTE *source;
    uint32_t sourceRowBytes;
    BYTE *dest;
    uint32_t destRowBytes;
    uint32_t width;
    uint32_t height;
    uint32_t bytesPerPixel;
};

void Horizontal(const Planes &p, uint32_t channel, const std::vector<float> &w, uint32_t radius,
                std::vector<float> &work)
{
    const int64_t r = radius;
    const int64_t last = int64_t{p.width} - 1;
    for (uint32_t y = 0; y < p.height; ++y) {
        const BYTE *row = RowAt(p.source, y, p.sourceRowBytes) + channel;
        float *out = work.data() + static_cast<size_t>(y) * p.width;
        for (int64_t x = 0; x <= last; ++x) {
            const int64_t from = std::max(-r, -x);
            const int64_t to = std::min(r, last - x);
            double value = 0;
            double weight = 0;
            for (int64_t i = from; i <= to; ++i) {
                const double tap = w[static_cast<size_t>(i + r)];
                value += tap * row[static_cast<size_t>(x + i) * p.bytesPerPixel];
                weight += tap;
            }
            out[x] = weight != 0 ? static_cast<float>(value / weight) : 0.0f;
        }
    }
}

void Vertical(const Planes &p, uint32_t channel, const std::vector<float> &w, uint32_t radius,
              const std::vector<float> &work, std::vector<double> &sums)
{
    const int64_t r = radius;
    const int64_t last = int64_t{p.height} - 1;
    for (int64_t y = 0; y <= last; ++y) {
        const int64_t from = std::max(-r, -y);
        const int64_t to = std::min(r, last - y);
        std::fill(sums.begin(), sums.end(), 0.0);
        double weight = 0;
        for (int64_t i = from; i <= to; ++i) {
            const double tap = w[static_cast<size_t>(i + r)];
            const float *in = work.data() + static_cast<size_t>(y + i) * p.width;
            for (uint32_t x = 0; x < p.width; ++x)
                sums[x] += tap * in[x];
            weight += tap;
        }
        const BYTE *src = RowAt(p.source, static_cast<uint32_t>(y), p.sourceRowBytes) + channel;
        BYTE *dst = RowAt(p.dest, static_cast<uint32_t>(y), p.destRowBytes) + channel;
        for (uint32_t x = 0; x < p.width; ++x) {
            const size_t at = static_cast<size_t>(x) * p.bytesPerPixel;
            dst[at] = weight != 0 ? static_cast<BYTE>(std::min(sums[x] / weight + 0.5, 255.0)) : src[at];
        }
    }
}

void CopyChannel(const Planes &p, uint32_t channel)
{
    for (uint32_t y = 0; y < p.height; ++y) {
        const BYTE *src = RowAt(p.source, y, p.sourceRowBytes) + channel;
        BYTE *dst = RowAt(p.dest, y, p.destRowBytes) + channel;
        for (uint32_t x = 0; x < p.width; ++x)
            dst[static_cast<size_t>(x) * p.bytesPerPixel] = src[static_cast<size_t>(x) * p.bytesPerPixel];
    }
}

}  // namespace

BOOL GaussianBlur(const BYTE *source, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                  uint32_t sourceRowBytes, BYTE *dest, uint32_t destRowBytes, double sigma, uint32_t channelMask)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        if (!source || !dest || source == dest || !RowsFit(width, height, bytesPerPixel, sourceRowBytes) ||
            !RowsFit(width, height, bytesPerPixel, destRowBytes)) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const Planes planes{source, sourceRowBytes, dest, destRowBytes, width, height, bytesPerPixel};
        // A sigma of 0 or less (or NaN) has no kernel: the channels are copied.
        const bool copy = !(sigma > 0);
        const uint32_t radius = copy ? 0 : KernelRadius(sigma, width, height);
        if (width == 0 || height == 0)
            return TRUE;
        const CheckedSize workBytes = CheckedSize(width) * CheckedSize(height) * CheckedSize(sizeof(float));
        const CheckedSize kernelBytes = (CheckedSize(radius) * CheckedSize(2) + CheckedSize(1)) * CheckedSize(sizeof(float));
        const CheckedSize sumBytes = CheckedSize(width) * CheckedSize(sizeof(double));
        if (!copy && (!workBytes.Ok() || !kernelBytes.Ok() || !sumBytes.Ok())) {
            ctx.Fail(kImgOutOfMemory);
            return FALSE;
        }
        const std::vector<float> kernel = copy ? std::vector<float>() : Kernel(sigma, radius);
        std::vector<float> work(copy ? 0 : static_cast<size_t>(width) * height);
        std::vector<double> sums(copy ? 0 : width);
        const uint32_t steps = 2 * bytesPerPixel;
        RowProgress progress;
        for (uint32_t k = 0; k < bytesPerPixel; ++k) {
            if (k < 32 && (channelMask >> k) & 1) {
                if (copy) {
                    CopyChannel(planes, k);
                } else {
                    Horizontal(planes, k, kernel, radius, work);
                    if (!progress.Report(2 * k, steps, ctx))
                        return FALSE;
                    Vertical(planes, k, kernel, radius, work, sums);
                }
            }
            if (!progress.Report(2 * k + 1, steps, ctx))
                return FALSE;
        }
        return TRUE;
    });
}
