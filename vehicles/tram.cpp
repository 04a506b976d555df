#include "vehicles/tram.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "vehicles/vehicleframe.h"

#include "fig072_frames.h"

int TramPassengerList[kTramWindows + 1];

namespace {

constexpr int kFaces = 40;
constexpr int kDrivers = 2;
constexpr int kUserLivery = -1;
constexpr int kOwnLivery = 0;
constexpr int kLetteringTicks = 400;

enum TramState {
    kSetUp = 0,
    kSetUpToo = 1,
    kLettering = 50,
    kWaitLettering = 51,
    kChooseFirst = 101,
    kChooseLast = 100 + kTramWindows,
    kRiding = 200,
};

// Window offsets from the tram's corner: the driver's, then windows 1 to 10.
constexpr int kDriverX = 851;
constexpr int kWindowX[kTramWindows + 1] = {kDriverX, 746, 700, 654, 548, 472, 366, 290, 184, 138, 92};
constexpr int kWindowY = 92;
constexpr int kWheelY = 174;
constexpr int kLaneRise = 244;   // the track lies this far above the scene's foot
// The click area, in offsets from the corner (edges included).
constexpr int kClickLeft = 20, kClickRight = 896, kClickTop = 68, kClickBottom = 172;
constexpr int kRideSample = 24, kBellSample = 27;
constexpr int kBellChance = 41;

// What the tram keeps for the whole run: the face countdowns go on from one
// visit to the next.
struct TramShared {
    int faceVariant[kTramWindows + 1];   // 0 the driver, 1 to 10 the windows
    int faceCountdown[kTramWindows + 1];
    int driver;
    int livery;
    SceneRect lettered;   // the part of the lettered body that is drawn
};
TramShared gTram;

FigurRecord &Tram() { return VehicleRecord(kTram); }

void SetUp(FigurRecord &r)
{
    r.Direction = 1;
    r.Sound.Fade = 1;
    TramOnStage = kTram;
    VehicleEntersStage(r);
    switch (BusKommt[3]) {
    case 1: VehicleSetPause(r, Rand() % 17 + 8); break;
    case 2: VehicleSetPause(r, Rand() % 33 + 16); break;
    default: VehicleSetPause(r, Rand() % 49 + 32); break;
    }
    r.X = -1088 - Rand() % 51;
    r.FrameW = kFig072FrameW;
    r.FrameH = kFig072FrameH;
    VehicleSetLane(r, SceneH - kLaneRise, SceneH - kLaneRise, SceneH - kLaneRise);
    r.Speed = minCarSpeed + Rand() % 3;
    gTram.driver = Rand() % kDrivers;
    r.State = kLettering;
}

void AskForLettering(FigurRecord &r)
{
    if (SBahnPiclistCount > 0 && StartBeschriftung(kTram)) {
        gTram.livery = kUserLivery;
        r.State = kWaitLettering;
    } else {
        gTram.livery = kOwnLivery;
        r.State = kChooseFirst;
    }
}

void WaitForLettering(FigurRecord &r)
{
    if (r.Sheets[1] && r.Masks[1]) {
        // The lettered body is a picture of its own size: drawn no larger
        // than it and than the body.
        SceneRect size = {0, 0, 0, 0};
        GetBitmapSize(r.Sheets[1], &size);
        const FrameEntry &body = kFig072Frames[0];
        gTram.lettered = {0, 0, size.w < body.w ? size.w : body.w, size.h < body.h ? size.h : body.h};
        r.State = kChooseFirst;
        return;
    }
    if (++r.WaitCount > kLetteringTicks) {
        WriteLog("- Keine SBAHN-Beschriftung -");
        gTram.livery = kOwnLivery;
        r.State = kChooseFirst;
    }
}

bool Seated(int face, int beforeWindow)
{
    for (int k = 1; k < beforeWindow; ++k)
        if (TramPassengerList[k] == face)
            return true;
    return false;
}

// One window a tick: a face no earlier window shows, or, after a failed
// draw, with 1 in 16 an empty window.
void ChooseFace(FigurRecord &r)
{
    const int k = r.State - kChooseFirst + 1;
    TramPassengerList[k] = 0;
    for (;;) {
        const int face = Rand() % (kFaces + 1);
        if (face != 0 && !Seated(face, k)) {
            TramPassengerList[k] = face;
            break;
        }
        if (Rand() % 16 == 0)
            break;
    }
    r.State = r.State == kChooseLast ? kRiding : r.State + 1;
}

void DrawTram(const FigurRecord &r)
{
    for (int k = 1; k <= kTramWindows; ++k) {
        const int face = TramPassengerList[k];
        if (face < 1 || face > kFaces)
            continue;
        VehicleDraw(r, 0, kFig072Frames[kFig072Face + 4 * (face - 1) + gTram.faceVariant[k]], kWindowX[k],
                    kWindowY);
    }
    VehicleDraw(r, 0, kFig072Frames[kFig072Driver + 4 * gTram.driver], kDriverX, kWindowY);
    if (gTram.livery == kUserLivery) {
        VehicleDrawAt(r, 1, gTram.lettered, r.X, r.Y);
    } else {
        VehicleDraw(r, 0, kFig072Frames[0]);
    }
    if (r.Frame == 1 || r.Frame == 2)
        VehicleDraw(r, 0, kFig072Frames[kFig072Wheel + r.Frame - 1], 0, kWheelY);
}

void StepFaces()
{
    for (int w = 0; w <= kTramWindows; ++w) {
        if (--gTram.faceCountdown[w] >= 1)
            continue;
        gTram.faceCountdown[w] = Rand() % 25 + 8;
        gTram.faceVariant[w] = Rand() % 4;
    }
}

void StepSounds(FigurRecord &r)
{
    if (!VehicleSoundOn(kOptTram))
        return;
    if (--r.SoundCount < 1) {
        r.SoundCount = Rand() % 10 + 9;
        VehiclePlay(r, kRideSample);
    }
    if (--r.Gait < 0) {
        r.Gait = Rand() % 233 + 8;
        if (Rand() % kBellChance == 0)
            VehiclePlay2(r, kBellSample);
    }
}

bool ClickOnTram(const FigurRecord &r)
{
    if (!ClickPending)
        return false;
    const int mx = MouseX, my = MouseY;
    return mx >= r.X + kClickLeft && mx <= r.X + kClickRight && my >= r.Y + kClickTop && my <= r.Y + kClickBottom;
}

void Run(FigurRecord &r)
{
    // The click is the tram's even with the sound off: nothing else under it
    // may take it.
    if (ClickOnTram(r)) {
        if (Sound)
            VehiclePlay2(r, kBellSample);
        VehicleTakeClick();
    }
    VehicleFollowSound(r);
    DrawTram(r);
    r.X += r.Speed;
    r.Frame = (r.Frame + 1) % 3;
    StepFaces();
    StepSounds(r);
    if (r.X >= SceneW + 20)
        UnloadFigur(kTram);
}

}  // namespace

void TramUnloaded() { TramOnStage = 0; }

int TramLivery() { return gTram.livery; }

void Figur072Script()
{
    FigurRecord &r = Tram();
    switch (r.State) {
    case kSetUp:
    case kSetUpToo: SetUp(r); return;
    case kLettering: AskForLettering(r); return;
    case kWaitLettering: WaitForLettering(r); return;
    case kRiding: Run(r); return;
    default:
        if (r.State >= kChooseFirst && r.State <= kChooseLast)
            ChooseFace(r);
        return;
    }
}

void ResetFigur072()
{
    gTram = {};
    TramOnStage = 0;
    for (int &face : TramPassengerList)
        face = 0;
}
