// The popup help of the settings pages: which popup text of the help file
// belongs to a control.
#pragma once

// Pairs of control id and popup id, ended by a pair of zeros; the help
// viewer walks it to the zero.
extern const unsigned long kHelpPopups[][2];

// The popup id of a control, 0 when it has none.
int HelpPopupId(int controlId);
