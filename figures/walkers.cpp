// Five figures that cross the street without waiting for the bus: a jogger
// who leaps along the near pavement (2), two people who walk right along the
// far pavement (4, 6), a skater who glides in from the right and falls when
// clicked (11), and a tourist who stops once to strike poses (17).
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "scene/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig002_frames.h"
#include "fig004_frames.h"
#include "fig006_frames.h"
#include "fig011_frames.h"
#include "fig017_frames.h"

namespace {

// ---------------------------------------------------------------- figure 2

constexpr int kJogger = 2;
constexpr int kLeapFrames = 7;
constexpr int kLeap = 100;
constexpr int kJoggerLeftExit = -144;

// The side the jogger comes from next: +1 left, -1 right, 0 before his first
// entry.
int gJoggerSide = 0;

void JoggerSetUp(FigurRecord &r)
{
    const int w = SceneWidth(), h = SceneHeight();
    FigSetName(r);
    if (gJoggerSide == 0)
        gJoggerSide = (Rand() % 2 == 0) ? 1 : -1;
    r.Frame = r.WaitCount = r.Tick = 0;
    r.FrameW = kFig002FrameW;
    r.FrameH = kFig002FrameH;
    FigPlaceInLane(r, h - 79, h - 76);
    r.Spacing = 7;
    r.Speed = (Rand() & 1) + FigureSpeedBase() + 2;
    r.Direction = gJoggerSide;
    r.Avoids = 0;
    r.WantsBus = 0;
    if (gJoggerSide > 0) {
        r.X = -100 - (Rand() & 15);
        FigSetPause(r, Rand() % 17);
        r.State = 100;
    } else {
        r.X = w + (Rand() & 15);
        FigSetPause(r, Rand() % 65 + 64);
        r.State = 200;
    }
}

// One leap of seven frames; the body moves across the frames, and the figure
// only at the leap's end.
void JoggerLeap(FigurRecord &r, int firstEntry, int step)
{
    FigDraw(r, 0, kFig002Frames[firstEntry + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame < kLeapFrames)
        return;
    r.Frame = 0;
    r.X += step;
    if (step > 0 && r.X > SceneWidth()) {
        UnloadFigur(kJogger);
        gJoggerSide = -1;
    } else if (step < 0 && r.X < kJoggerLeftExit) {
        UnloadFigur(kJogger);
        gJoggerSide = 1;
    }
}

// ---------------------------------------------------------------- figures 4 and 6

constexpr int kWalkFrames = 4;
constexpr int kWalkerStride = 19;
constexpr int kLookEntry = 37;

struct FarWalker {
    int id;
    const FrameEntry *frames;
    int sheet;  // always the first
    int gait;   // 0 or 4: the second gait looks at the shop windows
};
FarWalker gFarWalkers[2] = {{4, kFig004Frames, 0, 0}, {6, kFig006Frames, 0, 0}};

void FarWalkerSetUp(FarWalker &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    s.sheet = 0;
    r.X = -80;
    r.FrameW = kFig004FrameW;
    r.FrameH = kFig004FrameH;
    FigPlaceInLane(r, h - 264, h - 249);
    FigSetPause(r, Rand() % 65 + 32);
    r.Direction = 1;
    r.Avoids = 0;
    r.WantsBus = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    s.gait = 0;
    r.State = 1;
}

void FarWalkerOutOfBus(FarWalker &s, FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    s.sheet = 0;
    r.Frame = r.Tick = 0;
    r.WaitCount = (Rand() & 3) + 3;
    r.X = StopPostX() - Rand() % 21 - 10;
    r.FrameW = kFig004FrameW;
    r.FrameH = kFig004FrameH;
    r.Spacing = 6;
    FigPlaceInLane(r, h - 252, h - 242);
    FigSetPause(r, Rand() % 65 + 64);
    r.Speed = Rand() % 9 + FigureSpeedBase() + 8;
    r.Direction = 1;
    r.Avoids = 1;
    r.WantsBus = 0;
    s.gait = 0;
    r.State = 101;
}

void FarWalkerWalk(FarWalker &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[s.gait + r.Frame]);
    if (FigTick(r, r.Speed) && ++r.Frame >= kWalkFrames) {
        r.Frame = 0;
        s.gait = (Rand() % 2 == 0) ? 4 : 0;
        r.X += kWalkerStride;
        FigApplyAvoid(r);
        if (r.X > SceneWidth()) {
            UnloadFigur(r.Id);
            return;
        }
    }
    r.AvoidOrder = 0;
}

void FarWalkerLookAbout(FarWalker &s, FigurRecord &r)
{
    FigDraw(r, s.sheet, s.frames[kLookEntry + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame > Rand() % 7 + 1) {
        r.Frame = 0;
        // Someone close by: look about once more. The order is used up here,
        // or the figure would stand for good.
        if (r.AvoidOrder == 0)
            --r.WaitCount;
        r.AvoidOrder = 0;
    }
    if (r.WaitCount < 1) {
        r.Frame = 0;
        r.Speed = Rand() % 3 + FigureSpeedBase() + 5;
        s.gait = 0;
        r.State = 1;
    }
}

void FarWalkerScript(FarWalker &s)
{
    FigurRecord &r = FigurTable[s.id];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: FarWalkerSetUp(s, r); return;
    case 1: FarWalkerWalk(s, r); return;
    case 100:
        FarWalkerOutOfBus(s, r);
        FarWalkerLookAbout(s, r);
        return;
    case 101: FarWalkerLookAbout(s, r); return;
    default: FigUnknownState(r); return;
    }
}

// ---------------------------------------------------------------- figure 11

constexpr int kSkater = 11;
constexpr int kSkaterStyles = 8;
constexpr int kSkaterGlideExit = -88;
constexpr int kSkaterWalkExit = -120;
constexpr int kSkaterStride = 15;
constexpr int kSkaterActSample = 11;
constexpr int kFistRectW = 80;

int gSkaterStyle = 0;  // walk style offset, 0..28 in steps of 4
int gSkaterTempo = 0;  // T

void SkaterSetUp(FigurRecord &r)
{
    const int w = SceneWidth(), h = SceneHeight();
    FigSetName(r);
    gSkaterStyle = (Rand() & 7) * 4;
    r.Speed = (Rand() & 1) + 4;  // pixels a call
    gSkaterTempo = Rand() % 3 + FigureSpeedBase();
    FigSetPause(r, Rand() % 17 + 8);
    r.X = w;
    r.FrameW = kFig011FrameW;
    r.FrameH = kFig011FrameH;
    FigPlaceInLane(r, h - 76, h - 74);
    r.Direction = -1;
    r.Avoids = 0;
    r.MayReturn = 0;
    r.State = 1;
}

void SkaterOutOfBus(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Frame = r.WaitCount = r.Tick = 0;
    r.ScriptVar = 0;
    r.X = StopPostX() - Rand() % 21 - 64;
    r.FrameW = kFig011FrameW;
    r.FrameH = kFig011FrameH;
    FigPlaceInLane(r, h - 244, h - 234);
    r.Spacing = 6;
    gSkaterTempo = Rand() % 3 + FigureSpeedBase() + 1;
    gSkaterStyle = (Rand() & 1) * 4;
    FigSetPause(r, Rand() % 73 + 40);
    r.Direction = -1;
    r.Avoids = -1;
    r.AvoidOrder = 0;
    r.DriftStep = 1;
    r.WantsBus = 0;
    r.State = 101;
}

void SkaterAct(FigurRecord &r);

void SkaterGlide(FigurRecord &r)
{
    if (FigLeftClickIn(r, kFig011Frames[0].w, kFig011Frames[0].h)) {
        FigTakeClick(true);
        r.Frame = 0;
        r.Tick = 0;
        r.State = 2;
        SkaterAct(r);
        return;
    }
    FigDraw(r, 0, kFig011Frames[gSkaterStyle + r.Frame]);
    r.X -= r.Speed;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 10 == 0)
        gSkaterStyle = (Rand() % kSkaterStyles) * 4;
    if (r.X < kSkaterGlideExit)
        UnloadFigur(kSkater);
}

