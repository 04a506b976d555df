// The lettering of the vehicles with the user's pictures, until its own code
// comes: the bus picture list reads as empty and every request is refused.
#pragma once

extern int BusPiclistCount;
// 1 when the lettering thread for vehicle id started.
int StartBeschriftung(int id);
// Tests answer the requests in its place (null: refused again).
void SetLetteringStandIn(int (*start)(int id));
