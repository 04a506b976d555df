// The mail check on Wine's own MAPI32 and on the test's own entry table.
#include "fakemapi.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include "base/debuglog.h"
#include "services/mail.h"
#include "config/config.h"
#include "shell/startup.h"

namespace {

using servicetest::FakeMapiEntries;
using servicetest::gFakeMapi;

class MailCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseMapiEntries(nullptr);
        SetEnvironmentVariableA("WYN_MAPI_LIBRARY", nullptr);
        gFakeMapi = {};
        NoMailCheck = 0;
        MailCheckOn = 0;
        MailBaseline = -1;
        DebugOn = 1;
        OpenDebugLog(dir_.File("wyn.log").c_str());
    }
    void TearDown() override
    {
        if (MailCheckOn)
            MailLogoff(nullptr);
        MailCheckOn = 0;
        FreeMAPI();
        UseMapiEntries(nullptr);
        SetEnvironmentVariableA("WYN_MAPI_LIBRARY", nullptr);
        CloseDebugLog();
        DebugOn = 0;
    }
    std::string Log() const { return testutil::ReadFileBytes(dir_.File("wyn.log")); }
    testutil::TempDir dir_;
};

TEST_F(MailCheck, WinesOwnMapiLogsOnCountsNothingAndIsFreedAtTheEnd)
{
    ASSERT_GT(GetProfileIntA("Mail", "MAPI", 0), 0) << "a new Wine prefix names a MAPI provider";
    StartMailCheck(nullptr);
    ASSERT_EQ(MailCheckOn, 1);
    EXPECT_EQ(MailBaseline, 0);
    EXPECT_TRUE(MapiLibraryLoaded());
    EXPECT_NE(Log().find("MAPI gestartet"), std::string::npos);
    EXPECT_EQ(CountUnread(nullptr), 0);  // Wine's MAPIFindNext is not supported
    MailLogoff(nullptr);
    MailCheckOn = 0;
    EXPECT_FALSE(MapiLibraryLoaded());
}

TEST_F(MailCheck, NoProviderOrNoCheckNeverLoadsTheLibrary)
{
    // win.ini is shared by every test of the prefix: changed and restored under its lock.
    char before[16] = "";
    GetProfileStringA("Mail", "MAPI", "", before, sizeof(before));
    WriteProfileStringA("Mail", "MAPI", "0");
    StartMailCheck(nullptr);
    WriteProfileStringA("Mail", "MAPI", before[0] ? before : nullptr);
    EXPECT_EQ(MailCheckOn, 0);
    EXPECT_FALSE(MapiLibraryLoaded());
    NoMailCheck = 1;
    StartMailCheck(nullptr);
    EXPECT_EQ(MailCheckOn, 0);
    EXPECT_FALSE(MapiLibraryLoaded());
}

TEST_F(MailCheck, LibraryMissingOrWithoutTheEntries)
{
    SetEnvironmentVariableA("WYN_MAPI_LIBRARY", "nosuchmapi.dll");
    EXPECT_EQ(LoadMAPI(), 2);
    EXPECT_EQ(MailLogon(nullptr), 2);
    SetEnvironmentVariableA("WYN_MAPI_LIBRARY", "version.dll");
    EXPECT_EQ(LoadMAPI(), 4);
    EXPECT_FALSE(MapiLibraryLoaded());
    EXPECT_EQ(MailLogon(nullptr), 2);
    StartMailCheck(nullptr);
    EXPECT_EQ(MailCheckOn, 0);
}

TEST_F(MailCheck, BaselineAndTheCallsTheProviderSees)
{
    UseMapiEntries(&FakeMapiEntries());
    gFakeMapi.unread = 2;
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4711));
    StartMailCheck(owner);
    ASSERT_EQ(MailCheckOn, 1);
    EXPECT_EQ(MailBaseline, 2);
    const std::vector<std::string> expected = {
        "Logon 4711 null null 0",
        "FindNext 1234 null \"\" 20",
        "FindNext 1234 null \"MSG0001\" 20",
        "FindNext 1234 null \"MSG0002\" 20",
    };
    EXPECT_EQ(gFakeMapi.calls, expected);
    gFakeMapi.unread = 3;
    EXPECT_EQ(CountUnread(owner), 3);
    MailLogoff(owner);
    MailCheckOn = 0;
    EXPECT_EQ(gFakeMapi.calls.back(), "Logoff 4660");
}

TEST_F(MailCheck, RefusedLogonLeavesTheCheckOff)
{
    UseMapiEntries(&FakeMapiEntries());
    gFakeMapi.logonResult = 3;  // MAPI_E_LOGIN_FAILURE
    StartMailCheck(nullptr);
    EXPECT_EQ(MailCheckOn, 0);
    EXPECT_EQ(Log().find("MAPI gestartet"), std::string::npos);
}

TEST_F(MailCheck, AProviderThatNeverMovesOnEndsTheCount)
{
    UseMapiEntries(&FakeMapiEntries());
    ASSERT_EQ(MailLogon(nullptr), 0);
    gFakeMapi.sameIdForever = true;
    EXPECT_EQ(CountUnread(nullptr), 1);
    EXPECT_LE(gFakeMapi.calls.size(), 3u);
}

}  // namespace
