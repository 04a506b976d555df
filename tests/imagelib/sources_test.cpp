// Image sources and destinations: memory and file blocks, seeking, closing,
// and refusing handles that are null, closed or foreign.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "isio.h"

#include <string>

using namespace imgtest;

TEST(MemorySource, SeekReadAndTell)
{
    Bytes data(100);
    for (int i = 0; i < 100; ++i)
        data[i] = static_cast<uint8_t>(i);
    HISSRC src = OpenMemorySource(data.data(), 100);
    ASSERT_NE(src, nullptr);
    EXPECT_FALSE(SeekSource(src, 100, kSeekSet));
    EXPECT_EQ(GetLastImageError(), 0) << "a refused seek sets no code";
    EXPECT_FALSE(SeekSource(src, -1, kSeekSet));
    EXPECT_FALSE(SeekSource(src, 1, kSeekEnd));
    EXPECT_FALSE(SeekSource(src, 5, 3));

    CISIO io(src);
    EXPECT_TRUE(SeekSource(src, 90, kSeekSet));
    EXPECT_FALSE(SeekSource(src, 10, kSeekCur));
    EXPECT_TRUE(SeekSource(src, -90, kSeekCur));
    EXPECT_EQ(io.Tell(), 0u);
    EXPECT_TRUE(SeekSource(src, -95, kSeekEnd));
    uint8_t buf[200];
    EXPECT_EQ(io.Read(buf, 200), 95u) << "an over-long read gives the rest";
    EXPECT_EQ(buf[0], 5);
    EXPECT_TRUE(SeekSource(src, -95, kSeekEnd));
    EXPECT_FALSE(io.ReadExact(buf, 96));
    EXPECT_TRUE(SeekSource(src, 0, kSeekEnd));
    EXPECT_EQ(io.Read(buf, 1), 0u);
    EXPECT_EQ(io.Size(), 100u);
    EXPECT_EQ(CloseSource(src), 100u) << "closing tells the position reached";
}

TEST(MemorySource, RefusesNullAndEmptyBlocks)
{
    uint8_t byte = 0;
    EXPECT_EQ(OpenMemorySource(nullptr, 10), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(OpenMemorySource(&byte, 0), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    HISSRC src = OpenMemorySource(&byte, 1);
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(CloseSource(src), 0u) << "a fresh source closes at 0";
}

// A closed handle is known to be closed without its freed block being
// read (the sanitizer build would flag the read).
TEST(Handles, NullClosedAndForeignAreRefused)
{
    Bytes file = PictureBmp(ColourPicture(2, 2), 24, false);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_NE(src, nullptr);
    CloseSource(src);
    uint32_t w = 0, h = 0;
    EXPECT_EQ(ReadGeneric(src, &w, &h), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);
    EXPECT_EQ(ReadBMP(src, &w, &h, 24, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);
    EXPECT_EQ(GuessFormat(src), 0u);
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);
    EXPECT_EQ(CloseSource(src), 0u) << "a second close frees nothing";
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);
    EXPECT_FALSE(SeekSource(src, 0, kSeekSet));
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);

    ISStreamBlock fake = {};
    fake.magic1 = kBlockMagic1;
    fake.magic2 = kBlockMagic2;
    fake.kind = kKindMemory;
    EXPECT_EQ(ReadGeneric(&fake, &w, &h), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadHandle);

    EXPECT_EQ(ReadGeneric(nullptr, &w, &h), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(CloseSource(nullptr), 0u);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(CloseDest(nullptr), 0u);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
    EXPECT_EQ(WriteBMP(nullptr, file.data(), 1, 1, 24, 0, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(GetLastImageError(), kImgBadParam);
}

TEST(FileSource, OpensReadsAndRefusesBadNames)
{
    TempFolder dir;
    Bytes file = PictureBmp(ColourPicture(3, 2), 24, false);
    ASSERT_TRUE(WriteFile(dir.File("a.bmp"), file));
    HISSRC src = OpenFileSource(dir.File("a.bmp").c_str());
    ASSERT_NE(src, nullptr);
    uint32_t w = 0, h = 0;
    Result image(ReadBMP(src, &w, &h, 24, nullptr, 0));
    EXPECT_NE(image.Get(), nullptr);
    EXPECT_EQ(CloseSource(src), file.size());

    EXPECT_EQ(OpenFileSource(dir.File("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
    EXPECT_EQ(OpenFileSource(""), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
    EXPECT_EQ(OpenFileSource(nullptr), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
    // A name that would not fit the block is refused, not cut to another.
    std::string longName = dir.File(std::string(300, 'x'));
    EXPECT_EQ(OpenFileSource(longName.c_str()), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
    EXPECT_EQ(OpenFileDest(longName.c_str(), FALSE), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
}

TEST(FileDest, CreatesTruncatesAndTellsItsSize)
{
    TempFolder dir;
    const std::string path = dir.File("out.bmp");
    HISDEST dest = OpenFileDest(path.c_str(), TRUE);
    ASSERT_NE(dest, nullptr) << "open-existing creates a missing file";
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_EQ(CloseDest(dest), 0u);

    Picture p = ColourPicture(10, 20);
    dest = OpenFileDest(path.c_str(), FALSE);
    uint32_t written = WriteBMP(dest, p.rgb.data(), 10, 20, 24, 0, nullptr, nullptr, 0);
    EXPECT_EQ(written, 54u + 20 * 32);
    EXPECT_EQ(CloseDest(dest), written);
    EXPECT_EQ(ReadFile(path).size(), written);

    // Open-existing keeps the bytes; flag 0 truncates.
    dest = OpenFileDest(path.c_str(), TRUE);
    EXPECT_EQ(CloseDest(dest), written);
    dest = OpenFileDest(path.c_str(), FALSE);
    EXPECT_EQ(CloseDest(dest), 0u);
    EXPECT_EQ(ReadFile(path).size(), 0u);

    EXPECT_EQ(OpenFileDest(dir.File("no/such/dir.bmp").c_str(), FALSE), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileOpen);
}
