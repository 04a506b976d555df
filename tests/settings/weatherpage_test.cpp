// The station list readers and the weather page, with a real FTP server on
// 127.0.0.1 for the fetch.
#include "sheet_fixture.h"

#include "../services/ftpserver.h"
#include "services/weather.h"
#include "settings/stationlist.h"
#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kWeatherRow = 15;
const char kProxyUser[] = "anonymous@tgftp.nws.noaa.gov";
const char kReport[] = "2026/12/10 16:50\nEDDF 101650Z 24008KT 9999 FEW030 12/05 Q1013\n";

const char kTwoCountries[] =
    "~~Deutschland|10\r\nEDDF Frankfurt/Main\r\nEDDM Muenchen\r\n~~Oesterreich|11\r\nLOWW Wien\r\n";

class WeatherPageTest : public SheetTest {
protected:
    void Stations(const std::string &text) { testutil::WriteFileBytes(dir_->File("STATIONS.DAT"), text); }
    std::string MetarFile()
    {
        char path[MAX_PATH];
        MetarFilePath(path, sizeof(path));
        return path;
    }
    // Two countries' stations with the weather shown and EDDF stored; the
    // stored report holds report, or is gone when there is none. Its path.
    std::string EddfStored(const char *report)
    {
        Stations(kTwoCountries);
        PutString("Weather", "1,60,0,0,0,10");
        PutString("METAR", "EDDF");
        std::string metar = MetarFile();
        if (report)
            testutil::WriteFileBytes(metar, report);
        else
            DeleteFileA(metar.c_str());
        return metar;
    }
};

std::vector<std::string> ComboLines(HWND combo)
{
    std::vector<std::string> lines;
    int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        lines.push_back(text);
    }
    return lines;
}

std::string Repeat(int n, const std::function<std::string(int)> &line)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += line(i) + "\r\n";
    return text;
}

TEST_F(WeatherPageTest, StationListReaders)
{
    struct Case {
        const char *what;
        std::string file;     // "" for no file
        const char *country;  // null: the countries are read
        size_t count;
        std::vector<std::string> first;  // the first lines listed
        std::vector<std::string> values; // numbers of the countries or codes of the stations
    } cases[] = {
        {"heads with and without numbers", "~~Alpha\r\nAAAA One\r\n~~Beta|\r\n~~Gamma|  -42\r\nx~~Delta|7\r\n",
         nullptr, 4, {"Alpha", "Beta", "Gamma", "~Delta"}, {"0", "0", "-42", "7"}},
        {"name without regard to case", "~~Alpha|1\r\nAAAA One\r\nAAAB Two\r\n~~Beta|2\r\nBBBB Three\r\n",
         "aLPHA", 2, {"One", "Two"}, {"AAAA", "AAAB"}},
        {"unknown country", "~~Alpha|1\r\nAAAA One\r\n", "Omega", 0, {}, {}},
        {"400 heads", Repeat(400, [](int i) { return "~~C" + std::to_string(i) + "|" + std::to_string(i); }),
         nullptr, 399, {"C0", "C1"}, {"0", "1"}},
        {"2000 stations", "~~Big|1\r\n" + Repeat(2000, [](int) { return std::string("SXXX N"); }), "Big", 1999,
         {"N", "N"}, {"SXXX", "SXXX"}},
        {"short lines", "~~Few|3\r\nCCCC\r\nDDDDE\r\nEE\r\n", "Few", 3, {"", "", ""}, {"CCCC", "DDDD", "EE"}},
        {"a long line splits", "~~Long|4\r\nFFFF " + std::string(295, 'x') + "\r\n", "Long", 2,
         {std::string(250, 'x'), std::string(40, 'x')}, {"FFFF", "xxxx"}},
        {"CR line ends", "~~Mac|5\rGGGG Five\rHHHH Six\r", "Mac", 2, {"Five", "Six"}, {"GGGG", "HHHH"}},
        {"no heads", "IIII Seven\r\nJJJJ Eight\r\n", nullptr, 0, {}, {}},
        {"binary", std::string("\0\x01~~\xff\0\r\n\x80\x81~", 12) + std::string(600, '\xfe'), nullptr, 0, {}, {}},
        {"no file", "", nullptr, 0, {}, {}},
    };
    for (const Case &c : cases) {
        DeleteFileA(dir_->File("STATIONS.DAT").c_str());
        if (!c.file.empty())
            Stations(c.file);
        StrCopy(HLPpath, dir_->Path().c_str());
        HWND combo = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        int n = c.country ? ReadStations(combo, c.country) : ReadStationCountries(combo);
        std::vector<std::string> lines = ComboLines(combo);
        DestroyWindow(combo);
        EXPECT_EQ(static_cast<size_t>(n), c.count) << c.what;
        EXPECT_EQ(lines.size(), c.count) << c.what;
        for (size_t i = 0; i < c.first.size() && i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], c.first[i]) << c.what << " line " << i;
            std::string value = c.country ? std::string(StationCodes[i]) : std::to_string(CountryNumbers[i]);
            EXPECT_EQ(value, c.values[i]) << c.what << " line " << i;
        }
    }
}

