// The pavement overlay, until its own code comes.
#pragma once

void FreeGehweg();
