#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "features/props.h"
#include "features/ticker.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "scene_fixture.h"
#include "services/notes.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "testutil.h"

#include <string>

namespace {

COLORREF Work(int x, int y) { return GetPixel(WorkDC, x, y); }

class Props : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        gdiBefore_ = GdiObjectsAlive();
        window_ = CreateWindowExA(0, "STATIC", "props", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window_;
        SaverMode = kModeUnset;
        log_ = dir_.File("props.log");
    }
    void TearDown() override
    {
        StopTickerThread(5000);
        testutil::WaitFor([] { return !LoaderBusy && !PlusLoaderBusy; }, 10000);
        scenetest::ResetScene();
        NewNoteWritten = 0;
        CloseDebugLog();
        DebugOn = 0;
        ClockReset();
        MainWindow = nullptr;
        DestroyWindow(window_);
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    // A summer scene at the hour, in a window of w x h; props switched off so
    // that each test brings its own.
    void Build(int hour, int w = 1280, int h = 1024)
    {
        scenetest::ResetScene();
        ClientWidth = w;
        ClientHeight = h;
        Pfloecke = 0;
        MSGshowWyn03 = 0;
        TramOn = false;
        Interactive = 0;
        WeatherShow = false;
        DebugOn = 1;
        if (!DebugLogIsOpen())
            OpenDebugLog(log_.c_str());
        scenetest::FreezeClock(2026, 6, 10, hour, 0, 0);
        ASSERT_EQ(CreateScreen(), 1);
    }
    void ClearWork()
    {
        BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
    }
    void Tick(int id, int n = 1)
    {
        for (int i = 0; i < n && IsOnStage(id); ++i) {
            ClearWork();
            RunScript(id);
        }
    }
    std::string Log() { return scenetest::ReadText(log_); }

    testutil::TempDir dir_;
    std::string log_;
    HWND window_ = nullptr;
    LONG gdiBefore_ = 0;
};

TEST_F(Props, BollardsByDesignAndSceneWidth)
{
    struct { int setting; int width; int places; } cases[] = {
        // At 800 the groups at 520 and 640 and the single post at 760.
        {1, 1280, 7}, {2, 1280, 7}, {3, 800, 3}, {0, 1280, 0}, {4, 1280, 0}, {-1, 1280, 0}, {100, 1280, 0},
    };
    for (auto c : cases) {
        Build(10, c.width, c.width == 800 ? 600 : 1024);
        Pfloecke = c.setting;
        ASSERT_EQ(LoadFigurWait(kBollardObject, 0), 1);
        SetupPfloecke();
        Tick(kBollardObject);
        if (c.places == 0) {
            EXPECT_FALSE(IsOnStage(kBollardObject)) << c.setting;
            continue;
        }
        const FigurRecord &r = FigurTable[kBollardObject];
        EXPECT_EQ(r.Y, SceneH - 194);
        EXPECT_EQ(r.FootLine, SceneH - 154);
        int shown = 0;
        for (int k = 0; k < 8; ++k) {
            COLORREF post = Work(BollardX(k) + 3, r.Y + 10);
            bool here = GetRValue(post) == 116;
            if (!here)
                continue;
            ++shown;
            EXPECT_EQ(GetGValue(post), 10 + c.setting - 1) << "design of " << c.setting;
            // The third place has the single post only.
            bool group = GetBValue(Work(BollardX(k) + 20, r.Y + 10)) == 100;
            EXPECT_EQ(group, !IsSinglePost(k)) << k << " at " << c.width;
        }
        EXPECT_EQ(shown, c.places) << c.setting << " at " << c.width;
        EXPECT_EQ(BollardX(6), 1240);
        EXPECT_TRUE(IsSinglePost(2));
        UnloadFigur(kBollardObject);
    }
}

TEST_F(Props, TramPropsStandAtTheirPlaces)
{
    Build(10);
    struct { int id, x, top, foot; } cases[] = {{kMastObject, 13, 314, 159}, {kTramSignObject, 0, 265, 170}};
    for (auto c : cases) {
        ASSERT_EQ(LoadFigurWait(c.id, 0), 1);
        Tick(c.id);
        const FigurRecord &r = FigurTable[c.id];
        EXPECT_EQ(r.X, c.x);
        EXPECT_EQ(r.Y, SceneH - c.top);
        EXPECT_EQ(r.FootLine, r.Y + c.foot);
        EXPECT_EQ(GetRValue(Work(r.X + 10, r.Y + 10)), c.id);
    }
}

TEST_F(Props, MessageSignShowsTheNewNoteFlag)
{
    struct { int design; int language; int green; } cases[] = {{1, 1, 11}, {1, 0, 12}, {2, 1, 13}};
    for (auto c : cases) {
        Build(10);
        MSGdispWyn03 = c.design;
        Language = c.language;
        ASSERT_EQ(LoadFigurWait(kMessageSignObject, 0), 1);
        const FigurRecord &r = FigurTable[kMessageSignObject];
        ASSERT_TRUE(testutil::WaitFor(
            [&] {
                Tick(kMessageSignObject);
                return r.State == 2 || !IsOnStage(kMessageSignObject);
            },
            5000));
        EXPECT_EQ(r.X, SceneW - 140);
        EXPECT_EQ(r.Y, SceneH - 114);
        for (int flag : {0, 1}) {
            NewNoteWritten = flag;
            Tick(kMessageSignObject);
            COLORREF p = Work(r.X + 20, r.Y + 20);
            EXPECT_EQ(GetGValue(p), c.green) << c.design << " " << c.language;
            EXPECT_EQ(GetBValue(p), 5 + flag);
        }
        UnloadFigur(kMessageSignObject);
    }
}

TEST_F(Props, MessageSignAsksAgainAndGivesUpWithoutAPicture)
{
    // The extra-sheet loader is busy for a while: the sign asks again.
    Build(10);
    MSGdispWyn03 = 1;
    ASSERT_EQ(LoadFigurWait(kMessageSignObject, 0), 1);
    PlusLoaderBusy = 1;
    Tick(kMessageSignObject, 50);
    EXPECT_TRUE(IsOnStage(kMessageSignObject));
    PlusLoaderBusy = 0;
    const FigurRecord &r = FigurTable[kMessageSignObject];
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            Tick(kMessageSignObject);
            return r.State == 2 || !IsOnStage(kMessageSignObject);
        },
        5000));
    EXPECT_EQ(r.State, 2);
    UnloadFigur(kMessageSignObject);

    // At night the neutral sign has no picture: after 400 ticks it leaves.
    Build(23);
    MSGdispWyn03 = 2;
    ASSERT_EQ(LoadFigurWait(kMessageSignObject, 0), 1);
    Tick(kMessageSignObject);
    ASSERT_TRUE(testutil::WaitFor([] { return !PlusLoaderBusy; }, 5000));
    Tick(kMessageSignObject, 398);
    EXPECT_TRUE(IsOnStage(kMessageSignObject));
    Tick(kMessageSignObject, 2);
    EXPECT_FALSE(IsOnStage(kMessageSignObject));
}

