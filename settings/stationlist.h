// The weather stations the weather page offers: "STATIONS.DAT" in the help
// folder, a text file of country heads ("~~Name|number") each followed by its
// stations ("CODE Place"). Only read, never written.
#pragma once

#include "base/common.h"

constexpr int kMaxCountries = 399;
constexpr int kMaxStations = 1999;
constexpr size_t kStationCodeSize = 5;  // four letters and the terminator
// A line is read in pieces of at most this many characters.
constexpr size_t kStationLineMax = 255;

// The number of each listed country, in list order.
extern int CountryNumbers[kMaxCountries];
// The METAR code of each station of the country listed last.
extern char StationCodes[kMaxStations][kStationCodeSize];

// Where the list is: "STATIONS.DAT" in HLPpath, or in "C:\" when that path
// is too short to be one.
void StationFilePath(char *out, size_t outSize);

// Adds every country's name to the combo box and keeps its number; clears
// the station codes. Returns the number of countries (0 without a file).
int ReadStationCountries(HWND combo);

// Adds the stations of the country named (without regard to case) to the
// combo box and keeps their codes. Returns their number (0 when the country
// is not in the file).
int ReadStations(HWND combo, const char *country);
