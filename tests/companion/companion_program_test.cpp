// zettler.exe as the user and the screensaver meet it: started with its
// command words, once or twice, polling for the screensaver's marker, asking
// through a message box and showing its notes dialog. The tests answer the
// boxes and close the dialog through their windows, as a user would.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "notes_fixture.h"
#include "testutil.h"

#include "zettler.h"
#include "zettler_ids.h"

using namespace notestest;
using testutil::TempDir;

namespace {

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kBoxCaption[] = "Tandrovi Wendelby";
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kQuietMs = 1500;

std::string ExePath() { return testutil::DistPath("zettler.exe"); }

HWND Companion() { return FindWindowA("ZettlerClass", "Zettler"); }
HWND QuestionBox() { return FindWindowA("#32770", kBoxCaption); }

BOOL CALLBACK FindNotesDialog(HWND w, LPARAM found)
{
    char cls[32] = {0};
    GetClassNameA(w, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && GetDlgItem(w, IDC_NOTE_TEXT) &&
        GetDlgItem(w, IDC_NOTE_EXIT)) {
        *reinterpret_cast<HWND *>(found) = w;
        return FALSE;
    }
    return TRUE;
}

HWND NotesDialogWindow()
{
    HWND found = nullptr;
    EnumWindows(FindNotesDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Ended(HANDLE process, DWORD ms) { return WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }

DWORD ExitCode(HANDLE process)
{
    DWORD code = 1234;
    GetExitCodeProcess(process, &code);
    return code;
}

bool ReadRunValue(std::string *value, DWORD *type, DWORD *size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &key) != 0)
        return false;
    char data[1024] = {0};
    *size = sizeof(data) - 1;
    bool ok = RegQueryValueExA(key, "Zettler", nullptr, type, reinterpret_cast<BYTE *>(data), size) == 0;
    RegCloseKey(key);
    if (ok)
        value->assign(data, *size);
    return ok;
}

void DeleteRunValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key) == 0) {
        RegDeleteValueA(key, "Zettler");
        RegCloseKey(key);
    }
}

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EndCompanion();
        testutil::DeleteUserKey(kNotesKeyPath);
        DeleteRunValue();
        WriteNotesString("MSGPath", dir_.Path() + "\\");
    }

    void TearDown() override
    {
        EndCompanion();
        for (HANDLE p : started_) {
            if (!Ended(p, 2000))
                TerminateProcess(p, 255);
            CloseHandle(p);
        }
        testutil::DeleteUserKey(kNotesKeyPath);
        DeleteRunValue();
    }

    static void EndCompanion()
    {
        if (Companion())
            testutil::RunProcess("\"" + ExePath() + "\" EXIT", kWaitMs);
        testutil::WaitFor([] { return Companion() == nullptr; }, kWaitMs);
    }

    HANDLE Start(const std::string &word)
    {
        std::string line = "\"" + ExePath() + "\"";
        if (!word.empty())
            line += " " + word;
        HANDLE p = testutil::StartProcess(line);
        const DWORD error = p ? 0 : GetLastError();
        EXPECT_TRUE(p) << line << " (error " << error << ")";
        if (p)
            started_.push_back(p);
        return p;
    }

    // Starts the first instance and waits until its window is up.
    HANDLE StartFirst(const std::string &word = "")
    {
        HANDLE p = Start(word);
        EXPECT_TRUE(testutil::WaitFor([] { return Companion() != nullptr; }, kWaitMs));
        return p;
    }

    int Run(const std::string &word) { return testutil::RunProcess("\"" + ExePath() + "\" " + word, kWaitMs); }

    HWND WaitForNotesDialog()
    {
        HWND found = nullptr;
        testutil::WaitFor([&] { return (found = NotesDialogWindow()) != nullptr; }, kWaitMs);
        return found;
    }

    HWND WaitForBox()
    {
        HWND found = nullptr;
        testutil::WaitFor([&] { return (found = QuestionBox()) != nullptr; }, kWaitMs);
        return found;
    }

    void Marker() { ASSERT_TRUE(testutil::WriteFileBytes(dir_.File("~!~.wyn"), "-")); }
    bool MarkerExists() { return testutil::FileExists(dir_.File("~!~.wyn")); }

    TempDir dir_;
    std::vector<HANDLE> started_;
};

