#include "vehicles/aircraft.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "core/random.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/mail.h"
#include "services/sound.h"
#include "base/saverstate.h"

#include <mutex>

int FlyerType = 0;
HBITMAP FlyerPatchBitmap = nullptr;
HDC FlyerPatchDC = nullptr;
HGDIOBJ FlyerOldBitmap = nullptr;

namespace {

enum FlyerState { kSetUp = 0, kFlying = 1 };

constexpr int kPlaneW = 400, kPlaneH = 86;
constexpr int kPlaneSecondFrameY = 87;
constexpr int kPlanePatchW = 410;
constexpr int kBirdPatchW = 248, kBirdPatchH = 80;
constexpr int kCellW = 120, kCellH = 74, kCellStepY = 75, kRightCellX = 121, kPairW = 240;
// Background columns drawn beside the flyer: more than it moves in a frame,
// so that each frame covers the one before.
constexpr int kBirdMargin = 8;
constexpr int kBirdsFromLeftX = -240;
// In a low window the flyers keep to the top rows.
constexpr int kLowPlaneWindow = 768, kLowBirdWindow = 800;
constexpr int kCallChance = 33;

struct Flight {
    int frameSet;
    int step;
    int pointX;   // where the frame lies in the patch
};
Flight gFlight;

FigurRecord &FlyerRecord() { return FigurTable[kFlyerBase + FlyerType]; }

bool FliesRight(int type) { return type == 6 || type == 7; }

void FreePatch()
{
    if (FlyerPatchDC && FlyerOldBitmap)
        SelectObject(FlyerPatchDC, FlyerOldBitmap);
    FlyerOldBitmap = nullptr;
    DeleteTrackedDC(&FlyerPatchDC);
    DeleteTrackedBitmap(&FlyerPatchBitmap);
}

int PatchW() { return FlyerType == kBannerPlane ? kPlanePatchW : kBirdPatchW; }
int PatchH() { return FlyerType == kBannerPlane ? kPlaneH : kBirdPatchH; }

void FillPatchBlack(int w, int h) { PatBlt(FlyerPatchDC, 0, 0, w, h, BLACKNESS); }

bool MakePatch(HDC window)
{
    FlyerPatchBitmap = TrackBitmap(CreateCompatibleBitmap(window, PatchW(), PatchH()));
    FlyerPatchDC = TrackDC(CreateCompatibleDC(window));
    if (FlyerPatchBitmap && FlyerPatchDC)
        FlyerOldBitmap = SelectObject(FlyerPatchDC, FlyerPatchBitmap);
    if (!FlyerOldBitmap) {
        FreePatch();
        return false;
    }
    SetMapMode(FlyerPatchDC, MM_TEXT);
    FillPatchBlack(PatchW(), PatchH());
    return true;
}

int StartHeight(int type)
{
    if (ClientHeight <= (type == kBannerPlane ? kLowPlaneWindow : kLowBirdWindow))
        return Rand() % 10 + 1;
    const int band = BackgroundY > 0 ? BackgroundY : 0;
    const int low = static_cast<int>(0.8 * band);
    const int spread = type == kBannerPlane ? 51 : type == 5 ? 61 : 41;
    return low + Rand() % (band - low + spread);
}

void SetUp(HDC window, FigurRecord &r)
{
    if (!MakePatch(window)) {
        // The flight ends on this tick, and nothing is drawn.
        UnloadFlieger();
        return;
    }
    r.X = FliesRight(FlyerType) ? kBirdsFromLeftX : ClientWidth;
    r.Y = StartHeight(FlyerType);
    if (FlyerType != kBannerPlane) {
        gFlight.step = FlyerType == 5 ? Rand() % 3 + 1 : Rand() % 2 + 1;
        gFlight.frameSet = 4 * (Rand() % 3);
    }
    gFlight.pointX = FliesRight(FlyerType) ? kBirdMargin : 0;
    r.State = kFlying;
}

SceneRect FrameRect(const FigurRecord &r)
{
    if (FlyerType == kBannerPlane)
        return {0, r.Frame ? kPlaneSecondFrameY : 0, kPlaneW, kPlaneH};
    const int row = gFlight.frameSet + r.Frame;
    const int k = row % 4;
    if (row < 4)
        return {0, kCellStepY * k, kCellW, kCellH};
    if (row < 8)
        return {kRightCellX, kCellStepY * k, kCellW, kCellH};
    return {0, kCellStepY * k, kPairW, kCellH};
}

// The background under the patch, black where the window has no picture.
void CopyBackground(int x, int y, int w, int h)
{
    FillPatchBlack(w, h);
    int sx = x, sy = y, dx = 0, dy = 0;
    if (sx < 0) {
        dx = -sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy = -sy;
        h += sy;
        sy = 0;
    }
    if (sx + w > ClientWidth)
        w = ClientWidth - sx;
    if (sy + h > ClientHeight)
        h = ClientHeight - sy;
    if (w <= 0 || h <= 0)
        return;
    std::lock_guard<std::mutex> hold(SceneDCLock());
    if (BackgroundDC)
        BitBlt(FlyerPatchDC, dx, dy, w, h, BackgroundDC, sx, sy, SRCCOPY);
}

void Draw(HDC window, const FigurRecord &r)
{
    const SceneRect frame = FrameRect(r);
    const int w = FlyerType == kBannerPlane ? kPlanePatchW : frame.w + kBirdMargin;
    CopyBackground(r.X, r.Y, w, frame.h);
    DrawMaskedFrame(FlyerPatchDC, r.Sheets[0], r.Masks[0], SceneRect{gFlight.pointX, 0, 0, 0}, frame);
    BitBlt(window, r.X, r.Y, w, frame.h, FlyerPatchDC, 0, 0, SRCCOPY);
}

void Calls(FigurRecord &r)
{
    if (!SoundSwitchOn(kOptBirds))
        return;
    if (--r.SoundCount >= 1 || Rand() % kCallChance != 0)
        return;
    r.SoundCount = Rand() % 721 + 80;
    PlayObjectSound(8 + Rand() % 2, &r.Sound, r.Id, r.X);
}

void FlyPlane(FigurRecord &r)
{
    r.X -= 3 + Rand() % 3;
    r.Frame = r.Frame ? 0 : 1;
    if (r.X + kPlaneW < -10)
        UnloadFlieger();
}

void FlyBird(FigurRecord &r)
{
    const int beat = FlyerType == 5 ? 2 : 2 + Rand() % 2;
    if (++r.Tick > beat) {
        r.Tick = 0;
        r.Frame = (r.Frame + 1) % 4;
        UpdateObjectSound(&r.Sound, r.X);
    }
    const int move = ((r.Frame == 0 ? 4 : r.Frame) + gFlight.step) / 2;
    r.X += FliesRight(FlyerType) ? move : -move;
    bool gone = false;
    switch (FlyerType) {
    case 4: gone = r.X < -350; break;
    case 5: gone = r.X < -250; break;
    // They fly in window coordinates: out is past the client's right edge.
    default: gone = r.X > ClientWidth; break;
    }
    if (gone) {
        UnloadFlieger();
        return;
    }
    Calls(r);
}

}  // namespace

