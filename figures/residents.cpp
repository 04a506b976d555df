// Figures 62 to 68, the people of the row of houses: they walk the far
// pavement, climb the steps of a door, go in, stay a long while, come out and
// walk on. 62 and 68 are visitors who come in from the left; 63 to 67 live
// behind door 2 and start by coming out of it. One implementation drives all
// seven from a table of what each does differently; 68's look out of an
// attic window is in upperwindow.cpp.
#include "figures/figures.h"

#include "core/random.h"
#include "features/lights.h"
#include "figures/scriptframe.h"
#include "figures/upperwindow.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "services/sound.h"

#include <span>

// The frame tables come with the pictures, from the art generator.
#include "fig062_frames.h"
#include "fig063_frames.h"
#include "fig064_frames.h"
#include "fig065_frames.h"
#include "fig066_frames.h"
#include "fig067_frames.h"
#include "fig068_frames.h"

namespace {

constexpr int kFirstResident = 62;
constexpr int kResidentCount = 7;
// The visitor who calls at one door after the other and, upstairs, shows
// itself at the window.
constexpr int kWindowVisitor = 68;

constexpr int kHomeDoor = 2;
constexpr int kNoDoor = 5;
constexpr int kDoorFrames = 6;
constexpr int kStepFrames = 5;
constexpr int kGoInFirst = 78;
constexpr int kDoorSample = 22;
constexpr int kRetryFrames = 100;
constexpr int kEndTicks = 51;
constexpr int kExtraSheetTicks = 300;
constexpr int kClimbStep = 7;
constexpr int kClimbSideStep = 2;
constexpr int kLeftExit = -100;
constexpr int kVisitorStride = 20;
constexpr int kStandLeftBack = 28;
constexpr int kTurnLeftBack = 23;
constexpr int kFrameW = 48;
constexpr int kSpacing = 4;
constexpr int kLightOn = -128;

// The door table: {x, y} of the point where the door frames are drawn; the
// x offset and the rise differ between the narrow walkers (62, 64) and the
// others. Door 5 is nowhere: a figure heading for it walks off the right.
struct DoorPoint {
    int x, y;
};
constexpr DoorPoint kDoors[kNoDoor + 1] = {{14, 11}, {93, 11}, {429, 17}, {779, 18}, {914, 18}, {9999, 9999}};
constexpr int kNarrowOffset[kNoDoor + 1] = {8, 0, 0, 0, 8, 0};
constexpr int kWideOffset[kNoDoor + 1] = {7, 1, 1, 1, 8, 0};
constexpr int kNarrowRise = 15, kWideRise = 14;

// A list of figure ids, ended by 0.
constexpr int kMaxListed = 11;
using IdList = int[kMaxListed];

// What one figure does differently.
struct ResidentKind {
    int id;
    bool visitor;            // 62, 68: no home, enter from the left
    bool narrow;             // 62, 64, 68: the narrow door offsets and one gait
    bool seasonSheets;       // summer and winter sheets
    int frameH;
    int laneTop, laneBottom; // SceneH minus these
    int rightFrames, rightStride;
    int leftFrames, leftStride;
    int standRightFrames;
    // Where the groups start in the frame table.
    int climb, climbHeld, down, downHeld, walkRight, standRight, walkLeft, standLeft;
    int passOneIn;           // passing the home door once
    int rightOneIn;          // turning right from the home door
    int standLeftOneIn;      // standing still while walking left
    int turnLeftBack;        // X -= this on turning left after the steps
    int comeOutState;        // 64 waits for its second look in 6 and comes out in 7
    IdList waitList, returnRight, returnLeft;
    std::span<const FrameEntry> frames;
};

const ResidentKind kKinds[kResidentCount] = {
    {62, true, true, false, 80, 300, 265, 4, 20, 0, 0, 4, 48, 54, 30, 42, 60, 64, 0, 0, 0, 0, 0, 0, 6,
     {18, 25, 30, 41, 54, 61, 63, 64}, {}, {}, kFig062Frames},
    {63, false, false, true, 81, 301, 266, 6, 28, 6, 28, 6, 42, 54, 30, 36, 60, 72, 108, 114, 3, 2, 25, 15, 6,
     {18, 25, 30, 41, 54, 61, 62, 64}, {18, 30, 41, 54, 61, 62}, {18, 30, 41, 54, 61, 62}, kFig063Frames},
    {64, false, true, false, 80, 300, 265, 4, 20, 4, 21, 4, 48, 54, 30, 42, 60, 64, 69, 73, 5, 6, 17, 20, 7,
     {18, 25, 30, 41, 54, 61, 62, 63}, {}, {18, 30, 41, 54, 61, 62, 63}, kFig064Frames},
    {65, false, false, false, 81, 301, 266, 5, 28, 5, 28, 6, 42, 54, 30, 36, 60, 72, 108, 114, 3, 2, 25, 15, 6,
     {18, 25, 30, 33, 41, 54, 61, 62, 63, 64}, {18, 30, 41, 54, 61, 62}, {18, 30, 41, 54, 61, 62, 64},
     kFig065Frames},
    {66, false, false, true, 81, 301, 266, 6, 28, 6, 28, 6, 42, 54, 30, 36, 60, 72, 108, 114, 3, 2, 25, 15, 6,
     {18, 25, 30, 41, 54, 61, 62, 64}, {18, 30, 41, 54, 61, 62}, {18, 30, 41, 54, 61, 62}, kFig066Frames},
    {67, false, false, false, 81, 301, 266, 5, 20, 6, 20, 6, 42, 54, 30, 36, 60, 72, 108, 114, 3, 2, 25, 15, 6,
     {18, 25, 30, 41, 54, 61, 62, 64}, {18, 30, 41, 54, 61, 62, 63, 64, 65, 66}, {18, 30, 41, 54, 61, 62},
     kFig067Frames},
    {68, true, true, false, 80, 300, 265, 4, 20, 0, 0, 4, 48, 54, 30, 42, 60, 64, 0, 0, 0, 0, 0, 0, 6,
     {18, 25, 30, 41, 54, 61, 63, 64, 65, 66, 67}, {}, {}, kFig068Frames},
};

// What each figure keeps between frames and from one appearance to the next.
struct ResidentState {
    int door = kHomeDoor;
    int passing = 0;   // 1: walk past the target door once
    int sheet = 0;
    int gait = 0;      // 0 or 6: the second walk of the two-gait figures
};
ResidentState gResidents[kResidentCount];

const ResidentKind &KindOf(int id) { return kKinds[id - kFirstResident]; }
ResidentState &StateOf(int id) { return gResidents[id - kFirstResident]; }

int DoorX(int door) { return kDoors[door].x; }
int DoorOffset(const ResidentKind &k, int door)
{
    return k.narrow ? kNarrowOffset[door] : kWideOffset[door];
}
int DoorTop(const ResidentKind &k, int door)
{
    if (door == kNoDoor)
        return kDoors[door].y;
    return kDoors[door].y + (k.narrow ? kNarrowRise : kWideRise);
}

int SlowSpeed(int spread, int base) { return Rand() % spread + base + FigureSpeedBase(); }
int WalkSpeed(const ResidentKind &k)
{
    if (k.id == 67)
        return (Rand() & 1) + 3 + FigureSpeedBase();
    return SlowSpeed(3, 3);
}
// The slow pace of standing still on a step or after an avoidance.
int HeldSpeed(const ResidentKind &k) { return k.narrow ? SlowSpeed(25, 8) : SlowSpeed(17, 16); }

bool AnyOnStage(const IdList &ids)
{
    for (int k = 0; k < kMaxListed && ids[k] != 0; ++k)
        if (IsOnStage(ids[k]))
            return true;
    return false;
}

// No return list on that side: the figure leaves for good there.
bool NoReturn(const IdList &ids) { return ids[0] == 0; }

bool NightOrDusk() { return TimeOfDay != kDay; }

void Draw(const FigurRecord &r, const ResidentKind &k, int entry)
{
    if (entry < 0 || entry >= static_cast<int>(k.frames.size()))
        return;
    FigDraw(r, StateOf(r.Id).sheet, k.frames[static_cast<size_t>(entry)]);
}

void DoorSound(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kDoorSample);
}

