// Format detection from content, name, TGA footer and the Photo CD mark,
// and the generic reader's dispatch.
#include <gtest/gtest.h>

#include "imgtest.h"

#include <cstring>
#include <string>

using namespace imgtest;

namespace {

Bytes Head(std::initializer_list<uint8_t> start, size_t size = 64, uint8_t fill = 0x20)
{
    Bytes b(size, fill);
    std::copy(start.begin(), start.end(), b.begin());
    return b;
}

Bytes Text(const char *start, size_t size = 64)
{
    Bytes b(size, 0x20);
    memcpy(b.data(), start, strlen(start));
    return b;
}

Bytes WithTgaFooter(Bytes b)
{
    const char footer[] = "TRUEVISION-XFILE.";
    b.insert(b.end(), footer, footer + sizeof(footer));  // 17 characters and the 0
    return b;
}

Bytes PhotoCd(uint8_t sectorFill)
{
    Bytes b(4096, sectorFill);
    memcpy(b.data() + 2048, "PCD_IPI", 7);
    return b;
}

Bytes Emf()
{
    Bytes b = Head({0x01, 0x00, 0x00, 0x00, 0x6C, 0x00, 0x00, 0x00});
    memcpy(b.data() + 40, " EMF", 4);
    return b;
}

struct GuessCase {
    const char *what;
    Bytes bytes;
    const char *name;  // null: a memory source
    uint32_t type;
};

uint32_t GuessFile(const TempFolder &dir, const GuessCase &c)
{
    const std::string path = dir.File(c.name);
    EXPECT_TRUE(WriteFile(path, c.bytes));
    HISSRC src = OpenFileSource(path.c_str());
    uint32_t type = GuessFormat(src);
    EXPECT_EQ(GetLastImageError(), 0) << c.what;
    CloseSource(src);
    return type;
}

uint32_t GuessMemory(const GuessCase &c)
{
    HISSRC src = OpenMemorySource(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    uint32_t type = GuessFormat(src);
    EXPECT_EQ(GetLastImageError(), 0) << c.what;
    CloseSource(src);
    return type;
}

}  // namespace

TEST(GuessFormat, EverySignatureAndTheAmbiguousOnes)
{
    const Bytes zeros = Head({0x00, 0x00});
    const GuessCase cases[] = {
        {"BM and 8 bytes", Head({'B', 'M'}, 10), "x.dat", kFileBmp},
        {"PAX", Text("PAX1"), nullptr, kFilePax},
        {"GIF89a", Text("GIF89a"), nullptr, kFileGif},
        {"GIF87a", Text("GIF87a"), nullptr, kFileGif},
        {"GIF88a is nothing", Text("GIF88a"), nullptr, kFileUnknown},
        {"JFIF", Head({0xFF, 0xD8, 0xFF, 0xE0}), nullptr, kFileJpeg},
        {"JPEG by content, not by .png", Head({0xFF, 0xD8, 0xFF, 0xDB}), "picture.png", kFileJpeg},
        {"PCX 0", Head({0x0A, 0x00}), nullptr, kFilePcx},
        {"PCX 2", Head({0x0A, 0x02}), nullptr, kFilePcx},
        {"PCX 3", Head({0x0A, 0x03}), nullptr, kFilePcx},
        {"PCX 5", Head({0x0A, 0x05}), nullptr, kFilePcx},
        {"PCX 4 is nothing", Head({0x0A, 0x04}), nullptr, kFileUnknown},
        {"TIFF MM", Text("MM"), nullptr, kFileTiff},
        {"TIFF II", Text("II"), nullptr, kFileTiff},
        {"PNG", Head({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}), nullptr, kFilePng},
        {"WMF", Head({0x01, 0x00, 0x09, 0x00, 0x00}), nullptr, kFileWmf},
        {"placeable WMF", Head({0xD7, 0xCD, 0xC6, 0x9A}), nullptr, kFileWmf},
        {"EMF mark at 40", Emf(), nullptr, kFileEmf},
        {"EMF mark past a short read", Head({0x01, 0x00, 0x00, 0x00}, 43), nullptr, kFileUnknown},
        {"PSD", Text("8BPS"), nullptr, kFilePsd},
        {"flagged TLA", Head({'T', 'L', 'A', 0x01}), nullptr, kFileTlaFlagged},
        {"plain TLA", Text("TLAU"), nullptr, kFileTlaPlain},
        {"Photo CD overview", Text("PCD_OPA"), nullptr, kFilePhotoCdIndex},
        {"JP2 box starts 00 00 yet is not WBMP",
         Head({0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A}), nullptr, kFileJpeg2000},
        {"JPEG 2000 code stream", Head({0xFF, 0x4F, 0xFF, 0x51}), nullptr, kFileJpeg2000},
        {"code stream at 4 behind 00 00", Head({0x00, 0x00, 0x00, 0x00, 0xFF, 0x4F}), nullptr,
         kFileJpeg2000Stream},
        {"OLE compound", Head({0xD0, 0xCF, 0x11, 0xE0}), nullptr, kFileOleCompound},
        {"00 00 named .wbmp", zeros, "x.wbmp", kFileWbmp},
        {"00 00 named .WBM", zeros, "x.WBM", kFileWbmp},
        {"00 00 named .dat", zeros, "x.dat", kFileWbmp},
        {"00 00 in memory", zeros, nullptr, kFileWbmp},
        {"00 00 named .tga", zeros, "x.TGA", kFileTga},
        {"00 00 with a TGA footer", WithTgaFooter(zeros), "x.dat", kFileTga},
        {"TGA footer in memory", WithTgaFooter(Head({0x00, 0x01, 0x01})), nullptr, kFileTga},
        {"unknown bytes named .tga", Head({0x01, 0x02}), "x.tga", kFileTga},
        {"unknown bytes named .wbmp", Head({0x01, 0x02}), "x.wbmp", kFileWbmp},
        {"Photo CD image", PhotoCd(0xFF), "x.pcd", kFilePhotoCd},
        {"Photo CD behind 00 00 is WBMP", PhotoCd(0x00), "x.pcd", kFileWbmp},
        {"unknown", Head({0x01, 0x02}), nullptr, kFileUnknown},
        {"too short for the footer", Head({0x00, 0x00}, 10), nullptr, kFileUnknown},
    };
    TempFolder dir;
    for (const GuessCase &c : cases) {
        uint32_t type = c.name ? GuessFile(dir, c) : GuessMemory(c);
        EXPECT_EQ(type, c.type) << c.what;
    }
}

TEST(GuessFormat, ReadsFromThePositionAndLeavesItMoved)
{
    Bytes file = PictureBmp(ColourPicture(2, 2), 24, false);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    EXPECT_TRUE(SeekSource(src, 0, 2));
    EXPECT_EQ(GuessFormat(src), 0u);
    EXPECT_EQ(GetLastImageError(), 0);
    EXPECT_TRUE(SeekSource(src, 0, 0));
    EXPECT_EQ(GuessFormat(src), kFileBmp);
    EXPECT_TRUE(SeekSource(src, 0, 0));
    uint32_t w = 0, h = 0;
    Result image(ReadBMP(src, &w, &h, 24, nullptr, 0));
    EXPECT_NE(image.Get(), nullptr);
    CloseSource(src);
}

TEST(GuessFormat, EmptyFileIsUnknown)
{
    TempFolder dir;
    ASSERT_TRUE(WriteFile(dir.File("empty.bmp"), {}));
    HISSRC src = OpenFileSource(dir.File("empty.bmp").c_str());
    ASSERT_NE(src, nullptr);
    EXPECT_EQ(GuessFormat(src), 0u);
    EXPECT_EQ(GetLastImageError(), 0);
    uint32_t w = 0, h = 0;
    // By its name it goes to the BMP reader, which finds nothing to read.
    EXPECT_EQ(ReadGeneric(src, &w, &h), nullptr);
    EXPECT_EQ(GetLastImageError(), kImgFileRead);
    CloseSource(src);
}

struct GenericCase {
    const char *what;
    Bytes bytes;
    const char *name;
    int32_t error;
};

TEST(ReadGeneric, DispatchFailures)
{
    const GenericCase cases[] = {
        {"unknown content, unknown name", Head({0x01, 0x02}), "x.dat", kImgFileOpen},
        {"unknown content, no extension", Head({0x01, 0x02}), "noext", kImgFileOpen},
        {"JPEG 2000 has no reader", Head({0xFF, 0x4F, 0xFF, 0x51}), "x.jp2", kImgFileOpen},
        {"flagged TLA needs its password", Head({'T', 'L', 'A', 0x01}), "x.tla", kImgBadTla},
        {"PAX named .bmp fails in the BMP reader", Text("PAX1"), "a.bmp", kImgBadBmp},
        {"Photo CD overview named .bmp", Text("PCD_OPA"), "a.bmp", kImgBadBmp},
    };
    TempFolder dir;
    for (const GenericCase &c : cases) {
        const std::string path = dir.File(c.name);
        ASSERT_TRUE(WriteFile(path, c.bytes));
        HISSRC src = OpenFileSource(path.c_str());
        uint32_t w = 77, h = 77;
        EXPECT_EQ(ReadGeneric(src, &w, &h), nullptr) << c.what;
        EXPECT_EQ(GetLastImageError(), c.error) << c.what;
        EXPECT_EQ(w, 77u) << c.what;
        CloseSource(src);
    }
}

// A metafile is rendered from its file by name; a memory source has none,
// and says so with a code instead of failing silently.
TEST(ReadGeneric, MetafileInMemoryIsABadParameter)
{
    Bytes emf = Emf();
    ReadOutcome r = ReadGenericBytes(emf);
    EXPECT_FALSE(r.returned);
    EXPECT_EQ(r.error, kImgBadParam);
}

TEST(ReadGeneric, StartsFromTheBeginningWhereverTheSourceStands)
{
    Picture p = ColourPicture(5, 3);
    Bytes file = PictureBmp(p, 24, false);
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    SeekSource(src, 30, 0);
    uint32_t w = 0, h = 0;
    Result image(ReadGeneric(src, &w, &h));
    ASSERT_NE(image.Get(), nullptr);
    EXPECT_EQ(w, 5u);
    EXPECT_EQ(h, 3u);
    EXPECT_EQ(image.Copy(p.rgb.size()), p.rgb);
    CloseSource(src);
}
