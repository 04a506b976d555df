// The birthday page on a list file of its own, today fixed by the clock.
#include "sheet_fixture.h"

#include "base/now.h"
#include "services/birthdays.h"
#include "config/config.h"

namespace sheettest {
namespace {

constexpr int kBirthdayRow = 16;
constexpr size_t kRecord = 124;

void Put16(std::string *out, size_t at, unsigned v)
{
    (*out)[at] = static_cast<char>(v & 0xFF);
    (*out)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// One record as the file holds it, field by field, little-endian; name and
// text are copied as given, so a test can leave out their terminators.
std::string Record(const std::string &name, unsigned year, unsigned month, unsigned day, unsigned reminder = 1,
                   const std::string &text = "")
{
    std::string r(kRecord, '\0');
    unsigned key = year * 10000 + month * 100 + day;
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<char>((key >> (8 * i)) & 0xFF);
    Put16(&r, 4, year);
    Put16(&r, 6, month);
    Put16(&r, 8, day);
    Put16(&r, 10, reminder);
    r.replace(12, std::min<size_t>(name.size(), 32), name.substr(0, 32));
    r.replace(44, std::min<size_t>(text.size(), 80), text.substr(0, 80));
    return r;
}

class BirthdayPageTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        ClockFreeze(testutil::Moment(2026, 12, 10, 9, 30));
    }
    void TearDown() override
    {
        ClockReset();
        SheetTest::TearDown();
    }
    void List(const std::string &bytes) { testutil::WriteFileBytes(dir_->File("tarvo.dat"), bytes); }
    std::string Written() { return testutil::ReadFileBytes(dir_->File("tarvo.dat")); }
    // The names of the written file in its order.
    std::vector<std::string> WrittenNames()
    {
        std::string bytes = Written();
        std::vector<std::string> names;
        for (size_t at = 0; at + kRecord <= bytes.size(); at += kRecord)
            names.push_back(bytes.substr(at + 12, 32).c_str());
        return names;
    }
};

std::string ShownName(HWND page) { return ControlText(page, 1202); }
int Lines(HWND page) { return static_cast<int>(SendDlgItemMessageA(page, 1202, CB_GETCOUNT, 0, 0)); }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

void PickLine(HWND page, int line)
{
    SendDlgItemMessageA(page, 1202, CB_SETCURSEL, line, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1202, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1202)));
}

void TypeName(HWND page, const char *name)
{
    SetDlgItemTextA(page, 1202, name);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1202, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1202)));
}

TEST_F(BirthdayPageTest, NewTakesTheFirstFreeNameAndToday)
{
    List(Record("(NEU)", 2000, 1, 1) + Record("(neu 2)", 2000, 1, 2) + Record("Anna", 1990, 5, 17));
    std::string name;
    SYSTEMTIME date = {};
    LRESULT reminder = -1;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        Click(page, 1209);
        name = ShownName(page);
        date = PickerValue(page, 1204);
        reminder = SendDlgItemMessageA(page, 1206, CB_GETCURSEL, 0, 0);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(name, "(neu 3)");
    EXPECT_EQ(date.wYear * 10000 + date.wMonth * 100 + date.wDay, 20261210);
    EXPECT_EQ(reminder, 1);
    std::string bytes = Written();
    ASSERT_EQ(bytes.size(), 4 * kRecord);
    // Sorted by date on writing: the new entry of today comes last.
    EXPECT_EQ(bytes.substr(3 * kRecord), Record("(neu 3)", 2026, 12, 10, 1));
}

TEST_F(BirthdayPageTest, ListSizeDecidesWhatIsEnabled)
{
    std::string full;
    for (int i = 0; i < 499; ++i)
        full += Record("P" + std::to_string(i), 2000, 1, 1 + i % 28);
    List(full);
    bool newAtLimit = true;
    RunSheet([&](HWND sheet) { newAtLimit = Enabled(PageOfRow(sheet, kBirthdayRow), 1209); });
    EXPECT_FALSE(newAtLimit);

    List(Record("Erster", 2000, 1, 1) + Record("Zweiter", 2000, 1, 2));
    std::string afterFirst;
    bool onlyNew = false, sortWithOne = true;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        Click(page, 1210);
        afterFirst = ShownName(page);
        sortWithOne = Enabled(page, 1212) || Enabled(page, 1213);
        Click(page, 1210);
        onlyNew = Enabled(page, 1209);
        for (int id : {1202, 1204, 1206, 1208, 1210, 1212, 1213})
            onlyNew = onlyNew && !Enabled(page, id);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(afterFirst, "Zweiter");
    EXPECT_FALSE(sortWithOne);
    EXPECT_TRUE(onlyNew);
    EXPECT_EQ(Written().size(), 0u);
}

