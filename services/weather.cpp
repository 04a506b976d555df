#include "services/weather.h"

#include "base/debuglog.h"
#include "base/winutil.h"
#include "core/notenames.h"
#include "config/config.h"

const char kMetarServerHost[] = "tgftp.nws.noaa.gov";
// Anonymous FTP asks for an e-mail address as the password.
const char kAnonymousPassword[] = "wendelby3@example.org";

std::atomic<int> WeatherDownloadBusy{0};
std::atomic<int> WeatherValid{0};

namespace {

const char kMetarPath[] = "/data/observations/metar/stations/";
const char kMetarFileName[] = "metar.dat";
const char kMetarTempName[] = "metar.tmp";
constexpr size_t kUrlMax = 255;
constexpr INTERNET_PORT kFtpPort = 21;
constexpr int kStationCodeLength = 4;
constexpr DWORD kComctlNeeded = (4 << 16) | 71;
constexpr int kAccessTypeProxy = 3;        // INTERNET_OPEN_TYPE_PROXY
constexpr int kHighestAccessType = 4;
// Wine ignores these for FTP, Windows honours them: a silent server must not
// hold the download for ever.
constexpr DWORD kNetTimeoutMs = 30000;

// The report as published; the animation thread copies it under the lock.
CRITICAL_SECTION gReportLock;
WeatherReportData gReport = {0, kWeatherUnknown, kWeatherUnknown, 0, 0, kWeatherUnknown, kWeatherNone};

struct ReportLockInit {
    ReportLockInit() { InitializeCriticalSection(&gReportLock); }
} gReportLockInit;

void LogMetarLine(const char *line) { WriteLog("%s", line); }


bool ReadEnvironment(const char *name, char *out, DWORD outSize)
{
    DWORD len = GetEnvironmentVariableA(name, out, outSize);
    return len > 0 && len < outSize;
}

// The connection state, or the one a test gives.
BOOL ConnectedState(DWORD *flags)
{
    char text[32];
    if (ReadEnvironment("WYN_NET_STATE", text, sizeof(text))) {
        *flags = strtoul(text, nullptr, 0);
        return *flags != 0;
    }
    return InternetGetConnectedState(flags, 0);
}

bool ConnectionUsable()
{
    static const struct {
        DWORD flag;
        const char *name;
    } kFlags[] = {
        {INTERNET_CONNECTION_OFFLINE, "INTERNET_CONNECTION_OFFLINE"},
        {INTERNET_CONNECTION_CONFIGURED, "INTERNET_CONNECTION_CONFIGURED"},
        {INTERNET_CONNECTION_LAN, "INTERNET_CONNECTION_LAN"},
        {INTERNET_CONNECTION_MODEM, "INTERNET_CONNECTION_MODEM"},
        {INTERNET_CONNECTION_PROXY, "INTERNET_CONNECTION_PROXY"},
    };
    DWORD flags = 0;
    BOOL connected = ConnectedState(&flags);
    WriteLog("InternetGetConnectedState() = %d", connected ? 1 : 0);
    for (const auto &f : kFlags)
        if (flags & f.flag)
            WriteLog("%s", f.name);
    return connected && !(flags & INTERNET_CONNECTION_OFFLINE);
}

bool SplitUrl(const char *url, char *host, DWORD hostSize, char *path, DWORD pathSize)
{
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = hostSize;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = pathSize;
    return InternetCrackUrlA(url, 0, 0, &parts) && host[0] != '\0' && path[0] != '\0';
}

void SetTimeouts(HINTERNET session)
{
    DWORD ms = kNetTimeoutMs;
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof(ms));
}

