// BMP writers: plain rows of every depth, RLE8, and a packed DIB as a file.
#include "bmpformat.h"

#include "pixelrows.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kMaxRun = 255;
constexpr uint32_t kImageSizeUnknown = 0xFFFFFFFF;
constexpr uint32_t kFileSizeField = 2;
constexpr uint32_t kImageSizeField = 34;

struct HeaderFields {
    uint32_t fileSize;
    uint32_t dataOffset;
    uint32_t width;
    int32_t height;
    uint32_t bits;
    uint32_t compression;
    uint32_t imageSize;
    const uint32_t *resolution;
    uint32_t colours;
};

void BuildHeaders(BYTE (&h)[kBmpPlainHeadersBytes], const HeaderFields &f)
{
    memset(h, 0, sizeof(h));
    h[0] = 'B';
    h[1] = 'M';
    PutLe32(h + kFileSizeField, f.fileSize);
    PutLe32(h + 10, f.dataOffset);
    BYTE *info = h + kBmpFileHeaderBytes;
    PutLe32(info, kBmpInfoHeaderBytes);
    PutLe32(info + 4, f.width);
    PutLe32(info + 8, static_cast<uint32_t>(f.height));
    PutLe16(info + 12, 1);
    PutLe16(info + 14, f.bits);
    PutLe32(info + 16, f.compression);
    PutLe32(info + 20, f.imageSize);
    PutLe32(info + 24, f.resolution ? f.resolution[0] : 0);
    PutLe32(info + 28, f.resolution ? f.resolution[1] : 0);
    PutLe32(info + 32, f.colours);
    PutLe32(info + 36, f.colours);
}

bool IsPaletteDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

// A palette depth needs a palette of 1 to 2^bits entries; deeper pictures
// carry none.
bool CheckColours(uint32_t bits, uint32_t &colours, const RGBQUAD *palette)
{
    if (bits == 16 || bits == 24 || bits == 32) {
        colours = 0;
        return true;
    }
    return IsPaletteDepth(bits) && palette && colours >= 1 && colours <= (1u << bits);
}

// The file's size once every byte is out; 0 with 4 when the buffered rest
// cannot be written (a full disk), rather than a size never stored.
uint32_t WrittenSize(CISIO &io, OperationContext &ctx)
{
    if (io.Flush())
        return io.Size();
    ctx.Fail(kImgFileWrite);
    return 0;
}

// W1: rows bottom-up, padded to four bytes, blue first for 24 and 32 bits.
uint32_t WritePlain(CISIO &io, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits, uint32_t colours,
                    const RGBQUAD *palette, const uint32_t *resolution, OperationContext &ctx)
{
    // Refused before anything is written, so no header-only file is left.
    if (!pixels || !width || !height || !CheckColours(bits, colours, palette)) {
        ctx.Fail(kImgBadParam);
        return 0;
    }
    CheckedSize sourceRow = PackedRowBytes(width, bits);
    CheckedSize stride = sourceRow.RoundUp4();
    CheckedSize image = stride * CheckedSize(height);
    CheckedSize fileSize = CheckedSize(kBmpPlainHeadersBytes) + CheckedSize(4 * colours) + image;
    if (!fileSize.Ok()) {
        ctx.Fail(kImgBadParam);
        return 0;
    }
    BYTE headers[kBmpPlainHeadersBytes];
    BuildHeaders(headers, {fileSize.Value(), kBmpPlainHeadersBytes + 4 * colours, width, static_cast<int32_t>(height),
                           bits, 0, image.Value(), resolution, colours});
    if (!io.Write(headers, sizeof(headers)) || !io.Write(palette, 4 * colours)) {
        ctx.Fail(kImgFileWrite);
        return 0;
    }
    WorkBuffer row(stride);
    RowProgress progress;
    for (uint32_t i = 0; i < height; ++i) {
        const BYTE *src = pixels + static_cast<size_t>(height - 1 - i) * sourceRow.Value();
        memcpy(row.Data(), src, sourceRow.Value());
        if (bits == 24 || bits == 32)
            SwapRedBlue(row.Data(), width, 1, bits / 8);
        if (!io.Write(row.Data(), stride.Value())) {
            ctx.Fail(kImgFileWrite);
            break;
        }
        if (!progress.Report(i, height, ctx))
            break;
    }
    return WrittenSize(io, ctx);
}

// Length of the literal stretch that starts at x: it stops before a
// repeated pair, at 254 bytes, or one byte before the row's end.
uint32_t LiteralLength(const BYTE *row, uint32_t rowLength, uint32_t x)
{
    uint32_t length = 1;
    if (x + 1 >= rowLength - 1)
        return length;
    while (x + length < rowLength - 1) {
        if (row[x + length] == row[x + length - 1])
            return length - 1;
        if (length >= kMaxRun)
            return kMaxRun - 1;
        ++length;
    }
    return length;
}

