// Inner workings of our audio library: the channel table, the mixer, the
// decoders and the network reader. Every piece of state lives in this module's
// globals, so two copies of the DLL loaded from two files never share anything.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef unsigned long long QWORD;

namespace bass {

// Error codes as the callers know them.
enum ErrorCode : int {
    kOk = 0,
    kErrMem = 1,
    kErrFileOpen = 2,
    kErrDriver = 3,
    kErrHandle = 5,
    kErrInit = 8,
    kErrStart = 9,
    kErrAlready = 14,
    kErrNoChannel = 18,
    kErrIllegalParam = 20,
    kErrDevice = 23,
    kErrNoNet = 32,
    kErrNotAvailable = 37,
    kErrTimeout = 40,
    kErrFileFormat = 41,
    kErrUnknown = -1,
};

// Flags of the public interface.
constexpr DWORD kFlagLoop = 4;
constexpr DWORD kFlagOverVol = 0x10000;
constexpr DWORD kFlagOverPos = 0x20000;
constexpr DWORD kFlagAutoFree = 0x40000;
constexpr DWORD kFlagBlock = 0x100000;
constexpr DWORD kFlagMeta = 0x400000;

constexpr DWORD kSyncMeta = 4;

constexpr DWORD kTagId3 = 0;
constexpr DWORD kTagId3v2 = 1;
constexpr DWORD kTagOgg = 2;
constexpr DWORD kTagHttp = 3;
constexpr DWORD kTagIcy = 4;
constexpr DWORD kTagMeta = 5;

constexpr DWORD kActiveStopped = 0;
constexpr DWORD kActivePlaying = 1;
constexpr DWORD kActiveStalled = 2;

constexpr DWORD kSlidingFreq = 1;
constexpr DWORD kSlidingVol = 2;
constexpr DWORD kSlidingPan = 4;

void SetError(int code);
int GetError();
// Sets the error code and returns the value given, for one-line failures.
template <typename T>
T Fail(int code, T value)
{
    SetError(code);
    return value;
}

// ------------------------------------------------------------------ sources

// A sequential supply of bytes: a file, a block of memory or a download.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes. Returns the count; 0 means the end unless *wouldBlock
    // was set (a download that has nothing buffered yet).
    virtual int Read(void *buf, int n, bool *wouldBlock) = 0;
    // Waits up to the source's own time-out for bytes (only downloads wait).
    virtual int ReadWait(void *buf, int n) = 0;
};

// A source of PCM frames (16-bit, interleaved) decoded from a ByteSource.
class Decoder {
public:
    virtual ~Decoder() = default;
    // Decodes up to maxFrames frames into out. 0 with *wouldBlock clear = end.
    virtual int Decode(int16_t *out, int maxFrames, bool *wouldBlock) = 0;
    int channels = 0;
    int rate = 0;
};

// Opens the decoder the content asks for. On failure returns null and sets
// *error (kErrFileFormat for content we cannot play). Reads may wait for a
// download. The Id3v1 block, when the source had one, is left to the caller.
std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, int *error);

// A file or a block of memory, limited to [offset, offset + length) (length 0 =
// to the end); an ID3v1 tag at the end is cut off and returned in id3v1.
std::unique_ptr<ByteSource> OpenFileSource(bool mem, const void *file, DWORD offset, DWORD length,
                                           std::string *id3v1, int *error);

// ------------------------------------------------------------------ samples

struct Sample {
    std::vector<int16_t> pcm;   // interleaved
    int channels = 1;
    int rate = 44100;
    size_t frames = 0;
    DWORD max = 1;
    DWORD flags = 0;
};

// ------------------------------------------------------------------ streams

// Frames waiting between the decoder and the mixer.
class PcmRing {
public:
    void Reset(int channels, size_t frames);
    size_t Count() const { return count_; }
    size_t Space() const { return capacity_ - count_; }
    size_t Capacity() const { return capacity_; }
    void Push(const int16_t *frames, size_t n);
    // Copies up to n frames from the front without removing them.
    size_t Peek(int16_t *out, size_t n) const;
    void Drop(size_t n);
    void Clear() { read_ = 0; count_ = 0; }

private:
    std::vector<int16_t> buf_;
    int channels_ = 1;
    size_t capacity_ = 0;
    size_t read_ = 0;
    size_t count_ = 0;
};

struct NetReader;

struct SyncEntry {
    DWORD handle;
    DWORD type;
    // Data and user value carry pointers, so they are pointer-sized: the same
    // 32-bit layout as ever on i686, whole pointers on x86_64.
    void(CALLBACK *proc)(DWORD, DWORD, DWORD_PTR, DWORD_PTR);
    DWORD_PTR user;
};

