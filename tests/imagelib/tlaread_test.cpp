// TLA reader: files of our own writer (make_tla_fixtures.py), read in every
// output mode, as DIBs, through the generic reader, with passwords, their
// metadata, and the damaged variants the writer makes.
#include <gtest/gtest.h>

#include "libframe.h"
#include "readertest.h"

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace readertest;

namespace {

struct TlaFile {
    std::string name;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bpp = 0;
    std::string password;  // "-": none
    int32_t error = 0;
    int returned = 0;
};

std::string TlaPath(const std::string &name)
{
    std::string path = std::string(WYN_TLA_FIXTURES) + "/" + name;
#ifdef _WIN32
    for (char &c : path)
        if (c == '/')
            c = '\\';
    path = "Z:" + path;
#endif
    return path;
}

std::vector<TlaFile> TlaManifest()
{
    std::vector<TlaFile> list;
    std::ifstream in(TlaPath("manifest.txt"));
    TlaFile f;
    while (in >> f.name >> f.width >> f.height >> f.bpp >> f.password >> f.error >> f.returned)
        list.push_back(f);
    return list;
}

Bytes TlaBytes(const std::string &name) { return imgtest::ReadFile(TlaPath(name)); }

const char *PasswordOf(const TlaFile &f) { return f.password == "-" ? nullptr : f.password.c_str(); }

Outcome ReadTla(const Bytes &file, const char *password, uint32_t bytesPerPixel, uint32_t flags = 0,
                RGBQUAD *palette = nullptr)
{
    return ReadMemory(
        file,
        [&](HISSRC s, uint32_t *w, uint32_t *h) { return ReadTLA(s, w, h, password, bytesPerPixel, palette, flags); },
        flags & kReadAsDib ? 0 : bytesPerPixel);
}

// The rows of a top-down buffer as a bottom-up DIB stores them.
Bytes AsDibRows(const Bytes &rows, uint32_t width, uint32_t height, uint32_t bytes)
{
    const uint32_t stride = (width * bytes * 8 + 31) / 32 * 4;
    Bytes out(static_cast<size_t>(stride) * height, 0);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const BYTE *in = &rows[(static_cast<size_t>(y) * width + x) * bytes];
            BYTE *p = &out[static_cast<size_t>(height - 1 - y) * stride + x * bytes];
            memcpy(p, in, bytes);
            if (bytes >= 3)
                std::swap(p[0], p[2]);
        }
    return out;
}

const TlaFile &Find(const std::vector<TlaFile> &list, const std::string &name)
{
    for (const TlaFile &f : list)
        if (f.name == name)
            return f;
    ADD_FAILURE() << "no file " << name;
    return list.front();
}

}  // namespace

TEST(TlaRead, SoundFilesInEveryModeAsDibAndThroughTheGenericReader)
{
    const std::vector<TlaFile> files = TlaManifest();
    ASSERT_GT(files.size(), 20u);
    int sound = 0;
    for (const TlaFile &f : files) {
        if (f.error)
            continue;
        ++sound;
        const Bytes file = TlaBytes(f.name + ".tla");
        for (uint32_t mode = 1; mode <= 4; ++mode) {
            Outcome r = ReadTla(file, PasswordOf(f), mode);
            if (mode == 1 && f.bpp != 1) {
                EXPECT_EQ(r.error, kImgBadParam) << f.name;
                EXPECT_FALSE(r.returned) << f.name;
                continue;
            }
            ASSERT_EQ(r.error, 0) << f.name << " mode " << mode;
            EXPECT_EQ(r.width, f.width);
            EXPECT_EQ(r.height, f.height);
            EXPECT_EQ(r.pixels, TlaBytes(f.name + ".m" + std::to_string(mode))) << f.name << " mode " << mode;
        }
        // The DIB keeps indices, widens 16-bit pixels to four bytes.
        const uint32_t dibBytes = f.bpp == 1 ? 1 : f.bpp == 3 ? 3 : 4;
        Outcome dib = ReadTla(file, PasswordOf(f), 0, kReadAsDib);
        ASSERT_EQ(dib.error, 0) << f.name;
        EXPECT_EQ(dib.pixels[14], dibBytes * 8) << f.name;
        const size_t table = f.bpp == 1 ? 1024 : 0;
        EXPECT_EQ(Bytes(dib.pixels.begin() + 40 + table, dib.pixels.end()),
                  AsDibRows(TlaBytes(f.name + ".m" + std::to_string(dibBytes)), f.width, f.height, dibBytes))
            << f.name;
        // The program reads plain files only, at three bytes a pixel.
        Outcome generic = ReadMemory(file, Generic(), 3);
        if (f.password == "-") {
            ASSERT_EQ(generic.error, 0) << f.name;
            EXPECT_EQ(generic.pixels, TlaBytes(f.name + ".m3")) << f.name;
        } else {
            EXPECT_EQ(generic.error, kImgBadTla) << f.name;
            EXPECT_FALSE(generic.returned) << f.name;
        }
    }
    EXPECT_GE(sound, 10);
}

