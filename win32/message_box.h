// Every message box the installer shows goes through here, so that an
// unattended run can take them all in one place instead of on screen.
#pragma once

#include <windows.h>

namespace win32 {

// Takes a message in place of the box: its caption, its text and the box's
// type (MB_OK, MB_YESNO...); returns the answer the box would have given.
using MessageSink = int (*)(const char* caption, const char* text, UINT type);

// MessageBoxA, or the sink's answer once SetMessageSink gave one.
int ShowMessage(HWND owner, const char* text, const char* caption, UINT type);

// From now on, for the whole process, every ShowMessage goes to sink; null
// shows boxes again.
void SetMessageSink(MessageSink sink);

}  // namespace win32
