#include "services/calendar.h"

#include "base/debuglog.h"
#include "base/now.h"
#include "config/config.h"

int Year, Month, Day, DayOfWeek, Hour, Minute, Second;
int TimeOfDay, Season;

namespace {

int TodayAndEaster(int *easter)
{
    int month = 0, day = 0;
    *easter = GetEasterSunday(Year, &month, &day);
    return GetDayOfYear(Day, Month, Year);
}

}  // namespace

void GetDateTime(int *day, int *month, int *year, int *hour, int *minute, int *second, int *dayOfWeek)
{
    SYSTEMTIME st;
    NowLocal(&st);
    *day = st.wDay;
    *month = st.wMonth;
    *year = st.wYear;
    *hour = st.wHour;
    *minute = st.wMinute;
    *second = st.wSecond;
    *dayOfWeek = st.wDayOfWeek;
}

void UpdateTimeOfDay(int flag)
{
    int day, month, year, hour, minute, second, dayOfWeek;
    GetDateTime(&day, &month, &year, &hour, &minute, &second, &dayOfWeek);
    Year = year;
    Month = month;
    Day = day;
    DayOfWeek = dayOfWeek;
    Hour = hour;
    Minute = minute;
    Second = second;
    if (!flag)
        return;
    Season = SeasonForMonth(Month, DayNight);
    TimeOfDay = TimeOfDayForHour(Hour, DayNight);
    static const char *const kPhaseNames[] = {"", "Tag", "Dämmerung", "Nacht"};
    WriteLog("%s, %s", Season == kWinter ? "Winter" : "Sommer", kPhaseNames[TimeOfDay]);
}

int IsEasterTime()
{
    int easter = 0;
    int today = TodayAndEaster(&easter);
    return (today >= easter - 7 && today <= easter + 1) ? 1 : 0;
}

int IsCarnivalTime()
{
    int easter = 0;
    int today = TodayAndEaster(&easter);
    int roseMonday = easter - 48;
    return (today >= roseMonday - 14 && today <= roseMonday + 1) ? 1 : 0;
}
