// The music page: the musicians' playlist with a preview of one entry, how
// often the musicians come, shuffle and the music volume.
#include "resources/resource.h"
#include "services/music.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

#include <algorithm>

namespace {

constexpr int kRow = 13;
constexpr UINT_PTR kWatchTimer = 101;
constexpr UINT kWatchMs = 100;
constexpr int kComeChoices = 5;
constexpr int kVolumeMax = 1000, kVolumeTick = 50, kVolumePage = 100;
constexpr int kLineMargin = 5;
constexpr int kShuffleMinimum = 3;
// How long a stop waits for a preview that is still opening its entry.
constexpr DWORD kStopWaitMs = 2000;
constexpr DWORD kChooserBufferLen = 8000;
constexpr size_t kFormatLen = 80;  // the KOMMEN format: 79 characters

const char *const kGermanComeTimes[kComeChoices] = {"1 bis 3", "2 bis 6", "4 bis 10", "8 bis 30", "15 bis 60"};

// The page's state; the sheet has one music page at a time.
bool gChanged;   // the list was edited since the page was made
bool gPlaying;   // the preview plays

HWND List(HWND page) { return GetDlgItem(page, IDC_MUSIK_LIST); }

void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }

int Selection(HWND page)
{
    return static_cast<int>(SendMessageA(List(page), LB_GETCURSEL, 0, 0));
}

// Paths are shortened in the middle to the line, measured with the list
// box's own font (a device context fresh from the list box has the system's).
struct LineMeasure {
    HWND list;
    HDC dc;
    HGDIOBJ oldFont;
    int width;
};

LineMeasure BeginLines(HWND list)
{
    LineMeasure m = {list, GetDC(list), nullptr, 1};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    if (font)
        m.oldFont = SelectObject(m.dc, font);
    RECT r;
    GetWindowRect(list, &r);
    m.width = std::max(1, static_cast<int>(r.right - r.left) - GetSystemMetrics(SM_CXVSCROLL) - kLineMargin);
    return m;
}

