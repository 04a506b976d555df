#include "streetstandins.h"

// ---------------------------------------------------------------- vehicles and aircraft
SceneRect StopPostRect = {265, 348 - 268, 32, 115};
std::atomic<uint32_t> BusHalted{0};
std::atomic<int> TramOnStage{0};
void DrawAllScheinwerfer() {}
void StartFlieger() {}
void DrawFlieger() {}

// ---------------------------------------------------------------- weather
std::atomic<int> WeatherReportLoaded{0};
std::atomic<int> WeatherDownloadBusy{0};
int StartGetMETAR() { return 0; }

// ---------------------------------------------------------------- mail
int MailBaseline = 0;
std::atomic<int> NewMail{0};

// ---------------------------------------------------------------- birthdays
void LoadGeburtstage() {}
