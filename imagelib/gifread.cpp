// GIF reader: the first image of a GIF87a or GIF89a stream as palette
// indices (or an 8-bit DIB), with the transparent colour of its graphic
// control block. Animation, placement and disposal are not applied.
#include "readerkit.h"

#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kSignatureBytes = 6;
constexpr uint32_t kScreenBytes = 7;
constexpr uint32_t kDescriptorBytes = 9;
constexpr uint32_t kSubBlockBytes = 256;
constexpr uint32_t kTableEntries = 4096;
constexpr uint32_t kStackBytes = 8192;
// Above this the clear code reaches the 4096-entry tables.
constexpr uint32_t kMaxMinCodeSize = 11;
constexpr uint32_t kInterlacePasses = 4;
constexpr uint32_t kPassStart[kInterlacePasses] = {0, 4, 2, 1};
constexpr uint32_t kPassStep[kInterlacePasses] = {8, 8, 4, 2};

enum : BYTE {
    kExtensionIntroducer = 0x21,
    kImageSeparator = 0x2C,
    kLabelGraphicControl = 0xF9,
    kLabelApplication = 0xFF,
};
constexpr BYTE kColourTableFlag = 0x80;
constexpr BYTE kInterlaceFlag = 0x40;
constexpr BYTE kTransparencyFlag = 0x01;
constexpr char kLoopApplication[] = "NETSCAPE2.0";
constexpr uint32_t kLoopApplicationBytes = 11;

// Colours of a table in red, green and blue planes; zero past its size.
struct ColourMap {
    BYTE red[kFullPaletteEntries];
    BYTE green[kFullPaletteEntries];
    BYTE blue[kFullPaletteEntries];
};

// Reads 2 << sizeBits triples into the planes.
bool ReadColourMap(CISIO &io, BYTE sizeBits, ColourMap &map)
{
    const uint32_t entries = 2u << (sizeBits & 7);
    BYTE triples[kFullPaletteEntries * 3];
    if (!io.ReadExact(triples, entries * 3))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        map.red[i] = triples[3 * i];
        map.green[i] = triples[3 * i + 1];
        map.blue[i] = triples[3 * i + 2];
    }
    return true;
}

// One data sub-block into a buffer cleared first, so that a block shorter
// than its reader expects shows zeros rather than an older block's bytes.
// Returns its length; 0 for the terminator or a failed read.
uint32_t ReadSubBlock(CISIO &io, BYTE (&block)[kSubBlockBytes])
{
    memset(block, 0, sizeof(block));
    BYTE length;
    if (!io.ReadExact(&length, 1) || length == 0)
        return 0;
    return io.ReadExact(block, length) ? length : 0;
}

void SkipSubBlocks(CISIO &io)
{
    BYTE block[kSubBlockBytes];
    while (ReadSubBlock(io, block)) {
    }
}

struct GraphicControl {
    bool transparent = false;
    BYTE index = 0;
    uint16_t loopCount = 0;
};

void ReadExtension(CISIO &io, BYTE label, GraphicControl &control)
{
    BYTE block[kSubBlockBytes];
    if (label == kLabelGraphicControl) {
        if (ReadSubBlock(io, block)) {
            control.transparent = (block[0] & kTransparencyFlag) != 0;
            control.index = control.transparent ? block[3] : 0;
        }
    } else if (label == kLabelApplication) {
        if (ReadSubBlock(io, block) && memcmp(block, kLoopApplication, kLoopApplicationBytes) == 0 &&
            ReadSubBlock(io, block))
            control.loopCount = Le16(block + 1);
    }
    SkipSubBlocks(io);
}

// The LZW decoder over the image's data sub-blocks, one pixel a call.
class LzwDecoder {
public:
    LzwDecoder(CISIO &io, uint32_t minCodeSize) : io_(io), minCodeSize_(minCodeSize) { Reset(); }

    // The next pixel, or -1 once the data have ended.
    int Next()
    {
        if (ended_)
            return -1;
        if (fresh_) {
            fresh_ = false;
            return Start();
        }
        if (stackCount_)
            return stack_[--stackCount_];
        return Decode();
    }

private:
    void Reset()
    {
        clear_ = 1u << minCodeSize_;
        end_ = clear_ + 1;
        codeSize_ = minCodeSize_ + 1;
        next_ = clear_ + 2;
        limit_ = 2 * clear_;
        for (uint32_t i = 0; i < kTableEntries; ++i) {
            prefix_[i] = 0;
            suffix_[i] = i < clear_ ? static_cast<BYTE>(i) : 0;
        }
        stackCount_ = 0;
    }

    // The first code after a clear (further clears skipped) is a pixel of
    // its own and starts the next string.
    int Start()
    {
        int code;
        do
            code = Code();
        while (code == static_cast<int>(clear_));
        if (code < 0)
            return End();
        first_ = old_ = code;
        return code & 0xFF;
    }

