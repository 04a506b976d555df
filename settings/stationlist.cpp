#include "settings/stationlist.h"

#include "core/notenames.h"
#include "config/config.h"

#include <climits>

int CountryNumbers[kMaxCountries];
char StationCodes[kMaxStations][kStationCodeSize];

namespace {

const char kStationFile[] = "STATIONS.DAT";
constexpr size_t kShortestFolder = 4;
constexpr size_t kCodeLength = 4;
constexpr size_t kNameStart = 5;  // the code, one separator, then the place
constexpr size_t kHeadNameStart = 2;

// The next line that is not empty. CR, LF and CR LF each end a line, so a
// list from any system reads alike; a line longer than the buffer comes in
// pieces. False at the end of the file or at a read error.
bool NextLine(FILE *file, char (&line)[kStationLineMax + 1])
{
    size_t len = 0;
    for (;;) {
        int c = getc(file);
        if (c == EOF) {
            line[len] = '\0';
            return len > 0 && !ferror(file);
        }
        if (c == '\r' || c == '\n') {
            if (len == 0)
                continue;
            line[len] = '\0';
            return true;
        }
        line[len++] = static_cast<char>(c);
        if (len == kStationLineMax) {
            line[len] = '\0';
            return true;
        }
    }
}

bool IsHead(const char *line) { return strstr(line, "~~") != nullptr; }

// The head's name: from its third character to the first "|" or the end.
void HeadName(const char *line, char *out, size_t outSize)
{
    const char *start = strlen(line) >= kHeadNameStart ? line + kHeadNameStart : line + strlen(line);
    const char *bar = strchr(start, '|');
    size_t len = bar ? static_cast<size_t>(bar - start) : strlen(start);
    if (len >= outSize)
        len = outSize - 1;
    memcpy(out, start, len);
    out[len] = '\0';
}

// The number after the head's "|"; 0 without one or without digits.
int HeadNumber(const char *line)
{
    const char *start = strlen(line) >= kHeadNameStart ? line + kHeadNameStart : line + strlen(line);
    const char *bar = strchr(start, '|');
    if (!bar)
        return 0;
    long value = strtol(bar + 1, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

FILE *OpenStationFile()
{
    char path[kPathLen];
    StationFilePath(path, sizeof(path));
    DWORD attr = GetFileAttributesA(path);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    return fopen(path, "rb");
}

void AddText(HWND combo, const char *text)
{
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

void StationFilePath(char *out, size_t outSize)
{
    const char *folder = strlen(HLPpath) < kShortestFolder ? "C:\\" : HLPpath;
    if (!JoinFolderPath(folder, kStationFile, out, outSize))
        JoinFolderPath("C:\\", kStationFile, out, outSize);
}

int ReadStationCountries(HWND combo)
{
    memset(StationCodes, 0, sizeof(StationCodes));
    FILE *file = OpenStationFile();
    if (!file)
        return 0;
    int count = 0;
    char line[kStationLineMax + 1];
    while (count < kMaxCountries && NextLine(file, line)) {
        if (!IsHead(line))
            continue;
        char name[kStationLineMax + 1];
        HeadName(line, name, sizeof(name));
        AddText(combo, name);
        CountryNumbers[count++] = HeadNumber(line);
    }
    fclose(file);
    return count;
}

int ReadStations(HWND combo, const char *country)
{
    FILE *file = OpenStationFile();
    if (!file)
        return 0;
    char line[kStationLineMax + 1];
    bool found = false;
    while (!found && NextLine(file, line)) {
        if (!IsHead(line))
            continue;
        char name[kStationLineMax + 1];
        HeadName(line, name, sizeof(name));
        found = _stricmp(name, country) == 0;
    }
    int count = 0;
    while (found && count < kMaxStations && NextLine(file, line)) {
        if (IsHead(line))
            break;
        size_t len = strlen(line);
        size_t codeLen = len < kCodeLength ? len : kCodeLength;
        memcpy(StationCodes[count], line, codeLen);
        StationCodes[count][codeLen] = '\0';
        AddText(combo, len > kNameStart ? line + kNameStart : "");
        ++count;
    }
    fclose(file);
    return count;
}
