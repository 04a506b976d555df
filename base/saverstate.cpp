#include "base/saverstate.h"

int SaverMode = kModeUnset;
HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
DWORD MainThreadId = 0;

std::atomic<int> RunState{0};
std::atomic<uint32_t> EndFlag{0};

int ClientWidth = 0, ClientHeight = 0;
uint32_t SmallWindow = 0;
uint32_t PaletteDisplay = 0;
HPALETTE ScenePalette = nullptr;

std::atomic<uint32_t> ClickPending{0}, TalkPending{0}, RemovePending{0};
std::atomic<int> MouseX{0}, MouseY{0};
std::atomic<uint32_t> NoteEditorOpen{0};
std::atomic<uint32_t> KeyForce{0};

bool IsTooFewColours(int colours) { return colours >= 1 && colours <= 16; }
bool IsPaletteColourCount(int colours) { return colours >= 16 && colours <= 256; }

// ---------------------------------------------------------------- waiting

bool JoinThread(HANDLE thread, DWORD timeoutMs)
{
    if (!thread)
        return true;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        DWORD rc = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (rc == WAIT_OBJECT_0)
            return true;
        if (rc == WAIT_OBJECT_0 + 1) {
            // Serve messages sent by the thread we wait for, nothing else.
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (rc == WAIT_FAILED)
            return false;
    }
}

namespace {

bool CloseRequestQueued()
{
    MSG msg;
    if (PeekMessageA(&msg, MainWindow, WM_CLOSE, WM_CLOSE, PM_NOREMOVE))
        return true;
    if (PeekMessageA(&msg, MainWindow, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE) && msg.wParam == VK_ESCAPE &&
        !(GetKeyState(VK_CONTROL) & 0x8000))
        return true;
    return false;
}

}  // namespace

bool WaitUnlessEnding(DWORD ms)
{
    if (EndFlag)
        return true;
    if (GetCurrentThreadId() != MainThreadId) {
        Sleep(ms);
        return EndFlag != 0;
    }
    DWORD start = GetTickCount();
    for (;;) {
        if (CloseRequestQueued())
            EndFlag = 1;
        if (EndFlag)
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_SENDMESSAGE | QS_POSTMESSAGE | QS_KEY) ==
            WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

void SetRunStateError(int state)
{
    int current = RunState.load();
    for (;;) {
        if (current == kEndRequested || current == kEndPosted || current >= kColoursError)
            return;
        if (RunState.compare_exchange_weak(current, state))
            return;
    }
}

BOOL WINAPI ImageAbortCallback(uint32_t, uint32_t, uint32_t) { return EndFlag ? FALSE : TRUE; }
