// Figure 68 in the attic window: after going in at door 1, 2 or 3 on a tall
// window, it waits for the sky to be clear of flights, asks for the
// window's sheet, and then rises into the window of that house and sinks
// back again, a few times. The window lies above the work area, so every
// frame is put together in the aircraft's off-screen pair (background,
// then the figure) and copied onto the window.
#include "figures/upperwindow.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "scene/screen.h"
#include "scene_geometry.h"
#include "base/saverstate.h"
#include "vehicles/aircraft.h"

// The frame tables come with the pictures, from the art generator.
#include "fig068_frames.h"

namespace {

constexpr int kVisitor = 68;
constexpr int kWindowSlot = 1;
constexpr int kTallWindow = 740;
constexpr int kSheetWaitTicks = 80;
constexpr int kRises = 4;
constexpr int kTopFrame = 25;
constexpr int kFallBackFrame = 18;
constexpr int kSlowFromFrame = 19;
constexpr int kSunkOffset = 100;
constexpr int kLastFrames = 2;
constexpr int kLastState = 209;

// The scene's picture and where it goes; kept while the scene runs.
struct UpperWindow {
    int x = 0, y = 0;       // the window point
    int offsetY = 0;        // where the frame is drawn inside the pair
};
UpperWindow gWindow;

void WindowPoint(int door)
{
    gWindow.x = BackgroundX + scene::kUpperWindow[door][0];
    gWindow.y = BackgroundBottom - scene::kPictureH + scene::kUpperWindow[door][1];
    gWindow.offsetY = 0;
}

// The pair is the aircraft's: made here, freed by its unloader.
bool MakePair(HDC window)
{
    FlyerPatchBitmap = TrackBitmap(CreateCompatibleBitmap(window, scene::kUpperWindowW, scene::kUpperWindowH));
    FlyerPatchDC = FlyerPatchBitmap ? TrackDC(CreateCompatibleDC(window)) : nullptr;
    if (FlyerPatchDC)
        FlyerOldBitmap = SelectObject(FlyerPatchDC, FlyerPatchBitmap);
    if (!FlyerOldBitmap) {
        UnloadFlieger();
        return false;
    }
    PatBlt(FlyerPatchDC, 0, 0, scene::kUpperWindowW, scene::kUpperWindowH, BLACKNESS);
    return true;
}

void DrawScene(const FigurRecord &r, HDC window)
{
    if (!window || !FlyerPatchDC)
        return;
    const int frame = r.Frame < 0 ? 0 : r.Frame;
    const FrameEntry &entry = kFig068WindowFrames[frame];
    {
        SceneDCHold hold;
        BitBlt(FlyerPatchDC, 0, 0, scene::kUpperWindowW, scene::kUpperWindowH, BackgroundDC, gWindow.x, gWindow.y,
               SRCCOPY);
    }
    const SceneRect point = {0, gWindow.offsetY, 0, 0};
    DrawMaskedFrame(FlyerPatchDC, r.Sheets[kWindowSlot], r.Masks[kWindowSlot], point,
                    SceneRect{entry.x, entry.y, entry.w, entry.h});
    BitBlt(window, gWindow.x, gWindow.y, scene::kUpperWindowW, scene::kUpperWindowH, FlyerPatchDC, 0, 0, SRCCOPY);
}

// The house as the background has it, back on the window.
void RestoreWindow(HDC window)
{
    if (!window)
        return;
    SceneDCHold hold;
    BitBlt(window, gWindow.x, gWindow.y, scene::kUpperWindowW, scene::kUpperWindowH, BackgroundDC, gWindow.x,
           gWindow.y, SRCCOPY);
}

// The sheet goes through the object table, so that its unload finds
// nothing left to free.
void ReleaseAll(FigurRecord &r)
{
    ClearExtraSheet(&r, kWindowSlot);
    UnloadFlieger();
}

void AskForSheet(FigurRecord &r, int door)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "FIG068_KA_%02d", door);
    r.Tick = kSheetWaitTicks;
    r.State = LoadFigurPlus(kVisitor, kWindowSlot, name) ? 202 : 900;
}

void WaitForSheet(FigurRecord &r)
{
    if (r.Sheets[kWindowSlot] && r.Masks[kWindowSlot]) {
        r.State = 203;
        return;
    }
    if (--r.Tick <= 0)
        r.State = 900;
}

void OpenScene(FigurRecord &r, int door, HDC window)
{
    r.Tick = r.Frame = 0;
    if (!window || !MakePair(window)) {
        ClearExtraSheet(&r, kWindowSlot);
        r.State = 900;
        return;
    }
    WindowPoint(door);
    r.State = 204;
}

void Rise(FigurRecord &r, HDC window)
{
    DrawScene(r, window);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame > kTopFrame) {
        r.Frame = kTopFrame;
        r.State = 206;
    }
}

void Sink(FigurRecord &r, HDC window)
{
    DrawScene(r, window);
    if (!FigTick(r, r.Speed))
        return;
    if (r.Frame == kFallBackFrame && --r.SoundCount > 0) {
        r.State = 205;
        return;
    }
    --r.Frame;
    if (r.Frame > kSlowFromFrame)
        ++r.Speed;
    if (r.Frame < 0) {
        // Sunk out of the window: the empty frame, lower.
        gWindow.offsetY = kSunkOffset;
        r.WaitCount = kLastFrames;
        r.State = 207;
    }
}

void LastFrames(FigurRecord &r, HDC window)
{
    DrawScene(r, window);
    if (FigTick(r, r.Speed) && --r.WaitCount <= 0)
        r.State = 208;
}

}  // namespace

bool IsUpperWindowState(int state) { return state >= kUpperWindowFirstState && state <= kLastState; }

bool UpperWindowShown(int door) { return door >= 1 && door <= 3 && ClientHeight > kTallWindow; }

bool UpperWindowStep(FigurRecord &r, int door) { return UpperWindowStepOn(r, door, SceneWindowDC()); }

bool UpperWindowStepOn(FigurRecord &r, int door, HDC window)
{
    switch (r.State) {
    case 200:
        if (AircraftCount == 0)
            r.State = 201;
        return true;
    case 201: AskForSheet(r, door); return true;
    case 202: WaitForSheet(r); return true;
    case 203: OpenScene(r, door, window); return true;
    case 204:
        if (--r.WaitCount <= 0) {
            r.SoundCount = kRises;
            r.Frame = r.Tick = 0;
            r.State = 205;
        }
        return true;
    case 205: Rise(r, window); return true;
    case 206: Sink(r, window); return true;
    case 207: LastFrames(r, window); return true;
    case 208:
        ReleaseAll(r);
        r.State = 209;
        return true;
    case 209:
        r.Frame = 0;
        r.WaitCount = Rand() % 801 + 800;
        r.State = 900;
        return true;
    default: return false;
    }
}

void UpperWindowRemoved(int state) { UpperWindowRemovedOn(state, SceneWindowDC()); }

void UpperWindowRemovedOn(int state, HDC window)
{
    if (state < 203 || state > 207)
        return;
    // The record is gone already; its sheets went with it.
    UnloadFlieger();
    RestoreWindow(window);
}
