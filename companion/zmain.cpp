// The companion's entry, its single instance and command words, the hidden
// window with its timer, the marker check and the shutdown.
#include "notesdlg.h"
#include "zettler.h"
#include "zettler_ids.h"
#include "zlog.h"

const char kMarkerName[] = "~!~.wyn";
const char kMainClass[] = "ZettlerClass";
const char kMainTitle[] = "Zettler";
const char kMutexName[] = "Tandrovi_Zettler_Mutex";

HWND MainWindow = nullptr;
HINSTANCE AppInstance = nullptr;
int Busy = 0;
UINT_PTR CheckTimer = 0;

namespace {

constexpr size_t kCommandLineMax = 79;
constexpr DWORD kMinCommonControls = (4u << 16) | 71u;  // 4.71, as Internet Explorer 4 brought
constexpr size_t kMinFolderLen = 3;

const char kMessageCaption[] = "Tandrovi Wendelby";

struct WordName {
    const char *text;
    CommandWord word;
};
// Compared in this order.
const WordName kWords[] = {
    {"EXIT", kWordExit},       {"AUTOSTART", kWordAutostart}, {"DEINSTALL", kWordDeinstall},
    {"JETZT", kWordShowNow}, {"NOW", kWordShowNow},
};

const char *Text(const char *german, const char *english) { return Lang == 1 ? german : english; }

void StopCheckTimer()
{
    if (CheckTimer) {
        KillTimer(MainWindow, CheckTimer);
        CheckTimer = 0;
    }
}

void StartCheckTimer(UINT ms)
{
    CheckTimer = (MainWindow && SetTimer(MainWindow, kCheckTimerId, ms, nullptr)) ? kCheckTimerId : 0;
}

void ShowVersionMessage()
{
    ReadNotesKey();
    MessageBoxA(nullptr,
                Text("Dieses Programm funktioniert nur, wenn Microsoft Internet Explorer ab Version 4.0 "
                     "installiert ist.",
                     "This program works only with Microsoft Internet Explorer ver 4.0 (or higher)."),
                kMainTitle, MB_OK | MB_ICONSTOP);
}

// The second instance hands its word to the first and ends. The window is
// looked up by class as well as by title, so that no other window that
// happens to be called "Zettler" receives the private messages.
void ActAsSecondInstance(CommandWord word)
{
    if (word == kWordAutostart)
        SetAutostart(true);
    else if (word == kWordDeinstall)
        SetAutostart(false);
    HWND first = FindWindowA(kMainClass, kMainTitle);
    if (!first)
        return;
    if (word == kWordExit || word == kWordDeinstall)
        SendMessageA(first, WM_NOTES_CLOSE, 0, 0);
    else if (word == kWordShowNow)
        SendMessageA(first, WM_NOTES_SHOWNOW, 0, 0);
}

void ActAsFirstInstance(CommandWord word)
{
    if (word == kWordAutostart) {
        SetAutostart(true);
    } else if (word == kWordDeinstall) {
        SetAutostart(false);
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    } else if (word == kWordShowNow) {
        ShowNow();
    }
}

int RunMessageLoop()
{
    MSG msg = {};
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1) {
            if (MainWindow)
                AppShutdown();
            else
                PostQuitMessage(0);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CheckMarker(HWND owner)
{
    // Without a folder there is nothing to look at; polling quietly beats a
    // message every ten seconds.
    if (strnlen(MSGPath, sizeof(MSGPath)) < kMinFolderLen)
        return;
    char marker[kZPathLen];
    if (!PathCombineA(marker, MSGPath, kMarkerName)) {
        MessageBoxA(owner, Text("Keine Mitteilungen vorhanden.", "No messages found."), kMessageCaption,
                    MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
        return;
    }
    if (GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES)
        return;
    DeleteFileA(marker);
    int answer = MessageBoxA(owner,
                             Text("Neue Mitteilung(en) vorhanden. Jetzt anzeigen?", "New message(s) found. Show now?"),
                             kMessageCaption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
    if (answer == IDYES)
        ShowNotesDialog(owner);
}

}  // namespace

CommandWord ParseCommandWord(const char *commandLine)
{
    char line[kCommandLineMax + 1] = {0};
    StrCopy(line, commandLine ? commandLine : "");
    for (const WordName &w : kWords) {
        if (_stricmp(line, w.text) == 0)
            return w.word;
    }
    return kWordNone;
}

DWORD GetDllVersion(const char *libraryName)
{
    HMODULE library = LoadLibraryA(libraryName);
    if (!library)
        return 0;
    DWORD version = 0;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void *>(GetProcAddress(library, "DllGetVersion")));
    if (getVersion) {
        DLLVERSIONINFO info = {};
        info.cbSize = 20;
        if (SUCCEEDED(getVersion(&info)))
            version = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    FreeLibrary(library);
    return version;
}

bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = kMainClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int CreateMainWindow(HINSTANCE instance)
{
    MainWindow = CreateWindowExA(0, kMainClass, kMainTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                                 nullptr);
    if (!MainWindow)
        return 0;
    ShowWindow(MainWindow, SW_HIDE);
    ReadZettlerSettings();
    AppInstance = instance;
    Busy = 0;
    if (ZettlerDebugOn)
        OpenDebugLog(ZettlerDebugFileName);
    StartCheckTimer(kFirstCheckMs);
    return 1;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        AppShutdown();
        return 0;
    case WM_TIMER:
        if (wParam == kCheckTimerId)
            OnCheckTimer();
        return 0;
    case WM_NOTES_CLOSE:
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    case WM_NOTES_SHOWNOW:
        ShowNow();
        return 1;
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

// Every tick reads the notes key again, so that switching the prompt on or
// moving the notes folder on the screensaver's settings needs no new logon.
void OnCheckTimer()
{
    if (Busy)
        return;
    StopCheckTimer();
    Busy = 1;
    ReadNotesKey();
    if (MSGcheck)
        CheckNotes(MainWindow, kCheckMarker);
    StartCheckTimer(kCheckIntervalMs);
    Busy = 0;
}

void ShowNow()
{
    if (Busy)
        return;
    StopCheckTimer();
    Busy = 1;
    ReadNotesKey();
    CheckNotes(MainWindow, kCheckShowNow);
    StartCheckTimer(kCheckIntervalMs);
    Busy = 0;
}

void CheckNotes(HWND owner, CheckMode mode)
{
    if (mode == kCheckMarker) {
        CheckMarker(owner);
        return;
    }
    ShowNotesDialog(owner);
    if (!MSGcheck && MainWindow)
        SendMessageA(MainWindow, WM_NOTES_CLOSE, 0, 0);
}

void AppShutdown()
{
    // An open notes dialog goes through its own close, so the shown note's
    // edit is saved before the window that owns the dialog goes.
    if (NotesDialog)
        SendMessageA(NotesDialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, 0), 0);
    StopCheckTimer();
    if (MainWindow) {
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    if (ZettlerDebugOn) {
        WriteDebugLog("------ ENDE -------  ");
        CloseDebugLog();
    }
    PostQuitMessage(0);
}

int ZettlerWinMain(HINSTANCE instance, const char *commandLine)
{
    if (GetDllVersion("comctl32.dll") < kMinCommonControls) {
        ShowVersionMessage();
        return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kMutexName);
    if (!mutex)
        return 0;
    bool another = GetLastError() == ERROR_ALREADY_EXISTS;
    CommandWord word = ParseCommandWord(commandLine);

    if (another) {
        ActAsSecondInstance(word);
        CloseHandle(mutex);  // never owned by this instance
        return 0;
    }
    int result = 0;
    if (word != kWordExit && RegisterMainClass(instance) && CreateMainWindow(instance)) {
        ActAsFirstInstance(word);
        result = RunMessageLoop();
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return result;
}
