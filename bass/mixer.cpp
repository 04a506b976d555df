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

struct OutputBlock {
    WAVEHDR header;
    int16_t data[kBlockFrames * 2];
};

OutputBlock g_blocks[kBlockCount];
std::vector<int32_t> g_acc;
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

constexpr int kGainShift = 15;              // gains are Q15: 32768 = full
constexpr float kGainOne = 32768.0f;
constexpr int kFracShift = 17;              // 32-bit fraction to Q15

// A gain ramp over one chunk, in Q15 steps per frame.
struct Gains {
    int32_t l, r, dl, dr;
};

// Mixes up to n frames of one channel into acc from *pos (32.32 frames).
// Integer arithmetic throughout: the program runs on x87 machines where a
// float-to-int conversion per frame would cost more than the mixing.
// Returns the frames produced before the source ran out.
template <int Channels, bool Ramp>
int MixSpan(const SourceView &src, uint64_t *pos, uint64_t step, Gains g, int32_t *acc, int n, int32_t *peak)
{
    const uint64_t total = static_cast<uint64_t>(src.frames) << 32;
    const uint64_t safeEnd = src.frames >= 2 ? static_cast<uint64_t>(src.frames - 1) << 32 : 0;
    const int16_t *d = src.data;
    uint64_t p = *pos;
    int32_t pk = *peak;
    int done = 0;
    while (done < n) {
        if (p >= total) {
            if (!src.loop || src.frames == 0)
                break;
            p %= total;
        }
        if (p < safeEnd) {
            // The run in which frame i + 1 exists: no checks inside.
            uint64_t room = (safeEnd - p + step - 1) / step;
            int run = static_cast<int>(std::min<uint64_t>(room, static_cast<uint64_t>(n - done)));
            int32_t *a = acc + 2 * done;
            // Index and fraction in 32-bit halves: 64-bit steps cost registers
            // the 32-bit target does not have.
            uint32_t i = static_cast<uint32_t>(p >> 32);
            uint32_t f = static_cast<uint32_t>(p);
            const uint32_t stepI = static_cast<uint32_t>(step >> 32);
            const uint32_t stepF = static_cast<uint32_t>(step);
            for (int k = 0; k < run; ++k) {
                int32_t w = static_cast<int32_t>(f >> kFracShift);
                int32_t l, r;
                if (Channels == 1) {
                    int32_t x = d[i];
                    l = r = x + (((d[i + 1] - x) * w) >> kGainShift);
                } else {
                    int32_t xl = d[2 * i], xr = d[2 * i + 1];
                    l = xl + (((d[2 * i + 2] - xl) * w) >> kGainShift);
                    r = xr + (((d[2 * i + 3] - xr) * w) >> kGainShift);
                }
                a[2 * k] += (l * g.l) >> kGainShift;
                a[2 * k + 1] += (r * g.r) >> kGainShift;
                if (Ramp) {
                    g.l += g.dl;
                    g.r += g.dr;
                }
                // The level meter looks at every eighth frame: enough for a
                // peak, and the loop stays lean.
                if ((k & 7) == 0) {
                    int32_t m = std::max(l < 0 ? -l : l, r < 0 ? -r : r);
                    pk = m > pk ? m : pk;
                }
                uint32_t nf = f + stepF;
                i += stepI + (nf < f ? 1 : 0);
                f = nf;
            }
            p = (static_cast<uint64_t>(i) << 32) | f;
            done += run;
            continue;
        }
        // The last frame: its neighbour is the loop's start or itself.
        size_t i = static_cast<size_t>(p >> 32);
        size_t j = src.loop ? 0 : i;
        int32_t f = static_cast<int32_t>((p & 0xFFFFFFFFu) >> kFracShift);
        int32_t l = d[i * Channels] + (((d[j * Channels] - d[i * Channels]) * f) >> kGainShift);
        int32_t r = Channels == 1 ? l
                                  : d[i * 2 + 1] + (((d[j * 2 + 1] - d[i * 2 + 1]) * f) >> kGainShift);
        acc[2 * done] += (l * g.l) >> kGainShift;
        acc[2 * done + 1] += (r * g.r) >> kGainShift;
        g.l += g.dl;
        g.r += g.dr;
        p += step;
        ++done;
    }
    *pos = p;
    *peak = pk;
    return done;
}

