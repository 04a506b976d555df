// The interaction and speech-bubble pages and the import and export of the
// speech texts: what they show for stored values and files, and what Apply,
// Cancel and an import leave behind.
#include "sheet_fixture.h"

#include "audiotest.h"
#include "settings/pagekit.h"
#include "settings/speechtexts.h"
#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kInterRow = 2, kSpeechRow = 3;
constexpr DWORD kBoxWaitMs = 10000;

// Ids of the two pages' controls.
constexpr int kInterOn = 1017, kFigures = 2154, kPath = 2156, kBrowse = 2155, kPortrait = 2157;
constexpr int kEscOnly = 2149, kExit1 = 2150, kExit2 = 2151;
constexpr int kSbFigures = 2303, kSbList = 2299, kSbEdit = 2304, kSbAdd = 2300, kSbDel = 2301,
              kSbFont = 2306, kSbPort = 2305;
constexpr int kPortExport = 2322, kPortImport = 2323, kPortReplace = 2324;

void DropValue(const char *name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMainKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

void SetText(HWND page, int id, const std::string &text)
{
    SendDlgItemMessageA(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void EndEdit(HWND page, int id)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void SelectLine(HWND page, int id, int line)
{
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, LB_SETCURSEL, line, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> Lines(HWND page)
{
    std::vector<std::string> lines;
    int n = static_cast<int>(SendDlgItemMessageA(page, kSbList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        SendDlgItemMessageA(page, kSbList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        lines.push_back(text);
    }
    return lines;
}

// Shows the figure of a section on the speech page.
bool ShowFigure(HWND page, const char *section)
{
    LRESULT at = SendDlgItemMessageA(page, kSbFigures, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(section));
    if (at < 0)
        return false;
    SelectCombo(page, kSbFigures, static_cast<int>(at));
    return true;
}

std::string Ini(const std::string &file, const char *section, const char *key)
{
    char text[1024] = {};
    GetPrivateProfileStringA(section, key, "<none>", text, sizeof(text), file.c_str());
    return text;
}

// ---------------------------------------------------------------- interaction

class InteractionPageTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        PutDword("Language", 1);
        PutDword("Interactive", 1);
        PutDword("Sound", 1);
    }
};

TEST_F(InteractionPageTest, FigureSoundsShownAndStored)
{
    const std::string longValue(300, 'x');
    struct Case {
        const char *what;
        std::function<void(HWND page)> drive;
        const char *sf005;  // null: absent
    } cases[] = {
        {"no edit keeps it absent", [](HWND) {}, nullptr},
        {"typed, then another figure: trimmed",
         [](HWND page) {
             SelectCombo(page, kFigures, 1);
             SetText(page, kPath, "  C:\\Sounds\\five.mp3  ");
             SelectCombo(page, kFigures, 2);
         },
         "C:\\Sounds\\five.mp3"},
        {"typed, then Apply: trimmed too",
         [](HWND page) {
             SelectCombo(page, kFigures, 1);
             SetText(page, kPath, " C:\\Sounds\\five.mp3   ");
         },
         "C:\\Sounds\\five.mp3"},
        {"cleared to blanks deletes nothing that was not there",
         [](HWND page) {
             SelectCombo(page, kFigures, 1);
             SetText(page, kPath, "    ");
         },
         nullptr},
    };
    for (const Case &c : cases) {
        DropValue("SF_005");
        PutString("SF_003", "C:\\Sounds\\door.wav");
        PutString("SF_007", longValue);
        std::string shown3, shown5;
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kInterRow));
            shown3 = ControlText(page, kPath);
            SelectCombo(page, kFigures, 1);
            shown5 = ControlText(page, kPath);
            SelectCombo(page, kFigures, 0);
            c.drive(page);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(shown3, "C:\\Sounds\\door.wav") << c.what;
        EXPECT_EQ(shown5, " ") << c.what;
        EXPECT_EQ(GetString("SF_003"), "C:\\Sounds\\door.wav") << c.what;
        EXPECT_EQ(HasValue("SF_005"), c.sf005 != nullptr) << c.what;
        if (c.sf005) {
            EXPECT_EQ(GetString("SF_005"), c.sf005) << c.what;
        }
        // A value too long to read is left alone.
        EXPECT_EQ(GetString("SF_007"), longValue) << c.what;
    }
}

TEST_F(InteractionPageTest, SwitchesEnableTheirControls)
{
    PutDword("Sound", 0);
    PutDword("EXIT", 5);
    std::string wrong;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kInterRow));
        for (int id : {kFigures, kPath, kBrowse})
            if (Enabled(page, id))
                wrong += std::to_string(id) + " enabled with sound off; ";
        if (!Enabled(page, kPortrait) || !Enabled(page, kExit1))
            wrong += "portrait or sign disabled; ";
        if (IsDlgButtonChecked(page, kExit1) != BST_CHECKED)
            wrong += "EXIT 5 does not show 2150; ";
        Click(page, kInterOn);
        if (Enabled(page, kExit1) || Enabled(page, kExit2) || !Enabled(page, kEscOnly))
            wrong += "interactive off: wrong sign buttons; ";
        if (IsDlgButtonChecked(page, kExit1) != BST_CHECKED)
            wrong += "the choice changed; ";
        if (!ApplyEnabled(sheet))
            wrong += "no change marked; ";
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(wrong, "");
    EXPECT_EQ(GetDword("Interactive"), 0u);
    EXPECT_EQ(GetDword("EXIT"), 1u);
}