// A critical section that lives and dies with its owner.
class Mutex {
public:
    Mutex() { InitializeCriticalSection(&cs_); }
    ~Mutex() { DeleteCriticalSection(&cs_); }
    Mutex(const Mutex &) = delete;
    Mutex &operator=(const Mutex &) = delete;
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

struct Stream {
    // The decoder is used under decodeLock (the feeder, or a restart), never
    // under the engine lock, so a slow decode never holds up the mixer.
    Mutex decodeLock;
    std::unique_ptr<Decoder> decoder;
    std::atomic<bool> loop{false};
    std::atomic<bool> decodeEnded{false};
    PcmRing ring;                   // guarded by the engine lock
    // How to open the content again (a file stream played from the start).
    bool reopenable = false;
    bool fromMemory = false;
    std::string path;
    const void *memory = nullptr;
    DWORD offset = 0;
    DWORD length = 0;
    // Tags; texts handed out stay valid until the stream is freed.
    std::string id3v1;
    std::shared_ptr<NetReader> net;
};

// ------------------------------------------------------------------ channels

// One attribute with its running slide.
struct Attribute {
    float value = 0;
    float target = 0;
    float step = 0;                 // change per output frame
    int64_t remaining = 0;          // output frames left of the slide
    bool stopAtEnd = false;         // the "-2" fade: stop when it reaches 0
    bool Sliding() const { return remaining > 0; }
};

struct Channel {
    DWORD handle = 0;
    bool isStream = false;
    std::shared_ptr<Sample> sample;
    std::shared_ptr<Stream> stream;
    int channels = 1;
    int rate = 44100;               // original frequency
    DWORD flags = 0;
    bool playing = false;
    bool stalled = false;
    uint64_t order = 0;             // when it was started, for take-overs
    uint64_t pos = 0;               // 32.32 frames: into the sample, or into the stream's window
    uint64_t bytes = 0;             // decoded bytes played
    Attribute freq, vol, pan;       // freq in Hz, vol 0..1, pan -1..1
    DWORD level = 0;
    std::vector<SyncEntry> syncs;
};

// ------------------------------------------------------------------ engine

struct Engine {
    CRITICAL_SECTION lock;
    bool inited = false;
    bool noSound = false;           // device 0: mixed in time, heard nowhere
    int outRate = 44100;
    DWORD nextHandle = 1;
    uint64_t playOrder = 0;
    // Volume scale and global volumes (fractions of full).
    DWORD maxVol = 100;
    float gvolSample = 1;
    float gvolStream = 1;
    float master = 1;
    DWORD netTimeoutMs = 5000;

    std::map<DWORD, std::shared_ptr<Sample>> samples;
    std::map<DWORD, std::unique_ptr<Channel>> channels;
    std::map<DWORD, DWORD> syncOwner;   // sync handle -> channel

    // Threads.
    HANDLE mixerThread = nullptr;
    HANDLE feederThread = nullptr;
    HANDLE quitEvent = nullptr;     // manual reset: every thread ends
    HANDLE outputEvent = nullptr;   // waveOut buffer done
    HANDLE feedEvent = nullptr;     // a stream wants data
    std::atomic<bool> outputPaused{false};
    HWAVEOUT waveOut = nullptr;
};

extern Engine g;

struct Lock {
    Lock() { EnterCriticalSection(&g.lock); }
    ~Lock() { LeaveCriticalSection(&g.lock); }
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;
};

DWORD NewHandle();
Channel *FindChannel(DWORD handle);

// Mixer (mixer.cpp).
bool StartOutput(int device, int rate, int *error);
void StopOutput();
void PauseOutput(bool pause);
// Mixes frames of every playing channel into out (stereo, 16 bit). Engine lock held.
void MixFrames(int16_t *out, int frames);
// Removes a channel (stops it); the stream's tags are kept. Engine lock held.
void RemoveChannel(DWORD handle);
// Stops a channel: sample channels and auto-free streams go, others stay stopped.
void StopChannel(Channel *c);

// Feeder (feeder.cpp): decodes streams ahead of the mixer.
void StartFeeder();
void StopFeeder();
// Decodes into the ring until it holds at least the prefill amount (creator thread).
void Prefill(Stream *s);
// Opens a file stream's decoder again from the start. Engine lock not held.
bool ReopenStream(Stream *s);

// Network (net.cpp).
std::shared_ptr<Stream> OpenUrlStream(const char *url, DWORD flags, int *error);
void CancelNetReader(NetReader *r);
void CancelNetReaders();
void JoinNetReaders();
// Tag texts of a download ("ICY" and HTTP headers, metadata), null when absent.
const char *NetTags(Stream *s, DWORD type);
void AttachNetSyncs(Stream *s, DWORD channel);

}  // namespace bass
