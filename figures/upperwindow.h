// Figure 68's look out of the attic window of the house it has gone into,
// drawn straight onto the window through the aircraft's off-screen pair
// (which is why no flight starts while it is on stage).
#pragma once

#include "scene/objects.h"

// The first state of the window scene, and whether a state belongs to it.
constexpr int kUpperWindowFirstState = 200;
bool IsUpperWindowState(int state);
// Whether the visitor, having gone in at door, shows itself upstairs: only
// houses 1 to 3 have the window, and only a window taller than 740 pixels
// shows it.
bool UpperWindowShown(int door);
// One step of the scene (door: the house); false for a state it does not
// know.
bool UpperWindowStep(FigurRecord &r, int door);
// The same onto the given window DC (the animation thread's own above).
bool UpperWindowStepOn(FigurRecord &r, int door, HDC window);
// The visitor was removed in state `state`: gives back what the scene
// borrowed and puts the house back on the window.
void UpperWindowRemoved(int state);
void UpperWindowRemovedOn(int state, HDC window);
