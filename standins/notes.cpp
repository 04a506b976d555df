#include "standins/notes.h"

int NewNoteWritten = 0;
void TakeMarker() {}
void WriteMarker() {}
int StartEditNote() { return 0; }
void StopTickerThread(DWORD) {}
