// A running Winamp: found by its window class, asked for its play state and
// title, and sent the bubble's commands. Every message has a time-out, so a
// hung Winamp never holds up the animation.
#pragma once

#include "base/common.h"

#include <atomic>

constexpr size_t kWinampTitleLen = 2048;

// Winamp's own command ids.
constexpr int kWinampStop = 40047;
constexpr int kWinampNext = 40048;
constexpr int kWinampVolumeUp = 40058;
constexpr int kWinampVolumeDown = 40059;

extern std::atomic<HWND> WinampWindow;
extern int WinampVersion;
extern std::atomic<int> WinampPlaying;
extern char WinampTitle[kWinampTitleLen];

void initWinAMP();
void ReadWinampTitle();
void WinampStep();
// Sends a WM_COMMAND to Winamp; false when it did not take it in time.
bool SendWinampCommand(int id);
// Cuts "<blanks>- Winamp" (any case) and what follows off a caption.
void CutWinampCaption(char *caption);
