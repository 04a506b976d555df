#include "config/settingstable.h"

#include "base/debuglog.h"
#include "base/registry.h"
#include "config/config.h"

#include <climits>

namespace {

constexpr SettingBounds Clamp(int lo, int hi) { return {lo, hi, lo, hi}; }
constexpr SettingBounds Fallback(int lo, int hi, int value) { return {lo, hi, value, value}; }
constexpr SettingBounds kAnyNumber = {INT_MIN, INT_MAX, INT_MIN, INT_MAX};

constexpr int kOne[] = {1};
constexpr int kTwo[] = {2};
constexpr int kThree[] = {3};
constexpr int kFive[] = {5};
constexpr int kSeven[] = {7};
constexpr int kTwenty[] = {20};
constexpr int kPort[] = {21};
constexpr int kFullVolume[] = {1000};
constexpr int kBubbleHeight[] = {-10};
constexpr int kBubbleWeight[] = {500};
constexpr int kBusMinutes[] = {4, 6, 12, 1};
constexpr int kDayNight[] = {8, 20, 12, 3};
constexpr int kWeather[] = {1, 60, 0, 0, 0, 0};

constexpr SettingBounds kExitBounds[] = {Fallback(0, 2, 1)};
constexpr SettingBounds kFigSpeedBounds[] = {Clamp(0, 10)};
constexpr SettingBounds kMinCarBounds[] = {Clamp(1, 40)};
// Above the slowest car it is also kept faster than the slowest (ReadSettings).
constexpr SettingBounds kMaxCarBounds[] = {{INT_MIN, 50, INT_MIN, 50}};
constexpr SettingBounds kSpeedBounds[] = {Fallback(0, 40, 20)};
constexpr SettingBounds kMaxFiguresBounds[] = {{3, 16, 3, 7}};
constexpr SettingBounds kVolumeBounds[] = {Clamp(0, 1000)};
constexpr SettingBounds kBubbleHeightBounds[] = {Fallback(-29, -6, -10)};
constexpr SettingBounds kBubbleWeightBounds[] = {Fallback(1, 998, 500)};
// Bus minutes by day, dusk and night; the tram choice.
constexpr SettingBounds kBusBounds[] = {Clamp(2, 30), Clamp(2, 30), Clamp(2, 30), Fallback(0, 3, 1)};
// Day from, night from, winter month, winter length.
constexpr SettingBounds kDayNightBounds[] = {{1, 12, 8, 12}, {13, 23, 19, 23}, Fallback(1, 12, 12), {1, 11, 3, 11}};

constexpr size_t kMinTextLength = 3;

constexpr unsigned W = kSettingWritten;
constexpr unsigned WB = kSettingWritten | kSettingBlankWhenEmpty;

using K = SettingKind;
using G = SettingGroup;

#define ROW_NUMBER(name, group, flags, defaults, bounds) \
    {#name, K::Number, G::group, flags, &name, 1, defaults, nullptr, bounds, 0}
#define ROW_LIST(name, group, flags, defaults, bounds) \
    {#name, K::List, G::group, flags, name, static_cast<int>(countof(name)), defaults, nullptr, bounds, 0}
#define ROW_TEXT(name, group, flags, text, minLength) \
    {#name, K::Text, G::group, flags, name, static_cast<int>(sizeof(name)), nullptr, text, nullptr, minLength}

}  // namespace

const SettingRow kSettingRows[] = {
    ROW_NUMBER(Language, Start, W, kOne, nullptr),
    ROW_TEXT(HLPpath, Start, 0, "", 0),
    ROW_NUMBER(CloseOnActivate, Start, W, nullptr, nullptr),
    ROW_NUMBER(Interactive, Start, W, kOne, nullptr),
    ROW_NUMBER(DebugOn, Start, 0, nullptr, nullptr),
    ROW_NUMBER(DebugMSG, Start, 0, nullptr, nullptr),
    ROW_TEXT(DebugFileName, Start, 0, "C:\\WYN03.LOG", 0),
    ROW_NUMBER(DebugTab, Start, 0, nullptr, nullptr),
    ROW_LIST(BusKommt, Start, W, kBusMinutes, kBusBounds),
    ROW_NUMBER(Uhr, Start, W, nullptr, nullptr),
    ROW_NUMBER(Pfloecke, Start, W, kOne, nullptr),
    ROW_NUMBER(EXIT, Start, W, kOne, kExitBounds),
    ROW_NUMBER(figSpeed, Start, W, kTwo, kFigSpeedBounds),
    ROW_NUMBER(minCarSpeed, Start, W, kThree, kMinCarBounds),
    ROW_NUMBER(maxCarSpeed, Start, W, kFive, kMaxCarBounds),
    ROW_NUMBER(Speed, Start, W, kTwenty, kSpeedBounds),
    ROW_NUMBER(MaxFigurenAktiv, Start, 0, kSeven, kMaxFiguresBounds),
    ROW_NUMBER(NoMailCheck, Start, W, kOne, nullptr),
    ROW_NUMBER(NoMemoryCheck, Start, 0, nullptr, nullptr),
    ROW_LIST(DayNight, Start, W, kDayNight, kDayNightBounds),
    ROW_NUMBER(Sound, Start, W, kOne, nullptr),
    ROW_LIST(SoundOpt, Start, W, nullptr, nullptr),
    ROW_LIST(Glocken, Start, W, nullptr, nullptr),
    ROW_LIST(Alarm, Start, W, nullptr, nullptr),
    ROW_NUMBER(Music, Start, W, nullptr, nullptr),
    ROW_NUMBER(MusikKommt, Start, W, nullptr, nullptr),
    ROW_TEXT(MP3file, Start, W, "", 0),
    ROW_NUMBER(MP3shuffle, Start, W, nullptr, nullptr),
    ROW_NUMBER(MP3volume, Start, W, kFullVolume, kVolumeBounds),
    ROW_NUMBER(SNDvolume, Start, W, kFullVolume, kVolumeBounds),
    ROW_NUMBER(MP3next, Start, 0, nullptr, nullptr),  // written alone by SaveMP3next
    ROW_TEXT(TarvoDat, Start, 0, "", 0),
    ROW_NUMBER(TarvoName, Start, 0, nullptr, nullptr),
    ROW_TEXT(Sprechblasen, Start, 0, "", 0),
    ROW_TEXT(SBFName, Start, W, "Arial", kMinTextLength),
    ROW_NUMBER(SBFHeight, Start, W, kBubbleHeight, kBubbleHeightBounds),
    ROW_NUMBER(SBFWeight, Start, W, kBubbleWeight, kBubbleWeightBounds),
    ROW_NUMBER(SBFItalic, Start, W, nullptr, nullptr),  // a byte: masked by ReadSettings
    ROW_TEXT(HausBeschrPics, Start, 0, "", 0),
    ROW_TEXT(BusPics, Start, WB, "", 0),
    ROW_TEXT(BahnPics, Start, WB, "", 0),
    ROW_TEXT(LKWPics, Start, WB, "", 0),
    ROW_LIST(Weather, Start, W, kWeather, nullptr),
    ROW_TEXT(METAR, Start, W, "", 0),
    ROW_TEXT(WeatherCountry, Start, W, "", 0),
    ROW_TEXT(WeatherStation, Start, W, "", 0),

    ROW_LIST(DisplayMode, Display, W, nullptr, nullptr),

    ROW_NUMBER(AccessType, Proxy, W, nullptr, nullptr),
    ROW_NUMBER(FTPPortNumber, Proxy, W, kPort, nullptr),
    ROW_TEXT(Proxy, Proxy, W, "", 0),
    ROW_TEXT(ProxyUser, Proxy, 0, "", 0),
    ROW_TEXT(ProxyPasswort, Proxy, 0, "", 0),

    {"Path", K::Text, G::Notes, 0, ZettlerPath, static_cast<int>(sizeof(ZettlerPath)), nullptr, "", nullptr, 0},
    ROW_TEXT(MSGPath, Notes, WB, "", 0),
    ROW_NUMBER(MSGdispWyn03, Notes, W, kOne, nullptr),
    ROW_NUMBER(MSGonWyn03, Notes, W, kOne, nullptr),
    ROW_NUMBER(MSGcheck, Notes, W, kOne, nullptr),
    ROW_NUMBER(MSGshowWyn03, Notes, W, nullptr, nullptr),
};
const size_t kSettingRowCount = countof(kSettingRows);

#undef ROW_NUMBER
#undef ROW_LIST
#undef ROW_TEXT

namespace {

int *Numbers(const SettingRow &row) { return static_cast<int *>(row.storage); }
char *Text(const SettingRow &row) { return static_cast<char *>(row.storage); }

int DefaultNumber(const SettingRow &row, int index) { return row.defaults ? row.defaults[index] : 0; }

void ApplyDefault(const SettingRow &row)
{
    if (row.kind == SettingKind::Text) {
        StrCopyN(Text(row), static_cast<size_t>(row.count), row.text);
        return;
    }
    for (int i = 0; i < row.count; ++i)
        Numbers(row)[i] = DefaultNumber(row, i);
}

void ReadRow(HKEY key, const SettingRow &row)
{
    switch (row.kind) {
    case SettingKind::Number:
        RegReadDword(key, row.name, Numbers(row));
        break;
    case SettingKind::List:
        RegReadList(key, row.name, Numbers(row), row.count);
        break;
    case SettingKind::Text:
        RegReadString(key, row.name, Text(row), static_cast<size_t>(row.count));
        if (strlen(Text(row)) < row.minLength)
            StrCopyN(Text(row), static_cast<size_t>(row.count), row.text);
        return;
    }
    for (int i = 0; i < row.count; ++i)
        Numbers(row)[i] = BoundSetting(row, i, Numbers(row)[i]);
}

void WriteRow(HKEY key, const SettingRow &row)
{
    switch (row.kind) {
    case SettingKind::Number:
        RegWriteDword(key, row.name, *Numbers(row));
        break;
    case SettingKind::List:
        RegWriteList(key, row.name, Numbers(row), row.count);
        break;
    case SettingKind::Text: {
        // A blank keeps the value present, so the next start fills in the default.
        bool blank = (row.flags & kSettingBlankWhenEmpty) && strlen(Text(row)) < 2;
        RegWriteString(key, row.name, blank ? " " : Text(row));
        break;
    }
    }
}

// Lines of the log's settings report: label, row, list element, how shown.
enum class Shown { Plain, PlusOne, PeriodFromSpeed, YesNo };
struct ReportLine {
    const char *label;
    const char *row;
    int index;
    Shown shown;
};
constexpr int kSlowestSpeedPeriod = 40;
const ReportLine kReportLines[] = {
    {"Timerintervall:     ", "Speed", 0, Shown::PeriodFromSpeed},
    {"figSpeed:           ", "figSpeed", 0, Shown::Plain},
    {"minCarSpeed:        ", "minCarSpeed", 0, Shown::Plain},
    {"maxCarSpeed:        ", "maxCarSpeed", 0, Shown::Plain},
    {"Tag ab:             ", "DayNight", 0, Shown::Plain},
    {"Nacht ab:           ", "DayNight", 1, Shown::PlusOne},
    {"Winter ab:          ", "DayNight", 2, Shown::Plain},
    {"Winterdauer:        ", "DayNight", 3, Shown::PlusOne},
    {"Sound:              ", "Sound", 0, Shown::YesNo},
    {"Musik:              ", "Music", 0, Shown::YesNo},
    {"Interaktiv:         ", "Interactive", 0, Shown::YesNo},
    {"Straßenbahn:        ", "BusKommt", 3, Shown::YesNo},
};

}  // namespace

const SettingRow *FindSetting(const char *name)
{
    for (const SettingRow &row : kSettingRows)
        if (strcmp(row.name, name) == 0)
            return &row;
    return nullptr;
}

int SettingDefault(const char *name, int index)
{
    const SettingRow *row = FindSetting(name);
    if (!row || row->kind == SettingKind::Text || index < 0 || index >= row->count)
        return 0;
    return DefaultNumber(*row, index);
}

int BoundSetting(const SettingRow &row, int index, int value)
{
    if (!row.bounds || index < 0 || index >= row.count)
        return value;
    const SettingBounds &b = row.bounds[index];
    if (value < b.lo)
        return b.below;
    if (value > b.hi)
        return b.above;
    return value;
}

void ApplySettingDefaults(SettingGroup group)
{
    for (const SettingRow &row : kSettingRows)
        if (row.group == group)
            ApplyDefault(row);
}

void ReadSettingRows(HKEY key, SettingGroup group)
{
    for (const SettingRow &row : kSettingRows)
        if (row.group == group)
            ReadRow(key, row);
}

void WriteSettingRows(HKEY key, SettingGroup group)
{
    for (const SettingRow &row : kSettingRows)
        if (row.group == group && (row.flags & kSettingWritten))
            WriteRow(key, row);
}

void ReportSettingRows(void (*line)(const char *text))
{
    for (const ReportLine &r : kReportLines) {
        const SettingRow *row = FindSetting(r.row);
        if (!row || row->kind == SettingKind::Text)
            continue;
        int value = Numbers(*row)[r.index];
        char text[64];
        switch (r.shown) {
        case Shown::Plain: StrPrintfN(text, sizeof(text), "%s%d", r.label, value); break;
        case Shown::PlusOne: StrPrintfN(text, sizeof(text), "%s%d", r.label, value + 1); break;
        case Shown::PeriodFromSpeed: StrPrintfN(text, sizeof(text), "%s%d", r.label, kSlowestSpeedPeriod - value); break;
        case Shown::YesNo: StrPrintfN(text, sizeof(text), "%s%s", r.label, value != 0 ? "J" : "N"); break;
        }
        line(text);
    }
}

namespace {

void LogReportLine(const char *text)
{
    char line[kLogTextMax + 8];
    StrPrintfN(line, sizeof(line), "%s\r\n", text);
    WriteLogRaw(line);
}

}  // namespace

void LogSettingsReport()
{
    const char *const labels[4] = {"dmPelsWidth:        ", "dmPelsHeight:       ", "dmBitsPerPel:       ",
                                   "dmDisplayFrequency: "};
    for (int i = 0; i < 4; ++i) {
        char text[64];
        StrPrintfN(text, sizeof(text), "%s%d", labels[i], DisplayMode[i]);
        LogReportLine(text);
    }
    ReportSettingRows(LogReportLine);
}
