// Figures 41, 42 and 44: the band on the far pavement, the street musician
// on the near one and the passer-by who stops to listen to him. A musician
// walks in, stops, starts the saver's own music and plays while it lasts; the
// music bubble and clicks stop it or skip a piece.
#include "figures/figures.h"
#include "figures/musicians.h"

#include "core/random.h"
#include "scene/bubbles.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/scenestep.h"
#include "services/music.h"
#include "services/winamp.h"
#include "config/config.h"

// The frame tables come with the pictures, from the art generator.
#include "fig041_frames.h"
#include "fig042_frames.h"
#include "fig044_frames.h"


namespace {

constexpr int kBand = 41;
constexpr int kStreetMusician = 42;
constexpr int kListener = 44;
constexpr int kWindowScene = 60;
constexpr int kNeighbour = 29;
constexpr int kNeighbourOut = 31;

constexpr int kStrideFrames = 6;
constexpr int kBandStride = 24;
constexpr int kStride = 22;
constexpr int kGaitOffset = 6;
constexpr int kTitleSeconds = 20;
constexpr int kEdgeFadeMs = 5000;
constexpr int kStopFadeMs = 500;
constexpr int kLateMinute = 10;  // a phase change in the first minutes of the hour ends the music
constexpr int kLeftExit = -300;

// Frame-table runs.
constexpr int kBandSetUp = 12;
constexpr int kBandPlay = 14;
constexpr int kPlayLeft = 12;
constexpr int kWalkRight = 26;
constexpr int kPlayRight = 38;
constexpr int kLastPlayRightFrame = 12;  // 38..50: the run ends a frame before the wrap rule would

// The click rectangles: entry 0 of each table.
constexpr int kBandClickW = kFig041Frames[0].w, kBandClickH = kFig041Frames[0].h;
constexpr int kSoloClickW = kFig042Frames[0].w, kSoloClickH = kFig042Frames[0].h;

enum BandState { kBandStart = 0, kBandSetUpState = 1, kBandWalk = 2, kBandUnpack = 3, kBandPlaying = 4,
                 kBandPack = 5, kBandLeave = 9 };
// 42 and 44: walking left 2 (9 leaving), playing or listening facing left 3;
// the mirror images facing right 10, 19 and 11.
enum SoloState { kSoloStart = 0, kSoloSetUp = 1, kWalkL = 2, kStandL = 3, kLeaveL = 9, kWalkR = 10, kStandR = 11,
                 kLeaveR = 19 };

// What the musicians keep from one appearance to the next.
struct MusiciansState {
    int bandGait = 0;
    int soloGait = 0;
    int listenerGait = 0;
    int soloSide = 0;      // 42's last direction; 0 before its first appearance
    int listenerSide = 0;  // taken from 42 when the listener sets out
};
MusiciansState gMusicians;

const int kPauseMod[6][2][2] = {
    {{25, 0}, {25, 0}},       {{17, 8}, {17, 16}},    {{33, 16}, {41, 24}},
    {{49, 32}, {81, 40}},     {{177, 64}, {241, 80}}, {{353, 128}, {561, 160}},
};

int MusicPause(bool band)
{
    const int choice = (MusikKommt >= 1 && MusikKommt <= 5) ? MusikKommt : 0;
    const int *range = kPauseMod[choice][band ? 0 : 1];
    return Rand() % range[0] + range[1];
}

bool MusicOn() { return Music != 0; }
bool MusicEnded() { return !MusicPlaying && !MusicStarting && !WinampPlaying; }
bool LatePhaseChange() { return PhaseChangeDue && Minute < kLateMinute; }

// The first countdown of strides runs over the scene's width; a scene too
// narrow for the rule still gets a range of one.
int FirstCountdown()
{
    int range = SceneWidth() / 32 - 15;
    if (range < 1)
        range = 1;
    return Rand() % range + 8;
}

void StartMusic(bool onlyWhenSilent)
{
    if (!MusicOn() || PhaseChangeDue)
        return;
    if (onlyWhenSilent && MusicPlaying)
        return;
    SetMusicVolume(MP3volume);
    if (!WinampPlaying)
        StartPlayMusic();
}

void ShowTitle(const FigurRecord &r)
{
    const bool band = r.Id == kBand;
    const int nearLeft = 301;
    const int rightOf = band ? 50 : 70, leftOf = band ? 125 : 170, above = band ? 75 : 50;
    char title[kMusicTitleLen];
    GetMusicTitle(title, sizeof(title));
    if (r.X < nearLeft)
        CreateSprechblase(4, title, r.X + rightOf, r.Y - above, kTitleSeconds);
    else
        CreateSprechblase(3, title, r.X - leftOf, r.Y - above, kTitleSeconds);
}

void LeaveStage(FigurRecord &r)
{
    if (MusicOn() && MusicPlaying && LatePhaseChange())
        FadeMusic(kEdgeFadeMs);
    UnloadFigur(r.Id);
}

// The set-up all three share.
void SetUpCommon(FigurRecord &r, int frameW, int frameH, int laneFromBottom, int laneToBottom, int *gait)
{
    const int h = SceneHeight();
    r.Frame = r.Tick = 0;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.AvoidOrder = 0;
    r.Spacing = 20;
    r.FrameW = frameW;
    r.FrameH = frameH;
    FigPlaceInLane(r, h - laneFromBottom, h - laneToBottom);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 3;
    r.WaitCount = FirstCountdown();
    *gait = (Rand() & 1) * kGaitOffset;
}

// One frame of a six-frame walk; true at the stride's end, after the stride,
// the new gait, the phase change and the avoidance.
bool WalkFrame(FigurRecord &r, int firstEntry, const FrameEntry *table, int stride, int *gait, int leaveState)
{
    FigDraw(r, 0, table[firstEntry + *gait + r.Frame]);
    if (!FigTick(r, r.Speed))
        return false;
    if (++r.Frame < kStrideFrames)
        return false;
    r.Frame = 0;
    r.X += stride;
    if (Rand() % 3 == 0)
        *gait = (Rand() & 1) * kGaitOffset;
    if (PhaseChangeDue)
        r.State = leaveState;
    r.ScriptVar = 0;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    return true;
}

void MaybeDrift(FigurRecord &r)
{
    if (Rand() % 11 == 0)
        FigDrift(r, Rand() % 5 + 2);
}

// At the end of a playing cycle a musician may bring a window scene or the
// neighbour to the window.
void CycleEnd(bool band)
{
    if (!IsOnStage(kWindowScene) && Rand() % 5 == 0) {
        LoadScripted(kWindowScene, 0);
        return;
    }
    if (TimeOfDay == kDay || Figur028Home != 2 || IsOnStage(kNeighbour) || IsOnStage(kNeighbourOut))
        return;
    if (band ? Rand() % 5 == 0 : (Rand() & 7) == 0)
        LoadScripted(kNeighbour, 0);
}

// A left click on a playing musician opens or closes the title bubble.
void PlayingClick(const FigurRecord &r, int w, int h)
{
    if (!FigLeftClickIn(r, w, h))
        return;
    if (OpenBubbleKind == 3 || OpenBubbleKind == 4)
        KillSprechblase();
    else
        ShowTitle(r);
    FigTakeClick(false);
}

// The music order; true when it was a stop, which the caller carries out.
bool TakeMusicOrder(const FigurRecord &r)
{
    if (!MusicOn() || MusicCommand < kMusicOrderStop || MusicCommand > kMusicOrderCloseTitle)
        return false;
    switch (MusicCommand) {
    case kMusicOrderStop:
        MusicCommand = kMusicOrderNone;
        FadeMusic(kStopFadeMs);
        return true;
    case kMusicOrderNext:
        MusicCommand = kMusicOrderNone;
        if (!WinampPlaying)
            StartPlayMusic();
        return false;
    case kMusicOrderShowTitle:
        MusicCommand = kMusicOrderNone;
        ShowTitle(r);
        return false;
    case kMusicOrderCloseTitle:
        MusicCommand = kMusicOrderNone;
        KillSprechblase();
        return false;
    default: return false;
    }
}

// Frame steps of a playing or listening run; true after a step. lastFrame
// caps a run shorter than the wrap rule allows.
bool StandFrame(FigurRecord &r, int tickLimit, int wrapAbove, int lastFrame, bool *wrapped)
{
    *wrapped = false;
    if (!FigTick(r, tickLimit))
        return false;
    ++r.Frame;
    if (r.Frame > wrapAbove || r.Frame > lastFrame) {
        r.Frame = 0;
        *wrapped = true;
    }
    return true;
}

// ------------------------------------------------------------------ the band

void BandSetUp(FigurRecord &r)
{
    SetUpCommon(r, 150, 94, 314, 274, &gMusicians.bandGait);
    r.X = -160 - Rand() % 21;
    r.Direction = 1;
    r.Avoids = 1;
    r.State = kBandWalk;
}

void BandStop(FigurRecord &r)
{
    r.Direction = 0;
    r.Avoids = 0;
    r.WaitCount = Rand() % 13 + 4;
    r.State = kBandUnpack;
}

bool InBandStopPlace(int x)
{
    return (x >= 171 && x <= 219) || (x >= 491 && x <= 579) || (x >= 981 && x <= SceneWidth() - 201);
}

void BandWalk(FigurRecord &r)
{
    if (!WalkFrame(r, 0, kFig041Frames, kBandStride, &gMusicians.bandGait, kBandLeave))
        return;
    if (FigLeftClickIn(r, kBandClickW, kBandClickH)) {
        if (MusicOn() && !WinampPlaying) {
            if (MusicPlaying) {
                KillSprechblase();
                StopMusic();
            }
            SetMusicVolume(MP3volume);
            StartPlayMusic();
        }
        r.Tick = r.Frame = 0;
        FigTakeClick(true);
        BandStop(r);
        return;
    }
    // A phase change that came due at this stride already sent it on its way.
    if (r.State == kBandWalk && --r.WaitCount < 1 && InBandStopPlace(r.X)) {
        r.ScriptVar = 0;
        BandStop(r);
        StartMusic(false);
        return;
    }
    if (r.X <= SceneWidth())
        MaybeDrift(r);
    else
        LeaveStage(r);
}

void BandUnpack(FigurRecord &r)
{
    FigDraw(r, 0, kFig041Frames[kBandSetUp + r.Frame]);
    if (!FigTick(r, (Rand() % 3 + 1) * r.Speed) || ++r.Frame < 2)
        return;
    r.Frame = 0;
    r.ScriptVar = 0;
    r.WaitCount = Rand() % 13 + 4;
    r.State = PhaseChangeDue ? kBandLeave : kBandPlaying;
}

void BandPackUp(FigurRecord &r)
{
    r.Frame = 0;
    r.State = kBandPack;
}

void BandPlay(FigurRecord &r)
{
    FigDraw(r, 0, kFig041Frames[kBandPlay + r.Frame]);
    bool wrapped = false;
    if (StandFrame(r, ((Rand() & 7) + 2) * r.Speed, 12 + (Rand() & 3), 15, &wrapped)) {
        if (wrapped)
            CycleEnd(true);
        if (MusicOn()) {
            if (MusicEnded()) {
                BandPackUp(r);
            } else {
                if (MusicTitleChanged.exchange(0))
                    ShowTitle(r);
                if (LatePhaseChange())
                    BandPackUp(r);
            }
        }
    }
    PlayingClick(r, kBandClickW, kBandClickH);
    if (TakeMusicOrder(r)) {
        r.Tick = 0;
        BandPackUp(r);
    }
}

void BandPack(FigurRecord &r)
{
    FigDraw(r, 0, kFig041Frames[kBandSetUp + 1 + r.Frame]);
    if (!FigTick(r, (Rand() % 3 + 2) * r.Speed) || --r.Frame >= -1)
        return;
    r.Frame = 0;
    r.Direction = 1;
    r.Avoids = 1;
    r.X += kBandStride;
    r.WaitCount = Rand() % 9 + 8;
    r.State = PhaseChangeDue ? kBandWalk : kBandLeave;
}

// ------------------------------------------------- the street musician (42)

void SoloWalkOn(FigurRecord &r, bool facingLeft, int waitCount)
{
    r.Frame = 0;
    r.X += facingLeft ? -kStride : kStride;
    r.Direction = r.Avoids = facingLeft ? -1 : 1;
    r.WaitCount = waitCount;
    r.State = facingLeft ? kWalkL : kWalkR;
}

void SoloSetUp(FigurRecord &r)
{
    SetUpCommon(r, 50, 92, 94, 92, &gMusicians.soloGait);
    if (gMusicians.soloSide == -1) {
        gMusicians.soloSide = 1;
        r.Direction = 1;
        r.X = -100;
        r.State = kWalkR;
    } else {
        gMusicians.soloSide = -1;
        r.Direction = -1;
        r.X = SceneWidth() + Rand() % 21;
        r.State = kWalkL;
    }
    r.Avoids = r.Direction;
}

void SoloWalk(FigurRecord &r)
{
    const bool left = r.State == kWalkL || r.State == kLeaveL;
    const int dir = left ? -1 : 1;
    if (!WalkFrame(r, left ? 0 : kWalkRight, kFig042Frames, dir * kStride, &gMusicians.soloGait,
                   left ? kLeaveL : kLeaveR))
        return;
    const bool mayStop = r.State == kWalkL || r.State == kWalkR;
    if (FigLeftClickIn(r, kSoloClickW, kSoloClickH)) {
        r.Tick = r.Frame = 0;
        r.Direction = r.Avoids = 0;
        r.X -= dir * kStride;
        FigTakeClick(true);
        r.State = left ? kStandL : kStandR;
        r.WaitCount = left ? Rand() % 25 + 8 : Rand() % 13 + 4;
        if (MusicOn() && !WinampPlaying) {
            if (MusicPlaying) {
                KillSprechblase();
                StopMusic();
            } else {
                StartPlayMusic();
                if (left)
                    SetMusicVolume(MP3volume);
            }
        }
        return;
    }
    if (mayStop && --r.WaitCount < 1 && r.X > 250 && r.X < SceneWidth() - 180) {
        r.Direction = r.Avoids = 0;
        r.ScriptVar = 0;
        r.WaitCount = Rand() % 13 + 4;
        StartMusic(true);
        if (!left)
            r.X -= kStride;
        r.State = left ? kStandL : kStandR;
        return;
    }
    const bool onScreen = left ? r.X >= kLeftExit : r.X <= SceneWidth();
    if (onScreen)
        MaybeDrift(r);
    else
        LeaveStage(r);
}

void SoloPlay(FigurRecord &r)
{
    const bool left = r.State == kStandL;
    FigDraw(r, 0, kFig042Frames[(left ? kPlayLeft : kPlayRight) + r.Frame]);
    bool wrapped = false;
    if (StandFrame(r, ((Rand() & 7) + 2) * r.Speed, 6 + (Rand() & 7), left ? 13 : kLastPlayRightFrame, &wrapped)) {
        if (wrapped)
            CycleEnd(false);
        if (MusicOn()) {
            if (MusicEnded()) {
                SoloWalkOn(r, left, Rand() % 25 + 8);
                return;
            }
            if (MusicTitleChanged.exchange(0))
                ShowTitle(r);
            if (LatePhaseChange()) {
                SoloWalkOn(r, left, 999);
                r.State = left ? kLeaveL : kLeaveR;
                return;
            }
        }
    }
    PlayingClick(r, kSoloClickW, kSoloClickH);
    if (TakeMusicOrder(r)) {
        r.Tick = 0;
        SoloWalkOn(r, left, Rand() % 41 + 24);
        PostHideCursor();
    }
}

// ------------------------------------------------------ the listener (44)

void ListenerSetUp(FigurRecord &r)
{
    FigSetName(r);
    SetUpCommon(r, 50, 92, 94, 92, &gMusicians.listenerGait);
    if (gMusicians.listenerSide == -1) {
        r.Direction = -1;
        r.X = SceneWidth() + Rand() % 21;
        r.State = kWalkL;
    } else {
        gMusicians.listenerSide = 1;
        r.Direction = 1;
        r.X = -110 - Rand() % 41;
        r.State = kWalkR;
    }
    r.Avoids = r.Direction;
}

void ListenerStop(FigurRecord &r, bool left)
{
    r.Direction = r.Avoids = 0;
    r.ScriptVar = 0;
    if (left) {
        r.WaitCount = Rand() % 7 + 2;
        r.State = kStandL;
    } else {
        r.X -= kStride;
        r.WaitCount = Rand() % 10 + 3;
        r.State = kStandR;
    }
}

bool BesideTheMusician(const FigurRecord &r, bool left)
{
    const int musicianX = FigurTable[kStreetMusician].X, w = SceneWidth();
    if (left)
        return r.X < musicianX - 80 && r.X < w - 100 && r.X >= 131;
    return r.X > musicianX + 120 && r.X < w - 120 && r.X >= 131;
}

void ListenerWalk(FigurRecord &r)
{
    const bool left = r.State == kWalkL || r.State == kLeaveL;
    const int dir = left ? -1 : 1;
    if (!WalkFrame(r, left ? 0 : kWalkRight, kFig044Frames, dir * kStride, &gMusicians.listenerGait,
                   left ? kLeaveL : kLeaveR))
        return;
    const bool mayStop = r.State == kWalkL || r.State == kWalkR;
    if (FigLeftClickIn(r, kSoloClickW, kSoloClickH)) {
        r.Tick = r.Frame = 0;
        r.Direction = r.Avoids = 0;
        r.WaitCount = Rand() % 13 + 4;
        FigTakeClick(true);
        r.X -= dir * kStride;
        r.State = left ? kStandL : kStandR;
        return;
    }
    if (mayStop && r.ScriptVar && Rand() % 7 == 0) {
        ListenerStop(r, left);
        return;
    }
    if (mayStop && MusicPlaying && BesideTheMusician(r, left)) {
        ListenerStop(r, left);
        return;
    }
    if (left ? r.X < kLeftExit : r.X > SceneWidth()) {
        UnloadFigur(kListener);
        return;
    }
    if (r.AvoidOrder == 0)
        MaybeDrift(r);
}

void ListenerListen(FigurRecord &r)
{
    const bool left = r.State == kStandL;
    FigDraw(r, 0, kFig044Frames[(left ? kPlayLeft : kPlayRight) + r.Frame]);
    bool wrapped = false;
    if (StandFrame(r, ((Rand() & 7) + 2) * r.Speed, 6 + (Rand() & 7), left ? 13 : kLastPlayRightFrame, &wrapped) &&
        MusicOn()) {
        if (!MusicPlaying) {
            SoloWalkOn(r, left, r.WaitCount);
            return;
        }
        if (LatePhaseChange()) {
            SoloWalkOn(r, left, r.WaitCount);
            r.State = left ? kLeaveL : kLeaveR;
            return;
        }
    }
    if (FigLeftClickIn(r, kSoloClickW, kSoloClickH)) {
        r.Tick = 0;
        FigTakeClick(true);
        SoloWalkOn(r, left, r.WaitCount);
    }
}

}  // namespace

