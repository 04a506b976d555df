// The houses' sign files written into a temp lettering folder from the
// fixture sign templates of this test program, and read back.
#include "crossfiles.h"
#include "scene_fixture.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/gdiutil.h"
#include "services/houselettering.h"
#include "services/picturefiles.h"
#include "services/piclists.h"
#include "config/config.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kFontColour = RGB(200, 30, 30);

// The fixture template's flat colour (tests/services/make_lettering_art.py).
COLORREF SignColour(int house, int phase, int season) { return RGB(40 * house, 60 * phase, 100 * season); }

// Season 1 phases 1, 2 (lit), 3 (lit), then season 2 the same.
std::vector<std::string> HouseFiles(int house)
{
    std::vector<std::string> names;
    char name[32];
    for (int season = 1; season <= 2; ++season)
        for (int phase = 1; phase <= 3; ++phase)
            for (int lit = 0; lit <= (phase >= 2 ? 1 : 0); ++lit) {
                StrPrintfN(name, sizeof(name), "B%02d_%02d_%02d_%02d.BMP", house, phase, season, lit);
                names.emplace_back(name);
            }
    return names;
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    void Add(int x, int y)
    {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    bool Empty() const { return x1 < 0; }
};

int Distance(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b));
}

class HouseSigns : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenetest::UseTestArt();
        StrCopy(HausBeschrPics, dir_.Path().c_str());
        memset(&font_, 0, sizeof(font_));
        StrCopy(font_.Text, "ABC");
        font_.FontColor = kFontColour;
        font_.Font.lfHeight = -20;
        font_.Font.lfWeight = FW_BOLD;
        StrCopy(font_.Font.lfFaceName, "Arial");
    }
    void TearDown() override { HausBeschrPics[0] = '\0'; }
    std::vector<COLORREF> Pixels(const std::string &name, int *w, int *h)
    {
        HBITMAP bitmap = LoadFromFile(dir_.File(name).c_str(), 0);
        std::vector<COLORREF> px = scenetest::BitmapPixels(bitmap, w, h);
        DeleteTrackedBitmap(&bitmap);
        return px;
    }
    std::vector<std::string> Written()
    {
        std::vector<std::string> names;
        for (const std::string &n : HouseFiles(2))
            if (testutil::FileExists(dir_.File(n)))
                names.push_back(n);
        return names;
    }
    testutil::TempDir dir_;
    HausFontRecord font_;
};

TEST_F(HouseSigns, AHouseWritesItsTenFilesAsTwentyFourBitPictures)
{
    ASSERT_EQ(CreateHausBeschriftung(2, &font_), 1);
    EXPECT_EQ(Written(), HouseFiles(2));
    for (const std::string &name : HouseFiles(2)) {
        SCOPED_TRACE(name);
        std::string bytes = testutil::ReadFileBytes(dir_.File(name));
        ASSERT_GE(bytes.size(), 54u);
        auto u32 = [&](size_t at) { return *reinterpret_cast<const int32_t *>(bytes.data() + at); };
        EXPECT_EQ(bytes[28], 24) << "bits a pixel";
        EXPECT_EQ(u32(18), 240);
        EXPECT_EQ(std::abs(u32(22)), 27);
        int w = 0, h = 0;
        EXPECT_EQ(Pixels(name, &w, &h).size(), 240u * 27u);
    }
}

TEST_F(HouseSigns, TheSignCarriesTextShadowAndGlow)
{
    ASSERT_EQ(MakeHausSign(2, 2, 1, &font_), 1);
    int w = 0, h = 0;
    std::vector<COLORREF> px = Pixels("B02_02_01_00.BMP", &w, &h);
    ASSERT_EQ(w, 240);
    Box text, shadow;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = px[static_cast<size_t>(y * w + x)];
            if (c == kFontColour)
                text.Add(x, y);
            else if (c == kSignShadow)
                shadow.Add(x, y);
        }
    ASSERT_FALSE(text.Empty()) << "text pixels take the font colour exactly";
    ASSERT_FALSE(shadow.Empty());
    EXPECT_EQ(shadow.x1, text.x1 + 1) << "the shadow lies one pixel right and down";
    EXPECT_EQ(shadow.y1, text.y1 + 1);
    EXPECT_EQ(shadow.x0, text.x0 + 1);
    EXPECT_EQ(px[0], SignColour(2, 2, 1)) << "the template stays around the text";

    ASSERT_EQ(MakeHausSignLit(2, 2, 1, &font_), 1);
    std::vector<COLORREF> lit = Pixels("B02_02_01_01.BMP", &w, &h);
    const COLORREF sign = SignColour(2, 2, 1);
    const COLORREF glow = RGB(GetRValue(kSignGlow), GetGValue(kSignGlow), GetBValue(kSignGlow));
    const int mid = (text.y0 + text.y1) / 2;
    COLORREF beside = lit[static_cast<size_t>(mid * w + text.x0 - 2)];
    EXPECT_LT(Distance(beside, glow), Distance(sign, glow)) << "beside the text the glow shows";
    EXPECT_EQ(lit[static_cast<size_t>(mid * w + 2)], sign) << "far from the text the template stays";
    EXPECT_EQ(lit[0], sign);
}

