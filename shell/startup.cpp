#include "shell/startup.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "core/random.h"
#include "imagelib.h"
#include "features/lights.h"
#include "scene/animation.h"
#include "scene/clocks.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/piclists.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "config/settingstable.h"
#include "shell/entry.h"
#include "shell/keys.h"
#include "services/weather.h"
#include "services/notes.h"
#include "services/mail.h"
#include "base/saverstate.h"

uint32_t DisplayChanged = 0;
uint32_t TimerResolution = 0;
HANDLE SaverMutex = nullptr;
bool SaverMutexOwned = false;
DWORD StartTick = 0;
HCURSOR SaverCursor = nullptr;
std::atomic<int> CursorTicks{0};
int ShutterTrend[2] = {-2, -2};

namespace {

const char kMutexName[] = "Tandrovi_Wyn2SCR_Mutex";
constexpr int kSmallWidth = 320;
constexpr int kDisplayModeMinWidth = 640;
constexpr UINT kStartPeriod = 110;
constexpr UINT kPreviewPeriod = 500;
constexpr UINT kRunningPeriod = 1000;
constexpr UINT kErrorPeriod = 128;
constexpr int kCursorHideTicks = 11;
constexpr int kErrorMoves = 5000;
constexpr int kSaverCursorId = 1000;
constexpr DWORD kErrorJoinMs = 3000;

// The error screen's picture and its bounce.
HBITMAP gErrorPicture = nullptr;
SceneRect gErrorSize = {0, 0, 0, 0};
Bounce gBounce = {0, 0, 0, 0};
int gErrorMoves = 0;
bool gErrorClosePosted = false;

// Moves the start-up on unless another thread has meanwhile put it into an
// error state.
void Advance(int from, int to)
{
    int expected = from;
    RunState.compare_exchange_strong(expected, to);
}

void ReadClientSize(HWND window)
{
    RECT rc = {0, 0, 0, 0};
    GetClientRect(window, &rc);
    ClientWidth = rc.right - rc.left;
    ClientHeight = rc.bottom - rc.top;
}

void SwitchDisplayMode(HWND window)
{
    if (ClientWidth < kDisplayModeMinWidth || !DisplayMode[0] || !DisplayMode[1] || !DisplayMode[2])
        return;
    DEVMODEA current = {};
    current.dmSize = sizeof(current);
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current)) {
        // A frequency of 0 means "any": it never forces a switch by itself.
        bool same = static_cast<int>(current.dmPelsWidth) == DisplayMode[0] &&
                    static_cast<int>(current.dmPelsHeight) == DisplayMode[1] &&
                    static_cast<int>(current.dmBitsPerPel) == DisplayMode[2] &&
                    (DisplayMode[3] <= 0 || static_cast<int>(current.dmDisplayFrequency) == DisplayMode[3]);
        if (same)
            return;
    }
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = DisplayMode[0];
    mode.dmPelsHeight = DisplayMode[1];
    mode.dmBitsPerPel = DisplayMode[2];
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (DisplayMode[3] > 0) {
        mode.dmDisplayFrequency = DisplayMode[3];
        mode.dmFields |= DM_DISPLAYFREQUENCY;
    }
    if (ChangeDisplaySettingsA(&mode, CDS_TEST | CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        ReadClientSize(window);
        return;
    }
    DisplayChanged = 1;
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ScreenDC), 0);
    ShowWindow(window, SW_SHOW);
    ReadClientSize(window);
}

}  // namespace

void StartMailCheck(HWND window)
{
    MailCheckOn = 0;
    if (NoMailCheck || GetProfileIntA("Mail", "MAPI", 0) <= 0)
        return;
    if (MailLogon(window) == SUCCESS_SUCCESS) {
        MailBaseline = CountUnread(window);
        MailCheckOn = 1;
        WriteLog("MAPI gestartet");
    }
}

