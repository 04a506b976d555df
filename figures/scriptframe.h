// What every figure script shares: the click block, drawing a frame-table
// entry, frame counting, the avoidance step, the wander across the lane, the
// set-up of name, lane and pause, sounds and the log line for a state the
// script does not know.
#pragma once

#include "base/common.h"
#include "base/gdiutil.h"
#include "scene/objects.h"

// A walk cycle takes four frames of a frame table.
constexpr int kWalkFrames = 4;

// The street's shorthands as the scripts read them.
int SceneWidth();
int SceneHeight();
int FigureSpeedBase();
int StopPostX();
// The bus stands at the stop with its doors open.
bool BusHaltedNow();

// Remove and talk clicks on the figure's rectangle. True when the figure was
// removed: its call ends there.
bool FigClickBlock(FigurRecord &r);
// A left click pending inside w x h at the figure's corner (bounds included).
bool FigLeftClickIn(const FigurRecord &r, int w, int h);
// Takes the pending left click; a click that starts an act also hides the
// pointer.
void FigTakeClick(bool hideCursor);

// Draws a frame-table entry of sheet slot at the figure's corner.
void FigDrawRect(const FigurRecord &r, int sheet, const SceneRect &source);
// ... at a point of the scene other than the figure's corner.
void FigDrawRectAt(const FigurRecord &r, int sheet, const SceneRect &source, int x, int y);
template <typename Entry>
void FigDraw(const FigurRecord &r, int sheet, const Entry &entry)
{
    FigDrawRect(r, sheet, SceneRect{entry.x, entry.y, entry.w, entry.h});
}

// Tick += 1; true (and Tick 0) when it passed limit.
bool FigTick(FigurRecord &r, int limit);
// Applies AvoidOrder to Y within the lane; a step cut at the lane's edge
// sets ScriptVar to -1.
void FigApplyAvoid(FigurRecord &r);
// One step of the slow wander across the lane; the direction turns after
// more than turnAfter steps.
void FigDrift(FigurRecord &r, int turnAfter);

void FigSetName(FigurRecord &r);
// Lane of Y and a random Y in it.
void FigPlaceInLane(FigurRecord &r, int laneYMin, int laneYMax);
void FigSetPause(FigurRecord &r, int pause);
void FigSetY(FigurRecord &r, int y);

// A sample on the figure's channel, panned by its place (sound effects on).
void FigPlaySample(FigurRecord &r, int sample);
// Nothing plays on the figure's first channel.
bool FigChannelIdle(const FigurRecord &r);
// The figure's own sound file.
void FigPlayOwnSound(FigurRecord &r);
// A state the script does not know: logged, and the figure leaves.
void FigUnknownState(FigurRecord &r);
