// The debug log: line format, start and end blocks, threads and a closed log.
#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/now.h"
#include "config/config.h"
#include "config/settingstable.h"
#include "testutil.h"

#include <algorithm>
#include <atomic>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class DebugLogTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        DebugOn = 1;
        path_ = dir_.File("wyn.log");
        ClockFreeze(testutil::Moment(2026, 12, 4, 7, 5, 9));
    }
    void TearDown() override
    {
        CloseDebugLog();
        ClockReset();
    }

    std::vector<std::string> Lines()
    {
        std::vector<std::string> out;
        std::string bytes = testutil::ReadFileBytes(path_);
        size_t start = 0;
        for (size_t pos; (pos = bytes.find("\r\n", start)) != std::string::npos; start = pos + 2)
            out.push_back(bytes.substr(start, pos - start));
        EXPECT_EQ(start, bytes.size()) << "the log ends with CR LF";
        return out;
    }

    testutil::TempDir dir_;
    std::string path_;
};

const char kStamp[] = "04.12.2026 07:05.09  ";
const std::string kDashes(70, '-');

TEST_F(DebugLogTest, RunWritesStartBlockLinesAndEndBlock)
{
    OpenDebugLog(path_.c_str(), LogSettingsReport);
    WriteLog("Figur %d geladen", 17);
    WriteLog("+++ Fehler: %s", "weg");
    CloseDebugLog();
    WriteLog("after close");  // dropped, and no crash

    std::vector<std::string> lines = Lines();
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], kDashes);
    EXPECT_EQ(lines[1], std::string(kStamp) + "START");
    auto has = [&](const std::string &text) {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_TRUE(has("Tandrovi Wendelby 3 Version 1.1.0"));
    EXPECT_TRUE(has("Timerintervall:     20"));
    EXPECT_TRUE(has("Nacht ab:           21"));
    EXPECT_TRUE(has("Winterdauer:        4"));
    EXPECT_TRUE(has("Sound:              J"));
    EXPECT_TRUE(has("Musik:              N"));
    EXPECT_TRUE(has("Stra\xDF" "enbahn:        J")) << "German text as Windows-1252 bytes";
    EXPECT_TRUE(has("dmPelsWidth:        0"));
    std::regex memory("Total physical memory:  [0-9]+KB");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](auto &l) { return std::regex_match(l, memory); }));
    std::regex display("HORZRES: {12}[0-9]+ ");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](auto &l) { return std::regex_match(l, display); }));
    EXPECT_TRUE(has("Processor Type: Pentium ") || has("Processor Type: ? ") || has("Processor Type: 80486 "));
    EXPECT_TRUE(has(std::string(kStamp) + "Figur 17 geladen"));
    EXPECT_TRUE(has(std::string(kStamp) + "+++ Fehler: weg"));
    size_t n = lines.size();
    EXPECT_EQ(lines[n - 3], std::string(kStamp) + "SCR NORMAL BEENDET");
    EXPECT_EQ(lines[n - 2], kDashes);
    EXPECT_EQ(lines[n - 1], "");
}

TEST_F(DebugLogTest, EachRunAppendsItsOwnBlocks)
{
    for (int run = 0; run < 2; ++run) {
        OpenDebugLog(path_.c_str());
        WriteLog("run %d", run);
        CloseDebugLog();
    }
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(kStamp) + "START"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(kStamp) + "SCR NORMAL BEENDET"), 2);
}

TEST_F(DebugLogTest, OffOrUnopenableLogWritesNothing)
{
    DebugOn = 0;
    WriteLog("nothing");
    EXPECT_FALSE(testutil::FileExists(path_));

    DebugOn = 1;
    std::string missing = dir_.File("no\\such\\folder\\wyn.log");
    OpenDebugLog(missing.c_str());
    EXPECT_EQ(DebugOn, 0);
    EXPECT_FALSE(DebugLogIsOpen());
    WriteLog("still nothing");
    CloseDebugLog();
}

TEST_F(DebugLogTest, LongTextIsCutAndThreadsNeverInterleave)
{
    OpenDebugLog(path_.c_str());
    std::string huge(2000, 'z');
    WriteLog("%s", huge.c_str());

    constexpr int kThreads = 8, kLinesEach = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i)
                WriteLog("thread %d line %04d %s", t, i, "abcdefghijklmnopqrstuvwxyz");
        });
    }
    // One thread closes the log while the others may still write.
    for (auto &th : threads)
        th.join();
    CloseDebugLog();

    std::vector<std::string> lines = Lines();
    std::regex threadLine(std::string(kStamp) + "thread [0-7] line [0-9]{4} abcdefghijklmnopqrstuvwxyz");
    int counted = 0;
    bool sawCut = false;
    for (const std::string &l : lines) {
        if (l.find("thread") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(l, threadLine)) << l;
            ++counted;
        }
        if (l.find("zzz") != std::string::npos) {
            EXPECT_EQ(l, std::string(kStamp) + std::string(1024, 'z'));
            sawCut = true;
        }
    }
    EXPECT_EQ(counted, kThreads * kLinesEach);
    EXPECT_TRUE(sawCut);
}

TEST_F(DebugLogTest, WritesRacingTheCloseAreDroppedSafely)
{
    OpenDebugLog(path_.c_str());
    std::atomic<bool> go{true};
    std::thread writer([&] {
        while (go)
            WriteLog("late line");
    });
    Sleep(20);
    CloseDebugLog();
    Sleep(20);
    go = false;
    writer.join();
    std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], std::string(kStamp) + "SCR NORMAL BEENDET");
}

}  // namespace
