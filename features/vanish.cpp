#include "features/vanish.h"

#include "base/gdiutil.h"
#include "scene/objects.h"
#include "scene/screen.h"

namespace {

constexpr int kPuffFrames = 7;
constexpr int kPuffW = 72;
constexpr int kPuffH = 80;
constexpr int kPuffTicks = 2;
constexpr int kIdleFootLine = 200;
constexpr int kIdleFrameH = 40;
// Wide figures get the puff over their middle.
constexpr int kCentreAbove = 72;
constexpr int kCentreShift = 24;

}  // namespace

void PlaceVanishEffect(const FigurRecord &figure)
{
    FigurRecord &puff = FigurTable[kVanishEffect];
    puff.Y = figure.FootLine - kPuffH;
    puff.X = figure.X + (figure.FrameW > kCentreAbove ? figure.FrameW / 2 - kCentreShift : 0);
    puff.State = 1;
}

void Figur131Script()
{
    FigurRecord &r = FigurTable[kVanishEffect];
    switch (r.State) {
    case 0:
        r.FootLine = kIdleFootLine;
        r.FrameH = kIdleFrameH;
        return;
    case 1:
        r.Frame = 0;
        r.Tick = 0;
        r.FootLine = r.Y - kIdleFrameH;
        r.Speed = kPuffTicks;
        r.State = 2;
        [[fallthrough]];
    case 2: {
        SceneRect point = {r.X, r.Y, 0, 0};
        SceneRect source = {kPuffW * r.Frame, 0, kPuffW, kPuffH};
        DrawMaskedFrame(WorkDC, r.Sheets[0], r.Masks[0], point, source);
        if (++r.Tick > r.Speed) {
            r.Tick = 0;
            if (++r.Frame >= kPuffFrames) {
                r.Frame = 0;
                r.State = 0;
            }
        }
        return;
    }
    default:
        r.State = 0;
        return;
    }
}
