// BMP reader: info and core headers, every depth, bit fields, RLE8 and RLE4,
// and the packed-DIB form. Every size taken from a file is checked before a
// buffer is made from it; run-length codes never write outside the picture.
#include "bmpformat.h"

#include "pixelrows.h"
#include "readerkit.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kRunBufferBytes = 256;
constexpr uint32_t kV4HeaderBytes = 108;
constexpr uint32_t kV5HeaderBytes = 124;
constexpr uint32_t kMaskBytes = 12;

enum Compression : uint32_t { kCompNone = 0, kCompRle8 = 1, kCompRle4 = 2, kCompBitFields = 3 };

struct InfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPerMetre;
    int32_t yPerMetre;
    uint32_t clrUsed;
    uint32_t clrImportant;
};

InfoHeader ParseInfo(const BYTE *p)
{
    InfoHeader h;
    h.size = Le32(p);
    h.width = static_cast<int32_t>(Le32(p + 4));
    h.height = static_cast<int32_t>(Le32(p + 8));
    h.planes = Le16(p + 12);
    h.bitCount = Le16(p + 14);
    h.compression = Le32(p + 16);
    h.imageSize = Le32(p + 20);
    h.xPerMetre = static_cast<int32_t>(Le32(p + 24));
    h.yPerMetre = static_cast<int32_t>(Le32(p + 28));
    h.clrUsed = Le32(p + 32);
    h.clrImportant = Le32(p + 36);
    return h;
}

struct CoreHeader {
    uint32_t size;
    uint16_t width;
    uint16_t height;
    uint16_t bitCount;
};

CoreHeader ParseCore(const BYTE *p) { return CoreHeader{Le32(p), Le16(p + 4), Le16(p + 6), Le16(p + 10)}; }

bool IsIndexDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

bool IsRlePair(uint32_t compression, uint32_t bits)
{
    return (compression == kCompRle8 && bits == 8) || (compression == kCompRle4 && bits == 4);
}

uint32_t ColourCount(uint32_t clrUsed, uint32_t bits)
{
    if (clrUsed)
        return clrUsed;
    return bits > 31 ? 0 : 1u << bits;
}

uint32_t PaletteEntriesToRead(uint32_t clrUsed, uint32_t bits)
{
    uint32_t colours = ColourCount(clrUsed, bits);
    return colours < kPaletteEntries ? colours : kPaletteEntries;
}

// Rows of a picture: |height|, where 0 and INT_MIN (which has no absolute
// value) are not pictures.
bool RowsOf(int32_t height, uint32_t &rows)
{
    if (height == 0 || height == INT_MIN)
        return false;
    rows = static_cast<uint32_t>(height < 0 ? -height : height);
    return true;
}

// The V4 and V5 headers that editors write by default begin with the
// 40-byte header and its three colour masks; they are read as that, and
// their alpha mask and colour space are not used.
bool IsInfoHeaderSize(uint32_t size)
{
    return size == kBmpInfoHeaderBytes || size == kV4HeaderBytes || size == kV5HeaderBytes;
}

// Drops what is left of a longer header, `read` bytes having been read
// past its first 40.
bool SkipHeaderRest(CISIO &io, uint32_t headerSize, uint32_t read)
{
    const uint32_t used = kBmpInfoHeaderBytes + read;
    return headerSize <= used || SkipBytes(io, headerSize - used);
}

// The opening every reader shares: file header, signature, and a look at
// the header size, leaving the position on the header.
int32_t OpenBmp(CISIO &io, uint32_t &dataOffset, uint32_t &headerSize)
{
    BYTE head[kBmpFileHeaderBytes];
    if (!io.ReadExact(head, sizeof(head)))
        return kImgFileRead;
    if (head[0] != 'B' || head[1] != 'M')
        return kImgBadBmp;
    dataOffset = Le32(head + 10);
    BYTE size[4];
    if (!io.ReadExact(size, sizeof(size)))
        return kImgFileRead;
    if (!io.Seek(-4, kSeekCur))
        return kImgFileRead;
    headerSize = Le32(size);
    if (!IsInfoHeaderSize(headerSize) && headerSize != kBmpCoreHeaderBytes)
        return kImgBadBmp;
    return kImgOk;
}

