// The settings mode: the property sheet over the saver's settings.
#pragma once

#include "base/common.h"

// Window of the running sheet (0 when none); tests and pages use it.
extern HWND ConfigSheetWindow;
