// Reading a stored METAR report and turning it into the values the weather
// sign shows. Portable: no Windows headers, so the native sanitizer build and
// the fuzzer run the same code the screensaver does.
#pragma once

#include <cstddef>

constexpr int kWeatherUnknown = -999;

// Weather kinds.
enum WeatherKinds : int {
    kWeatherNone = 0,
    kWeatherThunder = 1,
    kWeatherRain = 2,
    kWeatherSnow = 3,
    kWeatherHail = 4,
    kWeatherFog = 5,
};

struct WeatherReportData {
    int WeatherValid;  // a temperature or a cloud group was found
    int TempC;
    int TempF;
    int Humidity;      // percent; kept from the last report when none is given
    int PressureHPa;   // kept from the last report when none is given
    int CloudCover;    // 0 clear .. 4 overcast
    int WeatherKind;
};

// What the file reader takes: a date line and the report, with room to spare.
constexpr int kMetarMaxLines = 10;
constexpr size_t kMetarLineMax = 1023;
// Every line appended with one blank, plus the terminator.
constexpr size_t kMetarTextSize = kMetarMaxLines * (kMetarLineMax + 1) + 1;
constexpr size_t kMetarTokenMax = 15;
constexpr int kMetarMaxTokens = 250;

// Receives each log line the reader and the parser write; may be null.
using MetarLogFn = void (*)(const char *line);

// Reads up to ten lines of the file, trims them and joins the non-empty ones,
// each followed by one blank, into out (kMetarTextSize or less, always
// terminated). Returns the number of lines read, 0 when the file is missing,
// locked or cannot be opened (each logged).
int ReadMetarFile(const char *path, char *out, size_t outSize, MetarLogFn log);

// Parses the report text into *report: the fields that every parse starts
// afresh are reset first, humidity and pressure keep their old values unless
// the report has them. The text is not changed.
void ParseMetarText(const char *text, WeatherReportData *report, MetarLogFn log);

// ReadMetarFile then ParseMetarText; an empty or missing file leaves the
// report without valid data.
void ParseMetarFile(const char *path, WeatherReportData *report, MetarLogFn log);
