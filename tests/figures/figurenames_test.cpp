// The table of display names: the scene's script rows and the settings must
// name every figure alike, or the speech texts the user edits never show.
#include <gtest/gtest.h>

#include "figures/figurenames.h"
#include "scene/scripts.h"

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(FigureNames, ScriptRowsUseTheTable)
{
    for (int id = 0; id < kFigureNameIds; ++id) {
        const char *row = FigurDisplayName(id);
        if (!row[0])
            continue;
        const char *german = FigureSectionName(id, 1);
        ASSERT_NE(german, nullptr) << "figure " << id << " has a script name but no section";
        EXPECT_STREQ(german, row) << "figure " << id;
    }
}

TEST(FigureNames, SectionsAndLanguages)
{
    std::set<int> speech(kSpeechFigureIds, kSpeechFigureIds + kSpeechFigures);
    for (int id = 0; id < kFigureNameIds; ++id) {
        const char *german = FigureSectionName(id, 1);
        const char *english = FigureSectionName(id, 0);
        EXPECT_EQ(german != nullptr, speech.count(id) == 1) << id;
        if (!german)
            continue;
        EXPECT_LT(strlen(german), 60u) << id;
        bool own = id == 24 || id == 37 || id == 38 || id == 41;
        EXPECT_EQ(own, strcmp(german, english) != 0) << id;
    }
    EXPECT_STREQ(FigureSectionName(24, 0), "Dog");
    EXPECT_STREQ(FigureSectionName(24, 1), "Hund");
    EXPECT_STREQ(FigureSectionName(29, 1), FigureSectionName(32, 1));
    for (int id : kSoundFigureIds)
        EXPECT_EQ(speech.count(id), 1u) << "sound figure " << id << " has no name";
}

}  // namespace
