// The system's own text for an error code, in a message box.
#pragma once

#include <windows.h>

namespace win32 {

// Shows the system's text for the calling thread's last error code in an
// ownerless box captioned "GetLastError" with an information icon.
void ShowLastError();

}  // namespace win32
