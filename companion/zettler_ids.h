// Resource ids of the companion, shared by its code and its resource script.
#pragma once

#define IDD_NOTES 105

#define IDC_NOTE_TEXT 1100
#define IDC_NOTE_DEL 1102
#define IDC_NOTE_BACK 1103
#define IDC_NOTE_FORW 1104
#define IDC_NOTE_HELP 1105
#define IDC_NOTE_EXIT 1106
