// Hostile parameters for every image operation: a seeded sweep over sizes,
// strides, positions and rectangles, each buffer exactly as large as the
// call claims it to be, so that the sanitizers see any stray access. And
// every operation that reports progress stops with 14 when told to.
#include <gtest/gtest.h>

#include "checkedsize.h"
#include "imageops.h"
#include "imgtest.h"
#include "opstest.h"

#include <climits>
#include <functional>
#include <limits>
#include <optional>

using namespace imgtest;
using opstest::ProgressProbe;

namespace {

constexpr uint64_t kLargestTried = 1 << 20;
constexpr uint32_t kRounds = 2000;
constexpr uint32_t kHostile[] = {0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 0x55555556, 0x40000001};

class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint32_t Next()
    {
        s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(s_ >> 33);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
    bool Chance(uint32_t percent) { return Below(100) < percent; }

    uint32_t Dimension() { return Chance(8) ? kHostile[Below(5)] : Below(12); }
    int32_t Position()
    {
        static const int32_t edges[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1};
        return Chance(10) ? edges[Below(4)] : static_cast<int32_t>(Below(30)) - 15;
    }
    double Real()
    {
        static const double odd[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(), 1e300, -1e300, 0.0, -0.0, 2147483648.0};
        return Chance(25) ? odd[Below(8)] : (static_cast<double>(Below(4000)) - 1000) / 100;
    }

private:
    uint64_t s_;
};

// A buffer of rows as a call claims it: width x height pixels of unit
// bytes, rowBytes apart, and exactly rowBytes x rows bytes of memory. An
// impossible claim gets a token buffer: the operation must refuse it.
struct Claim {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rowBytes = 0;
    Bytes memory;
    BYTE *Data() { return memory.data(); }
};

// Row bytes near what the row needs, or hostile.
uint32_t Stride(Rng &rng, uint64_t needed)
{
    switch (rng.Below(5)) {
    case 0: return needed > 0 ? static_cast<uint32_t>(needed - 1) : 0;
    case 1: return kHostile[rng.Below(5)];
    default: return needed > UINT32_MAX ? kHostile[rng.Below(5)] : static_cast<uint32_t>(needed + rng.Below(4));
    }
}

// False when the claim would be a large buffer that is legitimate: the
// sweep only tries small ones and impossible ones.
bool Allocate(Rng &rng, Claim &c, uint64_t rows, uint64_t unitBytes = 1)
{
    const uint64_t bytes = static_cast<uint64_t>(c.rowBytes) * unitBytes * rows;
    if (bytes > kLargestTried && bytes < kImageSizeLimit)
        return false;
    c.memory.resize(bytes <= kLargestTried ? (bytes ? bytes : 1) : 16);
    for (BYTE &b : c.memory)
        b = static_cast<BYTE>(rng.Next());
    return true;
}

// width x height pixels of bytesPerPixel (or of bits when bits is set).
std::optional<Claim> Pixels(Rng &rng, uint32_t bytesPerPixel, bool bits = false)
{
    Claim c;
    c.width = rng.Dimension();
    c.height = rng.Dimension();
    c.rowBytes = Stride(rng, bits ? (uint64_t{c.width} + 7) / 8 : uint64_t{c.width} * bytesPerPixel);
    if (!Allocate(rng, c, c.height))
        return std::nullopt;
    return c;
}

// Rows for a result the call sizes itself (width and height given).
std::optional<Claim> Rows(Rng &rng, uint64_t width, uint64_t rows, uint32_t bytesPerPixel, bool bits = false)
{
    Claim c;
    c.rowBytes = Stride(rng, bits ? (width + 7) / 8 : width * bytesPerPixel);
    if (!Allocate(rng, c, rows))
        return std::nullopt;
    return c;
}

RECT Rectangle(Rng &rng)
{
    return {rng.Position(), rng.Position(), rng.Position(), rng.Position()};
}

std::vector<RGBQUAD> Palette(Rng &rng)
{
    std::vector<RGBQUAD> p(256);
    for (RGBQUAD &e : p)
        e = {static_cast<BYTE>(rng.Next()), static_cast<BYTE>(rng.Next()), static_cast<BYTE>(rng.Next()), 0};
    return p;
}

using Step = std::function<void(Rng &)>;

// The error an entry point left, or 0 when it succeeded.
int32_t Err(BOOL ok) { return ok ? 0 : GetLastImageError(); }

void Sweep(uint64_t seed, const Step &step)
{
    Rng rng(seed);
    for (uint32_t i = 0; i < kRounds; ++i)
        step(rng);
}

}  // namespace

