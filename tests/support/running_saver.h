// The saver's full-screen window run on a thread of the test program, with
// the test pictures and a debug log of its own: the frame the tests of the
// running street share.
#pragma once

#include "base/common.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace scenetest {

class RunningSaver : public ::testing::Test {
protected:
    // Test art, settings cleared, the debug log switched on into a temp folder.
    // A test adds its own settings after calling this.
    void SetUp() override;
    // Closes a window left open and checks no GDI object outlived the run.
    void TearDown() override;

    // Starts the window with the scene clock at the moment; fails the test
    // unless the street runs within ms (generous: a full suite loads the
    // machine while the scene is built).
    void StartAt(const SYSTEMTIME &moment, DWORD ms = 60000);
    // Closes the window and checks the log of a clean end with every GDI
    // object given back.
    void Stop();

    std::string Log() const;
    bool LogHasAfter(size_t mark, const char *text) const { return Log().find(text, mark) != std::string::npos; }
    // Keys reach the saver as in interactive mode, on the key's release.
    void Key(int key);
    // Keeps the object off the street through its "nichtNNN" setting.
    static void KeepOff(int id);

    testutil::TempDir dir_;
    std::string log_;
    std::thread saver_;
    std::atomic<bool> ended_{false};
    LONG gdiBefore_ = 0;
};

}  // namespace scenetest
