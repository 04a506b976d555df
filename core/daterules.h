// The calendar's pure rules: day phase and season from the four DayNight
// numbers, day of the year, leap years and Easter Sunday.
#pragma once

enum TimesOfDay : int { kDay = 1, kDusk = 2, kNight = 3 };
enum Seasons : int { kSummer = 1, kWinter = 2 };

// Over the four DayNight numbers (morning hour, evening hour, first winter
// month, winter span).
int SeasonForMonth(int month, const int dayNight[4]);
int TimeOfDayForHour(int hour, const int dayNight[4]);

// Years of two digits count as 19xx or 20xx (below 39: 20xx).
int GetDayOfYear(int day, int month, int year);
int IsLeapYear(int year);
// Day of the year of Easter Sunday; month and day through the outputs.
int GetEasterSunday(int year, int *month, int *day);
