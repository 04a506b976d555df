// PSD reader: the composite image of a Photoshop file (bitmap, grey,
// indexed, RGB, CMYK, duotone; 1, 8 or 16 bits; raw or PackBits) as RGB,
// palette indices or a packed DIB. Layers are skipped.
#include "readerkit.h"

#include "dib.h"
#include "pixelrows.h"
#include "metatags.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kHeaderBytes = 26;
constexpr char kSignature[] = "8BPS";
// The format's own limit; larger sizes are damage, not pictures.
constexpr uint32_t kMaxDimension = 30000;
constexpr uint32_t kColourDataBytes = 768;
constexpr uint16_t kResolutionId = 1005;
constexpr uint32_t kResolutionBytes = 16;
constexpr double kInchesPerCentimetre = 0.39370079;
constexpr uint32_t kPackBitsSlack = 128;

enum ColourMode : uint16_t {
    kModeBitmap = 0,
    kModeGrey = 1,
    kModeIndexed = 2,
    kModeRgb = 3,
    kModeCmyk = 4,
    kModeDuotone = 8,
};
enum Compression : uint16_t { kRaw = 0, kPackBits = 1 };

struct Header {
    uint16_t channels;
    uint32_t height;
    uint32_t width;
    uint16_t depth;
    uint16_t mode;
};

bool IsIndexMode(uint16_t mode)
{
    return mode == kModeBitmap || mode == kModeGrey || mode == kModeIndexed || mode == kModeDuotone;
}

// The checks of the header that every road shares: 46 for what is not a
// PSD (or a size beyond the format's), 47 for a layout without a row rule.
int32_t ReadHeader(CISIO &io, Header &h)
{
    BYTE raw[kHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw)))
        return kImgFileRead;
    if (memcmp(raw, kSignature, 4) != 0 || Be16(raw + 4) != 1)
        return kImgBadPsd;
    h = Header{Be16(raw + 12), Be32(raw + 14), Be32(raw + 18), Be16(raw + 22), Be16(raw + 24)};
    if (!h.width || !h.height || h.width > kMaxDimension || h.height > kMaxDimension)
        return kImgBadPsd;
    if (h.depth != 1 && h.depth != 8 && h.depth != 16)
        return kImgPsdUnsupported;
    return kImgOk;
}

// Channels and depth a mode's rows need; without them the byte-count table
// would be read past its end or the rows have no rule.
int32_t CheckLayout(const Header &h)
{
    switch (h.mode) {
    case kModeRgb:
        return h.channels >= 3 && h.depth != 1 ? kImgOk : kImgPsdUnsupported;
    case kModeCmyk:
        return h.channels >= 4 && h.depth != 1 ? kImgOk : kImgPsdUnsupported;
    case kModeBitmap:
        return h.channels >= 1 && h.depth == 1 ? kImgOk : kImgPsdUnsupported;
    case kModeGrey:
    case kModeIndexed:
    case kModeDuotone:
        return h.channels >= 1 && h.depth != 1 ? kImgOk : kImgPsdUnsupported;
    default:
        return kImgPsdUnsupported;
    }
}

bool ReadLength(CISIO &io, uint32_t &length)
{
    BYTE raw[4];
    if (!io.ReadExact(raw, sizeof(raw)))
        return false;
    length = Be32(raw);
    return true;
}

