// The stride count of the pavement figures: a frame advances when Tick
// passes its limit, a stride ends after the cycle's last frame. An
// avoidance order is applied only at a stride's end and is used up by every
// call, so a stale order never carries into a later stride.
#pragma once

#include "figures/scriptframe.h"

// True on the call that ends a stride of frames frames (Frame back to 0);
// otherwise AvoidOrder is dropped.
inline bool FigStrideEnds(FigurRecord &r, int limit, int frames = kWalkFrames)
{
    if (!FigTick(r, limit) || ++r.Frame < frames) {
        r.AvoidOrder = 0;
        return false;
    }
    r.Frame = 0;
    return true;
}
