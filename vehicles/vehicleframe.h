// What every vehicle script shares: its own record, the lane it drives in,
// the click on its body, the speed wander, the drift across the lane, the
// engine samples and the sound that follows it, drawing a frame of a sheet at
// an offset from its corner, and the group counter raised once a visit.
#pragma once

#include "base/common.h"
#include "base/gdiutil.h"
#include "scene/objects.h"

// The record of vehicle id.
FigurRecord &VehicleRecord(int id);

// Once a visit, at the set-up: the far lane's or the near lane's counter of
// vehicles goes up (UnloadFigur lowers it again).
void VehicleEntersStage(const FigurRecord &r);

// The lane and the first place in it; foot line follows.
void VehicleSetLane(FigurRecord &r, int laneTop, int laneBottom, int y);
void VehicleSetY(FigurRecord &r, int y);

// A left click pending inside x..x+w, y..y+h of the vehicle (edges included).
bool VehicleClickIn(const FigurRecord &r, int w, int h);
// Takes the pending click and hides the pointer.
void VehicleTakeClick();

// Draws source of the owner's sheet slot at (x, y) of the scene; a vehicle may
// draw from another object's sheet (71 from figure 61's).
void VehicleDrawAt(const FigurRecord &owner, int sheet, const SceneRect &source, int x, int y);
template <typename Entry>
void VehicleDraw(const FigurRecord &r, int sheet, const Entry &e, int dx = 0, int dy = 0)
{
    VehicleDrawAt(r, sheet, SceneRect{e.x, e.y, e.w, e.h}, r.X + dx, r.Y + dy);
}

// `minCarSpeed` plus a draw below the span to `maxCarSpeed`; the lower speed
// when the two are equal.
int VehicleStartSpeed();
// The slow change of speed while driving: below the least speed it rises;
// else with 1 in ((max - speed) * factor + offset) it changes, down with 1
// in 5 (while above the least), else up (while below the most).
void VehicleWanderSpeed(FigurRecord &r, int factor, int offset);
// One step across the lane, kept inside it; an edge ends the run of steps,
// and after more than turnAfter steps the direction turns.
void VehicleDrift(FigurRecord &r, int turnAfter);
// Whether the scene step holds the vehicle this tick. It only ever sets the
// hold, so the hold is read afresh each tick and used up here: left
// standing, a hold of one tick would make a vehicle give up on a free road.
bool VehicleHeldNow(FigurRecord &r);

// Engine, horn and door samples are gated by `Sound` and their switch.
bool VehicleSoundOn(int soundSwitch);
// A sample on the vehicle's first or second channel, panned by its x.
void VehiclePlay(FigurRecord &r, int sample);
void VehiclePlay2(FigurRecord &r, int sample);
// Volume, pan by x and the pending fade of the first channel.
void VehicleFollowSound(FigurRecord &r);

// The pause before the vehicle may come again, with its log line.
void VehicleSetPause(FigurRecord &r, int pause);
