#include "services/piclists.h"

#include "base/debuglog.h"
#include "config/config.h"

PiclistEntry BusPiclist[kMaxPiclistEntries];
PiclistEntry SBahnPiclist[kMaxPiclistEntries];
PiclistEntry LKWPiclist[kMaxPiclistEntries];
int BusPiclistCount = 0;
int SBahnPiclistCount = 0;
int LKWPiclistCount = 0;

namespace {

// The longest path a line may carry once its blanks are trimmed.
constexpr size_t kMaxPathChars = kPiclistEntryLen - 1;
constexpr char kTempSuffix[] = ".neu";

struct Piclist {
    PiclistEntry *entries;
    int *count;
    const char *file;  // one of the configured paths
    const char *readWords;
    const char *saveWords;
};

Piclist BusList() { return {BusPiclist, &BusPiclistCount, BusPics, "BusPiclist lesen", "BusPiclist speichern"}; }
Piclist SBahnList()
{
    return {SBahnPiclist, &SBahnPiclistCount, BahnPics, "SBahnPiclist lesen", "SBahnPiclist speichern"};
}
Piclist LKWList() { return {LKWPiclist, &LKWPiclistCount, LKWPics, "LKWPiclist lesen", "LKWPiclist speichern"}; }

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

enum LineResult { kLineEnd, kLineLast, kNoLine };

// Reads one line with its blanks trimmed at both ends into line. A line
// whose trimmed text does not fit is flagged as too long and read to its end,
// so that its tail never becomes an entry of its own.
LineResult ReadTrimmedLine(FILE *file, char (&line)[kPiclistEntryLen], bool *comment, bool *tooLong)
{
    size_t len = 0;
    bool first = true;
    int c = 0;
    *comment = false;
    *tooLong = false;
    while ((c = fgetc(file)) != EOF && c != '\n') {
        if (first && c == '#')
            *comment = true;
        first = false;
        if (len == 0 && IsBlank(c))
            continue;
        if (len < kMaxPathChars) {
            line[len++] = static_cast<char>(c);
        } else if (!IsBlank(c)) {
            // Blanks past a full line may still be trailing ones; anything
            // else makes the path longer than a slot.
            *tooLong = true;
        }
    }
    while (len > 0 && IsBlank(static_cast<unsigned char>(line[len - 1])))
        --len;
    line[len] = '\0';
    if (c == EOF)
        return (first && !ferror(file)) ? kNoLine : kLineLast;
    return kLineEnd;
}

int ReadList(const Piclist &list)
{
    WriteLog("%s", list.readWords);
    *list.count = 0;
    if (GetFileAttributesA(list.file) == INVALID_FILE_ATTRIBUTES) {
        WriteLog("+++ Datei nicht vorhanden");
        return 0;
    }
    HANDLE probe = CreateFileA(list.file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        WriteLog("+++ Datei gesperrt");
        return 0;
    }
    CloseHandle(probe);
    FILE *file = fopen(list.file, "rt");
    if (!file) {
        WriteLog("+++ Kann Datei nicht öffnen");
        return 0;
    }
    int count = 0;
    char line[kPiclistEntryLen];
    while (count < kMaxPiclistEntries) {
        bool comment = false;
        bool tooLong = false;
        LineResult result = ReadTrimmedLine(file, line, &comment, &tooLong);
        if (result == kNoLine)
            break;
        if (!comment && !tooLong && line[0] != '\0') {
            memset(list.entries[count], 0, kPiclistEntryLen);
            StrCopyN(list.entries[count], kPiclistEntryLen, line);
            ++count;
        }
        if (result == kLineLast || ferror(file))
            break;
    }
    fclose(file);
    *list.count = count;
    return count;
}

bool WriteAll(HANDLE file, const char *data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// The list goes to a file beside the old one, which it replaces only when
// written whole: a full disk or a lost write keeps the old list.
int SaveList(const Piclist &list)
{
    WriteLog("%s", list.saveWords);
    char temp[kPathLen];
    if (StrPrintfN(temp, sizeof(temp), "%s%s", list.file, kTempSuffix) >= static_cast<int>(sizeof(temp) - 1)) {
        WriteLog("+++ Kann Datei nicht öffnen");
        return 0;
    }
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        WriteLog("+++ Kann Datei nicht öffnen");
        return 0;
    }
    bool ok = true;
    int count = *list.count;
    for (int i = 0; ok && i < count && i < kMaxPiclistEntries; ++i) {
        char line[kPiclistEntryLen + 2];
        int len = StrPrintfN(line, sizeof(line), "%.*s\r\n", static_cast<int>(kMaxPathChars), list.entries[i]);
        ok = WriteAll(file, line, static_cast<DWORD>(len));
    }
    ok = CloseHandle(file) && ok;
    if (ok)
        ok = MoveFileExA(temp, list.file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        WriteLog("+++ %s nicht gespeichert: %lu", list.file, GetLastError());
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}

int DeleteEntry(const Piclist &list, int i)
{
    int count = *list.count;
    if (count <= 0 || i < 0)
        return 0;
    if (i < count - 1)
        memmove(list.entries[i], list.entries[i + 1], static_cast<size_t>(count - 1 - i) * kPiclistEntryLen);
    memset(list.entries[count - 1], 0, kPiclistEntryLen);
    *list.count = count - 1;
    return 1;
}

int InsertEntry(const Piclist &list, int i, const char *entry)
{
    int count = *list.count;
    if (count >= kMaxPiclistEntries || i < 0 || i > count || !entry)
        return 0;
    if (i < count)
        memmove(list.entries[i + 1], list.entries[i], static_cast<size_t>(count - i) * kPiclistEntryLen);
    memset(list.entries[i], 0, kPiclistEntryLen);
    StrCopyN(list.entries[i], kPiclistEntryLen, entry);
    *list.count = count + 1;
    return 1;
}

}  // namespace

int ReadBusPiclist() { return ReadList(BusList()); }
int ReadSBahnPiclist() { return ReadList(SBahnList()); }
int ReadLKWPiclist() { return ReadList(LKWList()); }

int SaveBusPiclist() { return SaveList(BusList()); }
int SaveSBahnPiclist() { return SaveList(SBahnList()); }
int SaveLKWPiclist() { return SaveList(LKWList()); }

int DelBusPiclistEntry(int i) { return DeleteEntry(BusList(), i); }
int DelSBahnPiclistEntry(int i) { return DeleteEntry(SBahnList(), i); }
int DelLKWPiclistEntry(int i) { return DeleteEntry(LKWList(), i); }

int InsBusPiclistEntry(int i, const char *entry) { return InsertEntry(BusList(), i, entry); }
int InsSBahnPiclistEntry(int i, const char *entry) { return InsertEntry(SBahnList(), i, entry); }
int InsLKWPiclistEntry(int i, const char *entry) { return InsertEntry(LKWList(), i, entry); }
