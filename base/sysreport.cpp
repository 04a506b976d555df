// The saver's system report in the debug log's start block: the shared part
// (Windows, processor, memory) and the display the scene is shown on.
#include "base/debuglog.h"
#include "shared/sysreport.h"
#include "base/saverstate.h"

void LogOSVersion() { ReportWindowsVersion(WriteLogRaw); }
void LogCPUInfo() { ReportProcessor(WriteLogRaw, false); }
void LogMemoryStatus() { ReportMemory(WriteLogRaw); }

void LogDisplayInfo()
{
    int monitors = GetSystemMetrics(SM_CMONITORS);
    ReportLine(WriteLogRaw, "Number of Monitors: %u \r\n", static_cast<unsigned>(monitors));
    for (int i = 0; i < monitors; ++i) {
        DISPLAY_DEVICEA dd = {};
        dd.cb = sizeof(dd);
        if (EnumDisplayDevicesA(nullptr, static_cast<DWORD>(i), &dd, 0))
            ReportLine(WriteLogRaw, "DeviceString:       %s \r\n", dd.DeviceString);
    }
    HDC screen = GetDC(nullptr);
    if (screen) {
        int bits = GetDeviceCaps(screen, BITSPIXEL);
        int planes = GetDeviceCaps(screen, PLANES);
        long colours = GetDeviceCaps(screen, NUMCOLORS);
        if (colours < 0)
            colours = (bits * planes >= 31) ? 0x7FFFFFFFL : (1L << (bits * planes));
        ReportLine(WriteLogRaw, "HORZRES:            %d \r\n", GetDeviceCaps(screen, HORZRES));
        ReportLine(WriteLogRaw, "VERTRES:            %d \r\n", GetDeviceCaps(screen, VERTRES));
        ReportLine(WriteLogRaw, "BITSPIXEL:          %d \r\n", bits);
        ReportLine(WriteLogRaw, "PLANES:             %d \r\n", planes);
        ReportLine(WriteLogRaw, "NUMCOLORS:          %ld \r\n", colours);
        ReportLine(WriteLogRaw, "SIZEPALETTE:        %d \r\n", GetDeviceCaps(screen, SIZEPALETTE));
        ReleaseDC(nullptr, screen);
    }
    HDC window = GetDC(MainWindow);
    if (window) {
        int caps = GetDeviceCaps(window, RASTERCAPS);
        ReportLine(WriteLogRaw, "RC_BITBLT:          %d \r\n", (caps & RC_BITBLT) ? 1 : 0);
        ReportLine(WriteLogRaw, "RC_BITMAP64:        %d \r\n", (caps & RC_BITMAP64) ? 1 : 0);
        ReportLine(WriteLogRaw, "RC_DI_BITMAP:       %d \r\n", (caps & RC_DI_BITMAP) ? 1 : 0);
        ReportLine(WriteLogRaw, "BLTALIGNMENT:       %d \r\n", GetDeviceCaps(window, BLTALIGNMENT));
        ReleaseDC(MainWindow, window);
    }
}