void EncodeRow(const BYTE *row, uint32_t rowLength, std::vector<BYTE> &out)
{
    uint32_t x = 0;
    while (x < rowLength) {
        uint32_t literal = LiteralLength(row, rowLength, x);
        if (literal > 2) {
            out.push_back(0);
            out.push_back(static_cast<BYTE>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            if (literal & 1)
                out.push_back(0);
            x += literal;
            continue;
        }
        uint32_t run = 1;
        while (x + run < rowLength && run < kMaxRun && row[x + run] == row[x])
            ++run;
        out.push_back(static_cast<BYTE>(run));
        out.push_back(row[x]);
        x += run;
    }
    out.push_back(0);
    out.push_back(0);
}

bool PatchField(CISIO &io, uint32_t start, uint32_t field, uint32_t value)
{
    BYTE raw[4];
    PutLe32(raw, value);
    uint64_t at = static_cast<uint64_t>(start) + field;
    return at <= INT32_MAX && io.Seek(static_cast<int32_t>(at), kSeekSet) && io.Write(raw, sizeof(raw));
}

// W2: RLE8 from one byte a pixel. Each row is encoded from a copy padded
// with a 0 pixel to an even width, so the source row is never overread.
uint32_t WriteRle8(CISIO &io, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits, uint32_t colours,
                   const RGBQUAD *palette, const uint32_t *resolution, OperationContext &ctx)
{
    if (!pixels || !width || !height || bits != 8 || !CheckColours(bits, colours, palette)) {
        ctx.Fail(kImgBadParam);
        return 0;
    }
    const uint32_t start = io.Tell();
    const uint32_t dataOffset = kBmpPlainHeadersBytes + 4 * colours;
    BYTE headers[kBmpPlainHeadersBytes];
    BuildHeaders(headers, {0, dataOffset, width, static_cast<int32_t>(height), 8, 1, kImageSizeUnknown, resolution,
                           colours});
    if (!io.Write(headers, sizeof(headers)) || !io.Write(palette, 4 * colours)) {
        ctx.Fail(kImgFileWrite);
        return 0;
    }
    const uint32_t rowLength = width + (width & 1);
    std::vector<BYTE> row(rowLength, 0);
    std::vector<BYTE> encoded;
    uint64_t imageSize = 0;
    for (uint32_t i = 0; i < height; ++i) {
        memcpy(row.data(), pixels + static_cast<size_t>(height - 1 - i) * width, width);
        encoded.clear();
        EncodeRow(row.data(), rowLength, encoded);
        if (!io.Write(encoded.data(), static_cast<uint32_t>(encoded.size()))) {
            ctx.Fail(kImgFileWrite);
            return WrittenSize(io, ctx);
        }
        imageSize += encoded.size();
    }
    const BYTE endOfBitmap[2] = {0, 1};
    imageSize += sizeof(endOfBitmap);
    CheckedSize fileSize = CheckedSize(imageSize) + CheckedSize(dataOffset);
    if (!io.Write(endOfBitmap, sizeof(endOfBitmap)) || !fileSize.Ok() ||
        !PatchField(io, start, kFileSizeField, fileSize.Value()) ||
        !PatchField(io, start, kImageSizeField, static_cast<uint32_t>(imageSize))) {
        ctx.Fail(kImgFileWrite);
    }
    return WrittenSize(io, ctx);
}

// W3: a packed DIB behind a file header. Its result is an error code.
uint32_t WriteDib(CISIO &io, const BYTE *dib, OperationContext &ctx)
{
    if (!dib || Le32(dib) != kBmpInfoHeaderBytes) {
        ctx.Fail(kImgBadParam);
        return kImgBadParam;
    }
    const int32_t height = static_cast<int32_t>(Le32(dib + 8));
    const int32_t width = static_cast<int32_t>(Le32(dib + 4));
    const uint32_t bits = Le16(dib + 14);
    const uint32_t compression = Le32(dib + 16);
    const uint32_t clrUsed = Le32(dib + 32);
    uint32_t colourBytes = 0;
    if (IsPaletteDepth(bits)) {
        if (clrUsed > (1u << bits)) {
            ctx.Fail(kImgBadParam);
            return kImgBadParam;
        }
        colourBytes = 4 * (clrUsed ? clrUsed : 1u << bits);
    } else if ((bits == 15 || bits == 16 || bits == 32) && compression == 3) {
        colourBytes = 12;
    }
    if (width < 1 || height == 0 || height == INT_MIN) {
        ctx.Fail(kImgBadParam);
        return kImgBadParam;
    }
    const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    CheckedSize body = CheckedSize(kBmpInfoHeaderBytes) + CheckedSize(colourBytes) +
                       PaddedRowBytes(static_cast<uint32_t>(width), bits) * CheckedSize(rows);
    CheckedSize fileSize = CheckedSize(kBmpFileHeaderBytes) + body;
    if (!fileSize.Ok()) {
        ctx.Fail(kImgBadParam);
        return kImgBadParam;
    }
    BYTE head[kBmpFileHeaderBytes] = {'B', 'M'};
    PutLe32(head + kFileSizeField, fileSize.Value());
    PutLe32(head + 10, kBmpPlainHeadersBytes + colourBytes);
    if (!io.Write(head, sizeof(head)) || !io.Write(dib, body.Value()) || !io.Flush()) {
        ctx.Fail(kImgFileWrite);
        return kImgFileWrite;
    }
    return kImgOk;
}

}  // namespace

uint32_t WriteBmpImage(CISIO &io, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits,
                       uint32_t colours, const RGBQUAD *palette, const uint32_t *resolution, uint32_t flags,
                       OperationContext &ctx)
{
    OperationScope scope;
    if (flags & kWriteRle8)
        return WriteRle8(io, pixels, width, height, bits, colours, palette, resolution, ctx);
    if (flags & kWriteFromDib)
        return WriteDib(io, pixels, ctx);
    return WritePlain(io, pixels, width, height, bits, colours, palette, resolution, ctx);
}

uint32_t WriteBMP(HISDEST dest, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits,
                  uint32_t colours, const RGBQUAD *palette, const uint32_t *resolution, uint32_t flags)
{
    return RunEntry<uint32_t>([&](OperationContext &ctx) -> uint32_t {
        if (int32_t error = CheckStreamBlock(dest)) {
            ctx.Fail(error);
            return (flags & kWriteRle8) || !(flags & kWriteFromDib) ? 0 : static_cast<uint32_t>(error);
        }
        CISIO io(dest);
        return WriteBmpImage(io, pixels, width, height, bits, colours, palette, resolution, flags, ctx);
    });
}
