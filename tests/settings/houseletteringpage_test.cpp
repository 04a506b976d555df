// The house lettering page: the rows' texts and buttons, the system's font and
// colour dialogs, the previews, and the records and sign files Apply writes.
#include "sheet_fixture.h"

#include "base/gdiutil.h"
#include "settings/pagekit.h"
#include "config/config.h"
#include "shell/entry.h"

namespace sheettest {
namespace {

constexpr int kHouseRow = 8;
constexpr int kEdit = 2331, kFont = 2335, kColour = 2348, kReset = 2368, kAnchor = 2327;
constexpr DWORD kPaintWaitMs = 150;
// The drawn previews reach the screen late on a loaded machine.
constexpr DWORD kPixelWaitMs = 30000;
constexpr DWORD kDialogWaitMs = 30000;
// The system dialogs' own controls: the font name list and the red, green
// and blue fields of the colour dialog.
constexpr int kFontFaces = 0x470;
constexpr int kRedField = 706, kGreenField = 707, kBlueField = 708;

std::string HouseKey(int house)
{
    char name[64];
    snprintf(name, sizeof(name), "%s\\Haus%02d", kMainKey, house);
    return name;
}

void PutHouse(int house, DWORD isDefault, const char *text)
{
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, HouseKey(house).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, "Default", 0, REG_DWORD, reinterpret_cast<BYTE *>(&isDefault), sizeof(isDefault));
    RegSetValueExA(k, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(k);
}

std::string HouseString(int house, const char *name)
{
    char buf[256] = {};
    DWORD len = sizeof(buf) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, HouseKey(house).c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &len))
        return "<missing>";
    return buf;
}

DWORD HouseDword(int house, const char *name)
{
    DWORD value = 0, len = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, HouseKey(house).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &len))
        return 0xFFFFFFFF;
    return value;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// Font, colour and reset of a row.
int RowButtons(HWND page, int i)
{
    return Enabled(page, kFont + i) + Enabled(page, kColour + i) + Enabled(page, kReset + i);
}

void Type(HWND page, int i, const std::string &text)
{
    SetDlgItemTextA(page, kEdit + i, text.c_str());
}

// The page repaints and runs the refresh its paint asks for, now rather than
// after the refresh's delay, so that what it decides can be read at once.
void Repaint(HWND page)
{
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(page, WM_PAGEREFRESH_HAUS, 0, 0);
}

COLORREF RowPixel(HWND page, int i, POINT at)
{
    RECT r;
    GetWindowRect(GetDlgItem(page, kAnchor + i), &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&r), 2);
    return PagePixel(page, r.left + at.x, r.top + at.y);
}

COLORREF ResourcePixel(const char *name, POINT at)
{
    HBITMAP bitmap = LoadResourceBitmap(AppInstance, name, FALSE, nullptr, kLoadScene);
    if (!bitmap)
        return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, at.x, at.y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteTrackedBitmap(&bitmap);
    return c;
}

class HouseLetteringTest : public SheetTest {
protected:
    std::string SignFile(int house) { return testutil::ReadFileBytes(SignPath(house)); }
    std::string SignPath(int house)
    {
        char name[32];
        snprintf(name, sizeof(name), "B%02d_01_01_00.BMP", house);
        return dir_->File(name);
    }
};

TEST_F(HouseLetteringTest, TheRowsButtonsFollowTheirTexts)
{
    int typed = -1, cleared = -1, blanks = -1;
    bool changed = false;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kHouseRow));
        Type(page, 0, "Brezel");
        typed = RowButtons(page, 0);
        changed = ApplyEnabled(sheet);
        Type(page, 0, "");
        cleared = RowButtons(page, 0);
        // Blanks only: trimmed away at the next refresh.
        Type(page, 1, "   ");
        Repaint(page);
        blanks = RowButtons(page, 1);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(typed, 3);
    EXPECT_TRUE(changed);
    EXPECT_EQ(cleared, 0);
    EXPECT_EQ(blanks, 0);
    EXPECT_EQ(HouseDword(1, "Default"), 1u);
    EXPECT_EQ(HouseDword(2, "Default"), 1u);
}

TEST_F(HouseLetteringTest, ApplyStoresTheRecordsAndWritesTheSigns)
{
    PutHouse(3, 0, "Alt");
    const std::string before = SignFile(2);
    int ownAfterApply = -1;
    COLORREF resetPixel = 0;
    const POINT inside = {20, 10};
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kHouseRow));
        Type(page, 1, "Test");
        // A paste longer than the record's field is cut to it.
        Type(page, 3, std::string(60, 'x'));
        Click(page, kReset + 2);
        Poll([&] { return (resetPixel = RowPixel(page, 2, inside)) == ResourcePixel("HAUS3_1", inside); },
             kPixelWaitMs);
        PressButton(sheet, PSBTN_APPLYNOW);
        Repaint(page);
        ownAfterApply = RowButtons(page, 1);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(HouseString(2, "Text"), "Test");
    EXPECT_EQ(HouseDword(2, "Default"), 0u);
    EXPECT_NE(SignFile(2), before);
    EXPECT_FALSE(SignFile(2).empty());
    EXPECT_EQ(ownAfterApply, 3);
    EXPECT_EQ(HouseString(4, "Text"), std::string(39, 'x'));
    EXPECT_EQ(HouseDword(3, "Default"), 1u);
    EXPECT_EQ(HouseString(3, "Text"), "");
    EXPECT_EQ(resetPixel, ResourcePixel("HAUS3_1", inside));
}

