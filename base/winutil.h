// Small Win32 helpers shared across the program.
#pragma once

#include "base/common.h"

// (major << 16) | minor from the DLL's DllGetVersion; 0 when the DLL or the
// export is missing or fails.
DWORD GetDllVersion(const char *dllName);
