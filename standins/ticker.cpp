#include "standins/ticker.h"

void StopTickerThread(DWORD) {}
