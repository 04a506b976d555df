// The scene's date and time, the day phase and season from the DayNight
// setting, and the calendar of Easter and carnival.
#pragma once

#include "common.h"

enum TimesOfDay : int { kDay = 1, kDusk = 2, kNight = 3 };
enum Seasons : int { kSummer = 1, kWinter = 2 };

extern int Year, Month, Day, DayOfWeek, Hour, Minute, Second;
// Change only when a scene is built; read by every thread.
extern int TimeOfDay, Season;

// Reads the scene clock into the date globals; with flag also the season and
// the day phase, and logs them.
void UpdateTimeOfDay(int flag);
void GetDateTime(int *day, int *month, int *year, int *hour, int *minute, int *second, int *dayOfWeek);

// Pure rules over the four DayNight numbers (morning hour, evening hour, first
// winter month, winter span).
int SeasonForMonth(int month, const int dayNight[4]);
int TimeOfDayForHour(int hour, const int dayNight[4]);

int GetDayOfYear(int day, int month, int year);
int IsLeapYear(int year);
// Day of the year of Easter Sunday; month and day through the outputs.
int GetEasterSunday(int year, int *month, int *day);
int IsEasterTime();
int IsCarnivalTime();
