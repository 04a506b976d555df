// Help: a page of the compiled HTML help for a settings page, or a pop-up
// text for a control, through HTML Help loaded at run time.
#pragma once

#include "base/common.h"

// HtmlHelpA of hhctrl.ocx.
using HtmlHelpFn = HWND(WINAPI *)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// owner: the asking window; info: the HELPINFO of a help request, or any
// other notification header, or null; topic: the settings page's topic.
void ShowHelp(HWND owner, const void *info, int topic);

// The address of a topic's page inside the help file ("::html/d/uhr.html>main").
const char *HelpTopicPage(int topic, bool german);
// The help file of the current language in HLPpath.
void HelpFilePath(char *out, size_t outSize);

// Pairs of control id and pop-up id, ended by a pair of zeros, as HTML Help
// walks them; kHelpPopupPairs counts the pairs without the end.
extern const DWORD kHelpPopupTable[];
extern const size_t kHelpPopupPairs;

// The help viewer itself, for the sheet's start and close of HTML Help;
// 0 when hhctrl.ocx is missing.
HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data);

// Seam for the tests: HTML Help as a function of theirs (null: hhctrl.ocx).
extern HtmlHelpFn HtmlHelpOverride;
