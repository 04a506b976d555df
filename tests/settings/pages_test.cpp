// The pages one by one: stored, shown and applied values, and their layout.
#include "sheet_fixture.h"

#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kGeneral = 0, kSpeed = 1, kDayNight = 4, kTimetable = 5, kClock = 6, kPavement = 7, kMail = 14;

std::string ComboText(HWND page, int id)
{
    LRESULT sel = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    if (sel < 0)
        return "<none>";
    char text[256] = {};
    SendDlgItemMessageA(page, id, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string CurrentModeText()
{
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    char text[64];
    snprintf(text, sizeof(text), "%lu x %lu, %lu Bit", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel);
    return text;
}

std::string CurrentModeValue()
{
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    char text[64];
    snprintf(text, sizeof(text), "%lu,%lu,%lu,%lu", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel,
             dm.dmDisplayFrequency);
    return text;
}

// A listed mode stored without its frequency: "w,h,bits,0" and its text.
std::pair<std::string, std::string> ModeWithoutFrequency()
{
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    std::pair<std::string, std::string> found;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &dm); ++i) {
        if (dm.dmPelsWidth <= 640 || dm.dmPelsWidth > 1280 || dm.dmPelsHeight > 1024 || dm.dmBitsPerPel < 8)
            continue;
        char value[64], text[64];
        snprintf(value, sizeof(value), "%lu,%lu,%lu,0", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel);
        snprintf(text, sizeof(text), "%lu x %lu, %lu Bit", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel);
        found = {value, text};
        if (text != CurrentModeText())
            break;
    }
    return found;
}

TEST_F(SheetTest, GeneralPageDisplayModes)
{
    auto [noFrequency, noFrequencyText] = ModeWithoutFrequency();
    ASSERT_FALSE(noFrequency.empty()) << "no display mode listed";
    struct Case {
        const char *stored;
        std::string shownPrefix;
        std::string applied;
    } cases[] = {
        {"0,0,0,0", CurrentModeText(), CurrentModeValue()},
        {"1000,700,8,0", "(Standard-Einstellung)", "0,0,0,0"},
        {noFrequency.c_str(), noFrequencyText, ""},
    };
    for (const Case &c : cases) {
        PutString("DisplayMode", c.stored);
        std::string shown;
        int items = 0;
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, 0);
            shown = ComboText(page, 2024);
            items = static_cast<int>(SendDlgItemMessageA(page, 2024, CB_GETCOUNT, 0, 0));
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_GT(items, 1) << "no display modes listed";
        EXPECT_EQ(shown.rfind(c.shownPrefix, 0), 0u) << c.stored << " shows " << shown;
        if (!c.applied.empty())
            EXPECT_EQ(GetString("DisplayMode"), c.applied) << c.stored;
        else
            EXPECT_EQ(GetString("DisplayMode").rfind(noFrequency.substr(0, noFrequency.size() - 1), 0), 0u)
                << GetString("DisplayMode");
    }
}

TEST_F(SheetTest, GeneralPageLanguageChoices)
{
    // English without an English file becomes German; Language 2 shows no
    // choice and is kept.
    struct Case {
        DWORD stored;
        bool englishFile;
        std::string shown;
        DWORD applied;
    } cases[] = {{0, false, "Deutsch", 1}, {2, true, "<none>", 2}, {0, true, "English", 0}};
    for (const Case &c : cases) {
        PutDword("Language", c.stored);
        if (c.englishFile)
            CopyFileA(testutil::DistPath("english.lng").c_str(), LanguageFile(true).c_str(), FALSE);
        else
            DeleteFileA(LanguageFile(true).c_str());
        std::string shown;
        RunSheet([&](HWND sheet) {
            shown = ComboText(ShowPage(sheet, 0), 2022);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(shown, c.shown) << c.stored;
        EXPECT_EQ(GetDword("Language"), c.applied) << c.stored;
    }
}

// "wyn03conf.bmp" beside the program shows on the general page, its key
// colour transparent.
TEST_F(SheetTest, GeneralPageShowsTheProgramFoldersPicture)
{
    constexpr int kFolderPicture = 2142;
    ASSERT_TRUE(CopyFileA(testutil::BuildPath("tests/settings/folderpic.bmp").c_str(),
                          dir_->File("wyn03conf.bmp").c_str(), FALSE));
    bool visible = false;
    COLORREF picture = 0, key = 0, face = GetSysColor(COLOR_BTNFACE);
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, 0);
        HWND control = GetDlgItem(page, kFolderPicture);
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&r), 2);
        Poll([&] { return PagePixel(page, r.left + 30, r.top + 20) == RGB(0x20, 0x80, 0xC0); }, 10000);
        visible = IsWindowVisible(control) != FALSE;
        picture = PagePixel(page, r.left + 30, r.top + 20);
        key = PagePixel(page, r.left + 5, r.top + 20);
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(visible);
    EXPECT_EQ(picture, RGB(0x20, 0x80, 0xC0));
    EXPECT_EQ(key, face) << "the key colour is drawn transparent";
}