bool Heard(const audiotest::Capture &capture, size_t mark)
{
    size_t first = 0, last = 0;
    return audiotest::AudibleSpan(capture.FramesFrom(mark), 300, &first, &last);
}

TEST_F(InteractionPageTest, PortraitClickPlaysTheFigureSound)
{
    constexpr DWORD kSoundWaitMs = 30000;
    constexpr DWORD kSilenceMs = 900;
    audiotest::Capture capture;
    ASSERT_TRUE(capture.Available());
    ASSERT_TRUE(CopyFileA(testutil::DistPath("bass.dll").c_str(), dir_->File("bass.dll").c_str(), FALSE));
    auto frames = audiotest::Tone(22050, 1, 0.6, 440, 12000);
    ASSERT_TRUE(testutil::WriteFileBytes(dir_->File("door.wav"), audiotest::MakeWav(22050, 1, 16, frames)));
    struct Case {
        const char *what;
        std::string path;
        DWORD sound;
        bool heard;
    } cases[] = {
        {"existing file", dir_->File("door.wav"), 1, true},
        {"missing file", dir_->File("gone.wav"), 1, false},
        {"sound off", dir_->File("door.wav"), 0, false},
    };
    for (const Case &c : cases) {
        PutDword("Sound", c.sound);
        PutString("SF_003", c.path);
        size_t mark = 0;
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kInterRow));
            mark = capture.Mark();
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(kPortrait, STN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(page, kPortrait)));
            // A loaded machine plays it late; silence is heard out for a while.
            if (c.heard)
                Poll([&] { return Heard(capture, mark); }, kSoundWaitMs);
            else
                Sleep(kSilenceMs);
        });
        capture.Settle();
        std::vector<int16_t> got = capture.FramesFrom(mark);
        size_t first = 0, last = 0;
        EXPECT_EQ(audiotest::AudibleSpan(got, 300, &first, &last), c.heard) << c.what;
    }
}

BOOL WINAPI ChooseLongPath(OPENFILENAMEA *ofn)
{
    std::string path = "C:\\" + std::string(300, 'a') + ".mp3";
    StrCopyN(ofn->lpstrFile, ofn->nMaxFile, path.c_str());
    return lstrcmpA(ofn->lpstrDefExt, "mp3") == 0;
}

TEST_F(InteractionPageTest, ChosenPathTooLongForTheRegistryIsNotTaken)
{
    OpenFileDialog = ChooseLongPath;
    std::string shown;
    SeenBox box;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kInterRow));
        SelectCombo(page, kFigures, 1);
        // Posted: the page says why inside the click.
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(kBrowse, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, kBrowse)));
        EXPECT_TRUE(DismissBox(GetWindowThreadProcessId(sheet, nullptr), &box, kBoxWaitMs));
        shown = ControlText(page, kPath);
        PressButton(sheet, PSBTN_OK);
    });
    OpenFileDialog = GetOpenFileNameA;
    EXPECT_EQ(box.text, "Der Pfad ist zu lang, um gespeichert zu werden.");
    EXPECT_EQ(shown, " ");
    EXPECT_FALSE(HasValue("SF_005"));
}

