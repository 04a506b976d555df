// Notes in a temp notes folder: the files, the marker, the ticker list and
// text, and the note dialog itself (dialog 133 of this program's resources).
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/now.h"
#include "resources/resource.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/notes.h"
#include "config/config.h"
#include "shell/keys.h"
#include "shell/startup.h"

#include <string>
#include <thread>

namespace {

using testutil::FileExists;
using testutil::ReadFileBytes;

// The clock stands at that time of 9 March 2026.
void FreezeAt(int hour, int minute)
{
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 9;
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    ClockFreeze(t);
}

class Notes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        // With and without the trailing backslash the settings page stores.
        std::string folder = dir_.Path() + (GetParam() ? "\\" : "");
        StrCopy(MSGPath, folder.c_str());
        MSGshowWyn03 = 1;
        NewNoteWritten = 0;
        NoteEditorOpen = 0;
        FreezeAt(8, 5);
        SearchMSGFiles();  // the list of an earlier test's folder goes
    }
    void TearDown() override
    {
        CloseNoteEditor(5000);
        ClockReset();
        NoteTickMs = 6000;
    }
    std::string File(const std::string &name) const { return dir_.File(name); }

    testutil::TempDir dir_;
};

// Closes the next message box captioned "FEHLER!" and returns its text.
std::string CloseErrorBox()
{
    HWND box = nullptr;
    testutil::WaitFor([&] { return (box = FindWindowA("#32770", "FEHLER!")) != nullptr; }, 20000);
    char text[256] = "";
    if (box) {
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return text;
}

TEST_P(Notes, SavesInOneMinuteTakeTheNextLetterAndTheTextAsItStands)
{
    ASSERT_TRUE(WriteNoteFile(nullptr, "Bin gleich zur\xFC" "ck\r\nKlaus", true));
    ASSERT_TRUE(WriteNoteFile(nullptr, "X", false));
    ASSERT_TRUE(WriteNoteFile(nullptr, "zwei", true));
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0805a.txt")), "Bin gleich zur\xFC" "ck\r\nKlaus");
    EXPECT_EQ(ReadFileBytes(File("X_20260309_0805a.txt")), "X");
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0805b.txt")), "zwei");
    EXPECT_EQ(NewNoteWritten.load(), 1);
    EXPECT_EQ(TickerNoteCount(), 2);
}

TEST_P(Notes, AfterTheLetterZTheSaveIsRefused)
{
    for (char c = 'a'; c <= 'z'; ++c)
        testutil::WriteFileBytes(File(std::string("N_20260309_0805") + c + ".txt"), "x");
    bool saved = true;
    std::thread saving([&] { saved = WriteNoteFile(nullptr, "der 27.", true); });
    EXPECT_EQ(CloseErrorBox(), "Kann Datei nicht speichern!");
    saving.join();
    EXPECT_FALSE(saved);
    EXPECT_EQ(NewNoteWritten.load(), 0);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(File("N_20260309_0805?.txt").c_str(), &found);
    int count = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do
            ++count;
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(count, 26);
}

TEST_P(Notes, MarkerLifeAcrossARun)
{
    struct {
        bool atStart, noteWritten, addedBeforeEnd;
        bool flagAfterStart;
        const char *atEnd;  // null: no marker
    } cases[] = {
        {true, false, false, true, "-"},     // taken at start, left again at the end
        {false, true, false, false, "-"},    // a note written
        {false, false, true, false, "old"},  // one there at the end is left as it is
        {false, false, false, false, nullptr},
    };
    const std::string marker = File("~!~.wyn");
    for (const auto &c : cases) {
        DeleteFileA(marker.c_str());
        NewNoteWritten = 0;
        if (c.atStart)
            testutil::WriteFileBytes(marker, "old");
        TakeMarker();
        EXPECT_EQ(NewNoteWritten.load(), c.flagAfterStart ? 1 : 0);
        EXPECT_FALSE(FileExists(marker));
        if (c.noteWritten) {
            ASSERT_TRUE(WriteNoteFile(nullptr, "n", true));
        }
        if (c.addedBeforeEnd)
            testutil::WriteFileBytes(marker, "old");
        WriteMarker();
        if (c.atEnd) {
            EXPECT_EQ(ReadFileBytes(marker), c.atEnd);
        } else {
            EXPECT_FALSE(FileExists(marker));
        }
    }
}

TEST_P(Notes, SearchTakesFilesNotFoldersAndStopsAt500)
{
    CreateDirectoryA(File("N_20260101_0000a.txt").c_str(), nullptr);
    CreateDirectoryA(File("X_20260101_0000a.txt").c_str(), nullptr);
    SearchMSGFiles();
    EXPECT_EQ(TickerNoteCount(), 0);
    EXPECT_EQ(XNoteFound.load(), 0);
    for (int i = 0; i < 501; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "N_2026%02d%02d_%02d%02dq.txt", 1 + i / 200, 1 + (i / 60) % 28, i % 24, i % 60);
        testutil::WriteFileBytes(File(name), "n");
    }
    testutil::WriteFileBytes(File("X_20260101_0000b.txt"), "x");
    testutil::WriteFileBytes(File("N_notes.txt"), "not a note name");
    SearchMSGFiles();
    EXPECT_EQ(TickerNoteCount(), 500);
    EXPECT_EQ(XNoteFound.load(), 1);
}

