// Row routines shared by the readers, the bitmap conversions and the image
// operations. Palettes handed to them always have 256 entries (zero-filled
// past the file's colours), so an index can never reach past the table.
#pragma once

#include "libframe.h"

#include <cstdint>

// Bit i set (1, 2, 4 ... 128).
extern const BYTE kSingleBitMask[8];
// Each byte with its eight bits in reverse order.
extern const BYTE kBitReversal[256];

// Converts one row of count pixels of 1, 4, 8, 16, 24 or 32 bits into red,
// green, blue (and a fourth byte with addFourth: the constant, or the
// source's own for 32-bit pixels). masks: null, or red, green and blue
// bit-field masks for 16 and 32-bit pixels.
void RowToRgb(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits, const RGBQUAD *palette,
              const uint32_t *masks, bool addFourth, BYTE fourth);

// 1, 4 or 8-bit packed indices to one byte a pixel.
void UnpackToBytes(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits);
// 2-bit indices to 4-bit nibbles (bits 4: a copy of count bytes).
void Repack2To4(const BYTE *src, BYTE *dst, uint32_t count, uint32_t bits);

// One byte a pixel to a continuous most-significant-first bit stream.
bool PackBits(const BYTE *src, uint32_t width, uint32_t height, uint32_t srcRowBytes, BYTE *dst, uint32_t bits,
              OperationContext &ctx);
// The reverse: width x height values from a continuous bit stream.
bool UnpackBits(const BYTE *src, uint32_t width, uint32_t height, uint32_t bits, BYTE *dst, OperationContext &ctx);

bool FlipRows(BYTE *pixels, uint32_t rowBytes, uint32_t height, OperationContext &ctx);
bool MirrorRows(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                OperationContext &ctx);
bool MirrorRows16(BYTE *pixels, uint32_t width, uint32_t height, uint32_t samplesPerPixel, uint32_t rowBytes,
                  OperationContext &ctx);
bool MirrorRows1Bit(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, OperationContext &ctx);

// Packed bottom-up blue-green-red rows to top-down rows of destRowBytes,
// red first unless keepOrder. Returns 0 or 5.
int32_t BottomUpBgrToTopDownRgb(const BYTE *src, BYTE *dst, uint32_t width, uint32_t height, uint32_t destRowBytes,
                                bool keepOrder);

void SwapRedBlue(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel);

// Growable work buffer: resizing to the same count keeps the block; on
// failure the pointer is null and the count 0.
template <typename T>
class GrowBuffer {
public:
    GrowBuffer() = default;
    ~GrowBuffer() { delete[] data_; }
    GrowBuffer(const GrowBuffer &) = delete;
    GrowBuffer &operator=(const GrowBuffer &) = delete;

    bool Resize(uint32_t count)
    {
        if (count == count_ && data_)
            return true;
        delete[] data_;
        data_ = new (std::nothrow) T[count ? count : 1]();
        count_ = data_ ? count : 0;
        return data_ != nullptr;
    }
    T *Data() const { return data_; }
    uint32_t Count() const { return count_; }

private:
    T *data_ = nullptr;
    uint32_t count_ = 0;
};
