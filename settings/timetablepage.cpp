// The timetable page: how often the bus comes by day, at dusk and at night,
// and the tram's timetable. The page edits a copy that Apply takes over.
#include "resources/resource.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr int kRow = 5;
constexpr int kBusLow = 2, kBusHigh = 30, kBusPage = 5;
constexpr int kTramHigh = 3;
const char kPicture[] = "BUSBAHN1";

struct BusRow {
    int labelId, sliderId;
    const char *key;
    const char *german;
};
const BusRow kBusRows[3] = {
    {IDC_BUS_DAYLABEL, IDC_BUS_DAY, "BUSKOMMT_TAG", "Am &Tag alle %d Minuten"},
    {IDC_BUS_DUSKLABEL, IDC_BUS_DUSK, "BUSKOMMT_DAEMMERUNG", "Bei &Dämmerung alle %d Minuten"},
    {IDC_BUS_NIGHTLABEL, IDC_BUS_NIGHT, "BUSKOMMT_NACHT", "In der &Nacht alle %d Minuten"},
};
const char *const kGermanTramTimes[kTramHigh] = {"1 bis 3", "2 bis 6", "4 bis 10"};

int gCopy[4];

void SetLabels(HWND page)
{
    char text[kLabelLen];
    for (int i = 0; i < 3; ++i) {
        LngFormatInt(text, sizeof(text), "BUSKOMMT", kBusRows[i].key, kBusRows[i].german, gCopy[i]);
        SetDlgItemTextA(page, kBusRows[i].labelId, text);
    }
    TramLabel(gCopy[3], text, sizeof(text));
    SetDlgItemTextA(page, IDC_BUS_TRAMLABEL, text);
}

void Init(HWND page)
{
    memcpy(gCopy, BusKommt, sizeof(gCopy));
    for (int i = 0; i < 3; ++i)
        SetupTrackbar(page, kBusRows[i].sliderId, kBusLow, kBusHigh, kBusPage, gCopy[i]);
    SetupTrackbar(page, IDC_BUS_TRAM, 0, kTramHigh, 1, gCopy[3]);
}

void Activate(HWND page)
{
    SetLngText(page, IDC_BUS_TEXT, "BUSKOMMT", "BUS_TEXT",
               "Stellen Sie ein, wie oft der Bus zur Haltestelle kommt. Die Straßenbahn hat einen anderen Fahrplan "
               "und kann auch abgeschaltet werden.");
    SetLabels(page);
}

void OnScroll(HWND page)
{
    for (int i = 0; i < 3; ++i)
        gCopy[i] = TrackbarPos(page, kBusRows[i].sliderId);
    gCopy[3] = TrackbarPos(page, IDC_BUS_TRAM);
    SetLabels(page);
    MarkChanged(page);
}

void Apply(HWND)
{
    memcpy(BusKommt, gCopy, sizeof(BusKommt));
    TramOn = BusKommt[3] > 0;
    SaveSettings();
}

const PageHandlers kHandlers = {Activate, Apply};

}  // namespace

void TramLabel(int choice, char *out, size_t outSize)
{
    if (choice < 1 || choice > kTramHigh) {
        LngCopy(out, outSize, "BUSKOMMT", "SBAHNNICHT", "Keine Straßenbahn");
        return;
    }
    char key[16], times[kLabelLen];
    StrPrintfN(key, sizeof(key), "SBAHNALLE%d", choice - 1);
    LngCopy(times, sizeof(times), "BUSKOMMT", key, kGermanTramTimes[choice - 1]);
    LngFormatString(out, outSize, "BUSKOMMT", "SBAHNKOMMT", "Straßenbahn fährt alle %s Minuten", times);
}

INT_PTR CALLBACK BusKommtPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[kRow].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        Init(page);
        return TRUE;
    case WM_PAINT:
        PaintPagePicture(page, IDC_BUS_PICTURE, kPicture);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(page);
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        return FALSE;
    }
}
