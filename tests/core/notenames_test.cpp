// Note file names, joined paths and the text rules of notes and the ticker.
#include "core/notenames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(NoteNames, NameForKindTimeAndLetter)
{
    char name[kNoteNameSize];
    const NoteTime t = {2026, 3, 9, 8, 5};
    ASSERT_TRUE(FormatNoteName(kNoteKindTicker, t, 'a', name, sizeof(name)));
    EXPECT_STREQ(name, "N_20260309_0805a.txt");
    ASSERT_TRUE(FormatNoteName(kNoteKindHidden, {2026, 12, 31, 23, 59}, 'z', name, sizeof(name)));
    EXPECT_STREQ(name, "X_20261231_2359z.txt");
    // Past 'z' come characters such as '|' that no file name may hold.
    for (char letter : {'{', '|', '`', '\0'})
        EXPECT_FALSE(FormatNoteName(kNoteKindTicker, t, letter, name, sizeof(name)));
    EXPECT_FALSE(FormatNoteName(kNoteKindTicker, t, 'a', name, 20));
    EXPECT_STREQ(name, "");
}

TEST(NoteNames, FolderAndNameJoinWithOneSeparator)
{
    struct {
        const char *folder, *expected;
    } cases[] = {
        {"C:\\notes", "C:\\notes\\N.txt"},
        {"C:\\notes\\", "C:\\notes\\N.txt"},
        {"/tmp/notes/", "/tmp/notes/N.txt"},
        {"", "N.txt"},
    };
    for (const auto &c : cases) {
        char path[64];
        ASSERT_TRUE(JoinFolderPath(c.folder, "N.txt", path, sizeof(path)));
        EXPECT_STREQ(path, c.expected);
    }
    // A path that does not fit is refused whole, never cut to another name.
    char small[14];
    EXPECT_FALSE(JoinFolderPath("C:\\notes", "N.txt", small, sizeof(small)));
    EXPECT_STREQ(small, "");
    std::string longName(250, 'n');
    char path[260];
    EXPECT_TRUE(JoinFolderPath("C:\\a", longName.c_str(), path, sizeof(path)));
    EXPECT_EQ(strlen(path), 255u);
}

TEST(NoteNames, TrailingControlsAndBlanksAreNotPartOfTheNote)
{
    EXPECT_EQ(NoteTextLength("Hallo\r\n \t\x01"), 5u);
    EXPECT_EQ(NoteTextLength("  Hallo\r\nWelt"), 13u);
    EXPECT_EQ(NoteTextLength(" \r\n\r\n\t "), 0u);
    EXPECT_EQ(NoteTextLength("Gr\xFC\xDF"), 4u);  // bytes above 127 are text
}

TEST(NoteNames, TickerRunsTrimmedLinesTogetherAndStopsBeforeTheSize)
{
    char buf[16] = "";
    EXPECT_TRUE(AppendTickerLine(buf, sizeof(buf), "\tEins\r\n"));
    EXPECT_TRUE(AppendTickerLine(buf, sizeof(buf), " zwei \n"));
    EXPECT_TRUE(AppendTickerLine(buf, sizeof(buf), "\r\n"));
    EXPECT_STREQ(buf, "Eins zwei ");
    EXPECT_TRUE(AppendTickerLine(buf, sizeof(buf), "drei\n"));  // 14 characters
    EXPECT_FALSE(AppendTickerLine(buf, sizeof(buf), "xy\n"));   // 16 would reach the size
    EXPECT_TRUE(AppendTickerLine(buf, sizeof(buf), "x\n"));
    EXPECT_STREQ(buf, "Eins zwei dreix");
}

}  // namespace
