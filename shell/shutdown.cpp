#include "shell/shutdown.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "features/lights.h"
#include "features/ticker.h"
#include "scene/clocks.h"
#include "imagelib.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/music.h"
#include "services/sound.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "services/notes.h"
#include "services/mail.h"
#include "figures/pavement.h"
#include "vehicles/aircraft.h"
#include "vehicles/headlights.h"
#include "base/saverstate.h"

namespace {

constexpr DWORD kThreadJoinMs = 5000;
constexpr DWORD kMusicJoinMs = 10000;

void StopThreads(bool *allEnded)
{
    bool ok = StopMoveImage(kThreadJoinMs);
    ok = JoinLoaderThreads(kThreadJoinMs) && ok;
    StopTickerThread(kThreadJoinMs);
    // An open note is saved as the idle save would, before the marker is left.
    if (!CloseNoteEditor(kThreadJoinMs))
        WriteLog("+++ EditNote() endet nicht");
    if (!WaitMusicThread(kMusicJoinMs))
        WriteLog("+++ PlayMusic() endet nicht");
    *allEnded = ok;
}

void ReleaseWaveResources()
{
    for (WaveResource &wave : WaveTable) {
        if (wave.Handle)
            FreeResource(wave.Handle);
        wave = {};
    }
}

void FreeScenePictures()
{
    FreeErrorPicture();
    FreeScreen();
    for (HBITMAP &strip : ClockStrips)
        DeleteTrackedBitmap(&strip);
    StopAClock();
}

void ReleaseDisplayState(HWND window)
{
    if (ScreenDC) {
        ReleaseDC(window, ScreenDC);
        ScreenDC = nullptr;
    }
    DeleteTrackedPalette(&BackgroundPalette);
    DeleteTrackedPalette(&ScenePalette);
}

}  // namespace

void OnDestroy(HWND window)
{
    // No start-up step may run while the threads are awaited below.
    KillTimer(window, kSaverTimer);
    EndFlag = 1;
    WriteLog("SCR wird beendet ...");
    bool threadsEnded = false;
    StopThreads(&threadsEnded);
    EndMusic();
    if (DisplayChanged) {
        ChangeDisplaySettingsA(nullptr, 0);
        DisplayChanged = 0;
    }
    if (TimerResolution) {
        timeEndPeriod(TimerResolution);
        TimerResolution = 0;
    }
    if (RunState > 0) {
        CleanupLibrary();
        WriteMarker();
    }
    // A thread that did not end may still draw or load: what it could touch
    // is left to the end of the process rather than freed under it.
    if (threadsEnded) {
        FreeGehweg();
        UnloadLichter();
        UnloadFlieger();
        UnloadScheinwerfer();
        for (int id = 0; id < kObjectIdCount; ++id)
            UnloadFigur(id);
        FreeBASS();
        ReleaseWaveResources();
        FreeScenePictures();
    }
    if (SaverCursor) {
        DestroyCursor(SaverCursor);
        SaverCursor = nullptr;
    }
    // A mail call that hung keeps the animation thread alive inside MAPI:
    // the library stays loaded beneath it until the process ends.
    if (MailCheckOn && threadsEnded) {
        MailLogoff(window);
        MailCheckOn = 0;
    }
    if (threadsEnded)
        ReleaseDisplayState(window);
    if (DebugOn) {
        if (PedestrianCount != 0) {
            WriteLog("+++ FigurenAnzahl ungleich NULL !!! +++");
            LogFiguresOnStage(false);
            LogMemoryStatus();
        }
        WriteLog("GDI-Objekte offen: %ld", static_cast<long>(GdiObjectsAlive()));
        CloseDebugLog();
    }
    if (SaverMutex) {
        if (SaverMutexOwned)
            ReleaseMutex(SaverMutex);
        CloseHandle(SaverMutex);
        SaverMutex = nullptr;
        SaverMutexOwned = false;
    }
    MainWindow = nullptr;
    PostQuitMessage(0);
}
