// Every size, count and offset that comes from a file goes through
// CheckedSize before it is used. It computes in 64 bits and refuses anything
// at or above the image-buffer limit, so a 32-bit wrap-around can never hand
// a short buffer to a row loop, and the i686 program and a 64-bit sanitizer
// build take the same decisions.
#pragma once

#include <cstdint>

// GlobalAlloc requests of this size or more are refused outright. Fuzz
// builds set a lower limit so that the fuzzer stays inside its memory.
#ifdef WYN_IMAGE_SIZE_LIMIT
constexpr uint64_t kImageSizeLimit = WYN_IMAGE_SIZE_LIMIT;
#else
constexpr uint64_t kImageSizeLimit = 0x7FFDEFFF;
#endif

class CheckedSize {
public:
    constexpr CheckedSize(uint64_t value = 0) : value_(value), ok_(value < kImageSizeLimit) {}

    // Operands below the limit (< 2^31) cannot overflow 64 bits.
    constexpr CheckedSize operator*(CheckedSize other) const
    {
        return Combine(other, ok_ && other.ok_ ? value_ * other.value_ : 0);
    }
    constexpr CheckedSize operator+(CheckedSize other) const
    {
        return Combine(other, ok_ && other.ok_ ? value_ + other.value_ : 0);
    }
    // Rounds up to a multiple of four (row padding of BMP files and DIBs).
    constexpr CheckedSize RoundUp4() const { return Combine(*this, ok_ ? (value_ + 3) / 4 * 4 : 0); }
    // A count of bits as whole bytes, rounded up.
    constexpr CheckedSize BitsToBytes() const { return Combine(*this, ok_ ? (value_ + 7) / 8 : 0); }

    constexpr bool Ok() const { return ok_; }
    // Only meaningful when Ok(); then it fits 32 bits.
    constexpr uint32_t Value() const { return ok_ ? static_cast<uint32_t>(value_) : 0; }

private:
    constexpr CheckedSize Combine(CheckedSize other, uint64_t value) const
    {
        CheckedSize r(value);
        r.ok_ = r.ok_ && ok_ && other.ok_;
        return r;
    }

    uint64_t value_;
    bool ok_;
};

// Bytes of a row of width pixels of the given bit count, unpadded.
constexpr CheckedSize PackedRowBytes(uint64_t width, uint32_t bits)
{
    return (CheckedSize(width) * CheckedSize(bits)).BitsToBytes();
}

// The same row padded to a multiple of four bytes, as BMP files and DIBs
// store it.
constexpr CheckedSize PaddedRowBytes(uint64_t width, uint32_t bits)
{
    return PackedRowBytes(width, bits).RoundUp4();
}
