#include "zlog.h"

#include "shared/sysreport.h"
#include "zettler.h"

namespace {

HANDLE gLogFile = nullptr;

const char kProgramName[] = "Zettler";
const int kVersion[4] = {1, 1, 0, 164};
constexpr int kRuleLength = 70;
constexpr size_t kLineMax = 1024;

void WriteRaw(const char *text)
{
    if (!gLogFile)
        return;
    DWORD written = 0;
    WriteFile(gLogFile, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

void AppendRule(char *out, size_t outSize)
{
    char rule[kRuleLength + 1];
    memset(rule, '-', kRuleLength);
    rule[kRuleLength] = '\0';
    StrAppendN(out, outSize, rule);
}

}  // namespace

void LogTimeStamp(char *out, size_t outSize)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    StrPrintfN(out, outSize, "%02d.%02d.%02d %02d:%02d.%02d", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
               st.wSecond);
}

void OpenDebugLog(const char *fileName)
{
    HANDLE file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ZettlerDebugOn = 0;
        return;
    }
    SetFilePointer(file, 0, nullptr, FILE_END);
    if (gLogFile)
        CloseHandle(gLogFile);
    gLogFile = file;

    char head[200] = {0};
    AppendRule(head, sizeof(head));
    StrAppend(head, "\r\n");
    char stamp[40];
    LogTimeStamp(stamp, sizeof(stamp));
    StrAppend(head, stamp);
    StrAppend(head, " START\r\n");
    WriteRaw(head);

    char module[kZPathLen] = {0};
    GetModuleFileNameA(nullptr, module, sizeof(module) - 1);
    ReportLine(WriteRaw, "%s V%d.%d.%d.%d\r\n%s\r\n", kProgramName, kVersion[0], kVersion[1], kVersion[2], kVersion[3],
               module);
    ReportWindowsVersion(WriteRaw);
    ReportMemory(WriteRaw);
    // A missing variable stays unexpanded in the line.
    ReportProcessor(WriteRaw, true);
}

void WriteDebugLog(const char *text)
{
    if (!ZettlerDebugOn || !gLogFile)
        return;
    char line[kLineMax + 64];
    LogTimeStamp(line, sizeof(line));
    StrAppend(line, " ");
    StrAppend(line, text);
    StrAppend(line, "\r\n");
    WriteRaw(line);
}

void CloseDebugLog()
{
    if (!gLogFile)
        return;
    char tail[kRuleLength + 8] = {0};
    AppendRule(tail, sizeof(tail));
    StrAppend(tail, "\r\n\r\n");
    WriteRaw(tail);
    CloseHandle(gLogFile);
    gLogFile = nullptr;
}
