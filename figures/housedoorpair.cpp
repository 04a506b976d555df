// Figure 33, the couple of the house at door 2, one of them on stage at a
// time. By day she may walk the far pavement with a street act of her own;
// otherwise one of them walks in from the left, climbs the steps of door 2 and
// goes in, or, when the house-door globals say that person is inside, comes
// out again and walks off. The globals outlive the figure, so the couple's
// story runs on from one appearance to the next.
#include "figures/figures.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig033_frames.h"

namespace {

constexpr int kPair = 33;
constexpr int kDoorSlot = 1;
constexpr int kDoorSample = 22;
constexpr char kSecondName[] = "Herr Lindemann";

// The doors the couple knows, {x, y, w, h} in scene coordinates. They only
// ever go in at door 2; 0 and 5 record which way a person left.
struct DoorPlace {
    int x, y, w, h;
};
constexpr DoorPlace kDoors[6] = {{14, 11, 8, 15}, {93, 11, 0, 15}, {429, 17, 0, 15},
                                 {779, 18, 0, 15}, {914, 18, 8, 15}, {9999, 9999, 0, 0}};
constexpr int kHomeDoor = 2;
constexpr int kLeftAway = 0, kRightAway = 5;

// Frame-table runs.
constexpr int kStreetRight = 136, kStandPlain = 172, kStandPhone = 176;
constexpr int kStretch = 178, kStretchFrames = 42;
constexpr int kPhoneCall = 220, kPhoneCallFrames = 14;
constexpr int kStreetLeft = 234;
constexpr int kComeOut = 0, kComeOutFrames = 20;
constexpr int kStepDown = 20;
constexpr int kLookAboutFirst = 24;
constexpr int kAwayLeft = 32, kLookLeft = 38, kAwayRight = 46, kLookRight = 52;
constexpr int kToDoor = 60, kStandLook = 72, kTurn = 81, kClimb = 88, kClimbLookFirst = 33;
constexpr int kGoIn = 102, kGoInFrames = 17;

constexpr int kWalkFrames6 = 6;
constexpr int kStreetStride = 25, kDoorStride = 31;
constexpr int kClickW = 72, kClickH = 84;
constexpr int kSheetWaitCalls = 400;
constexpr int kBehindDoorCalls = 1000;
constexpr int kInsideCalls = 30;
constexpr int kNoStopBeforeDoor = 50;
constexpr int kLightsOn = -128;  // the controller's "on for good"
constexpr int kLeftExitX = -100;

// First person's states; the second person's are these plus 810 (set-up and
// wait) or 1000 (the rest).
enum State {
    kChoose = 0,
    kStreetSetUp = 1,
    kWalkRight = 2,
    kWalkLeft = 3,
    kStand = 4,
    kStretchAct = 5,
    kPhoneAct = 6,
    kDoorSetUp = 90,
    kWaitSheet = 91,
    kWalkToDoor = 100,
    kStopAndLook = 102,
    kTurnToDoor = 103,
    kUpToDoor = 104,
    kGoInState = 105,
    kInside = 106,
    kBehindDoor = 200,
    kComeOutState = 201,
    kDownFromDoor = 202,
    kWalkAwayRight = 203,
    kLookAwayRight = 204,
    kWalkAwayLeft = 250,
    kLookAwayLeft = 251,
};
constexpr int kSecondShort = 810;   // 900, 901
constexpr int kSecondOffset = 1000;  // 1100 and up

// What the pair keeps from one appearance to the next.
struct PairState {
    int door = kHomeDoor;
    int doorX = 0, doorY = 0, doorBase = 0;
    int fromLeft = 0;   // -1 from the left edge, 0 out of a door
    int pose = 0;       // added to the frame-table entry
    int variant = 0;    // of the street act
};
PairState gPair;

bool Second(int state) { return state == kDoorSetUp + kSecondShort || state == kWaitSheet + kSecondShort ||
                                state >= kWalkToDoor + kSecondOffset; }

int &HouseDoor(bool second) { return second ? Figur033HouseDoor2 : Figur033HouseDoor1; }

// The state for this person: the first person's number or the second's.
int For(bool second, int state)
{
    if (!second)
        return state;
    return state <= kWaitSheet ? state + kSecondShort : state + kSecondOffset;
}

bool Weekend() { return DayOfWeek == 6 || DayOfWeek == 0; }

int NormalSpeed() { return Rand() % 3 + FigureSpeedBase() + 6; }
int LookingSpeed() { return Rand() % 25 + FigureSpeedBase() + 12; }

// One frame of a run; true when its last frame has ended (Frame back to 0).
bool Advance(FigurRecord &r, int limit, int frames)
{
    if (!FigTick(r, limit))
        return false;
    if (++r.Frame < frames)
        return false;
    r.Frame = 0;
    return true;
}

// A new frame has begun (Frame moved on this call).
bool Stepped(FigurRecord &r, int limit, int frames, bool *cycleEnded)
{
    *cycleEnded = false;
    if (!FigTick(r, limit))
        return false;
    if (++r.Frame >= frames) {
        r.Frame = 0;
        *cycleEnded = true;
    }
    return true;
}

void Wander(FigurRecord &r)
{
    if (r.AvoidOrder == 0)
        FigDrift(r, Rand() % 5 + 2);
}

void Leave() { UnloadFigur(kPair); }

// ---------------------------------------------------------------- her street act

int RightPose() { return gPair.variant == 0 ? Rand() % 4 * 6 : (Rand() % 2 + 4) * 6; }
int LeftPose() { return gPair.variant == 0 ? (Rand() % 2 + 2) * 6 : Rand() % 2 * 6; }

void StreetSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.X = -90;
    r.FrameW = 72;
    r.FrameH = 80;
    r.Spacing = 10;
    r.Speed = Rand() % 4 + FigureSpeedBase() + 3;
    FigPlaceInLane(r, h - 300, h - 240);
    r.AvoidOrder = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Weekend() ? Rand() % 49 + 16 : Rand() % 81 + 48);
    r.WaitCount = r.Frame = r.Tick = 0;
    gPair.variant = Rand() % 4 == 0 ? 1 : 0;
    gPair.pose = RightPose();
    r.State = kWalkRight;
}