// The download lands beside the file and replaces it only when complete:
// a refused or broken transfer keeps the last good report.
bool FetchInto(HINTERNET connection, const char *remote, const char *file)
{
    char temp[kPathLen];
    StrCopy(temp, file);
    char *slash = strrchr(temp, '\\');
    StrCopyN(slash ? slash + 1 : temp, sizeof(temp) - static_cast<size_t>(slash ? slash + 1 - temp : 0),
             kMetarTempName);
    WriteLog("FtpGetFile()");
    BOOL ok = FtpGetFileA(connection, remote, temp, FALSE, FILE_ATTRIBUTE_NORMAL,
                          FTP_TRANSFER_TYPE_ASCII | INTERNET_FLAG_RELOAD, 0);
    if (!ok) {
        LogInternetError(GetLastError(), "FtpGetFile()");
        DeleteFileA(temp);
        return false;
    }
    if (!MoveFileExA(temp, file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        WriteLog("+++ %s nicht ersetzt: %lu", file, GetLastError());
        DeleteFileA(temp);
        return false;
    }
    return true;
}

bool StationCodeUsable() { return strlen(METAR) == kStationCodeLength; }

void BuildMetarUrl(char *out, size_t outSize)
{
    char host[256];
    INTERNET_PORT port = 0;
    MetarServer(host, sizeof(host), &port);
    StrPrintfN(out, outSize, "ftp://%s%s%s.TXT", host, kMetarPath, METAR);
}

}  // namespace

// ---------------------------------------------------------------- seams

void MetarServer(char *host, size_t hostSize, INTERNET_PORT *port)
{
    char text[16];
    if (!ReadEnvironment("WYN_METAR_HOST", host, static_cast<DWORD>(hostSize)))
        StrCopyN(host, hostSize, kMetarServerHost);
    *port = kFtpPort;
    if (ReadEnvironment("WYN_METAR_PORT", text, sizeof(text)))
        *port = static_cast<INTERNET_PORT>(atoi(text));
}

void MetarFilePath(char *out, size_t outSize)
{
    char folder[kPathLen];
    if (!ReadEnvironment("WYN_MAKER_DIR", folder, sizeof(folder)))
        GetMakerFolder(folder, sizeof(folder));
    JoinFolderPath(folder, kMetarFileName, out, outSize);
}

// ---------------------------------------------------------------- report

WeatherReportData GetWeatherReport()
{
    EnterCriticalSection(&gReportLock);
    WeatherReportData copy = gReport;
    LeaveCriticalSection(&gReportLock);
    return copy;
}

void ParseMETAR(const char *path)
{
    // Parsed aside and published whole, so the sign never sees half a report.
    WeatherReportData report = GetWeatherReport();
    ParseMetarFile(path, &report, DebugLogIsOpen() ? LogMetarLine : nullptr);
    PublishWeatherReport(report);
}

void ParseStoredMETAR()
{
    if (!WeatherShow)
        return;
    char path[kPathLen];
    MetarFilePath(path, sizeof(path));
    ParseMETAR(path);
}

// ---------------------------------------------------------------- download

FtpLogin ChooseFtpLogin(const char *serverHost, INTERNET_PORT serverPort, int accessType, const char *proxy,
                        int proxyPort)
{
    FtpLogin login = {};
    if (accessType < 0 || accessType > kHighestAccessType)
        accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    login.viaProxy = accessType == kAccessTypeProxy && proxy[0] != '\0';
    // A proxy type without a proxy name would make InternetOpen fail.
    login.openType = (accessType == kAccessTypeProxy && !login.viaProxy) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                                          : static_cast<DWORD>(accessType);
    if (login.viaProxy) {
        StrCopy(login.host, proxy);
        login.port = static_cast<INTERNET_PORT>(proxyPort == 0 ? kFtpPort : proxyPort);
        StrPrintfN(login.user, sizeof(login.user), "anonymous@%s", serverHost);
    } else {
        StrCopy(login.host, serverHost);
        login.port = serverPort;
        StrCopy(login.user, "anonymous");
    }
    return login;
}

