#include "services/winamp.h"

#include "base/debuglog.h"
#include "base/now.h"
#include "services/music.h"

std::atomic<HWND> WinampWindow{nullptr};
int WinampVersion;
std::atomic<int> WinampPlaying{0};
char WinampTitle[kWinampTitleLen];

namespace {

const char kWinampClass[] = "Winamp v1.x";
constexpr WPARAM kIpcData = 0;
constexpr LPARAM kIpcGetVersion = 0;
constexpr LPARAM kIpcIsPlaying = 104;
constexpr UINT kMessageTimeoutMs = 200;

char gPreviousWinampTitle[kWinampTitleLen];
int gLastSecond = -1;

bool Ask(UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR *result)
{
    HWND w = WinampWindow;
    if (!w)
        return false;
    return SendMessageTimeoutA(w, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kMessageTimeoutMs,
                               result) != 0;
}

}  // namespace

void CutWinampCaption(char *caption)
{
    static const char kMark[] = "- winamp";
    size_t len = strlen(caption);
    size_t markLen = sizeof(kMark) - 1;
    for (size_t at = len >= markLen ? len - markLen + 1 : 0; at-- > 0;) {
        if (_strnicmp(caption + at, kMark, markLen) == 0) {
            while (at > 0 && caption[at - 1] == ' ')
                --at;
            caption[at] = '\0';
            return;
        }
    }
}

void ReadWinampTitle()
{
    WinampTitle[0] = '\0';
    DWORD_PTR state = 0;
    WinampPlaying = Ask(WM_USER, kIpcData, kIpcIsPlaying, &state) && state == 1;
    if (!WinampPlaying)
        return;
    // WM_GETTEXT rather than GetWindowText: the latter waits without limit on
    // a window of this process.
    DWORD_PTR got = 0;
    if (!Ask(WM_GETTEXT, kWinampTitleLen, reinterpret_cast<LPARAM>(WinampTitle), &got))
        WinampTitle[0] = '\0';
    WinampTitle[kWinampTitleLen - 1] = '\0';
    CutWinampCaption(WinampTitle);
}

void initWinAMP()
{
    WinampVersion = 0;
    WinampPlaying = 0;
    WriteLog("initWinAMP - START");
    WinampWindow = FindWindowA(kWinampClass, nullptr);
    if (WinampWindow.load()) {
        DWORD_PTR version = 0;
        if (Ask(WM_USER, kIpcData, kIpcGetVersion, &version))
            WinampVersion = static_cast<int>(version);
        ReadWinampTitle();
        if (WinampPlaying)
            WriteLog("WinAMP is playing!");
    }
    WriteLog("initWinAMP - END");
}

void WinampStep()
{
    if (!WinampWindow.load())
        return;
    SYSTEMTIME now;
    NowLocal(&now);
    if (now.wSecond == gLastSecond)
        return;
    gLastSecond = now.wSecond;
    ReadWinampTitle();
    if (!WinampPlaying) {
        ClearMusicTitle();
        gPreviousWinampTitle[0] = '\0';
        MusicPlaying = 0;
        return;
    }
    if (_stricmp(WinampTitle, gPreviousWinampTitle) != 0) {
        StrCopy(gPreviousWinampTitle, WinampTitle);
        SetMusicTitle(WinampTitle);
        MusicTitleChanged = 1;
        MusicPlaying = 1;
    }
}

bool SendWinampCommand(int id)
{
    DWORD_PTR result = 0;
    return Ask(WM_COMMAND, static_cast<WPARAM>(id), 0, &result);
}
