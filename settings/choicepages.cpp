// The clock and pavement pages: four pictures to choose one design from.
#include "resources/resource.h"
#include "config/config.h"
#include "base/gdiutil.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr int kChoices = 4;

struct ChoicePage {
    int row;
    int textId;
    int firstId;
    const char *section;
    const char *germanText;
    const char *picturePrefix;
    int *value;
};

const ChoicePage kUhrPage = {
    6, IDC_UHR_TEXT, IDC_UHR_FIRST, "UHR",
    "Sie haben die Wahl zwischen Analog- und Digital-Uhr. Die Uhr kann entweder bei der Bäckerei oder am "
    "Pfeiler der Straßenbahn-Oberleitung montiert sein.",
    "MSKUHR", &Uhr};
const ChoicePage kGehwegPage = {
    7, IDC_GEHWEG_TEXT, IDC_GEHWEG_FIRST, "GEHWEG",
    "Vorsicht Straße! Die Absperrung am Gehweg soll verhindern, dass Fußgänger unachtsam auf die Straße gehen.",
    "PFLOECKE", &Pfloecke};

// The buttons' pictures belong to the page window, so that an old page that
// goes during a rebuild frees only its own.
struct ButtonPictures {
    HBITMAP bitmaps[kChoices];
};

ButtonPictures *PicturesOf(HWND page)
{
    return reinterpret_cast<ButtonPictures *>(GetWindowLongPtrA(page, DWLP_USER));
}

// A button lets go of its picture before the picture is deleted.
void FreePictures(const ChoicePage &cp, HWND page)
{
    ButtonPictures *pics = PicturesOf(page);
    if (!pics)
        return;
    for (int i = 0; i < kChoices; ++i) {
        SendDlgItemMessageA(page, cp.firstId + i, BM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteTrackedBitmap(&pics->bitmaps[i]);
    }
}

void ShowChoice(const ChoicePage &cp, HWND page)
{
    for (int i = 0; i < kChoices; ++i)
        CheckDlgButton(page, cp.firstId + i, (*cp.value == i) ? BST_CHECKED : BST_UNCHECKED);
}

void Activate(const ChoicePage &cp, HWND page)
{
    SetLngText(page, cp.textId, cp.section, "TEXT", cp.germanText);
    FreePictures(cp, page);
    ButtonPictures *pics = PicturesOf(page);
    for (int i = 0; i < kChoices && pics; ++i) {
        char name[32];
        StrPrintfN(name, sizeof(name), "%s%d", cp.picturePrefix, i);
        pics->bitmaps[i] = LoadPageBitmap(name);
        SendDlgItemMessageA(page, cp.firstId + i, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(pics->bitmaps[i]));
    }
    ShowChoice(cp, page);
    InvalidateRect(page, nullptr, TRUE);
}

INT_PTR ChoicePageProc(const ChoicePage &cp, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR *>(lParam)->code == PSN_KILLACTIVE)
        FreePictures(cp, page);
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[cp.row].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(new ButtonPictures{}));
        return TRUE;
    case WM_DESTROY:
        FreePictures(cp, page);
        delete PicturesOf(page);
        SetWindowLongPtrA(page, DWLP_USER, 0);
        return FALSE;
    case WM_COMMAND: {
        int choice = LOWORD(wParam) - cp.firstId;
        if (choice >= 0 && choice < kChoices && HIWORD(wParam) == BN_CLICKED) {
            *cp.value = choice;
            ShowChoice(cp, page);
            MarkChanged(page);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR *hdr = reinterpret_cast<const NMHDR *>(lParam);
        if (hdr->code == PSN_SETACTIVE) {
            Activate(cp, page);
            return PageResult(page, 0);
        }
        if (hdr->code == PSN_APPLY) {
            SaveSettings();
            return ApplyDone(page);
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK UhrPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ChoicePageProc(kUhrPage, page, message, wParam, lParam);
}

INT_PTR CALLBACK GehwegPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ChoicePageProc(kGehwegPage, page, message, wParam, lParam);
}