TEST_F(SheetTest, SpeedPageStoredShownApplied)
{
    struct Case {
        DWORD speed, fig, low, high;
        int shown[4];          // timer, people, min, max sliders
        int move[2];           // slider id and position, or 0
        DWORD applied[4];      // Speed, figSpeed, min, max
    } cases[] = {
        {20, 10, 3, 5, {20, 0, 3, 5}, {0, 0}, {20, 8, 3, 5}},
        {40, 2, 20, 30, {40, 6, 9, 10}, {0, 0}, {40, 2, 9, 10}},
        {20, 2, 3, 5, {20, 6, 3, 5}, {2056, 9}, {20, 2, 9, 10}},
        {20, 2, 5, 7, {20, 6, 5, 7}, {2057, 3}, {20, 2, 5, 6}},
    };
    for (const Case &c : cases) {
        PutDword("Speed", c.speed);
        PutDword("figSpeed", c.fig);
        PutDword("minCarSpeed", c.low);
        PutDword("maxCarSpeed", c.high);
        int shown[4] = {};
        RunSheet([&](HWND sheet) {
            HWND page = PageOfRow(sheet, kSpeed);
            const int ids[4] = {2054, 2060, 2056, 2057};
            for (int i = 0; i < 4; ++i)
                shown[i] = SliderPos(page, ids[i]);
            if (c.move[0])
                MoveSlider(page, c.move[0], c.move[1]);
            PressButton(sheet, PSBTN_OK);
        });
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(shown[i], c.shown[i]) << "case speed " << c.speed << " fig " << c.fig << " slider " << i;
        EXPECT_EQ(GetDword("Speed"), c.applied[0]);
        EXPECT_EQ(GetDword("figSpeed"), c.applied[1]);
        EXPECT_EQ(GetDword("minCarSpeed"), c.applied[2]);
        EXPECT_EQ(GetDword("maxCarSpeed"), c.applied[3]);
    }
}

TEST_F(SheetTest, SpeedDefaultsThenCancelStoreNothing)
{
    PutDword("Speed", 35);
    auto before = RegistrySnapshot();
    bool changed = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kSpeed);
        Click(page, 2061);
        changed = ApplyEnabled(sheet) && SliderPos(page, 2054) == 20 && SliderPos(page, 2060) == 6;
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(RegistrySnapshot(), before);
}

TEST_F(SheetTest, TimetableLabelsCopyAndCancel)
{
    PutString("BusKommt", "1,6,12,0");
    std::string day, tram, tramMoved;
    int dayShown = 0, kept = 0;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kTimetable);
        day = ControlText(page, 2029);
        dayShown = SliderPos(page, 2035);
        tram = ControlText(page, 2040);
        MoveSlider(page, 2042, 1);
        tramMoved = ControlText(page, 2040);
        MoveSlider(page, 2037, 20);
        ShowPage(sheet, 0);
        page = PageOfRow(sheet, kTimetable);
        kept = SliderPos(page, 2037);
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(dayShown, 2);
    EXPECT_EQ(day, "Am &Tag alle 2 Minuten");
    EXPECT_EQ(tram, "Keine Straßenbahn");
    EXPECT_EQ(tramMoved, "Straßenbahn fährt alle 1 bis 3 Minuten");
    EXPECT_EQ(kept, 20);
    EXPECT_EQ(GetString("BusKommt"), "1,6,12,0");
    RunSheet([&](HWND sheet) {
        MoveSlider(PageOfRow(sheet, kTimetable), 2037, 20);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(GetString("BusKommt"), "2,20,12,0");
}

// The day and night page reads the clock form from [intl] of win.ini.
class IntlGuard {
public:
    IntlGuard()
    {
        for (int i = 0; i < 3; ++i)
            GetProfileStringA("intl", kKeys[i], "\x01", saved_[i], sizeof(saved_[i]));
    }
    ~IntlGuard()
    {
        for (int i = 0; i < 3; ++i)
            WriteProfileStringA("intl", kKeys[i], strcmp(saved_[i], "\x01") == 0 ? nullptr : saved_[i]);
    }

private:
    static constexpr const char *kKeys[3] = {"iTime", "s1159", "s2359"};
    char saved_[3][32] = {};
};

TEST_F(SheetTest, DayNightLabelsFollowTheTwelveHourClock)
{
    IntlGuard guard;
    WriteProfileStringA("intl", "iTime", "0");
    WriteProfileStringA("intl", "s1159", "");
    WriteProfileStringA("intl", "s2359", "nachm.");
    std::string day, night;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kDayNight);
        day = ControlText(page, 1072);
        night = ControlText(page, 1073);
    });
    EXPECT_EQ(day, "&Tag ab 08:00 Uhr ");
    EXPECT_EQ(night, "&Nacht ab 09:00 Uhr nachm.");
}

