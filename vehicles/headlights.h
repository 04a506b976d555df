// The headlights: at dusk and at night every moving vehicle throws a cone of
// light onto the street ahead of it, drawn before the scripts so that the
// vehicles cover their own cones.
#pragma once

#include "base/common.h"

constexpr int kConeW = 128;
constexpr int kConeH = 44;
// The lit street's first row in the scene.
constexpr int kLitStreetTop = 192;

// Frees what was loaded, then loads the lit street of the season and street
// variant, both cones with their masks, the work patch and its mask: all or
// nothing. 1 on success; on failure the street runs without cones.
int LoadScheinwerfer();
// Frees every picture and DC of the headlights that exists.
void UnloadScheinwerfer();
// One cone with its corner at (x, y) of the work buffer: the right cone for
// direction +1, else the left one. Nothing unless all is loaded.
void DrawScheinwerfer(int x, int y, int direction);
// The cone of every moving vehicle on stage, ahead of it.
void DrawAllScheinwerfer();
// Whether the lit street is loaded (the house lights leave sign light 12
// alone while it is).
bool HeadlightStreetLoaded();
