// Times the image operations the saver uses on one synthetic 1280 x 1024
// picture, each beside a plain loop that computes the same result, and
// checks that both results agree. scripts/bench-imageops runs it natively
// and under Wine and adds ImageMagick's figures.
//
//   imageops_bench [RUNS] [PICTURE.ppm PICTURE.pgm PALETTE.ppm]
//
// With the three names it also writes the picture, its first channel and
// the palette for ImageMagick.
#include "imagelib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr uint32_t kW = 1280;
constexpr uint32_t kH = 1024;
constexpr double kMegapixels = kW * kH / 1e6;

using Bytes = std::vector<uint8_t>;

// Smooth gradients with a little noise and a key-green block, so that the
// palette cache and the overlay key see realistic colours.
Bytes Picture()
{
    Bytes p(kW * kH * 3);
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = static_cast<int>((seed >> 16) & 15) - 8;
            uint8_t *px = &p[(y * kW + x) * 3];
            px[0] = static_cast<uint8_t>(std::clamp<int>(x * 255 / kW + noise, 0, 255));
            px[1] = static_cast<uint8_t>(std::clamp<int>(y * 255 / kH + noise, 0, 255));
            px[2] = static_cast<uint8_t>(std::clamp<int>((x + y) * 255 / (kW + kH) - noise, 0, 255));
            if (x % 160 < 40 && y % 128 < 30)
                px[0] = 0, px[1] = 255, px[2] = 0;
        }
    return p;
}

std::vector<RGBQUAD> Palette()
{
    std::vector<RGBQUAD> pal;
    for (int r = 0; r < 8; ++r)
        for (int g = 0; g < 8; ++g)
            for (int b = 0; b < 4; ++b)
                pal.push_back({static_cast<BYTE>(b * 85), static_cast<BYTE>(g * 255 / 7), static_cast<BYTE>(r * 255 / 7), 0});
    return pal;
}

double MedianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// ---- plain loops of the same results ----

void PlainResize(const Bytes &in, uint32_t w, uint32_t h, Bytes &out, uint32_t nw, uint32_t nh)
{
    auto step = [](double from, double to) { return from < to ? (from - from / to) / to : from / to; };
    const double sx = step(w, nw), sy = step(h, nh);
    for (uint32_t j = 0; j < nh; ++j)
        for (uint32_t i = 0; i < nw; ++i) {
            const double fx = i * sx, fy = j * sy;
            const double ix = std::trunc(fx), iy = std::trunc(fy);
            const double wx = fx - ix, wy = fy - iy;
            const uint32_t x0 = std::min<uint32_t>(static_cast<uint32_t>(ix), w - 1), x1 = std::min(x0 + 1, w - 1);
            const uint32_t y0 = std::min<uint32_t>(static_cast<uint32_t>(iy), h - 1), y1 = std::min<uint32_t>(static_cast<uint32_t>(iy) + 1, h - 1);
            for (int k = 0; k < 3; ++k) {
                const double v = (1 - wx) * (1 - wy) * in[(y0 * w + x0) * 3 + k] + wx * (1 - wy) * in[(y0 * w + x1) * 3 + k] +
                                 (1 - wx) * wy * in[(y1 * w + x0) * 3 + k] + wx * wy * in[(y1 * w + x1) * 3 + k];
                out[(j * nw + i) * 3 + k] = static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
            }
        }
}

void PlainBlur(const Bytes &in, uint32_t bpp, Bytes &out, double sigma)
{
    const int r = static_cast<int>(std::ceil(2.5 * sigma));
    std::vector<float> w(2 * r + 1);
    double sum = 0;
    for (int i = 0; i <= 2 * r; ++i) {
        const double x = i - r;
        w[i] = static_cast<float>(std::pow(2.71828, -0.5 * x * x / (sigma * sigma)) / (std::sqrt(6.2831853) * sigma));
        sum += w[i];
    }
    for (float &v : w)
        v = static_cast<float>(v * (1 / sum));
    std::vector<float> work(kW * kH);
    for (uint32_t k = 0; k < bpp; ++k) {
        for (int y = 0; y < static_cast<int>(kH); ++y)
            for (int x = 0; x < static_cast<int>(kW); ++x) {
                double v = 0, wt = 0;
                for (int i = -r; i <= r; ++i)
                    if (x + i >= 0 && x + i < static_cast<int>(kW)) {
                        v += static_cast<double>(w[i + r]) * in[(y * kW + x + i) * bpp + k];
                        wt += w[i + r];
                    }
                work[y * kW + x] = static_cast<float>(v / wt);
            }
        for (int x = 0; x < static_cast<int>(kW); ++x)
            for (int y = 0; y < static_cast<int>(kH); ++y) {
                double v = 0, wt = 0;
                for (int i = -r; i <= r; ++i)
                    if (y + i >= 0 && y + i < static_cast<int>(kH)) {
                        v += static_cast<double>(w[i + r]) * work[(y + i) * kW + x];
                        wt += w[i + r];
                    }
                out[(y * kW + x) * bpp + k] = static_cast<uint8_t>(std::min(v / wt + 0.5, 255.0));
            }
    }
}

