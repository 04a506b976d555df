#include "scene/scenestep.h"

#include "base/debuglog.h"
#include "core/random.h"
#include "scene/hooks.h"
#include "scene/bubbles.h"
#include "scene/clocks.h"
#include "scene/animation.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene/scripts.h"
#include "services/music.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "services/notes.h"

#include "scene_geometry.h"

#include <algorithm>
#include <utility>

int SpotClickCount = 0;
int MusicCommand = kMusicOrderNone;

namespace {

constexpr int kLastKeyedObject = 119;
constexpr int kLastScriptedObject = 131;
constexpr int kFirstVehicle = kBus;
constexpr int kExitSign = 110;
constexpr int kWindowFigures = 60;
constexpr int kWeatherFigure = 69;
constexpr int kShutterUp = -2;
constexpr int kShutterDown = 2;

constexpr int kMusicBubbleSeconds = 20;
// The music buttons in the order of the geometry's table.
constexpr int kMusicStop = 0, kMusicNext = 1, kMusicQuieter = 2, kMusicLouder = 3;
constexpr int kVolumeStep = 200;
constexpr int kVolumeMax = 1000;
constexpr int kMusicFadeMs = 500;

// Vehicles keep a gap to the one ahead: a short one by day, a long one in
// the dark, more for faster vehicles.
constexpr int kDayGap = 20;
constexpr int kDarkGap = 128;
constexpr int kGapPerSpeed = 20;
constexpr int kLaneBelow = 20;
constexpr int kLaneAbove = 15;
// Walkers look three of their widths ahead.
constexpr int kLookAheadWidths = 3;
constexpr int kDoorReach = 60;
constexpr int kDoorOverlap = 20;
constexpr int kCloseFootLines = 3;

bool In(int v, int lo, int hi) { return v >= lo && v <= hi; }

// A rectangle of an object's sheet, at the object's place.
bool OnSheetRect(int mx, int my, int x, int y, const scene::GeoRect &r)
{
    return In(mx, x + r.x, x + r.x + r.w - 1) && In(my, y + r.y, y + r.y + r.h - 1);
}

// A rectangle of the background picture: the picture stands on the screen's
// bottom edge, so its rows move with the screen height.
bool OnPictureRect(int mx, int my, const scene::GeoRect &r)
{
    return OnSheetRect(mx, my, 0, SceneH - scene::kPictureH, r);
}

// Which music button a point of the bubble is on: stop, next, quieter,
// louder (0..3); -1 for none.
int MusicButtonAt(int bx, int by)
{
    for (size_t i = 0; i < countof(scene::kMusicButtons); ++i)
        if (OnSheetRect(bx, by, 0, 0, scene::kMusicButtons[i]))
            return static_cast<int>(i);
    return -1;
}

int FigureClickAge[3] = {0, 0, 0};

// ---------------------------------------------------------------- clicks

bool ExitSignClick(int mx, int my)
{
    if (!IsOnStage(kExitSign))
        return false;
    const FigurRecord &sign = FigurTable[kExitSign];
    if (!OnSheetRect(mx, my, sign.X, sign.Y, scene::kExitButton))
        return false;
    WriteLog("Mausklick auf EXIT");
    ClickPending = 0;
    if (Music)
        FadeMusic(kMusicFadeMs);
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    return true;
}

// The playing musician carries an order out on his next frame. With none
// playing, the next musician to come would carry it out on arrival, long
// after it was given: it is dropped.
void OrderMusician(int order)
{
    if (SceneFigures().musicianPlaying())
        MusicCommand = order;
}

void MusicButton(int bx, int by)
{
    MusicCommand = kMusicOrderNone;
    const int button = MusicButtonAt(bx, by);
    if (button == kMusicStop) {
        WriteLog("M_STOP");
        if (WinampPlaying)
            SendWinampCommand(kWinampStop);
        else
            OrderMusician(kMusicOrderStop);
        SetBubbleLifetime(0);
    } else if (button == kMusicNext) {
        WriteLog("M_FORWARD");
        if (WinampPlaying) {
            SendWinampCommand(kWinampNext);
            WriteLog("WinAMP FORWARD");
        } else {
            OrderMusician(kMusicOrderNext);
        }
        SetBubbleLifetime(0);
    } else if (button == kMusicQuieter) {
        if (WinampPlaying) {
            SetBubbleLifetime(kMusicBubbleSeconds);
            SendWinampCommand(kWinampVolumeDown);
            WriteLog("WinAMP leiser");
        } else if (MP3volume > 0) {
            SetBubbleLifetime(kMusicBubbleSeconds);
            MP3volume = std::max(0, MP3volume - kVolumeStep);
            SetMusicVolume(MP3volume);
            WriteLog("SetMusicVolume: %d", MP3volume);
        }
    } else if (button == kMusicLouder) {
        if (WinampPlaying) {
            SetBubbleLifetime(kMusicBubbleSeconds);
            SendWinampCommand(kWinampVolumeUp);
            WriteLog("WinAMP lauter");
        } else if (MP3volume < kVolumeMax) {
            SetBubbleLifetime(kMusicBubbleSeconds);
            MP3volume = std::min(kVolumeMax, MP3volume + kVolumeStep);
            SetMusicVolume(MP3volume);
            WriteLog("SetMusicVolume: %d", MP3volume);
        }
    } else {
        SetBubbleLifetime(0);
    }
}

bool BubbleClick()
{
    int bx = 0, by = 0;
    if (!HitSprechblase(&bx, &by))
        return false;
    WriteLog("KLICK AUF SPRECHBLASE: x=%d, y=%d", bx, by);
    if (OpenBubbleKind == 1 || OpenBubbleKind == 2)
        SetBubbleLifetime(0);
    else
        MusicButton(bx, by);
    if (BubbleLifetime() == 0)
        KillSprechblase();
    ClickPending = 0;
    return true;
}

void Load(int id, int state) { LoadScripted(id, state); }

void SpotA(int mx)
{
    if (!IsOnStage(58) || FigurTable[58].State < 4) {
        // The figure at that door takes the click itself.
        if (IsOnStage(55))
            return;
        PlaySoundAt(20, mx);
        ClickPending = 0;
        ++SpotClickCount;
        if (SpotClickCount >= 3 && SpotClickCount <= 5 && !IsOnStage(55) && !IsOnStage(58)) {
            if (TimeOfDay == kDusk && Minute < 57 && Rand() % 3 != 0)
                Load(55, 0);
            else
                Load(58, 0);
            ClickPending = 0;
            return;
        }
        if (SpotClickCount > 5 && Rand() % 5 == 0) {
            Load(kWindowFigures, 3);
            ClickPending = 0;
        }
        if (SpotClickCount > 10)
            SpotClickCount = 2;
    }
}

void SpotB(int mx)
{
    PlaySoundAt(29, mx);
    switch (Rand() % 4) {
    case 0: Load(kWindowFigures, 7); break;
    case 1: Load(kWindowFigures, 10); break;
    default:
        if (TimeOfDay != kDay && !IsOnStage(28) && !IsOnStage(29) && !IsOnStage(31) && Figur028Home == 2)
            Load(29, 100);
        break;
    }
    ClickPending = 0;
}

void SpotC(int mx)
{
    PlaySoundAt(31, mx);
    if (TimeOfDay == kNight && Rand() % 6 == 0)
        Load(kWindowFigures, 13);
    else if (!IsOnStage(kWeatherFigure) && SceneFeatures().rightShutterState() == kShutterUp && (Rand() & 1))
        Load(kWeatherFigure, 0);
    ClickPending = 0;
}

void SpotD(int mx)
{
    PlaySoundAt(30, mx);
    if (Rand() % 4 == 0)
        Load(kWindowFigures, Season == kSummer ? 12 : 11);
    ClickPending = 0;
}

void SpotE(int mx)
{
    PlaySoundAt(6, mx);
    const bool weatherFigureMayCome = !IsOnStage(kWeatherFigure) && SceneFeatures().rightShutterState() == kShutterUp;
    if (WeatherShow) {
        SceneFeatures().showWeatherBubble();
        if (weatherFigureMayCome)
            Load(kWeatherFigure, 0);
    } else if (TimeOfDay == kDusk && !PhaseChangeDue) {
        SceneFeatures().rollShutter(SceneFeatures().rightShutterState() != kShutterUp ? kShutterUp : kShutterDown);
    } else if (weatherFigureMayCome) {
        Load(kWeatherFigure, 0);
    }
    ClickPending = 0;
}

void WindowFigureSpot(int variant)
{
    if (Rand() % 4 == 0)
        Load(kWindowFigures, variant);
    ClickPending = 0;
}

// The hot spots of the house fronts; true when the point lies on one.
bool HotSpotClick(int mx, int my)
{
    if (OnPictureRect(mx, my, scene::kHotSpotA)) {
        SpotA(mx);
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotB)) {
        SpotB(mx);
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotC)) {
        SpotC(mx);
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotD)) {
        SpotD(mx);
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotE)) {
        SpotE(mx);
        return true;
    }
    if (TimeOfDay != kDay) {
        // Lights that a click switches to one of their variants.
        struct LightSpot {
            const scene::GeoRect &spot;
            int light, variants;
        };
        static const LightSpot kLightSpots[] = {
            {scene::kHotSpotF1, 2, 8}, {scene::kHotSpotF2, 13, 6}, {scene::kHotSpotF3, 14, 8}};
        for (const LightSpot &spot : kLightSpots) {
            if (OnPictureRect(mx, my, spot.spot)) {
                SceneFeatures().controlLights(spot.light, -1 - Rand() % spot.variants);
                ClickPending = 0;
                return true;
            }
        }
    }
    if (OnPictureRect(mx, my, scene::kHotSpotG1) || OnPictureRect(mx, my, scene::kHotSpotG2)) {
        WindowFigureSpot(8);
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotH)) {
        if (TimeOfDay == kDay)
            WindowFigureSpot(4);
        else
            ClickPending = 0;
        return true;
    }
    if (OnPictureRect(mx, my, scene::kHotSpotI)) {
        if (Rand() % 4 == 0)
            Load(kWindowFigures, 1 + Rand() % 2);
        ClickPending = 0;
        return true;
    }
    return false;
}

