// Figures 56 and 57, two couples who stroll along the far pavement from the
// right, stop to look at the shop windows and about them, and then walk on
// to the left or turn back. Couple 57, out in the evening, stops far more
// often. One of couple 57 is figure 40.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig056_frames.h"
#include "fig057_frames.h"

namespace {

constexpr int kStride = 18;
constexpr int kWindowFirst = 4;
constexpr int kWindowLast = 9;  // entries 4 to 13
constexpr int kAboutFirst = 15;
constexpr int kAboutLast = 6;  // entries 15 to 21
constexpr int kWalkRightFirst = 22;
constexpr int kLeaveLeft = -104;
constexpr int kClickW = 104;
constexpr int kClickH = 82;

struct Couple {
    int id;
    const FrameEntry *frames;
    int frameW;
};
const Couple kCouple56 = {56, kFig056Frames, kFig056FrameW};
const Couple kCouple57 = {57, kFig057Frames, kFig057FrameW};

bool ByDay() { return TimeOfDay == kDay; }

void CoupleSetUp(const Couple &c, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = r.ScriptVar = 0;
    r.Spacing = 12;
    r.FrameW = c.frameW;
    r.FrameH = kFig056FrameH;
    FigPlaceInLane(r, h - 290, h - 250);
    r.X = SceneWidth() + 5;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
    FigSetPause(r, Rand() % 89 + 40);
    r.AvoidOrder = 0;
    r.Direction = r.Avoids = -1;
    r.WantsBus = 0;
    r.DriftStep = 1;
    r.State = 1;
}

// Strides strolled before a couple may stop at a window, and its odds.
bool CoupleWantsToStop(const Couple &c, const FigurRecord &r, int strolled)
{
    if (c.id == 56)
        return strolled > Rand() % 151 + 40 && r.X < SceneWidth() - 100 && Rand() % 25 == 0;
    return strolled > Rand() % 65 + 16 && r.X < SceneWidth() - 160 && (ByDay() ? Rand() % 10 : Rand() % 7) == 0;
}

void CoupleStop(const Couple &c, FigurRecord &r)
{
    // 56 has already taken its stride and steps back; 57 takes it only
    // when it walks on.
    if (c.id == 56)
        r.X += kStride;
    r.WaitCount = 0;
    r.State = 2;
}

void CoupleWalkLeft(const Couple &c, FigurRecord &r)
{
    FigDraw(r, 0, c.frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    if (c.id == 56)
        r.X -= kStride;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        CoupleStop(c, r);
    } else if (CoupleWantsToStop(c, r, r.WaitCount++)) {
        CoupleStop(c, r);
    } else if (r.X < kLeaveLeft) {
        UnloadFigur(c.id);
        return;
    } else if (FigLeftClickIn(r, kClickW, kClickH)) {
        FigPlayOwnSound(r);
        FigTakeClick(true);
        CoupleStop(c, r);
    } else {
        if (r.AvoidOrder == 0 && Rand() % 5 == 0)
            FigDrift(r, Rand() % 7 + 2);
        if (c.id == 57)
            r.X -= kStride;
    }
    r.AvoidOrder = 0;
}

bool CoupleFrameEnds(const Couple &c, FigurRecord &r)
{
    int limit;
    if (c.id == 56)
        limit = ByDay() ? r.Speed + Rand() % 3 + 4 : r.Speed + Rand() % 11 + 8;
    else
        limit = Rand() % 11 + r.Speed + 8;
    return FigTick(r, limit);
}

// After a run of looks: true when the couple has looked long enough.
bool LookedLongEnough(FigurRecord &r, int frames)
{
    r.Frame = Rand() % frames;
    if (++r.WaitCount <= (ByDay() ? (Rand() & 1) : Rand() % 3))
        return false;
    r.WaitCount = 0;
    r.Frame = 0;
    return true;
}

void CoupleLookAtWindow(const Couple &c, FigurRecord &r)
{
    FigDraw(r, 0, c.frames[kWindowFirst + r.Frame]);
    if (!CoupleFrameEnds(c, r) || ++r.Frame <= kWindowLast || !LookedLongEnough(r, 9))
        return;
    if (Rand() % 2 == 0) {
        r.X += 8;
        if (c.id == 57)
            r.Avoids = r.Direction;
        r.State = 3;
    } else {
        r.X -= 20;
        if (c.id == 57)
            r.Direction = r.Avoids = -1;
        r.State = 1;
    }
}

void CoupleLookAbout(const Couple &c, FigurRecord &r)
{
    FigDraw(r, 0, c.frames[kAboutFirst + r.Frame]);
    if (!CoupleFrameEnds(c, r) || ++r.Frame <= kAboutLast || !LookedLongEnough(r, 6))
        return;
    if (Rand() % 2 == 0) {
        r.Direction = r.Avoids = 1;
        r.State = 4;
    } else {
        r.Direction = r.Avoids = -1;
        r.X -= 24;
        r.State = 1;
    }
}

void CoupleWalkRight(const Couple &c, FigurRecord &r)
{
    FigDraw(r, 0, c.frames[kWalkRightFirst + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X += kStride;
    FigApplyAvoid(r);
    if (r.X > SceneWidth()) {
        UnloadFigur(c.id);
        return;
    }
    if (r.AvoidOrder == 0 && Rand() % 5 == 0)
        FigDrift(r, Rand() % 7 + 2);
    r.AvoidOrder = 0;
}

void CoupleScript(const Couple &c)
{
    FigurRecord &r = FigurTable[c.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: CoupleSetUp(c, r); return;
    case 1: CoupleWalkLeft(c, r); return;
    case 2: CoupleLookAtWindow(c, r); return;
    case 3: CoupleLookAbout(c, r); return;
    case 4: CoupleWalkRight(c, r); return;
    default: FigUnknownState(r); return;
    }
}

}  // namespace

void Figur056Script() { CoupleScript(kCouple56); }
void Figur057Script() { CoupleScript(kCouple57); }
