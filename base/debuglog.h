// The debug log: one text file of timestamped lines, switched on by DebugOn.
// Every thread writes to it; one lock keeps each line whole and makes writes
// after CloseDebugLog harmless.
#pragma once

#include "base/common.h"

// The log's switch, a stored setting ("DebugOn") read with the others.
extern int DebugOn;

// Opens (appending) and writes the start block with the system report, ended
// by the settings report that reportSettings writes (if given). A file that
// cannot be opened switches DebugOn off for the run.
void OpenDebugLog(const char *fileName, void (*reportSettings)() = nullptr);
// One line: timestamp, the formatted text (at most 1024 characters), CR LF.
// Does nothing while the log is off or closed.
void WriteLog(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Writes the end line and closes the file; safe to call twice.
void CloseDebugLog();
bool DebugLogIsOpen();

void LogMemoryStatus();
void LogOSVersion();
void LogCPUInfo();
void LogDisplayInfo();

// Appends text as it stands (no timestamp); the system report uses it.
void WriteLogRaw(const char *text);
// "%02d.%02d.%04d %02d:%02d.%02d  " of the scene clock.
void FormatLogTimestamp(char *out, size_t outSize);

constexpr size_t kLogTextMax = 1024;
