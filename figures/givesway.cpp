// Figure 20, a man who walks through or stands on the pavement and gives way
// when the visitors (61) or one of the residents 62 to 64 come on stage.
// The start of a scene may put him standing there.
#include "figures/figures.h"

#include "core/daterules.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig020_frames.h"

namespace {

constexpr int kMan = 20;
constexpr int kStride = 19;
constexpr int kLeftEntry = 0;
constexpr int kRightEntry = 4;
constexpr int kStandEntry = 8;
constexpr int kBowEntry = 14;
constexpr int kBowLast = 13;      // frames of the bow after its first
constexpr int kBowBackFrom = 4;
constexpr int kFarSpotMinWidth = 800;
constexpr int kMakesWayFor[] = {61, 62, 63, 64};

int B() { return FigureSpeedBase(); }

void Draw(const FigurRecord &r, int entry) { FigDraw(r, 0, kFig020Frames[entry]); }

int WalkSpeed() { return TimeOfDay == kNight ? B() + (Rand() & 3) + 4 : B() + Rand() % 3 + 3; }

void Common(FigurRecord &r)
{
    FigSetName(r);
    r.Frame = r.Tick = 0;
    r.ScriptVar = 0;
    r.FrameW = kFig020FrameW;
    r.FrameH = kFig020FrameH;
    r.Spacing = 7;
    r.AvoidOrder = 0;
    r.DriftStep = 1;
    r.WantsBus = 0;
}

void FromTheSide(FigurRecord &r)
{
    const int h = SceneHeight();
    Common(r);
    r.WaitCount = 0;
    r.X = -70;
    FigPlaceInLane(r, h - 294, h - 254);
    r.Direction = r.Avoids = 1;
    r.Speed = WalkSpeed();
    FigSetPause(r, Rand() % 33 + 16);
    r.State = 4;
}

void Standing(FigurRecord &r)
{
    const int h = SceneHeight();
    Common(r);
    r.WaitCount = Rand() % 31 + 20;
    if (SceneWidth() >= kFarSpotMinWidth && Rand() % 2 == 0)
        r.X = Rand() % 41 + 850;
    else if (Rand() % 2 == 0)
        r.X = Rand() % 26 + 585;
    else
        r.X = Rand() % 36 + 275;
    FigPlaceInLane(r, h - r.FrameH - 230, h - r.FrameH - 225);
    r.Direction = r.Avoids = 0;
    r.Speed = WalkSpeed();
    FigSetPause(r, Rand() % 17 + 8);
    r.State = 2;
}

void OutOfBus(FigurRecord &r)
{
    const int h = SceneHeight();
    Common(r);
    r.Speed = Rand() % 3 + B() + 4;
    r.WaitCount = Rand() % 16 + 5;
    r.X = StopPostX() + Rand() % 11 + 40;
    FigPlaceInLane(r, h - r.FrameH - 170, h - r.FrameH - 160);
    r.Direction = r.Avoids = 0;
    FigSetPause(r, Rand() % 25 + 8);
    r.State = 101;
}

bool SomeoneToMakeWayFor()
{
    for (int id : kMakesWayFor)
        if (IsOnStage(id))
            return true;
    return false;
}

void WalkOff(FigurRecord &r, int laneTop)
{
    const int h = SceneHeight();
    r.LaneYMin = h - r.FrameH - laneTop;
    r.LaneYMax = h - r.FrameH - (laneTop == 228 ? 180 : 160);
    r.AvoidOrder = 0;
    r.Frame = r.Tick = 0;
    const bool left = Rand() % 2 == 0;
    r.Direction = r.Avoids = left ? -1 : 1;
    r.State = left ? 3 : 4;
}

// States 2 and 101: standing, the head turning now and then.
void Stand(FigurRecord &r, bool outOfBus)
{
    if (!outOfBus && FigLeftClickIn(r, kFig020Frames[0].w, kFig020Frames[0].h)) {
        FigTakeClick(true);
        r.Frame = 0;
        r.Tick = 0;
        r.Gait = 4;
        r.State = 10;
        Draw(r, kBowEntry);
        return;
    }
    Draw(r, kStandEntry + r.Frame);
    if (!FigTick(r, (Rand() % 21 + 4) * r.Speed))
        return;
    if (outOfBus && FigLeftClickIn(r, kFig020Frames[0].w, kFig020Frames[0].h)) {
        FigTakeClick(false);
        FigPlayOwnSound(r);
    }
    if (++r.Frame <= (Rand() & 3) + 2)
        return;
    r.Frame = Rand() % 6;
    --r.WaitCount;
    if (outOfBus) {
        if (r.WaitCount < 1)
            WalkOff(r, 220);
    } else if (r.WaitCount < 1 || SomeoneToMakeWayFor()) {
        WalkOff(r, 228);
    }
}

void Walk(FigurRecord &r, int dir)
{
    Draw(r, (dir < 0 ? kLeftEntry : kRightEntry) + r.Frame);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        FigApplyAvoid(r);
        if (FigLeftClickIn(r, kFig020Frames[0].w, kFig020Frames[0].h)) {
            FigTakeClick(false);
            FigPlayOwnSound(r);
        }
        if (r.ScriptVar != 0 && Rand() % 5 != 0) {
            r.ScriptVar = 0;
            r.Direction = r.Avoids = 0;
            r.AvoidOrder = 0;
            r.WaitCount = Rand() % 5 + 1;
            r.State = 2;
            return;
        }
        // Walking left he is gone only once his whole sheet is.
        if ((dir < 0 && r.X + r.SheetW < 0) || (dir > 0 && r.X > SceneWidth() + 1)) {
            UnloadFigur(kMan);
            return;
        }
        if (r.AvoidOrder == 0 && Rand() % 2 == 0)
            FigDrift(r, Rand() % 15 + 2);
        r.X += dir * kStride;
    }
    r.AvoidOrder = 0;
}

// The bow after a click: each frame lasts a little longer, then it comes back.
void Bow(FigurRecord &r)
{
    Draw(r, kBowEntry + r.Frame);
    if (!FigTick(r, r.Gait))
        return;
    if ((Rand() & 3) != 0)
        ++r.Gait;
    if (++r.Frame > kBowLast) {
        r.Frame = kBowBackFrom;
        r.State = 11;
    }
}

void BowBack(FigurRecord &r)
{
    Draw(r, kBowEntry + r.Frame);
    if (++r.Tick < 2)
        return;
    r.Tick = 0;
    if (--r.Frame < 0) {
        r.Frame = 0;
        r.State = 2;
    }
}

}  // namespace

void Figur020Script()
{
    FigurRecord &r = FigurTable[kMan];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: FromTheSide(r); return;
    case 1:
        Standing(r);
        Stand(r, false);
        return;
    case 2: Stand(r, false); return;
    case 3: Walk(r, -1); return;
    case 4: Walk(r, 1); return;
    case 10: Bow(r); return;
    case 11: BowBack(r); return;
    case 100:
        OutOfBus(r);
        Stand(r, true);
        return;
    case 101: Stand(r, true); return;
    default: return;
    }
}
