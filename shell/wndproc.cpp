// The screensaver window's procedure: creation, the start-up timer and the
// end go to their own parts; painting, the close rule and the input are here.
#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/msgnames.h"
#include "scene/animation.h"
#include "scene/screen.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "shell/shutdown.h"
#include "shell/startup.h"



namespace {

constexpr int kCloseGuardStates = 2;

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        if (SmallWindow) {
            if (ConfigPicture)
                DrawBitmapAt(dc, ConfigPictureX, ConfigPictureY, ConfigPicture);
        } else if (ScreenDC) {
            std::lock_guard<std::mutex> hold(SceneDCLock());
            const RECT &r = ps.rcPaint;
            if (BackgroundDC)
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BackgroundDC, r.left, r.top, SRCCOPY);
            else  // no scene yet, or none at all: the screen stays black
                FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    }
    EndPaint(window, &ps);
    ScreenCreated = 1;
}

void OnEraseBackground(HWND, HDC dc)
{
    if (!DisplayChanged)
        return;
    RECT rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void OnPaletteChanged()
{
    if (!PaletteDisplay || !ScreenDC)
        return;
    std::lock_guard<std::mutex> hold(SceneDCLock());
    if (BackgroundDC) {
        UpdateColors(ScreenDC);
        UpdateColors(BackgroundDC);
    }
}

// Returns true when the request was refused.
bool RefuseClose(HWND window)
{
    WriteLog("WM_CLOSE (s=%d)", RunState.load());
    if (RunState < kCloseGuardStates)
        return !EndFlag;
    if (GetTickCount() - StartTick > static_cast<DWORD>(PasswordDelay) * 1000) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        if (!VerifySaverPassword(window)) {
            WriteLog("+++ Falsches Passwort");
            InvalidateRect(window, nullptr, FALSE);
            return true;
        }
    }
    return false;
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (RefuseClose(window))
        return 0;
    if (RunState < kCloseGuardStates)
        return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    EndFlag = 1;
    RunState = kEndRequested;
    DestroyWindow(window);
    return 0;
}

LRESULT OnPowerBroadcast(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case PBT_APMQUERYSUSPEND:
        WriteLog("WM_POWERBROADCAST / PBT_APMQUERYSUSPEND");
        return 1;
    case PBT_APMRESUMEAUTOMATIC:
        WriteLog("WM_POWERBROADCAST / PBT_APMRESUMEAUTOMATIC");
        break;
    case PBT_APMRESUMECRITICAL:
        WriteLog("WM_POWERBROADCAST / PBT_APMRESUMECRITICAL");
        break;
    case PBT_APMRESUMESUSPEND:
        WriteLog("WM_POWERBROADCAST / PBT_APMRESUMESUSPEND");
        break;
    default:
        return DefWindowProcA(window, WM_POWERBROADCAST, wParam, lParam);
    }
    InvalidateRect(window, nullptr, FALSE);
    return DefWindowProcA(window, WM_POWERBROADCAST, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (DebugOn && DebugMSG)
        WriteLog("%s 0x%04lX", GetMessageName(message), static_cast<unsigned long>(message));
    // Mouse points are signed 16-bit values: a second monitor lies left of 0.
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_CREATE:
        OnCreate(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(window, wParam);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        OnKey(window, static_cast<int>(wParam), message == WM_KEYDOWN);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(window, x, y, wParam);
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(window, x, y, wParam);
        return 0;
    case WM_MBUTTONUP:
        OnMiddleButtonUp(window, x, y, wParam);
        return 0;
    case WM_RBUTTONUP:
        OnRightButtonUp(window, x, y, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return 0;
    case WM_PALETTECHANGED:
        OnPaletteChanged();
        break;
    case WM_CLOSE:
        return OnClose(window, wParam, lParam);
    case WM_ACTIVATE:
        WriteLog("WM_ACTIVATE");
        return 0;
    case WM_ACTIVATEAPP:
        WriteLog("WM_ACTIVATEAPP");
        return 0;
    case WM_MOUSEACTIVATE:
        WriteLog("WM_MOUSEACTIVATE");
        return 0;
    case WM_CAPTURECHANGED:
        WriteLog("WM_CAPTURECHANGED");
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) {
            WriteLog("WM_SYSCOMMAND / SC_SCREENSAVE");
            return 0;
        }
        break;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(window, wParam, lParam);
    case kHideCursorMessage:
        SetCursor(nullptr);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
