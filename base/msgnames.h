// Names of the window messages for the debug log's message trace.
#pragma once

#include "base/common.h"

// Symbolic name of a window message.
const char *GetMessageName(UINT message);
