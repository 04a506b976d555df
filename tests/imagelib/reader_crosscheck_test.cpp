// Every cross-check file (made at build time by ImageMagick, netpbm or
// giflib) read through the generic reader, from its file and from memory,
// against the pixels its own encoder decodes it to.
#include <gtest/gtest.h>

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
