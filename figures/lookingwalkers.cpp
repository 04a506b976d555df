// Figures 40, 43, 45, 49 and 50: people who come from the right along the far
// pavement, stop now and then to look about, then walk on to the left or turn
// back; past the left edge some wait off stage for a while and come back
// walking right. Figure 40 is one of the couple of figure 57.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "base/saverstate.h"

// The frame tables come with the pictures, from the art generator.
#include "fig040_frames.h"
#include "fig043_frames.h"
#include "fig045_frames.h"
#include "fig049_frames.h"
#include "fig050_frames.h"

namespace {

constexpr int kOffStageWaitMin = 400;
constexpr int kOffStageWaitRange = 1101;
constexpr int kNoStopNearRightEdge = 100;

bool ByDay() { return TimeOfDay == kDay; }

// Back from the wait off stage: walking right from where it waited.
void ComeBackWalkingRight(FigurRecord &r, int walkRightState)
{
    r.Frame = 0;
    r.Direction = 1;
    r.Avoids = 1;
    r.State = walkRightState;
}

void StartOffStageWait(FigurRecord &r)
{
    r.WaitCount = Rand() % kOffStageWaitRange + kOffStageWaitMin;
    r.State = 4;
}

// ------------------------------------------------------------ figure 40

constexpr int kWalker40 = 40;
constexpr int kWalker40Stride = 16;
constexpr int kWalker40LeaveLeft = -72;
constexpr int k40LookFirst = 4;
constexpr int k40LookFrames = 10;
constexpr int k40WalkRightFirst = 14;

// Set by a left click, used up at the end of the next stride.
int gFigur040Clicked = 0;

void Walker40SetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = 0;
    r.X = SceneWidth();
    r.FrameW = kFig040FrameW;
    r.FrameH = kFig040FrameH;
    r.Spacing = 9;
    FigPlaceInLane(r, h - 296, h - 236);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
    r.Direction = r.Avoids = -1;
    r.DriftStep = -1;
    r.ScriptVar = 0;
    r.Gait = 0;
    r.AvoidOrder = 0;
    gFigur040Clicked = 0;
    FigSetPause(r, Rand() % 25 + 24);
    r.State = 1;
}

void Walker40WalkLeft(FigurRecord &r)
{
    FigDraw(r, 0, kFig040Frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kWalker40Stride;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0 || gFigur040Clicked) {
        FigPlayOwnSound(r);
        r.ScriptVar = 0;
        r.Direction = r.Avoids = 0;
        gFigur040Clicked = 0;
        r.WaitCount = 0;
        r.X += kWalker40Stride;
        r.State = 2;
    } else if (r.X >= kWalker40LeaveLeft) {
        r.Speed = Rand() % 4 + FigureSpeedBase() + 4;
        if (r.AvoidOrder == 0 && Rand() % 3 == 0)
            FigDrift(r, Rand() % 15 + 2);
    } else if (!PhaseChangeDue && Rand() % 3 == 0) {
        StartOffStageWait(r);
    } else {
        UnloadFigur(kWalker40);
        return;
    }
    r.AvoidOrder = 0;
}

void Walker40Look(FigurRecord &r)
{
    FigDraw(r, 0, kFig040Frames[k40LookFirst + r.Frame]);
    if (!FigTick(r, r.Speed + Rand() % (2 * r.Speed + 1)))
        return;
    if (++r.Frame < k40LookFrames)
        return;
    r.Frame = Rand() % 9;
    ++r.WaitCount;
    if (r.WaitCount <= Rand() % 3 && !PhaseChangeDue)
        return;
    r.WaitCount = 0;
    r.Frame = 0;
    // A change of day phase sends it out by the nearer edge.
    const bool turnBack = PhaseChangeDue ? r.X >= SceneWidth() / 2 : Rand() % 3 == 0;
    if (turnBack) {
        r.X += 9;
        r.Direction = r.Avoids = 1;
        r.State = 3;
    } else {
        r.X -= 23;
        r.Direction = r.Avoids = -1;
        r.State = 1;
    }
}

