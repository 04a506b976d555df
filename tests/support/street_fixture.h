// A built scene of 1280 x 1024 on the test pictures, with the walkers' probe
// sheets, a debug log and a speech-text file of its own, for tests that call
// the scene step and the scripts directly.
#pragma once

#include <gtest/gtest.h>

#include "base/common.h"
#include "scene/objects.h"
#include "testutil.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace streettest {

// The colour of frame-table entry k on the probe sheet of figure id.
COLORREF EntryColour(int id, int timeOfDay, int slot, int entry);

// A lettered vehicle's wait for the lettering of the user's picture.
struct LetteringCase {
    const char *name;
    int pictures;       // in the user's list
    int (*start)(int);  // stands in for the lettering worker
    bool lettered;      // the lettering comes
    int waits;          // ticks in the lettering state; -1: one or two
};
// An empty list, a refusal, a lettering that comes (publish brings it) and
// one that never comes.
std::vector<LetteringCase> LetteringCases(int (*publish)(int));

class StreetScene : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Moves the scene clock to a moment (and the date globals with it).
    void At(int year, int month, int day, int hour, int minute, int second = 0);
    // Builds the scene for the clock's day phase.
    void Build();
    // Brings an object on stage through the real loader and gives it its pair.
    void OnStage(int id, int startState);
    // Marks an object as on stage without pictures, for the casting rules.
    void PretendOnStage(int id, bool on = true);
    // Calls an object's script n times.
    void Run(int id, int n = 1);
    // On stage and through its first call.
    FigurRecord &Enter(int id, int startState = 0);
    // A click at x, y, raised through flag (ClickPending when none is named).
    void Click(std::atomic<uint32_t> &flag, int x, int y);
    void Click(int x, int y);
    // n frames of the scene step on the work buffer.
    void Frames(int n);
    // A passer (a figure of the street) on figure id's foot line, dx right of
    // it, while the scene step gives its avoidance orders; then the passer
    // leaves. The order id got is left to id's script; it is returned.
    int OrderFromAPasserBy(int id, int passer, int dx);

    COLORREF Work(int x, int y);
    // Which entry of figure id was drawn at its corner, or -1.
    int DrawnEntry(int id, int slot = 0);
    // Which entry of figure id was drawn with its corner at x, y, or -1.
    int DrawnEntryAt(int id, int x, int y, int slot = 0);

    // The dist folder as the program's folder, where our bass.dll and the
    // sounds are.
    void DistIsProgramFolder();
    // Our bass.dll from there with the test program's samples, those of the
    // sound switches on loaded, placed on the scene's width; false when it
    // did not start.
    bool StartEffects();
    // The bus on stage, through its set-up and its choice of passengers.
    FigurRecord &BusReadyToEnter();
    // The bus standing at the post on its first tick there, with empty
    // windows.
    FigurRecord &BusAtTheStop();
    // Vehicle id on stage with the case's list (its count in *listCount) and
    // stand-in, run through its lettering state: checks the ticks it waited
    // there and the log's notice (notice) when the lettering never came.
    void WaitForLettering(int id, const LetteringCase &c, int *listCount, const char *notice);

    std::string Log();
    void WriteSpeechTexts(const std::string &ini);

    testutil::TempDir dir_;
    std::string log_;
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

// The scene built for a real topmost window as large as the screen, with
// the background on it: the window the flyers' off-screen pair draws on.
class ScreenWindowScene : public StreetScene {
protected:
    void SetUp() override;
    void TearDown() override;

    int w_ = 0, h_ = 0;
    HWND screen_ = nullptr;
    HDC dc_ = nullptr;
};

// The street with day from 8 and night from 20, so that the evening hour
// is dusk; the figures' speed, the bus's halt and the hours are put back
// afterwards.
class FixedHoursScene : public StreetScene {
protected:
    void SetUp() override;
    void TearDown() override;

    // A clean work buffer, so that a test sees what one call drew.
    void Fresh();
    // On stage and through its first call, on a clean work buffer.
    FigurRecord &Enter(int id, int startState = 0);
    // Runs the figure until pred holds or it leaves; false when it never held.
    template <typename Pred>
    bool RunUntil(int id, Pred pred, int calls = 20000)
    {
        for (int i = 0; i < calls && IsOnStage(id); ++i) {
            if (pred(FigurTable[id]))
                return true;
            Run(id);
        }
        return IsOnStage(id) && pred(FigurTable[id]);
    }

    int speedBefore_ = 0;
    int dayNightBefore_[4] = {};
};

}  // namespace streettest
