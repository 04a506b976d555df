// The weather page: whether the weather sign shows, the airport station from
// the station list, the unit, how often the report is fetched and through
// which proxy; the report can be fetched at once and previewed.
#include "resources/resource.h"
#include "config/lngtext.h"
#include "services/weather.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"
#include "settings/stationlist.h"
#include "config/config.h"

namespace {

constexpr int kRow = 15;
// The fields of the setting Weather.
constexpr int kShow = 0, kInterval = 1, kFahrenheit = 2, kCountry = 3, kStation = 4, kCountryNumber = 5;
constexpr int kAtStartMinutes = 1440, kEvery30Minutes = 30;
constexpr int kShortIntervalMax = 60;  // an interval up to this shows "every 30 minutes"
constexpr int kProxyAccess = 3;        // INTERNET_OPEN_TYPE_PROXY
constexpr int kDefaultPort = 21;
constexpr size_t kPortTextLen = 40;    // 39 digits are read
constexpr size_t kListTextLen = kStationLineMax + 1;
constexpr UINT kBoxStyle = MB_ICONINFORMATION | MB_TOPMOST;

// The page's state; the sheet has one weather page at a time.
int gCountryAtStart, gStationAtStart;  // the choice when the page was made
bool gFetched;                          // the report was fetched on this page
bool gFetchedValid;                     // ... and a valid one: the stored report is the choice's
bool gInitialising;                     // edits set by the page are no user's

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

// The selected line's text, cut to what its setting holds; false when nothing
// is selected. The length is asked first: a line may be longer than a name.
bool SelectedText(HWND page, int id, char *out, size_t outSize)
{
    out[0] = '\0';
    HWND combo = GetDlgItem(page, id);
    LRESULT sel = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR)
        return false;
    LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (len == CB_ERR || static_cast<size_t>(len) >= kListTextLen)
        return false;
    char text[kListTextLen];
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    StrCopyN(out, outSize, text);
    return true;
}

