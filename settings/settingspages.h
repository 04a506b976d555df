// The page procedures of the settings sheet and the pure pieces of their
// texts that tests check on their own.
#pragma once

#include "base/common.h"

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SpeedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InteraktionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SprechblasenPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The import and export dialog of the speech-bubble page; it always ends with 1.
INT_PTR CALLBACK ImportExportDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TagNachtPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BusKommtPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UhrPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GehwegPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HausBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BusBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SBahnBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LKWBeschriftungPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MailPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SoundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MusikPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WetterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GeburtstagPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MsgPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// General page: the address that asks whether an update exists.
void UpdateAddress(int language, char *out, size_t outSize);
// The text of a display mode in the list ("1280 x 1024, 32 Bit, 60 Hertz").
void DisplayModeText(const int mode[4], char *out, size_t outSize);

// Day and night page: the four labels from the day, night, winter and
// winter-length values and the user's clock form.
struct ClockForm {
    bool twelveHour;
    char morning[8];    // s1159
    char afternoon[8];  // s2359
};
void ReadClockForm(ClockForm *form);
void DayLabel(int day, const ClockForm &form, char *out, size_t outSize);
void NightLabel(int night, const ClockForm &form, char *out, size_t outSize);
void WinterFromLabel(int month, char *out, size_t outSize);
void WinterUntilLabel(int month, int length, char *out, size_t outSize);

// Timetable page: the tram label for a choice 0..3.
void TramLabel(int choice, char *out, size_t outSize);
