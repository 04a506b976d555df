// The software mixer and its output: one thread mixes every playing channel
// into 16-bit stereo and hands the blocks to the first waveOut device (or, for
// device 0, lets them pass in real time unheard).
#include "engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace bass {

namespace {

constexpr int kBlockFrames = 1024;     // about 23 ms at 44100 Hz
constexpr int kBlockCount = 4;
constexpr int kSlideChunk = 32;        // frames between attribute updates
constexpr float kFullScale = 32767.0f;

struct OutputBlock {
    WAVEHDR header;
    int16_t data[kBlockFrames * 2];
};

OutputBlock g_blocks[kBlockCount];
std::vector<float> g_acc;
std::vector<int16_t> g_streamBuf;

// Advances one attribute by n output frames. True when a "-2" fade finished.
bool AdvanceSlide(Attribute *a, int n)
{
    if (a->remaining <= 0)
        return false;
    if (a->remaining <= n) {
        a->value = a->target;
        a->remaining = 0;
        return a->stopAtEnd;
    }
    a->value += a->step * static_cast<float>(n);
    a->remaining -= n;
    return false;
}

// Source frames: a sample's whole data or the stream's buffered window.
struct SourceView {
    const int16_t *data;
    size_t frames;
    int channels;
    bool loop;
};

// Mixes up to n frames of one channel into acc starting at *pos (source frames).
// Returns the number of output frames produced before the source ran out.
int MixSpan(const SourceView &src, double *pos, double step, float gl, float gr, float dgl, float dgr,
            float *acc, int n, int32_t *peakL, int32_t *peakR)
{
    double p = *pos;
    int done = 0;
    const int16_t *d = src.data;
    for (; done < n; ++done) {
        size_t i = static_cast<size_t>(p);
        if (i >= src.frames) {
            if (!src.loop || src.frames == 0)
                break;
            p -= static_cast<double>(src.frames) * std::floor(p / static_cast<double>(src.frames));
            i = static_cast<size_t>(p);
        }
        float frac = static_cast<float>(p - static_cast<double>(i));
        size_t j = i + 1;
        bool haveNext = j < src.frames;
        if (!haveNext && src.loop)
            j = 0, haveNext = true;
        float l, r;
        if (src.channels == 1) {
            float a = d[i];
            float b = haveNext ? static_cast<float>(d[j]) : a;
            l = r = a + (b - a) * frac;
        } else {
            float al = d[2 * i], ar = d[2 * i + 1];
            float bl = haveNext ? static_cast<float>(d[2 * j]) : al;
            float br = haveNext ? static_cast<float>(d[2 * j + 1]) : ar;
            l = al + (bl - al) * frac;
            r = ar + (br - ar) * frac;
        }
        float ol = l * gl, orr = r * gr;
        acc[2 * done] += ol;
        acc[2 * done + 1] += orr;
        *peakL = std::max(*peakL, static_cast<int32_t>(std::fabs(ol)));
        *peakR = std::max(*peakR, static_cast<int32_t>(std::fabs(orr)));
        gl += dgl;
        gr += dgr;
        p += step;
    }
    *pos = p;
    return done;
}

void PanGains(float vol, float pan, float *gl, float *gr)
{
    float p = std::clamp(pan, -1.0f, 1.0f);
    *gl = vol * std::min(1.0f, 1.0f - p);
    *gr = vol * std::min(1.0f, 1.0f + p);
}

// Mixes one channel for n output frames. Returns false when it has ended.
bool MixChannel(Channel *c, float *acc, int n)
{
    float gvol = g.master * (c->isStream ? g.gvolStream : g.gvolSample);
    SourceView src{};
    size_t windowFrames = 0;
    if (c->isStream) {
        Stream *s = c->stream.get();
        // The frames this block can reach at the highest rate of a running slide.
        float maxFreq = c->freq.Sliding() ? std::max(c->freq.value, c->freq.target) : c->freq.value;
        size_t want = static_cast<size_t>(c->pos + maxFreq / static_cast<float>(g.outRate) * n) + 2;
        if (g_streamBuf.size() < want * 2)
            g_streamBuf.resize(want * 2);
        windowFrames = s->ring.Peek(g_streamBuf.data(), want);
        src = {g_streamBuf.data(), windowFrames, c->channels, false};
        // Without the end of the content in view, the last buffered frame is kept
        // for the interpolation of the next block.
        if (!s->decodeEnded && windowFrames > 0)
            src.frames = windowFrames - 1;
    } else {
        src = {c->sample->pcm.data(), c->sample->frames, c->channels, (c->flags & kFlagLoop) != 0};
    }

    int32_t peakL = 0, peakR = 0;
    int done = 0;
    bool ended = false;
    while (done < n) {
        int chunk = std::min(kSlideChunk, n - done);
        float gl0, gr0, gl1, gr1;
        PanGains(c->vol.value * gvol, c->pan.value, &gl0, &gr0);
        double step = c->freq.value / static_cast<float>(g.outRate);
        bool faded = AdvanceSlide(&c->vol, chunk);
        AdvanceSlide(&c->pan, chunk);
        AdvanceSlide(&c->freq, chunk);
        PanGains(c->vol.value * gvol, c->pan.value, &gl1, &gr1);
        float inv = 1.0f / static_cast<float>(chunk);
        int made = MixSpan(src, &c->pos, step, gl0, gr0, (gl1 - gl0) * inv, (gr1 - gr0) * inv,
                           acc + 2 * done, chunk, &peakL, &peakR);
        done += made;
        if (faded) {
            ended = true;
            break;
        }
        if (made < chunk)
            break;
    }
    c->level = static_cast<DWORD>(std::min(peakL, 32768)) | (static_cast<DWORD>(std::min(peakR, 32768)) << 16);

    if (c->isStream) {
        Stream *s = c->stream.get();
        size_t used = static_cast<size_t>(c->pos);
        used = std::min(used, windowFrames);
        s->ring.Drop(used);
        c->pos -= static_cast<double>(used);
        c->bytes += static_cast<uint64_t>(used) * c->channels * 2;
        bool starved = done < n && !ended;
        if (starved && s->decodeEnded && s->ring.Count() <= 1) {
            return false;
        }
        c->stalled = starved;
        if (s->ring.Space() > s->ring.Capacity() / 2)
            SetEvent(g.feedEvent);
    } else {
        c->bytes = static_cast<uint64_t>(std::min(c->pos, static_cast<double>(c->sample->frames))) *
                   c->channels * 2;
        if (done < n && !ended)
            return false;
    }
    return !ended;
}

DWORD WINAPI MixerThread(void *)
{
    HANDLE waits[2] = {g.quitEvent, g.outputEvent};
    DWORD blockMs = static_cast<DWORD>(kBlockFrames * 1000 / g.outRate);
    DWORD nextTick = GetTickCount();
    for (;;) {
        DWORD timeout = g.noSound ? blockMs : 100;
        if (WaitForMultipleObjects(2, waits, FALSE, timeout) == WAIT_OBJECT_0)
            break;
        if (g.outputPaused)
            continue;
        if (g.noSound) {
            // Without a device the channels still run in real time.
            DWORD now = GetTickCount();
            while (static_cast<int32_t>(now - nextTick) >= 0) {
                Lock lock;
                MixFrames(g_blocks[0].data, kBlockFrames);
                nextTick += blockMs;
            }
            continue;
        }
        for (OutputBlock &b : g_blocks) {
            if (!(b.header.dwFlags & WHDR_DONE))
                continue;
            {
                Lock lock;
                MixFrames(b.data, kBlockFrames);
            }
            b.header.dwFlags &= ~WHDR_DONE;
            waveOutWrite(g.waveOut, &b.header, sizeof(b.header));
        }
    }
    return 0;
}

}  // namespace

