// Keys and mouse buttons of the running screensaver. Keys that act on the
// scene are queued here and run by the thread that owns the scene.
#pragma once

#include "base/saverstate.h"

#include <atomic>

extern int WindowMouseX, WindowMouseY;
extern int LastMoveX, LastMoveY;
extern uint32_t PauseToggle;

// Keys that call figures, vehicles, lights or bubbles, and the volume keys:
// the music volume belongs to the scene's thread, whose bubble buttons change
// it too. A volume key pressed with Shift is queued with this bit.
constexpr int kShiftedSceneKey = 0x10000;
void QueueSceneKey(int virtualKey);
// Runs the queued keys; the animation thread calls it once a pass.
void RunQueuedSceneKeys();
// The action of one scene key, on the scene's thread.
void RunSceneKey(int virtualKey);

// The volume keys (keypad plus and minus): with Shift the effects, else the
// music or Winamp. On the scene's thread.
void ChangeVolume(bool up, bool shift);

// The mouse buttons: the point in window coordinates and the button flags.
void OnLeftButtonUp(HWND window, int x, int y, WPARAM flags);
void OnMiddleButtonUp(HWND window, int x, int y, WPARAM flags);
void OnRightButtonUp(HWND window, int x, int y, WPARAM flags);
void OnMouseMove(HWND window, int x, int y, WPARAM flags);
void OnKey(HWND window, int virtualKey, bool down);
// The window position the mouse starts from, so that the first move after
// the start is measured from where the pointer really was.
void ResetMouseBaseline(HWND window);
