// Figures 1, 3, 5, 10 and 13: the people who walk to the bus stop, wait there
// with WantsBus set, step towards the door while the bus halts and are taken
// on by it; each also gets out of the bus and walks off.
#include "figures/figures.h"

#include "core/daterules.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "config/config.h"
#include "vehicles/busstop.h"

// The frame tables come with the pictures, from the art generator.
#include "fig001_frames.h"
#include "fig003_frames.h"
#include "fig005_frames.h"
#include "fig010_frames.h"
#include "fig013_frames.h"

namespace {

constexpr int kBus = 70;
// The door line lies this far below the stop's base line, the wait line as
// far above it.
constexpr int kDoorBelowFoot = 4;
constexpr int kWaitAboveFoot = 4;

int B() { return FigureSpeedBase(); }
int W() { return SceneWidth(); }
int H() { return SceneHeight(); }
int PostX() { return StopPostX(); }
int PostFoot() { return StopFootLine(); }

// One step towards the bus door: down and sideways until the foot line
// reaches the door line; there the figure stands until the bus takes it.
void StepToDoor(FigurRecord &r, int dx)
{
    if (r.FootLine < PostFoot() + kDoorBelowFoot) {
        FigSetY(r, r.Y + 1);
        r.X += dx;
    }
}

// Frame counting of a stand run: true when the frame stepped.
bool FrameStep(FigurRecord &r, int tickLimit)
{
    if (!FigTick(r, tickLimit))
        return false;
    ++r.Frame;
    return true;
}

bool StrideDone(FigurRecord &r)
{
    if (!FrameStep(r, r.Speed) || r.Frame < kWalkFrames)
        return false;
    r.Frame = 0;
    return true;
}

void StartCommon(FigurRecord &r, int frameW, int frameH)
{
    FigSetName(r);
    r.Frame = r.Tick = r.WaitCount = 0;
    r.FrameW = frameW;
    r.FrameH = frameH;
}

// ---------------------------------------------------------------- figure 1

constexpr int kMan = 1;
constexpr int kManStride = 17;
constexpr int kManNear = 85;     // from here on he looks for his place
constexpr int kManLatest = 36;   // and here he stops at the latest
constexpr int kNewspaperSample = 13;
constexpr int kStroller = 3;

struct ManState {
    int sheet = 0;  // summer or winter clothes
};
ManState gMan;

const FrameEntry &ManEntry(int k) { return kFig001Frames[k]; }

void ManDraw(FigurRecord &r, int entry) { FigDraw(r, gMan.sheet, ManEntry(entry)); }

// His stand runs are shorter while the stroller is about: he chats.
int ManFrameLimit() { return IsOnStage(kStroller) ? Rand() % 3 + 1 : 3; }

bool ManClicked(FigurRecord &r)
{
    if (BusHaltedNow() || !FigLeftClickIn(r, ManEntry(0).w, ManEntry(0).h))
        return false;
    FigTakeClick(true);
    r.Frame = 0;
    r.Tick = 0;
    r.State = 4;
    return true;
}

void ManSetUp(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig001FrameW, kFig001FrameH);
    gMan.sheet = Season - 1;
    r.X = W() + Rand() % 6;
    FigPlaceInLane(r, h - 240, h - 230);
    FigSetPause(r, Rand() % 65 + 32);
    r.Direction = -1;
    r.Avoids = 0;
    r.WantsBus = 1;
    r.Speed = Rand() % 3 + B() + 4;
    r.State = 1;
}

void ManWalkToStop(FigurRecord &r)
{
    if (ManClicked(r)) {
        ManDraw(r, 13);
        return;
    }
    ManDraw(r, r.Frame);
    if (StrideDone(r)) {
        r.X -= kManStride;
        FigApplyAvoid(r);
        const int post = PostX();
        if (r.X < post + kManNear) {
            if (r.FootLine < PostFoot() - kWaitAboveFoot)
                FigSetY(r, r.Y + 1);
            const bool onLine = r.FootLine >= PostFoot() - kWaitAboveFoot;
            if ((onLine && Rand() % 9 == 0) || r.X < post + kManLatest) {
                r.X -= 5;
                r.Frame = r.Tick = 0;
                r.State = 2;
            }
        } else if (BusOnStage) {
            // The bus is still coming: he hurries; once it has passed the
            // post he slows down again.
            if (FigurTable[kBus].X > post) {
                if (r.Speed > B() + 1)
                    --r.Speed;
            } else if (r.Speed < B() + 5) {
                ++r.Speed;
            }
        }
    }
    r.AvoidOrder = 0;
}

