// Number lists as the settings store them.
#include <gtest/gtest.h>

#include "core/numberlist.h"

#include <string>
#include <vector>

namespace {

TEST(ParseIntList, ReadsNumbersAcrossSeparators)
{
    struct { const char *text; int n; int count; int values[4]; } cases[] = {
        {"8, 20;12 3", 4, 4, {8, 20, 12, 3}},
        {"-1,x,5", 4, 2, {-1, 5, 0, 0}},
        {"", 4, 0, {0, 0, 0, 0}},
        {"--5", 4, 1, {-5, 0, 0, 0}},
        {"-", 4, 0, {0, 0, 0, 0}},
        {"1,2,3,4,5,6", 4, 4, {1, 2, 3, 4}},
        {"99999999999,7", 4, 2, {2147483647, 7, 0, 0}},
        {"640x480", 4, 1, {640, 0, 0, 0}},
    };
    for (auto c : cases) {
        int out[4] = {9, 9, 9, 9};
        EXPECT_EQ(ParseIntList(c.text, out, c.n), c.count) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(out[i], c.values[i]) << c.text << " #" << i;
    }
}

TEST(IntList, ParsesSeparatorsAndSkipsJunk)
{
    int out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ParseIntList("8, 20;12 3", out, 4), 4);
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{8, 20, 12, 3}));
    EXPECT_EQ(ParseIntList("-1,x,5", out, 4), 2);
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{-1, 5, 0, 0}));
    EXPECT_EQ(ParseIntList("", out, 4), 0);
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(ParseIntList("1,2,3,4,5,6", out, 4), 4);
    std::string huge(6000, '7');
    EXPECT_EQ(ParseIntList(huge.c_str(), out, 4), 1);
}

}  // namespace
