// The general page: language, display mode, version line, title picture and
// the question for an update.
#include "resources/resource.h"
#include "config/config.h"
#include "base/gdiutil.h"
#include "config/lngtext.h"
#include "core/notenames.h"
#include "settings/configdialog.h"
#include "services/help.h"
#include "services/picturefiles.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include "imagelib.h"

#include <shellapi.h>

namespace {

constexpr int kModeRows = 400;  // row 0 is the standard setting
constexpr int kMinModeWidth = 640;   // wider than this
constexpr int kMaxModeWidth = 1280;
constexpr int kMaxModeHeight = 1024;
constexpr int kMinModeBits = 8;
constexpr int kHelpIndexTopic = 1;
const char kVersion[] = "1.1.0";
const char kUpdateBase[] = "https://www.tandrovi.example/update";
const char kTitlePicture[] = "TITEL_WYN3";
const char kFolderPicture[] = "wyn03conf.bmp";

int gModes[kModeRows][4];
int gModeCount;
HBITMAP gFolderPicture;  // the program folder's own picture, or none

void FillLanguages(HWND page)
{
    HWND list = GetDlgItem(page, IDC_CONFIG_LANGUAGE);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    // The item index is the Language value: 0 English, 1 German.
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("English"));
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Deutsch"));
    SendMessageA(list, CB_SETCURSEL, (Language == 0 || Language == 1) ? Language : -1, 0);
}

void AddMode(HWND list, const int mode[4])
{
    char text[64];
    DisplayModeText(mode, text, sizeof(text));
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    memcpy(gModes[gModeCount++], mode, sizeof(gModes[0]));
}

// Selects the first item that starts with the mode's text, so that a mode
// stored without its frequency takes the first frequency listed.
bool SelectMode(HWND list, const int mode[4])
{
    char text[64];
    DisplayModeText(mode, text, sizeof(text));
    LRESULT item = SendMessageA(list, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (item == CB_ERR || item == 0)
        return false;
    SendMessageA(list, CB_SETCURSEL, item, 0);
    return true;
}

void FillDisplayModes(HWND page)
{
    HWND list = GetDlgItem(page, IDC_CONFIG_MODES);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    gModeCount = 0;
    char standard[kLabelLen];
    LngCopy(standard, sizeof(standard), "CONFIG", "DISPLAYSTD", "(Standard-Einstellung)");
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(standard));
    memset(gModes[gModeCount++], 0, sizeof(gModes[0]));
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    for (DWORD i = 0; gModeCount < kModeRows && EnumDisplaySettingsA(nullptr, i, &dm); ++i) {
        int w = static_cast<int>(dm.dmPelsWidth), h = static_cast<int>(dm.dmPelsHeight);
        int bits = static_cast<int>(dm.dmBitsPerPel);
        if (w <= kMinModeWidth || w > kMaxModeWidth || h > kMaxModeHeight || bits < kMinModeBits)
            continue;
        int mode[4] = {w, h, bits, static_cast<int>(dm.dmDisplayFrequency)};
        AddMode(list, mode);
    }
    bool stored = DisplayMode[0] || DisplayMode[1] || DisplayMode[2] || DisplayMode[3];
    if (stored) {
        if (!SelectMode(list, DisplayMode))
            SendMessageA(list, CB_SETCURSEL, 0, 0);
        return;
    }
    DEVMODEA current = {};
    current.dmSize = sizeof(current);
    int now[4] = {};
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current)) {
        now[0] = static_cast<int>(current.dmPelsWidth);
        now[1] = static_cast<int>(current.dmPelsHeight);
        now[2] = static_cast<int>(current.dmBitsPerPel);
        now[3] = static_cast<int>(current.dmDisplayFrequency);
    }
    if (!SelectMode(list, now))
        SendMessageA(list, CB_SETCURSEL, 0, 0);
}

void SetVersionLine(HWND page)
{
    char text[160];
    StrPrintfN(text, sizeof(text), "Tandrovi Wendelby 3 Version %s\r\nCopyright \xA9 2026 Tandrovi\r\n", kVersion);
    SetDlgItemTextA(page, IDC_CONFIG_VERSION, text);
}

