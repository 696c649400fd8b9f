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

// Unpacking window.
#define IDD_UNPACKING 110
#define IDC_UNPACK_TEXT 1003
#define IDC_UNPACK_PROGRESS 1004

// Status window: phase line, file line and the current file's progress.
#define IDC_STATUS_PHASE 1015
#define IDC_STATUS_PROGRESS 1016
#define IDC_STATUS_FILE 1017