// The message sign opens the note editor; the click stays pending so that a
// figure in front of the sign may take it too.
void MessageSignClick(int mx, int my)
{
    if (!MSGonWyn03 || NoteEditorOpen || !IsOnStage(kMessageSign))
        return;
    const FigurRecord &sign = FigurTable[kMessageSign];
    if (OnSheetRect(mx, my, sign.X, sign.Y, scene::kMsgSignClick))
        NoteEditorOpen = StartEditNote(MessageSignPlace()) ? 1 : 0;
}

// ---------------------------------------------------------------- avoidance

bool IsVehicleId(int id) { return id >= kFirstVehicle && id <= kLastVehicle; }
bool IsFigureId(int id) { return id >= 1 && id <= kLastPedestrian; }

void VehicleOrder(FigurRecord &i)
{
    const int gap = (TimeOfDay == kDay ? kDayGap : kDarkGap) + i.Speed * kGapPerSpeed;
    const int right = i.X + i.FrameW;
    for (const DrawListEntry &pair : DrawList) {
        if (!IsVehicleId(pair.Figur) || pair.Figur == i.Id)
            continue;
        const FigurRecord &j = FigurTable[pair.Figur];
        if (j.State <= 1 || j.Direction != i.Direction)
            continue;
        if (!In(j.FootLine, i.FootLine - i.Spacing - kLaneBelow, i.FootLine + i.Spacing + kLaneAbove))
            continue;
        bool behind = false;
        if (i.Direction == -1)
            behind = j.X < i.X && i.X - (j.X + j.FrameW) < gap;
        else if (i.Direction == 1)
            behind = right < j.X + j.FrameW && (j.X - right < gap || right > j.X);
        if (behind)
            i.AvoidOrder = -1;
    }
}

