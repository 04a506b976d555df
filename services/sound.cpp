#include "services/sound.h"

#include "base/debuglog.h"
#include "base/now.h"
#include "core/random.h"
#include "services/music.h"
#include "config/config.h"
#include "base/saverstate.h"

#include <algorithm>
#include <cctype>

BassFunctions BassApi[kBassInstances];
WaveResource WaveTable[kSampleCount];
DWORD SampleHandles[kSampleCount];
std::atomic<DWORD> LastFreeChannel{0};

namespace {

constexpr DWORD kMixFrequency = 44100;
constexpr int kFirstDevice = 1;
constexpr DWORD kConfigMaxVol = 3;
constexpr DWORD kConfigGvolSample = 4;
constexpr DWORD kVolumeScale = 1000;
constexpr DWORD kSampleMaxPlaybacks = 32;
constexpr DWORD kSampleOverVol = 0x10000;
constexpr int kVolumeStep = 100;
constexpr int kDefaultSceneWidth = 1280;
constexpr size_t kFigurSoundPathLen = 256;
constexpr DWORD kMusicThreadWaitMs = 8000;

// Fades, in milliseconds.
constexpr DWORD kReplaceFade1 = 100;
constexpr DWORD kReplaceFade2 = 200;
constexpr DWORD kPendingFade = 500;
constexpr DWORD kObjectFade = 1000;

// Samples and the scene.
constexpr int kDogSample = 5;
constexpr int kBellSample = 7;
constexpr int kBirdDuskSample = 8;
constexpr int kBirdSample = 9;
constexpr int kTrafficSample = 16;
constexpr int kTowerClockX = 150;
constexpr int kTrafficFarRightX = 2000;
constexpr int kBirdXRange = 1001;

constexpr int kTimeDay = 1;
constexpr int kTimeDusk = 2;
constexpr int kSeasonWinter = 2;

int gSceneWidth = kDefaultSceneWidth;
std::atomic<int> gSamplePlays[kSampleCount];

// Tower clock, bells and alarm (animation thread only).
int gLastStruckHour = -1;
int gStrikingHour = -1;
int gStrikeCountdown = 0;
int gStrikeCount = 0;
int gLastQuarterHour = -1;
int gLastQuarterMinute = -1;
int gBellsDay = -1, gBellsHour = -1;
int gAlarmDay = -1, gAlarmHour = -1;

bool SwitchOn(int which) { return SoundOpt[which] != 0; }

// The switch a sample needs, or -1 when it is always loaded.
int SampleSwitch(int n)
{
    if (n == kDogSample)
        return kOptDog;
    if (n == kBellSample)
        return kOptTowerClock;
    if (n == kBirdDuskSample || n == kBirdSample)
        return kOptBirds;
    if (n == kTrafficSample || n == 19 || (n >= 32 && n <= 52))
        return kOptVehicles;
    if (n == 18)
        return kOptCamera;
    if (n == 21 || n == 22)
        return kOptDoors;
    if (n == 24 || n == 27)
        return kOptTram;
    return -1;
}

BassFunctions &Fx() { return BassApi[kEffectsInstance]; }

bool EffectsReady() { return Sound && BassLoaded(kEffectsInstance); }

bool SampleReady(int n) { return EffectsReady() && n >= 0 && n < kSampleCount && SampleHandles[n] != 0; }

template <typename Fn>
bool Bind(HMODULE module, Fn &fn, const char *name)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    return fn != nullptr;
}

