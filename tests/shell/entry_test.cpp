#include <gtest/gtest.h>

#include "base/msgnames.h"
#include "shell/entry.h"

#include <string>

namespace {

struct CommandCase {
    const char *line;
    int mode;
    uintptr_t window;
    bool foreground;
};

const CommandCase kCommandCases[] = {
    {"\"C:\\a b\\s.scr\" /p:1234", kModePreview, 1234, false},
    {"s.scr /p 1234", kModePreview, 1234, false},
    {"s.scr -P1234", kModePreview, 1234, false},
    {"s.scr /l 1234", kModePreview, 1234, false},
    {"s.scr /p", kModePreview, 0, false},
    // Handles past 31 bits, as 64-bit systems hand them out.
    {"s.scr /p 3000000000", kModePreview, 3000000000u, false},
    {"s.scr /c:4294967295", kModeConfig, 4294967295u, false},
    {"s.scr /S", kModeFullScreen, 0, false},
    {"s.scr /s", kModeFullScreen, 0, false},
    {"s.scr /c", kModeConfig, 0, true},
    {"s.scr /c:5678", kModeConfig, 5678, false},
    {"s.scr", kModeConfig, 0, false},
    {"\"C:\\a b\\s.scr\"", kModeConfig, 0, false},
    {"\"C:\\a b\\s.scr\"   ", kModeConfig, 0, false},
    {"s.scr /x", kModeUnset, 0, false},
    {"s.scr /a", kModeUnset, 0, false},
};

TEST(CommandLine, ParsesEverySwitchForm)
{
    for (const CommandCase &c : kCommandCases) {
        SaverCommand cmd = ParseSaverCommandLine(c.line);
        EXPECT_EQ(cmd.mode, c.mode) << c.line;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(cmd.window), c.window) << c.line;
        EXPECT_EQ(cmd.useForeground, c.foreground) << c.line;
    }
}

}  // namespace

namespace {

TEST(MessageNames, KnownAndUnknown)
{
    EXPECT_STREQ(GetMessageName(0x0000), "WM_NULL");
    EXPECT_STREQ(GetMessageName(0x000F), "WM_PAINT");
    EXPECT_STREQ(GetMessageName(0x0100), "WM_KEYDOWN");
    EXPECT_STREQ(GetMessageName(0x0200), "WM_MOUSEMOVE");
    EXPECT_STREQ(GetMessageName(0x038F), "WM_PENWINLAST");
    EXPECT_STREQ(GetMessageName(0x8066), "WM_????");
    EXPECT_STREQ(GetMessageName(0x0390), "WM_????");
}

const char kPolicyKey[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
const char kDesktopKey[] = "Control Panel\\Desktop";

void SetSecure(const char *subKey, DWORD type, const std::string &bytes)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (type == REG_NONE)
        RegDeleteValueA(key, "ScreenSaverIsSecure");
    else
        RegSetValueExA(key, "ScreenSaverIsSecure", 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char *>(&v), 4); }

TEST(PasswordPolicy, PolicyDecidesBeforeTheDesktopValue)
{
    struct Case {
        DWORD policyType;
        std::string policy;
        DWORD desktopType;
        std::string desktop;
        bool secure;
    };
    const Case cases[] = {
        {REG_DWORD, Dword(1), REG_DWORD, Dword(0), true},
        {REG_DWORD, Dword(0), REG_DWORD, Dword(1), false},
        {REG_NONE, "", REG_DWORD, Dword(1), true},
        {REG_NONE, "", REG_SZ, std::string("1", 2), true},
        {REG_NONE, "", REG_SZ, std::string("0", 2), false},
        {REG_NONE, "", REG_NONE, "", false},
        {REG_DWORD, Dword(0xFFFFFFFF), REG_DWORD, Dword(1), true},
    };
    for (const Case &c : cases) {
        SetSecure(kPolicyKey, c.policyType, c.policy);
        SetSecure(kDesktopKey, c.desktopType, c.desktop);
        EXPECT_EQ(IsScreenSaverSecure(), c.secure) << &c - cases;
    }
    SetSecure(kPolicyKey, REG_NONE, "");
    SetSecure(kDesktopKey, REG_NONE, "");
}

TEST(PasswordPolicy, NtFamilyNeverAsksTheWindows9xComponent)
{
    CheckWindowsNT();
    EXPECT_EQ(IsNTPlatform, 1);
    EXPECT_EQ(VerifySaverPassword(nullptr), 1);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
}

}  // namespace
