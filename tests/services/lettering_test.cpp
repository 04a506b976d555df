// The picture-file loaders, the fitting of user pictures, the lettered
// vehicles composed on the fixture templates of this test program, and the
// lettering worker on records loaded with probe sheets.
#include "letteringfixture.h"
#include "scene_fixture.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "core/daterules.h"
#include "imagelib.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "services/lettering.h"
#include "vehicles/letteringworker.h"
#include "services/picturefiles.h"
#include "services/piclists.h"
#include "config/config.h"
#include "shell/startup.h"

#include <cmath>
#include <set>
#include <thread>
#include <vector>

namespace {

using lettertest::Blend;
using lettertest::Format;
using lettertest::FormatName;
using lettertest::Ref;
using lettertest::Rgb;
using lettertest::WritePicture;
using testutil::WaitFor;

// The fixture templates (tests/services/make_lettering_art.py).
constexpr Rgb kLight = {250, 240, 230};
constexpr Rgb kDark = {10, 20, 40};
constexpr Rgb kUser = {100, 150, 200};
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kTramFillRef = 0xFE00FF;
Rgb Body(int phase) { return {static_cast<uint8_t>(30 * phase), 60, 90}; }

bool WorkerIdle() { return !LoaderBusy && !PlusLoaderBusy; }

Rgb Flat(uint32_t, uint32_t) { return kUser; }

// The picture after the day phase's shading, by the library's tone curve.
Rgb Shaded(Rgb c, int phase)
{
    BYTE px[3] = {c.r, c.g, c.b};
    if (phase == kDusk)
        AdjustBrightnessContrast(px, 1, 1, 3, 3, -0.2, -0.1, 0);
    else if (phase == kNight)
        AdjustBrightnessContrast(px, 1, 1, 3, 3, -0.3, -0.2, 0);
    return {px[0], px[1], px[2]};
}

SceneRect SizeOf(HBITMAP bitmap)
{
    SceneRect r = {0, 0, 0, 0};
    GetBitmapSize(bitmap, &r);
    return r;
}

class Lettering : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        scenetest::ResetScene();
        gdiBefore_ = GdiObjectsAlive();
        DebugOn = 1;
        OpenDebugLog(dir_.File("wyn.log").c_str());
        TimeOfDay = kDay;
        BusPiclistCount = SBahnPiclistCount = LKWPiclistCount = 0;
    }
    void TearDown() override
    {
        ASSERT_TRUE(WaitFor(WorkerIdle, 20000));
        scenetest::ResetScene();
        CloseDebugLog();
        DebugOn = 0;
        PaletteDisplay = 0;
        BusPiclistCount = SBahnPiclistCount = LKWPiclistCount = 0;
        EXPECT_EQ(GdiObjectsAlive(), gdiBefore_) << "GDI objects left behind";
    }
    std::string Log() const { return testutil::ReadFileBytes(dir_.File("wyn.log")); }
    // A picture file in the temp folder; its path.
    std::string Picture(const std::string &name, Format format, uint32_t w, uint32_t h,
                        const lettertest::PixelFn &pixel = Flat)
    {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WritePicture(path, format, w, h, pixel)) << name;
        return path;
    }
    void UseList(PiclistEntry *list, int *count, const std::string &path)
    {
        *count = 0;
        StrCopyN(list[0], kPiclistEntryLen, path.c_str());
        *count = 1;
    }
    testutil::TempDir dir_;
    LONG gdiBefore_ = 0;
};

// ---------------------------------------------------------------- loaders