// Reaches the data offset: bytes before it are read and dropped, an offset
// behind the position is sought from the start.
bool MoveToData(CISIO &io, uint32_t dataOffset)
{
    uint32_t here = io.Tell();
    if (dataOffset > here)
        return SkipBytes(io, dataOffset - here);
    if (dataOffset < here)
        return dataOffset <= INT32_MAX && io.Seek(static_cast<int32_t>(dataOffset), kSeekSet);
    return true;
}

// Drops the gap between the palette and the data offset; an offset inside
// the headers or palette is a bad file.
int32_t SkipGap(CISIO &io, uint32_t dataOffset, uint32_t headerSize, uint32_t entriesRead)
{
    int64_t gap = static_cast<int64_t>(dataOffset) -
                  (kBmpFileHeaderBytes + int64_t{headerSize} + 4 * static_cast<int64_t>(entriesRead));
    if (gap < 0)
        return kImgBadBmp;
    if (gap > 0 && !SkipBytes(io, static_cast<uint32_t>(gap)))
        return kImgBadBmp;
    return kImgOk;
}

bool ReadPalette4(CISIO &io, RGBQUAD *palette, uint32_t entries)
{
    return io.ReadExact(palette, entries * sizeof(RGBQUAD));
}

bool ReadPalette3(CISIO &io, RGBQUAD *palette, uint32_t entries)
{
    BYTE triples[kPaletteEntries * 3];
    if (!io.ReadExact(triples, entries * 3))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        palette[i].rgbBlue = triples[3 * i];
        palette[i].rgbGreen = triples[3 * i + 1];
        palette[i].rgbRed = triples[3 * i + 2];
    }
    return true;
}

// Stored rows to output rows: RGB(A) with the palette or the masks, or
// packed 1-bit or one-byte index rows.
struct RowJob {
    uint32_t width;
    uint32_t rows;
    bool bottomUp;
    uint32_t fileBits;
    uint32_t outBits;
    const RGBQUAD *palette = nullptr;
    const uint32_t *masks = nullptr;
};

// One stored row: with shortPadded a row cut by the file's end is kept,
// padded with zeros, and only a row with no byte left fails.
bool ReadStoredRow(CISIO &io, const WorkBuffer &row, bool shortPadded)
{
    if (!shortPadded)
        return io.ReadExact(row.Data(), row.Size());
    memset(row.Data(), 0, row.Size());
    return io.Read(row.Data(), row.Size()) != 0;
}

// The result and the row loop of both conversions, the rows read in the
// file's order and each converted into its place.
template <typename Convert>
BYTE *ReadStoredRows(CISIO &io, const RowJob &job, CheckedSize outRow, bool shortPadded, uint32_t &width,
                     uint32_t &height, OperationContext &ctx, Convert &&convert)
{
    CheckedSize stride = PaddedRowBytes(job.width, job.fileBits);
    width = job.width;
    height = job.rows;
    ImageBuffer out;
    if (!stride.Ok() || !out.Allocate(outRow * CheckedSize(job.rows))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    WorkBuffer row(stride);
    RowProgress progress;
    for (uint32_t i = 0; i < job.rows; ++i) {
        uint32_t outIndex = job.bottomUp ? job.rows - 1 - i : i;
        if (!progress.Report(job.rows - 1 - outIndex, job.rows, ctx))
            break;
        if (!ReadStoredRow(io, row, shortPadded)) {
            ctx.Fail(kImgFileRead);
            break;
        }
        convert(row.Data(), out.Data() + static_cast<size_t>(outIndex) * outRow.Value());
    }
    return out.Release();
}

BYTE *ReadRgbRows(CISIO &io, const RowJob &job, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    const uint32_t pixelBytes = job.outBits / 8;
    const uint32_t *masks = job.fileBits == 16 || job.fileBits == 32 ? job.masks : nullptr;
    return ReadStoredRows(io, job, CheckedSize(job.width) * CheckedSize(pixelBytes), true, width, height, ctx,
                          [&](const BYTE *row, BYTE *dst) {
                              RowToRgb(row, dst, job.width, job.fileBits, job.palette, masks, pixelBytes == 4, 0xFF);
                          });
}

BYTE *ReadIndexRows(CISIO &io, const RowJob &job, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    const CheckedSize outRow = PackedRowBytes(job.width, job.outBits);
    return ReadStoredRows(io, job, outRow, false, width, height, ctx, [&](const BYTE *row, BYTE *dst) {
        if (job.outBits == 1)
            memcpy(dst, row, outRow.Value());
        else
            UnpackToBytes(row, dst, job.width, job.fileBits);
    });
}

// ---------------------------------------------------------------------------
// Run-length decoding (RLE8 and RLE4).

// Byte source for the decoder: reads the source in blocks and counts the
// bytes of the data stream, whose parity tells escapes from fill bytes.
class RunBytes {
public:
    explicit RunBytes(CISIO &io) : io_(io) {}

    bool Next(BYTE &b)
    {
        if (at_ == filled_) {
            filled_ = io_.Read(buffer_, sizeof(buffer_));
            at_ = 0;
            if (!filled_)
                return false;
        }
        b = buffer_[at_++];
        ++count_;
        return true;
    }
    bool Next(BYTE *out, uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i)
            if (!Next(out[i]))
                return false;
        return true;
    }
    uint64_t Count() const { return count_; }

private:
    CISIO &io_;
    BYTE buffer_[4096];
    uint32_t filled_ = 0;
    uint32_t at_ = 0;
    uint64_t count_ = 0;
};

