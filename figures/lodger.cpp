// Figure 52, the student who lodges behind door 3. By day, when he is
// inside, he comes out of his door, steps down, turns and walks off to the
// left; when he is not, he comes home from the left in one of two outfits
// (an extra sheet), climbs to door 3 and goes in. At night he only crosses
// the near pavement; at dusk he does not come. He keeps out of the way of
// the people of the houses, 61 to 67.
#include "figures/figures.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "figures/scriptframe.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "services/sound.h"

// The frame tables come with the pictures, from the art generator.
#include "fig052_frames.h"

namespace {

constexpr int kLodger = 52;
constexpr int kHomeSlot = 1;
constexpr int kHomeDoor = 3;
constexpr int kDoorSample = 22;
constexpr int kEndTicks = 51;
constexpr int kSheetWaitTicks = 200;
constexpr int kLeftExit = -100;
constexpr int kStride = 27;
constexpr int kNightStride = 35;
constexpr int kStepDown = 7;
constexpr int kStepUp = 5;
constexpr int kSideStep = 2;
constexpr int kDoorRise = 14;
constexpr int kDriftOneIn = 11;
constexpr int kClickW = 72, kClickH = 91;

// Where the groups of each table start.
constexpr int kOutOfDoor = 0, kOutFrames = 17;
constexpr int kStepsDown = 17, kStepFrames = 3;
constexpr int kTurn = 28, kTurnFrames = 6;
constexpr int kPause = 34, kPauseFrames = 3;
constexpr int kWalkLeft = 37;
constexpr int kWalkRight = 0, kSecondGait = 4;
constexpr int kLook = 8, kLookFrames = 9;
constexpr int kTurnToDoor = 17, kTurnToDoorFrames = 2;
constexpr int kClimb = 19, kClimbFrames = 4;
constexpr int kGoIn = 23, kGoInFrames = 17;

// The doors he may be behind: {x, y, width field}; only door 3's width is
// ever read.
struct Door {
    int x, y, width;
};
constexpr Door kDoors[5] = {{0, 0, 0}, {93, 11, 0}, {429, 17, 0}, {779, 18, 1}, {914, 18, 0}};

// What the act keeps between frames.
struct LodgerState {
    int door = kHomeDoor;
    int doorX = 0, doorY = 0, doorTop = 0;
    int gait = 0;
    bool waitingSetUp = false;
};
LodgerState gLodger;

int Spread(int spread, int base) { return Rand() % spread + FigureSpeedBase() + base; }
int WalkSpeed() { return Spread(3, 4); }
int HeldSpeed() { return Spread(17, 16); }

bool HousePeopleAbout()
{
    for (int id = 61; id <= 67; ++id)
        if (IsOnStage(id))
            return true;
    return false;
}

void TakeDoor(int door)
{
    gLodger.doorX = kDoors[door].x;
    gLodger.doorY = kDoors[door].y;
    gLodger.doorTop = kDoors[door].y + kDoorRise;
}

void DoorSound(FigurRecord &r)
{
    if (SoundSwitchOn(kOptDoors))
        FigPlaySample(r, kDoorSample);
}

void Draw(const FigurRecord &r, int sheet, const FrameEntry &entry) { FigDraw(r, sheet, entry); }

void Drift(FigurRecord &r)
{
    if (r.AvoidOrder == 0 && Rand() % kDriftOneIn == 0)
        FigDrift(r, Rand() % 5 + 2);
}

void CommonSetUp(FigurRecord &r, int pause)
{
    r.DriftStep = 1;
    r.FrameH = 90;
    r.Spacing = 5;
    r.FrameW = 50;
    r.AvoidOrder = r.ScriptVar = 0;
    FigSetPause(r, pause);
    FigPlaceInLane(r, SceneHeight() - 300, SceneHeight() - 275);
}

// Behind the door: the set-up once, then the wait for a clear way.
void WaitAtTheDoor(FigurRecord &r)
{
    if (!gLodger.waitingSetUp) {
        CommonSetUp(r, Rand() % 41 + 16);
        r.Direction = r.Avoids = 2;
        gLodger.waitingSetUp = true;
    }
    if (r.AvoidOrder != 0 || HousePeopleAbout()) {
        r.AvoidOrder = 0;
        return;
    }
    gLodger.waitingSetUp = false;
    r.WaitCount = 0;
    r.X = kDoors[gLodger.door].x;
    FigSetY(r, kDoors[gLodger.door].y);
    r.Speed = WalkSpeed();
    gLodger.gait = 0;
    r.Frame = r.Tick = 0;
    r.State = 3;
}

void ComeOut(FigurRecord &r)
{
    Draw(r, 0, kFig052DayFrames[kOutOfDoor + r.Frame]);
    if (!FigTick(r, Rand() % 6 + r.Speed) || ++r.Frame < kOutFrames)
        return;
    DoorSound(r);
    r.Frame = 0;
    r.Direction = r.Avoids = -1;
    ResidentDoor[kLodger] = 0;
    gLodger.gait = 0;
    r.WaitCount = 7;
    r.State = 4;
}

void StepDown(FigurRecord &r)
{
    Draw(r, 0, kFig052DayFrames[kStepsDown + gLodger.gait + r.Frame]);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame >= kStepFrames) {
        r.Frame = 0;
        if (r.AvoidOrder != 0) {
            r.ScriptVar = 1;
            gLodger.gait = Rand() % 3 + 6;
            r.Speed = HeldSpeed();
        } else {
            r.ScriptVar = 0;
            gLodger.gait = Rand() % 3 == 0 ? 3 : 0;
            r.Speed = WalkSpeed();
        }
    }
    if (r.Frame == 1 && r.AvoidOrder == 0) {
        FigSetY(r, r.Y + kStepDown);
        if (--r.WaitCount < 1) {
            r.Frame = 0;
            r.Direction = r.Avoids = -1;
            r.ScriptVar = 0;
            r.Speed = WalkSpeed();
            r.State = 5;
        }
    }
    r.AvoidOrder = 0;
}

