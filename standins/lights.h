// The house lights, the shutters and the headlights, until their own code comes:
// loading succeeds, nothing lights up and no shutter moves.
#pragma once

extern int ShutterState;       // left shutters: 2 closed, -2 open
extern int RightShutterState;  // roller shutter: 2 down, -2 up
int LoadLichter();
void UnloadLichter();
void LichtSteuerung(int light, int mode);
void RollShutter(int direction);
void LoadScheinwerfer();
void UnloadScheinwerfer();
void DrawAllScheinwerfer();