void ManWait(FigurRecord &r)
{
    if (BusHaltedNow()) {
        StepToDoor(r, -1);
        r.Frame = 3;
        ManDraw(r, 4 + r.Frame);
        return;
    }
    if (ManClicked(r)) {
        ManDraw(r, 13);
        return;
    }
    ManDraw(r, 4 + r.Frame);
    if (FrameStep(r, (Rand() % 3 + 3) * r.Speed) && r.Frame > ManFrameLimit()) {
        r.Frame = 0;
        r.Speed = Rand() % 3 + B() + 5;
        if (Rand() % 5 == 0 && r.FootLine < PostFoot() - kWaitAboveFoot)
            FigSetY(r, r.Y + 1);
    }
}

// The search through his pockets, a frame a call, ends in his newspaper.
void ManSearch(FigurRecord &r)
{
    ManDraw(r, 13 + r.Frame);
    if (++r.Frame < 7)
        return;
    FigPlaySample(r, kNewspaperSample);
    r.X += 12;
    r.Frame = r.Tick = r.WaitCount = 0;
    r.State = 5;
}

void ManRead(FigurRecord &r)
{
    ManDraw(r, 20 + r.Frame);
    if (!FrameStep(r, Rand() % 16 + 9) || r.Frame < 3)
        return;
    r.Frame = 0;
    if (++r.WaitCount > Rand() % 3) {
        r.X -= 12;
        r.WaitCount = 0;
        r.State = 6;
    }
}

void ManFold(FigurRecord &r)
{
    ManDraw(r, 23 + r.Frame);
    const bool chatting = IsOnStage(kStroller);
    if (FrameStep(r, chatting ? Rand() % 4 + 2 : Rand() % 11 + 5) && r.Frame > ManFrameLimit()) {
        r.Frame = 0;
        r.State = r.X > PostX() + 50 ? 1 : 2;
    }
}

void ManOutOfBus(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig001FrameW, kFig001FrameH);
    gMan.sheet = Season - 1;
    r.X = PostX() - Rand() % 21 - 10;
    r.Spacing = 6;
    FigPlaceInLane(r, h - 240, h - 230);
    FigSetPause(r, Rand() % 65 + 32);
    r.Speed = (Rand() % 13 + 12) * B();
    r.Direction = -1;
    r.Avoids = -1;
    r.WantsBus = 0;
    r.State = 101;
}

void ManLookAbout(FigurRecord &r)
{
    ManDraw(r, 4 + r.Frame);
    if (FrameStep(r, r.Speed) && r.Frame > Rand() % 3 + 1) {
        r.Frame = 0;
        if (r.AvoidOrder == 0 && --r.WaitCount < 1) {
            r.Speed = Rand() % 3 + B() + 5;
            r.State = 102;
        } else {
            r.Speed = (Rand() % 13 + 12) * B();
            if (++r.WaitCount > 50) {
                r.WantsBus = 1;
                r.Speed = Rand() % 3 + B() + 5;
                r.State = 2;
            }
        }
    }
    r.AvoidOrder = 0;
}

void ManWalkOff(FigurRecord &r)
{
    ManDraw(r, r.Frame);
    if (StrideDone(r)) {
        r.X -= kManStride;
        FigApplyAvoid(r);
        if (r.X < -85) {
            UnloadFigur(kMan);
            return;
        }
    }
    r.AvoidOrder = 0;
}

// ---------------------------------------------------------------- figure 3

constexpr int kStrollerStride = 21;
constexpr int kStrollerLookEntry = 4;
constexpr int kStrollerLeftEntry = 25;
constexpr int kDoorWindow = 200;  // how far right of the post the door is in reach
constexpr int kKerbSide = 20;     // above the stop's base line by this: the far side

const FrameEntry &StrollerEntry(int k) { return kFig003Frames[k]; }

// The door is in reach: walking she must be on the far side of the pavement
// to turn to it, standing on the near side.
bool StrollerTakesDoor(FigurRecord &r)
{
    const int post = PostX();
    if (!r.WantsBus || !BusHaltedNow() || TimeOfDay == kNight || r.X <= post || r.X >= post + kDoorWindow)
        return false;
    const bool farSide = r.FootLine < PostFoot() - kKerbSide;
    const bool nearSide = r.FootLine > PostFoot() - kKerbSide;
    if ((r.State == 1 && farSide) || (r.State == 2 && nearSide)) {
        r.WaitCount = 0;
        r.Direction = 0;
        r.Avoids = 0;
        r.State = 3;
        return true;
    }
    return false;
}

void StrollerSetUp(FigurRecord &r)
{
    const int h = H();
    const bool night = TimeOfDay == kNight;
    StartCommon(r, kFig003FrameW, kFig003FrameH);
    r.ScriptVar = 0;
    r.X = -90 - Rand() % 16;
    FigPlaceInLane(r, h - 268, h - 235);
    r.Spacing = 7;
    r.Speed = night ? B() + Rand() % 4 + 5 : B() + Rand() % 3 + 4;
    FigSetPause(r, night ? Rand() % 17 : Rand() % 33 + 8);
    r.Direction = 1;
    r.Avoids = 1;
    r.AvoidOrder = 0;
    r.DriftStep = 1;
    r.WantsBus = TimeOfDay == kDay ? 1 : 0;
    r.State = 1;
}

