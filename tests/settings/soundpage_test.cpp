// The sound page: what it shows for stored values and what Apply stores.
#include "sheet_fixture.h"

#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kSoundRow = 12;

// Every control that follows the sound switch.
const int kDependents[] = {2121, 2122, 2123, 2124, 2125, 2126, 2127, 2128, 2129, 2130,
                           2118, 2119, 2120, 2131, 2132, 2084};

class SoundPageTest : public SheetTest {
protected:
    void SoundFiles(bool present)
    {
        CreateDirectoryA(dir_->File("sound").c_str(), nullptr);
        for (const char *name : {"sound\\glocken.mp3", "sound\\alarm.mp3"}) {
            if (present)
                testutil::WriteFileBytes(dir_->File(name), "RIFF");
            else
                DeleteFileA(dir_->File(name).c_str());
        }
    }
};

SYSTEMTIME Time(int h, int m, int s)
{
    return testutil::Moment(2000, 1, 1, h, m, s);
}

TEST_F(SoundPageTest, StoredShownApplied)
{
    struct Case {
        const char *what;
        DWORD sound;
        const char *soundOpt, *glocken, *alarm;
        DWORD volume;
        bool files;
        // Looks at the page as shown, then edits it; returns what was wrong.
        std::function<std::string(HWND page)> drive;
        const char *soundOptAfter, *glockenAfter, *alarmAfter;
        DWORD volumeAfter;
    } cases[] = {
        {"bells checked without a day", 1, "1,1,1,1,1,1,0,0,0,1", "0,6,30,0", "0,0,0,0", 500, true,
         [](HWND page) {
             Click(page, 2128);
             return IsWindowEnabled(GetDlgItem(page, 2119)) ? "" : "day list stays disabled";
         },
         "1,1,1,1,1,1,0,0,0,1", "-1,6,30,0", "0,0,0,0", 500},
        {"quarter-hour tower clock", 1, "0,0,0,0,0,0,0,0,0,0", "0,0,0,0", "0,0,0,0", 500, true,
         [](HWND page) {
             Click(page, 2127);
             SelectCombo(page, 2118, 2);
             return "";
         },
         "0,0,0,0,0,0,3,0,0,0", "0,0,0,0", "0,0,0,0", 500},
        {"alarm on Sunday, time taken at once", 1, "0,0,0,0,0,0,0,0,0,0", "0,0,0,0", "0,1,2,3", 500, true,
         [](HWND page) {
             Click(page, 2129);
             SelectCombo(page, 2120, 9);
             ChangePicker(page, 2132, Time(7, 8, 9));
             return (Alarm[1] == 7 && Alarm[2] == 8 && Alarm[3] == 9) ? "" : "the time waits for Apply";
         },
         "0,0,0,0,0,0,0,0,10,0", "0,0,0,0", "9,7,8,9", 500},
        {"sound off keeps every value", 0, "1,0,1,0,1,0,2,3,4,1", "2,1,2,3", "3,4,5,6", 700, true,
         [](HWND page) {
             std::string wrong;
             for (int id : kDependents)
                 if (IsWindowEnabled(GetDlgItem(page, id)))
                     wrong += std::to_string(id) + " enabled ";
             return wrong;
         },
         "1,0,1,0,1,0,2,3,4,1", "2,1,2,3", "3,4,5,6", 700},
        {"volume above the range", 1, "0,0,0,0,0,0,0,0,0,0", "0,0,0,0", "0,0,0,0", 1500, true,
         [](HWND page) { return SliderPos(page, 2084) == 1000 ? "" : "slider not at 1000"; },
         "0,0,0,0,0,0,0,0,0,0", "0,0,0,0", "0,0,0,0", 1000},
        {"no bells or alarm file", 1, "0,0,0,0,0,0,0,3,4,0", "2,1,2,3", "3,4,5,6", 500, false,
         [](HWND page) {
             std::string wrong;
             for (int id : {2128, 2129, 2119, 2120, 2131, 2132})
                 if (IsWindowEnabled(GetDlgItem(page, id)))
                     wrong += std::to_string(id) + " enabled ";
             if (IsDlgButtonChecked(page, 2128) || IsDlgButtonChecked(page, 2129))
                 wrong += "checked";
             return wrong;
         },
         "0,0,0,0,0,0,0,0,0,0", "2,1,2,3", "3,4,5,6", 500},
        {"damaged values", 1, "5,-7,99999999999,0,0,0,7,11,-2", "1,99,-3", "x", 500, true,
         [](HWND page) {
             bool none = SendDlgItemMessageA(page, 2118, CB_GETCURSEL, 0, 0) == CB_ERR &&
                         SendDlgItemMessageA(page, 2119, CB_GETCURSEL, 0, 0) == CB_ERR;
             return none ? "" : "an out-of-range option selected a list entry";
         },
         "1,1,1,0,0,0,0,0,0,0", "-1,23,0,0", "-1,0,0,0", 500},
    };
    for (const Case &c : cases) {
        SoundFiles(c.files);
        PutDword("Sound", c.sound);
        PutString("SoundOpt", c.soundOpt);
        PutString("Glocken", c.glocken);
        PutString("Alarm", c.alarm);
        PutDword("SNDvolume", c.volume);
        std::string wrong = "not run";
        RunSheet([&](HWND sheet) {
            wrong = c.drive(PageOfRow(sheet, kSoundRow));
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(wrong, "") << c.what;
        EXPECT_EQ(GetDword("Sound"), c.sound) << c.what;
        EXPECT_EQ(GetString("SoundOpt"), c.soundOptAfter) << c.what;
        EXPECT_EQ(GetString("Glocken"), c.glockenAfter) << c.what;
        EXPECT_EQ(GetString("Alarm"), c.alarmAfter) << c.what;
        EXPECT_EQ(GetDword("SNDvolume"), c.volumeAfter) << c.what;
    }
}

TEST_F(SoundPageTest, SoundSwitchAndVolumeFollowTheUser)
{
    SoundFiles(true);
    PutString("SoundOpt", "0,0,0,0,0,0,0,1,0,0");
    bool offDisables = false, onRestores = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kSoundRow);
        Click(page, 1013);
        offDisables = !IsWindowEnabled(GetDlgItem(page, 2128)) && !IsWindowEnabled(GetDlgItem(page, 2084));
        Click(page, 1013);
        onRestores = IsWindowEnabled(GetDlgItem(page, 2119)) && IsWindowEnabled(GetDlgItem(page, 2131));
        MoveSlider(page, 2084, 350);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(offDisables);
    EXPECT_TRUE(onRestores);
    EXPECT_EQ(GetDword("SNDvolume"), 350u);
    EXPECT_EQ(GetString("SoundOpt"), "0,0,0,0,0,0,0,1,0,0");
}

}  // namespace
}  // namespace sheettest
