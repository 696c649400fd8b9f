#include "win32/message_box.h"

namespace win32 {

namespace {
// Process-wide: the boxes come from every layer of the installer, most of
// which never see the run that decides whether anyone is there to answer.
MessageSink messageSink = nullptr;
}  // namespace

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
    if (messageSink) return messageSink(caption, text, type);
    return MessageBoxA(owner, text, caption, type);
}

void SetMessageSink(MessageSink sink) { messageSink = sink; }

}  // namespace win32
