// Photo CD reader: the base image from its luma and subsampled chroma
// planes, enlarged by doubling, the Huffman-coded residual layers of the
// higher levels, Photo YCC to RGB through the tone table, and the turn
// that sets the picture upright.
#include "imageops.h"
#include "dib.h"
#include "pcdformat.h"
#include "readerkit.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr uint32_t kSectorBytes = 2048;
constexpr uint32_t kHeadBytes = 3 * kSectorBytes;
constexpr uint32_t kMarkOffset = 2048;
constexpr uint32_t kOrientationOffset = 3586;
constexpr char kOverviewMark[] = "PCD_OPA";
constexpr char kImageMark[] = "PCD";
constexpr uint32_t kMinLevel = 1;
constexpr uint32_t kMaxLevel = 6;
constexpr uint32_t kBaseLevel = 3;
// Sectors from the end of the head to each base level's data.
constexpr uint32_t kBaseSkipSectors[kBaseLevel + 1] = {0, 1, 20, 93};
constexpr uint32_t kLevel4Gap = 8192;
constexpr uint32_t kLevel5SectorGap = 12;
constexpr uint32_t kLevel4Rows = 1024;
constexpr uint32_t kLevel5Rows = 2048;
// Above this output width a residual stream carries a table per plane.
constexpr uint32_t kOneTableWidth = 1536;
constexpr uint32_t kLevel1Width = 192;
constexpr uint32_t kLevel1Height = 128;

constexpr uint32_t kSyncBits = 24;
constexpr uint32_t kSyncPattern = 0xFFFFFE;
constexpr uint32_t kRowHeaderBits = 16;
constexpr uint32_t kMaxCodeBits = 16;
constexpr uint32_t kMaxTables = 3;
constexpr uint32_t kPlaneLuma = 0;
constexpr uint32_t kPlaneInvalid = 1;
constexpr uint32_t kPlaneChroma1 = 2;

constexpr int kToneTop = 350;
constexpr BYTE kTone[kToneTop + 1] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,
    22,  23,  24,  25,  26,  27,  28,  29,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,
    43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  65,
    66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,
    88,  89,  90,  91,  92,  93,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110,
    111, 112, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133,
    135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156,
    157, 158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 175, 176, 177,
    178, 179, 180, 181, 182, 183, 184, 185, 186, 187, 187, 188, 189, 190, 191, 192, 193, 194, 194, 195, 196, 197,
    198, 199, 199, 200, 201, 202, 203, 203, 204, 205, 206, 207, 207, 208, 209, 210, 210, 211, 212, 213, 213, 214,
    215, 215, 216, 217, 218, 218, 219, 220, 220, 221, 222, 222, 223, 223, 224, 225, 225, 226, 227, 227, 228, 228,
    229, 229, 230, 230, 231, 232, 232, 233, 233, 234, 234, 235, 235, 235, 236, 236, 237, 237, 238, 238, 238, 239,
    239, 240, 240, 240, 241, 241, 242, 242, 242, 243, 243, 243, 243, 244, 244, 244, 245, 245, 245, 245, 246, 246,
    246, 247, 247, 247, 247, 247, 248, 248, 248, 248, 249, 249, 249, 249, 249, 249, 250, 250, 250, 250, 250, 250,
    251, 251, 251, 251, 251, 251, 252, 252, 252, 252, 252, 252, 252, 252, 252, 253, 253, 253, 253, 253, 253, 253,
    253, 253, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 255, 255, 255, 255, 255, 255, 255,
};

// Bits of the source, most significant first, read through a buffer; it
// knows the offset of every byte it hands out.
class BitReader {
public:
    explicit BitReader(CISIO &io) : io_(io), start_(io.Tell()) {}

