// Speech bubbles: the texts of a figure's section, where the bubble stands,
// what counts as a click on it, the text kept inside its box, its lifetime,
// and one bubble at a time.
#include "street_fixture.h"

#include "base/gdiutil.h"
#include "core/random.h"
#include "scene/bubbles.h"
#include "figures/figurenames.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "scene/scripts.h"
#include "scene_fixture.h"
#include "config/config.h"
#include "shell/entry.h"
#include "shell/keys.h"

#include <string>

namespace {

using scenetest::CountOf;
using streettest::StreetScene;

class Bubbles : public StreetScene {
protected:
    FigurRecord &Figure(int id, const char *name, int x, int y)
    {
        FigurRecord &r = FigurTable[id];
        r.Id = id;
        StrCopy(r.Name, name);
        r.X = x;
        r.Y = y;
        return r;
    }
};

TEST_F(Bubbles, TextsComeFromTheFiguresSection)
{
    WriteSpeechTexts(
        "[Ohne N]\r\nTEXT1=  Erster Text\t \r\nTEXT2=Zweiter\r\n"
        "[Eins]\r\nN=1\r\nTEXT1=Nur dieser\r\nTEXT2=nie\r\n"
        "[Drei]\r\nN=3\r\nTEXT1=a\r\nTEXT2=b\r\nTEXT3=c\r\n"
        "[Leer]\r\nN=1\r\nTEXT1=   \r\n");
    FigurRecord &r = Figure(4, "Ohne N", 300, 150);
    PickSpeechText(&r);
    EXPECT_STREQ(r.SpeechText, "Erster Text");
    StrCopy(r.Name, "Eins");
    for (int i = 0; i < 5; ++i) {
        PickSpeechText(&r);
        EXPECT_STREQ(r.SpeechText, "Nur dieser");
    }
    StrCopy(r.Name, "Drei");
    for (uint32_t seed = 1; seed < 20; ++seed) {
        SeedRand(seed);
        const char expected[2] = {static_cast<char>('a' + Rand() % 3), 0};
        SeedRand(seed);
        PickSpeechText(&r);
        EXPECT_STREQ(r.SpeechText, expected);
    }
    // Blank, missing section or missing file: no text and no bubble, and the
    // talk click is used up anyway.
    for (const char *name : {"Leer", "Fehlt"}) {
        StrCopy(r.Name, name);
        TalkPending = 1;
        FigurSprechblase(&r);
        EXPECT_STREQ(r.SpeechText, "");
        EXPECT_EQ(OpenBubbleKind, 0);
        EXPECT_EQ(TalkPending, 0u);
    }
}

TEST_F(Bubbles, StandsBesideItsFigureAndInsideTheScene)
{
    WriteSpeechTexts("[Fig]\r\nTEXT1=Hallo\r\n");
    struct {
        int x, y;
        bool windowFigures;
        int kind, bx, by;
    } cases[] = {
        {320, 150, false, 2, 380, 70},  {321, 150, false, 1, 151, 70},  {100, 50, false, 2, 160, -30},
        {20, 40, false, 2, 145, -40},   {20, 10, true, 2, 145, -30},    {500, 10, true, 1, 330, -20},
        {500, 10, false, 1, 330, -70},
    };
    for (auto c : cases) {
        PretendOnStage(60, c.windowFigures);
        FigurRecord &r = Figure(4, "Fig", c.x, c.y);
        FigurSprechblase(&r);
        EXPECT_EQ(OpenBubbleKind, c.kind) << c.x << "," << c.y;
        POINT at = BubblePosition();
        EXPECT_EQ(at.x, c.bx) << c.x << "," << c.y;
        EXPECT_EQ(at.y, c.by) << c.x << "," << c.y;
    }
    PretendOnStage(60, false);
}

TEST_F(Bubbles, ItsTailAndEdgesAreNoPartOfIt)
{
    ASSERT_EQ(CreateSprechblase(1, "Hallo", 400, 100, 5), 1);
    struct {
        int x, y;
        bool hit;
    } cases[] = {
        {401, 101, true}, {400, 120, false}, {583, 120, true}, {584, 120, false},
        {450, 100, false}, {450, 157, true}, {450, 158, false},
    };
    for (auto c : cases) {
        MouseX = c.x;
        MouseY = c.y;
        int bx = -1, by = -1;
        EXPECT_EQ(HitSprechblase(&bx, &by), c.hit ? 1 : 0) << c.x << "," << c.y;
        if (c.hit) {
            EXPECT_EQ(bx, c.x - 400);
            EXPECT_EQ(by, c.y - 100);
        }
    }
}

// Every pixel outside the kind's text box is the picture's own; a long text
// leaves its marks only inside.
TEST_F(Bubbles, TheTextStaysInsideTheBoxOfItsPicture)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "Donaudampfschifffahrtsgesellschaftskapitaen und noch viel mehr Worte ";
    struct {
        int kind;
        RECT box;
    } kinds[] = {{1, {10, 2, 175, 54}}, {3, {10, 6, 175, 43}}};
    for (auto k : kinds) {
        char name[24];
        StrPrintfN(name, sizeof(name), "SPRECHBLASE_%02d", k.kind);
        HBITMAP plain = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
        ASSERT_TRUE(plain);
        std::vector<COLORREF> bare = scenetest::BitmapPixels(plain);
        DeleteTrackedBitmap(&plain);
        ASSERT_EQ(CreateSprechblase(k.kind, text.c_str(), 300, 100, 5), 1);
        int inside = 0, outside = 0;
        for (int y = 0; y < kBubbleH; ++y) {
            for (int x = 0; x < kBubbleW; ++x) {
                COLORREF before = bare[static_cast<size_t>(y) * kBubbleW + x];
                // Key-coloured pixels are black in the drawn picture.
                if (before == RGB(255, 0, 255))
                    continue;
                if (BubblePixel(x, y) == before)
                    continue;
                bool inBox = x >= k.box.left && x < k.box.right && y >= k.box.top && y < k.box.bottom;
                ++(inBox ? inside : outside);
            }
        }
        EXPECT_GT(inside, 200) << k.kind;
        EXPECT_EQ(outside, 0) << k.kind;
        KillSprechblase();
    }
}