void StartFlieger()
{
    if (IsOnStage(kWindowFigure))
        return;
    const int type = NewMail ? kBannerPlane : 4 + Rand() % 4;
    AircraftCount = LoadFlieger(type);
}

int LoadFlieger(int type)
{
    WriteLog("Flieger %3d laden ...", type);
    FlyerType = type;
    gFlight = {};
    FigurRecord &r = FlyerRecord();
    r.Id = kFlyerBase + type;
    r.State = kSetUp;
    r.Frame = r.Tick = 0;
    char name[16];
    StrPrintfN(name, sizeof(name), "FLUG%02d", type);
    r.Sheets[0] = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    r.Masks[0] = CreateMask(r.Sheets[0]);
    SceneRect size = {0, 0, 0, 0};
    if (!r.Masks[0] || !MakeTransparentBitmap(r.Sheets[0], r.Masks[0], kKeyColour) ||
        !GetBitmapSize(r.Sheets[0], &size)) {
        // Marked loaded first, so that the unload frees what was made.
        std::atomic_ref<uint32_t>(r.Loaded).store(1, std::memory_order_release);
        UnloadFlieger();
        return 0;
    }
    r.SheetW = size.w;
    r.SheetH = size.h;
    std::atomic_ref<uint32_t>(r.Loaded).store(1, std::memory_order_release);
    WriteLog("Flieger %3d WURDE GELADEN", type);
    return 1;
}

void DrawFliegerOn(HDC window)
{
    if (!window || !AircraftCount || FlyerType == 0)
        return;
    FigurRecord &r = FlyerRecord();
    if (!IsRecordLoaded(r))
        return;
    if (r.State == kSetUp) {
        SetUp(window, r);
        return;
    }
    if (!FlyerPatchDC)
        return;
    Draw(window, r);
    if (FlyerType == kBannerPlane)
        FlyPlane(r);
    else
        FlyBird(r);
}

void DrawFlieger() { DrawFliegerOn(SceneWindowDC()); }

void UnloadFlieger()
{
    if (FlyerType)
        UnloadFigur(kFlyerBase + FlyerType);
    FreePatch();
    AircraftCount = 0;
}

void ResetFlieger()
{
    FreePatch();
    FlyerType = 0;
    gFlight = {};
}
