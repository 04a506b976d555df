#include "features/lights.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "core/random.h"
#include "features/lightschedule.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "services/picturefiles.h"

#include "scene_geometry.h"
#include "vehicles/headlights.h"

int LightState[kLightCount];
int ShutterState = kShutterOpen;
int RightShutterState = kShutterOpen;
bool (*LightChance)(int oneIn) = RandomLightChance;

namespace {

constexpr int kShutterFigure = 55;
constexpr int kLastLight = 56;
constexpr int kResetBelow = -10;
constexpr int kSetOnBelow = -100;
constexpr int kToggle = -1;
constexpr int kSignCount = 4;
constexpr int kLetteringNameLen = 16;  // "B01_01_01_00.BMP"
// The English lettering: a column per sign, ten variants one under another.
constexpr int kForeignSigns[3] = {3, 10, 19};
constexpr int kForeignColumn[3] = {0, 114, 356};

// The roller shutter's animation.
constexpr int kRollIdle = 0, kRollUp = 1, kRollDown = 2, kRollDone = 99;
constexpr int kLastRollFrame = scene::kRoll2Frames - 1;
struct RollerShutter {
    int state;
    int frame;
    int pace;
    HBITMAP picture;
    bool busy;
};
RollerShutter gRoll;

// Index 0 the off look, 1 the on look; dusk and night only.
HBITMAP gLightPictures[2];
HBITMAP gForeignSigns;
// The user's lettering of houses 1..4: "_00" off, "_01" on.
HBITMAP gLettering[kSignCount][2];

const scene::LightPlace *FindLight(int n)
{
    for (const scene::LightPlace &light : scene::kLights)
        if (light.n == n)
            return &light;
    return nullptr;
}

int HouseOfSign(int n)
{
    for (int house = 1; house <= kSignCount; ++house)
        if (scene::kSignLight[house] == n)
            return house;
    return 0;
}

int ForeignColumn(int n)
{
    for (size_t k = 0; k < countof(kForeignSigns); ++k)
        if (kForeignSigns[k] == n)
            return kForeignColumn[k];
    return -1;
}

// Summer day 0, winter day 1; at dusk 2..5 and at night 6..9, summer before
// winter, off before on.
int ForeignVariant(bool on)
{
    const int winter = Season == kWinter ? 1 : 0;
    if (TimeOfDay == kDay)
        return winter;
    return (TimeOfDay == kNight ? 6 : 2) + 2 * winter + (on ? 1 : 0);
}

// The picture and the rectangle of it that show light n on or off; false
// when none is loaded.
bool LightLook(const scene::LightPlace &light, bool on, HBITMAP *picture, SceneRect *source)
{
    int house = HouseOfSign(light.n);
    if (house && gLettering[house - 1][on ? 1 : 0]) {
        *picture = gLettering[house - 1][on ? 1 : 0];
        *source = {0, 0, 0, 0};
        return GetBitmapSize(*picture, source) != 0;
    }
    int column = ForeignColumn(light.n);
    if (column >= 0 && gForeignSigns) {
        *picture = gForeignSigns;
        *source = {column, scene::kLichterERow * ForeignVariant(on), light.dst.w, light.dst.h};
        return true;
    }
    *picture = gLightPictures[on ? 1 : 0];
    *source = {light.src.x, light.src.y, light.src.w, light.src.h};
    return *picture != nullptr;
}

void PaintLight(const scene::LightPlace &light, bool on)
{
    HBITMAP picture = nullptr;
    SceneRect source = {0, 0, 0, 0};
    if (!LightLook(light, on, &picture, &source))
        return;
    const int x = BackgroundX + light.dst.x;
    const int y = BackgroundBottom - scene::kPictureH + light.dst.y;
    {
        SceneDCHold hold;
        if (BackgroundDC)
            DrawBitmapPart(BackgroundDC, x, y, picture, source);
    }
    // Above the work area the window is not redrawn every frame.
    if (y < SceneY)
        if (HDC window = SceneWindowDC())
            DrawBitmapPart(window, x, y, picture, source);
}

// The new state of light n after value (see LichtSteuerung).
int NextState(const scene::LightPlace &light, int was, int value)
{
    if (value < kSetOnBelow)
        return 1;
    if (value < kToggle)
        return was ? 0 : (light.timed ? -value : 1);
    if (value == kToggle)
        return was ? 0 : 1;
    if (value == 0)
        return 0;
    return light.timed ? value : 1;
}

// Figure 55 opens and closes the left shutters with the lights of its house
// on: they must not go out under it.
bool HeldOnByShutterFigure(int n) { return (n == 3 || n == 4) && IsOnStage(kShutterFigure); }

void SwitchLight(int n, int value)
{
    const scene::LightPlace *light = FindLight(n);
    if (!light)
        return;
    int state = NextState(*light, LightState[n], value);
    if (state == 0 && HeldOnByShutterFigure(n))
        return;
    LightState[n] = state;
    SetLicht(n, state != 0);
}

void ResetAndRepaintSigns()
{
    if (TimeOfDay == kDay)
        for (int &state : LightState)
            state = 0;
    for (int house = 1; house <= kSignCount; ++house) {
        int n = scene::kSignLight[house];
        // Under the headlights' lit street sign 12 keeps the look it has.
        if (n == 12 && HeadlightStreetLoaded())
            continue;
        SetLicht(n, LightState[n] != 0);
    }
}

void RepaintLitLights()
{
    for (const scene::LightPlace &light : scene::kLights) {
        if (LightState[light.n] == 0)
            continue;
        if (TimeOfDay == kNight && !light.night)
            continue;
        SetLicht(light.n, 1);
    }
    if (WeatherShow && TimeOfDay != kDay)
        SwitchLight(scene::kShopWindowLight, 1);
}

void DeleteLettering()
{
    for (auto &pair : gLettering)
        for (HBITMAP &picture : pair)
            DeleteTrackedBitmap(&picture);
}

HBITMAP LoadLettering(int house, int look)
{
    char path[kPathLen];
    if (strlen(HausBeschrPics) + 1 + kLetteringNameLen >= sizeof(path)) {
        WriteLog("+++ Beschriftung Haus %d: Pfad zu lang", house);
        return nullptr;
    }
    StrPrintfN(path, sizeof(path), "%s\\B%02d_%02d_%02d_%02d.BMP", HausBeschrPics, house, TimeOfDay, Season, look);
    HBITMAP picture = LoadFromFile(path, 0);
    if (!picture)
        WriteLog("+++ Beschriftung %s fehlt: eingebaute Beschriftung", path);
    return picture;
}

void LoadAllLettering()
{
    ReadHausSettings();
    for (int house = 1; house <= kSignCount; ++house) {
        if (HausFont[house - 1].Default != 0)
            continue;
        WriteLog("Individuelle Beschriftung laden");
        gLettering[house - 1][0] = LoadLettering(house, 0);
        // The lit lettering exists only for dusk and night.
        if (TimeOfDay != kDay)
            gLettering[house - 1][1] = LoadLettering(house, 1);
    }
}

HBITMAP LoadSceneResource(const char *name)
{
    HBITMAP picture = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    if (!picture)
        WriteLog("LoadResourceBitmap(\"%s\") - nicht gefunden!", name);
    return picture;
}

// ---------------------------------------------------------------- roller shutter

void PaintRollFrame(int frame)
{
    if (!gRoll.picture)
        return;
    SceneRect source = {scene::kRoll2PitchX * (frame % 5), scene::kRoll2PitchY * (frame / 5), scene::kRoll2FrameW,
                        scene::kRoll2FrameH};
    SceneDCHold hold;
    if (BackgroundDC)
        DrawBitmapPart(BackgroundDC, BackgroundX + scene::kRoll2X, BackgroundBottom - scene::kPictureH + scene::kRoll2Y,
                       gRoll.picture, source);
}

void StartRoll(int direction)
{
    WriteLog("rechter Rollladen %s", direction == kShutterOpen ? "hoch" : "runter");
    char name[16];
    StrPrintfN(name, sizeof(name), "ROLL2_%02d", Season);
    gRoll.picture = LoadSceneResource(name);
    if (!gRoll.picture)
        return;
    gRoll.frame = 0;
    gRoll.pace = 0;
    gRoll.busy = true;
    gRoll.state = direction == kShutterOpen ? kRollUp : kRollDown;
}

void FinishRoll()
{
    DeleteTrackedBitmap(&gRoll.picture);
    gRoll.state = kRollIdle;
    gRoll.busy = false;
    if (RightShutterState == kShutterOpen)
        LichtSteuerung(scene::kShopWindowLight, 1);
    WriteLog("ROLL 2 fertig");
}

// At dusk the background shows the shop window open; a shutter that stands
// down is painted over it, as the roll would have left it.
void PaintShutterAtRest()
{
    if (TimeOfDay != kDusk || RightShutterState != kShutterClosed || WeatherShow || gRoll.busy)
        return;
    char name[16];
    StrPrintfN(name, sizeof(name), "ROLL2_%02d", Season);
    gRoll.picture = LoadSceneResource(name);
    PaintRollFrame(kLastRollFrame);
    DeleteTrackedBitmap(&gRoll.picture);
}

}  // namespace