// Runs frames first..first+count-1 and then goes to next.
void Run(FigurRecord &r, const FrameEntry *table, int sheet, int first, int count, int next)
{
    Draw(r, sheet, table[first + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < count)
        return;
    r.Frame = 0;
    r.State = next;
}

void Pause(FigurRecord &r)
{
    Run(r, kFig052DayFrames, 0, kPause, kPauseFrames, 7);
    if (r.State == 7)
        r.X -= 40;
}

void WalkLeft(FigurRecord &r)
{
    Draw(r, 0, kFig052DayFrames[kWalkLeft + r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X -= kStride;
    FigApplyAvoid(r);
    if (r.ScriptVar != 0) {
        r.ScriptVar = 0;
        r.X += kStride + 1;
        r.Speed = HeldSpeed();
        r.State = 6;
    } else if (r.X < kLeftExit) {
        r.Tick = 0;
        r.State = 999;
    } else {
        Drift(r);
    }
    r.AvoidOrder = 0;
}

void AskForOutfit(FigurRecord &r)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "FIG052_%02d_%02d", TimeOfDay, Rand() % 3 != 0 ? 1 : 2);
    WriteLog("Figur 52: %s", name);
    if (!LoadFigurPlus(kLodger, kHomeSlot, name)) {
        r.Tick = 0;
        r.State = 999;
        return;
    }
    r.Tick = kSheetWaitTicks;
    r.State = 191;
}

// Both handles: a sheet without its mask is still being made.
void WaitForOutfit(FigurRecord &r)
{
    if (r.Sheets[kHomeSlot] && r.Masks[kHomeSlot]) {
        r.Tick = Rand() % 65 + 16;
        r.State = 192;
    } else if (--r.Tick < 1) {
        r.Tick = 0;
        r.State = 999;
    }
}

void SetUpWalkHome(FigurRecord &r)
{
    CommonSetUp(r, Rand() % 89 + 72);
    r.Speed = WalkSpeed();
    gLodger.door = kHomeDoor;
    r.X = kLeftExit;
    r.Direction = r.Avoids = 1;
    gLodger.gait = 0;
    TakeDoor(kHomeDoor);
    r.Frame = r.Tick = 0;
    r.State = 201;
}

// A left click on him while he walks home or looks about.
bool Clicked(FigurRecord &r)
{
    if (!FigLeftClickIn(r, kClickW, kClickH))
        return false;
    FigPlayOwnSound(r);
    return true;
}

void ToTheDoor(FigurRecord &r)
{
    TakeDoor(gLodger.door);
    r.Direction = r.Avoids = -2;
    r.Frame = r.Tick = 0;
}

void EndOfHomeStride(FigurRecord &r)
{
    const Door &door = kDoors[gLodger.door];
    if (r.ScriptVar != 0 && r.X < door.x - 50) {
        r.ScriptVar = 0;
        r.Speed = HeldSpeed();
        r.X -= 22;
        r.Frame = r.Tick = 0;
        r.State = 202;
    } else if (r.X > SceneWidth()) {
        ResidentDoor[kLodger] = 0;
        UnloadFigur(kLodger);
    } else if (r.X >= door.x + door.width - 25) {
        ToTheDoor(r);
        r.AvoidOrder = 0;
        r.Speed += 2;
        r.X -= 22;
        r.State = 203;
    } else {
        Drift(r);
    }
}

void WalkHome(FigurRecord &r)
{
    Draw(r, kHomeSlot, kFig052HomeFrames[kWalkRight + gLodger.gait + r.Frame]);
    if (Clicked(r)) {
        r.ScriptVar = 1;
        FigTakeClick(true);
    }
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += kStride;
    gLodger.gait = Rand() % 3 == 0 ? (Rand() & 1) * kSecondGait : 0;
    FigApplyAvoid(r);
    EndOfHomeStride(r);
    r.AvoidOrder = 0;
}

void LookAbout(FigurRecord &r)
{
    Draw(r, kHomeSlot, kFig052HomeFrames[kLook + r.Frame]);
    if (Clicked(r))
        FigTakeClick(false);
    if (!FigTick(r, r.Speed) || ++r.Frame < kLookFrames)
        return;
    // Blocked, he looks about again from a few frames in.
    r.Frame = (Rand() & 3) + 2;
    if (r.AvoidOrder != 0) {
        r.AvoidOrder = 0;
        return;
    }
    r.Speed = WalkSpeed();
    r.ScriptVar = 0;
    const int doorX = kDoors[gLodger.door].x;
    if (r.X >= doorX - 20 && r.X <= doorX + 15) {
        ToTheDoor(r);
        r.State = 203;
        return;
    }
    r.Frame = 0;
    r.X += 22;
    r.Direction = r.Avoids = 1;
    gLodger.gait = 0;
    r.State = 201;
}

void Climb(FigurRecord &r)
{
    Draw(r, kHomeSlot, kFig052HomeFrames[kClimb + r.Frame]);
    if (Clicked(r))
        FigTakeClick(false);
    if (!FigTick(r, r.Speed))
        return;
    if (++r.Frame >= kClimbFrames) {
        r.Frame = 0;
        if (r.AvoidOrder != 0 || r.ScriptVar != 0) {
            r.ScriptVar = 0;
            r.Speed = HeldSpeed();
        } else {
            r.Speed = WalkSpeed();
        }
    }
    if ((r.Frame == 1 || r.Frame == 3) && r.AvoidOrder == 0) {
        r.X += r.X < gLodger.doorX ? kSideStep : (r.X > gLodger.doorX ? -kSideStep : 0);
        FigSetY(r, r.Y - kStepUp);
        if (r.Y <= gLodger.doorTop) {
            r.X = gLodger.doorX;
            FigSetY(r, gLodger.doorY);
            r.Frame = r.Tick = 0;
            r.State = 205;
        }
    }
    r.AvoidOrder = 0;
}

void GoIn(FigurRecord &r)
{
    Draw(r, kHomeSlot, kFig052HomeFrames[kGoIn + r.Frame]);
    if (!FigTick(r, (Rand() & 3) + FigureSpeedBase() + 3) || ++r.Frame < kGoInFrames)
        return;
    DoorSound(r);
    r.Frame = 0;
    r.Direction = r.Avoids = 0;
    ResidentDoor[kLodger] = gLodger.door;
    r.Tick = 0;
    r.State = 999;
}

void SetUpNight(FigurRecord &r)
{
    r.X = kLeftExit;
    r.FrameH = 90;
    r.FrameW = 80;
    r.Spacing = 7;
    FigPlaceInLane(r, SceneHeight() - 92, SceneHeight() - 91);
    FigSetPause(r, Rand() % 481 + 240);
    r.Tick = r.Frame = 0;
    r.Speed = Spread(3, 6);
    r.Avoids = r.AvoidOrder = r.DriftStep = 0;
    r.WantsBus = 0;
    r.Direction = 1;
    r.State = 501;
}

void CrossAtNight(FigurRecord &r)
{
    Draw(r, 0, kFig052NightFrames[r.Frame]);
    if (!FigTick(r, r.Speed) || ++r.Frame < kWalkFrames)
        return;
    r.Frame = 0;
    r.X += kNightStride;
    r.AvoidOrder = 0;
    if (r.X > SceneWidth())
        UnloadFigur(kLodger);
}

void Start(FigurRecord &r)
{
    if (TimeOfDay == kNight) {
        r.State = 500;
    } else if (TimeOfDay == kDay) {
        r.State = 1;
    } else {
        UnloadFigur(kLodger);
    }
}

}  // namespace

