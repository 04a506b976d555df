// Notes left in the running screensaver: the note dialog on a thread of its
// own, the note files in the notes folder (MSGPath), the list of ticker notes
// and the marker that tells the companion that new notes are waiting.
#pragma once

#include "base/common.h"

#include <atomic>

constexpr int kMaxTickerNotes = 500;
constexpr int kNoteTypedMax = 398;  // what the dialog's edit takes
extern const char kMarkerFileName[];  // "~!~.wyn"

// Set when a note was written in this run or the marker was found at start.
extern std::atomic<int> NewNoteWritten;
// Whether at least one "X" note exists (set by SearchMSGFiles).
extern std::atomic<int> XNoteFound;
// The timer interval of the note dialog's idle count; tests shorten it
// (also through WYN_NOTE_TICK_MS).
extern DWORD NoteTickMs;
constexpr int kNoteIdleTicks = 29;

// Writes a new note file of kind N (tickerNote) or X; false, after the
// CANNOTSAVE message on owner, when it cannot be written.
bool WriteNoteFile(HWND owner, const char *text, bool tickerNote);
void TakeMarker();
void WriteMarker();
// Fills the ticker list and the X flag from the notes folder.
void SearchMSGFiles();
// Number of ticker notes in the list, and a copy of one name.
int TickerNoteCount();
bool TickerNoteName(int index, char *out, size_t outSize);
// The text of a random ticker note, its lines trimmed and run together,
// shorter than size; true when there is text.
bool GetTickerText(char *buf, size_t size);
// Where the scene shows the message sign: the dialog opens beside it, or at
// the right edge while the sign is not on stage.
struct NoteSignPlace {
    bool onStage;
    int x;            // the sign's position in the scene
    int backgroundX;  // the scene's offset in the window
};
// Starts the note dialog's thread; 1 when started (callers keep it as the
// editor-open flag).
int StartEditNote(const NoteSignPlace &sign = {});
DWORD WINAPI EditNote(LPVOID);
// At shutdown: an open dialog saves its text as its idle save does and
// closes; its thread is awaited for at most timeoutMs. True when it ended.
bool CloseNoteEditor(DWORD timeoutMs);
// The open note dialog, 0 when none.
HWND NoteDialogWindow();
