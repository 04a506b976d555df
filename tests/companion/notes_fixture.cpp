#include "notes_fixture.h"

#include <cstdio>
#include <vector>

namespace notestest {

const char kNotesKeyPath[] = "Software\\Tandrovi\\ScreenSaver\\Zettler";

void WriteNotesString(const char *name, const std::string &value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WriteNotesDword(const char *name, DWORD value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegCloseKey(key);
}

bool ReadNotesDword(const char *name, DWORD *value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNotesKeyPath, 0, KEY_READ, &key) != 0)
        return false;
    DWORD size = sizeof(*value);
    DWORD type = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) == 0 &&
              type == REG_DWORD;
    RegCloseKey(key);
    return ok;
}

std::string WindowText(HWND window)
{
    std::vector<char> text(70000, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!text)
        text = GetDlgItem(box, 100);
    return text ? WindowText(text) : std::string();
}

std::string NoteName(char kind, int year, int month, int day, int hour, int minute, char letter)
{
    char name[64];
    snprintf(name, sizeof(name), "%c_%04d%02d%02d_%02d%02d%c.txt", kind, year, month, day, hour, minute, letter);
    return name;
}

}  // namespace notestest
