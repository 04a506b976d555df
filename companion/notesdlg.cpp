#include "notesdlg.h"

#include "notefiles.h"
#include "zettler.h"
#include "zettler_ids.h"

HWND NotesDialog = nullptr;

namespace {

char NoteText[kNoteTextSize];
char NoteTitle[kZPathLen];
WNDPROC PrevEditProc = nullptr;
HFONT NoteFont = nullptr;

enum IconIndex { kIconBack, kIconBackOff, kIconForw, kIconForwOff, kIconDel, kIconDelOff, kIconCount };
const char *const kIconNames[kIconCount] = {"NOTE_BACK", "NOTE_BACK_OFF", "NOTE_FORW",
                                            "NOTE_FORW_OFF", "NOTE_DEL", "NOTE_DEL_OFF"};
HICON NoteIcons[kIconCount];

constexpr int kIconSize = 32;
constexpr int kSmallIconSize = 16;
constexpr int kIconTop = 3;
// The edit holds one byte less than the text buffer, so what it shows is
// always saved whole.
constexpr int kEditLimit = static_cast<int>(kNoteTextSize) - 1;

HICON LoadNoteIcon(const char *name, int size)
{
    return static_cast<HICON>(LoadImageA(AppInstance, name, IMAGE_ICON, size, size, LR_SHARED));
}

void SetControlIcon(HWND dialog, int id, HICON icon)
{
    SendDlgItemMessageA(dialog, id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void PlaceControl(HWND dialog, int id, int x)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, x, kIconTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetNoteFont(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    if (!base)
        base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf = {};
    GetObjectA(base, sizeof(lf), &lf);
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = FALSE;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    StrCopy(lf.lfFaceName, "Courier New");
    NoteFont = CreateFontIndirectA(&lf);
    if (NoteFont)
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(NoteFont), FALSE);
}

void LayOutIcons(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    PlaceControl(dialog, IDC_NOTE_DEL, 3);
    PlaceControl(dialog, IDC_NOTE_BACK, 50);
    PlaceControl(dialog, IDC_NOTE_FORW, 87);
    PlaceControl(dialog, IDC_NOTE_HELP, client.right - 74);
    PlaceControl(dialog, IDC_NOTE_EXIT, client.right - 37);
}

void LoadIcons(HWND dialog)
{
    for (int i = 0; i < kIconCount; ++i)
        NoteIcons[i] = LoadNoteIcon(kIconNames[i], kIconSize);
    SetControlIcon(dialog, IDC_NOTE_HELP, LoadNoteIcon("NOTE_HELP", kIconSize));
    SetControlIcon(dialog, IDC_NOTE_EXIT, LoadNoteIcon("NOTE_EXIT", kIconSize));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadNoteIcon("NOTE_EDIT", kIconSize)));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadNoteIcon("NOTE_EDIT", kSmallIconSize)));
}

void OnInitDialog(HWND dialog)
{
    NotesDialog = dialog;
    SetNoteFont(dialog);
    if (MSGx > 0 && MSGy > 0)
        SetWindowPos(dialog, nullptr, MSGx, MSGy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutIcons(dialog);
    LoadIcons(dialog);
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    SendMessageA(edit, EM_LIMITTEXT, kEditLimit, 0);
    PrevEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteEditProc)));
    NoteCurrent = 0;
    SendMessageA(dialog, WM_NOTE_FIND, 0, 0);
    SendMessageA(dialog, WM_NOTE_SHOW, 0, 0);
    // The caret goes behind the text: a note that opened all selected would
    // be replaced by the first key the user types.
    SetFocus(edit);
    int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
}

