// The weather of the chosen airport: its METAR report fetched by anonymous FTP
// into "metar.dat" of the maker folder on a thread of its own, and the parsed
// report the weather sign reads.
#pragma once

#include "base/common.h"
#include "core/metar.h"

#include <atomic>

// 1 while GetMETAR runs; a second download is refused meanwhile.
extern std::atomic<int> WeatherDownloadBusy;
// The published report's WeatherValid, readable without the lock.
extern std::atomic<int> WeatherValid;

// Publishes a report in one step (the parser; tests set one directly).
void PublishWeatherReport(const WeatherReportData &report);
// A consistent copy of the last published report.
WeatherReportData GetWeatherReport();

// Starts GetMETAR on a new thread; 1 when started.
int StartGetMETAR();
// The download and parse; a non-null parameter means the settings dialog
// calls it directly, having read the proxy settings itself.
DWORD WINAPI GetMETAR(LPVOID insideSettings);
// One FTP download of url into file; 1 on success. file is replaced only
// when the whole report arrived.
int FtpDownload(const char *url, const char *file);
// Parses the stored "metar.dat" when the weather is shown (start-up).
void ParseStoredMETAR();
// Parses the file and publishes the report in one step.
void ParseMETAR(const char *path);
void LogInternetError(DWORD code, const char *name);

// Where a download goes: the server, port and login FtpDownload uses for the
// report server's host and the proxy settings.
struct FtpLogin {
    DWORD openType;   // InternetOpen access type
    bool viaProxy;
    char host[256];
    INTERNET_PORT port;
    char user[300];
};
FtpLogin ChooseFtpLogin(const char *serverHost, INTERNET_PORT serverPort, int accessType, const char *proxy,
                        int proxyPort);

// The report server; tests point it at their own through WYN_METAR_HOST and
// WYN_METAR_PORT. The connection state can be given as WYN_NET_STATE (the
// flags; 0 for none) and "metar.dat"'s folder as WYN_MAKER_DIR.
extern const char kMetarServerHost[];
extern const char kAnonymousPassword[];
void MetarServer(char *host, size_t hostSize, INTERNET_PORT *port);
void MetarFilePath(char *out, size_t outSize);
