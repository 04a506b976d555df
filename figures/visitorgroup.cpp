// Figure 61, the couple that the van (object 71) brings: they ride along
// unseen until the van halts and opens its door, get out, climb to door 2 or
// 3, stay inside a while, come back, get in and send the van off. The van
// loads and unloads the figure; the two hand over through each other's
// records: the van writes the group's State (1) and Gait (its halt), the
// group writes the van's Gait (rear door open or shut) and raises its State.
// The group is never clicked.
#include "figures/figures.h"

#include "core/random.h"
#include "figures/scriptframe.h"
#include "services/calendar.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig061_frames.h"

namespace {

constexpr int kGroup = 61;
constexpr int kVan = 71;
constexpr int kDoorSample = 22;
constexpr int kGetInSample = 21;
constexpr int kWayInLook = 1;  // the extra sheet's slot
constexpr int kFrameW = 56, kFrameH = 80;
constexpr int kSideStep = 30;  // the frames of the turns stand this far off the figure's point

// The group's frame groups in figure 61's table (after the van's parts).
enum GroupFrame {
    kWalkRight = 0,
    kStepUp = 4,
    kAtRear = 6,
    kGetOut = 9,
    kWait = 17,
    kTurn = 18,
    kStandAtSteps = 24,
    kClimb = 25,
    kClimbHeld = 30,
    kAtDoor = 35,
    kGoIn = 36,
    kComeOut = 48,
    kStepDown = 60,
    kStepDownHeld = 65,
    kBackAtVan = 70,
    kGetIn = 71,
    kWalkLeft = 83,
    kAtVanDoor = 87,
};
// ... on the way-in and way-out sheets.
enum WayInFrame { kInStand = 0, kInClimb = 1, kInClimbHeld = 6, kInAtDoor = 11, kInGoIn = 12 };
enum WayOutFrame { kOutComeOut = 0, kOutStepDown = 12, kOutStepDownHeld = 17, kOutAtVan = 22 };

enum Sheet { kOwn, kWayIn, kWayOut };

// The door by the van's halt.
struct VisitDoor {
    int halt, x, y, top, offset;
};
constexpr VisitDoor kVisitDoors[2] = {{170, 429, 17, 32, 0}, {510, 779, 18, 33, 6}};

// What the group keeps over its visit.
struct GroupState {
    VisitDoor door = kVisitDoors[0];
    int returnX = 0, returnY = 0;  // where they got out of the van
    bool extraLook = false;        // the way-in look came: ask for the way-out look too
};
GroupState gGroup;

FigurRecord &VanRecord() { return FigurTable[kVan]; }

const FrameEntry &EntryOf(Sheet sheet, int k)
{
    if (sheet == kWayIn)
        return kFig061WayInFrames[k];
    if (sheet == kWayOut)
        return kFig061WayOutFrames[k];
    return kFig061Frames[kFig061GroupFirst + k];
}

// One frame at the figure's point, moved by dx, dy where the frames of a
// turn stand off it.
void Draw(const FigurRecord &r, Sheet sheet, int k, int dx = 0, int dy = 0)
{
    const FrameEntry &e = EntryOf(sheet, k);
    FigDrawRectAt(r, sheet == kOwn ? 0 : kWayInLook, SceneRect{e.x, e.y, e.w, e.h}, r.X + dx, r.Y + dy);
}

int B() { return FigureSpeedBase(); }

void DoorSound(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kDoorSample);
}

// Counts the ticks of a frame; true when the state's n frames are over.
bool FramesDone(FigurRecord &r, int n)
{
    if (!FigTick(r, r.Speed))
        return false;
    if (++r.Frame < n)
        return false;
    r.Frame = 0;
    return true;
}

void Next(FigurRecord &r, int state)
{
    r.Frame = r.Tick = 0;
    r.State = state;
}

void RideAlong(FigurRecord &r)
{
    const FigurRecord &van = VanRecord();
    r.X = van.X;
    FigSetY(r, van.Y + 38);
    r.FootLine = van.Y + 118;
    r.FrameW = kFrameW;
    r.FrameH = kFrameH;
}

void GetsOut(FigurRecord &r)
{
    const FigurRecord &van = VanRecord();
    gGroup.door = r.Gait == kVisitDoors[1].halt ? kVisitDoors[1] : kVisitDoors[0];
    r.Gait = 0;
    r.X = van.X + 58;
    r.Y = van.Y + 38;
    r.FootLine = r.Y + r.FrameH + 10;
    r.Direction = 1;
    r.Avoids = 0;
    r.WantsBus = 0;
    r.Speed = (Rand() & 1) + 4 + B();
    r.WaitCount = 9;
    Next(r, 2);
    Draw(r, kOwn, kWalkRight);
}

void WalkToRear(FigurRecord &r)
{
    Draw(r, kOwn, kWalkRight + r.Frame);
    if (!FramesDone(r, 4))
        return;
    r.X += 20;
    if (--r.WaitCount <= 0)
        Next(r, 3);
}

void StepToRear(FigurRecord &r)
{
    Draw(r, kOwn, kStepUp + r.Frame);
    if (!FramesDone(r, 2))
        return;
    FigSetY(r, r.Y - 7);
    r.FootLine = r.Y + r.FrameH + 10;
    Next(r, 4);
}

