// TLA reader: the library's own format of typed records, a palette, free
// metadata records and zlib-compressed blocks of filtered rows, optionally
// enciphered with a key from the caller's password.
#include "readerkit.h"
#include "tlacipher.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr BYTE kMagicPlain[4] = {'T', 'L', 'A', 'U'};
constexpr BYTE kMagicEnciphered[4] = {'T', 'L', 'A', 0x01};
constexpr uint32_t kRecordHeaderBytes = 7;
constexpr uint16_t kRecordVersion = 100;
constexpr uint16_t kRecordSize = 101;
constexpr uint16_t kRecordMetadata = 102;
constexpr uint16_t kRecordSkipped = 103;
constexpr uint16_t kRecordPalette = 104;
constexpr uint16_t kRecordBlock = 106;
constexpr uint32_t kVersionBytes = 2;
constexpr uint32_t kSizeBytes = 8;
constexpr uint32_t kCountBytes = 2;
constexpr uint32_t kBlockBytes = 8;
constexpr uint16_t kSupportedVersion = 1;
constexpr uint32_t kMaxBytesPerPixel = 4;
constexpr uint16_t kFilterLeft = 1;
constexpr uint16_t kFilterUp = 2;
constexpr uint16_t kFilterPaeth = 4;
constexpr uint16_t kAlphaBit = 0x8000;
constexpr BYTE kOpaqueAbove = 128;

enum OutputMode : uint32_t { kModeNone = 0, kModeIndex = 1, kMode16 = 2, kModeRgb = 3, kModeRgba = 4 };

BYTE Reduce5(BYTE v) { return static_cast<BYTE>(v >> 3); }

uint16_t Pack16(BYTE r, BYTE g, BYTE b, bool opaque)
{
    return static_cast<uint16_t>((opaque ? kAlphaBit : 0) | (Reduce5(r) << 10) | (Reduce5(g) << 5) | Reduce5(b));
}

