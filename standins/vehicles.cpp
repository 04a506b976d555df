#include "standins/vehicles.h"

std::atomic<int> TramOnStage{0};
void StartFlieger() {}
void DrawFlieger() {}
void UnloadFlieger() {}
