#include "sheet_fixture.h"

#include "base/registry.h"
#include "settings/configdialog.h"
#include "config/config.h"
#include "shell/entry.h"

#include <atomic>
#include <thread>

namespace sheettest {

namespace {

// The machine is shared by many builds: waits are generous.
constexpr DWORD kSheetWaitMs = 30000;
constexpr DWORD kPollStepMs = 20;
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void SnapshotKey(HKEY root, const std::string &path, std::map<std::string, std::string> *out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof(name), type = 0;
        BYTE data[65536];
        DWORD dataLen = sizeof(data);
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        (*out)[path + "|" + name] = std::to_string(type) + ":" + std::string(reinterpret_cast<char *>(data), dataLen);
    }
    std::vector<std::string> subKeys;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLen = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subKeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string &sub : subKeys) {
        (*out)[path + "\\" + sub] = "key";
        SnapshotKey(root, path + "\\" + sub, out);
    }
}

std::string CopyLanguageFile(const testutil::TempDir &dir, const char *name)
{
    std::string bytes = testutil::ReadFileBytes(testutil::DistPath(name));
    testutil::WriteFileBytes(dir.File(name), bytes);
    return bytes;
}

}  // namespace

void SheetTest::SetUp()
{
    AppInstance = GetModuleHandleA(nullptr);
    testutil::DeleteUserKey("Software\\Tandrovi");
    dir_ = std::make_unique<testutil::TempDir>();
    ASSERT_FALSE(CopyLanguageFile(*dir_, "deutsch.lng").empty());
    ASSERT_FALSE(CopyLanguageFile(*dir_, "english.lng").empty());
    // The program's files (language files, STATIONS.DAT) lie in the fixture
    // folder, as beside the program; the folders a first start stores are
    // stored already.
    SetProgramFolder(dir_->Path().c_str());
    PutString("HLPpath", dir_->Path());
    HKEY notes = RegCreateUserKey(kNotesKey);
    RegWriteString(notes, "Path", dir_->Path().c_str());
    RegCloseKey(notes);
    PutString("Sprechblasen", dir_->File("sb.txt"));
    testutil::WriteFileBytes(dir_->File("sb.txt"), "[Hund]\r\nN=1\r\nTEXT1=Wuff\r\n");
    PutString("MP3file", dir_->File("music.m3u"));
    PutString("BusPics", dir_->File("buspic.dat"));
    PutString("BahnPics", dir_->File("bahnpic.dat"));
    PutString("LKWPics", dir_->File("lkwpic.dat"));
    PutString("HausBeschrPics", dir_->Path());
    PutString("TarvoDat", dir_->File("tarvo.dat"));
}

void SheetTest::TearDown()
{
    SetProgramFolder(nullptr);
    testutil::DeleteUserKey("Software\\Tandrovi");
    dir_.reset();
}

namespace {

void CancelLeftOverDialogs(HWND sheet);

}  // namespace

int SheetTest::RunSheet(const Drive &drive)
{
    std::atomic<bool> driverDone{false};
    std::thread driver([&] {
        HWND sheet = nullptr;
        bool shown = Poll([&] { return (sheet = ConfigSheetWindow) != nullptr && IsWindowVisible(sheet); },
                          kSheetWaitMs);
        EXPECT_TRUE(shown) << "the sheet did not appear";
        if (shown) {
            drive(sheet);
            if (IsWindow(sheet) && ConfigSheetWindow == sheet) {
                CancelLeftOverDialogs(sheet);
                PressButton(sheet, PSBTN_CANCEL);
            }
        }
        driverDone = true;
    });
    int result = DoConfigDialog(nullptr);
    driver.join();
    EXPECT_TRUE(driverDone);
    return result;
}

void SheetTest::PutDword(const char *name, DWORD value)
{
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kMainKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), sizeof(value));
    RegCloseKey(k);
}

