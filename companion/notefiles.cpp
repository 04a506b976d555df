#include "notefiles.h"

#include "zettler.h"
#include "zlog.h"

char NoteNames[kMaxNotes][kZPathLen];
int NoteCount = 0;
int NoteCurrent = 0;

namespace {

// The screensaver writes nothing else with these shapes into the folder.
const char *const kNotePatterns[] = {"N_20??????_?????.txt", "X_20??????_?????.txt"};
// Shorter folder paths cannot name a folder ("C:\" is the shortest).
constexpr size_t kMinFolderLen = 3;

bool JoinNotePath(const char *name, char *out)
{
    return PathCombineA(out, MSGPath, name) != nullptr;
}

void SearchPattern(const char *pattern)
{
    char search[kZPathLen];
    if (!JoinNotePath(pattern, search))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(search, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        StrCopy(NoteNames[NoteCount], fd.cFileName);
        ++NoteCount;
    } while (NoteCount < kMaxNotes && FindNextFileA(find, &fd));
    FindClose(find);
}

void SortNotes()
{
    char swap[kZPathLen];
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = 0; i + 1 < NoteCount; ++i) {
            if (_stricmp(NoteNames[i], NoteNames[i + 1]) > 0) {
                memcpy(swap, NoteNames[i], sizeof(swap));
                memcpy(NoteNames[i], NoteNames[i + 1], sizeof(swap));
                memcpy(NoteNames[i + 1], swap, sizeof(swap));
                exchanged = true;
            }
        }
    }
}

bool HasCurrentNote() { return NoteCurrent >= 0 && NoteCurrent < NoteCount; }

void RemoveCurrentEntry()
{
    for (int i = NoteCurrent; i + 1 < NoteCount; ++i)
        memcpy(NoteNames[i], NoteNames[i + 1], sizeof(NoteNames[i]));
    if (NoteCount > 0) {
        --NoteCount;
        memset(NoteNames[NoteCount], 0, sizeof(NoteNames[NoteCount]));
    }
    if (NoteCurrent >= NoteCount - 1)
        NoteCurrent = NoteCount - 1;
}

void DeleteCurrentFile()
{
    char path[kZPathLen];
    if (JoinNotePath(NoteNames[NoteCurrent], path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        DeleteFileA(path);
}

}  // namespace

void FindNotes()
{
    memset(NoteNames, 0, sizeof(NoteNames));
    NoteCount = 0;
    if (strnlen(MSGPath, sizeof(MSGPath)) < kMinFolderLen)
        return;
    WriteDebugLog("MSG-Plakatmotive suchen...");
    for (const char *pattern : kNotePatterns) {
        if (NoteCount < kMaxNotes)
            SearchPattern(pattern);
    }
    SortNotes();
    NoteCurrent = NoteCount - 1;
}

bool ReadNote(int index, char *buf, size_t size)
{
    if (size == 0)
        return false;
    memset(buf, 0, size);
    if (index < 0 || index >= NoteCount)
        return false;
    WriteDebugLog(NoteNames[index]);
    char path[kZPathLen];
    if (!JoinNotePath(NoteNames[index], path))
        return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // One byte stays free for the terminator, however long the file is.
    DWORD got = 0;
    BOOL ok = ReadFile(file, buf, static_cast<DWORD>(size - 1), &got, nullptr);
    CloseHandle(file);
    if (!ok) {
        memset(buf, 0, size);
        return false;
    }
    return got > 0;
}

bool SaveNote(const char *text)
{
    if (!HasCurrentNote())
        return false;
    char path[kZPathLen];
    if (!JoinNotePath(NoteNames[NoteCurrent], path))
        return false;
    size_t len = strnlen(text, kNoteTextSize - 1);
    if (len == 0) {
        DeleteCurrentFile();
        RemoveCurrentEntry();
        return false;
    }
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, static_cast<DWORD>(len), &written, nullptr);
    CloseHandle(file);
    return ok && written == len;
}

void DeleteNote()
{
    if (!HasCurrentNote())
        return;
    DeleteCurrentFile();
    RemoveCurrentEntry();
}

void BuildNoteTitle(const char *name, int dateOrder, char separator, char *out, size_t outSize)
{
    if (outSize == 0)
        return;
    out[0] = '\0';
    if (strnlen(name, 16) < 16)
        return;
    // Positions in "N_20260309_0815a.txt".
    const char *year = name + 2;
    const char *month = name + 6;
    const char *day = name + 8;
    const char *hour = name + 11;
    const char *minute = name + 13;
    char letter = name[15];
    switch (dateOrder) {
    case 0:
        StrPrintfN(out, outSize, "%.2s%c%.2s%c%.4s", month, separator, day, separator, year);
        break;
    case 1:
        StrPrintfN(out, outSize, "%.2s%c%.2s%c%.4s", day, separator, month, separator, year);
        break;
    case 2:
        StrPrintfN(out, outSize, "%.4s%c%.2s%c%.2s", year, separator, month, separator, day);
        break;
    default:
        return;
    }
    char time[16];
    StrPrintfN(time, sizeof(time), " %.2s:%.2s %c", hour, minute, letter);
    StrAppendN(out, outSize, time);
}