    // Up to 24 bits without consuming them; false when fewer are left.
    bool Peek(uint32_t count, uint32_t &value)
    {
        while (bitsHeld_ < count)
            if (!Load())
                return false;
        value = static_cast<uint32_t>(window_ >> (bitsHeld_ - count)) & ((1u << count) - 1);
        return true;
    }
    void Skip(uint32_t count)
    {
        bitsHeld_ -= count;
        consumedBits_ += count;
    }
    bool Byte(BYTE &b)
    {
        uint32_t v;
        if (!Peek(8, v))
            return false;
        Skip(8);
        b = static_cast<BYTE>(v);
        return true;
    }
    // The offset of the first byte not wholly consumed.
    uint32_t End() const { return start_ + static_cast<uint32_t>((consumedBits_ + 7) / 8); }

private:
    bool Load()
    {
        if (at_ == filled_) {
            filled_ = io_.Read(buffer_, sizeof(buffer_));
            at_ = 0;
            if (!filled_)
                return false;
        }
        window_ = (window_ << 8) | buffer_[at_++];
        bitsHeld_ += 8;
        return true;
    }

    CISIO &io_;
    uint32_t start_;
    BYTE buffer_[4096];
    uint32_t filled_ = 0;
    uint32_t at_ = 0;
    uint64_t window_ = 0;
    uint32_t bitsHeld_ = 0;
    uint64_t consumedBits_ = 0;
};

struct CodeEntry {
    uint32_t length;
    uint32_t code;  // the code's bits, right-aligned
    int32_t value;
};

struct CodeTable {
    uint32_t count = 0;
    CodeEntry entries[256];
};

enum class TableRead { kRead, kEnd, kInvalid };

TableRead ReadTable(BitReader &bits, CodeTable &table)
{
    BYTE count;
    if (!bits.Byte(count))
        return TableRead::kEnd;
    table.count = count + 1u;
    for (uint32_t i = 0; i < table.count; ++i) {
        BYTE raw[4];
        for (BYTE &b : raw)
            if (!bits.Byte(b))
                return TableRead::kEnd;
        const uint32_t length = raw[0] + 1u;
        if (length > kMaxCodeBits)
            return TableRead::kInvalid;
        table.entries[i] = {length, static_cast<uint32_t>((raw[1] << 8) | raw[2]) >> (kMaxCodeBits - length),
                            static_cast<int8_t>(raw[3])};
    }
    return TableRead::kRead;
}

// Moves on to just behind the next sync marker; false at the end.
bool FindSync(BitReader &bits)
{
    uint32_t v;
    while (bits.Peek(kSyncBits, v)) {
        if (v == kSyncPattern) {
            bits.Skip(kSyncBits);
            return true;
        }
        bits.Skip(1);
    }
    return false;
}

const CodeEntry *MatchCode(BitReader &bits, const CodeTable &table)
{
    for (uint32_t i = 0; i < table.count; ++i) {
        const CodeEntry &e = table.entries[i];
        uint32_t v;
        if (bits.Peek(e.length, v) && v == e.code)
            return &e;
    }
    return nullptr;
}

