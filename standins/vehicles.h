// The bus, the tram and the aircraft, until their scripts come: no vehicle is on
// stage, and the stop post keeps the rectangle its script will write when it
// sets itself up.
#pragma once

#include "base/gdiutil.h"

#include <atomic>

extern SceneRect StopPostRect;
extern std::atomic<uint32_t> BusHalted;
extern std::atomic<int> TramOnStage;  // 72 while the tram runs, else 0
void StartFlieger();
void DrawFlieger();
void UnloadFlieger();