// Brakes and wobbles: still rolling, one pixel a call slower than she glided.
void SkaterAct(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[32 + r.Frame]);
    r.X += 1 - r.Speed;
    r.Tick ^= 1;
    if (r.Tick)
        return;
    const int from = r.Frame++;
    if (from == 1)
        FigPlaySample(r, kSkaterActSample);
    if (r.Frame >= 5) {
        r.Frame = 0;
        r.State = 3;
    }
}

void SkaterWindmill(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[37 + r.Frame]);
    if (++r.Frame > gSkaterTempo) {
        r.Frame = 0;
        r.State = 4;
    }
}

void SkaterDown(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[41 + r.Frame]);
    if (!FigTick(r, Rand() % 9 + gSkaterTempo + 4))
        return;
    if (++r.Frame <= 4)
        return;
    r.Frame = Rand() % 5;
    if (Rand() % 2 == 0) {
        FigSetY(r, r.Y + 2);
        r.X += 15;
        r.Frame = 0;
        r.State = 5;
    }
}

void SkaterGetUp(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[46 + r.Frame]);
    if (!FigTick(r, gSkaterTempo))
        return;
    if (++r.Frame >= 2) {
        gSkaterStyle = 0;
        r.Frame = 0;
        r.State = 6;
    }
}

void SkaterClompOff(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[48 + gSkaterStyle + r.Frame]);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + gSkaterTempo + 1))
        return;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 5 == 0)
        gSkaterStyle = (Rand() & 1) * 4;
    r.X -= kSkaterStride;
    if (r.X < kSkaterWalkExit) {
        UnloadFigur(kSkater);
        return;
    }
    if (FigLeftClickIn(r, kFistRectW, kFig011FrameH)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.Frame = 0;
        gSkaterStyle = (Rand() & 1) * 4;
        r.State = 10;
    }
}

