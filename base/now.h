// The one place the program reads the local time. Tests move the clock to any
// day and hour (Christmas, night, winter) without touching the system clock.
#pragma once

#include "base/common.h"

// Local time as the scene should see it.
void NowLocal(SYSTEMTIME *out);

// Lets the clock run on from the given moment (the offset to the real clock is kept).
void ClockStartAt(const SYSTEMTIME &moment);
// Stops the clock at the given moment until ClockReset.
void ClockFreeze(const SYSTEMTIME &moment);
void ClockReset();

// Reads WYN_CLOCK ("YYYY-MM-DD HH:MM:SS") from the environment, so that a test
// can start the program at a chosen moment. Returns true when it was set.
bool ClockFromEnvironment();