int Selection(HWND page, int id)
{
    LRESULT sel = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

// An index is looked up only inside its table.
const char *StationCode(int index)
{
    return (index >= 0 && index < kMaxStations) ? StationCodes[index] : "";
}

int CountryNumber(int index)
{
    return (index >= 0 && index < kMaxCountries) ? CountryNumbers[index] : 0;
}

// Fills the station list of the selected country and selects index (taken as
// 0 when outside the list); the station code follows.
void FillStations(HWND page, int index)
{
    HWND stations = GetDlgItem(page, IDC_WETTER_STATION);
    SendMessageA(stations, CB_RESETCONTENT, 0, 0);
    METAR[0] = '\0';
    char country[kListTextLen];
    if (!SelectedText(page, IDC_WETTER_COUNTRY, country, sizeof(country)))
        return;
    int count = ReadStations(stations, country);
    if (index < 0 || index >= count)
        index = 0;
    Weather[kStation] = index;
    if (count > 0) {
        SendMessageA(stations, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        StrCopy(METAR, StationCode(index));
    }
}

void ReadProxyEdits(HWND page)
{
    GetDlgItemTextA(page, IDC_WETTER_PROXY, Proxy, sizeof(Proxy));
    char port[kPortTextLen] = "";
    GetDlgItemTextA(page, IDC_WETTER_PORT, port, sizeof(port));
    FTPPortNumber = atoi(port);
}

void Init(HWND page)
{
    gInitialising = true;
    ReadProxySettings();
    gCountryAtStart = Weather[kCountry];
    gStationAtStart = Weather[kStation];
    gFetched = false;
    gFetchedValid = false;
    SetDlgItemTextA(page, IDC_WETTER_PROXY, Proxy);
    char port[kPortTextLen];
    StrPrintfN(port, sizeof(port), "%d", FTPPortNumber == 0 ? kDefaultPort : FTPPortNumber);
    SetDlgItemTextA(page, IDC_WETTER_PORT, port);
    HWND countries = GetDlgItem(page, IDC_WETTER_COUNTRY);
    SendMessageA(countries, CB_RESETCONTENT, 0, 0);
    int count = ReadStationCountries(countries);
    // A damaged or unselected index (-1) is taken as the first country.
    if (Weather[kCountry] < 0 || Weather[kCountry] >= count)
        Weather[kCountry] = 0;
    if (count > 0)
        SendMessageA(countries, CB_SETCURSEL, static_cast<WPARAM>(Weather[kCountry]), 0);
    FillStations(page, Weather[kStation]);
    // The read rule switched the weather off for want of a station; the page
    // has chosen one now, so its show box alone decides, for the controls and
    // for the fetch alike.
    WeatherShow = Weather[kShow] != 0;
    gInitialising = false;
}

void UpdateEnabling(HWND page)
{
    bool shown = WeatherShow;
    for (int id : {IDC_WETTER_COUNTRY, IDC_WETTER_STATION, IDC_WETTER_PROXYON, IDC_WETTER_CELSIUS,
                   IDC_WETTER_FAHRENHEIT, IDC_WETTER_ATSTART, IDC_WETTER_EVERY30, IDC_WETTER_FETCH})
        Enable(page, id, shown);
    bool proxy = shown && AccessType == kProxyAccess;
    Enable(page, IDC_WETTER_PROXY, proxy);
    Enable(page, IDC_WETTER_PORT, proxy);
}

void Activate(HWND page)
{
    static const struct {
        int id;
        const char *key, *german;
    } kTexts[] = {
        {IDC_WETTER_TEXT, "TEXT",
         "Das aktuelle Wetter kann im Tandrovi-Schaufenster angezeigt werden. Ein Update der Wetterdaten erfolgt "
         "jedoch nur dann, wenn eine Internetverbindung besteht!"},
        {IDC_WETTER_SHOW, "WETTER", "&Wetter anzeigen"},
        {IDC_WETTER_COUNTRYLABEL, "LAND", "&Land:"},
        {IDC_WETTER_STATIONLABEL, "ORT", "&Ort:"},
        {IDC_WETTER_TEMPLABEL, "TEMPERATUR", "Temperatur:"},
        {IDC_WETTER_CELSIUS, "TEMPERATUR0", "&Celsius"},
        {IDC_WETTER_FAHRENHEIT, "TEMPERATUR1", "&Fahrenheit"},
        {IDC_WETTER_NETLABEL, "INTERNET", "Internetverbindung:"},
        {IDC_WETTER_PROXYON, "PROXY", "Über &Proxy"},
        {IDC_WETTER_PROXYLABEL, "FTP-PROXY", "FTP-Proxy:"},
        {IDC_WETTER_PORTLABEL, "PORT", "Port:"},
        {IDC_WETTER_UPDATELABEL, "UPDATE", "&Update:"},
        {IDC_WETTER_ATSTART, "UPDATE0", "Beim Programmstart"},
        {IDC_WETTER_EVERY30, "UPDATE1", "Alle 30 Minuten"},
        {IDC_WETTER_FETCH, "UPDATE_NOW", "Jetzt &aktualisieren"},
    };
    for (const auto &t : kTexts)
        SetLngText(page, t.id, "WETTER", t.key, t.german);
    CheckDlgButton(page, IDC_WETTER_SHOW, WeatherShow ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_WETTER_PROXYON, AccessType == kProxyAccess ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(page, IDC_WETTER_CELSIUS, IDC_WETTER_FAHRENHEIT,
                     Weather[kFahrenheit] ? IDC_WETTER_FAHRENHEIT : IDC_WETTER_CELSIUS);
    CheckRadioButton(page, IDC_WETTER_ATSTART, IDC_WETTER_EVERY30,
                     Weather[kInterval] <= kShortIntervalMax ? IDC_WETTER_EVERY30 : IDC_WETTER_ATSTART);
    UpdateEnabling(page);
}

bool ReportShowable(const WeatherReportData &report)
{
    return gFetched && report.WeatherValid && report.CloudCover >= 0 && report.WeatherKind >= 0;
}

void ShowTemperature(HWND page, const WeatherReportData &report)
{
    char text[16];
    if (Weather[kFahrenheit])
        StrPrintfN(text, sizeof(text), "%d °F", report.TempF);
    else
        StrPrintfN(text, sizeof(text), "%d °C", report.TempC);
    SetDlgItemTextA(page, IDC_WETTER_TEMPERATURE, text);
}

void Refresh(HWND page)
{
    WeatherReportData report = GetWeatherReport();
    char name[32];
    bool showable = ReportShowable(report);
    if (!gFetched)
        StrCopy(name, "WETTER");
    else if (showable)
        StrPrintfN(name, sizeof(name), "WET_1_%02d_%02d", report.CloudCover, report.WeatherKind);
    else
        StrCopy(name, "WET_1_--_--");
    if (showable)
        ShowTemperature(page, report);
    ShowWindow(GetDlgItem(page, IDC_WETTER_TEMPERATURE), showable ? SW_SHOW : SW_HIDE);
    HDC dc = GetDC(page);
    DrawPagePicture(page, dc, IDC_WETTER_PICTURE, name);
    ReleaseDC(page, dc);
}

void ShowBox(HWND page, const char *key, const char *german)
{
    char text[kLabelLen], caption[kLabelLen];
    LngCopy(text, sizeof(text), "WETTER", key, german);
    LngCopy(caption, sizeof(caption), "ERR", "ERR", "FEHLER!");
    MessageBoxA(page, text, caption, kBoxStyle);
}

// The download runs on the page's thread: the page waits for the report.
void FetchNow(HWND page)
{
    if (WeatherDownloadBusy)
        return;
    HCURSOR arrow = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    gFetched = true;
    if (InternetAttemptConnect(0) != ERROR_SUCCESS) {
        ShowBox(page, "NOCONNECTION", "Keine Internetverbindung.");
        SetCursor(arrow);
        return;
    }
    ReadProxyEdits(page);
    GetMETAR(reinterpret_cast<LPVOID>(1));
    gFetchedValid = WeatherValid != 0;
    SendMessageA(page, WM_PAGEREFRESH_WEATHER, 0, 0);
    if (!WeatherValid)
        ShowBox(page, "NOWEATHER", "Keine Wetterdaten vorhanden.");
    SetCursor(arrow);
}

void OnCommand(HWND page, int id, int code)
{
    switch (id) {
    case IDC_WETTER_COUNTRY:
        if (code != CBN_SELCHANGE || SendDlgItemMessageA(page, IDC_WETTER_STATION, CB_GETDROPPEDSTATE, 0, 0))
            return;
        Weather[kCountry] = Selection(page, IDC_WETTER_COUNTRY);
        Weather[kCountryNumber] = CountryNumber(Weather[kCountry]);
        FillStations(page, 0);
        break;
    case IDC_WETTER_STATION:
        if (code != CBN_SELCHANGE)
            return;
        Weather[kStation] = Selection(page, IDC_WETTER_STATION);
        StrCopy(METAR, StationCode(Weather[kStation]));
        break;
    case IDC_WETTER_SHOW:
        if (code != BN_CLICKED)
            return;
        Weather[kShow] = Checked(page, IDC_WETTER_SHOW) ? 1 : 0;
        WeatherShow = Weather[kShow] != 0;
        UpdateEnabling(page);
        MarkChanged(page);
        return;
    case IDC_WETTER_CELSIUS:
    case IDC_WETTER_FAHRENHEIT:
        if (code != BN_CLICKED)
            return;
        Weather[kFahrenheit] = Checked(page, IDC_WETTER_CELSIUS) ? 0 : 1;
        WeatherFahrenheit = Weather[kFahrenheit] != 0;
        if (ReportShowable(GetWeatherReport()))
            ShowTemperature(page, GetWeatherReport());
        MarkChanged(page);
        return;
    case IDC_WETTER_PROXYON:
        if (code != BN_CLICKED)
            return;
        AccessType = Checked(page, IDC_WETTER_PROXYON) ? kProxyAccess : 0;
        UpdateEnabling(page);
        MarkChanged(page);
        return;
    case IDC_WETTER_ATSTART:
    case IDC_WETTER_EVERY30:
        if (code != BN_CLICKED)
            return;
        Weather[kInterval] = Checked(page, IDC_WETTER_ATSTART) ? kAtStartMinutes : kEvery30Minutes;
        MarkChanged(page);
        return;
    case IDC_WETTER_PROXY:
    case IDC_WETTER_PORT:
        if (code == EN_CHANGE && !gInitialising)
            MarkChanged(page);
        return;
    case IDC_WETTER_FETCH:
        if (code == BN_CLICKED)
            FetchNow(page);
        return;
    default:
        return;
    }
    // A new country or station: the report fetched before is not its own.
    gFetched = false;
    gFetchedValid = false;
    InvalidateRect(page, nullptr, TRUE);
    MarkChanged(page);
}

void Apply(HWND page)
{
    WeatherCountry[0] = '\0';
    WeatherStation[0] = '\0';
    Weather[kCountry] = Selection(page, IDC_WETTER_COUNTRY);
    Weather[kCountryNumber] = CountryNumber(Weather[kCountry]);
    SelectedText(page, IDC_WETTER_COUNTRY, WeatherCountry, sizeof(WeatherCountry));
    Weather[kStation] = Selection(page, IDC_WETTER_STATION);
    StrCopy(METAR, StationCode(Weather[kStation]));
    SelectedText(page, IDC_WETTER_STATION, WeatherStation, sizeof(WeatherStation));
    ReadProxyEdits(page);
    SaveSettings();
    // Unless a fetch here brought the chosen station's report, the stored one
    // belongs to the old station: the scene must not show it.
    if (!gFetchedValid && (Weather[kCountry] != gCountryAtStart || Weather[kStation] != gStationAtStart)) {
        char path[kPathLen];
        MetarFilePath(path, sizeof(path));
        DeleteFileA(path);
    }
}

}  // namespace

INT_PTR CALLBACK WetterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, WM_PAGEREFRESH_WEATHER, Refresh};
    return RunPage(page, message, wParam, lParam, kKind);
}
