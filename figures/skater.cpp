// Figure 11, a skater who glides in from the right and falls when clicked.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig011_frames.h"

namespace {

constexpr int kSkater = 11;
constexpr int kSkaterStyles = 8;
constexpr int kSkaterGlideExit = -88;
constexpr int kSkaterWalkExit = -120;
constexpr int kSkaterStride = 15;
constexpr int kSkaterActSample = 11;
constexpr int kFistRectW = 80;

// What the skater keeps from one entry to the next.
struct SkaterState {
    int style = 0;  // walk style offset, 0..28 in steps of 4
    int tempo = 0;
};
SkaterState gSkater;

void SkaterSetUp(FigurRecord &r)
{
    const int w = SceneWidth(), h = SceneHeight();
    FigSetName(r);
    gSkater.style = (Rand() & 7) * 4;
    r.Speed = (Rand() & 1) + 4;  // pixels a call
    gSkater.tempo = Rand() % 3 + FigureSpeedBase();
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
    gSkater.tempo = Rand() % 3 + FigureSpeedBase() + 1;
    gSkater.style = (Rand() & 1) * 4;
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
    FigDraw(r, 0, kFig011Frames[gSkater.style + r.Frame]);
    r.X -= r.Speed;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 10 == 0)
        gSkater.style = (Rand() % kSkaterStyles) * 4;
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
    if (++r.Frame > gSkater.tempo) {
        r.Frame = 0;
        r.State = 4;
    }
}

void SkaterDown(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[41 + r.Frame]);
    if (!FigTick(r, Rand() % 9 + gSkater.tempo + 4))
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
    if (!FigTick(r, gSkater.tempo))
        return;
    if (++r.Frame >= 2) {
        gSkater.style = 0;
        r.Frame = 0;
        r.State = 6;
    }
}

void SkaterClompOff(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[48 + gSkater.style + r.Frame]);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + gSkater.tempo + 1))
        return;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 5 == 0)
        gSkater.style = (Rand() & 1) * 4;
    r.X -= kSkaterStride;
    if (r.X < kSkaterWalkExit) {
        UnloadFigur(kSkater);
        return;
    }
    if (FigLeftClickIn(r, kFistRectW, kFig011FrameH)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.Frame = 0;
        gSkater.style = (Rand() & 1) * 4;
        r.State = 10;
    }
}

void SkaterShakeFist(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[56 + gSkater.style + r.Frame]);
    if (!FigTick(r, Rand() % 3 + FigureSpeedBase() + gSkater.tempo + 2))
        return;
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X -= kSkaterStride;
    r.State = 6;
}

void SkaterWalkOff(FigurRecord &r)
{
    FigDraw(r, 0, kFig011Frames[48 + gSkater.style + r.Frame]);
    if (!FigTick(r, Rand() % 5 + gSkater.tempo))
        return;
    if (!BusHaltedNow() && FigLeftClickIn(r, kFig011Frames[0].w, kFig011Frames[0].h)) {
        FigTakeClick(false);
        FigPlayOwnSound(r);
    }
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    if (Rand() % 5 == 0)
        gSkater.style = (Rand() & 1) * 4;
    r.X -= kSkaterStride;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    if (r.X < -r.FrameW)
        UnloadFigur(kSkater);
}

}  // namespace

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

void ResetFigur011() { gSkater = {}; }
