// The notes dialog in this process: the real dialog template and icons, real
// note files in a temp folder and the notes key of the test prefix. Each test
// opens the dialog modally and drives it from a timer on the same thread, as
// the user's clicks and keys would.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "notes_fixture.h"
#include "testutil.h"

#include "notefiles.h"
#include "notesdlg.h"
#include "zettler.h"
#include "zettler_ids.h"

using namespace notestest;
using testutil::TempDir;

namespace {

std::function<void(HWND)> gDrive;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!NotesDialog)
        return;
    KillTimer(nullptr, id);
    gDrive(NotesDialog);
    if (NotesDialog)
        SendMessageA(NotesDialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, STN_CLICKED), 0);
}

// Opens the dialog, runs drive once it is up, and closes it with its close
// icon unless drive did.
INT_PTR RunDialog(const std::function<void(HWND)> &drive)
{
    gDrive = drive;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, DriveDialog);
    INT_PTR result = ShowNotesDialog(nullptr);
    KillTimer(nullptr, timer);
    return result;
}

std::string Caption(HWND dialog) { return WindowText(dialog); }
std::string Shown(HWND dialog) { return WindowText(GetDlgItem(dialog, IDC_NOTE_TEXT)); }

void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Replaces the shown text as typing would; an empty text clears it.
void Type(HWND dialog, const std::string &text)
{
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty())
        SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void CtrlKey(HWND dialog, UINT vk)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(GetDlgItem(dialog, IDC_NOTE_TEXT), WM_KEYDOWN, vk, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

bool ShowsIcon(HWND dialog, int id, const char *name)
{
    HANDLE expected = LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 32, 32, LR_SHARED);
    return expected && reinterpret_cast<HANDLE>(SendDlgItemMessageA(dialog, id, STM_GETICON, 0, 0)) == expected;
}

// "BACK", "FORW", "DEL" each on or off, in that order.
std::string IconStates(HWND dialog)
{
    std::string s;
    s += ShowsIcon(dialog, IDC_NOTE_BACK, "NOTE_BACK") ? "B" : (ShowsIcon(dialog, IDC_NOTE_BACK, "NOTE_BACK_OFF") ? "b" : "?");
    s += ShowsIcon(dialog, IDC_NOTE_FORW, "NOTE_FORW") ? "F" : (ShowsIcon(dialog, IDC_NOTE_FORW, "NOTE_FORW_OFF") ? "f" : "?");
    s += ShowsIcon(dialog, IDC_NOTE_DEL, "NOTE_DEL") ? "D" : (ShowsIcon(dialog, IDC_NOTE_DEL, "NOTE_DEL_OFF") ? "d" : "?");
    return s;
}

std::vector<std::string> FolderFiles(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

class NotesDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testutil::DeleteUserKey(kNotesKeyPath);
        UseFolder(dir_.Path() + "\\");
        AppInstance = GetModuleHandleA(nullptr);
        ZettlerDebugOn = 0;
        DateOrder = 1;
        DateSeparator = '.';
    }
    void TearDown() override { testutil::DeleteUserKey(kNotesKeyPath); }

    void UseFolder(const std::string &path)
    {
        WriteNotesString("MSGPath", path);
        ReadNotesKey();
    }

    std::string Note(const std::string &name, const std::string &bytes)
    {
        std::string path = dir_.File(name);
        EXPECT_TRUE(testutil::WriteFileBytes(path, bytes));
        return path;
    }

    std::string Bytes(const std::string &name) { return testutil::ReadFileBytes(dir_.File(name)); }
    bool Exists(const std::string &name) { return testutil::FileExists(dir_.File(name)); }

    TempDir dir_;
};

const std::string kFirst = NoteName('N', 2026, 3, 9, 8, 15, 'a');
const std::string kSecond = NoteName('N', 2026, 3, 10, 9, 0, 'b');
const std::string kThird = NoteName('N', 2026, 3, 10, 17, 45, 'a');
const std::string kX = NoteName('X', 2026, 1, 1, 12, 0, 'a');

