// The pavement posts and the pavement overlay, until their own code comes.
#pragma once

void SetupPfloecke();
void FreeGehweg();
