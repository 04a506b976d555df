#include "streetstandins.h"

// ---------------------------------------------------------------- sound and music
void PlayObjectSound(int, ObjectSound *, int, int) {}
void UpdateObjectSound(ObjectSound *, int) {}
void PlayFigurSoundFile(ObjectSound *, int, int) {}
void PlaySoundAt(int, int) {}
void PlayAmbientSounds(int, int) {}
void RunSoundSchedule() {}
void MusicHousekeeping() {}
std::atomic<int> MusicStarting{0};

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
