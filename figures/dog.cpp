// Figure 24, the dog: it trots along the pavement, stands and barks, turns
// back when clicked, and now and then leaves a trace that stays in the
// background (and is drawn again into every rebuilt one) until the pavement
// renewer's set-up forgets the traces.
#include "figures/figures.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"

// The frame tables come with the pictures, from the art generator.
#include "fig024_frames.h"

namespace {

constexpr int kDog = 24;
constexpr int kBarkSample = 5;
constexpr int kFirstStand = 4, kStandFrames = 9;
constexpr int kFirstWalkLeft = 13;
constexpr int kFirstSquat = 17, kSquatFrames = 13;
constexpr int kTraceEntry = 31;
constexpr int kTraceDx = 19;
constexpr int kStrideRight = 17, kStrideLeft = 14;
// The boxes a click must hit: the first frame of the walk and of the stand.
constexpr int kWalkBoxW = 64, kStandBoxW = 80, kBoxH = 54;
// Only near enough to the kerb does it leave a trace: on its own from this
// row, when clicked from the next one up.
constexpr int kTraceRowOwn = 120, kTraceRowClicked = 115;

void Bark(FigurRecord &r)
{
    if (Sound && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1)) {
        PlayObjectSound(kBarkSample, &r.Sound, r.Id, r.X);
        UpdateObjectSound(&r.Sound, r.X);
    }
}

bool RoomForATrace() { return DogTraces.count < kMaxDogTraces; }

void LeaveTrace(FigurRecord &r)
{
    if (!RoomForATrace())
        return;
    POINT at = {SceneX + r.X + kTraceDx, SceneY + r.Y};
    DogTraces.points[DogTraces.count++] = at;
    const FrameEntry &e = kFig024Frames[kTraceEntry];
    SceneDCHold hold;
    DrawMaskedFrame(BackgroundDC, r.Sheets[0], r.Masks[0], SceneRect{at.x, at.y, 0, 0},
                    SceneRect{e.x, e.y, e.w, e.h});
}

void DogSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    StrCopy(r.Name, Language == 1 ? "Hund" : "Dog");
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.Speed = (Rand() & 3) + FigureSpeedBase() + 2;
    r.FrameH = kFig024FrameH;
    r.X = -72 - Rand() % 71;
    r.Spacing = 20;
    r.FrameW = kFig024FrameW;
    r.Direction = 1;
    r.Avoids = 1;
    r.AvoidOrder = 0;
    FigPlaceInLane(r, h - 274, h - 212);
    // A street with its traces already sees the dog less often.
    FigSetPause(r, DogTraces.count >= 2 ? Rand() % 129 + 64 : Rand() % 97 + 32);
    r.State = 1;
}

void StopToStand(FigurRecord &r)
{
    r.WaitCount = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 0;
    r.State = 2;
}

void DogWalkRight(FigurRecord &r)
{
    r.Direction = r.Avoids = 1;
    FigDraw(r, 0, kFig024Frames[r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    FigApplyAvoid(r);
    bool stop = r.ScriptVar != 0;
    if (!stop) {
        stop = ++r.WaitCount > Rand() % 61 + 15;
        if (!stop) {
            if (r.X > SceneWidth()) {
                UnloadFigur(kDog);
                return;
            }
            if (r.AvoidOrder == 0 && (Rand() & 1) == 0)
                FigDrift(r, Rand() % 15 + 2);
            r.X += kStrideRight;
        }
    }
    if (stop)
        StopToStand(r);
    r.AvoidOrder = 0;
    r.Speed = (Rand() & 3) + FigureSpeedBase() + 2;
}

void DogWalkLeft(FigurRecord &r)
{
    r.Direction = r.Avoids = -1;
    FigDraw(r, 0, kFig024Frames[kFirstWalkLeft + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        StopToStand(r);
    } else {
        if (r.X < -r.FrameW) {
            UnloadFigur(kDog);
            return;
        }
        if (r.AvoidOrder == 0 && (Rand() & 1) == 0)
            FigDrift(r, Rand() % 15 + 2);
        r.X -= kStrideLeft;
    }
    r.AvoidOrder = 0;
    r.Speed = (Rand() & 3) + FigureSpeedBase() + 2;
}

void DogStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig024Frames[kFirstStand + r.Frame]);
    if (!FigTick(r, (Rand() % 19 + 6) * FigureSpeedBase()))
        return;
    if (r.Frame < kStandFrames && Rand() % 5 == 0 && SoundSwitchOn(kOptDog))
        Bark(r);
    if (++r.Frame < kStandFrames)
        return;
    r.Frame = Rand() % 7;
    if (++r.WaitCount > Rand() % 7 + 1) {
        r.WaitCount = 0;
        r.Frame = 0;
        r.State = 1 + Rand() % 3;
    } else if (RoomForATrace() && r.Y >= kTraceRowOwn && Rand() % 17 == 0) {
        r.Frame = 0;
        r.State = 10;
    }
}

void DogLeaveTrace(FigurRecord &r)
{
    FigDraw(r, 0, kFig024Frames[kFirstSquat + r.Frame]);
    const int base = 4 * FigureSpeedBase();
    if (!FigTick(r, Rand() % (base + 1) + base) || ++r.Frame < kSquatFrames)
        return;
    LeaveTrace(r);
    r.X += 20;
    r.Frame = 0;
    r.State = 1;
}

// A click makes the walking dog turn back four times in five, and the
// standing one bark, or leave a trace when it stands near the kerb.
void DogClick(FigurRecord &r)
{
    if (r.State == 1 || r.State == 3) {
        if (!FigLeftClickIn(r, kWalkBoxW, kBoxH))
            return;
        r.Frame = 0;
        if (Rand() % 5 == 0) {
            r.State = 2;
            r.Direction = r.Avoids = 0;
        } else {
            r.State = r.State == 1 ? 3 : 1;
        }
    } else if (r.State == 2) {
        if (!FigLeftClickIn(r, kStandBoxW, kBoxH))
            return;
        if (RoomForATrace() && r.Y >= kTraceRowClicked) {
            r.Frame = 0;
            r.State = 10;
        } else {
            Bark(r);
        }
    } else {
        return;
    }
    FigTakeClick(true);
}

}  // namespace

void Figur024Script()
{
    FigurRecord &r = FigurTable[kDog];
    if (FigClickBlock(r))
        return;
    DogClick(r);
    switch (r.State) {
    case 0: DogSetUp(r); return;
    case 1: DogWalkRight(r); return;
    case 2: DogStand(r); return;
    case 3: DogWalkLeft(r); return;
    case 10: DogLeaveTrace(r); return;
    default: return;
    }
}