void ShowCurrentNote(HWND dialog)
{
    memset(NoteText, 0, sizeof(NoteText));
    memset(NoteTitle, 0, sizeof(NoteTitle));
    bool any = NoteCount >= 1 && NoteCurrent >= 0 && NoteCurrent < NoteCount;
    if (any)
        BuildNoteTitle(NoteNames[NoteCurrent], DateOrder, DateSeparator, NoteTitle, sizeof(NoteTitle));
    SetWindowTextA(dialog, any ? NoteTitle : " ");
    if (any)
        ReadNote(NoteCurrent, NoteText, sizeof(NoteText));
    SetControlIcon(dialog, IDC_NOTE_BACK, NoteIcons[NoteCurrent >= 1 ? kIconBack : kIconBackOff]);
    SetControlIcon(dialog, IDC_NOTE_FORW, NoteIcons[NoteCurrent < NoteCount - 1 ? kIconForw : kIconForwOff]);
    SetControlIcon(dialog, IDC_NOTE_DEL, NoteIcons[NoteCount >= 1 ? kIconDel : kIconDelOff]);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    SetWindowTextA(edit, NoteText);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

// Only a note the user changed is written: an unchanged one stays exactly as
// it is on disk, even when it is longer than the edit can hold or holds
// characters the edit would convert.
void SaveShownNote(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    if (!SendMessageA(edit, EM_GETMODIFY, 0, 0))
        return;
    char text[kNoteTextSize] = {0};
    GetWindowTextA(edit, text, static_cast<int>(sizeof(text)));
    SaveNote(text);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

// After a save that deleted the note the list is shorter; a move never points
// past either end of it.
void ClampCurrent()
{
    if (NoteCurrent > NoteCount - 1)
        NoteCurrent = NoteCount - 1;
    if (NoteCurrent < 0 && NoteCount > 0)
        NoteCurrent = 0;
}

void GoBack(HWND dialog)
{
    if (NoteCurrent <= 0)
        return;
    SendMessageA(dialog, WM_NOTE_SAVE, 0, 0);
    --NoteCurrent;
    ClampCurrent();
    SendMessageA(dialog, WM_NOTE_SHOW, 0, 0);
}

void GoForward(HWND dialog)
{
    if (NoteCurrent >= NoteCount - 1)
        return;
    SendMessageA(dialog, WM_NOTE_SAVE, 0, 0);
    ++NoteCurrent;
    ClampCurrent();
    SendMessageA(dialog, WM_NOTE_SHOW, 0, 0);
}

void GoTo(HWND dialog, bool last)
{
    SendMessageA(dialog, WM_NOTE_SAVE, 0, 0);
    NoteCurrent = last ? NoteCount - 1 : 0;
    SendMessageA(dialog, WM_NOTE_SHOW, 0, 0);
}

void CloseDialog(HWND dialog)
{
    SendMessageA(dialog, WM_NOTE_SAVE, 0, 0);
    RECT r;
    if (GetWindowRect(dialog, &r)) {
        MSGx = r.left;
        MSGy = r.top;
        SaveDlgPos();
    }
    EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_NOTE_DEL:
        SendMessageA(dialog, WM_NOTE_DELETE, 0, 0);
        break;
    case IDC_NOTE_BACK:
        SendMessageA(dialog, WM_NOTE_BACK, 0, 0);
        break;
    case IDC_NOTE_FORW:
        SendMessageA(dialog, WM_NOTE_FORW, 0, 0);
        break;
    case IDC_NOTE_EXIT:
    case IDCANCEL:
        CloseDialog(dialog);
        break;
    default:
        break;
    }
}

INT_PTR Answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR ShowNotesDialog(HWND owner)
{
    return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_NOTES), owner, NotesDlgProc, 0);
}

INT_PTR CALLBACK NotesDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;  // the focus is set
    case WM_NOTE_SHOW:
        ShowCurrentNote(dialog);
        return Answer(dialog, 1);
    case WM_NOTE_SAVE:
        SaveShownNote(dialog);
        return Answer(dialog, 1);
    case WM_NOTE_DELETE:
        DeleteNote();
        ShowCurrentNote(dialog);
        return Answer(dialog, 1);
    case WM_NOTE_FIND:
        FindNotes();
        return Answer(dialog, 1);
    case WM_NOTE_BACK:
        GoBack(dialog);
        return Answer(dialog, 1);
    case WM_NOTE_FORW:
        GoForward(dialog);
        return Answer(dialog, 1);
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        if (NoteFont) {
            DeleteObject(NoteFont);
            NoteFont = nullptr;
        }
        NotesDialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

LRESULT CALLBACK NoteEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND dialog = GetParent(edit);
    if (msg == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
        switch (wParam) {
        case VK_PRIOR:
            SendMessageA(dialog, WM_NOTE_BACK, 0, 0);
            return 0;
        case VK_NEXT:
            SendMessageA(dialog, WM_NOTE_FORW, 0, 0);
            return 0;
        case VK_HOME:
            GoTo(dialog, false);
            return 0;
        case VK_END:
            GoTo(dialog, true);
            return 0;
        case VK_DELETE:
            SendMessageA(dialog, WM_NOTE_DELETE, 0, 0);
            return 0;
        default:
            break;
        }
    }
    // Tab moves between controls; it never enters the text.
    if ((msg == WM_CHAR || msg == WM_KEYUP) && wParam == VK_TAB)
        return 0;
    return CallWindowProcA(PrevEditProc, edit, msg, wParam, lParam);
}