void Walker40WalkRight(FigurRecord &r)
{
    FigDraw(r, 0, kFig040Frames[k40WalkRightFirst + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X += kWalker40Stride;
    FigApplyAvoid(r);
    if (r.X > SceneWidth()) {
        UnloadFigur(kWalker40);
        return;
    }
    if (r.ScriptVar != 0) {
        // Hemmed in at the lane's edge: it slows down rather than stops.
        if (r.Speed < FigureSpeedBase() + 7)
            ++r.Speed;
    } else {
        r.Speed = Rand() % 4 + FigureSpeedBase() + 4;
        if (r.AvoidOrder == 0 && Rand() % 3 == 0)
            FigDrift(r, Rand() % 15 + 2);
    }
    r.AvoidOrder = 0;
}

void Walker40OffStage(FigurRecord &r)
{
    if (PhaseChangeDue) {
        UnloadFigur(kWalker40);
        return;
    }
    if (--r.WaitCount < 1)
        ComeBackWalkingRight(r, 3);
}

// ------------------------------------------------------------ figures 43 and 49

constexpr int kLookerAStride = 15;
constexpr int kLookerALeaveLeft = -64;
constexpr int kLookerALookFirst = 4;
constexpr int kLookerALookLast = 5;
constexpr int kLookerAWalkRightFirst = 10;

struct LookerA {
    int id;
    const FrameEntry *frames;
    int frameW;
    int spacing;
    int laneTop;     // SceneH minus
    int speedExtra;  // Speed = rand()%3 + base + this
    int pauseRange, pauseMin;
    bool takesClicks;
};
const LookerA kFigur043 = {43, kFig043Frames, kFig043FrameW, 9, 289, 6, 65, 32, true};
const LookerA kFigur049 = {49, kFig049Frames, kFig049FrameW, 7, 284, 5, 89, 40, false};

void LookerASetUp(const LookerA &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = r.ScriptVar = 0;
    r.WantsBus = 0;
    r.AvoidOrder = 0;
    r.X = SceneWidth() + 5;
    r.Direction = r.Avoids = -1;
    r.FrameW = s.frameW;
    r.FrameH = kFig043FrameH;
    r.Spacing = s.spacing;
    FigPlaceInLane(r, h - s.laneTop, h - 249);
    r.Speed = Rand() % 3 + FigureSpeedBase() + s.speedExtra;
    r.DriftStep = 1;
    FigSetPause(r, Rand() % s.pauseRange + s.pauseMin);
    r.State = 1;
}

void LookerAClick(const LookerA &s, FigurRecord &r)
{
    if (s.takesClicks && FigLeftClickIn(r, s.frames[0].w, s.frames[0].h)) {
        FigPlayOwnSound(r);
        FigTakeClick(false);
    }
}

// Strides walked before a stop: more by day, and by day a stop is rarer.
bool LookerWantsToStop(FigurRecord &r, int walked)
{
    const int threshold = ByDay() ? Rand() % 51 + 40 : Rand() % 16 + 10;
    if (walked <= threshold || r.X >= SceneWidth() - kNoStopNearRightEdge)
        return false;
    return ByDay() ? Rand() % 5 == 0 : Rand() % 3 == 0;
}

void LookerAWalkLeft(const LookerA &s, FigurRecord &r)
{
    FigDraw(r, 0, s.frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    FigApplyAvoid(r);
    LookerAClick(s, r);
    if (r.ScriptVar == 0) {
        const int walked = r.WaitCount++;
        if (LookerWantsToStop(r, walked)) {
            r.WaitCount = 0;
            r.State = 2;
        } else if (r.X < kLookerALeaveLeft) {
            if (Rand() % 3 != 0) {
                UnloadFigur(s.id);
                return;
            }
            StartOffStageWait(r);
        } else {
            r.X -= kLookerAStride;
            r.Speed = Rand() % 3 + FigureSpeedBase() + s.speedExtra;
            if (r.AvoidOrder == 0 && Rand() % 5 == 0)
                FigDrift(r, Rand() % 7 + 2);
        }
    } else {
        r.ScriptVar = 0;
        r.WaitCount = 0;
        r.State = 2;
    }
    r.AvoidOrder = 0;
}

void LookerALook(const LookerA &s, FigurRecord &r)
{
    FigDraw(r, 0, s.frames[kLookerALookFirst + r.Frame]);
    const int limit = ByDay() ? r.Speed + Rand() % 3 + 4 : r.Speed + Rand() % 11 + 8;
    if (!FigTick(r, limit) || ++r.Frame <= kLookerALookLast)
        return;
    r.Frame = Rand() % 5;
    ++r.WaitCount;
    if (r.WaitCount <= (ByDay() ? (Rand() & 1) : Rand() % 3))
        return;
    r.WaitCount = 0;
    r.Frame = 0;
    if (Rand() % 2 == 0) {
        r.Direction = r.Avoids = 1;
        r.X += 10;
        r.State = 3;
    } else {
        r.Direction = r.Avoids = -1;
        r.X -= 21;
        r.State = 1;
    }
}

void LookerAWalkRight(const LookerA &s, FigurRecord &r)
{
    FigDraw(r, 0, s.frames[kLookerAWalkRightFirst + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    FigApplyAvoid(r);
    r.X += kLookerAStride;
    LookerAClick(s, r);
    if (r.X > SceneWidth()) {
        UnloadFigur(s.id);
        return;
    }
    const bool is43 = s.id == 43;
    r.Speed = (is43 ? (Rand() & 3) : Rand() % 3) + FigureSpeedBase() + 5;
    if (r.AvoidOrder == 0 && Rand() % 5 == 0)
        FigDrift(r, is43 ? Rand() % 5 + 4 : Rand() % 7 + 2);
    r.AvoidOrder = 0;
}

void LookerOffStage(int id, FigurRecord &r)
{
    if (PhaseChangeDue) {
        UnloadFigur(id);
        return;
    }
    if (--r.WaitCount < 1)
        ComeBackWalkingRight(r, 3);
}

void LookerAScript(const LookerA &s)
{
    FigurRecord &r = FigurTable[s.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: LookerASetUp(s, r); return;
    case 1: LookerAWalkLeft(s, r); return;
    case 2: LookerALook(s, r); return;
    case 3: LookerAWalkRight(s, r); return;
    case 4: LookerOffStage(s.id, r); return;
    default: return;
    }
}

// ------------------------------------------------------------ figures 45 and 50

constexpr int kLookerBStride = 16;
constexpr int kLookerBLeaveLeft = -72;
constexpr int kLookerBLookFirst = 4;
constexpr int kLookerBLookLast = 9;
constexpr int kLookerBWalkRightFirst = 14;

struct LookerB {
    int id;
    const FrameEntry *frames;
    int sheet;  // 45 always the first; 50 by the season
};
const LookerB kLookersBAtStart[2] = {{45, kFig045Frames, 0}, {50, kFig050Frames, 0}};
LookerB gLookersB[2] = {kLookersBAtStart[0], kLookersBAtStart[1]};

int StridesBefore45Stops() { return Rand() % 97 + 32; }

void LookerBSetUp(LookerB &s, FigurRecord &r)
{
    const int h = SceneHeight();
    const bool is45 = s.id == 45;
    FigSetName(r);
    r.X = SceneWidth();
    r.Direction = r.Avoids = -1;
    r.FrameW = is45 ? kFig045FrameW : kFig050FrameW;
    r.FrameH = kFig045FrameH;
    r.Spacing = is45 ? 6 : 7;
    if (is45)
        FigPlaceInLane(r, h - 273, h - 253);
    else
        FigPlaceInLane(r, h - 298, h - 263);
    r.Speed = is45 ? (Rand() & 1) + FigureSpeedBase() + 4 : (Rand() & 3) + FigureSpeedBase() + 2;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.AvoidOrder = 0;
    if (is45) {
        r.WaitCount = StridesBefore45Stops();
        s.sheet = 0;
    } else {
        s.sheet = Season - 1;
    }
    FigSetPause(r, is45 ? Rand() % 25 + 16 : Rand() % 17 + 8);
    r.State = 1;
}

// A left click on a walking 45 or 50 stops it to look about.
// Taken after the walk's frame is drawn: a click never makes the figure blink.
bool LookerBClick(const LookerB &s, FigurRecord &r)
{
    if (!FigLeftClickIn(r, s.frames[0].w, s.frames[0].h))
        return false;
    FigPlayOwnSound(r);
    r.WaitCount = 0;
    r.Frame = 0;
    FigTakeClick(true);
    r.State = 2;
    return true;
}

void LookerBStop(FigurRecord &r)
{
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 0;
    r.X += kLookerBStride;
    r.WaitCount = 0;
    r.State = 2;
}

// Figure 45 walks a drawn number of strides, then looks.
bool LookerB45Stride(FigurRecord &r)
{
    if (r.ScriptVar != 0 || --r.WaitCount < 1)
        return true;
    if (r.X < kLookerBLeaveLeft) {
        if (Rand() % 5 == 0) {
            StartOffStageWait(r);
        } else {
            UnloadFigur(45);
            return false;
        }
    } else if (r.AvoidOrder == 0 && Rand() % 9 == 0) {
        FigDrift(r, Rand() % 5 + 2);
    }
    return false;
}

// Figure 50 counts strides and then stops now and then, as 43 does.
bool LookerB50Stride(FigurRecord &r)
{
    if (r.ScriptVar != 0)
        return true;
    const int walked = r.WaitCount++;
    if (LookerWantsToStop(r, walked))
        return true;
    if (r.X < kLookerBLeaveLeft) {
        if (Rand() % 3 == 0)
            StartOffStageWait(r);
        else
            UnloadFigur(50);
    } else if (r.AvoidOrder == 0 && (ByDay() ? Rand() % 3 == 0 : Rand() % 2 == 0)) {
        FigDrift(r, Rand() % 5 + 4);
    }
    return false;
}

void LookerBWalkLeft(LookerB &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[r.Frame]);
    if (LookerBClick(s, r))
        return;
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kLookerBStride;
    r.Direction = r.Avoids = -1;
    FigApplyAvoid(r);
    const bool stop = s.id == 45 ? LookerB45Stride(r) : LookerB50Stride(r);
    if (!IsOnStage(s.id))
        return;
    if (stop)
        LookerBStop(r);
    r.AvoidOrder = 0;
}

void LookerBLook(LookerB &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[kLookerBLookFirst + r.Frame]);
    if (!FigTick(r, 4 * r.Speed) || ++r.Frame <= kLookerBLookLast)
        return;
    r.Frame = Rand() % 9;
    ++r.WaitCount;
    if (r.WaitCount <= (ByDay() ? (Rand() & 1) : Rand() % 3))
        return;
    r.WaitCount = 0;
    r.Frame = 0;
    if (Rand() % 2 == 0) {
        r.X += 11;
        r.State = 3;
    } else {
        r.X -= 20;
        r.State = 1;
    }
    if (s.id == 45)
        r.WaitCount = StridesBefore45Stops();
}

void LookerBWalkRight(LookerB &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[kLookerBWalkRightFirst + r.Frame]);
    if (LookerBClick(s, r))
        return;
    const int limit = (s.id == 45 ? (Rand() & 3) : Rand() % 3) + r.Speed;
    if (!FigStrideEnds(r, limit))
        return;
    r.X += kLookerBStride;
    r.Direction = r.Avoids = 1;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        r.Direction = r.Avoids = 0;
        r.WaitCount = 0;
        r.State = 2;
    } else if (r.X > SceneWidth()) {
        UnloadFigur(s.id);
        return;
    } else if (r.AvoidOrder == 0 && (s.id == 45 ? Rand() % 11 == 0 : Rand() % 2 == 0)) {
        FigDrift(r, Rand() % 3);
    }
    r.AvoidOrder = 0;
}

void LookerBOffStage(const LookerB &s, FigurRecord &r)
{
    if (--r.WaitCount < 1) {
        ComeBackWalkingRight(r, 3);
        return;
    }
    if (PhaseChangeDue)
        UnloadFigur(s.id);
}

void LookerBScript(LookerB &s)
{
    FigurRecord &r = FigurTable[s.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: LookerBSetUp(s, r); return;
    case 1: LookerBWalkLeft(s, r); return;
    case 2: LookerBLook(s, r); return;
    case 3: LookerBWalkRight(s, r); return;
    case 4: LookerBOffStage(s, r); return;
    default: return;
    }
}

}  // namespace

void Figur040Script()
{
    FigurRecord &r = FigurTable[kWalker40];
    if (FigClickBlock(r))
        return;
    // Strict bounds: a click on the rectangle's edge passes it by.
    if (r.State == 1 && ClickPending && MouseX > r.X && MouseX < r.X + 48 && MouseY > r.Y && MouseY < r.Y + 79) {
        gFigur040Clicked = 1;
        FigTakeClick(true);
    }
    switch (r.State) {
    case 0: Walker40SetUp(r); return;
    case 1: Walker40WalkLeft(r); return;
    case 2: Walker40Look(r); return;
    case 3: Walker40WalkRight(r); return;
    case 4: Walker40OffStage(r); return;
    default: return;
    }
}

void Figur043Script() { LookerAScript(kFigur043); }
void Figur049Script() { LookerAScript(kFigur049); }
void Figur045Script() { LookerBScript(gLookersB[0]); }
void Figur050Script() { LookerBScript(gLookersB[1]); }

void ResetFigur040() { gFigur040Clicked = 0; }
void ResetFigur045() { gLookersB[0] = kLookersBAtStart[0]; }
void ResetFigur050() { gLookersB[1] = kLookersBAtStart[1]; }
