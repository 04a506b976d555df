// PCX reader: run-length lines of one or more planes, as packed 1-bit rows,
// palette indices, RGB or a packed DIB. A line decoder (open, read a line,
// close) does the work; the whole-image read drives it row by row.
#include "readerkit.h"

#include "pixelrows.h"

#include <bit>
#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kHeaderBytes = 128;
constexpr BYTE kManufacturer = 10;
constexpr uint32_t kHeaderPaletteEntries = 16;
constexpr uint32_t kTrailingPaletteBytes = 769;
constexpr BYTE kTrailingPaletteMarker = 12;
constexpr BYTE kRunFlags = 0xC0;
constexpr BYTE kRunLength = 0x3F;
// Added to a byte, carries into bit 8 exactly for the run bytes.
constexpr uint32_t kRunFlagsCarry = 0x100 - kRunFlags;
constexpr uint32_t kMaxFileBits = 32;
constexpr int32_t kMaxDimension = 65535;
constexpr uint32_t kMonoTableBytes = 8;
// The word-wise decoding: single bytes go eight at a time, and a run is
// always stored at the short width, then filled on when longer; a step
// needs room for eight bytes and the longest run.
constexpr uint32_t kWordBytes = 8;
constexpr uint32_t kShortRun = 16;
static_assert(kShortRun <= kRunLength);
constexpr uint32_t kWideStepRoom = kWordBytes + kRunLength;
constexpr uint64_t kByteHighBits = 0x8080808080808080ull;
constexpr uint64_t kByteOnes = 0x0101010101010101ull;

bool IsKnownVersion(BYTE v) { return v == 0 || v == 2 || v == 3 || v == 5; }

struct Header {
    BYTE version;
    BYTE bitsPerPlane;
    uint32_t planes;
    uint32_t bytesPerLine;
    uint32_t width;
    uint32_t height;
    BYTE palette16[kHeaderPaletteEntries * 3];

    uint32_t FileBits() const { return bitsPerPlane * planes; }
};

// Width and height come from signed differences: xmax below xmin is no
// picture, not one of 65000 columns.
bool ParseHeader(const BYTE *raw, Header &h)
{
    if (raw[0] != kManufacturer || !IsKnownVersion(raw[1]))
        return false;
    h.version = raw[1];
    h.bitsPerPlane = raw[3];
    h.planes = raw[65];
    h.bytesPerLine = Le16(raw + 66);
    const int32_t width = static_cast<int32_t>(Le16(raw + 8)) - Le16(raw + 4) + 1;
    const int32_t height = static_cast<int32_t>(Le16(raw + 10)) - Le16(raw + 6) + 1;
    memcpy(h.palette16, raw + 16, sizeof(h.palette16));
    if (h.FileBits() == 0 || h.FileBits() > kMaxFileBits || width < 1 || width > kMaxDimension || height < 1 ||
        height > kMaxDimension)
        return false;
    h.width = static_cast<uint32_t>(width);
    h.height = static_cast<uint32_t>(height);
    // A line shorter than its pixels would have the plane gather and the
    // unpacking read past it.
    return h.bytesPerLine >= PackedRowBytes(h.width, h.bitsPerPlane).Value();
}

bool ReadHeader(CISIO &io, Header &h)
{
    BYTE raw[kHeaderBytes];
    return io.Rewind() && io.ReadExact(raw, sizeof(raw)) && ParseHeader(raw, h);
}

// Layouts the line decoder can turn into pixels: three planes of 8 bits,
// one plane of 1, 4 or 8 bits, or 1-bit planes making 4 or 8 bits.
bool HasRowRule(const Header &h)
{
    const uint32_t bits = h.FileBits();
    if (bits == 24)
        return h.bitsPerPlane == 8 && h.planes == 3;
    if (bits != 1 && bits != 4 && bits != 8)
        return false;
    return h.planes == 1 || h.bitsPerPlane == 1;
}

bool ReadTrailingPalette(CISIO &io, RGBQUAD *palette)
{
    const uint32_t size = io.Size();
    BYTE trailer[kTrailingPaletteBytes];
    if (size < kHeaderBytes + kTrailingPaletteBytes ||
        !io.Seek(static_cast<int32_t>(size - kTrailingPaletteBytes), kSeekSet) ||
        !io.ReadExact(trailer, sizeof(trailer)) || trailer[0] != kTrailingPaletteMarker)
        return false;
    for (uint32_t i = 0; i < kFullPaletteEntries; ++i)
        palette[i] = RGBQUAD{trailer[1 + 3 * i + 2], trailer[1 + 3 * i + 1], trailer[1 + 3 * i], 0};
    return true;
}