void Figur052Script()
{
    FigurRecord &r = FigurTable[kLodger];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: Start(r); return;
    case 1:
        FigSetName(r);
        gLodger.waitingSetUp = false;
        if (ResidentDoor[kLodger] == 0) {
            r.State = 190;
        } else {
            gLodger.door = ResidentDoor[kLodger];
            r.State = 2;
        }
        return;
    case 2: WaitAtTheDoor(r); return;
    case 3: ComeOut(r); return;
    case 4: StepDown(r); return;
    case 5: Run(r, kFig052DayFrames, 0, kTurn, kTurnFrames, 6); return;
    case 6: Pause(r); return;
    case 7: WalkLeft(r); return;
    case 190: AskForOutfit(r); return;
    case 191: WaitForOutfit(r); return;
    case 192:
        if (--r.Tick < 1) {
            r.Tick = r.Frame = 0;
            r.State = 200;
        }
        return;
    case 200: SetUpWalkHome(r); return;
    case 201: WalkHome(r); return;
    case 202: LookAbout(r); return;
    case 203: Run(r, kFig052HomeFrames, kHomeSlot, kTurnToDoor, kTurnToDoorFrames, 204); return;
    case 204: Climb(r); return;
    case 205: GoIn(r); return;
    case 500: SetUpNight(r); return;
    case 501: CrossAtNight(r); return;
    case 999:
        if (++r.Tick >= kEndTicks)
            UnloadFigur(kLodger);
        return;
    default: FigUnknownState(r); return;
    }
}

void ResetFigur052() { gLodger = {}; }