// The title control takes the picture's size, so that a click anywhere on the
// picture reaches it.
void FitTitle(HWND page)
{
    SIZE size = {};
    if (PagePictureSize(kTitlePicture, &size))
        SetWindowPos(GetDlgItem(page, IDC_CONFIG_TITLE), nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawTitle(const DRAWITEMSTRUCT *item)
{
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HBITMAP bitmap = LoadPageBitmap(kTitlePicture);
    if (!bitmap)
        return;
    DrawTransparentBitmap(item->hDC, bitmap, 0, 0, kKeyColour);
    DeleteTrackedBitmap(&bitmap);
}

// The picture that lies in the program's folder; a missing or unreadable
// file shows nothing.
void LoadFolderPicture()
{
    DeleteTrackedBitmap(&gFolderPicture);
    char path[kPathLen];
    if (JoinFolderPath(HLPpath, kFolderPicture, path, sizeof(path)))
        gFolderPicture = LoadFromFile(path, 0);
}

void DrawFolderPicture(const DRAWITEMSTRUCT *item)
{
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (gFolderPicture)
        DrawTransparentBitmap(item->hDC, gFolderPicture, 0, 0, kKeyColour);
}

void InitPage(HWND page)
{
    // An English choice without an English language file falls back to German.
    if (Language != 1) {
        char name[kLabelLen];
        LngCopy(name, sizeof(name), "LANGUAGE", "NAME", kNoLanguageName);
        if (_stricmp(name, kNoLanguageName) == 0)
            Language = 1;
    }
    FillLanguages(page);
    FillDisplayModes(page);
    SetVersionLine(page);
    FitTitle(page);
    LoadFolderPicture();
}

void SetTexts(HWND page)
{
    SetLngText(page, IDC_CONFIG_LANGLABEL, "CONFIG", "LANGUAGE", "&Sprache:");
    SetLngText(page, IDC_CONFIG_MODELABEL, "CONFIG", "DISPLAYMODE", "&Bildschirm-Einstellung:");
    SetLngText(page, IDC_CONFIG_UPDATE, "CONFIG", "UPDATE", "Update vorhanden?");
}

bool ShiftHeld()
{
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_LSHIFT) < 0 || GetKeyState(VK_RSHIFT) < 0;
}

void TitleClicked(HWND page)
{
    if (ShiftHeld()) {
        DebugTab = DebugTab ? 0 : 1;
        RequestPageRebuild();
        return;
    }
    ShowHelp(page, nullptr, kHelpIndexTopic);
}

void AskForUpdate()
{
    char address[512];
    UpdateAddress(Language, address, sizeof(address));
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void Apply(HWND page)
{
    LRESULT mode = SendDlgItemMessageA(page, IDC_CONFIG_MODES, CB_GETCURSEL, 0, 0);
    if (mode >= 0 && mode < gModeCount)
        memcpy(DisplayMode, gModes[mode], sizeof(DisplayMode));
    LRESULT language = SendDlgItemMessageA(page, IDC_CONFIG_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (language == 0 || language == 1)
        Language = static_cast<int>(language);
    SaveSettings();
    SaveCompanionLanguage();
    if (Language != LanguageAtBuild)
        RequestPageRebuild();
}

INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if ((id == IDC_CONFIG_LANGUAGE || id == IDC_CONFIG_MODES) && code == CBN_SELCHANGE)
        MarkChanged(page);
    else if (id == IDC_CONFIG_TITLE && code == STN_CLICKED)
        TitleClicked(page);
    else if (id == IDC_CONFIG_UPDATE && code == BN_CLICKED)
        AskForUpdate();
    return TRUE;
}

const PageHandlers kHandlers = {SetTexts, Apply};

}  // namespace

void UpdateAddress(int language, char *out, size_t outSize)
{
    StrPrintfN(out, outSize, "%s?P=wyn03&V=%s&L=%d", kUpdateBase, kVersion, language == 1 ? 2 : 1);
}

void DisplayModeText(const int mode[4], char *out, size_t outSize)
{
    if (mode[3])
        StrPrintfN(out, outSize, "%d x %d, %d Bit, %d Hertz", mode[0], mode[1], mode[2], mode[3]);
    else
        StrPrintfN(out, outSize, "%d x %d, %d Bit", mode[0], mode[1], mode[2]);
}

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[0].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        InitPage(page);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_CONFIG_TITLE) {
            DrawTitle(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        if (wParam == IDC_CONFIG_OWNPIC) {
            DrawFolderPicture(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        DeleteTrackedBitmap(&gFolderPicture);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        return FALSE;
    }
}