TEST(HostileParameters, ColourAndOverlay)
{
    Sweep(1, [](Rng &rng) {
        auto src = Pixels(rng, 3);
        if (!src)
            return;
        auto out = Rows(rng, src->width, src->height, 1);
        if (!out)
            return;
        const auto palette = Palette(rng);
        RGBTo8Bit(src->Data(), src->width, src->height, src->rowBytes, out->Data(), out->rowBytes, rng.Below(300),
                  palette.data(), rng.Below(2), rng.Next(), rng.Below(2));
        Convert8BitToRGB(out->Data(), src->width, src->height, out->rowBytes, src->Data(), src->rowBytes, 0,
                         palette.data(), rng.Below(2));
    });
    Sweep(2, [](Rng &rng) {
        auto target = Pixels(rng, 3);
        auto overlay = Pixels(rng, 3);
        if (!target || !overlay)
            return;
        OverlayImage(target->Data(), target->width, target->height, target->rowBytes, overlay->Data(),
                     overlay->width, overlay->height, overlay->rowBytes, rng.Position(), rng.Position(), rng.Real(),
                     rng.Next(), rng.Next(), rng.Below(4));
    });
    Sweep(3, [](Rng &rng) {
        const uint32_t bpp = rng.Below(6);
        auto image = Pixels(rng, bpp);
        auto mask = Pixels(rng, 1);
        if (!image || !mask)
            return;
        AlphaBlendColor(image->Data(), image->width, image->height, bpp, image->rowBytes, mask->Data(), mask->width,
                        mask->height, mask->rowBytes, rng.Next(), rng.Position(), rng.Position(), rng.Below(4));
    });
    Sweep(4, [](Rng &rng) {
        auto target = Pixels(rng, 1, true);
        auto source = Pixels(rng, 1, true);
        if (!target || !source)
            return;
        OperationContext ctx;
        PasteBits1(target->Data(), target->width, target->height, target->rowBytes, source->Data(), source->width,
                   source->height, source->rowBytes, rng.Position(), rng.Position(), rng.Below(16), ctx);
    });
    Sweep(5, [](Rng &rng) {
        const uint32_t samples = rng.Below(4);
        Claim target, source;
        for (Claim *c : {&target, &source}) {
            c->width = rng.Dimension();
            c->height = rng.Dimension();
            c->rowBytes = Stride(rng, uint64_t{c->width} * samples);  // in samples here
            if (!Allocate(rng, *c, c->height, 2))
                return;
        }
        static const uint32_t largest[] = {0, 1, 255, 65535, 70000};
        OperationContext ctx;
        Composite16(reinterpret_cast<uint16_t *>(target.Data()), target.width, target.height,
                    reinterpret_cast<const uint16_t *>(source.Data()), source.width, source.height, rng.Position(),
                    rng.Position(), rng.Real(), samples, target.rowBytes, source.rowBytes, largest[rng.Below(5)],
                    rng.Below(21) | (rng.Chance(20) ? kCompositeBottomUp : 0), ctx);
    });
    Sweep(6, [](Rng &rng) {
        const bool indexed = rng.Chance(50);
        auto image = Pixels(rng, indexed ? 1 : 3);
        auto mask = Pixels(rng, 1, true);
        if (!image || !mask)
            return;
        const auto palette = Palette(rng);
        OperationContext ctx;
        BlendTextMask(image->Data(), image->width, image->height, image->rowBytes,
                      {mask->Data(), mask->width, mask->height, mask->rowBytes}, rng.Position(), rng.Position(),
                      {static_cast<BYTE>(rng.Next()), 0, 0, static_cast<BYTE>(rng.Next())}, rng.Chance(50),
                      indexed ? palette.data() : nullptr, rng.Below(300), ctx);
    });
}