class Ticker : public Props {
protected:
    void Prepare(bool withNote)
    {
        Build(10);
        StrCopy(MSGPath, dir_.Path().c_str());
        if (withNote)
            testutil::WriteFileBytes(dir_.File("N_20260101_1200a.txt"), "Die Baeckerei hat heute zu.\n");
        ASSERT_EQ(LoadFigurWait(kTickerObject, 100), 1);
        ASSERT_EQ(FigurTable[kTickerObject].State, 100);
    }
    const FigurRecord &R() { return FigurTable[kTickerObject]; }
};

TEST_F(Ticker, ScrollsANoteAcrossTheScene)
{
    Prepare(true);
    Tick(kTickerObject, 2000);
    EXPECT_EQ(R().State, 100);
    Tick(kTickerObject);
    EXPECT_EQ(R().State, 101);
    Tick(kTickerObject);
    ASSERT_EQ(R().State, 102);
    StopTickerThread(5000);
    Tick(kTickerObject);
    ASSERT_EQ(R().State, 103) << Log();
    const int width = TickerWidth;
    EXPECT_GT(width, 1);
    EXPECT_EQ(R().X, SceneW + 20);
    EXPECT_EQ(R().Y, SceneH - TickerHeight - 2);
    EXPECT_NE(Log().find("CreateTickerBMP: "), std::string::npos);

    // One pixel a tick; the text shows in its own colour.
    Tick(kTickerObject, SceneW + 20 - 100);
    EXPECT_EQ(R().X, 100);
    bool textSeen = false;
    for (int y = R().Y; y < R().Y + TickerHeight && !textSeen; ++y)
        for (int x = 100; x < 100 + width && x < SceneW && !textSeen; ++x)
            textSeen = Work(x, y) == RGB(0xF5, 0xF5, 0xF5);
    EXPECT_TRUE(textSeen);
    // Until the text's right end has left the scene.
    Tick(kTickerObject, 100 + width);
    EXPECT_EQ(R().State, 103);
    Tick(kTickerObject);
    EXPECT_EQ(R().State, 100);
}

TEST_F(Ticker, WithoutANoteItRestsAndComesBack)
{
    Prepare(false);
    Tick(kTickerObject, 2002);
    ASSERT_EQ(R().State, 102);
    StopTickerThread(5000);
    Tick(kTickerObject, 200);
    EXPECT_EQ(R().State, 102);
    Tick(kTickerObject);
    EXPECT_EQ(R().State, 900);
    Tick(kTickerObject, 12000);
    EXPECT_EQ(R().State, 900);
    Tick(kTickerObject);
    EXPECT_EQ(R().State, 100);
}

TEST_F(Ticker, AThreadThatEndsAfterTheUnloadLeavesNothing)
{
    Prepare(true);
    TickerJob job = {ObjectGeneration(kTickerObject)};
    UnloadFigur(kTickerObject);
    LONG before = GdiObjectsAlive();
    TickerThread(&job);
    EXPECT_EQ(FigurTable[kTickerObject].Sheets[kTickerSlot], nullptr);
    EXPECT_EQ(GdiObjectsAlive(), before);
}

}  // namespace