void InsertLine(const LineMeasure &m, int index, const char *entry)
{
    char line[kPathLen];
    StrCopy(line, entry);
    PathCompactPathA(m.dc, line, static_cast<UINT>(m.width));
    SendMessageA(m.list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
}

void EndLines(const LineMeasure &m)
{
    if (m.oldFont)
        SelectObject(m.dc, m.oldFont);
    ReleaseDC(m.list, m.dc);
}

void SetComeLabel(HWND page)
{
    char text[kLabelLen];
    if (MusikKommt < 1 || MusikKommt > kComeChoices) {
        LngCopy(text, sizeof(text), "MUSIK", "KEINEMUSIK", "Musik AUS");
    } else {
        char key[16], times[kLabelLen], format[kFormatLen];
        StrPrintfN(key, sizeof(key), "SBAHNALLE%d", MusikKommt - 1);
        LngCopy(times, sizeof(times), "BUSKOMMT", key, kGermanComeTimes[MusikKommt - 1]);
        // The format is cut as the page keeps it; a cut one that no longer
        // takes the text falls back to the German one.
        LngCopy(format, sizeof(format), "MUSIK", "KOMMEN", "Musiker &kommen alle %s Minuten");
        if (!FormatTakes(format, FormatArg::String))
            StrCopy(format, "Musiker &kommen alle %s Minuten");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        snprintf(text, sizeof(text), format, times);
#pragma GCC diagnostic pop
    }
    SetDlgItemTextA(page, IDC_MUSIK_COMELABEL, text);
}

// What the list's size allows; an empty list sends the musicians away.
void UpdateEnabling(HWND page)
{
    int n = PlaylistCount;
    if (n == 0 && MusikKommt != 0) {
        MusikKommt = 0;
        SendDlgItemMessageA(page, IDC_MUSIK_COME, TBM_SETPOS, TRUE, 0);
        SetComeLabel(page);
    }
    Enable(page, IDC_MUSIK_PLAY, n > 0);
    Enable(page, IDC_MUSIK_DEL, n > 0);
    Enable(page, IDC_MUSIK_ADD, n < kPlaylistMax);
    Enable(page, IDC_MUSIK_UP, n >= 2);
    Enable(page, IDC_MUSIK_DOWN, n >= 2);
    Enable(page, IDC_MUSIK_COME, n > 0);
    Enable(page, IDC_MUSIK_VOLUME, MusikKommt != 0 && n > 0);
    Enable(page, IDC_MUSIK_SHUFFLE, MusikKommt != 0 && n >= kShuffleMinimum);
}

void SetPlayText(HWND page)
{
    if (gPlaying)
        SetLngText(page, IDC_MUSIK_PLAY, "MUSIK", "STOP", "S&top");
    else
        SetLngText(page, IDC_MUSIK_PLAY, "MUSIK", "PLAY", "&Anhören");
}

// A preview still opening its entry counts as playing.
bool PreviewRuns() { return MusicStarting != 0 || IsMusicPlaying(); }

void StopPreview(HWND page)
{
    StopMusic();
    // The thread may still be opening the entry: once it is done the stream
    // it made is stopped too.
    if (WaitMusicThread(kStopWaitMs))
        StopMusic();
    gPlaying = false;
    SetPlayText(page);
    KillTimer(page, kWatchTimer);
}

void StartPreview(HWND page)
{
    int sel = Selection(page);
    if (sel < 0 || sel >= PlaylistCount)
        return;
    MP3next = sel;
    PlayChosen = 1;
    if (!StartPlayMusic())
        return;
    gPlaying = true;
    SetPlayText(page);
    SetTimer(page, kWatchTimer, kWatchMs, nullptr);
}

void Listen(HWND page)
{
    if (gPlaying)
        StopPreview(page);
    else
        StartPreview(page);
}

void OnWatchTimer(HWND page)
{
    gPlaying = PreviewRuns();
    if (!gPlaying) {
        SetPlayText(page);
        KillTimer(page, kWatchTimer);
    }
}

void Init(HWND page)
{
    gChanged = false;
    gPlaying = false;
    CheckDlgButton(page, IDC_MUSIK_SHUFFLE, MP3shuffle ? BST_CHECKED : BST_UNCHECKED);
    HWND list = List(page);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LineMeasure lines = BeginLines(list);
    for (int i = 0; i < PlaylistCount; ++i)
        InsertLine(lines, i, Playlist[i]);
    EndLines(lines);
    // A next entry past the list (a damaged value) starts from the first.
    bool keepNext = MP3next > 0 && MP3next < PlaylistCount && !MP3shuffle;
    if (PlaylistCount > 0)
        SendMessageA(list, LB_SETCURSEL, keepNext ? MP3next : 0, 0);
    UpdateEnabling(page);
}

void Activate(HWND page)
{
    gPlaying = PreviewRuns();
    SetLngText(page, IDC_MUSIK_TEXT, "MUSIK", "TEXT",
               "Die Musiker sind genial, sie beherrschen jedes erdenkliche Instrument und spielen wirklich alles "
               "(naja, nur MP3-, OGG- oder WAV-Dateien). Sie wären die absoluten Superstars wenn Sie noch tanzen "
               "könnten...");
    SetLngText(page, IDC_MUSIK_SHUFFLE, "MUSIK", "SHUFFLE", "&Shuffle");
    SetLngText(page, IDC_MUSIK_ADD, "MUSIK", "ADD", "&Neu");
    SetLngText(page, IDC_MUSIK_DEL, "MUSIK", "DEL", "&Löschen");
    SetLngText(page, IDC_MUSIK_UP, "MUSIK", "UP", "&Hoch");
    SetLngText(page, IDC_MUSIK_DOWN, "MUSIK", "DOWN", "&Runter");
    SetLngText(page, IDC_MUSIK_VOLLABEL, "MUSIK", "VOLUME-MUSIC", "Lautstärke:");
    SetPlayText(page);
    SetupTrackbar(page, IDC_MUSIK_COME, 0, kComeChoices, 1, MusikKommt);
    SetupTrackbar(page, IDC_MUSIK_VOLUME, 0, kVolumeMax, kVolumePage, MP3volume);
    SendDlgItemMessageA(page, IDC_MUSIK_VOLUME, TBM_SETTICFREQ, kVolumeTick, 0);
    SetComeLabel(page);
    UpdateEnabling(page);
    if (gPlaying)
        SetTimer(page, kWatchTimer, kWatchMs, nullptr);
    InvalidateRect(page, nullptr, TRUE);
}

void ListEdited(HWND page)
{
    UpdateEnabling(page);
    gChanged = true;
    MarkChanged(page);
}

void Add(HWND page)
{
    int sel = Selection(page);
    int at = sel >= 0 ? sel + 1 : PlaylistCount;
    static char buffer[kChooserBufferLen];
    memset(buffer, 0, sizeof(buffer));
    bool english = Language != 1;
    static const char kGermanFilter[] = "Musik Dateien\0*.mp3;*.mp2;*.mp1;*.ogg;*.wav\0Alle Dateien\0*.*\0";
    static const char kEnglishFilter[] = "music files\0*.mp3;*.mp2;*.mp1;*.ogg;*.wav\0All files\0*.*\0";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = page;
    ofn.lpstrFilter = english ? kEnglishFilter : kGermanFilter;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = sizeof(buffer) - 1;
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_SHOWHELP;
    if (!OpenFileDialog(&ofn))
        return;
    HWND list = List(page);
    LineMeasure lines = BeginLines(list);
    const char *cursor = nullptr;
    char path[kPathLen];
    while (NextChosenFile(buffer, &cursor, path, sizeof(path))) {
        if (!InsPlaylistEntry(at, path))
            break;  // the list is full: the rest are dropped
        InsertLine(lines, at, Playlist[at]);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        ++at;
    }
    EndLines(lines);
    ListEdited(page);
}

void Delete(HWND page)
{
    int sel = Selection(page);
    if (PlaylistCount == 0 || sel < 0 || sel >= PlaylistCount)
        return;
    if (gPlaying && sel == MP3next)
        StopPreview(page);
    HWND list = List(page);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
    DelPlaylistEntry(sel);
    ListEdited(page);
    if (PlaylistCount > 0)
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(std::min(sel, PlaylistCount - 1)), 0);
}

