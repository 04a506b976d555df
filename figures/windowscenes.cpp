// Figure 60, the window scenes: in one of thirteen windows of the house fronts
// a person comes to the window, looks out or waves, and goes again. The frames
// are copied straight into the background picture (and into the window where
// it lies above the street band), so the scene becomes part of the house
// front and its last frame, the empty window, stays there. Each variant has
// its season and time of day, and switches its window's light whether it
// plays or not. The figure is never clicked.
#include "figures/figures.h"

#include "core/random.h"
#include "scene/bubbles.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/screen.h"
#include "scene_geometry.h"

// The frame tables come with the pictures, from the art generator.
#include "fig060_frames.h"

namespace {

constexpr int kWindowFigure = 60;
constexpr int kSceneSlot = 1;
constexpr int kSheetWaitFrames = 200;
constexpr int kEndFrames = 6;
constexpr int kPauseRange = 9;

// The figures whose presence keeps a scene away.
constexpr int kTourist = 17;
constexpr int kWindowNeighbour = 58;
constexpr int kCaretaker = 65;

// The second light variant 13 may switch on, and the light of the winter
// window that stays on after a winter night's scene.
constexpr int kNeighbourLight = 40;
constexpr int kWinterLight = 17;

enum State {
    kPick = 0,
    kCheck = 80,
    kAskSheet = 81,
    kWaitSheet = 82,
    kDelay = 83,
    kPlace = 84,
    kFirstScene = 101,
    kLastScene = 113,
    kEnd = 999,
};

// The animation state of each variant (index 0 unused).
constexpr int kSceneState[kFig060Variants + 1] = {0, 101, 101, 103, 103, 105, 105, 107, 108, 109, 110, 111, 112, 113};

int gVariant = 1;

void GoEnd(FigurRecord &r)
{
    r.Tick = 0;
    r.State = kEnd;
}

bool NotDay() { return TimeOfDay != kDay; }

// The window's light as the variant leaves it (switched whether the scene
// plays or not), and whether the scene may play now.
bool CheckAndSwitchLight(int variant)
{
    const bool summer = Season == kSummer;
    const bool night = TimeOfDay == kNight;
    const bool noBubble = OpenBubbleKind == 0;
    const int light = kFig060Light[variant];
    if (variant == 13) {
        if (NotDay()) {
            SetLicht(light, 1);
            if (Rand() % 2 == 0)
                SetLicht(kNeighbourLight, 1);
        }
        return summer && night;
    }
    if (variant == 11) {
        if (night)
            SetLicht(light, 1);
        else if (NotDay())
            SetLicht(light, 0);
        return Season == kWinter;
    }
    if (variant != 4 && variant != 6 && NotDay())
        SetLicht(light, 0);
    switch (variant) {
    case 1: return summer;
    case 2: return summer && !night;
    case 3: return summer && !IsOnStage(kWindowNeighbour) && noBubble;
    case 4: return summer && TimeOfDay == kDay;
    case 5: return summer && !night && !IsOnStage(kTourist);
    case 6: return summer && TimeOfDay == kDay && !IsOnStage(kTourist);
    case 7: return summer && !night;
    case 8: return summer && !IsOnStage(kCaretaker) && ResidentDoor[kCaretaker] != 0 && noBubble;
    case 9: return summer && !IsOnStage(kWindowNeighbour) && noBubble;
    case 10: return summer && !night;
    case 12: return summer && !night;
    default: return false;
    }
}

void AskForSheet(FigurRecord &r)
{
    char name[kFigurNameLen];
    StrPrintfN(name, sizeof(name), "FF_%03d_%02d_%02d", gVariant, TimeOfDay, Season);
    if (!LoadFigurPlus(kWindowFigure, kSceneSlot, name)) {
        GoEnd(r);
        return;
    }
    r.Tick = kSheetWaitFrames;
    r.State = kWaitSheet;
}

void WaitForSheet(FigurRecord &r)
{
    if (r.Sheets[kSceneSlot] && r.Masks[kSceneSlot]) {
        r.Tick = Rand() % 65 + 16;
        r.State = kDelay;
        return;
    }
    if (--r.Tick <= 0)
        GoEnd(r);
}

void Delay(FigurRecord &r)
{
    if (--r.Tick > 0)
        return;
    r.Tick = r.Frame = 0;
    r.Speed = (Rand() % 5 + 4) * (FigureSpeedBase() + 1);
    r.State = kPlace;
}

// The variant's window in the background as it lies in the window: the
// picture's bottom edge less the anchor's height above it.
void Place(FigurRecord &r)
{
    r.X = BackgroundX + scene::kWindowFigureAnchor[gVariant][0];
    r.Y = BackgroundBottom - (scene::kPictureH - scene::kWindowFigureAnchor[gVariant][1]);
    if (gVariant == 13)
        r.Speed = ((Rand() & 1) + 1) * (FigureSpeedBase() + 2);
    r.State = kSceneState[gVariant];
}

void DrawFrame(const FigurRecord &r)
{
    const FrameEntry &e = kFig060Frames[gVariant][r.Frame];
    const SceneRect source = {e.x, e.y, e.w, e.h};
    HBITMAP sheet = r.Sheets[kSceneSlot];
    {
        SceneDCHold hold;
        if (BackgroundDC)
            DrawBitmapPart(BackgroundDC, r.X, r.Y, sheet, source);
    }
    // Above the street band the window is not refreshed from the work buffer.
    if (r.Y < SceneY)
        if (HDC window = SceneWindowDC())
            DrawBitmapPart(window, r.X, r.Y, sheet, source);
}

bool WinterNight() { return Season == kWinter && TimeOfDay == kNight; }

// Ticks of the next frame by the scene's pace.
int NextSpeed(int state)
{
    const int b = FigureSpeedBase();
    switch (state) {
    case 105:
    case 109:
    case 112: return (Rand() % 6 + 4) * (b + 2);
    case 107:
    case 108: return (Rand() % 5 + 4) * (b + 1);
    case 110: return (Rand() % 7 + 6) * (b + 1);
    case 111:
        if (WinterNight()) {
            const int first = Rand() % 3 + 1 + b;
            return first * (Rand() % 3 + 1);
        }
        return (Rand() % 5 + 4) * (b + 2);
    default: return (Rand() % 5 + 4) * (b + 2);
    }
}

// Where a scene goes back to repeat its middle: the frame it reached, or
// an earlier one.
int LoopBack(int state, int frame)
{
    switch (state) {
    case 105:
    case 109:
    case 112:
        if (frame == 7 && Rand() % 3 == 0)
            return Rand() % 3 + 4;
        return frame;
    case 108:
        if (frame == 6 && Rand() % 4 != 0)
            return 3;
        return frame;
    case 110:
        if (frame == 7 && Rand() % 6 == 0)
            return 3;
        if (frame == 8 && Rand() % 7 == 0)
            return 5;
        return frame;
    default: return frame;
    }
}

void PlayScene(FigurRecord &r)
{
    DrawFrame(r);
    if (!FigTick(r, r.Speed))
        return;
    r.Speed = NextSpeed(r.State);
    const int next = LoopBack(r.State, r.Frame + 1);
    if (next < kFig060FrameCount[gVariant]) {
        r.Frame = next;
        return;
    }
    r.Frame = 0;
    if (r.State == 111 && WinterNight())
        SetLicht(kWinterLight, 1);
    GoEnd(r);
}

void End(FigurRecord &r)
{
    if (++r.Tick < kEndFrames)
        return;
    FigSetPause(r, Rand() % kPauseRange);
    UnloadFigur(kWindowFigure);
}

}  // namespace

void Figur060Script()
{
    FigurRecord &r = FigurTable[kWindowFigure];
    if (r.State == kPick) {
        r.State = Rand() % kFig060Variants + 1;
        r.Tick = 0;
        return;
    }
    if (r.State >= 1 && r.State <= kFig060Variants) {
        gVariant = r.State;
        // Nothing on the street steps aside for a window or hits it with a click.
        r.FrameW = r.FrameH = r.Spacing = r.Avoids = r.AvoidOrder = 0;
        r.Tick = 0;
        r.State = kCheck;
        return;
    }
    switch (r.State) {
    case kCheck:
        if (CheckAndSwitchLight(gVariant))
            r.State = kAskSheet;
        else
            GoEnd(r);
        return;
    case kAskSheet: AskForSheet(r); return;
    case kWaitSheet: WaitForSheet(r); return;
    case kDelay: Delay(r); return;
    case kPlace: Place(r); return;
    default: break;
    }
    if (r.State >= kFirstScene && r.State <= kLastScene && r.State == kSceneState[gVariant]) {
        PlayScene(r);
        return;
    }
    // 999 and any state the script does not know end the figure quietly.
    End(r);
}

void ResetFigur060() { gVariant = 1; }
