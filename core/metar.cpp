#include "core/metar.h"

#include <cctype>
#include <cstdarg>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Everything after the first of these (searched without case) is remark or
// forecast, not the weather of now.
const char *const kReportEnds[] = {" RMK", " TEMPO", " BECMG", " NOSIG"};
// Tokens naming the sky; a token without any of them is a weather group.
const char *const kSkyWords[] = {"CAVOK", "SKC", "NSC", "CLR", "FEW", "SCT", "BKN", "OVC"};
const char *const kClearWords[] = {"CAVOK", "NSC", "SKC", "CLR"};
const char *const kCoverWords[] = {"FEW", "SCT", "BKN", "OVC"};  // cover 1..4

struct WeatherCode {
    const char *codes[3];
    int kind;
    const char *logText;
};
// The first row that matches decides.
const WeatherCode kWeatherCodes[] = {
    {{"TS"}, kWeatherThunder, "Gewitter"},
    {{"RA", "DZ"}, kWeatherRain, "Regen"},
    {{"SN", "SG"}, kWeatherSnow, "Schnee"},
    {{"GR", "GS", "IC"}, kWeatherHail, "Hagel"},
    {{"BR", "FG"}, kWeatherFog, "Nebel"},
};

constexpr double kInchHgToHPa = 0.33864;  // per hundredth of an inch of mercury

void Log(MetarLogFn log, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

void Log(MetarLogFn log, const char *fmt, ...)
{
    if (!log)
        return;
    char line[kMetarTextSize + 64];
    va_list args;
    va_start(args, fmt);
    vsnprintf(line, sizeof(line), fmt, args);
    va_end(args);
    log(line);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Position of needle in the first len bytes of text, ignoring case; -1 when absent.
long FindNoCase(const char *text, size_t len, const char *needle)
{
    size_t n = strlen(needle);
    for (size_t i = 0; n <= len && i <= len - n; ++i) {
        size_t k = 0;
        while (k < n && toupper(static_cast<unsigned char>(text[i + k])) == needle[k])
            ++k;
        if (k == n)
            return static_cast<long>(i);
    }
    return -1;
}

template <size_t N>
bool ContainsAny(const char *token, const char *const (&words)[N])
{
    for (const char *word : words)
        if (FindNoCase(token, strlen(token), word) >= 0)
            return true;
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Two digits after an optional "M" (minus) at text; the value through *out
// and the characters used as the result, 0 when the form is not there.
int ReadSignedTwoDigits(const char *text, int *out)
{
    int sign = 1, used = 0;
    if (text[0] == 'M') {
        sign = -1;
        used = 1;
    }
    if (!IsDigit(text[used]) || !IsDigit(text[used + 1]))
        return 0;
    *out = sign * ((text[used] - '0') * 10 + (text[used + 1] - '0'));
    return used + 2;
}

// "12/08", "M05/M10", "12/": the temperature needs its digits, a dew point
// that is not given reads as 0.
bool ReadTemperatureGroup(const char *token, int *temp, int *dew)
{
    size_t len = strlen(token);
    size_t slash = token[0] == 'M' ? 3 : 2;
    if (len < 4 || len > 7 || token[slash] != '/')
        return false;
    if (ReadSignedTwoDigits(token, temp) != static_cast<int>(slash))
        return false;
    if (!ReadSignedTwoDigits(token + slash + 1, dew))
        *dew = 0;
    return true;
}

bool ReadFourDigits(const char *text, int *out)
{
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        if (!IsDigit(text[i]))
            return false;
        value = value * 10 + (text[i] - '0');
    }
    *out = value;
    return true;
}

bool ReadPressureGroup(const char *token, int *hPa)
{
    int value = 0;
    if (strlen(token) != 5 || !ReadFourDigits(token + 1, &value))
        return false;
    if (token[0] == 'Q') {
        *hPa = value;
        return true;
    }
    if (token[0] == 'A') {
        *hPa = static_cast<int>(value * kInchHgToHPa);
        return true;
    }
    return false;
}

// A dew point above the temperature (or one that is missing and read as 0 in
// frost) would give more than 100 percent.
constexpr int kMaxHumidity = 100;

int RelativeHumidity(int temp, int dew)
{
    double ratio = (112.0 - 0.1 * temp + dew) / (112.0 + 0.9 * temp);
    long percent = std::lround(100.0 * std::pow(ratio, 8));
    return percent > kMaxHumidity ? kMaxHumidity : static_cast<int>(percent);
}

void TakeTemperature(int temp, int dew, WeatherReportData *report, MetarLogFn log)
{
    report->TempC = temp;
    report->TempF = temp * 18 / 10 + 32;
    report->Humidity = RelativeHumidity(temp, dew);
    report->WeatherValid = 1;
    Log(log, "TEMP = %d %s", temp, "Celsius");
    Log(log, "REL. LUFTFEUCHTIGKEIT = %d Prozent", report->Humidity);
}

void TakeWeatherGroup(const char *token, WeatherReportData *report, MetarLogFn log)
{
    for (const WeatherCode &row : kWeatherCodes) {
        for (const char *code : row.codes) {
            if (code && FindNoCase(token, strlen(token), code) >= 0) {
                report->WeatherKind = row.kind;
                Log(log, "%s", row.logText);
                return;
            }
        }
    }
}

void TakeCloudGroup(const char *token, WeatherReportData *report, MetarLogFn log)
{
    report->WeatherValid = 1;
    if (ContainsAny(token, kClearWords)) {
        report->CloudCover = 0;
        report->WeatherKind = kWeatherNone;
        Log(log, "Wolkenlos");
        return;
    }
    for (int cover = 1; cover <= 4; ++cover) {
        if (FindNoCase(token, strlen(token), kCoverWords[cover - 1]) >= 0 && cover > report->CloudCover) {
            report->CloudCover = cover;
            Log(log, "Wolken %d", cover);
        }
    }
}

struct ParseState {
    bool pressureFound;
};

void TakeToken(const char *token, ParseState *state, WeatherReportData *report, MetarLogFn log)
{
    int temp = 0, dew = 0, hPa = 0;
    if (report->TempC == kWeatherUnknown && ReadTemperatureGroup(token, &temp, &dew)) {
        TakeTemperature(temp, dew, report, log);
    } else if (!state->pressureFound && ReadPressureGroup(token, &hPa)) {
        state->pressureFound = true;
        report->PressureHPa = hPa;
        Log(log, "LUFTDRUCK = %d Hektopascal", hPa);
    } else if (!ContainsAny(token, kSkyWords)) {
        TakeWeatherGroup(token, report, log);
    } else {
        TakeCloudGroup(token, report, log);
    }
}

// Length of the report proper: up to and with the blank before the first
// remark or forecast word.
size_t ReportLength(const char *text, size_t len)
{
    for (const char *end : kReportEnds) {
        long at = FindNoCase(text, len, end);
        if (at >= 0)
            len = static_cast<size_t>(at) + 1;
    }
    return len;
}

void TrimLine(char *line)
{
    size_t len = strlen(line);
    while (len > 0 && IsBlank(line[len - 1]))
        line[--len] = '\0';
    size_t start = 0;
    while (IsBlank(line[start]))
        ++start;
    if (start > 0)
        memmove(line, line + start, len - start + 1);
}

}  // namespace

int ReadMetarFile(const char *path, char *out, size_t outSize, MetarLogFn log)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    Log(log, "METAR lesen");
    FILE *file = fopen(path, "r");
    if (!file) {
        if (errno == ENOENT)
            Log(log, "+++ Datei nicht vorhanden");
        else if (errno == EACCES)
            Log(log, "+++ Datei gesperrt");
        else
            Log(log, "+++ Kann Datei nicht öffnen");
        return 0;
    }
    int lines = 0;
    size_t used = 0;
    char line[kMetarLineMax + 1];
    while (lines < kMetarMaxLines && fgets(line, sizeof(line), file)) {
        ++lines;
        TrimLine(line);
        size_t len = strlen(line);
        if (len == 0 || used + len + 1 >= outSize)
            continue;
        memcpy(out + used, line, len);
        out[used + len] = ' ';
        used += len + 1;
        out[used] = '\0';
    }
    fclose(file);
    return lines;
}

