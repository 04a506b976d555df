#include "settings/pagekit.h"

#include "base/saverstate.h"
#include "base/gdiutil.h"
#include "config/lngtext.h"
#include "base/registry.h"
#include "settings/configdialog.h"
#include "services/help.h"
#include "core/notenames.h"

#include "imagelib.h"

void LngCopy(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault)
{
    StrCopyN(out, outSize, GetLngText(section, key, germanDefault));
}

namespace {

// Length of the conversion at fmt ('%' first), or 0 when it is not one we
// pass on: flags, width and precision as digits, then one conversion letter.
size_t ConversionLength(const char *fmt, char *letter)
{
    size_t i = 1;
    while (fmt[i] && strchr("-+ #0", fmt[i]))
        ++i;
    while (fmt[i] >= '0' && fmt[i] <= '9')
        ++i;
    if (fmt[i] == '.') {
        ++i;
        while (fmt[i] >= '0' && fmt[i] <= '9')
            ++i;
    }
    if (!fmt[i])
        return 0;
    *letter = fmt[i];
    return i + 1;
}

}  // namespace

bool FormatTakes(const char *fmt, FormatArg arg)
{
    int conversions = 0;
    for (size_t i = 0; fmt[i]; ++i) {
        if (fmt[i] != '%')
            continue;
        if (fmt[i + 1] == '%') {
            ++i;
            continue;
        }
        char letter = 0;
        size_t len = ConversionLength(fmt + i, &letter);
        if (len == 0)
            return false;
        bool fits = (arg == FormatArg::Int) ? (letter == 'd' || letter == 'i') : (letter == 's');
        if (!fits)
            return false;
        ++conversions;
        i += len - 1;
    }
    return conversions == 1;
}

namespace {

// The format from the language file when it fits the argument, else the
// German one. Copied, so that reading the argument's text cannot overwrite it.
void CheckedFormat(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault,
                   FormatArg arg)
{
    LngCopy(out, outSize, section, key, germanDefault);
    if (!FormatTakes(out, arg))
        StrCopyN(out, outSize, germanDefault);
}

}  // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
void LngFormatInt(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault,
                  int value)
{
    char fmt[kLabelLen];
    CheckedFormat(fmt, sizeof(fmt), section, key, germanDefault, FormatArg::Int);
    snprintf(out, outSize, fmt, value);
}

void LngFormatString(char *out, size_t outSize, const char *section, const char *key, const char *germanDefault,
                     const char *value)
{
    char fmt[kLabelLen];
    CheckedFormat(fmt, sizeof(fmt), section, key, germanDefault, FormatArg::String);
    snprintf(out, outSize, fmt, value);
}
#pragma GCC diagnostic pop

void SetLngText(HWND page, int id, const char *section, const char *key, const char *germanDefault)
{
    char text[kLngTextMax + 1];
    LngCopy(text, sizeof(text), section, key, germanDefault);
    SetDlgItemTextA(page, id, text);
}

namespace {

void RealisePreviewPalette(HDC dc)
{
    if (PaletteDisplay && PreviewPalette) {
        SelectPalette(dc, PreviewPalette, FALSE);
        RealizePalette(dc);
    }
}

}  // namespace

HBITMAP LoadPageBitmap(const char *name)
{
    HPALETTE palette = PreviewPalette;
    return LoadResourceBitmap(AppInstance, name, PaletteDisplay, &palette, kLoadScene);
}

bool PagePictureSize(const char *name, SIZE *size)
{
    HBITMAP bitmap = LoadPageBitmap(name);
    if (!bitmap)
        return false;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    size->cx = info.bmWidth;
    size->cy = info.bmHeight;
    DeleteTrackedBitmap(&bitmap);
    return true;
}

RECT DrawPageBitmap(HWND page, HDC dc, int anchorId, HBITMAP bitmap)
{
    RECT where = {};
    HWND anchor = GetDlgItem(page, anchorId);
    if (!anchor || !bitmap)
        return where;
    GetWindowRect(anchor, &where);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&where), 2);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    DrawTransparentBitmap(dc, bitmap, where.left, where.top, kKeyColour);
    RealisePreviewPalette(dc);
    where.right = where.left + info.bmWidth;
    where.bottom = where.top + info.bmHeight;
    return where;
}

RECT DrawPagePicture(HWND page, HDC dc, int anchorId, const char *name)
{
    HBITMAP bitmap = GetDlgItem(page, anchorId) ? LoadPageBitmap(name) : nullptr;
    if (!bitmap)
        return RECT{};
    RECT where = DrawPageBitmap(page, dc, anchorId, bitmap);
    DeleteTrackedBitmap(&bitmap);
    return where;
}

void ArmRefresh(HWND page)
{
    SetTimer(page, kRefreshTimer, kRefreshDelayMs, nullptr);
}

bool RefreshTimerFired(HWND page, WPARAM timerId)
{
    if (timerId != kRefreshTimer)
        return false;
    KillTimer(page, kRefreshTimer);
    return true;
}

bool HandleDeferredPaint(HWND page, UINT message, WPARAM wParam, UINT refreshMessage, UINT_PTR timerId)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(page, &ps);
        EndPaint(page, &ps);
        SetTimer(page, timerId, kRefreshDelayMs, nullptr);
        return true;
    }
    if (message == WM_TIMER && wParam == timerId) {
        KillTimer(page, timerId);
        SendMessageA(page, refreshMessage, 0, 0);
        return true;
    }
    return false;
}

