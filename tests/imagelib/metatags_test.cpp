// The "8BIM" image-resource block parser, as one table of buffers.
#include <gtest/gtest.h>

#include "imgtest.h"
#include "metatags.h"

#include <string>

using namespace imgtest;

namespace {

// One block as stored: signature, id, name with its pad, size, data and
// the pad of an odd size. declared overrides the size field.
Bytes Block(uint16_t id, const std::string &name, const std::string &data, int64_t declared = -1)
{
    Bytes b = {'8', 'B', 'I', 'M', static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)};
    b.push_back(static_cast<uint8_t>(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    if (name.size() % 2 == 0)
        b.push_back(0);
    const uint32_t size = declared >= 0 ? static_cast<uint32_t>(declared) : static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<uint8_t>(size >> shift));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() % 2 == 1)
        b.push_back(0);
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct ParseCase {
    const char *what;
    Bytes buffer;
    bool keepAll;
    bool ok;
    int32_t error;
    std::vector<uint16_t> ids;
};

TEST(ResourceBlocks, ParseTable)
{
    const Bytes res = Block(1005, "", "0123456789abcdef");
    const ParseCase cases[] = {
        {"junk before the signature", Join({Bytes{1, 2, 3, '8', 'B'}, res}), false, true, 0, {1005}},
        {"names of 0, 2 and 3 bytes", Join({Block(1, "", "a"), Block(2, "ab", "bc"), Block(3, "abc", "cde")}),
         false, true, 0, {1, 2, 3}},
        {"odd size takes its pad", Join({Block(7, "x", "12345"), Block(8, "", "zz")}), false, true, 0, {7, 8}},
        {"duplicate dropped", Join({res, Block(1005, "", "other"), Block(9, "", "")}), false, true, 0, {1005, 9}},
        {"duplicate kept", Join({res, Block(1005, "", "other")}), true, true, 0, {1005, 1005}},
        {"one block too long", Block(1005, "", "0123", 400), false, false, 67, {}},
        {"too long after a good one", Join({res, Block(2, "", "0123", 400)}), false, true, 0, {1005}},
        // A size near 2^32 must not wrap past the length check.
        {"size wrapping 32 bits", Join({res, Block(2, "", "0123", 0xFFFFFFFF)}), false, true, 0, {1005}},
        {"ends right after a block", res, false, true, 0, {1005}},
        {"cut inside the size", Join({res, Bytes(res.begin(), res.begin() + 9)}), false, false, 67, {1005}},
        {"no signature at all", Bytes(40, 'x'), false, false, 67, {}},
        {"shorter than five", Bytes{'8', 'B', 'I', 'M'}, false, false, 67, {}},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.what);
        ResourceBlockList list;
        EXPECT_EQ(list.Parse(c.buffer.data(), static_cast<uint32_t>(c.buffer.size()), c.keepAll), c.ok);
        EXPECT_EQ(list.Error(), c.error);
        std::vector<uint16_t> ids;
        for (size_t i = 0; i < list.Count(); ++i)
            ids.push_back(list.At(i).id);
        EXPECT_EQ(ids, c.ids);
    }
}

TEST(ResourceBlocks, FoundRecordsHoldTheirDataAndName)
{
    const Bytes buffer = Join({Block(1005, "res", "first"), Block(1005, "", "second"), Block(1, "", "x")});
    ResourceBlockList list;
    ASSERT_TRUE(list.Parse(buffer.data(), static_cast<uint32_t>(buffer.size()), true));
    const ImageResourceBlock *found = list.Find(1005);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "res");
    EXPECT_EQ(found->headerLength, 4 + 2 + 4 + 4);
    EXPECT_EQ(std::string(found->Data(), found->Data() + found->DataSize()), std::string("first", 5) + '\0');
    EXPECT_EQ(std::string(found->block.begin(), found->block.begin() + 4), "8BIM");
    EXPECT_EQ(list.Find(4242), nullptr);
    EXPECT_EQ(list.Error(), 5);
    EXPECT_FALSE(list.Parse(nullptr, 100, false));
    EXPECT_EQ(list.Error(), 5);
    EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
