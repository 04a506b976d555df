// The bus, tram and lorry pages: the user's pictures for each vehicle as a
// list, added through the file dialog, with the vehicle wearing the chosen one
// as the scene would paint it by day. One design; the table holds what differs.
#include "resources/resource.h"
#include "base/gdiutil.h"
#include "services/calendar.h"
#include "services/lettering.h"
#include "services/piclists.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr DWORD kChooserBufferLen = 8000;
constexpr int kDayTime = 1;
// The tram page shows the rear of the tram, where its band ends.
constexpr int kTramPreviewW = 400, kTramPreviewH = 131;

struct ListPage {
    int row;  // in the page table
    const char *section;
    const char *germanText;
    int textId, listId, addId, delId, anchorId;
    UINT refreshMessage;
    PiclistEntry *entries;
    int *count;
    const char *listFile;
    int (*insert)(int i, const char *entry);
    int (*remove)(int i);
    int (*save)();
    HBITMAP (*make)(int index);
    const char *placeholder;
};

HBITMAP MakeTramPreview(int index) { return MakeSBahnBeschriftung(index, kTramPreviewW, kTramPreviewH); }

enum { kBusPage, kTramPage, kTruckPage, kPageCount };

const ListPage kListPages[kPageCount] = {
    {9, "BUSBESCHRIFTUNG",
     "Gestalten Sie Ihren eigenen Bus. Die Motive sollten möglichst eine Größe von 312x113 Pixel haben. Andere "
     "Größen werden automatisch angepasst.",
     IDC_BUSB_TEXT, IDC_BUSB_LIST, IDC_BUSB_ADD, IDC_BUSB_DEL, IDC_BUSB_PICTURE, WM_PAGEREFRESH_BUS, BusPiclist,
     &BusPiclistCount, BusPics, InsBusPiclistEntry, DelBusPiclistEntry, SaveBusPiclist, MakeBusBeschriftung,
     "BUS_WOLKE"},
    {10, "SBAHNBESCHRIFTUNG",
     "Gestalten Sie Ihre eigene Straßenbahn. Die Motive sollten möglichst eine Größe von 857x90 Pixel haben. "
     "Andere Größen werden automatisch angepasst.",
     IDC_SBAHNB_TEXT, IDC_SBAHNB_LIST, IDC_SBAHNB_ADD, IDC_SBAHNB_DEL, IDC_SBAHNB_PICTURE, WM_PAGEREFRESH_SBAHN,
     SBahnPiclist, &SBahnPiclistCount, BahnPics, InsSBahnPiclistEntry, DelSBahnPiclistEntry, SaveSBahnPiclist,
     MakeTramPreview, "SBAHN_STD"},
    {11, "LKWBESCHRIFTUNG",
     "Gestalten Sie Ihren eigenen LKW. Die Motive sollten möglichst eine Größe von 305x80 Pixel haben. Andere "
     "Größen werden automatisch angepasst.",
     IDC_LKWB_TEXT, IDC_LKWB_LIST, IDC_LKWB_ADD, IDC_LKWB_DEL, IDC_LKWB_PICTURE, WM_PAGEREFRESH_LKW, LKWPiclist,
     &LKWPiclistCount, LKWPics, InsLKWPiclistEntry, DelLKWPiclistEntry, SaveLKWPiclist, MakeLKWBeschriftung,
     "LKW_LEER"},
};

// What each page keeps while the sheet is open. The preview key outlives the
// page, so a page made again (a change of language) makes its preview anew.
struct ListPageState {
    int selected;
    bool changed;
    HBITMAP preview;
    char previewKey[kPiclistEntryLen];
};
ListPageState gState[kPageCount];

HWND List(HWND page, const ListPage &p) { return GetDlgItem(page, p.listId); }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

void UpdateButtons(HWND page, const ListPage &p)
{
    Enable(page, p.delId, *p.count > 0);
    Enable(page, p.addId, *p.count < kMaxPiclistEntries);
}

int Selection(HWND page, const ListPage &p)
{
    return static_cast<int>(SendMessageA(List(page, p), LB_GETCURSEL, 0, 0));
}

void Init(HWND page, int which)
{
    const ListPage &p = kListPages[which];
    ListPageState &s = gState[which];
    s.changed = false;
    s.selected = 0;
    HWND list = List(page, p);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < *p.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.entries[i]));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    UpdateButtons(page, p);
}

void Activate(HWND page, int which)
{
    const ListPage &p = kListPages[which];
    SetLngText(page, p.textId, p.section, "TEXT", p.germanText);
    SetLngText(page, p.addId, "MUSIK", "ADD", "&Neu");
    SetLngText(page, p.delId, "MUSIK", "DEL", "&Löschen");
}

void Edited(HWND page, int which)
{
    UpdateButtons(page, kListPages[which]);
    gState[which].changed = true;
    MarkChanged(page);
}