TEST_F(CompanionTest, ASecondStartLeavesOneInstance)
{
    HANDLE first = StartFirst();
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tandrovi_Zettler_Mutex");
    EXPECT_TRUE(mutex);
    if (mutex)
        CloseHandle(mutex);
    // Words are matched whole: these are no command words.
    for (const char *word : {"", "NOW ", "NOWX", "irgendwas"}) {
        HANDLE second = Start(word);
        EXPECT_TRUE(Ended(second, kWaitMs)) << "'" << word << "'";
        EXPECT_EQ(ExitCode(second), 0u);
    }
    Sleep(300);
    EXPECT_EQ(NotesDialogWindow(), nullptr);
    EXPECT_FALSE(Ended(first, 0));
    EXPECT_TRUE(Companion());
}

TEST_F(CompanionTest, ExitEndsARunningInstanceAndStartsNothing)
{
    EXPECT_EQ(Run("EXIT"), 0);
    EXPECT_EQ(Companion(), nullptr);

    HANDLE first = StartFirst();
    EXPECT_EQ(Run("exit"), 0);
    EXPECT_TRUE(Ended(first, kWaitMs));
    EXPECT_EQ(Companion(), nullptr);
}

int gDecoyMessages = 0;

LRESULT CALLBACK DecoyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTES_CLOSE || msg == WM_NOTES_SHOWNOW)
        ++gDecoyMessages;
    return DefWindowProcA(w, msg, wp, lp);
}

// Another program's window that happens to be called "Zettler", in front of
// the companion's own, must never get the companion's private messages.
TEST_F(CompanionTest, CommandWordsReachOnlyTheCompanionsOwnWindow)
{
    HANDLE first = StartFirst();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DecoyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DecoyFolderWindow";
    RegisterClassA(&wc);
    HWND decoy = CreateWindowExA(0, wc.lpszClassName, "Zettler", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_TRUE(decoy);
    ASSERT_EQ(FindWindowA(nullptr, "Zettler"), decoy);
    gDecoyMessages = 0;
    HANDLE exiting = Start("EXIT");
    // Pump while waiting, so a message sent to the decoy would be seen.
    EXPECT_TRUE(testutil::WaitFor([&] { return Ended(first, 0) && Ended(exiting, 0); }, kWaitMs));
    EXPECT_EQ(gDecoyMessages, 0);
    DestroyWindow(decoy);
}

TEST_F(CompanionTest, AutostartWritesAQuotedTerminatedRunValueAndDeinstallRemovesIt)
{
    HANDLE first = StartFirst("AUTOSTART");
    std::string value;
    DWORD type = 0, size = 0;
    // The window may appear before the value is written.
    ASSERT_TRUE(testutil::WaitFor([&] { return ReadRunValue(&value, &type, &size); }, kWaitMs));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::string quoted = "\"" + ExePath() + "\"";
    ASSERT_EQ(size, quoted.size() + 1);  // the terminator is stored
    EXPECT_EQ(value.back(), '\0');
    EXPECT_EQ(_stricmp(value.c_str(), quoted.c_str()), 0) << value;

    // To a running instance: written again, and the instance is not disturbed.
    DeleteRunValue();
    EXPECT_EQ(Run("autostart"), 0);
    EXPECT_TRUE(ReadRunValue(&value, &type, &size));
    EXPECT_FALSE(Ended(first, 300));

    EXPECT_EQ(Run("DEINSTALL"), 0);
    EXPECT_FALSE(ReadRunValue(&value, &type, &size));
    EXPECT_TRUE(Ended(first, kWaitMs));

    // With none running, DEINSTALL removes the value and does not stay.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, "Zettler", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2);
    RegCloseKey(key);
    EXPECT_EQ(Run("Deinstall"), 0);
    EXPECT_FALSE(ReadRunValue(&value, &type, &size));
    EXPECT_EQ(Companion(), nullptr);
}

TEST_F(CompanionTest, NowShowsTheNotesAtOnceAndEndsWhenNotPolling)
{
    testutil::WriteFileBytes(dir_.File(NoteName('N', 2026, 3, 9, 8, 15, 'a')), "Milch holen");
    for (const char *word : {"NOW", "jetzt"}) {
        HANDLE first = Start(word);
        HWND dialog = WaitForNotesDialog();
        ASSERT_TRUE(dialog) << word;
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_NOTE_TEXT)), "Milch holen");
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, STN_CLICKED), 0);
        // MSGcheck is off: after the dialog the companion closes.
        EXPECT_TRUE(Ended(first, kWaitMs)) << word;
        EXPECT_EQ(ExitCode(first), 0u);
    }
}

