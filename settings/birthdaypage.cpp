// The birthday page: the birthday list with a name, a date, a reminder lead
// and a bubble text for each entry; new, delete, sorted by date or by name.
// Edits go into the list at once; Apply writes the list file.
#include "resources/resource.h"
#include "base/now.h"
#include "services/birthdays.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include <algorithm>

namespace {

constexpr int kRow = 16;
constexpr UINT_PTR kPictureTimer = 104;
constexpr int kNewLimit = kMaxGeburtstage - 1;  // New stops one short of the file's limit
constexpr int kReminders = kMaxReminderCode + 1;
constexpr int kNewReminder = 1;  // "on the day"
constexpr size_t kNameMax = kGeburtstagNameSize - 1;
constexpr size_t kTextMax = kGeburtstagTextSize - 1;
constexpr int kPictureRightMargin = 20;
constexpr int kFirstNumberedName = 2;
// What a date picker shows at least; older or damaged dates are shown near it
// and stay as stored until the user sets one.
constexpr int kEarliestShownYear = 1753, kLatestShownYear = 9999, kLastSafeDay = 28, kLastMonth = 12;

const char *const kReminderTexts[kReminders] = {
    "nicht", "zum Termin", "1 Tag vorher, bis zum Termin", "2 Tage vorher, bis zum Termin",
    "3 Tage vorher, bis zum Termin", "1 Woche vorher, bis zum Termin", "2 Wochen vorher, bis zum Termin"};

// The page's state; the sheet has one birthday page at a time.
int gCurrent;
char gPendingName[kGeburtstagNameSize];
bool gPending;
bool gShowing;  // the page itself fills the controls: no user edit

GeburtstagRecord &Current() { return Geburtstage[std::clamp(gCurrent, 0, kMaxGeburtstage - 1)]; }

HWND NameBox(HWND page) { return GetDlgItem(page, IDC_TARVO_NAME); }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

uint32_t DateKey(int year, int month, int day)
{
    return static_cast<uint32_t>(year) * 10000u + static_cast<uint32_t>(month) * 100u + static_cast<uint32_t>(day);
}

void SetName(GeburtstagRecord &record, const char *name)
{
    StrCopyN(record.Name, sizeof(record.Name), name);
}

// Replaces line index of the name box with the record's name and selects it.
void ReplaceLine(HWND page, int index)
{
    HWND box = NameBox(page);
    SendMessageA(box, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Geburtstage[index].Name));
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FillNames(HWND page)
{
    HWND box = NameBox(page);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < GeburtstagCount; ++i)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Geburtstage[i].Name));
}

void ShowDate(HWND page, const GeburtstagRecord &record)
{
    SYSTEMTIME st = {};
    st.wYear = record.Year;
    st.wMonth = record.Month;
    st.wDay = record.Day;
    HWND picker = GetDlgItem(page, IDC_TARVO_DATE);
    if (SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)))
        return;
    st.wYear = static_cast<WORD>(std::clamp(static_cast<int>(record.Year), kEarliestShownYear, kLatestShownYear));
    st.wMonth = static_cast<WORD>(std::clamp(static_cast<int>(record.Month), 1, kLastMonth));
    st.wDay = static_cast<WORD>(std::clamp(static_cast<int>(record.Day), 1, kLastSafeDay));
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void ShowCurrent(HWND page)
{
    gShowing = true;
    const GeburtstagRecord &record = Current();
    if (GeburtstagCount > 0)
        SendMessageA(NameBox(page), CB_SETCURSEL, static_cast<WPARAM>(gCurrent), 0);
    else
        SetWindowTextA(NameBox(page), "");
    ShowDate(page, record);
    SendDlgItemMessageA(page, IDC_TARVO_REMIND, CB_SETCURSEL,
                        record.Reminder < kReminders ? record.Reminder : static_cast<WPARAM>(-1), 0);
    SetDlgItemTextA(page, IDC_TARVO_BUBBLE, record.Text);
    int n = GeburtstagCount;
    Enable(page, IDC_TARVO_NEW, n < kNewLimit);
    for (int id = IDC_TARVO_NAMELABEL; id <= IDC_TARVO_BUBBLE; ++id)
        Enable(page, id, n >= 1);
    Enable(page, IDC_TARVO_DEL, n >= 1);
    Enable(page, IDC_TARVO_BYDATE, n >= 2);
    Enable(page, IDC_TARVO_BYNAME, n >= 2);
    gShowing = false;
}

// Sorts the list and shows the first entry whose name begins with the one
// that was shown (the entry itself, unless another such name comes first).
void SortKeeping(HWND page, const char *shownName)
{
    char current[kGeburtstagNameSize];
    StrCopy(current, shownName);
    SortGeburtstage(Geburtstage, GeburtstagCount, TarvoName != 0);
    FillNames(page);
    gCurrent = 0;
    size_t len = strlen(current);
    for (int i = 0; i < GeburtstagCount; ++i) {
        if (_strnicmp(Geburtstage[i].Name, current, len) == 0) {
            gCurrent = i;
            break;
        }
    }
    ShowCurrent(page);
}

