// The picture lists on real files in a temp folder, through the paths the
// settings configure.
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "services/piclists.h"
#include "config/config.h"

#include <string>
#include <vector>

namespace {

struct ListOps {
    const char *name;
    char *path;  // the configured file: BusPics, BahnPics or LKWPics
    PiclistEntry *entries;
    int *count;
    int (*read)();
    int (*save)();
    int (*del)(int);
    int (*ins)(int, const char *);
    const char *readWords;
};

const ListOps kLists[] = {
    {"bus", BusPics, BusPiclist, &BusPiclistCount, ReadBusPiclist, SaveBusPiclist, DelBusPiclistEntry,
     InsBusPiclistEntry, "BusPiclist lesen"},
    {"tram", BahnPics, SBahnPiclist, &SBahnPiclistCount, ReadSBahnPiclist, SaveSBahnPiclist, DelSBahnPiclistEntry,
     InsSBahnPiclistEntry, "SBahnPiclist lesen"},
    {"truck", LKWPics, LKWPiclist, &LKWPiclistCount, ReadLKWPiclist, SaveLKWPiclist, DelLKWPiclistEntry,
     InsLKWPiclistEntry, "LKWPiclist lesen"},
};

std::string Lines(int n, const char *prefix)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += prefix + std::to_string(i) + "\r\n";
    return text;
}

std::vector<std::string> Entries(const ListOps &list)
{
    std::vector<std::string> out;
    for (int i = 0; i < *list.count; ++i)
        out.emplace_back(list.entries[i]);
    return out;
}

class Piclists : public ::testing::Test {
protected:
    void SetUp() override
    {
        DebugOn = 1;
        OpenDebugLog(dir_.File("wyn.log").c_str());
    }
    void TearDown() override
    {
        CloseDebugLog();
        DebugOn = 0;
        for (const ListOps &list : kLists) {
            list.path[0] = '\0';
            *list.count = 0;
        }
    }
    // The log written since the last call.
    std::string NewLog()
    {
        std::string all = testutil::ReadFileBytes(dir_.File("wyn.log"));
        std::string fresh = all.substr(std::min(seen_, all.size()));
        seen_ = all.size();
        return fresh;
    }
    testutil::TempDir dir_;
    size_t seen_ = 0;
};

TEST_F(Piclists, ReadingTable)
{
    const std::string longPath(300, 'x');
    const std::string fullPath(259, 'y');
    struct Case {
        const char *what;
        const char *file;  // null: no file at all
        std::string text;
        std::vector<std::string> want;
        const char *log;
    };
    std::vector<std::string> first500;
    for (int i = 0; i < 500; ++i)
        first500.push_back("C:\\p" + std::to_string(i));
    const Case cases[] = {
        {"comment, empty line, trailing blanks", "a.dat",
         "# my pictures\r\n\r\nC:\\one.bmp   \r\n  C:\\two.jpg\t \r\n", {"C:\\one.bmp", "C:\\two.jpg"}, nullptr},
        {"no final CR LF", "b.dat", "C:\\one.bmp\r\nC:\\last.png", {"C:\\one.bmp", "C:\\last.png"}, nullptr},
        {"LF only", "c.dat", "C:\\one.bmp\nC:\\two.bmp\n", {"C:\\one.bmp", "C:\\two.bmp"}, nullptr},
        {"600 lines", "d.dat", Lines(600, "C:\\p"), first500, nullptr},
        {"a 300-character line is skipped whole", "e.dat", "C:\\a.bmp\r\n" + longPath + "\r\nC:\\b.bmp\r\n",
         {"C:\\a.bmp", "C:\\b.bmp"}, nullptr},
        {"259 characters and trailing blanks fit", "f.dat", fullPath + "     \r\n", {fullPath}, nullptr},
        {"an empty file", "g.dat", "", {}, nullptr},
        {"a missing file", nullptr, "", {}, "+++ Datei nicht vorhanden"},
    };
    for (const ListOps &list : kLists) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(list.name) + ": " + c.what);
            std::string path = dir_.File(c.file ? c.file : "missing.dat");
            if (c.file) {
                ASSERT_TRUE(testutil::WriteFileBytes(path, c.text));
            }
            StrCopyN(list.path, kPathLen, path.c_str());
            EXPECT_EQ(list.read(), static_cast<int>(c.want.size()));
            EXPECT_EQ(Entries(list), c.want);
            std::string log = NewLog();
            EXPECT_NE(log.find(list.readWords), std::string::npos) << log;
            if (c.log) {
                EXPECT_NE(log.find(c.log), std::string::npos) << log;
            }
        }
    }
}

