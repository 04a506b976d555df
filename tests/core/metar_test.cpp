// The METAR reader and parser on real files in a temp folder.
#include "core/metar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> gLog;
void KeepLog(const char *line) { gLog.emplace_back(line); }

class MetarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLog.clear();
        dir_ = fs::temp_directory_path() /
               ("metar_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string &text)
    {
        std::string path = (dir_ / "metar.dat").string();
        FILE *f = fopen(path.c_str(), "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        return path;
    }

    WeatherReportData Parse(const std::string &text)
    {
        WeatherReportData report = {7, 7, 7, 55, 999, 7, 7};
        ParseMetarFile(Write(text).c_str(), &report, KeepLog);
        return report;
    }

    bool Logged(const std::string &line) const
    {
        for (const std::string &l : gLog)
            if (l == line)
                return true;
        return false;
    }

    fs::path dir_;
};

constexpr int U = kWeatherUnknown;

struct Case {
    const char *report;
    int valid, tempC, tempF, humidity, pressure, cover, kind;
};

// Humidity and pressure keep the previous report's 55 and 999 when absent.
const Case kCases[] = {
    {"EDDF 090820Z 25012KT 9999 FEW020 SCT040 BKN100 12/08 Q1013 NOSIG", 1, 12, 53, 77, 1013, 3, 0},
    {"EDDM 090820Z M05/M10 A2992", 1, -5, 23, 68, 1013, U, 0},
    {"EDDH 090820Z OVC008 FEW020", 1, U, U, 55, 999, 4, 0},
    {"EDDH 090820Z RA BKN010 CAVOK", 1, U, U, 55, 999, 0, 0},
    {"EDDH 090820Z +TSRA", 0, U, U, 55, 999, U, kWeatherThunder},
    {"EDDH 090820Z -SN BR", 0, U, U, 55, 999, U, kWeatherFog},
    {"EDDH 090820Z GS", 0, U, U, 55, 999, U, kWeatherHail},
    {"EDDH 12/08 TEMPO 4000 RA OVC005 M10/M20 Q0999", 1, 12, 53, 77, 999, U, 0},
    {"EDDH 12/08 RMK SLP RA Q0999", 1, 12, 53, 77, 999, U, 0},
    {"EDDH 12/08 becmg RA", 1, 12, 53, 77, 999, U, 0},
    // The station's code holds "RA": a substring search reads it as rain.
    {"KRAL 12/08", 1, 12, 53, 77, 999, U, kWeatherRain},
    // Only the first temperature and pressure count.
    {"EDDH 12/08 05/01 Q1001 Q1020", 1, 12, 53, 77, 1001, U, 0},
    // Groups without their digits are no groups: the temperature stays unknown.
    {"EDDH ///// //// Q10X3 AB/CD", 0, U, U, 55, 999, U, 0},
    {"EDDH M2/05 1/05 Q1013", 0, U, U, 55, 1013, U, 0},
    // Dew point missing.
    {"EDDH 20/", 0, U, U, 55, 999, U, 0},
    // The formula gives 468 % for -20 with a dew point of 0: held at 100.
    {"EDDH M20/", 1, -20, -4, 100, 999, U, 0},
    {"EDDH 20/// SKC", 1, 20, 68, 26, 999, 0, 0},
};

TEST_F(MetarTest, ReportsGiveTheirValues)
{
    for (const Case &c : kCases) {
        WeatherReportData r = Parse("2026/12/09 08:20\n" + std::string(c.report) + "\n");
        SCOPED_TRACE(c.report);
        EXPECT_EQ(r.WeatherValid, c.valid);
        EXPECT_EQ(r.TempC, c.tempC);
        EXPECT_EQ(r.TempF, c.tempF);
        EXPECT_EQ(r.Humidity, c.humidity);
        EXPECT_EQ(r.PressureHPa, c.pressure);
        EXPECT_EQ(r.CloudCover, c.cover);
        EXPECT_EQ(r.WeatherKind, c.kind);
    }
}

TEST_F(MetarTest, LogsWhatItFinds)
{
    Parse("2026/12/09 08:20\r\n  EDDF 090820Z  RA 12/08 Q1013 FEW020 BKN100 CAVOK RMK AO2  \r\n");
    const char *expected[] = {"METAR lesen",
                              "2026/12/09 08:20 EDDF 090820Z  RA 12/08 Q1013 FEW020 BKN100 CAVOK ",
                              "Regen",
                              "TEMP = 12 Celsius",
                              "REL. LUFTFEUCHTIGKEIT = 77 Prozent",
                              "LUFTDRUCK = 1013 Hektopascal",
                              "Wolken 1",
                              "Wolken 3",
                              "Wolkenlos"};
    ASSERT_EQ(gLog.size(), std::size(expected));
    for (size_t i = 0; i < gLog.size(); ++i)
        EXPECT_EQ(gLog[i], expected[i]);
}

TEST_F(MetarTest, EmptyOrMissingFileIsNoReport)
{
    for (const char *text : {"", "  \r\n\r\n \t\n"}) {
        gLog.clear();
        WeatherReportData r = Parse(text);
        EXPECT_EQ(r.WeatherValid, 0);
        EXPECT_EQ(r.TempC, U);
        EXPECT_TRUE(Logged("Keine Wetterdaten"));
    }
    gLog.clear();
    WeatherReportData r = {1, 1, 1, 1, 1, 1, 1};
    ParseMetarFile((dir_ / "missing.dat").string().c_str(), &r, KeepLog);
    EXPECT_EQ(r.WeatherValid, 0);
    EXPECT_TRUE(Logged("+++ Datei nicht vorhanden"));
    EXPECT_TRUE(Logged("Keine Wetterdaten"));
}

TEST_F(MetarTest, OversizedFilesStayInBounds)
{
    // Eleven lines: the eleventh (the only one with a group) is never read.
    std::string eleven;
    for (int i = 0; i < 10; ++i)
        eleven += "EDDF\n";
    eleven += "12/08\n";
    char text[kMetarTextSize];
    EXPECT_EQ(ReadMetarFile(Write(eleven).c_str(), text, sizeof(text), nullptr), 10);
    EXPECT_EQ(Parse(eleven).TempC, U);

    // A 2000-character line is read in pieces of at most 1023.
    std::string longLine(2000, 'X');
    EXPECT_EQ(ReadMetarFile(Write(longLine + " 12/08\n").c_str(), text, sizeof(text), nullptr), 2);
    EXPECT_EQ(Parse(longLine + " 12/08\n").TempC, 12);

    // 300 tokens: those after the 250th are ignored.
    std::string many;
    for (int i = 0; i < 249; ++i)
        many += "E ";
    EXPECT_EQ(Parse(many + "OVC010 12/08").CloudCover, 4);
    std::string tokens300 = many + "E OVC010";
    for (int i = 0; i < 49; ++i)
        tokens300 += " 12/08";
    EXPECT_EQ(Parse(tokens300).CloudCover, U);
    EXPECT_EQ(Parse(tokens300).TempC, U);

    // A 40-character token is cut to 15, the start of which still counts.
    EXPECT_EQ(Parse("EDDF " + std::string(25, '1') + "OVC" + std::string(12, '0')).CloudCover, U);
    EXPECT_EQ(Parse("EDDF OVC" + std::string(37, '0')).CloudCover, 4);

    // A tiny output buffer is filled only as far as it goes.
    char small[8];
    EXPECT_EQ(ReadMetarFile(Write("EDDF 12/08\n").c_str(), small, sizeof(small), nullptr), 1);
    EXPECT_STREQ(small, "");
}

}  // namespace
