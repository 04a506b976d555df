// The lettering of the bus, the tram and the two lettered lorries, made on
// the scene's extra-sheet worker: the lettered picture (services/lettering.h)
// with its mask goes to the vehicle's sheet slot 1.
#pragma once

#include "base/common.h"

constexpr int kLetteredSlot = 1;
constexpr int kTruckA = 81;
constexpr int kTruckB = 94;

// 1 when the worker started for the vehicle (70, 72, 81 or 94); 0 while an
// extra sheet or lettering is being made, when the object has no sheets or
// is not loaded.
int StartBeschriftung(int id);
// Tests of the vehicles answer the requests in the worker's place, so a
// lettering can be made to come late or never (null: the worker again).
void SetLetteringStandIn(int (*start)(int id));
DWORD WINAPI DoBeschriftung(LPVOID request);
