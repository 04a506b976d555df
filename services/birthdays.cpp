#include "services/birthdays.h"

#include "base/debuglog.h"
#include "config/lngtext.h"
#include "base/now.h"
#include "base/winutil.h"
#include "core/daterules.h"
#include "config/config.h"

GeburtstagRecord Geburtstage[kMaxGeburtstage];
int GeburtstagCount = 0;
char BirthdayTexts[kMaxBirthdayTexts][kGeburtstagTextSize];

namespace {

constexpr int kLastMonth = 12, kLastDay = 31;

// Reads the file record by record, each zeroed first so that a short last
// record is filled with zeros, never with its predecessor's bytes. take
// returns false to stop.
template <typename Take>
void ReadRecords(Take take)
{
    FILE *file = fopen(TarvoDat, "rb");
    if (!file)
        return;
    unsigned char bytes[kGeburtstagRecordSize];
    for (;;) {
        memset(bytes, 0, sizeof(bytes));
        if (fread(bytes, 1, sizeof(bytes), file) == 0)
            break;
        GeburtstagRecord record;
        DecodeGeburtstag(bytes, &record);
        if (!take(record))
            break;
    }
    fclose(file);
}

bool WriteRecords(HANDLE file, void *)
{
    unsigned char bytes[kGeburtstagRecordSize];
    for (int i = 0; i < GeburtstagCount; ++i) {
        if (Geburtstage[i].Name[0] == '\0')
            continue;
        EncodeGeburtstag(Geburtstage[i], bytes);
        if (!WriteAll(file, bytes, sizeof(bytes)))
            return false;
    }
    return true;
}

}  // namespace

void LoadGeburtstage()
{
    GeburtstagCount = 0;
    ReadRecords([](const GeburtstagRecord &record) {
        Geburtstage[GeburtstagCount++] = record;
        return GeburtstagCount < kMaxGeburtstage;
    });
}

bool SaveGeburtstage(HWND owner)
{
    SortGeburtstage(Geburtstage, GeburtstagCount, TarvoName != 0);
    // A write that stops halfway keeps the old list whole.
    bool ok = ReplaceFileWhole(TarvoDat, WriteRecords, nullptr);
    if (!ok) {
        WriteLog("+++ %s nicht gespeichert: %lu", TarvoDat, GetLastError());
        MessageBoxA(owner, GetLngText("ERR", "SAVEGTAG", "Kann Geburtstags-Datei nicht speichern"), "",
                    MB_OK | MB_ICONERROR);
    }
    return ok;
}

int HeuteGeburtstag()
{
    SYSTEMTIME now;
    NowLocal(&now);
    const int today = GetDayOfYear(now.wDay, now.wMonth, now.wYear);
    const int yearDays = GetDayOfYear(kLastDay, kLastMonth, now.wYear);
    int count = 0;
    WriteLog("HeuteGeburtstag()");
    ReadRecords([&](const GeburtstagRecord &record) {
        int birthday = GetDayOfYear(record.Day, record.Month, now.wYear);
        if (ReminderDue(birthday, ReminderLead(record.Reminder), today, yearDays) && count < kMaxBirthdayTexts) {
            const char *text = record.Text[0] ? record.Text : record.Name;
            StrCopy(BirthdayTexts[count++], text);
        }
        return true;
    });
    WriteLog("%d Geburtstag(e)", count);
    return count;
}
