// The calling frame: per-thread last error and callback, state lifetime,
// and the once-a-row progress rule with its abort.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "libframe.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace imgtest;

namespace {

// Per-thread counters the callbacks below report into.
thread_local uint32_t tCalls = 0;
thread_local uint32_t tLastRow = 0;
thread_local uint32_t tLastRows = 0;
thread_local uint32_t tLastUser = 0;
thread_local uint32_t tStopAfter = 0;

BOOL WINAPI CountRows(uint32_t row, uint32_t rows, uint32_t user)
{
    ++tCalls;
    tLastRow = row;
    tLastRows = rows;
    tLastUser = user;
    return tStopAfter == 0 || tCalls < tStopAfter;
}

void ResetCounters(uint32_t stopAfter = 0)
{
    tCalls = 0;
    tStopAfter = stopAfter;
}

// Fails with 2: a file that does not exist.
void FailOpen()
{
    EXPECT_EQ(OpenFileSource("no such folder/no such file.bmp"), nullptr);
}

// Fails with 5: a null memory block.
void FailParam() { EXPECT_EQ(OpenMemorySource(nullptr, 10), nullptr); }

Bytes TenRowBmp() { return PictureBmp(ColourPicture(4, 10), 24, false); }

}  // namespace

TEST(LibraryFrame, FreshThreadHasStateAndNoError)
{
    std::thread worker([] {
        uint32_t before = LibStateCount();
        EXPECT_EQ(GetLastImageError(), 0);
        EXPECT_EQ(LibStateCount(), before + 1);
        ReleaseThreadState();
        EXPECT_EQ(LibStateCount(), before);
        // Twice, and on a thread without state, is harmless.
        ReleaseThreadState();
        EXPECT_EQ(LibStateCount(), before);
    });
    worker.join();
}

TEST(LibraryFrame, SuccessResetsLastError)
{
    FailOpen();
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
    Bytes file = TenRowBmp();
    ReadOutcome r = ReadBmpBytes(file, 24);
    EXPECT_TRUE(r.returned);
    EXPECT_EQ(GetLastImageError(), 0);
}

TEST(LibraryFrame, ReleaseGivesFreshStateWithoutError)
{
    std::thread worker([] {
        FailParam();
        EXPECT_EQ(GetLastImageError(), kImgBadParam);
        SetProgressCallback(CountRows, 7);
        ReleaseThreadState();
        EXPECT_EQ(GetLastImageError(), 0);
        ResetCounters();
        Bytes file = TenRowBmp();
        ReadBmpBytes(file, 24);
        EXPECT_EQ(tCalls, 0u) << "the callback went with the released state";
        ReleaseThreadState();
    });
    worker.join();
    CleanupLibrary();
    CleanupLibrary();
    EXPECT_EQ(GetLastImageError(), 0);
}

// Two threads fail differently at the same moment; each reads its own code
// and this thread's code stays untouched.
TEST(LibraryFrame, LastErrorIsPerThread)
{
    FailOpen();
    std::atomic<int> arrived{0};
    auto meet = [&arrived] {
        ++arrived;
        while (arrived.load() < 2)
            std::this_thread::yield();
    };
    int32_t seenA = -1;
    int32_t seenB = -1;
    std::thread a([&] {
        FailParam();
        meet();
        seenA = GetLastImageError();
        ReleaseThreadState();
    });
    std::thread b([&] {
        Bytes file(20, 0x11);
        HISSRC src = OpenMemorySource(file.data(), 20);
        uint32_t w, h;
        EXPECT_EQ(ReadBMP(src, &w, &h, 24, nullptr, 0), nullptr);
        meet();
        seenB = GetLastImageError();
        CloseSource(src);
        ReleaseThreadState();
    });
    a.join();
    b.join();
    EXPECT_EQ(seenA, kImgBadParam);
    EXPECT_EQ(seenB, kImgBadBmp);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
}

TEST(LibraryFrame, CallbackIsPerThread)
{
    SetProgressCallback(CountRows, 0);
    uint32_t workerCalls = 99;
    std::thread worker([&] {
        ResetCounters();
        Bytes file = TenRowBmp();
        ReadBmpBytes(file, 24);
        workerCalls = tCalls;
        ReleaseThreadState();
    });
    worker.join();
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(workerCalls, 0u);
}

TEST(Progress, ReportsOnceARowWithTheUserValue)
{
    SetProgressCallback(CountRows, 4711);
    ResetCounters();
    Bytes file = TenRowBmp();
    ReadOutcome r = ReadBmpBytes(file, 24);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(tCalls, 10u);
    EXPECT_EQ(tLastRows, 10u);
    EXPECT_EQ(tLastRow, 9u);
    EXPECT_EQ(tLastUser, 4711u);

    // The generic reader adds no level: the BMP reader inside it reports
    // its rows once, not twice.
    ResetCounters();
    r = ReadGenericBytes(file);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(tCalls, 10u);
    SetProgressCallback(nullptr, 0);
}

