// Window creation and the start-up that runs one step per timer tick until
// the animation thread runs, with the error screens it can end in.
#pragma once

#include "base/common.h"

#include <atomic>

enum RunStates : int {
    kStillPicture = -1,
    kRunning = 100,
    kEndRequested = 101,
    kEndPosted = 102,
    kColoursError = 997,
    kMemoryError = 998,
    kErrorScreenSetup = 999,
    kErrorScreen = 1000,
};

constexpr UINT_PTR kSaverTimer = 101;

// The run flags: RunState advances by compare-exchange from whichever thread
// finishes a start-up step; EndFlag, once raised (by the shutdown, a failed
// start-up step or the error screen), is never lowered while the saver runs,
// and every thread polls it.
extern std::atomic<int> RunState;
extern std::atomic<uint32_t> EndFlag;

// The scene's window size: the client rectangle read at creation (the host's
// size for the preview, the screen's for the saver proper).
extern int ClientWidth, ClientHeight;
extern uint32_t SmallWindow;
extern uint32_t DisplayChanged;
extern uint32_t PaletteDisplay;
extern uint32_t TimerResolution;
extern HANDLE SaverMutex;
extern bool SaverMutexOwned;  // an existing mutex of that name is not ours to release
extern DWORD StartTick;
extern HCURSOR SaverCursor;
extern std::atomic<int> CursorTicks;
extern int TwelveHourClock;  // system iTime 0
extern int MailCheckOn;
// Logs on to the mail system when the settings and the profile allow it and
// takes the unread count as the baseline.
void StartMailCheck(HWND window);
extern int ShutterTrend[2];  // read by the house lights
extern HBITMAP ClockStrips[3];  // digit strips "UHR_00" .. "UHR_02"
extern DWORD MainThreadId;


LRESULT OnCreate(HWND window, const CREATESTRUCTA *create);
void OnTimer(HWND window, UINT_PTR timerId);
BOOL WINAPI ImageAbortCallback(uint32_t row, uint32_t rows, uint32_t userValue);
// The shutdown deletes the error screen's picture.
void FreeErrorPicture();

// Sets an error state unless the window is already closing or showing one.
void SetRunStateError(int state);
// Waits up to ms for the end flag, serving messages sent to this thread; on
// the main thread a close request waiting in the queue sets the end flag, so
// that no start-up wait holds off a user who wants out. True when the end flag
// is set.
bool WaitUnlessEnding(DWORD ms);
// Waits for a thread to end, serving sent messages meanwhile; false on timeout.
bool JoinThread(HANDLE thread, DWORD timeoutMs);

// Pure rules of the start-up, kept apart so they can be checked directly.
// Next state of step 0 by the screen's colour count (1..16: the colours error).
bool IsPaletteColourCount(int colours);
bool IsTooFewColours(int colours);
// Bytes the scene needs for a screen of w x h: 2 per pixel on palette
// displays, 4 for up to 65535 colours, else 6.
double MemoryNeed(int width, int height, bool paletteDisplay, int numColours);
// The two shutter trend values for a day phase and the time.
void ComputeShutterTrend(int timeOfDay, int hour, int minute, int trend[2]);
// The language number of the scene's pictures: 1 German, 2 anything else.
int SceneLangNo();

// One move of the error picture inside w x h.
struct Bounce {
    int x, y, dx, dy;
};
void BounceStep(Bounce *b, int width, int height, int pictureW, int pictureH);
