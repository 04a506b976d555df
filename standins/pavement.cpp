#include "standins/pavement.h"

void FreeGehweg() {}
