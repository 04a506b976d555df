// The ticker's thread, until its own code comes: there is none to stop.
#pragma once

#include "base/common.h"

void StopTickerThread(DWORD timeoutMs);