void Unload(FigurRecord &r) { UnloadFigur(r.Id); }

// The target door is taken: from here the figure climbs its steps.
void TakeDoor(FigurRecord &r)
{
    r.Direction = r.Avoids = -2;
    r.Frame = r.Tick = 0;
    r.ScriptVar = 0;
    r.State = 3;
}

void SetUpVisitor(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    FigSetName(r);
    if (k.id == kWindowVisitor)
        s.door = 1;
    else if (IsOnStage(58))
        s.door = (Rand() % 3 != 0) ? kHomeDoor : 4;
    else if (Rand() % 2 == 0)
        s.door = Rand() % 5 + 1;
    else
        s.door = (Rand() % 4 != 0) ? kHomeDoor : 1;
    s.passing = 0;
    s.sheet = 0;
    r.DriftStep = 1;
    r.FrameH = k.frameH;
    r.X = Rand() % 11 - 100;
    FigPlaceInLane(r, SceneHeight() - k.laneTop, SceneHeight() - k.laneBottom);
    r.Spacing = kSpacing;
    r.FrameW = kFrameW;
    r.AvoidOrder = r.ScriptVar = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, k.id == kWindowVisitor ? Rand() % 241 + 120 : Rand() % 25 + 24);
    r.Speed = WalkSpeed(k);
    r.Frame = r.Tick = r.WaitCount = 0;
    r.State = 1;
}