TEST_F(NotesDialogTest, OpensOnTheLastSortedNoteAndPagesInOrder)
{
    Note(kSecond, "Zweite");
    Note(kX, "Bitte M\xE4nner anrufen");
    Note(kFirst, "Erste Notiz\r\nZeile zwei");
    // Not notes: other names, another kind letter, and a folder with a note's name.
    Note("notes.txt", "x");
    Note("Y_20260101_1200a.txt", "x");
    CreateDirectoryA(dir_.File(NoteName('N', 2026, 3, 11, 10, 0, 'a')).c_str(), nullptr);

    std::vector<std::string> captions;
    RunDialog([&](HWND dialog) {
        EXPECT_EQ(NoteCount, 3);
        EXPECT_EQ(Caption(dialog), "01.01.2026 12:00 a");  // the X note sorts last
        EXPECT_EQ(Shown(dialog), "Bitte M\xE4nner anrufen");
        EXPECT_EQ(IconStates(dialog), "BfD");
        Click(dialog, IDC_NOTE_BACK);
        captions.push_back(Caption(dialog));
        Click(dialog, IDC_NOTE_BACK);
        captions.push_back(Caption(dialog));
        EXPECT_EQ(Shown(dialog), "Erste Notiz\r\nZeile zwei");
        EXPECT_EQ(IconStates(dialog), "bFD");
        Click(dialog, IDC_NOTE_BACK);  // already on the first: nothing
        captions.push_back(Caption(dialog));
        CtrlKey(dialog, VK_NEXT);
        captions.push_back(Caption(dialog));
        CtrlKey(dialog, VK_END);
        captions.push_back(Caption(dialog));
        Click(dialog, IDC_NOTE_FORW);  // already on the last: nothing
        captions.push_back(Caption(dialog));
        CtrlKey(dialog, VK_HOME);
        captions.push_back(Caption(dialog));
        Click(dialog, IDC_NOTE_FORW);
        captions.push_back(Caption(dialog));
        CtrlKey(dialog, VK_PRIOR);
        captions.push_back(Caption(dialog));
        EXPECT_EQ(Shown(dialog), "Erste Notiz\r\nZeile zwei");
    });
    std::vector<std::string> expected = {"10.03.2026 09:00 b", "09.03.2026 08:15 a", "09.03.2026 08:15 a",
                                         "10.03.2026 09:00 b", "01.01.2026 12:00 a", "01.01.2026 12:00 a",
                                         "09.03.2026 08:15 a", "10.03.2026 09:00 b", "09.03.2026 08:15 a"};
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(Bytes(kFirst), "Erste Notiz\r\nZeile zwei");
    EXPECT_EQ(Bytes(kSecond), "Zweite");
}

TEST(NoteTitle, FollowsTheUsersDateOrderAndSeparator)
{
    struct Case {
        int order;
        char separator;
        const char *title;
    } cases[] = {
        {0, '/', "03/09/2026 08:15 a"},
        {1, '.', "09.03.2026 08:15 a"},
        {2, '-', "2026-03-09 08:15 a"},
        {3, '.', ""},
        {-1, '.', ""},
    };
    for (const Case &c : cases) {
        char title[260];
        BuildNoteTitle("N_20260309_0815a.txt", c.order, c.separator, title, sizeof(title));
        EXPECT_STREQ(title, c.title) << c.order;
    }
    char title[260] = "stale";
    BuildNoteTitle("N_2026", 1, '.', title, sizeof(title));  // too short to hold a date
    EXPECT_STREQ(title, "");
}

TEST(DateSettings, ComeFromTheUsersInternationalKey)
{
    char separator[16] = {0};
    char order[16] = {0};
    DWORD size = sizeof(separator) - 1;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_READ, &key), 0);
    bool haveSeparator = RegQueryValueExA(key, "sDate", nullptr, nullptr, reinterpret_cast<BYTE *>(separator), &size) == 0;
    size = sizeof(order) - 1;
    bool haveOrder = RegQueryValueExA(key, "iDate", nullptr, nullptr, reinterpret_cast<BYTE *>(order), &size) == 0;
    RegCloseKey(key);
    ReadDateSettings();
    if (haveSeparator) {
        EXPECT_EQ(DateSeparator, separator[0]);
    }
    if (haveSeparator && haveOrder) {
        EXPECT_EQ(DateOrder, atoi(order));
    }
    EXPECT_NE(DateSeparator, '\0');
}

