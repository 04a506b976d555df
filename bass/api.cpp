// The exported entry points. Each takes the engine lock for as short a time as
// it can; callbacks are never made while it is held.
#include "engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace bass;

namespace bass {

Engine g;

namespace {

DWORD g_tlsError = TLS_OUT_OF_INDEXES;
constexpr DWORD kVersion = 0x00010002;  // 2.1
constexpr DWORD kConfigMaxVol = 3;
constexpr DWORD kConfigGvolSample = 4;
constexpr DWORD kConfigGvolStream = 5;
constexpr DWORD kConfigNetTimeout = 11;
constexpr DWORD kMaxVolLimit = 10000;
constexpr DWORD kFreqMin = 100;
constexpr DWORD kFreqMax = 200000;
constexpr int kPanUnchanged = -101;
constexpr int kVolFadeStop = -2;
constexpr QWORD kNoPosition = ~0ULL;

char g_deviceName[MAXPNAMELEN + 1];

float VolumeFraction(int volume)
{
    int v = std::clamp(volume, 0, static_cast<int>(g.maxVol));
    return static_cast<float>(v) / static_cast<float>(g.maxVol);
}

float PanFraction(int pan) { return static_cast<float>(std::clamp(pan, -100, 100)) / 100.0f; }

float FreqValue(const Channel *c, int freq)
{
    if (freq == 0)
        return static_cast<float>(c->rate);
    return static_cast<float>(std::clamp(static_cast<DWORD>(freq), kFreqMin, kFreqMax));
}

void SetAttr(Attribute *a, float value)
{
    a->value = value;
    a->remaining = 0;
    a->stopAtEnd = false;
}

void SlideAttr(Attribute *a, float target, DWORD ms, bool stopAtEnd)
{
    int64_t frames = static_cast<int64_t>(ms) * g.outRate / 1000;
    a->stopAtEnd = stopAtEnd;
    if (frames <= 0) {
        a->value = target;
        a->remaining = 0;
        a->target = target;
        // An instant fade to silence still stops the channel: the mixer sees it.
        if (stopAtEnd)
            a->remaining = 1, a->step = 0;
        return;
    }
    a->target = target;
    a->step = (target - a->value) / static_cast<float>(frames);
    a->remaining = frames;
}

int LiveChannelsOf(const Sample *s, std::vector<Channel *> *list)
{
    int n = 0;
    for (auto &entry : g.channels) {
        Channel *c = entry.second.get();
        if (!c->isStream && c->sample.get() == s) {
            ++n;
            if (list)
                list->push_back(c);
        }
    }
    return n;
}

Channel *NewChannel()
{
    auto c = std::make_unique<Channel>();
    c->handle = NewHandle();
    c->vol.value = 1;
    Channel *raw = c.get();
    g.channels[raw->handle] = std::move(c);
    return raw;
}

// Publishes a stream as a channel.
DWORD AddStreamChannel(std::shared_ptr<Stream> s, DWORD flags)
{
    Channel *c = NewChannel();
    c->isStream = true;
    c->channels = s->decoder->channels;
    c->rate = s->decoder->rate;
    c->freq.value = static_cast<float>(c->rate);
    c->flags = flags & (kFlagLoop | kFlagAutoFree);
    s->loop = (flags & kFlagLoop) != 0;
    c->stream = std::move(s);
    return c->handle;
}

}  // namespace

void SetError(int code)
{
    if (g_tlsError != TLS_OUT_OF_INDEXES)
        TlsSetValue(g_tlsError, reinterpret_cast<void *>(static_cast<intptr_t>(code)));
}

int GetError()
{
    if (g_tlsError == TLS_OUT_OF_INDEXES)
        return kErrUnknown;
    return static_cast<int>(reinterpret_cast<intptr_t>(TlsGetValue(g_tlsError)));
}

DWORD NewHandle()
{
    // Handles are never 0 and never given twice while the module is loaded:
    // stale handles kept by a caller must never reach a newer channel.
    DWORD h = g.nextHandle++;
    if (g.nextHandle == 0)
        g.nextHandle = 1;
    return h;
}

Channel *FindChannel(DWORD handle)
{
    auto it = g.channels.find(handle);
    return it == g.channels.end() ? nullptr : it->second.get();
}

}  // namespace bass

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_tlsError = TlsAlloc();
        InitializeCriticalSection(&g.lock);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_tlsError != TLS_OUT_OF_INDEXES)
            TlsFree(g_tlsError);
    }
    return TRUE;
}