class RleCanvas {
public:
    RleCanvas(BYTE *pixels, uint32_t width, uint32_t height, uint32_t outBits, const RGBQUAD *palette)
        : pixels_(pixels), width_(width), height_(height), pixelBytes_(outBits / 8), palette_(palette),
          row_(static_cast<int64_t>(height) - 1)
    {
    }

    // Pixels the stream never sets show palette entry 0: the first row is
    // painted, the others copied from it.
    void Prefill()
    {
        if (pixelBytes_ == 1)
            return;
        const size_t rowBytes = static_cast<size_t>(width_) * pixelBytes_;
        for (uint32_t x = 0; x < width_; ++x)
            SetPixel(pixels_ + static_cast<size_t>(x) * pixelBytes_, 0);
        for (uint32_t y = 1; y < height_; ++y)
            memcpy(pixels_ + y * rowBytes, pixels_, rowBytes);
    }

    // Emits k pixels; nibbles of a packed RLE4 buffer, or bytes for RLE8.
    void Emit(const BYTE *source, uint32_t k, bool nibbles)
    {
        uint32_t room = width_ - column_;
        if (k > room)
            k = room;
        if (row_ >= 0) {
            BYTE *line = pixels_ + static_cast<size_t>(row_) * width_ * pixelBytes_;
            for (uint32_t i = 0; i < k; ++i) {
                BYTE index = nibbles ? ((i & 1) ? (source[i >> 1] & 0x0F) : (source[i >> 1] >> 4)) : source[i];
                SetPixel(line + static_cast<size_t>(column_ + i) * pixelBytes_, index);
            }
        }
        column_ += k;
    }

    void EndOfLine()
    {
        --row_;
        column_ = 0;
    }

    // A delta past the right edge parks the column there: nothing more is
    // written on this row.
    void Delta(BYTE right, BYTE up)
    {
        uint32_t room = width_ - column_;
        column_ += right < room ? right : room;
        row_ -= up;
    }

    int64_t Row() const { return row_; }

private:
    void SetPixel(BYTE *p, BYTE index)
    {
        if (pixelBytes_ == 1) {
            *p = index;
            return;
        }
        const RGBQUAD &c = palette_[index];
        p[0] = c.rgbRed;
        p[1] = c.rgbGreen;
        p[2] = c.rgbBlue;
        if (pixelBytes_ == 4)
            p[3] = 0xFF;
    }

    BYTE *pixels_;
    uint32_t width_;
    uint32_t height_;
    uint32_t pixelBytes_;
    const RGBQUAD *palette_;
    int64_t row_;
    uint32_t column_ = 0;
};

enum RleEscape : BYTE { kEscEndOfLine = 0, kEscEndOfBitmap = 1, kEscDelta = 2 };