// Moves the selected entry one line by step (-1 up, +1 down).
void Move(HWND page, int step)
{
    int sel = Selection(page);
    int to = sel + step;
    if (sel < 0 || to < 0 || to >= PlaylistCount)
        return;
    if (step < 0)
        MovePlaylistEntryUp(sel);
    else
        MovePlaylistEntryDown(sel);
    HWND list = List(page);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
    LineMeasure lines = BeginLines(list);
    InsertLine(lines, to, Playlist[to]);
    EndLines(lines);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
    gChanged = true;
    MarkChanged(page);
}

void OnCommand(HWND page, int id, int code)
{
    switch (id) {
    case IDC_MUSIK_ADD:
        if (code == BN_CLICKED)
            Add(page);
        break;
    case IDC_MUSIK_DEL:
        if (code == BN_CLICKED)
            Delete(page);
        break;
    case IDC_MUSIK_UP:
    case IDC_MUSIK_DOWN:
        if (code == BN_CLICKED)
            Move(page, id == IDC_MUSIK_UP ? -1 : 1);
        break;
    case IDC_MUSIK_PLAY:
        if (code == BN_CLICKED)
            Listen(page);
        break;
    case IDC_MUSIK_LIST:
        if (code == LBN_DBLCLK) {
            if (gPlaying)
                StopPreview(page);
            StartPreview(page);
        }
        break;
    case IDC_MUSIK_SHUFFLE:
        if (code == BN_CLICKED)
            MarkChanged(page);
        break;
    default:
        break;
    }
}

void OnScroll(HWND page, HWND bar)
{
    if (bar == GetDlgItem(page, IDC_MUSIK_VOLUME)) {
        MP3volume = TrackbarPos(page, IDC_MUSIK_VOLUME);
        SetMusicVolume(MP3volume);
    } else if (bar == GetDlgItem(page, IDC_MUSIK_COME)) {
        MusikKommt = TrackbarPos(page, IDC_MUSIK_COME);
        SetComeLabel(page);
        UpdateEnabling(page);
    } else {
        return;
    }
    MarkChanged(page);
}

void Apply(HWND page)
{
    MP3shuffle = (PlaylistCount >= kShuffleMinimum && IsDlgButtonChecked(page, IDC_MUSIK_SHUFFLE) == BST_CHECKED)
                     ? 1
                     : 0;
    SaveSettings();
    if (PlaylistCount > 0 && gChanged) {
        // After deletions the next entry may lie past the end.
        if (MP3next < 0 || MP3next >= PlaylistCount)
            MP3next = 0;
        SaveMP3next();
        // The old playlist stayed: the user is told the edits are not stored.
        if (!SavePlaylist())
            ShowErrorBox(page, "CANNOTSAVE", "Kann Datei nicht speichern!");
    }
    if (PlaylistCount == 0)
        DeleteFileA(MP3file);
}

void Refresh(HWND page)
{
    HDC dc = GetDC(page);
    DrawPagePicture(page, dc, IDC_MUSIK_PICTURE, "MUSIK");
    ReleaseDC(page, dc);
}

}  // namespace

INT_PTR CALLBACK MusikPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, WM_PAGEREFRESH_MUSIC, Refresh};
    if (message == WM_DESTROY)
        KillTimer(page, kWatchTimer);
    if (message == WM_TIMER && wParam != kRefreshTimer) {
        if (wParam == kWatchTimer)
            OnWatchTimer(page);
        return TRUE;
    }
    if (message == WM_HSCROLL) {
        OnScroll(page, reinterpret_cast<HWND>(lParam));
        return TRUE;
    }
    return RunPage(page, message, wParam, lParam, kKind);
}
