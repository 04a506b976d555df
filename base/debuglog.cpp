#include "base/debuglog.h"

#include "base/now.h"

#include <mutex>

namespace {

// Guarded by gLogLock: the handle and every write through it. The last lock
// any thread takes: callers log while holding the scene or table lock.
std::mutex gLogLock;
HANDLE gLogFile = nullptr;

const char kProductName[] = "Tandrovi Wendelby 3";
const char kProductVersion[] = "1.1.0";
constexpr int kDashCount = 70;

void WriteLocked(const char *text, size_t len)
{
    if (!gLogFile)
        return;
    DWORD written = 0;
    WriteFile(gLogFile, text, static_cast<DWORD>(len), &written, nullptr);
}

void AppendDashes(char *out, size_t outSize)
{
    char dashes[kDashCount + 1];
    memset(dashes, '-', kDashCount);
    dashes[kDashCount] = '\0';
    StrAppendN(out, outSize, dashes);
}

void LogLine(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void LogLine(const char *fmt, ...)
{
    char line[kLogTextMax + 8];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, kLogTextMax + 1, fmt, ap);
    va_end(ap);
    line[kLogTextMax] = '\0';
    StrAppend(line, "\r\n");
    WriteLogRaw(line);
}

void LogProgramLines()
{
    LogLine("%s Version %s", kProductName, kProductVersion);
    char path[kPathLen] = {0};
    GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    LogLine("%s", path);
}

}  // namespace

int DebugOn;

void FormatLogTimestamp(char *out, size_t outSize)
{
    SYSTEMTIME st;
    NowLocal(&st);
    StrPrintfN(out, outSize, "%02d.%02d.%04d %02d:%02d.%02d  ", st.wDay, st.wMonth, st.wYear, st.wHour,
               st.wMinute, st.wSecond);
}

void WriteLogRaw(const char *text)
{
    std::lock_guard<std::mutex> hold(gLogLock);
    WriteLocked(text, strlen(text));
}

bool DebugLogIsOpen()
{
    std::lock_guard<std::mutex> hold(gLogLock);
    return gLogFile != nullptr;
}

void OpenDebugLog(const char *fileName, void (*reportSettings)())
{
    // Others may read the log while the saver runs.
    HANDLE file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DebugOn = 0;
        return;
    }
    SetFilePointer(file, 0, nullptr, FILE_END);
    {
        std::lock_guard<std::mutex> hold(gLogLock);
        if (gLogFile)
            CloseHandle(gLogFile);
        gLogFile = file;
        char head[200] = {0};
        AppendDashes(head, sizeof(head));
        StrAppend(head, "\r\n");
        char stamp[40];
        FormatLogTimestamp(stamp, sizeof(stamp));
        StrAppend(head, stamp);
        StrAppend(head, "START\r\n");
        WriteLocked(head, strlen(head));
    }
    LogOSVersion();
    LogProgramLines();
    LogCPUInfo();
    LogMemoryStatus();
    LogDisplayInfo();
    if (reportSettings)
        reportSettings();
}

void WriteLog(const char *fmt, ...)
{
    if (!DebugOn)
        return;
    char line[kLogTextMax + 64];
    FormatLogTimestamp(line, sizeof(line));
    size_t stampLen = strlen(line);
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line + stampLen, kLogTextMax + 1, fmt, ap);
    va_end(ap);
    line[stampLen + kLogTextMax] = '\0';
    StrAppend(line, "\r\n");
    std::lock_guard<std::mutex> hold(gLogLock);
    WriteLocked(line, strlen(line));
}

void CloseDebugLog()
{
    std::lock_guard<std::mutex> hold(gLogLock);
    if (!gLogFile)
        return;
    char tail[200];
    FormatLogTimestamp(tail, sizeof(tail));
    StrAppend(tail, "SCR NORMAL BEENDET\r\n");
    AppendDashes(tail, sizeof(tail));
    StrAppend(tail, "\r\n\r\n");
    WriteLocked(tail, strlen(tail));
    CloseHandle(gLogFile);
    gLogFile = nullptr;
}
