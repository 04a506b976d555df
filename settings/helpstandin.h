// Help for the settings pages until the program's own help service lands:
// the same call, a topic page of the help file for the sheet's Help button
// and a popup text for help on a control.
#pragma once

#include "base/common.h"

// request: the HELPINFO of a help request (popup of the control, nothing for
// a control without one) or anything else, such as a notification header
// (the topic page). A missing help file is told in a message box owned by
// owner.
void ShowHelp(HWND owner, const void *request, int topic);

// The help viewer, loaded when first asked for; 0 when it is missing.
HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data);
// "<HLPpath>\Wyn03d.chm" (German) or "...\Wyn03e.chm".
void HelpFilePath(int language, char *out, size_t outSize);
// The help viewer's address of a topic page, and of the popup texts.
void HelpTopicPath(int language, int topic, char *out, size_t outSize);
void HelpPopupPath(int language, char *out, size_t outSize);
