// Metafile size rules: placeable extents, natural sizes from the frame, the
// flags, and the sizes refused.
#include <gtest/gtest.h>

#include "metafilesize.h"

namespace {

PlaceableHeader Placeable(int16_t right, int16_t bottom, uint16_t unitsPerInch)
{
    PlaceableHeader h;
    h.present = true;
    h.right = right;
    h.bottom = bottom;
    h.unitsPerInch = unitsPerInch;
    return h;
}

MetafileFrame Frame(int32_t right, int32_t bottom, int32_t pixelsX, int32_t pixelsY, int32_t mmX, int32_t mmY)
{
    MetafileFrame f;
    f.right = right;
    f.bottom = bottom;
    f.devicePixelsX = pixelsX;
    f.devicePixelsY = pixelsY;
    f.deviceMillimetresX = mmX;
    f.deviceMillimetresY = mmY;
    return f;
}

}  // namespace

TEST(MetafileSize, PlaceableHeaderFromBytes)
{
    const BYTE head[22] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0xF6, 0xFF, 2, 0, 0xA0, 0x05, 0xD0, 0x02, 0xA0, 0x05};
    PlaceableHeader h = ReadPlaceableHeader(head, sizeof(head));
    ASSERT_TRUE(h.present);
    EXPECT_EQ(h.left, -10);
    EXPECT_EQ(h.top, 2);
    EXPECT_EQ(h.right, 1440);
    EXPECT_EQ(h.bottom, 720);
    EXPECT_EQ(h.unitsPerInch, 1440);
    EXPECT_FALSE(ReadPlaceableHeader(head, 21).present);
    BYTE other[22] = {1, 0, 9, 0};
    EXPECT_FALSE(ReadPlaceableHeader(other, sizeof(other)).present);
}

TEST(MetafileSize, NaturalSizes)
{
    const PlaceableHeader none;
    const MetafileFrame noFrame;
    struct Case {
        const char *what;
        PlaceableHeader placeable;
        MetafileFrame frame;
        uint32_t flags;
        int32_t width;
        int32_t height;
        bool ok;
        int32_t wantWidth;
        int32_t wantHeight;
    } cases[] = {
        // One inch by half an inch comes out a pixel short of 96 x 48.
        {"placeable", Placeable(1440, 720, 1440), noFrame, 0, 0, 0, true, 95, 47},
        {"placeable 50%", Placeable(1440, 720, 1440), noFrame, kMetafilePercent, 50, 50, true, 47, 23},
        {"given size", Placeable(1440, 720, 1440), noFrame, kMetafileGivenSize, 200, 100, true, 200, 100},
        {"placeable 0 units per inch", Placeable(1440, 720, 0), noFrame, 0, 0, 0, false, 0, 0},
        {"placeable upside down", Placeable(-1440, 720, 1440), noFrame, 0, 0, 0, false, 0, 0},
        {"placeable too large", Placeable(32767, 720, 100), noFrame, 0, 0, 0, false, 0, 0},
        // 2 x 1 cm on a device of 1280 pixels in 320 mm: 4 pixels a mm.
        {"frame", none, Frame(2000, 1000, 1280, 1024, 320, 256), 0, 0, 0, true, 80, 40},
        {"frame 0 mm", none, Frame(2000, 1000, 1280, 1024, 0, 256), 0, 0, 0, false, 0, 0},
        {"frame of nothing", none, Frame(0, 1000, 1280, 1024, 320, 256), 0, 0, 0, false, 0, 0},
        {"frame too large", none, Frame(2000000000, 1000, 1280, 1024, 1, 256), 0, 0, 0, false, 0, 0},
        {"given size 0", none, noFrame, kMetafileGivenSize, 0, 100, false, 0, 0},
        {"given size too large", none, noFrame, kMetafileGivenSize, 16385, 100, false, 0, 0},
        {"given size largest", none, noFrame, kMetafileGivenSize, 16384, 1, true, 16384, 1},
    };
    for (const Case &c : cases) {
        MetafileSizeRequest request;
        request.flags = c.flags;
        request.width = c.width;
        request.height = c.height;
        int32_t w = -1;
        int32_t h = -1;
        ASSERT_EQ(MetafileNaturalSize(c.placeable, c.frame, request, w, h), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(w, c.wantWidth) << c.what;
            EXPECT_EQ(h, c.wantHeight) << c.what;
        }
    }
}
