#include "vehicles/busstop.h"

#include "core/random.h"
#include "scene/screen.h"
#include "vehicles/vehicleframe.h"

#include "fig111_frames.h"

SceneRect StopPostRect = {265, kSceneHeight - 268, 32, 115};
std::atomic<uint32_t> BusHalted{0};

namespace {

constexpr int kStopPost = 111;
constexpr int kPostVariants = 3;
constexpr int kNoVariant = -1;

// Chosen once a run; every screen build shows the same post again.
int gPostVariant = kNoVariant;

}  // namespace

void PlaceStopPost() { StopPostRect = {265, SceneH - 268, 32, 115}; }

int StopFootLine() { return SceneH - 153; }

void Figur111Script()
{
    FigurRecord &r = VehicleRecord(kStopPost);
    switch (r.State) {
    case 0: {
        if (gPostVariant == kNoVariant)
            gPostVariant = Rand() % kPostVariants;
        const FrameEntry &e = kFig111Frames[gPostVariant];
        StopPostRect = {265, SceneH - 268, e.w, e.h};
        r.X = 265;
        r.Y = SceneH - 268;
        r.FrameW = e.w;
        r.FrameH = e.h;
        r.FootLine = r.Y + 115;
        r.State = 1;
        VehicleDraw(r, 0, e);
        return;
    }
    case 1:
        if (gPostVariant != kNoVariant)
            VehicleDraw(r, 0, kFig111Frames[gPostVariant]);
        return;
    default: return;
    }
}

void ResetFigur111() { gPostVariant = kNoVariant; }
