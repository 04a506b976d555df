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

namespace {

constexpr char kNewFileSuffix[] = ".neu";

}  // namespace

bool WriteAll(HANDLE file, const void *data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool ReplaceFileWhole(const char *file, WholeFileWriter write, void *context)
{
    char temp[kPathLen];
    if (StrPrintfN(temp, sizeof(temp), "%s%s", file, kNewFileSuffix) >= static_cast<int>(sizeof(temp) - 1)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HANDLE out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    bool ok = write(out, context);
    DWORD error = GetLastError();
    // Closing flushes the last bytes: its failure is a failed write too.
    if (!CloseHandle(out) && ok) {
        ok = false;
        error = GetLastError();
    }
    if (ok && !MoveFileExA(temp, file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileA(temp);
        SetLastError(error);
    }
    return ok;
}
