// Figures 34, 38 and 39 walk right along the far pavement: 34, a walker who
// breaks his walk for one of two little acts and may turn back; 38, the
// Easter bunny, who stops to look about once past the stop; 39, the clown,
// in two gaits.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "config/config.h"
#include "base/saverstate.h"

// The frame tables come with the pictures, from the art generator.
#include "fig034_frames.h"
#include "fig038_frames.h"
#include "fig039_frames.h"

namespace {

// ------------------------------------------------------------ figure 34

constexpr int kActor = 34;
constexpr int kActorStride = 31;
constexpr int kActorWalkLeftFirst = 4;
constexpr int kActAFirst = 8;
constexpr int kActALast = 6;  // entries 8 to 14
constexpr int kActBFirst = 15;
constexpr int kActorClickW = 64;
constexpr int kActorClickWWalkingLeft = 88;

int ActorSpeed() { return Rand() % 4 + FigureSpeedBase() + 7; }

void ActorSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = 0;
    r.Gait = 0;
    r.X = -88;
    r.FrameW = kFig034FrameW;
    r.FrameH = kFig034FrameH;
    r.Spacing = 7;
    FigPlaceInLane(r, h - 287, h - 247);
    r.Speed = ActorSpeed();
    r.DriftStep = -1;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Rand() % 41 + 32);
    r.State = 1;
}

// The walk's avoidance keeps to the lane but does not stop the walker.
void ActorAvoidAndDrift(FigurRecord &r)
{
    FigApplyAvoid(r);
    r.ScriptVar = 0;
    if (r.AvoidOrder == 0 && Rand() % 4 == 0)
        FigDrift(r, Rand() % 15 + 2);
}

void ActorWalkRight(FigurRecord &r)
{
    FigDraw(r, 0, kFig034Frames[r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    ActorAvoidAndDrift(r);
    r.X += kActorStride;
    if (r.X > SceneWidth()) {
        UnloadFigur(kActor);
        return;
    }
    r.AvoidOrder = 0;
}

void ActorWalkLeft(FigurRecord &r)
{
    FigDraw(r, 0, kFig034Frames[kActorWalkLeftFirst + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X -= kActorStride;
    // Walking left, it leaves once it is its loaded sheet's width off.
    if (r.X < -r.SheetW) {
        UnloadFigur(kActor);
        return;
    }
    ActorAvoidAndDrift(r);
    r.AvoidOrder = 0;
}

void ActorTurn(FigurRecord &r, int direction, int dx)
{
    r.Frame = 0;
    r.X += dx;
    r.Direction = direction;
    r.Speed = ActorSpeed();
    r.State = direction > 0 ? 1 : 2;
}

// An act's frame lasts a drawn number of Speeds, drawn anew on every call.
bool ActFrameEnds(FigurRecord &r) { return FigTick(r, (Rand() % 3 + 2) * r.Speed); }

void ActorActA(FigurRecord &r)
{
    FigDraw(r, 0, kFig034Frames[kActAFirst + r.Frame]);
    if (!ActFrameEnds(r) || ++r.Frame <= kActALast)
        return;
    r.Frame = 0;
    if (Rand() % 3 != 0)
        ActorTurn(r, 1, 22);
    else if (Rand() % 3 != 0)
        ActorTurn(r, -1, -30);
}

void ActorActB(FigurRecord &r)
{
    FigDraw(r, 0, kFig034Frames[kActBFirst + r.Frame]);
    if (!ActFrameEnds(r) || ++r.Frame <= Rand() % 4 + 4)
        return;
    r.Frame = 0;
    if (Rand() % 2 == 0)
        ActorTurn(r, 1, 22);
    else if (Rand() % 2 != 0)
        ActorTurn(r, -1, -20);
}

// A left click at the start of a cycle: walking, the actor plays one of
// his acts; acting, he only makes his sound.
void ActorClick(FigurRecord &r)
{
    if (r.Frame != 0 || r.State < 1 || r.State > 4)
        return;
    const int w = r.State == 2 ? kActorClickWWalkingLeft : kActorClickW;
    if (!FigLeftClickIn(r, w, kFig034FrameH))
        return;
    FigPlayOwnSound(r);
    if (r.State >= 3) {
        FigTakeClick(false);
        return;
    }
    if (r.State == 1)
        r.X -= kActorStride;
    r.Tick = 0;
    r.State = Rand() % 2 == 0 ? 3 : 4;
    FigTakeClick(true);
}

// ------------------------------------------------------------ figure 38

constexpr int kBunny = 38;
constexpr int kBunnyHop = 33;
constexpr int kBunnyPauseEntry = 4;
constexpr int kBunnyLookFirst = 5;
// It looks about only once it is past the stop post by this much.
constexpr int kBunnyPastPost = 50;

void BunnySetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    StrCopy(r.Name, Language == 1 ? "Osterhase" : "Easter bunny");
    r.Frame = 0;
    r.X = -100;
    r.FrameW = kFig038FrameW;
    r.FrameH = kFig038FrameH;
    r.Spacing = 10;
    FigPlaceInLane(r, h - 311, h - 276);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
    r.DriftStep = 1;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Rand() % 25 + 16);
    r.State = 1;
}

void BunnyHop(FigurRecord &r)
{
    // Drawn before the click is taken: a click never makes it blink.
    FigDraw(r, 0, kFig038Frames[r.Frame]);
    // Strict bounds: the edge of the rectangle is not the bunny.
    if (ClickPending && MouseX > r.X && MouseX < r.X + 90 && MouseY > r.Y && MouseY < r.Y + 103) {
        FigPlayOwnSound(r);
        r.Frame = 0;
        r.X -= kBunnyHop;
        r.State = 2;
        FigTakeClick(true);
        return;
    }
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
    FigApplyAvoid(r);
    r.X += kBunnyHop;
    if (r.X > SceneWidth()) {
        UnloadFigur(kBunny);
        return;
    }
    if (r.ScriptVar == 0 && (r.X <= StopPostX() + kBunnyPastPost || Rand() % 8 != 0)) {
        if (r.AvoidOrder == 0 && Rand() % 6 == 0)
            FigDrift(r, Rand() % 4 + 3);
    } else {
        r.ScriptVar = 0;
        r.X -= kBunnyHop;
        r.Direction = r.Avoids = 0;
        r.State = 2;
    }
    r.AvoidOrder = 0;
}

void BunnyPause(FigurRecord &r)
{
    FigDraw(r, 0, kFig038Frames[kBunnyPauseEntry]);
    if (++r.Tick > Rand() % 4 + r.Speed + 2) {
        r.Tick = 0;
        r.Frame = 0;
        r.State = 3;
    }
}

void BunnyLook(FigurRecord &r)
{
    FigDraw(r, 0, kFig038Frames[kBunnyLookFirst + r.Frame]);
    if (!FigTick(r, FigureSpeedBase() + 3) || ++r.Frame <= Rand() % 2 + 3)
        return;
    r.Direction = r.Avoids = 1;
    r.Frame = 0;
    r.X += kBunnyHop;
    r.State = 1;
}

// ------------------------------------------------------------ figure 39

constexpr int kClown = 39;
constexpr int kClownStride = 29;
constexpr int kClownSecondGait = 4;
constexpr int kClownMiddleSpeed = 6;

void ClownSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = 0;
    r.Gait = 0;
    r.X = -112;
    r.FrameW = kFig039FrameW;
    r.FrameH = kFig039FrameH;
    r.Spacing = 9;
    FigPlaceInLane(r, h - 302, h - 260);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
    r.DriftStep = 1;
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Rand() % 33 + 16);
    r.State = 1;
}

void ClownWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig039Frames[r.Gait + r.Frame]);
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X += kClownStride;
    r.Gait = Rand() % 2 == 0 ? kClownSecondGait : 0;
    if (r.AvoidOrder != 0) {
        // Pressed against the lane's edge the clown changes his pace.
        int y = r.Y + r.AvoidOrder;
        if (y < r.LaneYMin) {
            y = r.LaneYMin;
            if (r.Speed < kClownMiddleSpeed)
                ++r.Speed;
        } else if (y > r.LaneYMax) {
            y = r.LaneYMax;
            if (r.Speed > kClownMiddleSpeed)
                ++r.Speed;
        }
        FigSetY(r, y);
    } else {
        r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
        if (Rand() % 3 == 0)
            FigDrift(r, Rand() % 5 + 4);
    }
    r.AvoidOrder = 0;
    if (r.X > SceneWidth())
        UnloadFigur(kClown);
}

}  // namespace

void Figur034Script()
{
    FigurRecord &r = FigurTable[kActor];
    if (FigClickBlock(r))
        return;
    ActorClick(r);
    switch (r.State) {
    case 0: ActorSetUp(r); return;
    case 1: ActorWalkRight(r); return;
    case 2: ActorWalkLeft(r); return;
    case 3: ActorActA(r); return;
    case 4: ActorActB(r); return;
    default: return;
    }
}

void Figur038Script()
{
    FigurRecord &r = FigurTable[kBunny];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: BunnySetUp(r); return;
    case 1: BunnyHop(r); return;
    case 2: BunnyPause(r); return;
    case 3: BunnyLook(r); return;
    default: return;
    }
}

void Figur039Script()
{
    FigurRecord &r = FigurTable[kClown];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: ClownSetUp(r); return;
    case 1: ClownWalk(r); return;
    default: return;
    }
}
