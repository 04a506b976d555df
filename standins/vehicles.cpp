#include "standins/vehicles.h"

#include "scene_geometry.h"

// Scene rows are counted from the top of the scene strip at the picture's foot.
SceneRect StopPostRect = {scene::kStopPostX, scene::kStopPostY - scene::kSceneTop, scene::kStopPostW, scene::kStopPostH};
std::atomic<uint32_t> BusHalted{0};
std::atomic<int> TramOnStage{0};
void StartFlieger() {}
void DrawFlieger() {}
void UnloadFlieger() {}
