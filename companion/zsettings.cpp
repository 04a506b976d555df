// Settings of the companion: the notes key the screensaver writes, the user's
// short-date format for the note captions, the autostart value and the notes
// dialog's last place.
#include "zettler.h"

#include <cstdlib>

const char kNotesKey[] = "Software\\Tandrovi\\ScreenSaver\\Zettler";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Zettler";

int MSGcheck = 0;
int Lang = 1;
char MSGPath[kZPathLen] = "";
int MSGx = 0;
int MSGy = 0;
int ZettlerDebugOn = 0;
char ZettlerDebugFileName[256] = "C:\\ZETTLER.LOG";
char DateSeparator = '.';
int DateOrder = 1;

namespace {

const char kDefaultLogName[] = "C:\\ZETTLER.LOG";
const char kInternationalKey[] = "Control Panel\\International";
// Registry strings are read into buffers of this many bytes, one left for the
// terminator a stored value may lack.
constexpr DWORD kRegStringBytes = 255;

void ReadDword(HKEY key, const char *name, int *out)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value))
        *out = static_cast<int>(value);
}

// Fills out (outSize > kRegStringBytes) only when the read succeeds.
bool ReadString(HKEY key, const char *name, char *out, size_t outSize)
{
    char text[kRegStringBytes + 1] = {0};
    DWORD size = kRegStringBytes;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return false;
    text[size < kRegStringBytes ? size : kRegStringBytes] = '\0';
    StrCopyN(out, outSize, text);
    return true;
}

void WriteDword(HKEY key, const char *name, int value)
{
    DWORD v = static_cast<DWORD>(value);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof(v));
}

}  // namespace

void ReadNotesKey()
{
    Lang = 1;
    MSGcheck = 0;
    MSGPath[0] = '\0';
    MSGx = 0;
    MSGy = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    ReadDword(key, "Lang", &Lang);
    int check = 0;
    ReadDword(key, "MSGcheck", &check);
    MSGcheck = (check != 0) ? 1 : 0;
    ReadString(key, "MSGPath", MSGPath, sizeof(MSGPath));
    ReadDword(key, "MSGx", &MSGx);
    ReadDword(key, "MSGy", &MSGy);
    RegCloseKey(key);
}

void ReadDateSettings()
{
    DateSeparator = '\0';
    DateOrder = 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInternationalKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char text[kRegStringBytes + 1] = {0};
        if (ReadString(key, "sDate", text, sizeof(text)))
            DateSeparator = text[0];
        if (ReadString(key, "iDate", text, sizeof(text)))
            DateOrder = atoi(text);
        RegCloseKey(key);
    }
    if (DateSeparator == '\0') {
        DateOrder = static_cast<int>(GetProfileIntA("intl", "iDate", 1));
        char text[8] = {0};
        GetProfileStringA("intl", "sDate", ".", text, 2);
        DateSeparator = text[0] ? text[0] : '.';
    }
}

void ReadZettlerSettings()
{
    ZettlerDebugOn = 0;
    StrCopy(ZettlerDebugFileName, kDefaultLogName);
    ReadNotesKey();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadDword(key, "ZettlerDebugOn", &ZettlerDebugOn);
        ReadString(key, "ZettlerDebugFileName", ZettlerDebugFileName, sizeof(ZettlerDebugFileName));
        RegCloseKey(key);
    }
    ReadDateSettings();
}

void SetAutostart(bool on)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (on) {
        char module[kZPathLen] = {0};
        GetModuleFileNameA(nullptr, module, sizeof(module) - 1);
        // Quoted, so that a folder with blanks in its name cannot be read as a
        // program and its arguments; the stored size counts the terminator.
        char value[kZPathLen + 3] = {0};
        StrPrintfN(value, sizeof(value), "\"%s\"", module);
        RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                       static_cast<DWORD>(strlen(value) + 1));
    } else {
        RegDeleteValueA(key, kRunValue);
    }
    RegCloseKey(key);
}

void SaveDlgPos()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    WriteDword(key, "MSGx", MSGx);
    WriteDword(key, "MSGy", MSGy);
    RegCloseKey(key);
}
