// The services in a run of the screensaver built on the test pictures: a
// note typed after key N, and the weather fetched from the test's server.
#include "ftpserver.h"
#include "saver_process.h"

#include "resources/resource.h"
#include "config/config.h"

namespace {

using scenetest::SaverProcess;
using testutil::ReadFileBytes;
using testutil::WaitFor;

class ServicesRun : public SaverProcess {
protected:
    void SetUp() override
    {
        SaverProcess::SetUp();
        testutil::DeleteUserKey(kNotesKey);
    }
    void TearDown() override
    {
        SaverProcess::TearDown();
        testutil::DeleteUserKey(kNotesKey);
        for (const char *name : {"WYN_MAKER_DIR", "WYN_NET_STATE", "WYN_METAR_HOST", "WYN_METAR_PORT"})
            SetEnvironmentVariableA(name, nullptr);
    }
    void SetNotes(const std::string &folder)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kNotesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        // The companion must be there for notes to be allowed.
        std::string companion = testutil::DistPath("");
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE *>(companion.c_str()),
                       static_cast<DWORD>(companion.size() + 1));
        RegSetValueExA(key, "MSGPath", 0, REG_SZ, reinterpret_cast<const BYTE *>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        DWORD on = 1;
        RegSetValueExA(key, "MSGonWyn03", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&on), sizeof(on));
        RegSetValueExA(key, "MSGshowWyn03", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&on), sizeof(on));
        RegCloseKey(key);
    }
};

TEST_F(ServicesRun, KeyNSavesANoteThatIsStillOpenWhenTheSaverEnds)
{
    testutil::TempDir notes;
    SetNotes(notes.Path());
    RunToScene();
    // Letters act when the key goes up.
    Post(WM_KEYDOWN, 'N', 0);
    Post(WM_KEYUP, 'N', 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        dialog = FindWindowA("#32770", "Tandrovi Wendelby 3");
        return dialog && IsWindowVisible(dialog);
    }, 20000)) << Log();
    EXPECT_TRUE(WaitLog("EditNote-Thread gestartet"));
    SetDlgItemTextA(dialog, IDC_NOTE_EDIT, "Bin um drei zur\xFC" "ck.");
    Post(WM_CLOSE);
    EXPECT_EQ(WaitExit(20000), 0) << Log();
    // Where and how the companion looks for them.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((notes.Path() + "\\N_20??????_?????.txt").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << Log();
    FindClose(find);
    EXPECT_STREQ(found.cFileName, "N_20260610_1007a.txt");
    EXPECT_EQ(ReadFileBytes(notes.File(found.cFileName)), "Bin um drei zur\xFC" "ck.");
    EXPECT_EQ(ReadFileBytes(notes.File("~!~.wyn")), "-");
}

TEST_F(ServicesRun, WithTheWeatherSignTheReportIsFetchedAndLogged)
{
    servicetest::FtpServer server;
    server.Serve("EDDF", "2026/06/10 08:20\r\nEDDF 100820Z 25012KT 9999 FEW020 21/12 Q1019 NOSIG\r\n");
    ASSERT_TRUE(server.Start());
    testutil::TempDir maker;
    SetEnvironmentVariableA("WYN_MAKER_DIR", maker.Path().c_str());
    SetEnvironmentVariableA("WYN_NET_STATE", "2");
    SetEnvironmentVariableA("WYN_METAR_HOST", "127.0.0.1");
    SetEnvironmentVariableA("WYN_METAR_PORT", std::to_string(server.Port()).c_str());
    scenetest::SetSettingString("Weather", "1,60,0,0,0,0");
    scenetest::SetSettingString("METAR", "EDDF");
    RunToScene();
    EXPECT_TRUE(WaitLog("GetMETAR() - beendet", 60000)) << Log();
    EXPECT_TRUE(LogHas("GetWeather-Thread gestartet"));
    EXPECT_TRUE(LogHas("TEMP = 21 Celsius"));
    EXPECT_TRUE(LogHas("LUFTDRUCK = 1019 Hektopascal"));
    EXPECT_TRUE(server.LogHas("<- RETR /data/observations/metar/stations/EDDF.TXT"));
    EndCleanly();
}

}  // namespace
