// The saver's sound and music code against our real audio library: settings
// globals set per test, the library found through HLPpath, the log read back.
#pragma once

#include <gtest/gtest.h>

#include "audiotest.h"
#include "testutil.h"

#include "base/debuglog.h"
#include "base/now.h"
#include "services/music.h"
#include "services/sound.h"
#include "config/config.h"

#include <string>

class SaverAudioTest : public ::testing::Test {
public:
    static std::string DistFolder()
    {
        std::string d = testutil::DistPath("");
        while (!d.empty() && d.back() == '\\')
            d.pop_back();
        return d;
    }

protected:
    void SetUp() override
    {
        SetDefaultSettings();
        ClockReset();
        ResetSoundSchedule();
        StrCopy(HLPpath, DistFolder().c_str());
        logPath = dir.File("wyn03.log");
        DebugOn = 1;
        OpenDebugLog(logPath.c_str());
        SetSoundSceneWidth(1000);
    }
    void TearDown() override
    {
        WaitMusicThread(10000);
        FreeBASS();
        CloseDebugLog();
        ClockReset();
    }

    // The log's text so far (the log is closed for reading and opened again).
    std::string LogText()
    {
        CloseDebugLog();
        std::string text = testutil::ReadFileBytes(logPath);
        DebugOn = 1;
        OpenDebugLog(logPath.c_str());
        return text;
    }

    // Effects instance with the test program's WAVE resources, switches as given.
    void LoadEffects()
    {
        Sound = LoadBASS(kEffectsInstance);
        ASSERT_EQ(1, Sound);
        LockWaveResources(GetModuleHandleA(nullptr));
        LoadSamples();
    }

    testutil::TempDir dir;
    std::string logPath;
    audiotest::Capture capture;
};