int StepAside(const FigurRecord &i, const FigurRecord &j)
{
    const int d = i.FootLine - j.FootLine;
    const bool hard = std::abs(d) < kCloseFootLines || j.Avoids == 0;
    if (d < 0)
        return hard ? -3 : -2;
    return hard ? 3 : 2;
}

void FigureOrder(FigurRecord &i)
{
    const int right = i.X + i.FrameW;
    for (const DrawListEntry &pair : DrawList) {
        if (!IsFigureId(pair.Figur) || pair.Figur == i.Id)
            continue;
        const FigurRecord &j = FigurTable[pair.Figur];
        if (j.State < 1 || std::abs(j.FootLine - i.FootLine) > std::max(i.Spacing, j.Spacing))
            continue;
        const bool overlapsWithRoom = j.X + j.FrameW + kDoorOverlap >= i.X && j.X <= right + kDoorOverlap;
        switch (i.Direction) {
        case -2:
            if (In(j.FootLine, i.FootLine - kDoorReach + 1, i.FootLine - 1) && overlapsWithRoom)
                i.AvoidOrder = 3;
            break;
        case 2:
            if (In(j.FootLine, i.FootLine + 1, i.FootLine + kDoorReach - 1) && overlapsWithRoom)
                i.AvoidOrder = 3;
            break;
        case -1:
            if (j.X < right && i.X - j.X < kLookAheadWidths * i.FrameW)
                i.AvoidOrder = StepAside(i, j);
            break;
        case 1:
            if (right < j.X + j.FrameW && j.X - right < kLookAheadWidths * i.FrameW)
                i.AvoidOrder = StepAside(i, j);
            break;
        default:
            break;
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- public

bool HasScript(int id) { return FindScript(id) != nullptr; }

void RunScript(int id)
{
    if (const ObjectScript *script = FindScript(id))
        script->step();
}

int LoadScripted(int id, int startState)
{
    if (!HasScript(id)) {
        WriteLog("Figur %3d: kein Skript", id);
        return 0;
    }
    return LoadFigur(id, startState);
}

bool HandleSceneClick()
{
    if (!ClickPending)
        return false;
    const int mx = MouseX, my = MouseY;
    if (ExitSignClick(mx, my) || BubbleClick() || HotSpotClick(mx, my))
        return true;
    MessageSignClick(mx, my);
    return false;
}

void RefreshAndSortDrawList()
{
    for (DrawListEntry &pair : DrawList) {
        if (pair.Figur < 1 || pair.Figur > kLastKeyedObject)
            continue;
        if (IsOnStage(pair.Figur)) {
            pair.Key = FigurTable[pair.Figur].FootLine;
        } else {
            pair.Figur = 0;
            pair.Key = kFreePairKey;
        }
    }
    // Neighbour swaps until nothing moves: from one frame to the next the
    // order barely changes, and equal keys keep their order.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int n = 0; n + 1 < kDrawListSize; ++n) {
            if (DrawList[n].Key > DrawList[n + 1].Key) {
                std::swap(DrawList[n], DrawList[n + 1]);
                swapped = true;
            }
        }
    }
}

void ComputeAvoidanceOrders()
{
    for (const DrawListEntry &pair : DrawList) {
        if (pair.Figur < 1 || pair.Figur >= kObjectIdCount)
            continue;
        FigurRecord &i = FigurTable[pair.Figur];
        if (i.Avoids == 0 || !IsOnStage(pair.Figur))
            continue;
        if (IsVehicleId(pair.Figur))
            VehicleOrder(i);
        else if (IsFigureId(pair.Figur))
            FigureOrder(i);
    }
}

void ExpireStaleClicks()
{
    std::atomic<uint32_t> *flags[3] = {&ClickPending, &TalkPending, &RemovePending};
    for (int k = 0; k < 3; ++k) {
        if (!*flags[k]) {
            FigureClickAge[k] = 0;
            continue;
        }
        if (++FigureClickAge[k] > kClickLifetimeFrames) {
            *flags[k] = 0;
            FigureClickAge[k] = 0;
        }
    }
}

void SceneStep()
{
    AcceptNewDrawListEntries();
    HandleSceneClick();
    RefreshAndSortDrawList();
    ComputeAvoidanceOrders();
    if (TimeOfDay != kDay)
        SceneVehicles().drawHeadlights();
    for (const DrawListEntry &pair : DrawList) {
        if (pair.Figur >= 1 && pair.Figur <= kLastScriptedObject && IsOnStage(pair.Figur))
            RunScript(pair.Figur);
    }
    DrawSprechblase();
    ExpireStaleClicks();
}