void StrollerStartLook(FigurRecord &r)
{
    r.ScriptVar = 0;
    r.Frame = r.Tick = 0;
    r.Direction = 0;
    r.Avoids = 0;
    r.State = 2;
}

void StrollerWalkRight(FigurRecord &r)
{
    if (StrollerTakesDoor(r)) {
        FigDraw(r, 0, StrollerEntry(kStrollerLookEntry + r.Frame));
        return;
    }
    FigDraw(r, 0, StrollerEntry(r.Frame));
    if (StrideDone(r)) {
        r.X += kStrollerStride;
        FigApplyAvoid(r);
        // While the bus halts she has eyes for nothing else.
        if (!BusHaltedNow() && FigLeftClickIn(r, StrollerEntry(0).w, StrollerEntry(0).h)) {
            FigTakeClick(true);
            FigPlayOwnSound(r);
            r.WaitCount = 0;
            StrollerStartLook(r);
            r.AvoidOrder = 0;
            return;
        }
        bool look = true;
        if (r.ScriptVar == 0) {
            ++r.WaitCount;
            if (r.WaitCount <= Rand() % 26 + 15 || r.X >= W() - 100) {
                if (r.X > W()) {
                    UnloadFigur(kStroller);
                    return;
                }
                if (r.AvoidOrder == 0 && Rand() % 8 == 0)
                    FigDrift(r, Rand() % 5 + 2);
                r.Direction = 1;
                r.Avoids = 1;
                look = false;
            } else {
                r.WaitCount = 0;
                look = !(TimeOfDay == kDay && (Rand() & 3) != 0);
            }
        } else {
            r.WaitCount = 0;
        }
        if (look)
            StrollerStartLook(r);
    }
    r.AvoidOrder = 0;
}

void StrollerLook(FigurRecord &r)
{
    if (StrollerTakesDoor(r)) {
        FigDraw(r, 0, StrollerEntry(kStrollerLookEntry + r.Frame));
        return;
    }
    const bool day = TimeOfDay == kDay;
    r.Direction = 0;
    r.Avoids = 0;
    FigDraw(r, 0, StrollerEntry(kStrollerLookEntry + r.Frame));
    const int tickLimit = r.Speed + (day ? Rand() % 7 : Rand() % 13);
    const int frameLimit = day ? Rand() % 21 + 4 : Rand() % 15 + 10;
    if (FrameStep(r, tickLimit) && r.Frame > frameLimit) {
        r.Frame = 0;
        r.WaitCount = 0;
        r.State = Rand() % 3 != 0 ? 4 : 1;
    }
}

void StrollerToDoor(FigurRecord &r)
{
    StepToDoor(r, -1);
    FigDraw(r, 0, StrollerEntry(kStrollerLookEntry + r.Frame));
}

void StrollerWalkLeft(FigurRecord &r)
{
    FigDraw(r, 0, StrollerEntry(kStrollerLeftEntry + r.Frame));
    if (StrideDone(r)) {
        r.X -= kStrollerStride;
        FigApplyAvoid(r);
        if (r.X < -100) {
            r.WaitCount = 0;
            const int odds = TimeOfDay == kDay ? 2 : 4;
            if (!PhaseChangeDue && Rand() % odds != 0) {
                r.Direction = 1;
                r.Avoids = 1;
                r.State = 1;
            } else {
                UnloadFigur(kStroller);
                return;
            }
        } else if (r.ScriptVar == 0 &&
                   ++r.WaitCount <= (TimeOfDay == kDay ? Rand() % 86 + 15 : Rand() % 36 + 15)) {
            if (r.AvoidOrder == 0 && Rand() % 8 == 0)
                FigDrift(r, Rand() % 5 + 2);
            r.Direction = -1;
            r.Avoids = -1;
        } else {
            r.WaitCount = 0;
            StrollerStartLook(r);
        }
    }
    r.AvoidOrder = 0;
}

void StrollerOutOfBus(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig003FrameW, kFig003FrameH);
    r.ScriptVar = 0;
    r.X = PostX() + Rand() % 21 + 10;
    FigPlaceInLane(r, h - 243, h - 233);
    r.Spacing = 6;
    r.Speed = Rand() % 5 + B() + 4;
    FigSetPause(r, Rand() % 33 + 16);
    r.Direction = 0;
    r.Avoids = 0;
    r.DriftStep = 1;
    r.WantsBus = 0;
    r.State = 101;
}