BYTE AddClamped(BYTE pixel, int32_t delta)
{
    const int32_t v = pixel + delta;
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Spreads a w x h plane to 2w x 2h in place (rows stride apart): each row
// widened by averaging neighbours, then the rows between made from the
// rows above and below.
void DoublePlane(BYTE *plane, uint32_t stride, uint32_t w, uint32_t h, BYTE *scratch)
{
    for (uint32_t y = h; y-- > 0;) {
        memcpy(scratch, plane + static_cast<size_t>(y) * stride, w);
        BYTE *out = plane + static_cast<size_t>(2 * y) * stride;
        for (uint32_t x = 0; x + 1 < w; ++x) {
            out[2 * x] = scratch[x];
            out[2 * x + 1] = static_cast<BYTE>((scratch[x] + scratch[x + 1] + 1) / 2);
        }
        out[2 * w - 2] = out[2 * w - 1] = scratch[w - 1];
    }
    const uint32_t w2 = 2 * w;
    for (uint32_t y = 0; y + 1 < h; ++y) {
        const BYTE *a = plane + static_cast<size_t>(2 * y) * stride;
        const BYTE *b = a + 2 * static_cast<size_t>(stride);
        BYTE *out = plane + static_cast<size_t>(2 * y + 1) * stride;
        for (uint32_t x = 0; x + 2 < w2; x += 2) {
            out[x] = static_cast<BYTE>((a[x] + b[x] + 1) / 2);
            out[x + 1] = static_cast<BYTE>((a[x] + b[x] + a[x + 2] + b[x + 2] + 2) / 4);
        }
        out[w2 - 2] = static_cast<BYTE>((a[w2 - 2] + b[w2 - 2] + 1) / 2);
        out[w2 - 1] = static_cast<BYTE>((a[w2 - 1] + b[w2 - 1] + 1) / 2);
    }
    memcpy(plane + static_cast<size_t>(2 * h - 1) * stride, plane + static_cast<size_t>(2 * h - 2) * stride, w2);
}

struct LevelSize {
    uint32_t width;
    uint32_t height;
};

LevelSize SizeOfLevel(uint32_t level)
{
    return {kLevel1Width << (level - 1), kLevel1Height << (level - 1)};
}

class PcdImage {
public:
    PcdImage(CISIO &io, OperationContext &ctx) : io_(io), ctx_(ctx) {}

    BYTE *Read(uint32_t level, uint32_t flags, uint32_t &width, uint32_t &height);

private:
    bool ReadHead(uint32_t &orientation);
    bool AllocatePlanes(LevelSize size);
    bool ReadBase(LevelSize base);
    void DoubleAll(LevelSize from, bool luma);
    bool AddResiduals(uint32_t level, LevelSize final);
    BYTE *ToRgb(LevelSize size);
    bool Convert(BYTE *rgb, LevelSize size);

    CISIO &io_;
    OperationContext &ctx_;
    std::unique_ptr<BYTE[]> storage_;
    std::unique_ptr<BYTE[]> scratch_;
    PcdPlanes planes_;
};

bool PcdImage::ReadHead(uint32_t &orientation)
{
    WorkBuffer head{CheckedSize(kHeadBytes)};
    if (!head.Data()) {
        ctx_.Fail(kImgOutOfMemory);
        return false;
    }
    if (!io_.ReadExact(head.Data(), kHeadBytes)) {
        ctx_.Fail(kImgBadPhotoCd);
        return false;
    }
    if (memcmp(head.Data(), kOverviewMark, sizeof(kOverviewMark) - 1) == 0) {
        ctx_.Fail(kImgPhotoCdIndex);
        return false;
    }
    if (memcmp(head.Data() + kMarkOffset, kImageMark, sizeof(kImageMark) - 1) != 0) {
        ctx_.Fail(kImgBadPhotoCd);
        return false;
    }
    orientation = head.Data()[kOrientationOffset] & 3;
    return true;
}

bool PcdImage::AllocatePlanes(LevelSize size)
{
    const CheckedSize plane = CheckedSize(size.width) * CheckedSize(size.height) + CheckedSize(1);
    const CheckedSize all = plane * CheckedSize(3);
    if (!all.Ok() || !(CheckedSize(size.width) * CheckedSize(size.height) * CheckedSize(6)).Ok()) {
        ctx_.Fail(kImgOutOfMemory);
        return false;
    }
    storage_.reset(new (std::nothrow) BYTE[all.Value()]());
    scratch_.reset(new (std::nothrow) BYTE[size.width]);
    if (!storage_ || !scratch_) {
        ctx_.Fail(kImgOutOfMemory);
        return false;
    }
    planes_.luma = storage_.get();
    planes_.chroma1 = planes_.luma + plane.Value();
    planes_.chroma2 = planes_.chroma1 + plane.Value();
    planes_.stride = size.width;
    planes_.planeBytes = plane.Value();
    return true;
}

bool PcdImage::ReadBase(LevelSize base)
{
    ByteReader in(io_);
    const uint32_t half = base.width / 2;
    for (uint32_t g = 0; g < base.height / 2; ++g) {
        BYTE *luma = planes_.luma + static_cast<size_t>(2 * g) * planes_.stride;
        const size_t chromaRow = static_cast<size_t>(g) * planes_.stride;
        if (!in.Read(luma, base.width) || !in.Read(luma + planes_.stride, base.width) ||
            !in.Read(planes_.chroma1 + chromaRow, half) || !in.Read(planes_.chroma2 + chromaRow, half)) {
            ctx_.Fail(kImgFileRead);
            return false;
        }
    }
    return true;
}

// from: the luma size; the chroma planes are half of it.
void PcdImage::DoubleAll(LevelSize from, bool luma)
{
    if (luma)
        DoublePlane(planes_.luma, planes_.stride, from.width, from.height, scratch_.get());
    DoublePlane(planes_.chroma1, planes_.stride, from.width / 2, from.height / 2, scratch_.get());
    DoublePlane(planes_.chroma2, planes_.stride, from.width / 2, from.height / 2, scratch_.get());
}

// A residual stream that is missing (the file ends before it) leaves the
// enlarged base as it is.
bool PcdImage::AddResiduals(uint32_t level, LevelSize final)
{
    const uint32_t tables = final.width > kOneTableWidth ? kMaxTables : 1;
    uint32_t position = io_.Tell() + kLevel4Gap;
    uint32_t rows = kLevel4Rows;
    LevelSize pass = SizeOfLevel(kBaseLevel);
    for (uint32_t l = kBaseLevel + 1; l <= level && l <= 5; ++l) {
        DoubleAll(pass, true);
        pass = {pass.width * 2, pass.height * 2};
        uint32_t end = position;
        if (position < io_.Size()) {
            if (!io_.Seek(static_cast<int32_t>(position), kSeekSet)) {
                ctx_.Fail(kImgFileRead);
                return false;
            }
            if (int32_t error = DecodePcdResidual(io_, planes_, pass.width, rows, tables, end)) {
                ctx_.Fail(error);
                return false;
            }
        }
        position = (end / kSectorBytes + kLevel5SectorGap) * kSectorBytes;
        rows = kLevel5Rows;
    }
    if (level == kMaxLevel)
        DoubleAll(pass, true);
    return true;
}

bool PcdImage::Convert(BYTE *rgb, LevelSize size)
{
    double luma[256], red[256], green1[256], green2[256], blue[256];
    for (int i = 0; i < 256; ++i) {
        luma[i] = 1.402 * i;
        red[i] = 1.88 * (i - 137);
        green1[i] = -0.444066 * (i - 156);
        green2[i] = -0.95692 * (i - 137);
        blue[i] = 2.289 * (i - 156);
    }
    auto tone = [](double v) -> BYTE {
        if (!(v >= 0))
            return kTone[0];
        return kTone[v > kToneTop ? kToneTop : static_cast<int>(v)];
    };
    RowProgress progress;
    for (uint32_t y = 0; y < size.height; ++y) {
        BYTE *row = rgb + static_cast<size_t>(y) * size.width * 3;
        for (uint32_t x = 0; x < size.width; ++x) {
            BYTE *p = row + 3 * x;
            const BYTE Y = p[0], c1 = p[1], c2 = p[2];
            p[0] = tone(luma[Y] + red[c2]);
            p[1] = tone(luma[Y] + green1[c1] + green2[c2]);
            p[2] = tone(luma[Y] + blue[c1]);
        }
        if (!progress.Report(y, size.height, ctx_))
            return false;
    }
    return true;
}

BYTE *PcdImage::ToRgb(LevelSize size)
{
    ImageBuffer rgb;
    if (!rgb.Allocate(CheckedSize(size.width) * CheckedSize(size.height) * CheckedSize(3))) {
        ctx_.Fail(kImgOutOfMemory);
        return nullptr;
    }
    BYTE *out = rgb.Data();
    for (uint32_t y = 0; y < size.height; ++y) {
        const size_t at = static_cast<size_t>(y) * planes_.stride;
        for (uint32_t x = 0; x < size.width; ++x, out += 3) {
            out[0] = planes_.luma[at + x];
            out[1] = planes_.chroma1[at + x];
            out[2] = planes_.chroma2[at + x];
        }
    }
    return rgb.Release();
}

BYTE *PcdImage::Read(uint32_t level, uint32_t flags, uint32_t &width, uint32_t &height)
{
    level = level < kMinLevel ? kMinLevel : level > kMaxLevel ? kMaxLevel : level;
    uint32_t orientation = 0;
    if (!ReadHead(orientation))
        return nullptr;
    const LevelSize final = SizeOfLevel(level);
    const uint32_t baseLevel = level < kBaseLevel ? level : kBaseLevel;
    const LevelSize base = SizeOfLevel(baseLevel);
    if (!AllocatePlanes(final))
        return nullptr;
    if (!SkipBytes(io_, kBaseSkipSectors[baseLevel] * kSectorBytes)) {
        ctx_.Fail(kImgFileRead);
        return nullptr;
    }
    if (!ReadBase(base))
        return nullptr;
    if (level > kBaseLevel && !AddResiduals(level, final))
        return nullptr;
    // The chroma planes from half to full size.
    DoubleAll(final, false);
    BYTE *rgb = ToRgb(final);
    storage_.reset();
    if (!rgb)
        return nullptr;
    struct Holder {
        BYTE *p;
        ~Holder() { GlobalFree(p); }
    } holder{rgb};
    if (!Convert(rgb, final))
        return nullptr;
    LevelSize out = final;
    if (orientation) {
        static const uint32_t kTurns[4] = {0, kTurnCounterClockwise, kTurnHalf, kTurnClockwise};
        const uint32_t mode = kTurns[orientation];
        OperationScope inner;
        if (!TurnBytesInPlace(rgb, final.width, final.height, mode, 3, ctx_))
            return nullptr;
        if (mode != kTurnHalf)
            out = {final.height, final.width};
    }
    width = out.width;
    height = out.height;
    if (flags & kReadAsDib) {
        BYTE *dib = RgbToDib(rgb, out.width, out.height, ctx_);
        if (!dib)
            ctx_.Fail(kImgOutOfMemory);
        return dib;
    }
    holder.p = nullptr;
    return rgb;
}

}  // namespace

