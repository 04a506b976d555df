// The program's entry: the screensaver switches, the three modes, the window
// and its message loop, and the operating system's password policy.
#pragma once

#include "base/saverstate.h"

extern int IsNTPlatform;
extern DWORD SaverIsSecure;
extern int PasswordDelay;

extern const char kSaverClassName[];    // "ScrClass"
extern const char kPreviewTitle[];      // "SaverPreview"
extern const char kFullScreenTitle[];   // "Tandrovi Wendelby 3"

// What a command line asks for.
struct SaverCommand {
    int mode;          // kModeConfig, kModePreview, kModeFullScreen, or kModeUnset: end at once
    HWND window;       // preview host or settings owner
    bool useForeground;  // settings: own the sheet by the foreground window
};

// Parses the whole command line as GetCommandLineA gives it, program name first.
SaverCommand ParseSaverCommandLine(const char *commandLine);

int SaverWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
void RunSaverWindow(HWND host, int mode);

bool IsScreenSaverSecure();
void ReadPasswordDelay();
int VerifySaverPassword(HWND window);
// Sets IsNTPlatform from the version data (1 on the NT family).
void CheckWindowsNT();

// The window procedure of ScrClass.
LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
