// The weather download against a real FTP server on 127.0.0.1, and the
// parse of what it leaves in "metar.dat".
#include "ftpserver.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "services/weather.h"
#include "config/config.h"

#include <string>

namespace {

using servicetest::FtpServer;
using testutil::TempDir;

const char kReport[] = "2026/12/09 08:20\r\nEDDF 090820Z 25012KT 9999 FEW020 12/08 Q1013 NOSIG\r\n";
const char kOldReport[] = "2026/12/08 20:50\r\nEDDF 082050Z M05/M10 A2992 OVC008\r\n";
const char kProxyUser[] = "anonymous@tgftp.nws.noaa.gov";

TEST(FtpLoginChoice, SettingsGiveHostPortAndUser)
{
    struct {
        int accessType;
        const char *proxy;
        int proxyPort;
        DWORD openType;
        const char *host;
        int port;
        const char *user;
    } cases[] = {
        {0, "", 21, INTERNET_OPEN_TYPE_PRECONFIG, "tgftp.nws.noaa.gov", 21, "anonymous"},
        {1, "proxy.example", 2121, INTERNET_OPEN_TYPE_DIRECT, "tgftp.nws.noaa.gov", 21, "anonymous"},
        {3, "127.0.0.1", 2121, INTERNET_OPEN_TYPE_PROXY, "127.0.0.1", 2121, kProxyUser},
        {3, "127.0.0.1", 0, INTERNET_OPEN_TYPE_PROXY, "127.0.0.1", 21, kProxyUser},
        // A proxy type without a proxy goes direct; an unknown type is the preset one.
        {3, "", 2121, INTERNET_OPEN_TYPE_PRECONFIG, "tgftp.nws.noaa.gov", 21, "anonymous"},
        {7, "127.0.0.1", 2121, INTERNET_OPEN_TYPE_PRECONFIG, "tgftp.nws.noaa.gov", 21, "anonymous"},
        {-1, "127.0.0.1", 2121, INTERNET_OPEN_TYPE_PRECONFIG, "tgftp.nws.noaa.gov", 21, "anonymous"},
    };
    for (const auto &c : cases) {
        FtpLogin login = ChooseFtpLogin("tgftp.nws.noaa.gov", 21, c.accessType, c.proxy, c.proxyPort);
        SCOPED_TRACE(c.accessType);
        EXPECT_EQ(login.openType, c.openType);
        EXPECT_STREQ(login.host, c.host);
        EXPECT_EQ(login.port, c.port);
        EXPECT_STREQ(login.user, c.user);
    }
    EXPECT_EQ(strlen(kAnonymousPassword), 21u);
    EXPECT_NE(strchr(kAnonymousPassword, '@'), nullptr);
}

class WeatherDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("WYN_MAKER_DIR", dir_.Path().c_str());
        SetEnvironmentVariableA("WYN_NET_STATE", "2");  // INTERNET_CONNECTION_LAN
        SetEnvironmentVariableA("WYN_METAR_HOST", nullptr);
        SetEnvironmentVariableA("WYN_METAR_PORT", nullptr);
        WeatherShow = true;
        StrCopy(METAR, "EDDF");
        AccessType = 0;
        Proxy[0] = '\0';
        FTPPortNumber = 21;
        DebugOn = 1;
        OpenDebugLog(dir_.File("wyn.log").c_str());
        metar_ = dir_.File("metar.dat");
    }
    void TearDown() override
    {
        CloseDebugLog();
        DebugOn = 0;
        for (const char *name : {"WYN_MAKER_DIR", "WYN_NET_STATE", "WYN_METAR_HOST", "WYN_METAR_PORT"})
            SetEnvironmentVariableA(name, nullptr);
    }
    void Direct(const FtpServer &server)
    {
        SetEnvironmentVariableA("WYN_METAR_HOST", "127.0.0.1");
        SetEnvironmentVariableA("WYN_METAR_PORT", std::to_string(server.Port()).c_str());
    }
    // The server with the station's report, asked directly.
    bool ServeDirect(FtpServer *server, const std::string &options = "", bool cut = false)
    {
        server->Serve("EDDF", kReport);
        if (!server->Start(options, cut))
            return false;
        Direct(*server);
        return true;
    }
    // As the weather page runs it: the proxy settings are the ones set here.
    void Fetch()
    {
        GetMETAR(reinterpret_cast<LPVOID>(1));
        EXPECT_EQ(WeatherDownloadBusy.load(), 0);
    }
    std::string Log() const { return testutil::ReadFileBytes(dir_.File("wyn.log")); }
    bool LogHas(const std::string &text) const { return Log().find(text) != std::string::npos; }

    TempDir dir_;
    std::string metar_;
};