bool MusicianPlaying()
{
    return (IsOnStage(kBand) && FigurTable[kBand].State == kBandPlaying) ||
           (IsOnStage(kStreetMusician) &&
            (FigurTable[kStreetMusician].State == kStandL || FigurTable[kStreetMusician].State == kStandR));
}

void Figur041Script()
{
    FigurRecord &r = FigurTable[kBand];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case kBandStart:
        StrCopy(r.Name, Language == 1 ? "Musiker" : "Musicians");
        FigSetPause(r, MusicPause(true));
        r.State = kBandSetUpState;
        return;
    case kBandSetUpState: BandSetUp(r); return;
    case kBandWalk:
    case kBandLeave: BandWalk(r); return;
    case kBandUnpack: BandUnpack(r); return;
    case kBandPlaying: BandPlay(r); return;
    case kBandPack: BandPack(r); return;
    default: FigUnknownState(r); return;
    }
}

void Figur042Script()
{
    FigurRecord &r = FigurTable[kStreetMusician];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case kSoloStart:
        FigSetName(r);
        FigSetPause(r, MusicPause(false));
        if (gMusicians.soloSide == 0)
            gMusicians.soloSide = (Rand() & 1) ? 1 : -1;
        r.State = kSoloSetUp;
        if (TimeOfDay != kNight && (Rand() & 3) != 0)
            LoadScripted(kListener, 0);
        return;
    case kSoloSetUp: SoloSetUp(r); return;
    case kWalkL:
    case kLeaveL:
    case kWalkR:
    case kLeaveR: SoloWalk(r); return;
    case kStandL:
    case kStandR: SoloPlay(r); return;
    default: FigUnknownState(r); return;
    }
}

void Figur044Script()
{
    FigurRecord &r = FigurTable[kListener];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case kSoloStart:
        FigSetPause(r, Rand() % 561 + 160);
        gMusicians.listenerSide = FigurTable[kStreetMusician].Direction;
        r.State = kSoloSetUp;
        return;
    case kSoloSetUp: ListenerSetUp(r); return;
    case kWalkL:
    case kLeaveL:
    case kWalkR:
    case kLeaveR: ListenerWalk(r); return;
    case kStandL:
    case kStandR: ListenerListen(r); return;
    default: FigUnknownState(r); return;
    }
}

void ResetFigur041() { gMusicians.bandGait = 0; }
void ResetFigur042()
{
    gMusicians.soloGait = 0;
    gMusicians.soloSide = 0;
}
void ResetFigur044()
{
    gMusicians.listenerGait = 0;
    gMusicians.listenerSide = 0;
}
