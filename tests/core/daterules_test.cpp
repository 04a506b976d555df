// The calendar's pure rules: seasons, Easter, days of the year.
#include <gtest/gtest.h>

#include "core/daterules.h"

namespace {

TEST(Calendar, WinterWindowIncludesFirstAndLastMonthAcrossTheYearEnd)
{
    struct { int first, span; const char *winter; } cases[] = {
        // One letter a month, January first: W winter, s summer.
        {12, 3, "WWWssssssssW"},  // December to March
        {10, 2, "sssssssssWWW"},  // October to December
        {11, 3, "WWssssssssWW"},  // November to February
        {1, 11, "WWWWWWWWWWWW"},  // all year
        {4, 1, "sssWWsssssss"},
    };
    for (auto c : cases) {
        int dayNight[4] = {8, 20, c.first, c.span};
        for (int month = 1; month <= 12; ++month) {
            int expected = c.winter[month - 1] == 'W' ? kWinter : kSummer;
            EXPECT_EQ(SeasonForMonth(month, dayNight), expected) << c.first << "+" << c.span << " month " << month;
        }
    }
}

// Gauss's Easter formula with its two exceptions: an independent check of
// the computus the calendar uses.
void GaussEaster(int year, int *month, int *day)
{
    int a = year % 19, b = year % 4, c = year % 7;
    int k = year / 100, p = (13 + 8 * k) / 25, q = k / 4;
    int m = (15 - p + k - q) % 30, n = (4 + k - q) % 7;
    int d = (19 * a + m) % 30, e = (2 * b + 4 * c + 6 * d + n) % 7;
    int march = 22 + d + e;
    if (d == 29 && e == 6) {
        *month = 4; *day = 19;
    } else if (d == 28 && e == 6 && (11 * m + 11) % 30 < 19) {
        *month = 4; *day = 18;
    } else if (march > 31) {
        *month = 4; *day = march - 31;
    } else {
        *month = 3; *day = march;
    }
}

TEST(Calendar, EasterSunday)
{
    struct { int year, month, day; } known[] = {
        {2005, 3, 27}, {2008, 3, 23}, {2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5}, {2038, 4, 25}, {1981, 4, 19},
        {1954, 4, 18}, {2285, 3, 22},
    };
    for (auto k : known) {
        int month = 0, day = 0;
        int doy = GetEasterSunday(k.year, &month, &day);
        EXPECT_EQ(month, k.month) << k.year;
        EXPECT_EQ(day, k.day) << k.year;
        EXPECT_EQ(doy, GetDayOfYear(k.day, k.month, k.year)) << k.year;
    }
    for (int year = 1900; year <= 2100; ++year) {
        int month = 0, day = 0, refMonth = 0, refDay = 0;
        GetEasterSunday(year, &month, &day);
        GaussEaster(year, &refMonth, &refDay);
        ASSERT_EQ(month * 100 + day, refMonth * 100 + refDay) << year;
    }
    // Two-digit years: 26 is 2026, 81 is 1981.
    int month = 0, day = 0;
    GetEasterSunday(26, &month, &day);
    EXPECT_EQ(month * 100 + day, 405);
    GetEasterSunday(81, &month, &day);
    EXPECT_EQ(month * 100 + day, 419);
}

TEST(Calendar, DayOfYearAndLeapYears)
{
    EXPECT_EQ(GetDayOfYear(1, 3, 2004), 61);
    EXPECT_EQ(GetDayOfYear(1, 3, 2005), 60);
    EXPECT_EQ(GetDayOfYear(31, 12, 4), 366);
    EXPECT_EQ(GetDayOfYear(1, 1, 2026), 1);
    EXPECT_EQ(GetDayOfYear(29, 2, 2000), 60);
    EXPECT_EQ(IsLeapYear(2000), 1);
    EXPECT_EQ(IsLeapYear(1900), 0);
    EXPECT_EQ(IsLeapYear(2100), 0);
    EXPECT_EQ(IsLeapYear(2024), 1);
    EXPECT_EQ(IsLeapYear(2026), 0);
}

}  // namespace
