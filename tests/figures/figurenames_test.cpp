// The table of display names: the scene's script rows and the settings must
// name every figure alike, or the speech texts the user edits never show.
#include <gtest/gtest.h>

#include "figures/figurenames.h"
#include "scene/scripts.h"

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

TEST(FigureNames, ScriptRowsNameTheirSections)
{
    for (int id : kSpeechFigureIds) {
        const char *row = FigurDisplayName(id);
        if (!row[0])
            continue;
        EXPECT_STREQ(FigureSectionName(id, 1), row) << "figure " << id;
    }
}

TEST(FigureNames, SectionsAndLanguages)
{
    std::set<int> speech(kSpeechFigureIds, kSpeechFigureIds + kSpeechFigures);
    for (int id = 0; id < kFigureNameIds; ++id) {
        const char *german = FigureSectionName(id, 1);
        const char *english = FigureSectionName(id, 0);
        ASSERT_EQ(german != nullptr, speech.count(id) == 1) << id;
        if (!german)
            continue;
        EXPECT_GT(strlen(german), 0u) << id;
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

// Two figures with one name would share one section of speech texts; only
// figures that are one person do: the resident of door 2 (28, 29, 31, 32),
// the woman of doors 1 and 2 (25, 26, 47) and the baker's wife (55, 58).
int PersonOf(int id)
{
    if (id == 28 || id == 29 || id == 31 || id == 32)
        return 29;
    if (id == 25 || id == 26 || id == 47)
        return 25;
    if (id == 55 || id == 58)
        return 55;
    return id;
}

TEST(FigureNames, NoTwoPeopleShareASection)
{
    for (int language : {0, 1}) {
        std::map<std::string, int> owner;
        for (int id : kSpeechFigureIds) {
            std::string name = FigureSectionName(id, language);
            auto [it, fresh] = owner.emplace(name, id);
            if (!fresh) {
                EXPECT_EQ(PersonOf(it->second), PersonOf(id)) << name << ": " << it->second << " and " << id;
            }
        }
        // A figure outside the list must not take a listed figure's name either.
        for (const ObjectScript &script : FigureScripts()) {
            auto it = owner.find(script.name);
            if (script.name[0] && it != owner.end()) {
                EXPECT_EQ(PersonOf(it->second), PersonOf(script.id))
                    << script.name << ": " << it->second << " and " << script.id;
            }
        }
    }
}

}  // namespace
