// Background music for the musicians: the playlist "music.m3u" of files and
// "http://" streams, played one entry at a time on the music instance of the
// audio library (instance 1, sound.h) by a short-lived thread, and the title
// shown in the musicians' bubble.
//
// The state below belongs to this code: the playlist and order to the thread
// that builds them, the flags and stream handle are atomics the scene reads.
#pragma once

#include "base/common.h"

#include <atomic>

constexpr int kPlaylistMax = 1024;
constexpr size_t kPlaylistEntryLen = 260;
constexpr size_t kMusicTitleLen = 260;  // 259 characters

extern char Playlist[kPlaylistMax][kPlaylistEntryLen];
extern int PlaylistCount;
extern int PlayOrder[kPlaylistMax];
extern std::atomic<DWORD> MusicStream;
extern std::atomic<int> MusicPlaying;
extern std::atomic<int> MusicStarting;    // a PlayMusic thread runs
extern std::atomic<int> PlayChosen;       // the music page plays MP3next as it stands
extern std::atomic<int> MusicTitleChanged;

int ReadPlaylist();
// Writes the playlist whole, or keeps the old file; false (logged) when it
// could not be written.
bool SavePlaylist();
void DelPlaylistEntry(int i);
void MovePlaylistEntryUp(int i);
void MovePlaylistEntryDown(int i);
// False (nothing inserted) when the list is full.
bool InsPlaylistEntry(int i, const char *entry);
void ShufflePlaylist();

// 1 when the thread started (0 also while one still runs).
int StartPlayMusic();
DWORD WINAPI PlayMusic(void *);
void SetMusicVolume(int volume);
bool IsMusicPlaying();
void FadeMusic(DWORD ms);
void StopMusic();
// At shutdown: a short fade, then waits for a running PlayMusic thread.
void EndMusic();
// Waits (bounded) for a running PlayMusic thread; true when none runs.
bool WaitMusicThread(DWORD ms);

// The title for the bubble, copied under the title lock.
void GetMusicTitle(char *out, size_t outSize);
// Sets the title; the changed flag when it differs (without case) from the last.
void SetMusicTitle(const char *title);
void ClearMusicTitle();
void ReadStreamTitle(int entry);
void CALLBACK MetaSyncProc(DWORD sync, DWORD channel, DWORD_PTR data, DWORD_PTR user);

// The music part of the housekeeping pass.
void MusicHousekeeping();
// Keypad plus and minus without Shift: Winamp's volume, or the own music's.
void ChangeMusicVolume(bool up);