void ParseMetarText(const char *text, WeatherReportData *report, MetarLogFn log)
{
    report->WeatherValid = 0;
    report->TempC = kWeatherUnknown;
    report->TempF = kWeatherUnknown;
    report->CloudCover = kWeatherUnknown;
    report->WeatherKind = kWeatherNone;

    while (IsBlank(*text))
        ++text;
    size_t len = strlen(text);
    while (len > 0 && IsBlank(text[len - 1]))
        --len;
    if (len == 0) {
        Log(log, "Keine Wetterdaten");
        return;
    }
    len = ReportLength(text, len);
    Log(log, "%.*s", static_cast<int>(len), text);

    ParseState state = {false};
    int tokens = 0;
    size_t pos = 0;
    while (pos < len && tokens < kMetarMaxTokens) {
        while (pos < len && IsBlank(text[pos]))
            ++pos;
        size_t start = pos;
        while (pos < len && !IsBlank(text[pos]))
            ++pos;
        if (pos == start)
            break;
        char token[kMetarTokenMax + 1];
        size_t tokenLen = pos - start < kMetarTokenMax ? pos - start : kMetarTokenMax;
        memcpy(token, text + start, tokenLen);
        token[tokenLen] = '\0';
        TakeToken(token, &state, report, log);
        ++tokens;
    }
}

void ParseMetarFile(const char *path, WeatherReportData *report, MetarLogFn log)
{
    char text[kMetarTextSize];
    ReadMetarFile(path, text, sizeof(text), log);
    ParseMetarText(text, report, log);
}
