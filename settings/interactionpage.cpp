// The interaction page: interactive mode, how the saver may be ended in it,
// and a sound file of their own for the figures that can have one.
#include "resources/resource.h"
#include "base/gdiutil.h"
#include "base/registry.h"
#include "figures/figurenames.h"
#include "services/sound.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"
#include "settings/speechtexts.h"

#include "imagelib.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kRow = 2;
constexpr int kSignCount = 2;
// The registry keeps 255 characters: a longer path would be cut there and
// name another file.
constexpr int kPathLimit = static_cast<int>(kRegStringMax);
constexpr size_t kPortraitNameLen = 16;

struct SoundFigure {
    int id;
    char path[kPathLen];
    char stored[kPathLen];  // as read when the page was made
};

// The page's state; the sheet has one interaction page at a time.
SoundFigure gFigures[kSoundFigures];
int gCurrent;
bool gEdited;
HBITMAP gSigns[kSignCount];

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

// At most the 255 characters the registry keeps.
void EditText(HWND page, char *out, size_t outSize)
{
    out[0] = '\0';
    GetDlgItemTextA(page, IDC_INTER_PATH, out, static_cast<int>(std::min(outSize, kRegStringMax + 1)));
}

void PortraitName(int id, char *out, size_t outSize) { StrPrintfN(out, outSize, "FS_%03d", id); }

// The edit's path taken over for the current figure, trimmed as the scene
// would look it up.
void TakeEdit(HWND page)
{
    if (!gEdited)
        return;
    char text[kPathLen];
    EditText(page, text, sizeof(text));
    TrimBlanks(text);
    StrCopy(gFigures[gCurrent].path, text);
    gEdited = false;
}

void UpdateEnabling(HWND page)
{
    bool figures = Interactive && Sound;
    for (int id : {IDC_INTER_FIGURES, IDC_INTER_PATH, IDC_INTER_BROWSE})
        Enable(page, id, figures);
    Enable(page, IDC_INTER_EXIT1, Interactive != 0);
    Enable(page, IDC_INTER_EXIT2, Interactive != 0);
}