// A clamp at the lane's edge stops the walk: she stands.
bool StopAtClamp(FigurRecord &r)
{
    if (r.ScriptVar == 0)
        return false;
    r.WaitCount = r.ScriptVar = 0;
    r.Direction = r.Avoids = 0;
    r.AvoidOrder = 0;
    r.State = kStand;
    return true;
}

void StreetWalkRight(FigurRecord &r)
{
    r.Direction = r.Avoids = 1;
    FigDraw(r, 0, kFig033Frames[kStreetRight + gPair.pose + r.Frame]);
    if (!Advance(r, r.Speed, kWalkFrames6))
        return;
    FigApplyAvoid(r);
    if (StopAtClamp(r))
        return;
    if (Rand() % 4 == 0)
        gPair.pose = RightPose();
    r.X += kStreetStride;
    if (r.X > SceneWidth()) {
        Leave();
        return;
    }
    if (FigLeftClickIn(r, kClickW, kClickH)) {
        FigPlayOwnSound(r);
        r.X -= kStreetStride;
        r.Frame = 0;
        r.State = kStand;
        FigTakeClick(true);
    }
}

void StreetWalkLeft(FigurRecord &r)
{
    r.Direction = r.Avoids = -1;
    FigDraw(r, 0, kFig033Frames[kStreetLeft + gPair.pose + r.Frame]);
    if (!Advance(r, r.Speed, kWalkFrames6))
        return;
    FigApplyAvoid(r);
    if (StopAtClamp(r))
        return;
    if (Rand() % 4 == 0)
        gPair.pose = LeftPose();
    r.X -= kStreetStride;
    if (r.X < -r.SheetW)
        Leave();
}

int ActTicks(int spread) { return (Rand() % spread + 6) * (FigureSpeedBase() + 3); }

void TurnLeft(FigurRecord &r, int step)
{
    gPair.pose = LeftPose();
    r.Direction = -1;
    r.Avoids = 0;
    r.X -= step;
    r.State = kWalkLeft;
}

void TurnRight(FigurRecord &r, int step)
{
    r.Direction = 1;
    r.Avoids = 0;
    r.X += step;
    r.State = kWalkRight;
}

void StreetStand(FigurRecord &r)
{
    FigDraw(r, 0, kFig033Frames[(gPair.variant == 0 ? kStandPlain : kStandPhone) + r.Frame]);
    if (!Advance(r, ActTicks(7), 2))
        return;
    if (Rand() % 4 != 0 && !PhaseChangeDue) {
        if (Rand() % 3 != 0 && !PhaseChangeDue)
            r.State = gPair.variant == 0 ? kStretchAct : kPhoneAct;
        else
            TurnLeft(r, 20);
        return;
    }
    TurnRight(r, kStreetStride);
}