TEST_F(CompanionTest, NowReachesARunningInstance)
{
    WriteNotesDword("MSGcheck", 1);
    testutil::WriteFileBytes(dir_.File(NoteName('X', 2026, 3, 9, 8, 15, 'a')), "Anruf");
    HANDLE first = StartFirst();
    HWND window = Companion();
    HANDLE second = Start("Jetzt");
    HWND dialog = WaitForNotesDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_NOTE_TEXT)), "Anruf");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, STN_CLICKED), 0);
    EXPECT_TRUE(Ended(second, kWaitMs));
    // Polling is on, so the first instance stays.
    EXPECT_FALSE(Ended(first, 500));
    EXPECT_TRUE(Companion());
}

TEST_F(CompanionTest, TheMarkerIsDeletedAndTheUserAsked)
{
    std::string note = NoteName('N', 2026, 3, 9, 8, 15, 'a');
    testutil::WriteFileBytes(dir_.File(note), "Paket abholen");
    WriteNotesDword("MSGcheck", 1);
    struct Case {
        DWORD lang;
        const char *question;
        int answer;
    } cases[] = {
        {1, "Neue Mitteilung(en) vorhanden. Jetzt anzeigen?", IDNO},
        {0, "New message(s) found. Show now?", IDYES},
    };
    for (const Case &c : cases) {
        WriteNotesDword("Lang", c.lang);
        Marker();
        HANDLE first = StartFirst();
        HWND box = WaitForBox();
        ASSERT_TRUE(box);
        EXPECT_FALSE(MarkerExists());  // gone before the user answers
        EXPECT_EQ(MessageBoxText(box), c.question);
        PostMessageA(box, WM_COMMAND, c.answer, 0);
        EXPECT_TRUE(testutil::WaitFor([] { return QuestionBox() == nullptr; }, kWaitMs));
        if (c.answer == IDYES) {
            HWND dialog = WaitForNotesDialog();
            ASSERT_TRUE(dialog);
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_NOTE_TEXT)), "Paket abholen");
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, STN_CLICKED), 0);
            EXPECT_TRUE(testutil::WaitFor([] { return NotesDialogWindow() == nullptr; }, kWaitMs));
        } else {
            Sleep(kQuietMs);
            EXPECT_EQ(NotesDialogWindow(), nullptr);
        }
        EXPECT_FALSE(MarkerExists());
        EXPECT_FALSE(Ended(first, 0));
        EndCompanion();
    }
}

TEST_F(CompanionTest, WithoutPollingTheMarkerStays)
{
    WriteNotesDword("MSGcheck", 0);
    Marker();
    StartFirst();
    Sleep(kQuietMs);
    EXPECT_TRUE(MarkerExists());
    EXPECT_EQ(QuestionBox(), nullptr);
}

TEST_F(CompanionTest, EndingWhileTheDialogIsOpenKeepsTheEdit)
{
    std::string note = NoteName('N', 2026, 3, 9, 8, 15, 'a');
    testutil::WriteFileBytes(dir_.File(note), "alt");
    WriteNotesDword("MSGcheck", 1);
    HANDLE first = StartFirst();
    HANDLE second = Start("NOW");
    HWND dialog = WaitForNotesDialog();
    ASSERT_TRUE(dialog);
    HWND edit = GetDlgItem(dialog, IDC_NOTE_TEXT);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("neu geschrieben"));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    EXPECT_EQ(Run("EXIT"), 0);
    EXPECT_TRUE(Ended(first, kWaitMs));
    EXPECT_TRUE(Ended(second, kWaitMs));
    EXPECT_EQ(testutil::ReadFileBytes(dir_.File(note)), "neu geschrieben");
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// "dd.mm.yyyy hh:mm.ss " in front of a log line.
bool HasTimeStamp(const std::string &line)
{
    const char shape[] = "dd.dd.dddd dd:dd.dd ";
    if (line.size() < sizeof(shape) - 1)
        return false;
    for (size_t i = 0; i + 1 < sizeof(shape); ++i) {
        bool ok = shape[i] == 'd' ? (line[i] >= '0' && line[i] <= '9') : line[i] == shape[i];
        if (!ok)
            return false;
    }
    return true;
}

