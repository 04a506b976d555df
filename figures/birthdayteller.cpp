// Figure 35 walks right along the far pavement, stops now and then and
// tells, in a speech bubble, the next of today's birthday reminders. Which
// text comes next outlives the figure, so a later walk goes on with the
// next one.
#include "figures/figures.h"

#include "core/random.h"
#include "scene/bubbles.h"
#include "figures/scriptframe.h"
#include "figures/strides.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "services/birthdays.h"

// The frame tables come with the pictures, from the art generator.
#include "fig035_frames.h"

namespace {

constexpr int kTeller = 35;
constexpr int kStride = 20;
constexpr int kStandFirst = 4;
constexpr int kStandFrames = 5;
constexpr int kNoStopBeforePost = 150;
constexpr int kBubbleSeconds = 10;
// Up to this X the bubble opens to the right of the figure.
constexpr int kBubbleRightUpTo = 210;
constexpr int kWalkClickW = 88;
constexpr int kStandClickW = 104;
constexpr int kClickH = 118;
constexpr int kStandsAfterClick = 6;

int gBirthdayTextIndex = 0;

// The next text in a bubble beside the figure; an empty one is passed over
// in silence. Either way the turn goes to the next text.
void TellNextText(FigurRecord &r)
{
    const int count = BirthdaysToday < kMaxBirthdayTexts ? BirthdaysToday : kMaxBirthdayTexts;
    if (count < 1)
        return;
    if (gBirthdayTextIndex >= count || gBirthdayTextIndex < 0)
        gBirthdayTextIndex = 0;
    const char *text = BirthdayTexts[gBirthdayTextIndex];
    if (text[0] != '\0') {
        if (r.X <= kBubbleRightUpTo)
            CreateSprechblase(2, text, r.X + 110, r.Y - 50, kBubbleSeconds);
        else
            CreateSprechblase(1, text, r.X - 154, r.Y - 40, kBubbleSeconds);
    }
    if (++gBirthdayTextIndex >= count)
        gBirthdayTextIndex = 0;
}

void TellerSetUp(FigurRecord &r)
{
    const int h = SceneHeight();
    FigSetName(r);
    r.X = -120;
    r.FrameW = kFig035FrameW;
    r.FrameH = kFig035FrameH;
    r.Spacing = 8;
    FigPlaceInLane(r, h - 307, h - 285);
    r.Speed = Rand() % 3 + FigureSpeedBase() + 2;
    r.AvoidOrder = 0;
    r.Direction = r.Avoids = 1;
    FigSetPause(r, Rand() % 25 + 16);
    r.State = 1;
}

void TellerStop(FigurRecord &r)
{
    if (OpenBubbleKind == 0)
        TellNextText(r);
    r.Direction = r.Avoids = 0;
    r.ScriptVar = 0;
    r.WaitCount = Rand() % 11 + 6;
    r.State = 2;
}

void TellerWalk(FigurRecord &r)
{
    FigDraw(r, 0, kFig035Frames[r.Frame]);
    if (!FigTick(r, r.Speed)) {
        r.AvoidOrder = 0;
        return;
    }
    // A click is noticed only as a step is taken.
    if (FigLeftClickIn(r, kWalkClickW, kClickH)) {
        FigPlayOwnSound(r);
        r.Frame = 0;
        r.Direction = r.Avoids = 0;
        r.State = 2;
        FigTakeClick(true);
        return;
    }
    if (++r.Frame < kWalkFrames) {
        r.AvoidOrder = 0;
        return;
    }
    r.Frame = 0;
    r.X += kStride;
    FigApplyAvoid(r);
    if (r.X > SceneWidth()) {
        UnloadFigur(kTeller);
        return;
    }
    if (r.ScriptVar != 0 || (r.X > StopPostX() + kNoStopBeforePost && Rand() % 20 == 0)) {
        TellerStop(r);
    } else if (r.AvoidOrder == 0 && Rand() % 9 == 0) {
        // DriftStep stays 0: the teller holds the line of the pavement.
        FigDrift(r, Rand() % 2 + 2);
    }
    r.AvoidOrder = 0;
}

void TellerStand(FigurRecord &r)
{
    if (FigLeftClickIn(r, kStandClickW, kClickH)) {
        FigTakeClick(false);
        if (OpenBubbleKind != 0) {
            KillSprechblase();
            OpenBubbleKind = 0;
        } else {
            TellNextText(r);
            r.WaitCount = kStandsAfterClick;
        }
    }
    FigDraw(r, 0, kFig035Frames[kStandFirst + r.Frame]);
    if (++r.Tick <= Rand() % 7 + r.Speed + 4)
        return;
    r.Tick = 0;
    if (++r.Frame < kStandFrames)
        return;
    r.Frame = Rand() % 4 != 0 ? 2 : 1;
    if (--r.WaitCount >= 1)
        return;
    if (OpenBubbleKind != 0)
        KillSprechblase();
    r.Direction = r.Avoids = 1;
    r.X += 24;
    r.Tick = 0;
    r.State = 1;
}

}  // namespace

void Figur035Script()
{
    FigurRecord &r = FigurTable[kTeller];
    if (FigClickBlock(r))
        return;
    switch (r.State) {
    case 0: TellerSetUp(r); return;
    case 1: TellerWalk(r); return;
    case 2: TellerStand(r); return;
    default: return;
    }
}

void ResetFigur035() { gBirthdayTextIndex = 0; }
