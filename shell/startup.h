// Window creation and the start-up that runs one step per timer tick until
// the animation thread runs, with the error screens it can end in.
#pragma once

#include "base/saverstate.h"

#include <atomic>

constexpr UINT_PTR kSaverTimer = 101;

extern uint32_t DisplayChanged;
extern uint32_t TimerResolution;
extern HANDLE SaverMutex;
extern bool SaverMutexOwned;  // an existing mutex of that name is not ours to release
extern DWORD StartTick;
extern HCURSOR SaverCursor;
extern std::atomic<int> CursorTicks;
// Logs on to the mail system when the settings and the profile allow it and
// takes the unread count as the baseline.
void StartMailCheck(HWND window);
extern int ShutterTrend[2];  // read by the house lights

LRESULT OnCreate(HWND window, const CREATESTRUCTA *create);
void OnTimer(HWND window, UINT_PTR timerId);
// The shutdown deletes the error screen's picture.
void FreeErrorPicture();

// Pure rules of the start-up, kept apart so they can be checked directly.
// Bytes the scene needs for a screen of w x h: 2 per pixel on palette
// displays, 4 for up to 65535 colours, else 6.
double MemoryNeed(int width, int height, bool paletteDisplay, int numColours);
// The two shutter trend values for a day phase and the time.
void ComputeShutterTrend(int timeOfDay, int hour, int minute, int trend[2]);

// One move of the error picture inside w x h.
struct Bounce {
    int x, y, dx, dy;
};
void BounceStep(Bounce *b, int width, int height, int pictureW, int pictureH);
