#include "standins/pavement.h"

void SetupPfloecke() {}
void FreeGehweg() {}
