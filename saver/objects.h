// The table of scene objects, indexed by object id 0..132.
#pragma once

constexpr int kObjectIdCount = 133;

// How many picture sheets each object loads; 0 means switched off: it never loads.
extern int FigurSheetCount[kObjectIdCount];

// True while the object's pictures are loaded and it is on stage.
bool IsObjectLoaded(int id);
