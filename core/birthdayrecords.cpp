#include "core/birthdayrecords.h"

#include <algorithm>
#include <cstring>

namespace {

// Reminder lead in days by code.
const int kReminderLeads[kMaxReminderCode + 1] = {-1, 0, 1, 2, 3, 7, 14};

enum Offsets : size_t {
    kOffKey = 0,
    kOffYear = 4,
    kOffMonth = 6,
    kOffDay = 8,
    kOffReminder = 10,
    kOffName = 12,
    kOffText = 44,
};

uint16_t Read16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Read32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void Write16(unsigned char *p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void Write32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Copies at most size - 1 bytes up to the first zero and terminates.
void CopyField(char *dst, size_t size, const unsigned char *src)
{
    size_t len = 0;
    while (len < size - 1 && src[len] != 0)
        ++len;
    memcpy(dst, src, len);
    dst[len] = '\0';
}

}  // namespace

void DecodeGeburtstag(const unsigned char bytes[kGeburtstagRecordSize], GeburtstagRecord *out)
{
    out->SortKey = Read32(bytes + kOffKey);
    out->Year = Read16(bytes + kOffYear);
    out->Month = Read16(bytes + kOffMonth);
    out->Day = Read16(bytes + kOffDay);
    out->Reminder = Read16(bytes + kOffReminder);
    CopyField(out->Name, sizeof(out->Name), bytes + kOffName);
    CopyField(out->Text, sizeof(out->Text), bytes + kOffText);
}

void EncodeGeburtstag(const GeburtstagRecord &record, unsigned char bytes[kGeburtstagRecordSize])
{
    memset(bytes, 0, kGeburtstagRecordSize);
    Write32(bytes + kOffKey, record.SortKey);
    Write16(bytes + kOffYear, record.Year);
    Write16(bytes + kOffMonth, record.Month);
    Write16(bytes + kOffDay, record.Day);
    Write16(bytes + kOffReminder, record.Reminder);
    memcpy(bytes + kOffName, record.Name, strnlen(record.Name, kGeburtstagNameSize - 1));
    memcpy(bytes + kOffText, record.Text, strnlen(record.Text, kGeburtstagTextSize - 1));
}

int ReminderLead(int code)
{
    if (code < 0 || code > kMaxReminderCode)
        return -1;
    return kReminderLeads[code];
}

bool ReminderDue(int birthday, int lead, int today, int yearDays)
{
    if (lead < 0)
        return false;
    int first = birthday - lead;
    if (first >= 1)
        return first <= today && today <= birthday;
    return today <= birthday || today >= first + yearDays;
}

void SortGeburtstage(GeburtstagRecord *records, int count, bool byName)
{
    if (count < 2)
        return;
    std::stable_sort(records, records + count, [byName](const GeburtstagRecord &a, const GeburtstagRecord &b) {
        if (byName)
            return strcmp(a.Name, b.Name) < 0;
        return a.SortKey < b.SortKey;
    });
}
