// Figure 37 walks right along the pavement in one of two forms, chosen by
// the date: up to Christmas Day in December the Christmas figure with his
// sack, on every other day two men carrying a big parcel, drawn from an
// extra sheet.
#include "figures/figures.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "config/config.h"

// The frame tables come with the pictures, from the art generator.
#include "fig037_frames.h"

namespace {

constexpr int kFigure = 37;
constexpr int kStride = 17;
constexpr int kLastChristmasDay = 25;
constexpr int kParcelSlot = 1;
constexpr int kSheetWaitCalls = 400;
constexpr int kStopOdds = 129;  // a walk stops once in so many strides
// Entries: the parcel men's walk and act on the extra sheet, the Christmas
// figure's walk and stand on the first.
constexpr int kParcelWalkFirst = 0;
constexpr int kParcelActFirst = 4;
constexpr int kParcelActLast = 7;  // entries 4 to 11
constexpr int kParcelActTurn = 4;
constexpr int kSantaWalkFirst = 12;
constexpr int kSantaStandFirst = 16;
constexpr int kSantaStandLast = 4;  // entries 16 to 20
// Figures whose places on the far pavement leave no room for the parcel.
constexpr int kFarPavementTaken[] = {18, 22, 23, 30, 41};

void ChooseForm(FigurRecord &r)
{
    if (Month == 12 && Day <= kLastChristmasDay) {
        StrCopy(r.Name, Language == 1 ? "Nikolaus" : "Father Christmas");
        r.State = 1000;
    } else {
        StrCopy(r.Name, "2 Männer mit Paket");
        r.State = 2000;
    }
}

void CommonSetUp(FigurRecord &r)
{
    r.AvoidOrder = 0;
    r.ScriptVar = 0;
    r.DriftStep = 1;
    r.Direction = r.Avoids = 1;
}

void SantaSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    CommonSetUp(r);
    r.X = -100;
    r.FrameW = 72;
    r.FrameH = 83;
    r.Spacing = 9;
    FigPlaceInLane(r, h - 283, h - 253);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    FigSetPause(r, Rand() % 41 + 24);
    r.State = 1001;
}

// The walk goes on unless it was hemmed in or stops of its own accord.
bool WalkGoesOn(FigurRecord &r)
{
    if (r.ScriptVar != 0 || Rand() % kStopOdds == 0)
        return false;
    if (r.AvoidOrder == 0 && Rand() % 6 == 0)
        FigDrift(r, Rand() % 4 + 2);
    return true;
}

// Both walks draw before they take a click: a click never makes them blink.
void SantaWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig037Frames[kSantaWalkFirst + r.Frame]);
    if (r.Frame == 0 && FigLeftClickIn(r, 64, 83)) {
        FigPlayOwnSound(r);
        r.Direction = r.Avoids = 0;
        r.X -= kStride;
        r.Tick = 0;
        r.State = 1002;
        FigTakeClick(true);
        return;
    }
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X += kStride;
    r.Speed = Rand() % 3 + FigureSpeedBase() + 4;
    FigApplyAvoid(r);
    if (r.X > SceneWidth()) {
        UnloadFigur(kFigure);
        return;
    }
    if (!WalkGoesOn(r)) {
        r.ScriptVar = 0;
        r.Direction = r.Avoids = 0;
        r.X -= kStride;
        r.State = 1002;
    }
    r.AvoidOrder = 0;
}

void SantaStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig037Frames[kSantaStandFirst + r.Frame]);
    if (!FigTick(r, 4 * r.Speed) || ++r.Frame <= kSantaStandLast)
        return;
    r.Frame = 0;
    r.ScriptVar = 0;
    r.Direction = r.Avoids = 1;
    r.X += 25;
    r.State = 1001;
}

bool FarPavementFree()
{
    for (int id : kFarPavementTaken)
        if (IsOnStage(id))
            return false;
    return true;
}

void ParcelSetUp(FigurRecord &r)
{
    char name[kFigurNameLen];
    StrPrintfN(name, sizeof(name), "FIG%03d_%02d_%02d", kFigure, TimeOfDay, kParcelSlot);
    if (!LoadFigurPlus(kFigure, kParcelSlot, name)) {
        UnloadFigur(kFigure);
        return;
    }
    const int h = SceneHeight();
    CommonSetUp(r);
    r.X = -120;
    r.FrameW = 72;
    r.FrameH = 76;
    r.Spacing = 12;
    if (Rand() % 4 == 0 && FarPavementFree())
        FigPlaceInLane(r, h - r.FrameH - 210, h - r.FrameH - 185);
    else
        FigPlaceInLane(r, h - r.FrameH - 3, h - r.FrameH - 1);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 6;
    FigSetPause(r, Rand() % 105 + 40);
    r.State = 2001;
}

void ParcelWaitForSheet(FigurRecord &r)
{
    if (r.Sheets[kParcelSlot] && r.Masks[kParcelSlot]) {
        r.Frame = 0;
        r.State = 2002;
        return;
    }
    if (++r.Frame >= kSheetWaitCalls)
        UnloadFigur(kFigure);
}

int ParcelWalkSpeed() { return Rand() % 4 + FigureSpeedBase() + 6; }

void ParcelWalk(FigurRecord &r)
{
    FigDraw(r, kParcelSlot, kFig037Frames[kParcelWalkFirst + r.Frame]);
    // A click stops them without a word: they put the parcel down.
    if (r.Frame == 0 && FigLeftClickIn(r, 120, 80)) {
        r.X -= kStride;
        r.Frame = r.Tick = 0;
        r.WaitCount = Rand() % 5 + 1;
        FigTakeClick(true);
        r.State = 2003;
        return;
    }
    if (!FigStrideEnds(r, r.Speed))
        return;
    r.X += kStride;
    r.Speed = ParcelWalkSpeed();
    FigApplyAvoid(r);
    if (r.X > SceneWidth()) {
        UnloadFigur(kFigure);
        return;
    }
    if (!WalkGoesOn(r)) {
        r.ScriptVar = 0;
        r.X -= kStride;
        r.WaitCount = Rand() % 3 + 2;
        r.State = 2003;
    }
    r.AvoidOrder = 0;
}

void ParcelAct(FigurRecord &r)
{
    FigDraw(r, kParcelSlot, kFig037Frames[kParcelActFirst + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    ++r.Frame;
    if (r.Frame == kParcelActTurn) {
        // Someone passing, or more rest: they shift their grip once more.
        if (r.AvoidOrder != 0) {
            r.AvoidOrder = 0;
            r.Frame = 2 + Rand() % 2;
        } else if (r.WaitCount-- >= 1) {
            r.Frame = 2 + Rand() % 2;
        }
    }
    if (r.Frame > kParcelActLast) {
        r.Frame = 0;
        r.X += kStride;
        r.Speed = ParcelWalkSpeed();
        r.State = 2002;
        return;
    }
    const int base = Rand() % 3 + FigureSpeedBase() + 6;
    r.Speed = base * (r.Frame < 5 ? Rand() % 5 + 4 : Rand() % 3 + 2);
}

}  // namespace

void Figur037Script()
{
    FigurRecord &r = FigurTable[kFigure];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: ChooseForm(r); return;
    case 1000: SantaSetUp(r); return;
    case 1001: SantaWalk(r); return;
    case 1002: SantaStand(r); return;
    case 2000: ParcelSetUp(r); return;
    case 2001: ParcelWaitForSheet(r); return;
    case 2002: ParcelWalk(r); return;
    case 2003: ParcelAct(r); return;
    default: FigUnknownState(r); return;
    }
}
