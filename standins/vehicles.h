// The tram and the aircraft, until their scripts come: neither is on stage.
#pragma once

#include <atomic>

extern std::atomic<int> TramOnStage;  // 72 while the tram runs, else 0
void StartFlieger();
void DrawFlieger();
void UnloadFlieger();
