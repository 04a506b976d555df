// Figures 47 and 48: two people who cross the near pavement from left to
// right without stopping. Figure 47 is the person of figures 25 and 26.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig047_frames.h"
#include "fig048_frames.h"

namespace {

struct Crosser {
    int id;
    const FrameEntry *frames;
    int frameW, frameH;
    int laneTop;  // SceneH minus; the lane is three rows deep
    int stride;
    int pauseRange;
    int sheet;  // 48 by the season
};
const Crosser kCrossersAtStart[2] = {
    {47, kFig047Frames, kFig047FrameW, kFig047FrameH, 82, 16, 25, 0},
    {48, kFig048Frames, kFig048FrameW, kFig048FrameH, 84, 26, 65, 0},
};
Crosser gCrossers[2] = {kCrossersAtStart[0], kCrossersAtStart[1]};

void CrosserSetUp(Crosser &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Tick = r.Frame = 0;
    r.X = -100;
    r.Direction = 1;
    r.Avoids = 0;
    r.FrameW = s.frameW;
    r.FrameH = s.frameH;
    FigPlaceInLane(r, h - s.laneTop, h - s.laneTop + 3);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    if (s.id == 48)
        s.sheet = Season - 1;
    FigSetPause(r, Rand() % s.pauseRange + 56);
    r.State = 1;
}

void CrosserWalk(Crosser &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    if (r.X <= SceneWidth())
        r.X += s.stride;
    else
        UnloadFigur(s.id);
}

void CrosserScript(Crosser &s)
{
    FigurRecord &r = FigurTable[s.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: CrosserSetUp(s, r); return;
    case 1: CrosserWalk(s, r); return;
    default: return;
    }
}

}  // namespace

void Figur047Script() { CrosserScript(gCrossers[0]); }
void Figur048Script() { CrosserScript(gCrossers[1]); }

void ResetFigur048() { gCrossers[1] = kCrossersAtStart[1]; }