void SkaterShakeFist(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[56 + gSkaterStyle + r.Frame]);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + gSkaterTempo + 2))
        return;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X -= kSkaterStride;
    r.State = 6;
}

void SkaterWalkOff(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[48 + gSkaterStyle + r.Frame]);
    if (!FigTick(r, Rand() % 5 + gSkaterTempo))
        return;
    if (!BusHaltedNow() && FigLeftClickIn(r, kFig011Frames[0].w, kFig011Frames[0].h)) {
        FigTakeClick(false);
        FigPlayOwnSound(r);
    }
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 5 == 0)
        gSkaterStyle = (Rand() & 1) * 4;
    r.X -= kSkaterStride;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    if (r.X < -r.FrameW)
        UnloadFigur(kSkater);
}

// ---------------------------------------------------------------- figure 17

constexpr int kTourist = 17;
constexpr int kTouristStride = 19;
constexpr int kPoseFirst = 16;
constexpr int kPoses = 32;
constexpr int kNoPoseNearRightEdge = 160;

int gTouristSheet = 0;  // summer or winter clothes
int gTouristStyle = 0;  // 0, 4, 8 or 12

void TouristSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    gTouristSheet = Season - 1;
    gTouristStyle = (Rand() & 3) * 4;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.WaitCount = Rand() % 23 + 14;  // strides before the poses
    r.Speed = Rand() % 3 + FigureSpeedBase() + 2;
    r.X = -95;
    r.FrameW = kFig017FrameW;
    r.FrameH = kFig017FrameH;
    FigPlaceInLane(r, h - 287, h - 245);
    r.Spacing = 10;
    r.AvoidOrder = 0;
    r.Direction = 1;
    r.Avoids = 1;
    FigSetPause(r, Rand() % 25 + 16);
    r.State = 1;
}

