// Figure 22, the pavement renewer: he walks from the left to the right edge
// and at every stride copies a piece of the clean pavement picture into the
// background under his feet, so that whatever lay there (the dog's traces
// among it) is gone. Now and then he stops to sweep, to knock out his broom
// or to set a stone.
#include "figures/pavement.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "core/daterules.h"
#include "core/random.h"
#include "figures/figures.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"

// The frame tables come with the pictures, from the art generator.
#include "fig022_frames.h"

int PavementOffset = 0;

namespace {

constexpr int kRenewer = 22;
constexpr int kPavementSlot = 1;
constexpr int kWorkSample = 12;
constexpr int kStride = 14;
// The piece he renews: 30 x 25 pixels, 40 to the right of his corner and 52
// below it. The pavement picture's row 0 lies at scene row 118 of a scene
// 348 high, so the source row is 214 - PavementOffset.
constexpr int kPieceDx = 40, kPieceDy = 52, kPieceW = 30, kPieceH = 25;
constexpr int kPieceSourceRow = 214;
constexpr int kOffsetMin = 164, kOffsetSpan = 57;
// A renewer this near the houses walks where the dog leaves its traces.
constexpr int kOffsetClearsTraces = 185;
constexpr int kFirstAct2 = 4, kFirstAct3 = 8, kFirstAct4 = 12;
constexpr int kAct2Frames = 4, kAct3Frames = 4, kAct4Frames = 3;
// Act 3 is drawn taller: 20 to the right and 18 up, his feet where they were.
constexpr int kAct3Dx = 20, kAct3Dy = 18;

void PlayIfIdle(FigurRecord &r, int sample)
{
    if (Sound && !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1))
        PlayObjectSound(sample, &r.Sound, r.Id, r.X);
}

// Cuts a run [*at, *at + *len) to [0, limit), moving the other side's start
// with it.
void CutRun(int *at, int *other, int *len, int limit)
{
    if (*at < 0) {
        *other -= *at;
        *len += *at;
        *at = 0;
    }
    if (*at + *len > limit)
        *len = limit - *at;
}

void RenewPavement(const FigurRecord &r)
{
    HBITMAP picture = r.Sheets[kPavementSlot];
    SceneRect size = {0, 0, 0, 0};
    if (!picture || !GetBitmapSize(picture, &size))
        return;
    int sx = r.X + kPieceDx, sy = kPieceSourceRow - PavementOffset;
    int dx = r.X + kPieceDx, dy = r.Y + kPieceDy;
    int w = kPieceW, h = kPieceH;
    // Never read outside the picture nor write outside the scene: at the
    // far offsets and the edges the piece would.
    CutRun(&sx, &dx, &w, size.w);
    CutRun(&sy, &dy, &h, size.h);
    CutRun(&dx, &sx, &w, SceneW);
    CutRun(&dy, &sy, &h, SceneH);
    if (w <= 0 || h <= 0)
        return;
    SceneDCHold hold;
    DrawBitmapPart(BackgroundDC, SceneX + dx, SceneY + dy, picture, SceneRect{sx, sy, w, h});
}

void StartAct3(FigurRecord &r)
{
    r.X += kAct3Dx;
    r.Y -= kAct3Dy;
    r.State = 3;
}

void StartAct2(FigurRecord &r)
{
    r.X -= 6;
    r.State = 2;
}

void RenewerSetUp(FigurRecord &r)
{
    if (!LoadGehweg()) {
        WriteLog("+++ Kann Gehweg nicht laden!!");
        UnloadFigur(kRenewer);
        return;
    }
    const int h = SceneHeight();
    FigSetName(r);
    r.ScriptVar = 0;
    r.Frame = r.WaitCount = r.Tick = r.Gait = 0;
    PavementOffset = Rand() % kOffsetSpan + kOffsetMin;
    r.Spacing = 16;
    r.FrameW = kFig022FrameW;
    r.FrameH = kFig022FrameH;
    r.X = -88;
    r.Y = h - PavementOffset - kFig022FrameH;
    r.LaneYMin = h - 288;
    r.LaneYMax = h - 232;
    r.FootLine = r.Y + kFig022FrameH;
    r.Direction = 1;
    r.Avoids = 1;
    r.AvoidOrder = 0;
    if (PavementOffset >= kOffsetClearsTraces)
        DogTraces.count = 0;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
    r.MayReturn = 0;
    r.Gait = Rand() % 21 + 4;  // strides to the next act
    FigSetPause(r, Rand() % 49 + 24);
    r.State = 1;
}