BOOL(WINAPI *OpenFileDialog)(OPENFILENAMEA *ofn) = GetOpenFileNameA;
BOOL(WINAPI *SaveFileDialog)(OPENFILENAMEA *ofn) = GetSaveFileNameA;
BOOL(WINAPI *FontDialog)(CHOOSEFONTA *choice) = ChooseFontA;

namespace {

// The information context of the default printer, null without one. The
// profile's "device" line is "name,driver,port".
HDC DefaultPrinterContext()
{
    char device[kPathLen] = {};
    GetProfileStringA("windows", "device", "", device, sizeof(device));
    char *comma = strchr(device, ',');
    if (comma)
        *comma = '\0';
    return device[0] ? CreateICA("WINSPOOL", device, nullptr, nullptr) : nullptr;
}

}  // namespace

bool ChooseFontFor(HWND page, LOGFONTA *font, DWORD extraFlags, int minPoints, int maxPoints)
{
    HDC printer = DefaultPrinterContext();
    CHOOSEFONTA choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = page;
    choice.hDC = printer;
    choice.lpLogFont = font;
    choice.Flags = CF_SCREENFONTS | CF_ANSIONLY | CF_LIMITSIZE | CF_INITTOLOGFONTSTRUCT | extraFlags |
                   (printer ? CF_PRINTERFONTS : 0);
    choice.nSizeMin = minPoints;
    choice.nSizeMax = maxPoints;
    BOOL chosen = FontDialog(&choice);
    if (printer)
        DeleteDC(printer);
    return chosen != FALSE;
}

bool NextChosenFile(const char *buffer, const char **cursor, char *out, size_t outSize)
{
    const char *folder = buffer;
    const char *firstName = buffer + strlen(buffer) + 1;
    // A single choice is one full path followed by the closing zero.
    if (*firstName == '\0') {
        if (*cursor)
            return false;
        *cursor = firstName;
        StrCopyN(out, outSize, folder);
        return folder[0] != '\0';
    }
    for (;;) {
        const char *name = *cursor ? *cursor : firstName;
        if (*name == '\0')
            return false;
        *cursor = name + strlen(name) + 1;
        if (JoinFolderPath(folder, name, out, outSize))
            return true;
    }
}

void MarkChanged(HWND page)
{
    PropSheet_Changed(GetParent(page), page);
}

void SetupTrackbar(HWND page, int id, int low, int high, int pageSize, int pos)
{
    HWND bar = GetDlgItem(page, id);
    SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    SendMessageA(bar, TBM_SETPAGESIZE, 0, pageSize);
    SendMessageA(bar, TBM_SETPOS, TRUE, pos);
}

int TrackbarPos(HWND page, int id)
{
    return static_cast<int>(static_cast<short>(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0)));
}

INT_PTR PageResult(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR ApplyDone(HWND page)
{
    return PageResult(page, PSNRET_NOERROR);
}

bool HandleCommonPageMessage(HWND page, UINT message, WPARAM, LPARAM lParam, int helpTopic, INT_PTR *result)
{
    if (message == WM_HELP) {
        ShowHelp(page, reinterpret_cast<const void *>(lParam), 0);
        *result = TRUE;
        return true;
    }
    if (message != WM_NOTIFY)
        return false;
    const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
    switch (hdr->code) {
    case PSN_HELP:
        ShowHelp(page, hdr, helpTopic);
        *result = TRUE;
        return true;
    case PSN_KILLACTIVE:
    case PSN_RESET:
    case PSN_QUERYCANCEL:
        *result = PageResult(page, FALSE);
        return true;
    default:
        return false;
    }
}

void PaintPagePicture(HWND page, int anchorId, const char *name)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    DrawPagePicture(page, dc, anchorId, name);
    EndPaint(page, &ps);
}

INT_PTR OnPageNotify(HWND page, LPARAM lParam, const PageHandlers &handlers)
{
    const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
    if (hdr->code == PSN_SETACTIVE) {
        handlers.activate(page);
        return PageResult(page, 0);
    }
    if (hdr->code == PSN_APPLY) {
        handlers.apply(page);
        return ApplyDone(page);
    }
    return FALSE;
}

INT_PTR RunPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const PageKind &kind)
{
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[kind.row].helpTopic, &result))
        return result;
    if (kind.refreshMessage && HandleDeferredPaint(page, message, wParam, kind.refreshMessage, kind.timerId))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        kind.init(page);
        return TRUE;
    case WM_COMMAND:
        kind.command(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        if (kind.notify && kind.notify(page, lParam))
            return TRUE;
        return OnPageNotify(page, lParam, kind.handlers);
    default:
        if (kind.refreshMessage && message == kind.refreshMessage) {
            kind.refresh(page);
            return TRUE;
        }
        return FALSE;
    }
}

void ShowErrorBox(HWND page, const char *key, const char *germanDefault)
{
    char text[kLabelLen], caption[kLabelLen];
    LngCopy(text, sizeof(text), "ERR", key, germanDefault);
    LngCopy(caption, sizeof(caption), "ERR", "ERR", "FEHLER!");
    MessageBoxA(page, text, caption, MB_OK | MB_ICONERROR);
}

bool PathStorable(HWND page, const char *path)
{
    if (strnlen(path, kRegStringMax + 1) <= kRegStringMax)
        return true;
    ShowErrorBox(page, "PATHLONG", "Der Pfad ist zu lang, um gespeichert zu werden.");
    return false;
}
