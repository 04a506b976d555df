// The messages page: notes in the screensaver on or off, their folder, the
// ticker and the message sign, and the companion zettler: its autostart and
// showing the stored notes at once.
#include "resources/resource.h"
#include "base/gdiutil.h"
#include "services/notes.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include <shellapi.h>

namespace {

constexpr int kRow = 17;
constexpr int kSignChoices = 3;
// The folder is read one short of its buffer, so the "\" always fits.
constexpr int kFolderRead = static_cast<int>(kPathLen) - 1;
constexpr unsigned char kLastBlankCode = 32;

// The page's state; the sheet has one messages page at a time.
int gOnAtStart;         // MSGonWyn03 when the page was made, for Cancel
bool gInitialising;     // the folder edit is set by the page, not the user
HBITMAP gSigns[2];      // the pictures of the two sign buttons

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

// One start of the companion with a command word; it answers nothing, and
// without its folder nothing is started.
void StartCompanion(HWND page, const char *word)
{
    char exe[kPathLen];
    if (ZettlerPath[0] == '\0' || !PathCombineA(exe, ZettlerPath, "zettler.exe"))
        return;
    ShellExecuteA(page, "open", exe, word, nullptr, SW_SHOWNORMAL);
}

void FreeSigns(HWND page)
{
    for (int i = 0; i < 2; ++i) {
        SendDlgItemMessageA(page, IDC_MSG_SIGN + i, BM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteTrackedBitmap(&gSigns[i]);
    }
}

void LoadSigns(HWND page)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "MSGDLG_%02d", Language);
    gSigns[0] = LoadPageBitmap(name);
    gSigns[1] = LoadPageBitmap("MSGDLG_X");
    for (int i = 0; i < 2; ++i)
        SendDlgItemMessageA(page, IDC_MSG_SIGN + i, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(gSigns[i]));
}

void Init(HWND page)
{
    ReadMSGSettings();
    XNoteFound = 0;
    SearchMSGFiles();
    gOnAtStart = MSGonWyn03;
    LoadSigns(page);
    gInitialising = true;
    SetDlgItemTextA(page, IDC_MSG_FOLDER, MSGPath);
    gInitialising = false;
    ShowWindow(GetDlgItem(page, IDC_MSG_TICKER), SW_SHOW);
}

void UpdateEnabling(HWND page)
{
    bool on = MSGonWyn03 != 0;
    for (int id : {IDC_MSG_FOLDER, IDC_MSG_BROWSE, IDC_MSG_TICKER, IDC_MSG_NOSIGN, IDC_MSG_CHECK})
        Enable(page, id, on);
    Enable(page, IDC_MSG_SIGN, on && Interactive);
    Enable(page, IDC_MSG_OTHERSIGN, on && Interactive);
}

void ShowSignChoice(HWND page)
{
    for (int i = 0; i < kSignChoices; ++i)
        CheckDlgButton(page, IDC_MSG_NOSIGN + i, MSGdispWyn03 == i ? BST_CHECKED : BST_UNCHECKED);
}

void Activate(HWND page)
{
    static const struct {
        int id;
        const char *key, *german;
    } kTexts[] = {
        {IDC_MSG_ON, "MSGEIN", "&Mitteilungen ermöglichen"},
        {IDC_MSG_TICKER, "TICKER", "Mitteilungen als Ticker anzeigen"},
        {IDC_MSG_TEXT, "TEXT",
         "Auch wenn der Bildschirmschoner läuft, können Sie die Eingabe von Mitteilungen ermöglichen. Nach "
         "Beenden des Bildschirmschoners haben Sie die Möglichkeit alle Mitteilungen durchzusehen."},
        {IDC_MSG_FOLDERLABEL, "VERZEICHNIS", "Speichern in:"},
        {IDC_MSG_SIGNLABEL, "SCHILD", "Schild im Bildschirmschoner:"},
        {IDC_MSG_NOSIGN, "NURTASTE", "Kein Schild,\r\nnur &Tasten 'N' oder 'M'"},
        {IDC_MSG_NOW, "JETZT", "&Neue Mitteilungen"},
        {IDC_MSG_CHECK, "HINWEIS", "&Hinweis nach Beendigung des Bildschirmschoners"},
    };
    for (const auto &t : kTexts)
        SetLngText(page, t.id, "MESSAGES", t.key, t.german);
    UpdateEnabling(page);
    Enable(page, IDC_MSG_NOW, TickerNoteCount() > 0 || XNoteFound != 0);
    CheckDlgButton(page, IDC_MSG_ON, MSGonWyn03 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_MSG_TICKER, MSGshowWyn03 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_MSG_CHECK, MSGcheck ? BST_CHECKED : BST_UNCHECKED);
    ShowSignChoice(page);
    InvalidateRect(page, nullptr, TRUE);
}