void BuildPalette(CISIO &io, const Header &h, RGBQUAD *palette)
{
    if (!(h.version == 5 && h.FileBits() == 8 && ReadTrailingPalette(io, palette)))
        for (uint32_t i = 0; i < kFullPaletteEntries; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    if (h.FileBits() >= 8)
        return;
    uint32_t defined;
    if (h.planes == 1 && h.bitsPerPlane == 1) {
        palette[0] = RGBQUAD{0, 0, 0, 0};
        palette[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
        defined = 2;
    } else {
        defined = 1u << h.FileBits();
        if (defined > kHeaderPaletteEntries)
            defined = kHeaderPaletteEntries;
        for (uint32_t i = 0; i < defined; ++i) {
            const BYTE *c = h.palette16 + 3 * i;
            palette[i] = RGBQUAD{c[2], c[1], c[0], 0};
        }
    }
    for (uint32_t i = defined; i < kFullPaletteEntries; ++i)
        palette[i] = palette[0];
}

// The line decoder: one per open image.
class LineDecoder {
public:
    LineDecoder(CISIO &io, const Header &h, uint32_t outBits)
        : in_(io), header_(h), outBits_(outBits), lineBytes_(h.bytesPerLine * h.planes),
          line_(CheckedSize(h.bytesPerLine) * CheckedSize(h.planes)), packed_(CheckedSize(h.width) + CheckedSize(1))
    {
    }

    bool Ready() const { return line_.Data() && packed_.Data(); }
    RGBQUAD *Palette() { return palette_; }

    // One row into out: 24 for an unknown layout, 3 for an empty line.
    int32_t ReadLine(BYTE *out)
    {
        if (next_ == header_.height)
            return kImgPastLastRow;
        const uint32_t fileBits = header_.FileBits();
        const bool rgb = fileBits == 24;
        const bool copyBits = fileBits == 1 && outBits_ == 1;
        if (!HasRowRule(header_) || (!rgb && !copyBits && outBits_ != 8 && outBits_ != 24))
            return kImgUnexpected;
        if (!DecodeLine())
            return kImgFileRead;
        if (rgb)
            GatherPlanes(out);
        else if (copyBits)
            memcpy(out, line_.Data(), PackedRowBytes(header_.width, 1).Value());
        else
            Unpack(CombinePlanes(), out);
        ++next_;
        return kImgOk;
    }

private:
    // Runs are cut at the end of the line; a failed read gives a zero byte,
    // so a cut file decodes to zeros. Once the source has ended the line is
    // cleared once and left so: a header claiming long lines and many rows
    // must not cost a byte-by-byte walk over data that are not there.
    bool DecodeLine()
    {
        BYTE *line = line_.Data();
        if (ended_) {
            if (!cleared_)
                memset(line, 0, lineBytes_);
            cleared_ = true;
            return lineBytes_ > 0;
        }
        uint32_t at = 0;
        while (at < lineBytes_) {
            const BYTE *data = nullptr;
            const uint32_t available = in_.Window(data);
            if (available == 0) {
                ended_ = true;
                memset(line + at, 0, lineBytes_ - at);
                break;
            }
            if (available == 1)
                DecodeToken(line, at);
            else
                in_.Take(DecodeTokens(data, available - 1, line, at));
        }
        return lineBytes_ > 0;
    }

    // One byte or run whose value may lie beyond the bytes read ahead.
    void DecodeToken(BYTE *line, uint32_t &at)
    {
        BYTE b = 0;
        in_.Next(b);
        if ((b & kRunFlags) != kRunFlags) {
            line[at++] = b;
            return;
        }
        uint32_t count = b & kRunLength;
        b = 0;
        ended_ = !in_.Next(b);
        if (count > lineBytes_ - at)
            count = lineBytes_ - at;
        memset(line + at, b, count);
        at += count;
    }

    // The bytes and runs that begin before limit (a run's value may be
    // data[limit]); gives the bytes used.
    uint32_t DecodeTokens(const BYTE *data, uint32_t limit, BYTE *line, uint32_t &at) const
    {
        uint32_t i = 0;
        DecodeWide(data, limit, line, i, at);
        DecodeNarrow(data, limit, line, i, at);
        return i;
    }

    // Far from both ends a step copies the single bytes ahead of the next
    // run word-wise and takes the run without a branch on its length:
    // photographs mix single bytes and short runs at random.
    void DecodeWide(const BYTE *data, uint32_t limit, BYTE *line, uint32_t &i, uint32_t &o) const
    {
        const uint32_t lineBytes = lineBytes_;
        while (i + kWordBytes < limit && lineBytes - o >= kWideStepRoom) {
            uint64_t word;
            memcpy(&word, data + i, kWordBytes);
            const uint32_t singles = LeadingSingles(word);
            memcpy(line + o, &word, kWordBytes);
            i += singles;
            o += singles;
            const uint32_t b = data[i];
            const uint32_t run = (b + kRunFlagsCarry) >> 8;
            const uint32_t runMask = 0u - run;
            const uint32_t value = b ^ ((b ^ data[i + 1]) & runMask);
            const uint32_t count = 1u ^ ((1u ^ (b & kRunLength)) & runMask);
            StoreShortRun(line + o, value);
            if (count > kShortRun)
                memset(line + o, static_cast<int>(value), count);
            o += count;
            i += 1 + run;
        }
    }

    // Near an end the tokens go one by one, a run cut at the line's end.
    void DecodeNarrow(const BYTE *data, uint32_t limit, BYTE *line, uint32_t &i, uint32_t &o) const
    {
        const uint32_t lineBytes = lineBytes_;
        while (i < limit && o < lineBytes) {
            const BYTE b = data[i];
            if ((b & kRunFlags) != kRunFlags) {
                line[o++] = b;
                ++i;
                continue;
            }
            uint32_t count = b & kRunLength;
            if (count > lineBytes - o)
                count = lineBytes - o;
            memset(line + o, data[i + 1], count);
            o += count;
            i += 2;
        }
    }

    // How many of the word's bytes, in file order, come before the first
    // run byte (the two high bits set); all eight when none is.
    static uint32_t LeadingSingles(uint64_t word)
    {
        const uint64_t runs = word & (word << 1) & kByteHighBits;
        const int bits = std::endian::native == std::endian::little ? std::countr_zero(runs) : std::countl_zero(runs);
        return static_cast<uint32_t>(bits) / 8;
    }

    static void StoreShortRun(BYTE *to, uint32_t value)
    {
        static_assert(kShortRun == 2 * sizeof(uint64_t));
        const uint64_t fill = value * kByteOnes;
        memcpy(to, &fill, sizeof(fill));
        memcpy(to + sizeof(fill), &fill, sizeof(fill));
    }

    void GatherPlanes(BYTE *out) const
    {
        const BYTE *r = line_.Data();
        const BYTE *g = r + header_.bytesPerLine;
        const BYTE *b = g + header_.bytesPerLine;
        // Loaded before any store, which could otherwise alias them.
        const uint32_t width = header_.width;
        for (uint32_t x = 0; x < width; ++x) {
            const BYTE red = r[x];
            const BYTE green = g[x];
            const BYTE blue = b[x];
            out[3 * x] = red;
            out[3 * x + 1] = green;
            out[3 * x + 2] = blue;
        }
    }

    // Pixels packed from the most significant end; several 1-bit planes
    // become one index, plane 0 giving the lowest bit.
    const BYTE *CombinePlanes()
    {
        if (header_.planes == 1)
            return line_.Data();
        const uint32_t bits = header_.FileBits();
        BYTE *packed = packed_.Data();
        memset(packed, 0, packed_.Size());
        for (uint32_t x = 0; x < header_.width; ++x) {
            uint32_t index = 0;
            for (uint32_t p = 0; p < header_.planes; ++p) {
                const BYTE *plane = line_.Data() + static_cast<size_t>(p) * header_.bytesPerLine;
                index |= ((plane[x >> 3] >> (7 - (x & 7))) & 1u) << p;
            }
            if (bits == 8)
                packed[x] = static_cast<BYTE>(index);
            else
                packed[x >> 1] |= static_cast<BYTE>(index << ((x & 1) ? 0 : 4));
        }
        return packed;
    }

    void Unpack(const BYTE *packed, BYTE *out) const
    {
        const uint32_t bits = header_.FileBits();
        if (bits == 8) {
            if (outBits_ == 8)
                memcpy(out, packed, header_.width);
            else
                RowToRgb(packed, out, header_.width, 8, palette_, nullptr, false, 0);
            return;
        }
        const uint32_t perByte = 8 / bits;
        const uint32_t mask = (1u << bits) - 1;
        for (uint32_t x = 0; x < header_.width; ++x) {
            const uint32_t k = perByte - 1 - x % perByte;
            const BYTE index = static_cast<BYTE>((packed[x / perByte] >> (bits * k)) & mask);
            if (outBits_ == 8) {
                out[x] = index;
            } else {
                out[3 * x] = palette_[index].rgbRed;
                out[3 * x + 1] = palette_[index].rgbGreen;
                out[3 * x + 2] = palette_[index].rgbBlue;
            }
        }
    }

    ByteReader in_;
    Header header_;
    uint32_t outBits_;
    uint32_t lineBytes_;
    WorkBuffer line_;
    WorkBuffer packed_;
    RGBQUAD palette_[kFullPaletteEntries] = {};
    uint32_t next_ = 0;
    bool ended_ = false;
    bool cleared_ = false;
};

// Opens the image: header, depth rules and palette; the source is left at
// the first line.
std::unique_ptr<LineDecoder> OpenPcx(CISIO &io, uint32_t depth, bool asDib, Header &h, OperationContext &ctx)
{
    if (!ReadHeader(io, h)) {
        ctx.Fail(kImgBadPcx);
        return nullptr;
    }
    const uint32_t outBits = asDib ? h.FileBits() : depth;
    if (!asDib && depth != 1 && depth != 8 && depth != 24) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    if (!asDib && h.FileBits() > depth) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    auto decoder = std::make_unique<LineDecoder>(io, h, outBits);
    BuildPalette(io, h, decoder->Palette());
    if (!decoder->Ready() || !io.Seek(kHeaderBytes, kSeekSet)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    return decoder;
}

void SwapToBgr(BYTE *row, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x) {
        BYTE t = row[3 * x];
        row[3 * x] = row[3 * x + 2];
        row[3 * x + 2] = t;
    }
}

}  // namespace

BYTE *ReadPcxImage(CISIO &io, uint32_t depth, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    const bool asDib = (flags & kReadAsDib) != 0;
    if (!asDib && (depth == 1 || depth == 8) && !palette) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    Header h;
    std::unique_ptr<LineDecoder> decoder = OpenPcx(io, depth, asDib, h, ctx);
    if (!decoder)
        return nullptr;
    const uint32_t bits = asDib ? h.FileBits() : depth;
    if (!asDib && bits != 24)
        memcpy(palette, decoder->Palette(), kFullPaletteBytes);
    // A DIB of a depth without a table size (4 bits among them) still gets
    // its header; its first line then fails with 17.
    const uint32_t colours = bits == 1 ? 2 : bits == 8 ? kFullPaletteEntries : 0;
    const uint32_t tableBytes = bits == 1 ? kMonoTableBytes : colours * 4;
    const CheckedSize rowBytes = asDib ? PaddedRowBytes(h.width, bits) : PackedRowBytes(h.width, bits);
    const CheckedSize header = asDib ? CheckedSize(kDibInfoBytes + tableBytes) : CheckedSize(0);
    ImageBuffer out;
    if (!out.Allocate(header + rowBytes * CheckedSize(h.height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (asDib) {
        PutDibHeader(out.Data(), h.width, h.height, bits, rowBytes.Value() * h.height, colours);
        memcpy(out.Data() + kDibInfoBytes, decoder->Palette(), tableBytes);
    }
    RowPlacement rows{out.Data() + header.Value(), rowBytes.Value(), h.height, asDib};
    RowProgress progress;
    for (uint32_t y = 0; y < h.height; ++y) {
        BYTE *row = rows.Row(y);
        if (int32_t error = decoder->ReadLine(row)) {
            ctx.Fail(error);
            break;
        }
        if (asDib && bits == 24)
            SwapToBgr(row, h.width);
        if (!progress.Report(y, h.height, ctx))
            break;
    }
    width = h.width;
    height = h.height;
    return out.Release();
}

bool ReadPcxHeaderInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &bits, OperationContext &ctx)
{
    OperationScope scope;
    Header h;
    if (!ReadHeader(io, h)) {
        ctx.Fail(kImgBadPcx);
        return false;
    }
    width = h.width;
    height = h.height;
    bits = h.FileBits();
    return true;
}

BYTE *ReadPCX(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadPcxImage(io, depth, palette, flags, w, h, ctx);
    });
}
