// What the scene's pictures cost: the bytes GDI keeps for them and the masked
// sprite blits drawn, for the closing report of a run.
#pragma once

#include "base/common.h"

#include <cstdint>

// Bytes GDI keeps for a bitmap's pixels (screen depth for a picture, one bit
// a pixel for a mask), and for every bitmap the helpers track that is alive.
int64_t BitmapBytes(HBITMAP bitmap);
int64_t BitmapBytesAlive();
// Masked sprite blits (a mask and a sheet each) since the start, to tell a
// frame's cost from the number of sprites it drew.
uint32_t MaskedBlitsDrawn();
// Bitmaps selected into a DC by the helpers since the start: a frame that
// draws the sheets of the frame before selects none.
uint32_t BitmapSelections();
