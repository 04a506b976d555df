// Shared pieces of the GIF, PCX, PSD, TGA and WBMP readers: the workers the
// generic reader calls, the entry-point frame they share, packed-DIB
// headers, big-endian fields and bounded skips over file sections.
#pragma once

#include "isio.h"
#include "libframe.h"

#include <cstdint>

constexpr uint32_t kDibInfoBytes = 40;
constexpr uint32_t kFullPaletteEntries = 256;
constexpr uint32_t kFullPaletteBytes = kFullPaletteEntries * 4;
// The GIF reader's error has no text of its own in the library's table.
constexpr int32_t kImgBadGif = kImgNoText12;

inline uint16_t Be16(const BYTE *p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t Be32(const BYTE *p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// A 40-byte BITMAPINFOHEADER for a bottom-up DIB (colours important 0).
void PutDibHeader(BYTE *dib, uint32_t width, uint32_t height, uint32_t bits, uint32_t imageSize, uint32_t colours);

// Where image row y (0 the top row) lives in a result buffer: top-down
// rows, or the bottom-up rows of a DIB.
struct RowPlacement {
    BYTE *pixels;
    uint32_t rowBytes;
    uint32_t height;
    bool bottomUp;

    BYTE *Row(uint32_t y) const
    {
        return pixels + static_cast<size_t>(bottomUp ? height - 1 - y : y) * rowBytes;
    }
};

// Moves count bytes on; false, without moving, when fewer are left.
bool SkipWithin(CISIO &io, uint32_t count);
// Bytes from the position to the end of the source.
uint32_t BytesLeft(CISIO &io);

// Reads a source in blocks for readers that take a byte or a pixel at a
// time. It reads ahead, so the source's position is past what it gave.
class ByteReader {
public:
    static constexpr uint32_t kBlockBytes = 4096;

    explicit ByteReader(CISIO &io) : io_(io) {}

    bool Next(BYTE &b)
    {
        if (at_ == filled_ && !Fill())
            return false;
        b = buffer_[at_++];
        return true;
    }
    // All count bytes, or false (with those that came in out).
    bool Read(BYTE *out, uint32_t count);
    // The bytes read ahead and not yet given (refilled when none are left;
    // 0 once the source has ended), for a decoder's own tight loop; Take
    // then gives the first count of them.
    uint32_t Window(const BYTE *&data)
    {
        if (at_ == filled_ && !Fill())
            return 0;
        data = buffer_ + at_;
        return filled_ - at_;
    }
    void Take(uint32_t count) { at_ += count; }

private:
    bool Fill();

    CISIO &io_;
    BYTE buffer_[kBlockBytes];
    uint32_t filled_ = 0;
    uint32_t at_ = 0;
};

// The workers, on a source positioned at the file's start. Each may hand
// back rows with an error set (3 or 14) when it stopped inside its rows.
BYTE *ReadGifImage(CISIO &io, RGBQUAD *palette, int32_t &transparent, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx);
BYTE *ReadPcxImage(CISIO &io, uint32_t depth, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx);
BYTE *ReadTgaImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx);
BYTE *ReadPsdImage(CISIO &io, uint32_t bits, RGBQUAD *palette, uint32_t flags, uint32_t &width,
                   uint32_t &height, OperationContext &ctx);
BYTE *ReadWbmpImage(CISIO &io, RGBQUAD *palette, uint32_t bits, uint32_t flags, uint32_t &width,
                    uint32_t &height, OperationContext &ctx);
BYTE *ReadTlaImage(CISIO &io, const char *password, uint32_t bytesPerPixel, RGBQUAD *palette, uint32_t flags,
                   uint32_t &width, uint32_t &height, OperationContext &ctx);
BYTE *ReadPcdImage(CISIO &io, uint32_t level, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx);

// Header queries.
bool ReadTlaInfo(CISIO &io, const char *password, uint32_t &width, uint32_t &height, uint32_t &bits,
                 RGBQUAD *palette, uint32_t &colours, OperationContext &ctx);
bool ReadPcxHeaderInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &bits, OperationContext &ctx);
bool ReadTgaInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &depth, OperationContext &ctx);
bool ReadWbmpSize(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx);
// PSD resolution: unit 1 pixels per inch, 2 per centimetre, 0 unknown.
struct PsdResolution {
    uint32_t x;
    uint32_t y;
    uint32_t unit;
};
bool ReadPsdInfo(CISIO &io, uint32_t &width, uint32_t &height, uint32_t &mode, PsdResolution *resolution,
                 OperationContext &ctx);

// The frame of a reader's entry point: the source checked, the size
// pointers required, the sizes set only when an image comes back.
template <typename Work>
BYTE *RunReaderEntry(HISSRC source, uint32_t *width, uint32_t *height, Work &&work)
{
    return RunEntry<BYTE *>([&](OperationContext &ctx) -> BYTE * {
        if (int32_t error = CheckStreamBlock(source)) {
            ctx.Fail(error);
            return nullptr;
        }
        if (!width || !height) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        CISIO io(source);
        uint32_t w = 0;
        uint32_t h = 0;
        BYTE *image = work(io, w, h, ctx);
        if (image) {
            *width = w;
            *height = h;
        }
        return image;
    });
}
