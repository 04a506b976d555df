// The end of the screensaver window: every thread stopped, everything made
// freed, the system's state given back.
#pragma once

#include "base/common.h"

void OnDestroy(HWND window);