void PlainReduce(const Bytes &in, const std::vector<RGBQUAD> &pal, int limit, Bytes &out)
{
    std::vector<int> cache(32768, -1);
    std::vector<int> cur(3 * (kW + 2)), next(3 * (kW + 2));  // by column, one spare each side
    for (uint32_t y = 0; y < kH; ++y) {
        const bool fwd = (y & 1) == 0;
        std::fill(next.begin(), next.end(), 0);
        for (uint32_t p = 0; p < kW; ++p) {
            const int x = fwd ? p : kW - 1 - p, dir = fwd ? 1 : -1;
            int v[3], e[3];
            for (int k = 0; k < 3; ++k)
                v[k] = std::clamp(in[(y * kW + x) * 3 + k] + ((cur[3 * (x + 1) + k] + 8) >> 4), 0, 255);
            int &cell = cache[((v[0] >> 3) << 10) | ((v[1] >> 3) << 5) | (v[2] >> 3)];
            if (cell < 0) {
                int best = 0xFD0300;
                for (size_t i = 0; i < pal.size(); ++i) {
                    const int dr = v[0] - pal[i].rgbRed, dg = v[1] - pal[i].rgbGreen, db = v[2] - pal[i].rgbBlue;
                    if (dr * dr + dg * dg + db * db < best)
                        best = dr * dr + dg * dg + db * db, cell = static_cast<int>(i);
                }
            }
            out[y * kW + x] = static_cast<uint8_t>(cell);
            const int plane[3] = {pal[cell].rgbRed, pal[cell].rgbGreen, pal[cell].rgbBlue};
            for (int k = 0; k < 3; ++k) {
                e[k] = std::clamp(v[k] - plane[k], -limit, limit);
                cur[3 * (x + 1 + dir) + k] += 7 * e[k];
                next[3 * (x + 1 - dir) + k] += 3 * e[k];
                next[3 * (x + 1) + k] += 5 * e[k];
                next[3 * (x + 1 + dir) + k] += e[k];
            }
        }
        std::swap(cur, next);
    }
}

void PlainOverlay(Bytes &target, const Bytes &overlay, double o)
{
    for (size_t i = 0; i < target.size(); i += 3) {
        const int d0 = overlay[i], d1 = overlay[i + 1] - 255, d2 = overlay[i + 2];
        if (d0 * d0 + d1 * d1 + d2 * d2 <= 8)
            continue;
        for (int k = 0; k < 3; ++k)
            target[i + k] = static_cast<uint8_t>(target[i + k] * (1 - o) + overlay[i + k] * o);
    }
}

void PlainTable(Bytes &pixels, const uint8_t *table)
{
    for (uint8_t &b : pixels)
        b = table[b];
}

struct Row {
    const char *name;
    double ms;
    double plainMs;
    bool same;
};

void Print(const Row &r)
{
    std::printf("| %-34s | %8.2f | %7.1f | %8.2f | %7.1f | %-4s |\n", r.name, r.ms, kMegapixels / (r.ms / 1000),
                r.plainMs, kMegapixels / (r.plainMs / 1000), r.same ? "yes" : "NO");
}

