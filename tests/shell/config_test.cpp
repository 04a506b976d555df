// The settings store against the real registry of the test prefix.
#include <gtest/gtest.h>

#include "config/lngtext.h"
#include "base/registry.h"
#include "scene/objects.h"
#include "config/config.h"
#include "config/settingstable.h"
#include "testutil.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class ConfigTest : public testing::Test {
protected:
    void SetUp() override
    {
        testutil::DeleteUserKey(kMainKey);
        testutil::DeleteUserKey(kNotesKey);
        for (int &n : FigurSheetCount)
            n = 4;
    }
    void TearDown() override
    {
        SetProgramFolder(nullptr);
        testutil::DeleteUserKey(kMainKey);
        testutil::DeleteUserKey(kNotesKey);
    }

    static HKEY Key(const char *subKey = kMainKey) { return RegCreateUserKey(subKey); }

    static void PutDword(const char *name, DWORD value, const char *subKey = kMainKey)
    {
        HKEY k = Key(subKey);
        RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), sizeof(value));
        RegCloseKey(k);
    }
    // Raw bytes, so a test can store a string without its terminator or of any type.
    static void PutRaw(const char *name, DWORD type, const std::string &bytes, const char *subKey = kMainKey)
    {
        HKEY k = Key(subKey);
        RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(k);
    }
    static void PutString(const char *name, const std::string &text, const char *subKey = kMainKey)
    {
        PutRaw(name, REG_SZ, text + '\0', subKey);
    }
    static bool HasValue(const char *name, const char *subKey = kMainKey)
    {
        HKEY k = RegOpenUserKey(subKey);
        if (!k)
            return false;
        bool found = RegQueryValueExA(k, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(k);
        return found;
    }
    static std::string GetString(const char *name, const char *subKey = kMainKey)
    {
        char buf[300] = {0};
        HKEY k = RegOpenUserKey(subKey);
        RegReadString(k, name, buf, sizeof(buf));
        if (k)
            RegCloseKey(k);
        return buf;
    }
    static std::vector<std::string> ValueNames(const char *subKey = kMainKey)
    {
        std::vector<std::string> names;
        HKEY k = RegOpenUserKey(subKey);
        if (!k)
            return names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD len = sizeof(name);
            if (RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        RegCloseKey(k);
        return names;
    }
};

TEST_F(ConfigTest, FirstStartHasDefaultsAndWritesOnlyTheFilledInPaths)
{
    ReadSettings();
    EXPECT_EQ(Language, 1);
    EXPECT_EQ(Interactive, 1);
    EXPECT_STREQ(DebugFileName, "C:\\WYN03.LOG");
    EXPECT_EQ(BusKommt[0], 4);
    EXPECT_EQ(BusKommt[3], 1);
    EXPECT_TRUE(TramOn);
    EXPECT_EQ(Speed, 20);
    EXPECT_EQ(MaxFigurenAktiv, 7);
    EXPECT_EQ(DayNight[1], 20);
    EXPECT_EQ(MP3volume, 1000);
    EXPECT_STREQ(SBFName, "Arial");
    EXPECT_EQ(SprechblasenFont.lfHeight, -10);
    EXPECT_EQ(SprechblasenFont.lfPitchAndFamily, 0x20);
    EXPECT_FALSE(WeatherShow) << "no METAR station yet";
    EXPECT_NE(strstr(MP3file, "\\Tandrovi\\Wendelby 3\\music.m3u"), nullptr) << MP3file;
    EXPECT_NE(strstr(TarvoDat, "\\Tandrovi\\tarvo.dat"), nullptr) << TarvoDat;
    EXPECT_NE(strstr(BusPics, "\\Wendelby 3\\buspic.dat"), nullptr) << BusPics;

    std::vector<std::string> names = ValueNames();
    std::vector<std::string> expected = {"HLPpath", "MP3file", "TarvoDat", "Sprechblasen",
                                         "HausBeschrPics", "BusPics", "BahnPics", "LKWPics"};
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(GetString("MP3file"), MP3file);
}

struct ClampCase {
    const char *name;
    bool isList;
    const char *text;
    DWORD dword;
    const int *target;
    std::vector<int> expected;
};

TEST_F(ConfigTest, ClampsEveryValueAsItIsRead)
{
    const ClampCase cases[] = {
        {"maxCarSpeed", false, nullptr, 3, &maxCarSpeed, {4}},     // equal to min (3): min + 1
        {"maxCarSpeed", false, nullptr, 99, &maxCarSpeed, {50}},
        {"MaxFigurenAktiv", false, nullptr, 17, &MaxFigurenAktiv, {7}},
        {"MaxFigurenAktiv", false, nullptr, 2, &MaxFigurenAktiv, {3}},
        {"Speed", false, nullptr, 0xFFFFFFFF, &Speed, {20}},
        {"Speed", false, nullptr, 41, &Speed, {20}},
        {"Speed", false, nullptr, 40, &Speed, {40}},
        {"figSpeed", false, nullptr, 0x80000000, &figSpeed, {0}},
        {"minCarSpeed", false, nullptr, 0, &minCarSpeed, {1}},
        {"EXIT", false, nullptr, 3, &EXIT, {1}},
        {"MP3volume", false, nullptr, 5000, &MP3volume, {1000}},
        {"SNDvolume", false, nullptr, 0xFFFFFFF6, &SNDvolume, {0}},
        {"SBFHeight", false, nullptr, static_cast<DWORD>(-30), &SBFHeight, {-10}},
        {"SBFHeight", false, nullptr, static_cast<DWORD>(-5), &SBFHeight, {-10}},
        {"SBFHeight", false, nullptr, static_cast<DWORD>(-20), &SBFHeight, {-20}},
        {"SBFWeight", false, nullptr, 999, &SBFWeight, {500}},
        {"SBFItalic", false, nullptr, 0x101, &SBFItalic, {1}},
        {"DayNight", true, "8,12,12,3", 0, DayNight, {8, 19, 12, 3}},
        {"DayNight", true, "0,20,0,0", 0, DayNight, {8, 20, 12, 3}},
        {"DayNight", true, "13,24,13,12", 0, DayNight, {12, 23, 12, 11}},
        {"DayNight", true, "7", 0, DayNight, {7, 19, 12, 3}},       // too few numbers: zeros, then clamps
        {"BusKommt", true, "1,40,6,7", 0, BusKommt, {2, 30, 6, 1}},
        {"BusKommt", true, "5,5,5,0,9,9", 0, BusKommt, {5, 5, 5, 0}},  // too many: the rest is ignored
        {"BusKommt", true, "-99999999999,2147483648,x,-1", 0, BusKommt, {2, 30, 2, 0}},
    };
    for (const ClampCase &c : cases) {
        SetUp();
        if (c.isList)
            PutString(c.name, c.text);
        else
            PutDword(c.name, c.dword);
        ReadSettings();
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(c.target[i], c.expected[i]) << c.name << " " << (c.text ? c.text : "") << " #" << i;
    }
}

TEST_F(ConfigTest, DerivedSwitches)
{
    PutString("BusKommt", "4,6,12,0");
    PutString("Weather", "1,60,1,0,0,0");
    PutString("METAR", "EDD");
    ReadSettings();
    EXPECT_FALSE(TramOn);
    EXPECT_FALSE(WeatherShow) << "a three-letter station switches the weather off";
    EXPECT_TRUE(WeatherFahrenheit);

    PutString("METAR", "EDDF");
    ReadSettings();
    EXPECT_TRUE(WeatherShow);
    EXPECT_STREQ(METAR, "EDDF");
}

TEST_F(ConfigTest, MalformedValuesGiveTheDefault)
{
    PutRaw("Speed", REG_SZ, std::string("12\0", 3));             // wrong type
    PutRaw("Uhr", REG_BINARY, std::string("\x02\x00", 2));        // wrong type and size
    PutDword("SBFName", 7);                                       // a number where a name belongs
    PutString("DebugFileName", std::string(300, 'x'));            // longer than any field
    PutRaw("METAR", REG_SZ, "EDDFXXXXXXXX");                      // no terminator, longer than its field
    PutRaw("WeatherStation", REG_SZ, "Frankfurt");                // no terminator
    PutString("SBFName", std::string(31, 'W'));
    ReadSettings();
    EXPECT_EQ(Speed, 20);
    EXPECT_EQ(Uhr, 0);
    EXPECT_STREQ(DebugFileName, "C:\\WYN03.LOG");
    EXPECT_STREQ(METAR, "EDDFXXX") << "cut to its 8-byte field";
    EXPECT_STREQ(WeatherStation, "Frankfurt");
    EXPECT_EQ(strlen(SBFName), 31u);
    EXPECT_EQ(strlen(SprechblasenFont.lfFaceName), 31u);
}

TEST_F(ConfigTest, ObjectSwitches)
{
    PutDword("nicht005", 1);
    PutDword("nicht006", 0);
    PutDword("nicht131", 7);
    ReadSettings();
    ApplySettingsToFigurTable();
    EXPECT_EQ(FigurSheetCount[5], 0);
    EXPECT_EQ(FigurSheetCount[6], 4);
    EXPECT_EQ(FigurSheetCount[131], 0);
    EXPECT_EQ(FigurSheetCount[132], 4);
}

TEST_F(ConfigTest, SaveThenReadRoundTrips)
{
    ReadSettings();
    Language = 1;
    CloseOnActivate = 1;
    Interactive = 0;
    int bus[4] = {3, 7, 20, 2};
    memcpy(BusKommt, bus, sizeof(bus));
    Uhr = 2;
    Pfloecke = 3;
    EXIT = 2;
    figSpeed = 9;
    minCarSpeed = 10;
    maxCarSpeed = 30;
    Speed = 35;
    NoMailCheck = 0;
    int dn[4] = {7, 21, 11, 4};
    memcpy(DayNight, dn, sizeof(dn));
    Sound = 0;
    for (int i = 0; i < 10; ++i)
        SoundOpt[i] = i;
    int bells[4] = {2, 11, 30, 5};
    memcpy(Glocken, bells, sizeof(bells));
    MusikKommt = 3;
    MP3shuffle = 1;
    MP3volume = 400;
    SNDvolume = 600;
    StrCopy(SBFName, "Verdana");
    SBFHeight = -12;
    SBFWeight = 700;
    SBFItalic = 1;
    BusPics[0] = '\0';
    int weather[6] = {1, 30, 1, 5, 17, 276};
    memcpy(Weather, weather, sizeof(weather));
    StrCopy(METAR, "EDDH");
    StrCopy(WeatherCountry, "Deutschland");
    StrCopy(WeatherStation, "Hamburg");
    int mode[4] = {1024, 768, 16, 60};
    memcpy(DisplayMode, mode, sizeof(mode));
    AccessType = 3;
    FTPPortNumber = 2121;
    StrCopy(Proxy, "proxy:8080");
    ASSERT_EQ(SaveSettings(), ERROR_SUCCESS);
    EXPECT_EQ(Music, 1) << "Music follows MusikKommt";
    EXPECT_EQ(GetString("SoundOpt"), "0,1,2,3,4,5,6,7,8,9");
    EXPECT_EQ(GetString("BusPics"), " ");
    EXPECT_EQ(GetString("Version"), "1,1,0");
    EXPECT_FALSE(HasValue("DebugOn"));
    EXPECT_FALSE(HasValue("MaxFigurenAktiv"));

    SetDefaultSettings();
    ReadSettings();
    ReadDisplayMode();
    ReadProxySettings();
    EXPECT_EQ(CloseOnActivate, 1);
    EXPECT_EQ(Interactive, 0);
    EXPECT_EQ(std::vector<int>(BusKommt, BusKommt + 4), std::vector<int>(bus, bus + 4));
    EXPECT_EQ(Uhr, 2);
    EXPECT_EQ(Pfloecke, 3);
    EXPECT_EQ(EXIT, 2);
    EXPECT_EQ(figSpeed, 9);
    EXPECT_EQ(maxCarSpeed, 30);
    EXPECT_EQ(Speed, 35);
    EXPECT_EQ(NoMailCheck, 0);
    EXPECT_EQ(std::vector<int>(DayNight, DayNight + 4), std::vector<int>(dn, dn + 4));
    EXPECT_EQ(Sound, 0);
    EXPECT_EQ(SoundOpt[9], 9);
    EXPECT_EQ(Glocken[1], 11);
    EXPECT_EQ(Music, 1);
    EXPECT_EQ(MusikKommt, 3);
    EXPECT_EQ(MP3volume, 400);
    EXPECT_STREQ(SBFName, "Verdana");
    EXPECT_EQ(SprechblasenFont.lfWeight, 700);
    EXPECT_EQ(SprechblasenFont.lfItalic, 1);
    EXPECT_NE(strstr(BusPics, "buspic.dat"), nullptr) << "a blank path is filled in again";
    EXPECT_EQ(std::vector<int>(Weather, Weather + 6), std::vector<int>(weather, weather + 6));
    EXPECT_STREQ(WeatherStation, "Hamburg");
    EXPECT_EQ(DisplayMode[0], 1024);
    EXPECT_EQ(AccessType, 3);
    EXPECT_EQ(FTPPortNumber, 2121);
    EXPECT_STREQ(Proxy, "proxy:8080");

    MP3next = 42;
    ASSERT_EQ(SaveMP3next(), ERROR_SUCCESS);
    ReadSettings();
    EXPECT_EQ(MP3next, 42);
}

// Every written row comes back through the table alone, with a value of its
// own that is neither its default nor bent by its bounds.
// The registry's own bytes of a string value, terminator and all.
std::string StoredBytes(const char *name)
{
    char buf[600] = {0};
    DWORD size = sizeof(buf);
    HKEY k = RegOpenUserKey(kMainKey);
    LONG rc = RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::string(buf, size) : "<none>";
}

// A path of the full 255 characters the registry holds reads back as written
// and stays stored; one longer than that is not stored cut, the stored value
// stays.
TEST_F(ConfigTest, PathsOf255CharactersReadBackAndLongerOnesAreNotCut)
{
    const char *const names[] = {"MP3file", "BusPics", "BahnPics", "LKWPics"};
    auto pathOf = [](const char *name, size_t length) {
        std::string path = std::string("C:\\") + name + "\\";
        return path + std::string(length - path.size() - 4, 'p') + ".dat";
    };
    for (const char *name : names)
        PutString(name, pathOf(name, 255));
    ReadSettings();
    for (const char *name : names) {
        SCOPED_TRACE(name);
        char *setting = static_cast<char *>(FindSetting(name)->storage);
        EXPECT_EQ(std::string(setting), pathOf(name, 255));
        EXPECT_EQ(StoredBytes(name), pathOf(name, 255) + '\0');
        StrCopyN(setting, kPathLen, pathOf(name, 259).c_str());
    }
    SaveSettings();
    for (const char *name : names)
        EXPECT_EQ(StoredBytes(name), pathOf(name, 255) + '\0') << name;
}

TEST_F(ConfigTest, EveryWrittenRowReadsBackWhatItWrote)
{
    std::vector<std::string> names;
    for (size_t r = 0; r < kSettingRowCount; ++r) {
        const SettingRow &row = kSettingRows[r];
        const char *subKey = row.group == SettingGroup::Notes ? kNotesKey : kMainKey;
        names.push_back(std::string(subKey) + "\\" + row.name);
        if (!(row.flags & kSettingWritten))
            continue;
        SCOPED_TRACE(row.name);
        std::vector<int> numbers;
        if (row.kind == SettingKind::Text) {
            StrCopyN(static_cast<char *>(row.storage), static_cast<size_t>(row.count), "Wert");
        } else {
            int *values = static_cast<int *>(row.storage);
            for (int i = 0; i < row.count; ++i) {
                int wanted = row.bounds ? row.bounds[i].lo + 1 : 7 + i;
                values[i] = wanted;
                numbers.push_back(wanted);
                ASSERT_EQ(BoundSetting(row, i, wanted), wanted);
            }
        }
        HKEY key = RegCreateUserKey(subKey);
        WriteSettingRows(key, row.group);
        ApplySettingDefaults(row.group);
        ReadSettingRows(key, row.group);
        RegCloseKey(key);
        if (row.kind == SettingKind::Text)
            EXPECT_STREQ(static_cast<char *>(row.storage), "Wert");
        else
            EXPECT_EQ(std::vector<int>(static_cast<int *>(row.storage), static_cast<int *>(row.storage) + row.count),
                      numbers);
        EXPECT_EQ(FindSetting(row.name), &row);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "a name stored twice";
}

TEST_F(ConfigTest, TheLogReportShowsTheSettingsAsTheUserSetThem)
{
    SetDefaultSettings();
    static std::vector<std::string> lines;
    lines.clear();
    ReportSettingRows([](const char *text) { lines.push_back(text); });
    std::vector<std::string> expected = {
        "Timerintervall:     20", "figSpeed:           2", "minCarSpeed:        3", "maxCarSpeed:        5",
        "Tag ab:             8",  "Nacht ab:           21", "Winter ab:          12", "Winterdauer:        4",
        "Sound:              J",  "Musik:              N", "Interaktiv:         J", "Stra\xDF" "enbahn:        J"};
    EXPECT_EQ(lines, expected);
}

TEST_F(ConfigTest, FigureSoundsAreWrittenOrDeleted)
{
    char path[256];
    ASSERT_EQ(SaveFigurSound(5, "C:\\sounds\\hallo.wav"), ERROR_SUCCESS);
    EXPECT_TRUE(ReadFigurSound(5, path, sizeof(path)));
    EXPECT_STREQ(path, "C:\\sounds\\hallo.wav");

    SaveFigurSound(5, "ab");
    EXPECT_FALSE(HasValue("SF_005"));
    EXPECT_FALSE(ReadFigurSound(5, path, sizeof(path)));
    EXPECT_STREQ(path, " ");

    SaveFigurSound(6, "C:\\x.wav");
    SaveFigurSound(6, nullptr);
    EXPECT_FALSE(HasValue("SF_006"));
}

TEST_F(ConfigTest, NotesSettings)
{
    testutil::TempDir dir;
    ReadSettings();
    ReadMSGSettings();
    // Nothing stored the companion's folder: the program's own is taken and
    // stored, as an installer would have. No zettler.exe lies beside the test.
    char program[MAX_PATH];
    GetProgramFolder(program, sizeof(program));
    EXPECT_STREQ(ZettlerPath, program);
    EXPECT_EQ(GetString("Path", kNotesKey), program);
    EXPECT_EQ(MSGonWyn03, 0) << "no zettler.exe in the companion's folder";
    EXPECT_STREQ(MSGPath, HLPpath);
    EXPECT_EQ(MSGdispWyn03, 1);
    EXPECT_EQ(MSGcheck, 1);

    PutString("Path", "  " + dir.Path() + "  ", kNotesKey);
    PutString("MSGPath", "   ", kNotesKey);
    PutDword("MSGonWyn03", 1, kNotesKey);
    ReadMSGSettings();
    EXPECT_STREQ(ZettlerPath, dir.Path().c_str()) << "blanks trimmed";
    EXPECT_EQ(MSGonWyn03, 0) << "the folder has no zettler.exe";

    testutil::WriteFileBytes(dir.File("zettler.exe"), "MZ");
    ReadMSGSettings();
    EXPECT_EQ(MSGonWyn03, 1);

    MSGPath[0] = '\0';
    MSGshowWyn03 = 1;
    ASSERT_EQ(SaveMSGSettings(), ERROR_SUCCESS);
    EXPECT_EQ(GetString("MSGPath", kNotesKey), " ");
    EXPECT_EQ(GetString("Path", kNotesKey), "  " + dir.Path() + "  ") << "a stored companion folder is kept";
}

TEST_F(ConfigTest, HouseLettering)
{
    char sub[300];
    StrPrintfN(sub, sizeof(sub), "%s\\Haus%02d", kMainKey, 3);
    PutString("Text", "Café Zucker und noch viel mehr Text als vierzig Zeichen", sub);
    PutDword("FontItalic", 5, sub);
    PutDword("Default", 0, sub);
    ReadHausSettings();
    EXPECT_EQ(HausFont[0].Default, 1u);
    EXPECT_EQ(HausFont[0].FontColor, 0xFF0000u);
    EXPECT_STREQ(HausFont[0].Font.lfFaceName, "Arial");
    EXPECT_EQ(HausFont[0].Font.lfHeight, -12);
    EXPECT_EQ(HausFont[2].Default, 0u);
    EXPECT_EQ(strlen(HausFont[2].Text), 39u);
    EXPECT_EQ(HausFont[2].Font.lfItalic, 1);

    StrCopy(HausFont[1].Text, "Bäckerei");
    HausFont[1].Font.lfWeight = 700;
    SaveHausSettings();
    ReadHausSettings();
    EXPECT_STREQ(HausFont[1].Text, "Bäckerei");
    EXPECT_EQ(HausFont[1].Font.lfWeight, 700);
}

TEST_F(ConfigTest, EnglishNeedsItsLanguageFileBesideTheProgram)
{
    testutil::TempDir dir;
    PutDword("Language", 2);
    SetProgramFolder(dir.Path().c_str());
    ReadSettings();
    EXPECT_EQ(Language, 1) << "no english.lng: back to German";

    testutil::WriteFileBytes(dir.File("english.lng"), "[LANGUAGE]\r\nNAME=English\r\n");
    ReadSettings();
    EXPECT_EQ(Language, 2);
}

TEST_F(ConfigTest, FirstStartFindsTheEnglishFileBesideTheProgram)
{
    // On a first start HLPpath is not stored yet: the program's own folder
    // must be known before the English file is looked for.
    char folder[MAX_PATH];
    GetProgramFolder(folder, sizeof(folder));
    std::string english = std::string(folder) + "\\english.lng";
    bool made = !testutil::FileExists(english);
    if (made)
        testutil::WriteFileBytes(english, "[LANGUAGE]\r\nNAME=English\r\n");
    PutDword("Language", 2);
    ReadSettings();
    EXPECT_EQ(Language, 2);
    EXPECT_STREQ(HLPpath, folder);
    if (made)
        DeleteFileA(english.c_str());
}

// After a move or a change between the 32-bit and the 64-bit program set the
// stored folder is another install's: its language files, help, station list
// and bass.dll are not this program's.
TEST_F(ConfigTest, TheProgramsFilesComeFromItsOwnFolderNotAStoredOne)
{
    testutil::TempDir other;
    testutil::WriteFileBytes(other.File("english.lng"), "[LANGUAGE]\r\nNAME=English\r\n");
    char program[MAX_PATH];
    GetProgramFolder(program, sizeof(program));
    ASSERT_FALSE(testutil::FileExists(std::string(program) + "\\english.lng"));
    for (const std::string &stored : {other.Path(), std::string("C:\\Programme\\geloescht")}) {
        PutString("HLPpath", stored);
        PutDword("Language", 0);
        ReadSettings();
        EXPECT_STREQ(HLPpath, program) << stored;
        EXPECT_EQ(GetString("HLPpath"), program) << stored;
        EXPECT_EQ(Language, 1) << "the other folder's english.lng is not the program's";
    }
}

TEST_F(ConfigTest, SpeechTextsAreCopiedOnceIntoTheProductFolder)
{
    testutil::TempDir help;
    testutil::WriteFileBytes(help.File("sb.txt"), "[Figur]\r\nN=1\r\nTEXT1=Hallo\r\n");
    char product[MAX_PATH];
    GetProductFolder(product, sizeof(product));
    std::string target = std::string(product) + "\\sb.txt";
    DeleteFileA(target.c_str());

    SetProgramFolder(help.Path().c_str());
    PutString("Sprechblasen", "C:\\does\\not\\exist.txt");
    ReadSettings();
    EXPECT_EQ(std::string(Sprechblasen), target);
    EXPECT_EQ(GetString("Sprechblasen"), target);
    EXPECT_EQ(testutil::ReadFileBytes(target), "[Figur]\r\nN=1\r\nTEXT1=Hallo\r\n");

    testutil::WriteFileBytes(target, "edited");
    ReadSettings();
    EXPECT_EQ(testutil::ReadFileBytes(target), "edited") << "an existing file is never overwritten";
    DeleteFileA(target.c_str());
}

}  // namespace
