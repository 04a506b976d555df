#include "scene/screen.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "scene/hooks.h"
#include "scene/clocks.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"

#include "scene_geometry.h"

HDC ScreenDC = nullptr;
HDC BackgroundDC = nullptr;
HBITMAP BackgroundBitmap = nullptr;
HDC WorkDC = nullptr;
HBITMAP WorkBitmap = nullptr;
int BuiltTimeOfDay = 0;
int BackgroundX = 0, BackgroundY = 0;
int BackgroundBottom = 0;
int SceneX = 0, SceneY = 0, SceneW = 0, SceneH = kSceneHeight;
int ClockX = 0, ClockY = 0;
int NoTramOverlay = -1;
DogTraceList DogTraces;
HPALETTE BackgroundPalette = nullptr;
std::atomic<uint32_t> ScreenCreated{0};
HBITMAP ConfigPicture = nullptr;
int ConfigPictureX = 0, ConfigPictureY = 0;

namespace {

// Where the fixed overlays sit, from the background's left edge and its
// bottom edge (the geometry table gives them in picture coordinates).
constexpr int kStreetOverlayRise = 128;
constexpr int kHousingX = scene::kClockHousingX, kHousingRise = scene::kPictureH - scene::kClockHousingY;
constexpr int kShutterX = scene::kShutterX, kShutterRise = scene::kPictureH - scene::kShutterY;
constexpr int kDigitalClockX = scene::kClockDigitsX[0];
constexpr int kDigitalClockRise = scene::kPictureH - scene::kClockDigitsY;
constexpr int kAnalogueClockX = scene::kClockDialX, kAnalogueClockRise = scene::kPictureH - scene::kClockDialY;
static_assert(kHousingRise == 389 && kShutterRise == 339 && kDigitalClockRise == 378 && kAnalogueClockRise == 393,
              "the clock and shutter places moved in the geometry table");

HBITMAP gOldBackgroundBitmap = nullptr;
HBITMAP gOldWorkBitmap = nullptr;

std::mutex gSceneDCLock;
thread_local bool gSceneDCHeld = false;

void FillBlack(HDC dc, int w, int h)
{
    RECT rc = {0, 0, w, h};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// A bitmap the size of the scene in the screen's own format, held by a
// memory DC of its own.
bool CreateSceneSurface(int w, int h, HDC *dc, HBITMAP *bitmap, HBITMAP *old)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    *bitmap = TrackBitmap(CreateCompatibleBitmap(screen, w, h));
    *dc = *bitmap ? TrackDC(CreateCompatibleDC(screen)) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!*bitmap || !*dc) {
        DeleteTrackedDC(dc);
        DeleteTrackedBitmap(bitmap);
        return false;
    }
    SetMapMode(*dc, MM_TEXT);
    HGDIOBJ previous = SelectObject(*dc, *bitmap);
    if (!previous || previous == HGDI_ERROR) {
        DeleteTrackedDC(dc);
        DeleteTrackedBitmap(bitmap);
        return false;
    }
    *old = static_cast<HBITMAP>(previous);
    FillBlack(*dc, w, h);
    return true;
}

void FreeSceneSurface(HDC *dc, HBITMAP *bitmap, HBITMAP *old)
{
    if (*dc && *old)
        SelectObject(*dc, *old);
    *old = nullptr;
    DeleteTrackedDC(dc);
    DeleteTrackedBitmap(bitmap);
}

bool OnMainThread() { return GetCurrentThreadId() == MainThreadId; }

// A picture with the key colour, drawn masked into the background.
bool DrawOverlay(const char *name, int x, int y)
{
    HBITMAP picture = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    if (!picture)
        return false;
    HBITMAP mask = CreateMask(picture);
    bool drawn = false;
    if (mask && MakeTransparentBitmap(picture, mask, kKeyColour)) {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        SceneRect point = {x, y, 0, 0};
        DrawMaskedBitmap(BackgroundDC, picture, mask, point);
        drawn = true;
    }
    DeleteTrackedBitmap(&mask);
    DeleteTrackedBitmap(&picture);
    return drawn;
}

