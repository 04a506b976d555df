// What flies across the top of the window by day: the banner plane when new
// mail has come (type 2), else one of four kinds of birds (types 4 to 7). A
// flyer is drawn straight onto the window after each frame is shown, over a
// copy of the background, and uses the record of object 120 + type without
// ever entering the DrawList.
#pragma once

#include "base/common.h"

constexpr int kFlyerBase = 120;
constexpr int kBannerPlane = 2;
constexpr int kWindowFigure = 68;   // no flight starts while it is on stage

// The type of the current or last flight: 0 before the first.
extern int FlyerType;
// The off-screen pair a flight draws through: made per flight. Figure 68
// makes a pair of its own here for its window scene; UnloadFlieger frees
// whichever exists and puts the old bitmap back.
extern HBITMAP FlyerPatchBitmap;
extern HDC FlyerPatchDC;
extern HGDIOBJ FlyerOldBitmap;

// Starts a flight unless figure 68 is on stage: AircraftCount follows.
void StartFlieger();
// 1 when the picture of the type is loaded into record 120 + type.
int LoadFlieger(int type);
// The step of the current flight, drawn into the animation thread's window.
void DrawFlieger();
// The same onto the given window DC.
void DrawFliegerOn(HDC window);
// Ends the flight: its record unloaded, the pair freed, AircraftCount 0.
void UnloadFlieger();
// Back to a clean start.
void ResetFlieger();