TEST_F(Lettering, PictureTypeComesFromTheContent)
{
    struct Case {
        const char *name;
        Format format;
        int type;
    };
    const Case cases[] = {
        {"a.bmp", Format::kBmp, kPicBmp},
        {"b.JPEG", Format::kPng, kPicPng},  // named JPEG, made PNG
        {"c.png", Format::kJpeg, kPicJpeg},
        {"d.dat", Format::kBmp, kPicBmp},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetPictureType(Picture(c.name, c.format, 8, 8).c_str()), c.type);
    }
    // The other rows by the first bytes the library knows them by (or, for
    // TGA and WBMP, which carry no mark, by the name).
    const std::string emf = std::string(40, '\0') + " EMF" + std::string(20, '\0');
    const std::pair<const char *, std::pair<std::string, int>> heads[] = {
        {"t.dat", {std::string("II*\0", 4) + std::string(60, '\0'), kPicTiff}},
        {"x.dat", {std::string("\x0A\x05\x01\x08", 4) + std::string(124, '\0'), kPicPcx}},
        {"p.dat", {"8BPS" + std::string(60, '\0'), kPicPsd}},
        {"w.dat", {std::string("\xD7\xCD\xC6\x9A", 4) + std::string(60, '\0'), kPicWmf}},
        {"e.dat", {emf, kPicEmf}},
        {"g.gif", {"GIF89a" + std::string(60, '\0'), kPicUnknown}},  // no row of its own
        {"a.tga", {std::string(64, '\x01'), kPicTga}},
        {"b.wbmp", {std::string(64, '\x01'), kPicWbmp}},
    };
    for (const auto &h : heads) {
        SCOPED_TRACE(h.first);
        std::string path = dir_.File(h.first);
        ASSERT_TRUE(testutil::WriteFileBytes(path, h.second.first));
        EXPECT_EQ(GetPictureType(path.c_str()), h.second.second);
    }
    std::string text = dir_.File("notes.bmp");
    ASSERT_TRUE(testutil::WriteFileBytes(text, "no picture here, only words\r\n"));
    EXPECT_EQ(GetPictureType(text.c_str()), kPicUnknown);
    EXPECT_EQ(GetPictureType(dir_.File("missing.bmp").c_str()), kPicUnknown);
    EXPECT_EQ(LoadFromFile(text.c_str(), 0), nullptr);
    EXPECT_NE(Log().find("+++ unbekannter Typ! +++"), std::string::npos);
}

TEST_F(Lettering, LoadFromFileSizesWithAndWithoutFit)
{
    struct Size {
        uint32_t w, h;
    };
    const Size sizes[] = {{130, 130}, {260, 130}, {50, 50}, {100, 300}};
    for (Format format : {Format::kBmp, Format::kPng, Format::kJpeg}) {
        for (const Size &s : sizes) {
            for (int fit : {0, 1}) {
                SCOPED_TRACE(std::string(FormatName(format)) + " " + std::to_string(s.w) + "x" +
                             std::to_string(s.h) + " fit " + std::to_string(fit));
                std::string path = Picture("p.pic", format, s.w, s.h);
                HBITMAP bitmap = LoadFromFile(path.c_str(), fit);
                ASSERT_NE(bitmap, nullptr);
                SceneRect r = SizeOf(bitmap);
                EXPECT_EQ(r.w, fit ? 130 : static_cast<int>(s.w));
                EXPECT_EQ(r.h, fit ? 130 : static_cast<int>(s.h));
                DeleteTrackedBitmap(&bitmap);
            }
        }
    }
}

TEST_F(Lettering, ABrokenMetafileFailsWithTheLibrarysText)
{
    // A placeable metafile header of zeros: no units per inch to size it by.
    std::string wmf = dir_.File("m.wmf");
    std::string head("\xD7\xCD\xC6\x9A", 4);
    ASSERT_TRUE(testutil::WriteFileBytes(wmf, head + std::string(40, '\0')));
    EXPECT_EQ(GetPictureType(wmf.c_str()), kPicWmf);
    EXPECT_EQ(LoadFromFile(wmf.c_str(), 1), nullptr);
    std::string log = Log();
    EXPECT_NE(log.find("ReadMetafile("), std::string::npos) << log;
    EXPECT_NE(log.find(ImageErrorText(kImgBadMetafile)), std::string::npos) << log;
}

