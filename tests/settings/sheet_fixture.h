// The harness for the settings sheet: the sheet runs on the test thread inside
// DoConfigDialog while a driver thread takes it from the callback's global and
// drives it with messages. Every wait is bounded.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "testutil.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sheettest {

// A message box the driver found and dismissed.
struct SeenBox {
    std::string text;
    std::string caption;
    HWND owner = nullptr;
};

// What the driver does with the sheet; it runs on the driver thread.
using Drive = std::function<void(HWND sheet)>;

class SheetTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the settings mode with the driver; the driver presses Cancel when
    // it leaves the sheet open. Returns DoConfigDialog's result.
    int RunSheet(const Drive &drive);

    // Registry helpers on the main key.
    static void PutDword(const char *name, DWORD value);
    static void PutString(const char *name, const std::string &text);
    static std::string GetString(const char *name);
    static DWORD GetDword(const char *name, DWORD missing = 0xFFFFFFFF);
    static bool HasValue(const char *name);

    // The language files in the fixture folder (the program's folder).
    std::string LanguageFile(bool english) const;
    void SetLanguageText(bool english, const char *section, const char *key, const char *text);

    std::unique_ptr<testutil::TempDir> dir_;
};

// ---- driver-side helpers (run on the driver thread)

// Shows the sheet's page at index and returns its window (0 when it failed).
HWND ShowPage(HWND sheet, int index);
// The sheet index of the page of a table row, -1 when it is not in the sheet.
int IndexOfRow(int row);
HWND PageOfRow(HWND sheet, int row);
int PageCount(HWND sheet);
bool ApplyEnabled(HWND sheet);
void PressButton(HWND sheet, int button);  // PSBTN_*
std::string TabTitle(HWND sheet, int index);
std::string ControlText(HWND page, int id);
int SliderPos(HWND page, int id);
// Moves a slider as the user would: position, then the page's scroll message.
void MoveSlider(HWND page, int id, int pos);
void Click(HWND page, int id);
void SelectCombo(HWND page, int id, int item);
// Sets a date or time picker as the user would: the value, then the change
// notification the picker sends only for the user's own edits.
void ChangePicker(HWND page, int id, const SYSTEMTIME &st);
SYSTEMTIME PickerValue(HWND page, int id);
// Waits for a message box of the sheet's thread, reads it and presses OK.
bool DismissBox(DWORD threadId, SeenBox *seen, DWORD timeoutMs);
// A window of the sheet's thread, other than the sheet, that holds a control
// with this id: a common dialog or a box. 0 when none came in time.
HWND FindDialogWith(DWORD threadId, int controlId, DWORD timeoutMs);
// Waits until a common dialog or box of the sheet's thread has gone and the
// page's handler that opened it has returned: what that handler does after
// the dialog ends (marking the page changed, storing a choice) is done then.
bool AwaitDialogEnd(HWND dialog, DWORD timeoutMs);
// Chooses files in the system's file dialog as a user does: one file by its
// whole path; several by going to the folder first and then typing the
// names, each in quotes. Presses Open (or Save); with waitClose, waits until
// the dialog has gone. False when no file dialog came (or, waiting, it stayed).
bool ChooseInFileDialog(DWORD threadId, const std::string &folder, const std::vector<std::string> &names,
                        bool waitClose = true);
// Cancels the open-file dialog.
bool CancelFileDialog(DWORD threadId);
// The colour on the screen at the point (x, y) of a page.
COLORREF PagePixel(HWND page, int x, int y);
// Reads every value under HKCU\Software\Tandrovi and the Run key's.
std::map<std::string, std::string> RegistrySnapshot();
// Waits until cond holds (no message pumping: the driver has no windows).
bool Poll(const std::function<bool()> &cond, DWORD timeoutMs);

}  // namespace sheettest
