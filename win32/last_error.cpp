#include "win32/last_error.h"

#include "win32/message_box.h"

namespace win32 {

void ShowLastError() {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                   GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    ShowMessage(nullptr, text ? text : "", "GetLastError", MB_OK | MB_ICONINFORMATION);
    LocalFree(text);
}

}  // namespace win32