TEST(Progress, ZeroAnswerAbortsWithFourteen)
{
    SetProgressCallback(CountRows, 0);
    ResetCounters(3);
    Bytes file = TenRowBmp();
    ReadOutcome r = ReadBmpBytes(file, 24);
    EXPECT_EQ(r.error, kImgAborted);
    EXPECT_TRUE(r.returned) << "a reader hands back the rows it made";
    EXPECT_EQ(tCalls, 3u);

    // An operation of its own: 10 rows, stopped after the first.
    Bytes rgb(10 * 4 * 3, 1);
    Bytes rgba(10 * 4 * 4, 0);
    ResetCounters(1);
    EXPECT_FALSE(RGBToRGBA(rgb.data(), 4, 10, 12, rgba.data(), 16, 0xFF));
    EXPECT_EQ(GetLastImageError(), kImgAborted);
    EXPECT_EQ(tCalls, 1u);
    EXPECT_EQ(rgba[0], 1) << "row 0 done";
    EXPECT_EQ(rgba[3], 0xFF);
    EXPECT_EQ(rgba[16], 0) << "row 1 never started";
    SetProgressCallback(nullptr, 0);

    // Without a callback the same call runs to the end.
    EXPECT_TRUE(RGBToRGBA(rgb.data(), 4, 10, 12, rgba.data(), 16, 0xFF));
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(rgba[9 * 16 + 15], 0xFF);
}

TEST(LibraryFrame, ProductTableTruncates)
{
    const uint8_t *table = ProductTable();
    EXPECT_EQ(table[0 * 256 + 200], 0);
    EXPECT_EQ(table[51 * 256 + 100], 20);
    EXPECT_EQ(table[128 * 256 + 255], 128);
}

TEST(LibraryFrame, CheckedSizesRefuseWrapAndTheLimit)
{
    EXPECT_FALSE((CheckedSize(0x10000) * CheckedSize(0x10000) * CheckedSize(3)).Ok()) << "wraps 32 bits";
    EXPECT_FALSE((CheckedSize(0xFFFFFFFF) + CheckedSize(1)).Ok());
    EXPECT_FALSE(CheckedSize(0x7FFDEFFF).Ok()) << "the limit itself is refused";
    EXPECT_TRUE(CheckedSize(0x7FFDEFFE).Ok());
    EXPECT_FALSE((CheckedSize(0x7FFDEFFE) + CheckedSize(1)).Ok());
    EXPECT_EQ(PaddedRowBytes(13, 24).Value(), 40u);
    EXPECT_EQ(PaddedRowBytes(13, 1).Value(), 4u);
    EXPECT_FALSE(PaddedRowBytes(0x7FFFFFFF, 32).Ok());
    ImageBuffer buffer;
    EXPECT_FALSE(buffer.Allocate(CheckedSize(0)));
    EXPECT_FALSE(buffer.Allocate(CheckedSize(0x10000) * CheckedSize(0x10000)));
    ASSERT_TRUE(buffer.Allocate(CheckedSize(8)));
    buffer.Data()[7] = 9;
    EXPECT_FALSE(buffer.Resize(CheckedSize(0x7FFDEFFF)));
    EXPECT_EQ(buffer.Size(), 8u) << "a failed resize keeps the block";
    ASSERT_TRUE(buffer.Resize(CheckedSize(16)));
    EXPECT_EQ(buffer.Data()[7], 9);
    EXPECT_EQ(buffer.Data()[15], 0);
}

// Natively only: there the sanitizers see a touch of freed memory.
#ifndef _WIN32
namespace {

enum StragglerStep { kStarted, kHasState, kExiting, kDone };
std::atomic<int> gStraggler{kStarted};

// Registered before the library is first used in the process, so it runs
// after whatever the library cleans up at exit: the straggler calls in
// while the process ends, as a loader thread that missed the join would.
void LetTheStragglerCallIn()
{
    gStraggler = kExiting;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (gStraggler.load() != kDone && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

void ExitWithAStraggler()
{
    std::atexit(LetTheStragglerCallIn);
    std::thread([] {
        const Bytes file = TenRowBmp();
        ReadBmpBytes(file, 24);
        gStraggler = kHasState;
        while (gStraggler.load() != kExiting)
            std::this_thread::yield();
        // Its own state, a handle opened and closed, a reader.
        FailParam();
        const bool read = ReadBmpBytes(file, 24).error == 0 && GetLastImageError() == 0;
        if (!read)
            std::_Exit(EXIT_FAILURE);
        gStraggler = kDone;
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }).detach();
    while (gStraggler.load() != kHasState)
        std::this_thread::yield();
    std::exit(0);
}

}  // namespace

TEST(LibraryFrame, AThreadLeftRunningAtExitStillFindsItsState)
{
    // A fresh process, where nothing has called the library yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitWithAStraggler(), testing::ExitedWithCode(0), "");
}
#endif