int32_t DecodePcdResidual(CISIO &io, PcdPlanes &planes, uint32_t width, uint32_t rows, uint32_t tables,
                          uint32_t &end)
{
    BitReader bits(io);
    CodeTable table[kMaxTables];
    end = bits.End();
    for (uint32_t t = 0; t < tables && t < kMaxTables; ++t) {
        switch (ReadTable(bits, table[t])) {
        case TableRead::kRead: break;
        case TableRead::kEnd: end = bits.End(); return 0;
        case TableRead::kInvalid: return kImgBadPhotoCd;
        }
    }
    BYTE *row = nullptr;
    const CodeTable *rowTable = nullptr;
    uint32_t column = 0;
    uint32_t rowWidth = 0;
    for (;;) {
        uint32_t v;
        const bool atSync = bits.Peek(kSyncBits, v) && v == kSyncPattern;
        if (!atSync && row) {
            const CodeEntry *e = MatchCode(bits, *rowTable);
            if (e) {
                row[column] = AddClamped(row[column], e->value);
                bits.Skip(e->length);
                if (++column < rowWidth)
                    continue;
            }
            // An unknown code, or a row that has all its pixels: the rest
            // until the next marker cannot belong to this row.
            row = nullptr;
        }
        if (!FindSync(bits))
            break;
        uint32_t header;
        if (!bits.Peek(kRowHeaderBits, header))
            break;
        bits.Skip(kRowHeaderBits);
        const uint32_t plane = header >> 14;
        const uint32_t number = (header >> 1) & 0x1FFF;
        if (plane == kPlaneInvalid)
            return kImgBadPhotoCd;
        // Row numbers come from the file: one past the pass ends it.
        if (number >= rows)
            break;
        const uint32_t tableIndex = plane == kPlaneLuma ? 0 : plane - 1;
        if (tableIndex >= tables)
            continue;
        rowTable = &table[tableIndex];
        column = 0;
        if (plane == kPlaneLuma) {
            row = planes.luma + static_cast<size_t>(number) * planes.stride;
            rowWidth = width;
        } else {
            row = (plane == kPlaneChroma1 ? planes.chroma1 : planes.chroma2) +
                  static_cast<size_t>(number / 2) * planes.stride;
            rowWidth = width / 2;
        }
    }
    end = bits.End();
    return 0;
}

BYTE *ReadPcdImage(CISIO &io, uint32_t level, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx)
{
    OperationScope scope;
    PcdImage image(io, ctx);
    return image.Read(level, flags, width, height);
}

BYTE *ReadPCD(HISSRC source, uint32_t *width, uint32_t *height, uint32_t level, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadPcdImage(io, level, flags, w, h, ctx);
    });
}