extern "C" {

DWORD WINAPI BASS_GetVersion() { return kVersion; }

int WINAPI BASS_ErrorGetCode() { return GetError(); }

const char *WINAPI BASS_GetDeviceDescription(DWORD device)
{
    if (device == 0)
        return Fail(kOk, "No sound");
    WAVEOUTCAPSA caps;
    if (device == 1 && waveOutGetNumDevs() > 0 &&
        waveOutGetDevCapsA(0, &caps, sizeof(caps)) == MMSYSERR_NOERROR) {
        memcpy(g_deviceName, caps.szPname, sizeof(caps.szPname));
        g_deviceName[MAXPNAMELEN] = '\0';
        return Fail(kOk, static_cast<const char *>(g_deviceName));
    }
    return Fail(kErrDevice, static_cast<const char *>(nullptr));
}

BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const GUID *dsguid)
{
    Lock lock;
    if (g.inited)
        return Fail(kErrAlready, FALSE);
    if (device == -1)
        device = 1;
    if (device < 0)
        return Fail(kErrDevice, FALSE);
    int rate = (freq >= 8000 && freq <= 192000) ? static_cast<int>(freq) : 44100;
    int error = kOk;
    if (!StartOutput(device, rate, &error))
        return Fail(error, FALSE);
    g.inited = true;
    StartFeeder();
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_Free()
{
    {
        Lock lock;
        if (!g.inited)
            return Fail(kErrInit, FALSE);
        g.inited = false;
    }
    // Threads end first (outside the lock they may be waiting for), so that no
    // callback can come after this returns and the module may be unloaded.
    CancelNetReaders();
    StopOutput();
    StopFeeder();
    JoinNetReaders();
    Lock lock;
    g.channels.clear();
    g.samples.clear();
    g.syncOwner.clear();
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_Start()
{
    Lock lock;
    if (!g.inited)
        return Fail(kErrInit, FALSE);
    PauseOutput(false);
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_Stop()
{
    Lock lock;
    if (!g.inited)
        return Fail(kErrInit, FALSE);
    std::vector<DWORD> playing;
    for (auto &entry : g.channels)
        if (entry.second->playing)
            playing.push_back(entry.first);
    for (DWORD h : playing)
        if (Channel *c = FindChannel(h))
            StopChannel(c);
    PauseOutput(true);
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_SetVolume(DWORD volume)
{
    Lock lock;
    if (!g.inited)
        return Fail(kErrInit, FALSE);
    if (volume > 100)
        return Fail(kErrIllegalParam, FALSE);
    g.master = static_cast<float>(volume) / 100.0f;
    return Fail(kOk, TRUE);
}

DWORD WINAPI BASS_SetConfig(DWORD option, DWORD value)
{
    Lock lock;
    switch (option) {
    case kConfigMaxVol:
        if (value < 1 || value > kMaxVolLimit)
            return Fail(kErrIllegalParam, 0xFFFFFFFFu);
        g.maxVol = value;
        return Fail(kOk, value);
    case kConfigGvolSample:
        g.gvolSample = VolumeFraction(static_cast<int>(std::min<DWORD>(value, g.maxVol)));
        return Fail(kOk, static_cast<DWORD>(std::lround(g.gvolSample * g.maxVol)));
    case kConfigGvolStream:
        g.gvolStream = VolumeFraction(static_cast<int>(std::min<DWORD>(value, g.maxVol)));
        return Fail(kOk, static_cast<DWORD>(std::lround(g.gvolStream * g.maxVol)));
    case kConfigNetTimeout:
        g.netTimeoutMs = std::max<DWORD>(value, 100);
        return Fail(kOk, g.netTimeoutMs);
    default:
        return Fail(kErrIllegalParam, 0xFFFFFFFFu);
    }
}


DWORD WINAPI BASS_SampleLoad(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD max,
                             DWORD flags)
{
    if (!file || max < 1 || max > 65535)
        return Fail(kErrIllegalParam, 0u);
    if (mem && length == 0)
        return Fail(kErrIllegalParam, 0u);
    {
        Lock lock;
        if (!g.inited)
            return Fail(kErrInit, 0u);
    }
    // The data is decoded and copied: resources are released right after.
    int error = kOk;
    std::string id3;
    auto source = OpenFileSource(mem != FALSE, file, offset, length, &id3, &error);
    if (!source)
        return Fail(error, 0u);
    auto decoder = OpenDecoder(std::move(source), &error);
    if (!decoder)
        return Fail(error, 0u);
    auto s = std::make_shared<Sample>();
    s->channels = decoder->channels;
    s->rate = decoder->rate;
    s->max = max;
    s->flags = flags;
    std::vector<int16_t> chunk(4096 * 2);
    for (;;) {
        bool wouldBlock = false;
        int n = decoder->Decode(chunk.data(), 4096, &wouldBlock);
        if (n <= 0)
            break;
        s->pcm.insert(s->pcm.end(), chunk.begin(), chunk.begin() + n * s->channels);
    }
    s->frames = s->pcm.size() / static_cast<size_t>(s->channels);
    if (s->frames == 0)
        return Fail(kErrFileFormat, 0u);
    Lock lock;
    if (!g.inited)
        return Fail(kErrInit, 0u);
    DWORD h = NewHandle();
    g.samples[h] = std::move(s);
    return Fail(kOk, h);
}

DWORD WINAPI BASS_SampleGetChannel(DWORD handle, BOOL onlynew)
{
    Lock lock;
    auto it = g.samples.find(handle);
    if (it == g.samples.end())
        return Fail(kErrHandle, 0u);
    Sample *s = it->second.get();
    std::vector<Channel *> live;
    if (LiveChannelsOf(s, &live) >= static_cast<int>(s->max)) {
        // Every slot is taken: reuse one that is not playing, else take over
        // the quietest (or the longest playing) when the sample allows it.
        Channel *victim = nullptr;
        if (!onlynew) {
            for (Channel *c : live)
                if (!c->playing && (!victim || c->order < victim->order))
                    victim = c;
            if (!victim && (s->flags & kFlagOverVol)) {
                for (Channel *c : live)
                    if (!victim || c->vol.value < victim->vol.value ||
                        (c->vol.value == victim->vol.value && c->order < victim->order))
                        victim = c;
            }
            if (!victim && (s->flags & kFlagOverPos)) {
                for (Channel *c : live)
                    if (!victim || c->order < victim->order)
                        victim = c;
            }
        }
        if (!victim)
            return Fail(kErrNoChannel, 0u);
        RemoveChannel(victim->handle);
    }
    Channel *c = NewChannel();
    c->sample = it->second;
    c->channels = s->channels;
    c->rate = s->rate;
    c->freq.value = static_cast<float>(s->rate);
    c->flags = s->flags & kFlagLoop;
    c->vol.value = 1;
    return Fail(kOk, c->handle);
}

DWORD WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD flags)
{
    if (!file)
        return Fail(kErrIllegalParam, 0u);
    {
        Lock lock;
        if (!g.inited)
            return Fail(kErrInit, 0u);
    }
    auto s = std::make_shared<Stream>();
    int error = kOk;
    auto source = OpenFileSource(mem != FALSE, file, offset, length, &s->id3v1, &error);
    if (!source)
        return Fail(error, 0u);
    s->decoder = OpenDecoder(std::move(source), &error);
    if (!s->decoder)
        return Fail(error, 0u);
    s->reopenable = true;
    s->fromMemory = mem != FALSE;
    if (s->fromMemory)
        s->memory = file;
    else
        s->path = static_cast<const char *>(file);
    s->offset = offset;
    s->length = length;
    Prefill(s.get());
    Lock lock;
    if (!g.inited)
        return Fail(kErrInit, 0u);
    return Fail(kOk, AddStreamChannel(std::move(s), flags));
}

DWORD WINAPI BASS_StreamCreateURL(const char *url, DWORD offset, DWORD flags, void *proc, DWORD_PTR user)
{
    if (!url)
        return Fail(kErrIllegalParam, 0u);
    {
        Lock lock;
        if (!g.inited)
            return Fail(kErrInit, 0u);
    }
    int error = kOk;
    auto s = OpenUrlStream(url, flags, &error);
    if (!s)
        return Fail(error, 0u);
    Prefill(s.get());
    DWORD handle;
    {
        Lock lock;
        if (!g.inited)
            return Fail(kErrInit, 0u);
        handle = AddStreamChannel(s, flags);
    }
    AttachNetSyncs(s.get(), handle);
    return Fail(kOk, handle);
}

BOOL WINAPI BASS_StreamFree(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c || !c->isStream)
        return Fail(kErrHandle, FALSE);
    RemoveChannel(handle);
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    std::shared_ptr<Stream> reopen;
    {
        Lock lock;
        Channel *c = FindChannel(handle);
        if (!c)
            return Fail(kErrHandle, FALSE);
        if (!g.inited)
            return Fail(kErrInit, FALSE);
        if (c->playing && !restart)
            return Fail(kOk, TRUE);
        if (!c->isStream) {
            if (restart || (c->pos >> 32) >= c->sample->frames)
                c->pos = 0, c->bytes = 0;
            c->playing = true;
            c->order = ++g.playOrder;
            return Fail(kOk, TRUE);
        }
        bool ended = c->stream->decodeEnded && c->stream->ring.Count() == 0;
        if (!restart && !ended) {
            c->playing = true;
            c->order = ++g.playOrder;
            return Fail(kOk, TRUE);
        }
        if (!c->stream->reopenable)
            return Fail(kErrNotAvailable, FALSE);
        c->playing = false;
        reopen = c->stream;
    }
    // A file stream played again from the start: opened anew outside the lock.
    if (!ReopenStream(reopen.get()))
        return Fail(kErrFileOpen, FALSE);
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, FALSE);
    c->pos = 0;
    c->bytes = 0;
    c->playing = true;
    c->order = ++g.playOrder;
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_ChannelStop(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, FALSE);
    StopChannel(c);
    return Fail(kOk, TRUE);
}

DWORD WINAPI BASS_ChannelIsActive(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c || !c->playing)
        return Fail(kOk, kActiveStopped);
    return Fail(kOk, c->stalled ? kActiveStalled : kActivePlaying);
}

