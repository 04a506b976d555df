// Birthday records from their bytes, the reminder window and the sort.
#include "core/birthdayrecords.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(BirthdayRecords, BytesRoundTripAndFieldsWithoutTerminatorsAreCut)
{
    unsigned char bytes[kGeburtstagRecordSize];
    memset(bytes, 'A', sizeof(bytes));  // no terminator anywhere
    bytes[0] = 0x78; bytes[1] = 0x56; bytes[2] = 0x34; bytes[3] = 0x12;
    bytes[4] = 0xEA; bytes[5] = 0x07;
    bytes[6] = 2; bytes[7] = 0;
    bytes[8] = 29; bytes[9] = 0;
    bytes[10] = 9; bytes[11] = 0;
    GeburtstagRecord r;
    DecodeGeburtstag(bytes, &r);
    EXPECT_EQ(r.SortKey, 0x12345678u);
    EXPECT_EQ(r.Year, 2026);
    EXPECT_EQ(r.Month, 2);
    EXPECT_EQ(r.Day, 29);
    EXPECT_EQ(r.Reminder, 9);
    EXPECT_EQ(strlen(r.Name), 31u);
    EXPECT_EQ(strlen(r.Text), 79u);

    memset(&r, 0, sizeof(r));
    r.SortKey = 20260105;
    r.Month = 1;
    r.Day = 5;
    r.Reminder = 6;
    memcpy(r.Name, "Anna", 5);
    unsigned char out[kGeburtstagRecordSize];
    EncodeGeburtstag(r, out);
    EXPECT_EQ(out[12], 'A');
    EXPECT_EQ(out[16], 0);
    EXPECT_EQ(out[44], 0);
    GeburtstagRecord back;
    DecodeGeburtstag(out, &back);
    EXPECT_EQ(back.SortKey, r.SortKey);
    EXPECT_EQ(back.Reminder, 6);
    EXPECT_STREQ(back.Name, "Anna");
}

TEST(BirthdayRecords, ReminderWindow)
{
    // Lead by code; 0 and damaged codes never remind.
    const int leads[] = {-1, 0, 1, 2, 3, 7, 14, -1, -1};
    for (int code = 0; code <= 8; ++code)
        EXPECT_EQ(ReminderLead(code), leads[code]) << code;
    EXPECT_EQ(ReminderLead(65535), -1);

    struct {
        int birthday, lead, today, yearDays;
        bool due;
    } cases[] = {
        // 5 January, 14 days: from 22 December (day 356 of 365, 357 of 366).
        {5, 14, 355, 365, false}, {5, 14, 356, 365, true}, {5, 14, 365, 365, true},
        {5, 14, 1, 365, true},    {5, 14, 5, 365, true},   {5, 14, 6, 365, false},
        {5, 14, 356, 366, false}, {5, 14, 357, 366, true}, {5, 14, 366, 366, true},
        // On the day only.
        {100, 0, 99, 365, false}, {100, 0, 100, 365, true}, {100, 0, 101, 365, false},
        // Code 0.
        {100, -1, 100, 365, false},
        // A window that ends on 1 January.
        {1, 7, 359, 365, true}, {1, 7, 358, 365, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReminderDue(c.birthday, c.lead, c.today, c.yearDays), c.due)
            << c.birthday << " " << c.lead << " " << c.today << " " << c.yearDays;
}

TEST(BirthdayRecords, SortsByNameOrKeyKeepingEqualOrder)
{
    GeburtstagRecord r[4] = {};
    const char *names[] = {"bert", "Anna", "Carl", "Anna"};
    const uint32_t keys[] = {3, 4, 1, 2};
    for (int i = 0; i < 4; ++i) {
        memcpy(r[i].Name, names[i], strlen(names[i]) + 1);
        r[i].SortKey = keys[i];
    }
    SortGeburtstage(r, 4, true);
    const uint32_t byName[] = {4, 2, 1, 3};  // "Anna"(4), "Anna"(2), "Carl", "bert"
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(r[i].SortKey, byName[i]);
    SortGeburtstage(r, 4, false);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(r[i].SortKey, static_cast<uint32_t>(i + 1));
}

}  // namespace