// On palette displays a newly loaded background brings its own palette: it
// replaces the old one in both DCs before the old one is deleted.
void TakeBackgroundPalette(HPALETTE fresh)
{
    if (!fresh)
        return;
    if (BackgroundDC) {
        SelectPalette(BackgroundDC, fresh, FALSE);
        RealizePalette(BackgroundDC);
    }
    if (ScreenDC && OnMainThread()) {
        SelectPalette(ScreenDC, fresh, FALSE);
        RealizePalette(ScreenDC);
    }
    DeleteTrackedPalette(&BackgroundPalette);
    BackgroundPalette = fresh;
}

HBITMAP LoadBackgroundPicture(const char *name)
{
    HPALETTE fresh = nullptr;
    HBITMAP picture = LoadResourceBitmap(AppInstance, name, TRUE, &fresh, PaletteDisplay ? kLoadPreview : kLoadScene);
    if (fresh) {
        if (PaletteDisplay)
            TakeBackgroundPalette(fresh);
        else
            DeleteTrackedPalette(&fresh);
    }
    return picture;
}

void CopyPictureIntoBackground(HBITMAP picture, const SceneRect &size)
{
    // A picture taller than the window loses its top rows, never its bottom.
    int sourceY = size.h > ClientHeight ? size.h - ClientHeight : 0;
    SceneRect part = {0, sourceY, size.w, size.h - sourceY};
    std::lock_guard<std::mutex> hold(gSceneDCLock);
    DrawBitmapPart(BackgroundDC, BackgroundX, BackgroundY, picture, part);
}

void DrawDogTraces()
{
    if (DogTraces.count <= 0)
        return;
    HBITMAP picture = LoadResourceBitmap(AppInstance, "FIG024_01_01", TRUE, &ScenePalette, kLoadScene);
    if (!picture)
        return;
    HBITMAP mask = CreateMask(picture);
    if (mask && MakeTransparentBitmap(picture, mask, kKeyColour)) {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        int count = DogTraces.count < kMaxDogTraces ? DogTraces.count : kMaxDogTraces;
        for (int i = 0; i < count; ++i) {
            SceneRect point = {DogTraces.points[i].x, DogTraces.points[i].y, 0, 0};
            DrawMaskedBitmap(BackgroundDC, picture, mask, point);
        }
    }
    DeleteTrackedBitmap(&mask);
    DeleteTrackedBitmap(&picture);
}

void PlaceClock()
{
    int season = Season == kWinter ? kWinter : kSummer;
    switch (Uhr) {
    case 0:
        ClockX = BackgroundX + kDigitalClockX;
        ClockY = BackgroundBottom - kDigitalClockRise;
        break;
    case 1:
        ClockX = BackgroundX + kAnalogueClockX;
        ClockY = BackgroundBottom - kAnalogueClockRise;
        break;
    case 2:
        ClockX = scene::kPillarClockXDigital[season];
        ClockY = scene::kPillarClockYDigital;
        break;
    case 3:
        ClockX = scene::kPillarClockXAnalogue[season];
        ClockY = scene::kPillarClockYAnalogue;
        break;
    default:
        break;
    }
}

void ShowRebuiltScene()
{
    HDC dc = GetDC(MainWindow);
    if (!dc)
        return;
    {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        BitBlt(dc, 0, 0, ClientWidth, ClientHeight, BackgroundDC, 0, 0, SRCCOPY);
        BitBlt(dc, SceneX, SceneY, SceneW, SceneH, WorkDC, 0, 0, SRCCOPY);
    }
    ReleaseDC(MainWindow, dc);
}

