// The JPEG, PNG and TIFF readers against files written by encoders that are
// not ours (ImageMagick, cjpeg, tiffcp) and against ImageMagick's own
// decode of each file; make_codec_crosscheck.py makes the set at build time.
#include <gtest/gtest.h>

#include "codecfixtures.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

using namespace imgtest;

namespace {

#ifdef WYN_CODEC_CROSSCHECK_DIR
const std::string kDir = WYN_CODEC_CROSSCHECK_DIR;
#else
const std::string kDir;
#endif

struct Entry {
    std::string file;
    uint32_t width = 0;
    uint32_t height = 0;
    int tolerance = 0;
    std::string expected;
};

std::vector<Entry> Manifest()
{
    std::vector<Entry> entries;
    std::ifstream in(kDir + "/manifest.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Entry e;
        if (fields >> e.file >> e.width >> e.height >> e.tolerance >> e.expected)
            entries.push_back(e);
    }
    return entries;
}

TEST(CodecCrossCheck, ReadersAgreeWithImageMagick)
{
    if (kDir.empty())
        GTEST_SKIP() << "no cross-check set in this build";
    const std::vector<Entry> entries = Manifest();
    ASSERT_GT(entries.size(), 50u);
    for (const Entry &e : entries) {
        SCOPED_TRACE(e.file);
        const std::string path = kDir + "/" + e.file;
        HISSRC src = OpenFileSource(path.c_str());
        ASSERT_NE(src, nullptr);
        uint32_t w = 0;
        uint32_t h = 0;
        Result image(ReadGeneric(src, &w, &h));
        EXPECT_EQ(GetLastImageError(), 0);
        CloseSource(src);
        ASSERT_NE(image.Get(), nullptr);
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
        const Bytes expected = ReadFile(kDir + "/" + e.expected);
        EXPECT_LE(MaxDifference(image.Copy(static_cast<size_t>(w) * h * 3), expected), e.tolerance);
    }
}

}  // namespace
