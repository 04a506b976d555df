// The feeder thread decodes every stream ahead of the mixer into its ring, so
// that file reads, codec work and network waits never happen under the lock
// the mixer needs.
#include "engine.h"

#include <algorithm>

namespace bass {

namespace {

constexpr int kDecodeChunk = 4096;   // frames per decode call
constexpr DWORD kFeedPollMs = 20;
constexpr int kRingSeconds = 1;

std::vector<int16_t> g_feedBuf;

// Opens the content again from the start; decodeLock held.
bool OpenAgain(Stream *s)
{
    int error = kOk;
    std::string id3;
    auto source = OpenFileSource(s->fromMemory, s->fromMemory ? s->memory : s->path.c_str(), s->offset,
                                 s->length, &id3, &error);
    if (!source)
        return false;
    auto decoder = OpenDecoder(std::move(source), &error);
    if (!decoder || decoder->channels != s->decoder->channels || decoder->rate != s->decoder->rate)
        return false;
    s->decoder = std::move(decoder);
    return true;
}

// Decodes one chunk into the ring. Returns true when it made progress.
bool FeedOnce(Stream *s, std::vector<int16_t> *buf)
{
    size_t space;
    {
        Lock lock;
        space = s->ring.Space();
    }
    if (space == 0 || s->decodeEnded)
        return false;
    int want = static_cast<int>(std::min<size_t>(space, kDecodeChunk));
    s->decodeLock.Enter();
    int channels = s->decoder->channels;
    if (buf->size() < static_cast<size_t>(want * channels))
        buf->resize(static_cast<size_t>(want * channels));
    bool wouldBlock = false;
    int got = s->decoder->Decode(buf->data(), want, &wouldBlock);
    bool ended = got <= 0 && !wouldBlock;
    if (ended && s->loop && s->reopenable && OpenAgain(s))
        ended = false;
    s->decodeLock.Leave();
    Lock lock;
    if (got > 0)
        s->ring.Push(buf->data(), static_cast<size_t>(got));
    if (ended)
        s->decodeEnded = true;
    return got > 0;
}

DWORD WINAPI FeederThread(void *)
{
    HANDLE waits[2] = {g.quitEvent, g.feedEvent};
    std::vector<std::shared_ptr<Stream>> work;
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, kFeedPollMs) == WAIT_OBJECT_0)
            break;
        work.clear();
        {
            Lock lock;
            for (auto &entry : g.channels) {
                Channel *c = entry.second.get();
                if (c->isStream && !c->stream->decodeEnded && c->stream->ring.Space() >= kDecodeChunk / 4)
                    work.push_back(c->stream);
            }
        }
        for (auto &s : work) {
            if (WaitForSingleObject(g.quitEvent, 0) == WAIT_OBJECT_0)
                return 0;
            // Top the ring up; a download with nothing new waits for the next round.
            for (int i = 0; i < 8 && FeedOnce(s.get(), &g_feedBuf); ++i) {
            }
        }
        // A stream freed meanwhile closes its file here, not at the next round.
        work.clear();
    }
    return 0;
}

}  // namespace

void PcmRing::Reset(int channels, size_t frames)
{
    channels_ = channels;
    capacity_ = frames;
    buf_.assign(frames * static_cast<size_t>(channels), 0);
    read_ = 0;
    count_ = 0;
}

void PcmRing::Push(const int16_t *frames, size_t n)
{
    n = std::min(n, Space());
    size_t write = (read_ + count_) % capacity_;
    for (size_t i = 0; i < n; ++i) {
        std::copy(frames + i * channels_, frames + (i + 1) * channels_, buf_.begin() + static_cast<long>(write * channels_));
        write = (write + 1) % capacity_;
    }
    count_ += n;
}

size_t PcmRing::Peek(int16_t *out, size_t n) const
{
    n = std::min(n, count_);
    size_t first = std::min(n, capacity_ - read_);
    std::copy(buf_.begin() + static_cast<long>(read_ * channels_),
              buf_.begin() + static_cast<long>((read_ + first) * channels_), out);
    std::copy(buf_.begin(), buf_.begin() + static_cast<long>((n - first) * channels_), out + first * channels_);
    return n;
}

void PcmRing::Drop(size_t n)
{
    n = std::min(n, count_);
    read_ = (read_ + n) % capacity_;
    count_ -= n;
}

void Prefill(Stream *s)
{
    s->ring.Reset(s->decoder->channels, static_cast<size_t>(s->decoder->rate) * kRingSeconds);
    std::vector<int16_t> buf;
    while (FeedOnce(s, &buf)) {
    }
}

bool ReopenStream(Stream *s)
{
    s->decodeLock.Enter();
    bool ok = OpenAgain(s);
    s->decodeLock.Leave();
    if (!ok)
        return false;
    {
        Lock lock;
        s->ring.Clear();
        s->decodeEnded = false;
    }
    std::vector<int16_t> buf;
    while (FeedOnce(s, &buf)) {
    }
    return true;
}

void StartFeeder()
{
    if (!g.feedEvent)
        g.feedEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g.feederThread = CreateThread(nullptr, 0, FeederThread, nullptr, 0, nullptr);
}

void StopFeeder()
{
    SetEvent(g.quitEvent);
    if (g.feederThread) {
        WaitForSingleObject(g.feederThread, INFINITE);
        CloseHandle(g.feederThread);
        g.feederThread = nullptr;
    }
}

}  // namespace bass