void SetUpResident(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    FigSetName(r);
    s.sheet = k.seasonSheets ? Season - 1 : 0;
    r.DriftStep = 1;
    r.X = 0;
    r.FrameH = k.frameH;
    FigPlaceInLane(r, SceneHeight() - k.laneTop, SceneHeight() - k.laneBottom);
    r.Spacing = kSpacing;
    r.FrameW = kFrameW;
    r.Direction = r.Avoids = r.AvoidOrder = r.ScriptVar = 0;
    FigSetPause(r, k.id == 64 ? Rand() % 17 + 24 : Rand() % 25 + 16);
    r.Speed = WalkSpeed(k);
    r.Frame = r.Tick = 0;
    s.gait = 0;
    s.passing = 0;
    s.door = kHomeDoor;
    r.WaitCount = 0;
    r.State = 5;
    if (k.id == 65 && NightOrDusk()) {
        LichtSteuerung(5, kLightOn);
        LichtSteuerung(6, kLightOn);
        LichtSteuerung(9, kLightOn);
    }
    if (k.id == 66) {
        if (ResidentDoor[66] != 0) {
            s.door = ResidentDoor[66];
        } else {
            // Walks in from the left towards its door.
            s.door = (Rand() % 4 != 0) ? kHomeDoor : 4;
            r.X = -kFrameW;
            r.Direction = r.Avoids = 1;
            r.State = 1;
        }
    }
}

// The lane drift of a stride in which no avoidance was asked for.
void Drift(FigurRecord &r)
{
    if (Rand() % 11 == 0)
        FigDrift(r, Rand() % 5 + 2);
}

void EndOfRightStride(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    const int doorX = DoorX(s.door);
    const bool avoided = r.AvoidOrder != 0;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    if (r.ScriptVar != 0 && r.X < doorX - 50) {
        r.ScriptVar = 0;
        r.Speed = HeldSpeed(k);
        r.Frame = r.Tick = 0;
        r.State = 2;
        return;
    }
    if (r.X > SceneWidth()) {
        if (NoReturn(k.returnRight)) {
            if (k.visitor)
                ResidentDoor[k.id] = 0;
            Unload(r);
            return;
        }
        r.WaitCount = Rand() % 1501 + 100;
        r.State = 9;
        return;
    }
    if (s.passing == 0 && r.X >= doorX + DoorOffset(k, s.door) - 20) {
        TakeDoor(r);
        return;
    }
    if (!avoided)
        Drift(r);
}

void WalkRight(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    const bool twoGaits = !k.narrow;
    Draw(r, k, k.walkRight + (twoGaits ? s.gait : 0) + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < k.rightFrames)
        return;
    r.Frame = 0;
    r.X += k.rightStride;
    if (twoGaits)
        s.gait = (s.gait == 0 && Rand() % 4 == 0) ? (Rand() & 1) * 6 : 0;
    EndOfRightStride(r, k, s);
}

