// Picture files of the user, until the reader of every format with its
// fitting comes: BMP files only, taken as they are.
#pragma once

#include "base/common.h"

// The picture in path as a bitmap the scene can draw (tracked: delete it with
// DeleteTrackedBitmap); null when it is missing or unreadable. fit is
// ignored: the picture keeps its own size.
HBITMAP LoadFromFile(const char *path, int fit);
