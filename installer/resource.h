// Resource ids of setup.exe. Shared by the resource script and the code.
#pragma once

// String table.
#define IDS_NO_CRC 1
#define IDS_MISSING_INF 2
#define IDS_NO_ZLIB 3
#define IDS_NO_CRC32_FUNCTION 4
#define IDS_MISSING_DAT 5
#define IDS_CRC_FAILED 6
#define IDS_WRONG_WINDOWS 9
#define IDS_COMPLETED 10

// Dialog templates.
#define IDD_OPTIONS 101
#define IDD_STATUS 104
#define IDD_BACKGROUND 109
#define IDD_UNPACKING 110
#define IDD_LICENCE 118
#define IDD_WELCOME 120
#define IDD_README 125
#define IDD_REBOOT 126

// Controls. Buttons 1008 (OK) and 1009 (Cancel) are also the end codes of
// the dialogs; 3 is Browse in the options dialog and Info in the welcome.
#define IDC_BROWSE 3
#define IDC_INFO 3
#define IDC_DESTINATION 1000
#define IDC_UNPACK_TEXT 1003
#define IDC_UNPACK_PROGRESS 1004
#define IDC_TEXT 1007
#define IDC_OK 1008
#define IDC_CANCEL 1009
#define IDC_TYPE_LIST 1012
#define IDC_TYPE_LABEL 1013
#define IDC_DESTINATION_LABEL 1014
#define IDC_STATUS_PHASE 1015
#define IDC_WELCOME_HEADING 1015
#define IDC_STATUS_PROGRESS 1016
#define IDC_STATUS_FILE 1017
#define IDC_WELCOME_FRAME 1021
#define IDC_WELCOME_LINE1 1022
#define IDC_WELCOME_LINE2 1023
#define IDC_WELCOME_LINE3 1024
#define IDC_REBOOT_TEXT 1027
#define IDC_REBOOT_NOW 1028
#define IDC_REBOOT_LATER 1029
#define IDC_RESTART_WINDOWS 1030