BOOL WINAPI BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, FALSE);
    // Setting an attribute ends its slide.
    if (freq != -1)
        SetAttr(&c->freq, FreqValue(c, freq));
    if (volume != -1)
        SetAttr(&c->vol, VolumeFraction(volume));
    if (pan != kPanUnchanged)
        SetAttr(&c->pan, PanFraction(pan));
    return Fail(kOk, TRUE);
}

BOOL WINAPI BASS_ChannelSlideAttributes(DWORD handle, int freq, int volume, int pan, DWORD time)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, FALSE);
    if (freq != -1)
        SlideAttr(&c->freq, FreqValue(c, freq), time, false);
    if (volume == kVolFadeStop)
        SlideAttr(&c->vol, 0, time, true);
    else if (volume != -1)
        SlideAttr(&c->vol, VolumeFraction(volume), time, false);
    if (pan != kPanUnchanged)
        SlideAttr(&c->pan, PanFraction(pan), time, false);
    return Fail(kOk, TRUE);
}

DWORD WINAPI BASS_ChannelIsSliding(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, 0u);
    DWORD bits = 0;
    if (c->freq.Sliding())
        bits |= kSlidingFreq;
    if (c->vol.Sliding())
        bits |= kSlidingVol;
    if (c->pan.Sliding())
        bits |= kSlidingPan;
    return Fail(kOk, bits);
}