void AtRear(FigurRecord &r)
{
    Draw(r, kOwn, kAtRear + r.Frame);
    if (!FramesDone(r, 3))
        return;
    const FigurRecord &van = VanRecord();
    r.X = van.X + 213;
    r.Y = van.Y - 3;
    r.FootLine = r.Y + r.FrameH + 10;
    r.Speed = B() + 2;
    Next(r, 5);
}

void GetOutAtRear(FigurRecord &r)
{
    Draw(r, kOwn, kGetOut + r.Frame);
    if (!FramesDone(r, 8))
        return;
    VanRecord().Gait = 1;
    gGroup.returnX = r.X + kSideStep;
    FigSetY(r, r.Y + kSideStep);
    r.X = gGroup.returnX;
    gGroup.returnY = r.Y;
    r.Direction = r.Avoids = -2;
    gGroup.extraLook = false;
    if (gGroup.door.halt == kVisitDoors[0].halt && Rand() % 6 == 0 &&
        LoadFigurPlus(kGroup, kWayInLook, "FIG061_01_01")) {
        gGroup.extraLook = true;
        r.Speed = Rand() % 17 + 8 + B();
        Next(r, 100);
        return;
    }
    r.Speed = Rand() % 9 + 8 + B();
    r.X -= kSideStep;
    FigSetY(r, r.Y - kSideStep);
    Next(r, 200);
}

// The way in with the extra look: a frame of the own sheet, then the look
// (nothing shows until the sheet is in its slot).
void WaitBeforeLook(FigurRecord &r)
{
    Draw(r, kOwn, kWait);
    if (FigTick(r, r.Speed))
        Next(r, 101);
}

void LookAtSteps(FigurRecord &r)
{
    Draw(r, kWayIn, kInStand);
    if (!FigTick(r, r.Speed))
        return;
    if (r.AvoidOrder != 0) {
        r.AvoidOrder = 0;
        Next(r, 100);
        return;
    }
    r.Speed = B() + 4;
    Next(r, 102);
}

void Turn(FigurRecord &r)
{
    Draw(r, kOwn, kTurn + r.Frame, kSideStep, kSideStep);
    if (!FramesDone(r, 6))
        return;
    r.Speed = B() + 4;
    r.X += kSideStep;
    FigSetY(r, r.Y + kSideStep);
    Next(r, 201);
}

void StandAtSteps(FigurRecord &r)
{
    Draw(r, kOwn, kStandAtSteps);
    if (FigTick(r, r.Speed) && r.AvoidOrder == 0)
        Next(r, 202);
    r.AvoidOrder = 0;
}

// The stand-still rule of the steps: someone asked to pass at the end of a
// cycle, so the next cycle is one of standing.
void HoldOrStep(FigurRecord &r, int heldFirst)
{
    if (r.AvoidOrder != 0) {
        r.Gait = heldFirst;
        r.Speed = Rand() % 17 + 8 + B();
    } else {
        r.Gait = 0;
        r.Speed = B() + 4;
    }
}

int Toward(int from, int to) { return from < to ? 1 : (from > to ? -1 : 0); }

// Climbing (102, 202): frames 1 and 3 of a moving cycle lift the group.
void Climb(FigurRecord &r, Sheet sheet, int first, int held, int next)
{
    Draw(r, sheet, (r.Gait ? r.Gait : first) + r.Frame);
    if (FigTick(r, r.Speed)) {
        if (++r.Frame >= 5) {
            r.Frame = 0;
            HoldOrStep(r, held);
        } else if ((r.Frame == 1 || r.Frame == 3) && r.Gait == 0) {
            r.X += Toward(r.X, gGroup.door.x - 13);
            FigSetY(r, r.Y - 7);
            if (r.Y <= gGroup.door.top) {
                FigSetY(r, gGroup.door.top);
                r.Gait = 0;
                Next(r, next);
            }
        }
    }
    r.AvoidOrder = 0;
}

void AtDoor(FigurRecord &r, Sheet sheet, int k, int next)
{
    Draw(r, sheet, k);
    if (!FigTick(r, r.Speed))
        return;
    FigSetY(r, gGroup.door.y);
    r.X = gGroup.door.x;
    Next(r, next);
}

void GoIn(FigurRecord &r, Sheet sheet, int first)
{
    Draw(r, sheet, first + gGroup.door.offset + r.Frame);
    if (!FramesDone(r, 6))
        return;
    DoorSound(r);
    r.WaitCount = Rand() % 801 + 200;
    Next(r, 500);
}

bool WayClear()
{
    for (int id : {18, 24, 30, 41, 54, 62, 63, 64})
        if (IsOnStage(id))
            return false;
    return true;
}

void Inside(FigurRecord &r)
{
    if (r.WaitCount > 0 && --r.WaitCount > 0)
        return;
    r.Direction = r.Avoids = 2;
    if (r.AvoidOrder != 0 || !WayClear()) {
        r.AvoidOrder = 0;
        return;
    }
    if (gGroup.extraLook && LoadFigurPlus(kGroup, kWayInLook, "FIG061_01_02")) {
        Next(r, 510);
        return;
    }
    Next(r, 600);
}