bool RandomLightChance(int oneIn) { return oneIn <= 1 || Rand() % oneIn == 0; }

void SetShutterStates(const int trend[2])
{
    ShutterState = trend[0];
    RightShutterState = WeatherShow ? kShutterOpen : trend[1];
}

int LoadLichter()
{
    UnloadLichter();
    LoadAllLettering();
    if (SceneLangNo() != 1) {
        WriteLog("zusätzliche Beschriftung laden");
        char name[16];
        StrPrintfN(name, sizeof(name), "LICHTERE_%02d", SceneLangNo());
        gForeignSigns = LoadSceneResource(name);
        if (!gForeignSigns)
            return 0;
    }
    if (TimeOfDay == kDay)
        return 1;
    for (int look = 0; look < 2; ++look) {
        char name[32];
        StrPrintfN(name, sizeof(name), "LICHTER_%02d_%02d_%01d", Season, TimeOfDay, look);
        gLightPictures[look] = LoadSceneResource(name);
        if (!gLightPictures[look])
            return 0;
    }
    return 1;
}

void UnloadLichter()
{
    for (HBITMAP &picture : gLightPictures)
        DeleteTrackedBitmap(&picture);
    DeleteTrackedBitmap(&gForeignSigns);
    DeleteLettering();
    // A roll that a rebuild cut short stays where the new picture shows it.
    DeleteTrackedBitmap(&gRoll.picture);
    gRoll = {};
}

