// Figure 18, three men drawn as one wide figure: they walk along the far
// pavement, stop to talk, may turn and walk back; the side they come from
// tells the time of day.
#include "figures/figures.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig018_frames.h"

namespace {

constexpr int kGroup = 18;
constexpr int kGroupStride = 15;
constexpr int kTalkEntry = 8;
constexpr int kTalkOnEntry = 13;
constexpr int kTurnEntry = 20;
constexpr int kRightEntry = 23;
constexpr int kFromRightBefore = 13;  // o'clock
constexpr int kTalkLeftBound = 150;
constexpr int kTalkRightMargin = 250;

struct GroupState {
    int sheet = 0;
    int gait = 0;       // 0, or 4: talking as they walk
    int gaitCount = 1;  // strides until the gait may change
};
GroupState gGroup;

int B() { return FigureSpeedBase(); }

void Draw(const FigurRecord &r, int entry) { FigDraw(r, gGroup.sheet, kFig018Frames[entry]); }

void SetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    const bool fromLeft = Hour >= kFromRightBefore && Rand() % (Hour + 3) != 0;
    if (fromLeft) {
        r.Direction = 1;
        r.State = 6;
        r.X = -128 - Rand() % 18;
    } else {
        r.Direction = -1;
        r.State = 1;
        r.X = SceneWidth() + 5;
    }
    r.AvoidOrder = 0;
    r.Avoids = r.Direction;
    r.Spacing = 30;
    r.FrameW = kFig018FrameW;
    r.FrameH = kFig018FrameH;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.Speed = Rand() % 3 + B() + 4;
    FigPlaceInLane(r, h - 287, h - 257);
    FigSetPause(r, Rand() % 41 + 32);
    gGroup.sheet = 0;
    gGroup.gait = (Rand() & 1) * 4;
    gGroup.gaitCount = Rand() % 5 + 1;
    r.Tick = r.Frame = r.WaitCount = 0;
}

void StartTalk(FigurRecord &r)
{
    r.Frame = 0;
    r.Direction = 0;
    r.Avoids = 0;
    r.X += kGroupStride;
    r.WaitCount = Rand() % 7 + 2;
    r.State = 3;
}

bool WantsToTalk(const FigurRecord &r)
{
    return r.WaitCount > 4 && Rand() % 3 == 0 && r.X > kTalkLeftBound &&
           r.X < SceneWidth() - kTalkRightMargin && Rand() % (5 * r.Speed + 1) == 0;
}

void WalkLeft(FigurRecord &r)
{
    Draw(r, gGroup.gait + r.Frame);
    if (FigTick(r, r.Speed)) {
        r.Direction = r.Avoids = -1;
        if (++r.Frame >= kWalkFrames) {
            r.Frame = 0;
            r.X -= kGroupStride;
            FigApplyAvoid(r);
            bool stop = r.ScriptVar != 0;
            if (!stop) {
                ++r.WaitCount;
                if (r.AvoidOrder == 0 && Rand() % 16 == 0)
                    FigDrift(r, Rand() % 3 + 1);
                r.ScriptVar = 0;
                r.AvoidOrder = 0;
                if (r.X < -kFig018FrameW) {
                    UnloadFigur(kGroup);
                    return;
                }
                stop = WantsToTalk(r);
            }
            if (stop) {
                r.ScriptVar = 0;
                StartTalk(r);
            } else if (FigLeftClickIn(r, kFig018Frames[0].w, kFig018Frames[0].h)) {
                FigTakeClick(true);
                StartTalk(r);
            } else if (--gGroup.gaitCount < 1) {
                gGroup.gaitCount = (Rand() % 5 + 1) * r.Speed;
                gGroup.gait = (Rand() & 1) * 4;
            }
        }
    }
    r.AvoidOrder = 0;
}

void Talk(FigurRecord &r)
{
    Draw(r, kTalkEntry + r.Frame);
    if (!FigTick(r, (Rand() % 5 + 4) * r.Speed) || ++r.Frame <= 4)
        return;
    r.Frame = Rand() & 3;
    if (--r.WaitCount >= 1 && !PhaseChangeDue)
        return;
    r.Frame = 0;
    if (!PhaseChangeDue && Rand() % (2 * Season + 1) != 0) {
        r.WaitCount = (Rand() % 9 + 2) * Season;
        r.State = 4;
        return;
    }
    r.WaitCount = 0;
    r.Speed = Rand() % 3 + B() + 4;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    r.X -= kGroupStride;
    r.State = 2;
}

void TalkOn(FigurRecord &r)
{
    Draw(r, kTalkOnEntry + r.Frame);
    if (!FigTick(r, (Rand() % 5 + 4) * r.Speed) || ++r.Frame <= 6)
        return;
    r.Frame = Rand() % 6;
    if (--r.WaitCount >= 1)
        return;
    r.Frame = 0;
    r.WaitCount = 0;
    r.State = (Rand() & 3) != 0 ? 2 : 5;
}

void Turn(FigurRecord &r)
{
    Draw(r, kTurnEntry + r.Frame);
    if (!FigTick(r, 2 * r.Speed))
        return;
    r.Direction = r.Avoids = 1;
    if (++r.Frame >= 3) {
        r.Frame = 0;
        r.State = 6;
    }
}

void WalkRight(FigurRecord &r)
{
    Draw(r, kRightEntry + r.Frame);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        r.X += kGroupStride;
        FigApplyAvoid(r);
        if (r.ScriptVar != 0) {
            r.ScriptVar = 0;
            r.Speed = Rand() % 9 + B() + 8;
        } else {
            r.Speed = Rand() % 3 + B() + 4;
        }
        if (r.AvoidOrder == 0 && Rand() % 16 == 0)
            FigDrift(r, Rand() % 3 + 1);
        if (r.X > SceneWidth()) {
            UnloadFigur(kGroup);
            return;
        }
    }
    r.AvoidOrder = 0;
}

}  // namespace

void Figur018Script()
{
    FigurRecord &r = FigurTable[kGroup];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: SetUp(r); return;
    case 1:
    case 2: WalkLeft(r); return;
    case 3: Talk(r); return;
    case 4: TalkOn(r); return;
    case 5: Turn(r); return;
    case 6: WalkRight(r); return;
    default:
        WriteLog("+++ ADR: 018 ???");
        UnloadFigur(kGroup);
        return;
    }
}

void ResetFigur018() { gGroup = {}; }