void WalkLeft(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    Draw(r, k, k.walkLeft + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < k.leftFrames)
        return;
    r.Frame = 0;
    r.X -= k.leftStride;
    const int doorX = DoorX(s.door);
    const bool avoided = r.AvoidOrder != 0;
    FigApplyAvoid(r);
    r.AvoidOrder = 0;
    if (Rand() % k.standLeftOneIn == 0)
        r.ScriptVar = 1;
    if (r.ScriptVar != 0 && r.X > doorX + 20) {
        r.ScriptVar = 0;
        r.Speed = HeldSpeed(k);
        r.X += kStandLeftBack;
        r.Frame = r.Tick = 0;
        r.State = 11;
        return;
    }
    if (r.X < kLeftExit) {
        r.WaitCount = Rand() % 901 + 100;
        r.State = 12;
        return;
    }
    if (s.passing == 0 && r.X <= doorX + DoorOffset(k, s.door)) {
        r.X += kTurnLeftBack;
        TakeDoor(r);
        return;
    }
    if (!avoided)
        Drift(r);
}

// Standing on the pavement, facing right (state 2) or left (state 11).
void Stand(FigurRecord &r, const ResidentKind &k, ResidentState &s, bool right)
{
    const int frames = right ? k.standRightFrames : 5;
    Draw(r, k, (right ? k.standRight : k.standLeft) + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < frames)
        return;
    r.Frame = 0;
    const bool asked = r.AvoidOrder != 0;
    // Someone close by: stand one more round. The order is used up here, or
    // the figure would stand for good.
    r.AvoidOrder = 0;
    if (asked)
        return;
    r.Speed = SlowSpeed(3, 3);
    r.ScriptVar = 0;
    const int doorX = DoorX(s.door);
    if (r.X >= doorX - 15 && r.X <= doorX + 20) {
        TakeDoor(r);
        return;
    }
    if (right) {
        if (k.visitor)
            r.X += kVisitorStride;
        r.State = 1;
    } else {
        r.X -= 20;
        r.State = 10;
    }
}

// The stand-still mark of the steps: set at the end of a cycle in which
// someone asked to pass.
void HoldOnStep(FigurRecord &r, const ResidentKind &k)
{
    if (r.AvoidOrder != 0) {
        r.ScriptVar = 1;
        r.Speed = HeldSpeed(k);
    } else {
        r.ScriptVar = 0;
        r.Speed = SlowSpeed(3, 3);
    }
}

void Climb(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    Draw(r, k, (r.ScriptVar == 1 ? k.climbHeld : k.climb) + r.Frame);
    if (!FigTick(r, r.Speed)) {
        r.AvoidOrder = 0;
        return;
    }
    if (++r.Frame >= kStepFrames) {
        r.Frame = 0;
        HoldOnStep(r, k);
    } else if ((r.Frame == 1 || r.Frame == 3) && r.ScriptVar != 1) {
        const int doorX = DoorX(s.door);
        r.X += (r.X < doorX) ? kClimbSideStep : (r.X > doorX ? -kClimbSideStep : 0);
        FigSetY(r, r.Y - kClimbStep);
        if (r.Y <= DoorTop(k, s.door)) {
            FigSetY(r, kDoors[s.door].y);
            r.X = doorX;
            r.Frame = r.Tick = 0;
            r.Gait = kDoorFrames * s.door + kGoInFirst;
            r.State = 4;
        }
    }
    r.AvoidOrder = 0;
}

int InsideTicks(const ResidentKind &k, int door)
{
    if (k.visitor)
        return door == kHomeDoor ? Rand() % 8001 + 4000 : Rand() % 1201 + 400;
    if (k.id == 64)
        return Rand() % 901 + 300;
    if (door == 1)
        return Rand() % 301 + 200;
    return Rand() % 2001 + 400;
}

void GoIn(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    Draw(r, k, r.Gait + r.Frame);
    // An order for someone below the door means nothing once the figure is
    // going in; left standing, it would keep the figure inside for good.
    r.AvoidOrder = 0;
    if (!FigTick(r, r.Speed) || ++r.Frame < kDoorFrames)
        return;
    r.Frame = 0;
    DoorSound(r);
    r.Direction = r.Avoids = 0;
    ResidentDoor[k.id] = s.door;
    for (char &c : r.Name)
        c = 0;
    if (!k.visitor && s.door == kHomeDoor) {
        r.Tick = 0;
        r.State = 999;
        return;
    }
    if (k.id == kWindowVisitor && UpperWindowShown(s.door)) {
        r.Speed = Rand() % 5 + 5 + FigureSpeedBase();
        r.WaitCount = s.door == kHomeDoor ? Rand() % 3001 + 1000 : Rand() % 601 + 600;
        r.State = kUpperWindowFirstState;
        return;
    }
    r.WaitCount = InsideTicks(k, s.door);
    r.State = 5;
}

