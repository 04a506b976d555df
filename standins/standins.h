// Services whose own code has not been written yet, one file each. Every
// stand-in does nothing and reports nothing new; the code that builds a service
// replaces its file here and drops its line below.
#pragma once

#include "standins/headlights.h"
#include "standins/musicians.h"
#include "standins/vehicles.h"