void StrollerLookAbout(FigurRecord &r)
{
    const int h = H();
    FigDraw(r, 0, StrollerEntry(kStrollerLookEntry + r.Frame));
    if (!FrameStep(r, 3 * r.Speed) || r.Frame <= Rand() % 11 + 4)
        return;
    r.Frame = 0;
    if (++r.WaitCount <= Rand() % 17 + 8)
        return;
    r.WaitCount = 0;
    r.LaneYMin = h - (TimeOfDay == kNight ? 220 : 200) - r.FrameH;
    r.LaneYMax = h - r.FrameH - 160;
    const bool left = Rand() % 2 == 0;
    r.Direction = r.Avoids = left ? -1 : 1;
    r.State = left ? 4 : 1;
}

// ---------------------------------------------------------------- figure 5

constexpr int kHeavy = 5;
constexpr int kHeavyStride = 21;
constexpr int kHeavyStopEntry = 8;
constexpr int kHeavyFidgetEntry = 19;
constexpr int kHeavyWaitEntry = 29;
constexpr int kHeavyExerciseEntry = 39;
constexpr int kHeavyLeaveEntry = 49;

struct HeavyState {
    int gait = 0;  // 0, or 4: hands in his pockets
};
HeavyState gHeavy;

const FrameEntry &HeavyEntry(int k) { return kFig005Frames[k]; }

bool HeavyClicked(FigurRecord &r, int entry)
{
    if (BusHaltedNow() || !FigLeftClickIn(r, HeavyEntry(entry).w, HeavyEntry(entry).h))
        return false;
    FigTakeClick(true);
    FigPlayOwnSound(r);
    r.Frame = r.Tick = 0;
    return true;
}

void HeavySetUp(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig005FrameW, kFig005FrameH);
    gHeavy.gait = (Rand() & 1) * 4;
    r.DriftStep = 1;
    r.ScriptVar = 0;
    r.Speed = Rand() % 3 + B() + 2;
    r.X = -100 - Rand() % 21;
    FigPlaceInLane(r, h - 260, h - 253);
    r.Spacing = 7;
    r.Direction = 1;
    r.Avoids = 1;
    r.AvoidOrder = 0;
    FigSetPause(r, Rand() % 209 + 48);
    r.WantsBus = 1;
    r.State = 1;
}

void HeavyWalkToStop(FigurRecord &r)
{
    FigDraw(r, 0, HeavyEntry(gHeavy.gait + r.Frame));
    if (StrideDone(r)) {
        FigApplyAvoid(r);
        if (r.X > PostX() - 95) {
            r.State = 2;
        } else {
            if (Rand() % 4 == 0)
                gHeavy.gait = (Rand() & 1) * 4;
            r.X += kHeavyStride;
        }
    }
    r.AvoidOrder = 0;
}

void HeavyStop(FigurRecord &r)
{
    FigDraw(r, 0, HeavyEntry(kHeavyStopEntry + r.Frame));
    if (FigTick(r, (Rand() & 3) + 3)) {
        r.Frame = 0;
        r.Gait = Rand() % 41 + 24;  // calls of patience, used up one in thirty
        r.State = 3;
    }
}

void HeavyWait(FigurRecord &r)
{
    if (BusHaltedNow()) {
        r.Frame = 2;
        if (r.FootLine < PostFoot() + kDoorBelowFoot)
            StepToDoor(r, 2);
        FigDraw(r, 0, HeavyEntry(kHeavyWaitEntry + r.Frame));
        return;
    }
    if (HeavyClicked(r, kHeavyWaitEntry)) {
        r.WaitCount = Rand() % 3 + 1;
        r.State = 100;
        FigDraw(r, 0, HeavyEntry(kHeavyFidgetEntry));
        return;
    }
    FigDraw(r, 0, HeavyEntry(kHeavyWaitEntry + r.Frame));
    if (FrameStep(r, Rand() % 14 + r.Speed + 6) && r.Frame > Rand() % 6 + 4)
        r.Frame = 0;
    if (Rand() % 30 == 0)
        --r.Gait;
    if (r.Gait < 1) {
        r.Frame = 0;
        r.WaitCount = (Rand() & 1) + 1;
        r.Gait = Rand() % 49 + 16;
        r.State = 100;
    }
}

// States 100 and 200: the two fidgets; the bus ends either.
void HeavyFidget(FigurRecord &r, int first, int tickLimit, bool counts)
{
    if (BusHaltedNow()) {
        r.WantsBus = 1;
        r.Frame = 0;
        r.State = 3;
        FigDraw(r, 0, HeavyEntry(kHeavyWaitEntry));
        return;
    }
    // Drawn before the click is taken: a click never makes him blink.
    FigDraw(r, 0, HeavyEntry(first + r.Frame));
    if (HeavyClicked(r, first)) {
        if (r.State == 100)
            r.State = (Rand() & 3) != 0 ? 200 : 3;
        else
            r.State = Rand() % 3 != 0 ? 100 : 210;
        return;
    }
    if (FrameStep(r, tickLimit) && r.Frame > Rand() % 5 + 5) {
        r.Frame = 0;
        if (counts && --r.WaitCount < 1)
            r.State = 3;
    }
}

