#include "scene/animation.h"

#include "base/debuglog.h"
#include "base/gdicost.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "core/random.h"
#include "scene/hooks.h"
#include "scene/bubbles.h"
#include "scene/clocks.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "services/weather.h"
#include "services/birthdays.h"
#include "services/mail.h"

#include <psapi.h>

#include <algorithm>
#include <vector>

HANDLE MoveImageThread = nullptr;
std::atomic<uint32_t> PhaseChangeDue{0};
std::atomic<uint32_t> BusOnStage{0};
std::atomic<int> TramOnStage{0};
int FrameInterval = 40;
int LastRebuildHour = -1;

namespace {

constexpr int kFramePeriodBase = 60;
constexpr DWORD kSpinBelow = 5;

// Countdowns in housekeeping passes.
constexpr int kStartPedestrian = 16, kStartVehicle = 32, kStartAircraft = 64;
constexpr int kDuePedestrian = 1000, kDueVehicle = 4000, kDueAircraft = 8000;
constexpr int kRebuiltPedestrian = 20, kRebuiltVehicle = 80, kRebuiltAircraft = 160;
constexpr int kRetrySoon = 5, kRetryWhileDue = 40;
constexpr int kStrikeEvery = 6;
constexpr int kPauseSeconds = 8;
constexpr int kAmbientChance = 33;
constexpr int kRebuildMinutes = 10;
constexpr int kLastStreetObject = 109;
constexpr int kManyPedestrians = 3;
constexpr int kNewMailFigure = 46;
constexpr int kAircraftHeight = 800;

std::atomic<DWORD> gAnimationThreadId{0};
HDC gWindowDC = nullptr;

// Frame periods of the run for the log's closing report: a count per
// millisecond up to the last bucket, which takes everything longer.
constexpr int kPeriodBuckets = 256;
struct FrameStats {
    DWORD lastStart = 0;
    uint32_t frames = 0;
    uint64_t periodSum = 0;
    // A load on the animation thread shows as one long frame the buckets hide.
    DWORD longest = 0;
    uint32_t periods[kPeriodBuckets] = {};
};

// The schedule walks every light and may repaint many of them in one frame:
// its longest pass is what a slow machine would stutter on.
double gLongestSchedulePassMs = 0.0;

void CountFrame(FrameStats *stats, DWORD now)
{
    if (stats->frames > 0) {
        DWORD period = now - stats->lastStart;
        stats->periodSum += period;
        stats->longest = std::max(stats->longest, period);
        ++stats->periods[period < kPeriodBuckets ? period : kPeriodBuckets - 1];
    }
    stats->lastStart = now;
    ++stats->frames;
}

constexpr SIZE_T kWorkingSetPage = 4096;

// How much of the program file's mapping sits in the working set now: its
// pages that a resource read brought in and nothing has given back.
SIZE_T ProgramFileResidentBytes(SIZE_T *mapped)
{
    *mapped = 0;
    MODULEINFO module = {};
    if (!GetModuleInformation(GetCurrentProcess(), GetModuleHandleA(nullptr), &module, sizeof(module)))
        return 0;
    const SIZE_T pages = module.SizeOfImage / kWorkingSetPage;
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> info(pages);
    auto *base = static_cast<BYTE *>(module.lpBaseOfDll);
    for (SIZE_T i = 0; i < pages; ++i)
        info[i].VirtualAddress = base + i * kWorkingSetPage;
    // Older systems have no such query: the part then reads 0.
    using QueryFn = BOOL(WINAPI *)(HANDLE, PVOID, DWORD);
    HMODULE psapi = GetModuleHandleA("psapi.dll");
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void (*)()>(psapi ? GetProcAddress(psapi, "QueryWorkingSetEx") : nullptr));
    if (pages == 0 || !query ||
        !query(GetCurrentProcess(), info.data(), static_cast<DWORD>(pages * sizeof(info[0]))))
        return 0;
    *mapped = module.SizeOfImage;
    SIZE_T resident = 0;
    for (const PSAPI_WORKING_SET_EX_INFORMATION &page : info)
        resident += page.VirtualAttributes.Valid ? kWorkingSetPage : 0;
    return resident;
}

