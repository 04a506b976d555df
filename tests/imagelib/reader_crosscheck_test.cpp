// Every cross-check file (made at build time by ImageMagick, netpbm or
// giflib) read through the generic reader, from its file and from memory,
// against the pixels its own encoder decodes it to.
#include <gtest/gtest.h>

#include "readerkit.h"
#include "readertest.h"

#include <map>

using namespace readertest;

namespace {

// Files whose layout our readers refuse, with the code they give.
const std::map<std::string, int32_t> kRefused = {
    {"packed2.pcx", kImgUnexpected},     // 2-bit pixels have no row rule
    {"rgb16-rle.psd", kImgPsdUnsupported},  // PackBits needs 8 bits
    {"grey16-rle.psd", kImgPsdUnsupported},
    {"cmyk16-rle.psd", kImgPsdUnsupported},
};

// Where two pixel buffers first differ, for the failure message.
std::string FirstDifference(const Bytes &got, const Bytes &want)
{
    if (got.size() != want.size())
        return "size " + std::to_string(got.size()) + " instead of " + std::to_string(want.size());
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i])
            return "byte " + std::to_string(i) + ": " + std::to_string(got[i]) + " instead of " +
                   std::to_string(want[i]);
    return "none";
}

bool IsTga(const std::string &name) { return name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0; }

}  // namespace

TEST(ReaderCrossCheck, EveryFileGivesItsEncodersPixels)
{
    const std::vector<Fixture> fixtures = Manifest();
    ASSERT_GE(fixtures.size(), 40u) << "cross-check files missing in " << FixturePath("");
    for (const Fixture &f : fixtures) {
        SCOPED_TRACE(f.name);
        const Bytes expected = FixtureBytes(f.expected);
        const Outcome byName = ReadPath(FixturePath(f.name), Generic(), 3);
        auto refused = kRefused.find(f.name);
        if (refused != kRefused.end()) {
            EXPECT_EQ(byName.error, refused->second);
            continue;
        }
        EXPECT_EQ(byName.error, 0);
        EXPECT_EQ(byName.width, f.width);
        EXPECT_EQ(byName.height, f.height);
        EXPECT_TRUE(byName.pixels == expected) << FirstDifference(byName.pixels, expected);
        // A memory source has no name: a TGA without its footer is not
        // found there, every other file is found by its content.
        if (IsTga(f.name))
            continue;
        const Outcome fromMemory = ReadMemory(FixtureBytes(f.name), Generic(), 3);
        EXPECT_EQ(fromMemory.error, 0);
        EXPECT_TRUE(fromMemory.pixels == expected) << FirstDifference(fromMemory.pixels, expected);
    }
}

// The header queries agree with the pictures on every file they can read.
TEST(ReaderCrossCheck, HeaderQueriesGiveTheSize)
{
    for (const Fixture &f : Manifest()) {
        SCOPED_TRACE(f.name);
        const std::string ext = f.name.substr(f.name.rfind('.'));
        if (ext == ".gif")
            continue;  // the GIF reader has no query of its own
        const Bytes file = FixtureBytes(f.name);
        HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
        CISIO io(src);
        OperationContext ctx;
        uint32_t w = 0;
        uint32_t h = 0;
        uint32_t other = 0;
        bool ok = false;
        if (ext == ".pcx")
            ok = ReadPcxHeaderInfo(io, w, h, other, ctx);
        else if (ext == ".tga")
            ok = ReadTgaInfo(io, w, h, other, ctx);
        else if (ext == ".psd")
            ok = ReadPsdInfo(io, w, h, other, nullptr, ctx);
        else
            ok = ReadWbmpSize(io, w, h, ctx);
        CloseSource(src);
        EXPECT_TRUE(ok);
        EXPECT_EQ(ctx.error, 0);
        EXPECT_EQ(w, f.width);
        EXPECT_EQ(h, f.height);
    }
    // And their refusals.
    const Bytes junk(30, 'J');
    HISSRC src = OpenMemorySource(junk.data(), static_cast<uint32_t>(junk.size()));
    CISIO io(src);
    uint32_t w = 0, h = 0, other = 0;
    OperationContext pcx, tga, psd, wbmp;
    EXPECT_FALSE(ReadPcxHeaderInfo(io, w, h, other, pcx));
    io.Rewind();
    EXPECT_FALSE(ReadTgaInfo(io, w, h, other, tga));
    io.Rewind();
    EXPECT_FALSE(ReadPsdInfo(io, w, h, other, nullptr, psd));
    io.Rewind();
    EXPECT_FALSE(ReadWbmpSize(io, w, h, wbmp));
    CloseSource(src);
    EXPECT_EQ(pcx.error, kImgBadPcx);
    EXPECT_EQ(tga.error, kImgBadTga);
    EXPECT_EQ(psd.error, kImgBadPsd);
    EXPECT_EQ(wbmp.error, kImgBadWbmp);
}

// Sizes whose buffers pass 2 GiB are refused with 1 on every target, never
// wrapped into a short buffer (as 32-bit arithmetic would).
TEST(ReaderCrossCheck, HugeSizesAreRefused)
{
    auto patch16 = [](Bytes b, size_t at, uint32_t v, bool big) {
        b[at] = static_cast<uint8_t>(big ? v >> 8 : v);
        b[at + 1] = static_cast<uint8_t>(big ? v : v >> 8);
        return b;
    };
    Bytes pcx = FixtureBytes("im24.pcx");
    pcx = patch16(patch16(patch16(pcx, 8, 0xFFFE, false), 10, 0xFFFE, false), 66, 0xFFFF, false);
    Bytes psd = FixtureBytes("rgb8-none.psd");
    psd = patch16(patch16(psd, 16, 30000, true), 20, 30000, true);
    Bytes tga = FixtureBytes("t2.tga");
    tga = patch16(patch16(tga, 12, 0xFFFF, false), 14, 0xFFFF, false);
    const Bytes gif = GifFile(65535, 65535, {RGBQUAD{1, 2, 3, 0}, RGBQUAD{4, 5, 6, 0}}, {}, 0,
                              LzwEncode({0, 1, 1, 0}, 2, LzwMode::kClearWhenFull));
    const Bytes wbmp = {0, 0, 0x83, 0xFF, 0x7F, 0x83, 0xFF, 0x7F, 0xFF};
    struct Case {
        const char *what;
        Bytes file;
        SourceRead read;
    } cases[] = {
        {"GIF", gif, Generic()},
        {"PCX", pcx, Generic()},
        {"PSD", psd, Generic()},
        {"TGA", tga, [](HISSRC s, uint32_t *w, uint32_t *h) { return ReadTGA(s, w, h, 32, nullptr, 0); }},
        {"WBMP", wbmp,
         [](HISSRC s, uint32_t *w, uint32_t *h) {
             RGBQUAD palette[256];
             return ReadWBMP(s, w, h, palette, 8, 0);
         }},
    };
    for (const Case &c : cases) {
        const Outcome r = ReadMemory(c.file, c.read, 0);
        EXPECT_EQ(r.error, kImgOutOfMemory) << c.what;
        EXPECT_FALSE(r.returned) << c.what;
    }
}
