// The settings mode: the property sheet over the saver's settings, its page
// table, and the services the pages share while it is open.
#pragma once

#include "base/common.h"

// One row of the page table. A row without a procedure is a page that is not
// built yet; it stays out of the sheet.
struct SettingsPage {
    int templateId;
    DLGPROC proc;
    const char *tabKey;       // key in [TABS]
    const char *germanTitle;  // title when the language file has none
    int helpTopic;
};
constexpr int kSettingsPageRows = 18;
extern const SettingsPage kSettingsPages[kSettingsPageRows];

// Tab titles are cut to this many characters.
constexpr size_t kTabTitleMax = 39;

// Window of the running sheet (0 when none); the pages and tests use it.
extern HWND ConfigSheetWindow;
// Made on a palette display (PaletteDisplay of the start-up); pages realise it.
extern HPALETTE PreviewPalette;
// Temporary copy of the speech-text file that the pages work on.
extern char SpeechTextCopy[kPathLen];
extern char TempFolder[kPathLen];
// The language the pages were last built with.
extern int LanguageAtBuild;

// The comctl32 version the sheet runs on; tests replace it.
extern DWORD (*CommonControlsVersion)();

// 1 when the sheet ran, 0 when the settings mode could not start.
int DoConfigDialog(HWND owner);

// The settings mode needs comctl32 5.80 or newer.
bool CommonControlsRecentEnough(DWORD version);

// Number of pages in the sheet and the table row of a sheet index (-1 when none).
int SheetPageCount();
int SheetPageRow(int index);

// Asks the sheet to build all its pages again in the current language; runs
// once the page that asked has returned.
void RequestPageRebuild();
