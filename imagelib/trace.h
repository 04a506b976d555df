// The library's trace output: texts for whoever debugs the library, never
// shown to a user. Windows builds send them to the debugger
// (OutputDebugString); a test may catch them with a sink of its own.
#pragma once

#include <cstdint>

// Levels as the readers use them: 2 warnings, 3 errors.
void TraceMsg(int level, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

using TraceSink = void (*)(int level, const char *text);
// Replaces the sink for the whole process; null restores the default.
void SetTraceSink(TraceSink sink);
