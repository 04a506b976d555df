// Figure 46: when new mail has come, a messenger with a big letter who walks
// to and fro along the near pavement until the day phase changes; otherwise
// a runner by day and a man walking his dog by night (nobody at dusk).
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "services/mail.h"
#include "services/sound.h"
#include "config/config.h"

// The frame tables come with the pictures, from the art generator.
#include "fig046_frames.h"

namespace {

constexpr int kMessenger = 46;
constexpr int kMailSlot = 1;
constexpr int kRunnerSample = 17;
constexpr int kOffStageCalls = 100;
constexpr int kSheetWaitCalls = 400;
constexpr int kStartX = -140;
constexpr int kLeftTurn = -80;
constexpr int kKeepClear = 123;  // no stop this near the stop post or the right edge

constexpr int kRunnerFrames = 6, kRunnerStride = 70;
constexpr int kNightFrames = 5, kNightStride = 26;
constexpr int kMailFrames = 4, kMailStride = 28, kStandStep = 4;

// Runs of the messenger's table.
constexpr int kStandRight = 8, kStandRightFrames = 6;
constexpr int kAct = 14, kActLastFrame = 12;
constexpr int kWave = 27, kWaveShortLast = 1, kWaveLast = 15;
constexpr int kWalkLeft = 43;
constexpr int kStandLeft = 55, kStandLeftFrames = 11;

enum State {
    kSetUp = 0,
    kRun = 1,
    kOffStage = 2,
    kNightWalk = 100,
    kWaitSheet = 500,
    kWalkRight = 511,
    kStandR = 512,
    kShowLetter = 513,
    kWaveShort = 514,
    kWaveFull = 515,
    kBeyondRight = 516,
    kWalkL = 517,
    kStandL = 518,
};

// What the figure keeps from one appearance to the next.
struct MessengerState {
    int runnerGait = 0;  // 0 or 6
    int mailGait = 0;    // 0 or 4 walking right; 0, 4 or 8 walking left
};
MessengerState gMessenger;

// The width the click block and the avoidance see: the first walk frame of
// the figure's variant.
void SetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    r.Tick = r.Frame = 0;
    r.Direction = 1;
    r.Avoids = 0;
    r.X = kStartX;
    if (NewMail) {
        char name[kFigurNameLen];
        snprintf(name, sizeof(name), "FIG%03d_%02d_%02d", kMessenger, TimeOfDay, kMailSlot);
        if (!LoadFigurPlus(kMessenger, kMailSlot, name)) {
            UnloadFigur(kMessenger);
            return;
        }
        StrCopy(r.Name, "New Mail");
        r.FrameW = kFig046MailFrames[0].w;
        r.FrameH = kFig046MailFrameH;
        FigPlaceInLane(r, h - 109, h - 106);
        r.Speed = Rand() % 3 + FigureSpeedBase() + 6;
        r.State = kWaitSheet;
        return;
    }
    r.Name[0] = '\0';
    if (TimeOfDay == kDay) {
        r.FrameW = kFig046DayFrames[0].w;
        r.FrameH = kFig046DayFrameH;
        FigPlaceInLane(r, h - 74, h - 72);
        r.Speed = Rand() % 3 + FigureSpeedBase();
        FigSetPause(r, Rand() % 81 + 40);
        gMessenger.runnerGait = (Rand() & 1) * 6;
        r.State = kRun;
    } else if (TimeOfDay == kNight) {
        r.FrameW = kFig046NightFrames[0].w;
        r.FrameH = kFig046NightFrameH;
        FigPlaceInLane(r, h - 96, h - 94);
        r.Speed = Rand() % 5 + FigureSpeedBase() + 4;
        FigSetPause(r, Rand() % 121 + 80);
        r.State = kNightWalk;
    } else {
        UnloadFigur(kMessenger);
    }
}

// One frame of a walk of frames frames; true at the cycle's end.
bool WalkStep(FigurRecord &r, int sheet, const FrameEntry &entry, int frames)
{
    FigDraw(r, sheet, entry);
    if (!FigTick(r, r.Speed) || ++r.Frame < frames)
        return false;
    r.Frame = 0;
    return true;
}

void Run(FigurRecord &r)
{
    if (!WalkStep(r, 0, kFig046DayFrames[gMessenger.runnerGait + r.Frame], kRunnerFrames))
        return;
    r.X += kRunnerStride;
    if (r.X <= SceneWidth()) {
        if (Rand() % 7 == 0)
            FigPlaySample(r, kRunnerSample);
        else if (Sound)
            UpdateObjectSound(&r.Sound, r.X);
        return;
    }
    // Off stage he waits a while, so that his steps fade out on the right.
    r.WaitCount = kOffStageCalls;
    if (Sound)
        UpdateObjectSound(&r.Sound, r.X);
    r.State = kOffStage;
}

void NightWalk(FigurRecord &r)
{
    if (!WalkStep(r, 0, kFig046NightFrames[r.Frame], kNightFrames))
        return;
    r.X += kNightStride;
    if (r.X > SceneWidth())
        UnloadFigur(kMessenger);
}

bool MayStopHere(int x) { return StopPostX() + kKeepClear < x && x < SceneWidth() - kKeepClear; }

