// The one header every file of the notes companion includes first: Windows
// and the shell pieces it uses, then the bounded strings it shares with the
// screensaver.
#pragma once

#include <windows.h>
// System headers that spell out the banned functions in their own macros come
// before the ban in shared/strings.h.
#include <commctrl.h>
#include <shlwapi.h>

#include "shared/strings.h"

constexpr size_t kZPathLen = MAX_PATH;
