// The tram (object 72): on its own track behind the road, always from left
// to right across the whole scene, with its driver, faces in its ten side
// windows, the user's picture or its own advert as livery, its ride sound
// and now and then its bell.
#pragma once

#include "scene/animation.h"

#include <atomic>

constexpr int kTramWindows = 10;

// TramOnStage (scene/animation.h): 72 while the tram is on stage, else 0.
// The face in each side window: slots 1 to 10, 0 an empty window, else one of
// the forty passengers (slot 0 is not used).
extern int TramPassengerList[kTramWindows + 1];

// Every unload of the tram, a forced one among them: it is off stage.
void TramUnloaded();
// The livery of this visit: -1 the user's picture, 0 the tram's own.
int TramLivery();

void Figur072Script();
void ResetFigur072();
