// The one table of the screensaver's stored settings: for every value its
// registry name, kind, storage, count, default, bounds and fallback. The
// defaults, the reading with its clamps, the writing and the settings lines
// of the log all walk it, so a setting is spelled out once.
#pragma once

#include "base/common.h"

enum class SettingKind { Number, List, Text };

// Which reader fills a row and from which key.
enum class SettingGroup {
    Start,    // ReadSettings, main key
    Display,  // ReadDisplayMode, main key
    Proxy,    // ReadProxySettings, main key
    Notes,    // ReadMSGSettings, notes key
};

// Row flags.
constexpr unsigned kSettingWritten = 1;     // written by the group's writer
constexpr unsigned kSettingBlankWhenEmpty = 2;  // a (nearly) empty text is written as " "

// A number below lo becomes below, one above hi becomes above: a clamp when
// they equal lo and hi, a fallback when both are the default.
struct SettingBounds {
    int lo, hi, below, above;
};

struct SettingRow {
    const char *name;
    SettingKind kind;
    SettingGroup group;
    unsigned flags;
    void *storage;                // int, int[count] or char[count]
    int count;                    // list length or text buffer size; 1 for a number
    const int *defaults;          // count numbers (null: all 0)
    const char *text;             // default of a text
    const SettingBounds *bounds;  // count bounds (null: any value)
    size_t minLength;             // a shorter text is taken as unset: the default
};

extern const SettingRow kSettingRows[];
extern const size_t kSettingRowCount;

// The row of a registry name, null when there is none.
const SettingRow *FindSetting(const char *name);

// The default of a number or a list element; 0 for a name without a row.
int SettingDefault(const char *name, int index = 0);

// A number as the row's bounds take it (element index of a list).
int BoundSetting(const SettingRow &row, int index, int value);

// Defaults of a group's rows; reading (clamped, absent values keep their
// default) and writing of a group's rows with an open key.
void ApplySettingDefaults(SettingGroup group);
void ReadSettingRows(HKEY key, SettingGroup group);
void WriteSettingRows(HKEY key, SettingGroup group);

// The settings lines of the debug log's start report, each handed to line.
void ReportSettingRows(void (*line)(const char *text));
// The end of the debug log's start block: the display mode asked for and the
// settings lines (OpenDebugLog's report).
void LogSettingsReport();