bool BindAll(BassFunctions &b)
{
    HMODULE m = b.Module;
    bool ok = true;
    ok &= Bind(m, b.GetVersion, "BASS_GetVersion");
    ok &= Bind(m, b.ErrorGetCode, "BASS_ErrorGetCode");
    ok &= Bind(m, b.GetDeviceDescription, "BASS_GetDeviceDescription");
    ok &= Bind(m, b.Init, "BASS_Init");
    ok &= Bind(m, b.Free, "BASS_Free");
    ok &= Bind(m, b.Start, "BASS_Start");
    ok &= Bind(m, b.Stop, "BASS_Stop");
    ok &= Bind(m, b.StreamCreateFile, "BASS_StreamCreateFile");
    ok &= Bind(m, b.StreamCreateURL, "BASS_StreamCreateURL");
    ok &= Bind(m, b.ChannelPlay, "BASS_ChannelPlay");
    ok &= Bind(m, b.StreamFree, "BASS_StreamFree");
    ok &= Bind(m, b.SetVolume, "BASS_SetVolume");
    ok &= Bind(m, b.SampleGetChannel, "BASS_SampleGetChannel");
    ok &= Bind(m, b.ChannelIsActive, "BASS_ChannelIsActive");
    ok &= Bind(m, b.ChannelSetAttributes, "BASS_ChannelSetAttributes");
    ok &= Bind(m, b.ChannelSlideAttributes, "BASS_ChannelSlideAttributes");
    ok &= Bind(m, b.ChannelStop, "BASS_ChannelStop");
    ok &= Bind(m, b.ChannelSetFlags, "BASS_ChannelSetFlags");
    ok &= Bind(m, b.ChannelIsSliding, "BASS_ChannelIsSliding");
    ok &= Bind(m, b.ChannelGetPosition, "BASS_ChannelGetPosition");
    ok &= Bind(m, b.ChannelGetLevel, "BASS_ChannelGetLevel");
    ok &= Bind(m, b.ChannelSetSync, "BASS_ChannelSetSync");
    ok &= Bind(m, b.SampleLoad, "BASS_SampleLoad");
    ok &= Bind(m, b.StreamGetTags, "BASS_StreamGetTags");
    ok &= Bind(m, b.SetConfig, "BASS_SetConfig");
    return ok;
}

std::atomic<bool> gInited[kBassInstances];

// Frees one instance only: the other keeps playing with its own pointers.
void FreeInstance(int k)
{
    BassFunctions &b = BassApi[k];
    // Callers see the instance gone first; the library then stops its threads.
    bool wasInited = gInited[k].exchange(false);
    if (b.Module && wasInited) {
        b.Stop();
        b.Free();
    }
    if (k == kEffectsInstance)
        std::fill(std::begin(SampleHandles), std::end(SampleHandles), 0);
    // A music thread still inside the library (a radio that does not answer)
    // must leave it before it is unloaded; the library fails its calls now.
    if (k == kMusicInstance && b.Module && !WaitMusicThread(kMusicThreadWaitMs)) {
        WriteLog("+++ PlayMusic noch aktiv");
        return;
    }
    if (b.Module)
        FreeLibrary(b.Module);
    char path[kPathLen];
    StrCopy(path, b.Path);
    memset(&b, 0, sizeof(b));
    if (k == kMusicInstance && path[0])
        DeleteFileA(path);
}