// The static is as large as the portrait and its sunken edge.
void FitPortrait(HWND page)
{
    char name[kPortraitNameLen];
    PortraitName(gFigures[gCurrent].id, name, sizeof(name));
    SIZE size;
    if (PagePictureSize(name, &size))
        SetWindowPos(GetDlgItem(page, IDC_INTER_PICTURE), nullptr, 0, 0, size.cx + 2, size.cy + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Init(HWND page)
{
    CheckDlgButton(page, IDC_INTER_ON, Interactive ? BST_CHECKED : BST_UNCHECKED);
    HWND list = GetDlgItem(page, IDC_INTER_FIGURES);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kSoundFigures; ++i) {
        gFigures[i].id = kSoundFigureIds[i];
        ReadFigurSound(gFigures[i].id, gFigures[i].path, sizeof(gFigures[i].path));
        StrCopy(gFigures[i].stored, gFigures[i].path);
        SendMessageA(list, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(FigureSectionName(gFigures[i].id, Language)));
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    gCurrent = 0;
    gEdited = false;
    SendDlgItemMessageA(page, IDC_INTER_PATH, EM_LIMITTEXT, kPathLimit, 0);
    FitPortrait(page);
}

void FreeSigns(HWND page)
{
    for (int i = 0; i < kSignCount; ++i) {
        SendDlgItemMessageA(page, IDC_INTER_EXIT1 + i, BM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteTrackedBitmap(&gSigns[i]);
    }
}

void LoadSigns(HWND page)
{
    FreeSigns(page);
    gSigns[0] = LoadPageBitmap("EXIT1");
    gSigns[1] = LoadPageBitmap("EXIT2");
    for (int i = 0; i < kSignCount; ++i)
        SendDlgItemMessageA(page, IDC_INTER_EXIT1 + i, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(gSigns[i]));
}

void ShowExitChoice(HWND page)
{
    for (int i = 0; i <= kSignCount; ++i)
        CheckDlgButton(page, IDC_INTER_ESCONLY + i, EXIT == i ? BST_CHECKED : BST_UNCHECKED);
}

void Activate(HWND page)
{
    SetLngText(page, IDC_INTER_TEXT, "INTERAKTION", "TEXT",
               "Klopfen Sie an der Tür oder klingeln Sie. Sie können Figuren anklicken und viele reagieren "
               "darauf.");
    SetLngText(page, IDC_INTER_ON, "INTERAKTION", "INTERACTIVE", "&Interaktion");
    SetLngText(page, IDC_INTER_ESCONLY, "INTERAKTION", "EXIT", "Nur &ESC-Taste");
    SetLngText(page, IDC_INTER_SOUNDTEXT, "INTERAKTION", "LEUTE",
               "Wenn Sie Sound eingeschaltet haben, können Sie bestimmten Leuten auch Töne zuordnen, die dann "
               "erklingen wenn sie angeklickt werden.");
    SetLngText(page, IDC_INTER_ENDTEXT, "INTERAKTION", "ENDSCR",
               "Im interaktiven Modus kann der Bildschirmschoner mit der ESCAPE-Taste oder durch einen "
               "Mausklick auf das EXIT- oder STOP-Schild beendet werden.");
    UpdateEnabling(page);
    SetDlgItemTextA(page, IDC_INTER_PATH, gFigures[gCurrent].path);
    gEdited = false;
    LoadSigns(page);
    ShowExitChoice(page);
}

void Apply(HWND page)
{
    Interactive = Checked(page, IDC_INTER_ON) ? 1 : 0;
    SaveSettings();
    TakeEdit(page);
    // Only what the user changed is written: a stored value too long to be
    // read shows as none and must not be deleted by that.
    for (SoundFigure &figure : gFigures) {
        if (strcmp(figure.path, figure.stored) == 0)
            continue;
        SaveFigurSound(figure.id, figure.path);
        StrCopy(figure.stored, figure.path);
    }
}

// The portrait is drawn into the static itself, so that it sits inside the
// sunken edge whatever the page's layout.
void Refresh(HWND page)
{
    HWND frame = GetDlgItem(page, IDC_INTER_PICTURE);
    char name[kPortraitNameLen];
    PortraitName(gFigures[gCurrent].id, name, sizeof(name));
    HBITMAP portrait = LoadPageBitmap(name);
    if (!frame || !portrait)
        return;
    HDC dc = GetDC(frame);
    DrawTransparentBitmap(dc, portrait, 0, 0, kKeyColour);
    ReleaseDC(frame, dc);
    DeleteTrackedBitmap(&portrait);
}

void ChooseSoundFile(HWND page)
{
    bool german = Language == 1;
    static const char kGermanFilter[] = "Musik Dateien\0*.mp3;*.mp2;*.mp1;*.ogg;*.wav\0Alle Dateien\0*.*\0";
    static const char kEnglishFilter[] = "music files\0*.mp3;*.mp2;*.mp1;*.ogg;*.wav\0All files\0*.*\0";
    char file[kPathLen];
    StrCopy(file, gFigures[gCurrent].path);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = page;
    ofn.lpstrFilter = german ? kGermanFilter : kEnglishFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file);
    ofn.lpstrDefExt = "mp3";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP | OFN_HIDEREADONLY;
    // A path the registry cannot hold whole is not taken.
    if (OpenFileDialog(&ofn) && PathStorable(page, file))
        SetDlgItemTextA(page, IDC_INTER_PATH, file);
}

void OnSelectFigure(HWND page)
{
    LRESULT sel = SendDlgItemMessageA(page, IDC_INTER_FIGURES, CB_GETCURSEL, 0, 0);
    if (sel < 0 || sel >= kSoundFigures)
        return;
    TakeEdit(page);
    gCurrent = static_cast<int>(sel);
    SetDlgItemTextA(page, IDC_INTER_PATH, gFigures[gCurrent].path);
    gEdited = false;
    FitPortrait(page);
    InvalidateRect(GetDlgItem(page, IDC_INTER_PICTURE), nullptr, TRUE);
    ArmRefresh(page);
}

void OnEditChange(HWND page)
{
    char text[kPathLen];
    EditText(page, text, sizeof(text));
    // A change of letter case alone names the same file.
    if (lstrcmpiA(text, gFigures[gCurrent].path) != 0) {
        gEdited = true;
        MarkChanged(page);
    }
}

void OnPortraitClick(HWND page)
{
    char text[kPathLen];
    EditText(page, text, sizeof(text));
    TrimBlanks(text);
    PlaySoundFile(text);
}

void OnCommand(HWND page, int id, int code)
{
    switch (id) {
    case IDC_INTER_ON:
        if (code == BN_CLICKED) {
            MarkChanged(page);
            Interactive = Checked(page, IDC_INTER_ON) ? 1 : 0;
            UpdateEnabling(page);
        }
        return;
    case IDC_INTER_ESCONLY:
    case IDC_INTER_EXIT1:
    case IDC_INTER_EXIT2:
        if (code == BN_CLICKED) {
            MarkChanged(page);
            EXIT = id - IDC_INTER_ESCONLY;
            ShowExitChoice(page);
        }
        return;
    case IDC_INTER_FIGURES:
        if (code == CBN_SELCHANGE)
            OnSelectFigure(page);
        return;
    case IDC_INTER_PATH:
        if (code == EN_CHANGE)
            OnEditChange(page);
        return;
    case IDC_INTER_BROWSE:
        if (code == BN_CLICKED)
            ChooseSoundFile(page);
        return;
    case IDC_INTER_PICTURE:
        if (code == STN_CLICKED)
            OnPortraitClick(page);
        return;
    default:
        return;
    }
}

}  // namespace

INT_PTR CALLBACK InteraktionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, WM_PAGEREFRESH_INTERAKTION,
                                   Refresh};
    if ((message == WM_NOTIFY && reinterpret_cast<const NMHDR *>(lParam)->code == PSN_KILLACTIVE) ||
        message == WM_DESTROY)
        FreeSigns(page);
    return RunPage(page, message, wParam, lParam, kKind);
}
