#include "settings/configdialog.h"

#include "resources/resource.h"
#include "core/daterules.h"
#include "base/now.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "base/gdiutil.h"
#include "config/lngtext.h"
#include "services/piclists.h"
#include "services/music.h"
#include "core/random.h"
#include "services/sound.h"
#include "base/winutil.h"
#include "services/help.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include "imagelib.h"

#include <htmlhelp.h>

HWND ConfigSheetWindow = nullptr;
HPALETTE PreviewPalette = nullptr;
char SpeechTextCopy[kPathLen];
char TempFolder[kPathLen];
int LanguageAtBuild = 1;

namespace {

DWORD RealCommonControlsVersion()
{
    return GetDllVersion("comctl32.dll");
}

}  // namespace

DWORD (*CommonControlsVersion)() = RealCommonControlsVersion;

const SettingsPage kSettingsPages[kSettingsPageRows] = {
    {IDD_PAGE_CONFIG, ConfigPageProc, "CONFIG", "Allgemein", 2},
    {IDD_PAGE_SPEED, SpeedPageProc, "SPEED", "Geschwindigkeit", 5},
    {IDD_PAGE_INTERAKTION, InteraktionPageProc, "INTERAKTION", "Interaktion", 19},
    {IDD_PAGE_SPRECHBLASEN, SprechblasenPageProc, "SPRECHBLASEN", "Sprechblasen", 24},
    {IDD_PAGE_TAGNACHT, TagNachtPageProc, "TAGNACHT", "Tag/Nacht...", 4},
    {IDD_PAGE_BUSKOMMT, BusKommtPageProc, "BUSKOMMT", "Fahrplan", 6},
    {IDD_PAGE_UHR, UhrPageProc, "UHR", "Uhr", 20},
    {IDD_PAGE_GEHWEG, GehwegPageProc, "GEHWEG", "Gehweg", 21},
    {IDD_PAGE_HAUSBESCHRIFTUNG, HausBeschriftungPageProc, "HAUSBESCHRIFTUNG", "Haus-Beschriftung", 25},
    {IDD_PAGE_BUSBESCHRIFTUNG, BusBeschriftungPageProc, "BUSBESCHRIFTUNG", "Bus-Design", 7},
    {IDD_PAGE_SBAHNBESCHRIFTUNG, SBahnBeschriftungPageProc, "SBAHNBESCHRIFTUNG", "Straßenbahn", 8},
    {IDD_PAGE_LKWBESCHRIFTUNG, LKWBeschriftungPageProc, "LKWBESCHRIFTUNG", "LKW-Beschriftung", 9},
    {IDD_PAGE_SOUND, SoundPageProc, "SOUND", "Sound", 13},
    {IDD_PAGE_MUSIK, MusikPageProc, "MUSIK", "Musik", 14},
    {IDD_PAGE_MAIL, MailPageProc, "MAIL", "E-Mail", 22},
    {IDD_PAGE_WETTER, WetterPageProc, "WETTER", "Wetter", 23},
    {IDD_PAGE_TARVO, GeburtstagPageProc, "TARVO", "Tarvo", 26},
    {IDD_PAGE_MSG, MsgPageProc, "MSG", "Mitteilungen", 12},
};

namespace {

// The comctl32 of Internet Explorer 5: 5.80.
constexpr DWORD kMinCommonControls = 0x50050;
constexpr UINT kErrorBoxStyle = MB_ICONERROR | MB_TOPMOST;
// Tab, date and (for the trackbars) bar classes.
constexpr DWORD kControlClasses = ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES;
constexpr UINT_PTR kSheetSubclassId = 1;
// How long the end waits for a music preview to stop.
constexpr DWORD kMusicStopWaitMs = 3000;

char gTabTitles[kSettingsPageRows][kTabTitleMax + 1];
PROPSHEETPAGEA gPages[kSettingsPageRows];
int gPageRows[kSettingsPageRows];  // table row of each sheet index
int gPageCount;
DWORD_PTR gHelpCookie;

// Fills the page descriptions of every built page in table order.
void BuildPropPages()
{
    gPageCount = 0;
    for (int row = 0; row < kSettingsPageRows; ++row) {
        const SettingsPage &entry = kSettingsPages[row];
        if (!entry.proc)
            continue;
        StrCopy(gTabTitles[row], GetLngText("TABS", entry.tabKey, entry.germanTitle));
        PROPSHEETPAGEA &p = gPages[gPageCount];
        memset(&p, 0, sizeof(p));
        p.dwSize = sizeof(p);
        p.dwFlags = PSP_USETITLE | PSP_HASHELP;
        p.hInstance = AppInstance;
        p.pszTemplate = MAKEINTRESOURCEA(entry.templateId);
        p.pfnDlgProc = entry.proc;
        p.pszTitle = gTabTitles[row];
        gPageRows[gPageCount++] = row;
    }
    LanguageAtBuild = Language;
}

// The pages are built again outside any page's procedure: a page must not be
// destroyed inside its own handler, and the modal sheet ends when its last
// page goes. So the new pages join behind the old first page, the first new
// one is shown, and only then the old first page is removed.
void RebuildPages(HWND sheet)
{
    int oldCount = gPageCount;
    PropSheet_SetCurSel(sheet, nullptr, 0);
    for (int i = oldCount - 1; i >= 1; --i)
        PropSheet_RemovePage(sheet, i, nullptr);
    BuildPropPages();
    int added = 0;
    for (int i = 0; i < gPageCount; ++i) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageA(&gPages[i]);
        if (!handle)
            continue;
        if (!PropSheet_AddPage(sheet, handle)) {
            DestroyPropertySheetPage(handle);
            continue;
        }
        ++added;
    }
    if (added == 0)
        return;
    PropSheet_SetCurSel(sheet, nullptr, 1);
    PropSheet_RemovePage(sheet, 0, nullptr);
    gPageCount = added;
}

LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAGEREBUILD) {
        RebuildPages(sheet);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(sheet, SheetSubclassProc, kSheetSubclassId);
    return DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK PropSheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED) {
        ConfigSheetWindow = sheet;
        SetWindowSubclass(sheet, SheetSubclassProc, kSheetSubclassId, 0);
    }
    return 0;
}

INT_PTR RunPropSheet(HWND owner)
{
    BuildPropPages();
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_PROPTITLE | PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = AppInstance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_SAVER);
    header.pszCaption = "Tandrovi Wendelby 3";
    header.nPages = static_cast<UINT>(gPageCount);
    header.nStartPage = 0;
    header.ppsp = gPages;
    header.pfnCallback = PropSheetCallback;
    INT_PTR result = PropertySheetA(&header);
    ConfigSheetWindow = nullptr;
    return result;
}

bool CommonControlsUsable(HWND owner)
{
    if (CommonControlsRecentEnough(CommonControlsVersion()))
        return true;
    char text[512], caption[64];
    StrCopy(text, GetLngText("ERR", "IE500",
                             "Dieses Programm funktioniert nur, wenn Microsoft Internet Explorer ab Version 5.0 "
                             "installiert ist."));
    StrCopy(caption, GetLngText("ERR", "ERR", "FEHLER!"));
    MessageBoxA(owner, text, caption, kErrorBoxStyle);
    return false;
}

void MakeSpeechTextCopy()
{
    SpeechTextCopy[0] = '\0';
    if (!GetTempPathA(sizeof(TempFolder), TempFolder))
        return;
    if (!GetTempFileNameA(TempFolder, "SB", 0, SpeechTextCopy)) {
        SpeechTextCopy[0] = '\0';
        return;
    }
    CopyFileA(Sprechblasen, SpeechTextCopy, FALSE);
}

void SeedFromDate()
{
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>(GetDayOfYear(now.wDay, now.wMonth, now.wYear) + (now.wYear - 1970) * 365));
}

void MakePreviewPalette(HWND owner)
{
    HDC dc = GetDC(owner);
    int colours = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) ? GetDeviceCaps(dc, SIZEPALETTE)
                                                               : GetDeviceCaps(dc, NUMCOLORS);
    ReleaseDC(owner, dc);
    PaletteDisplay = IsPaletteColourCount(colours) ? 1 : 0;
    if (!PaletteDisplay)
        return;
    HBITMAP small = LoadResourceBitmap(AppInstance, "HG_SMALL", TRUE, &PreviewPalette, kLoadPreview);
    DeleteTrackedBitmap(&small);
}

HWND CallHelp(UINT command, DWORD_PTR data)
{
    return CallHtmlHelp(nullptr, nullptr, command, data);
}

// A music preview may still run when the sheet closes: it must be stopped
// before the sound library goes.
void EndSoundLibrary()
{
    StopMusic();
    WaitMusicThread(kMusicStopWaitMs);
    FreeBASS();
}

void EndSettingsMode()
{
    DeleteTrackedPalette(&PreviewPalette);
    EndSoundLibrary();
    if (SpeechTextCopy[0]) {
        DeleteFileA(SpeechTextCopy);
        SpeechTextCopy[0] = '\0';
    }
    CallHelp(HH_CLOSE_ALL, 0);
    CallHelp(HH_UNINITIALIZE, gHelpCookie);
    CleanupLibrary();
    CoUninitialize();
}

}  // namespace

bool CommonControlsRecentEnough(DWORD version)
{
    return version >= kMinCommonControls;
}

int SheetPageCount()
{
    return gPageCount;
}

int SheetPageRow(int index)
{
    return (index >= 0 && index < gPageCount) ? gPageRows[index] : -1;
}

void RequestPageRebuild()
{
    if (ConfigSheetWindow)
        PostMessageA(ConfigSheetWindow, WM_PAGEREBUILD, 0, 0);
}

int DoConfigDialog(HWND owner)
{
    RunState = 0;
    if (!CommonControlsUsable(owner))
        return 0;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), kControlClasses};
    if (!InitCommonControlsEx(&icc)) {
        CoUninitialize();
        return 0;
    }
    gHelpCookie = 0;
    CallHelp(HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&gHelpCookie));
    ReadSettings();
    ReadDisplayMode();
    ReadMSGSettings();
    ReadProxySettings();
    ReadHausSettings();
    MakeSpeechTextCopy();
    SeedFromDate();
    MakePreviewPalette(owner);
    ReadPlaylist();
    LoadBASS(1);
    LoadBASS(0);
    ReadBusPiclist();
    ReadSBahnPiclist();
    ReadLKWPiclist();
    RunPropSheet(owner);
    EndSettingsMode();
    return 1;
}
