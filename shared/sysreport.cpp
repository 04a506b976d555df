#include "shared/sysreport.h"

namespace {

constexpr size_t kReportLineMax = 1024;

void NineXName(const OSVERSIONINFOEXA &v, char *out, size_t outSize)
{
    char letter = v.szCSDVersion[1];
    if (v.dwMinorVersion == 0) {
        StrCopyN(out, outSize, "Windows 95 ");
        if (letter == 'C')
            StrAppendN(out, outSize, "OSR2 ");
    } else if (v.dwMinorVersion == 10) {
        StrCopyN(out, outSize, "Windows 98 ");
        if (letter == 'A')
            StrAppendN(out, outSize, "SE ");
    } else if (v.dwMinorVersion == 90) {
        StrCopyN(out, outSize, "Windows ME ");
    }
}

void NtEditionFromRegistry(char *out, size_t outSize)
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
            StrAppendN(out, outSize, "Workstation ");
        else if (_stricmp(type, "SERVERNT") == 0)
            StrAppendN(out, outSize, "Server ");
    }
    RegCloseKey(key);
}

void NtName(const OSVERSIONINFOEXA &v, bool extended, char *out, size_t outSize)
{
    if (v.dwMajorVersion < 5)
        StrCopyN(out, outSize, "Windows NT ");
    else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0)
        StrCopyN(out, outSize, "Windows 2000 ");
    else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1)
        StrCopyN(out, outSize, "Windows XP ");
    else
        StrPrintfN(out, outSize, "Windows NT %lu.%lu ", v.dwMajorVersion, v.dwMinorVersion);

    if (!extended) {
        NtEditionFromRegistry(out, outSize);
        return;
    }
    if (v.wProductType == VER_NT_WORKSTATION) {
        StrAppendN(out, outSize, (v.wSuiteMask & VER_SUITE_PERSONAL) ? "Personal " : "Professional ");
    } else if (v.wProductType == VER_NT_SERVER || v.wProductType == VER_NT_DOMAIN_CONTROLLER) {
        if (v.wSuiteMask & VER_SUITE_DATACENTER)
            StrAppendN(out, outSize, "DataCenter Server ");
        else if (v.wSuiteMask & VER_SUITE_ENTERPRISE)
            StrAppendN(out, outSize, "Advanced Server ");
        else
            StrAppendN(out, outSize, "Server ");
    }
}

}  // namespace

void ReportLine(ReportSink sink, const char *fmt, ...)
{
    char text[kReportLineMax + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof(text), fmt, ap);
    va_end(ap);
    text[kReportLineMax] = '\0';
    sink(text);
}

void ReportWindowsVersion(ReportSink sink)
{
    OSVERSIONINFOEXA v = {};
    v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    bool extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v)) != 0;
    if (!extended) {
        v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v)))
            return;
    }
    char line[400] = {0};
    switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        NineXName(v, line, sizeof(line));
        break;
    case VER_PLATFORM_WIN32s:
        StrCopy(line, "Win32s ");
        break;
    case VER_PLATFORM_WIN32_NT: {
        NtName(v, extended, line, sizeof(line));
        char tail[200];
        if (v.dwMajorVersion < 5)
            StrPrintfN(tail, sizeof(tail), "version %lu.%lu %s (Build %lu)", v.dwMajorVersion,
                       v.dwMinorVersion, v.szCSDVersion, v.dwBuildNumber & 0xFFFF);
        else
            StrPrintfN(tail, sizeof(tail), "%s (Build %lu)", v.szCSDVersion, v.dwBuildNumber & 0xFFFF);
        StrAppend(line, tail);
        break;
    }
    default:
        break;
    }
    StrAppend(line, "\r\n");
    sink(line);
}

void ReportProcessor(ReportSink sink, bool showMissing)
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
    ReportLine(sink, "Processor Type: %s \r\n", type);
    ReportLine(sink, "Number of Processors: %lu \r\n", si.dwNumberOfProcessors);
    const char kVar[] = "%PROCESSOR_IDENTIFIER%";
    char ident[257] = {0};
    DWORD n = ExpandEnvironmentStringsA(kVar, ident, 256);
    const bool expanded = n > 0 && n <= 256 && _stricmp(ident, kVar) != 0;
    if (expanded)
        ReportLine(sink, "PROCESSOR_IDENTIFIER: %s\r\n", ident);
    else if (showMissing)
        ReportLine(sink, "PROCESSOR_IDENTIFIER: %s\r\n", kVar);
}

void ReportMemory(ReportSink sink)
{
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof(ms);
    GlobalMemoryStatus(&ms);
    ReportLine(sink, "%s %lu\r\n", "Relative memory load [0-100]: ", ms.dwMemoryLoad);
    ReportLine(sink, "%s %luKB\r\n", "Total physical memory: ", static_cast<unsigned long>(ms.dwTotalPhys / 1024));
    ReportLine(sink, "%s %luKB\r\n", "Available physical memory: ", static_cast<unsigned long>(ms.dwAvailPhys / 1024));
    ReportLine(sink, "%s %luMB\r\n", "Maximum pagefile space: ", static_cast<unsigned long>(ms.dwTotalPageFile / 1048576));
    ReportLine(sink, "%s %luMB\r\n", "Available pagefile space: ",
         static_cast<unsigned long>(ms.dwAvailPageFile / 1048576));
}
