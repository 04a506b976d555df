// The records of the birthday list file: 124 bytes each, little-endian, back
// to back without a header. Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kGeburtstagRecordSize = 124;
constexpr size_t kGeburtstagNameSize = 32;
constexpr size_t kGeburtstagTextSize = 80;
constexpr int kMaxReminderCode = 6;

struct GeburtstagRecord {
    uint32_t SortKey;   // by date, set by the settings page
    uint16_t Year;      // written by the settings page, not used by the saver
    uint16_t Month;
    uint16_t Day;
    uint16_t Reminder;  // 0 none, 1..6 see ReminderLead
    char Name[kGeburtstagNameSize];  // always terminated in memory
    char Text[kGeburtstagTextSize];  // empty: the name is shown
};

// A record from its bytes; name and text are cut to leave room for the
// terminator, since files need not carry one.
void DecodeGeburtstag(const unsigned char bytes[kGeburtstagRecordSize], GeburtstagRecord *out);
void EncodeGeburtstag(const GeburtstagRecord &record, unsigned char bytes[kGeburtstagRecordSize]);

// Days before the birthday that the reminder starts, or -1 for no reminder
// (code 0, and any code above 6 from a damaged file).
int ReminderLead(int code);

// Whether a reminder is due today. birthday and today are days of this year,
// yearDays the number of days of this year; a window that starts before
// 1 January reaches back into the previous year.
bool ReminderDue(int birthday, int lead, int today, int yearDays);

// Sorts ascending and stably, by name (byte-wise) or by the sort key.
void SortGeburtstage(GeburtstagRecord *records, int count, bool byName);