// Figure 64 comes out of door 1 in its second look, when that sheet comes.
void AskSecondLook(FigurRecord &r, ResidentState &s)
{
    if (s.door != 1 || s.sheet != 0)
        return;
    s.sheet = LoadFigurPlus(r.Id, 1, "FIG064_01_01") ? 1 : 0;
}

void Inside(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    if (PhaseChangeDue) {
        r.Tick = 0;
        r.State = 999;
        return;
    }
    if (k.visitor && s.door == 4 && Rand() % 3 != 0) {
        r.Tick = 0;
        r.State = 999;
        return;
    }
    if (--r.WaitCount >= 1)
        return;
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder == 0 && !AnyOnStage(k.waitList)) {
        r.WaitCount = 0;
        r.Gait = kDoorFrames * s.door;
        r.X = kDoors[s.door].x;
        FigSetY(r, kDoors[s.door].y);
        r.Speed = SlowSpeed(3, 3);
        r.Frame = r.Tick = 0;
        FigSetName(r);
        if (k.id == 64) {
            AskSecondLook(r, s);
            r.State = 6;
        } else {
            r.State = k.comeOutState;
        }
        return;
    }
    r.Direction = r.Avoids = 0;
    r.WaitCount = kRetryFrames;
    r.State = 900;
}

// 64 waits in its doorway, unseen, for the second look's sheet and mask.
void WaitForSecondLook(FigurRecord &r, ResidentState &s)
{
    if (s.sheet == 1 && !(r.Sheets[1] && r.Masks[1])) {
        if (++r.WaitCount <= kExtraSheetTicks)
            return;
        s.sheet = 0;
    }
    r.WaitCount = 0;
    r.State = 7;
}

void ComeOut(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    Draw(r, k, r.Gait + r.Frame);
    if (!FigTick(r, r.Speed) || ++r.Frame < kDoorFrames)
        return;
    r.Frame = 0;
    DoorSound(r);
    r.Direction = r.Avoids = 2;
    if (k.visitor)
        r.WaitCount = s.door == 0 ? 3 : (Rand() & 3) + 3;
    else
        r.WaitCount = Rand() % 3 + 4;
    FigSetY(r, DoorTop(k, s.door));
    r.X = kDoors[s.door].x + DoorOffset(k, s.door);
    ResidentDoor[k.id] = 0;
    r.State = k.comeOutState + 1;
}

void ChooseNextDoor(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    if (k.visitor) {
        s.door += 1;
        if (k.id != kWindowVisitor && s.door > kHomeDoor && s.door < kNoDoor)
            s.door += Rand() % (6 - s.door);
        r.Direction = r.Avoids = 1;
        r.Speed = SlowSpeed(3, 3);
        r.Frame = r.Tick = 0;
        r.State = 1;
        return;
    }
    r.Direction = 1;
    s.passing = 0;
    if (k.id == 65 && NightOrDusk()) {
        s.passing = 1;
        s.door = kNoDoor;
    } else if (Rand() % 17 != 0) {
        if (s.door == kHomeDoor) {
            s.passing = (Rand() % k.passOneIn == 0) ? 1 : 0;
            if (Rand() % k.rightOneIn == 0) {
                s.door = (k.id == 66 && Rand() % 2 == 0) ? 4 : 3;
            } else {
                s.door = 1;
                r.Direction = -1;
            }
        } else {
            r.Direction = s.door < 3 ? 1 : -1;
            s.door = kHomeDoor;
        }
    }
    if (r.Direction == -1)
        r.X -= k.turnLeftBack;
    r.Avoids = r.Direction;
    r.Speed = WalkSpeed(k);
    r.Frame = r.Tick = 0;
    r.State = r.Direction > 0 ? 1 : 10;
}