BOOL WINAPI BASS_ChannelSetFlags(DWORD handle, DWORD flags)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, FALSE);
    DWORD settable = kFlagLoop | (c->isStream ? kFlagAutoFree : 0);
    c->flags = (c->flags & ~settable) | (flags & settable);
    if (c->isStream)
        c->stream->loop = (c->flags & kFlagLoop) != 0;
    return Fail(kOk, TRUE);
}

QWORD WINAPI BASS_ChannelGetPosition(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, kNoPosition);
    return Fail(kOk, static_cast<QWORD>(c->bytes));
}

DWORD WINAPI BASS_ChannelGetLevel(DWORD handle)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, 0xFFFFFFFFu);
    return Fail(kOk, c->playing ? c->level : 0u);
}

DWORD WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, void *proc, DWORD_PTR user)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c)
        return Fail(kErrHandle, 0u);
    if (type != kSyncMeta || !proc)
        return Fail(kErrIllegalParam, 0u);
    SyncEntry e;
    e.handle = NewHandle();
    e.type = type;
    e.proc = reinterpret_cast<void(CALLBACK *)(DWORD, DWORD, DWORD_PTR, DWORD_PTR)>(proc);
    e.user = user;
    c->syncs.push_back(e);
    g.syncOwner[e.handle] = handle;
    return Fail(kOk, e.handle);
}

const char *WINAPI BASS_StreamGetTags(DWORD handle, DWORD tags)
{
    Lock lock;
    Channel *c = FindChannel(handle);
    if (!c || !c->isStream)
        return Fail(kErrHandle, static_cast<const char *>(nullptr));
    Stream *s = c->stream.get();
    const char *result = nullptr;
    if (tags == kTagId3 && s->id3v1.size() == 128)
        result = s->id3v1.data();
    else if (tags == kTagIcy || tags == kTagHttp || tags == kTagMeta)
        result = NetTags(s, tags);
    return result ? Fail(kOk, result) : Fail(kErrNotAvailable, static_cast<const char *>(nullptr));
}

}  // extern "C"