TEST_F(WeatherDownload, DirectFetchesTheStationsReportAsAnonymous)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server));
    Fetch();
    EXPECT_EQ(testutil::ReadFileBytes(metar_), kReport);
    EXPECT_FALSE(testutil::FileExists(dir_.File("metar.tmp")));
    WeatherReportData r = GetWeatherReport();
    EXPECT_EQ(r.WeatherValid, 1);
    EXPECT_EQ(r.TempC, 12);
    EXPECT_EQ(r.PressureHPa, 1013);
    EXPECT_EQ(WeatherValid.load(), 1);
    std::string log = server.Log();
    EXPECT_NE(log.find("<- USER anonymous\n"), std::string::npos) << log;
    EXPECT_NE(log.find("<- PASS ******"), std::string::npos);
    EXPECT_NE(log.find("<- TYPE A"), std::string::npos);
    EXPECT_NE(log.find("<- PASV"), std::string::npos);
    EXPECT_NE(log.find("<- RETR /data/observations/metar/stations/EDDF.TXT"), std::string::npos);
    EXPECT_TRUE(LogHas("InternetGetConnectedState() = 1\r\n"));
    EXPECT_TRUE(LogHas("INTERNET_CONNECTION_LAN\r\n"));
    EXPECT_TRUE(LogHas("InternetOpen() - AccessType=0\r\n"));
    EXPECT_TRUE(LogHas("TEMP = 12 Celsius"));
    EXPECT_TRUE(LogHas("GetMETAR() - beendet"));
}

TEST_F(WeatherDownload, ProxyLogsInAsAnonymousAtTheReportServer)
{
    FtpServer server;
    server.Serve("EDDF", kReport);
    // Only the proxy login with the 21-character password gets in.
    ASSERT_TRUE(server.Start(std::string("-u ") + kProxyUser + " -P " + kAnonymousPassword));
    AccessType = 3;
    StrCopy(Proxy, "127.0.0.1");
    FTPPortNumber = server.Port();
    Fetch();
    EXPECT_EQ(testutil::ReadFileBytes(metar_), kReport) << server.Log();
    EXPECT_TRUE(server.LogHas(std::string("<- USER ") + kProxyUser));
    EXPECT_TRUE(LogHas("InternetOpen() - AccessType=3, Proxy=127.0.0.1\r\n"));
}

// Every failure keeps the last good report byte for byte, and the scene
// shows it again.
class WeatherFailure : public WeatherDownload {
protected:
    void SetUp() override
    {
        WeatherDownload::SetUp();
        testutil::WriteFileBytes(metar_, kOldReport);
    }
    // As the scene runs it: the proxy settings from the registry (none there).
    void FetchForTheScene()
    {
        GetMETAR(nullptr);
        EXPECT_EQ(WeatherDownloadBusy.load(), 0);
    }
    void ExpectOldReportKept()
    {
        EXPECT_EQ(testutil::ReadFileBytes(metar_), kOldReport);
        EXPECT_FALSE(testutil::FileExists(dir_.File("metar.tmp")));
        WeatherReportData r = GetWeatherReport();
        EXPECT_EQ(r.WeatherValid, 1);
        EXPECT_EQ(r.TempC, -5);
        EXPECT_EQ(r.CloudCover, 4);
        EXPECT_TRUE(LogHas("GetMETAR() - beendet"));
    }
};