TEST_P(Notes, TickerRunsTheTrimmedLinesTogetherBelowItsSize)
{
    char text[400];
    EXPECT_FALSE(GetTickerText(text, sizeof(text)));
    testutil::WriteFileBytes(File("N_20260309_0700a.txt"), "\tEins \r\n\r\n zwei\t\r\ndrei\r\n");
    ASSERT_TRUE(GetTickerText(text, sizeof(text)));
    EXPECT_STREQ(text, "Eins  zweidrei");
    std::string lines;
    for (int i = 0; i < 9; ++i)
        lines += std::string(50, static_cast<char>('a' + i)) + "\r\n";
    testutil::WriteFileBytes(File("N_20260309_0700a.txt"), lines);
    ASSERT_TRUE(GetTickerText(text, sizeof(text)));
    EXPECT_EQ(strlen(text), 350u);  // the eighth line would reach 400
}

TEST_P(Notes, AShortFolderSwitchesTheNotesOff)
{
    testutil::WriteFileBytes(File("N_20260309_0700a.txt"), "n");
    SearchMSGFiles();
    ASSERT_EQ(TickerNoteCount(), 1);
    StrCopy(MSGPath, "C:");
    SearchMSGFiles();
    EXPECT_EQ(TickerNoteCount(), 0);
    EXPECT_EQ(StartEditNote(), 0);
    EXPECT_EQ(NoteDialogWindow(), nullptr);
}

// ---------------------------------------------------------------- dialog

class NoteDialog : public Notes {
protected:
    void SetUp() override
    {
        Notes::SetUp();
        ClientWidth = 1280;
        ClientHeight = 1024;
        BackgroundX = 0;
    }
    HWND Open()
    {
        NoteEditorOpen = StartEditNote();
        EXPECT_EQ(NoteEditorOpen.load(), 1u);
        HWND dialog = nullptr;
        testutil::WaitFor([&] { return (dialog = NoteDialogWindow()) != nullptr && IsWindowVisible(dialog); },
                          20000);
        return dialog;
    }
    void Type(HWND dialog, const char *text) { SetDlgItemTextA(dialog, IDC_NOTE_EDIT, text); }
    void Press(HWND dialog, int button)
    {
        SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        EXPECT_TRUE(testutil::WaitFor([] { return NoteEditorOpen.load() == 0; }, 20000));
    }
};

