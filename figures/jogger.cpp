// Figure 2, a jogger who leaps along the near pavement and comes back from
// the other side next time.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"

// The frame tables come with the pictures, from the art generator.
#include "fig002_frames.h"

namespace {

constexpr int kJogger = 2;
constexpr int kLeapFrames = 7;
constexpr int kLeap = 100;
constexpr int kJoggerLeftExit = -144;

// What the jogger keeps from one entry to the next.
struct JoggerState {
    int side = 0;  // where he comes from next: +1 left, -1 right, 0 before his first entry
};
JoggerState gJogger;

void JoggerSetUp(FigurRecord &r)
{
    const int w = SceneWidth(), h = SceneHeight();
    FigSetName(r);
    if (gJogger.side == 0)
        gJogger.side = (Rand() % 2 == 0) ? 1 : -1;
    r.Frame = r.WaitCount = r.Tick = 0;
    r.FrameW = kFig002FrameW;
    r.FrameH = kFig002FrameH;
    FigPlaceInLane(r, h - 79, h - 76);
    r.Spacing = 7;
    r.Speed = (Rand() & 1) + FigureSpeedBase() + 2;
    r.Direction = gJogger.side;
    r.Avoids = 0;
    r.WantsBus = 0;
    if (gJogger.side > 0) {
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
        gJogger.side = -1;
    } else if (step < 0 && r.X < kJoggerLeftExit) {
        UnloadFigur(kJogger);
        gJogger.side = 1;
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

void ResetFigur002() { gJogger = {}; }
