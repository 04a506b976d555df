// The notes dialog: shows the note files one at a time, newest last in the
// sorted list first, pages through them, edits and deletes them.
#pragma once

#include "zcommon.h"

// Private messages the dialog sends itself; each answers 1.
constexpr UINT WM_NOTE_SHOW = 0x80CB;
constexpr UINT WM_NOTE_SAVE = 0x80CC;
constexpr UINT WM_NOTE_DELETE = 0x80CD;
constexpr UINT WM_NOTE_FIND = 0x80CE;
constexpr UINT WM_NOTE_BACK = 0x80CF;
constexpr UINT WM_NOTE_FORW = 0x80D0;

// The open dialog, or null.
extern HWND NotesDialog;

// Runs the dialog modally; returns 1 when it was closed, else -1 or 0.
INT_PTR ShowNotesDialog(HWND owner);
INT_PTR CALLBACK NotesDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK NoteEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);
