#include "zlog.h"

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

void WriteRawf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void WriteRawf(const char *fmt, ...)
{
    char text[kLineMax + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof(text), fmt, ap);
    va_end(ap);
    text[kLineMax] = '\0';
    WriteRaw(text);
}

void AppendRule(char *out, size_t outSize)
{
    char rule[kRuleLength + 1];
    memset(rule, '-', kRuleLength);
    rule[kRuleLength] = '\0';
    ZStrAppendN(out, outSize, rule);
}

void AppendNtEdition(char *out, size_t outSize)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    char type[80] = {0};
    DWORD size = sizeof(type) - 1;
    if (RegQueryValueExA(key, "ProductType", nullptr, nullptr, reinterpret_cast<BYTE *>(type), &size) ==
        ERROR_SUCCESS) {
        if (_stricmp(type, "WINNT") == 0)
            ZStrAppendN(out, outSize, "Workstation ");
        else if (_stricmp(type, "SERVERNT") == 0)
            ZStrAppendN(out, outSize, "Server ");
    }
    RegCloseKey(key);
}

void AppendNtName(const OSVERSIONINFOEXA &v, bool extended, char *out, size_t outSize)
{
    if (v.dwMajorVersion < 5)
        ZStrCopyN(out, outSize, "Windows NT ");
    else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0)
        ZStrCopyN(out, outSize, "Windows 2000 ");
    else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1)
        ZStrCopyN(out, outSize, "Windows XP ");
    else
        ZStrPrintfN(out, outSize, "Windows NT %lu.%lu ", v.dwMajorVersion, v.dwMinorVersion);
    if (!extended) {
        AppendNtEdition(out, outSize);
        return;
    }
    if (v.wProductType == VER_NT_WORKSTATION)
        ZStrAppendN(out, outSize, (v.wSuiteMask & VER_SUITE_PERSONAL) ? "Personal " : "Professional ");
    else if (v.wSuiteMask & VER_SUITE_DATACENTER)
        ZStrAppendN(out, outSize, "DataCenter Server ");
    else if (v.wSuiteMask & VER_SUITE_ENTERPRISE)
        ZStrAppendN(out, outSize, "Advanced Server ");
    else
        ZStrAppendN(out, outSize, "Server ");
}

void LogWindowsVersion()
{
    OSVERSIONINFOEXA v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    bool extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v)) != 0;
    if (!extended) {
        v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v)))
            return;
    }
    char line[400] = {0};
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        AppendNtName(v, extended, line, sizeof(line));
        char tail[200];
        if (v.dwMajorVersion < 5)
            ZStrPrintfN(tail, sizeof(tail), "version %lu.%lu %s (Build %lu)", v.dwMajorVersion, v.dwMinorVersion,
                        v.szCSDVersion, v.dwBuildNumber & 0xFFFF);
        else
            ZStrPrintfN(tail, sizeof(tail), "%s (Build %lu)", v.szCSDVersion, v.dwBuildNumber & 0xFFFF);
        ZStrAppend(line, tail);
    } else if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (v.dwMinorVersion == 0)
            ZStrCopy(line, v.szCSDVersion[1] == 'C' ? "Windows 95 OSR2 " : "Windows 95 ");
        else if (v.dwMinorVersion == 10)
            ZStrCopy(line, v.szCSDVersion[1] == 'A' ? "Windows 98 SE " : "Windows 98 ");
        else if (v.dwMinorVersion == 90)
            ZStrCopy(line, "Windows ME ");
    } else if (v.dwPlatformId == VER_PLATFORM_WIN32s) {
        ZStrCopy(line, "Win32s ");
    }
    ZStrAppend(line, "\r\n");
    WriteRaw(line);
}

void LogMemoryStatus()
{
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof(ms);
    GlobalMemoryStatus(&ms);
    WriteRawf("%s %lu\r\n", "Relative memory load [0-100]: ", ms.dwMemoryLoad);
    WriteRawf("%s %luKB\r\n", "Total physical memory: ", static_cast<unsigned long>(ms.dwTotalPhys / 1024));
    WriteRawf("%s %luKB\r\n", "Available physical memory: ", static_cast<unsigned long>(ms.dwAvailPhys / 1024));
    WriteRawf("%s %luMB\r\n", "Maximum pagefile space: ", static_cast<unsigned long>(ms.dwTotalPageFile / 1048576));
    WriteRawf("%s %luMB\r\n", "Available pagefile space: ",
              static_cast<unsigned long>(ms.dwAvailPageFile / 1048576));
}

void LogProcessorInfo()
{
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const char *type = "?";
    if (si.dwProcessorType == PROCESSOR_INTEL_386)
        type = "80386";
    else if (si.dwProcessorType == PROCESSOR_INTEL_486)
        type = "80486";
    else if (si.dwProcessorType == PROCESSOR_INTEL_PENTIUM)
        type = "Pentium";
    WriteRawf("Processor Type: %s \r\n", type);
    WriteRawf("Number of Processors: %lu \r\n", si.dwNumberOfProcessors);
    // A missing variable stays unexpanded in the line.
    char ident[300] = {0};
    DWORD n = ExpandEnvironmentStringsA("PROCESSOR_IDENTIFIER: %PROCESSOR_IDENTIFIER%", ident, sizeof(ident) - 1);
    if (n > 0 && n < sizeof(ident)) {
        WriteRaw(ident);
        WriteRaw("\r\n");
    }
}

}  // namespace

void LogTimeStamp(char *out, size_t outSize)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    ZStrPrintfN(out, outSize, "%02d.%02d.%02d %02d:%02d.%02d", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
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
    ZStrAppend(head, "\r\n");
    char stamp[40];
    LogTimeStamp(stamp, sizeof(stamp));
    ZStrAppend(head, stamp);
    ZStrAppend(head, " START\r\n");
    WriteRaw(head);

    char module[kZPathLen] = {0};
    GetModuleFileNameA(nullptr, module, sizeof(module) - 1);
    WriteRawf("%s V%d.%d.%d.%d\r\n%s\r\n", kProgramName, kVersion[0], kVersion[1], kVersion[2], kVersion[3], module);
    LogWindowsVersion();
    LogMemoryStatus();
    LogProcessorInfo();
}

void WriteDebugLog(const char *text)
{
    if (!ZettlerDebugOn || !gLogFile)
        return;
    char line[kLineMax + 64];
    LogTimeStamp(line, sizeof(line));
    ZStrAppend(line, " ");
    ZStrAppend(line, text);
    ZStrAppend(line, "\r\n");
    WriteRaw(line);
}

void CloseDebugLog()
{
    if (!gLogFile)
        return;
    char tail[kRuleLength + 8] = {0};
    AppendRule(tail, sizeof(tail));
    ZStrAppend(tail, "\r\n\r\n");
    WriteRaw(tail);
    CloseHandle(gLogFile);
    gLogFile = nullptr;
}