// What the working set is made of: the bitmaps alive (the two scene buffers
// among them) and the program file's pages; the rest is the runtime's own.
void LogMemoryParts()
{
    SIZE_T mapped = 0;
    const SIZE_T resident = ProgramFileResidentBytes(&mapped);
    const int64_t buffers = BitmapBytes(WorkBitmap) + BitmapBytes(BackgroundBitmap);
    WriteLog("Speicheranteile: Bitmaps %lld KB (davon Arbeits- und Hintergrundbild %lld KB), "
             "Programmdatei %lu KB von %lu KB im Arbeitsspeicher",
             static_cast<long long>(BitmapBytesAlive() / 1024), static_cast<long long>(buffers / 1024),
             static_cast<unsigned long>(resident / 1024), static_cast<unsigned long>(mapped / 1024));
}

// How the frames kept their pace, what a frame cost the thread, and the
// process's memory at the end: the figures a slow machine is judged by.
void LogFrameStats(const FrameStats &stats)
{
    if (!DebugOn || stats.frames < 2)
        return;
    const uint32_t periods = stats.frames - 1;
    const uint32_t rank = periods - periods / 100;
    uint32_t seen = 0;
    int p99 = kPeriodBuckets - 1;
    for (int ms = 0; ms < kPeriodBuckets; ++ms) {
        seen += stats.periods[ms];
        if (seen >= rank) {
            p99 = ms;
            break;
        }
    }
    FILETIME created, exited, kernel, user;
    double cpuMs = 0.0;
    if (GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) {
        auto ticks = [](const FILETIME &t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        cpuMs = static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
    }
    WriteLog("MoveImage: %lu Bilder, Periode %.2f ms (Soll %d ms), 99%% bis %d ms, längste %lu ms, "
             "CPU %.3f ms/Bild, %.1f Figurenbilder/Bild",
             static_cast<unsigned long>(stats.frames), static_cast<double>(stats.periodSum) / periods,
             FrameInterval, p99, static_cast<unsigned long>(stats.longest), cpuMs / stats.frames,
             static_cast<double>(MaskedBlitsDrawn()) / stats.frames);
    if (gLongestSchedulePassMs > 0.0)
        WriteLog("LichtSteuerung: längster Durchlauf %.3f ms", gLongestSchedulePassMs);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)))
        WriteLog("Arbeitsspeicher: %lu KB (Spitze %lu KB), GDI-Objekte: %ld",
                 static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                 static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024), static_cast<long>(GdiObjectsAlive()));
    LogMemoryParts();
}

void ComposeFrame(HDC window)
{
    SceneDCHold hold;
    if (!WorkDC || !BackgroundDC)
        return;
    BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
    SceneStep();
    BitBlt(window, SceneX, SceneY, SceneW, SceneH, WorkDC, 0, 0, SRCCOPY);
}

void DrawClock(HDC window)
{
    if (Uhr == 0) {
        std::lock_guard<std::mutex> hold(SceneDCLock());
        DrawDigitalClock(window, Hour, Minute, 0);
    } else if (Uhr == 1) {
        DrawAClock(window, ClockX, ClockY);
    }
}

void WaitForDeadline(uint32_t *deadline)
{
    int32_t rest = FrameRest(deadline, timeGetTime(), FrameInterval);
    if (rest <= 0)
        return;
    // A short sleep overshoots: the last few milliseconds are spun.
    if (static_cast<DWORD>(rest) >= kSpinBelow) {
        Sleep(static_cast<DWORD>(rest));
        return;
    }
    while (static_cast<int32_t>(*deadline - timeGetTime()) > 0) {
    }
}

// A choice that brought nobody is tried again soon.
int RetryCountdown() { return PhaseChangeDue ? kRetryWhileDue : kRetrySoon; }

// ---------------------------------------------------------------- per minute

void MailStep()
{
    if (!MailCheckOn)
        return;
    NewMail = CountUnread(MainWindow) > MailBaseline ? 1 : 0;
    if (NewMail) {
        FigurTable[kNewMailFigure].Pause = 0;
        FigurTable[kNewMailFigure].MayReturn = 1;
    }
}

void WeatherStep(Housekeeping *hk)
{
    if (!WeatherShow)
        return;
    ++hk->weatherMinutes;
    if ((hk->weatherMinutes > Weather[1] || !WeatherValid) && !WeatherDownloadBusy) {
        hk->weatherMinutes = 0;
        StartGetMETAR();
    }
}

void BusTimetable(Housekeeping *hk)
{
    int interval = (TimeOfDay >= kDay && TimeOfDay <= kNight) ? BusKommt[TimeOfDay - 1] : 0;
    if (BusOnStage || interval <= 0 || Minute % interval != 0)
        return;
    WriteLog("-- BUS --");
    if (SceneVehicles().requestBus()) {
        hk->vehicleCountdown = 8 + Rand() % 35;
    }
}

