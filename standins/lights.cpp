#include "standins/lights.h"

int ShutterState = -2;
int RightShutterState = -2;
int LoadLichter() { return 1; }
void UnloadLichter() {}
void LichtSteuerung(int, int) {}
void RollShutter(int) {}
void LoadScheinwerfer() {}
void UnloadScheinwerfer() {}
void DrawAllScheinwerfer() {}