TEST_F(CompanionTest, TheDebugLogRecordsTheRun)
{
    std::string note = NoteName('N', 2026, 3, 9, 8, 15, 'a');
    testutil::WriteFileBytes(dir_.File(note), "x");
    std::string log = dir_.File("zettler.log");
    ASSERT_TRUE(testutil::WriteFileBytes(log, "vorher\r\n"));
    WriteNotesDword("ZettlerDebugOn", 1);
    WriteNotesString("ZettlerDebugFileName", log);
    HANDLE first = Start("NOW");
    HWND dialog = WaitForNotesDialog();
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NOTE_EXIT, STN_CLICKED), 0);
    ASSERT_TRUE(Ended(first, kWaitMs));

    std::string text = testutil::ReadFileBytes(log);
    std::vector<std::string> lines = Lines(text);
    ASSERT_GE(lines.size(), 10u) << text;
    const std::string rule(70, '-');
    EXPECT_EQ(lines[0], "vorher");  // appended, never replaced
    EXPECT_EQ(lines[1], rule);
    EXPECT_TRUE(HasTimeStamp(lines[2]) && lines[2].substr(20) == "START") << lines[2];
    EXPECT_EQ(lines[3], "Zettler V1.1.0.164");
    EXPECT_EQ(_stricmp(lines[4].c_str(), ExePath().c_str()), 0) << lines[4];
    auto has = [&](const std::string &prefix) {
        for (const std::string &l : lines)
            if (l.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(has("Relative memory load [0-100]: "));
    EXPECT_TRUE(has("Processor Type: "));
    EXPECT_TRUE(has("PROCESSOR_IDENTIFIER: "));
    std::vector<std::string> stamped;
    for (const std::string &l : lines)
        if (HasTimeStamp(l))
            stamped.push_back(l.substr(20));
    std::vector<std::string> expected = {"START", "MSG-Plakatmotive suchen...", note, "------ ENDE -------  "};
    EXPECT_EQ(stamped, expected);
    EXPECT_EQ(text.substr(text.size() - 74), rule + "\r\n\r\n");
}

// The poll step inside this process, so that it can run twice without the
// ten seconds between polls.
class PollTest : public CompanionTest {
protected:
    void SetUp() override
    {
        CompanionTest::SetUp();
        ASSERT_TRUE(RegisterMainClass(GetModuleHandleA(nullptr)));
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr)), 1);
    }
    void TearDown() override
    {
        AppShutdown();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        CompanionTest::TearDown();
    }
};

std::vector<std::string> gQuestions;

void CALLBACK AnswerNo(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = QuestionBox();
    if (!box)
        return;
    gQuestions.push_back(MessageBoxText(box));
    SendMessageA(box, WM_COMMAND, IDNO, 0);
}

// One poll, answering every question with No.
std::vector<std::string> Poll()
{
    gQuestions.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerNo);
    OnCheckTimer();
    KillTimer(nullptr, timer);
    return gQuestions;
}

TEST_F(PollTest, EachPollReadsTheNotesKeyAgain)
{
    const std::vector<std::string> asked = {"Neue Mitteilung(en) vorhanden. Jetzt anzeigen?"};
    Marker();
    EXPECT_TRUE(Poll().empty());  // polling is off
    EXPECT_TRUE(MarkerExists());
    EXPECT_EQ(CheckTimer, kCheckTimerId);

    WriteNotesDword("MSGcheck", 1);
    EXPECT_EQ(Poll(), asked);
    EXPECT_FALSE(MarkerExists());
    EXPECT_EQ(CheckTimer, kCheckTimerId);

    TempDir moved;
    ASSERT_TRUE(testutil::WriteFileBytes(moved.File("~!~.wyn"), "-"));
    WriteNotesString("MSGPath", moved.Path() + "\\");
    EXPECT_EQ(Poll(), asked);
    EXPECT_FALSE(testutil::FileExists(moved.File("~!~.wyn")));

    // Without a folder nothing is checked and nobody is bothered.
    WriteNotesString("MSGPath", "");
    EXPECT_TRUE(Poll().empty());

    // While a check or the dialog runs, a tick does nothing.
    WriteNotesString("MSGPath", moved.Path() + "\\");
    ASSERT_TRUE(testutil::WriteFileBytes(moved.File("~!~.wyn"), "-"));
    Busy = 1;
    EXPECT_TRUE(Poll().empty());
    Busy = 0;
    EXPECT_TRUE(testutil::FileExists(moved.File("~!~.wyn")));
}

}  // namespace