TEST_F(Lettering, ErrorTextsPerCodeAndPerThread)
{
    const std::pair<int, const char *> cases[] = {
        {0, "-!?-"},
        {8, "reserved value"},
        {12, "-!?-"},
        {34, "reserved value"},
        {42, "a call to GetEnhMetaFileBits\tor GetWinMetaFileBits failed"},
        {66, "the requested data is not in the PNG file"},
        {99, "-!?-"},
        {-1, "-!?-"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(ImageErrorText(c.first), c.second) << c.first;
    // Another thread's texts never overwrite this thread's.
    const char *mine = ImageErrorText(1);
    std::thread other([] {
        for (int i = 0; i < 1000; ++i)
            ImageErrorText(2 + i % 60);
    });
    other.join();
    EXPECT_STREQ(mine, "out of memory");
}

// ---------------------------------------------------------------- fitting

// Row r of a tall picture carries r in red, scaled to 0..255.
lettertest::PixelFn RowCoded(uint32_t h)
{
    return [h](uint32_t, uint32_t y) {
        return Rgb{static_cast<uint8_t>(std::lround(y * 255.0 / (h - 1))), 90, 33};
    };
}

TEST_F(Lettering, FittingScalesToCoverAndKeepsTheCentre)
{
    // Bus: 1000x500 becomes 312x156, of which rows 21 to 133 stay. Scaled row j
    // shows source row j * 500 / 156; one row off is 1.6 levels of red away.
    std::vector<BYTE> panel(312 * 113 * 3);
    for (Format format : {Format::kBmp, Format::kPng, Format::kJpeg}) {
        SCOPED_TRACE(FormatName(format));
        const int tolerance = format == Format::kJpeg ? 3 : 1;
        std::string path = Picture("wide.pic", format, 1000, 500, RowCoded(500));
        ASSERT_EQ(ReadCarPic(path.c_str(), panel.data(), 312, 113), 1);
        for (int k : {0, 56, 112}) {
            double want = (k + 21) * (500.0 / 156.0) * 255.0 / 499.0;
            EXPECT_NEAR(panel[(k * 312 + 100) * 3], want, tolerance) << "row " << k;
        }
    }
    // Truck: 100x400 becomes 305x1220 and keeps its middle 80 rows (570..649).
    std::vector<BYTE> truck(305 * 80 * 3);
    std::string tall = Picture("tall.bmp", Format::kBmp, 100, 400, RowCoded(400));
    ASSERT_EQ(ReadCarPic(tall.c_str(), truck.data(), 305, 80), 1);
    const double step = (400.0 - 400.0 / 1220.0) / 1220.0;  // enlarging keeps the last row inside
    EXPECT_NEAR(truck[(0 * 305 + 150) * 3], 570 * step * 255.0 / 399.0, 1);
    EXPECT_NEAR(truck[(79 * 305 + 150) * 3], 649 * step * 255.0 / 399.0, 1);
    // A picture of the panel's size is copied as it is.
    auto pattern = [](uint32_t x, uint32_t y) {
        return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y * 2), static_cast<uint8_t>(x ^ y)};
    };
    for (Format format : {Format::kBmp, Format::kPng}) {
        SCOPED_TRACE(FormatName(format));
        std::string same = Picture("same.pic", format, 312, 113, pattern);
        ASSERT_EQ(ReadCarPic(same.c_str(), panel.data(), 312, 113), 1);
        bool equal = true;
        for (uint32_t y = 0; y < 113 && equal; ++y)
            for (uint32_t x = 0; x < 312 && equal; ++x) {
                Rgb c = pattern(x, y);
                const BYTE *p = &panel[(y * 312 + x) * 3];
                equal = p[0] == c.r && p[1] == c.g && p[2] == c.b;
            }
        EXPECT_TRUE(equal);
    }
}

TEST_F(Lettering, APictureThatCannotBeFittedGivesNothing)
{
    std::vector<BYTE> panel(312 * 113 * 3);
    // One column of 20000 rows would cover the bus at 312 x 6240000 pixels.
    std::string thin = Picture("thin.bmp", Format::kBmp, 1, 20000);
    EXPECT_EQ(ReadCarPic(thin.c_str(), panel.data(), 312, 113), 0);
    EXPECT_NE(Log().find("SPEICHER"), std::string::npos);
    EXPECT_EQ(ReadCarPic(dir_.File("gone.bmp").c_str(), panel.data(), 312, 113), 0);
    // A template of another size is refused, and nothing is copied.
    std::vector<BYTE> guard(312 * 113 * 3, 0xAB);
    EXPECT_EQ(ReadMaskResource("MASK_WRONG", guard.data(), 312, 113), 0);
    EXPECT_EQ(std::count(guard.begin(), guard.end(), 0xAB), static_cast<long>(guard.size()));
    EXPECT_EQ(ReadMaskResource("BUS_HELL", guard.data(), 312, 113), 1);
    EXPECT_EQ(ReadMaskResource("NO_SUCH_MASK", guard.data(), 312, 113), 0);
}

// ---------------------------------------------------------------- composition

struct Probe {
    int x, y;
};

