// The day and night page: when the day and the night begin, when the winter
// begins and how long it lasts. The sliders change the live values at once;
// Cancel brings back those of the page's last activation.
#include "resources/resource.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr int kRow = 4;
constexpr int kMonths = 12;
constexpr int kNoon = 12;
const char kPicture[] = "TAGNACHT";

const char *const kGermanMonths[kMonths] = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                            "August", "September", "Oktober", "November", "Dezember"};

struct Slider {
    int id;
    int low, high;
};
// One slider per DayNight field, in field order.
const Slider kSliders[4] = {
    {IDC_TAGNACHT_DAY, 2, 12},
    {IDC_TAGNACHT_NIGHT, 13, 23},
    {IDC_TAGNACHT_WINTER, 1, 12},
    {IDC_TAGNACHT_UNTIL, 1, 10},
};

int gAtActivation[4];
ClockForm gForm;

void MonthName(int month, char *out, size_t outSize)
{
    char key[16];
    StrPrintfN(key, sizeof(key), "MONAT_%02d", month);
    LngCopy(out, outSize, "TAGNACHT", key, kGermanMonths[month - 1]);
}

void AppendDesignator(char *out, size_t outSize, const char *designator)
{
    StrAppendN(out, outSize, " ");
    StrAppendN(out, outSize, designator);
}

void SetLabels(HWND page)
{
    char text[kLabelLen];
    DayLabel(DayNight[0], gForm, text, sizeof(text));
    SetDlgItemTextA(page, IDC_TAGNACHT_DAYLABEL, text);
    NightLabel(DayNight[1], gForm, text, sizeof(text));
    SetDlgItemTextA(page, IDC_TAGNACHT_NIGHTLABEL, text);
    WinterFromLabel(DayNight[2], text, sizeof(text));
    SetDlgItemTextA(page, IDC_TAGNACHT_WINTERLABEL, text);
    WinterUntilLabel(DayNight[2], DayNight[3], text, sizeof(text));
    SetDlgItemTextA(page, IDC_TAGNACHT_UNTILLABEL, text);
}

void Activate(HWND page)
{
    memcpy(gAtActivation, DayNight, sizeof(gAtActivation));
    ReadClockForm(&gForm);
    SetLngText(page, IDC_TAGNACHT_TEXT, "TAGNACHT", "TXT_TAG",
               "Ab sofort entscheiden Sie selbst, wann die Sonne auf- oder untergeht. Bestimmen Sie selbst, wann "
               "der Winter anfängt und wie lange er dauert.");
    for (int i = 0; i < 4; ++i)
        SetupTrackbar(page, kSliders[i].id, kSliders[i].low, kSliders[i].high, 1, DayNight[i]);
    SetLabels(page);
}

void OnScroll(HWND page, HWND bar)
{
    for (int i = 0; i < 4; ++i) {
        if (GetDlgItem(page, kSliders[i].id) == bar)
            DayNight[i] = TrackbarPos(page, kSliders[i].id);
    }
    SetLabels(page);
    MarkChanged(page);
}

void Apply(HWND)
{
    SaveSettings();
}

const PageHandlers kHandlers = {Activate, Apply};

}  // namespace

void ReadClockForm(ClockForm *form)
{
    form->twelveHour = GetProfileIntA("intl", "iTime", 1) < 1;
    GetProfileStringA("intl", "s1159", "", form->morning, sizeof(form->morning));
    GetProfileStringA("intl", "s2359", "", form->afternoon, sizeof(form->afternoon));
}

void DayLabel(int day, const ClockForm &form, char *out, size_t outSize)
{
    LngFormatInt(out, outSize, "TAGNACHT", "TAG_AB", "&Tag ab %02d:00 Uhr", day);
    if (form.twelveHour)
        AppendDesignator(out, outSize, day <= kNoon ? form.morning : form.afternoon);
}

void NightLabel(int night, const ClockForm &form, char *out, size_t outSize)
{
    if (!form.twelveHour) {
        LngFormatInt(out, outSize, "TAGNACHT", "NACHT_AB", "&Nacht ab %02d:00 Uhr", night + 1);
        return;
    }
    LngFormatInt(out, outSize, "TAGNACHT", "NACHT_AB", "&Nacht ab %02d:00 Uhr", night - (kNoon - 1));
    AppendDesignator(out, outSize, night <= kNoon ? form.morning : form.afternoon);
}

void WinterFromLabel(int month, char *out, size_t outSize)
{
    char name[kLabelLen];
    MonthName(month < 1 || month > kMonths ? 1 : month, name, sizeof(name));
    LngFormatString(out, outSize, "TAGNACHT", "WINTER_AB", "&Winter ab %s", name);
}

void WinterUntilLabel(int month, int length, char *out, size_t outSize)
{
    int end = (month + length) % kMonths;
    if (end <= 0)
        end += kMonths;
    char name[kLabelLen];
    MonthName(end, name, sizeof(name));
    LngFormatString(out, outSize, "TAGNACHT", "WINTER_BIS", "&bis %s", name);
}

INT_PTR CALLBACK TagNachtPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR *>(lParam)->code == PSN_RESET)
        memcpy(DayNight, gAtActivation, sizeof(DayNight));
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[kRow].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_PAINT:
        PaintPagePicture(page, IDC_TAGNACHT_PICTURE, kPicture);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(page, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        return FALSE;
    }
}
