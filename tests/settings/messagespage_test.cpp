// The messages page with the built companion: every companion the page starts
// is ended again with "zettler.exe EXIT".
#include "sheet_fixture.h"

#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kMessagesRow = 17;
constexpr DWORD kCompanionWaitMs = 10000;
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string DistFolder()
{
    std::string d = testutil::DistPath("");
    while (!d.empty() && d.back() == '\\')
        d.pop_back();
    return d;
}

void EndCompanions()
{
    std::string exit = "\"" + testutil::DistPath("zettler.exe") + "\" EXIT";
    for (int i = 0; i < 3 && FindWindowA("ZettlerClass", "Zettler"); ++i) {
        testutil::RunProcess(exit, kCompanionWaitMs);
        testutil::WaitFor([] { return FindWindowA("ZettlerClass", "Zettler") == nullptr; }, kCompanionWaitMs);
    }
}

bool RunValueThere()
{
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Zettler", RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void SetRunValue(const char *text)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (text)
        RegSetValueExA(key, "Zettler", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(strlen(text) + 1));
    else
        RegDeleteValueA(key, "Zettler");
    RegCloseKey(key);
}

class MessagesPageTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        EndCompanions();
        SetRunValue(nullptr);
        notes_ = dir_->File("notes");
        CreateDirectoryA(notes_.c_str(), nullptr);
        Notes("Path", DistFolder());
        Notes("MSGPath", notes_ + "\\");
    }
    void TearDown() override
    {
        // Companions started by a page may still be on their way up.
        Sleep(300);
        EndCompanions();
        SetRunValue(nullptr);
        SheetTest::TearDown();
    }

    static void Notes(const char *name, const std::string &text)
    {
        HKEY k = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
        RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(k);
    }
    static void Notes(const char *name, DWORD value)
    {
        HKEY k = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
        RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), sizeof(value));
        RegCloseKey(k);
    }
    static std::string NotesString(const char *name)
    {
        char buf[1024] = {};
        DWORD len = sizeof(buf) - 1;
        if (RegGetValueA(HKEY_CURRENT_USER, kNotesKey, name, RRF_RT_REG_SZ, nullptr, buf, &len) != ERROR_SUCCESS)
            return "<missing>";
        return buf;
    }
    static DWORD NotesDword(const char *name)
    {
        DWORD value = 0xFFFFFFFF, len = sizeof(value);
        RegGetValueA(HKEY_CURRENT_USER, kNotesKey, name, RRF_RT_REG_DWORD, nullptr, &value, &len);
        return value;
    }

    std::string notes_;
};

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

