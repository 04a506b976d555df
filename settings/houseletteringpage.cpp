// The house lettering page: a text, a font and a colour of the user's for the
// sign of each of the four houses, or the house's own sign. Each row shows the
// sign as the scene paints it by day in summer.
#include "resources/resource.h"
#include "base/gdiutil.h"
#include "core/notenames.h"
#include "services/houselettering.h"
#include "services/picturefiles.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr int kRow = 8;
constexpr int kHouses = kSignHouses;
constexpr size_t kTextField = sizeof(HausFont[0].Text);  // 39 characters and the zero
constexpr int kMinPoints = 8, kMaxPoints = 36;
constexpr int kCustomColours = 16;

// Shared by the four houses for the life of the program, as the colour
// dialog's own custom colours are.
COLORREF gCustomColours[kCustomColours];

int RowOf(int id, int first) { return (id >= first && id < first + kHouses) ? id - first : -1; }

void EnableRow(HWND page, int i, bool own)
{
    BOOL on = own ? TRUE : FALSE;
    EnableWindow(GetDlgItem(page, IDC_HAUS_FONT + i), on);
    EnableWindow(GetDlgItem(page, IDC_HAUS_COLOUR + i), on);
    EnableWindow(GetDlgItem(page, IDC_HAUS_RESET + i), on);
}

// The signs as the stored records say, so the rows show what is stored.
void WriteAllSigns()
{
    for (int house = 1; house <= kHouses; ++house)
        CreateHausBeschriftung(house, &HausFont[house - 1]);
}

void Init(HWND page)
{
    WriteAllSigns();
    for (int i = 0; i < kHouses; ++i) {
        HWND edit = GetDlgItem(page, IDC_HAUS_EDIT + i);
        // The record's field ends the text: a longer paste would not fit.
        SendMessageA(edit, EM_LIMITTEXT, kTextField - 1, 0);
        EnableWindow(edit, TRUE);
        EnableWindow(GetDlgItem(page, IDC_HAUS_RESET + i), HausFont[i].Default == 0 ? TRUE : FALSE);
    }
}

void Activate(HWND page)
{
    SetLngText(page, IDC_HAUS_TEXT, "HAUSBESCHRIFTUNG", "TEXT",
               "Geben Sie der Bäckerei einen anderen Namen, machen Sie aus der Kneipe etwas Anderes. Ganz wie Sie "
               "möchten ...");
    for (int i = 0; i < kHouses; ++i) {
        SetLngText(page, IDC_HAUS_FONT + i, "HAUSBESCHRIFTUNG", "Schrift", "Schrift");
        SetLngText(page, IDC_HAUS_COLOUR + i, "HAUSBESCHRIFTUNG", "Farbe", "Farbe");
        SetLngText(page, IDC_HAUS_RESET + i, "HAUSBESCHRIFTUNG", "Standard", "Reset");
        SetDlgItemTextA(page, IDC_HAUS_EDIT + i, HausFont[i].Text);
    }
    InvalidateRect(page, nullptr, TRUE);
}

void TextChanged(HWND page, int i)
{
    char text[kTextField] = {};
    GetDlgItemTextA(page, IDC_HAUS_EDIT + i, text, sizeof(text));
    HausFontRecord &house = HausFont[i];
    if (strcmp(text, house.Text) == 0)
        return;
    StrCopy(house.Text, text);
    MarkChanged(page);
    house.Default = text[0] ? 0 : 1;
    EnableRow(page, i, text[0] != '\0');
}

void ChooseFontOf(HWND page, int i)
{
    HausFontRecord &house = HausFont[i];
    LOGFONTA font = house.Font;
    if (!ChooseFontFor(page, &font, 0, kMinPoints, kMaxPoints))
        return;
    if (font.lfHeight == house.Font.lfHeight && font.lfWeight == house.Font.lfWeight &&
        font.lfItalic == house.Font.lfItalic && lstrcmpiA(font.lfFaceName, house.Font.lfFaceName) == 0)
        return;
    house.Font.lfHeight = font.lfHeight;
    house.Font.lfWeight = font.lfWeight;
    house.Font.lfItalic = font.lfItalic;
    StrCopy(house.Font.lfFaceName, font.lfFaceName);
    MarkChanged(page);
}

