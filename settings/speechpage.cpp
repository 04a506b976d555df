// The speech-bubble page: the texts of each figure's bubbles, edited on the
// sheet's copy of the speech-text file and copied back at Apply, and the
// bubble font.
#include "resources/resource.h"
#include "base/gdiutil.h"
#include "figures/figurenames.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"
#include "settings/speechtexts.h"

#include "imagelib.h"

#include <initializer_list>

namespace {

constexpr int kRow = 3;
constexpr size_t kPortraitNameLen = 16;
constexpr int kFontMinPoints = 6, kFontMaxPoints = 13;

// The page's state; the sheet has one speech-bubble page at a time.
int gCurrent;                             // list position of the figure
SpeechTexts gTexts;                       // its texts, slot i on line i
int gSelected;                            // slot shown in the edit, -1 none
char gReference[kSpeechTextMax + 1];      // that slot's text when selected
bool gNewSlot;                            // the edit holds a slot from "+"
bool gEdited;                             // texts differ from the copy
bool gCopyChanged;                        // the copy was written
bool gSetting;                            // the page sets the edit itself

int CurrentId() { return kSpeechFigureIds[gCurrent]; }

const char *CurrentSection() { return FigureSectionName(CurrentId(), Language); }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

void SetEdit(HWND page, const char *text)
{
    gSetting = true;
    SetDlgItemTextA(page, IDC_SB_EDIT, text);
    gSetting = false;
}

void EnableAddDelete(HWND page)
{
    Enable(page, IDC_SB_ADD, Interactive && gTexts.count < kMaxSpeechTexts);
    Enable(page, IDC_SB_DEL, Interactive && gTexts.count > 0);
}

void LoadTexts(HWND page)
{
    HWND list = GetDlgItem(page, IDC_SB_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    gTexts.count = 0;
    if (SpeechTextCopy[0])
        ReadSpeechTexts(SpeechTextCopy, CurrentSection(), &gTexts);
    for (int i = 0; i < gTexts.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gTexts.text[i]));
    gSelected = -1;
    gNewSlot = false;
    EnableAddDelete(page);
    Enable(page, IDC_SB_EDIT, false);
}

void WriteTexts(HWND page)
{
    Enable(page, IDC_SB_EDIT, false);
    if (SpeechTextCopy[0])
        WriteSpeechTexts(SpeechTextCopy, CurrentSection(), gTexts);
    gCopyChanged = true;
}

void FitPortrait(HWND page)
{
    char name[kPortraitNameLen];
    StrPrintfN(name, sizeof(name), "FS_%03d", CurrentId());
    SIZE size;
    if (PagePictureSize(name, &size))
        SetWindowPos(GetDlgItem(page, IDC_SB_PICTURE), nullptr, 0, 0, size.cx + 2, size.cy + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Init(HWND page)
{
    HWND figures = GetDlgItem(page, IDC_SB_FIGURES);
    SendMessageA(figures, CB_RESETCONTENT, 0, 0);
    for (int id : kSpeechFigureIds)
        SendMessageA(figures, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FigureSectionName(id, Language)));
    SendMessageA(figures, CB_SETCURSEL, 0, 0);
    gCurrent = 0;
    gEdited = false;
    gCopyChanged = false;
    gReference[0] = '\0';
    LoadTexts(page);
    SendDlgItemMessageA(page, IDC_SB_EDIT, EM_LIMITTEXT, kSpeechTextMax, 0);
    FitPortrait(page);
}

void Activate(HWND page)
{
    SetLngText(page, IDC_SB_TEXT, "SPRECHBLASEN", "TEXT",
               "Im interaktiven Modus können die Figuren mit der rechten Maustaste angeklickt werden und es "
               "werden dann Sprechblasen angezeigt. Die Texte der Sprechblasen bestimmen Sie hier.");
    SetLngText(page, IDC_SB_ADD, "MUSIK", "ADD", "&Neu");
    SetLngText(page, IDC_SB_DEL, "MUSIK", "DEL", "&Löschen");
    SetLngText(page, IDC_SB_FONT, "SPRECHBLASEN", "FONT", "Schriftart");
    SetLngText(page, IDC_SB_PORT, "SPRECHBLASEN", "EXPORT", "Import/Export");
    for (int id : {IDC_SB_FIGURES, IDC_SB_LIST, IDC_SB_FONT})
        Enable(page, id, Interactive != 0);
    Enable(page, IDC_SB_EDIT, false);
    EnableAddDelete(page);
    ShowWindow(GetDlgItem(page, IDC_SB_DONE), SW_HIDE);
    InvalidateRect(page, nullptr, TRUE);
}

void OnEditDone(HWND page);

// Enter or a keyboard shortcut can close the sheet or open a dialog while the
// edit still has the focus: its text is taken then as a lost focus takes it.
void TakeOpenEdit(HWND page)
{
    if (IsWindowEnabled(GetDlgItem(page, IDC_SB_EDIT)))
        OnEditDone(page);
}

// The current figure's texts into the sheet's copy, so that what reads the
// copy next sees them.
void FlushTexts(HWND page)
{
    TakeOpenEdit(page);
    if (gEdited) {
        WriteTexts(page);
        gEdited = false;
    }
}

void Apply(HWND page)
{
    SaveSettings();
    FlushTexts(page);
    if (gCopyChanged && SpeechTextCopy[0])
        CopyFileA(SpeechTextCopy, Sprechblasen, FALSE);
}

void Refresh(HWND page)
{
    HWND frame = GetDlgItem(page, IDC_SB_PICTURE);
    char name[kPortraitNameLen];
    StrPrintfN(name, sizeof(name), "FS_%03d", CurrentId());
    HBITMAP portrait = LoadPageBitmap(name);
    if (!frame || !portrait)
        return;
    HDC dc = GetDC(frame);
    DrawTransparentBitmap(dc, portrait, 0, 0, kKeyColour);
    ReleaseDC(frame, dc);
    DeleteTrackedBitmap(&portrait);
}

void OnSelectFigure(HWND page)
{
    LRESULT sel = SendDlgItemMessageA(page, IDC_SB_FIGURES, CB_GETCURSEL, 0, 0);
    if (sel < 0 || sel >= kSpeechFigures)
        return;
    FlushTexts(page);
    gCurrent = static_cast<int>(sel);
    SetEdit(page, "");
    FitPortrait(page);
    InvalidateRect(GetDlgItem(page, IDC_SB_PICTURE), nullptr, TRUE);
    ArmRefresh(page);
    LoadTexts(page);
}

void OnSelectText(HWND page)
{
    LRESULT sel = SendDlgItemMessageA(page, IDC_SB_LIST, LB_GETCURSEL, 0, 0);
    if (sel < 0 || sel >= gTexts.count)
        return;
    gSelected = static_cast<int>(sel);
    StrCopy(gReference, gTexts.text[gSelected]);
    SetEdit(page, gReference);
    Enable(page, IDC_SB_EDIT, Interactive != 0);
}

void OnEditChange(HWND page)
{
    if (gSetting)
        return;
    char text[kSpeechTextMax + 1] = {};
    GetDlgItemTextA(page, IDC_SB_EDIT, text, sizeof(text));
    if (lstrcmpiA(text, gReference) != 0) {
        MarkChanged(page);
        gEdited = true;
    }
}

// Leaving the edit takes its text: a new slot joins the list only with a
// text, an existing one changes its line.
void OnEditDone(HWND page)
{
    if (gSelected < 0)
        return;
    char text[kSpeechTextMax + 1] = {};
    GetDlgItemTextA(page, IDC_SB_EDIT, text, sizeof(text));
    TrimBlanks(text);
    HWND list = GetDlgItem(page, IDC_SB_LIST);
    if (gNewSlot) {
        if (gEdited && text[0]) {
            StrCopy(gTexts.text[gSelected], text);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        } else {
            gTexts.text[gSelected][0] = '\0';
            gTexts.count = gSelected;
            gSelected = -1;
        }
    } else if (gEdited) {
        StrCopy(gTexts.text[gSelected], text);
        SendMessageA(list, LB_DELETESTRING, gSelected, 0);
        SendMessageA(list, LB_INSERTSTRING, gSelected, reinterpret_cast<LPARAM>(text));
    }
    gNewSlot = false;
    Enable(page, IDC_SB_EDIT, false);
    EnableAddDelete(page);
    ShowWindow(GetDlgItem(page, IDC_SB_DONE), SW_HIDE);
}

void OnAdd(HWND page)
{
    if (gTexts.count >= kMaxSpeechTexts)
        return;
    gSelected = gTexts.count++;
    gTexts.text[gSelected][0] = '\0';
    gReference[0] = '\0';
    gNewSlot = true;
    SetEdit(page, "");
    Enable(page, IDC_SB_EDIT, true);
    Enable(page, IDC_SB_ADD, false);
    Enable(page, IDC_SB_DEL, false);
    ShowWindow(GetDlgItem(page, IDC_SB_DONE), SW_SHOW);
    SetFocus(GetDlgItem(page, IDC_SB_EDIT));
}

void OnDelete(HWND page)
{
    HWND list = GetDlgItem(page, IDC_SB_LIST);
    LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (gTexts.count == 0 || sel < 0 || sel >= gTexts.count)
        return;
    int line = static_cast<int>(sel);
    SendMessageA(list, LB_DELETESTRING, line, 0);
    for (int i = line; i + 1 < gTexts.count; ++i)
        StrCopy(gTexts.text[i], gTexts.text[i + 1]);
    gTexts.text[--gTexts.count][0] = '\0';
    gEdited = true;
    int next = line < gTexts.count ? line : gTexts.count - 1;
    SendMessageA(list, LB_SETCURSEL, next, 0);
    gSelected = -1;
    SetEdit(page, "");
    Enable(page, IDC_SB_EDIT, false);
    SetFocus(list);
    Enable(page, IDC_SB_DEL, Interactive && gTexts.count > 0);
    Enable(page, IDC_SB_ADD, Interactive && gTexts.count < kMaxSpeechTexts);
    MarkChanged(page);
}

void OnFont(HWND page)
{
    LOGFONTA kept = SprechblasenFont;
    if (!ChooseFontFor(page, &SprechblasenFont, 0, kFontMinPoints, kFontMaxPoints)) {
        SprechblasenFont = kept;
        return;
    }
    if (SprechblasenFont.lfHeight == kept.lfHeight && SprechblasenFont.lfWeight == kept.lfWeight &&
        SprechblasenFont.lfItalic == kept.lfItalic &&
        lstrcmpiA(SprechblasenFont.lfFaceName, kept.lfFaceName) == 0)
        return;
    StrCopy(SBFName, SprechblasenFont.lfFaceName);
    SBFHeight = SprechblasenFont.lfHeight;
    SBFWeight = SprechblasenFont.lfWeight;
    SBFItalic = SprechblasenFont.lfItalic ? 1 : 0;
    MarkChanged(page);
}

void OnImportExport(HWND page)
{
    // The dialog reloads the page from the copy when it ends.
    FlushTexts(page);
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SB_IMPORTEXPORT), page, ImportExportDlgProc, 0);
    SetEdit(page, "");
    LoadTexts(page);
}

