// Helpers of the audio tests: WAV data made on the spot, the captured output
// of the rig's ALSA file sink, a loopback HTTP/ICY radio server and a binding
// of the audio library by name, as the saver binds it.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

// Interleaved 16-bit frames of a sine tone.
std::vector<int16_t> Tone(int rate, int channels, double seconds, double hz, int amplitude);
// A RIFF WAVE file (PCM) of the frames; bits 8 or 16. dataSize overrides the
// size written in the data chunk (a live stream writes 0xFFFFFFFF).
std::string MakeWav(int rate, int channels, int bits, const std::vector<int16_t> &frames,
                    uint32_t dataSize = 0);
// A 128-byte ID3v1 tag with the fields as given (cut to 30 characters).
std::string MakeId3v1(const std::string &title, const std::string &artist);

// The WAV file that the rig's ALSA sink writes for this process.
class Capture {
public:
    Capture();
    bool Available() const { return !path_.empty(); }
    // Bytes written so far.
    size_t Mark() const;
    // Stereo 16-bit frames from byte offset `from` to the current end.
    std::vector<int16_t> FramesFrom(size_t from) const;
    // Waits until the file stops growing for a moment (the sink flushed).
    void Settle() const;

private:
    std::string path_;
};

// Energy figures of a stretch of stereo frames.
struct Level {
    double left = 0;
    double right = 0;
};
Level Rms(const std::vector<int16_t> &stereo, size_t firstFrame, size_t frames);
// First and last frame whose level exceeds the threshold, or false.
bool AudibleSpan(const std::vector<int16_t> &stereo, int threshold, size_t *first, size_t *last);

// A radio server on 127.0.0.1 answering every connection the same way.
class RadioServer {
public:
    enum Mode {
        kIcy,          // "ICY 200 OK", icy-metaint, WAV body with titles
        kHttpIcy,      // "HTTP/1.0 200 OK" with icy-* headers, no metadata
        kNotFound,     // "HTTP/1.0 404 Not Found"
        kSilent,       // accepts and never answers
        kStall,        // headers and a little audio, then nothing
    };
    RadioServer(Mode mode, std::string body, std::vector<std::string> titles = {}, size_t metaInt = 4096);
    ~RadioServer();
    std::string Url(const std::string &path = "/radio") const;
    int Connections() const { return connections_; }
    // The request text of the last connection.
    std::string LastRequest() const;

private:
    static DWORD WINAPI Run(void *self);
    void Serve(SOCKET client);
    Mode mode_;
    std::string body_;
    std::vector<std::string> titles_;
    size_t metaInt_;
    SOCKET listen_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    CRITICAL_SECTION lock_;
    std::string lastRequest_;
};

// The library's entry points, taken by name from a loaded module.
struct Bass {
    HMODULE module = nullptr;
    DWORD(WINAPI *GetVersion)();
    int(WINAPI *ErrorGetCode)();
    const char *(WINAPI *GetDeviceDescription)(DWORD);
    BOOL(WINAPI *Init)(int, DWORD, DWORD, HWND, const GUID *);
    BOOL(WINAPI *Free)();
    BOOL(WINAPI *Start)();
    BOOL(WINAPI *Stop)();
    DWORD(WINAPI *StreamCreateFile)(BOOL, const void *, DWORD, DWORD, DWORD);
    DWORD(WINAPI *StreamCreateURL)(const char *, DWORD, DWORD, void *, DWORD_PTR);
    BOOL(WINAPI *ChannelPlay)(DWORD, BOOL);
    BOOL(WINAPI *StreamFree)(DWORD);
    BOOL(WINAPI *SetVolume)(DWORD);
    DWORD(WINAPI *SampleGetChannel)(DWORD, BOOL);
    DWORD(WINAPI *ChannelIsActive)(DWORD);
    BOOL(WINAPI *ChannelSetAttributes)(DWORD, int, int, int);
    BOOL(WINAPI *ChannelSlideAttributes)(DWORD, int, int, int, DWORD);
    BOOL(WINAPI *ChannelStop)(DWORD);
    BOOL(WINAPI *ChannelSetFlags)(DWORD, DWORD);
    DWORD(WINAPI *ChannelIsSliding)(DWORD);
    unsigned long long(WINAPI *ChannelGetPosition)(DWORD);
    DWORD(WINAPI *ChannelGetLevel)(DWORD);
    DWORD(WINAPI *ChannelSetSync)(DWORD, DWORD, unsigned long long, void *, DWORD_PTR);
    DWORD(WINAPI *SampleLoad)(BOOL, const void *, DWORD, DWORD, DWORD, DWORD);
    const char *(WINAPI *StreamGetTags)(DWORD, DWORD);
    DWORD(WINAPI *SetConfig)(DWORD, DWORD);

    // Loads the DLL at path and takes every entry point; false when one is missing.
    bool Load(const std::string &path);
    void Unload();
};

// Runs a copy of this test program under the given name, with Wine's audio
// drivers switched off for that name (a machine without a sound card), and
// only the tests of the filter. The child sees kNoDeviceChildVar set.
// Returns its exit code.
extern const char kNoDeviceChildVar[];
int RunWithoutAudioDevice(const std::string &exeName, const std::string &filter);

// Polls cond every 10 ms until it holds or ms passed.
bool WaitUntil(const std::function<bool()> &cond, DWORD ms);

}  // namespace audiotest