    int End()
    {
        ended_ = true;
        return -1;
    }

    // The next code of codeSize_ bits, least significant bit first; -1 when
    // the sub-blocks end first.
    int Code()
    {
        while (bitCount_ < codeSize_) {
            if (blockAt_ == blockLength_ && !NextBlock())
                return -1;
            bits_ |= static_cast<uint32_t>(block_[blockAt_++]) << bitCount_;
            bitCount_ += 8;
        }
        int code = static_cast<int>(bits_ & ((1u << codeSize_) - 1));
        bits_ >>= codeSize_;
        bitCount_ -= codeSize_;
        return code;
    }

    bool NextBlock()
    {
        if (done_)
            return false;
        blockLength_ = ReadSubBlock(io_, block_);
        blockAt_ = 0;
        lastBlockEmpty_ = blockLength_ == 0;
        done_ = lastBlockEmpty_;
        return !done_;
    }

    bool Push(uint32_t value)
    {
        if (stackCount_ == kStackBytes)
            return false;
        stack_[stackCount_++] = static_cast<BYTE>(value);
        return true;
    }

    int Decode()
    {
        for (;;) {
            int read = Code();
            if (read < 0)
                return End();
            uint32_t code = static_cast<uint32_t>(read);
            if (code == clear_) {
                Reset();
                return Start();
            }
            if (code == end_) {
                if (!lastBlockEmpty_)
                    SkipSubBlocks(io_);
                return End();
            }
            const uint32_t incoming = code;
            if (code >= next_) {
                if (!Push(static_cast<uint32_t>(first_)))
                    return End();
                code = static_cast<uint32_t>(old_);
            }
            while (code >= clear_) {
                if (code >= kTableEntries || prefix_[code] == code || !Push(suffix_[code]))
                    return End();
                code = prefix_[code];
            }
            first_ = suffix_[code];
            // A full table ends the data: no entry is added past 4096.
            if (next_ >= kTableEntries || !Push(static_cast<uint32_t>(first_)))
                return End();
            prefix_[next_] = static_cast<uint16_t>(old_ & 0xFFF);
            suffix_[next_] = static_cast<BYTE>(first_);
            ++next_;
            if (next_ >= limit_ && limit_ < kTableEntries) {
                ++codeSize_;
                limit_ *= 2;
            }
            old_ = static_cast<int>(incoming);
            if (stackCount_)
                return stack_[--stackCount_];
        }
    }

    CISIO &io_;
    uint32_t minCodeSize_;
    uint32_t clear_ = 0;
    uint32_t end_ = 0;
    uint32_t codeSize_ = 0;
    uint32_t next_ = 0;
    uint32_t limit_ = 0;
    int first_ = 0;
    int old_ = 0;
    bool fresh_ = true;
    bool ended_ = false;
    bool done_ = false;
    bool lastBlockEmpty_ = false;
    BYTE block_[kSubBlockBytes] = {};
    uint32_t blockLength_ = 0;
    uint32_t blockAt_ = 0;
    uint32_t bits_ = 0;
    uint32_t bitCount_ = 0;
    uint16_t prefix_[kTableEntries];
    BYTE suffix_[kTableEntries];
    BYTE stack_[kStackBytes];
    uint32_t stackCount_ = 0;
};

// Rows in file order: plain 0, 1, 2 ... or the four interlace passes.
class RowOrder {
public:
    RowOrder(uint32_t height, bool interlaced) : height_(height), interlaced_(interlaced) { SkipEmptyPasses(); }

    bool Done() const { return pass_ >= (interlaced_ ? kInterlacePasses : 1) || (!interlaced_ && row_ >= height_); }
    uint32_t Row() const { return row_; }

    void Advance()
    {
        row_ += interlaced_ ? kPassStep[pass_] : 1;
        if (interlaced_ && row_ >= height_) {
            ++pass_;
            SkipEmptyPasses();
        }
    }

private:
    void SkipEmptyPasses()
    {
        if (!interlaced_)
            return;
        while (pass_ < kInterlacePasses && kPassStart[pass_] >= height_)
            ++pass_;
        if (pass_ < kInterlacePasses)
            row_ = kPassStart[pass_];
    }

    uint32_t height_;
    bool interlaced_;
    uint32_t pass_ = 0;
    uint32_t row_ = 0;
};

// Decodes the pixels into the rows; false when the progress callback
// stopped it (14 is then in the slot).
bool DecodePixels(LzwDecoder &lzw, const RowPlacement &rows, uint32_t width, bool interlaced,
                  OperationContext &ctx)
{
    RowProgress progress;
    uint32_t completed = 0;
    for (RowOrder order(rows.height, interlaced); !order.Done(); order.Advance()) {
        BYTE *row = rows.Row(order.Row());
        for (uint32_t x = 0; x < width; ++x) {
            int pixel = lzw.Next();
            if (pixel < 0)
                return true;
            row[x] = static_cast<BYTE>(pixel);
        }
        if (!progress.Report(++completed, rows.height, ctx))
            return false;
    }
    return true;
}