BYTE PaethPredict(BYTE a, BYTE up, BYTE c)
{
    const int pa = abs(up - c);
    const int pb = abs(a - c);
    const int pc = abs(a + up - 2 * c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? up : c;
}

class TlaReader {
public:
    explicit TlaReader(CISIO &io) : io_(io) {}
    ~TlaReader()
    {
        if (inflating_)
            inflateEnd(&z_);
    }
    TlaReader(const TlaReader &) = delete;
    TlaReader &operator=(const TlaReader &) = delete;

    // Magic, key and the header records up to the metadata; 0 or an error.
    int32_t Open(const char *password, RGBQUAD *palette, bool copyPalette);
    // Ready for rows in the given mode: record 103 passed, inflate set up.
    int32_t Prepare(uint32_t mode);
    int32_t ReadRow(BYTE *out);

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    uint32_t BytesPerPixel() const { return bpp_; }
    uint32_t Colours() const { return colours_; }
    const BYTE *Palette() const { return palette_; }

private:
    int32_t ReadRecordHeader(uint16_t &type, uint32_t &length);
    // A body of a record, deciphered on its own.
    int32_t ReadBody(BYTE *body, uint32_t length);
    int32_t ReadFixedRecord(uint16_t type, BYTE *body, uint32_t length);
    int32_t ReadPalette();
    int32_t ReadMetadata();
    int32_t NextBlock();
    void UndoFilters(uint32_t rows, uint16_t flags);
    void ConvertRow(const BYTE *in, BYTE *out) const;

    CISIO &io_;
    TlaKey key_;
    // Runs on across the compressed data of every block.
    TlaCipher dataCipher_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bpp_ = 0;
    uint32_t colours_ = 0;
    BYTE palette_[kFullPaletteBytes] = {};
    uint32_t mode_ = kModeNone;
    z_stream z_ = {};
    bool inflating_ = false;
    std::unique_ptr<BYTE[]> compressed_;
    uint32_t compressedCapacity_ = 0;
    std::unique_ptr<BYTE[]> block_;
    uint32_t blockCapacity_ = 0;
    uint32_t blockRows_ = 0;
    uint32_t rowsLeft_ = 0;
};

int32_t TlaReader::ReadRecordHeader(uint16_t &type, uint32_t &length)
{
    BYTE header[kRecordHeaderBytes];
    if (int32_t error = ReadBody(header, sizeof(header)))
        return error;
    type = Le16(header + 1);
    length = Le32(header + 3);
    return 0;
}

int32_t TlaReader::ReadBody(BYTE *body, uint32_t length)
{
    if (!io_.ReadExact(body, length))
        return kImgFileRead;
    if (key_.present) {
        TlaCipher fresh;
        fresh.SetKey(key_.bytes, kTlaKeyBytes);
        fresh.Decipher(body, length);
    }
    return 0;
}

int32_t TlaReader::ReadFixedRecord(uint16_t type, BYTE *body, uint32_t length)
{
    uint16_t gotType = 0;
    uint32_t gotLength = 0;
    if (int32_t error = ReadRecordHeader(gotType, gotLength))
        return error;
    if (gotType != type || gotLength != length)
        return kImgBadTla;
    return ReadBody(body, length);
}

// A palette of one-byte files holds at most 256 colours: a larger count
// would overrun it.
int32_t TlaReader::ReadPalette()
{
    uint16_t type = 0;
    uint32_t length = 0;
    if (int32_t error = ReadRecordHeader(type, length))
        return error;
    if (type != kRecordPalette)
        return kImgBadTla;
    uint32_t stored = 0;
    if (bpp_ == 1) {
        if (colours_ > kFullPaletteEntries || length < colours_ * 4)
            return kImgBadTla;
        stored = colours_ * 4;
        if (int32_t error = ReadBody(palette_, stored))
            return error;
    }
    return SkipWithin(io_, length - stored) ? 0 : kImgFileRead;
}

// Each item becomes a record of the thread's list. Lengths come from the
// file, so none may reach past its end.
int32_t TlaReader::ReadMetadata()
{
    BYTE countBody[kCountBytes];
    if (int32_t error = ReadFixedRecord(kRecordMetadata, countBody, sizeof(countBody)))
        return error;
    const uint32_t count = Le16(countBody);
    LibThreadState *state = CurrentThreadState();
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t type = 0;
        uint32_t length = 0;
        if (int32_t error = ReadRecordHeader(type, length))
            return error;
        if (length > BytesLeft(io_))
            return kImgBadTla;
        std::unique_ptr<CFileDataTag> tag(new (std::nothrow) CFileDataTag());
        if (!tag)
            return kImgOutOfMemory;
        tag->data.resize(length);
        if (int32_t error = ReadBody(tag->data.data(), length))
            return error;
        state->tlaMetadata.Append(std::move(tag));
    }
    return 0;
}

int32_t TlaReader::Open(const char *password, RGBQUAD *palette, bool copyPalette)
{
    BYTE magic[sizeof(kMagicPlain)];
    if (!io_.ReadExact(magic, sizeof(magic)))
        return kImgFileRead;
    const bool enciphered = memcmp(magic, kMagicEnciphered, sizeof(magic)) == 0;
    if (!enciphered && memcmp(magic, kMagicPlain, sizeof(magic)) != 0)
        return kImgBadTla;
    key_ = DeriveTlaKey(enciphered ? password : "");
    if (key_.present)
        dataCipher_.SetKey(key_.bytes, kTlaKeyBytes);

    BYTE version[kVersionBytes];
    if (int32_t error = ReadFixedRecord(kRecordVersion, version, sizeof(version)))
        return error;
    if (Le16(version) != kSupportedVersion)
        return kImgBadTla;
    BYTE size[kSizeBytes];
    if (int32_t error = ReadFixedRecord(kRecordSize, size, sizeof(size)))
        return error;
    width_ = Le16(size);
    height_ = Le16(size + 2);
    bpp_ = Le16(size + 4);
    colours_ = Le16(size + 6);
    if (bpp_ < 1 || bpp_ > kMaxBytesPerPixel)
        return kImgBadTla;
    if (int32_t error = ReadPalette())
        return error;
    if (int32_t error = ReadMetadata())
        return error;
    if (copyPalette && palette)
        memcpy(palette, palette_, kFullPaletteBytes);
    return 0;
}

