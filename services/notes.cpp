#include "services/notes.h"

#include "base/debuglog.h"
#include "config/lngtext.h"
#include "base/now.h"
#include "core/notenames.h"
#include "core/random.h"
#include "resources/resource.h"
#include "config/config.h"
#include "base/saverstate.h"

#include <io.h>

const char kMarkerFileName[] = "~!~.wyn";

std::atomic<int> NewNoteWritten{0};
std::atomic<int> XNoteFound{0};
DWORD NoteTickMs = 6000;

namespace {

const char *const kNotePatterns[] = {"N_20??????_?????.txt", "X_20??????_?????.txt"};
constexpr size_t kMinFolderLen = 3;     // a shorter MSGPath switches the notes off
constexpr int kSignGap = 24;            // between the dialog and the sign
constexpr int kRightMargin = 80;
constexpr int kBottomMargin = 50;
constexpr UINT_PTR kIdleTimer = 103;
constexpr size_t kNoteTakeMax = 399;
constexpr int kTickerLineMax = 255;
constexpr UINT kSaveAndClose = WM_APP + 13;  // shutdown asks the dialog to save

// The ticker list: filled by the ticker's thread, appended to by the
// dialog's thread; one lock for both.
CRITICAL_SECTION gListLock;
char gTickerNotes[kMaxTickerNotes][kPathLen];
int gTickerCount = 0;

struct ListLockInit {
    ListLockInit() { InitializeCriticalSection(&gListLock); }
} gListLockInit;

// The dialog's thread and window; owned by the main thread's start and stop.
HANDLE gEditThread = nullptr;
std::atomic<HWND> gNoteDialog{nullptr};

// State of the open dialog (its own thread only).
struct NoteDialogState {
    int idleTicks;
    bool tickerNote;
    int x, y;
};
NoteDialogState gDialog;
// Set before the dialog's thread starts, read by it.
NoteSignPlace gSign;

bool NotesFolderUsable() { return strlen(MSGPath) >= kMinFolderLen; }

bool NotePath(const char *name, char *out, size_t outSize) { return JoinFolderPath(MSGPath, name, out, outSize); }

void ReportCannotSave(HWND owner)
{
    char text[kLngTextMax + 1];
    StrCopy(text, GetLngText("ERR", "CANNOTSAVE", "Kann Datei nicht speichern!"));
    MessageBoxA(owner, text, GetLngText("ERR", "ERR", "FEHLER!"), MB_OK | MB_ICONERROR);
}

// The first free name of this minute; false after 'z'.
bool FreeNoteName(char kind, char *name, size_t nameSize, char *path, size_t pathSize)
{
    SYSTEMTIME now;
    NowLocal(&now);
    const NoteTime t = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
    for (char letter = kFirstNoteLetter; letter <= kLastNoteLetter; ++letter) {
        if (!FormatNoteName(kind, t, letter, name, nameSize) || !NotePath(name, path, pathSize))
            return false;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

bool WriteWholeFile(const char *path, const char *bytes, DWORD size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = size == 0 || WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

void AddTickerNote(const char *name)
{
    EnterCriticalSection(&gListLock);
    if (gTickerCount < kMaxTickerNotes)
        StrCopy(gTickerNotes[gTickerCount++], name);
    if (gTickerCount >= kMaxTickerNotes)
        MSGshowWyn03 = 0;
    LeaveCriticalSection(&gListLock);
}

bool MarkerPath(char *out, size_t outSize) { return NotePath(kMarkerFileName, out, outSize); }

// Finds the files of a pattern that are not folders; calls take for each
// until it returns false.
template <typename Take>
void FindNotes(const char *pattern, Take take)
{
    char search[kPathLen];
    if (!NotePath(pattern, search, sizeof(search)))
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(search, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !take(found.cFileName))
            break;
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// ---------------------------------------------------------------- dialog

void PlaceDialog(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    if (gSign.onStage)
        gDialog.x = gSign.x - client.right + gSign.backgroundX - kSignGap;
    else
        gDialog.x = ClientWidth - kRightMargin - gSign.backgroundX - client.right;
    gDialog.y = ClientHeight - kBottomMargin - client.bottom;
    SetWindowPos(dialog, HWND_TOPMOST, gDialog.x, gDialog.y, 0, 0, SWP_NOSIZE);
}

void SetDialogTexts(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_NOTE_TICKER, GetLngText("MESSAGES", "TICKER", "&Ticker"));
    SetDlgItemTextA(dialog, IDC_NOTE_SAVE, GetLngText("MESSAGES", "SAVE", "&Speichern"));
    SetDlgItemTextA(dialog, IDC_NOTE_CANCEL, GetLngText("MESSAGES", "CANCEL", "Abbrechen"));
}

void OpenDialog(HWND dialog)
{
    gNoteDialog = dialog;
    gDialog.idleTicks = 0;
    gDialog.tickerNote = MSGshowWyn03 != 0;
    SetDialogTexts(dialog);
    HWND box = GetDlgItem(dialog, IDC_NOTE_TICKER);
    ShowWindow(box, MSGshowWyn03 ? SW_SHOW : SW_HIDE);
    CheckDlgButton(dialog, IDC_NOTE_TICKER, gDialog.tickerNote ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_NOTE_EDIT, EM_LIMITTEXT, kNoteTypedMax, 0);
    PlaceDialog(dialog);
    SetTimer(dialog, kIdleTimer, NoteTickMs, nullptr);
}

// True when the text is saved or there is nothing to save; a refused save
// keeps the dialog and its text.
bool SaveDialogText(HWND dialog)
{
    char text[kNoteTakeMax + 1] = "";
    GetDlgItemTextA(dialog, IDC_NOTE_EDIT, text, sizeof(text));
    text[NoteTextLength(text)] = '\0';
    if (text[0] == '\0')
        return true;
    return WriteNoteFile(dialog, text, gDialog.tickerNote && MSGshowWyn03);
}

void CloseDialog(HWND dialog)
{
    KillTimer(dialog, kIdleTimer);
    gNoteDialog = nullptr;
    ClickPending = 0;
    EndDialog(dialog, 0);
}

void OnIdleTick(HWND dialog)
{
    if (++gDialog.idleTicks < kNoteIdleTicks) {
        SetWindowPos(dialog, HWND_TOPMOST, gDialog.x, gDialog.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (SaveDialogText(dialog))
        CloseDialog(dialog);
    else
        gDialog.idleTicks = 0;
}

void OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDC_NOTE_SAVE:
        if (SaveDialogText(dialog))
            CloseDialog(dialog);
        break;
    case IDC_NOTE_CANCEL:
    case IDCANCEL:
        CloseDialog(dialog);
        break;
    case IDC_NOTE_EDIT:
        if (code == EN_CHANGE)
            gDialog.idleTicks = 0;
        break;
    case IDC_NOTE_TICKER:
        if (code == BN_CLICKED) {
            gDialog.tickerNote = IsDlgButtonChecked(dialog, IDC_NOTE_TICKER) == BST_CHECKED;
            gDialog.idleTicks = 0;
        }
        break;
    }
}

INT_PTR CALLBACK NoteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenDialog(dialog);
        return TRUE;
    case WM_TIMER:
        if (wParam == kIdleTimer)
            OnIdleTick(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case kSaveAndClose:
        // The screensaver ends: there is no later chance to save.
        SaveDialogText(dialog);
        CloseDialog(dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

// ---------------------------------------------------------------- files

bool WriteNoteFile(HWND owner, const char *text, bool tickerNote)
{
    char name[kNoteNameSize], path[kPathLen];
    const char kind = tickerNote ? kNoteKindTicker : kNoteKindHidden;
    // Past 'z' no letter is safe in a file name: the note is refused and
    // stays in the editor rather than being lost under a broken name.
    if (!FreeNoteName(kind, name, sizeof(name), path, sizeof(path))) {
        WriteLog("+++ Kein freier Name für die Mitteilung");
        ReportCannotSave(owner);
        return false;
    }
    WriteLog("%s", path);
    if (!WriteWholeFile(path, text, static_cast<DWORD>(strlen(text)))) {
        ReportCannotSave(owner);
        return false;
    }
    if (tickerNote)
        AddTickerNote(name);
    NewNoteWritten = 1;
    return true;
}

void TakeMarker()
{
    char path[kPathLen];
    if (!MarkerPath(path, sizeof(path)) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return;
    NewNoteWritten = 1;
    DeleteFileA(path);
}

void WriteMarker()
{
    char path[kPathLen];
    if (!NewNoteWritten || !MarkerPath(path, sizeof(path)) || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return;
    WriteWholeFile(path, "-", 1);
}

void SearchMSGFiles()
{
    EnterCriticalSection(&gListLock);
    gTickerCount = 0;
    if (NotesFolderUsable()) {
        WriteLog("MSG-Plakatmotive suchen...");
        FindNotes(kNotePatterns[0], [](const char *name) {
            StrCopy(gTickerNotes[gTickerCount++], name);
            return gTickerCount < kMaxTickerNotes;
        });
        bool hidden = false;
        FindNotes(kNotePatterns[1], [&hidden](const char *) {
            hidden = true;
            return false;
        });
        XNoteFound = hidden ? 1 : 0;
        WriteLog("%d MSG-Plakatmotive gefunden", gTickerCount);
    }
    LeaveCriticalSection(&gListLock);
}

int TickerNoteCount()
{
    EnterCriticalSection(&gListLock);
    int count = gTickerCount;
    LeaveCriticalSection(&gListLock);
    return count;
}

bool TickerNoteName(int index, char *out, size_t outSize)
{
    EnterCriticalSection(&gListLock);
    bool ok = index >= 0 && index < gTickerCount;
    StrCopyN(out, outSize, ok ? gTickerNotes[index] : "");
    LeaveCriticalSection(&gListLock);
    return ok;
}

bool GetTickerText(char *buf, size_t size)
{
    if (size == 0)
        return false;
    buf[0] = '\0';
    SearchMSGFiles();
    int count = TickerNoteCount();
    if (count == 0)
        return false;
    char name[kPathLen], path[kPathLen];
    if (!TickerNoteName(Rand() % count, name, sizeof(name)) || !NotePath(name, path, sizeof(path)))
        return false;
    if (_access(path, 4) != 0) {
        WriteLog("Ticker-Datei nicht vorhanden oder gesperrt");
        return false;
    }
    FILE *file = fopen(path, "r");
    if (!file) {
        WriteLog("Kann Ticker-Datei nicht öffnen");
        return false;
    }
    char line[kTickerLineMax + 1];
    while (fgets(line, sizeof(line), file) && AppendTickerLine(buf, size, line)) {
    }
    fclose(file);
    return buf[0] != '\0';
}

// ---------------------------------------------------------------- dialog thread

DWORD WINAPI EditNote(LPVOID)
{
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_NOTE), MainWindow, NoteDialogProc, 0);
    gNoteDialog = nullptr;
    NoteEditorOpen = 0;
    return 0;
}

int StartEditNote(const NoteSignPlace &sign)
{
    if (!NotesFolderUsable())
        return 0;
    char text[16];
    DWORD len = GetEnvironmentVariableA("WYN_NOTE_TICK_MS", text, sizeof(text));
    if (len > 0 && len < sizeof(text))
        NoteTickMs = static_cast<DWORD>(atoi(text));
    if (gEditThread)
        CloseHandle(gEditThread);
    gSign = sign;
    gEditThread = CreateThread(nullptr, 0, EditNote, nullptr, 0, nullptr);
    if (!gEditThread) {
        WriteLog("EditNote-Thread NICHT gestartet");
        return 0;
    }
    WriteLog("EditNote-Thread gestartet");
    return 1;
}

HWND NoteDialogWindow() { return gNoteDialog.load(); }

bool CloseNoteEditor(DWORD timeoutMs)
{
    if (!gEditThread)
        return true;
    // The dialog may still be on its way up: wait for its window briefly.
    DWORD start = GetTickCount();
    while (NoteEditorOpen && !gNoteDialog.load() && GetTickCount() - start < timeoutMs &&
           WaitForSingleObject(gEditThread, 0) == WAIT_TIMEOUT)
        JoinThread(gEditThread, 20);
    if (HWND dialog = gNoteDialog.load())
        PostMessageA(dialog, kSaveAndClose, 0, 0);
    bool ended = JoinThread(gEditThread, timeoutMs);
    if (ended) {
        CloseHandle(gEditThread);
        gEditThread = nullptr;
    }
    return ended;
}