void SheetTest::PutString(const char *name, const std::string &text)
{
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kMainKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(k);
}

std::string SheetTest::GetString(const char *name)
{
    char buf[1024] = {};
    DWORD len = sizeof(buf) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kMainKey, name, RRF_RT_REG_SZ, nullptr, buf, &len) != ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

DWORD SheetTest::GetDword(const char *name, DWORD missing)
{
    DWORD value = 0, len = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, kMainKey, name, RRF_RT_REG_DWORD, nullptr, &value, &len) != ERROR_SUCCESS)
        return missing;
    return value;
}

bool SheetTest::HasValue(const char *name)
{
    return RegGetValueA(HKEY_CURRENT_USER, kMainKey, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string SheetTest::LanguageFile(bool english) const
{
    return dir_->File(english ? "english.lng" : "deutsch.lng");
}

void SheetTest::SetLanguageText(bool english, const char *section, const char *key, const char *text)
{
    WritePrivateProfileStringA(section, key, text, LanguageFile(english).c_str());
}

bool Poll(const std::function<bool()> &cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(kPollStepMs);
    }
}

HWND ShowPage(HWND sheet, int index)
{
    if (!SendMessageA(sheet, PSM_SETCURSEL, index, 0))
        return nullptr;
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int IndexOfRow(int row)
{
    for (int i = 0; i < SheetPageCount(); ++i) {
        if (SheetPageRow(i) == row)
            return i;
    }
    return -1;
}

HWND PageOfRow(HWND sheet, int row)
{
    int index = IndexOfRow(row);
    return index < 0 ? nullptr : ShowPage(sheet, index);
}

int PageCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
}

bool ApplyEnabled(HWND sheet)
{
    // The Apply button of the sheet.
    constexpr int kApplyButton = 0x3021;
    return IsWindowEnabled(GetDlgItem(sheet, kApplyButton)) != FALSE;
}

void PressButton(HWND sheet, int button)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    // The sheet's modal loop looks at its end flag only when a posted message
    // arrives; a message sent from this thread is not one.
    PostMessageA(sheet, WM_NULL, 0, 0);
}