FILETIME OldTime()
{
    SYSTEMTIME st = {2001, 5, 0, 17, 10, 30, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

void SetWriteTime(const std::string &path, const FILETIME &ft)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

FILETIME WriteTime(const std::string &path)
{
    FILETIME ft = {};
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return ft;
}

TEST_F(NotesDialogTest, UnchangedNotesStayByteExactThroughPagingAndClose)
{
    std::string huge;
    while (huge.size() < 100000)
        huge += "Zeile mit \x80 und \xE4\xF6\xFC \r\n";
    struct Fixture {
        std::string name;
        std::string bytes;
    } notes[] = {
        {NoteName('N', 2026, 1, 1, 10, 0, 'a'), huge},
        {NoteName('N', 2026, 1, 2, 10, 0, 'a'), ""},
        {NoteName('N', 2026, 1, 3, 10, 0, 'a'), std::string("\xFF\xFEH\0a\0l\0l\0o\0", 12)},  // UTF-16
        {NoteName('N', 2026, 1, 4, 10, 0, 'a'), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"},         // UTF-8
        {NoteName('N', 2026, 1, 5, 10, 0, 'a'), std::string("vor\0nach", 8)},
        {NoteName('N', 2026, 1, 6, 10, 0, 'a'), "kurz"},
    };
    for (const Fixture &n : notes) {
        Note(n.name, n.bytes);
        SetWriteTime(dir_.File(n.name), OldTime());
    }

    std::vector<std::string> shown;
    RunDialog([&](HWND dialog) {
        CtrlKey(dialog, VK_HOME);
        for (int i = 0; i < 6; ++i) {
            shown.push_back(Shown(dialog));
            Click(dialog, IDC_NOTE_FORW);
        }
        for (int i = 0; i < 6; ++i)
            Click(dialog, IDC_NOTE_BACK);
        CtrlKey(dialog, VK_END);
        CtrlKey(dialog, VK_HOME);
        Click(dialog, IDC_NOTE_FORW);
        CtrlKey(dialog, VK_HOME);  // on the first already: shown again
        EXPECT_EQ(Shown(dialog), huge.substr(0, 799));
    });
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0], huge.substr(0, 799));  // never past the buffer
    EXPECT_EQ(shown[1], "");
    EXPECT_EQ(shown[2].substr(0, 3), "\xFF\xFEH");
    EXPECT_EQ(shown[4], "vor");
    EXPECT_EQ(shown[5], "kurz");
    for (const Fixture &n : notes) {
        EXPECT_EQ(Bytes(n.name), n.bytes) << n.name;
        FILETIME ft = WriteTime(dir_.File(n.name));
        FILETIME old = OldTime();
        EXPECT_EQ(CompareFileTime(&ft, &old), 0) << n.name << " was written";
    }
}

TEST_F(NotesDialogTest, EditedNotesAreSavedOnEveryMoveAndOnClose)
{
    Note(kFirst, "eins");
    Note(kSecond, "zwei");
    Note(kThird, "drei");
    RunDialog([&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_NOTE_TEXT, EM_GETLIMITTEXT, 0, 0), 799);
        Type(dialog, "neu drei");
        SendDlgItemMessageA(dialog, IDC_NOTE_TEXT, WM_CHAR, '\t', 0);  // Tab never enters the text
        Click(dialog, IDC_NOTE_BACK);
        EXPECT_EQ(Bytes(kThird), "neu drei");
        Type(dialog, "neu zwei");
        CtrlKey(dialog, VK_HOME);
        EXPECT_EQ(Bytes(kSecond), "neu zwei");
        Type(dialog, "M\xE4nner\r\xE4");  // Enter types a CR; the edit stores CR LF
        CtrlKey(dialog, VK_END);
        EXPECT_EQ(Bytes(kFirst), "M\xE4nner\r\n\xE4");
        EXPECT_EQ(Shown(dialog), "neu drei");
        Type(dialog, "zuletzt");
    });
    EXPECT_EQ(Bytes(kThird), "zuletzt");
}

TEST_F(NotesDialogTest, AnEmptiedNoteIsDeletedWhenLeftAndTheListClosesUp)
{
    std::string a = NoteName('N', 2026, 2, 1, 8, 0, 'a');
    std::string b = NoteName('N', 2026, 2, 2, 8, 0, 'a');
    std::string c = NoteName('N', 2026, 2, 3, 8, 0, 'a');
    std::string d = NoteName('N', 2026, 2, 4, 8, 0, 'a');
    for (const std::string &n : {a, b, c, d})
        Note(n, "text of " + n);
    RunDialog([&](HWND dialog) {
        CtrlKey(dialog, VK_HOME);
        Click(dialog, IDC_NOTE_FORW);
        Type(dialog, "");
        Click(dialog, IDC_NOTE_FORW);
        EXPECT_EQ(NoteCount, 3);
        // The next note moved into the emptied one's place, so forward lands
        // on the one after it.
        EXPECT_EQ(Caption(dialog), "04.02.2026 08:00 a");
        Type(dialog, "");
        Click(dialog, IDC_NOTE_BACK);
        EXPECT_EQ(NoteCount, 2);
        EXPECT_EQ(Caption(dialog), "01.02.2026 08:00 a");
        Type(dialog, "");
    });
    EXPECT_FALSE(Exists(a));  // emptied and closed
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(Bytes(c), "text of " + c);
    EXPECT_FALSE(Exists(d));
}