void GreyRamp(RGBQUAD *palette)
{
    for (uint32_t i = 0; i < kFullPaletteEntries; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
}

// The colour-mode data as a palette. A table shorter than 768 bytes is
// read as far as it goes; the section always ends where its length says.
bool ReadColourData(CISIO &io, uint16_t mode, RGBQUAD *palette)
{
    uint32_t length;
    if (!ReadLength(io, length) || length > BytesLeft(io))
        return false;
    memset(palette, 0, kFullPaletteBytes);
    if (mode == kModeBitmap) {
        palette[0] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    } else if (mode == kModeGrey || mode == kModeIndexed || mode == kModeDuotone) {
        GreyRamp(palette);
    }
    if ((mode == kModeGrey || mode == kModeIndexed) && length) {
        BYTE table[kColourDataBytes] = {};
        const uint32_t take = length < kColourDataBytes ? length : kColourDataBytes;
        if (!io.ReadExact(table, take))
            return false;
        for (uint32_t i = 0; i < kFullPaletteEntries; ++i)
            palette[i] = RGBQUAD{table[512 + i], table[256 + i], table[i], 0};
        return SkipWithin(io, length - take);
    }
    return SkipWithin(io, length);
}

bool SkipSection(CISIO &io)
{
    uint32_t length;
    return ReadLength(io, length) && SkipWithin(io, length);
}

// Header, colour data, resources and layers; the source is left at the
// compression field, which comes back in compression.
int32_t OpenPsd(CISIO &io, Header &h, RGBQUAD *palette, uint16_t &compression)
{
    if (int32_t error = ReadHeader(io, h))
        return error;
    BYTE raw[2];
    if (!ReadColourData(io, h.mode, palette) || !SkipSection(io) || !SkipSection(io) ||
        !io.ReadExact(raw, sizeof(raw)))
        return kImgFileRead;
    compression = Be16(raw);
    if (compression != kRaw && compression != kPackBits)
        return kImgFileRead;
    return kImgOk;
}

// Where decoded samples of one channel go.
struct SampleTarget {
    BYTE *base;
    uint32_t stride;  // bytes between pixels
};

// The rows of one image's channels, raw or PackBits, with the byte counts
// of every row of every channel read first.
class ChannelReader {
public:
    ChannelReader(CISIO &io, const Header &h, uint16_t compression, uint32_t rowSamples)
        : io_(io), in_(io), header_(h), packed_(compression == kPackBits), rowSamples_(rowSamples),
          fileRowBytes_(h.depth == 16 ? 2 * rowSamples : rowSamples)
    {
    }

    // 0, or 3 or 47 when the rows cannot be read.
    int32_t Begin()
    {
        if (!packed_)
            return kImgOk;
        if (header_.depth != 8 && header_.depth != 1)
            return kImgPsdUnsupported;
        const CheckedSize count = CheckedSize(header_.channels) * CheckedSize(header_.height);
        const CheckedSize bytes = count * CheckedSize(2);
        // A table larger than the file is damage, whatever its size.
        if (!bytes.Ok() || bytes.Value() > BytesLeft(io_))
            return kImgFileRead;
        std::vector<BYTE> raw(bytes.Value());
        if (!in_.Read(raw.data(), bytes.Value()))
            return kImgFileRead;
        counts_.resize(count.Value());
        // Unsigned, and no more than a row can take: a signed count once
        // turned into a huge read.
        const uint32_t most = 2 * fileRowBytes_ + kPackBitsSlack;
        for (uint32_t i = 0; i < count.Value(); ++i) {
            counts_[i] = Be16(raw.data() + 2 * i);
            if (counts_[i] > most)
                return kImgFileRead;
        }
        row_.resize(most);
        return kImgOk;
    }

    // The next row of the file (channel after channel) into the target.
    int32_t ReadRow(const SampleTarget &target)
    {
        const int32_t result = packed_ ? ReadPacked(target) : ReadRaw(target);
        ++rowsRead_;
        return result;
    }

private:
    int32_t ReadRaw(const SampleTarget &target)
    {
        row_.resize(fileRowBytes_);
        if (!in_.Read(row_.data(), fileRowBytes_))
            return kImgFileRead;
        // 16-bit samples give their high byte.
        const uint32_t step = header_.depth == 16 ? 2 : 1;
        for (uint32_t x = 0; x < rowSamples_; ++x)
            target.base[static_cast<size_t>(x) * target.stride] = row_[x * step];
        return kImgOk;
    }

    int32_t ReadPacked(const SampleTarget &target)
    {
        const uint32_t length = counts_[rowsRead_];
        if (!in_.Read(row_.data(), length))
            return kImgFileRead;
        uint32_t at = 0;
        uint32_t x = 0;
        while (at < length && x < rowSamples_) {
            const int8_t n = static_cast<int8_t>(row_[at++]);
            if (n >= 0) {
                const uint32_t copy = static_cast<uint32_t>(n) + 1;
                if (copy > length - at)
                    return kImgFileRead;
                for (uint32_t i = 0; i < copy && x < rowSamples_; ++i)
                    target.base[static_cast<size_t>(x++) * target.stride] = row_[at + i];
                at += copy;
            } else if (n != -128) {
                if (at >= length)
                    return kImgFileRead;
                const BYTE value = row_[at++];
                for (int i = 0; i < 1 - n && x < rowSamples_; ++i)
                    target.base[static_cast<size_t>(x++) * target.stride] = value;
            }
        }
        return kImgOk;
    }

    CISIO &io_;  // the byte reader has read nothing when Begin asks it
    ByteReader in_;
    const Header &header_;
    bool packed_;
    uint32_t rowSamples_;
    uint32_t fileRowBytes_;
    std::vector<uint32_t> counts_;
    std::vector<BYTE> row_;
    uint32_t rowsRead_ = 0;
};

// Progress over channels: (channel x height + row, channels x height).
struct ChannelJob {
    const Header &header;
    uint32_t channels;      // read from the file, in order
    uint32_t rowSamples;    // samples a row of a channel
    BYTE *pixels;
    uint32_t stride;        // 1, 3 or 4
};

void ReadChannels(ChannelReader &reader, const ChannelJob &job, OperationContext &ctx)
{
    RowProgress progress;
    const uint32_t rows = job.header.height;
    const uint32_t total = job.channels * rows;
    for (uint32_t c = 0; c < job.channels; ++c) {
        for (uint32_t y = 0; y < rows; ++y) {
            const size_t rowStart = static_cast<size_t>(y) * job.rowSamples * job.stride;
            if (int32_t error = reader.ReadRow(SampleTarget{job.pixels + rowStart + c, job.stride})) {
                ctx.Fail(error);
                return;
            }
            if (!progress.Report(c * rows + y, total, ctx))
                return;
        }
    }
}

// Channel 0 as one index a pixel (bitmap rows unpacked to 0 and 1).
BYTE *ReadIndices(CISIO &io, const Header &h, uint16_t compression, OperationContext &ctx)
{
    const bool bitmap = h.mode == kModeBitmap;
    const uint32_t rowSamples = bitmap ? PackedRowBytes(h.width, 1).Value() : h.width;
    ImageBuffer out;
    if (!out.Allocate(CheckedSize(h.width) * CheckedSize(h.height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    ChannelReader reader(io, h, compression, rowSamples);
    if (int32_t error = reader.Begin()) {
        ctx.Fail(error);
        return nullptr;
    }
    std::vector<BYTE> packed(bitmap ? rowSamples : 0);
    RowProgress progress;
    for (uint32_t y = 0; y < h.height; ++y) {
        BYTE *row = out.Data() + static_cast<size_t>(y) * h.width;
        if (int32_t error = reader.ReadRow(SampleTarget{bitmap ? packed.data() : row, 1})) {
            ctx.Fail(error);
            break;
        }
        if (bitmap)
            UnpackToBytes(packed.data(), row, h.width, 1);
        if (!progress.Report(y, h.height, ctx))
            break;
    }
    return out.Release();
}

// Palette indices to RGB, three bytes a pixel, by the palette's colours.
BYTE *IndicesToRgb(const BYTE *indices, const Header &h, const RGBQUAD *palette, OperationContext &ctx)
{
    const CheckedSize rowBytes = CheckedSize(h.width) * CheckedSize(3);
    ImageBuffer rgb;
    if (!rgb.Allocate(rowBytes * CheckedSize(h.height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    for (uint32_t y = 0; y < h.height; ++y)
        RowToRgb(indices + static_cast<size_t>(y) * h.width, rgb.Data() + static_cast<size_t>(y) * rowBytes.Value(),
                 h.width, 8, palette, nullptr, false, 0);
    return rgb.Release();
}

// Stored CMYK values (ink already inverted by the format) to RGB in place:
// each colour channel scaled by the fourth.
void CmykToRgb(BYTE *pixels, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        const BYTE *s = pixels + static_cast<size_t>(i) * 4;
        BYTE *d = pixels + static_cast<size_t>(i) * 3;
        const uint32_t k = s[3];
        const BYTE r = static_cast<BYTE>(s[0] * k / 255);
        const BYTE g = static_cast<BYTE>(s[1] * k / 255);
        const BYTE b = static_cast<BYTE>(s[2] * k / 255);
        d[0] = r;
        d[1] = g;
        d[2] = b;
    }
}

BYTE *ReadColourChannels(CISIO &io, const Header &h, uint16_t compression, bool keepCmyk, OperationContext &ctx)
{
    const bool cmyk = h.mode == kModeCmyk;
    const uint32_t stride = cmyk ? 4 : 3;
    const CheckedSize pixels = CheckedSize(h.width) * CheckedSize(h.height);
    ImageBuffer out;
    if (!out.Allocate(pixels * CheckedSize(stride))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    ChannelReader reader(io, h, compression, h.width);
    if (int32_t error = reader.Begin()) {
        ctx.Fail(error);
        return nullptr;
    }
    ReadChannels(reader, ChannelJob{h, stride, h.width, out.Data(), stride}, ctx);
    if (cmyk && !keepCmyk) {
        CmykToRgb(out.Data(), pixels.Value());
        out.Resize(pixels * CheckedSize(3));
    }
    return out.Release();
}

// bits 24 or 32 (and the DIB's RGB road): three bytes a pixel, or the four
// stored values of a CMYK file with keepCmyk.
BYTE *ReadToRgb(CISIO &io, bool keepCmyk, Header &h, OperationContext &ctx)
{
    RGBQUAD palette[kFullPaletteEntries];
    uint16_t compression = 0;
    int32_t error = OpenPsd(io, h, palette, compression);
    if (!error)
        error = CheckLayout(h);
    if (error) {
        ctx.Fail(error);
        return nullptr;
    }
    if (!IsIndexMode(h.mode))
        return ReadColourChannels(io, h, compression, keepCmyk, ctx);
    if (h.mode == kModeBitmap) {
        palette[0] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
        palette[1] = RGBQUAD{0, 0, 0, 0};
    }
    BYTE *indices = ReadIndices(io, h, compression, ctx);
    if (!indices)
        return nullptr;
    BYTE *rgb = IndicesToRgb(indices, h, palette, ctx);
    GlobalFree(indices);
    return rgb;
}

// bits 8: indices with the caller's palette.
BYTE *ReadToIndex(CISIO &io, RGBQUAD *palette, Header &h, OperationContext &ctx)
{
    uint16_t compression = 0;
    int32_t error = OpenPsd(io, h, palette, compression);
    if (!error)
        error = IsIndexMode(h.mode) ? CheckLayout(h) : kImgPsdUnsupported;
    if (error) {
        ctx.Fail(error);
        return nullptr;
    }
    if (h.mode == kModeBitmap) {
        palette[0] = RGBQUAD{0xFF, 0xFF, 0xFF, 0xFF};
        palette[1] = RGBQUAD{0, 0, 0, 0};
    }
    return ReadIndices(io, h, compression, ctx);
}

BYTE *ReadAsDib(CISIO &io, bool keepCmyk, Header &h, OperationContext &ctx)
{
    uint32_t mode = 0;
    if (!ReadPsdInfo(io, h.width, h.height, mode, nullptr, ctx))
        return nullptr;
    if (!IsIndexMode(static_cast<uint16_t>(mode)) && mode != kModeRgb && mode != kModeCmyk) {
        ctx.Fail(kImgBadPsd);
        return nullptr;
    }
    if (!io.Rewind()) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    RGBQUAD palette[kFullPaletteEntries];
    const bool indexed = IsIndexMode(static_cast<uint16_t>(mode));
    const bool fourBytes = mode == kModeCmyk && keepCmyk;
    BYTE *pixels = indexed ? ReadToIndex(io, palette, h, ctx) : ReadToRgb(io, keepCmyk, h, ctx);
    if (!pixels)
        return nullptr;
    BYTE *dib = indexed     ? IndexToDib(pixels, h.width, h.height, h.width, 8, palette, kFullPaletteEntries, ctx)
                : fourBytes ? RgbaToDib(pixels, h.width, h.height, ctx)
                            : RgbToDib(pixels, h.width, h.height, ctx);
    GlobalFree(pixels);
    return dib;
}

}  // namespace

BYTE *ReadPsdImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    const bool keepCmyk = (flags & kReadPsdCmyk) != 0;
    Header h = {};
    BYTE *image = nullptr;
    if (flags & kReadAsDib)
        image = ReadAsDib(io, keepCmyk, h, ctx);
    else if (bits == 8 && palette)
        image = ReadToIndex(io, palette, h, ctx);
    else if (bits == 24 || bits == 32)
        image = ReadToRgb(io, keepCmyk, h, ctx);
    else
        ctx.Fail(kImgBadParam);
    width = h.width;
    height = h.height;
    return image;
}

bool ReadPsdInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &mode, PsdResolution *resolution,
                 OperationContext &ctx)
{
    OperationScope scope;
    Header h;
    RGBQUAD palette[kFullPaletteEntries];
    uint32_t length = 0;
    int32_t error = ReadHeader(io, h);
    if (!error && (!ReadColourData(io, h.mode, palette) || !ReadLength(io, length) || length > BytesLeft(io)))
        error = kImgFileRead;
    std::vector<BYTE> resources(error ? 0 : length);
    if (!error && !io.ReadExact(resources.data(), length))
        error = kImgFileRead;
    if (error) {
        ctx.Fail(error);
        return false;
    }
    width = h.width;
    height = h.height;
    mode = h.mode;
    if (!resolution)
        return true;
    *resolution = PsdResolution{0, 0, 0};
    ResourceBlockList blocks;
    const ImageResourceBlock *block = nullptr;
    if (blocks.Parse(resources.data(), length, false))
        block = blocks.Find(kResolutionId);
    if (block && block->DataSize() >= kResolutionBytes) {
        const BYTE *r = block->Data();
        const uint32_t horizontalUnit = Be16(r + 4);
        const uint32_t verticalUnit = Be16(r + 12);
        resolution->x = Be16(r);
        resolution->y = Be16(r + 8);
        if (horizontalUnit == 1) {
            resolution->unit = 1;
            if (verticalUnit == 2)
                resolution->y = static_cast<uint32_t>(resolution->y * kInchesPerCentimetre);
        } else if (horizontalUnit == 2) {
            resolution->unit = 2;
        }
    }
    return true;
}

BYTE *ReadPSD(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadPsdImage(io, bits, palette, flags, w, h, ctx);
    });
}
