// Frame pacing by a deadline, so that the frame period stays the interval on
// average however long each frame's work takes.
#pragma once

#include <cstdint>

// Moves the frame deadline on by interval and returns how long to wait for
// it; a deadline far behind (a long frame) starts afresh rather than racing.
// Times are milliseconds of a clock that wraps.
int32_t FrameRest(uint32_t *deadline, uint32_t now, int interval);