void StretchAct(FigurRecord &r)
{
    FigDraw(r, 0, kFig033Frames[kStretch + r.Frame]);
    if (!Advance(r, ActTicks(7), kStretchFrames))
        return;
    if (Rand() % 2 == 0)
        TurnRight(r, 28);
    else if (Rand() % 3 != 0)
        TurnLeft(r, 20);
}

void PhoneAct(FigurRecord &r)
{
    FigDraw(r, 0, kFig033Frames[kPhoneCall + r.Frame]);
    if (!Advance(r, ActTicks(11), kPhoneCallFrames))
        return;
    if (Rand() % 2 == 0)
        TurnRight(r, 28);
    else if (!(Rand() % 3 == 0 && !PhaseChangeDue))
        TurnLeft(r, 20);
}

// ---------------------------------------------------------------- the door act

void TakeDoor(int door)
{
    gPair.door = door;
    gPair.doorX = kDoors[door].x;
    gPair.doorY = kDoors[door].y;
    gPair.doorBase = kDoors[door].y + kDoors[door].h;
}

bool AskForSheet(bool second, const char *kind, int door)
{
    char name[kFigurNameLen];
    StrPrintfN(name, sizeof(name), "FIG%03d_%02d_%02d_%s%s", kPair, TimeOfDay, door, second ? "A" : "", kind);
    return LoadFigurPlus(kPair, kDoorSlot, name) != 0;
}

void DoorSetUp(FigurRecord &r, bool second)
{
    const int h = SceneHeight();
    r.FrameW = 50;
    r.FrameH = 78;
    r.DriftStep = 1;
    r.Spacing = 4;
    r.AvoidOrder = r.ScriptVar = 0;
    FigSetPause(r, Rand() % 65 + 64);
    gPair.pose = 0;
    r.Speed = NormalSpeed();
    FigPlaceInLane(r, h - r.FrameH - 220, h - r.FrameH - 185);
    if (second)
        StrCopy(r.Name, kSecondName);
    else
        FigSetName(r);
    r.Frame = r.Tick = 0;
    const int inside = HouseDoor(second);
    if (inside != 0) {
        gPair.fromLeft = 0;
        gPair.door = inside;
        if (inside != kHomeDoor || !AskForSheet(second, "G", inside)) {
            Leave();
            return;
        }
        TakeDoor(inside);
        r.Y = gPair.doorY;
        r.FrameH = 99;
        r.X = gPair.doorX - 18;
        r.FootLine = r.Y + r.FrameH;
        r.Direction = r.Avoids = 2;
        r.State = For(second, kWaitSheet);
        return;
    }
    gPair.fromLeft = -1;
    gPair.door = kHomeDoor;
    if (!AskForSheet(second, "K", kHomeDoor)) {
        Leave();
        return;
    }
    r.Direction = r.Avoids = 1;
    r.X = Rand() % 11 - 100;
    TakeDoor(kHomeDoor);
    // The windows by door 2 light up: someone is expected home.
    LichtSteuerung(5, kLightsOn);
    LichtSteuerung(6, kLightsOn);
    LichtSteuerung(9, kLightsOn);
    r.State = For(second, kWaitSheet);
}

void WaitForSheet(FigurRecord &r, bool second)
{
    if (r.Sheets[kDoorSlot] && r.Masks[kDoorSlot]) {
        r.Frame = 0;
        r.State = For(second, gPair.fromLeft == -1 ? kWalkToDoor : kBehindDoor);
        return;
    }
    if (++r.Frame > kSheetWaitCalls)
        Leave();
}

void DoorSound(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kDoorSample);
}

// The click, the stop and the wander belong to the end of a stride: taken
// mid-stride, a click would set her back a stride she never made.
void WalkToDoor(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[kToDoor + gPair.pose + r.Frame]);
    if (!Advance(r, r.Speed, kWalkFrames6))
        return;
    r.X += kDoorStride;
    if (Rand() % 2 == 0)
        gPair.pose = Rand() % 3 != 0 ? 0 : 6;
    FigApplyAvoid(r);
    if (FigLeftClickIn(r, kClickW, kClickH)) {
        FigPlayOwnSound(r);
        r.ScriptVar = 1;
        FigTakeClick(true);
    }
    if (r.ScriptVar != 0 && r.X < gPair.doorX - kNoStopBeforeDoor) {
        r.ScriptVar = 0;
        r.Speed = LookingSpeed();
        r.X -= kDoorStride;
        r.Frame = r.Tick = 0;
        r.State = For(second, kStopAndLook);
    } else if (r.X > SceneWidth()) {
        HouseDoor(second) = 0;
        Leave();
        return;
    } else if (r.X >= gPair.doorX + kDoors[gPair.door].w - 20) {
        TakeDoor(gPair.door);
        r.Direction = r.Avoids = -2;
        r.Speed += 2;
        r.X -= 10;
        r.Frame = r.Tick = 0;
        r.State = For(second, kTurnToDoor);
    } else if (Rand() % 11 == 0) {
        Wander(r);
    }
}

