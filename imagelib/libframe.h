// The calling frame every entry point travels: the calling thread's state,
// the error slot a worker fills, the nesting depth that decides who reports
// progress, result buffers, and the catch that keeps exceptions inside.
#pragma once

#include "imagelib.h"
#include "checkedsize.h"
#include "codecsettings.h"

#include <cstddef>
#include <cstdint>
#include <new>

// Reader and writer settings kept per thread (the TIFF reader takes its
// alpha override from here).
struct ReaderSettings {
    int32_t quality = 75;
    int32_t mode = 1;
    int32_t alphaOverride = -1;
    int32_t reserved = -1;
    char text[64] = {0};
};

// One per thread that has called the library. Only its own thread touches
// it; the list of all states lives in the slot (libframe.cpp) under a lock.
struct LibThreadState {
    ProgressCallback callback = nullptr;
    int32_t depth = 0;
    uint32_t user = 0;
    double pngScreenGamma = 2.9;
    ReaderSettings settings;
    char versionText[16] = "IS 3.0.50.0";
    double drawOpacity = 1.0;
    int32_t lastError = 0;
    PngSettings png;
    JpegSettings jpeg;
    // The metadata items of the last TLA file opened on this thread.
    ISPtrVector<CFileDataTag> tlaMetadata;
};

// The calling thread's state, created on first use; null when it cannot be
// had (then entry points return 0 and GetLastImageError says 55).
LibThreadState *GetThreadState();
// The calling thread's state if it has one; never creates.
LibThreadState *CurrentThreadState();
void SetLastImageError(int32_t code);
// Number of states alive, for tests of create, release and re-create.
uint32_t LibStateCount();

// The worker's error slot. Workers fill it and return 0, or throw
// ImageFailure; the entry point stores it as the last error either way.
struct OperationContext {
    int32_t error = 0;

    void Fail(int32_t code)
    {
        if (error == 0)
            error = code;
    }
};

// Raised inside the library only; RunEntry turns it into the error slot.
struct ImageFailure {
    int32_t code;
};

[[noreturn]] inline void Throw(int32_t code) { throw ImageFailure{code}; }

// Raises the thread's nesting depth for as long as a worker runs, so that
// operations called inside another one stay quiet.
class OperationScope {
public:
    OperationScope();
    ~OperationScope();
    OperationScope(const OperationScope &) = delete;
    OperationScope &operator=(const OperationScope &) = delete;

private:
    LibThreadState *state_;
};

// The once-a-row progress rule: a callback noted at the start is called
// after each row while the depth is exactly 1.
class RowProgress {
public:
    RowProgress();
    // False when the callback answered zero: 14 is then in the slot.
    bool Report(uint32_t row, uint32_t rows, OperationContext &ctx);

private:
    LibThreadState *state_;
    bool noted_;
};

// A result buffer in GlobalAlloc memory (fixed, zero-filled). Freed with
// the holder unless handed to the caller with Release.
class ImageBuffer {
public:
    ImageBuffer() = default;
    ~ImageBuffer() { Free(); }
    ImageBuffer(const ImageBuffer &) = delete;
    ImageBuffer &operator=(const ImageBuffer &) = delete;

    // False for 0 bytes, sizes at or above the limit, or no memory.
    bool Allocate(CheckedSize bytes);
    // Keeps the old block when the new size cannot be had.
    bool Resize(CheckedSize bytes);
    void Free();
    BYTE *Release();

    BYTE *Data() const { return data_; }
    uint32_t Size() const { return size_; }

private:
    BYTE *data_ = nullptr;
    uint32_t size_ = 0;
};

// A zero-filled work buffer on the C++ heap, for row scratch space.
class WorkBuffer {
public:
    explicit WorkBuffer(CheckedSize bytes);
    ~WorkBuffer() { delete[] data_; }
    WorkBuffer(const WorkBuffer &) = delete;
    WorkBuffer &operator=(const WorkBuffer &) = delete;

    BYTE *Data() const { return data_; }
    uint32_t Size() const { return size_; }

private:
    BYTE *data_;
    uint32_t size_;
};

// The entry-point frame: no state, no call; otherwise run the work with a
// fresh error slot, keep every exception inside, and leave the slot as the
// thread's last error.
template <typename Result, typename Work>
Result RunEntry(Work &&work)
{
    LibThreadState *state = GetThreadState();
    if (!state)
        return Result{};
    OperationContext ctx;
    Result result{};
    try {
        result = work(ctx);
    } catch (const ImageFailure &failure) {
        ctx.error = failure.code;
        result = Result{};
    } catch (const std::bad_alloc &) {
        ctx.error = kImgOutOfMemory;
        result = Result{};
    } catch (...) {
        ctx.error = kImgUnexpected;
        result = Result{};
    }
    state->lastError = ctx.error;
    return result;
}

// a x (b / 255) truncated, for every byte pair: index b * 256 + a.
const uint8_t *ProductTable();

inline void SwapBytes16(uint16_t &value) { value = static_cast<uint16_t>((value >> 8) | (value << 8)); }

// Little-endian fields of file headers.
inline uint16_t Le16(const BYTE *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const BYTE *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(BYTE *p, uint32_t v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
inline void PutLe32(BYTE *p, uint32_t v)
{
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}
