// What every part of the running screensaver reads of the program: its mode,
// instance and window, the run flags every thread polls, the scene's window
// size and the pointer and key flags. The entry and the start-up set them, the
// window procedure and the keys raise the flags; the threads below only read
// them or clear what they have served.
#pragma once

#include "base/common.h"

#include <atomic>

enum SaverModes : int {
    kModeUnset = 0,
    kModeConfig = 1,
    kModePreview = 3,
    kModeFullScreen = 4,
};

extern int SaverMode;
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern DWORD MainThreadId;

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
extern uint32_t PaletteDisplay;
// The palette of the scene's pictures: what every picture is reduced to on a
// palette display. Made by the first picture the start-up loads.
extern HPALETTE ScenePalette;

// The pointer and the flags the mouse and the keys raise for the scene.
extern std::atomic<uint32_t> ClickPending, TalkPending, RemovePending;
extern std::atomic<int> MouseX, MouseY;
extern std::atomic<uint32_t> NoteEditorOpen;
extern std::atomic<uint32_t> KeyForce;

// Sets an error state unless the window is already closing or showing one.
void SetRunStateError(int state);
// Waits up to ms for the end flag, serving messages sent to this thread; on
// the main thread a close request waiting in the queue sets the end flag, so
// that no start-up wait holds off a user who wants out. True when the end flag
// is set.
bool WaitUnlessEnding(DWORD ms);
// Waits for a thread to end, serving sent messages meanwhile; false on timeout.
bool JoinThread(HANDLE thread, DWORD timeoutMs);
// The image library's progress callback: a long decode stops once the saver ends.
BOOL WINAPI ImageAbortCallback(uint32_t row, uint32_t rows, uint32_t userValue);

// The screen's colour count: 1..16 is too few, 16..256 a palette display.
bool IsPaletteColourCount(int colours);
bool IsTooFewColours(int colours);
