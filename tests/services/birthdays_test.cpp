// The birthday list on files of 124-byte records the test writes.
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/now.h"
#include "services/birthdays.h"
#include "config/config.h"

#include <memory>
#include <string>
#include <thread>

namespace {

std::string Record(int month, int day, int code, const std::string &name, const std::string &text = "",
                   uint32_t key = 0)
{
    GeburtstagRecord r = {};
    r.SortKey = key;
    r.Month = static_cast<uint16_t>(month);
    r.Day = static_cast<uint16_t>(day);
    r.Reminder = static_cast<uint16_t>(code);
    StrCopy(r.Name, name.c_str());
    StrCopy(r.Text, text.c_str());
    unsigned char bytes[kGeburtstagRecordSize];
    EncodeGeburtstag(r, bytes);
    return std::string(reinterpret_cast<char *>(bytes), sizeof(bytes));
}

class Birthdays : public ::testing::Test {
protected:
    void SetUp() override { StrCopy(TarvoDat, dir_.File("tarvo.dat").c_str()); }
    void TearDown() override { ClockReset(); }
    int On(int year, int month, int day)
    {
        SYSTEMTIME t = {};
        t.wYear = static_cast<WORD>(year);
        t.wMonth = static_cast<WORD>(month);
        t.wDay = static_cast<WORD>(day);
        t.wHour = 12;
        ClockFreeze(t);
        return HeuteGeburtstag();
    }
    testutil::TempDir dir_;
};

TEST_F(Birthdays, ReminderWindowsAcrossTheYearEnd)
{
    testutil::WriteFileBytes(TarvoDat, Record(1, 5, 6, "Anna", "Anna hat Geburtstag") + Record(7, 1, 1, "Bert") +
                                           Record(7, 1, 0, "Carl") + Record(2, 29, 1, "Dora") +
                                           Record(7, 2, 9, "Damaged"));
    struct {
        int year, month, day;
        int count;
    } cases[] = {
        {2025, 12, 21, 0}, {2025, 12, 22, 1}, {2026, 1, 5, 1}, {2026, 1, 6, 0},  // common year
        {2024, 12, 21, 0}, {2024, 12, 22, 1}, {2024, 12, 31, 1},                 // leap year
        {2026, 6, 30, 0},  {2026, 7, 1, 1},   {2026, 7, 2, 0},                   // code 1 only on the day
        {2026, 3, 1, 1},   {2024, 3, 1, 0},   {2024, 2, 29, 1},                  // 29 February
    };
    for (const auto &c : cases)
        EXPECT_EQ(On(c.year, c.month, c.day), c.count) << c.year << "-" << c.month << "-" << c.day;
    On(2025, 12, 24);
    EXPECT_STREQ(BirthdayTexts[0], "Anna hat Geburtstag");
    On(2026, 7, 1);
    EXPECT_STREQ(BirthdayTexts[0], "Bert");  // no text: the name
}

TEST_F(Birthdays, AtMost24TextsAndAShortLastRecord)
{
    std::string file;
    for (int i = 0; i < 30; ++i)
        file += Record(5, 10, 1, "Name" + std::to_string(i));
    testutil::WriteFileBytes(TarvoDat, file);
    EXPECT_EQ(On(2026, 5, 10), 24);
    EXPECT_STREQ(BirthdayTexts[23], "Name23");

    // Ten bytes of a third record: the rest reads as zeros, not as the
    // second's, so its reminder code is 0 and its name empty.
    std::string two = Record(5, 10, 1, "Erste") + Record(5, 10, 1, "Zweite", "Text zwei");
    testutil::WriteFileBytes(TarvoDat, two + Record(5, 10, 1, "Dritte").substr(0, 10));
    LoadGeburtstage();
    ASSERT_EQ(GeburtstagCount, 3);
    EXPECT_EQ(Geburtstage[2].Month, 5);
    EXPECT_EQ(Geburtstage[2].Reminder, 0);
    EXPECT_STREQ(Geburtstage[2].Name, "");
    EXPECT_STREQ(Geburtstage[2].Text, "");
    EXPECT_EQ(On(2026, 5, 10), 2);
}

TEST_F(Birthdays, MissingFileIsAnEmptyList)
{
    LoadGeburtstage();
    EXPECT_EQ(GeburtstagCount, 0);
    EXPECT_EQ(On(2026, 5, 10), 0);
}

TEST_F(Birthdays, SavingSortsAndDropsUnnamedRecords)
{
    testutil::WriteFileBytes(TarvoDat, Record(3, 1, 1, "bert", "", 301) + Record(1, 1, 1, "", "", 101) +
                                           Record(2, 1, 1, "Anna", "", 201));
    for (int byName : {1, 0}) {
        LoadGeburtstage();
        TarvoName = byName;
        ASSERT_TRUE(SaveGeburtstage(nullptr));
        std::string saved = testutil::ReadFileBytes(TarvoDat);
        ASSERT_EQ(saved.size(), 2 * kGeburtstagRecordSize);
        // "Anna" before "bert" by bytes, 201 before 301 by date: the same order here.
        EXPECT_EQ(saved, Record(2, 1, 1, "Anna", "", 201) + Record(3, 1, 1, "bert", "", 301));
    }
    testutil::WriteFileBytes(TarvoDat, Record(1, 1, 1, "Zoe", "", 100) + Record(2, 1, 1, "Adam", "", 200));
    LoadGeburtstage();
    TarvoName = 1;
    ASSERT_TRUE(SaveGeburtstage(nullptr));
    EXPECT_EQ(testutil::ReadFileBytes(TarvoDat), Record(2, 1, 1, "Adam", "", 200) + Record(1, 1, 1, "Zoe", "", 100));
    TarvoName = 0;
}

// A list that cannot be written, or whose writing stops on a full disk,
// shows the message and keeps the old file whole.
TEST_F(Birthdays, AFileThatCannotBeWrittenShowsTheMessageAndKeepsTheOldList)
{
    const std::string old = Record(1, 1, 1, "Anna") + Record(2, 2, 1, "Bert");
    for (bool diskFull : {false, true}) {
        SCOPED_TRACE(diskFull ? "disk full" : "held open");
        testutil::WriteFileBytes(TarvoDat, old);
        LoadGeburtstage();
        StrCopy(Geburtstage[0].Name, "Anne");
        HANDLE held = INVALID_HANDLE_VALUE;
        // The new list is written beside the old one.
        std::unique_ptr<testutil::FullDiskFile> full;
        if (diskFull) {
            full = std::make_unique<testutil::FullDiskFile>(std::string(TarvoDat) + ".neu");
            ASSERT_TRUE(full->Made());
        } else {
            // Held open without sharing (a read-only mark does not stop root,
            // whom Wine runs as here).
            held = CreateFileA(TarvoDat, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        bool saved = true;
        std::thread saving([&] { saved = SaveGeburtstage(nullptr); });
        HWND box = nullptr;
        // The message box: a dialog of this process with an empty caption and a text.
        auto findBox = [&] {
            for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", ""); w;
                 w = FindWindowExA(nullptr, w, "#32770", "")) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(w) && GetDlgItem(w, 0xFFFF))
                    box = w;
            }
            return box != nullptr;
        };
        EXPECT_TRUE(testutil::WaitFor(findBox, 20000));
        char text[256] = "";
        if (box) {
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        saving.join();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_FALSE(saved);
        EXPECT_STREQ(text, "Kann Geburtstags-Datei nicht speichern");
        EXPECT_EQ(testutil::ReadFileBytes(TarvoDat), old);
    }
}

}  // namespace
