// Figures 23 and 30, pairs of people drawn as one figure: a couple who walk
// right and may stand a long while past the stop, and a couple with a pram
// who walk left and stop for a long scene with the baby.
#include "figures/figures.h"

#include "core/daterules.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "config/config.h"

// The frame tables come with the pictures, from the art generator.
#include "fig023_frames.h"
#include "fig030_frames.h"

namespace {

int B() { return FigureSpeedBase(); }

// ---------------------------------------------------------------- figure 23

constexpr int kCouple = 23;
constexpr int kCoupleStride = 15;
constexpr int kCoupleStandEntry = 4;
constexpr int kCouplePoses = 11;
constexpr int kShortActEntry = 17;
constexpr int kLongActEntry = 21;
constexpr int kCoupleBoxW = 80;
constexpr int kCoupleBoxH = 78;

void CoupleDraw(const FigurRecord &r, int entry) { FigDraw(r, 0, kFig023Frames[entry]); }

void CoupleSetUp(FigurRecord &r, bool outOfBus)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.Tick = 0;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.WaitCount = Rand() % 23 + 14;
    r.Speed = (Rand() & 3) + B() + 3;
    r.FrameH = kFig023FrameH;
    r.X = outOfBus ? StopPostX() + 40 + Rand() % 11 : -78 - (Rand() & 7);
    if (outOfBus)
        FigPlaceInLane(r, h - 244, h - 236);
    else
        FigPlaceInLane(r, h - 286, h - 244);
    r.Spacing = 12;
    r.FrameW = kFig023FrameW;
    r.Direction = 1;
    r.Avoids = 1;
    r.AvoidOrder = 0;
    FigSetPause(r, Rand() % 81 + 40);
    r.WantsBus = 0;
    r.State = 2;
}

// Out of the bus they first stand beside the post.
void CoupleOutOfBus(FigurRecord &r)
{
    const int h = SceneHeight();
    CoupleDraw(r, kCoupleStandEntry + r.Frame);
    r.LaneYMin = h - r.FrameH - 200;
    r.LaneYMax = h - r.FrameH - 160;
    r.Frame = r.Tick = 0;
    r.WantsBus = 0;
    r.WaitCount = Rand() % 9 + 4;
    r.State = 103;
}

void CoupleStand(FigurRecord &r, int waitCount)
{
    r.Direction = r.Avoids = 0;
    r.ScriptVar = 0;
    r.Frame = 0;
    r.WaitCount = waitCount;
    r.State = 3;
}

void CoupleWalk(FigurRecord &r)
{
    if (FigLeftClickIn(r, kCoupleBoxW, kCoupleBoxH)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.Frame = 0;
        r.State = 3;
        r.WaitCount = Rand() % 36 + 15;
        CoupleDraw(r, kCoupleStandEntry);
        return;
    }
    CoupleDraw(r, r.Frame);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        r.X += kCoupleStride;
        FigApplyAvoid(r);
        if (r.X > SceneWidth()) {
            UnloadFigur(kCouple);
            return;
        }
        bool stopped = false;
        if (r.State == 2 && r.X > StopPostX() + 10) {
            ++r.WaitCount;
            const int odds = TimeOfDay == kDay ? 9 : 4;
            if (r.WaitCount > Rand() % 41 && Rand() % odds == 0) {
                r.State = 3;
                r.WaitCount = Rand() % 151 + 50;
                stopped = true;
            }
        }
        if (!stopped) {
            if (r.ScriptVar != 0) {
                CoupleStand(r, Rand() % 5 + 1);
            } else {
                if (r.AvoidOrder == 0 && Rand() % 6 == 0)
                    FigDrift(r, (Rand() & 3) + 3);
                r.Direction = r.Avoids = 1;
            }
        }
    }
    r.AvoidOrder = 0;
}

void CoupleStanding(FigurRecord &r)
{
    CoupleDraw(r, kCoupleStandEntry + r.Frame);
    if (++r.Tick > (Rand() % 5 + 2) * r.Speed) {
        r.Tick = 0;
        --r.WaitCount;
        r.Frame = Rand() % kCouplePoses;
        if (r.WaitCount < 1 || PhaseChangeDue) {
            r.Frame = 0;
            r.State = (Rand() & 1) ? 2 : 5;
            r.Direction = r.Avoids = 1;
            return;
        }
    }
    // While the bus stands at the stop the pair has eyes for nothing else.
    if (!BusHaltedNow() && FigLeftClickIn(r, kCoupleBoxW, kCoupleBoxH)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.Frame = r.Tick = 0;
        r.State = Rand() % 5 != 0 ? 9 + Rand() % 3 : 5;
    }
}

// States 9 and 10: the short act twice over, then back to standing.
void CoupleShortAct(FigurRecord &r)
{
    CoupleDraw(r, kShortActEntry + r.Frame);
    if (!FigTick(r, B() + 2) || ++r.Frame < 4)
        return;
    r.Frame = 0;
    r.State = r.State == 9 ? 10 : 3;
}