TEST(HostileParameters, ResizeCropToneFillBlur)
{
    Sweep(7, [](Rng &rng) {
        const uint32_t bpp = rng.Below(5);
        auto src = Pixels(rng, bpp);
        if (!src)
            return;
        const uint32_t nw = rng.Dimension(), nh = rng.Dimension();
        auto out = Rows(rng, nw, nh, bpp);
        if (!out)
            return;
        ResizeImage(src->Data(), static_cast<int32_t>(src->width), static_cast<int32_t>(src->height), src->rowBytes,
                    out->Data(), static_cast<int32_t>(nw), static_cast<int32_t>(nh), out->rowBytes, bpp);
        const RECT r = Rectangle(rng);
        const uint64_t cropRows = r.bottom > r.top ? std::min<uint64_t>(uint64_t(r.bottom) - r.top, 64) : 0;
        auto crop = Rows(rng, 64, cropRows, bpp);
        if (crop)
            CropImage(src->Data(), src->width, src->height, src->rowBytes, crop->Data(), crop->rowBytes, &r, bpp);
    });
    Sweep(8, [](Rng &rng) {
        const uint32_t bpp = rng.Below(6);
        auto image = Pixels(rng, bpp);
        if (!image)
            return;
        static const uint32_t modes[] = {0, 1, 2, 4, kToneKeepMean, kToneLightness, 0x307};
        AdjustBrightnessContrast(image->Data(), image->width, image->height, bpp, image->rowBytes, rng.Real(),
                                 rng.Real(), modes[rng.Below(7)]);
        ApplyGamma(image->Data(), image->width, image->height, bpp, image->rowBytes, rng.Real(), rng.Below(2));
        const RECT r = Rectangle(rng);
        FillImageRect(image->Data(), image->width, image->height, bpp, image->rowBytes, &r, rng.Next(), rng.Below(2));
    });
    Sweep(9, [](Rng &rng) {
        const uint32_t bpp = rng.Below(6);
        auto image = Pixels(rng, bpp);
        auto bits = Pixels(rng, 1, true);
        auto pattern = Pixels(rng, bpp);
        if (!image || !bits || !pattern)
            return;
        std::vector<PolygonPoint> points(rng.Below(8));
        for (PolygonPoint &p : points)
            p = {rng.Chance(90) ? rng.Real() : rng.Position(), rng.Chance(90) ? rng.Real() : rng.Position()};
        const uint32_t count = static_cast<uint32_t>(points.size());
        FillPolygon(bits->Data(), bits->width, bits->height, bits->rowBytes, points.data(), count, rng.Below(2), 0);
        const auto palette = Palette(rng);
        FillPolygonEx(image->Data(), image->width, image->height, bpp, image->rowBytes, points.data(), count,
                      rng.Chance(30) ? pattern->Data() : nullptr, pattern->width, pattern->height, pattern->rowBytes,
                      rng.Next(), rng.Real(), rng.Chance(70) ? palette.data() : nullptr, rng.Below(300), rng.Below(4));
    });
    Sweep(10, [](Rng &rng) {
        const uint32_t bpp = rng.Below(5);
        auto src = Pixels(rng, bpp);
        if (!src)
            return;
        auto dest = Rows(rng, src->width, src->height, bpp);
        if (!dest)
            return;
        GaussianBlur(src->Data(), src->width, src->height, bpp, src->rowBytes, dest->Data(), dest->rowBytes,
                     rng.Real(), rng.Next());
    });
}

TEST(HostileParameters, Turns)
{
    Sweep(11, [](Rng &rng) {
        const uint32_t bpp = rng.Below(5);
        const uint32_t mode = rng.Below(4);
        auto src = Pixels(rng, bpp);
        if (!src)
            return;
        const bool swaps = mode != kTurnHalf;
        auto dest = Rows(rng, swaps ? src->height : src->width, swaps ? src->width : src->height, bpp);
        if (!dest)
            return;
        OperationContext ctx;
        TurnBytes(src->Data(), src->width, src->height, src->rowBytes, dest->Data(), dest->rowBytes, mode, bpp, ctx);
        auto bits = Pixels(rng, 1, true);
        if (!bits)
            return;
        auto bitDest = Rows(rng, swaps ? bits->height : bits->width, swaps ? bits->width : bits->height, 1, true);
        if (bitDest)
            TurnBits1(bits->Data(), bitDest->Data(), bits->width, bits->height, mode | (rng.Below(2) << 3),
                      bits->rowBytes, bitDest->rowBytes, ctx);
    });
    Sweep(12, [](Rng &rng) {
        // In place the rows are packed: width x height x pixel bytes exactly.
        const uint32_t units = rng.Below(4);
        Claim c;
        c.width = rng.Dimension();
        c.height = rng.Dimension();
        const bool wide = rng.Chance(50);
        c.rowBytes = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{c.width} * units, UINT32_MAX));
        if (!Allocate(rng, c, c.height, wide ? 2 : 1))
            return;
        OperationContext ctx;
        if (wide)
            Turn16InPlace(reinterpret_cast<uint16_t *>(c.Data()), c.width, c.height, rng.Below(4), units, ctx);
        else
            TurnBytesInPlace(c.Data(), c.width, c.height, rng.Below(4), units, ctx);
    });
}

