// Services the street's loop and scripts call whose own code comes with later
// work: the vehicles and aircraft, the weather download, the mail count and
// the birthday list. Each stand-in does nothing and reports nothing new; the
// code that builds a service removes its group here.
#pragma once

#include "common.h"
#include "gdiutil.h"

#include <atomic>

// Vehicles and aircraft. The stop post's rectangle is the one its script
// writes when it sets itself up.
extern SceneRect StopPostRect;
extern std::atomic<uint32_t> BusHalted;
extern std::atomic<int> TramOnStage;  // 72 while the tram runs, else 0
void DrawAllScheinwerfer();
void StartFlieger();
void DrawFlieger();

// Weather download.
extern std::atomic<int> WeatherReportLoaded;
extern std::atomic<int> WeatherDownloadBusy;
int StartGetMETAR();

// Mail: the unread count at logon and the new-mail flag.
extern int MailBaseline;
extern std::atomic<int> NewMail;

// Birthday list.
void LoadGeburtstage();
