#include "figures/scriptframe.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "scene/bubbles.h"
#include "features/vanish.h"
#include "figures/pavement.h"
#include "scene/animation.h"
#include "scene/screen.h"
#include "scene/scripts.h"
#include "services/music.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "vehicles/busstop.h"

namespace {

constexpr int kPauseLogDivisor = 8;
constexpr int kDriftClamped = 9999;

bool PointIn(const FigurRecord &r, int w, int h)
{
    const int mx = MouseX, my = MouseY;
    return mx >= r.X && mx <= r.X + w && my >= r.Y && my <= r.Y + h;
}

}  // namespace

int SceneWidth() { return SceneW; }
int SceneHeight() { return SceneH; }
int FigureSpeedBase() { return figSpeed; }
int StopPostX() { return StopPostRect.x; }
bool BusHaltedNow() { return BusHalted != 0; }

bool FigClickBlock(FigurRecord &r)
{
    if (RemovePending && PointIn(r, r.FrameW, r.FrameH)) {
        PlaceVanishEffect(r);
        if (r.Id == 22)
            FreeGehweg();
        if ((r.Id == 41 || r.Id == 42) && Music && MusicPlaying) {
            KillSprechblase();
            FadeMusic(2000);
        }
        UnloadFigur(r.Id);
        RemovePending = 0;
        return true;
    }
    if (TalkPending && PointIn(r, r.FrameW, r.FrameH)) {
        FigurSprechblase(&r);
        TalkPending = 0;
    }
    return false;
}

bool FigLeftClickIn(const FigurRecord &r, int w, int h) { return ClickPending && PointIn(r, w, h); }

void FigTakeClick(bool hideCursor)
{
    ClickPending = 0;
    if (hideCursor)
        PostHideCursor();
}

void FigDrawRect(const FigurRecord &r, int sheet, const SceneRect &source) { FigDrawRectAt(r, sheet, source, r.X, r.Y); }

void FigDrawRectAt(const FigurRecord &r, int sheet, const SceneRect &source, int x, int y)
{
    if (sheet < 0 || sheet >= kMaxSheets)
        return;
    SceneRect point = {x, y, 0, 0};
    DrawMaskedFrame(WorkDC, r.Sheets[sheet], r.Masks[sheet], point, source);
}

bool FigTick(FigurRecord &r, int limit)
{
    if (++r.Tick > limit) {
        r.Tick = 0;
        return true;
    }
    return false;
}

void FigSetY(FigurRecord &r, int y)
{
    r.Y = y;
    r.FootLine = r.Y + r.FrameH;
}

void FigApplyAvoid(FigurRecord &r)
{
    if (r.AvoidOrder == 0)
        return;
    int y = r.Y + r.AvoidOrder;
    if (y < r.LaneYMin) {
        y = r.LaneYMin;
        r.ScriptVar = -1;
    } else if (y > r.LaneYMax) {
        y = r.LaneYMax;
        r.ScriptVar = -1;
    }
    FigSetY(r, y);
}

void FigDrift(FigurRecord &r, int turnAfter)
{
    int y = r.Y + r.DriftStep;
    if (y < r.LaneYMin || y > r.LaneYMax) {
        y = y < r.LaneYMin ? r.LaneYMin : r.LaneYMax;
        r.DriftCount = kDriftClamped;
    }
    FigSetY(r, y);
    if (++r.DriftCount > turnAfter) {
        r.DriftCount = 0;
        r.DriftStep = -r.DriftStep;
    }
}

void FigSetName(FigurRecord &r) { StrCopy(r.Name, FigurDisplayName(r.Id)); }

void FigPlaceInLane(FigurRecord &r, int laneYMin, int laneYMax)
{
    r.LaneYMin = laneYMin;
    r.LaneYMax = laneYMax;
    FigSetY(r, laneYMin + Rand() % (laneYMax - laneYMin + 1));
}

void FigSetPause(FigurRecord &r, int pause)
{
    r.MayReturn = 0;
    r.Pause = pause;
    WriteLog("F_PAUSE: %3d, %d", r.Id, r.Pause / kPauseLogDivisor);
}

void FigPlaySample(FigurRecord &r, int sample)
{
    if (!Sound)
        return;
    PlayObjectSound(sample, &r.Sound, r.Id, r.X);
    UpdateObjectSound(&r.Sound, r.X);
}

bool FigChannelIdle(const FigurRecord &r) { return !IsChannelPlaying(kEffectsInstance, r.Sound.Channel1); }

void FigPlayOwnSound(FigurRecord &r) { PlayFigurSoundFile(&r.Sound, r.Id, r.X); }

void FigUnknownState(FigurRecord &r)
{
    WriteLog("+++ %d +++ %d +++", r.Id, r.State);
    UnloadFigur(r.Id);
}
