// The one header every Windows file of the screensaver includes first:
// Windows and the shell pieces the program uses, then the bounded strings.
// Portable files (core/) include shared/strings.h instead.
#pragma once

#include <windows.h>
// System headers that spell out the banned functions in their own macros come
// before the ban in shared/strings.h.
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <objbase.h>
#include <prsht.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wininet.h>

#include "shared/strings.h"

// Paths are MAX_PATH characters throughout the program.
constexpr size_t kPathLen = MAX_PATH;