// Unlike the lane clamp of the walkers, a step onto the lane's edge is
// refused, and he stops to work there instead.
void RenewerAvoid(FigurRecord &r)
{
    if (r.AvoidOrder != 0) {
        const int y = r.Y + r.AvoidOrder;
        if (y > r.LaneYMin && y < r.LaneYMax) {
            r.Y = y;
            PavementOffset -= r.AvoidOrder;
            r.FootLine = r.Y + kFig022FrameH;
        } else {
            r.ScriptVar = -1;
        }
    }
    r.AvoidOrder = 0;
}

void RenewerStride(FigurRecord &r)
{
    PlayIfIdle(r, kWorkSample);
    UpdateObjectSound(&r.Sound, r.X);
    RenewerAvoid(r);
    RenewPavement(r);
    r.X += kStride;
    if (FigLeftClickIn(r, kFig022FrameW, kFig022FrameH)) {
        // His own sound file, and it is heard: the act does not stop it.
        FigPlayOwnSound(r);
        if ((Rand() & 1) == 0)
            StartAct3(r);
        else
            StartAct2(r);
        FigTakeClick(true);
        return;
    }
    if (r.X > SceneWidth()) {
        UnloadFigur(kRenewer);
        FreeGehweg();
        return;
    }
    bool act = r.ScriptVar != 0;
    if (!act && Rand() % 13 == 0)
        act = --r.Gait < 1;
    if (!act)
        return;
    StopObjectSound(&r.Sound);
    if ((Rand() & 1) == 0 || r.ScriptVar != 0) {
        r.Avoids = 1;
        StartAct3(r);
    } else {
        StartAct2(r);
    }
    r.ScriptVar = 0;
    r.Gait = Rand() % 15 + 10;
    PostHideCursor();
}

void RenewerWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig022Frames[r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    RenewerStride(r);
}

void BackToWalking(FigurRecord &r, int dx)
{
    r.Frame = 0;
    r.State = 1;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
    r.X += dx;
}

void RenewerAct2(FigurRecord &r)
{
    FigDraw(r, 0, kFig022Frames[kFirstAct2 + r.Frame]);
    if (FigTick(r, ((Rand() & 3) + 2) * r.Speed) && ++r.Frame >= kAct2Frames)
        BackToWalking(r, 29);
}

void RenewerAct3(FigurRecord &r)
{
    FigDraw(r, 0, kFig022Frames[kFirstAct3 + r.Frame]);
    if (!FigTick(r, ((Rand() & 3) + 3) * r.Speed) || ++r.Frame < kAct3Frames)
        return;
    r.Frame = 0;
    r.Speed = (Rand() & 3) + FigureSpeedBase() + 4;
    // Someone close by: once more, before he kneels in their way.
    if (r.AvoidOrder == 0) {
        r.X -= 6;
        r.Y += kAct3Dy;
        r.State = 4;
    }
    r.AvoidOrder = 0;
}

void RenewerAct4(FigurRecord &r)
{
    FigDraw(r, 0, kFig022Frames[kFirstAct4 + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    PlayIfIdle(r, kWorkSample);
    if (++r.Frame >= kAct4Frames)
        BackToWalking(r, 12);
}

}  // namespace

int LoadGehweg()
{
    FigurRecord &r = FigurTable[kRenewer];
    if (!IsRecordLoaded(r))
        return 0;
    // A picture of an earlier set-up would be lost under the new one.
    FreeGehweg();
    char name[16];
    StrPrintfN(name, sizeof name, "GEHWEG_%02d", Season);
    HBITMAP picture = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    if (!picture)
        picture = LoadResourceBitmap(AppInstance, "GEHWEG", TRUE, &ScenePalette, kLoadScene);
    if (!picture)
        return 0;
    r.Sheets[kPavementSlot] = picture;
    HBITMAP mask = CreateMask(picture);
    if (!mask)
        return 1;  // the copy needs no mask
    r.Masks[kPavementSlot] = mask;
    if (MakeTransparentBitmap(picture, mask, kKeyColour))
        return 1;
    FreeGehweg();
    return 0;
}

void FreeGehweg() { ClearExtraSheet(&FigurTable[kRenewer], kPavementSlot); }

void Figur022Script()
{
    FigurRecord &r = FigurTable[kRenewer];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: RenewerSetUp(r); return;
    case 1: RenewerWalk(r); return;
    case 2: RenewerAct2(r); return;
    case 3: RenewerAct3(r); return;
    case 4: RenewerAct4(r); return;
    default: return;
    }
}
