// TGA reader: colour-mapped, true-colour and grey images, raw or run-length
// encoded, at 8, 15, 16, 24 and 32 bits, to RGB(A), to palette indices or
// to a packed DIB; the footer and its extension area are read when present.
#include "readerkit.h"

#include <cstring>

namespace {

constexpr uint32_t kHeaderBytes = 18;
constexpr uint32_t kFooterBytes = 26;
constexpr uint32_t kFooterMarkOffset = 8;
constexpr char kFooterMark[] = "TRUEVISION-XFILE.";
constexpr uint32_t kExtensionBytes = 495;
constexpr BYTE kTopDownFlag = 0x20;
constexpr BYTE kRepeatPacketFlag = 0x80;
constexpr uint32_t kMinDepth = 8;
constexpr uint32_t kMaxDepth = 32;

enum ImageType : BYTE {
    kTypeMapped = 1,
    kTypeTrueColour = 2,
    kTypeGrey = 3,
    kTypeMappedRle = 9,
    kTypeTrueColourRle = 10,
    kTypeGreyRle = 11,
};

struct Header {
    BYTE idLength;
    BYTE mapType;
    BYTE imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    BYTE mapEntryBits;
    uint16_t width;
    uint16_t height;
    BYTE depth;
    BYTE descriptor;
};

bool ReadHeader(CISIO &io, Header &h)
{
    BYTE raw[kHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw)))
        return false;
    h = Header{raw[0], raw[1], raw[2], Le16(raw + 3), Le16(raw + 5), raw[7], Le16(raw + 12), Le16(raw + 14),
               raw[16], raw[17]};
    return true;
}

bool IsKnownType(BYTE type)
{
    switch (type) {
    case kTypeMapped:
    case kTypeTrueColour:
    case kTypeGrey:
    case kTypeMappedRle:
    case kTypeTrueColourRle:
    case kTypeGreyRle:
        return true;
    default:
        return false;
    }
}

bool IsRle(BYTE type) { return type == kTypeMappedRle || type == kTypeTrueColourRle || type == kTypeGreyRle; }
bool NeedsMap(BYTE type) { return type == kTypeMapped || type == kTypeMappedRle; }
bool IsLookedUp(BYTE type) { return type != kTypeTrueColour && type != kTypeGrey && type != kTypeTrueColourRle; }

RGBQUAD Grey(BYTE v) { return RGBQUAD{v, v, v, 0xFF}; }

// 5-5-5 as stored, each channel moved to the top of its byte.
RGBQUAD Colour555(uint32_t v)
{
    return RGBQUAD{static_cast<BYTE>((v * 8) & 0xFF), static_cast<BYTE>((v >> 2) & 0xF8),
                   static_cast<BYTE>((v >> 7) & 0xF8), 0xFF};
}