void EveryMinute(Housekeeping *hk)
{
    if (Minute == hk->lastMinute)
        return;
    hk->lastMinute = Minute;
    MailStep();
    WeatherStep(hk);
    BusTimetable(hk);
    if (!PhaseChangeDue && IsPhaseChangeTime()) {
        PhaseChangeDue = 1;
        WriteLog("-TW-");
        hk->pedestrianCountdown = kDuePedestrian;
        hk->vehicleCountdown = kDueVehicle;
        hk->aircraftCountdown = kDueAircraft;
    }
}

// ---------------------------------------------------------------- phase change

void ForceUnloadStreet()
{
    WriteLog("+++ ALLES WIRD ZWANGS-ENTLADEN +++");
    for (int id = 1; id <= kLastStreetObject; ++id)
        UnloadFigur(id);
    for (int id = kFirstAircraft; id <= kLastAircraft; ++id)
        UnloadFigur(id);
    PedestrianCount = 0;
    VehicleCountLeft = 0;
    VehicleCountRight = 0;
    AircraftCount = 0;
}

void PhaseChange(Housekeeping *hk)
{
    if (!PhaseChangeDue || BusOnStage || LastRebuildHour == Hour || Minute >= kRebuildMinutes)
        return;
    WriteLog("Neue Tageszeit? Figuren: %2d, Fahrzeuge: <-%d  %d->, Flieger: %d", PedestrianCount.load(),
             VehicleCountLeft.load(), VehicleCountRight.load(), AircraftCount.load());
    LogFiguresOnStage(true);
    if (Minute > 0 && ++hk->forceUnloadCount > kForceUnloadPasses) {
        ForceUnloadStreet();
        hk->forceUnloadCount = 0;
    }
    if (PedestrianCount != 0 || VehicleCountLeft != 0 || VehicleCountRight != 0 || AircraftCount != 0)
        return;
    WriteLog("Tageszeit ...");
    if (CreateScreen()) {
        PhaseChangeDue = 0;
        hk->pedestrianCountdown = kRebuiltPedestrian;
        hk->vehicleCountdown = kRebuiltVehicle;
        hk->aircraftCountdown = kRebuiltAircraft;
        hk->forceUnloadCount = 0;
        LoadGeburtstage();
        BirthdaysToday = HeuteGeburtstag();
    } else {
        SetRunStateError(kMemoryError);
        WriteLog("+++ FEHLER +++");
    }
    LastRebuildHour = Hour;
}

// ---------------------------------------------------------------- pauses and choices

void PauseCountdown(Housekeeping *hk)
{
    if (PhaseChangeDue || Second == hk->lastSecond || Second % kPauseSeconds != 0)
        return;
    if (Sound && Rand() % kAmbientChance == 0)
        PlayAmbientSounds(TimeOfDay, Season);
    for (int id = 1; id <= kLastVehicle; ++id) {
        FigurRecord &r = FigurTable[id];
        if (FigurSheetCount[id] == 0 || IsRecordLoaded(r))
            continue;
        if (r.Pause > 0)
            --r.Pause;
        r.MayReturn = r.Pause == 0 ? 1 : 0;
    }
    hk->lastSecond = Second;
}

void ChoosePedestrian(Housekeeping *hk)
{
    if (BusOnStage)
        return;
    if (--hk->pedestrianCountdown > 0 || PedestrianCount >= MaxFigurenAktiv)
        return;
    int id = NextPedestrian();
    if (id > 0 && LoadScripted(id, 0))
        hk->pedestrianCountdown = PedestrianCount >= kManyPedestrians ? 32 + Rand() % 97 : 8 + Rand() % 25;
    else
        hk->pedestrianCountdown = RetryCountdown();
}

void ChooseVehicle(Housekeeping *hk)
{
    if (--hk->vehicleCountdown >= 1)
        return;
    int id = NextVehicle();
    if (id > 0 && LoadScripted(id, 0)) {
        int least = TimeOfDay == kNight ? 16 : 8;
        hk->vehicleCountdown = least + Rand() % (TimeOfDay * 40 - least + 1);
    } else {
        hk->vehicleCountdown = RetryCountdown();
    }
}

void TimedSchedulePass()
{
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    SceneFeatures().controlLights(0, 0);
    QueryPerformanceCounter(&end);
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        double ms = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
        if (ms > gLongestSchedulePassMs)
            gLongestSchedulePassMs = ms;
    }
}