void BuildPalette(const ColourMap &map, const GraphicControl &control, RGBQUAD *palette)
{
    for (uint32_t i = 0; i < kFullPaletteEntries; ++i) {
        palette[i].rgbRed = map.red[i];
        palette[i].rgbGreen = map.green[i];
        palette[i].rgbBlue = map.blue[i];
        palette[i].rgbReserved = control.transparent && i == control.index ? 0 : 0xFF;
    }
}

// Blocks up to the image descriptor; false with 3 when the data end first.
bool FindImage(CISIO &io, GraphicControl &control, OperationContext &ctx)
{
    for (;;) {
        BYTE introducer;
        if (!io.ReadExact(&introducer, 1)) {
            ctx.Fail(kImgFileRead);
            return false;
        }
        if (introducer == kImageSeparator)
            return true;
        if (introducer != kExtensionIntroducer)
            continue;
        BYTE label;
        if (!io.ReadExact(&label, 1)) {
            ctx.Fail(kImgFileRead);
            return false;
        }
        ReadExtension(io, label, control);
    }
}

bool ReadScreen(CISIO &io, ColourMap &global, OperationContext &ctx)
{
    BYTE signature[kSignatureBytes];
    BYTE screen[kScreenBytes];
    if (!io.ReadExact(signature, sizeof(signature)) || memcmp(signature, "GIF", 3) != 0 ||
        (memcmp(signature + 3, "87a", 3) != 0 && memcmp(signature + 3, "89a", 3) != 0) ||
        !io.ReadExact(screen, sizeof(screen)) ||
        ((screen[4] & kColourTableFlag) && !ReadColourMap(io, screen[4], global))) {
        ctx.Fail(kImgBadGif);
        return false;
    }
    return true;
}

}  // namespace

BYTE *ReadGifImage(CISIO &io, RGBQUAD *palette, int32_t &transparent, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx)
{
    OperationScope scope;
    const bool asDib = (flags & kReadAsDib) != 0;
    ColourMap global = {};
    GraphicControl control;
    BYTE descriptor[kDescriptorBytes];
    if (!ReadScreen(io, global, ctx) || !FindImage(io, control, ctx))
        return nullptr;
    if (!io.ReadExact(descriptor, sizeof(descriptor))) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    const uint32_t w = Le16(descriptor + 4);
    const uint32_t h = Le16(descriptor + 6);
    const BYTE packed = descriptor[8];
    const CheckedSize rowBytes = asDib ? PaddedRowBytes(w, 8) : CheckedSize(w);
    const CheckedSize header = asDib ? CheckedSize(kDibInfoBytes + kFullPaletteBytes) : CheckedSize(0);
    ImageBuffer out;
    if (!out.Allocate(header + rowBytes * CheckedSize(h))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    ColourMap local = {};
    const bool hasLocal = (packed & kColourTableFlag) != 0;
    if (hasLocal && !ReadColourMap(io, packed, local)) {
        ctx.Fail(kImgBadGif);
        return nullptr;
    }
    BYTE minCodeSize;
    if (!io.ReadExact(&minCodeSize, 1)) {
        ctx.Fail(kImgFileRead);
    } else if (minCodeSize > kMaxMinCodeSize) {
        ctx.Fail(kImgBadGif);
        return nullptr;
    } else {
        // Its tables are too large for the stack of a worker thread.
        auto lzw = std::make_unique<LzwDecoder>(io, minCodeSize);
        RowPlacement rows{out.Data() + header.Value(), rowBytes.Value(), h, asDib};
        DecodePixels(*lzw, rows, w, (packed & kInterlaceFlag) != 0, ctx);
    }
    RGBQUAD colours[kFullPaletteEntries];
    BuildPalette(hasLocal ? local : global, control, colours);
    if (asDib) {
        PutDibHeader(out.Data(), w, h, 8, rowBytes.Value() * h, kFullPaletteEntries);
        memcpy(out.Data() + kDibInfoBytes, colours, kFullPaletteBytes);
    } else if (palette) {
        memcpy(palette, colours, kFullPaletteBytes);
    }
    width = w;
    height = h;
    transparent = control.transparent ? control.index : -1;
    return out.Release();
}

BYTE *ReadGIF(HISSRC source, uint32_t *width, uint32_t *height, int32_t *transparent, RGBQUAD *palette,
              uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        int32_t index = -1;
        BYTE *image = ReadGifImage(io, palette, index, flags, w, h, ctx);
        if (image && transparent)
            *transparent = index;
        return image;
    });
}
