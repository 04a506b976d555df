// Benchmark, not a pass/fail test: the CPU time of the library's mixer thread
// with 32 channels playing, as a share of one core at real-time speed.
#include <gtest/gtest.h>

#include "audiotest.h"
#include "testutil.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

using namespace audiotest;

namespace {

constexpr DWORD kLoop = 4;
constexpr int kChannels = 32;
constexpr DWORD kRunMs = 8000;
constexpr double kBytesPerAudioSecond = 44100.0 * 4;

double ThreadSeconds(DWORD id)
{
    HANDLE h = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
    if (!h)
        return 0;
    FILETIME c, e, k, u;
    double s = 0;
    if (GetThreadTimes(h, &c, &e, &k, &u)) {
        auto sec = [](const FILETIME &f) {
            return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) /
                   1e7;
        };
        s = sec(k) + sec(u);
    }
    CloseHandle(h);
    return s;
}

// Threads of this process that start inside the module.
std::vector<DWORD> ThreadsOf(HMODULE module)
{
    auto base = reinterpret_cast<const BYTE *>(module);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + reinterpret_cast<const IMAGE_DOS_HEADER *>(base)->e_lfanew);
    const BYTE *end = base + nt->OptionalHeader.SizeOfImage;
    using QueryFn = LONG(WINAPI *)(HANDLE, int, void *, ULONG, ULONG *);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    constexpr int kThreadQuerySetWin32StartAddress = 9;
    std::vector<DWORD> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te{};
    te.dwSize = sizeof(te);
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) {
        if (te.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        HANDLE h = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
        void *start = nullptr;
        if (h && query && query(h, kThreadQuerySetWin32StartAddress, &start, sizeof(start), nullptr) == 0 &&
            static_cast<const BYTE *>(start) >= base && static_cast<const BYTE *>(start) < end)
            out.push_back(te.th32ThreadID);
        if (h)
            CloseHandle(h);
    }
    CloseHandle(snap);
    return out;
}

double LibraryCpu(HMODULE module)
{
    double s = 0;
    for (DWORD id : ThreadsOf(module))
        s += ThreadSeconds(id);
    return s;
}

// Plays n looping channels for kRunMs; returns the library's CPU seconds and
// the audio seconds that passed (from the capture, or the wall clock).
void RunChannels(Bass &bass, int n, bool device, double *cpu, double *audio)
{
    Capture capture;
    std::string wav = MakeWav(22050, 1, 16, Tone(22050, 1, 1.7, 440, 600));
    DWORD sample = bass.SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), kChannels, kLoop);
    std::vector<DWORD> chans;
    for (int i = 0; i < n; ++i) {
        DWORD ch = bass.SampleGetChannel(sample, FALSE);
        bass.ChannelSetAttributes(ch, 22050 + i * 300, 1000, (i * 13) % 201 - 100);
        bass.ChannelPlay(ch, FALSE);
        chans.push_back(ch);
    }
    Sleep(300);
    double cpu0 = LibraryCpu(bass.module);
    size_t mark0 = capture.Mark();
    DWORD t0 = GetTickCount();
    Sleep(kRunMs);
    *cpu = LibraryCpu(bass.module) - cpu0;
    DWORD wall = GetTickCount() - t0;
    *audio = device && capture.Available() ? (capture.Mark() - mark0) / kBytesPerAudioSecond : wall / 1000.0;
    for (DWORD ch : chans)
        bass.ChannelStop(ch);
}

TEST(MixerBenchmark, ThirtyTwoChannels)
{
    Bass bass;
    ASSERT_TRUE(bass.Load(testutil::DistPath("bass.dll")));
    struct Mode {
        int device;
        const char *name;
    } modes[] = {{0, "no output (mixer alone, real time)"}, {1, "waveOut (per second of audio played)"}};
    for (const Mode &m : modes) {
        ASSERT_TRUE(bass.Init(m.device, 44100, 0, nullptr, nullptr));
        bass.SetConfig(3, 1000);
        bass.SetConfig(4, 1000);
        for (int n : {0, kChannels}) {
            double cpu = 0, audio = 0;
            RunChannels(bass, n, m.device == 1, &cpu, &audio);
            double share = audio > 0 ? 100.0 * cpu / audio : 0;
            printf("mixer, %s, %2d channels: %.3f s CPU for %.2f s of audio = %.2f %% of one core\n", m.name, n,
                   cpu, audio, share);
            RecordProperty(std::string(m.device ? "waveout_" : "nosound_") + std::to_string(n) + "ch_percent",
                           std::to_string(share));
        }
        bass.Free();
    }
    bass.Unload();
}

}  // namespace
