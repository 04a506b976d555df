// Speech bubbles: one at a time, a picture with a frame and a tail holding a
// text in the user's bubble font, drawn over the scene for a few seconds. The
// texts of the figures come from the speech-text file (an INI file with a
// section per figure). Every operation runs on the animation thread.
#pragma once

#include "base/common.h"

struct FigurRecord;

constexpr int kBubbleW = 184;
constexpr int kBubbleH = 88;
// The lowest rows hold the tail, which does not take clicks.
constexpr int kBubbleTail = 30;
constexpr int kFigureBubbleSeconds = 5;

// Kind of the open bubble: 0 none; 1 left of its figure, 2 right of it, 3
// and 4 the music bubbles.
extern int OpenBubbleKind;

// A random text of the figure's section into its SpeechText (empty when none).
void PickSpeechText(FigurRecord *record);
// A text of the figure in a bubble beside it for five seconds; clears the
// talk click.
void FigurSprechblase(FigurRecord *record);
// Opens a bubble of kind 1..4 with text, its top-left corner at (x, y) in
// scene coordinates, for seconds; closes any open one first. 1 when open.
int CreateSprechblase(int kind, const char *text, int x, int y, int seconds);
// Counts the lifetime down and draws the open bubble into the work buffer
// (and the part above the scene onto the window).
void DrawSprechblase();
// Closes the open bubble and gives the window back what it covered.
void KillSprechblase();
// 1 when the mouse point lies on the open bubble (not its tail), with the
// point relative to the bubble's corner.
int HitSprechblase(int *bx, int *by);

// The open bubble's remaining seconds; the music bubble's buttons renew it.
int BubbleLifetime();
void SetBubbleLifetime(int seconds);
// Where the open bubble stands in scene coordinates (0, 0 when none).
POINT BubblePosition();
// A pixel of the open bubble's picture with its text (CLR_INVALID when none).
COLORREF BubblePixel(int x, int y);
