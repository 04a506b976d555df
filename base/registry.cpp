#include "base/registry.h"

HKEY RegOpenUserKey(const char *subKey, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY RegCreateUserKey(const char *subKey, LONG *status)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &key, nullptr);
    if (status)
        *status = rc;
    return rc == ERROR_SUCCESS ? key : nullptr;
}

bool RegReadDword(HKEY key, const char *name, int *out)
{
    if (!key)
        return false;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof(value))
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool RegReadString(HKEY key, const char *name, char *out, size_t outSize)
{
    if (!key)
        return false;
    // Room for 255 characters and the terminator the writer stores, and one
    // spare byte past them, so a value stored without its terminator is still
    // terminated.
    char buffer[kRegStringMax + 2] = {0};
    DWORD type = 0, size = kRegStringMax + 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    buffer[size <= kRegStringMax + 1 ? size : kRegStringMax + 1] = '\0';
    if (strlen(buffer) > kRegStringMax)
        return false;
    StrCopyN(out, outSize, buffer);
    return true;
}

bool RegReadList(HKEY key, const char *name, int *out, int n)
{
    char text[kRegStringMax + 1] = {0};
    if (!RegReadString(key, name, text, sizeof(text)))
        return false;
    ParseIntList(text, out, n);
    return true;
}

LONG RegWriteDword(HKEY key, const char *name, int value)
{
    DWORD v = static_cast<DWORD>(value);
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof(v));
}

LONG RegWriteString(HKEY key, const char *name, const char *text)
{
    // A text the readers cannot take whole is not stored: cut, a path would
    // name another file, and the stored value stays as it was.
    size_t len = strnlen(text, kRegStringMax + 1);
    if (len > kRegStringMax)
        return ERROR_FILENAME_EXCED_RANGE;
    // Stored with its terminator, as the registry asks of REG_SZ data.
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(len + 1));
}

LONG RegWriteList(HKEY key, const char *name, const int *values, int n)
{
    char text[kRegStringMax + 1] = {0};
    for (int i = 0; i < n; ++i) {
        char number[16];
        StrPrintfN(number, sizeof(number), i == 0 ? "%d" : ",%d", values[i]);
        StrAppend(text, number);
    }
    return RegWriteString(key, name, text);
}
