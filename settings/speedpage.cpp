// The speed page: the frame timer, the people's pace and the vehicles'
// lowest and highest speed.
#include "resources/resource.h"
#include "config/config.h"
#include "config/settingstable.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include <initializer_list>

namespace {

constexpr int kRow = 1;
constexpr int kTimerMax = 40;
constexpr int kTimerTicks = 5;
constexpr int kTimerPage = 4;
constexpr int kFigMax = 8;  // the slider shows 8 - figSpeed: right is faster
constexpr int kMinLow = 1, kMinHigh = 9;
constexpr int kMaxLow = 3, kMaxHigh = 10;
const char kPicture[] = "SPEED";

void SetSliders(HWND page, int timer, int fig, int low, int high)
{
    SetupTrackbar(page, IDC_SPEED_TIMER, 0, kTimerMax, kTimerPage, timer);
    SendDlgItemMessageA(page, IDC_SPEED_TIMER, TBM_SETTICFREQ, kTimerTicks, 0);
    SetupTrackbar(page, IDC_SPEED_FIG, 0, kFigMax, 1, kFigMax - fig);
    SetupTrackbar(page, IDC_SPEED_MIN, kMinLow, kMinHigh, 1, low);
    SetupTrackbar(page, IDC_SPEED_MAX, kMaxLow, kMaxHigh, 1, high);
}

// The highest speed stays above the lowest.
int HighAboveLow(int low, int high)
{
    return high <= low ? low + 1 : high;
}

void OnScroll(HWND page)
{
    int low = TrackbarPos(page, IDC_SPEED_MIN);
    int high = TrackbarPos(page, IDC_SPEED_MAX);
    if (HighAboveLow(low, high) != high)
        SendDlgItemMessageA(page, IDC_SPEED_MAX, TBM_SETPOS, TRUE, HighAboveLow(low, high));
    MarkChanged(page);
}

void SetTexts(HWND page)
{
    SetLngText(page, IDC_SPEED_TEXT, "SPEED", "TEXT",
               "Hier stellen Sie die Geschwindigkeit des Bildschirmschoners ein.\\nAber beachten Sie bitte auch "
               "das Tempolimit in geschlossenen Ortschaften!");
    SetLngText(page, IDC_SPEED_TIMERLABEL, "SPEED", "TIMER", "&Timer:");
    SetLngText(page, IDC_SPEED_FIGLABEL, "SPEED", "LEUTE", "&Leute:");
    SetLngText(page, IDC_SPEED_MINLABEL, "SPEED", "AUTOMIN", "Fahrzeuge (m&in):");
    SetLngText(page, IDC_SPEED_MAXLABEL, "SPEED", "AUTOMAX", "Fahrzeuge (m&ax):");
    for (int id : {IDC_SPEED_SLOW0, IDC_SPEED_SLOW1, IDC_SPEED_SLOW2, IDC_SPEED_SLOW3})
        SetLngText(page, id, "SPEED", "SPEED_L", "langsam");
    for (int id : {IDC_SPEED_FAST0, IDC_SPEED_FAST1, IDC_SPEED_FAST2, IDC_SPEED_FAST3})
        SetLngText(page, id, "SPEED", "SPEED_S", "schnell");
    SetLngText(page, IDC_SPEED_DEFAULTS, "SPEED", "DEFAULT", "&Standardwerte");
}

void Apply(HWND page)
{
    Speed = TrackbarPos(page, IDC_SPEED_TIMER);
    figSpeed = kFigMax - TrackbarPos(page, IDC_SPEED_FIG);
    minCarSpeed = TrackbarPos(page, IDC_SPEED_MIN);
    maxCarSpeed = HighAboveLow(minCarSpeed, TrackbarPos(page, IDC_SPEED_MAX));
    SaveSettings();
}

const PageHandlers kHandlers = {SetTexts, Apply};

}  // namespace

INT_PTR CALLBACK SpeedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[kRow].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        SetSliders(page, Speed, figSpeed, minCarSpeed, maxCarSpeed);
        return TRUE;
    case WM_PAINT:
        PaintPagePicture(page, IDC_SPEED_PICTURE, kPicture);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SPEED_DEFAULTS && HIWORD(wParam) == BN_CLICKED) {
            SetSliders(page, SettingDefault("Speed"), SettingDefault("figSpeed"), SettingDefault("minCarSpeed"),
                       SettingDefault("maxCarSpeed"));
            MarkChanged(page);
        }
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        return FALSE;
    }
}
