#include "standins/weather.h"

std::atomic<int> WeatherReportLoaded{0};
std::atomic<int> WeatherDownloadBusy{0};
int StartGetMETAR() { return 0; }
void ParseStoredMETAR() {}
void UpdateWeatherSign() {}
void ShowWeatherBubble() {}