void DecodeRuns(RunBytes &in, RleCanvas &canvas, bool rle4, uint32_t height, OperationContext &ctx)
{
    BYTE run[kRunBufferBytes];
    RowProgress progress;
    int64_t reported = -1;
    for (;;) {
        if (canvas.Row() >= 0 && canvas.Row() != reported) {
            reported = canvas.Row();
            if (!progress.Report(static_cast<uint32_t>(height - canvas.Row() - 1), height, ctx))
                return;
        }
        BYTE count;
        if (!in.Next(count))
            break;
        if (count) {
            BYTE value;
            if (!in.Next(value))
                break;
            memset(run, value, rle4 ? (count + 1) / 2 : count);
            canvas.Emit(run, count, rle4);
            continue;
        }
        // Codes come in pairs; a zero in the second byte of a pair is a filler.
        if (in.Count() % 2 == 0)
            continue;
        BYTE code;
        if (!in.Next(code))
            break;
        if (code == kEscEndOfBitmap)
            return;
        if (code == kEscEndOfLine) {
            canvas.EndOfLine();
            continue;
        }
        if (code == kEscDelta) {
            BYTE delta[2];
            if (!in.Next(delta, 2))
                break;
            canvas.Delta(delta[0], delta[1]);
            continue;
        }
        uint32_t bytes = rle4 ? (code + 1u) / 2 : code;
        if (!in.Next(run, bytes))
            break;
        canvas.Emit(run, code, rle4);
        bool padded = rle4 ? (code % 4 == 1 || code % 4 == 2) : (code % 2 == 1);
        BYTE filler;
        if (padded && !in.Next(filler))
            break;
    }
    ctx.Fail(kImgFileRead);
}

