#include "features/props.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/notes.h"
#include "config/config.h"
#include "base/saverstate.h"

#include "scene_geometry.h"

#include <atomic>

namespace {

// The message sign: two frames side by side, no note and a new note.
constexpr int kSignSlot = 1;
constexpr int kSignFrameW = 80, kSignFrameH = 115;
constexpr int kSignFromRight = 140, kSignRise = 114;
constexpr int kSignGiveUp = 401;

constexpr int kBollardPlaces = 8;
constexpr int kBollardGroupW = 120, kBollardSinglePostW = 7, kBollardH = 40;
constexpr int kSinglePostPlace = 2;
constexpr int kBollardFootBelowTop = 40;

HBITMAP SlotHandle(HBITMAP &slot) { return std::atomic_ref<HBITMAP>(slot).load(std::memory_order_acquire); }

void DrawWhole(const FigurRecord &r)
{
    SceneRect point = {r.X, r.Y, 0, 0};
    SceneRect source = {0, 0, r.SheetW, r.SheetH};
    DrawMaskedFrame(WorkDC, r.Sheets[0], r.Masks[0], point, source);
}

// A prop that stands at a fixed place of the picture, its foot line below
// its top.
void StandingProp(int id, int pictureX, int pictureY, int foot)
{
    FigurRecord &r = FigurTable[id];
    if (r.State == 0) {
        r.X = pictureX;
        r.Y = SceneH - (scene::kPictureH - pictureY);
        r.FootLine = r.Y + foot;
        r.State = 1;
    }
    DrawWhole(r);
}

void MessageSignName(char *name, size_t size)
{
    if (MSGdispWyn03 == 1)
        StrPrintfN(name, size, "MSG_%02d_%02d", TimeOfDay, SceneLangNo());
    else
        StrPrintfN(name, size, "MSG_%02d_X", TimeOfDay);
}

// Asks for the sign's picture until the extra-sheet loader takes the
// request (another object may hold it) or the waiting time is over.
void AwaitSignPicture(FigurRecord &r)
{
    if (!r.ScriptVar) {
        char name[16];
        MessageSignName(name, sizeof(name));
        if (LoadFigurPlus(kMessageSignObject, kSignSlot, name))
            r.ScriptVar = 1;
    } else if (SlotHandle(r.Sheets[kSignSlot]) && SlotHandle(r.Masks[kSignSlot])) {
        WriteLog("---- MSG-Schild -----");
        r.State = 2;
        return;
    }
    if (++r.WaitCount >= kSignGiveUp)
        UnloadFigur(kMessageSignObject);
}

bool PlaceBollards(FigurRecord &r)
{
    // The sheets hold three designs; any other setting means none.
    if (Pfloecke < 1 || Pfloecke > 3) {
        UnloadFigur(kBollardObject);
        return false;
    }
    r.ScriptVar = Pfloecke - 1;
    r.Y = SceneH - (scene::kPictureH - scene::kBollardRow);
    r.FootLine = r.Y + kBollardFootBelowTop;
    r.State = 1;
    return true;
}

}  // namespace

int BollardX(int k) { return scene::kBollardX0 + scene::kBollardPitch * k; }
bool IsSinglePost(int k) { return k == kSinglePostPlace; }

void Figur112Script()
{
    FigurRecord &r = FigurTable[kMessageSignObject];
    switch (r.State) {
    case 0:
        if (MSGdispWyn03 == 0) {
            UnloadFigur(kMessageSignObject);
            return;
        }
        r.X = SceneW - kSignFromRight;
        r.Y = SceneH - kSignRise;
        r.FootLine = r.Y + kSignRise;
        r.WaitCount = 0;
        r.ScriptVar = 0;
        r.State = 1;
        [[fallthrough]];
    case 1:
        AwaitSignPicture(r);
        return;
    case 2: {
        SceneRect point = {r.X, r.Y, 0, 0};
        SceneRect source = {NewNoteWritten ? kSignFrameW : 0, 0, kSignFrameW, kSignFrameH};
        DrawMaskedFrame(WorkDC, r.Sheets[kSignSlot], r.Masks[kSignSlot], point, source);
        return;
    }
    default:
        return;
    }
}

void Figur113Script() { StandingProp(kMastObject, scene::kProp113X, scene::kProp113Y, scene::kProp113Foot); }

void Figur114Script() { StandingProp(kTramSignObject, scene::kProp114X, scene::kProp114Y, scene::kProp114Foot); }

void Figur116Script()
{
    FigurRecord &r = FigurTable[kBollardObject];
    if (r.State == 0 && !PlaceBollards(r))
        return;
    const int design = r.ScriptVar;
    for (int k = 0; k < kBollardPlaces && BollardX(k) < SceneW; ++k) {
        SceneRect point = {BollardX(k), r.Y, 0, 0};
        SceneRect source = {0, 0, IsSinglePost(k) ? kBollardSinglePostW : kBollardGroupW, kBollardH};
        DrawMaskedFrame(WorkDC, r.Sheets[design], r.Masks[design], point, source);
    }
}

void SetupPfloecke()
{
    FigurRecord &r = FigurTable[kBollardObject];
    if (IsOnStage(kBollardObject) && r.State == 0)
        PlaceBollards(r);
}
