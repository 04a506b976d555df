// The bus (object 70): brought by the timetable or key B, it pulls in at the
// stop, lets passengers out, takes the waiting ones on and drives off.
#pragma once

constexpr int kBusSlots = 6;
// The figures riding in the bus, one a passenger window: slots 1 to 6, 0 for
// an empty one (slot 0 is not used).
extern int BusPassengerList[kBusSlots + 1];

// Sets `BusOnStage` and asks the loader for the bus; 0 when the bus is on stage
// already or the loader refused (the flag is clear again then).
int RequestBus();
// Every unload of the bus, a failed load among them: the bus is off stage,
// not halted, and its riders may be chosen as pedestrians again.
void BusUnloaded();
// The livery of this visit: -1 the user's picture, else 0 to 2.
int BusLivery();

void Figur070Script();
void ResetFigur070();
