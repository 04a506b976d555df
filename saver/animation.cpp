// The frame loop as far as the built scene needs it: background, scene step,
// window and clock at a steady pace. Housekeeping and the choice of figures
// come with the street's life.
#include "animation.h"

#include "calendar.h"
#include "clock.h"
#include "clocks.h"
#include "config.h"
#include "debuglog.h"
#include "entry.h"
#include "keys.h"
#include "random.h"
#include "scenestep.h"
#include "screen.h"
#include "startup.h"

HANDLE MoveImageThread = nullptr;
std::atomic<uint32_t> PhaseChangeDue{0};
std::atomic<uint32_t> BusOnStage{0};
int FrameInterval = 40;

namespace {

constexpr int kFramePeriodBase = 60;
constexpr DWORD kSpinBelow = 5;

void ComposeFrame(HDC window)
{
    std::lock_guard<std::mutex> hold(SceneDCLock());
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

// Keeps a deadline so that the average period is the frame interval, however
// long each frame's work took.
void WaitForDeadline(DWORD *deadline)
{
    DWORD now = timeGetTime();
    *deadline += static_cast<DWORD>(FrameInterval);
    LONG rest = static_cast<LONG>(*deadline - now);
    if (rest <= 0) {
        // Far behind: start afresh rather than racing to catch up.
        if (rest < -FrameInterval)
            *deadline = now;
        return;
    }
    if (static_cast<DWORD>(rest) >= kSpinBelow) {
        Sleep(static_cast<DWORD>(rest));
        return;
    }
    while (static_cast<LONG>(*deadline - timeGetTime()) > 0) {
    }
}

DWORD WINAPI MoveImage(LPVOID)
{
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>(now.wDay * now.wMilliseconds));
    // The thread has a DC of its own: a DC another thread is using is refused.
    HDC window = GetDC(MainWindow);
    DWORD deadline = timeGetTime();
    while (window && !EndFlag) {
        if (RunState > kRunning)
            break;
        UpdateTimeOfDay(0);
        RunQueuedSceneKeys();
        ComposeFrame(window);
        DrawClock(window);
        WaitForDeadline(&deadline);
    }
    if (window)
        ReleaseDC(MainWindow, window);
    WriteLog("MoveImage() - beendet");
    return 0;
}

}  // namespace

int StartMoveImage()
{
    FrameInterval = kFramePeriodBase - Speed;
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
