// The companion's debug log: a text file of time-stamped lines, used only
// while ZettlerDebugOn is set.
#pragma once

#include "zcommon.h"

// "dd.mm.yyyy hh:mm.ss" of the local time.
void LogTimeStamp(char *out, size_t outSize);
// Opens (appending) and writes the start block with the program and system
// report. A file that cannot be opened switches ZettlerDebugOn off.
void OpenDebugLog(const char *fileName);
// One line: time stamp, a blank, the text, CR LF.
void WriteDebugLog(const char *text);
// Writes the closing rule and closes the file; safe to call twice.
void CloseDebugLog();
