// The weather download and the weather sign, until their own code comes: no report
// arrives, so the sign and its bubble stay as they are.
#pragma once

#include "base/common.h"

#include <atomic>

// 1 once a downloaded report is parsed; 1 while a download runs.
extern std::atomic<int> WeatherReportLoaded;
extern std::atomic<int> WeatherDownloadBusy;
int StartGetMETAR();
void ParseStoredMETAR();
void UpdateWeatherSign();
void ShowWeatherBubble();