void MixFrames(int16_t *out, int frames)
{
    if (g_acc.size() < static_cast<size_t>(frames) * 2)
        g_acc.resize(static_cast<size_t>(frames) * 2);
    std::fill(g_acc.begin(), g_acc.begin() + frames * 2, 0.0f);
    std::vector<DWORD> finished;
    for (auto &entry : g.channels) {
        Channel *c = entry.second.get();
        if (!c->playing)
            continue;
        if (!MixChannel(c, g_acc.data(), frames))
            finished.push_back(entry.first);
    }
    for (DWORD h : finished)
        if (Channel *c = FindChannel(h))
            StopChannel(c);
    for (int i = 0; i < frames * 2; ++i) {
        float v = std::clamp(g_acc[static_cast<size_t>(i)], -kFullScale - 1, kFullScale);
        out[i] = static_cast<int16_t>(std::lrint(v));
    }
}

void RemoveChannel(DWORD handle)
{
    auto it = g.channels.find(handle);
    if (it == g.channels.end())
        return;
    Channel *c = it->second.get();
    for (const SyncEntry &e : c->syncs)
        g.syncOwner.erase(e.handle);
    // The stream itself goes with its last user (the feeder may hold it for
    // a moment); its download stops now.
    if (c->isStream && c->stream->net)
        CancelNetReader(c->stream->net.get());
    g.channels.erase(it);
}