namespace {

void RaiseTimerResolution()
{
    TIMECAPS caps = {};
    if (timeGetDevCaps(&caps, sizeof(caps)) != TIMERR_NOERROR)
        return;
    if (timeBeginPeriod(caps.wPeriodMin) == TIMERR_NOERROR)
        TimerResolution = caps.wPeriodMin;
    WriteLog("Minimum timer resolution: %d", static_cast<int>(caps.wPeriodMin));
}

int ScreenColours()
{
    HDC dc = GetDC(nullptr);
    int colours = -1;
    if (dc) {
        if (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)
            colours = GetDeviceCaps(dc, SIZEPALETTE);
        else
            colours = GetDeviceCaps(dc, NUMCOLORS);
        ReleaseDC(nullptr, dc);
    }
    return colours;
}

int NumColours()
{
    HDC dc = GetDC(nullptr);
    int colours = dc ? GetDeviceCaps(dc, NUMCOLORS) : -1;
    if (dc)
        ReleaseDC(nullptr, dc);
    return colours;
}

// On a palette display the scene's pictures share one palette: the one of
// the scene palette picture ("PAL", a whole BMP file).
void LoadScenePalette()
{
    HRSRC info = FindResourceA(AppInstance, "PAL", "MASKE");
    if (!info)
        return;
    DWORD size = SizeofResource(AppInstance, info);
    HGLOBAL data = LoadResource(AppInstance, info);
    auto *bytes = data ? static_cast<const BYTE *>(LockResource(data)) : nullptr;
    if (!bytes || size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD))
        return;
    auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(bytes + sizeof(BITMAPFILEHEADER));
    ScenePalette = PaletteFromDIB(header, nullptr);
}