TEST_F(NotesDialogTest, DeleteRemovesTheShownNoteWithoutSavingIt)
{
    Note(kFirst, "eins");
    Note(kSecond, "zwei");
    Note(kThird, "drei");
    RunDialog([&](HWND dialog) {
        Type(dialog, "geaendert");
        CtrlKey(dialog, VK_DELETE);
        EXPECT_FALSE(Exists(kThird));
        EXPECT_EQ(NoteCount, 2);
        EXPECT_EQ(Shown(dialog), "zwei");
        Click(dialog, IDC_NOTE_DEL);
        EXPECT_EQ(Shown(dialog), "eins");
        Click(dialog, IDC_NOTE_DEL);
        EXPECT_EQ(NoteCount, 0);
        EXPECT_EQ(Caption(dialog), " ");
        EXPECT_EQ(IconStates(dialog), "bfd");
        Click(dialog, IDC_NOTE_DEL);  // nothing left: nothing happens
        Type(dialog, "ins Leere");
    });
    EXPECT_TRUE(FolderFiles(dir_.Path()).empty());
}

TEST_F(NotesDialogTest, EmptyOrMissingFoldersShowNothingAndSaveNothing)
{
    struct Case {
        const char *what;
        std::string folder;
    } cases[] = {
        {"empty folder", dir_.Path() + "\\"},
        {"missing folder", dir_.Path() + "\\fehlt\\"},
        {"no folder set", ""},
        {"too short", "C:"},
    };
    for (const Case &c : cases) {
        UseFolder(c.folder);
        RunDialog([&](HWND dialog) {
            EXPECT_EQ(NoteCount, 0) << c.what;
            EXPECT_EQ(Caption(dialog), " ") << c.what;
            EXPECT_EQ(Shown(dialog), "") << c.what;
            EXPECT_EQ(IconStates(dialog), "bfd") << c.what;
            Type(dialog, "nirgends");
            Click(dialog, IDC_NOTE_FORW);
            Click(dialog, IDC_NOTE_BACK);
            Type(dialog, "nirgends");
            CtrlKey(dialog, VK_HOME);
            Click(dialog, IDC_NOTE_DEL);
            Type(dialog, "nirgends");
        });
        EXPECT_TRUE(FolderFiles(dir_.Path()).empty()) << c.what;
    }
}

TEST_F(NotesDialogTest, ComesBackWhereItWasClosed)
{
    Note(kFirst, "eins");
    RunDialog([&](HWND dialog) {
        SetWindowPos(dialog, nullptr, 150, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    });
    DWORD x = 0, y = 0;
    ASSERT_TRUE(ReadNotesDword("MSGx", &x));
    ASSERT_TRUE(ReadNotesDword("MSGy", &y));
    EXPECT_EQ(x, 150u);
    EXPECT_EQ(y, 130u);

    ReadNotesKey();
    RECT r = {};
    RunDialog([&](HWND dialog) { GetWindowRect(dialog, &r); });
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 130);

    // Both coordinates must be above 0 to be used.
    WriteNotesDword("MSGx", 0);
    WriteNotesDword("MSGy", 200);
    ReadNotesKey();
    RunDialog([&](HWND dialog) { GetWindowRect(dialog, &r); });
    EXPECT_NE(r.top, 200);
}

void CreateNotes(const TempDir &dir, char kind, int count)
{
    for (int i = 0; i < count; ++i) {
        std::string name = NoteName(kind, 2020 + i / 365, 1 + (i / 28) % 12, 1 + i % 28, i % 24, i % 60, 'a');
        HANDLE h = CreateFileA(dir.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
}

TEST_F(NotesDialogTest, ListsAtMostFiveHundredNotesNFirst)
{
    CreateNotes(dir_, 'N', 501);
    FindNotes();
    EXPECT_EQ(NoteCount, 500);
    EXPECT_EQ(NoteCurrent, 499);

    TempDir mixed;
    CreateNotes(mixed, 'N', 499);
    CreateNotes(mixed, 'X', 2);
    UseFolder(mixed.Path() + "\\");
    FindNotes();
    ASSERT_EQ(NoteCount, 500);
    EXPECT_EQ(NoteNames[498][0], 'N');
    EXPECT_EQ(NoteNames[499][0], 'X');
    for (int i = 0; i + 1 < NoteCount; ++i)
        ASSERT_LT(_stricmp(NoteNames[i], NoteNames[i + 1]), 0) << i;
}

}  // namespace
