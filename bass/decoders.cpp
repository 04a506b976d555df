// Sources and decoders: files and memory blocks, RIFF WAVE PCM read directly,
// MPEG audio decoded by the system's ACM codec. The format is found from the
// content, never from a file name.
#include "engine.h"
#include "formats.h"

#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>

namespace bass {

namespace {

constexpr size_t kId3v1Size = 128;
constexpr size_t kSniffBytes = 8192;
constexpr size_t kMaxFmtChunk = 1024;
constexpr DWORD kAcmInput = 8192;

// ---------------------------------------------------------------- sources

class FileSource : public ByteSource {
public:
    FileSource(HANDLE file, uint64_t remaining) : file_(file), remaining_(remaining) {}
    ~FileSource() override { CloseHandle(file_); }
    int Read(void *buf, int n, bool *wouldBlock) override
    {
        *wouldBlock = false;
        DWORD want = static_cast<DWORD>(std::min<uint64_t>(static_cast<uint64_t>(n), remaining_));
        DWORD got = 0;
        if (want == 0 || !ReadFile(file_, buf, want, &got, nullptr))
            return 0;
        remaining_ -= got;
        return static_cast<int>(got);
    }
    int ReadWait(void *buf, int n) override
    {
        bool wouldBlock;
        return Read(buf, n, &wouldBlock);
    }

private:
    HANDLE file_;
    uint64_t remaining_;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    int Read(void *buf, int n, bool *wouldBlock) override
    {
        *wouldBlock = false;
        size_t take = std::min(static_cast<size_t>(n), size_ - pos_);
        memcpy(buf, data_ + pos_, take);
        pos_ += take;
        return static_cast<int>(take);
    }
    int ReadWait(void *buf, int n) override
    {
        bool wouldBlock;
        return Read(buf, n, &wouldBlock);
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

// Bytes already read while sniffing, given out again before the rest.
class PrefixSource : public ByteSource {
public:
    PrefixSource(std::vector<uint8_t> prefix, std::unique_ptr<ByteSource> rest)
        : prefix_(std::move(prefix)), rest_(std::move(rest)) {}
    int Read(void *buf, int n, bool *wouldBlock) override
    {
        if (pos_ < prefix_.size()) {
            *wouldBlock = false;
            return TakePrefix(buf, n);
        }
        return rest_->Read(buf, n, wouldBlock);
    }
    int ReadWait(void *buf, int n) override
    {
        if (pos_ < prefix_.size())
            return TakePrefix(buf, n);
        return rest_->ReadWait(buf, n);
    }

private:
    int TakePrefix(void *buf, int n)
    {
        size_t take = std::min(static_cast<size_t>(n), prefix_.size() - pos_);
        memcpy(buf, prefix_.data() + pos_, take);
        pos_ += take;
        return static_cast<int>(take);
    }
    std::vector<uint8_t> prefix_;
    size_t pos_ = 0;
    std::unique_ptr<ByteSource> rest_;
};

// Reads exactly n bytes unless the source ends (downloads are waited for).
size_t ReadFully(ByteSource *src, uint8_t *buf, size_t n)
{
    size_t got = 0;
    while (got < n) {
        int r = src->ReadWait(buf + got, static_cast<int>(n - got));
        if (r <= 0)
            break;
        got += static_cast<size_t>(r);
    }
    return got;
}

bool Skip(ByteSource *src, uint64_t n)
{
    uint8_t scratch[4096];
    while (n > 0) {
        size_t step = static_cast<size_t>(std::min<uint64_t>(n, sizeof(scratch)));
        if (ReadFully(src, scratch, step) != step)
            return false;
        n -= step;
    }
    return true;
}

// ---------------------------------------------------------------- WAVE

class WavDecoder : public Decoder {
public:
    WavDecoder(std::unique_ptr<ByteSource> src, const WavFormat &f, uint64_t dataBytes)
        : src_(std::move(src)), bits_(f.bits), remaining_(dataBytes)
    {
        channels = f.channels;
        rate = f.rate;
    }
    int Decode(int16_t *out, int maxFrames, bool *wouldBlock) override
    {
        *wouldBlock = false;
        int frameBytes = channels * bits_ / 8;
        size_t want = static_cast<size_t>(maxFrames) * frameBytes;
        if (raw_.size() < want + 4)
            raw_.resize(want + 4);
        // Bytes of a partial frame from the last call come first.
        size_t have = carry_;
        size_t room = static_cast<size_t>(std::min<uint64_t>(want - have, remaining_));
        if (room > 0) {
            int r = src_->Read(raw_.data() + have, static_cast<int>(room), wouldBlock);
            if (r > 0) {
                have += static_cast<size_t>(r);
                remaining_ -= static_cast<uint64_t>(r);
            }
        }
        int frames = static_cast<int>(have / static_cast<size_t>(frameBytes));
        const uint8_t *p = raw_.data();
        int samples = frames * channels;
        if (bits_ == 8) {
            for (int i = 0; i < samples; ++i)
                out[i] = static_cast<int16_t>((p[i] - 128) << 8);
        } else {
            for (int i = 0; i < samples; ++i)
                out[i] = static_cast<int16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        }
        size_t used = static_cast<size_t>(frames) * frameBytes;
        carry_ = have - used;
        memmove(raw_.data(), raw_.data() + used, carry_);
        if (frames > 0)
            *wouldBlock = false;
        return frames;
    }

private:
    std::unique_ptr<ByteSource> src_;
    int bits_;
    uint64_t remaining_;
    std::vector<uint8_t> raw_;
    size_t carry_ = 0;
};

uint32_t Le32(const uint8_t *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// After "RIFF" size "WAVE": walks the chunks to "data".
std::unique_ptr<Decoder> OpenWav(std::unique_ptr<ByteSource> src, int *error)
{
    WavFormat fmt;
    bool haveFmt = false;
    for (;;) {
        uint8_t head[8];
        if (ReadFully(src.get(), head, 8) != 8)
            break;
        uint32_t size = Le32(head + 4);
        if (memcmp(head, "fmt ", 4) == 0) {
            if (size > kMaxFmtChunk)
                break;
            std::vector<uint8_t> body(size + (size & 1));
            if (ReadFully(src.get(), body.data(), body.size()) != body.size())
                break;
            haveFmt = ParseWavFmt(body.data(), size, &fmt);
            if (!haveFmt)
                break;
        } else if (memcmp(head, "data", 4) == 0) {
            if (!haveFmt)
                break;
            // A live stream writes 0 or all ones: read to the end.
            uint64_t bytes = (size == 0 || size == 0xFFFFFFFFu) ? UINT64_MAX : size;
            return std::make_unique<WavDecoder>(std::move(src), fmt, bytes);
        } else if (!Skip(src.get(), static_cast<uint64_t>(size) + (size & 1))) {
            break;
        }
    }
    *error = kErrFileFormat;
    return nullptr;
}

// ---------------------------------------------------------------- MPEG via ACM

class MpegDecoder : public Decoder {
public:
    ~MpegDecoder() override
    {
        if (stream_) {
            if (prepared_)
                acmStreamUnprepareHeader(stream_, &header_, 0);
            acmStreamClose(stream_, 0);
        }
    }

    bool Open(std::unique_ptr<ByteSource> src, const MpegFrame &f)
    {
        src_ = std::move(src);
        channels = f.channels;
        rate = f.rate;
        union {
            MPEGLAYER3WAVEFORMAT l3;
            MPEG1WAVEFORMAT l12;
        } in{};
        if (f.layer == 3) {
            in.l3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
            in.l3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
            in.l3.wID = MPEGLAYER3_ID_MPEG;
            in.l3.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
            in.l3.nBlockSize = static_cast<WORD>(f.size);
            in.l3.nFramesPerBlock = 1;
        } else {
            in.l12.wfx.wFormatTag = WAVE_FORMAT_MPEG;
            in.l12.wfx.cbSize = sizeof(MPEG1WAVEFORMAT) - sizeof(WAVEFORMATEX);
            in.l12.fwHeadLayer = f.layer == 1 ? ACM_MPEG_LAYER1 : ACM_MPEG_LAYER2;
            in.l12.dwHeadBitrate = static_cast<DWORD>(f.bitrate) * 1000;
            in.l12.fwHeadMode = f.channels == 1 ? ACM_MPEG_SINGLECHANNEL : ACM_MPEG_STEREO;
            in.l12.wHeadEmphasis = 1;
            in.l12.fwHeadFlags = f.version == 1 ? ACM_MPEG_ID_MPEG1 : 0;
        }
        WAVEFORMATEX &w = in.l3.wfx;
        w.nChannels = static_cast<WORD>(f.channels);
        w.nSamplesPerSec = static_cast<DWORD>(f.rate);
        w.nAvgBytesPerSec = static_cast<DWORD>(f.bitrate) * 125;
        w.nBlockAlign = 1;
        w.wBitsPerSample = 0;
        WAVEFORMATEX out{};
        out.wFormatTag = WAVE_FORMAT_PCM;
        out.nChannels = w.nChannels;
        out.nSamplesPerSec = w.nSamplesPerSec;
        out.wBitsPerSample = 16;
        out.nBlockAlign = static_cast<WORD>(2 * out.nChannels);
        out.nAvgBytesPerSec = out.nSamplesPerSec * out.nBlockAlign;
        if (acmStreamOpen(&stream_, nullptr, &w, &out, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
            stream_ = nullptr;
            return false;
        }
        DWORD dstSize = 0;
        if (acmStreamSize(stream_, kAcmInput, &dstSize, ACM_STREAMSIZEF_SOURCE) != 0 || dstSize == 0)
            dstSize = kAcmInput * 48;
        // A small frame of a low bit rate decodes to much; keep room for it.
        dstSize = std::max<DWORD>(dstSize, 1152 * 2 * 2 * 16);
        in_.resize(kAcmInput);
        outBuf_.resize(dstSize);
        memset(&header_, 0, sizeof(header_));
        header_.cbStruct = sizeof(header_);
        header_.pbSrc = in_.data();
        header_.cbSrcLength = kAcmInput;
        header_.pbDst = outBuf_.data();
        header_.cbDstLength = dstSize;
        if (acmStreamPrepareHeader(stream_, &header_, 0) != 0)
            return false;
        prepared_ = true;
        return true;
    }

    int Decode(int16_t *out, int maxFrames, bool *wouldBlock) override
    {
        *wouldBlock = false;
        while (pendingPos_ >= pending_.size()) {
            pending_.clear();
            pendingPos_ = 0;
            if (!Convert(wouldBlock))
                return 0;
        }
        size_t samples = std::min(pending_.size() - pendingPos_, static_cast<size_t>(maxFrames) * channels);
        samples -= samples % static_cast<size_t>(channels);
        memcpy(out, pending_.data() + pendingPos_, samples * sizeof(int16_t));
        pendingPos_ += samples;
        return static_cast<int>(samples / static_cast<size_t>(channels));
    }

private:
    // One round of input into the codec. False at the end or when waiting.
    bool Convert(bool *wouldBlock)
    {
        for (int tries = 0; tries < 64; ++tries) {
            if (!sourceEnded_ && inLen_ < in_.size()) {
                bool block = false;
                int r = src_->Read(in_.data() + inLen_, static_cast<int>(in_.size() - inLen_), &block);
                if (r > 0)
                    inLen_ += static_cast<size_t>(r);
                else if (!block)
                    sourceEnded_ = true;
                else if (inLen_ == 0) {
                    *wouldBlock = true;
                    return false;
                }
            }
            if (inLen_ == 0 && sourceEnded_)
                return false;
            header_.cbSrcLength = static_cast<DWORD>(inLen_);
            header_.cbSrcLengthUsed = 0;
            header_.cbDstLengthUsed = 0;
            DWORD flags = sourceEnded_ ? ACM_STREAMCONVERTF_END : 0;
            if (acmStreamConvert(stream_, &header_, flags) != 0)
                return false;
            size_t used = std::min<size_t>(header_.cbSrcLengthUsed, inLen_);
            memmove(in_.data(), in_.data() + used, inLen_ - used);
            inLen_ -= used;
            size_t made = header_.cbDstLengthUsed / sizeof(int16_t);
            if (made > 0) {
                const int16_t *pcm = reinterpret_cast<const int16_t *>(outBuf_.data());
                pending_.assign(pcm, pcm + made);
                return true;
            }
            // Nothing came out: stop when nothing more can go in.
            if (used == 0 && (sourceEnded_ || inLen_ == in_.size()))
                return false;
        }
        *wouldBlock = true;
        return false;
    }

    std::unique_ptr<ByteSource> src_;
    HACMSTREAM stream_ = nullptr;
    ACMSTREAMHEADER header_{};
    bool prepared_ = false;
    std::vector<BYTE> in_;
    size_t inLen_ = 0;
    std::vector<BYTE> outBuf_;
    std::vector<int16_t> pending_;
    size_t pendingPos_ = 0;
    bool sourceEnded_ = false;
};

}  // namespace

std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, int *error)
{
    *error = kErrFileFormat;
    std::vector<uint8_t> head(12);
    size_t got = ReadFully(source.get(), head.data(), 12);
    // An ID3v2 block in front of MPEG audio is passed over.
    while (got >= 10) {
        size_t id3 = Id3v2Size(head.data());
        if (id3 == 0)
            break;
        if (!Skip(source.get(), id3 - got))
            return nullptr;
        got = ReadFully(source.get(), head.data(), 12);
    }
    head.resize(got);
    if (got == 12 && memcmp(head.data(), "RIFF", 4) == 0 && memcmp(head.data() + 8, "WAVE", 4) == 0)
        return OpenWav(std::move(source), error);

    head.resize(kSniffBytes);
    got += ReadFully(source.get(), head.data() + got, kSniffBytes - got);
    head.resize(got);
    MpegFrame frame;
    long at = FindMpegSync(head.data(), head.size(), &frame);
    if (at < 0)
        return nullptr;
    head.erase(head.begin(), head.begin() + at);
    auto decoder = std::make_unique<MpegDecoder>();
    if (!decoder->Open(std::make_unique<PrefixSource>(std::move(head), std::move(source)), frame))
        return nullptr;
    *error = kOk;
    return decoder;
}

std::unique_ptr<ByteSource> OpenFileSource(bool mem, const void *file, DWORD offset, DWORD length,
                                           std::string *id3v1, int *error)
{
    id3v1->clear();
    if (mem) {
        const uint8_t *data = static_cast<const uint8_t *>(file) + offset;
        size_t size = length;
        if (size >= kId3v1Size && IsId3v1(data + size - kId3v1Size)) {
            id3v1->assign(reinterpret_cast<const char *>(data + size - kId3v1Size), kId3v1Size);
            size -= kId3v1Size;
        }
        return std::make_unique<MemorySource>(data, size);
    }
    HANDLE h = CreateFileA(static_cast<const char *>(file), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = kErrFileOpen;
        return nullptr;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size) || static_cast<uint64_t>(size.QuadPart) < offset) {
        CloseHandle(h);
        *error = kErrFileOpen;
        return nullptr;
    }
    uint64_t end = static_cast<uint64_t>(size.QuadPart);
    if (length != 0)
        end = std::min<uint64_t>(end, static_cast<uint64_t>(offset) + length);
    if (end - offset >= kId3v1Size) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(end - kId3v1Size);
        uint8_t tag[kId3v1Size];
        DWORD read = 0;
        if (SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && ReadFile(h, tag, kId3v1Size, &read, nullptr) &&
            read == kId3v1Size && IsId3v1(tag)) {
            id3v1->assign(reinterpret_cast<const char *>(tag), kId3v1Size);
            end -= kId3v1Size;
        }
    }
    LARGE_INTEGER start;
    start.QuadPart = offset;
    SetFilePointerEx(h, start, nullptr, FILE_BEGIN);
    return std::make_unique<FileSource>(h, end - offset);
}

}  // namespace bass
