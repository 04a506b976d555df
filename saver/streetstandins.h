// Services the street's loop and scripts call whose own code comes with later
// work: the sound effects and music, the vehicles and aircraft, the weather
// download, the mail count and the birthday list. Each stand-in does nothing
// and reports nothing new; the code that builds a service removes its group
// here.
#pragma once

#include "common.h"
#include "gdiutil.h"
#include "objectsound.h"

#include <atomic>

// Sound effects and music.
void PlayObjectSound(int n, ObjectSound *snd, int objectId, int x);
void UpdateObjectSound(ObjectSound *snd, int x);
void PlayFigurSoundFile(ObjectSound *snd, int objectId, int x);
void PlaySoundAt(int n, int x);
void PlayAmbientSounds(int timeOfDay, int season);
void RunSoundSchedule();
void MusicHousekeeping();
extern std::atomic<int> MusicStarting;  // a music thread is busy

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