void StepDown(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    Draw(r, k, (r.ScriptVar == 1 ? k.downHeld : k.down) + r.Frame);
    if (!FigTick(r, r.Speed)) {
        r.AvoidOrder = 0;
        return;
    }
    if (++r.Frame >= kStepFrames) {
        r.Frame = 0;
        HoldOnStep(r, k);
    } else if ((r.Frame == 1 || r.Frame == 3) && r.ScriptVar != 1) {
        FigSetY(r, r.Y + kClimbStep);
        if (--r.WaitCount <= 0) {
            r.ScriptVar = 0;
            r.AvoidOrder = 0;
            ChooseNextDoor(r, k, s);
            return;
        }
    }
    r.AvoidOrder = 0;
}

// Gone past an edge (state 9 right, 12 left): back after a while, when the
// way is clear of the figures of the return list.
void OffStage(FigurRecord &r, const ResidentKind &k, ResidentState &s)
{
    const bool goneRight = r.State == 9;
    if (PhaseChangeDue) {
        if (goneRight)
            ResidentDoor[k.id] = 0;
        Unload(r);
        return;
    }
    if (r.WaitCount > 0 && --r.WaitCount > 0)
        return;
    if (AnyOnStage(goneRight ? k.returnRight : k.returnLeft))
        return;
    r.Speed = SlowSpeed(3, 3);
    s.passing = 0;
    r.Frame = r.Tick = 0;
    const bool home = Rand() % 4 != 0 || (k.id == 65 && NightOrDusk());
    if (goneRight) {
        s.door = home ? kHomeDoor : 3;
        r.Direction = r.Avoids = -1;
        r.State = 10;
    } else {
        s.door = home ? kHomeDoor : 1;
        r.Direction = r.Avoids = 1;
        r.State = 1;
    }
}

void Finish(FigurRecord &r, const ResidentKind &k)
{
    if (!FigTick(r, kEndTicks))
        return;
    if (k.visitor)
        ResidentDoor[k.id] = 0;
    Unload(r);
}

void ResidentStep(int id)
{
    FigurRecord &r = FigurTable[id];
    const ResidentKind &k = KindOf(id);
    ResidentState &s = StateOf(id);
    const int state = r.State;
    if (FigClickBlock(r)) {
        if (id == kWindowVisitor)
            UpperWindowRemoved(state);
        return;
    }
    if (id == kWindowVisitor && IsUpperWindowState(r.State)) {
        if (!UpperWindowStep(r, s.door))
            FigUnknownState(r);
        return;
    }
    const int out = k.comeOutState;
    if (r.State == out) {
        ComeOut(r, k, s);
        return;
    }
    if (r.State == out + 1) {
        StepDown(r, k, s);
        return;
    }
    switch (r.State) {
    case 0:
        if (k.visitor)
            SetUpVisitor(r, k, s);
        else
            SetUpResident(r, k, s);
        return;
    case 1: WalkRight(r, k, s); return;
    case 2: Stand(r, k, s, true); return;
    case 3: Climb(r, k, s); return;
    case 4: GoIn(r, k, s); return;
    case 5: Inside(r, k, s); return;
    case 6:
        if (id == 64) {
            WaitForSecondLook(r, s);
            return;
        }
        break;
    case 9:
        if (!NoReturn(k.returnRight)) {
            OffStage(r, k, s);
            return;
        }
        break;
    case 12:
        if (!NoReturn(k.returnLeft)) {
            OffStage(r, k, s);
            return;
        }
        break;
    case 10:
        if (k.leftFrames) {
            WalkLeft(r, k, s);
            return;
        }
        break;
    case 11:
        if (k.leftFrames) {
            Stand(r, k, s, false);
            return;
        }
        break;
    case 900:
        if (PhaseChangeDue) {
            r.Tick = 0;
            r.State = 999;
        } else if (--r.WaitCount <= 0) {
            r.State = 5;
        }
        return;
    case 999: Finish(r, k); return;
    default: break;
    }
    FigUnknownState(r);
}

}  // namespace

int ResidentTargetDoor(int id) { return StateOf(id).door; }

void Figur062Script() { ResidentStep(62); }
void Figur063Script() { ResidentStep(63); }
void Figur064Script() { ResidentStep(64); }
void Figur065Script() { ResidentStep(65); }
void Figur066Script() { ResidentStep(66); }
void Figur067Script() { ResidentStep(67); }
void Figur068Script() { ResidentStep(68); }

void ResetResidents()
{
    for (ResidentState &s : gResidents)
        s = {};
}
