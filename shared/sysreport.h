// The system part of a debug log's start block, the same in the screensaver
// and the companion: Windows version, processor and memory. The lines carry
// no timestamp and end in CR LF; each program hands in its own log writer.
#pragma once

#include <windows.h>

#include "shared/strings.h"

// Writes one piece of text to the program's log as it stands.
using ReportSink = void (*)(const char *text);

// One formatted line of at most 1024 characters to sink.
void ReportLine(ReportSink sink, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// "Windows XP Professional Service Pack 3 (Build 2600)" and the like.
void ReportWindowsVersion(ReportSink sink);
// Processor type, count and identifier. Without a PROCESSOR_IDENTIFIER in the
// environment the identifier line is left out, or with showMissing written
// with the variable unexpanded.
void ReportProcessor(ReportSink sink, bool showMissing);
// Memory load, physical memory and the page file.
void ReportMemory(ReportSink sink);