void StopAndLook(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[kStandLook + r.Frame]);
    if (!Advance(r, r.Speed, 8))
        return;
    r.Frame = Rand() % 4 + 2;
    if (r.AvoidOrder != 0)
        return;
    r.ScriptVar = 0;
    r.Speed = NormalSpeed();
    if (r.X >= gPair.doorX - 15 && r.X <= gPair.doorX + 20) {
        r.Direction = r.Avoids = -2;
        r.Frame = 0;
        r.State = For(second, kTurnToDoor);
        return;
    }
    r.Frame = 0;
    r.X += kDoorStride;
    r.Direction = r.Avoids = 1;
    gPair.pose = 0;
    r.State = For(second, kWalkToDoor);
}

void TurnToDoor(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[kTurn + r.Frame]);
    if (!Advance(r, r.Speed, 2))
        return;
    gPair.pose = kClimbLookFirst;
    r.State = For(second, kUpToDoor);
}

void UpToDoor(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[r.ScriptVar == 0 ? kClimb + r.Frame : kToDoor + gPair.pose]);
    bool ended = false;
    if (!Stepped(r, r.Speed, 5, &ended))
        return;
    if (ended) {
        if (r.AvoidOrder == 0) {
            r.ScriptVar = 0;
            r.Speed = NormalSpeed();
        } else {
            // someone passes below: the person waits on the steps and looks
            r.ScriptVar = 1;
            gPair.pose = Rand() % 9 + kClimbLookFirst;
            r.Speed = LookingSpeed();
        }
    }
    if (r.AvoidOrder != 0 || (r.Frame != 1 && r.Frame != 3))
        return;
    if (r.X < gPair.doorX)
        r.X += r.X + 2 > gPair.doorX ? gPair.doorX - r.X : 2;
    else if (r.X > gPair.doorX)
        r.X -= r.X - 2 < gPair.doorX ? r.X - gPair.doorX : 2;
    FigSetY(r, r.Y - 7);
    if (r.Y <= gPair.doorBase) {
        r.Y = gPair.doorY;
        r.X = gPair.doorX;
        r.Frame = r.Tick = 0;
        r.State = For(second, kGoInState);
    }
}

void GoIn(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[kGoIn + r.Frame]);
    if (!Advance(r, Rand() % 3 + FigureSpeedBase() + 2, kGoInFrames))
        return;
    DoorSound(r);
    r.Direction = r.Avoids = 0;
    r.WaitCount = kInsideCalls;
    HouseDoor(second) = gPair.door;
    r.State = For(second, kInside);
}

void Inside(FigurRecord &r)
{
    if (--r.WaitCount < 1)
        Leave();
}

bool NeighboursAbout()
{
    for (int id = 61; id <= 67; ++id)
        if (IsOnStage(id))
            return true;
    return false;
}

void BehindDoor(FigurRecord &r, bool second)
{
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder == 0 && !NeighboursAbout()) {
        r.WaitCount = r.Tick = r.Frame = 0;
        r.State = For(second, kComeOutState);
        return;
    }
    if (PhaseChangeDue || ++r.WaitCount > kBehindDoorCalls)
        Leave();
}

void ComeOut(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[kComeOut + r.Frame]);
    if (!Advance(r, r.Speed, kComeOutFrames))
        return;
    r.WaitCount = Rand() % 4 + 4;
    r.Direction = r.Avoids = 2;
    FigSetY(r, gPair.doorBase);
    HouseDoor(second) = 0;
    gPair.pose = Rand() % 6 + kLookAboutFirst;
    r.ScriptVar = 1;
    r.Speed = NormalSpeed();
    DoorSound(r);
    r.State = For(second, kDownFromDoor);
}

