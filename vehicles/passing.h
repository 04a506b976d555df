// The passing vehicles of both lanes (objects 73 to 105): cars, vans,
// lorries, a coach, mopeds and cyclists that cross the street, and the
// tractor that takes one lane and then the other. One engine drives them all
// from a table of each vehicle's constants.
#pragma once

#include <cstdint>

#include "frame_entry.h"

constexpr int kFirstPassing = 73;
constexpr int kLastPassing = 105;

// How a vehicle's speed is drawn at its set-up.
enum class StartSpeed {
    kMin,            // minCarSpeed
    kMinOrNext,      // minCarSpeed + 0..1
    kMinToMax,       // minCarSpeed..maxCarSpeed
    kBelowMax,       // minCarSpeed..maxCarSpeed - 1
    kMax,            // maxCarSpeed
    kMaxLess1,       // maxCarSpeed - 1
    kMinPlus1,       // minCarSpeed + 1
    kAboutMax,       // maxCarSpeed - 1 .. maxCarSpeed + 2
};

// The engine's samples for speed 0, 1, 2, 3 and 4 or more, and how many
// ticks lie between two of them.
struct EngineLadder {
    int samples[5];
    int countdownSpan, countdownLeast;
};

// The click sample: a fixed one, none, 2 or 3 by chance, 3 on the first body
// and 4 on the others.
constexpr int kNoClick = -1;
constexpr int kClick2or3 = -2;
constexpr int kClick3or4 = -3;

// One look of a vehicle: its frame table and where its parts lie on it.
struct VehicleArt {
    const FrameEntry *frames;
    int32_t bodies, strip, stripY, phases, occupant, occupantSets, occupantX, occupantY, w, h;
    int32_t stride;     // from one occupant set's first frame to the next
    int32_t bodyFirst;  // the first body's frame
};

// One vehicle's constants.
struct PassingMember {
    int id;
    int direction;              // -1 leftwards on the far lane, +1 rightwards on the near lane
    int laneTop, laneBottom;    // the lane's top edges, above the scene's bottom (y = H - laneTop ..)
    int spacing;
    int startX, startSpan;      // leftwards: W + startX + 0..span-1; rightwards: startX
    StartSpeed speed;
    int pauseSpan, pauseLeast;
    int click;
    const EngineLadder *engine;
    int wanderFactor, wanderOffset;
    int driftOdds, turnSpan, turnLeast;
    bool wheelsEverySecondMove;
    int leaveX;                 // leftwards: x < leaveX; rightwards: x > W + leaveX
    bool keepsSpeedOnClick;     // and wanders at each new occupant pose instead
    VehicleArt art;
    const char *sheet = nullptr;  // the long variants' sheet, asked for on demand ("%02d": time of day)
    int poses = 0;              // the long variants: occupant poses a set
};

// The constants of vehicle id (74 to 105), by day or, for the lorries that
// are other lorries after dark, at dusk and at night; null for others.
const PassingMember *FindPassingMember(int id, int timeOfDay);
// The long variants 2 and 3 of 77 and 100; null for others.
const PassingMember *FindLongVariant(int id, int variant);

void Figur073Script();
void Figur074Script();
void Figur075Script();
void Figur076Script();
void Figur077Script();
void Figur078Script();
void Figur079Script();
void Figur080Script();
void Figur081Script();
void Figur082Script();
void Figur083Script();
void Figur084Script();
void Figur085Script();
void Figur086Script();
void Figur087Script();
void Figur088Script();
void Figur089Script();
void Figur090Script();
void Figur091Script();
void Figur092Script();
void Figur093Script();
void Figur094Script();
void Figur095Script();
void Figur096Script();
void Figur097Script();
void Figur098Script();
void Figur099Script();
void Figur100Script();
void Figur101Script();
void Figur102Script();
void Figur103Script();
void Figur104Script();
void Figur105Script();
// What vehicle id chose at its last set-up and shows now: its body and
// occupant frame, the first frame of its occupant's set, the first frame of
// a passenger (pillion rider, co-driver; -1: none) and its pose, the frame of
// its load (-1: none), the family car's further seats and roof load (-1:
// none), and the second cyclist's distance behind the first (0: none),
// bicycle and rider set.
struct PassingChoice {
    int body, occupantSet, occupant, extra, extraPose, load, seat2, seat3, roof, trailing, trailBody, trailSet;
};
PassingChoice PassingChoiceOf(int id);
// Every passing vehicle back to a clean start; the tractor starts leftwards.
void ResetPassingVehicles();
void ResetTractor();
