// Shared set-up of the companion tests: a temp notes folder, the notes key
// pointing at it, and small helpers to read what a window shows.
#pragma once

#include <windows.h>

#include <string>

#include "testutil.h"

namespace notestest {

extern const char kNotesKeyPath[];

void WriteNotesString(const char *name, const std::string &value);
void WriteNotesDword(const char *name, DWORD value);
bool ReadNotesDword(const char *name, DWORD *value);

std::string WindowText(HWND window);
// The text of a message box: its text control is 0xFFFF in current Wine
// versions and 100 in older ones.
std::string MessageBoxText(HWND box);

// Note names in the screensaver's own pattern.
std::string NoteName(char kind, int year, int month, int day, int hour, int minute, char letter);

}  // namespace notestest
