#include "shell/entry.h"

#include "base/debuglog.h"
#include "base/now.h"
#include "scene/scripts.h"
#include "settings/configdialog.h"

int IsNTPlatform = 0;
DWORD SaverIsSecure = 0;
int PasswordDelay = 15;

const char kSaverClassName[] = "ScrClass";
const char kPreviewTitle[] = "SaverPreview";
const char kFullScreenTitle[] = "Tandrovi Wendelby 3";

namespace {

// Full-screen style: WS_POPUP with the class-specific bits the saver always used.
constexpr DWORD kFullScreenStyle = 0x80000803;
constexpr int kCreateWidth = 1280;
constexpr int kCreateHeight = 1024;
constexpr int kDefaultPasswordDelay = 15;

const char *SkipBlanks(const char *p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

const char *SkipProgramName(const char *p)
{
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    if (*p)
        ++p;
    return SkipBlanks(p);
}

const char *SkipBlanksAndColons(const char *p)
{
    while (*p == ' ' || *p == '\t' || *p == ':')
        ++p;
    return p;
}

HWND ParseWindowNumber(const char *p)
{
    // Window handles are passed as decimal numbers; an optional sign, then digits.
    // A long holds only 31 bits on Windows, and a handle above them would be
    // clipped to another window: the number is read at full width and kept
    // at the pointer's.
    unsigned long long value = strtoull(p, nullptr, 10);
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

}  // namespace

SaverCommand ParseSaverCommandLine(const char *commandLine)
{
    SaverCommand cmd = {kModeConfig, nullptr, false};
    const char *p = SkipProgramName(commandLine ? commandLine : "");
    if (*p == '\0')
        return cmd;
    if (*p == '-' || *p == '/')
        ++p;
    switch (*p) {
    case 'P': case 'p': case 'L': case 'l':
        cmd.mode = kModePreview;
        cmd.window = ParseWindowNumber(SkipBlanksAndColons(p + 1));
        break;
    case 'S': case 's':
        cmd.mode = kModeFullScreen;
        break;
    case 'C': case 'c': {
        const char *rest = SkipBlanksAndColons(p + 1);
        if (*rest)
            cmd.window = ParseWindowNumber(rest);
        else
            cmd.useForeground = true;
        break;
    }
    default:
        cmd.mode = kModeUnset;
        break;
    }
    return cmd;
}

int SaverWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    AppInstance = instance;
    SaverMode = kModeUnset;
    // A test may start the program at a chosen moment of the calendar.
    ClockFromEnvironment();
    ResetScripts();
    // The command line the runtime hands to WinMain has lost the program name,
    // so the switches are read from the full one.
    SaverCommand cmd = ParseSaverCommandLine(GetCommandLineA());
    switch (cmd.mode) {
    case kModeConfig:
        SaverMode = kModeConfig;
        DoConfigDialog(cmd.useForeground ? GetForegroundWindow() : cmd.window);
        break;
    case kModePreview:
        SaverMode = kModePreview;
        RunSaverWindow(cmd.window, kModePreview);
        break;
    case kModeFullScreen:
        SaverMode = kModeFullScreen;
        RunSaverWindow(nullptr, kModeFullScreen);
        break;
    default:
        break;
    }
    return 0;
}

namespace {

bool RegisterSaverClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SaverWndProc;
    wc.hInstance = AppInstance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kSaverClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreatePreviewWindow(HWND host)
{
    // A host that is not a window (no number, a stale one) gives no rectangle;
    // a child of nothing or of size zero would be worse than not starting.
    RECT rc = {0, 0, 0, 0};
    if (!host || !IsWindow(host) || !GetClientRect(host, &rc))
        return nullptr;
    if (rc.right <= 0 || rc.bottom <= 0)
        return nullptr;
    return CreateWindowExA(0, kSaverClassName, kPreviewTitle, WS_CHILD | WS_VISIBLE, 0, 0, rc.right,
                           rc.bottom, host, nullptr, AppInstance, nullptr);
}

HWND CreateFullScreenWindow()
{
    return CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kFullScreenTitle, kFullScreenStyle, 0, 0,
                           kCreateWidth, kCreateHeight, nullptr, nullptr, AppInstance, nullptr);
}

void LogLoopFailure()
{
    char *text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char *>(&text), 0, nullptr);
    WriteLog("+++ FEHLER! +++");
    WriteLog("%s", text ? text : "");
    WriteLog("+++ ABRUCH! +++");
    if (text)
        LocalFree(text);
}

void RunMessageLoop()
{
    MSG msg;
    for (;;) {
        BOOL rc = GetMessageA(&msg, nullptr, 0, 0);
        if (rc == 0)
            break;
        if (rc == -1) {
            LogLoopFailure();
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
            PostQuitMessage(0);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

void RunSaverWindow(HWND host, int mode)
{
    if (!RegisterSaverClass())
        return;
    HWND window = (mode == kModePreview) ? CreatePreviewWindow(host) : CreateFullScreenWindow();
    if (!window)
        return;
    if (mode == kModeFullScreen) {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, nullptr, 0);
        SetCursor(nullptr);
    }
    RunMessageLoop();
    // A close refused while the loop was failing must not leave the window,
    // its threads or a switched display mode behind.
    if (MainWindow && IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    if (mode == kModeFullScreen)
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0);
}

// ---------------------------------------------------------------- password policy

namespace {

// Reads the policy number the way the saver always has: four raw bytes into a
// number that starts at -1. A text value "1" (the form some systems store)
// counts as 1 too.
bool ReadSecureValue(const char *subKey, int *value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[16] = {0};
    DWORD type = 0, size = sizeof(data) - 1;
    if (RegQueryValueExA(key, "ScreenSaverIsSecure", nullptr, &type, reinterpret_cast<BYTE *>(data), &size) ==
        ERROR_SUCCESS) {
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            *value = atoi(data);
        else if (size >= 4)
            memcpy(value, data, 4);
    }
    RegCloseKey(key);
    return true;
}

}  // namespace

bool IsScreenSaverSecure()
{
    int value = -1;
    bool policyOpened = ReadSecureValue("Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop", &value);
    if (policyOpened && value >= 0)
        return value == 1;
    ReadSecureValue("Control Panel\\Desktop", &value);
    return value == 1;
}

void ReadPasswordDelay()
{
    PasswordDelay = kDefaultPasswordDelay;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, "Password Delay", nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) ==
            ERROR_SUCCESS &&
        size == sizeof(value))
        PasswordDelay = static_cast<int>(value);
    RegCloseKey(key);
}

void CheckWindowsNT()
{
    OSVERSIONINFOEXA v = {};
    v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v))) {
        v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&v)))
            return;
    }
    IsNTPlatform = (v.dwPlatformId == VER_PLATFORM_WIN32_NT) ? 1 : 0;
}

int VerifySaverPassword(HWND window)
{
    if (IsNTPlatform)
        return 1;
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    if (GetVersionExA(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return 1;
    HMODULE cpl = LoadLibraryA("PASSWORD.CPL");
    if (!cpl) {
        WriteLog("Unable to load PASSWORD.CPL");
        return 1;
    }
    using VerifyProc = BOOL(WINAPI *)(HWND);
    auto verify = reinterpret_cast<VerifyProc>(reinterpret_cast<void *>(GetProcAddress(cpl, "VerifyScreenSavePwd")));
    if (!verify) {
        WriteLog("Unable to get VerifyPwProc address.");
        FreeLibrary(cpl);
        return 1;
    }
    int ok = verify(window);
    FreeLibrary(cpl);
    return ok;
}