uint32_t BytesFor(uint32_t bits)
{
    switch (bits) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

// A colour-map entry; 24-bit entries carry alpha 0, as stored they have none.
RGBQUAD MapEntry(const BYTE *p, uint32_t bits)
{
    switch (bits) {
    case 8:
        return Grey(p[0]);
    case 15:
    case 16:
        return Colour555(Le16(p));
    case 24:
        return RGBQUAD{p[0], p[1], p[2], 0};
    default:
        return RGBQUAD{p[0], p[1], p[2], p[3]};
    }
}

// Reads the map's entries into the palette at their indices; entries past
// 255 are read and dropped. Entry sizes without a rule read nothing.
bool ReadColourMap(CISIO &io, const Header &h, RGBQUAD *palette)
{
    const uint32_t entryBytes = BytesFor(h.mapEntryBits);
    if (!entryBytes)
        return true;
    BYTE entry[4];
    for (uint32_t i = 0; i < h.mapLength; ++i) {
        if (!io.ReadExact(entry, entryBytes))
            return false;
        const uint32_t index = h.mapFirst + i;
        if (index < kFullPaletteEntries)
            palette[index] = MapEntry(entry, h.mapEntryBits);
    }
    return true;
}

// One pixel a call, packets running on across row ends.
class PixelDecoder {
public:
    PixelDecoder(CISIO &io, const Header &h, const RGBQUAD *map)
        : in_(io), bytes_(BytesFor(h.depth)), depth_(h.depth), rle_(IsRle(h.imageType)),
          map_(h.mapType && IsLookedUp(h.imageType) ? map : nullptr)
    {
    }

    // 0, 3 (data end) or 32 (a depth without a pixel rule).
    int32_t Next(RGBQUAD &colour, uint32_t &index)
    {
        if (!bytes_)
            return kImgBadTga;
        if (rle_) {
            if (left_) {
                --left_;
                if (repeat_) {
                    colour = colour_;
                    index = index_;
                    return kImgOk;
                }
            } else {
                BYTE packet;
                if (!in_.Next(packet))
                    return kImgFileRead;
                repeat_ = (packet & kRepeatPacketFlag) != 0;
                left_ = repeat_ ? packet - 127u - 1 : packet;
            }
        }
        BYTE raw[4];
        if (!in_.Read(raw, bytes_))
            return kImgFileRead;
        index_ = bytes_ == 1 ? raw[0] : bytes_ == 2 ? Le16(raw) : Le32Prefix(raw);
        colour_ = map_ ? LookUp(index_) : Direct(raw);
        colour = colour_;
        index = index_;
        return kImgOk;
    }

private:
    uint32_t Le32Prefix(const BYTE *raw) const
    {
        return raw[0] | (raw[1] << 8) | (static_cast<uint32_t>(raw[2]) << 16) |
               (bytes_ == 4 ? static_cast<uint32_t>(raw[3]) << 24 : 0);
    }

    // Indices of 16-bit colour-mapped pixels reach past the 256 entries:
    // those are black, opaque.
    RGBQUAD LookUp(uint32_t index) const
    {
        return index < kFullPaletteEntries ? map_[index] : RGBQUAD{0, 0, 0, 0xFF};
    }

    RGBQUAD Direct(const BYTE *raw) const
    {
        switch (depth_) {
        case 8:
            return Grey(raw[0]);
        case 15:
        case 16:
            return Colour555(Le16(raw));
        case 24:
            return RGBQUAD{raw[0], raw[1], raw[2], 0xFF};
        default:
            return RGBQUAD{raw[0], raw[1], raw[2], raw[3]};
        }
    }

    ByteReader in_;
    uint32_t bytes_;
    uint32_t depth_;
    bool rle_;
    const RGBQUAD *map_;
    uint32_t left_ = 0;
    bool repeat_ = false;
    RGBQUAD colour_ = {};
    uint32_t index_ = 0;
};

// The footer and its extension area: kept by nobody, but read so that a
// footer pointing outside the file is told as a read failure.
void ReadFooter(CISIO &io, OperationContext &ctx)
{
    if (io.Size() < kHeaderBytes + kFooterBytes)
        return;
    BYTE footer[kFooterBytes];
    if (!io.Seek(-static_cast<int32_t>(kFooterBytes), kSeekEnd) || !io.ReadExact(footer, sizeof(footer))) {
        ctx.Fail(kImgFileRead);
        return;
    }
    if (memcmp(footer + kFooterMarkOffset, kFooterMark, sizeof(kFooterMark)) != 0)
        return;
    const uint32_t extension = Le32(footer);
    BYTE area[kExtensionBytes];
    if (extension &&
        (extension > INT32_MAX || !io.Seek(static_cast<int32_t>(extension), kSeekSet) ||
         !io.ReadExact(area, sizeof(area))))
        ctx.Fail(kImgFileRead);
}

struct RowJob {
    const Header &header;
    RowPlacement rows;
    uint32_t pixelBytes;  // 1 stores indices
    bool bgr;             // DIB order
};

void DecodeRows(CISIO &io, const RowJob &job, const RGBQUAD *map, OperationContext &ctx)
{
    const Header &h = job.header;
    const bool topDown = (h.descriptor & kTopDownFlag) != 0;
    PixelDecoder pixels(io, h, map);
    RowProgress progress;
    for (uint32_t i = 0; i < h.height; ++i) {
        BYTE *row = job.rows.Row(topDown ? i : h.height - 1 - i);
        for (uint32_t x = 0; x < h.width; ++x) {
            RGBQUAD c;
            uint32_t index;
            if (int32_t error = pixels.Next(c, index)) {
                ctx.Fail(error);
                return;
            }
            BYTE *p = row + static_cast<size_t>(x) * job.pixelBytes;
            if (job.pixelBytes == 1) {
                p[0] = static_cast<BYTE>(index);
                continue;
            }
            p[0] = job.bgr ? c.rgbBlue : c.rgbRed;
            p[1] = c.rgbGreen;
            p[2] = job.bgr ? c.rgbRed : c.rgbBlue;
            if (job.pixelBytes == 4)
                p[3] = c.rgbReserved;
        }
        if (!progress.Report(i, h.height, ctx))
            return;
    }
}

// Checks of both roads after the header: the colour map a mapped type needs.
bool ReadIdAndMap(CISIO &io, const Header &h, RGBQUAD *palette, OperationContext &ctx)
{
    if (!SkipWithin(io, h.idLength)) {
        ctx.Fail(kImgFileRead);
        return false;
    }
    if (h.mapType) {
        if (!ReadColourMap(io, h, palette)) {
            ctx.Fail(kImgFileRead);
            return false;
        }
    } else if (NeedsMap(h.imageType)) {
        ctx.Fail(kImgBadTga);
        return false;
    }
    return true;
}

BYTE *ReadToRgb(CISIO &io, const Header &h, uint32_t bits, bool asDib, OperationContext &ctx)
{
    if (h.depth < kMinDepth || h.depth > kMaxDepth || !IsKnownType(h.imageType)) {
        ctx.Fail(kImgBadTga);
        return nullptr;
    }
    RGBQUAD map[kFullPaletteEntries] = {};
    if (!ReadIdAndMap(io, h, map, ctx))
        return nullptr;
    if (!h.width || !h.height) {
        ctx.Fail(kImgBadTga);
        return nullptr;
    }
    if (asDib)
        bits = h.depth == 32 ? 32 : 24;
    const uint32_t pixelBytes = bits / 8;
    const CheckedSize rowBytes = asDib ? PaddedRowBytes(h.width, bits) : CheckedSize(h.width) * CheckedSize(pixelBytes);
    const CheckedSize header = asDib ? CheckedSize(kDibInfoBytes) : CheckedSize(0);
    ImageBuffer out;
    if (!out.Allocate(header + rowBytes * CheckedSize(h.height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (asDib)
        PutDibHeader(out.Data(), h.width, h.height, bits, rowBytes.Value() * h.height, 0);
    RowJob job{h, RowPlacement{out.Data() + header.Value(), rowBytes.Value(), h.height, asDib}, pixelBytes, asDib};
    DecodeRows(io, job, map, ctx);
    ReadFooter(io, ctx);
    return out.Release();
}

BYTE *ReadToIndex(CISIO &io, const Header &h, RGBQUAD *palette, bool asDib, OperationContext &ctx)
{
    if (h.depth > 8 || (h.imageType != kTypeMapped && h.imageType != kTypeGrey && h.imageType != kTypeMappedRle)) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    memset(palette, 0, kFullPaletteBytes);
    if (!ReadIdAndMap(io, h, palette, ctx))
        return nullptr;
    if (!h.mapType)
        for (uint32_t i = 0; i < kFullPaletteEntries; ++i)
            palette[i] = Grey(static_cast<BYTE>(i));
    if (!h.width || !h.height) {
        ctx.Fail(kImgBadTga);
        return nullptr;
    }
    const CheckedSize rowBytes = asDib ? PaddedRowBytes(h.width, 8) : CheckedSize(h.width);
    const CheckedSize header = asDib ? CheckedSize(kDibInfoBytes + kFullPaletteBytes) : CheckedSize(0);
    ImageBuffer out;
    if (!out.Allocate(header + rowBytes * CheckedSize(h.height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (asDib) {
        PutDibHeader(out.Data(), h.width, h.height, 8, rowBytes.Value() * h.height, kFullPaletteEntries);
        memcpy(out.Data() + kDibInfoBytes, palette, kFullPaletteBytes);
    }
    // One byte a pixel stores the index as read, never its colour.
    RowJob job{h, RowPlacement{out.Data() + header.Value(), rowBytes.Value(), h.height, asDib}, 1, false};
    DecodeRows(io, job, palette, ctx);
    ReadFooter(io, ctx);
    return out.Release();
}

}  // namespace

BYTE *ReadTgaImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    const bool asDib = (flags & kReadAsDib) != 0;
    if (!asDib && bits != 24 && bits != 32 && !(bits == 8 && palette)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    Header h;
    if (!ReadHeader(io, h)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    RGBQUAD dibPalette[kFullPaletteEntries];
    BYTE *image = nullptr;
    if (asDib && h.depth <= 8)
        image = ReadToIndex(io, h, dibPalette, true, ctx);
    else if (asDib || bits != 8)
        image = ReadToRgb(io, h, bits, asDib, ctx);
    else
        image = ReadToIndex(io, h, palette, false, ctx);
    width = h.width;
    height = h.height;
    return image;
}

bool ReadTgaInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &depth, OperationContext &ctx)
{
    OperationScope scope;
    Header h;
    if (!ReadHeader(io, h)) {
        ctx.Fail(kImgFileRead);
        return false;
    }
    if (h.depth > kMaxDepth || !IsKnownType(h.imageType)) {
        ctx.Fail(kImgBadTga);
        return false;
    }
    width = h.width;
    height = h.height;
    depth = h.depth;
    return true;
}

BYTE *ReadTGA(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadTgaImage(io, bits, palette, flags, w, h, ctx);
    });
}
