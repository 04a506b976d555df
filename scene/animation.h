// The animation thread: composes a frame from the background, the scene step
// and the clock, shows it and waits for the next; on the first and every
// ninth pass it runs the housekeeping, the scene's scheduler.
#pragma once

#include "base/common.h"
#include "core/pacing.h"

#include <atomic>

extern HANDLE MoveImageThread;
extern int FrameInterval;

// 1 when the thread runs.
int StartMoveImage();
// Ends the thread (sets the end flag) and waits for it, serving sent messages;
// false when it did not end in time.
bool StopMoveImage(DWORD timeoutMs);

// Set from the moment the day phase is due to change until the scene is
// rebuilt for it.
extern std::atomic<uint32_t> PhaseChangeDue;
// 1 while the bus is on stage.
extern std::atomic<uint32_t> BusOnStage;
// 72 while the tram is on stage, else 0: the casting brings the tram only
// while it is 0.
extern std::atomic<int> TramOnStage;
// The hour of the last rebuild attempt: the rebuild is tried once an hour.
extern int LastRebuildHour;

// The animation thread's own DC of the window, for what is drawn straight
// onto the window (the part of a bubble above the scene); null on any other
// thread.
HDC SceneWindowDC();
// Scripts hide the pointer through the window's own thread.
constexpr UINT kHideCursorMessage = WM_APP + 0x31;
void PostHideCursor();

// The scheduler's counters, kept by the animation thread.
struct Housekeeping {
    int pass;                 // passes since the last housekeeping
    int pedestrianCountdown;  // housekeeping passes until the next pedestrian
    int vehicleCountdown;
    int aircraftCountdown;
    int lastMinute;
    int forceUnloadCount;     // housekeeping passes spent waiting for an empty street
    int weatherMinutes;
    int strikeCounter;
    int lastSecond;
};
constexpr int kHousekeepingEvery = 9;
constexpr int kForceUnloadPasses = 1000;

void ResetHousekeeping(Housekeeping *hk);
// Counts one pass (a forced one when the Pause key asked); true when this
// pass runs the housekeeping.
bool CountPass(Housekeeping *hk);
void RunHousekeeping(Housekeeping *hk);
