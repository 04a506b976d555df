// The bus stop: the post (object 111) with the rectangle it publishes, and
// the flag that the bus stands at it with its doors open.
#pragma once

#include "base/gdiutil.h"

#include <atomic>
#include <cstdint>

// x, y, width, height of the post in scene coordinates.
extern SceneRect StopPostRect;
// 1 while the bus pulls in at the stop and stands there.
extern std::atomic<uint32_t> BusHalted;

// The screen build places the post's rectangle before it loads the post, so
// that a post that never comes on stage still leaves the stop where it is.
void PlaceStopPost();
// The stop's base line (the post's foot line), the same whether the post is on
// stage or not.
int StopFootLine();

void Figur111Script();
void ResetFigur111();