TEST_P(NoteDialog, SaveCancelAndBlankNotes)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_NOTE_TICKER)));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NOTE_TICKER), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_NOTE_EDIT, EM_GETLIMITTEXT, 0, 0), 398);
    char button[64];
    GetDlgItemTextA(dialog, IDC_NOTE_SAVE, button, sizeof(button));
    EXPECT_STREQ(button, "&Speichern");
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // No message sign on stage: at the right edge above the bottom.
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    EXPECT_EQ(window.left, 1280 - 80 - client.right);
    EXPECT_EQ(window.top, 1024 - 50 - client.bottom);
    Type(dialog, "Hallo Welt \r\n \r\n");
    Press(dialog, IDC_NOTE_SAVE);
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0805a.txt")), "Hallo Welt");

    dialog = Open();
    ASSERT_TRUE(dialog);
    Type(dialog, "verworfen");
    Press(dialog, IDC_NOTE_CANCEL);
    dialog = Open();
    ASSERT_TRUE(dialog);
    Type(dialog, " \r\n\t\r\n");
    Press(dialog, IDC_NOTE_SAVE);
    EXPECT_FALSE(FileExists(File("N_20260309_0805b.txt")));
}

TEST_P(NoteDialog, WithoutTheTickerTheBoxIsHiddenAndNotesAreHidden)
{
    MSGshowWyn03 = 0;
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_NOTE_TICKER)));
    Type(dialog, "leise");
    Press(dialog, IDC_NOTE_SAVE);
    EXPECT_EQ(ReadFileBytes(File("X_20260309_0805a.txt")), "leise");
    MSGshowWyn03 = 1;
    // Unticking the box makes the next note hidden too.
    dialog = Open();
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, IDC_NOTE_TICKER), BM_CLICK, 0, 0);
    Type(dialog, "auch leise");
    Press(dialog, IDC_NOTE_SAVE);
    EXPECT_EQ(ReadFileBytes(File("X_20260309_0805b.txt")), "auch leise");
}

TEST_P(NoteDialog, LeftAloneItSavesAfter29Ticks)
{
    NoteTickMs = 40;
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    Type(dialog, "vergessen");
    EXPECT_TRUE(testutil::WaitFor([] { return NoteEditorOpen.load() == 0; }, 60000));
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0805a.txt")), "vergessen");
}

TEST_P(NoteDialog, ARefusedSaveKeepsTheTextInTheDialog)
{
    for (char c = 'a'; c <= 'z'; ++c)
        testutil::WriteFileBytes(File(std::string("N_20260309_0805") + c + ".txt"), "x");
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    Type(dialog, "nicht verlieren");
    PostMessageA(GetDlgItem(dialog, IDC_NOTE_SAVE), BM_CLICK, 0, 0);
    EXPECT_EQ(CloseErrorBox(), "Kann Datei nicht speichern!");
    Sleep(200);
    EXPECT_EQ(NoteDialogWindow(), dialog);
    char text[64] = "";
    GetDlgItemTextA(dialog, IDC_NOTE_EDIT, text, sizeof(text));
    EXPECT_STREQ(text, "nicht verlieren");
    // The minute moves on: now the note finds a name.
    FreezeAt(8, 6);
    Press(dialog, IDC_NOTE_SAVE);
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0806a.txt")), "nicht verlieren");
}

TEST_P(NoteDialog, ShutdownSavesTheOpenNote)
{
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    Type(dialog, "noch offen");
    EXPECT_TRUE(CloseNoteEditor(10000));
    EXPECT_EQ(NoteEditorOpen.load(), 0u);
    EXPECT_EQ(ReadFileBytes(File("N_20260309_0805a.txt")), "noch offen");
    WriteMarker();
    EXPECT_EQ(ReadFileBytes(File("~!~.wyn")), "-");
}

INSTANTIATE_TEST_SUITE_P(Folder, Notes, ::testing::Values(false, true));
INSTANTIATE_TEST_SUITE_P(Folder, NoteDialog, ::testing::Values(false, true));

}  // namespace