void ComeOut(FigurRecord &r, Sheet sheet, int first, int next)
{
    Draw(r, sheet, first + gGroup.door.offset + r.Frame);
    if (!FramesDone(r, 6))
        return;
    FigSetY(r, r.Y + (gGroup.door.offset == 0 ? 11 : 8));
    DoorSound(r);
    r.Gait = 0;
    Next(r, next);
}

// Stepping down (511, 601) to where they got out; the way-out look ends
// where its last frames stand off the point.
void StepDown(FigurRecord &r, Sheet sheet, int first, int held, int next)
{
    Draw(r, sheet, (r.Gait ? r.Gait : first) + r.Frame);
    if (FigTick(r, r.Speed)) {
        if (++r.Frame >= 5) {
            r.Frame = 0;
            HoldOrStep(r, held);
        } else if ((r.Frame == 1 || r.Frame == 3) && r.Gait == 0) {
            r.X += Toward(r.X, gGroup.returnX);
            FigSetY(r, r.Y + 7);
            if (r.Y >= gGroup.returnY) {
                const int back = sheet == kWayOut ? kSideStep : 0;
                FigSetY(r, gGroup.returnY - back);
                r.X = gGroup.returnX - back;
                Next(r, next);
            }
        }
    }
    r.AvoidOrder = 0;
}

void BackAtVanInLook(FigurRecord &r)
{
    Draw(r, kWayOut, kOutAtVan + r.Frame, kSideStep, kSideStep);
    if (!FramesDone(r, 6))
        return;
    r.X += kSideStep;
    FigSetY(r, r.Y + kSideStep);
    Next(r, 602);
}

void BackAtVan(FigurRecord &r)
{
    Draw(r, kOwn, kBackAtVan);
    if (!FigTick(r, r.Speed))
        return;
    r.X -= kSideStep;
    FigSetY(r, r.Y - kSideStep);
    Next(r, 603);
}

void GetIn(FigurRecord &r)
{
    Draw(r, kOwn, kGetIn + r.Frame, kSideStep, kSideStep);
    if (!FigTick(r, r.Speed))
        return;
    ++r.Frame;
    if (r.Frame == 1)
        VanRecord().Gait = 0;
    if (r.Frame == 7 && SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kGetInSample);
    if (r.Frame < 12)
        return;
    FigSetY(r, r.Y + 40);
    r.FootLine = r.Y + r.FrameH + 15;
    r.WaitCount = 8;
    r.Speed = (Rand() & 1) + 4 + B();
    Next(r, 604);
}

void WalkToDoor(FigurRecord &r)
{
    Draw(r, kOwn, kWalkLeft + r.Frame);
    if (!FramesDone(r, 4))
        return;
    const int strideStart = r.X;
    r.X -= 22;
    r.FootLine = r.Y + r.FrameH + 15;
    if (--r.WaitCount > 0)
        return;
    r.X = strideStart - 46;
    r.Y -= 37;
    Next(r, 605);
}

void IntoTheVan(FigurRecord &r)
{
    Draw(r, kOwn, kAtVanDoor + r.Frame);
    if (!FramesDone(r, 8))
        return;
    DoorSound(r);
    VanRecord().State += 1;
    Next(r, 606);
}

}  // namespace

void Figur061Script()
{
    FigurRecord &r = FigurTable[kGroup];
    switch (r.State) {
    case 0: RideAlong(r); return;
    case 1: GetsOut(r); return;
    case 2: WalkToRear(r); return;
    case 3: StepToRear(r); return;
    case 4: AtRear(r); return;
    case 5: GetOutAtRear(r); return;
    case 100: WaitBeforeLook(r); return;
    case 101: LookAtSteps(r); return;
    case 102: Climb(r, kWayIn, kInClimb, kInClimbHeld, 103); return;
    case 103: AtDoor(r, kWayIn, kInAtDoor, 104); return;
    case 104: GoIn(r, kWayIn, kInGoIn); return;
    case 200: Turn(r); return;
    case 201: StandAtSteps(r); return;
    case 202: Climb(r, kOwn, kClimb, kClimbHeld, 203); return;
    case 203: AtDoor(r, kOwn, kAtDoor, 204); return;
    case 204: GoIn(r, kOwn, kGoIn); return;
    case 500: Inside(r); return;
    case 510: ComeOut(r, kWayOut, kOutComeOut, 511); return;
    case 511: StepDown(r, kWayOut, kOutStepDown, kOutStepDownHeld, 512); return;
    case 512: BackAtVanInLook(r); return;
    case 600: ComeOut(r, kOwn, kComeOut, 601); return;
    case 601: StepDown(r, kOwn, kStepDown, kStepDownHeld, 602); return;
    case 602: BackAtVan(r); return;
    case 603: GetIn(r); return;
    case 604: WalkToDoor(r); return;
    case 605: IntoTheVan(r); return;
    case 606: return;
    default: FigUnknownState(r); return;
    }
}

void ResetFigur061() { gGroup = {}; }