// Trailing blanks and control characters go, and the folder ends in one "\".
void TidyNotesFolder(char *folder, size_t size)
{
    size_t len = strnlen(folder, size);
    if (len >= size)
        len = size - 1;
    // Unsigned: a final letter such as "ä" is no control character.
    while (len > 0 && static_cast<unsigned char>(folder[len - 1]) >= 1 &&
           static_cast<unsigned char>(folder[len - 1]) <= kLastBlankCode)
        --len;
    folder[len] = '\0';
    if ((len == 0 || folder[len - 1] != '\\') && len + 1 < size) {
        folder[len] = '\\';
        folder[len + 1] = '\0';
    }
}

void Apply(HWND page)
{
    MSGonWyn03 = Checked(page, IDC_MSG_ON) ? 1 : 0;
    if (MSGonWyn03) {
        char folder[kPathLen] = {};
        GetDlgItemTextA(page, IDC_MSG_FOLDER, folder, kFolderRead);
        TidyNotesFolder(folder, sizeof(folder));
        // A folder the registry cannot hold whole keeps the stored one.
        if (PathStorable(page, folder))
            StrCopy(MSGPath, folder);
        MSGshowWyn03 = Checked(page, IDC_MSG_TICKER) ? 1 : 0;
        for (int i = 0; i < kSignChoices; ++i)
            if (Checked(page, IDC_MSG_NOSIGN + i))
                MSGdispWyn03 = i;
    }
    MSGcheck = Checked(page, IDC_MSG_CHECK) ? 1 : 0;
    // The companion reads the notes key when it starts: the key comes first.
    SaveMSGSettings();
    SaveSettings();
    StartCompanion(page, MSGcheck ? "AUTOSTART" : "DEINSTALL");
}

void Browse(HWND page)
{
    char title[kLabelLen], folder[kPathLen] = {};
    LngCopy(title, sizeof(title), "MESSAGES", "BROWSE",
            "In welchem Verzeichnis sollen die Mitteilungen gespeichert werden?");
    if (!BrowseForFolder(page, title, folder))
        return;
    char stored[kPathLen];
    StrCopy(stored, folder);
    TidyNotesFolder(stored, sizeof(stored));
    if (!PathStorable(page, stored))
        return;
    SetDlgItemTextA(page, IDC_MSG_FOLDER, folder);
    MarkChanged(page);
}

void OnCommand(HWND page, int id, int code)
{
    if (id == IDC_MSG_FOLDER) {
        if (code == EN_CHANGE && !gInitialising)
            MarkChanged(page);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_MSG_ON:
        MSGonWyn03 = Checked(page, IDC_MSG_ON) ? 1 : 0;
        UpdateEnabling(page);
        MarkChanged(page);
        break;
    case IDC_MSG_TICKER:
        MarkChanged(page);
        break;
    case IDC_MSG_NOSIGN:
    case IDC_MSG_SIGN:
    case IDC_MSG_OTHERSIGN:
        MSGdispWyn03 = id - IDC_MSG_NOSIGN;
        ShowSignChoice(page);
        MarkChanged(page);
        break;
    case IDC_MSG_CHECK:
        // At once, and not undone by Cancel: the companion's autostart.
        MSGcheck = Checked(page, IDC_MSG_CHECK) ? 1 : 0;
        StartCompanion(page, MSGcheck ? "AUTOSTART" : "DEINSTALL");
        break;
    case IDC_MSG_BROWSE:
        Browse(page);
        break;
    case IDC_MSG_NOW:
        StartCompanion(page, "NOW");
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK MsgPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, 0, nullptr};
    // Cancel takes back the notes switch; the common handling answers it.
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR *>(lParam)->code == PSN_RESET)
        MSGonWyn03 = gOnAtStart;
    if (message == WM_DESTROY)
        FreeSigns(page);
    return RunPage(page, message, wParam, lParam, kKind);
}
