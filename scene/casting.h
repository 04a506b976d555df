// Who comes next: the street's casting of figures and vehicles by time of
// day, season, calendar, the figures on stage and the places of the people
// who live in the houses; and when the day phase is due to change.
#pragma once

// The id chosen last of each kind; the same id never comes twice in a row.
extern int LastPedestrian;
extern int LastVehicle;

// A street figure 1..69 that may come now, or 0.
int NextPedestrian();
// A vehicle 71..105 that may come now, or 0. The bus keeps its timetable
// and is never chosen here.
int NextVehicle();
// 1 when the local time lies in the window in which the current day phase
// ends.
int IsPhaseChangeTime();

// Whether the own rule of a figure or vehicle lets it come now (its time,
// calendar and the objects that must not be on stage with it).
bool PedestrianRuleHolds(int id);
bool VehicleRuleHolds(int id);
// Figure 33 may come while its first person is out, and while she is inside
// the house of door 2: her next door act brings her out of it again.
bool Figur033MayCome();
// How many vehicles may drive in one direction at once.
int VehicleLaneLimit();