// ---------------------------------------------------------------- speech texts

class SpeechPageTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        PutDword("Language", 1);
        PutDword("Interactive", 1);
        sb_ = dir_->File("sb.txt");
    }
    std::string sb_;
};

// A section of "Hund" with the given body, beside one of another figure that
// must survive whatever happens to it.
std::string DogFile(const std::string &body)
{
    return "[Marlene]\r\nN=1\r\nTEXT1=Guten Tag\r\n[Hund]\r\n" + body + "[Konrad]\r\nN=1\r\nTEXT1=Feierabend\r\n";
}

std::string Texts(int from, int to)
{
    std::string body;
    for (int i = from; i <= to; ++i)
        body += "TEXT" + std::to_string(i) + "=t" + std::to_string(i) + "\r\n";
    return body;
}

TEST_F(SpeechPageTest, TextsShownEditedAndWritten)
{
    struct Case {
        const char *what;
        std::string body;
        std::vector<std::string> shown;
        // Edits the page showing "Hund"; returns what was wrong.
        std::function<std::string(HWND page)> drive;
        // Keys of "Hund" after OK and their values ("<none>" absent).
        std::map<std::string, std::string> after;
    } cases[] = {
        {"gap closed by an edit", "N=3\r\nTEXT1=a\r\nTEXT2=\r\nTEXT3=c\r\n", {"a", "c"},
         [](HWND page) {
             SelectLine(page, kSbList, 1);
             std::string shown = ControlText(page, kSbEdit);
             SetText(page, kSbEdit, "  c2 ");
             EndEdit(page, kSbEdit);
             return shown == "c" ? "" : "line 2 shows " + shown;
         },
         {{"N", "2"}, {"TEXT1", "a"}, {"TEXT2", "c2"}, {"TEXT3", "<none>"}}},
        {"count 0", "N=0\r\nTEXT1=hidden\r\n", {}, [](HWND) { return std::string(); },
         {{"N", "0"}, {"TEXT1", "hidden"}}},
        {"no count, one text", "TEXT1=solo\r\n", {"solo"}, [](HWND) { return std::string(); },
         {{"N", "<none>"}, {"TEXT1", "solo"}}},
        {"only text deleted", "N=1\r\nTEXT1=weg\r\n", {"weg"},
         [](HWND page) {
             SelectLine(page, kSbList, 0);
             Click(page, kSbDel);
             return Enabled(page, kSbDel) ? "\"-\" enabled on an empty list" : "";
         },
         {{"N", "<none>"}, {"TEXT1", "<none>"}}},
        {"plus, then nothing typed", "N=1\r\nTEXT1=eins\r\n", {"eins"},
         [](HWND page) {
             Click(page, kSbAdd);
             EndEdit(page, kSbEdit);
             return Lines(page).size() == 1 ? "" : "an empty line was added";
         },
         {{"N", "1"}, {"TEXT1", "eins"}, {"TEXT2", "<none>"}}},
        {"plus with a text", "N=1\r\nTEXT1=eins\r\n", {"eins"},
         [](HWND page) {
             Click(page, kSbAdd);
             SetText(page, kSbEdit, "zwei");
             EndEdit(page, kSbEdit);
             return Lines(page).size() == 2 ? "" : "the new text is not listed";
         },
         {{"N", "2"}, {"TEXT1", "eins"}, {"TEXT2", "zwei"}}},
        {"fifty texts, the 51st untouched", "N=55\r\n" + Texts(1, 55), {},
         [](HWND page) {
             if (Lines(page).size() != 50 || Enabled(page, kSbAdd))
                 return std::string("not 50 lines or \"+\" enabled");
             SelectLine(page, kSbList, 0);
             Click(page, kSbDel);
             return std::string();
         },
         {{"N", "49"}, {"TEXT1", "t2"}, {"TEXT49", "t50"}, {"TEXT50", "<none>"}, {"TEXT51", "t51"}}},
        {"bad count and long and empty texts",
         "N=abc\r\nTEXT1=x\r\n", {}, [](HWND) { return std::string(); }, {{"N", "abc"}}},
        {"negative count", "N=-5\r\nTEXT1=x\r\n", {}, [](HWND) { return std::string(); }, {{"TEXT1", "x"}}},
        {"huge count, a 600-character text and a blank one",
         "N=99999999999\r\nTEXT1=" + std::string(600, 'L') + "\r\nTEXT2=   \r\nTEXT3=drei\r\n",
         {std::string(255, 'L'), "drei"},
         [](HWND page) {
             SelectLine(page, kSbList, 1);
             SetText(page, kSbEdit, "vier");
             EndEdit(page, kSbEdit);
             return std::string();
         },
         {{"N", "2"}, {"TEXT1", std::string(255, 'L')}, {"TEXT2", "vier"}, {"TEXT3", "<none>"}}},
    };
    for (const Case &c : cases) {
        testutil::WriteFileBytes(sb_, DogFile(c.body));
        std::vector<std::string> shown;
        std::string wrong = "not run";
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
            if (!ShowFigure(page, "Hund")) {
                wrong = "no Hund";
                return;
            }
            shown = Lines(page);
            wrong = c.drive(page);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(wrong, "") << c.what;
        if (!c.shown.empty() || c.body.find("N=55") == std::string::npos) {
            EXPECT_EQ(shown, c.shown) << c.what;
        }
        for (const auto &[key, value] : c.after)
            EXPECT_EQ(Ini(sb_, "Hund", key.c_str()), value) << c.what << " " << key;
        EXPECT_EQ(Ini(sb_, "Marlene", "TEXT1"), "Guten Tag") << c.what;
        EXPECT_EQ(Ini(sb_, "Konrad", "TEXT1"), "Feierabend") << c.what;
    }
}

