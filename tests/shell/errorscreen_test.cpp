// The error screen takes the scene's background away only once nothing that
// could still draw from it or load into it runs.
#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "shell/entry.h"
#include "shell/startup.h"

namespace {

// A loader that has not ended: it waits until the test lets it go.
DWORD WINAPI StuckLoader(LPVOID release)
{
    WaitForSingleObject(static_cast<HANDLE>(release), INFINITE);
    return 0;
}

class ErrorScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ResetScene();
        gdiBefore_ = GdiObjectsAlive();
        window_ = CreateWindowExA(0, "STATIC", "error", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window_;
        ClientWidth = 1280;
        ClientHeight = 1024;
        scenetest::FreezeClock(2026, 6, 10, 10, 0, 0);
    }
    void TearDown() override
    {
        KillTimer(window_, kSaverTimer);
        scenetest::ResetScene();
        ClockReset();
        MainWindow = nullptr;
        DestroyWindow(window_);
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    void ShowErrorScreen()
    {
        RunState = kErrorScreenSetup;
        OnTimer(window_, kSaverTimer);
        EXPECT_EQ(RunState, kErrorScreen);
    }
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

TEST_F(ErrorScreen, KeepsTheBackgroundWhileALoaderHasNotEnded)
{
    ASSERT_EQ(CreateScreen(), 1);
    ASSERT_TRUE(BackgroundDC);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    PlusLoaderThread = CreateThread(nullptr, 0, StuckLoader, release, 0, nullptr);
    ASSERT_TRUE(PlusLoaderThread);
    ShowErrorScreen();
    EXPECT_TRUE(BackgroundDC) << "freed under a loader that still runs";
    SetEvent(release);
    ASSERT_TRUE(JoinLoaderThreads(5000));
    CloseHandle(release);
    // With every thread ended, the next error screen frees it.
    EndFlag = 0;
    ShowErrorScreen();
    EXPECT_FALSE(BackgroundDC);
}

}  // namespace