TEST(Abort, EveryReportingOperationStopsWith14)
{
    Bytes rgb(4 * 4 * 3, 90), rgb2(4 * 4 * 3, 10), index(16, 1);
    std::vector<RGBQUAD> palette(256, RGBQUAD{1, 2, 3, 0});
    const RECT all = {0, 0, 3, 4};
    const RECT crop = {0, 0, 2, 2};
    const PolygonPoint square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    std::vector<uint16_t> wide(16, 1), wide2(16, 2);
    const std::pair<const char *, std::function<int32_t()>> calls[] = {
        {"reduce", [&] { return Err(RGBTo8Bit(rgb.data(), 4, 4, 12, index.data(), 4, 256, palette.data(), 1, 20, 0)); }},
        {"expand", [&] { return Err(Convert8BitToRGB(index.data(), 4, 4, 4, rgb.data(), 12, 256, palette.data(), 0)); }},
        {"overlay", [&] { return Err(OverlayImage(rgb.data(), 4, 4, 12, rgb2.data(), 4, 4, 12, 0, 0, 1, 0, 0, 0)); }},
        {"blend", [&] { return Err(AlphaBlendColor(rgb.data(), 4, 4, 3, 12, index.data(), 4, 4, 4, 0xFF, 0, 0, 0)); }},
        {"resize", [&] { return Err(ResizeImage(rgb.data(), 4, 4, 12, rgb2.data(), 2, 2, 6, 3)); }},
        {"crop", [&] { return Err(CropImage(rgb.data(), 4, 4, 12, rgb2.data(), 6, &crop, 3)); }},
        {"tone", [&] { return Err(AdjustBrightnessContrast(rgb.data(), 4, 4, 3, 12, 0.1, 0.1, 0)); }},
        {"mean", [&] { return Err(AdjustBrightnessContrast(rgb.data(), 4, 4, 3, 12, 0.1, 0.1, kToneKeepMean)); }},
        {"gamma", [&] { return Err(ApplyGamma(rgb.data(), 4, 4, 3, 12, 2.4, 0)); }},
        {"rect", [&] { return Err(FillImageRect(rgb.data(), 4, 4, 3, 12, &all, 0x123456, 0)); }},
        {"polygon", [&] { return Err(FillPolygon(index.data(), 8, 4, 1, square, 4, TRUE, 0)); }},
        {"blur", [&] { return Err(GaussianBlur(rgb.data(), 4, 4, 3, 12, rgb2.data(), 12, 1, 7)); }},
        {"paste",
         [&] {
             OperationContext ctx;
             PasteBits1(index.data(), 8, 4, 1, index.data() + 8, 8, 4, 1, 0, 0, 0, ctx);
             return ctx.error;
         }},
        {"composite",
         [&] {
             OperationContext ctx;
             Composite16(wide.data(), 4, 4, wide2.data(), 4, 4, 0, 0, 0.5, 1, 4, 4, 65535, kCompositeMax, ctx);
             return ctx.error;
         }},
        {"turn",
         [&] {
             OperationContext ctx;
             TurnBytes(rgb.data(), 4, 4, 12, rgb2.data(), 12, kTurnClockwise, 3, ctx);
             return ctx.error;
         }},
        {"turn bits",
         [&] {
             OperationContext ctx;
             TurnBits1(index.data(), index.data() + 8, 8, 4, kTurnHalf, 1, 1, ctx);
             return ctx.error;
         }},
    };
    for (const auto &[name, call] : calls) {
        ProgressProbe probe(1);
        EXPECT_EQ(call(), kImgAborted) << name;
        EXPECT_EQ(probe.Reports().size(), 1u) << name;
    }
}
