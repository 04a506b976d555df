// Figure 69, the weather presenter beside the weather sign: one short scene
// of twenty frames from an extra sheet, then she is gone. She is never
// clicked.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"

// The frame tables come with the pictures, from the art generator.
#include "fig069_frames.h"

namespace {

constexpr int kPresenter = 69;
constexpr int kSceneSlot = 1;
constexpr int kScenes = 5;
constexpr int kFrames = 20;
constexpr int kSheetWaitFrames = 400;

void AskForScene(FigurRecord &r)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "FIG069_01_%02d", Rand() % kScenes + 1);
    if (!LoadFigurPlus(kPresenter, kSceneSlot, name)) {
        UnloadFigur(kPresenter);
        return;
    }
    r.FrameH = 55;
    r.Spacing = r.FrameW = r.AvoidOrder = r.ScriptVar = r.Avoids = 0;
    r.X = 656;
    r.Y = SceneHeight() - 320;
    r.FootLine = SceneHeight() - 265;
    r.Pause = 0;
    r.MayReturn = 1;
    r.Frame = r.Tick = 0;
    r.State = 1;
}

void WaitForScene(FigurRecord &r)
{
    if (r.Sheets[kSceneSlot] && r.Masks[kSceneSlot]) {
        r.Frame = r.Tick = 0;
        r.Speed = (Rand() & 3) + FigureSpeedBase() + 3;
        r.State = 100;
        return;
    }
    if (++r.Frame > kSheetWaitFrames)
        UnloadFigur(kPresenter);
}

void PlayScene(FigurRecord &r)
{
    FigDraw(r, kSceneSlot, kFig069Frames[r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame >= kFrames)
        UnloadFigur(kPresenter);
}

}  // namespace

void Figur069Script()
{
    FigurRecord &r = FigurTable[kPresenter];
    switch (r.State) {
    case 0: AskForScene(r); return;
    case 1: WaitForScene(r); return;
    case 100: PlayScene(r); return;
    default: FigUnknownState(r); return;
    }
}