// The end of the file where record 103 stands passes: the first row then
// fails to read its block.
int32_t TlaReader::Prepare(uint32_t mode)
{
    if (mode == kModeIndex && bpp_ != 1)
        return kImgBadParam;
    mode_ = mode;
    BYTE header[kRecordHeaderBytes];
    if (io_.ReadExact(header, sizeof(header))) {
        if (key_.present) {
            TlaCipher fresh;
            fresh.SetKey(key_.bytes, kTlaKeyBytes);
            fresh.Decipher(header, sizeof(header));
        }
        if (Le16(header + 1) != kRecordSkipped)
            return kImgBadTla;
        if (!SkipWithin(io_, Le32(header + 3)))
            return kImgFileRead;
    }
    if (inflateInit(&z_) != Z_OK)
        return kImgDecompress;
    inflating_ = true;
    return 0;
}

// A block must inflate to exactly its rows and end its stream there:
// anything else is damage (or a wrong password) and is reported, not
// handed out as pixels.
int32_t TlaReader::NextBlock()
{
    BYTE body[kBlockBytes];
    if (int32_t error = ReadFixedRecord(kRecordBlock, body, sizeof(body)))
        return error;
    const uint32_t compressedLength = Le32(body);
    const uint32_t rows = Le16(body + 4);
    const uint16_t filters = Le16(body + 6);
    if (rows == 0)
        return kImgDecrypt;
    // A length no file of this size could hold is a bad file; one that only
    // runs past the end is a file cut short, and its read fails below.
    if (compressedLength > io_.Size())
        return kImgBadTla;
    const CheckedSize blockBytes = CheckedSize(width_) * CheckedSize(bpp_) * CheckedSize(rows);
    const CheckedSize blockCapacity = blockBytes + CheckedSize(1);
    if (!blockCapacity.Ok())
        return kImgOutOfMemory;
    if (compressedCapacity_ < compressedLength || !compressed_) {
        compressed_.reset(new (std::nothrow) BYTE[compressedLength ? compressedLength : 1]);
        compressedCapacity_ = compressed_ ? compressedLength : 0;
        if (!compressed_)
            return kImgOutOfMemory;
    }
    if (blockCapacity_ < blockCapacity.Value()) {
        block_.reset(new (std::nothrow) BYTE[blockCapacity.Value()]);
        blockCapacity_ = block_ ? blockCapacity.Value() : 0;
        if (!block_)
            return kImgOutOfMemory;
    }
    if (!io_.ReadExact(compressed_.get(), compressedLength))
        return kImgFileRead;
    if (key_.present)
        dataCipher_.Decipher(compressed_.get(), compressedLength);
    z_.next_in = compressed_.get();
    z_.avail_in = compressedLength;
    z_.next_out = block_.get();
    z_.avail_out = blockBytes.Value();
    const int result = inflate(&z_, Z_FINISH);
    const bool whole = result == Z_STREAM_END && z_.avail_out == 0;
    inflateReset(&z_);
    if (!whole)
        return kImgDecompress;
    UndoFilters(rows, filters);
    blockRows_ = rows;
    rowsLeft_ = rows;
    return 0;
}