void TouristStartPoses(FigurRecord &r)
{
    r.ScriptVar = 0;
    r.Direction = 0;
    r.Avoids = 0;
    r.Frame = Rand() % kPoses + kPoseFirst;
    r.WaitCount = Rand() % 19 + 6;
    r.Tick = 0;
    r.State = 2;
}

// A stride of the stroll; countStrides only before the poses.
void TouristWalk(FigurRecord &r, bool countStrides)
{
    if (FigLeftClickIn(r, kFig017Frames[0].w, kFig017Frames[0].h)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.X -= kTouristStride;
        TouristStartPoses(r);
        FigDraw(r, gTouristSheet, kFig017Frames[r.Frame]);
        return;
    }
    FigDraw(r, gTouristSheet, kFig017Frames[gTouristStyle + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 3 == 0) {
        r.Speed = Rand() % 3 + FigureSpeedBase() + 2;
        gTouristStyle = (Rand() & 3) * 4;
    }
    FigApplyAvoid(r);
    if (r.ScriptVar == -1) {
        r.AvoidOrder = 0;
        TouristStartPoses(r);
        return;
    }
    if (countStrides)
        --r.WaitCount;
    if (r.X > SceneWidth()) {
        UnloadFigur(kTourist);
        return;
    }
    if (r.AvoidOrder == 0 && Rand() % 2 == 0)
        FigDrift(r, Rand() % 9 + 4);
    r.X += kTouristStride;
    r.AvoidOrder = 0;
    if (countStrides && r.WaitCount < 0 && r.X < SceneWidth() - kNoPoseNearRightEdge)
        TouristStartPoses(r);
}

void TouristPose(FigurRecord &r)
{
    FigDraw(r, gTouristSheet, kFig017Frames[r.Frame]);
    if (!FigTick(r, r.Speed + Rand() % (2 * r.Speed + 1)))
        return;
    r.Frame = Rand() % kPoses + kPoseFirst;
    if (--r.WaitCount < 1) {
        r.Frame = r.Tick = r.WaitCount = 0;
        r.X += 18;
        r.Direction = 1;
        r.Avoids = 1;
        r.State = 3;
    }
}

}  // namespace

void Figur002Script()
{
    FigurRecord &r = FigurTable[kJogger];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: JoggerSetUp(r); return;
    case 100: JoggerLeap(r, 0, kLeap); return;
    case 200: JoggerLeap(r, kLeapFrames, -kLeap); return;
    default: FigUnknownState(r); return;
    }
}

void Figur004Script() { FarWalkerScript(gFarWalkers[0]); }
void Figur006Script() { FarWalkerScript(gFarWalkers[1]); }

void Figur011Script()
{
    FigurRecord &r = FigurTable[kSkater];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: SkaterSetUp(r); return;
    case 1: SkaterGlide(r); return;
    case 2: SkaterAct(r); return;
    case 3: SkaterWindmill(r); return;
    case 4: SkaterDown(r); return;
    case 5: SkaterGetUp(r); return;
    case 6: SkaterClompOff(r); return;
    case 10: SkaterShakeFist(r); return;
    case 100:
        SkaterOutOfBus(r);
        SkaterWalkOff(r);
        return;
    case 101: SkaterWalkOff(r); return;
    default: return;
    }
}

void Figur017Script()
{
    FigurRecord &r = FigurTable[kTourist];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: TouristSetUp(r); return;
    case 1: TouristWalk(r, true); return;
    case 2: TouristPose(r); return;
    case 3: TouristWalk(r, false); return;
    default: return;
    }
}

bool FiguresHaveScript(int id) { return id == 2 || id == 4 || id == 6 || id == 11 || id == 17; }

void CallFigureScript(int id)
{
    switch (id) {
    case 2: Figur002Script(); break;
    case 4: Figur004Script(); break;
    case 6: Figur006Script(); break;
    case 11: Figur011Script(); break;
    case 17: Figur017Script(); break;
    default: break;
    }
}