void OnCommand(HWND page, int id, int code)
{
    switch (id) {
    case IDC_SB_FIGURES:
        if (code == CBN_SELCHANGE)
            OnSelectFigure(page);
        return;
    case IDC_SB_LIST:
        if (code == LBN_SELCHANGE)
            OnSelectText(page);
        return;
    case IDC_SB_EDIT:
        if (code == EN_CHANGE)
            OnEditChange(page);
        else if (code == EN_KILLFOCUS)
            OnEditDone(page);
        return;
    case IDC_SB_ADD:
        if (code == BN_CLICKED)
            OnAdd(page);
        return;
    case IDC_SB_DEL:
        if (code == BN_CLICKED)
            OnDelete(page);
        return;
    case IDC_SB_DONE:
        if (code == BN_CLICKED) {
            SetFocus(GetDlgItem(page, IDC_SB_LIST));
            ShowWindow(GetDlgItem(page, IDC_SB_DONE), SW_HIDE);
        }
        return;
    case IDC_SB_FONT:
        if (code == BN_CLICKED)
            OnFont(page);
        return;
    case IDC_SB_PORT:
        if (code == BN_CLICKED)
            OnImportExport(page);
        return;
    default:
        return;
    }
}

}  // namespace

INT_PTR CALLBACK SprechblasenPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, WM_PAGEREFRESH_SPRECHBLASEN,
                                   Refresh};
    return RunPage(page, message, wParam, lParam, kKind);
}
