// Shared pieces of the GIF, PCX, PSD, TGA and WBMP readers.
#include "readerkit.h"

#include <climits>
#include <cstring>

void PutDibHeader(BYTE *dib, uint32_t width, uint32_t height, uint32_t bits, uint32_t imageSize, uint32_t colours)
{
    memset(dib, 0, kDibInfoBytes);
    PutLe32(dib, kDibInfoBytes);
    PutLe32(dib + 4, width);
    PutLe32(dib + 8, height);
    PutLe16(dib + 12, 1);
    PutLe16(dib + 14, bits);
    PutLe32(dib + 20, imageSize);
    PutLe32(dib + 32, colours);
}

uint32_t BytesLeft(CISIO &io)
{
    const uint32_t here = io.Tell();
    const uint32_t size = io.Size();
    return size > here ? size - here : 0;
}

// A file source would seek past its end without complaint; the bytes left
// decide instead, so a length from a file can never move beyond it.
bool SkipWithin(CISIO &io, uint32_t count)
{
    if (count == 0)
        return true;
    const uint32_t left = BytesLeft(io);
    if (count > left || count > INT32_MAX)
        return false;
    // A memory source refuses a seek to its end by offset; from the end it
    // is allowed.
    if (count == left)
        return io.Seek(0, kSeekEnd);
    return io.Seek(static_cast<int32_t>(count), kSeekCur);
}

bool ByteReader::Fill()
{
    filled_ = io_.Read(buffer_, sizeof(buffer_));
    at_ = 0;
    return filled_ != 0;
}

bool ByteReader::Read(BYTE *out, uint32_t count)
{
    while (count) {
        if (at_ == filled_ && !Fill())
            return false;
        uint32_t n = filled_ - at_;
        if (n > count)
            n = count;
        memcpy(out, buffer_ + at_, n);
        at_ += n;
        out += n;
        count -= n;
    }
    return true;
}
