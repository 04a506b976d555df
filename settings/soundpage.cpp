// The sound page: the effects as a whole and one by one, their volume, and the
// schedules of the tower clock, the bells and the alarm.
#include "resources/resource.h"
#include "core/notenames.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include <algorithm>

namespace {

constexpr int kRow = 12;
constexpr int kSimpleOptions = 6;  // options 0 to 5 are plain switches
constexpr int kClockOption = 6, kBellsOption = 7, kAlarmOption = 8, kDoorsOption = 9;
constexpr int kOptionCount = 10;
constexpr int kClockChoices = 3, kDayChoices = 10;
constexpr int kVolumeMax = 1000, kVolumeTick = 50, kVolumePage = 100;
constexpr size_t kChoiceLen = 40;  // 39 characters of a list text
constexpr int kLastHour = 23, kLastMinute = 59;

const char *const kOptionKeys[kOptionCount] = {"Fahrzeug", "Hupe", "S-Bahn", "Foto", "Vogel",
                                               "Hund", "Uhr", "Glocke", "Alarm", "Tuer"};
const char *const kOptionTexts[kOptionCount] = {
    "Fahrzeugmotoren", "Hupen/Sirene", "Straßenbahn", "Fotoapparat", "Vögel zwitschern",
    "Hund bellt", "Turmuhr", "Glockenläuten", "Alarm", "Türen"};
const int kOptionIds[kOptionCount] = {
    IDC_SOUND_FIRSTOPT, IDC_SOUND_FIRSTOPT + 1, IDC_SOUND_FIRSTOPT + 2, IDC_SOUND_FIRSTOPT + 3,
    IDC_SOUND_FIRSTOPT + 4, IDC_SOUND_FIRSTOPT + 5, IDC_SOUND_CLOCK, IDC_SOUND_BELLS, IDC_SOUND_ALARM,
    IDC_SOUND_DOORS};
const char *const kClockTexts[kClockChoices] = {"Jede Stunde", "Jede halbe Stunde", "Jede viertel Stunde"};
const char *const kDayTexts[kDayChoices] = {"Täglich", "Wochentag", "Wochenende", "Montag", "Dienstag",
                                            "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};

// A scheduled sound: its switch, day list, time picker, stored schedule and file.
struct Schedule {
    int option;
    int checkId, listId, pickerId;
    int *stored;  // day choice, hour, minute, second
    const char *file;
};
const Schedule kBells = {kBellsOption, IDC_SOUND_BELLS, IDC_SOUND_BELLSDAY, IDC_SOUND_BELLSTIME, Glocken,
                         "sound\\glocken.mp3"};
const Schedule kAlarm = {kAlarmOption, IDC_SOUND_ALARM, IDC_SOUND_ALARMDAY, IDC_SOUND_ALARMTIME, Alarm,
                         "sound\\alarm.mp3"};

// Whether the bells' and the alarm's files were there when the page was made.
bool gBellsFile, gAlarmFile;

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

bool SoundFileThere(const char *name)
{
    char path[kPathLen];
    if (!JoinFolderPath(HLPpath, name, path, sizeof(path)))
        return false;
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void FillList(HWND page, int id, const char *const *germanTexts, const char *keyFormat, int count, int option)
{
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char key[16], text[kChoiceLen];
        StrPrintfN(key, sizeof(key), keyFormat, i);
        LngCopy(text, sizeof(text), "SOUND", key, germanTexts[i]);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // An option out of range (a damaged value) selects nothing.
    SendMessageA(list, CB_SETCURSEL, (option >= 1 && option <= count) ? option - 1 : -1, 0);
}

void Init(HWND page)
{
    gBellsFile = SoundFileThere(kBells.file);
    gAlarmFile = SoundFileThere(kAlarm.file);
    CheckDlgButton(page, IDC_SOUND_ON, Sound ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < kOptionCount; ++i) {
        bool on = SoundOpt[i] != 0;
        if (i == kBellsOption)
            on = on && gBellsFile;
        if (i == kAlarmOption)
            on = on && gAlarmFile;
        CheckDlgButton(page, kOptionIds[i], on ? BST_CHECKED : BST_UNCHECKED);
    }
    FillList(page, IDC_SOUND_CLOCKLIST, kClockTexts, "UHR_%02d", kClockChoices, SoundOpt[kClockOption]);
    FillList(page, IDC_SOUND_BELLSDAY, kDayTexts, "TAG_%02d", kDayChoices, SoundOpt[kBellsOption]);
    FillList(page, IDC_SOUND_ALARMDAY, kDayTexts, "TAG_%02d", kDayChoices, SoundOpt[kAlarmOption]);
}

void UpdateEnabling(HWND page)
{
    bool on = Sound != 0;
    Enable(page, IDC_SOUND_VOLUME, on);
    for (int i = 0; i < kSimpleOptions; ++i)
        Enable(page, kOptionIds[i], on);
    Enable(page, IDC_SOUND_CLOCK, on);
    Enable(page, IDC_SOUND_DOORS, on);
    Enable(page, IDC_SOUND_BELLS, on && gBellsFile);
    Enable(page, IDC_SOUND_ALARM, on && gAlarmFile);
    Enable(page, IDC_SOUND_CLOCKLIST, on && Checked(page, IDC_SOUND_CLOCK));
    for (const Schedule *s : {&kBells, &kAlarm}) {
        bool scheduled = on && Checked(page, s->checkId);
        Enable(page, s->listId, scheduled);
        Enable(page, s->pickerId, scheduled);
    }
}

// The picker shows the stored time; a damaged one is brought into range, as
// the picker takes no other.
void ShowTime(HWND page, const Schedule &s)
{
    SYSTEMTIME st = {};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(std::clamp(s.stored[1], 0, kLastHour));
    st.wMinute = static_cast<WORD>(std::clamp(s.stored[2], 0, kLastMinute));
    st.wSecond = static_cast<WORD>(std::clamp(s.stored[3], 0, kLastMinute));
    SendDlgItemMessageA(page, s.pickerId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TakeTime(const Schedule &s, const SYSTEMTIME &st)
{
    s.stored[1] = st.wHour;
    s.stored[2] = st.wMinute;
    s.stored[3] = st.wSecond;
}

void Activate(HWND page)
{
    SetLngText(page, IDC_SOUND_TEXT, "SOUND", "TEXT",
               "Ist es zu laut an der Wendelby? Einzelne Soundeffekte oder auch alle können abgeschaltet werden.");
    SetLngText(page, IDC_SOUND_ON, "SOUND", "SOUND", "&Sound");
    for (int i = 0; i < kOptionCount; ++i)
        SetLngText(page, kOptionIds[i], "SOUND", kOptionKeys[i], kOptionTexts[i]);
    SetLngText(page, IDC_SOUND_VOLLABEL, "SOUND", "VOLUME-SOUND", "Lautstärke:");
    SetupTrackbar(page, IDC_SOUND_VOLUME, 0, kVolumeMax, kVolumePage, SNDvolume);
    SendDlgItemMessageA(page, IDC_SOUND_VOLUME, TBM_SETTICFREQ, kVolumeTick, 0);
    UpdateEnabling(page);
    ShowTime(page, kBells);
    ShowTime(page, kAlarm);
    InvalidateRect(page, nullptr, TRUE);
}

// Option value of a switch with a list: the choice + 1, 0 when off or nothing chosen.
int ListOption(HWND page, int checkId, int listId)
{
    if (!Checked(page, checkId))
        return 0;
    LRESULT sel = SendDlgItemMessageA(page, listId, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? 0 : static_cast<int>(sel) + 1;
}

void ApplySchedule(HWND page, const Schedule &s)
{
    SoundOpt[s.option] = ListOption(page, s.checkId, s.listId);
    if (!Checked(page, s.checkId))
        return;
    // A switch without a day keeps the day as -1: the scene takes it as off.
    s.stored[0] = static_cast<int>(SendDlgItemMessageA(page, s.listId, CB_GETCURSEL, 0, 0));
    if (s.stored[0] < 0)
        s.stored[0] = -1;
    SYSTEMTIME st = {};
    if (SendDlgItemMessageA(page, s.pickerId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
        TakeTime(s, st);
}

void Apply(HWND page)
{
    Sound = Checked(page, IDC_SOUND_ON) ? 1 : 0;
    for (int i = 0; i < kSimpleOptions; ++i)
        SoundOpt[i] = Checked(page, kOptionIds[i]) ? 1 : 0;
    SoundOpt[kDoorsOption] = Checked(page, IDC_SOUND_DOORS) ? 1 : 0;
    SoundOpt[kClockOption] = ListOption(page, IDC_SOUND_CLOCK, IDC_SOUND_CLOCKLIST);
    ApplySchedule(page, kBells);
    ApplySchedule(page, kAlarm);
    SaveSettings();
}

void Refresh(HWND page)
{
    HDC dc = GetDC(page);
    DrawPagePicture(page, dc, IDC_SOUND_PICTURE1, "SOUND1");
    DrawPagePicture(page, dc, IDC_SOUND_PICTURE2, "SOUND2");
    ReleaseDC(page, dc);
}

void OnCommand(HWND page, int id, int code)
{
    if (id == IDC_SOUND_ON && code == BN_CLICKED) {
        Sound = Checked(page, IDC_SOUND_ON) ? 1 : 0;
        UpdateEnabling(page);
        MarkChanged(page);
        return;
    }
    if (code == BN_CLICKED && id >= IDC_SOUND_FIRSTOPT && id <= IDC_SOUND_DOORS) {
        UpdateEnabling(page);
        MarkChanged(page);
        return;
    }
    if (code == CBN_SELCHANGE &&
        (id == IDC_SOUND_CLOCKLIST || id == IDC_SOUND_BELLSDAY || id == IDC_SOUND_ALARMDAY))
        MarkChanged(page);
}

bool OnNotify(HWND page, LPARAM lParam)
{
    const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
    if (hdr->code == DTN_DATETIMECHANGE) {
        const NMDATETIMECHANGE *change = reinterpret_cast<const NMDATETIMECHANGE *>(lParam);
        const Schedule *s = hdr->idFrom == IDC_SOUND_BELLSTIME ? &kBells
                            : hdr->idFrom == IDC_SOUND_ALARMTIME ? &kAlarm
                                                                 : nullptr;
        if (s && change->dwFlags == GDT_VALID) {
            TakeTime(*s, change->st);
            MarkChanged(page);
        }
        return true;
    }
    return false;
}

}  // namespace

INT_PTR CALLBACK SoundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, OnNotify, WM_PAGEREFRESH_SOUND, Refresh};
    if (message == WM_HSCROLL) {
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_SOUND_VOLUME)) {
            SNDvolume = TrackbarPos(page, IDC_SOUND_VOLUME);
            MarkChanged(page);
        }
        return TRUE;
    }
    return RunPage(page, message, wParam, lParam, kKind);
}
