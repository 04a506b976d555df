// A note saved by the companion comes out byte for byte the same from the
// 32-bit and the 64-bit build, and each build reads the other's note.
#include <gtest/gtest.h>

#include <string>

#include "crossfiles.h"
#include "notefiles.h"
#include "testutil.h"
#include "zettler.h"

namespace {

const char kNoteName[] = "N_20261224_1830a.txt";
const char kText[] = "Einkaufen: Äpfel, Brötchen\r\nMilch für Oma\r\n";

void ListNotesIn(const std::string &dir)
{
    StrCopy(MSGPath, (dir + "\\").c_str());
    FindNotes();
}

TEST(NoteFilesTest, NotesAreTheSameFromBothBuilds)
{
    testutil::TempDir dir;
    // Only the saver creates notes; the companion writes their new text.
    ASSERT_TRUE(testutil::WriteFileBytes(dir.File(kNoteName), "alt"));
    ListNotesIn(dir.Path());
    ASSERT_EQ(1, NoteCount);
    ASSERT_TRUE(SaveNote(kText));
    const std::string mine = testutil::ReadFileBytes(dir.File(kNoteName));
    EXPECT_EQ(kText, mine);
    const std::string shared = std::string("notes\\") + kNoteName;
    ASSERT_TRUE(crossfiles::Publish(shared, mine));

    std::string theirs;
    if (!crossfiles::ReadPartner(shared, &theirs))
        GTEST_SKIP() << "no notes of the other build in " << crossfiles::PartnerDir();
    EXPECT_EQ(mine, theirs);
    ListNotesIn(crossfiles::PartnerDir() + "\\notes");
    ASSERT_EQ(1, NoteCount);
    char read[kNoteTextSize];
    ASSERT_TRUE(ReadNote(0, read, sizeof(read)));
    EXPECT_STREQ(kText, read);
}

}  // namespace
