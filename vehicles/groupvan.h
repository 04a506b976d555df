// The vehicle that brings a group (object 71): it pulls in at the stop when
// the street is free, opens its door for figure 61 and drives off again.
#pragma once

void Figur071Script();
void ResetFigur071();
