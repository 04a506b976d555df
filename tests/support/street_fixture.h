// A built scene of 1280 x 1024 on the test pictures, with the walkers' probe
// sheets, a debug log and a speech-text file of its own, for tests that call
// the scene step and the scripts directly.
#pragma once

#include <gtest/gtest.h>

#include "base/common.h"
#include "testutil.h"

#include <string>

namespace streettest {

// The colour of frame-table entry k on the probe sheet of figure id.
COLORREF EntryColour(int id, int timeOfDay, int slot, int entry);

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

    std::string Log();
    void WriteSpeechTexts(const std::string &ini);

    testutil::TempDir dir_;
    std::string log_;
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

}  // namespace streettest