void Add(HWND page, int which)
{
    const ListPage &p = kListPages[which];
    int sel = Selection(page, p);
    int at = *p.count == 0 ? 0 : (sel >= 0 ? sel + 1 : *p.count);
    static char buffer[kChooserBufferLen];
    memset(buffer, 0, sizeof(buffer));
    static const char kGermanFilter[] = "Bitmaps\0*.jpg;*.jpeg;*.bmp;*.psd;*.png;*.pcx;*.wmf;*.emf\0Alle Dateien\0*.*\0";
    static const char kEnglishFilter[] = "Bitmaps\0*.jpg;*.jpeg;*.bmp;*.psd;*.png;*.pcx;*.wmf;*.emf\0All files\0*.*\0";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = page;
    ofn.lpstrFilter = Language == 1 ? kGermanFilter : kEnglishFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = sizeof(buffer) - 1;
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_SHOWHELP;
    if (!OpenFileDialog(&ofn))
        return;
    HWND list = List(page, p);
    const char *cursor = nullptr;
    char path[kPiclistEntryLen];
    // A joined path too long for an entry is skipped, never cut to another
    // file's name.
    while (NextChosenFile(buffer, &cursor, path, sizeof(path))) {
        if (!p.insert(at, path))
            break;  // the list is full: the rest are dropped
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(p.entries[at]));
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        ++at;
    }
    int now = Selection(page, p);
    if (now >= 0) {
        gState[which].selected = now;
        SendMessageA(page, p.refreshMessage, 0, 0);
    }
    Edited(page, which);
}

void Delete(HWND page, int which)
{
    const ListPage &p = kListPages[which];
    int sel = Selection(page, p);
    if (*p.count > 0 && sel >= 0 && sel < *p.count) {
        HWND list = List(page, p);
        SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
        p.remove(sel);
        if (sel >= *p.count)
            --sel;
        if (*p.count > 0) {
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
            gState[which].selected = sel;
        }
        Edited(page, which);
    }
    SendMessageA(page, p.refreshMessage, 0, 0);
}

void SelectionChanged(HWND page, int which)
{
    int sel = Selection(page, kListPages[which]);
    if (sel < 0)
        return;
    gState[which].selected = sel;
    SendMessageA(page, kListPages[which].refreshMessage, 0, 0);
}

void FreePreview(ListPageState &s)
{
    DeleteTrackedBitmap(&s.preview);
}

void Refresh(HWND page, int which)
{
    const ListPage &p = kListPages[which];
    ListPageState &s = gState[which];
    HDC dc = GetDC(page);
    if (*p.count == 0) {
        DrawPagePicture(page, dc, p.anchorId, p.placeholder);
    } else {
        TimeOfDay = kDayTime;
        int index = s.selected >= 0 && s.selected < *p.count ? s.selected : 0;
        const char *path = p.entries[index];
        if (!s.preview || lstrcmpiA(path, s.previewKey) != 0) {
            FreePreview(s);
            s.preview = p.make(index);
            StrCopy(s.previewKey, path);
        }
        DrawPageBitmap(page, dc, p.anchorId, s.preview);
    }
    ReleaseDC(page, dc);
}

void Apply(HWND, int which)
{
    const ListPage &p = kListPages[which];
    if (*p.count > 0 && gState[which].changed)
        p.save();
    if (*p.count == 0)
        DeleteFileA(p.listFile);
}

void OnCommand(HWND page, int which, int id, int code)
{
    const ListPage &p = kListPages[which];
    if (id == p.addId && code == BN_CLICKED)
        Add(page, which);
    else if (id == p.delId && code == BN_CLICKED)
        Delete(page, which);
    else if (id == p.listId && (code == LBN_SELCHANGE || code == LBN_DBLCLK))
        SelectionChanged(page, which);
}

template <int kWhich>
void ActivateOne(HWND page)
{
    Activate(page, kWhich);
}

template <int kWhich>
void ApplyOne(HWND page)
{
    Apply(page, kWhich);
}

template <int kWhich>
INT_PTR ListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers kHandlers = {ActivateOne<kWhich>, ApplyOne<kWhich>};
    const ListPage &p = kListPages[kWhich];
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[p.row].helpTopic, &result))
        return result;
    if (HandleDeferredPaint(page, message, wParam, p.refreshMessage))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        Init(page, kWhich);
        return TRUE;
    case WM_DESTROY:
        FreePreview(gState[kWhich]);
        return FALSE;
    case WM_COMMAND:
        OnCommand(page, kWhich, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        if (message == p.refreshMessage) {
            Refresh(page, kWhich);
            return TRUE;
        }
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK BusBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ListPageProc<kBusPage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK SBahnBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ListPageProc<kTramPage>(page, message, wParam, lParam);
}

INT_PTR CALLBACK LKWBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ListPageProc<kTruckPage>(page, message, wParam, lParam);
}
