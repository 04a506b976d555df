// Resource ids of the screensaver's dialogs, icons and controls.
#pragma once

#define IDI_SAVER 100
#define IDC_SAVERCURSOR 1000

#define IDD_PAGE_CONFIG 200
#define IDC_CONFIG_FRAME 2001

// The note dialog of the running screensaver.
#define IDD_NOTE 133
#define IDC_NOTE_EDIT 1016
#define IDC_NOTE_TICKER 1046
#define IDC_NOTE_SAVE 2030
#define IDC_NOTE_CANCEL 2032