void SetLicht(int n, int on)
{
    const scene::LightPlace *light = FindLight(n);
    if (!light || light->dst.y < 1 || light->dst.x >= ClientWidth)
        return;
    if (!on && HeldOnByShutterFigure(n))
        return;
    if (n == scene::kShutterWindowLight && ShutterState != kShutterOpen)
        return;
    if (n == scene::kShopWindowLight && RightShutterState != kShutterOpen)
        return;
    WriteLog("Licht: %2d %s", n, on ? "an" : "aus");
    PaintLight(*light, on != 0);
}

void LichtSteuerung(int code, int value)
{
    if (code < kResetBelow) {
        ResetAndRepaintSigns();
        PaintShutterAtRest();
    } else if (code < 0) {
        RepaintLitLights();
    } else if (code == 0) {
        ScheduledLights();
    } else if (code <= kLastLight) {
        SwitchLight(code, value);
    }
}

void RollShutter(int direction)
{
    switch (gRoll.state) {
    case kRollIdle:
        if (direction == kShutterOpen || direction == kShutterClosed)
            StartRoll(direction);
        return;
    case kRollUp:
        PaintRollFrame(kLastRollFrame - gRoll.frame);
        if (++gRoll.pace > Rand() % 3) {
            gRoll.pace = 0;
            ++gRoll.frame;
        }
        if (gRoll.frame > kLastRollFrame) {
            RightShutterState = kShutterOpen;
            gRoll.state = kRollDone;
        }
        return;
    case kRollDown:
        PaintRollFrame(gRoll.frame);
        if (++gRoll.frame > kLastRollFrame) {
            RightShutterState = kShutterClosed;
            gRoll.state = kRollDone;
        }
        return;
    default:
        FinishRoll();
        return;
    }
}

bool RollerShutterBusy() { return gRoll.busy; }

void ResetLights()
{
    UnloadLichter();
    for (int &state : LightState)
        state = 0;
    ShutterState = kShutterOpen;
    RightShutterState = kShutterOpen;
    LightChance = RandomLightChance;
    ResetLightSchedule();
}
