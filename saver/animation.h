// The animation thread: composes a frame from the background, the scene step
// and the clock, shows it and waits for the next.
#pragma once

#include "common.h"

extern HANDLE MoveImageThread;
extern int FrameInterval;

// 1 when the thread runs.
int StartMoveImage();
// Ends the thread (sets the end flag) and waits for it, serving sent messages;
// false when it did not end in time.
bool StopMoveImage(DWORD timeoutMs);

#include <atomic>

// Set from the moment the day phase is due to change until the scene is
// rebuilt for it.
extern std::atomic<uint32_t> PhaseChangeDue;
// 1 while the bus is on stage.
extern std::atomic<uint32_t> BusOnStage;
