// The notes, their marker and the ticker, until their own code comes: no note
// is written and the editor never opens.
#pragma once

#include "base/common.h"

extern int NewNoteWritten;
void TakeMarker();
void WriteMarker();
int StartEditNote();
void StopTickerThread(DWORD timeoutMs);
