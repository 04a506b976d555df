#include "vehicles/vehicleframe.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "scene/animation.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"

namespace {

constexpr int kDriftClamped = 9999;
constexpr int kSpeedDownChance = 5;

}  // namespace

FigurRecord &VehicleRecord(int id) { return *FigurPointers[id]; }

void VehicleEntersStage(const FigurRecord &r)
{
    if (r.Id <= kLastFarLaneVehicle)
        ++VehicleCountLeft;
    else
        ++VehicleCountRight;
}

void VehicleSetY(FigurRecord &r, int y)
{
    r.Y = y;
    r.FootLine = r.Y + r.FrameH;
}

void VehicleSetLane(FigurRecord &r, int laneTop, int laneBottom, int y)
{
    r.LaneYMin = laneTop;
    r.LaneYMax = laneBottom;
    VehicleSetY(r, y);
}

bool VehicleClickIn(const FigurRecord &r, int w, int h)
{
    if (!ClickPending)
        return false;
    const int mx = MouseX, my = MouseY;
    return mx >= r.X && mx <= r.X + w && my >= r.Y && my <= r.Y + h;
}

void VehicleTakeClick()
{
    ClickPending = 0;
    PostHideCursor();
}

void VehicleDrawAt(const FigurRecord &owner, int sheet, const SceneRect &source, int x, int y)
{
    if (sheet < 0 || sheet >= kMaxSheets || source.w <= 0)
        return;
    SceneRect point = {x, y, 0, 0};
    DrawMaskedFrame(WorkDC, owner.Sheets[sheet], owner.Masks[sheet], point, source);
}

int VehicleStartSpeed()
{
    const int span = maxCarSpeed - minCarSpeed;
    // The settings keep the two apart; a store edited by hand may not.
    return span > 0 ? minCarSpeed + Rand() % span : minCarSpeed;
}

void VehicleWanderSpeed(FigurRecord &r, int factor, int offset)
{
    if (r.Speed < minCarSpeed) {
        ++r.Speed;
        return;
    }
    int odds = (maxCarSpeed - r.Speed) * factor + offset;
    if (odds < 1)
        odds = 1;
    if (Rand() % odds != 0)
        return;
    if (Rand() % kSpeedDownChance == 0) {
        if (r.Speed > minCarSpeed)
            --r.Speed;
    } else if (r.Speed < maxCarSpeed) {
        ++r.Speed;
    }
}

bool VehicleHeldNow(FigurRecord &r)
{
    const bool held = r.AvoidOrder != 0;
    r.AvoidOrder = 0;
    return held;
}

void VehicleDrift(FigurRecord &r, int turnAfter)
{
    int y = r.Y + r.DriftStep;
    if (y < r.LaneYMin || y > r.LaneYMax) {
        y = y < r.LaneYMin ? r.LaneYMin : r.LaneYMax;
        r.DriftCount = kDriftClamped;
    }
    VehicleSetY(r, y);
    if (++r.DriftCount > turnAfter) {
        r.DriftCount = 0;
        r.DriftStep = -r.DriftStep;
    }
}

bool VehicleSoundOn(int soundSwitch) { return SoundSwitchOn(soundSwitch); }

void VehiclePlay(FigurRecord &r, int sample) { PlayObjectSound(sample, &r.Sound, r.Id, r.X); }

void VehiclePlay2(FigurRecord &r, int sample) { PlayObjectSound2(sample, &r.Sound, r.Id, r.X); }

void VehicleFollowSound(FigurRecord &r) { UpdateObjectSound(&r.Sound, r.X); }

void VehicleSetPause(FigurRecord &r, int pause)
{
    r.MayReturn = 0;
    r.Pause = pause;
    WriteLog("F_PAUSE: %3d, %d", r.Id, r.Pause / 8);
}