void HeavyGiveUp(FigurRecord &r)
{
    r.WantsBus = 0;
    FigDraw(r, 0, HeavyEntry(kHeavyLeaveEntry + r.Frame));
    if (StrideDone(r)) {
        r.X -= kHeavyStride;
        FigApplyAvoid(r);
        if (r.X < -105) {
            UnloadFigur(kHeavy);
            return;
        }
    }
    r.AvoidOrder = 0;
}

void HeavyOutOfBus(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig005FrameW, kFig005FrameH);
    r.ScriptVar = 0;
    r.X = PostX() + Rand() % 21 + 20;
    FigPlaceInLane(r, h - 263, h - 255);
    r.Spacing = 8;
    r.Speed = (Rand() & 3) + B() + 4;
    FigSetPause(r, Rand() % 97 + 48);
    r.Direction = 0;
    r.Avoids = 0;
    r.AvoidOrder = 0;
    r.DriftStep = -1;
    r.WantsBus = 0;
    r.State = 901;
}

void HeavyLookAbout(FigurRecord &r)
{
    FigDraw(r, 0, HeavyEntry(kHeavyWaitEntry + r.Frame));
    if (!FrameStep(r, Rand() % 18 + r.Speed + 12) || r.Frame <= 9)
        return;
    r.Frame = 0;
    if (!BusHaltedNow() && FigLeftClickIn(r, HeavyEntry(kHeavyWaitEntry).w, HeavyEntry(kHeavyWaitEntry).h)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
    }
    r.Direction = 1;
    r.Avoids = 1;
    r.LaneYMax = r.Y;
    r.LaneYMin = H() - r.FrameH - 200;
    gHeavy.gait = (Rand() & 1) * 4;
    r.X += 16;
    r.State = 902;
}

void HeavyWalkOff(FigurRecord &r)
{
    FigDraw(r, 0, HeavyEntry(gHeavy.gait + r.Frame));
    if (StrideDone(r)) {
        r.X += kHeavyStride;
        FigApplyAvoid(r);
        if (!BusHaltedNow() && FigLeftClickIn(r, HeavyEntry(0).w, HeavyEntry(0).h)) {
            FigTakeClick(true);
            FigPlayOwnSound(r);
        }
        if (r.X > W()) {
            UnloadFigur(kHeavy);
            return;
        }
        if (r.ScriptVar != 0) {
            r.Direction = r.AvoidOrder = r.ScriptVar = r.Avoids = 0;
            r.X -= kHeavyStride;
            r.State = 901;
            return;
        }
        if (Rand() % 3 == 0) {
            gHeavy.gait = (Rand() & 1) * 4;
            r.Speed = Rand() % 3 + B() + 5;
        }
        if (r.AvoidOrder == 0 && Rand() % 2 == 0)
            FigDrift(r, Rand() % 5 + 4);
        r.Direction = 1;
        r.Avoids = 1;
    }
    r.AvoidOrder = 0;
}

// ---------------------------------------------------------------- figure 10

constexpr int kYoung = 10;
constexpr int kYoungStride = 13;
constexpr int kSkipStyle = 9;
constexpr int kYoungActEntry = 4;
constexpr int kYoungWaitEntry = 13;
constexpr int kYoungDoorEntry = 2;
constexpr int kYoungOutOfBusW = 64;

struct YoungState {
    int passesBy = 0;  // 0 goes to the stop, 1 walks past it
    int style = 0;     // 0, or 9: the walk with a skip in it
};
YoungState gYoung;

const FrameEntry &YoungEntry(int k) { return kFig010Frames[k]; }

void YoungSetUp(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig010FrameW, kFig010FrameH);
    gYoung.passesBy = Rand() & 1;
    r.ScriptVar = 0;
    gYoung.style = 0;
    r.Spacing = gYoung.passesBy ? 24 : 7;
    FigPlaceInLane(r, gYoung.passesBy ? h - 260 : h - 248, h - 240);
    r.X = W() + Rand() % 6;
    r.Speed = Rand() % 3 + B() + 6;
    FigSetPause(r, Rand() % 49 + 48);
    r.AvoidOrder = 0;
    r.Direction = -1;
    r.Avoids = -1;
    r.DriftStep = 1;
    r.WantsBus = gYoung.passesBy ? 0 : 1;
    r.State = 1;
}

