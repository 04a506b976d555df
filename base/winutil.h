// Small Win32 helpers shared across the program.
#pragma once

#include "base/common.h"

// (major << 16) | minor from the DLL's DllGetVersion; 0 when the DLL or the
// export is missing or fails.
DWORD GetDllVersion(const char *dllName);

// Writes a file whole or not at all. write fills a new file beside it (the
// name with ".neu" added), which replaces the file only when every write
// succeeded: a full disk or a lost drive keeps the old file, and the new one
// is deleted. False on failure, with GetLastError telling why.
using WholeFileWriter = bool (*)(HANDLE out, void *context);
bool ReplaceFileWhole(const char *file, WholeFileWriter write, void *context);

// WriteFile of all size bytes; false when fewer were written.
bool WriteAll(HANDLE file, const void *data, DWORD size);