TEST_F(WeatherPageTest, StoredIndicesOutsideTheListsTakeTheFirst)
{
    Stations(kTwoCountries);
    for (const char *stored : {"1,60,0,2,0,0", "1,60,0,-1,-1,0", "1,60,0,5000,5000,77"}) {
        PutString("Weather", stored);
        PutString("METAR", "XXXX");
        int country = -2, station = -2;
        bool changed = true;
        RunSheet([&](HWND sheet) {
            HWND page = PageOfRow(sheet, kWeatherRow);
            country = static_cast<int>(SendDlgItemMessageA(page, 2276, CB_GETCURSEL, 0, 0));
            station = static_cast<int>(SendDlgItemMessageA(page, 2277, CB_GETCURSEL, 0, 0));
            changed = ApplyEnabled(sheet);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(country, 0) << stored;
        EXPECT_EQ(station, 0) << stored;
        EXPECT_FALSE(changed) << stored << ": setting the proxy edits marked the sheet changed";
        EXPECT_EQ(GetString("Weather"), "1,60,0,0,0,10") << stored;
        EXPECT_EQ(GetString("METAR"), "EDDF") << stored;
        EXPECT_EQ(GetString("WeatherCountry"), "Deutschland") << stored;
        EXPECT_EQ(GetString("WeatherStation"), "Frankfurt/Main") << stored;
    }
}

TEST_F(WeatherPageTest, WeatherOffLeavesOnlyItsSwitch)
{
    Stations(kTwoCountries);
    PutString("Weather", "0,60,0,0,0,10");
    PutString("METAR", "EDDF");
    std::string enabled;
    bool every30 = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kWeatherRow);
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(c, cls, sizeof(cls));
            if (IsWindowEnabled(c) && strcmp(cls, "Static") != 0)
                enabled += std::to_string(GetDlgCtrlID(c)) + " ";
        }
        every30 = IsDlgButtonChecked(page, 2292) == BST_CHECKED;
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(enabled, "2273 ");
    EXPECT_TRUE(every30);
    EXPECT_EQ(GetString("Weather"), "0,60,0,0,0,10");
}