void YoungWalk(FigurRecord &r)
{
    // Any click on him switches his walk, on any call and even while the
    // bus halts; on a stride it sounds as well.
    const bool clicked = FigLeftClickIn(r, YoungEntry(0).w, YoungEntry(0).h);
    if (clicked) {
        FigTakeClick(true);
        gYoung.style = gYoung.style == 0 ? kSkipStyle : 0;
    }
    FigDraw(r, 0, YoungEntry(gYoung.style + r.Frame));
    if (StrideDone(r)) {
        if (clicked)
            FigPlayOwnSound(r);
        gYoung.style = Rand() % 7 == 0 ? kSkipStyle : 0;
        r.X -= kYoungStride;
        FigApplyAvoid(r);
        if (gYoung.passesBy == 0) {
            if (r.X < PostX() + 130 + Rand() % 41) {
                gYoung.style = 0;
                r.X -= 27;
                r.Frame = r.Tick = 0;
                r.State = 2;
            }
        } else if (r.AvoidOrder == 0 && Rand() % 8 == 0) {
            FigDrift(r, Rand() % 5 + 2);
        }
        if (r.X < -64) {
            UnloadFigur(kYoung);
            return;
        }
    }
    r.AvoidOrder = 0;
}

void YoungWait(FigurRecord &r)
{
    if (BusHaltedNow()) {
        r.Frame = 0;
        r.State = 3;
        FigDraw(r, 0, YoungEntry(kYoungDoorEntry));
        return;
    }
    if (FigLeftClickIn(r, YoungEntry(kYoungActEntry).w, YoungEntry(kYoungActEntry).h)) {
        FigTakeClick(true);
        FigPlayOwnSound(r);
        r.Frame = r.Tick = 0;
        r.Gait = Rand() % 6;
        r.State = 10;
        FigDraw(r, 0, YoungEntry(kYoungActEntry));
        return;
    }
    FigDraw(r, 0, YoungEntry(kYoungWaitEntry + r.Frame));
    if (FrameStep(r, (Rand() % 5 + 4) * r.Speed) && r.Frame > (Rand() & 7) + 4)
        r.Frame = Rand() % 5;
}

void YoungAct(FigurRecord &r)
{
    if (BusHaltedNow()) {
        r.Frame = 0;
        r.State = 3;
        FigDraw(r, 0, YoungEntry(kYoungDoorEntry));
        return;
    }
    FigDraw(r, 0, YoungEntry(kYoungActEntry + r.Frame));
    if (!FrameStep(r, 3 * r.Speed))
        return;
    if (r.Frame > Rand() % 3 + 2)
        r.Frame = Rand() % 5;
    if (--r.Gait < 1) {
        r.Frame = 0;
        r.State = 2;
    }
}

void YoungToDoor(FigurRecord &r)
{
    StepToDoor(r, -1);
    FigDraw(r, 0, YoungEntry(kYoungDoorEntry));
}

void YoungOutOfBus(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kYoungOutOfBusW, kFig010FrameH);
    r.X = PostX() - Rand() % 21 - 74;
    r.Spacing = 9;
    FigPlaceInLane(r, h - 248, h - 238);
    FigSetPause(r, Rand() % 65 + 32);
    r.Speed = (Rand() % 13 + 6) * B();
    r.Direction = 0;
    r.Avoids = -1;
    r.WantsBus = 0;
    r.WaitCount = Rand() % 10 + 1;
    r.DriftStep = -1;
    r.State = 101;
}

void YoungLookAbout(FigurRecord &r)
{
    FigDraw(r, 0, YoungEntry(kYoungActEntry + r.Frame));
    if (FrameStep(r, r.Speed)) {
        if (FigLeftClickIn(r, YoungEntry(0).w, YoungEntry(0).h)) {
            FigTakeClick(false);
            FigPlayOwnSound(r);
        }
        if (r.Frame > Rand() % 3 + 2) {
            r.Frame = Rand() & 3;
            --r.WaitCount;
        }
    }
    if (r.WaitCount < 1 && r.AvoidOrder == 0) {
        r.LaneYMax = r.Y;
        r.LaneYMin = H() - r.FrameH - 220;
        r.Direction = r.Avoids = -1;
        r.Frame = r.Tick = 0;
        r.Speed = (Rand() & 1) + B() + 2;
        r.State = 102;
    }
    r.AvoidOrder = 0;
}

void YoungWalkOff(FigurRecord &r)
{
    FigDraw(r, 0, YoungEntry(r.Frame));
    if (StrideDone(r)) {
        r.X -= kYoungStride;
        FigApplyAvoid(r);
        if (FigLeftClickIn(r, YoungEntry(0).w, YoungEntry(0).h)) {
            FigTakeClick(false);
            FigPlayOwnSound(r);
        }
        if (r.ScriptVar != 0) {
            r.ScriptVar = 0;
            r.X -= 27;
            r.WaitCount = Rand() % 13 + 6;
            r.State = 101;
        } else if (r.X < -100) {
            UnloadFigur(kYoung);
            return;
        }
    }
    r.AvoidOrder = 0;
}

