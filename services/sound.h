// Sound effects through the audio library "bass.dll", bound at run time twice:
// instance 0 plays the effects (the WAVE samples, figure sound files, bells and
// alarm), instance 1 the music (music.h). Every operation here does nothing
// while `Sound` is off, which is how a missing library leaves the saver silent.
#pragma once

#include "base/common.h"

#include <atomic>

constexpr int kBassInstances = 2;
constexpr int kEffectsInstance = 0;
constexpr int kMusicInstance = 1;
constexpr int kSampleCount = 53;
constexpr DWORD kBassVersion21 = 0x00010002;

// The entry points of one loaded copy of the library, taken by name.
struct BassFunctions {
    HMODULE Module;
    DWORD(WINAPI *GetVersion)();
    int(WINAPI *ErrorGetCode)();
    const char *(WINAPI *GetDeviceDescription)(DWORD device);
    BOOL(WINAPI *Init)(int device, DWORD freq, DWORD flags, HWND win, const GUID *dsguid);
    BOOL(WINAPI *Free)();
    BOOL(WINAPI *Start)();
    BOOL(WINAPI *Stop)();
    DWORD(WINAPI *StreamCreateFile)(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD flags);
    DWORD(WINAPI *StreamCreateURL)(const char *url, DWORD offset, DWORD flags, void *proc, DWORD_PTR user);
    BOOL(WINAPI *ChannelPlay)(DWORD handle, BOOL restart);
    BOOL(WINAPI *StreamFree)(DWORD handle);
    BOOL(WINAPI *SetVolume)(DWORD volume);
    DWORD(WINAPI *SampleGetChannel)(DWORD sample, BOOL onlyNew);
    DWORD(WINAPI *ChannelIsActive)(DWORD handle);
    BOOL(WINAPI *ChannelSetAttributes)(DWORD handle, int freq, int volume, int pan);
    BOOL(WINAPI *ChannelSlideAttributes)(DWORD handle, int freq, int volume, int pan, DWORD time);
    BOOL(WINAPI *ChannelStop)(DWORD handle);
    BOOL(WINAPI *ChannelSetFlags)(DWORD handle, DWORD flags);
    DWORD(WINAPI *ChannelIsSliding)(DWORD handle);
    unsigned long long(WINAPI *ChannelGetPosition)(DWORD handle);
    DWORD(WINAPI *ChannelGetLevel)(DWORD handle);
    DWORD(WINAPI *ChannelSetSync)(DWORD handle, DWORD type, unsigned long long param, void *proc, DWORD_PTR user);
    DWORD(WINAPI *SampleLoad)(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD max, DWORD flags);
    const char *(WINAPI *StreamGetTags)(DWORD handle, DWORD tags);
    DWORD(WINAPI *SetConfig)(DWORD option, DWORD value);
    char Path[kPathLen];  // the file this instance was loaded from
};

extern BassFunctions BassApi[kBassInstances];

// Values the library understands.
constexpr DWORD kBassAutoFree = 0x40000;
constexpr DWORD kBassUrlFlags = 0x540000;   // metadata, blocking download, auto-free
constexpr DWORD kBassSyncMeta = 4;
constexpr DWORD kBassTagId3 = 0, kBassTagOgg = 2, kBassTagIcy = 4, kBassTagMeta = 5;
constexpr DWORD kBassActivePlaying = 1;
constexpr int kBassErrFileOpen = 2;
constexpr int kBassErrFileForm = 41;
constexpr int kFreqUnchanged = -1;
constexpr int kVolumeUnchanged = -1;
constexpr int kVolumeFadeStop = -2;
constexpr int kPanUnchanged = -101;

// The switches of `SoundOpt`, by position.
enum SoundSwitch {
    kOptVehicles = 0,
    kOptHorns = 1,
    kOptTram = 2,
    kOptCamera = 3,
    kOptBirds = 4,
    kOptDog = 5,
    kOptTowerClock = 6,
    kOptBells = 7,
    kOptAlarm = 8,
    kOptDoors = 9,
};

// The sound channels of one scene object (the last fields of its record).
// Channel handles outlive the object's unloading; a stale one simply reads as
// not playing.
struct ObjectSound {
    DWORD Channel1;
    DWORD Channel2;
    int Fade;   // > 0 fade Channel1 in, < 0 fade it out and stop; 0 nothing pending
};

// The 53 "SOUND%02d" resources of type "WAVE", locked until LoadSamples.
struct WaveResource {
    HGLOBAL Handle;
    const void *Data;
    DWORD Size;
};
extern WaveResource WaveTable[kSampleCount];
extern DWORD SampleHandles[kSampleCount];
extern std::atomic<DWORD> LastFreeChannel;

// True while instance k is loaded and initialised.
bool BassLoaded(int k);
int LoadBASS(int k);
void FreeBASS();
// Finds, loads and locks the WAVE resources of module (empty entries for
// missing ones).
void LockWaveResources(HMODULE module);
void LoadSamples();

// The scene's width in pixels, for panning by x.
void SetSoundSceneWidth(int width);
int SoundPan(int x);

void PlayObjectSound(int n, ObjectSound *snd, int objectId, int x);
void PlayObjectSound2(int n, ObjectSound *snd, int objectId, int x);
void UpdateObjectSound(ObjectSound *snd, int x);
void UpdateObjectSound2(ObjectSound *snd, int x);
void FadeObjectSound(ObjectSound *snd);
void StopObjectSound(ObjectSound *snd);
bool IsChannelPlaying(int k, DWORD channel);
// Sound effects on and switch which of `SoundOpt` on.
bool SoundSwitchOn(int which);
void PlaySoundAt(int n, int x);
void PlayFigurSoundFile(ObjectSound *snd, int objectId, int x);
void PlaySoundFile(const char *path);
// timeOfDay 1 day, 2 dusk, 3 night; season 1 summer, 2 winter.
void PlayAmbientSounds(int timeOfDay, int season);

void StrikeHour(int hour);
void StrikeQuarter(int hour, int minute);
// The bells and the alarm ("glocken.mp3", "alarm.mp3"), once for each new day
// and hour. (Their schedules are the settings `Glocken` and `Alarm`.)
void PlayGlocken(int day, int hour);
void PlayAlarm(int day, int hour);
// The tower clock, bells and alarm for the local time; the housekeeping calls
// it on every sixth pass.
void RunSoundSchedule();
// Forgets what the tower clock, bells and alarm last did (a new run).
void ResetSoundSchedule();

// How often sample n was started in this run (the debug report and tests).
int SamplePlays(int n);

// Keypad plus and minus with Shift: the effect volume by 100 within 0..1000.
void ChangeSoundVolume(bool up);