// Puts the focus in the edit as a click there would, and types into it.
void TypeInEdit(HWND page, const std::string &text)
{
    SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, kSbEdit)), TRUE);
    SetText(page, kSbEdit, text);
}

// Enter in the edit as the dialog manager takes it: the sheet's default
// button, OK, is commanded while the focus stays in the edit. True when the
// sheet closed.
bool PressEnterIn(HWND sheet)
{
    PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDOK)));
    return Poll([&] { return !IsWindow(sheet) || !PostMessageA(sheet, WM_NULL, 0, 0); }, kBoxWaitMs);
}

// The sheet closed while the edit still has the focus keeps what was typed,
// a changed line as a new one.
TEST_F(SpeechPageTest, AnEditOpenWhenTheSheetClosesIsKept)
{
    struct Case {
        const char *what;
        bool enter;  // else the OK button
        bool add;    // a new line by "+", else line 2 changed
        std::map<std::string, std::string> after;
    } cases[] = {
        {"changed line, Enter", true, false, {{"N", "2"}, {"TEXT1", "eins"}, {"TEXT2", "neu"}}},
        {"new line, Enter", true, true, {{"N", "3"}, {"TEXT2", "zwei"}, {"TEXT3", "neu"}}},
        {"changed line, the OK button", false, false, {{"N", "2"}, {"TEXT2", "neu"}}},
        {"new line, the OK button", false, true, {{"N", "3"}, {"TEXT3", "neu"}}},
    };
    for (const Case &c : cases) {
        testutil::WriteFileBytes(sb_, DogFile("N=2\r\nTEXT1=eins\r\nTEXT2=zwei\r\n"));
        bool closed = false;
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
            ShowFigure(page, "Hund");
            if (c.add)
                Click(page, kSbAdd);
            else
                SelectLine(page, kSbList, 1);
            TypeInEdit(page, "neu");
            if (c.enter) {
                closed = PressEnterIn(sheet);
            } else {
                PressButton(sheet, PSBTN_OK);
                closed = true;
            }
        });
        EXPECT_TRUE(closed) << c.what;
        for (const auto &[key, value] : c.after)
            EXPECT_EQ(Ini(sb_, "Hund", key.c_str()), value) << c.what << " " << key;
        EXPECT_EQ(Ini(sb_, "Marlene", "TEXT1"), "Guten Tag") << c.what;
    }
}