void WritePnm(const char *path, const char *magic, const uint8_t *data, uint32_t w, uint32_t h, uint32_t bpp)
{
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return;
    std::fprintf(f, "%s\n%u %u\n255\n", magic, w, h);
    std::fwrite(data, 1, static_cast<size_t>(w) * h * bpp, f);
    std::fclose(f);
}

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const Bytes src = Picture();
    const std::vector<RGBQUAD> pal = Palette();
    Bytes grey(kW * kH);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = src[i * 3];
    if (argc > 4) {
        WritePnm(argv[2], "P6", src.data(), kW, kH, 3);
        WritePnm(argv[3], "P5", grey.data(), kW, kH, 1);
        Bytes palRgb;
        for (const RGBQUAD &e : pal)
            palRgb.insert(palRgb.end(), {e.rgbRed, e.rgbGreen, e.rgbBlue});
        WritePnm(argv[4], "P6", palRgb.data(), static_cast<uint32_t>(pal.size()), 1, 3);
    }
    std::printf("| %-34s | %8s | %7s | %8s | %7s | %-4s |\n", "operation (1280x1024 in)", "ms", "MP/s", "plain ms",
                "MP/s", "same");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(10, '-').c_str(),
                std::string(9, '-').c_str(), std::string(10, '-').c_str(), std::string(9, '-').c_str(),
                std::string(6, '-').c_str());

    for (auto [nw, nh, name] : {std::tuple{312u, 156u, "ResizeImage to 312x156"}, std::tuple{2560u, 2048u, "ResizeImage to 2560x2048"}}) {
        Bytes a(nw * nh * 3), b(nw * nh * 3);
        const double ms = MedianMs(runs, [&] { ResizeImage(src.data(), kW, kH, kW * 3, a.data(), nw, nh, nw * 3, 3); });
        const double plain = MedianMs(runs, [&] { PlainResize(src, kW, kH, b, nw, nh); });
        Print({name, ms, plain, a == b});
    }
    {
        Bytes a(src.size()), b(src.size());
        const double ms = MedianMs(runs, [&] { GaussianBlur(src.data(), kW, kH, 3, kW * 3, a.data(), kW * 3, 2.0, 7); });
        const double plain = MedianMs(runs, [&] { PlainBlur(src, 3, b, 2.0); });
        Print({"GaussianBlur sigma 2.0, 3 channels", ms, plain, a == b});
        Bytes c(grey.size()), d(grey.size());
        const double ms1 = MedianMs(runs, [&] { GaussianBlur(grey.data(), kW, kH, 1, kW, c.data(), kW, 1.4, 7); });
        const double plain1 = MedianMs(runs, [&] { PlainBlur(grey, 1, d, 1.4); });
        Print({"GaussianBlur sigma 1.4, 1 channel", ms1, plain1, c == d});
    }
    for (auto [limit, name] : {std::pair{0, "RGBTo8Bit limit 0"}, std::pair{20, "RGBTo8Bit limit 20 (sixteenths)"}}) {
        Bytes a(kW * kH), b(kW * kH);
        const double ms = MedianMs(runs, [&] {
            RGBTo8Bit(src.data(), kW, kH, kW * 3, a.data(), kW, static_cast<uint32_t>(pal.size()), pal.data(), 1,
                      static_cast<uint32_t>(limit), 0);
        });
        const double plain = MedianMs(runs, [&] { PlainReduce(src, pal, limit, b); });
        Print({name, ms, plain, a == b});
    }
    {
        Bytes overlay(src.rbegin(), src.rend());
        Bytes a, b;
        const double ms = MedianMs(runs, [&] {
            a = src;
            OverlayImage(a.data(), kW, kH, kW * 3, overlay.data(), kW, kH, kW * 3, 0, 0, 0.7, 0x00FF00, 8, 0);
        });
        const double plain = MedianMs(runs, [&] {
            b = src;
            PlainOverlay(b, overlay, 0.7);
        });
        Print({"OverlayImage 0.7, key tolerance 8", ms, plain, a == b});
    }
    {
        // The plain loops take the operation's own table (read off a ramp):
        // they time the application, which is where the work is.
        Bytes ramp(256);
        for (int i = 0; i < 256; ++i)
            ramp[i] = static_cast<uint8_t>(i);
        Bytes tone = ramp, gamma = ramp;
        AdjustBrightnessContrast(tone.data(), 256, 1, 1, 256, -0.3, -0.2, 0);
        ApplyGamma(gamma.data(), 256, 1, 1, 256, 2.4, 0);
        Bytes a, b;
        double ms = MedianMs(runs, [&] {
            a = src;
            AdjustBrightnessContrast(a.data(), kW, kH, 3, kW * 3, -0.3, -0.2, 0);
        });
        double plain = MedianMs(runs, [&] {
            b = src;
            PlainTable(b, tone.data());
        });
        Print({"AdjustBrightnessContrast -0.3 -0.2", ms, plain, a == b});
        ms = MedianMs(runs, [&] {
            a = src;
            ApplyGamma(a.data(), kW, kH, 3, kW * 3, 2.4, 0);
        });
        plain = MedianMs(runs, [&] {
            b = src;
            PlainTable(b, gamma.data());
        });
        Print({"ApplyGamma 2.4", ms, plain, a == b});
    }
    return 0;
}