std::string TabTitle(HWND sheet, int index)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    char text[256] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string ControlText(HWND page, int id)
{
    char text[4096] = {};
    SendDlgItemMessageA(page, id, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

int SliderPos(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

void MoveSlider(HWND page, int id, int pos)
{
    HWND bar = GetDlgItem(page, id);
    SendMessageA(bar, TBM_SETPOS, TRUE, pos);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), reinterpret_cast<LPARAM>(bar));
}

void Click(HWND page, int id)
{
    SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
}

void SelectCombo(HWND page, int id, int item)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_SETCURSEL, item, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void ChangePicker(HWND page, int id, const SYSTEMTIME &st)
{
    HWND picker = GetDlgItem(page, id);
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = st;
    SendMessageA(page, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
}

SYSTEMTIME PickerValue(HWND page, int id)
{
    SYSTEMTIME st = {};
    SendDlgItemMessageA(page, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

namespace {

struct BoxSearch {
    HWND sheet;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param)
{
    auto *search = reinterpret_cast<BoxSearch *>(param);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (window != search->sheet && strcmp(cls, "#32770") == 0 && IsWindowVisible(window) &&
        GetDlgItem(window, 0xFFFF)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool DismissBox(DWORD threadId, SeenBox *seen, DWORD timeoutMs)
{
    BoxSearch search = {ConfigSheetWindow, nullptr};
    bool found = Poll([&] {
        search.found = nullptr;
        EnumThreadWindows(threadId, FindBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    if (!found)
        return false;
    char text[1024] = {}, caption[256] = {};
    GetDlgItemTextA(search.found, 0xFFFF, text, sizeof(text));
    GetWindowTextA(search.found, caption, sizeof(caption));
    seen->text = text;
    seen->caption = caption;
    seen->owner = GetWindow(search.found, GW_OWNER);
    PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    return true;
}

namespace {

// A dialog search that takes any dialog, whatever its controls.
constexpr int kAnyControl = 0;

struct DialogSearch {
    HWND sheet;
    int controlId;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    auto *search = reinterpret_cast<DialogSearch *>(param);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (window != search->sheet && strcmp(cls, "#32770") == 0 && IsWindowVisible(window) &&
        (search->controlId == kAnyControl || GetDlgItem(window, search->controlId))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A driver that gave up while a common dialog or a box was open would leave
// the sheet's thread in that dialog's loop for good, where the sheet's own
// Cancel cannot reach: whatever is left over the sheet is cancelled first.
void CancelLeftOverDialogs(HWND sheet)
{
    DWORD thread = GetWindowThreadProcessId(sheet, nullptr);
    Poll([&] {
        DialogSearch search = {sheet, kAnyControl, nullptr};
        EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
        return search.found == nullptr;
    }, kSheetWaitMs);
}

// The file name field of the explorer-style file dialog: an edit, or the edit
// of a combo box in newer templates.
constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47C;
// Bounded, not a pace: on a loaded machine the explorer-style file dialog
// takes seconds to come up.
constexpr DWORD kDialogWaitMs = 30000;

HWND FileNameField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, kFileNameEdit);
    return field ? field : GetDlgItem(dialog, kFileNameCombo);
}

HWND FindFileDialog(DWORD threadId)
{
    HWND dialog = nullptr;
    Poll([&] {
        dialog = FindDialogWith(threadId, kFileNameEdit, 0);
        if (!dialog)
            dialog = FindDialogWith(threadId, kFileNameCombo, 0);
        return dialog != nullptr;
    }, kDialogWaitMs);
    return dialog;
}

std::string WindowText(HWND w)
{
    char text[1024] = {};
    GetWindowTextA(w, text, sizeof(text));
    return text;
}

}  // namespace

HWND FindDialogWith(DWORD threadId, int controlId, DWORD timeoutMs)
{
    DialogSearch search = {ConfigSheetWindow, controlId, nullptr};
    Poll([&] {
        search.found = nullptr;
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

bool AwaitDialogEnd(HWND dialog, DWORD timeoutMs)
{
    if (!Poll([&] { return !IsWindow(dialog); }, timeoutMs))
        return false;
    // The sheet's thread takes a sent message only between messages, so once
    // this one is answered the handler that ran the dialog has returned.
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(ConfigSheetWindow, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

bool ChooseInFileDialog(DWORD threadId, const std::string &folder, const std::vector<std::string> &names,
                        bool waitClose)
{
    HWND dialog = FindFileDialog(threadId);
    if (!dialog)
        return false;
    HWND field = FileNameField(dialog);
    std::string typed;
    if (names.size() == 1) {
        // One file: its whole path, as a user may type it.
        typed = folder + "\\" + names[0];
    } else {
        // The folder first: the dialog goes there and empties the field.
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (!Poll([&] { return WindowText(field).empty(); }, kDialogWaitMs))
            return false;
        for (const std::string &name : names)
            typed += (typed.empty() ? "\"" : " \"") + name + "\"";
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return !waitClose || AwaitDialogEnd(dialog, kDialogWaitMs);
}

bool CancelFileDialog(DWORD threadId)
{
    HWND dialog = FindFileDialog(threadId);
    if (!dialog)
        return false;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return AwaitDialogEnd(dialog, kDialogWaitMs);
}

COLORREF PagePixel(HWND page, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(page, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::map<std::string, std::string> RegistrySnapshot()
{
    std::map<std::string, std::string> out;
    SnapshotKey(HKEY_CURRENT_USER, "Software\\Tandrovi", &out);
    SnapshotKey(HKEY_CURRENT_USER, kRunKey, &out);
    return out;
}

}  // namespace sheettest
