// Figures 26 and 27, large on the near pavement: the resident of figure 25
// in her winter coat, who stops to wave when clicked, at dusk before
// Christmas; and a tall night walker who never stops.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/objects.h"
#include "scene/scripts.h"
#include "base/saverstate.h"

// The frame tables come with the pictures, from the art generator.
#include "fig026_frames.h"
#include "fig027_frames.h"

namespace {

constexpr int kWinterResident = 26;
constexpr int kResident = 25;
constexpr int kNightWalker = 27;
constexpr int kWinterStride = 21, kNightStride = 33;
constexpr int kFirstWave = 4, kWaveFrames = 5;
// Her click box: her coat, not the frame around her.
constexpr int kBoxLeft = 70, kBoxRight = 144, kBoxTop = 60, kBoxBottom = 130;
// Two cars on the near lane and she steps on.
constexpr int kNearLaneCrowd = 2;

bool ClickOnHerCoat(const FigurRecord &r)
{
    const int mx = MouseX, my = MouseY;
    return ClickPending && mx >= r.X + kBoxLeft && mx <= r.X + kBoxRight && my >= r.Y + kBoxTop &&
           my <= r.Y + kBoxBottom;
}

void WinterSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    // The same person as figure 25, so her speech texts have a section of
    // their own under her name.
    StrCopy(r.Name, FigurDisplayName(kResident));
    StrAppend(r.Name, " (W)");
    r.Tick = r.Frame = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 6;
    r.X = -120;
    r.FrameH = kFig026FrameH;
    // Her remove and talk box: the narrowest of her frames.
    r.FrameW = kFig026FrameW;
    FigPlaceInLane(r, h - 135, h - 133);
    r.Direction = 1;
    r.Avoids = 0;
    FigSetPause(r, Rand() % 25 + 32);
    r.State = 1;
}

void WinterWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig026Frames[r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (ClickOnHerCoat(r)) {
        r.Frame = 0;
        r.State = 2;
        r.WaitCount = Rand() % 10 + 3;
        FigTakeClick(true);
        return;
    }
    if (++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += kWinterStride;
    if (r.X > SceneWidth())
        UnloadFigur(kWinterResident);
}

void WinterWave(FigurRecord &r)
{
    FigDraw(r, 0, kFig026Frames[kFirstWave + r.Frame]);
    if (!FigTick(r, (Rand() % 5 + 4) * (FigureSpeedBase() + 2)) || ++r.Frame < kWaveFrames)
        return;
    r.Frame = Rand() % 3 + 1;
    --r.WaitCount;
    if (r.WaitCount >= 1 && VehicleCountRight.load() < kNearLaneCrowd)
        return;
    r.Frame = 0;
    r.X += 5;
    r.State = 1;
}

void NightWalkerSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.Tick = r.Frame = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 6;
    r.Gait = (Rand() & 1) * 4;
    r.X = -120;
    r.FrameH = kFig027FrameH;
    r.FrameW = kFig027FrameW;
    FigPlaceInLane(r, h - 98, h - 96);
    r.Direction = 1;
    r.Avoids = 0;
    FigSetPause(r, Rand() % 41 + 40);
    r.State = 1;
}

void NightWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig027Frames[r.Gait + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += kNightStride;
    if ((Rand() & 3) == 0)
        r.Gait = (Rand() & 1) * 4;
    if ((Rand() & 3) == 0)
        r.Speed = Rand() % 3 + FigureSpeedBase() + 7;
    if (r.X > SceneWidth())
        UnloadFigur(kNightWalker);
}

}  // namespace

void Figur026Script()
{
    FigurRecord &r = FigurTable[kWinterResident];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: WinterSetUp(r); return;
    case 1: WinterWalk(r); return;
    case 2: WinterWave(r); return;
    default: return;
    }
}

void Figur027Script()
{
    FigurRecord &r = FigurTable[kNightWalker];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: NightWalkerSetUp(r); return;
    case 1: NightWalk(r); return;
    default: return;
    }
}