void ChooseColourOf(HWND page, int i)
{
    HausFontRecord &house = HausFont[i];
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = page;
    choice.rgbResult = house.FontColor;
    choice.lpCustColors = gCustomColours;
    choice.Flags = CC_FULLOPEN | CC_SOLIDCOLOR | CC_RGBINIT;
    if (!ChooseColorA(&choice) || choice.rgbResult == house.FontColor)
        return;
    house.FontColor = choice.rgbResult;
    MarkChanged(page);
}

void Reset(HWND page, int i)
{
    HausFont[i].Default = 1;
    HausFont[i].Text[0] = '\0';
    SetDlgItemTextA(page, IDC_HAUS_EDIT + i, "");
    SendMessageA(page, WM_PAGEREFRESH_HAUS, 0, 0);
    MarkChanged(page);
}

void TrimText(char *text)
{
    size_t start = 0;
    while (text[start] == ' ')
        ++start;
    size_t end = strlen(text);
    while (end > start && text[end - 1] == ' ')
        --end;
    memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

// The user's sign of the house as the lettering wrote it, or 0.
HBITMAP OwnSign(int house)
{
    char name[32], path[kPathLen];
    StrPrintfN(name, sizeof(name), "B%02d_01_01_00.BMP", house);
    if (!JoinFolderPath(HausBeschrPics, name, path, sizeof(path)))
        return nullptr;
    return LoadFromFile(path, 0);
}

void RefreshRow(HWND page, HDC dc, int i)
{
    HausFontRecord &house = HausFont[i];
    TrimText(house.Text);
    house.Default = house.Text[0] ? 0 : 1;
    HBITMAP sign = house.Text[0] ? OwnSign(i + 1) : nullptr;
    bool own = sign != nullptr;
    // A sign that cannot be read shows the house's own sign for now; the
    // user's lettering stays chosen, so that Apply does not store it away
    // after one bad read (the scene falls back alike).
    if (!own) {
        char name[16];
        StrPrintfN(name, sizeof(name), "HAUS%d_%d", i + 1, Language == 1 ? 1 : 0);
        sign = LoadPageBitmap(name);
    }
    DrawPageBitmap(page, dc, IDC_HAUS_PICTURE + i, sign);
    DeleteTrackedBitmap(&sign);
    EnableRow(page, i, own);
}

void Refresh(HWND page)
{
    HDC dc = GetDC(page);
    for (int i = 0; i < kHouses; ++i)
        RefreshRow(page, dc, i);
    ReleaseDC(page, dc);
}

void Apply(HWND page)
{
    for (int i = 0; i < kHouses; ++i) {
        HausFont[i].Text[0] = '\0';
        GetDlgItemTextA(page, IDC_HAUS_EDIT + i, HausFont[i].Text, sizeof(HausFont[i].Text));
    }
    SaveHausSettings();
    WriteAllSigns();
}

void OnCommand(HWND page, int id, int code)
{
    int i;
    if ((i = RowOf(id, IDC_HAUS_EDIT)) >= 0) {
        if (code == EN_CHANGE)
            TextChanged(page, i);
    } else if (code != BN_CLICKED) {
        return;
    } else if ((i = RowOf(id, IDC_HAUS_FONT)) >= 0) {
        ChooseFontOf(page, i);
    } else if ((i = RowOf(id, IDC_HAUS_COLOUR)) >= 0) {
        ChooseColourOf(page, i);
    } else if ((i = RowOf(id, IDC_HAUS_RESET)) >= 0) {
        Reset(page, i);
    }
}

}  // namespace

INT_PTR CALLBACK HausBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kKind = {kRow, Init, OnCommand, {Activate, Apply}, nullptr, WM_PAGEREFRESH_HAUS, Refresh};
    return RunPage(page, message, wParam, lParam, kKind);
}