TEST_F(WeatherFailure, UnknownStation)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server));
    StrCopy(METAR, "EDDX");
    FetchForTheScene();
    ExpectOldReportKept();
    EXPECT_TRUE(server.LogHas("-> 550 "));
    EXPECT_TRUE(LogHas("FtpGetFile() error code: 12003 -- Message: "));
    EXPECT_TRUE(LogHas("550 No such file or directory.")) << Log();
}

TEST_F(WeatherFailure, LoginRefused)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server, "-u someone -P secret"));
    FetchForTheScene();
    ExpectOldReportKept();
    EXPECT_TRUE(server.LogHas("-> 530 "));
    EXPECT_TRUE(LogHas("InternetConnect() error code: "));
}

TEST_F(WeatherFailure, ServerDown)
{
    int port = 0;
    {
        FtpServer server;
        ASSERT_TRUE(server.Start());
        port = server.Port();
        server.Stop();
    }
    SetEnvironmentVariableA("WYN_METAR_HOST", "127.0.0.1");
    SetEnvironmentVariableA("WYN_METAR_PORT", std::to_string(port).c_str());
    FetchForTheScene();
    ExpectOldReportKept();
    EXPECT_TRUE(LogHas("InternetConnect() error code: "));
}

TEST_F(WeatherFailure, TransferCutHalfway)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server, "", true));
    FetchForTheScene();
    ExpectOldReportKept();
    EXPECT_TRUE(server.LogHas("transfer aborted")) << server.Log();
}

TEST_F(WeatherFailure, NoConnection)
{
    for (const char *state : {"0", "32" /* INTERNET_CONNECTION_OFFLINE */}) {
        SetEnvironmentVariableA("WYN_NET_STATE", state);
        FetchForTheScene();
        ExpectOldReportKept();
    }
    EXPECT_TRUE(LogHas("InternetGetConnectedState() = 0\r\n"));
    EXPECT_TRUE(LogHas("INTERNET_CONNECTION_OFFLINE\r\n"));
    EXPECT_FALSE(LogHas("InternetOpen()"));
}

// The settings fetch for the station chosen on the page, which the stored
// report need not be of: a failure there brings no report, and the file stays.
TEST_F(WeatherFailure, InTheSettingsAFailureBringsNoReport)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server));
    FetchForTheScene();
    ASSERT_EQ(WeatherValid.load(), 1);
    StrCopy(METAR, "EDDX");
    Fetch();
    EXPECT_EQ(WeatherValid.load(), 0);
    EXPECT_EQ(GetWeatherReport().WeatherValid, 0);
    EXPECT_EQ(testutil::ReadFileBytes(metar_), kReport);
}

TEST_F(WeatherDownload, SecondStartWhileOneRunsIsRefused)
{
    FtpServer server;
    ASSERT_TRUE(ServeDirect(&server));
    WeatherShow = true;
    // The thread reads the proxy settings from the registry: none there.
    ASSERT_EQ(StartGetMETAR(), 1);
    EXPECT_EQ(StartGetMETAR(), 0);
    ASSERT_TRUE(testutil::WaitFor([] { return WeatherDownloadBusy.load() == 0; }, 60000));
    EXPECT_EQ(testutil::ReadFileBytes(metar_), kReport);
    EXPECT_TRUE(LogHas("GetWeather-Thread gestartet"));
    EXPECT_TRUE(LogHas("GetWeather-Thread NICHT gestartet"));
}

TEST_F(WeatherDownload, NothingIsFetchedWithoutAFourLetterStation)
{
    testutil::WriteFileBytes(metar_, kOldReport);
    for (const char *station : {"", "EDD", "EDDFX"}) {
        StrCopy(METAR, station);
        Fetch();
        EXPECT_EQ(WeatherValid.load(), 0);
    }
    EXPECT_FALSE(LogHas("InternetGetConnectedState"));
    EXPECT_FALSE(LogHas("GetMETAR() - beendet"));
}

}  // namespace