void CoupleLongAct(FigurRecord &r)
{
    CoupleDraw(r, kLongActEntry + r.Frame);
    if (!FigTick(r, Rand() % 10 + r.Speed + 5))
        return;
    if (++r.Frame > Rand() % 5) {
        r.Frame = 0;
        if (++r.WaitCount > Rand() % 11 + 4)
            r.State = 3;
    }
}

// ---------------------------------------------------------------- figure 30

constexpr int kPram = 30;
constexpr int kPramStride = 18;
constexpr int kPramActEntry = 4;
constexpr int kPramActFrames = 30;
constexpr int kPramOnEntry = 35;
constexpr int kSqueakSample = 28;
constexpr int kSqueakFrame = 2;
constexpr int kPramHeardFrom = -129;
constexpr int kPramGoneAt = -160;

void PramDraw(const FigurRecord &r, int entry) { FigDraw(r, 0, kFig030Frames[entry]); }

int PramSpeed() { return Rand() % 3 + B() + 2; }

void PramSqueak(FigurRecord &r)
{
    if (Sound && FigChannelIdle(r))
        FigPlaySample(r, kSqueakSample);
}

void PramClick(FigurRecord &r)
{
    if (FigLeftClickIn(r, kFig030FrameW, kFig030FrameH)) {
        FigTakeClick(false);
        FigPlayOwnSound(r);
    }
}

void PramSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.Tick = 0;
    r.ScriptVar = 0;
    r.WaitCount = 0;
    r.DriftStep = 1;
    r.Speed = PramSpeed();
    r.Gait = Rand() % 31 + 15;  // strides before the scene with the baby may come
    r.X = SceneWidth();
    r.FrameH = kFig030FrameH;
    FigPlaceInLane(r, h - 283, h - 241);
    r.Spacing = 10;
    r.FrameW = kFig030FrameW;
    r.AvoidOrder = 0;
    r.Direction = r.Avoids = -1;
    FigSetPause(r, Rand() % 17 + 8);
    r.State = 1;
}

void PramStartAct(FigurRecord &r)
{
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 0;
    r.Frame = r.Tick = 0;
    r.State = 2;
}

void PramWalk(FigurRecord &r)
{
    PramDraw(r, r.Frame);
    if (FigTick(r, r.Speed)) {
        ++r.Frame;
        if (r.Frame == kSqueakFrame && r.X >= kPramHeardFrom)
            PramSqueak(r);
        if (r.Frame >= kWalkFrames) {
            r.Frame = 0;
            FigApplyAvoid(r);
            PramClick(r);
            r.X -= kPramStride;
            if (Rand() % 7 == 0)
                r.Speed = PramSpeed();
            if (r.X < kPramGoneAt) {
                UnloadFigur(kPram);
                return;
            }
            if (r.ScriptVar != 0) {
                PramStartAct(r);
            } else if (++r.WaitCount > r.Gait && Rand() % 7 == 0) {
                PramStartAct(r);
            } else if (r.AvoidOrder == 0 && Rand() % 6 == 0) {
                FigDrift(r, Rand() % 5 + 2);
            }
        }
    }
    r.AvoidOrder = 0;
}

void PramAct(FigurRecord &r)
{
    PramDraw(r, kPramActEntry + r.Frame);
    if (!FigTick(r, (Rand() % 5 + 2) * r.Speed))
        return;
    PramClick(r);
    if (++r.Frame < kPramActFrames)
        return;
    r.Frame = 0;
    r.WaitCount = 0;
    r.Speed = PramSpeed();
    r.X -= 12;
    r.State = 3;
}

void PramWalkOn(FigurRecord &r)
{
    PramDraw(r, kPramOnEntry + r.Frame);
    if (!FigTick(r, 2 * r.Speed))
        return;
    if (++r.Frame == kSqueakFrame && Rand() % 25 == 0)
        PramSqueak(r);
    if (r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    PramClick(r);
    if (r.X < -kFig030FrameW) {
        UnloadFigur(kPram);
        return;
    }
    r.X -= 25;
    r.Direction = r.Avoids = -1;
    if (Rand() % 5 == 0)
        r.Speed = PramSpeed();
    r.WaitCount = 0;
    r.Gait = Rand() % (45 * r.Speed - 24) + 25;
    r.State = 1;
}

}  // namespace

void Figur023Script()
{
    FigurRecord &r = FigurTable[kCouple];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: CoupleSetUp(r, false); return;
    case 1:
        r.State = 2;
        CoupleWalk(r);
        return;
    case 2:
    case 5: CoupleWalk(r); return;
    case 3:
    case 103: CoupleStanding(r); return;
    case 9:
    case 10: CoupleShortAct(r); return;
    case 11: CoupleLongAct(r); return;
    case 100:
        CoupleSetUp(r, true);
        CoupleOutOfBus(r);
        return;
    case 101: CoupleOutOfBus(r); return;
    default: return;
    }
}

void Figur030Script()
{
    FigurRecord &r = FigurTable[kPram];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: PramSetUp(r); return;
    case 1: PramWalk(r); return;
    case 2: PramAct(r); return;
    case 3: PramWalkOn(r); return;
    default: return;
    }
}