TEST_F(SpeechPageTest, CancelAndBadFilesLeaveTheFile)
{
    const std::string files[] = {DogFile("N=2\r\nTEXT1=eins\r\nTEXT2=zwei\r\n"),
                                 std::string("\x00\xff\x01[\x02\r\n\x00=", 9) + std::string(5000, '\xfe')};
    for (const std::string &bytes : files) {
        testutil::WriteFileBytes(sb_, bytes);
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
            ShowFigure(page, "Hund");
            Click(page, kSbAdd);
            SetText(page, kSbEdit, "neu");
            EndEdit(page, kSbEdit);
            ShowFigure(page, "Marlene");
            PressButton(sheet, PSBTN_CANCEL);
        });
        EXPECT_EQ(testutil::ReadFileBytes(sb_), bytes);
    }
}

TEST_F(SpeechPageTest, InteractiveOffOnTheSameSheetMakesItReadOnly)
{
    std::string wrong;
    RunSheet([&](HWND sheet) {
        HWND inter = ShowPage(sheet, IndexOfRow(kInterRow));
        Click(inter, kInterOn);
        HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
        for (int id : {kSbFigures, kSbList, kSbFont, kSbAdd, kSbDel, kSbEdit})
            if (Enabled(page, id))
                wrong += std::to_string(id) + " enabled; ";
        if (!Enabled(page, kSbPort))
            wrong += "Import/Export disabled";
    });
    EXPECT_EQ(wrong, "");
}