void TlaReader::UndoFilters(uint32_t rows, uint16_t flags)
{
    const uint32_t n = width_ * bpp_;
    const uint32_t b = bpp_;
    BYTE *data = block_.get();
    if ((flags & kFilterPaeth) && rows >= 2) {
        for (uint32_t y = 1; y < rows; ++y) {
            BYTE *row = data + static_cast<size_t>(y) * n;
            const BYTE *above = row - n;
            for (uint32_t i = b; i < n; ++i)
                row[i] = static_cast<BYTE>(row[i] + PaethPredict(row[i - b], above[i], above[i - b]));
        }
    }
    if ((flags & kFilterUp) && rows >= 2) {
        for (uint32_t y = 1; y < rows; ++y) {
            BYTE *row = data + static_cast<size_t>(y) * n;
            const BYTE *above = row - n;
            for (uint32_t i = 0; i < n; ++i)
                row[i] = static_cast<BYTE>(row[i] + above[i]);
        }
    }
    if (flags & kFilterLeft) {
        for (uint32_t y = 0; y < rows; ++y) {
            BYTE *row = data + static_cast<size_t>(y) * n;
            for (uint32_t i = b; i < n; ++i)
                row[i] = static_cast<BYTE>(row[i] + row[i - b]);
        }
    }
}

void TlaReader::ConvertRow(const BYTE *in, BYTE *out) const
{
    const uint32_t outBytes = mode_;
    for (uint32_t x = 0; x < width_; ++x, in += bpp_, out += outBytes) {
        BYTE r, g, b, a;
        uint16_t v16 = 0;
        bool stored16 = false;
        switch (bpp_) {
        case 1: {
            const BYTE *entry = palette_ + 4 * in[0];
            b = entry[0];
            g = entry[1];
            r = entry[2];
            a = entry[3];
            if (mode_ == kMode16)
                a = a > kOpaqueAbove ? 255 : 0;
            break;
        }
        case 2:
            v16 = Le16(in);
            stored16 = true;
            r = static_cast<BYTE>((v16 >> 7) & 0xF8);
            g = static_cast<BYTE>((v16 >> 2) & 0xF8);
            b = static_cast<BYTE>((v16 & 31) * 8);
            a = (v16 & kAlphaBit) ? 255 : 0;
            break;
        case 3:
            r = in[0];
            g = in[1];
            b = in[2];
            a = 255;
            break;
        default:
            r = in[0];
            g = in[1];
            b = in[2];
            a = mode_ == kMode16 ? (in[3] > kOpaqueAbove ? 255 : 0) : in[3];
            break;
        }
        switch (mode_) {
        case kModeIndex:
            out[0] = in[0];
            break;
        case kMode16:
            PutLe16(out, stored16 ? v16 : Pack16(r, g, b, a != 0));
            break;
        case kModeRgb:
            out[0] = r;
            out[1] = g;
            out[2] = b;
            break;
        default:
            out[0] = r;
            out[1] = g;
            out[2] = b;
            out[3] = a;
            break;
        }
    }
}

int32_t TlaReader::ReadRow(BYTE *out)
{
    if (rowsLeft_ == 0)
        if (int32_t error = NextBlock())
            return error;
    const uint32_t index = blockRows_ - rowsLeft_;
    ConvertRow(block_.get() + static_cast<size_t>(index) * width_ * bpp_, out);
    --rowsLeft_;
    return 0;
}

// A DIB's depth follows the file: indices stay indices, 16-bit pixels keep
// their alpha bit as a fourth byte.
uint32_t DibMode(uint32_t bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1: return kModeIndex;
    case 3: return kModeRgb;
    default: return kModeRgba;
    }
}

