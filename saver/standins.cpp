#include "standins.h"

// ---------------------------------------------------------------- image library
void SetProgressCallback(ProgressCallback, int) {}
void ReleaseThreadState() {}
void CleanupLibrary() {}

// ---------------------------------------------------------------- sound effects
int LoadBASS(int) { return 1; }
void LoadSamples() {}
void FreeBASS() {}
void FadeObjectSound(FigurRecord *) {}

// ---------------------------------------------------------------- music and Winamp
int WinampPlaying = 0;
int MusicPlaying = 0;
int MusicCommand = 0;
void initWinAMP() {}
int ReadPlaylist() { return 0; }
void ShufflePlaylist() {}
void EndMusic() {}
void FadeMusic(int) {}
void SetMusicVolume(int) {}
void WinampCommand(int) {}
void StopMusicThread(DWORD) {}

// ---------------------------------------------------------------- bubbles
int OpenBubbleKind = 0;

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