TEST(TlaRead, Passwords)
{
    const std::vector<TlaFile> files = TlaManifest();
    const Bytes plain = TlaBytes("plain3.tla");
    EXPECT_EQ(ReadTla(plain, "anything", 3).pixels, TlaBytes("plain3.m3"));
    const Bytes secret = TlaBytes("secret.tla");
    for (const char *wrong : {"secreT", "", static_cast<const char *>(nullptr)}) {
        Outcome r = ReadTla(secret, wrong, 3);
        EXPECT_EQ(r.error, kImgBadTla) << (wrong ? wrong : "(none)");
        EXPECT_FALSE(r.returned);
    }
    // The writer that set its data cipher up afresh for the second block
    // makes a file whose second block does not decipher.
    const TlaFile &restart = Find(files, "restart");
    Outcome r = ReadTla(TlaBytes("restart.tla"), "secret", 3);
    EXPECT_EQ(r.error, restart.error);
    ASSERT_TRUE(r.returned);
    // The first block, the same picture as plain3's, came through whole.
    const Bytes first = TlaBytes("plain3.m3");
    EXPECT_EQ(Bytes(r.pixels.begin(), r.pixels.begin() + 3 * 5 * 3), Bytes(first.begin(), first.begin() + 3 * 5 * 3));
}

TEST(TlaRead, MetadataPaletteAndInformation)
{
    ASSERT_EQ(ReadTla(TlaBytes("meta2.tla"), nullptr, 3).error, 0);
    const ISPtrVector<CFileDataTag> &list = GetThreadState()->tlaMetadata;
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.At(0).key, 0u);
    EXPECT_TRUE(list.At(0).text.empty());
    EXPECT_EQ(std::string(list.At(0).data.begin(), list.At(0).data.end()), "first item");
    EXPECT_EQ(list.At(1).data, (std::vector<BYTE>{0, 1, 2}));
    // The next TLA open empties it (this file has a count of 0).
    ASSERT_EQ(ReadTla(TlaBytes("plain3.tla"), nullptr, 3).error, 0);
    EXPECT_EQ(GetThreadState()->tlaMetadata.Count(), 0u);

    // Mode 1 hands out the stored palette: each index's entry is the colour
    // that mode 4 gives for that pixel.
    RGBQUAD palette[256];
    memset(palette, 0xAB, sizeof(palette));
    const Bytes index = TlaBytes("index.tla");
    Outcome indices = ReadTla(index, nullptr, 1, 0, palette);
    ASSERT_EQ(indices.error, 0);
    const Bytes rgba = TlaBytes("index.m4");
    for (size_t i = 0; i < indices.pixels.size(); ++i) {
        const RGBQUAD &e = palette[indices.pixels[i]];
        EXPECT_EQ((Bytes{e.rgbRed, e.rgbGreen, e.rgbBlue, e.rgbReserved}), Bytes(&rgba[4 * i], &rgba[4 * i + 4]));
    }
    EXPECT_EQ(palette[200].rgbRed, 0) << "entries past the count are cleared";

    struct Case {
        const char *file;
        const char *password;
        uint32_t bits;
        uint32_t colours;
    } cases[] = {{"index.tla", nullptr, 8, 16}, {"bits16.tla", nullptr, 16, 16}, {"secret.tla", "secret", 24, 16}};
    for (const Case &c : cases) {
        const Bytes file = TlaBytes(c.file);
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        uint32_t w = 0, h = 0, bits = 0, colours = 0;
        EXPECT_TRUE(GetTLAInfo(src, &w, &h, &bits, c.password, nullptr, &colours)) << c.file;
        EXPECT_EQ(bits, c.bits) << c.file;
        EXPECT_EQ(colours, c.colours) << c.file;
        EXPECT_GT(w * h, 0u);
        CloseSource(src);
    }
}

TEST(TlaRead, DamagedFiles)
{
    int damaged = 0;
    for (const TlaFile &f : TlaManifest()) {
        if (!f.error)
            continue;
        ++damaged;
        Outcome r = ReadTla(TlaBytes(f.name + ".tla"), PasswordOf(f), 3);
        EXPECT_EQ(r.error, f.error) << f.name;
        EXPECT_EQ(r.returned, f.returned != 0) << f.name;
    }
    EXPECT_GE(damaged, 15);
    // Bytes a pixel outside 1 to 4.
    EXPECT_EQ(ReadTla(TlaBytes("plain3.tla"), nullptr, 5).error, kImgBadParam);
    EXPECT_EQ(ReadTla(TlaBytes("plain3.tla"), nullptr, 0).error, kImgBadParam);
}

TEST(TlaRead, AbortKeepsTheRowsRead)
{
    struct Stop {
        static BOOL WINAPI AfterRow2(uint32_t row, uint32_t, uint32_t) { return row < 1; }
    };
    SetProgressCallback(Stop::AfterRow2, 0);
    Outcome r = ReadTla(TlaBytes("all3.tla"), nullptr, 3);
    SetProgressCallback(nullptr, 0);
    EXPECT_EQ(r.error, kImgAborted);
    ASSERT_TRUE(r.returned);
    const Bytes expected = TlaBytes("all3.m3");
    EXPECT_EQ(Bytes(r.pixels.begin(), r.pixels.begin() + 2 * 13 * 3), Bytes(expected.begin(), expected.begin() + 2 * 13 * 3));
}
