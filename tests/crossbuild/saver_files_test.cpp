// The saver's settings in the registry and its log lines come out byte for
// byte the same from the 32-bit and the 64-bit build, and each build reads the
// other's settings back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/debuglog.h"
#include "base/now.h"
#include "base/registry.h"
#include "crossfiles.h"
#include "config/config.h"
#include "testutil.h"

namespace {

struct RegValue {
    std::string name;
    DWORD type;
    std::string data;
};

void PutU32(std::string *out, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

DWORD GetU32(const std::string &in, size_t at)
{
    DWORD v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[at + i]);
    return v;
}

// Every value of the key, sorted by name, as name, NUL, type, size and data.
std::string DumpKey(const char *subKey)
{
    std::vector<RegValue> values;
    HKEY key = RegCreateUserKey(subKey);
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameLen = sizeof(name), dataLen = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        values.push_back({std::string(name, nameLen), type, std::string(reinterpret_cast<char *>(data), dataLen)});
    }
    RegCloseKey(key);
    std::sort(values.begin(), values.end(), [](const RegValue &a, const RegValue &b) { return a.name < b.name; });
    std::string out;
    for (const RegValue &v : values) {
        out += v.name;
        out.push_back('\0');
        PutU32(&out, v.type);
        PutU32(&out, static_cast<DWORD>(v.data.size()));
        out += v.data;
    }
    return out;
}

void LoadKey(const char *subKey, const std::string &dump)
{
    HKEY key = RegCreateUserKey(subKey);
    for (size_t at = 0; at < dump.size();) {
        size_t end = dump.find('\0', at);
        ASSERT_NE(std::string::npos, end);
        std::string name = dump.substr(at, end - at);
        DWORD type = GetU32(dump, end + 1), size = GetU32(dump, end + 5);
        at = end + 9;
        ASSERT_LE(at + size, dump.size());
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(dump.data() + at), size);
        at += size;
    }
    RegCloseKey(key);
}

void SetSampleSettings()
{
    SetDefaultSettings();
    Speed = 23;
    DayNight[0] = 7;
    MP3volume = 640;
    BusKommt[1] = 17;
    StrCopy(METAR, "EDDF");
    StrCopy(WeatherStation, "Frankfurt/Main");
    StrCopy(HausBeschrPics, "C:\\Bilder\\Häuser");
}

class SaverFilesTest : public testing::Test {
protected:
    void SetUp() override { testutil::DeleteUserKey(kMainKey); }
    void TearDown() override
    {
        testutil::DeleteUserKey(kMainKey);
        ClockReset();
    }
};

// The lettering folder is no setting the sheet saves: the start-up writes its
// default back, and a user may have set it by hand.
void StoreLetteringFolder(const char *folder)
{
    HKEY key = RegCreateUserKey(kMainKey);
    ASSERT_NE(nullptr, key);
    RegWriteString(key, "HausBeschrPics", folder);
    RegCloseKey(key);
}

TEST_F(SaverFilesTest, SettingsAreTheSameFromBothBuilds)
{
    SetSampleSettings();
    ASSERT_EQ(ERROR_SUCCESS, SaveSettings());
    StoreLetteringFolder(HausBeschrPics);
    const std::string mine = DumpKey(kMainKey);
    ASSERT_FALSE(mine.empty());
    ASSERT_TRUE(crossfiles::Publish("settings.bin", mine));

    // Where the other build has not run, this build reads its own dump back,
    // so the reading is tried on every machine.
    std::string theirs;
    const bool partner = crossfiles::ReadPartner("settings.bin", &theirs);
    if (partner)
        EXPECT_EQ(mine, theirs);
    else
        theirs = mine;

    testutil::DeleteUserKey(kMainKey);
    LoadKey(kMainKey, theirs);
    SetDefaultSettings();
    ReadSettings();
    EXPECT_EQ(23, Speed);
    EXPECT_EQ(640, MP3volume);
    EXPECT_STREQ("Frankfurt/Main", WeatherStation);
    EXPECT_STREQ("C:\\Bilder\\Häuser", HausBeschrPics);
    if (!partner)
        GTEST_SKIP() << "no settings of the other build in " << crossfiles::PartnerDir();
}

// The log's head names the program's path, processor and memory, which differ
// by nature; the lines the program writes after it must not.
TEST_F(SaverFilesTest, LogLinesAreTheSameFromBothBuilds)
{
    SYSTEMTIME moment = {2026, 12, 4, 24, 18, 30, 5, 0};
    ClockFreeze(moment);
    const std::string path = crossfiles::MyDir() + "\\log.txt";
    DeleteFileA(path.c_str());
    DebugOn = 1;
    OpenDebugLog(path.c_str());
    ASSERT_TRUE(DebugLogIsOpen());
    WriteLog("--- lines of the program ---");
    WriteLog("GELADEN: %d [%s] Straßenbahn %lu", 17, "Fußgänger", 4000000000UL);
    WriteLog("+++ PlayMusic(1) [%s], ERR: %d", "C:\\Musik\\Lied.mp3", 2);
    CloseDebugLog();
    DebugOn = 0;
    std::string log = testutil::ReadFileBytes(path);
    size_t from = log.find("--- lines of the program ---");
    ASSERT_NE(std::string::npos, from);
    const std::string mine = log.substr(from);
    ASSERT_NE(std::string::npos, mine.find("SCR NORMAL BEENDET"));
    ASSERT_TRUE(crossfiles::Publish("log-lines.txt", mine));

    std::string theirs;
    if (!crossfiles::ReadPartner("log-lines.txt", &theirs))
        GTEST_SKIP() << "no log of the other build in " << crossfiles::PartnerDir();
    EXPECT_EQ(mine, theirs);
}

}  // namespace
