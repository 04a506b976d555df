// The EXIT sign at the left edge of the street: it only stands there and is
// drawn; the scene step tests the click on its plate and ends the saver.
#include "figures/figures.h"

#include "figures/scriptframe.h"
#include "scene/screen.h"
#include "config/config.h"

// The frame table comes with the picture, from the art generator.
#include "fig110_frames.h"

namespace {

constexpr int kExitSign = 110;
constexpr int kLeftWithTram = 46;  // room for the tram's mast
constexpr int kLeft = 6;
constexpr int kAboveBottom = 113;

int gExitFrame = 0;  // EXIT 1 the EXIT plate, 2 the STOP plate

}  // namespace

void Figur110Script()
{
    FigurRecord &r = FigurTable[kExitSign];
    switch (r.State) {
    case 0:
        // EXIT 0: the saver ends by the Esc key only, and shows no sign.
        if (EXIT == 0) {
            UnloadFigur(kExitSign);
            return;
        }
        gExitFrame = EXIT == 2 ? 1 : 0;
        r.X = TramOn ? kLeftWithTram : kLeft;
        FigSetY(r, SceneHeight() - kAboveBottom);
        r.FootLine = SceneHeight();
        r.State = 1;
        [[fallthrough]];
    case 1: FigDraw(r, 0, kFig110Frames[gExitFrame]); return;
    default: return;
    }
}

void ResetFigur110() { gExitFrame = 0; }
