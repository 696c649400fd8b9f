// The question asked before a shared file whose last counted use goes is
// deleted.
#pragma once

#include <windows.h>

#include <cstdint>

namespace uninstaller {

// The Always box was ticked when the button was pressed.
constexpr uint32_t kAlwaysTicked = 0xFFFF0000u;
// DialogBoxParam's answer when the dialog could not be shown.
constexpr uint32_t kQuestionFailed = 0xFFFFFFFFu;

// Shows dialog 102 of instance, owned by owner, with text as the question.
// Returns the id of the button pressed (IDYES, IDNO or IDCANCEL), ORed with
// kAlwaysTicked when the Always box was ticked; kQuestionFailed when the
// dialog could not be shown.
uint32_t AskDelete(HINSTANCE instance, HWND owner, const char* text);

}  // namespace uninstaller
