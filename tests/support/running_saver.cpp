#include "running_saver.h"

#include "base/gdiutil.h"
#include "base/now.h"
#include "scene_fixture.h"
#include "shared/strings.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"

namespace scenetest {

void RunningSaver::SetUp()
{
    UseTestArt();
    ClearSettings();
    log_ = dir_.File("saver.log");
    SetSetting("DebugOn", 1);
    SetSettingString("DebugFileName", log_.c_str());
}

void RunningSaver::TearDown()
{
    if (MainWindow)
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    if (saver_.joinable())
        saver_.join();
    ClockReset();
    ClearSettings();
    EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
}

void RunningSaver::StartAt(const SYSTEMTIME &moment, DWORD ms)
{
    gdiBefore_ = GdiObjectsAlive();
    ClockStartAt(moment);
    ended_ = false;
    RunState = kEndPosted;
    MainWindow = nullptr;
    saver_ = std::thread([this] {
        SaverMode = kModeFullScreen;
        RunSaverWindow(nullptr, kModeFullScreen);
        ended_ = true;
    });
    ASSERT_TRUE(testutil::WaitFor([] { return RunState == kRunning && MainWindow; }, ms)) << Log();
}

void RunningSaver::Stop()
{
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(testutil::WaitFor([this] { return ended_.load(); }, 10000)) << Log();
    saver_.join();
    std::string log = Log();
    EXPECT_NE(log.find("SCR NORMAL BEENDET"), std::string::npos);
    EXPECT_NE(log.find("GDI-Objekte offen: 0\r\n"), std::string::npos);
}

std::string RunningSaver::Log() const { return ReadText(log_); }

void RunningSaver::Key(int key) { PostMessageA(MainWindow, WM_KEYUP, key, 0); }

void RunningSaver::KeepOff(int id)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "nicht%03d", id);
    SetSetting(name, 1);
}

}  // namespace scenetest