// Without its mutex the saver does not run, but a window left hidden would
// keep the system's saver-running mark set until logoff: it shows black and
// the input that ends a run closes it.
void ShowBlackUntilClosed(HWND window)
{
    RunState = kEndRequested;
    Interactive = 0;
    StartTick = GetTickCount();  // the password delay counts from here too
    if (SaverMode != kModePreview)
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void ShowFullScreen(HWND window)
{
    if (SaverMode != kModeFullScreen || DisplayChanged)
        return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    SetFocus(window);
}

bool MemoryCheckPasses()
{
    if (NoMemoryCheck)
        return true;
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    double need = MemoryNeed(ClientWidth, ClientHeight, PaletteDisplay != 0, NumColours());
    if (static_cast<double>(status.dwAvailPhys) < need) {
        WriteLog("+++ ZU WENIG FREIER ARBEITSSPEICHER!");
        return false;
    }
    return true;
}

void SetMusicianPause(int id, int pause)
{
    FigurTable[id].Pause = pause;
    FigurTable[id].MayReturn = 0;
    WriteLog("F_PAUSE: %3d, %d", id, pause / 8);
}

void MusicAndMusicians()
{
    if (WinampPlaying) {
        Music = 1;
        MP3next = 0;
        if (MusikKommt == 0) {
            MusikKommt = 1;
            FigurTable[42].Pause = 0;
            FigurTable[42].MayReturn = 1;
        }
    }
    if (!Music) {
        MP3next = 0;
        MusikKommt = 0;
        for (int id : {41, 42}) {
            FigurTable[id].Pause = 9999;
            FigurTable[id].MayReturn = 0;
        }
        return;
    }
    int count = ReadPlaylist();
    Music = LoadBASS(1);
    if (Music && count > 0 && (MP3next >= count || MP3shuffle)) {
        MP3next = 0;
        if (MP3shuffle)
            ShufflePlaylist();
    }
    switch (MusikKommt) {
    case 1:
        SetMusicianPause(41, Rand() % 17);
        if (!WinampPlaying)
            SetMusicianPause(42, Rand() % 9);
        break;
    case 2:
        SetMusicianPause(41, Rand() % 41);
        SetMusicianPause(42, 8 + Rand() % 17);
        break;
    case 3:
        SetMusicianPause(41, 32 + Rand() % 49);
        SetMusicianPause(42, 24 + Rand() % 41);
        break;
    case 4:
        SetMusicianPause(41, 64 + Rand() % 177);
        SetMusicianPause(42, 48 + Rand() % 113);
        break;
    case 5:
        SetMusicianPause(41, 128 + Rand() % 233);
        SetMusicianPause(42, 112 + Rand() % 209);
        break;
    default:
        SetMusicianPause(41, Rand() % 25);
        SetMusicianPause(42, Rand() % 25);
        break;
    }
}

void LoadClockStrips()
{
    for (int n = 0; n < 3; ++n) {
        char name[16];
        StrPrintfN(name, sizeof(name), "UHR_%02d", n);
        if (!ClockStrips[n])
            ClockStrips[n] = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    }
}

void ShowSceneOnWindow(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return;
    {
        std::lock_guard<std::mutex> hold(SceneDCLock());
        if (BackgroundDC)
            BitBlt(dc, 0, 0, ClientWidth, ClientHeight, BackgroundDC, 0, 0, SRCCOPY);
        if (WorkDC)
            BitBlt(dc, SceneX, SceneY, SceneW, SceneH, WorkDC, 0, 0, SRCCOPY);
    }
    ReleaseDC(window, dc);
}

void LoadErrorPicture(const char *format)
{
    char name[32];
    StrPrintfN(name, sizeof(name), format, SceneLangNo());
    DeleteTrackedBitmap(&gErrorPicture);
    gErrorPicture = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
}

void SetUpErrorScreen(HWND window)
{
    // Nothing may still draw from the background when it goes: a thread
    // that did not end may still use it, and it is left to the shutdown.
    const bool moverEnded = StopMoveImage(kErrorJoinMs);
    const bool loadersEnded = JoinLoaderThreads(kErrorJoinMs);
    if (moverEnded && loadersEnded)
        FreeBackground();
    Interactive = 0;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    HDC dc = GetDC(window);
    if (dc) {
        RECT rc = {0, 0, ClientWidth, ClientHeight};
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(window, dc);
    }
    MessageBeep(MB_ICONEXCLAMATION);
    gErrorMoves = 0;
    gBounce = {0, 0, 0, 0};
    if (gErrorPicture && GetBitmapSize(gErrorPicture, &gErrorSize)) {
        SetTimer(window, kSaverTimer, kErrorPeriod, nullptr);
    } else if (!SaverIsSecure) {
        EndFlag = 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    RunState = kErrorScreen;
}

void MoveErrorPicture(HWND window)
{
    if (!gErrorPicture)
        return;
    ++gErrorMoves;
    if (gErrorMoves < kErrorMoves) {
        BounceStep(&gBounce, ClientWidth, ClientHeight, gErrorSize.w, gErrorSize.h);
        BlitToWindow(window, gBounce.x, gBounce.y, gErrorPicture);
        return;
    }
    if (SaverIsSecure) {
        gErrorMoves = 0;
    } else if (!gErrorClosePosted) {
        gErrorClosePosted = true;
        EndFlag = 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

void CursorTick()
{
    if (!Interactive)
        return;
    if (++CursorTicks >= kCursorHideTicks) {
        CursorTicks = 0;
        if (!NoteEditorOpen)
            SetCursor(nullptr);
    }
}

}  // namespace

// ---------------------------------------------------------------- pure rules


double MemoryNeed(int width, int height, bool paletteDisplay, int numColours)
{
    int factor = 6;
    if (paletteDisplay)
        factor = 2;
    else if (numColours >= 1 && numColours <= 65535)
        factor = 4;
    return static_cast<double>(width) * height * factor;
}

void ComputeShutterTrend(int timeOfDay, int hour, int minute, int trend[2])
{
    if (timeOfDay == kDay) {
        trend[0] = trend[1] = -2;
    } else if (timeOfDay == kNight) {
        trend[0] = trend[1] = 2;
    } else {
        trend[0] = -2;
        if (hour >= 13)
            trend[1] = minute < 55 ? -2 : 2;
        else
            trend[1] = minute < 55 ? 2 : -2;
    }
}

void BounceStep(Bounce *b, int width, int height, int pictureW, int pictureH)
{
    if (b->x == 0 && b->y == 0) {
        b->x = (width - pictureW) / 2;
        b->y = (height - pictureH) / 2;
    }
    if (b->dx == 0)
        b->dx = 1;
    if (b->dy == 0)
        b->dy = 1;
    b->x += b->dx;
    b->y += b->dy;
    if (b->x < 2 || b->x > width - pictureW - 10)
        b->dx = -b->dx;
    if (b->y < 2 || b->y > height - pictureH - 10)
        b->dy = -b->dy;
}

// ---------------------------------------------------------------- creation

LRESULT OnCreate(HWND window, const CREATESTRUCTA *)
{
    TimerResolution = 0;
    EndFlag = 0;
    DisplayChanged = 0;
    SmallWindow = 0;
    ScreenDC = GetDC(window);
    MainWindow = window;
    MainThreadId = GetCurrentThreadId();
    ReadClientSize(window);
    ReadDisplayMode();
    SwitchDisplayMode(window);
    if (SaverMode != kModePreview) {
        SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_NOMOVE | SWP_NOZORDER);
        // The scene takes the screen it really has, not the size the window
        // was created with.
        ReadClientSize(window);
    }
    ResetMouseBaseline(window);

    RunState = 0;
    CheckWindowsNT();
    SaverIsSecure = IsScreenSaverSecure() ? 1 : 0;
    InitFigurTable();
    ReadSettings();
    ApplySettingsToFigurTable();
    ReadPasswordDelay();
    ReadMSGSettings();

    if (ClientWidth >= kSmallWidth) {
        SaverMutex = CreateMutexA(nullptr, TRUE, kMutexName);
        SaverMutexOwned = SaverMutex && GetLastError() != ERROR_ALREADY_EXISTS;
        if (!SaverMutex) {
            ShowBlackUntilClosed(window);
            return 0;
        }
        if (DebugOn)
            OpenDebugLog(DebugFileName, LogSettingsReport);
        // The companion's marker is taken only by a real run, which leaves it
        // again at its end; the small preview comes and goes with the dialog.
        TakeMarker();
        TwelveHourClock = GetProfileIntA("intl", "iTime", 1) == 0 ? 1 : 0;
        SetProgressCallback(ImageAbortCallback, 0);
        StartTick = GetTickCount();
        StartMailCheck(window);
        RaiseTimerResolution();
        SaverCursor = static_cast<HCURSOR>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(kSaverCursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
        SetTimer(window, kSaverTimer, kStartPeriod, nullptr);
    } else {
        DebugOn = 0;
        MailCheckOn = 0;
        Sound = 0;
        Music = 0;
        EndFlag = 1;
        SetTimer(window, kSaverTimer, kPreviewPeriod, nullptr);
    }
    return 0;
}

// ---------------------------------------------------------------- timer steps

void OnTimer(HWND window, UINT_PTR)
{
    const int state = RunState.load();
    if (state >= 0 && state <= 8)
        WriteLog("-- %d --", state);
    switch (state) {
    case kStillPicture:
        ShowConfigPicture(window);
        EndFlag = 1;
        break;
    case 0: {
        UpdateTimeOfDay(1);
        int colours = ScreenColours();
        PaletteDisplay = IsPaletteColourCount(colours) ? 1 : 0;
        if (PaletteDisplay && !ScenePalette)
            LoadScenePalette();
        SmallWindow = ClientWidth < kSmallWidth ? 1 : 0;
        if (SmallWindow)
            ShowConfigPicture(window);
        else
            ShowFullScreen(window);
        Advance(0, IsTooFewColours(colours) ? kColoursError : (SmallWindow ? kStillPicture : 1));
        break;
    }
    case 1:
        if (WeatherShow)
            ParseStoredMETAR();
        Advance(1, 2);
        break;
    case 2:
        EndFlag = 0;
        if (Sound) {
            if (!LoadBASS(0)) {
                Sound = 0;
            } else {
                LockWaveResources(AppInstance);
                LoadSamples();
            }
        }
        Advance(2, MemoryCheckPasses() ? 3 : kMemoryError);
        break;
    case 3:
        initWinAMP();
        MusicAndMusicians();
        Advance(3, 4);
        break;
    case 4:
        LoadClockStrips();
        Advance(4, ClockStrips[2] ? 5 : kMemoryError);
        break;
    case 5:
        ReadBusPiclist();
        ReadSBahnPiclist();
        ReadLKWPiclist();
        Advance(5, 6);
        break;
    case 6:
        ComputeShutterTrend(TimeOfDay, Hour, Minute, ShutterTrend);
        SetShutterStates(ShutterTrend);
        Advance(6, CreateScreen() ? 7 : kMemoryError);
        break;
    case 7:
        EndFlag = 0;
        StartFigur();
        ShowSceneOnWindow(window);
        Advance(7, 8);
        break;
    case 8:
        EndFlag = 0;
        if (StartMoveImage()) {
            Advance(8, kRunning);
            SetTimer(window, kSaverTimer, kRunningPeriod, nullptr);
        } else {
            Advance(8, kMemoryError);
        }
        break;
    case kRunning:
        CursorTick();
        break;
    case kEndRequested:
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        Advance(kEndRequested, kEndPosted);
        break;
    case kColoursError:
        LoadErrorPicture("FARBEN_%02d");
        Advance(kColoursError, kErrorScreenSetup);
        break;
    case kMemoryError:
        LoadErrorPicture("SPEICHER_%02d");
        Advance(kMemoryError, kErrorScreenSetup);
        break;
    case kErrorScreenSetup:
        SetUpErrorScreen(window);
        break;
    case kErrorScreen:
        MoveErrorPicture(window);
        break;
    default:
        break;
    }
}

// The error picture belongs to the start-up; the shutdown deletes it here.
void FreeErrorPicture() { DeleteTrackedBitmap(&gErrorPicture); }
