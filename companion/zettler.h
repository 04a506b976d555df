// The companion program: its hidden window, the marker poll, the command words
// and the settings it reads from the notes key.
#pragma once

#include "zcommon.h"

// The screensaver and the companion meet only through these names.
extern const char kNotesKey[];    // "Software\Tandrovi\ScreenSaver\Zettler" under HKCU
extern const char kRunKey[];      // the Windows autostart key under HKCU
extern const char kRunValue[];    // "Zettler"
extern const char kMarkerName[];  // "~!~.wyn", left by the screensaver after notes were written
extern const char kMainClass[];   // "ZettlerClass"
extern const char kMainTitle[];   // "Zettler"
extern const char kMutexName[];   // "Tandrovi_Zettler_Mutex"

// Private messages of the main window; only a second instance (and the
// companion itself) sends them.
constexpr UINT WM_NOTES_CLOSE = 0x8066;
constexpr UINT WM_NOTES_SHOWNOW = 0x8067;

constexpr UINT_PTR kCheckTimerId = 100;
constexpr UINT kFirstCheckMs = 200;
constexpr UINT kCheckIntervalMs = 10000;

enum CheckMode { kCheckShowNow = 0, kCheckMarker = 1 };

// Program state; one thread touches it.
extern HWND MainWindow;
extern HINSTANCE AppInstance;
extern int Busy;            // a marker check or a show-now runs
extern UINT_PTR CheckTimer; // kCheckTimerId while the timer is set, else 0

// Settings of the notes key and the user's date format.
extern int MSGcheck;
extern int Lang;  // 1 German, otherwise English
extern char MSGPath[kZPathLen];
extern int MSGx;
extern int MSGy;
extern int ZettlerDebugOn;
extern char ZettlerDebugFileName[256];
extern char DateSeparator;
extern int DateOrder;  // 0 month-day-year, 1 day-month-year, 2 year-month-day

// Command words, matched whole and without regard to case.
enum CommandWord { kWordNone, kWordExit, kWordAutostart, kWordDeinstall, kWordShowNow };
CommandWord ParseCommandWord(const char *commandLine);

int ZettlerWinMain(HINSTANCE instance, const char *commandLine);
DWORD GetDllVersion(const char *libraryName);
bool RegisterMainClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
void OnCheckTimer();
void ShowNow();
void CheckNotes(HWND owner, CheckMode mode);
void AppShutdown();

// Sets every default, then reads the notes key and the date format.
void ReadZettlerSettings();
// Reads the notes key's Lang, MSGcheck, MSGPath, MSGx and MSGy again; values
// that are missing fall back to their defaults. Each poll calls it, so a
// change made on the screensaver's settings takes effect at once.
void ReadNotesKey();
void ReadDateSettings();
// On: the Run value holds the companion's quoted module path; off: no value.
void SetAutostart(bool on);
void SaveDlgPos();