TEST_F(MessagesPageTest, TheFolderIsStoredWithOneBackslash)
{
    Notes("MSGcheck", 0);
    struct Case {
        const char *typed, *stored;
    } cases[] = {
        {"C:\\x", "C:\\x\\"},        {"C:\\x\\", "C:\\x\\"},   {"C:\\x \t \x01", "C:\\x\\"},
        {"C:\\x\xE4", "C:\\x\xE4\\"}, {"    ", " "},
    };
    for (const Case &c : cases) {
        RunSheet([&](HWND sheet) {
            SetDlgItemTextA(PageOfRow(sheet, kMessagesRow), 2034, c.typed);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(NotesString("MSGPath"), c.stored) << c.typed;
    }
}

// A folder longer than the registry holds is refused with a message, and
// the stored one stays; it is never stored cut to another folder.
TEST_F(MessagesPageTest, AFolderTooLongToStoreIsRefusedWithAMessage)
{
    Notes("MSGcheck", 0);
    const std::string before = NotesString("MSGPath");
    SeenBox box;
    RunSheet([&](HWND sheet) {
        SetDlgItemTextA(PageOfRow(sheet, kMessagesRow), 2034, ("C:\\" + std::string(253, 'p')).c_str());
        // Posted: the box comes up inside the press.
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        EXPECT_TRUE(DismissBox(GetWindowThreadProcessId(sheet, nullptr), &box, kCompanionWaitMs));
        // The sheet's loop sees its end at the next posted message.
        EXPECT_TRUE(Poll([&] { return !IsWindow(sheet) || !PostMessageA(sheet, WM_NULL, 0, 0); }, kCompanionWaitMs));
    });
    EXPECT_EQ(box.text, "Der Pfad ist zu lang, um gespeichert zu werden.");
    EXPECT_EQ(box.caption, "FEHLER!");
    EXPECT_EQ(NotesString("MSGPath"), before);
}

TEST_F(MessagesPageTest, NotesOffKeepsTheirValuesButNotTheCompanionsSwitch)
{
    Notes("MSGonWyn03", 0);
    Notes("MSGPath", "C:\\old\\");
    Notes("MSGshowWyn03", 1);
    Notes("MSGdispWyn03", 2);
    Notes("MSGcheck", 1);
    bool folderOff = false, changedAtStart = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        changedAtStart = ApplyEnabled(sheet);
        folderOff = !Enabled(page, 2034) && !Enabled(page, 1045) && !Enabled(page, 1050);
        SetDlgItemTextA(page, 2034, "C:\\new");
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_FALSE(changedAtStart) << "setting the folder edit marked the sheet changed";
    EXPECT_TRUE(folderOff);
    EXPECT_EQ(NotesString("MSGPath"), "C:\\old\\");
    EXPECT_EQ(NotesDword("MSGshowWyn03"), 1u);
    EXPECT_EQ(NotesDword("MSGdispWyn03"), 2u);
    EXPECT_EQ(NotesDword("MSGcheck"), 1u);
    EXPECT_EQ(NotesDword("MSGonWyn03"), 0u);
    EXPECT_TRUE(testutil::WaitFor(RunValueThere, 2000)) << "Apply did not start the companion's autostart";
}

TEST_F(MessagesPageTest, SignsNeedInteractiveModeAndOddValuesAreKept)
{
    PutDword("Interactive", 0);
    Notes("MSGdispWyn03", 5);
    Notes("MSGcheck", 0);
    bool noSign = false, signs = true, noneChecked = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        noSign = Enabled(page, 1111);
        signs = Enabled(page, 1112) || Enabled(page, 1113);
        noneChecked = !IsDlgButtonChecked(page, 1111) && !IsDlgButtonChecked(page, 1112) &&
                      !IsDlgButtonChecked(page, 1113);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(noSign);
    EXPECT_FALSE(signs);
    EXPECT_TRUE(noneChecked);
    EXPECT_EQ(NotesDword("MSGdispWyn03"), 5u);
}

BOOL CALLBACK FindForeignDialog(HWND window, LPARAM found)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (pid != GetCurrentProcessId() && strcmp(cls, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(MessagesPageTest, AHiddenNoteLetsTheCompanionShowTheNotes)
{
    Notes("MSGonWyn03", 0);
    Notes("MSGcheck", 0);
    testutil::WriteFileBytes(notes_ + "\\X_20261210_1200a.txt", "geheim");
    bool now = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        now = Enabled(page, 2051);
        Click(page, 2051);
    });
    EXPECT_TRUE(now);
    HWND dialog = nullptr;
    EXPECT_TRUE(testutil::WaitFor([&] {
        dialog = nullptr;
        EnumWindows(FindForeignDialog, reinterpret_cast<LPARAM>(&dialog));
        return dialog != nullptr;
    }, kCompanionWaitMs)) << "the companion showed no notes";
}

TEST_F(MessagesPageTest, TheCompanionSwitchActsAtOnceAndCancelKeepsTheStoredOne)
{
    Notes("MSGcheck", 0);
    SetRunValue("old");
    auto before = NotesDword("MSGcheck");
    bool onAfterFirst = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        Click(page, 1050);
        onAfterFirst = testutil::WaitFor([] {
            char value[512] = {};
            DWORD len = sizeof(value);
            RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Zettler", RRF_RT_REG_SZ, nullptr, value, &len);
            return strstr(value, "zettler") != nullptr || strstr(value, "ZETTLER") != nullptr;
        }, kCompanionWaitMs);
        Click(page, 1050);
        testutil::WaitFor([] { return !RunValueThere(); }, kCompanionWaitMs);
        PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(onAfterFirst);
    EXPECT_FALSE(RunValueThere());
    EXPECT_EQ(NotesDword("MSGcheck"), before);
}

// No folder stored: the program's own is taken, and this one (the fixture
// folder) holds no zettler.exe.
TEST_F(MessagesPageTest, WithoutTheCompanionBesideTheProgramNotesAreOffAndNothingStarts)
{
    Notes("Path", "");
    Notes("MSGonWyn03", 1);
    bool off = false;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        off = IsDlgButtonChecked(page, 1048) == BST_UNCHECKED;
        Click(page, 1050);
        Click(page, 1050);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(off);
    EXPECT_FALSE(testutil::WaitFor([] { return FindWindowA("ZettlerClass", "Zettler") != nullptr || RunValueThere(); },
                                   1500));
}

// The companion speaks the language chosen here: the messages page and a
// language change on the general page both hand it over in the notes key.
TEST_F(MessagesPageTest, TheCompanionFollowsTheLanguageChosen)
{
    Notes("MSGcheck", 0);
    PutDword("Language", 0);
    RunSheet([&](HWND sheet) {
        SetDlgItemTextA(PageOfRow(sheet, kMessagesRow), 2034, notes_.c_str());
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(NotesDword("Lang"), 0u);
    RunSheet([&](HWND sheet) {
        SelectCombo(ShowPage(sheet, 0), 2022, 1);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(GetDword("Language"), 1u);
    EXPECT_EQ(NotesDword("Lang"), 1u);
}

struct ChooserSearch {
    HWND sheet, found;
};

BOOL CALLBACK FindChooser(HWND w, LPARAM param)
{
    auto *f = reinterpret_cast<ChooserSearch *>(param);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (w != f->sheet && strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

// Opens the system's folder chooser from the page's Browse button.
HWND OpenChooser(HWND sheet, HWND page)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(2038, BN_CLICKED), 0);
    HWND chooser = nullptr;
    Poll([&] {
        ChooserSearch f = {sheet, nullptr};
        EnumThreadWindows(GetWindowThreadProcessId(sheet, nullptr), FindChooser, reinterpret_cast<LPARAM>(&f));
        return (chooser = f.found) != nullptr;
    }, 30000);
    return chooser;
}

TEST_F(MessagesPageTest, TheFolderChooserFillsTheEdit)
{
    Notes("MSGcheck", 0);
    std::string chosen = "C:\\windows";
    std::string shown, editText;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        HWND chooser = OpenChooser(sheet, page);
        ASSERT_NE(chooser, nullptr);
        // The tree fills in after the dialog shows: the selection is sent
        // until the chooser's edit names the folder.
        Poll([&] {
            SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
            char inEdit[MAX_PATH] = {};
            GetWindowTextA(FindWindowExA(chooser, nullptr, "Edit", nullptr), inEdit, sizeof(inEdit));
            editText = inEdit;
            return _stricmp(inEdit, "windows") == 0;
        }, kCompanionWaitMs);
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        AwaitDialogEnd(chooser, kCompanionWaitMs);
        shown = ControlText(page, 2034);
    });
    EXPECT_EQ(_stricmp(shown.c_str(), chosen.c_str()), 0) << shown << " edit " << editText;
}

// A virtual folder (the computer) cannot be chosen: the chooser's OK goes
// off on it and on again on a folder of the file system; Cancel leaves the
// folder as it was.
TEST_F(MessagesPageTest, TheFolderChooserOffersOnlyFileSystemFolders)
{
    Notes("MSGcheck", 0);
    bool okOnFolder = false, okOffOnComputer = false;
    std::string shown;
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kMessagesRow);
        HWND chooser = OpenChooser(sheet, page);
        ASSERT_NE(chooser, nullptr);
        HWND ok = GetDlgItem(chooser, IDOK);
        // The tree fills in after the dialog shows: the selection is sent
        // until it takes.
        okOnFolder = Poll([&] {
            SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("C:\\windows"));
            return IsWindowEnabled(ok) != FALSE;
        }, kCompanionWaitMs);
        SendMessageA(chooser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
        okOffOnComputer = Poll([&] { return !IsWindowEnabled(ok); }, kCompanionWaitMs);
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        AwaitDialogEnd(chooser, kCompanionWaitMs);
        shown = ControlText(page, 2034);
    });
    CoTaskMemFree(computer);
    EXPECT_TRUE(okOnFolder);
    EXPECT_TRUE(okOffOnComputer);
    EXPECT_EQ(shown, notes_ + "\\");
}

TEST_F(MessagesPageTest, LongFolderAndManyNotes)
{
    Notes("MSGcheck", 0);
    for (int i = 0; i < 600; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "\\N_20261210_%02d%02d%c.txt", i / 26 / 60 % 24, i / 26 % 60, 'a' + i % 26);
        testutil::WriteFileBytes(notes_ + name, "x");
    }
    bool now = false;
    RunSheet([&](HWND sheet) {
        now = Enabled(PageOfRow(sheet, kMessagesRow), 2051);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(now);
    Notes("MSGPath", "C:\\" + std::string(297, 'p'));
    RunSheet([&](HWND sheet) {
        PageOfRow(sheet, kMessagesRow);
        PressButton(sheet, PSBTN_OK);
    });
    std::string stored = NotesString("MSGPath");
    EXPECT_LT(stored.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(stored.back(), '\\');
}

}  // namespace
}  // namespace sheettest