TEST_F(WeatherPageTest, NoStationListStoresNoChoice)
{
    PutString("Weather", "1,1440,1,3,4,5");
    PutString("METAR", "EDDF");
    int countries = -1;
    RunSheet([&](HWND sheet) {
        countries = static_cast<int>(SendDlgItemMessageA(PageOfRow(sheet, kWeatherRow), 2276, CB_GETCOUNT, 0, 0));
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(countries, 0);
    EXPECT_EQ(GetString("Weather"), "1,1440,1,-1,-1,0");
    EXPECT_EQ(GetString("METAR"), "");
    EXPECT_EQ(GetString("WeatherStation"), "");
}

TEST_F(WeatherPageTest, LongNamesAreCutToTheirSettings)
{
    Stations("~~" + std::string(200, 'C') + "|9\r\nKKKK " + std::string(200, 'S') + "\r\n");
    PutString("Weather", "1,60,0,0,0,0");
    RunSheet([&](HWND sheet) {
        PageOfRow(sheet, kWeatherRow);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(GetString("WeatherCountry"), std::string(79, 'C'));
    EXPECT_EQ(GetString("WeatherStation"), std::string(127, 'S'));
    EXPECT_EQ(GetString("METAR"), "KKKK");
}

TEST_F(WeatherPageTest, ANewStationDropsTheOldReportUnlessFetched)
{
    std::string metar = EddfStored(kReport);
    RunSheet([&](HWND sheet) {
        SelectCombo(PageOfRow(sheet, kWeatherRow), 2277, 1);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_FALSE(testutil::FileExists(metar));
    EXPECT_EQ(GetString("METAR"), "EDDM");

    // Applying the same choice keeps the report.
    testutil::WriteFileBytes(metar, kReport);
    RunSheet([&](HWND sheet) {
        PageOfRow(sheet, kWeatherRow);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(testutil::FileExists(metar));
    DeleteFileA(metar.c_str());
}

// The test's server, which lets in only the login through a proxy.
bool StartForProxy(servicetest::FtpServer *server)
{
    return server->Start(std::string("-u ") + kProxyUser + " -P " + kAnonymousPassword);
}

// Points the page's download at the test's server, through its proxy settings.
void UseServer(HWND page, const servicetest::FtpServer &server)
{
    Click(page, 2281);
    SetDlgItemTextA(page, 2282, "127.0.0.1");
    SetDlgItemTextA(page, 2283, std::to_string(server.Port()).c_str());
}

bool TemperatureShown(HWND page) { return IsWindowVisible(GetDlgItem(page, 2297)) && !ControlText(page, 2297).empty(); }

// Posted: the fetch and its message box run on the sheet's thread.
void FetchNow(HWND page) { PostMessageA(page, WM_COMMAND, MAKEWPARAM(2296, BN_CLICKED), 0); }

// Fetch now for a station the server has no report for: true when its box
// came (its text in *box); *temperatureHidden then tells the preview's state.
bool FetchFails(HWND page, DWORD sheetThread, SeenBox *box, bool *temperatureHidden)
{
    FetchNow(page);
    const bool seen = DismissBox(sheetThread, box, 30000);
    *temperatureHidden = !IsWindowVisible(GetDlgItem(page, 2297));
    return seen;
}

// A fresh install has no station stored; the page chooses the first one, and
// with its show box on, Fetch now fetches that station's report.
TEST_F(WeatherPageTest, FetchNowFetchesOnAFreshInstall)
{
    Stations(kTwoCountries);
    testutil::DeleteUserKey("Software\\Tandrovi");
    std::string metar = MetarFile();
    DeleteFileA(metar.c_str());
    servicetest::FtpServer server;
    server.Serve("EDDF", kReport);
    ASSERT_TRUE(StartForProxy(&server));
    bool showChecked = false, fetchEnabled = false, boxSeen = false;
    std::string temperature;
    SeenBox box;
    DWORD sheetThread = GetCurrentThreadId();
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kWeatherRow);
        showChecked = IsDlgButtonChecked(page, 2273) == BST_CHECKED;
        fetchEnabled = IsWindowEnabled(GetDlgItem(page, 2296)) != FALSE;
        UseServer(page, server);
        FetchNow(page);
        Poll([&] { return TemperatureShown(page) || FindWindowA("#32770", "FEHLER!") != nullptr; }, 30000);
        if (FindWindowA("#32770", "FEHLER!"))
            boxSeen = DismissBox(sheetThread, &box, 1000);
        temperature = ControlText(page, 2297);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(showChecked);
    EXPECT_TRUE(fetchEnabled);
    EXPECT_FALSE(boxSeen) << box.text;
    EXPECT_EQ(temperature, "12 °C");
    EXPECT_TRUE(server.LogHas("RETR /data/observations/metar/stations/EDDF.TXT"));
    EXPECT_EQ(GetString("METAR"), "EDDF");
    EXPECT_TRUE(testutil::FileExists(metar)) << "the fetched report of the stored station is kept";
    DeleteFileA(metar.c_str());
}

// The stored report is the old station's: after a failed fetch for a new
// station neither the preview nor, after Apply, the scene may show it.
TEST_F(WeatherPageTest, AFailedFetchForANewStationShowsNoWeatherAndKeepsNoOldReport)
{
    std::string metar = EddfStored(kReport);
    servicetest::FtpServer server;  // without a report for EDDM
    ASSERT_TRUE(StartForProxy(&server));
    SeenBox box;
    bool boxSeen = false, temperatureHidden = false;
    DWORD sheetThread = GetCurrentThreadId();
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kWeatherRow);
        UseServer(page, server);
        SelectCombo(page, 2277, 1);
        boxSeen = FetchFails(page, sheetThread, &box, &temperatureHidden);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(server.LogHas("RETR /data/observations/metar/stations/EDDM.TXT"));
    ASSERT_TRUE(boxSeen);
    EXPECT_EQ(box.text, "Keine Wetterdaten vorhanden.");
    EXPECT_TRUE(temperatureHidden);
    EXPECT_EQ(GetString("METAR"), "EDDM");
    EXPECT_FALSE(testutil::FileExists(metar)) << "Apply kept the old station's report";
    DeleteFileA(metar.c_str());
}

// Fetch now, through the page's proxy settings, against the test's server.
TEST_F(WeatherPageTest, FetchNowThroughTheProxyPreviewsTheReport)
{
    std::string metar = EddfStored(nullptr);
    servicetest::FtpServer server;
    server.Serve("EDDM", kReport);
    ASSERT_TRUE(StartForProxy(&server));
    std::string celsius, fahrenheit;
    bool tempShown = false;
    SeenBox box;
    bool boxSeen = false, tempHiddenAfterFail = false;
    DWORD sheetThread = GetCurrentThreadId();
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kWeatherRow);
        UseServer(page, server);
        SelectCombo(page, 2277, 1);
        FetchNow(page);
        Poll([&] { return TemperatureShown(page); }, 30000);
        tempShown = IsWindowVisible(GetDlgItem(page, 2297)) != FALSE;
        celsius = ControlText(page, 2297);
        Click(page, 2279);
        fahrenheit = ControlText(page, 2297);

        // A station the server has no report for, with no stored report.
        DeleteFileA(metar.c_str());
        SelectCombo(page, 2276, 1);
        boxSeen = FetchFails(page, sheetThread, &box, &tempHiddenAfterFail);
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(tempShown);
    EXPECT_EQ(celsius, "12 °C");
    EXPECT_EQ(fahrenheit, "53 °F");
    EXPECT_TRUE(server.LogHas(std::string("<- USER ") + kProxyUser));
    EXPECT_TRUE(server.LogHas("RETR /data/observations/metar/stations/EDDM.TXT"));
    ASSERT_TRUE(boxSeen);
    EXPECT_EQ(box.text, "Keine Wetterdaten vorhanden.");
    EXPECT_TRUE(tempHiddenAfterFail);
    DeleteFileA(metar.c_str());
}

}  // namespace
}  // namespace sheettest
