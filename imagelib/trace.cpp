// Formats a trace text once and hands it to the current sink.
#include "trace.h"

#include "platform.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr size_t kTraceTextBytes = 1024;

void DefaultSink(int, const char *text)
{
#ifdef _WIN32
    OutputDebugStringA(text);
#else
    (void)text;  // natively the trace is silent unless a test listens
#endif
}

std::atomic<TraceSink> gSink{DefaultSink};

}  // namespace

void TraceMsg(int level, const char *format, ...)
{
    char text[kTraceTextBytes];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    gSink.load()(level, text);
}

void SetTraceSink(TraceSink sink) { gSink.store(sink ? sink : DefaultSink); }
