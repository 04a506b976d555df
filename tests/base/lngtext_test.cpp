// Language texts: the lookup and the two shipped language files.
#include <gtest/gtest.h>

#include "config/lngtext.h"
#include "config/config.h"
#include "testutil.h"

#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

class LngTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        StrCopy(HLPpath, dir_.Path().c_str());
        Language = 1;
    }
    testutil::TempDir dir_;
};

TEST_F(LngTextTest, LooksUpWithTheGermanDefault)
{
    std::string longValue(5000, 'a');
    testutil::WriteFileBytes(dir_.File("deutsch.lng"),
                             "[TEST]\r\nKEY=Wert\r\nEMPTY=\r\nLINES=eins\\nzwei\\n\r\nLONG=" + longValue + "\r\n");
    struct Case {
        const char *section, *key, *def, *expected;
    };
    const Case cases[] = {
        {"TEST", "KEY", "Vorgabe", "Wert"},
        {"test", "key", "Vorgabe", "Wert"},
        {"TEST", "MISSING", "Vorgabe", "Vorgabe"},
        {"NOSECTION", "KEY", "Vorgabe", "Vorgabe"},
        {"TEST", "EMPTY", "Vorgabe", "Vorgabe"},
        {"TEST", "EMPTY", nullptr, ""},
        {"TEST", "LINES", "", "eins\r\nzwei\r\n"},
        {"TEST", "MISSING", "a\\nb", "a\r\nb"},
    };
    for (const Case &c : cases) {
        const char *text = GetLngText(c.section, c.key, c.def);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(strlen(GetLngText("TEST", "LONG", "")), kLngTextMax);
}

TEST_F(LngTextTest, EnglishWithoutItsFileGivesTheGermanDefaults)
{
    testutil::WriteFileBytes(dir_.File("deutsch.lng"), "[TEST]\r\nKEY=Wert\r\n");
    Language = 2;
    EXPECT_STREQ(GetLngText("TEST", "KEY", "Vorgabe"), "Vorgabe");
    StrCopy(HLPpath, "C:\\no\\such\\folder");
    EXPECT_STREQ(GetLngText("TEST", "KEY", "Vorgabe"), "Vorgabe");
}

// section -> key -> text, parsed from the shipped bytes.
using LngFile = std::map<std::string, std::map<std::string, std::string>>;

LngFile ParseLng(const std::string &bytes)
{
    LngFile file;
    std::string section;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            file[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return file;
}

std::string Placeholders(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        size_t j = i + 1;
        while (j < text.size() && isdigit(static_cast<unsigned char>(text[j])))
            ++j;
        if (j < text.size())
            out += text.substr(i, j - i + 1);
        i = j;
    }
    return out;
}

TEST(ShippedLanguageFiles, MatchKeyForKeyInWindows1252)
{
    std::string de = testutil::ReadFileBytes(testutil::DistPath("deutsch.lng"));
    std::string en = testutil::ReadFileBytes(testutil::DistPath("english.lng"));
    ASSERT_FALSE(de.empty());
    ASSERT_FALSE(en.empty());
    for (const std::string *bytes : {&de, &en}) {
        EXPECT_EQ(bytes->find("\xC3"), std::string::npos) << "UTF-8 sequence in a Windows-1252 file";
        for (size_t i = 0; i < bytes->size(); ++i) {
            if ((*bytes)[i] == '\n') {
                ASSERT_TRUE(i > 0 && (*bytes)[i - 1] == '\r') << "line end without CR at byte " << i;
            }
        }
    }
    EXPECT_NE(de.find("Stra\xDF" "enbahn"), std::string::npos);

    LngFile german = ParseLng(de), english = ParseLng(en);
    EXPECT_EQ(german["LANGUAGE"]["NAME"], "Deutsch");
    EXPECT_EQ(english["LANGUAGE"]["NAME"], "English");
    EXPECT_EQ(german["ERR"]["IE500"],
              "Dieses Programm funktioniert nur, wenn Microsoft Internet Explorer ab Version 5.0 installiert ist.");
    for (const auto &[section, keys] : german) {
        ASSERT_TRUE(english.count(section)) << section;
        for (const auto &[key, text] : keys) {
            ASSERT_TRUE(english[section].count(key)) << section << "/" << key;
            EXPECT_EQ(Placeholders(text), Placeholders(english[section][key])) << section << "/" << key;
        }
        EXPECT_EQ(keys.size(), english[section].size()) << section;
    }
    const char *sections[] = {"ERR", "TABS", "CONFIG", "SPEED", "INTERAKTION", "SPRECHBLASEN", "TAGNACHT",
                              "BUSKOMMT", "UHR", "GEHWEG", "HAUSBESCHRIFTUNG", "BUSBESCHRIFTUNG",
                              "SBAHNBESCHRIFTUNG", "LKWBESCHRIFTUNG", "SOUND", "MUSIK", "MAIL", "WETTER",
                              "TARVO", "MESSAGES"};
    for (const char *s : sections)
        EXPECT_TRUE(german.count(s)) << s;
}

}  // namespace
