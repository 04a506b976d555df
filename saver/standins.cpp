#include "standins.h"

// ---------------------------------------------------------------- musicians
int MusicCommand = 0;

// ---------------------------------------------------------------- weather
void ParseStoredMETAR() {}
void UpdateWeatherSign() {}
void ShowWeatherBubble() {}

// ---------------------------------------------------------------- picture lists
int ReadBusPiclist() { return 0; }
int ReadSBahnPiclist() { return 0; }
int ReadLKWPiclist() { return 0; }

// ---------------------------------------------------------------- mail
int MailLogon() { return 1; }
int CountUnread() { return 0; }
void MailLogoff() {}

// ---------------------------------------------------------------- notes
int NewNoteWritten = 0;
void TakeMarker() {}
void WriteMarker() {}
int StartEditNote() { return 0; }
void StopTickerThread(DWORD) {}

// ---------------------------------------------------------------- birthdays
int HeuteGeburtstag() { return 0; }

// ---------------------------------------------------------------- lights
int ShutterState = -2;
int RightShutterState = -2;
int LoadLichter() { return 1; }
void UnloadLichter() {}
void LichtSteuerung(int, int) {}
void RollShutter(int) {}
void LoadScheinwerfer() {}
void UnloadScheinwerfer() {}
void SetupPfloecke() {}

// ---------------------------------------------------------------- aircraft, pavement
void UnloadFlieger() {}
void FreeGehweg() {}