void Sort(HWND page)
{
    SortKeeping(page, GeburtstagCount > 0 ? Current().Name : "");
}

void StorePendingName(HWND page)
{
    if (!gPending || GeburtstagCount == 0)
        return;
    SetName(Current(), gPendingName);
    gPending = false;
    ReplaceLine(page, gCurrent);
}

void Init(HWND page)
{
    LoadGeburtstage();
    gCurrent = 0;
    gPending = false;
    FillNames(page);
    HWND reminders = GetDlgItem(page, IDC_TARVO_REMIND);
    SendMessageA(reminders, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kReminders; ++i) {
        char key[16], text[kLabelLen];
        StrPrintfN(key, sizeof(key), "GTREM-%d", i);
        LngCopy(text, sizeof(text), "TARVO", key, kReminderTexts[i]);
        SendMessageA(reminders, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // Limits that leave room for the terminator of each field.
    SendMessageA(NameBox(page), CB_LIMITTEXT, kNameMax, 0);
    SendDlgItemMessageA(page, IDC_TARVO_BUBBLE, EM_LIMITTEXT, kTextMax, 0);
    ShowCurrent(page);
}

void Activate(HWND page)
{
    static const struct {
        int id;
        const char *key, *german;
    } kTexts[] = {
        {IDC_TARVO_TEXT, "TEXT",
         "Tarvo vergisst keinen Geburtstag und keinen Jahrestag: Er kommt vorbei und erinnert Sie rechtzeitig, "
         "auf Wunsch schon einige Tage vorher."},
        {IDC_TARVO_NAMELABEL, "NAME", "&Name:"},
        {IDC_TARVO_DATELABEL, "GEBTAG", "&Geburtstag:"},
        {IDC_TARVO_REMINDLABEL, "ERINNERUNG", "&Tarvo kommt:"},
        {IDC_TARVO_BUBBLELABEL, "SPRECHBLASE", "Sprechblase:"},
        {IDC_TARVO_NEW, "NEU", "&Neu"},
        {IDC_TARVO_DEL, "DEL", "&Löschen"},
        {IDC_TARVO_SORTLABEL, "SORTIER", "&Sortieren nach:"},
        {IDC_TARVO_BYDATE, "SORTIER-Datum", "Datum"},
        {IDC_TARVO_BYNAME, "SORTIER-Name", "Name"},
    };
    for (const auto &t : kTexts)
        SetLngText(page, t.id, "TARVO", t.key, t.german);
}

bool NameTaken(const char *name)
{
    for (int i = 0; i < GeburtstagCount; ++i)
        if (_stricmp(Geburtstage[i].Name, name) == 0)
            return true;
    return false;
}

void FreeDefaultName(char *out, size_t outSize)
{
    LngCopy(out, outSize, "TARVO", "NEU-0", "(neu)");
    for (int n = kFirstNumberedName; NameTaken(out) && n <= kMaxGeburtstage + 1; ++n)
        LngFormatInt(out, outSize, "TARVO", "NEU-1", "(neu %d)", n);
}

void NewEntry(HWND page)
{
    if (GeburtstagCount >= kNewLimit)
        return;
    StorePendingName(page);
    GeburtstagRecord record = {};
    char name[kGeburtstagNameSize];
    FreeDefaultName(name, sizeof(name));
    SetName(record, name);
    SYSTEMTIME today;
    NowLocal(&today);
    record.Year = today.wYear;
    record.Month = today.wMonth;
    record.Day = today.wDay;
    record.SortKey = DateKey(today.wYear, today.wMonth, today.wDay);
    record.Reminder = kNewReminder;
    gCurrent = GeburtstagCount;
    Geburtstage[GeburtstagCount++] = record;
    SendMessageA(NameBox(page), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(record.Name));
    ShowCurrent(page);
    SetFocus(NameBox(page));
    MarkChanged(page);
}

void DeleteEntry(HWND page)
{
    if (GeburtstagCount == 0)
        return;
    int at = std::clamp(gCurrent, 0, GeburtstagCount - 1);
    std::move(Geburtstage + at + 1, Geburtstage + GeburtstagCount, Geburtstage + at);
    --GeburtstagCount;
    Geburtstage[GeburtstagCount] = GeburtstagRecord{};
    SendMessageA(NameBox(page), CB_DELETESTRING, static_cast<WPARAM>(at), 0);
    gPending = false;
    gCurrent = std::max(at - 1, 0);
    if (GeburtstagCount == 0)
        Geburtstage[0] = GeburtstagRecord{};
    ShowCurrent(page);
    MarkChanged(page);
}

void SortBy(HWND page, int byName)
{
    StorePendingName(page);
    TarvoName = byName;
    SendMessageA(page, WM_PAGEREFRESH_TARVO_SORT, 0, 0);
    SetFocus(NameBox(page));
}

// The typed name ends its edit: it goes into the entry it was typed for.
void NameEditDone(HWND page)
{
    if (GeburtstagCount == 0)
        return;
    char text[kGeburtstagNameSize];
    GetWindowTextA(NameBox(page), text, sizeof(text));
    gPending = false;
    if (strcmp(text, Current().Name) == 0)
        return;
    SetName(Current(), text);
    ReplaceLine(page, gCurrent);
}

void OnNameBox(HWND page, int code)
{
    switch (code) {
    case CBN_EDITCHANGE:
        if (gShowing || GeburtstagCount == 0)
            return;
        GetWindowTextA(NameBox(page), gPendingName, sizeof(gPendingName));
        gPending = true;
        MarkChanged(page);
        break;
    case CBN_KILLFOCUS:
    case CBN_DROPDOWN:
        NameEditDone(page);
        break;
    case CBN_SELCHANGE: {
        LRESULT sel = SendMessageA(NameBox(page), CB_GETCURSEL, 0, 0);
        StorePendingName(page);
        if (sel != CB_ERR && sel < GeburtstagCount)
            gCurrent = static_cast<int>(sel);
        ShowCurrent(page);
        break;
    }
    default:
        break;
    }
}

void OnCommand(HWND page, int id, int code)
{
    if (id == IDC_TARVO_NAME) {
        OnNameBox(page, code);
        return;
    }
    if (code == BN_CLICKED) {
        if (id == IDC_TARVO_NEW)
            NewEntry(page);
        else if (id == IDC_TARVO_DEL)
            DeleteEntry(page);
        else if (id == IDC_TARVO_BYDATE || id == IDC_TARVO_BYNAME)
            SortBy(page, id == IDC_TARVO_BYNAME ? 1 : 0);
        return;
    }
    if (gShowing || GeburtstagCount == 0)
        return;
    if (id == IDC_TARVO_REMIND && code == CBN_SELCHANGE) {
        LRESULT sel = SendDlgItemMessageA(page, IDC_TARVO_REMIND, CB_GETCURSEL, 0, 0);
        if (sel != CB_ERR) {
            Current().Reminder = static_cast<uint16_t>(sel);
            MarkChanged(page);
        }
    } else if (id == IDC_TARVO_BUBBLE && code == EN_CHANGE) {
        GetDlgItemTextA(page, IDC_TARVO_BUBBLE, Current().Text, sizeof(Current().Text));
        MarkChanged(page);
    }
}

void OnDateChange(HWND page, const NMDATETIMECHANGE *change)
{
    if (gShowing || GeburtstagCount == 0 || change->dwFlags != GDT_VALID)
        return;
    GeburtstagRecord &record = Current();
    record.Year = change->st.wYear;
    record.Month = change->st.wMonth;
    record.Day = change->st.wDay;
    record.SortKey = DateKey(record.Year, record.Month, record.Day);
    MarkChanged(page);
}

void Apply(HWND page)
{
    StorePendingName(page);
    char shown[kGeburtstagNameSize];
    StrCopy(shown, GeburtstagCount > 0 ? Current().Name : "");
    SaveGeburtstage(page);
    HeuteGeburtstag();
    // Writing sorted the list: the names follow it, the shown entry stays.
    SortKeeping(page, shown);
}

void RefreshPicture(HWND page)
{
    SIZE size;
    if (!PagePictureSize("TARVO", &size))
        return;
    RECT client;
    GetClientRect(page, &client);
    SetWindowPos(GetDlgItem(page, IDC_TARVO_PICTURE), nullptr, client.right - size.cx - kPictureRightMargin,
                 client.bottom - size.cy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC dc = GetDC(page);
    DrawPagePicture(page, dc, IDC_TARVO_PICTURE, "TARVO");
    ReleaseDC(page, dc);
}

bool OnNotify(HWND page, LPARAM lParam)
{
    const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
    if (hdr->code == DTN_DATETIMECHANGE && hdr->idFrom == IDC_TARVO_DATE) {
        OnDateChange(page, reinterpret_cast<const NMDATETIMECHANGE *>(lParam));
        return true;
    }
    return false;
}

}  // namespace

INT_PTR CALLBACK GeburtstagPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, OnNotify, WM_PAGEREFRESH_TARVO_PICTURE,
                                   RefreshPicture, kPictureTimer};
    if (message == WM_PAGEREFRESH_TARVO_SHOW) {
        ShowCurrent(page);
        return TRUE;
    }
    if (message == WM_PAGEREFRESH_TARVO_SORT) {
        Sort(page);
        return TRUE;
    }
    return RunPage(page, message, wParam, lParam, kKind);
}
