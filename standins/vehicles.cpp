#include "standins/vehicles.h"

SceneRect StopPostRect = {265, 348 - 268, 32, 115};
std::atomic<uint32_t> BusHalted{0};
std::atomic<int> TramOnStage{0};
void StartFlieger() {}
void DrawFlieger() {}
void UnloadFlieger() {}