void LogInternetError(DWORD code, const char *name)
{
    if (!DebugLogIsOpen())
        return;
    char message[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, GetModuleHandleA("wininet.dll"),
                   code, 0, message, sizeof(message), nullptr);
    char line[kLogTextMax];
    StrPrintfN(line, sizeof(line), "%s error code: %lu -- Message: %s ", name, code, message);
    if (code == ERROR_INTERNET_EXTENDED_ERROR) {
        char response[512] = "";
        DWORD error = 0;
        DWORD size = sizeof(response);
        if (InternetGetLastResponseInfoA(&error, response, &size))
            StrAppend(line, response);
    }
    WriteLog("%s", line);
}

int FtpDownload(const char *url, const char *file)
{
    char host[256] = "", path[256] = "";
    if (!SplitUrl(url, host, sizeof(host), path, sizeof(path))) {
        WriteLog("URL ungültig !");
        return 0;
    }
    char server[256];
    INTERNET_PORT serverPort = kFtpPort;
    MetarServer(server, sizeof(server), &serverPort);
    FtpLogin login = ChooseFtpLogin(host, serverPort, AccessType, Proxy, FTPPortNumber);
    if (!ConnectionUsable())
        return 0;
    if (login.viaProxy)
        WriteLog("InternetOpen() - AccessType=%lu, Proxy=%s", login.openType, Proxy);
    else
        WriteLog("InternetOpen() - AccessType=%lu", login.openType);
    HINTERNET session = InternetOpenA(".", login.openType, login.viaProxy ? Proxy : nullptr, nullptr, 0);
    if (!session) {
        LogInternetError(GetLastError(), "InternetOpen()");
        return 0;
    }
    SetTimeouts(session);
    WriteLog("InternetConnect()");
    // Passive mode: an active transfer fails behind most routers.
    HINTERNET connection = InternetConnectA(session, login.host, login.port, login.user, kAnonymousPassword,
                                            INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
    bool ok = false;
    if (!connection) {
        LogInternetError(GetLastError(), "InternetConnect()");
    } else {
        ok = FetchInto(connection, path, file);
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return ok ? 1 : 0;
}

DWORD WINAPI GetMETAR(LPVOID insideSettings)
{
    WeatherDownloadBusy = 1;
    WeatherValid = 0;
    if (WeatherShow && StationCodeUsable() && GetDllVersion("comctl32.dll") >= kComctlNeeded) {
        if (!insideSettings)
            ReadProxySettings();
        char path[kPathLen], url[kUrlMax + 1];
        MetarFilePath(path, sizeof(path));
        BuildMetarUrl(url, sizeof(url));
        if (FtpDownload(url, path) || !insideSettings) {
            // Also after a failed download the scene shows its station's last
            // good report again.
            ParseMETAR(path);
        } else {
            // The settings fetch for the station chosen on the page, which the
            // stored report need not be of: a failed fetch has no report.
            WeatherReportData none = GetWeatherReport();
            none.WeatherValid = 0;
            PublishWeatherReport(none);
        }
        WriteLog("GetMETAR() - beendet");
    }
    WeatherDownloadBusy = 0;
    return 0;
}

int StartGetMETAR()
{
    if (WeatherDownloadBusy.exchange(1) != 0) {
        WriteLog("GetWeather-Thread NICHT gestartet");
        return 0;
    }
    HANDLE thread = CreateThread(nullptr, 0, GetMETAR, nullptr, 0, nullptr);
    if (!thread) {
        WeatherDownloadBusy = 0;
        WriteLog("GetWeather-Thread NICHT gestartet");
        return 0;
    }
    // Nobody waits for it: shutdown does not hold the screen for a slow server.
    CloseHandle(thread);
    WriteLog("GetWeather-Thread gestartet");
    return 1;
}

void PublishWeatherReport(const WeatherReportData &report)
{
    EnterCriticalSection(&gReportLock);
    gReport = report;
    LeaveCriticalSection(&gReportLock);
    WeatherValid = report.WeatherValid;
}
