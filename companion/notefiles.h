// The note files of the notes folder: the sorted list of their names, reading,
// saving and deleting one of them. Only the screensaver creates notes; they are
// named "%c_%04d%02d%02d_%02d%02d%c.txt" (kind N or X, date, time, a letter).
#pragma once

#include "zcommon.h"

constexpr int kMaxNotes = 500;
constexpr size_t kNoteTextSize = 800;

// The dialog's note list; one thread touches it.
extern char NoteNames[kMaxNotes][kZPathLen];
extern int NoteCount;
extern int NoteCurrent;  // the shown note; -1 once deletions have emptied the list

// Lists the note files of MSGPath sorted by name (all N notes before all X
// notes, each by date and time) and makes the last one current.
void FindNotes();
// Reads the listed note into buf[size] (at most size - 1 bytes, always
// terminated); true when at least one byte was read.
bool ReadNote(int index, char *buf, size_t size);
// Writes the text into the current note, or deletes the note and its entry
// for an empty text; true when a text was written. Nothing happens while no
// note is current.
bool SaveNote(const char *text);
// Deletes the current note's file and its entry.
void DeleteNote();
// The caption of a note: its date in the user's order and separator, its
// time and its letter ("09.03.2026 08:15 a"); empty for an unknown order.
void BuildNoteTitle(const char *name, int dateOrder, char separator, char *out, size_t outSize);