BYTE *ReadTlaDib(TlaReader &reader, OperationContext &ctx)
{
    const uint32_t mode = DibMode(reader.BytesPerPixel());
    if (reader.Prepare(mode)) {
        ctx.Fail(kImgBadTla);
        return nullptr;
    }
    const uint32_t w = reader.Width();
    const uint32_t h = reader.Height();
    const uint32_t bits = mode * 8;
    const CheckedSize stride = PaddedRowBytes(w, bits);
    const CheckedSize table = CheckedSize(mode == kModeIndex ? kFullPaletteBytes : 0);
    const CheckedSize imageBytes = stride * CheckedSize(h);
    ImageBuffer out;
    if (!out.Allocate(CheckedSize(kDibInfoBytes) + table + imageBytes)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    PutDibHeader(out.Data(), w, h, bits, imageBytes.Value(), mode == kModeIndex ? kFullPaletteEntries : 0);
    if (mode == kModeIndex)
        memcpy(out.Data() + kDibInfoBytes, reader.Palette(), kFullPaletteBytes);
    RowPlacement rows{out.Data() + kDibInfoBytes + table.Value(), stride.Value(), h, true};
    RowProgress progress;
    for (uint32_t y = 0; y < h; ++y) {
        BYTE *row = rows.Row(y);
        if (int32_t error = reader.ReadRow(row)) {
            ctx.Fail(error);
            break;
        }
        if (mode != kModeIndex)
            for (uint32_t x = 0; x < w; ++x) {
                BYTE *p = row + static_cast<size_t>(x) * mode;
                const BYTE red = p[0];
                p[0] = p[2];
                p[2] = red;
            }
        if (!progress.Report(y, h, ctx))
            break;
    }
    return out.Release();
}

}  // namespace

BYTE *ReadTlaImage(CISIO &io, const char *password, uint32_t bytesPerPixel, RGBQUAD *palette, uint32_t flags,
                   uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    CurrentThreadState()->tlaMetadata.Clear();
    const bool asDib = (flags & kReadAsDib) != 0;
    if (!asDib && (bytesPerPixel < 1 || bytesPerPixel > kMaxBytesPerPixel)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    TlaReader reader(io);
    if (int32_t error = reader.Open(password, palette, !asDib && bytesPerPixel == kModeIndex)) {
        ctx.Fail(error);
        return nullptr;
    }
    BYTE *image = nullptr;
    if (asDib) {
        image = ReadTlaDib(reader, ctx);
    } else if (int32_t error = reader.Prepare(bytesPerPixel)) {
        ctx.Fail(error);
    } else {
        const uint32_t w = reader.Width();
        const uint32_t h = reader.Height();
        const CheckedSize rowBytes = CheckedSize(w) * CheckedSize(bytesPerPixel);
        ImageBuffer out;
        if (!out.Allocate(rowBytes * CheckedSize(h))) {
            ctx.Fail(kImgOutOfMemory);
            return nullptr;
        }
        RowProgress progress;
        for (uint32_t y = 0; y < h; ++y) {
            if (int32_t error = reader.ReadRow(out.Data() + static_cast<size_t>(y) * rowBytes.Value())) {
                ctx.Fail(error);
                break;
            }
            if (!progress.Report(y, h, ctx))
                break;
        }
        image = out.Release();
    }
    if (image) {
        width = reader.Width();
        height = reader.Height();
    }
    return image;
}

bool ReadTlaInfo(CISIO &io, const char *password, uint32_t &width, uint32_t &height, uint32_t &bits,
                 RGBQUAD *palette, uint32_t &colours, OperationContext &ctx)
{
    OperationScope scope;
    CurrentThreadState()->tlaMetadata.Clear();
    TlaReader reader(io);
    if (int32_t error = reader.Open(password, palette, true)) {
        ctx.Fail(error);
        return false;
    }
    width = reader.Width();
    height = reader.Height();
    bits = reader.BytesPerPixel() * 8;
    colours = reader.Colours();
    return true;
}

BYTE *ReadTLA(HISSRC source, uint32_t *width, uint32_t *height, const char *password, uint32_t bytesPerPixel,
              RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadTlaImage(io, password, bytesPerPixel, palette, flags, w, h, ctx);
    });
}

BOOL GetTLAInfo(HISSRC source, uint32_t *width, uint32_t *height, uint32_t *bits, const char *password,
                RGBQUAD *palette, uint32_t *colours)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        if (int32_t error = CheckStreamBlock(source)) {
            ctx.Fail(error);
            return FALSE;
        }
        if (!width || !height || !bits || !colours) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        CISIO io(source);
        return ReadTlaInfo(io, password, *width, *height, *bits, palette, *colours, ctx) ? TRUE : FALSE;
    });
}