void StopChannel(Channel *c)
{
    c->playing = false;
    c->stalled = false;
    c->vol.remaining = 0;
    if (c->vol.stopAtEnd)
        c->vol.stopAtEnd = false;
    if (!c->isStream || (c->flags & kFlagAutoFree))
        RemoveChannel(c->handle);
}

bool StartOutput(int device, int rate, int *error)
{
    g.outRate = rate;
    g.noSound = device == 0;
    if (!g.quitEvent)
        g.quitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!g.outputEvent)
        g.outputEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(g.quitEvent);
    g.outputPaused = false;
    if (!g.noSound) {
        if (device != 1 || waveOutGetNumDevs() == 0) {
            *error = kErrDevice;
            return false;
        }
        WAVEFORMATEX wf{};
        wf.wFormatTag = WAVE_FORMAT_PCM;
        wf.nChannels = 2;
        wf.nSamplesPerSec = static_cast<DWORD>(rate);
        wf.wBitsPerSample = 16;
        wf.nBlockAlign = 4;
        wf.nAvgBytesPerSec = static_cast<DWORD>(rate) * 4;
        if (waveOutOpen(&g.waveOut, 0, &wf, reinterpret_cast<DWORD_PTR>(g.outputEvent), 0,
                        CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            g.waveOut = nullptr;
            *error = kErrDriver;
            return false;
        }
        for (OutputBlock &b : g_blocks) {
            memset(&b, 0, sizeof(b));
            b.header.lpData = reinterpret_cast<LPSTR>(b.data);
            b.header.dwBufferLength = sizeof(b.data);
            waveOutPrepareHeader(g.waveOut, &b.header, sizeof(b.header));
            b.header.dwFlags |= WHDR_DONE;
        }
        SetEvent(g.outputEvent);
    }
    g.mixerThread = CreateThread(nullptr, 0, MixerThread, nullptr, 0, nullptr);
    if (!g.mixerThread) {
        if (g.waveOut) {
            waveOutReset(g.waveOut);
            waveOutClose(g.waveOut);
            g.waveOut = nullptr;
        }
        *error = kErrMem;
        return false;
    }
    SetThreadPriority(g.mixerThread, THREAD_PRIORITY_TIME_CRITICAL);
    return true;
}

void StopOutput()
{
    SetEvent(g.quitEvent);
    if (g.mixerThread) {
        WaitForSingleObject(g.mixerThread, INFINITE);
        CloseHandle(g.mixerThread);
        g.mixerThread = nullptr;
    }
    if (g.waveOut) {
        waveOutReset(g.waveOut);
        for (OutputBlock &b : g_blocks)
            waveOutUnprepareHeader(g.waveOut, &b.header, sizeof(b.header));
        waveOutClose(g.waveOut);
        g.waveOut = nullptr;
    }
}

void PauseOutput(bool pause)
{
    if (g.outputPaused == pause)
        return;
    g.outputPaused = pause;
    if (g.waveOut) {
        if (pause)
            waveOutPause(g.waveOut);
        else
            waveOutRestart(g.waveOut);
    }
    SetEvent(g.outputEvent);
}

}  // namespace bass