TEST_F(Lettering, BusAndTruckForEachTimeOfDay)
{
    struct Vehicle {
        const char *name;
        HBITMAP (*make)(int);
        PiclistEntry *list;
        int *count;
        int w, h;
        double lightDay, dark;
        bool frame;
    };
    const Vehicle vehicles[] = {
        {"bus", MakeBusBeschriftung, BusPiclist, &BusPiclistCount, 312, 113, 0.7, 0.5, true},
        {"truck", MakeLKWBeschriftung, LKWPiclist, &LKWPiclistCount, 305, 80, 0.6, 0.7, false},
    };
    for (const Vehicle &v : vehicles) {
        std::string path = Picture(std::string(v.name) + ".bmp", Format::kBmp, 1000, 700);
        UseList(v.list, v.count, path);
        for (int phase : {kDay, kDusk, kNight}) {
            SCOPED_TRACE(std::string(v.name) + " phase " + std::to_string(phase));
            TimeOfDay = phase;
            HBITMAP lettered = v.make(-1);
            ASSERT_NE(lettered, nullptr);
            SceneRect r = SizeOf(lettered);
            EXPECT_EQ(r.w, v.w);
            EXPECT_EQ(r.h, v.h);
            const Rgb user = Shaded(kUser, phase);
            const double light = phase == kDay ? v.lightDay : 0.5;
            const int y = 60;
            EXPECT_EQ(scenetest::BitmapPixel(lettered, 20, y), Ref(Blend(user, kLight, light)));
            COLORREF dark = scenetest::BitmapPixel(lettered, v.w / 2, y);
            EXPECT_EQ(dark, Ref(Blend(user, kDark, v.dark)));
            EXPECT_EQ(scenetest::BitmapPixel(lettered, v.w - 20, y), Ref(user)) << "green has no effect";
            EXPECT_EQ(scenetest::BitmapPixel(lettered, v.w - 8, 42), Ref(user)) << "near green is green";
            if (v.frame) {
                EXPECT_EQ(scenetest::BitmapPixel(lettered, 20, 5), Ref(Body(phase)));
                EXPECT_EQ(scenetest::BitmapPixel(lettered, 200, 12), kMagenta);
            }
            DeleteTrackedBitmap(&lettered);
        }
    }
}

TEST_F(Lettering, TramPictureLiesInItsBandOnTheFill)
{
    // A magenta corner in the user's picture lets the fill show through.
    auto picture = [](uint32_t x, uint32_t y) {
        return (x >= 800 && y < 20) ? Rgb{255, 0, 255} : kUser;
    };
    UseList(SBahnPiclist, &SBahnPiclistCount, Picture("tram.png", Format::kPng, 857, 90, picture));
    for (int phase : {kDay, kDusk, kNight}) {
        SCOPED_TRACE(phase);
        TimeOfDay = phase;
        HBITMAP tram = MakeSBahnBeschriftung(0, 0, 0);
        ASSERT_NE(tram, nullptr);
        std::vector<COLORREF> px;
        int w = 0, h = 0;
        px = scenetest::BitmapPixels(tram, &w, &h);
        ASSERT_EQ(w, 888);
        ASSERT_EQ(h, 187);
        auto at = [&](int x, int y) { return px[static_cast<size_t>(y * w + x)]; };
        const Rgb user = Shaded(kUser, phase);
        const double light = phase == kDay ? 0.7 : 0.5;
        EXPECT_EQ(at(5, 100), Ref(Body(phase))) << "the frame covers all outside the band";
        EXPECT_EQ(at(880, 180), Ref(Body(phase)));
        EXPECT_EQ(at(150, 20), kMagenta) << "a window";
        EXPECT_EQ(at(11, 83), Ref(Blend(user, kLight, light))) << "the band's first pixel";
        EXPECT_EQ(at(400, 150), Ref(Blend(user, kDark, 0.5)));
        EXPECT_EQ(at(700, 172), Ref(user)) << "the band's last row";
        if (phase == kDay) {
            EXPECT_EQ(at(830, 90), kTramFillRef) << "magenta in the picture shows the fill";
        }
        // The settings' preview: the lower right 400 x 131.
        HBITMAP part = MakeSBahnBeschriftung(0, 400, 131);
        ASSERT_NE(part, nullptr);
        int pw = 0, ph = 0;
        std::vector<COLORREF> ppx = scenetest::BitmapPixels(part, &pw, &ph);
        EXPECT_EQ(pw, 400);
        EXPECT_EQ(ph, 131);
        bool same = true;
        for (int y = 0; y < ph && same; y += 7)
            for (int x = 0; x < pw && same; x += 5)
                same = ppx[static_cast<size_t>(y * pw + x)] == at(488 + x, 56 + y);
        EXPECT_TRUE(same);
        DeleteTrackedBitmap(&part);
        DeleteTrackedBitmap(&tram);
    }
    // Sizes past the picture or at zero and below give the whole.
    const std::pair<int, int> whole[] = {{1000, 500}, {0, 0}, {-5, 10}, {400, 0}};
    for (const auto &c : whole) {
        HBITMAP t = MakeSBahnBeschriftung(0, c.first, c.second);
        ASSERT_NE(t, nullptr);
        SceneRect r = SizeOf(t);
        EXPECT_EQ(r.w, 888) << c.first << "x" << c.second;
        EXPECT_EQ(r.h, 187);
        DeleteTrackedBitmap(&t);
    }
    HBITMAP wide = MakeSBahnBeschriftung(0, 2000, 100);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(SizeOf(wide).w, 888);
    EXPECT_EQ(SizeOf(wide).h, 100);
    DeleteTrackedBitmap(&wide);
}

