// Resource ids of drevok.exe, shared by the resource script and the code.
#pragma once

// Progress window.
#define IDD_PROGRESS 101
#define IDC_STATUS 1001
#define IDC_PROGRESS 1002

// Uninstall Question dialog; Yes, No and Cancel are IDYES, IDNO and IDCANCEL.
#define IDD_QUESTION 102
#define IDC_ALWAYS 1003
#define IDC_QUESTION 1004
