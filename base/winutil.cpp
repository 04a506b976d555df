#include "base/winutil.h"

#include <shlwapi.h>

DWORD GetDllVersion(const char *dllName)
{
    HMODULE dll = LoadLibraryA(dllName);
    if (!dll)
        return 0;
    DWORD version = 0;
    auto proc = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void *>(GetProcAddress(dll, "DllGetVersion")));
    if (proc) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(proc(&info)))
            version = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    FreeLibrary(dll);
    return version;
}
