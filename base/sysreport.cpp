// The system part of the debug log's start block: Windows version, processor,
// memory and display. These lines carry no timestamp.
#include "base/debuglog.h"
#include "shell/entry.h"

namespace {

void Emit(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void Emit(const char *fmt, ...)
{
    char text[kLogTextMax + 1];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof(text), fmt, ap);
    va_end(ap);
    text[kLogTextMax] = '\0';
    WriteLogRaw(text);
}

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

void LogOSVersion()
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
    WriteLogRaw(line);
}

void LogCPUInfo()
{
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    switch (si.dwProcessorType) {
    case PROCESSOR_INTEL_386:
        Emit("Processor Type: 80386 \r\n");
        break;
    case PROCESSOR_INTEL_486:
        Emit("Processor Type: 80486 \r\n");
        break;
    case PROCESSOR_INTEL_PENTIUM:
        Emit("Processor Type: Pentium \r\n");
        break;
    default:
        Emit("Processor Type: ? \r\n");
        break;
    }
    Emit("Number of Processors: %lu \r\n", si.dwNumberOfProcessors);
    const char kVar[] = "%PROCESSOR_IDENTIFIER%";
    char ident[257] = {0};
    DWORD n = ExpandEnvironmentStringsA(kVar, ident, 256);
    if (n > 0 && n <= 256 && _stricmp(ident, kVar) != 0)
        Emit("PROCESSOR_IDENTIFIER: %s\r\n", ident);
}

void LogMemoryStatus()
{
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof(ms);
    GlobalMemoryStatus(&ms);
    Emit("%s %lu\r\n", "Relative memory load [0-100]: ", ms.dwMemoryLoad);
    Emit("%s %luKB\r\n", "Total physical memory: ", static_cast<unsigned long>(ms.dwTotalPhys / 1024));
    Emit("%s %luKB\r\n", "Available physical memory: ", static_cast<unsigned long>(ms.dwAvailPhys / 1024));
    Emit("%s %luMB\r\n", "Maximum pagefile space: ", static_cast<unsigned long>(ms.dwTotalPageFile / 1048576));
    Emit("%s %luMB\r\n", "Available pagefile space: ", static_cast<unsigned long>(ms.dwAvailPageFile / 1048576));
}

void LogDisplayInfo()
{
    int monitors = GetSystemMetrics(SM_CMONITORS);
    Emit("Number of Monitors: %u \r\n", static_cast<unsigned>(monitors));
    for (int i = 0; i < monitors; ++i) {
        DISPLAY_DEVICEA dd = {};
        dd.cb = sizeof(dd);
        if (EnumDisplayDevicesA(nullptr, static_cast<DWORD>(i), &dd, 0))
            Emit("DeviceString:       %s \r\n", dd.DeviceString);
    }
    HDC screen = GetDC(nullptr);
    if (screen) {
        int bits = GetDeviceCaps(screen, BITSPIXEL);
        int planes = GetDeviceCaps(screen, PLANES);
        long colours = GetDeviceCaps(screen, NUMCOLORS);
        if (colours < 0)
            colours = (bits * planes >= 31) ? 0x7FFFFFFFL : (1L << (bits * planes));
        Emit("HORZRES:            %d \r\n", GetDeviceCaps(screen, HORZRES));
        Emit("VERTRES:            %d \r\n", GetDeviceCaps(screen, VERTRES));
        Emit("BITSPIXEL:          %d \r\n", bits);
        Emit("PLANES:             %d \r\n", planes);
        Emit("NUMCOLORS:          %ld \r\n", colours);
        Emit("SIZEPALETTE:        %d \r\n", GetDeviceCaps(screen, SIZEPALETTE));
        ReleaseDC(nullptr, screen);
    }
    HDC window = GetDC(MainWindow);
    if (window) {
        int caps = GetDeviceCaps(window, RASTERCAPS);
        Emit("RC_BITBLT:          %d \r\n", (caps & RC_BITBLT) ? 1 : 0);
        Emit("RC_BITMAP64:        %d \r\n", (caps & RC_BITMAP64) ? 1 : 0);
        Emit("RC_DI_BITMAP:       %d \r\n", (caps & RC_DI_BITMAP) ? 1 : 0);
        Emit("BLTALIGNMENT:       %d \r\n", GetDeviceCaps(window, BLTALIGNMENT));
        ReleaseDC(MainWindow, window);
    }
}