// The system's font dialog: another face chosen and then Cancel keeps the
// stored font; another face and OK stores it at Apply.
TEST_F(SpeechPageTest, FontDialogCancelRestoresOkStores)
{
    constexpr int kFontFaces = 0x470;
    for (bool ok : {false, true}) {
        bool changed = !ok, seen = false;
        std::string face;
        PutString("SBFName", "Arial");
        PutDword("SBFHeight", static_cast<DWORD>(-10));
        RunSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
            PostMessageA(page, WM_COMMAND, MAKEWPARAM(kSbFont, BN_CLICKED), 0);
            HWND dialog = FindDialogWith(GetWindowThreadProcessId(sheet, nullptr), kFontFaces, kBoxWaitMs);
            seen = dialog != nullptr;
            if (!dialog)
                return;
            HWND faces = GetDlgItem(dialog, kFontFaces);
            LRESULT other = SendMessageA(faces, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
            char text[LF_FACESIZE + 1] = {};
            SendMessageA(faces, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(text));
            face = text;
            SendMessageA(faces, CB_SETCURSEL, other, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFontFaces, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
            PostMessageA(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
            AwaitDialogEnd(dialog, kBoxWaitMs);
            changed = ApplyEnabled(sheet);
            PressButton(sheet, PSBTN_OK);
        });
        ASSERT_TRUE(seen);
        EXPECT_EQ(changed, ok);
        EXPECT_EQ(GetString("SBFName"), ok ? face : "Arial");
        if (!ok) {
            EXPECT_EQ(GetDword("SBFHeight"), static_cast<DWORD>(-10));
        }
    }
}

// ---------------------------------------------------------------- import and export

std::string SectionOf(const std::string &name, const std::vector<std::string> &texts)
{
    std::string s = "[" + name + "]\r\nN=" + std::to_string(texts.size()) + "\r\n";
    for (size_t i = 0; i < texts.size(); ++i)
        s += "TEXT" + std::to_string(i + 1) + "=" + texts[i] + "\r\n";
    return s;
}

std::vector<std::string> Numbered(const char *stem, int count)
{
    std::vector<std::string> v;
    for (int i = 1; i <= count; ++i)
        v.push_back(stem + std::to_string(i));
    return v;
}

std::vector<std::string> ReadBack(const std::string &file, const char *section)
{
    static SpeechTexts texts;
    ReadSpeechTexts(file.c_str(), section, &texts);
    return std::vector<std::string>(texts.text, texts.text + texts.count);
}

TEST(SpeechTextMerge, Cases)
{
    testutil::TempDir dir;
    const std::string speech = dir.File("sb.txt"), import = dir.File("import.txt"), result = dir.File("r.txt");
    struct Case {
        const char *what;
        std::string speechText, importText;
        bool replaceAll;
        int language;
        // Expected texts of sections in the result.
        std::map<std::string, std::vector<std::string>> expect;
    } cases[] = {
        {"self-import changes only the layout",
         SectionOf("Marlene", {"a", " b "}) + "[Fremd]\r\nX=1\r\n", "", false, 1,
         {{"Marlene", {"a", "b"}}, {"Fremd", {}}}},
        {"replace all with a missing section empties that figure",
         SectionOf("Marlene", {"a"}) + SectionOf("Konrad", {"k"}), SectionOf("Konrad", {"neu"}), true, 1,
         {{"Marlene", {}}, {"Konrad", {"neu"}}}},
        {"48 present and 5 new give 50", SectionOf("Konrad", Numbered("alt", 48)),
         SectionOf("Konrad", Numbered("neu", 5)), false, 1, {{"Konrad", {}}}},
        {"duplicates by case and blanks", SectionOf("Konrad", {"Hallo"}), SectionOf("Konrad", {" hallo ", "Tschüss"}),
         false, 1, {{"Konrad", {"Hallo", "Tschüss"}}}},
        {"English: Dog written, Hund kept", SectionOf("Hund", {"Wuff"}), SectionOf("Dog", {"Woof"}), false, 0,
         {{"Dog", {"Woof"}}, {"Hund", {"Wuff"}}}},
        {"empty import file", SectionOf("Konrad", {"k"}), "", false, 1, {{"Konrad", {"k"}}}},
        {"binary import file", SectionOf("Konrad", {"k"}), std::string("\x00\x01\xff[]=\r\n", 8), false, 1,
         {{"Konrad", {"k"}}}},
        {"import without a known section", SectionOf("Konrad", {"k"}), SectionOf("Niemand", {"n"}), false, 1,
         {{"Konrad", {"k"}}, {"Niemand", {}}}},
    };
    for (const Case &c : cases) {
        testutil::WriteFileBytes(speech, c.speechText);
        testutil::WriteFileBytes(import, c.importText.empty() && strstr(c.what, "self") ? c.speechText
                                                                                         : c.importText);
        DeleteFileA(result.c_str());
        testutil::WriteFileBytes(result, "");
        ASSERT_TRUE(MergeSpeechTexts(speech.c_str(), import.c_str(), result.c_str(), c.replaceAll, c.language,
                                     nullptr, nullptr))
            << c.what;
        for (const auto &[section, texts] : c.expect) {
            if (section == "Konrad" && strstr(c.what, "48")) {
                std::vector<std::string> want = Numbered("alt", 48);
                want.push_back("neu1");
                want.push_back("neu2");
                EXPECT_EQ(ReadBack(result, "Konrad"), want) << c.what;
                continue;
            }
            EXPECT_EQ(ReadBack(result, section.c_str()), texts) << c.what << " " << section;
        }
        if (strstr(c.what, "self")) {
            EXPECT_EQ(Ini(result, "Fremd", "X"), "1") << "an unknown section was dropped";
            EXPECT_EQ(Ini(result, "Marlene", "TEXT2"), "b");
        }
    }
}

// The Import / Export dialog, found among the sheet thread's windows.
BOOL CALLBACK FindPort(HWND w, LPARAM param)
{
    if (IsWindowVisible(w) && GetDlgItem(w, kPortExport)) {
        *reinterpret_cast<HWND *>(param) = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindPortDialog(DWORD threadId)
{
    HWND found = nullptr;
    Poll([&] {
        EnumThreadWindows(threadId, FindPort, reinterpret_cast<LPARAM>(&found));
        return found != nullptr;
    }, kBoxWaitMs);
    return found;
}

// The file the system's file dialog is to choose.
std::string gChosenFile;

bool IsFileDialog(HWND w) { return GetDlgItem(w, 0x480) || GetDlgItem(w, 0x47C); }

// The question the file dialog asks before it replaces a file: a box of the
// thread that is no file dialog.
BOOL CALLBACK FindQuestion(HWND w, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && GetDlgItem(w, 0xFFFF) && !IsFileDialog(w)) {
        *reinterpret_cast<HWND *>(param) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFileDialogWindow(HWND w, LPARAM param)
{
    if (IsWindowVisible(w) && IsFileDialog(w)) {
        *reinterpret_cast<HWND *>(param) = w;
        return FALSE;
    }
    return TRUE;
}

class ImportExportTest : public SpeechPageTest {
protected:
    // Shows "Konrad", lets edit work on the page and opens the dialog.
    static HWND OpenPort(HWND page, const std::function<void(HWND page)> &edit)
    {
        ShowFigure(page, "Konrad");
        if (edit)
            edit(page);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(kSbPort, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, kSbPort)));
        HWND dialog = FindPortDialog(GetWindowThreadProcessId(page, nullptr));
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    // Opens the dialog from the page, picks export or import and goes ahead;
    // a message box on the way is read into box. Returns the page's lines of
    // "Konrad" afterwards.
    std::vector<std::string> RunPort(HWND sheet, bool import, SeenBox *box, bool pressCancel,
                                     const std::function<void(HWND page)> &edit = nullptr)
    {
        DWORD thread = GetWindowThreadProcessId(sheet, nullptr);
        HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
        HWND dialog = OpenPort(page, edit);
        if (!dialog)
            return {};
        Click(dialog, import ? kPortImport : kPortExport);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        // The file dialog: the folder, then the name; a file that is there
        // already is replaced when the export asks.
        size_t slash = gChosenFile.rfind('\\');
        bool replaces = !import && GetFileAttributesA(gChosenFile.c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_TRUE(ChooseInFileDialog(thread, gChosenFile.substr(0, slash), {gChosenFile.substr(slash + 1)},
                                       !replaces));
        if (replaces) {
            HWND ask = nullptr;
            EXPECT_TRUE(Poll([&] {
                EnumThreadWindows(thread, FindQuestion, reinterpret_cast<LPARAM>(&ask));
                return ask != nullptr;
            }, kBoxWaitMs));
            if (ask)
                PostMessageA(ask, WM_COMMAND, IDYES, 0);
        }
        Poll([&] {
            HWND open = nullptr;
            EnumThreadWindows(thread, FindFileDialogWindow, reinterpret_cast<LPARAM>(&open));
            return open == nullptr;
        }, kBoxWaitMs);
        if (box) {
            EXPECT_TRUE(DismissBox(thread, box, kBoxWaitMs));
        }
        AwaitDialogEnd(dialog, kBoxWaitMs);
        std::vector<std::string> lines = Lines(page);
        PressButton(sheet, pressCancel ? PSBTN_CANCEL : PSBTN_OK);
        return lines;
    }
};

TEST_F(ImportExportTest, ImportHoldsEvenWhenTheSheetIsCancelled)
{
    testutil::WriteFileBytes(sb_, SectionOf("Konrad", {"alt"}) + SectionOf("Hund", {"Wuff"}));
    gChosenFile = dir_->File("import.txt");
    testutil::WriteFileBytes(gChosenFile, SectionOf("Konrad", {"neu"}));
    std::vector<std::string> lines;
    RunSheet([&](HWND sheet) { lines = RunPort(sheet, true, nullptr, true); });
    EXPECT_EQ(lines, (std::vector<std::string>{"alt", "neu"}));
    EXPECT_EQ(ReadBack(sb_, "Konrad"), (std::vector<std::string>{"alt", "neu"}));
    EXPECT_EQ(ReadBack(sb_, "Hund"), (std::vector<std::string>{"Wuff"}));
    // The result file is gone from the temporary folder.
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((std::string(temp) + "SBI*.tmp").c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
}

// A file another program holds open for reading only: the rig runs as root,
// which writes even read-only files.
HANDLE HoldFile(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(ImportExportTest, ImportOverAHeldFileIsReportedAndNotShown)
{
    const std::string before = SectionOf("Konrad", {"alt"});
    testutil::WriteFileBytes(sb_, before);
    HANDLE held = HoldFile(sb_);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    gChosenFile = dir_->File("import.txt");
    testutil::WriteFileBytes(gChosenFile, SectionOf("Konrad", {"neu"}));
    SeenBox box;
    std::vector<std::string> lines;
    RunSheet([&](HWND sheet) { lines = RunPort(sheet, true, &box, false); });
    CloseHandle(held);
    EXPECT_NE(box.text.find("Import failed"), std::string::npos) << box.text;
    EXPECT_EQ(box.caption, "FEHLER!");
    EXPECT_EQ(lines, (std::vector<std::string>{"alt"}));
    EXPECT_EQ(testutil::ReadFileBytes(sb_), before);
}

// What was typed for the figure before the dialog opened stays when the
// dialog is cancelled or exports, whether the edit had lost the focus (a
// click on the button) or not (its shortcut key), and Apply stores it.
TEST_F(ImportExportTest, AnEditBeforeTheDialogStaysAfterCancelAndExport)
{
    struct Case {
        const char *what;
        bool focusLeft;
        bool exports;
    } cases[] = {
        {"cancelled after a click", true, false},
        {"cancelled by the shortcut", false, false},
        {"exported", true, true},
    };
    for (const Case &c : cases) {
        testutil::WriteFileBytes(sb_, SectionOf("Konrad", {"alt", "zwei"}));
        gChosenFile = dir_->File("export.txt");
        DeleteFileA(gChosenFile.c_str());
        auto edit = [&](HWND page) {
            SelectLine(page, kSbList, 0);
            TypeInEdit(page, "neu");
            if (c.focusLeft)
                EndEdit(page, kSbEdit);
        };
        std::vector<std::string> lines;
        RunSheet([&](HWND sheet) {
            if (c.exports) {
                lines = RunPort(sheet, false, nullptr, false, edit);
                return;
            }
            HWND page = ShowPage(sheet, IndexOfRow(kSpeechRow));
            HWND dialog = OpenPort(page, edit);
            if (!dialog)
                return;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            AwaitDialogEnd(dialog, kBoxWaitMs);
            lines = Lines(page);
            PressButton(sheet, PSBTN_OK);
        });
        EXPECT_EQ(lines, (std::vector<std::string>{"neu", "zwei"})) << c.what;
        EXPECT_EQ(ReadBack(sb_, "Konrad"), (std::vector<std::string>{"neu", "zwei"})) << c.what;
        if (c.exports) {
            // The export is of the stored file, as it was before Apply.
            EXPECT_EQ(ReadBack(gChosenFile, "Konrad"), (std::vector<std::string>{"alt", "zwei"}));
        }
    }
}

TEST_F(ImportExportTest, Export)
{
    const std::string text = SectionOf("Konrad", {"alt"});
    testutil::WriteFileBytes(sb_, text);
    // Onto the speech-text file itself: nothing copied, nothing said.
    gChosenFile = sb_;
    RunSheet([&](HWND sheet) { RunPort(sheet, false, nullptr, true); });
    EXPECT_EQ(testutil::ReadFileBytes(sb_), text);
    // To a new file: a copy; a name without extension takes ".txt".
    gChosenFile = dir_->File("out");
    RunSheet([&](HWND sheet) { RunPort(sheet, false, nullptr, true); });
    gChosenFile = dir_->File("out.txt");
    EXPECT_EQ(testutil::ReadFileBytes(gChosenFile), text);
    // To a file that cannot be written: the message.
    testutil::WriteFileBytes(gChosenFile, "old");
    HANDLE held = HoldFile(gChosenFile);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SeenBox box;
    RunSheet([&](HWND sheet) { RunPort(sheet, false, &box, true); });
    CloseHandle(held);
    EXPECT_EQ(box.text, "Export failed: GetLastError returned 32\n");
    EXPECT_EQ(box.caption, "FEHLER!");
    EXPECT_EQ(box.owner, nullptr);
}

}  // namespace
}  // namespace sheettest
