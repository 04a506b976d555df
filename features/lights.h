// The lights of the house fronts: 56 window and sign lights painted into the
// background (and the window above the work area), the left shutters that
// figure 55 opens and closes, the right roller shutter of the shop window, and
// the shop signs with their lettering. Every call runs on the thread that owns
// the scene: the animation thread, or the main thread while it builds the
// first scene before that thread exists.
#pragma once

#include "base/common.h"

constexpr int kLightCount = 57;  // numbers 1..56; 0 and 15 do not exist
constexpr int kShutterOpen = -2;
constexpr int kShutterClosed = 2;

// 0 off; 1 on; above 1 a timed light on for that many countdown steps.
extern int LightState[kLightCount];
// Left shutters and the right roller shutter: -2 open (up), 2 closed (down).
extern int ShutterState;
extern int RightShutterState;

// The two shutters as the start-up's trend values have them; with the weather
// sign shown the roller shutter stays up, for the sign stands in its window.
void SetShutterStates(const int trend[2]);

// The lettering and sign pictures and, at dusk and night, the light pictures
// of the built phase; 1 when everything needed is there.
int LoadLichter();
void UnloadLichter();
// Paints one light on or off into the background and, above the work area,
// into the window; the light's state is left as it is.
void SetLicht(int light, int on);
// The controller: below -10 the reset, -10..-1 the repaint, 0 the scheduled
// pass, 1..56 one light with a value (see lights.cpp).
void LichtSteuerung(int code, int value);
// -2 rolls the shop window's shutter up, 2 down, 0 advances a roll under way.
void RollShutter(int direction);
bool RollerShutterBusy();

// Whether a chance of one in oneIn hits; the program's random generator
// unless a test decides.
extern bool (*LightChance)(int oneIn);
bool RandomLightChance(int oneIn);
// Back to the start: every light off, both shutters open, no roll, no
// pictures, the chance from the random generator.
void ResetLights();
