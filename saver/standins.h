// Services whose own code has not been written yet. Each stand-in reports
// success and logs nothing; the code that builds the service replaces its
// group here with the real header and removes the stand-in.
#pragma once

#include "common.h"

// The musicians' command (stop, next, show or close the title bubble).
extern int MusicCommand;

// Speech bubbles: the kind of the open one, 0 none (bubbles.cpp).
extern int OpenBubbleKind;

// Weather.
void ParseStoredMETAR();
void UpdateWeatherSign();
void ShowWeatherBubble();

// Picture lists.
int ReadBusPiclist();
int ReadSBahnPiclist();
int ReadLKWPiclist();

// Mail.
int MailLogon();
int CountUnread();
void MailLogoff();

// Notes.
extern int NewNoteWritten;
void TakeMarker();
void WriteMarker();
int StartEditNote();
void StopTickerThread(DWORD timeoutMs);

// Birthday list: the number of reminders for today.
int HeuteGeburtstag();

// House lights, shutters and headlights.
extern int ShutterState;       // left shutters: 2 closed, -2 open
extern int RightShutterState;  // roller shutter: 2 down, -2 up
int LoadLichter();
void UnloadLichter();
void LichtSteuerung(int light, int mode);
void RollShutter(int direction);
void LoadScheinwerfer();
void UnloadScheinwerfer();
void SetupPfloecke();

// Aircraft and the pavement overlay.
void UnloadFlieger();
void FreeGehweg();
