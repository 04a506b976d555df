// The scene's date and time, read from the clock: the day phase and season
// from the DayNight setting, and whether it is Easter or carnival time.
#pragma once

#include "base/common.h"
#include "core/daterules.h"

extern int Year, Month, Day, DayOfWeek, Hour, Minute, Second;
// Change only when a scene is built; read by every thread.
extern int TimeOfDay, Season;

// Reads the scene clock into the date globals; with flag also the season and
// the day phase, and logs them.
void UpdateTimeOfDay(int flag);
void GetDateTime(int *day, int *month, int *year, int *hour, int *minute, int *second, int *dayOfWeek);

int IsEasterTime();
int IsCarnivalTime();