TEST_F(HouseSigns, AnEmptyTextWritesTheTemplates)
{
    font_.Text[0] = '\0';
    ASSERT_EQ(CreateHausBeschriftung(3, &font_), 1);
    for (const char *name : {"B03_01_02_00.BMP", "B03_03_01_01.BMP"}) {
        SCOPED_TRACE(name);
        int w = 0, h = 0;
        std::vector<COLORREF> px = Pixels(name, &w, &h);
        EXPECT_EQ(w, 88);
        EXPECT_EQ(h, 34);
        int phase = name[5] - '0';
        int season = name[8] - '0';
        EXPECT_EQ(std::count(px.begin(), px.end(), SignColour(3, phase, season)), static_cast<long>(px.size()));
    }
}

TEST_F(HouseSigns, OutOfRangeOrUnwritableStops)
{
    EXPECT_EQ(CreateHausBeschriftung(5, &font_), 0);
    EXPECT_EQ(CreateHausBeschriftung(0, &font_), 0);
    EXPECT_EQ(CreateHausBeschriftung(2, nullptr), 0);
    EXPECT_EQ(MakeHausSign(2, 0, 1, &font_), 0);
    EXPECT_EQ(MakeHausSignLit(2, 1, 1, &font_), 0);
    EXPECT_EQ(MakeHausSign(2, 1, 3, &font_), 0);
    EXPECT_TRUE(Written().empty());
    // A folder where the third file goes: two files, and that step fails.
    const std::vector<std::string> all = HouseFiles(2);
    ASSERT_TRUE(CreateDirectoryA(dir_.File(all[2]).c_str(), nullptr));
    EXPECT_EQ(CreateHausBeschriftung(2, &font_), 0);
    EXPECT_EQ(Written(), (std::vector<std::string>{all[0], all[1], all[2]}));  // the third is the folder
    EXPECT_EQ(MakeHausSignLit(2, 2, 1, &font_), 0);
    RemoveDirectoryA(dir_.File(all[2]).c_str());
    // A folder too long to take the names: nothing is written.
    std::string deep = dir_.Path() + "\\" + std::string(MAX_PATH - dir_.Path().size() - 10, 'd');
    StrCopy(HausBeschrPics, deep.c_str());
    EXPECT_EQ(MakeHausSign(2, 1, 1, &font_), 0);
}

// The 32-bit and the 64-bit program write the same bytes, so that a user can
// change from one to the other.
TEST_F(HouseSigns, ListAndSignFilesAreTheSameFromBothPrograms)
{
    testutil::TempDir written;
    const std::string mine = written.Path();
    StrCopy(HausBeschrPics, mine.c_str());
    ASSERT_EQ(CreateHausBeschriftung(1, &font_), 1);
    StrCopy(BusPics, (mine + "\\buspic.dat").c_str());
    BusPiclistCount = 0;
    InsBusPiclistEntry(0, "C:\\Bilder\\B\xE4" "ckerei.jpg");
    InsBusPiclistEntry(1, "D:\\x.png");
    ASSERT_EQ(SaveBusPiclist(), 1);
    BusPiclistCount = 0;
    BusPics[0] = '\0';
    std::vector<std::string> names = HouseFiles(1);
    names.push_back("buspic.dat");
    for (const std::string &name : names) {
        const std::string bytes = testutil::ReadFileBytes(mine + "\\" + name);
        ASSERT_TRUE(crossfiles::Publish(name, bytes)) << name;
        std::string theirs;
        if (!crossfiles::ReadPartner(name, &theirs))
            continue;  // the other program has not run on this machine
        EXPECT_EQ(bytes, theirs) << name;
    }
}

}  // namespace