TEST_F(Lettering, OnAPaletteDisplayThePictureTakesThePalettesColours)
{
    auto colourful = [](uint32_t x, uint32_t y) {
        return Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 3), static_cast<uint8_t>(x + y)};
    };
    UseList(BusPiclist, &BusPiclistCount, Picture("c.bmp", Format::kBmp, 312, 113, colourful));
    PaletteDisplay = 1;
    HBITMAP bus = MakeBusBeschriftung(0);
    ASSERT_NE(bus, nullptr);
    ASSERT_EQ(ReadPalette(), 1);
    std::set<COLORREF> palette;
    for (int i = 0; i < 16; ++i)
        palette.insert(RGB(PicturePalette[i].rgbRed, PicturePalette[i].rgbGreen, PicturePalette[i].rgbBlue));
    int w = 0, h = 0;
    std::vector<COLORREF> px = scenetest::BitmapPixels(bus, &w, &h);
    int outside = 0;
    for (int y = 20; y < h; ++y)
        for (int x = 0; x < w; ++x)
            outside += palette.count(px[static_cast<size_t>(y * w + x)]) == 0;
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(px[5 * w + 20], Ref(Body(kDay))) << "the frame comes after the palette";
    DeleteTrackedBitmap(&bus);
}

TEST_F(Lettering, NoListNoEntryNoLettering)
{
    EXPECT_EQ(MakeBusBeschriftung(-1), nullptr) << "an empty list";
    UseList(BusPiclist, &BusPiclistCount, dir_.File("deleted.bmp"));
    EXPECT_EQ(MakeBusBeschriftung(-1), nullptr);
    UseList(LKWPiclist, &LKWPiclistCount, Picture("ok.bmp", Format::kBmp, 20, 20));
    HBITMAP any = MakeLKWBeschriftung(17);  // past the list: a random entry
    EXPECT_NE(any, nullptr);
    DeleteTrackedBitmap(&any);
}

// ---------------------------------------------------------------- the worker

class LetteringWorker : public Lettering {
protected:
    bool LoadVehicle(int id)
    {
        if (!LoadFigur(id, 0))
            return false;
        return WaitFor(WorkerIdle, 10000) && IsOnStage(id);
    }
};

TEST_F(LetteringWorker, Refusals)
{
    UseList(BusPiclist, &BusPiclistCount, Picture("b.bmp", Format::kBmp, 40, 40));
    EXPECT_EQ(StartBeschriftung(kBus), 0) << "not loaded";
    ASSERT_TRUE(LoadVehicle(kBus));
    PlusLoaderBusy = 1;
    EXPECT_EQ(StartBeschriftung(kBus), 0) << "another extra sheet is made";
    PlusLoaderBusy = 0;
    FigurSheetCount[kBus] = 0;
    EXPECT_EQ(StartBeschriftung(kBus), 0) << "no sheets";
    EXPECT_EQ(StartBeschriftung(0), 0);
    EXPECT_EQ(StartBeschriftung(kObjectIdCount), 0);
    EXPECT_EQ(FigurTable[kBus].Sheets[1], nullptr);
}