TEST_F(SheetTest, DayNightSliderIsLiveCancelRestoresApplyElsewhereStores)
{
    IntlGuard guard;
    WriteProfileStringA("intl", "iTime", "1");
    PutString("DayNight", "8,20,12,3");
    std::string label;
    int liveNight = 0, afterCancel = 0;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kDayNight);
        MoveSlider(page, 1004, 22);
        liveNight = DayNight[1];
        label = ControlText(page, 1073);
        PressButton(sheet, PSBTN_CANCEL);
    });
    afterCancel = DayNight[1];
    EXPECT_EQ(liveNight, 22);
    EXPECT_EQ(label, "&Nacht ab 23:00 Uhr");
    EXPECT_EQ(afterCancel, 20);
    EXPECT_EQ(GetString("DayNight"), "8,20,12,3");
    RunSheet([&](HWND sheet) {
        MoveSlider(PageOfRow(sheet, kDayNight), 1071, 11);
        ShowPage(sheet, 0);
        PressButton(sheet, PSBTN_APPLYNOW);
    });
    EXPECT_EQ(GetString("DayNight"), "8,20,11,3");
}

TEST_F(SheetTest, ClockAndPavementChoices)
{
    struct Case {
        int row, first;
        const char *setting;
        DWORD stored;
        int click;         // button to click, or 0
        DWORD applied;
    } cases[] = {
        {kClock, 2160, "Uhr", 7, 0, 7},
        {kClock, 2160, "Uhr", 0, 2163, 3},
        {kPavement, 2164, "Pfloecke", 1, 2164, 0},
    };
    for (const Case &c : cases) {
        PutDword(c.setting, c.stored);
        int checked = -1;
        bool imagesBack = true;
        RunSheet([&](HWND sheet) {
            HWND page = PageOfRow(sheet, c.row);
            for (int i = 0; i < 4; ++i) {
                if (IsDlgButtonChecked(page, c.first + i) == BST_CHECKED)
                    checked = i;
            }
            if (c.click)
                Click(page, c.click);
            ShowPage(sheet, 0);
            page = PageOfRow(sheet, c.row);
            for (int i = 0; i < 4; ++i)
                imagesBack &= SendDlgItemMessageA(page, c.first + i, BM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(checked, c.stored < 4 ? static_cast<int>(c.stored) : -1) << c.setting << " " << c.stored;
        EXPECT_TRUE(imagesBack) << c.setting;
        EXPECT_EQ(GetDword(c.setting), c.applied) << c.setting << " " << c.stored;
    }
}

TEST_F(SheetTest, MailCheckIsTheOppositeOfNoMailCheck)
{
    struct Case {
        DWORD stored;
        bool click;
        bool shownChecked;
        DWORD applied;
    } cases[] = {{7, false, false, 1}, {1, true, false, 0}, {0, false, true, 0}};
    for (const Case &c : cases) {
        PutDword("NoMailCheck", c.stored);
        bool checked = false, visible = false;
        RunSheet([&](HWND sheet) {
            HWND page = PageOfRow(sheet, kMail);
            checked = IsDlgButtonChecked(page, 1014) == BST_CHECKED;
            visible = IsWindowVisible(GetDlgItem(page, 1014)) != FALSE;
            if (c.click)
                Click(page, 1014);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_TRUE(visible);
        EXPECT_EQ(checked, c.shownChecked) << c.stored;
        EXPECT_EQ(GetDword("NoMailCheck"), c.applied) << c.stored;
    }
}

TEST_F(SheetTest, BadStoredValuesGiveDefaults)
{
    IntlGuard guard;
    WriteProfileStringA("intl", "iTime", "1");
    PutString("Speed", "fast");          // wrong type
    PutString("DayNight", "1,2");        // short list
    PutString("BusKommt", "99999999999,-5,7,9");
    PutDword("figSpeed", 0xFFFFFFFF);
    std::string night, winter, bus;
    int timer = -1, people = -1;
    RunSheet([&](HWND sheet) {
        HWND speed = PageOfRow(sheet, kSpeed);
        timer = SliderPos(speed, 2054);
        people = SliderPos(speed, 2060);
        HWND dayNight = PageOfRow(sheet, kDayNight);
        night = ControlText(dayNight, 1073);
        winter = ControlText(dayNight, 1076);
        bus = ControlText(PageOfRow(sheet, kTimetable), 2040);
    });
    EXPECT_EQ(timer, 20);
    EXPECT_EQ(people, 8);
    EXPECT_EQ(night, "&Nacht ab 20:00 Uhr");
    EXPECT_EQ(winter, "&bis März");
    EXPECT_EQ(bus, "Straßenbahn fährt alle 1 bis 3 Minuten");
}

// Every visible control lies inside its page and overlaps no other; every
// picture lies inside the page and covers no visible control.
TEST_F(SheetTest, LayoutHasNoOverlapsAndEveryPictureFits)
{
    std::vector<std::string> faults;
    RunSheet([&](HWND sheet) {
        for (int i = 0; i < PageCount(sheet); ++i) {
            HWND page = ShowPage(sheet, i);
            RECT client;
            GetClientRect(page, &client);
            std::vector<std::pair<int, RECT>> rects;
            for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (!IsWindowVisible(c))
                    continue;
                RECT r;
                GetWindowRect(c, &r);
                MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&r), 2);
                rects.push_back({GetDlgCtrlID(c), r});
                RECT inside;
                IntersectRect(&inside, &r, &client);
                if (!EqualRect(&inside, &r))
                    faults.push_back("page " + std::to_string(i) + ": control " + std::to_string(GetDlgCtrlID(c)) +
                                     " is cut");
            }
            for (size_t a = 0; a < rects.size(); ++a) {
                for (size_t b = a + 1; b < rects.size(); ++b) {
                    RECT both;
                    if (IntersectRect(&both, &rects[a].second, &rects[b].second))
                        faults.push_back("page " + std::to_string(i) + ": " + std::to_string(rects[a].first) +
                                         " overlaps " + std::to_string(rects[b].first));
                }
            }
            // The pictures, drawn into a screen-compatible DC of the same page.
            struct Picture {
                int row, anchor;
                const char *name;
            } pictures[] = {{1, 2111, "SPEED"},    {4, 2109, "TAGNACHT"}, {5, 2107, "BUSBAHN1"},
                            {14, 2172, "NEWMAIL"}, {14, 2171, "BRIEF"},    {12, 2115, "SOUND1"},
                            {12, 2116, "SOUND2"},  {13, 2116, "MUSIK"},    {15, 2295, "WETTER"},
                            {15, 2295, "WET_1_--_--"}};
            for (const Picture &p : pictures) {
                if (SheetPageRow(i) != p.row)
                    continue;
                HDC dc = GetDC(page);
                RECT r = DrawPagePicture(page, dc, p.anchor, p.name);
                ReleaseDC(page, dc);
                if (IsRectEmpty(&r)) {
                    faults.push_back(std::string(p.name) + " is missing");
                    continue;
                }
                RECT inside;
                IntersectRect(&inside, &r, &client);
                if (!EqualRect(&inside, &r))
                    faults.push_back(std::string(p.name) + " does not fit its page");
                for (auto &[id, cr] : rects) {
                    RECT both;
                    if (IntersectRect(&both, &r, &cr))
                        faults.push_back(std::string(p.name) + " covers control " + std::to_string(id));
                }
            }
        }
    });
    for (const std::string &f : faults)
        ADD_FAILURE() << f;
}

}  // namespace
}  // namespace sheettest
