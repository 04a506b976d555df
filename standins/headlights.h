// The headlights of the vehicles, until their own code comes: nothing is
// loaded or drawn, and their lit street is never there.
#pragma once

void LoadScheinwerfer();
void UnloadScheinwerfer();
void DrawAllScheinwerfer();
// Whether the lit street of the headlights is loaded.
bool HeadlightStreetLoaded();
