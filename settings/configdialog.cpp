#include "settings/configdialog.h"

#include "../resources/resource.h"
#include "base/lngtext.h"
#include "base/winutil.h"
#include "shell/config.h"
#include "shell/entry.h"

#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>

HWND ConfigSheetWindow = nullptr;

namespace {

// The sheet needs the common controls of Internet Explorer 5 (comctl32 5.80).
constexpr DWORD kMinCommonControls = 0x50050;
constexpr size_t kTabTitleLen = 40;
constexpr UINT kErrorBoxStyle = MB_ICONERROR | MB_TOPMOST;

struct PageEntry {
    int templateId;
    DLGPROC proc;
    const char *tabKey;
    const char *germanTitle;
};

INT_PTR CALLBACK ConfigPageProc(HWND, UINT, WPARAM, LPARAM);

const PageEntry kPages[] = {
    {IDD_PAGE_CONFIG, ConfigPageProc, "CONFIG", "Allgemein"},
};
constexpr int kPageCount = static_cast<int>(countof(kPages));

char gTabTitles[kPageCount][kTabTitleLen];

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
        if (hdr->code == PSN_APPLY) {
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
    }
    return message == WM_INITDIALOG;
}

int CALLBACK PropSheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED)
        ConfigSheetWindow = sheet;
    return 0;
}

void BuildPropPages(PROPSHEETPAGEA *pages)
{
    for (int i = 0; i < kPageCount; ++i) {
        StrCopy(gTabTitles[i], GetLngText("TABS", kPages[i].tabKey, kPages[i].germanTitle));
        PROPSHEETPAGEA &p = pages[i];
        memset(&p, 0, sizeof(p));
        p.dwSize = sizeof(p);
        p.dwFlags = PSP_USETITLE | PSP_HASHELP;
        p.hInstance = AppInstance;
        p.pszTemplate = MAKEINTRESOURCEA(kPages[i].templateId);
        p.pfnDlgProc = kPages[i].proc;
        p.pszTitle = gTabTitles[i];
    }
}

void RunPropSheet(HWND owner)
{
    PROPSHEETPAGEA pages[kPageCount];
    BuildPropPages(pages);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_PROPTITLE | PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = AppInstance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_SAVER);
    header.pszCaption = "Tandrovi Wendelby 3";
    header.nPages = kPageCount;
    header.nStartPage = 0;
    header.ppsp = pages;
    header.pfnCallback = PropSheetCallback;
    PropertySheetA(&header);
    ConfigSheetWindow = nullptr;
}

bool CommonControlsUsable(HWND owner)
{
    if (GetDllVersion("comctl32.dll") >= kMinCommonControls)
        return true;
    char text[512], caption[64];
    StrCopy(text, GetLngText("ERR", "IE500",
                             "Dieses Programm funktioniert nur, wenn Microsoft Internet Explorer ab Version 5.0 "
                             "installiert ist."));
    StrCopy(caption, GetLngText("ERR", "ERR", "FEHLER!"));
    MessageBoxA(owner, text, caption, kErrorBoxStyle);
    return false;
}

}  // namespace

void DoConfigDialog(HWND owner)
{
    if (!CommonControlsUsable(owner))
        return;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_DATE_CLASSES};
    if (!InitCommonControlsEx(&icc)) {
        CoUninitialize();
        return;
    }
    ReadSettings();
    ReadDisplayMode();
    ReadMSGSettings();
    ReadProxySettings();
    ReadHausSettings();
    RunPropSheet(owner);
    CoUninitialize();
}