// ---------------------------------------------------------------- figure 13

constexpr int kBriefcase = 13;
constexpr int kBriefcaseStride = 15;
constexpr int kBriefcaseWindowEnd = 120;
constexpr int kCoughSample = 14;
constexpr int kColdActEntry = 8;
constexpr int kBriefcaseDoorEntry = 12;
constexpr int kBendsEntry = 13;

struct BriefcaseState {
    int sheet = 0;
    int stopDistance = 10;  // right of the post; 105 and more may be stepped over
};
BriefcaseState gBriefcase;

const FrameEntry &BriefcaseEntry(int k) { return kFig013Frames[k]; }

void BriefcaseSetUp(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig013FrameW, kFig013FrameH);
    gBriefcase.sheet = 0;
    gBriefcase.stopDistance = Rand() % 101 + 10;
    r.X = Rand() % 15 - 70;
    r.Spacing = 6;
    FigPlaceInLane(r, h - 251, h - 241);
    FigSetPause(r, TimeOfDay == kDusk ? Rand() % 9 + 184 : Rand() % 129 + 64);
    r.Direction = 1;
    r.Avoids = 0;
    r.WantsBus = 1;
    r.Speed = Rand() % 3 + B() + 3;
    r.DriftStep = -1;
    r.WaitCount = Rand() % 10 + 1;
    r.State = 1;
}

void BriefcaseWalkToStop(FigurRecord &r)
{
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(r.Frame));
    if (StrideDone(r)) {
        r.X += kBriefcaseStride;
        const int post = PostX();
        if (r.X > post + gBriefcase.stopDistance && r.X < post + kBriefcaseWindowEnd) {
            r.State = 2;
        } else if (r.X > W()) {
            UnloadFigur(kBriefcase);
            return;
        }
    }
    r.AvoidOrder = 0;
}

// True when the bus halts: the figure turns to the door.
bool BriefcaseToDoorNow(FigurRecord &r)
{
    if (!BusHaltedNow())
        return false;
    r.Frame = 0;
    r.State = 4;
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(kBriefcaseDoorEntry));
    return true;
}

bool BriefcaseClicked(FigurRecord &r)
{
    if (BusHaltedNow() || !FigLeftClickIn(r, BriefcaseEntry(0).w, BriefcaseEntry(0).h))
        return false;
    FigTakeClick(true);
    r.Frame = r.Tick = 0;
    if (Sound && Rand() % 3 == 0) {
        FigPlaySample(r, kCoughSample);
        r.State = 3;
    } else {
        r.State = 5;
    }
    return true;
}

void BriefcaseDrawActStart(FigurRecord &r)
{
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(r.State == 3 ? kColdActEntry : kBendsEntry));
}

void BriefcaseWait(FigurRecord &r)
{
    if (BriefcaseToDoorNow(r))
        return;
    if (BriefcaseClicked(r)) {
        BriefcaseDrawActStart(r);
        return;
    }
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(4 + r.Frame));
    if (!FrameStep(r, (Rand() % 6 + 3) * r.Speed) || r.Frame <= (Rand() & 3))
        return;
    r.Frame = 0;
    const int odds = Season == kWinter ? 5 : 17;
    if (Rand() % odds == 0) {
        if (Sound && Rand() % 9 == 0)
            FigPlaySample(r, kCoughSample);
        r.State = 3;
    }
}

// The acts in the cold (state 3) and the knee bends (state 5).
void BriefcaseAct(FigurRecord &r, int first, int frames, int tickLimit)
{
    if (BriefcaseToDoorNow(r))
        return;
    if (r.State == 3 && BriefcaseClicked(r)) {
        BriefcaseDrawActStart(r);
        return;
    }
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(first + r.Frame));
    if (FrameStep(r, tickLimit) && r.Frame >= frames) {
        r.Frame = 0;
        r.State = 2;
    }
}

void BriefcaseToDoor(FigurRecord &r)
{
    StepToDoor(r, -1);
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(kBriefcaseDoorEntry));
}

void BriefcaseOutOfBus(FigurRecord &r)
{
    const int h = H();
    StartCommon(r, kFig013FrameW, kFig013FrameH);
    gBriefcase.sheet = 0;
    r.X = PostX() + Rand() % 16 + 20;
    r.Spacing = 6;
    FigPlaceInLane(r, h - 244, h - 236);
    FigSetPause(r, Rand() % 65 + 32);
    r.Speed = (Rand() % 9 + 8) * B();
    r.Direction = 0;
    r.Avoids = 1;
    r.WantsBus = 0;
    r.DriftStep = -1;
    r.WaitCount = Rand() % 10 + 1;
    r.State = 101;
}