TEST_F(LetteringWorker, EachVehicleGetsACompletePairInSlotOne)
{
    struct Case {
        int id;
        PiclistEntry *list;
        int *count;
        int w, h;
    };
    const Case cases[] = {
        {kBus, BusPiclist, &BusPiclistCount, 312, 113},
        {kTram, SBahnPiclist, &SBahnPiclistCount, 888, 187},
        {kTruckA, LKWPiclist, &LKWPiclistCount, 305, 80},
        {kTruckB, LKWPiclist, &LKWPiclistCount, 305, 80},
    };
    std::string picture = Picture("w.jpg", Format::kJpeg, 640, 480);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        UseList(c.list, c.count, picture);
        ASSERT_TRUE(LoadVehicle(c.id));
        ASSERT_EQ(StartBeschriftung(c.id), 1);
        ASSERT_TRUE(WaitFor(WorkerIdle, 20000));
        FigurRecord &r = FigurTable[c.id];
        ASSERT_NE(r.Masks[1], nullptr);
        ASSERT_NE(r.Sheets[1], nullptr);
        EXPECT_EQ(SizeOf(r.Sheets[1]).w, c.w);
        EXPECT_EQ(SizeOf(r.Sheets[1]).h, c.h);
        if (c.id == kBus) {
            // The frame's window is see-through: white in the mask, black in the sheet.
            EXPECT_EQ(scenetest::BitmapPixel(r.Masks[1], 200, 12), RGB(255, 255, 255));
            EXPECT_EQ(scenetest::BitmapPixel(r.Sheets[1], 200, 12), RGB(0, 0, 0));
            EXPECT_EQ(scenetest::BitmapPixel(r.Masks[1], 20, 60), RGB(0, 0, 0));
        }
        UnloadFigur(c.id);
    }
    std::string log = Log();
    EXPECT_NE(log.find("DoBeschriftung() - START"), std::string::npos);
    EXPECT_NE(log.find("DoBeschriftung() - EXIT"), std::string::npos);
    EXPECT_NE(log.find("Beschriftung f\xFCr FIG 70 ..."), std::string::npos) << log;
}

TEST_F(LetteringWorker, FailuresLeaveSlotOneEmpty)
{
    ASSERT_TRUE(LoadVehicle(71));
    ASSERT_EQ(StartBeschriftung(71), 1);
    ASSERT_TRUE(WaitFor(WorkerIdle, 10000));
    EXPECT_NE(Log().find("+++ Falsches Fahrzeug!"), std::string::npos);
    EXPECT_EQ(FigurTable[71].Sheets[1], nullptr);

    ASSERT_TRUE(LoadVehicle(kBus));
    std::string notPicture = dir_.File("words.jpg");
    ASSERT_TRUE(testutil::WriteFileBytes(notPicture, "not a picture at all"));
    for (const std::string &entry : {dir_.File("deleted.bmp"), notPicture}) {
        SCOPED_TRACE(entry);
        UseList(BusPiclist, &BusPiclistCount, entry);
        size_t before = scenetest::CountOf(Log(), "+++ Keine Bitmap!!");
        ASSERT_EQ(StartBeschriftung(kBus), 1);
        ASSERT_TRUE(WaitFor(WorkerIdle, 10000));
        EXPECT_EQ(scenetest::CountOf(Log(), "+++ Keine Bitmap!!"), static_cast<int>(before) + 1);
        EXPECT_EQ(FigurTable[kBus].Sheets[1], nullptr);
        EXPECT_EQ(FigurTable[kBus].Masks[1], nullptr);
        EXPECT_TRUE(IsOnStage(kBus)) << "the bus drives with its own pictures";
    }
}

TEST_F(LetteringWorker, AResultForAVehicleThatLeftIsDropped)
{
    UseList(BusPiclist, &BusPiclistCount, Picture("big.bmp", Format::kBmp, 2000, 1500));
    ASSERT_TRUE(LoadVehicle(kBus));
    ASSERT_EQ(StartBeschriftung(kBus), 1);
    UnloadFigur(kBus);
    ASSERT_TRUE(WaitFor(WorkerIdle, 20000));
    EXPECT_EQ(FigurTable[kBus].Sheets[1], nullptr);
    EXPECT_EQ(FigurTable[kBus].Masks[1], nullptr);
    // Back on stage, the bus is not mistaken for lettered.
    ASSERT_TRUE(LoadVehicle(kBus));
    EXPECT_EQ(FigurTable[kBus].Sheets[1], nullptr);
}

TEST_F(LetteringWorker, ACloseDuringALargePictureEndsWithinTheJoin)
{
    UseList(BusPiclist, &BusPiclistCount, Picture("huge.bmp", Format::kBmp, 4000, 3000));
    ASSERT_TRUE(LoadVehicle(kBus));
    ASSERT_EQ(StartBeschriftung(kBus), 1);
    Sleep(50);
    EndFlag = 1;
    DWORD start = GetTickCount();
    EXPECT_TRUE(JoinLoaderThreads(5000));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(FigurTable[kBus].Sheets[1], nullptr);
    EndFlag = 0;
}

}  // namespace