TEST_F(BirthdayPageTest, SortingByDateAndByName)
{
    List(Record("Cora", 2026, 1, 1) + Record("Anton", 2026, 1, 1) + Record("Berta", 2026, 1, 1));
    std::vector<std::string> byDate, byName;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        // Dates set as the user sets them: the page makes the keys.
        const SYSTEMTIME dates[3] = {testutil::Moment(2000, 2, 1), testutil::Moment(2000, 1, 31),
                                     testutil::Moment(1999, 12, 31)};
        for (int i = 0; i < 3; ++i) {
            PickLine(page, i);
            ChangePicker(page, 1204, dates[i]);
        }
        Click(page, 1212);
        for (int i = 0; i < 3; ++i) {
            char text[64] = {};
            SendDlgItemMessageA(page, 1202, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            byDate.push_back(text);
        }
        Click(page, 1213);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(byDate, (std::vector<std::string>{"Berta", "Anton", "Cora"}));
    EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Anton", "Berta", "Cora"}));
}

TEST_F(BirthdayPageTest, AfterASortTheShownNameStaysByItsBeginning)
{
    List(Record("Al", 2000, 1, 1) + Record("Bob", 2001, 1, 1) + Record("Bobby", 1999, 1, 1));
    std::string stays, prefix;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        PickLine(page, 0);
        Click(page, 1212);
        stays = ShownName(page);
        PickLine(page, 2);  // Bob, now last by date
        Click(page, 1213);  // by name: Al, Bob, Bobby
        Click(page, 1212);  // by date: Bobby comes first and begins with "Bob"
        prefix = ShownName(page);
    });
    EXPECT_EQ(stays, "Al");
    EXPECT_EQ(prefix, "Bobby");
}

TEST_F(BirthdayPageTest, ATypedNameLandsInTheEntryShown)
{
    List(Record("Anna", 2000, 1, 1) + Record("Bernd", 2000, 1, 2));
    std::string shownAfter;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        PickLine(page, 0);
        TypeName(page, "Zora");
        PickLine(page, 1);
        shownAfter = ShownName(page);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(shownAfter, "Bernd");
    EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Zora", "Bernd"}));
}

TEST_F(BirthdayPageTest, ApplyWritesNamedRecordsByteForByte)
{
    std::string anna = Record("Anna", 1990, 5, 17, 2, "Alles Gute!");
    List(anna + Record("", 1991, 6, 18));
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        SetDlgItemTextA(page, 1208, "Alles Gute, Anna!");
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1208, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1208)));
        PressButton(sheet, PSBTN_OK);
    });
    // The same bytes on every target: fixed field sizes, little-endian.
    std::string expected = Record("Anna", 1990, 5, 17, 2, "Alles Gute, Anna!");
    EXPECT_EQ(Written(), expected);
}

TEST_F(BirthdayPageTest, AnUnwritableListIsReported)
{
    List(Record("Anna", 1990, 5, 17));
    SeenBox box;
    bool seen = false;
    DWORD sheetThread = GetCurrentThreadId();
    RunSheet([&](HWND sheet) {
        PageOfRow(sheet, kBirthdayRow);
        // Another program holds the list file after the page has read it.
        HANDLE held = CreateFileA(dir_->File("tarvo.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        seen = DismissBox(sheetThread, &box, 30000);
        CloseHandle(held);
    });
    ASSERT_TRUE(seen);
    EXPECT_EQ(box.text, "Kann Geburtstags-Datei nicht speichern");
    EXPECT_EQ(Written(), Record("Anna", 1990, 5, 17));
}

TEST_F(BirthdayPageTest, DamagedListFiles)
{
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += Record("M" + std::to_string(i), 2000, 1, 1);
    List(many);
    int lines = 0;
    RunSheet([&](HWND sheet) {
        lines = Lines(PageOfRow(sheet, kBirthdayRow));
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(lines, 500);
    EXPECT_EQ(Written().size(), 500 * kRecord);

    // Fields without terminators, a date that is none, a short last record.
    std::string longName(32, 'N'), longText(80, 'T');
    List(Record(longName, 2000, 13, 40, 9, longText) + Record("Kurz", 2001, 2, 3).substr(0, 60));
    std::string shownName, shownText;
    RunSheet([&](HWND sheet) {
        HWND page = PageOfRow(sheet, kBirthdayRow);
        shownName = ShownName(page);
        shownText = ControlText(page, 1208);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(shownName, std::string(31, 'N'));
    EXPECT_EQ(shownText, std::string(79, 'T'));
    std::string bytes = Written();
    ASSERT_EQ(bytes.size(), 2 * kRecord);
    std::string kept = Record(std::string(31, 'N'), 2000, 13, 40, 9, std::string(79, 'T'));
    EXPECT_EQ(bytes.substr(0, kRecord), kept) << "the damaged date is kept as stored";
    EXPECT_EQ(bytes.substr(kRecord + 12, 4), "Kurz");
}

}  // namespace
}  // namespace sheettest
