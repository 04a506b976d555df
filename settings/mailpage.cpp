// The mail page: whether the scene hints at new mail.
#include "resources/resource.h"
#include "config/config.h"
#include "settings/configdialog.h"
#include "settings/pagekit.h"
#include "settings/settingspages.h"

namespace {

constexpr int kRow = 14;

void Activate(HWND page)
{
    SetLngText(page, IDC_MAIL_TEXT, "MAIL", "TEXT",
               "Ist neue E-Mail da? Wenn Sie ein E-Mail-Programm einsetzen, das MAPI verwendet (zum Beispiel "
               "Outlook), kann ein Hinweis eingeblendet werden, wenn neue E-Mails eingegangen sind.");
    SetLngText(page, IDC_MAIL_CHECK, "MAIL", "NEWMAIL", "Hinweis auf neue &Mail");
    CheckDlgButton(page, IDC_MAIL_CHECK, NoMailCheck == 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowWindow(GetDlgItem(page, IDC_MAIL_CHECK), SW_SHOW);
}

void Refresh(HWND page)
{
    HDC dc = GetDC(page);
    DrawPagePicture(page, dc, IDC_MAIL_NEWMAIL, "NEWMAIL");
    DrawPagePicture(page, dc, IDC_MAIL_BRIEF, "BRIEF");
    ReleaseDC(page, dc);
}

void Apply(HWND page)
{
    NoMailCheck = IsDlgButtonChecked(page, IDC_MAIL_CHECK) == BST_CHECKED ? 0 : 1;
    SaveSettings();
}

const PageHandlers kHandlers = {Activate, Apply};

}  // namespace

INT_PTR CALLBACK MailPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (HandleCommonPageMessage(page, message, wParam, lParam, kSettingsPages[kRow].helpTopic, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(page, &ps);
        EndPaint(page, &ps);
        ArmRefresh(page);
        return TRUE;
    }
    case WM_TIMER:
        if (RefreshTimerFired(page, wParam))
            SendMessageA(page, WM_PAGEREFRESH_MAIL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MAIL_CHECK && HIWORD(wParam) == BN_CLICKED)
            MarkChanged(page);
        return TRUE;
    case WM_NOTIFY:
        return OnPageNotify(page, lParam, kHandlers);
    default:
        if (message == WM_PAGEREFRESH_MAIL) {
            Refresh(page);
            return TRUE;
        }
        return FALSE;
    }
}
