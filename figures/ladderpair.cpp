// Figure 59, the window cleaner and his apprentice with their ladder: they
// cross the far pavement to the right, stay away a while and come back to
// the left. At night they sway on every frame.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig059_frames.h"

namespace {

constexpr int kPair = 59;
constexpr int kStride = 17;
constexpr int kLeftFirst = 12;  // the two left gaits follow the three right ones

bool Night() { return TimeOfDay == kNight; }

void SetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = r.ScriptVar = 0;
    r.X = -90;
    r.FrameH = kFig059FrameH;
    r.FrameW = kFig059FrameW;
    FigPlaceInLane(r, h - 281, Night() ? h - 243 : h - 261);
    r.Spacing = 9;
    r.Speed = Night() ? (Rand() & 3) + 4 + FigureSpeedBase() : Rand() % 3 + 3 + FigureSpeedBase();
    FigSetPause(r, Rand() % 49 + 24);
    r.AvoidOrder = 0;
    r.Direction = r.Avoids = 1;
    r.DriftStep = 1;
    r.Gait = Rand() % 3;
    r.State = 1;
}

// right: +1 (state 1, three gaits) or -1 (state 3, two gaits).
void Walk(FigurRecord &r, int right)
{
    const int first = right > 0 ? 0 : kLeftFirst;
    FigDraw(r, 0, kFig059Frames[first + 4 * r.Gait + r.Frame]);
    // At night they sway on every frame, not only at a stride's end.
    if (Night() && r.AvoidOrder == 0 && Rand() % (right > 0 ? 3 : 2) == 0)
        FigDrift(r, right > 0 ? Rand() % 9 + 8 : Rand() % 17 + 8);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames) {
        return;
    }
    r.Frame = 0;
    r.X += right * kStride;
    const bool avoided = r.AvoidOrder != 0;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    if (!avoided && !Night() && Rand() % 5 == 0)
        FigDrift(r, Rand() % 15 + 2);
    if (++r.WaitCount > (right > 0 ? Rand() % 5 : (Rand() & 3))) {
        r.WaitCount = 0;
        r.Gait = right > 0 ? Rand() % 3 : (Rand() & 1);
        if (Rand() % 3 == 0)
            r.Speed = Night() ? (Rand() & 3) + 5 + FigureSpeedBase() : (Rand() & 1) + 4 + FigureSpeedBase();
    }
    if (right > 0 && r.X > SceneWidth()) {
        r.WaitCount = Rand() % 3801 + 200;
        r.State = 2;
    } else if (right < 0 && r.X < -kFig059FrameW) {
        UnloadFigur(kPair);
    }
}

void Away(FigurRecord &r)
{
    if (PhaseChangeDue) {
        UnloadFigur(kPair);
        return;
    }
    if (--r.WaitCount > 0)
        return;
    r.Frame = r.Tick = r.WaitCount = 0;
    r.Gait = Rand() & 1;
    r.Direction = r.Avoids = -1;
    r.State = 3;
}

}  // namespace

void Figur059Script()
{
    FigurRecord &r = FigurTable[kPair];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: SetUp(r); return;
    case 1: Walk(r, 1); return;
    case 2: Away(r); return;
    case 3: Walk(r, -1); return;
    default: FigUnknownState(r); return;
    }
}