void BriefcaseLookAbout(FigurRecord &r)
{
    const int h = H();
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(4 + r.Frame));
    if (FrameStep(r, r.Speed) && r.Frame > (Rand() & 3)) {
        r.Frame = 0;
        if (r.AvoidOrder == 0)
            --r.WaitCount;
        if (r.WaitCount < 1) {
            r.LaneYMin = h - r.FrameH - 220;
            r.LaneYMax = h - r.FrameH - 160;
            r.Direction = 1;
            r.Avoids = 1;
            r.Speed = Rand() % 3 + B() + 3;
            r.X += 4;
            r.State = 102;
        } else {
            r.Speed = (Rand() % 9 + 8) * B();
        }
    }
    r.AvoidOrder = 0;
}

void BriefcaseWalkOff(FigurRecord &r)
{
    FigDraw(r, gBriefcase.sheet, BriefcaseEntry(r.Frame));
    if (StrideDone(r)) {
        r.X += kBriefcaseStride;
        FigApplyAvoid(r);
        if (r.ScriptVar != 0) {
            r.ScriptVar = 0;
            r.Direction = 0;
            r.Avoids = 1;
            r.WaitCount = Rand() % 3 + 1;
            r.Speed = (Rand() % 9 + 8) * B();
            r.State = 101;
        } else if (r.X > W()) {
            UnloadFigur(kBriefcase);
            return;
        } else if (r.AvoidOrder == 0 && Rand() % 4 == 0) {
            FigDrift(r, Rand() % 15 + 2);
        }
    }
    r.AvoidOrder = 0;
}

}  // namespace

void Figur001Script()
{
    FigurRecord &r = FigurTable[kMan];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: ManSetUp(r); return;
    case 1: ManWalkToStop(r); return;
    case 2: ManWait(r); return;
    case 4: ManSearch(r); return;
    case 5: ManRead(r); return;
    case 6: ManFold(r); return;
    case 100:
        ManOutOfBus(r);
        ManLookAbout(r);
        return;
    case 101: ManLookAbout(r); return;
    case 102: ManWalkOff(r); return;
    default: return;
    }
}

void Figur003Script()
{
    FigurRecord &r = FigurTable[kStroller];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: StrollerSetUp(r); return;
    case 1: StrollerWalkRight(r); return;
    case 2: StrollerLook(r); return;
    case 3: StrollerToDoor(r); return;
    case 4: StrollerWalkLeft(r); return;
    case 100:
        StrollerOutOfBus(r);
        StrollerLookAbout(r);
        return;
    case 101: StrollerLookAbout(r); return;
    default: return;
    }
}

void Figur005Script()
{
    FigurRecord &r = FigurTable[kHeavy];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: HeavySetUp(r); return;
    case 1: HeavyWalkToStop(r); return;
    case 2: HeavyStop(r); return;
    case 3: HeavyWait(r); return;
    case 100: HeavyFidget(r, kHeavyFidgetEntry, Rand() % 3 + r.Speed + 2, true); return;
    case 200: HeavyFidget(r, kHeavyExerciseEntry, Rand() % 21 + r.Speed + 8, false); return;
    case 210: HeavyGiveUp(r); return;
    case 900:
        HeavyOutOfBus(r);
        HeavyLookAbout(r);
        return;
    case 901: HeavyLookAbout(r); return;
    case 902: HeavyWalkOff(r); return;
    default: return;
    }
}

void Figur010Script()
{
    FigurRecord &r = FigurTable[kYoung];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: YoungSetUp(r); return;
    case 1: YoungWalk(r); return;
    case 2: YoungWait(r); return;
    case 3: YoungToDoor(r); return;
    case 10: YoungAct(r); return;
    case 100:
        YoungOutOfBus(r);
        YoungLookAbout(r);
        return;
    case 101: YoungLookAbout(r); return;
    case 102: YoungWalkOff(r); return;
    default: return;
    }
}

void Figur013Script()
{
    FigurRecord &r = FigurTable[kBriefcase];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: BriefcaseSetUp(r); return;
    case 1: BriefcaseWalkToStop(r); return;
    case 2: BriefcaseWait(r); return;
    case 3: BriefcaseAct(r, kColdActEntry, 4, (Rand() % 7 + 2) * r.Speed); return;
    case 4: BriefcaseToDoor(r); return;
    case 5: BriefcaseAct(r, kBendsEntry, 11, Rand() % 5 + 5); return;
    case 100:
        BriefcaseOutOfBus(r);
        BriefcaseLookAbout(r);
        return;
    case 101: BriefcaseLookAbout(r); return;
    case 102: BriefcaseWalkOff(r); return;
    default: return;
    }
}

void ResetFigur001() { gMan = {}; }
void ResetFigur005() { gHeavy = {}; }
void ResetFigur010() { gYoung = {}; }
void ResetFigur013() { gBriefcase = {}; }
