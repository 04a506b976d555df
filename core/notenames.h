// Names and texts of the note files the screensaver leaves for the companion:
// "N_20261210_1704a.txt" (kind, date, time, a letter that makes it unique).
// Portable: no Windows headers.
#pragma once

#include <cstddef>

constexpr char kNoteKindTicker = 'N';   // shown in the ticker and by the sign
constexpr char kNoteKindHidden = 'X';
constexpr char kFirstNoteLetter = 'a';
constexpr char kLastNoteLetter = 'z';   // later characters are not safe in file names
constexpr size_t kNoteNameSize = 32;

struct NoteTime {
    int year, month, day, hour, minute;
};

// The note file name for kind, time and letter into out; false when out is
// too small or the letter lies outside 'a'..'z'.
bool FormatNoteName(char kind, const NoteTime &time, char letter, char *out, size_t outSize);

// Joins a folder and a file name with exactly one backslash between them
// (the folder may or may not end in one; an empty folder gives the name).
// False, with out emptied, when the whole path does not fit.
bool JoinFolderPath(const char *folder, const char *name, char *out, size_t outSize);

// Length of the note text once every trailing character with a code of 32 or
// below (blanks, tabs, line ends) is cut off.
size_t NoteTextLength(const char *text);

// Trims CR, LF and tabs from both ends of line and appends it to the ticker
// text in buf[size] without a separator, unless the total would reach size.
// False once a line no longer fits (the caller stops reading).
bool AppendTickerLine(char *buf, size_t size, const char *line);
