#include "standins/headlights.h"

void LoadScheinwerfer() {}
void UnloadScheinwerfer() {}
void DrawAllScheinwerfer() {}
bool HeadlightStreetLoaded() { return false; }
