// The pure pieces of the pages: checked formats, labels, addresses, help paths.
#include <gtest/gtest.h>

#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"
#include "config/config.h"
#include "shell/startup.h"
#include "testutil.h"

#include <string>
#include <vector>

namespace {

TEST(SettingsFormat, OnlyOneConversionOfTheRightKindPasses)
{
    struct Case {
        const char *fmt;
        FormatArg arg;
        bool ok;
    } cases[] = {
        {"&Tag ab %02d:00 Uhr", FormatArg::Int, true},
        {"%d%% of %i", FormatArg::Int, false},   // two conversions
        {"100%% %d", FormatArg::Int, true},
        {"alle %s Minuten", FormatArg::Int, false},
        {"alle %s Minuten", FormatArg::String, true},
        {"alle %d Minuten", FormatArg::String, false},
        {"%n", FormatArg::Int, false},
        {"lone %", FormatArg::Int, false},
        {"%*d", FormatArg::Int, false},
        {"no conversion", FormatArg::String, false},
        {"%-5.3s", FormatArg::String, true},
        {"%ld", FormatArg::Int, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatTakes(c.fmt, c.arg), c.ok) << c.fmt;
}

// Labels read the language file of HLPpath: a folder of our own with a
// German file we write per case.
class LabelTest : public testing::Test {
protected:
    void SetUp() override
    {
        StrCopy(HLPpath, dir_.Path().c_str());
        Language = 1;
        form_ = {};
    }
    void Set(const char *section, const char *key, const char *text)
    {
        WritePrivateProfileStringA(section, key, text, dir_.File("deutsch.lng").c_str());
    }
    testutil::TempDir dir_;
    ClockForm form_;
};

TEST_F(LabelTest, DayAndNightLabels)
{
    char text[kLabelLen];
    struct Case {
        int d, n, w, l;
        bool twelve;
        const char *morning, *afternoon;
        const char *day, *night, *from, *until;
    } cases[] = {
        {8, 20, 12, 3, false, "", "", "&Tag ab 08:00 Uhr", "&Nacht ab 21:00 Uhr", "&Winter ab Dezember", "&bis März"},
        {8, 20, 10, 3, false, "", "", nullptr, nullptr, "&Winter ab Oktober", "&bis Januar"},
        {8, 20, 12, 1, false, "", "", nullptr, nullptr, nullptr, "&bis Januar"},
        {8, 20, 12, 3, true, "", "PM", "&Tag ab 08:00 Uhr ", "&Nacht ab 09:00 Uhr PM", nullptr, nullptr},
        {12, 23, 1, 10, true, "AM", "PM", "&Tag ab 12:00 Uhr AM", "&Nacht ab 12:00 Uhr PM", "&Winter ab Januar",
         "&bis November"},
    };
    for (const Case &c : cases) {
        form_.twelveHour = c.twelve;
        StrCopy(form_.morning, c.morning);
        StrCopy(form_.afternoon, c.afternoon);
        if (c.day) {
            DayLabel(c.d, form_, text, sizeof(text));
            EXPECT_STREQ(text, c.day);
        }
        if (c.night) {
            NightLabel(c.n, form_, text, sizeof(text));
            EXPECT_STREQ(text, c.night);
        }
        if (c.from) {
            WinterFromLabel(c.w, text, sizeof(text));
            EXPECT_STREQ(text, c.from);
        }
        if (c.until) {
            WinterUntilLabel(c.w, c.l, text, sizeof(text));
            EXPECT_STREQ(text, c.until);
        }
    }
}

TEST_F(LabelTest, FormatAndArgumentFromTheFileStayApart)
{
    // The format and the text it takes both come from the language file.
    Set("BUSKOMMT", "SBAHNKOMMT", "Tram every %s minutes");
    Set("BUSKOMMT", "SBAHNALLE1", "2 to 6");
    Set("TAGNACHT", "WINTER_AB", "&Winter from %s");
    Set("TAGNACHT", "MONAT_12", "December");
    char text[kLabelLen];
    TramLabel(2, text, sizeof(text));
    EXPECT_STREQ(text, "Tram every 2 to 6 minutes");
    WinterFromLabel(12, text, sizeof(text));
    EXPECT_STREQ(text, "&Winter from December");
    TramLabel(0, text, sizeof(text));
    EXPECT_STREQ(text, "Keine Straßenbahn");
}

TEST_F(LabelTest, BadFormatsAndTextsFallBackToGerman)
{
    char text[kLabelLen];
    struct Case {
        const char *value;
    } formats[] = {{"%s"}, {"%d %d"}, {"%n"}, {"ab %"}, {""}};
    for (const Case &c : formats) {
        Set("TAGNACHT", "TAG_AB", c.value);
        DayLabel(8, form_, text, sizeof(text));
        EXPECT_STREQ(text, "&Tag ab 08:00 Uhr") << c.value;
    }
    Set("TAGNACHT", "NACHT_AB", "%s o'clock");
    NightLabel(20, form_, text, sizeof(text));
    EXPECT_STREQ(text, "&Nacht ab 21:00 Uhr");
    // A month name longer than the label is cut, never overrun.
    Set("TAGNACHT", "MONAT_03", std::string(600, 'x').c_str());
    WinterUntilLabel(12, 3, text, sizeof(text));
    EXPECT_EQ(strlen(text), sizeof(text) - 1);
    EXPECT_EQ(std::string(text).rfind("&bis xxx", 0), 0u);
}

TEST(SettingsGeneral, UpdateAddressAndModeText)
{
    char text[256];
    UpdateAddress(1, text, sizeof(text));
    EXPECT_STREQ(text, "https://www.tandrovi.example/update?P=wyn03&V=1.1.0&L=2");
    UpdateAddress(0, text, sizeof(text));
    EXPECT_STREQ(text, "https://www.tandrovi.example/update?P=wyn03&V=1.1.0&L=1");
    const int withHertz[4] = {1280, 1024, 32, 60};
    DisplayModeText(withHertz, text, sizeof(text));
    EXPECT_STREQ(text, "1280 x 1024, 32 Bit, 60 Hertz");
    const int noHertz[4] = {800, 600, 16, 0};
    DisplayModeText(noHertz, text, sizeof(text));
    EXPECT_STREQ(text, "800 x 600, 16 Bit");
}

TEST(SettingsMode, VersionAndPaletteChecks)
{
    EXPECT_FALSE(CommonControlsRecentEnough(0));
    EXPECT_FALSE(CommonControlsRecentEnough(0x5004F));
    EXPECT_TRUE(CommonControlsRecentEnough(0x50050));
    EXPECT_TRUE(CommonControlsRecentEnough(0x60000));
    for (int colours : {2, 15, 257, 65536, 1 << 24, -1})
        EXPECT_FALSE(IsPaletteColourCount(colours)) << colours;
    for (int colours : {16, 20, 256})
        EXPECT_TRUE(IsPaletteColourCount(colours)) << colours;
}

}  // namespace

namespace {

// The colour table of a bitmap resource (RT_BITMAP or our own type, with or
// without its file header).
std::vector<RGBQUAD> ColourTable(const char *name, const char *type)
{
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found)
        return {};
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(nullptr, found)));
    if (data[0] == 'B' && data[1] == 'M')
        data += sizeof(BITMAPFILEHEADER);
    const auto *info = reinterpret_cast<const BITMAPINFOHEADER *>(data);
    DWORD count = info->biClrUsed ? info->biClrUsed : (1u << info->biBitCount);
    const auto *table = reinterpret_cast<const RGBQUAD *>(data + info->biSize);
    return std::vector<RGBQUAD>(table, table + count);
}

TEST(SettingsPictures, PreviewPaletteIsTheScenePalette)
{
    std::vector<RGBQUAD> small = ColourTable("HG_SMALL", reinterpret_cast<const char *>(RT_BITMAP));
    std::vector<RGBQUAD> scene = ColourTable("PAL", "MASKE");
    ASSERT_EQ(small.size(), 256u);
    ASSERT_EQ(scene.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(small[i].rgbRed, scene[i].rgbRed) << i;
        EXPECT_EQ(small[i].rgbGreen, scene[i].rgbGreen) << i;
        EXPECT_EQ(small[i].rgbBlue, scene[i].rgbBlue) << i;
    }
}

}  // namespace