void AircraftAndLights(Housekeeping *hk)
{
    if (ClientHeight > kAircraftHeight && TimeOfDay == kDay) {
        if (--hk->aircraftCountdown < 1 && AircraftCount == 0) {
            hk->aircraftCountdown = 100 + Rand() % 601;
            if (!PhaseChangeDue)
                SceneVehicles().startAircraft();
        }
    }
    if (TimeOfDay != kDay && !PhaseChangeDue)
        TimedSchedulePass();
}

DWORD WINAPI MoveImage(LPVOID)
{
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>(now.wDay * now.wMilliseconds));
    KeepBlitDCs();
    // The thread has a DC of its own: a DC another thread is using is refused.
    HDC window = GetDC(MainWindow);
    gWindowDC = window;
    gAnimationThreadId = GetCurrentThreadId();
    WeatherDownloadBusy = 0;
    Housekeeping hk;
    ResetHousekeeping(&hk);
    uint32_t deadline = timeGetTime();
    FrameStats stats;
    while (window && !EndFlag) {
        if (RunState > kRunning)
            break;
        CountFrame(&stats, timeGetTime());
        SceneShell().runQueuedKeys();
        if (CountPass(&hk))
            RunHousekeeping(&hk);
        if (WeatherShow)
            SceneFeatures().updateWeatherSign();
        ComposeFrame(window);
        DrawClock(window);
        if (AircraftCount)
            SceneVehicles().drawAircraft();
        WaitForDeadline(&deadline);
    }
    // The bubble is the animation thread's: it goes with it.
    if (OpenBubbleKind) {
        std::lock_guard<std::mutex> hold(SceneDCLock());
        KillSprechblase();
    }
    LogFrameStats(stats);
    gAnimationThreadId = 0;
    gWindowDC = nullptr;
    if (window)
        ReleaseDC(MainWindow, window);
    ReleaseBlitDCs();
    WriteLog("MoveImage() - beendet");
    return 0;
}

}  // namespace

HDC SceneWindowDC() { return GetCurrentThreadId() == gAnimationThreadId ? gWindowDC : nullptr; }

void PostHideCursor()
{
    if (MainWindow)
        PostMessageA(MainWindow, kHideCursorMessage, 0, 0);
}

void ResetHousekeeping(Housekeeping *hk)
{
    hk->pass = 999;
    hk->pedestrianCountdown = kStartPedestrian;
    hk->vehicleCountdown = kStartVehicle;
    hk->aircraftCountdown = kStartAircraft;
    hk->lastMinute = -1;
    hk->forceUnloadCount = 0;
    hk->weatherMinutes = 9999;
    hk->strikeCounter = 0;
    hk->lastSecond = 0;
}

bool CountPass(Housekeeping *hk)
{
    if (KeyForce) {
        hk->lastMinute = -1;
        hk->pass = kHousekeepingEvery;
        KeyForce = 0;
    }
    if (++hk->pass < kHousekeepingEvery)
        return false;
    hk->pass = 0;
    return true;
}

void RunHousekeeping(Housekeeping *hk)
{
    UpdateTimeOfDay(0);
    MusicHousekeeping();
    if (Sound && ++hk->strikeCounter >= kStrikeEvery) {
        hk->strikeCounter = 0;
        RunSoundSchedule();
    }
    EveryMinute(hk);
    PhaseChange(hk);
    PauseCountdown(hk);
    ChoosePedestrian(hk);
    ChooseVehicle(hk);
    AircraftAndLights(hk);
}

int StartMoveImage()
{
    FrameInterval = kFramePeriodBase - Speed;
    LastRebuildHour = -1;
    DWORD threadId = 0;
    MoveImageThread = CreateThread(nullptr, 0, MoveImage, nullptr, 0, &threadId);
    if (!MoveImageThread) {
        WriteLog("MoveImage-Thread NICHT gestartet");
        return 0;
    }
    SetThreadPriority(MoveImageThread, THREAD_PRIORITY_ABOVE_NORMAL);
    WriteLog("MoveImage-Thread gestartet");
    return 1;
}

bool StopMoveImage(DWORD timeoutMs)
{
    if (!MoveImageThread)
        return true;
    EndFlag = 1;
    if (!JoinThread(MoveImageThread, timeoutMs)) {
        WriteLog("+++ MoveImage() endet nicht");
        return false;
    }
    CloseHandle(MoveImageThread);
    MoveImageThread = nullptr;
    return true;
}