BYTE *ReadRle(CISIO &io, uint32_t outBits, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    if (outBits != 8 && outBits != 24 && outBits != 32) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    BYTE head[kBmpPlainHeadersBytes];
    if (!io.ReadExact(head, sizeof(head))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    InfoHeader info = ParseInfo(head + kBmpFileHeaderBytes);
    if (head[0] != 'B' || head[1] != 'M' || !IsInfoHeaderSize(info.size)) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    if (!IsRlePair(info.compression, info.bitCount)) {
        ctx.Fail(kImgRleUnsupported);
        return nullptr;
    }
    RGBQUAD palette[kPaletteEntries] = {};
    uint32_t entries = PaletteEntriesToRead(info.clrUsed, info.bitCount);
    if (!SkipHeaderRest(io, info.size, 0) || !ReadPalette4(io, palette, entries)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    if (int32_t error = SkipGap(io, Le32(head + 10), info.size, entries)) {
        ctx.Fail(error);
        return nullptr;
    }
    // Run-length pictures are bottom-up only; a negative height has no
    // meaning for them.
    if (info.width < 1 || info.height < 1) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    width = static_cast<uint32_t>(info.width);
    height = static_cast<uint32_t>(info.height);
    ImageBuffer out;
    if (!out.Allocate(CheckedSize(width) * CheckedSize(height) * CheckedSize(outBits / 8))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    RleCanvas canvas(out.Data(), width, height, outBits, palette);
    canvas.Prefill();
    RunBytes in(io);
    DecodeRuns(in, canvas, info.compression == kCompRle4, height, ctx);
    return out.Release();
}

// ---------------------------------------------------------------------------
// R1/R2: to 24 or 32 bits.

BYTE *ReadInfoToRgb(CISIO &io, uint32_t dataOffset, uint32_t headerSize, uint32_t outBits, uint32_t &width,
                    uint32_t &height, OperationContext &ctx)
{
    BYTE raw[kBmpInfoHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    InfoHeader info = ParseInfo(raw);
    if (info.width < 1) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    if (IsRlePair(info.compression, info.bitCount)) {
        if (!io.Rewind()) {
            ctx.Fail(kImgFileRead);
            return nullptr;
        }
        return ReadRle(io, outBits, width, height, ctx);
    }
    if (info.compression != kCompNone && info.compression != kCompBitFields) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    uint32_t masks[3] = {0, 0, 0};
    const bool bitFields = info.compression == kCompBitFields;
    if (bitFields) {
        BYTE rawMasks[kMaskBytes];
        if (!io.ReadExact(rawMasks, sizeof(rawMasks))) {
            ctx.Fail(kImgFileRead);
            return nullptr;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = Le32(rawMasks + 4 * i);
    }
    if (!SkipHeaderRest(io, headerSize, bitFields ? kMaskBytes : 0)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    RGBQUAD palette[kPaletteEntries] = {};
    if (IsIndexDepth(info.bitCount)) {
        if (!ReadPalette4(io, palette, PaletteEntriesToRead(info.clrUsed, info.bitCount))) {
            ctx.Fail(kImgFileRead);
            return nullptr;
        }
    } else if (info.bitCount != 16 && info.bitCount != 24 && info.bitCount != 32) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    uint32_t rows;
    if (!MoveToData(io, dataOffset) || !RowsOf(info.height, rows)) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    RowJob job{static_cast<uint32_t>(info.width), rows, info.height > 0, info.bitCount, outBits, palette,
               info.compression == kCompBitFields ? masks : nullptr};
    return ReadRgbRows(io, job, width, height, ctx);
}

// An OS/2 core header and its palette of triples, for the reads to RGB
// and to a DIB: index depths and 24 bits, of a size above zero.
bool ReadCoreColours(CISIO &io, CoreHeader &core, RGBQUAD *palette, uint32_t &colours, OperationContext &ctx)
{
    BYTE raw[kBmpCoreHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw))) {
        ctx.Fail(kImgFileRead);
        return false;
    }
    core = ParseCore(raw);
    if (IsIndexDepth(core.bitCount)) {
        colours = 1u << core.bitCount;
        if (!ReadPalette3(io, palette, colours)) {
            ctx.Fail(kImgFileRead);
            return false;
        }
    } else if (core.bitCount != 24) {
        ctx.Fail(kImgBadBmp);
        return false;
    }
    if (!core.width || !core.height) {
        ctx.Fail(kImgBadBmp);
        return false;
    }
    return true;
}

BYTE *ReadCoreToRgb(CISIO &io, uint32_t outBits, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    CoreHeader core;
    RGBQUAD palette[kPaletteEntries] = {};
    uint32_t colours = 0;
    if (!ReadCoreColours(io, core, palette, colours, ctx))
        return nullptr;
    RowJob job{core.width, core.height, true, core.bitCount, outBits, palette};
    return ReadRgbRows(io, job, width, height, ctx);
}

// ---------------------------------------------------------------------------
// R3/R4: to 1 or 8 bits with the caller's palette.

BYTE *ReadInfoToIndex(CISIO &io, uint32_t dataOffset, uint32_t headerSize, uint32_t outBits, RGBQUAD *palette,
                      uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    BYTE raw[kBmpInfoHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    InfoHeader info = ParseInfo(raw);
    if (info.bitCount > 8 || info.bitCount > outBits) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    // Depths 2, 3, 5, 6 and 7 have no row unpacking.
    if (!IsIndexDepth(info.bitCount) || info.width < 1) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    uint32_t entries = PaletteEntriesToRead(info.clrUsed, info.bitCount);
    if (!SkipHeaderRest(io, headerSize, 0) || !ReadPalette4(io, palette, entries)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    for (uint32_t i = entries; i < kPaletteEntries; ++i)
        palette[i] = palette[0];
    if (IsRlePair(info.compression, info.bitCount)) {
        if (!io.Rewind()) {
            ctx.Fail(kImgFileRead);
            return nullptr;
        }
        return ReadRle(io, 8, width, height, ctx);
    }
    if (info.compression != kCompNone) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    uint32_t rows;
    int32_t gapError = SkipGap(io, dataOffset, headerSize, entries);
    if (gapError || !RowsOf(info.height, rows)) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    RowJob job{static_cast<uint32_t>(info.width), rows, info.height > 0, info.bitCount, outBits};
    return ReadIndexRows(io, job, width, height, ctx);
}

BYTE *ReadCoreToIndex(CISIO &io, uint32_t outBits, RGBQUAD *palette, uint32_t &width, uint32_t &height,
                      OperationContext &ctx)
{
    BYTE raw[kBmpCoreHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    CoreHeader core = ParseCore(raw);
    if (core.bitCount > 8 || core.bitCount > outBits) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    if (!IsIndexDepth(core.bitCount) || !core.width || !core.height) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    // Only the colours are replaced; the fourth bytes and later entries stay
    // as the caller had them.
    BYTE triples[kPaletteEntries * 3];
    uint32_t entries = 1u << core.bitCount;
    if (!io.ReadExact(triples, entries * 3)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    for (uint32_t i = 0; i < entries; ++i) {
        palette[i].rgbBlue = triples[3 * i];
        palette[i].rgbGreen = triples[3 * i + 1];
        palette[i].rgbRed = triples[3 * i + 2];
    }
    RowJob job{core.width, core.height, true, core.bitCount, outBits};
    return ReadIndexRows(io, job, width, height, ctx);
}

// ---------------------------------------------------------------------------
// R6: the file as a packed DIB.

// Bytes of colour table (or bit-field masks) after a DIB's 40-byte header;
// false when the header asks for more colours than its depth can index.
bool DibColourBytes(const InfoHeader &info, uint32_t &bytes)
{
    bytes = 0;
    if (IsIndexDepth(info.bitCount)) {
        uint32_t most = 1u << info.bitCount;
        if (info.clrUsed > most)
            return false;
        bytes = 4 * ColourCount(info.clrUsed, info.bitCount);
    } else if ((info.bitCount == 15 || info.bitCount == 16 || info.bitCount == 32) &&
               info.compression == kCompBitFields) {
        bytes = 12;
    }
    return true;
}

BYTE *ReadInfoAsDib(CISIO &io, uint32_t dataOffset, uint32_t headerSize, uint32_t &width, uint32_t &height,
                    OperationContext &ctx)
{
    const uint32_t sourceSize = io.Size();
    BYTE raw[kBmpInfoHeaderBytes];
    if (!io.ReadExact(raw, sizeof(raw))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    InfoHeader info = ParseInfo(raw);
    uint32_t colourBytes;
    uint32_t rows;
    if (!DibColourBytes(info, colourBytes) || info.width < 1 || !RowsOf(info.height, rows)) {
        ctx.Fail(kImgBadBmp);
        return nullptr;
    }
    CheckedSize pixels = PaddedRowBytes(static_cast<uint32_t>(info.width), info.bitCount) * CheckedSize(rows);
    CheckedSize implied(0);
    if (info.bitCount == 1)
        implied = CheckedSize(kBmpInfoHeaderBytes) + pixels + CheckedSize(8);
    else if (info.bitCount == 4 || info.bitCount == 8)
        implied = CheckedSize(kBmpInfoHeaderBytes) + pixels + CheckedSize(colourBytes);
    else if (info.bitCount == 24 || info.bitCount == 32)
        implied = CheckedSize(kBmpInfoHeaderBytes) + pixels;
    // Never smaller than header plus colours, whatever the file claims.
    CheckedSize allocation(sourceSize > kBmpInfoHeaderBytes ? sourceSize - kBmpInfoHeaderBytes : 0);
    if (!implied.Ok()) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (implied.Value() > allocation.Value())
        allocation = implied;
    if (allocation.Value() < kBmpInfoHeaderBytes + colourBytes)
        allocation = CheckedSize(kBmpInfoHeaderBytes + colourBytes);
    ImageBuffer dib;
    if (!dib.Allocate(allocation)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    memcpy(dib.Data(), raw, sizeof(raw));
    // The DIB gets the 40-byte header whatever the file's was.
    PutLe32(dib.Data(), kBmpInfoHeaderBytes);
    // Masks sit right after the first 40 bytes in every header; a palette
    // follows the whole header.
    BYTE *colours = dib.Data() + kBmpInfoHeaderBytes;
    const uint32_t maskBytes = IsIndexDepth(info.bitCount) ? 0 : colourBytes;
    if (!io.ReadExact(colours, maskBytes) || !SkipHeaderRest(io, headerSize, maskBytes) ||
        !io.ReadExact(colours + maskBytes, colourBytes - maskBytes)) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    const uint32_t headerEnd = std::max(headerSize, kBmpInfoHeaderBytes + maskBytes);
    const uint32_t expected = kBmpFileHeaderBytes + headerEnd + colourBytes - maskBytes;
    if (dataOffset != expected && dataOffset != kBmpPlainHeadersBytes && dataOffset != kBmpFileHeaderBytes) {
        bool moved = dataOffset > expected ? SkipBytes(io, dataOffset - expected)
                                           : dataOffset <= INT32_MAX && io.Seek(static_cast<int32_t>(dataOffset), kSeekSet);
        if (!moved) {
            ctx.Fail(kImgBadBmp);
            return nullptr;
        }
    }
    io.Read(dib.Data() + kBmpInfoHeaderBytes + colourBytes, dib.Size() - kBmpInfoHeaderBytes - colourBytes);
    width = static_cast<uint32_t>(info.width);
    height = rows;
    return dib.Release();
}

BYTE *ReadCoreAsDib(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    CoreHeader core;
    RGBQUAD palette[kPaletteEntries] = {};
    uint32_t colours = 0;
    if (!ReadCoreColours(io, core, palette, colours, ctx))
        return nullptr;
    CheckedSize stride = PaddedRowBytes(core.width, core.bitCount);
    CheckedSize image = stride * CheckedSize(core.height);
    ImageBuffer dib;
    if (!dib.Allocate(CheckedSize(kBmpInfoHeaderBytes) + CheckedSize(4 * colours) + image)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    BYTE *h = dib.Data();
    PutLe32(h, kBmpInfoHeaderBytes);
    PutLe32(h + 4, core.width);
    PutLe32(h + 8, core.height);
    PutLe16(h + 12, 1);
    PutLe16(h + 14, core.bitCount);
    PutLe32(h + 20, image.Value());
    PutLe32(h + 32, colours);
    PutLe32(h + 36, colours);
    memcpy(h + kBmpInfoHeaderBytes, palette, 4 * colours);
    BYTE *bits = h + kBmpInfoHeaderBytes + 4 * colours;
    width = core.width;
    height = core.height;
    for (uint32_t i = 0; i < core.height; ++i) {
        if (!io.ReadExact(bits + static_cast<size_t>(i) * stride.Value(), stride.Value())) {
            ctx.Fail(kImgFileRead);
            break;
        }
    }
    return dib.Release();
}

}  // namespace

BYTE *ReadBmpImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx)
{
    OperationScope scope;
    const bool asDib = (flags & kReadAsDib) != 0;
    const bool toRgb = bits == 24 || bits == 32;
    const bool toIndex = bits == 1 || bits == 8;
    if (!asDib && !toRgb && !(toIndex && palette)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    if (int32_t error = OpenBmp(io, dataOffset, headerSize)) {
        ctx.Fail(error);
        return nullptr;
    }
    const bool core = headerSize == kBmpCoreHeaderBytes;
    if (asDib)
        return core ? ReadCoreAsDib(io, width, height, ctx)
                    : ReadInfoAsDib(io, dataOffset, headerSize, width, height, ctx);
    if (toRgb)
        return core ? ReadCoreToRgb(io, bits, width, height, ctx)
                    : ReadInfoToRgb(io, dataOffset, headerSize, bits, width, height, ctx);
    return core ? ReadCoreToIndex(io, bits, palette, width, height, ctx)
                : ReadInfoToIndex(io, dataOffset, headerSize, bits, palette, width, height, ctx);
}

bool ReadBmpInfo(CISIO &io, int32_t &width, int32_t &height, uint32_t &bits, BmpResolution *resolution,
                 uint32_t flags, OperationContext &ctx)
{
    OperationScope scope;
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    if (int32_t error = OpenBmp(io, dataOffset, headerSize)) {
        ctx.Fail(error);
        return false;
    }
    BYTE raw[kBmpInfoHeaderBytes];
    if (!io.ReadExact(raw, std::min(headerSize, kBmpInfoHeaderBytes))) {
        ctx.Fail(kImgFileRead);
        return false;
    }
    if (headerSize == kBmpCoreHeaderBytes) {
        CoreHeader core = ParseCore(raw);
        width = core.width;
        height = core.height;
        bits = core.bitCount;
        return true;
    }
    InfoHeader info = ParseInfo(raw);
    width = info.width;
    height = info.height;
    bits = info.bitCount;
    if (resolution) {
        const bool perMetre = (flags & 1) != 0;
        resolution->x = static_cast<uint32_t>(perMetre ? info.xPerMetre : info.xPerMetre / 100);
        resolution->y = static_cast<uint32_t>(perMetre ? info.yPerMetre : info.yPerMetre / 100);
        resolution->unit = perMetre ? 2 : 1;
    }
    return true;
}

BYTE *ReadBMP(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadBmpImage(io, bits, palette, flags, w, h, ctx);
    });
}