void WalkRight(FigurRecord &r)
{
    if (!WalkStep(r, kMailSlot, kFig046MailFrames[gMessenger.mailGait + r.Frame], kMailFrames))
        return;
    r.X += kMailStride;
    if (Rand() % 6 != 0) {
        if (Rand() % 13 == 0 && MayStopHere(r.X)) {
            r.X -= kStandStep;
            r.State = kStandR;
            return;
        }
    } else {
        gMessenger.mailGait = (Rand() & 1) * 4;
    }
    if (r.X > SceneWidth())
        r.State = kBeyondRight;
}

void WalkLeft(FigurRecord &r)
{
    if (!WalkStep(r, kMailSlot, kFig046MailFrames[kWalkLeft + gMessenger.mailGait + r.Frame], kMailFrames))
        return;
    r.X -= kMailStride;
    if (Rand() % 6 != 0) {
        if (Rand() % 13 == 0 && MayStopHere(r.X)) {
            r.X -= kStandStep;
            r.State = kStandL;
            return;
        }
    } else {
        gMessenger.mailGait = (Rand() % 3) * 4;
    }
    if (r.X >= kLeftTurn)
        return;
    gMessenger.mailGait = 0;
    if (PhaseChangeDue)
        UnloadFigur(kMessenger);
    else
        r.State = kWalkRight;  // he turns where he is and walks right again
}

// A look about now and then; after some of them he shows the letter.
void StandRight(FigurRecord &r)
{
    FigDraw(r, kMailSlot, kFig046MailFrames[kStandRight + r.Frame]);
    if (!FigTick(r, Rand() % 11 + r.Speed + 5))
        return;
    r.Frame = Rand() % kStandRightFrames;
    if (Rand() % 26 != 0)
        return;
    r.Frame = 0;
    gMessenger.mailGait = (Rand() & 1) * 4;
    r.X += kStandStep;
    if (Rand() % 3 == 0)
        ++r.FrameSet;
    if (r.FrameSet > Rand() % 11 + 5) {
        r.FrameSet = 0;
        r.State = kShowLetter;
    } else {
        r.State = kWalkRight;
    }
}

void StandLeft(FigurRecord &r)
{
    FigDraw(r, kMailSlot, kFig046MailFrames[kStandLeft + r.Frame]);
    if (!FigTick(r, Rand() % 11 + r.Speed + 5))
        return;
    r.Frame = Rand() % kStandLeftFrames;
    if ((Rand() & 15) != 0)
        return;
    r.Frame = 0;
    gMessenger.mailGait = (Rand() % 3) * 4;
    r.State = kWalkL;
}

void ShowLetter(FigurRecord &r)
{
    FigDraw(r, kMailSlot, kFig046MailFrames[kAct + r.Frame]);
    if (!FigTick(r, Rand() % 11 + r.Speed + 5) || ++r.Frame <= kActLastFrame)
        return;
    r.Frame = 0;
    r.WaitCount = Rand() % 86 + 15;
    r.State = kWaveShort;
}

void WaveShort(FigurRecord &r)
{
    FigDraw(r, kMailSlot, kFig046MailFrames[kWave + r.Frame]);
    if (!FigTick(r, (Rand() & 7) + r.Speed + 8) || ++r.Frame <= kWaveShortLast)
        return;
    r.Frame = 0;
    if (--r.WaitCount < 1)
        r.State = kWaveFull;
}

void WaveFull(FigurRecord &r)
{
    FigDraw(r, kMailSlot, kFig046MailFrames[kWave + r.Frame]);
    if (!FigTick(r, Rand() % 3 + r.Speed + 1) || ++r.Frame <= kWaveLast)
        return;
    r.Frame = 0;
    r.X += kStandStep;
    r.State = kWalkRight;
}

void BeyondRight(FigurRecord &r)
{
    if (!FigTick(r, Rand() % 9 + 5))
        return;
    if (PhaseChangeDue)
        UnloadFigur(kMessenger);
    else
        r.State = kWalkL;
}

void WaitForSheet(FigurRecord &r)
{
    if (r.Sheets[kMailSlot] && r.Masks[kMailSlot]) {
        r.Frame = 0;
        r.State = kWalkRight;
    } else if (++r.Frame > kSheetWaitCalls) {
        UnloadFigur(kMessenger);
    }
}

}  // namespace

void Figur046Script()
{
    FigurRecord &r = FigurTable[kMessenger];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case kSetUp: SetUp(r); return;
    case kRun: Run(r); return;
    case kOffStage:
        if (--r.WaitCount < 1)
            UnloadFigur(kMessenger);
        return;
    case kNightWalk: NightWalk(r); return;
    case kWaitSheet: WaitForSheet(r); return;
    case kWalkRight: WalkRight(r); return;
    case kStandR: StandRight(r); return;
    case kShowLetter: ShowLetter(r); return;
    case kWaveShort: WaveShort(r); return;
    case kWaveFull: WaveFull(r); return;
    case kBeyondRight: BeyondRight(r); return;
    case kWalkL: WalkLeft(r); return;
    case kStandL: StandLeft(r); return;
    default: return;  // a state it does not know: it stays as it is
    }
}

void ResetFigur046() { gMessenger = {}; }