void DownFromDoor(FigurRecord &r, bool second)
{
    FigDraw(r, kDoorSlot, kFig033Frames[r.ScriptVar == 0 ? kStepDown + r.Frame : gPair.pose]);
    bool ended = false;
    if (!Stepped(r, r.Speed, 5, &ended))
        return;
    if (ended) {
        if (r.AvoidOrder != 0) {
            gPair.pose = Rand() % 5 + kLookAboutFirst;
            r.ScriptVar = 1;
            r.Speed = LookingSpeed();
        } else {
            gPair.pose = 0;
            r.ScriptVar = 0;
            r.Speed = NormalSpeed();
        }
    }
    if (r.ScriptVar != 0 || (r.Frame != 1 && r.Frame != 3))
        return;
    FigSetY(r, r.Y + 4);
    if (--r.WaitCount >= 1)
        return;
    if (Rand() % 2 == 0) {
        gPair.door = kLeftAway;
        r.Direction = r.Avoids = -1;
        r.State = For(second, kWalkAwayLeft);
    } else {
        gPair.door = kRightAway;
        r.Direction = r.Avoids = 1;
        r.State = For(second, kWalkAwayRight);
    }
    r.Frame = r.Tick = 0;
    r.ScriptVar = 0;
    gPair.pose = 0;
    r.Speed = NormalSpeed();
}

void WalkAway(FigurRecord &r, bool second, int direction)
{
    FigDraw(r, kDoorSlot, kFig033Frames[(direction > 0 ? kAwayRight : kAwayLeft) + r.Frame]);
    if (!Advance(r, r.Speed, kWalkFrames6))
        return;
    r.X += direction * kStreetStride;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        r.Speed = LookingSpeed();
        r.X -= direction * kStreetStride;
        r.State = For(second, direction > 0 ? kLookAwayRight : kLookAwayLeft);
        return;
    }
    if (direction > 0 ? r.X > SceneWidth() : r.X < kLeftExitX) {
        HouseDoor(second) = 0;
        Leave();
        return;
    }
    if (Rand() % 3 == 0)
        Wander(r);
}

void LookAway(FigurRecord &r, bool second, int direction)
{
    const int first = direction > 0 ? kLookRight : kLookLeft;
    const int frames = direction > 0 ? 8 : 6;
    FigDraw(r, kDoorSlot, kFig033Frames[first + r.Frame]);
    if (!Advance(r, r.Speed, frames))
        return;
    r.Frame = direction > 0 ? Rand() % 5 + 1 : Rand() % 4 + 1;
    if (r.AvoidOrder != 0)
        return;
    r.Speed = NormalSpeed();
    r.Frame = 0;
    r.State = For(second, direction > 0 ? kWalkAwayRight : kWalkAwayLeft);
}

// The door act of either person; false for a state it does not know.
bool DoorAct(FigurRecord &r)
{
    const bool second = Second(r.State);
    int state = r.State;
    if (second)
        state -= state <= kWaitSheet + kSecondShort ? kSecondShort : kSecondOffset;
    switch (state) {
    case kDoorSetUp: DoorSetUp(r, second); return true;
    case kWaitSheet: WaitForSheet(r, second); break;
    case kWalkToDoor: WalkToDoor(r, second); break;
    case kStopAndLook: StopAndLook(r, second); break;
    case kTurnToDoor: TurnToDoor(r, second); break;
    case kUpToDoor: UpToDoor(r, second); break;
    case kGoInState: GoIn(r, second); break;
    case kInside: Inside(r); break;
    case kBehindDoor: BehindDoor(r, second); break;
    case kComeOutState: ComeOut(r, second); break;
    case kDownFromDoor: DownFromDoor(r, second); break;
    case kWalkAwayRight: WalkAway(r, second, 1); break;
    case kLookAwayRight: LookAway(r, second, 1); break;
    case kWalkAwayLeft: WalkAway(r, second, -1); break;
    case kLookAwayLeft: LookAway(r, second, -1); break;
    default: return false;
    }
    r.AvoidOrder = 0;
    return true;
}

void Choose(FigurRecord &r)
{
    if (TimeOfDay != kDay)
        r.State = kDoorSetUp;
    else if (Rand() % 3 != 0 && Figur033HouseDoor2 != kHomeDoor)
        r.State = kStreetSetUp;
    else
        r.State = kDoorSetUp + kSecondShort;
}

}  // namespace

void Figur033Script()
{
    FigurRecord &r = FigurTable[kPair];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case kChoose: Choose(r); return;
    case kStreetSetUp: StreetSetUp(r); return;
    case kWalkRight: StreetWalkRight(r); return;
    case kWalkLeft: StreetWalkLeft(r); return;
    case kStand: StreetStand(r); return;
    case kStretchAct: StretchAct(r); return;
    case kPhoneAct: PhoneAct(r); return;
    default: break;
    }
    if (!DoorAct(r))
        FigUnknownState(r);
}

void ResetFigur033() { gPair = PairState{}; }