TEST_F(HouseLetteringTest, OpeningAndCancellingChangesNothing)
{
    PutHouse(1, 0, "Brot");
    RunSheet([&](HWND sheet) { ShowPage(sheet, IndexOfRow(kHouseRow)); });
    const std::string sign = SignFile(1);
    ASSERT_FALSE(sign.empty());
    auto registry = RegistrySnapshot();
    RunSheet([&](HWND sheet) {
        ShowPage(sheet, IndexOfRow(kHouseRow));
        Sleep(kPaintWaitMs);
    });
    EXPECT_EQ(SignFile(1), sign);
    EXPECT_EQ(RegistrySnapshot(), registry);
}

// Without its sign file a house shows its own sign for this run; the user's
// lettering stays chosen, and the Apply of the sheet's OK keeps it stored.
TEST_F(HouseLetteringTest, AnUnwritableFolderShowsTheHousesOwnSignAndKeepsTheUsersChoice)
{
    PutString("HausBeschrPics", dir_->File("missing"));
    PutHouse(4, 0, "Krone");
    PutDword("Language", 0);
    const POINT inside = {30, 12};
    COLORREF shown = 0;
    int buttons = -1;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kHouseRow));
        Repaint(page);
        Poll([&] { return (shown = RowPixel(page, 3, inside)) == ResourcePixel("HAUS4_0", inside); }, kPixelWaitMs);
        buttons = RowButtons(page, 3);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(shown, ResourcePixel("HAUS4_0", inside));
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(HouseDword(4, "Default"), 0u);
    EXPECT_EQ(HouseString(4, "Text"), "Krone");
}

// The system's own dialogs: the same font again marks nothing, another face
// and a colour typed into the colour dialog are stored at Apply.
TEST_F(HouseLetteringTest, FontAndColourDialogs)
{
    PutHouse(1, 0, "Brot");
    bool sameChanged = true, faceChanged = false;
    bool fontSeen = false, colourSeen = false;
    std::string face;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kHouseRow));
        Repaint(page);
        DWORD thread = GetWindowThreadProcessId(sheet, nullptr);
        // The first OK takes the font as the dialog offers it (the prefix
        // may have no Arial); the second gives the same font again.
        HWND dialog = nullptr;
        for (int round = 0; round < 2; ++round) {
            PressButton(sheet, PSBTN_APPLYNOW);
            PostMessageA(page, WM_COMMAND, MAKEWPARAM(kFont, BN_CLICKED), 0);
            dialog = FindDialogWith(thread, kFontFaces, kDialogWaitMs);
            fontSeen = dialog != nullptr;
            if (!dialog)
                return;
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            AwaitDialogEnd(dialog, kDialogWaitMs);
        }
        sameChanged = ApplyEnabled(sheet);

        PostMessageA(page, WM_COMMAND, MAKEWPARAM(kFont, BN_CLICKED), 0);
        dialog = FindDialogWith(thread, kFontFaces, kDialogWaitMs);
        if (!dialog)
            return;
        HWND faces = GetDlgItem(dialog, kFontFaces);
        // Another face than the one the Apply before stored.
        const std::string stored = HouseString(1, "FontName");
        LRESULT other = 0;
        for (; other < SendMessageA(faces, CB_GETCOUNT, 0, 0); ++other) {
            char text[LF_FACESIZE + 1] = {};
            SendMessageA(faces, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(text));
            face = text;
            if (lstrcmpiA(text, stored.c_str()) != 0)
                break;
        }
        SendMessageA(faces, CB_SETCURSEL, other, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFontFaces, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        AwaitDialogEnd(dialog, kDialogWaitMs);
        faceChanged = ApplyEnabled(sheet);

        PostMessageA(page, WM_COMMAND, MAKEWPARAM(kColour, BN_CLICKED), 0);
        dialog = FindDialogWith(thread, kRedField, kDialogWaitMs);
        colourSeen = dialog != nullptr;
        if (!dialog)
            return;
        SetDlgItemTextA(dialog, kRedField, "10");
        SetDlgItemTextA(dialog, kGreenField, "20");
        SetDlgItemTextA(dialog, kBlueField, "30");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        AwaitDialogEnd(dialog, kDialogWaitMs);
        PressButton(sheet, PSBTN_OK);
    });
    ASSERT_TRUE(fontSeen);
    EXPECT_FALSE(sameChanged);
    EXPECT_TRUE(faceChanged);
    EXPECT_EQ(HouseString(1, "FontName"), face);
    ASSERT_TRUE(colourSeen);
    EXPECT_EQ(HouseDword(1, "FontColor"), static_cast<DWORD>(RGB(10, 20, 30)));
}

}  // namespace
}  // namespace sheettest