bool FileExists(const char *path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies left behind by runs that did not end are removed. The system keeps
// only "wyn" of the prefix and adds up to four hex digits, so only names of
// exactly that form that hold a program are taken: another program's
// "wyn*.tmp" stays. A copy another running instance has loaded cannot be
// deleted and stays.
constexpr char kCopyPrefix[] = "wyn3";
constexpr size_t kPrefixKept = 3;
constexpr size_t kCopyDigitsMax = 4;
constexpr char kCopyExtension[] = ".tmp";

bool IsCopyName(const char *name)
{
    if (_strnicmp(name, kCopyPrefix, kPrefixKept) != 0)
        return false;
    const char *digits = name + kPrefixKept;
    size_t n = 0;
    while (n <= kCopyDigitsMax && isxdigit(static_cast<unsigned char>(digits[n])))
        ++n;
    return n >= 1 && n <= kCopyDigitsMax && _stricmp(digits + n, kCopyExtension) == 0;
}

bool IsProgramFile(const char *path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    char magic[2] = {0, 0};
    DWORD got = 0;
    ReadFile(h, magic, sizeof(magic), &got, nullptr);
    CloseHandle(h);
    return got == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

void DeleteStaleCopies(const char *tempDir)
{
    char pattern[kPathLen];
    StrPrintfN(pattern, sizeof(pattern), "%swyn*.tmp", tempDir);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[kPathLen];
        StrPrintfN(path, sizeof(path), "%s%s", tempDir, fd.cFileName);
        if (IsCopyName(fd.cFileName) && IsProgramFile(path))
            DeleteFileA(path);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

bool FindLibrary(char *out, size_t outSize)
{
    StrPrintfN(out, outSize, "%s\\bass.dll", HLPpath);
    if (FileExists(out))
        return true;
    char *filePart = nullptr;
    DWORD n = SearchPathA(nullptr, "bass.dll", nullptr, static_cast<DWORD>(outSize), out, &filePart);
    return n > 0 && n < outSize;
}

// A channel of sample n with the effect volume and pan, not yet playing.
DWORD NewSampleChannel(int n, int pan)
{
    DWORD ch = Fx().SampleGetChannel(SampleHandles[n], FALSE);
    if (ch)
        Fx().ChannelSetAttributes(ch, kFreqUnchanged, SNDvolume, pan);
    return ch;
}

bool StartChannel(DWORD ch, int n)
{
    if (!Fx().ChannelPlay(ch, FALSE))
        return false;
    if (n >= 0)
        ++gSamplePlays[n];
    return true;
}

void PlayOnSlot(int n, ObjectSound *snd, int objectId, int x, bool second)
{
    if (!SampleReady(n))
        return;
    int pan = snd ? SoundPan(x) : 0;
    DWORD ch = NewSampleChannel(n, pan);
    if (!ch) {
        WriteLog("+++ SOUND(1) %d, f=%d, ERR=%d", n, snd ? objectId : 0, Fx().ErrorGetCode());
        return;
    }
    StartChannel(ch, n);
    if (!snd) {
        LastFreeChannel = ch;
        return;
    }
    DWORD &slot = second ? snd->Channel2 : snd->Channel1;
    if (IsChannelPlaying(kEffectsInstance, slot))
        Fx().ChannelSlideAttributes(slot, kFreqUnchanged, kVolumeFadeStop, kPanUnchanged,
                                    second ? kReplaceFade2 : kReplaceFade1);
    slot = ch;
    if (second)
        UpdateObjectSound2(snd, x);
    else
        UpdateObjectSound(snd, x);
}

// Volume and pan of a playing channel; a running volume slide is left alone so
// that a fade-out ends in its stop.
void FollowObject(DWORD ch, int x)
{
    bool fading = (Fx().ChannelIsSliding(ch) & 2) != 0;
    Fx().ChannelSetAttributes(ch, kFreqUnchanged, fading ? kVolumeUnchanged : SNDvolume, SoundPan(x));
}

// Log lines of a scheduled sound file.
struct ScheduledTexts {
    const char *file;
    const char *notFound;
    const char *createFailed;
    const char *playFailed;
};

const ScheduledTexts kBellTexts = {"glocken.mp3", "+++ Glocken: [%s] nicht gefunden",
                                   "+++ Glocken(1) [%s], ERR: %d", "+++ Glocken2) [%s], ERR: %d"};
const ScheduledTexts kAlarmTexts = {"alarm.mp3", "+++ Alarm: [%s] nicht gefunden", "+++ Alarm(1) [%s], ERR: %d",
                                    "+++ Alarm(2) [%s], ERR: %d"};

// A stream of a sound file, played free and centred. 0 when it did not start.
DWORD PlayFileStream(const char *path, const ScheduledTexts *texts)
{
    DWORD st = Fx().StreamCreateFile(FALSE, path, 0, 0, kBassAutoFree);
    if (!st) {
        if (texts)
            WriteLog(texts->createFailed, path, Fx().ErrorGetCode());
        return 0;
    }
    LastFreeChannel = st;
    Fx().ChannelSetAttributes(st, kFreqUnchanged, SNDvolume, 0);
    if (!Fx().ChannelPlay(st, FALSE)) {
        if (texts)
            WriteLog(texts->playFailed, path, Fx().ErrorGetCode());
        return 0;
    }
    return st;
}

// Bells and alarm: "sound\<file>" in the help folder, else "<file>" there.
void PlayScheduled(const ScheduledTexts &texts, int *lastDay, int *lastHour, int day, int hour)
{
    if (*lastDay == day && *lastHour == hour)
        return;
    *lastDay = day;
    *lastHour = hour;
    char path[kPathLen];
    StrPrintfN(path, sizeof(path), "%s\\sound\\%s", HLPpath, texts.file);
    if (!FileExists(path)) {
        char plain[kPathLen];
        StrPrintfN(plain, sizeof(plain), "%s\\%s", HLPpath, texts.file);
        if (!FileExists(plain)) {
            WriteLog(texts.notFound, path);
            return;
        }
        StrCopy(path, plain);
    }
    PlayFileStream(path, &texts);
}

bool DayMatches(int choice, int dayOfWeek)
{
    constexpr int kSunday = 0, kSaturday = 6;
    switch (choice) {
    case 0:
        return true;
    case 1:
        return dayOfWeek != kSunday && dayOfWeek != kSaturday;
    case 2:
        return dayOfWeek == kSunday || dayOfWeek == kSaturday;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
        return dayOfWeek == choice - 2;
    case 8:
        return dayOfWeek == kSaturday;
    case 9:
        return dayOfWeek == kSunday;
    default:
        return false;
    }
}

bool ScheduleDue(const int schedule[4], const SYSTEMTIME &now)
{
    return now.wHour == schedule[1] && now.wMinute == schedule[2] && now.wSecond >= schedule[3] - 1 &&
           DayMatches(schedule[0], now.wDayOfWeek);
}

int StrikeHourOf(int hour)
{
    if (hour == 0)
        return 12;
    return hour > 12 ? hour - 12 : hour;
}

// Strokes of this hour that started at minute 0 and are not all struck yet.
bool StrikeUnfinished(int hour)
{
    int h = StrikeHourOf(hour);
    return gStrikingHour == h && gLastStruckHour != h && gStrikeCount > 0;
}

}  // namespace

bool SoundSwitchOn(int which) { return Sound && which >= 0 && which < 10 && SoundOpt[which] != 0; }

bool BassLoaded(int k) { return k >= 0 && k < kBassInstances && BassApi[k].Module && gInited[k]; }

int LoadBASS(int k)
{
    WriteLog("Load BASS: %d", k);
    if (k < 0 || k >= kBassInstances)
        return 0;
    if (BassLoaded(k))
        return 1;
    FreeInstance(k);
    BassFunctions &b = BassApi[k];
    char found[kPathLen];
    if (!FindLibrary(found, sizeof(found))) {
        WriteLog("+++ Can't find BASS.DLL");
        return 0;
    }
    // The music instance runs from a copy: the same file loaded twice would be
    // one module with one state.
    if (k == kMusicInstance) {
        char tempDir[kPathLen];
        DWORD n = GetTempPathA(sizeof(tempDir), tempDir);
        if (n == 0 || n >= sizeof(tempDir)) {
            WriteLog("+++ Can't load BASS.DLL");
            return 0;
        }
        DeleteStaleCopies(tempDir);
        if (!GetTempFileNameA(tempDir, kCopyPrefix, 0, b.Path) || !CopyFileA(found, b.Path, FALSE)) {
            if (b.Path[0])
                DeleteFileA(b.Path);
            b.Path[0] = '\0';
            WriteLog("+++ Can't load BASS.DLL");
            return 0;
        }
    } else {
        StrCopy(b.Path, found);
    }
    b.Module = LoadLibraryA(b.Path);
    if (!b.Module) {
        WriteLog("+++ Can't load BASS.DLL");
        FreeInstance(k);
        return 0;
    }
    if (!BindAll(b) || b.GetVersion() != kBassVersion21) {
        WriteLog("+++ BASS version 2.1 was not loaded");
        FreeInstance(k);
        return 0;
    }
    HWND window = SaverMode == kModeConfig ? nullptr : MainWindow;
    if (!b.Init(kFirstDevice, kMixFrequency, 0, window, nullptr)) {
        WriteLog("+++ BASS_Init(%d), ERR: %d", k, b.ErrorGetCode());
        FreeInstance(k);
        return 0;
    }
    gInited[k] = true;
    if (!b.Start()) {
        WriteLog("+++ BASS_Start(%d), ERR: %d", k, b.ErrorGetCode());
        FreeInstance(k);
        return 0;
    }
    b.SetConfig(kConfigMaxVol, kVolumeScale);
    b.SetConfig(kConfigGvolSample, kVolumeScale);
    return 1;
}

void FreeBASS()
{
    for (int k = 0; k < kBassInstances; ++k)
        FreeInstance(k);
    LastFreeChannel = 0;
}

void LockWaveResources(HMODULE module)
{
    for (int n = 0; n < kSampleCount; ++n) {
        WaveResource &w = WaveTable[n];
        w = {};
        char name[16];
        StrPrintfN(name, sizeof(name), "SOUND%02d", n);
        HRSRC res = FindResourceA(module, name, "WAVE");
        if (!res)
            continue;
        w.Handle = LoadResource(module, res);
        w.Data = w.Handle ? LockResource(w.Handle) : nullptr;
        w.Size = w.Data ? SizeofResource(module, res) : 0;
    }
}

void LoadSamples()
{
    for (int n = 0; n < kSampleCount; ++n) {
        WaveResource &w = WaveTable[n];
        if (!w.Data || !BassLoaded(kEffectsInstance))
            continue;
        int sw = SampleSwitch(n);
        if (sw >= 0 && !SwitchOn(sw))
            continue;
        SampleHandles[n] = Fx().SampleLoad(TRUE, w.Data, 0, w.Size, kSampleMaxPlaybacks, kSampleOverVol);
    }
    // The library copied the data; the resources are released.
    for (WaveResource &w : WaveTable) {
        if (w.Handle)
            FreeResource(w.Handle);
        w = {};
    }
}

void SetSoundSceneWidth(int width) { gSceneWidth = width > 0 ? width : kDefaultSceneWidth; }

int SoundPan(int x) { return std::clamp(x * 200 / gSceneWidth - 100, -100, 100); }

void PlayObjectSound(int n, ObjectSound *snd, int objectId, int x) { PlayOnSlot(n, snd, objectId, x, false); }

void PlayObjectSound2(int n, ObjectSound *snd, int objectId, int x) { PlayOnSlot(n, snd, objectId, x, true); }

void UpdateObjectSound(ObjectSound *snd, int x)
{
    if (!EffectsReady() || !snd || !IsChannelPlaying(kEffectsInstance, snd->Channel1))
        return;
    DWORD ch = snd->Channel1;
    if (snd->Fade > 0) {
        // A fade-in starts from silence and ends at the effect volume.
        Fx().ChannelSetAttributes(ch, kFreqUnchanged, 0, SoundPan(x));
        Fx().ChannelSlideAttributes(ch, kFreqUnchanged, SNDvolume, kPanUnchanged, kPendingFade);
    } else {
        FollowObject(ch, x);
        if (snd->Fade < 0)
            Fx().ChannelSlideAttributes(ch, kFreqUnchanged, kVolumeFadeStop, kPanUnchanged, kPendingFade);
    }
    snd->Fade = 0;
}

void UpdateObjectSound2(ObjectSound *snd, int x)
{
    if (!EffectsReady() || !snd || !IsChannelPlaying(kEffectsInstance, snd->Channel2))
        return;
    FollowObject(snd->Channel2, x);
}

void FadeObjectSound(ObjectSound *snd)
{
    if (!EffectsReady() || !snd)
        return;
    for (DWORD ch : {snd->Channel1, snd->Channel2})
        if (IsChannelPlaying(kEffectsInstance, ch))
            Fx().ChannelSlideAttributes(ch, kFreqUnchanged, kVolumeFadeStop, kPanUnchanged, kObjectFade);
}

void StopObjectSound(ObjectSound *snd)
{
    if (!EffectsReady() || !snd)
        return;
    for (DWORD ch : {snd->Channel1, snd->Channel2})
        if (IsChannelPlaying(kEffectsInstance, ch))
            Fx().ChannelStop(ch);
}

bool IsChannelPlaying(int k, DWORD channel)
{
    return channel != 0 && BassLoaded(k) && BassApi[k].ChannelIsActive(channel) == kBassActivePlaying;
}

void PlaySoundAt(int n, int x)
{
    if (!SampleReady(n))
        return;
    DWORD ch = NewSampleChannel(n, SoundPan(x));
    if (!ch) {
        WriteLog("+++ SOUND(P1) %d, ERR: %d", n, Fx().ErrorGetCode());
        return;
    }
    StartChannel(ch, n);
}

void PlayFigurSoundFile(ObjectSound *snd, int objectId, int x)
{
    if (!EffectsReady() || !snd)
        return;
    char path[kFigurSoundPathLen];
    if (!ReadFigurSound(objectId, path, sizeof(path)) || !FileExists(path))
        return;
    DWORD st = Fx().StreamCreateFile(FALSE, path, 0, 0, kBassAutoFree);
    if (!st)
        return;
    LastFreeChannel = st;
    Fx().ChannelSetAttributes(st, kFreqUnchanged, SNDvolume, SoundPan(x));
    if (!Fx().ChannelPlay(st, FALSE))
        return;
    snd->Channel1 = st;
    UpdateObjectSound(snd, x);
}

void PlaySoundFile(const char *path)
{
    if (!EffectsReady() || !path || !FileExists(path))
        return;
    if (IsChannelPlaying(kEffectsInstance, LastFreeChannel))
        Fx().ChannelStop(LastFreeChannel);
    PlayFileStream(path, nullptr);
}

void PlayAmbientSounds(int timeOfDay, int season)
{
    if (!EffectsReady())
        return;
    bool winter = season == kSeasonWinter;
    if (SwitchOn(kOptBirds) && timeOfDay == kTimeDay && Rand() % (winter ? 5001 : 801) == 0)
        PlaySoundAt(kBirdSample, Rand() % kBirdXRange);
    if (SwitchOn(kOptBirds) && timeOfDay == kTimeDusk && Rand() % (winter ? 4001 : 401) == 0) {
        int n = (Rand() % 2) ? kBirdSample : kBirdDuskSample;
        PlaySoundAt(n, Rand() % kBirdXRange);
    }
    if (SwitchOn(kOptVehicles) && Rand() % 3001 == 0)
        PlaySoundAt(kTrafficSample, (Rand() % 2) ? kTrafficFarRightX : 0);
}

void StrikeHour(int hour)
{
    if (!Sound || !SwitchOn(kOptTowerClock))
        return;
    int h = StrikeHourOf(hour);
    // A run of strokes never carries over into another hour.
    if (h != gStrikingHour) {
        gStrikingHour = h;
        gStrikeCountdown = 0;
        gStrikeCount = 0;
    }
    if (h == gLastStruckHour)
        return;
    if (--gStrikeCountdown >= 1)
        return;
    gStrikeCountdown = 2;
    if (++gStrikeCount > h) {
        gStrikeCountdown = 0;
        gStrikeCount = 0;
        gLastStruckHour = h;
        return;
    }
    PlaySoundAt(kBellSample, kTowerClockX);
}

void StrikeQuarter(int hour, int minute)
{
    if (!Sound || !SwitchOn(kOptTowerClock))
        return;
    if (hour == gLastQuarterHour && minute == gLastQuarterMinute)
        return;
    gLastQuarterHour = hour;
    gLastQuarterMinute = minute;
    PlaySoundAt(kBellSample, kTowerClockX);
}

void PlayGlocken(int day, int hour)
{
    if (Sound && SwitchOn(kOptBells) && BassLoaded(kEffectsInstance))
        PlayScheduled(kBellTexts, &gBellsDay, &gBellsHour, day, hour);
}

void PlayAlarm(int day, int hour)
{
    if (Sound && SwitchOn(kOptAlarm) && BassLoaded(kEffectsInstance))
        PlayScheduled(kAlarmTexts, &gAlarmDay, &gAlarmHour, day, hour);
}

void RunSoundSchedule()
{
    if (!Sound)
        return;
    SYSTEMTIME now;
    NowLocal(&now);
    int design = SoundOpt[kOptTowerClock];
    if (design >= 1) {
        // Twelve strokes take longer than a minute at slow frame rates: the
        // clock goes on striking past minute 0 until the hour is complete.
        if (now.wMinute == 0 || StrikeUnfinished(now.wHour))
            StrikeHour(now.wHour);
        if ((design >= 3 && (now.wMinute == 15 || now.wMinute == 45)) || (design >= 2 && now.wMinute == 30))
            StrikeQuarter(now.wHour, now.wMinute);
    }
    if (SwitchOn(kOptBells) && ScheduleDue(Glocken, now))
        PlayGlocken(now.wDay, now.wHour);
    if (SwitchOn(kOptAlarm) && ScheduleDue(Alarm, now))
        PlayAlarm(now.wDay, now.wHour);
}

void ResetSoundSchedule()
{
    gLastStruckHour = gStrikingHour = -1;
    gStrikeCountdown = gStrikeCount = 0;
    gLastQuarterHour = gLastQuarterMinute = -1;
    gBellsDay = gBellsHour = gAlarmDay = gAlarmHour = -1;
}

int SamplePlays(int n) { return n >= 0 && n < kSampleCount ? gSamplePlays[n].load() : 0; }

void ChangeSoundVolume(bool up)
{
    SNDvolume = std::clamp(SNDvolume + (up ? kVolumeStep : -kVolumeStep), 0, 1000);
    WriteLog("SetSoundVolume: %d", SNDvolume);
}
