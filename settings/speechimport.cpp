// The import and export of the speech texts, a modal dialog over the
// speech-bubble page. Export copies the stored speech-text file; import merges
// another file's texts into it and writes the result at once to the file and
// to the sheet's copy, so that it holds even when the sheet is cancelled.
#include "resources/resource.h"
#include "config/lngtext.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"
#include "settings/speechtexts.h"

#include <initializer_list>

namespace {

constexpr size_t kProgressLen = 128;
constexpr size_t kMessageLen = 128;
constexpr size_t kCaptionLen = 64;

// The dialog's state, new at every opening.
bool gImport;
bool gReplaceAll;

const char kGermanFilter[] = "Textdateien\0*.txt\0Alle Dateien\0*.*\0";
const char kEnglishFilter[] = "text files\0*.txt\0All files\0*.*\0";

bool FileThere(const char *path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

void CheckOne(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void ShowFailure(const char *format, DWORD error)
{
    char text[kMessageLen], caption[kCaptionLen];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    StrPrintfN(text, sizeof(text), format, static_cast<unsigned>(error));
#pragma GCC diagnostic pop
    StrCopy(caption, GetLngText("ERR", "ERR", "FEHLER!"));
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void PrepareFileDialog(HWND dialog, OPENFILENAMEA *ofn, char *file, size_t fileSize)
{
    ofn->lStructSize = sizeof(*ofn);
    ofn->hwndOwner = dialog;
    ofn->lpstrFilter = Language == 1 ? kGermanFilter : kEnglishFilter;
    ofn->nFilterIndex = 1;
    ofn->lpstrFile = file;
    ofn->nMaxFile = static_cast<DWORD>(fileSize);
    ofn->lpstrDefExt = "txt";
    ofn->Flags = OFN_EXPLORER | OFN_SHOWHELP | OFN_HIDEREADONLY;
}

void Export(HWND dialog)
{
    char file[kPathLen];
    StrCopy(file, "Export.txt");
    OPENFILENAMEA ofn = {};
    PrepareFileDialog(dialog, &ofn, file, sizeof(file));
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (!SaveFileDialog(&ofn) || lstrcmpiA(file, Sprechblasen) == 0)
        return;
    if (!CopyFileA(Sprechblasen, file, FALSE))
        ShowFailure("Export failed: GetLastError returned %u\n", GetLastError());
}

void ShowProgress(void *context, char step, const char *section, int number)
{
    char line[kProgressLen];
    StrPrintfN(line, sizeof(line), "%c: %s - %d  ", step, section, number);
    SetDlgItemTextA(static_cast<HWND>(context), IDC_SBX_PROGRESS, line);
}

// The result goes over the speech-text file first: when that fails, the
// sheet's copy stays as it was, so the page shows nothing that was not stored.
void Import(HWND dialog)
{
    char file[kPathLen];
    StrCopy(file, "*.txt");
    OPENFILENAMEA ofn = {};
    PrepareFileDialog(dialog, &ofn, file, sizeof(file));
    if (!OpenFileDialog(&ofn))
        return;
    for (int id : {IDC_SBX_EXPORT, IDC_SBX_REPLACE, IDOK, IDCANCEL})
        Enable(dialog, id, false);
    char result[kPathLen];
    if (!GetTempFileNameA(TempFolder, "SBI", 0, result)) {
        ShowFailure("Import failed: GetLastError returned %u\n", GetLastError());
        return;
    }
    bool ok = MergeSpeechTexts(Sprechblasen, file, result, gReplaceAll, Language, ShowProgress, dialog);
    DWORD error = GetLastError();
    if (ok) {
        ok = CopyFileA(result, Sprechblasen, FALSE) != 0;
        error = GetLastError();
    }
    if (ok && SpeechTextCopy[0]) {
        ok = CopyFileA(result, SpeechTextCopy, FALSE) != 0;
        error = GetLastError();
    }
    DeleteFileA(result);
    if (!ok)
        ShowFailure("Import failed: GetLastError returned %u\n", error);
}

void Init(HWND dialog)
{
    gImport = false;
    gReplaceAll = false;
    SetDlgItemTextA(dialog, IDOK, GetLngText("MESSAGES", "NEXT", "&Weiter >"));
    SetDlgItemTextA(dialog, IDCANCEL, GetLngText("MESSAGES", "CANCEL", "Abbrechen"));
    SetDlgItemTextA(dialog, IDC_SBX_EXPORT, GetLngText("SPRECHBLASEN", "EXP", "&Export (alle)"));
    SetDlgItemTextA(dialog, IDC_SBX_IMPORT, GetLngText("SPRECHBLASEN", "IMP", "&Import"));
    SetDlgItemTextA(dialog, IDC_SBX_REPLACE, GetLngText("SPRECHBLASEN", "ALL", "&Alle ersetzen"));
    SetDlgItemTextA(dialog, IDC_SBX_PROGRESS, "");
    bool there = FileThere(Sprechblasen);
    gImport = !there;
    Enable(dialog, IDC_SBX_EXPORT, there);
    CheckOne(dialog, IDC_SBX_EXPORT, there);
    CheckOne(dialog, IDC_SBX_IMPORT, !there);
    CheckOne(dialog, IDC_SBX_REPLACE, false);
    Enable(dialog, IDC_SBX_REPLACE, !there);
}

}  // namespace

INT_PTR CALLBACK ImportExportDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Init(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SBX_EXPORT:
            gImport = false;
            CheckOne(dialog, IDC_SBX_EXPORT, true);
            Enable(dialog, IDC_SBX_REPLACE, false);
            return TRUE;
        case IDC_SBX_IMPORT:
            gImport = true;
            CheckOne(dialog, IDC_SBX_IMPORT, true);
            Enable(dialog, IDC_SBX_REPLACE, true);
            return TRUE;
        case IDC_SBX_REPLACE:
            gReplaceAll = IsDlgButtonChecked(dialog, IDC_SBX_REPLACE) == BST_CHECKED;
            return TRUE;
        case IDOK:
            if (gImport)
                Import(dialog);
            else
                Export(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
