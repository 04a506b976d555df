// Times the lettering as the scene and the settings use it, on the fixture
// templates of the lettering tests: from StartBeschriftung to the published
// pair for the bus, the tram and a lorry from a 4000 x 3000 picture (BMP,
// JPEG, PNG), and CreateHausBeschriftung for all four houses. With
// WYN_LETTERING_SHOTS set to a folder it also writes the lettered vehicles
// for each time of day and the house signs there, to be looked at.
// scripts/bench-lettering runs it; it asserts no times.
#include "letteringfixture.h"
#include "scene_fixture.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "core/daterules.h"
#include "imagelib.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "services/houselettering.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/piclists.h"
#include "config/config.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using lettertest::Format;
using lettertest::Rgb;
using testutil::WaitFor;

constexpr int kRounds = 3;
constexpr double kBusWaitMs = 16000.0;  // 400 ticks at Speed 20

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Rgb Synthetic(uint32_t x, uint32_t y)
{
    // Diagonal colour bands with a dark grid: scaling and cropping show.
    bool grid = (x / 50 + y / 50) % 2 == 0;
    return {static_cast<uint8_t>(x * 255 / 4000), static_cast<uint8_t>(y * 255 / 3000),
            static_cast<uint8_t>(grid ? 200 : 60)};
}

bool WorkerIdle() { return !LoaderBusy && !PlusLoaderBusy; }

bool WriteBitmapFile(HBITMAP bitmap, const std::string &path)
{
    int w = 0, h = 0;
    std::vector<COLORREF> px = scenetest::BitmapPixels(bitmap, &w, &h);
    if (px.empty())
        return false;
    std::vector<BYTE> rgb;
    for (COLORREF c : px)
        rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    HISDEST dest = OpenFileDest(path.c_str(), FALSE);
    if (!dest)
        return false;
    bool ok = WriteBMP(dest, rgb.data(), static_cast<uint32_t>(w), static_cast<uint32_t>(h), 24, 0, nullptr,
                       nullptr, 0) != 0;
    return CloseDest(dest) != 0 && ok;
}

class LetteringBench : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ResetScene();
        TimeOfDay = kDay;
    }
    void TearDown() override
    {
        WaitFor(WorkerIdle, 60000);
        scenetest::ResetScene();
        BusPiclistCount = SBahnPiclistCount = LKWPiclistCount = 0;
    }
    void List(const std::string &path)
    {
        for (PiclistEntry *list : {BusPiclist, SBahnPiclist, LKWPiclist})
            StrCopyN(list[0], kPiclistEntryLen, path.c_str());
        BusPiclistCount = SBahnPiclistCount = LKWPiclistCount = 1;
    }
    testutil::TempDir dir_;
};

TEST_F(LetteringBench, FromStartToThePublishedPair)
{
    printf("| picture 4000x3000 | vehicle | ms (median of %d) | share of the bus's wait |\n", kRounds);
    printf("|---|---|---|---|\n");
    for (Format format : {Format::kBmp, Format::kJpeg, Format::kPng}) {
        std::string path = dir_.File(std::string("big.") + lettertest::FormatName(format));
        ASSERT_TRUE(lettertest::WritePicture(path, format, 4000, 3000, Synthetic));
        List(path);
        for (int id : {kBus, kTram, kTruckA}) {
            std::vector<double> times;
            for (int round = 0; round < kRounds; ++round) {
                ASSERT_TRUE(LoadFigur(id, 0));
                ASSERT_TRUE(WaitFor(WorkerIdle, 10000));
                double start = Now();
                ASSERT_EQ(StartBeschriftung(id), 1);
                ASSERT_TRUE(WaitFor([id] { return FigurTable[id].Sheets[1] != nullptr || !PlusLoaderBusy; }, 60000));
                double end = Now();
                ASSERT_NE(FigurTable[id].Sheets[1], nullptr);
                times.push_back(end - start);
                ASSERT_TRUE(WaitFor(WorkerIdle, 10000));
                UnloadFigur(id);
            }
            double ms = Median(times);
            printf("| %s | %d | %.0f | %.1f%% |\n", lettertest::FormatName(format), id, ms, 100.0 * ms / kBusWaitMs);
        }
        DeleteFileA(path.c_str());
    }
}

TEST_F(LetteringBench, AllFourHouseSigns)
{
    StrCopy(HausBeschrPics, dir_.Path().c_str());
    HausFontRecord font = {};
    StrCopy(font.Text, "B\xE4" "ckerei Wendel");
    font.FontColor = RGB(170, 20, 20);
    font.Font.lfHeight = -18;
    font.Font.lfWeight = FW_BOLD;
    StrCopy(font.Font.lfFaceName, "Arial");
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        for (int house = 1; house <= kSignHouses; ++house)
            ASSERT_EQ(CreateHausBeschriftung(house, &font), 1);
        times.push_back(Now() - start);
    }
    printf("CreateHausBeschriftung, houses 1 to 4 (40 files): %.0f ms (median of %d)\n", Median(times), kRounds);
    HausBeschrPics[0] = '\0';
}

TEST_F(LetteringBench, ShotsToLookAt)
{
    char out[MAX_PATH];
    if (!GetEnvironmentVariableA("WYN_LETTERING_SHOTS", out, sizeof(out)))
        GTEST_SKIP() << "WYN_LETTERING_SHOTS names no folder";
    CreateDirectoryA(out, nullptr);
    const std::string folder(out);
    std::string path = dir_.File("synthetic.png");
    ASSERT_TRUE(lettertest::WritePicture(path, Format::kPng, 1600, 1200, Synthetic));
    List(path);
    for (int phase : {kDay, kDusk, kNight}) {
        TimeOfDay = phase;
        struct Shot {
            const char *name;
            HBITMAP bitmap;
        } shots[] = {
            {"bus", MakeBusBeschriftung(0)},
            {"tram", MakeSBahnBeschriftung(0, 0, 0)},
            {"tram400x131", MakeSBahnBeschriftung(0, 400, 131)},
            {"lorry", MakeLKWBeschriftung(0)},
        };
        for (Shot &s : shots) {
            char name[64];
            StrPrintfN(name, sizeof(name), "%s_%02d.bmp", s.name, phase);
            EXPECT_TRUE(WriteBitmapFile(s.bitmap, folder + "\\" + name)) << name;
            DeleteTrackedBitmap(&s.bitmap);
        }
    }
    StrCopy(HausBeschrPics, folder.c_str());
    HausFontRecord font = {};
    StrCopy(font.Text, "Caf\xE9 Tandrovi");
    font.FontColor = RGB(240, 220, 120);
    font.Font.lfHeight = -16;
    font.Font.lfWeight = FW_BOLD;
    StrCopy(font.Font.lfFaceName, "Arial");
    for (int house = 1; house <= kSignHouses; ++house)
        EXPECT_EQ(CreateHausBeschriftung(house, &font), 1);
    HausBeschrPics[0] = '\0';
    printf("pictures written to %s\n", out);
}

}  // namespace
