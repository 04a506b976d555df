// What every page of the settings sheet shares: language texts copied at once,
// formats from the language file checked before use, pictures drawn through
// the page's device context, the refresh timer, and the common notifications.
#pragma once

#include "base/common.h"

// Private messages of the sheet and its pages.
constexpr UINT WM_PAGEREBUILD = WM_APP + 1001;
constexpr UINT WM_PAGEREFRESH_HAUS = WM_APP + 1002;
constexpr UINT WM_PAGEREFRESH_BUS = WM_APP + 1003;
constexpr UINT WM_PAGEREFRESH_SBAHN = WM_APP + 1004;
constexpr UINT WM_PAGEREFRESH_LKW = WM_APP + 1005;
constexpr UINT WM_PAGEREFRESH_WEATHER = WM_APP + 1010;
constexpr UINT WM_PAGEREFRESH_MAIL = WM_APP + 1011;
constexpr UINT WM_PAGEREFRESH_MUSIC = WM_APP + 1012;
constexpr UINT WM_PAGEREFRESH_SOUND = WM_APP + 1013;
constexpr UINT WM_PAGEREFRESH_TARVO_PICTURE = WM_APP + 1014;
constexpr UINT WM_PAGEREFRESH_TARVO_SHOW = WM_APP + 1015;
constexpr UINT WM_PAGEREFRESH_TARVO_SORT = WM_APP + 1016;
constexpr UINT WM_PAGEREFRESH_INTERAKTION = WM_APP + 1017;
constexpr UINT WM_PAGEREFRESH_SPRECHBLASEN = WM_APP + 1018;

// Timer of the pages whose pictures change: a burst of paints gives one redraw.
constexpr UINT_PTR kRefreshTimer = 102;
constexpr UINT kRefreshDelayMs = 50;

// Texts a label may have; the language file may say more, which is cut.
constexpr size_t kLabelLen = 256;

// Copies the language text (German default when missing or empty) into out.
void LngCopy(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault);

// What a format from the language file must convert: one int or one string.
enum class FormatArg { Int, String };

// True when fmt has exactly one conversion and it takes what arg says
// ("%%" aside; flags, width and precision digits allowed, no '*', no 'n').
bool FormatTakes(const char *fmt, FormatArg arg);

// The language format filled with one number or one string. A format that
// would convert anything else is replaced by the German default. Bounded.
void LngFormatInt(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault,
                  int value);
void LngFormatString(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault,
                     const char *value);

// Sets a control's text from the language file.
void SetLngText(HWND page, int id, const char *section, const char *key, const char *germanDefault);

// Loads the picture resource and draws it with its key colour transparent at
// the top-left of the anchor control, through dc (a device context of the
// page). Returns the picture's rectangle in page coordinates (empty when the
// picture is missing), so that a picture larger than its anchor shows whole.
RECT DrawPagePicture(HWND page, HDC dc, int anchorId, const char *name);

// Draws a bitmap of the caller's in the same way; an empty rectangle when
// there is none.
RECT DrawPageBitmap(HWND page, HDC dc, int anchorId, HBITMAP bitmap);

// Size of a picture resource; false when it is missing.
bool PagePictureSize(const char *name, SIZE *size);

// The page's picture resource as a bitmap to keep (for bitmap buttons);
// realises PreviewPalette on a palette display.
HBITMAP LoadPageBitmap(const char *name);

// Arms the refresh timer from a paint; the page's timer handler calls
// RefreshTimerFired and then redraws.
void ArmRefresh(HWND page);
bool RefreshTimerFired(HWND page, WPARAM timerId);

// The paint and timer messages of a page whose pictures change: a paint only
// arms the timer, and when it fires the page is sent refreshMessage. True
// when message was one of them.
bool HandleDeferredPaint(HWND page, UINT message, WPARAM wParam, UINT refreshMessage,
                         UINT_PTR timerId = kRefreshTimer);

// The system's file dialog; tests put a stand-in here that fills the buffer
// as the dialog would, since a test cannot drive the dialog itself.
extern BOOL(WINAPI *OpenFileDialog)(OPENFILENAMEA *ofn);
extern BOOL(WINAPI *SaveFileDialog)(OPENFILENAMEA *ofn);
extern BOOL(WINAPI *FontDialog)(CHOOSEFONTA *choice);

// The font dialog owned by page, started from font, for ANSI fonts of
// minPoints to maxPoints. Printer fonts are offered only with the default
// printer's context; without a printer, screen fonts alone. True at OK.
bool ChooseFontFor(HWND page, LOGFONTA *font, DWORD extraFlags, int minPoints, int maxPoints);

// Walks the result of a multiple-selection file dialog: one full path, or a
// folder followed by names (each ended by a zero, the list by two). Returns
// the next full path in out and moves *cursor on; false at the end. A path
// that would not fit is skipped.
bool NextChosenFile(const char *buffer, const char **cursor, char *out, size_t outSize);

// A box owned by page with the text of [ERR] key (German default) under the
// caption "FEHLER!".
void ShowErrorBox(HWND page, const char *key, const char *germanDefault);

// True when path fits the registry whole (255 characters); otherwise tells
// the user, with a box owned by page, that it is too long to be stored.
bool PathStorable(HWND page, const char *path);

// Enables the sheet's Apply button; only user edits call it.
void MarkChanged(HWND page);

// Sets a trackbar's range, page size and position without a notification.
void SetupTrackbar(HWND page, int id, int low, int high, int pageSize, int pos);
int TrackbarPos(HWND page, int id);

// The notifications every page answers alike: help on a control and the
// sheet's Help button, leaving the page and Cancel. Returns true when handled
// (the result is then in *result).
bool HandleCommonPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, int helpTopic, INT_PTR *result);

// Paints a page with one fixed picture at its anchor.
void PaintPagePicture(HWND page, int anchorId, const char *name);

// What a page does when it is shown and at Apply.
struct PageHandlers {
    void (*activate)(HWND page);
    void (*apply)(HWND page);
};
// Runs PSN_SETACTIVE (the page is accepted) and PSN_APPLY (never refused)
// through the page's handlers; FALSE for other notifications.
INT_PTR OnPageNotify(HWND page, LPARAM lParam, const PageHandlers &handlers);

// A page as the kit runs it: its row of the page table, what it does when
// built, at a command, at its own notifications (true when it took one; may
// be null) and when its pictures are due (none without a refresh message).
struct PageKind {
    int row;
    void (*init)(HWND page);
    void (*command)(HWND page, int id, int code);
    PageHandlers handlers;
    bool (*notify)(HWND page, LPARAM lParam);
    UINT refreshMessage;  // 0: the page paints the usual way
    void (*refresh)(HWND page);
    UINT_PTR timerId = kRefreshTimer;
};
// The messages every such page answers alike: the common ones, the deferred
// paint, building, commands, Activate and Apply, the refresh. What the page
// answers itself it takes before; FALSE for anything else.
INT_PTR RunPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const PageKind &kind);

// Ends a notification with its result in the page's message-result slot.
INT_PTR PageResult(HWND page, LONG_PTR result);

// Apply is never refused: the sheet must see PSNRET_NOERROR.
INT_PTR ApplyDone(HWND page);
