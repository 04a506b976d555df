// Figure 22, the pavement renewer: the clean pavement picture of the season
// that he copies into the background under his feet at every stride.
#pragma once

// His distance from the scene's bottom edge; it also picks the row of the
// pavement picture he copies.
extern int PavementOffset;

// Puts the pavement picture into figure 22's second sheet slot; 0 when he is
// not loaded or no picture is there.
int LoadGehweg();
// Deletes the pavement picture and its mask; harmless when there is none.
void FreeGehweg();