void BringToTop()
{
    if (SaverMode != kModeFullScreen || !MainWindow)
        return;
    // From the animation thread the move must not wait for the main thread,
    // which may itself be waiting for the animation thread to end.
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | (OnMainThread() ? 0 : SWP_ASYNCWINDOWPOS);
    SetWindowPos(MainWindow, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

}  // namespace

std::mutex &SceneDCLock() { return gSceneDCLock; }

SceneDCHold::SceneDCHold() : taken_(!gSceneDCHeld)
{
    if (taken_) {
        gSceneDCLock.lock();
        gSceneDCHeld = true;
    }
}

SceneDCHold::~SceneDCHold()
{
    if (taken_) {
        gSceneDCHeld = false;
        gSceneDCLock.unlock();
    }
}

bool SceneDCHeldHere() { return gSceneDCHeld; }

void PlaceBackground(int windowW, int windowH, int pictureW, int pictureH, int *x, int *y, int *bottom)
{
    *x = pictureW < windowW ? (windowW - pictureW) / 2 : 0;
    if (pictureH < windowH) {
        *y = (windowH - pictureH) / 2;
        *bottom = *y + pictureH;
    } else {
        *y = 0;
        *bottom = windowH;
    }
}

int CreateWorkBuffer(int width, int height)
{
    if (WorkDC && WorkBitmap)
        return 1;
    std::lock_guard<std::mutex> hold(gSceneDCLock);
    return CreateSceneSurface(width, height, &WorkDC, &WorkBitmap, &gOldWorkBitmap) ? 1 : 0;
}

void SceneSetup()
{
    for (int id = 110; id <= 119; ++id)
        UnloadFigur(id);
    SceneVehicles().placeStopPost();
    LoadFigurWait(111, 0);
    if (MSGshowWyn03)
        LoadFigurWait(118, 100);
    if (Pfloecke) {
        LoadFigurWait(116, 0);
        SceneFeatures().setUpPosts();
    }
    if (TramOn) {
        LoadFigurWait(113, 0);
        LoadFigurWait(114, 0);
        LoadFigurWait(115, 0);
    }
    if (Interactive) {
        if (EXIT)
            LoadFigurWait(110, 0);
        if (MSGonWyn03 && MSGdispWyn03 > 0)
            LoadFigurWait(112, 0);
    }
    if (TimeOfDay == kDay) {
        if (SceneFeatures().loadLights())
            SceneFeatures().controlLights(-11, 0);
        SceneFeatures().unloadLights();
        SceneVehicles().unloadHeadlights();
    } else {
        if (SceneFeatures().loadLights()) {
            SceneFeatures().controlLights(-11, 0);
            SceneFeatures().controlLights(-1, 0);
        }
        SceneVehicles().loadHeadlights();
    }
    if (WeatherShow) {
        LoadFigurWait(119, 0);
        SceneFeatures().updateWeatherSign();
    }
    if (Interactive)
        LoadFigurWait(131, 0);
}

int CreateScreen()
{
    WriteLog("CreateScreen()");
    if (!KeyForce) {
        UpdateTimeOfDay(1);
        if (BuiltTimeOfDay == TimeOfDay)
            return 1;
    } else {
        WriteLog("Hintergrund wechselt (Taste)");
    }
    const bool firstBuild = BackgroundDC == nullptr;
    ClickPending = 0;

    if (firstBuild) {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        if (!CreateSceneSurface(ClientWidth, ClientHeight, &BackgroundDC, &BackgroundBitmap, &gOldBackgroundBitmap))
            return 0;
    } else {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        FillBlack(BackgroundDC, ClientWidth, ClientHeight);
    }

    char name[32];
    if (SmallWindow)
        StrCopy(name, "HG_CONFIG");
    else
        StrPrintfN(name, sizeof(name), "HG_%02d_%02d", TimeOfDay, Season);
    HBITMAP picture = LoadBackgroundPicture(name);
    if (!picture) {
        picture = LoadBackgroundPicture(name);
        if (!picture) {
            WriteLog("+++ Hintergrund: %s KONNTE NICHT GELADEN WERDEN!", name);
            LogMemoryStatus();
            SetRunStateError(kMemoryError);
            return 0;
        }
        WriteLog("+++ Internen HG geladen! +++");
    }
    WriteLog("Hintergrund: %s", name);
    if (PaletteDisplay && firstBuild && BackgroundPalette) {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        SelectPalette(BackgroundDC, BackgroundPalette, FALSE);
        RealizePalette(BackgroundDC);
        if (ScreenDC) {
            SelectPalette(ScreenDC, BackgroundPalette, FALSE);
            RealizePalette(ScreenDC);
        }
    }

    SceneRect size = {0, 0, 0, 0};
    GetBitmapSize(picture, &size);
    PlaceBackground(ClientWidth, ClientHeight, size.w, size.h, &BackgroundX, &BackgroundY, &BackgroundBottom);
    CopyPictureIntoBackground(picture, size);
    DeleteTrackedBitmap(&picture);

    if (SmallWindow) {
        BuiltTimeOfDay = TimeOfDay;
        ScreenCreated = 1;
        return 1;
    }

    NoTramOverlay = TramOn ? 0 : 1;
    if (NoTramOverlay) {
        StrPrintfN(name, sizeof(name), "STR_%02d_%02d_%02d", TimeOfDay, Season, 1);
        if (!DrawOverlay(name, BackgroundX, BackgroundBottom - kStreetOverlayRise))
            NoTramOverlay = 0;
    }
    if (Uhr == 1 || Uhr == 3) {
        // A DC of its own: the background's may be in use by the other thread.
        HDC screen = GetDC(nullptr);
        StartAClock(screen);
        ReleaseDC(nullptr, screen);
    } else if (Uhr == 0) {
        StrPrintfN(name, sizeof(name), "UHR_%02d_%02d_0", TimeOfDay, Season);
        DrawOverlay(name, BackgroundX + kHousingX, BackgroundBottom - kHousingRise);
    }
    DrawDogTraces();
    if (TimeOfDay != kDay && SceneFeatures().shutterState() == 2) {
        StrPrintfN(name, sizeof(name), "FENSTERLADEN_%02d", TimeOfDay);
        WriteLog("%s", name);
        DrawOverlay(name, BackgroundX + kShutterX, BackgroundBottom - kShutterRise);
    }

    SceneX = BackgroundX;
    SceneY = BackgroundBottom - kSceneHeight;
    SceneW = ClientWidth - 2 * BackgroundX;
    SceneH = kSceneHeight;
    SetSoundSceneWidth(SceneW);
    PlaceClock();

    int result = CreateWorkBuffer(SceneW, kSceneHeight);
    if (result) {
        SceneSetup();
        {
            SceneDCHold hold;
            BitBlt(WorkDC, 0, 0, SceneW, SceneH, BackgroundDC, SceneX, SceneY, SRCCOPY);
            SceneStep();
        }
        if (!firstBuild)
            ShowRebuiltScene();
        WriteLog("CreateScreen() - OK");
        BringToTop();
    }
    ScreenCreated = 1;
    BuiltTimeOfDay = TimeOfDay;
    return result;
}

void ShowConfigPicture(HWND window)
{
    if (!ConfigPicture)
        ConfigPicture = LoadBackgroundPicture("HG_CONFIG");
    if (!ConfigPicture)
        return;
    RECT rc = {0, 0, 0, 0};
    GetClientRect(window, &rc);
    SceneRect size = {0, 0, 0, 0};
    GetBitmapSize(ConfigPicture, &size);
    ConfigPictureX = (rc.right - size.w) / 2;
    ConfigPictureY = (rc.bottom - size.h) / 2;
    HDC dc = GetDC(window);
    if (!dc)
        return;
    if (PaletteDisplay && BackgroundPalette) {
        SelectPalette(dc, BackgroundPalette, FALSE);
        RealizePalette(dc);
    }
    DrawBitmapAt(dc, ConfigPictureX, ConfigPictureY, ConfigPicture);
    ReleaseDC(window, dc);
}

void FreeBackground()
{
    std::lock_guard<std::mutex> hold(gSceneDCLock);
    FreeSceneSurface(&BackgroundDC, &BackgroundBitmap, &gOldBackgroundBitmap);
}

void FreeScreen()
{
    FreeBackground();
    {
        std::lock_guard<std::mutex> hold(gSceneDCLock);
        FreeSceneSurface(&WorkDC, &WorkBitmap, &gOldWorkBitmap);
    }
    DeleteTrackedBitmap(&ConfigPicture);
    BuiltTimeOfDay = 0;
}

NoteSignPlace MessageSignPlace()
{
    return NoteSignPlace{IsOnStage(kMessageSign), FigurTable[kMessageSign].X, BackgroundX};
}
