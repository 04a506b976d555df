// The screensaver window's procedure: for now the window opens, reads the
// settings, keeps the log and closes on Escape; the scene arrives later.
#include "config.h"
#include "debuglog.h"
#include "entry.h"

namespace {

// Below this width the window is the small preview of the display settings,
// which keeps no log.
constexpr int kSmallPreviewWidth = 320;

void SizeToScreen(HWND window)
{
    int w = GetSystemMetrics(SM_CXSCREEN);
    int h = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, w, h, SWP_SHOWWINDOW);
}

LRESULT OnCreate(HWND window)
{
    MainWindow = window;
    CheckWindowsNT();
    ReadPasswordDelay();
    ReadDisplayMode();
    ReadSettings();
    ReadMSGSettings();
    if (SaverMode == kModeFullScreen)
        SizeToScreen(window);
    RECT rc;
    GetClientRect(window, &rc);
    if (DebugOn && rc.right >= kSmallPreviewWidth)
        OpenDebugLog(DebugFileName);
    return 0;
}

void OnDestroy()
{
    CloseDebugLog();
    MainWindow = nullptr;
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (DebugOn && DebugMSG)
        WriteLog("%s 0x%04lX", GetMessageName(message), static_cast<unsigned long>(message));
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_SETCURSOR:
        if (SaverMode == kModeFullScreen) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
