// Resource ids of the screensaver's dialogs, icons and controls.
#pragma once

#define IDI_SAVER 100
#define IDC_SAVERCURSOR 1000

#define IDD_PAGE_CONFIG 200
#define IDC_CONFIG_FRAME 2001
