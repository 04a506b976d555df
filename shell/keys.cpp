#include "shell/keys.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "features/lights.h"
#include "features/weathersign.h"
#include "scene/bubbles.h"
#include "figures/musicians.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/casting.h"
#include "scene/hooks.h"
#include "scene/objects.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "services/notes.h"
#include "vehicles/bus.h"

#include <mutex>

int WindowMouseX = 0, WindowMouseY = 0;
int LastMoveX = 0, LastMoveY = 0;
uint32_t PauseToggle = 0;

namespace {

constexpr int kMoveThreshold = 9;
constexpr int kTalkLeftEdge = 70;
constexpr int kTalkRightMargin = 50;
constexpr UINT kPausePeriodFirst = 100;
constexpr int kPausePeriodBase = 41;
constexpr int kMusicFadeMs = 500;
constexpr int kRightShutterLight = 11;
constexpr int kLastLight = 56;

// A leaf lock: the queue is copied out before its keys run.
std::mutex gKeyLock;
int gKeys[32];
int gKeyCount = 0;
// The first move once the scene runs only marks where the pointer is: moving
// the window to the top makes such a move without anyone touching the mouse.
bool gMoveBaselineTaken = false;

bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
bool ControlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Objects without a script would stand on stage unseen: their keys do nothing.
int KeyLoad(int id)
{
    if (!HasScript(id))
        return 0;
    return LoadFigur(id, 0);
}

void SwitchLights(const int *lights, int count)
{
    for (int i = 0; i < count; ++i)
        LichtSteuerung(lights[i], -1);
}

void DigitKey(int digit)
{
    if (digit == 0) {
        for (int n = 1; n <= kLastLight; ++n) {
            if (n == kRightShutterLight && (RightShutterState == 2 || WeatherShow))
                continue;
            LichtSteuerung(n, 0);
        }
        return;
    }
    if (TimeOfDay == kDay)
        return;
    static const int k1[] = {1, 2, 3, 4};
    static const int k2[] = {5, 6, 7, 8, 9, 10};
    static const int k3[] = {12, 13};
    static const int k4[] = {14, 15, 16, 17};
    static const int k5[] = {18, 19};
    static const int k6[] = {20, 21, 22, 33, 34, 35, 46};
    static const int k7[] = {23, 24, 25, 36, 37, 38, 47, 48, 49, 52, 53};
    static const int k8[] = {26, 27, 28, 39, 40, 41, 50, 54, 55};
    static const int k9[] = {29, 30, 31, 32, 42, 43, 44, 45, 51, 56};
    switch (digit) {
    case 1: SwitchLights(k1, countof(k1)); break;
    case 2: SwitchLights(k2, countof(k2)); break;
    case 3:
        SwitchLights(k3, countof(k3));
        if (RightShutterState == -2 && !WeatherShow)
            LichtSteuerung(kRightShutterLight, -1);
        break;
    case 4: SwitchLights(k4, countof(k4)); break;
    case 5: SwitchLights(k5, countof(k5)); break;
    case 6: SwitchLights(k6, countof(k6)); break;
    case 7: SwitchLights(k7, countof(k7)); break;
    case 8: SwitchLights(k8, countof(k8)); break;
    case 9: SwitchLights(k9, countof(k9)); break;
    default: break;
    }
}

void MusicianKey()
{
    bool musicOn = Music || WinampPlaying;
    if (musicOn && !IsOnStage(41) && !IsOnStage(42)) {
        if ((Rand() & 1) && TimeOfDay != kNight && !IsOnStage(42))
            KeyLoad(41);
        else if (!IsOnStage(41))
            KeyLoad(42);
    } else if (MusicPlaying) {
        MusicCommand = OpenBubbleKind ? 101 : 100;
    }
}

void PersonOfHouseKey()
{
    if (IsOnStage(28) || IsOnStage(29) || IsOnStage(31) || IsOnStage(32))
        return;
    if (Figur028Home == 0)
        KeyLoad((Rand() & 1) ? 31 : 32);
    else
        KeyLoad(((Rand() & 1) && TimeOfDay != kDay) ? 28 : 29);
}

void LetterKey(int key)
{
    const bool day = TimeOfDay == kDay;
    const bool summerDay = day && Season == kSummer;
    const bool night = TimeOfDay == kNight;
    switch (key) {
    case 'A': KeyLoad(62); break;
    case 'B':
        RequestBus();
        break;
    case 'C': MusicianKey(); break;
    case 'D': if (summerDay) KeyLoad(102); break;
    case 'E': if (summerDay) KeyLoad(101); break;
    case 'F': KeyLoad(64); break;
    case 'G': if (summerDay) KeyLoad(Rand() % 3 == 0 ? 76 : 103); break;
    case 'H': if (!night) KeyLoad(24); break;
    case 'I': if (summerDay) KeyLoad(22); break;
    case 'J': PersonOfHouseKey(); break;
    case 'K': if (day) KeyLoad(71); break;
    case 'L': if (!night) KeyLoad(Rand() % 3 == 0 ? 81 : 94); break;
    case 'M':
    case 'N':
        if (MSGonWyn03 && !NoteEditorOpen)
            NoteEditorOpen = StartEditNote(MessageSignPlace()) ? 1 : 0;
        break;
    case 'O': if (!IsOnStage(26) && !IsOnStage(47)) KeyLoad(25); break;
    case 'P': if (Figur033MayCome() && !IsOnStage(28)) KeyLoad(33); break;
    case 'Q': if (day) KeyLoad(52); break;
    case 'R':
        if (WeatherShow) {
            ShowWeatherBubble();
            if (!IsOnStage(69))
                KeyLoad(69);
        } else if (TimeOfDay == kDusk && !PhaseChangeDue) {
            RollShutter(RightShutterState != -2 ? -2 : 2);
        }
        break;
    case 'S': if (TramOn) KeyLoad(72); break;
    case 'T': KeyLoad(20); break;
    case 'U': if (day) KeyLoad(2); break;
    case 'V': if (day) KeyLoad(63); break;
    case 'W': if (day && !IsOnStage(71)) KeyLoad(73); break;
    case 'X': if (!night) KeyLoad(93); break;
    case 'Y': if (day) KeyLoad(30); break;
    case 'Z': if (summerDay) KeyLoad(68); break;
    default: break;
    }
}

void EscapeKey(HWND window)
{
    KeyForce = 0;
    CursorTicks = 0;
    if (Music)
        FadeMusic(kMusicFadeMs);
    WriteLog("ESC-Taste gedrückt");
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void PauseKey(HWND window)
{
    KeyForce = 1;
    uint32_t was = PauseToggle;
    PauseToggle ^= 1;
    UINT period = was == 0 ? kPausePeriodFirst : static_cast<UINT>(kPausePeriodBase - Speed);
    SetTimer(window, kSaverTimer, period, nullptr);
}

// The margins belong to the scene, not to the window: on a screen wider than
// the scene it starts at SceneX, and a talk click is measured from there.
bool InTalkBand(int sceneX) { return sceneX > kTalkLeftEdge && sceneX < SceneW - kTalkRightMargin; }

void StorePoint(int x, int y)
{
    WindowMouseX = x;
    WindowMouseY = y;
    // The scene's origin is the work area's top-left corner; the point is
    // published before the flag that goes with it.
    MouseX = x - SceneX;
    MouseY = y - SceneY;
}

}  // namespace

void QueueSceneKey(int virtualKey)
{
    std::lock_guard<std::mutex> hold(gKeyLock);
    if (gKeyCount < static_cast<int>(countof(gKeys)))
        gKeys[gKeyCount++] = virtualKey;
}

void RunQueuedSceneKeys()
{
    int keys[countof(gKeys)];
    int count = 0;
    {
        std::lock_guard<std::mutex> hold(gKeyLock);
        count = gKeyCount;
        for (int i = 0; i < count; ++i)
            keys[i] = gKeys[i];
        gKeyCount = 0;
    }
    for (int i = 0; i < count; ++i)
        RunSceneKey(keys[i]);
}

const ShellHooks &SceneShell()
{
    static constexpr ShellHooks kHooks = {RunQueuedSceneKeys};
    return kHooks;
}

void RunSceneKey(int key)
{
    const int plain = key & ~kShiftedSceneKey;
    if (plain == VK_ADD || plain == VK_SUBTRACT)
        ChangeVolume(plain == VK_ADD, (key & kShiftedSceneKey) != 0);
    else if (key >= '0' && key <= '9')
        DigitKey(key - '0');
    else if (key >= 'A' && key <= 'Z')
        LetterKey(key);
}

void ChangeVolume(bool up, bool shift)
{
    if (shift)
        ChangeSoundVolume(up);
    else
        ChangeMusicVolume(up);
}

void OnKey(HWND window, int key, bool down)
{
    if (ControlDown())
        return;
    if (key == VK_DELETE || key == VK_SHIFT)
        return;
    if (key == VK_ESCAPE) {
        EscapeKey(window);
        return;
    }
    if (key == VK_ADD || key == VK_SUBTRACT) {
        if (down)
            QueueSceneKey(key | (ShiftDown() ? kShiftedSceneKey : 0));
        return;
    }
    bool sceneKey = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
    if (sceneKey || key == VK_PAUSE) {
        if (down)
            return;
        if (key == VK_PAUSE)
            PauseKey(window);
        else
            QueueSceneKey(key);
        return;
    }
    SetCursor(nullptr);
}

void OnLeftButtonUp(HWND, int x, int y, WPARAM)
{
    RemovePending = 0;
    TalkPending = 0;
    StorePoint(x, y);
    ClickPending = 1;
}

void OnMiddleButtonUp(HWND, int x, int y, WPARAM)
{
    TalkPending = 0;
    ClickPending = 0;
    StorePoint(x, y);
    RemovePending = 1;
}

void OnRightButtonUp(HWND, int x, int y, WPARAM flags)
{
    ClickPending = 0;
    TalkPending = 0;
    RemovePending = 0;
    StorePoint(x, y);
    if (flags == MK_SHIFT)
        RemovePending = 1;
    else if (InTalkBand(x - SceneX))
        TalkPending = 1;
}

void ResetMouseBaseline(HWND window)
{
    POINT p = {0, 0};
    if (GetCursorPos(&p))
        ScreenToClient(window, &p);
    LastMoveX = p.x;
    LastMoveY = p.y;
    gMoveBaselineTaken = false;
}

void OnMouseMove(HWND, int x, int y, WPARAM)
{
    if (RunState < kRunning) {
        LastMoveX = x;
        LastMoveY = y;
        return;
    }
    int dx = abs(x - LastMoveX);
    int dy = abs(y - LastMoveY);
    LastMoveX = x;
    LastMoveY = y;
    if (!gMoveBaselineTaken) {
        gMoveBaselineTaken = true;
        return;
    }
    if (dx < kMoveThreshold && dy < kMoveThreshold)
        return;
    if (Interactive) {
        if (!NoteEditorOpen)
            SetCursor(SaverCursor);
        CursorTicks = 0;
    } else if (!NoteEditorOpen) {
        WriteLog("Maus bewegt...");
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    } else {
        CursorTicks = 0;
    }
}
