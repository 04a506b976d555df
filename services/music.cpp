#include "services/music.h"

#include "base/debuglog.h"
#include "base/winutil.h"
#include "core/random.h"
#include "services/sound.h"
#include "services/winamp.h"
#include "config/config.h"

#include <algorithm>

char Playlist[kPlaylistMax][kPlaylistEntryLen];
int PlaylistCount;
int PlayOrder[kPlaylistMax];
std::atomic<DWORD> MusicStream{0};
std::atomic<int> MusicPlaying{0};
std::atomic<int> MusicStarting{0};
std::atomic<int> PlayChosen{0};
std::atomic<int> MusicTitleChanged{0};

namespace {

constexpr int kRetriesOnBadEntry = 2;      // three entries tried in all
constexpr DWORD kEndFadeMs = 290;
constexpr DWORD kEndWaitMs = 300;
// StreamCreateURL gives up after its network time-out (5 s).
constexpr DWORD kThreadEndWaitMs = 7000;
constexpr int kVolumeStep = 100;
constexpr int kVolumeMax = 1000;
constexpr size_t kLineMax = 259;

char gMusicTitle[kMusicTitleLen];
char gPreviousTitle[kMusicTitleLen];
HANDLE gMusicThread;
int gOrderCount;   // the playlist size the playing order was drawn for

// The title is written by the music thread and the library's callback thread
// and read by the animation thread.
CRITICAL_SECTION *TitleLock()
{
    static CRITICAL_SECTION cs;
    static bool ready = [] {
        InitializeCriticalSection(&cs);
        return true;
    }();
    (void)ready;
    return &cs;
}

BassFunctions &Mu() { return BassApi[kMusicInstance]; }

bool IsUrl(const char *entry) { return _strnicmp(entry, "http://", 7) == 0; }

bool ContainsNoCase(const char *text, const char *what)
{
    size_t n = strlen(what);
    for (const char *p = text; *p; ++p)
        if (_strnicmp(p, what, n) == 0)
            return true;
    return false;
}

bool FileExists(const char *path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void Trim(char *s)
{
    size_t len = strlen(s);
    while (len > 0 && strchr(" \t\r\n", s[len - 1]))
        s[--len] = '\0';
    size_t start = strspn(s, " \t\r\n");
    memmove(s, s + start, len - start + 1);
}

// Copies at most n characters and trims trailing blanks (ID3 fields are
// padded and need not end in a zero).
void CopyField(char *out, size_t outSize, const char *field, size_t n)
{
    size_t len = strnlen(field, n);
    if (len >= outSize)
        len = outSize - 1;
    memcpy(out, field, len);
    out[len] = '\0';
    while (len > 0 && out[len - 1] == ' ')
        out[--len] = '\0';
}

// The value of "StreamTitle='...';" (to the end when "';" is missing).
bool StreamTitleOf(const char *meta, char *out, size_t outSize)
{
    static const char kKey[] = "StreamTitle='";
    const char *start = strstr(meta, kKey);
    if (!start)
        return false;
    start += sizeof(kKey) - 1;
    const char *end = strstr(start, "';");
    size_t len = end ? static_cast<size_t>(end - start) : strlen(start);
    CopyField(out, outSize, start, len);
    return true;
}

// The first "TITLE=" of a list of zero-terminated texts.
bool OggTitleOf(const char *list, char *out, size_t outSize)
{
    for (const char *p = list; *p; p += strlen(p) + 1) {
        if (_strnicmp(p, "TITLE=", 6) == 0) {
            StrCopyN(out, outSize, p + 6);
            return true;
        }
    }
    return false;
}

// Moves MP3next on by one, wrapping (and drawing a new order) at the end.
void AdvanceNext()
{
    if (++MP3next >= PlaylistCount) {
        MP3next = 0;
        ShufflePlaylist();
    }
}

bool Shuffling() { return MP3shuffle && PlaylistCount > 1; }

}  // namespace

// ---------------------------------------------------------------- playlist

int ReadPlaylist()
{
    WriteLog("Playlist lesen");
    PlaylistCount = 0;
    if (!FileExists(MP3file)) {
        WriteLog("+++ Datei nicht vorhanden");
        return 0;
    }
    HANDLE probe = CreateFileA(MP3file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        WriteLog("+++ Datei gesperrt");
        return 0;
    }
    CloseHandle(probe);
    FILE *f = fopen(MP3file, "rt");
    if (!f) {
        WriteLog("+++ Kann Datei nicht öffnen");
        return 0;
    }
    char line[kLineMax + 1];
    while (PlaylistCount < kPlaylistMax && fgets(line, sizeof(line), f)) {
        size_t len = strlen(line);
        // The rest of an over-long line is not a line of its own.
        if (len == kLineMax && line[len - 1] != '\n') {
            int c;
            while ((c = fgetc(f)) != EOF && c != '\n') {
            }
        }
        if (line[0] == '#')
            continue;
        Trim(line);
        if (line[0] && (FileExists(line) || ContainsNoCase(line, "http://")))
            StrCopy(Playlist[PlaylistCount++], line);
    }
    fclose(f);
    return PlaylistCount;
}

namespace {

bool WritePlaylistLines(HANDLE file, void *)
{
    for (int i = 0; i < PlaylistCount; ++i) {
        char line[kPlaylistEntryLen + 2];
        int n = StrPrintfN(line, sizeof(line), "%s\r\n", Playlist[i]);
        if (!WriteAll(file, line, static_cast<DWORD>(n)))
            return false;
    }
    return true;
}

}  // namespace

bool SavePlaylist()
{
    WriteLog("Playlist speichern");
    // A write that stops halfway keeps the old playlist whole.
    if (ReplaceFileWhole(MP3file, WritePlaylistLines, nullptr))
        return true;
    WriteLog("+++ %s nicht gespeichert: %lu", MP3file, GetLastError());
    return false;
}

void DelPlaylistEntry(int i)
{
    if (i < 0 || i >= PlaylistCount)
        return;
    memmove(Playlist[i], Playlist[i + 1], static_cast<size_t>(PlaylistCount - i - 1) * kPlaylistEntryLen);
    --PlaylistCount;
}

void MovePlaylistEntryUp(int i)
{
    if (i <= 0 || i >= PlaylistCount)
        return;
    char tmp[kPlaylistEntryLen];
    StrCopy(tmp, Playlist[i]);
    StrCopy(Playlist[i], Playlist[i - 1]);
    StrCopy(Playlist[i - 1], tmp);
}

void MovePlaylistEntryDown(int i)
{
    if (i < 0 || i >= PlaylistCount - 1)
        return;
    MovePlaylistEntryUp(i + 1);
}

bool InsPlaylistEntry(int i, const char *entry)
{
    if (PlaylistCount >= kPlaylistMax || !entry)
        return false;
    i = std::clamp(i, 0, PlaylistCount);
    memmove(Playlist[i + 1], Playlist[i], static_cast<size_t>(PlaylistCount - i) * kPlaylistEntryLen);
    StrCopy(Playlist[i], entry);
    ++PlaylistCount;
    return true;
}

void ShufflePlaylist()
{
    if (!Shuffling())
        return;
    static bool used[kPlaylistMax];
    std::fill(used, used + PlaylistCount, false);
    for (int p = 0; p < PlaylistCount; ++p) {
        int n;
        do
            n = Rand() % PlaylistCount;
        while (used[n]);
        used[n] = true;
        PlayOrder[p] = n;
    }
    gOrderCount = PlaylistCount;
}

// ---------------------------------------------------------------- title

void GetMusicTitle(char *out, size_t outSize)
{
    EnterCriticalSection(TitleLock());
    StrCopyN(out, outSize, gMusicTitle);
    LeaveCriticalSection(TitleLock());
}

void SetMusicTitle(const char *title)
{
    EnterCriticalSection(TitleLock());
    StrCopy(gMusicTitle, title);
    if (_stricmp(gMusicTitle, gPreviousTitle) != 0)
        MusicTitleChanged = 1;
    StrCopy(gPreviousTitle, gMusicTitle);
    LeaveCriticalSection(TitleLock());
}

void ClearMusicTitle()
{
    EnterCriticalSection(TitleLock());
    gMusicTitle[0] = '\0';
    LeaveCriticalSection(TitleLock());
}

void ReadStreamTitle(int entry)
{
    DWORD st = MusicStream;
    if (!st || !BassLoaded(kMusicInstance))
        return;
    char title[kMusicTitleLen] = "";
    WriteLog("--- TAG_ID3");
    if (const char *id3 = Mu().StreamGetTags(st, kBassTagId3)) {
        constexpr size_t kFieldLen = 30, kTitleAt = 3, kArtistAt = 33;
        char artist[kFieldLen + 1], name[kFieldLen + 1];
        CopyField(artist, sizeof(artist), id3 + kArtistAt, kFieldLen);
        CopyField(name, sizeof(name), id3 + kTitleAt, kFieldLen);
        WriteLog("%s", artist);
        WriteLog("%s", name);
        if (artist[0] || name[0])
            StrPrintfN(title, sizeof(title), "%s\r\n%s", artist, name);
    }
    WriteLog("--- TAG_OGG");
    if (!title[0])
        if (const char *ogg = Mu().StreamGetTags(st, kBassTagOgg))
            OggTitleOf(ogg, title, sizeof(title));
    WriteLog("--- TAG_META");
    if (!title[0])
        if (const char *meta = Mu().StreamGetTags(st, kBassTagMeta))
            StreamTitleOf(meta, title, sizeof(title));
    WriteLog("--- TAG_ICY");
    if (const char *icy = Mu().StreamGetTags(st, kBassTagIcy)) {
        char station[kMusicTitleLen] = "";
        for (const char *p = icy; *p; p += strlen(p) + 1) {
            WriteLog("%s", p);
            if (const char *name = strstr(p, "icy-name:"))
                StrCopy(station, name + 9);
        }
        if (!title[0])
            StrCopy(title, station);
    }
    if (!title[0] && entry >= 0 && entry < PlaylistCount)
        StrCopy(title, Playlist[entry]);
    SetMusicTitle(title);
}

void CALLBACK MetaSyncProc(DWORD sync, DWORD channel, DWORD_PTR data, DWORD_PTR user)
{
    const char *text = reinterpret_cast<const char *>(data);
    if (!text)
        return;
    char title[kMusicTitleLen];
    if (StreamTitleOf(text, title, sizeof(title)) || OggTitleOf(text, title, sizeof(title)))
        SetMusicTitle(title);
}

// ---------------------------------------------------------------- playing

DWORD WINAPI PlayMusic(void *)
{
    bool chosen = PlayChosen != 0;
    if (IsMusicPlaying())
        StopMusic();
    MusicPlaying = 0;
    if (BassLoaded(kMusicInstance) && PlaylistCount > 0) {
        if (Shuffling() && gOrderCount != PlaylistCount)
            ShufflePlaylist();
        for (int tries = 0;; ++tries) {
            if (MP3next < 0 || MP3next >= PlaylistCount)
                MP3next = 0;
            // With shuffle MP3next is the position in the playing order, so the
            // order is walked through and every entry comes once.
            int entry = (!chosen && Shuffling()) ? PlayOrder[MP3next] : MP3next;
            const char *name = Playlist[entry];
            bool url = IsUrl(name);
            DWORD st = url ? Mu().StreamCreateURL(name, 0, kBassUrlFlags, nullptr, 0)
                           : Mu().StreamCreateFile(FALSE, name, 0, 0, kBassAutoFree);
            if (!st) {
                int error = Mu().ErrorGetCode();
                WriteLog("+++ PlayMusic(1) [%s], ERR: %d", name, error);
                if (!url && (error == kBassErrFileOpen || error == kBassErrFileForm) && !chosen &&
                    tries < kRetriesOnBadEntry) {
                    AdvanceNext();
                    continue;
                }
                break;
            }
            Mu().ChannelSetAttributes(st, kFreqUnchanged, MP3volume, -1);
            if (url)
                Mu().ChannelSetSync(st, kBassSyncMeta, 0, reinterpret_cast<void *>(MetaSyncProc), 0);
            MusicStream = st;
            if (Mu().ChannelPlay(st, FALSE)) {
                MusicPlaying = 1;
                ReadStreamTitle(entry);
            } else {
                WriteLog("+++ PlayMusic(2) [%s], ERR: %d", name, Mu().ErrorGetCode());
            }
            break;
        }
        if (!chosen) {
            AdvanceNext();
            SaveMP3next();
        }
    }
    MusicStarting = 0;
    return 0;
}

int StartPlayMusic()
{
    // One music thread at a time; the flags are up before it runs, so a fast
    // failure cannot leave them set.
    if (MusicStarting.exchange(1))
        return 0;
    if (gMusicThread) {
        CloseHandle(gMusicThread);
        gMusicThread = nullptr;
    }
    MusicPlaying = 1;
    gMusicThread = CreateThread(nullptr, 0, PlayMusic, nullptr, 0, nullptr);
    if (!gMusicThread) {
        WriteLog("+++ PlayMusic nicht gestartet!");
        MusicPlaying = 0;
        MusicStarting = 0;
        return 0;
    }
    return 1;
}

void SetMusicVolume(int volume)
{
    DWORD st = MusicStream;
    if (BassLoaded(kMusicInstance) && st)
        Mu().ChannelSetAttributes(st, kFreqUnchanged, volume, -1);
}

bool IsMusicPlaying()
{
    DWORD st = MusicStream;
    return st && BassLoaded(kMusicInstance) && Mu().ChannelIsActive(st) == kBassActivePlaying;
}

void FadeMusic(DWORD ms)
{
    DWORD st = MusicStream;
    if (Music && MusicPlaying && BassLoaded(kMusicInstance) && st)
        Mu().ChannelSlideAttributes(st, kFreqUnchanged, kVolumeFadeStop, kPanUnchanged, ms);
}

void StopMusic()
{
    DWORD st = MusicStream;
    if (st && BassLoaded(kMusicInstance))
        Mu().ChannelStop(st);
    MusicPlaying = 0;
}

bool WaitMusicThread(DWORD ms)
{
    if (!gMusicThread)
        return true;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD left = ms - std::min(ms, GetTickCount() - start);
        DWORD r = MsgWaitForMultipleObjects(1, &gMusicThread, FALSE, left, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1 || left == 0)
            return false;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void EndMusic()
{
    FadeMusic(kEndFadeMs);
    Sleep(kEndWaitMs);
    WaitMusicThread(kThreadEndWaitMs);
}

void MusicHousekeeping()
{
    if ((!Music && !WinampPlaying) || MusicStarting)
        return;
    if (!WinampPlaying && MusicPlaying)
        MusicPlaying = IsMusicPlaying() ? 1 : 0;
    else
        WinampStep();
}

void ChangeMusicVolume(bool up)
{
    if (WinampPlaying) {
        SendWinampCommand(up ? kWinampVolumeUp : kWinampVolumeDown);
        WriteLog(up ? "WinAMP lauter" : "WinAMP leiser");
        return;
    }
    MP3volume = std::clamp(MP3volume + (up ? kVolumeStep : -kVolumeStep), 0, kVolumeMax);
    SetMusicVolume(MP3volume);
    WriteLog("SetMusicVolume: %d", MP3volume);
}