TEST_F(Bubbles, LivesItsSecondsAndThenCloses)
{
    At(2026, 6, 10, 14, 0, 0);
    ASSERT_EQ(CreateSprechblase(2, "Hallo", 300, 100, 5), 1);
    for (int second = 1; second <= 5; ++second) {
        At(2026, 6, 10, 14, 0, second);
        Frames(3);
        EXPECT_EQ(OpenBubbleKind, 2) << second;
    }
    At(2026, 6, 10, 14, 0, 6);
    Frames(1);
    EXPECT_EQ(OpenBubbleKind, 0);
    EXPECT_EQ(CountOf(Log(), "KILL SPRECHBLASE"), 1);
}

TEST_F(Bubbles, OneAtATimeAndNothingForWhatCannotBeShown)
{
    ASSERT_EQ(CreateSprechblase(1, "Eins", 300, 100, 5), 1);
    LONG open = GdiObjectsAlive();
    ASSERT_EQ(CreateSprechblase(2, "Zwei", 500, 120, 5), 1);
    EXPECT_EQ(OpenBubbleKind, 2);
    EXPECT_EQ(GdiObjectsAlive(), open);
    EXPECT_EQ(CountOf(Log(), "CREATE SPRECHBLASE"), 2);
    EXPECT_EQ(CountOf(Log(), "KILL SPRECHBLASE"), 1);
    EXPECT_EQ(CreateSprechblase(5, "Fuenf", 300, 100, 5), 0);
    EXPECT_EQ(OpenBubbleKind, 0);
    EXPECT_EQ(CreateSprechblase(1, "   ", 300, 100, 5), 0);
    EXPECT_EQ(CreateSprechblase(1, "Null", 300, 100, 0), 0);
    EXPECT_EQ(OpenBubbleKind, 0);
}

}  // namespace

namespace {

// A section of at least three texts, none empty.
void ExpectTexts(const std::string &path, const char *name)
{
    UINT count = GetPrivateProfileIntA(name, "N", 0, path.c_str());
    EXPECT_GE(count, 3u) << name;
    for (UINT k = 1; k <= count; ++k) {
        char key[16], text[256];
        StrPrintfN(key, sizeof(key), "TEXT%u", k);
        GetPrivateProfileStringA(name, key, "", text, sizeof(text), path.c_str());
        EXPECT_STRNE(text, "") << name << " " << key;
    }
}

// The speech texts shipped with the saver hold a section for every figure
// that has a script, under the name the figure reads them by, and for every
// figure that can be talked to in both languages.
TEST(ShippedSpeechTexts, EveryFigureFindsItsSection)
{
    std::string path = testutil::DistPath("sb.txt");
    std::string bytes = testutil::ReadFileBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    int figures = 0;
    for (int id = 1; id <= kLastPedestrian; ++id) {
        // The window scenes are never clicked and have no words.
        if (!FindScript(id) || id == 60)
            continue;
        ++figures;
        const char *name = FigurDisplayName(id);
        ASSERT_STRNE(name, "") << id;
        ExpectTexts(path, name);
    }
    // At least the five walkers the street started with.
    EXPECT_GE(figures, 5);
    for (int id : kSpeechFigureIds)
        for (int language : {0, 1})
            ExpectTexts(path, FigureSectionName(id, language));
}

}  // namespace