TEST_F(Piclists, AFileHeldOpenWithoutSharingReadsAsEmpty)
{
    for (const ListOps &list : kLists) {
        SCOPED_TRACE(list.name);
        std::string path = dir_.File(std::string(list.name) + ".dat");
        ASSERT_TRUE(testutil::WriteFileBytes(path, "C:\\one.bmp\r\n"));
        StrCopyN(list.path, kPathLen, path.c_str());
        ASSERT_EQ(list.read(), 1);
        NewLog();
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(list.read(), 0);
        EXPECT_EQ(*list.count, 0);
        CloseHandle(held);
        EXPECT_NE(NewLog().find("+++ Datei gesperrt"), std::string::npos);
    }
}

TEST_F(Piclists, SaveAndReadRoundTripWithCrLf)
{
    for (const ListOps &list : kLists) {
        SCOPED_TRACE(list.name);
        std::string path = dir_.File(std::string(list.name) + ".dat");
        StrCopyN(list.path, kPathLen, path.c_str());
        *list.count = 0;
        ASSERT_EQ(list.ins(0, "C:\\b.bmp"), 1);
        ASSERT_EQ(list.ins(0, "C:\\a.bmp"), 1);
        ASSERT_EQ(list.ins(2, "D:\\with blank\\c.png"), 1);
        ASSERT_EQ(list.save(), 1);
        EXPECT_EQ(testutil::ReadFileBytes(path), "C:\\a.bmp\r\nC:\\b.bmp\r\nD:\\with blank\\c.png\r\n");
        *list.count = 0;
        EXPECT_EQ(list.read(), 3);
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\a.bmp", "C:\\b.bmp", "D:\\with blank\\c.png"}));
        EXPECT_FALSE(testutil::FileExists(path + ".neu")) << "the temp file is gone";
    }
}

TEST_F(Piclists, AFailedSaveKeepsTheOldList)
{
    const ListOps &list = kLists[0];
    std::string path = dir_.File("bus.dat");
    ASSERT_TRUE(testutil::WriteFileBytes(path, "C:\\old.bmp\r\n"));
    StrCopyN(list.path, kPathLen, path.c_str());
    *list.count = 0;
    list.ins(0, "C:\\new.bmp");
    // The temp file's place is taken by a folder: the new list cannot be written.
    ASSERT_TRUE(CreateDirectoryA((path + ".neu").c_str(), nullptr));
    EXPECT_EQ(list.save(), 0);
    EXPECT_EQ(testutil::ReadFileBytes(path), "C:\\old.bmp\r\n");
    EXPECT_NE(NewLog().find("BusPiclist speichern"), std::string::npos);
    RemoveDirectoryA((path + ".neu").c_str());
    // A list whose folder is gone: nothing written, failure reported.
    StrCopyN(list.path, kPathLen, dir_.File("no such folder\\bus.dat").c_str());
    EXPECT_EQ(list.save(), 0);
    EXPECT_NE(NewLog().find("+++ Kann Datei nicht öffnen"), std::string::npos);
}

TEST_F(Piclists, DeleteAndInsertKeepTheListInBounds)
{
    for (const ListOps &list : kLists) {
        SCOPED_TRACE(list.name);
        *list.count = 0;
        EXPECT_EQ(list.del(0), 0) << "empty list";
        EXPECT_EQ(*list.count, 0);
        list.ins(0, "a");
        list.ins(1, "b");
        list.ins(2, "c");
        EXPECT_EQ(list.del(-1), 0);
        EXPECT_EQ(list.del(0), 1) << "entry 0 of three";
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"b", "c"}));
        EXPECT_EQ(list.entries[2][0], '\0') << "the freed slot is cleared";
        EXPECT_EQ(list.ins(1, "m"), 1) << "in the middle";
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"b", "m", "c"}));
        EXPECT_EQ(list.del(7), 1) << "past the end drops the last";
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"b", "m"}));
        EXPECT_EQ(list.entries[2][0], '\0');
        EXPECT_EQ(list.del(1), 1) << "the last";
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"b"}));
        EXPECT_EQ(list.ins(-1, "x"), 0);
        EXPECT_EQ(list.ins(2, "x"), 0) << "past the count";
        EXPECT_EQ(Entries(list), (std::vector<std::string>{"b"}));
        while (*list.count < kMaxPiclistEntries)
            ASSERT_EQ(list.ins(*list.count, "f"), 1);
        EXPECT_EQ(list.ins(0, "over"), 0) << "full";
        EXPECT_EQ(*list.count, kMaxPiclistEntries);
        EXPECT_STREQ(list.entries[0], "b");
        // An entry longer than a slot is cut, never written past it.
        *list.count = 0;
        std::string tooLong(400, 'z');
        ASSERT_EQ(list.ins(0, tooLong.c_str()), 1);
        EXPECT_EQ(strlen(list.entries[0]), kPiclistEntryLen - 1);
        *list.count = 0;
    }
}

}  // namespace