void PanGains(float vol, float pan, float *gl, float *gr)
{
    float p = std::clamp(pan, -1.0f, 1.0f);
    *gl = vol * std::min(1.0f, 1.0f - p);
    *gr = vol * std::min(1.0f, 1.0f + p);
}

uint64_t StepOf(float freq)
{
    return static_cast<uint64_t>(static_cast<double>(freq) / g.outRate * 4294967296.0);
}

// Mixes one channel for n output frames. Returns false when it has ended.
bool MixChannel(Channel *c, int32_t *acc, int n)
{
    float gvol = g.master * (c->isStream ? g.gvolStream : g.gvolSample);
    SourceView src{};
    size_t windowFrames = 0;
    if (c->isStream) {
        Stream *s = c->stream.get();
        // The frames this block can reach at the highest rate of a running slide.
        float maxFreq = c->freq.Sliding() ? std::max(c->freq.value, c->freq.target) : c->freq.value;
        size_t want = static_cast<size_t>((c->pos >> 32) + static_cast<uint64_t>(maxFreq / g.outRate * n)) + 3;
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

    int32_t peak = 0;
    int done = 0;
    bool ended = false;
    while (done < n) {
        // Attribute updates only matter while something slides.
        bool sliding = c->vol.Sliding() || c->pan.Sliding() || c->freq.Sliding();
        int chunk = sliding ? std::min(kSlideChunk, n - done) : n - done;
        float gl0, gr0, gl1, gr1;
        PanGains(c->vol.value * gvol, c->pan.value, &gl0, &gr0);
        uint64_t step = StepOf(c->freq.value);
        bool faded = AdvanceSlide(&c->vol, chunk);
        AdvanceSlide(&c->pan, chunk);
        AdvanceSlide(&c->freq, chunk);
        PanGains(c->vol.value * gvol, c->pan.value, &gl1, &gr1);
        Gains gains;
        gains.l = static_cast<int32_t>(gl0 * kGainOne);
        gains.r = static_cast<int32_t>(gr0 * kGainOne);
        gains.dl = (static_cast<int32_t>(gl1 * kGainOne) - gains.l) / chunk;
        gains.dr = (static_cast<int32_t>(gr1 * kGainOne) - gains.r) / chunk;
        int32_t *at = acc + 2 * done;
        int made;
        if (sliding)
            made = c->channels == 1 ? MixSpan<1, true>(src, &c->pos, step, gains, at, chunk, &peak)
                                    : MixSpan<2, true>(src, &c->pos, step, gains, at, chunk, &peak);
        else
            made = c->channels == 1 ? MixSpan<1, false>(src, &c->pos, step, gains, at, chunk, &peak)
                                    : MixSpan<2, false>(src, &c->pos, step, gains, at, chunk, &peak);
        done += made;
        if (faded) {
            ended = true;
            break;
        }
        if (made < chunk)
            break;
    }
    float gl, gr;
    PanGains(c->vol.value * gvol, c->pan.value, &gl, &gr);
    DWORD left = static_cast<DWORD>(std::min(32768.0f, peak * gl));
    DWORD right = static_cast<DWORD>(std::min(32768.0f, peak * gr));
    c->level = left | (right << 16);

    if (c->isStream) {
        Stream *s = c->stream.get();
        size_t used = std::min(static_cast<size_t>(c->pos >> 32), windowFrames);
        s->ring.Drop(used);
        c->pos -= static_cast<uint64_t>(used) << 32;
        c->bytes += static_cast<uint64_t>(used) * c->channels * 2;
        bool starved = done < n && !ended;
        if (starved && s->decodeEnded && s->ring.Count() <= 1)
            return false;
        c->stalled = starved;
        if (s->ring.Space() > s->ring.Capacity() / 2)
            SetEvent(g.feedEvent);
    } else {
        c->bytes = std::min<uint64_t>(c->pos >> 32, c->sample->frames) * c->channels * 2;
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
    std::fill(g_acc.begin(), g_acc.begin() + frames * 2, 0);
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
    for (int i = 0; i < frames * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(g_acc[static_cast<size_t>(i)], -32768, 32767));
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
