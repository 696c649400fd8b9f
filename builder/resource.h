// Resource ids of zek2dat.dll. Shared by the resource script and the code.
#pragma once

// Build progress window.
#define IDD_BUILD 102
#define IDC_BUILD_STATUS 1005
#define IDC_BUILD_DETAIL 1006
#define IDC_BUILD_PROGRESS 1014
#define IDC_BUILD_CANCEL 1016

// CRC progress window.
#define IDD_CRC 105
#define IDC_CRC_PROGRESS 1017
#define IDC_CRC_TEXT 1018
