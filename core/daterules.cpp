#include "core/daterules.h"

namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Years written with two digits: below 39 they are this century's.
int FullYear(int year)
{
    if (year < 39)
        return 2000 + year;
    if (year < 1900)
        return 1900 + year;
    return year;
}

}  // namespace

int SeasonForMonth(int month, const int dayNight[4])
{
    int first = dayNight[2];
    int last = (first + dayNight[3]) % 12;
    if (last == 0)
        last = 12;
    bool winter = (last >= first) ? (month >= first && month <= last) : (month >= first || month <= last);
    return winter ? kWinter : kSummer;
}

int TimeOfDayForHour(int hour, const int dayNight[4])
{
    int morning = dayNight[0];
    int evening = dayNight[1];
    if (hour < morning - 1 || hour > evening)
        return kNight;
    if (hour == morning - 1 || hour == evening)
        return kDusk;
    return kDay;
}

int GetDayOfYear(int day, int month, int year)
{
    if (month < 1 || month > 12)
        return day;
    int result = day + kDaysBeforeMonth[month - 1];
    if (month >= 3 && IsLeapYear(FullYear(year)))
        ++result;
    return result;
}

int IsLeapYear(int year)
{
    if (year % 400 == 0)
        return 1;
    if (year % 100 == 0)
        return 0;
    return year % 4 == 0 ? 1 : 0;
}

int GetEasterSunday(int year, int *month, int *day)
{
    // The anonymous Gregorian computus (Meeus/Jones/Butcher).
    int y = FullYear(year);
    int a = y % 19;
    int b = y / 100;
    int c = y % 100;
    int d = b / 4;
    int e = b % 4;
    int f = (b + 8) / 25;
    int g = (b - f + 1) / 3;
    int h = (19 * a + b - d - g + 15) % 30;
    int i = c / 4;
    int k = c % 4;
    int l = (32 + 2 * e + 2 * i - h - k) % 7;
    int m = (a + 11 * h + 22 * l) / 451;
    *month = (h + l - 7 * m + 114) / 31;
    *day = ((h + l - 7 * m + 114) % 31) + 1;
    return GetDayOfYear(*day, *month, y);
}
