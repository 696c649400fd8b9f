// The build's progress window ("Building Dat File...", resource 102): a bold
// status line, a detail line, a progress bar and Cancel. Modeless and
// without owner; it has no message loop of its own and is serviced one
// message at a time by ServiceBuildDialog. When it cannot be created every
// call here except the messages does nothing.
#pragma once

#include <windows.h>

namespace builder {

// The window's procedure, also exported as DialogUpdateProc: a click on
// Cancel sets the build's cancel flag; focus goes to item 2.
INT_PTR CALLBACK BuildDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the window from this module's resources with its bold status
// font and brings it to the foreground. When it cannot be created the
// system's text for the error is shown and the build goes on without it.
void OpenBuildDialog();
// Destroys the window and its font; idempotent.
void CloseBuildDialog();

void SetBuildStatus(const char* text);
void SetBuildDetail(const char* text);
// Moves the progress bar (not more often than it can be painted); true when
// it moved.
bool SetBuildProgress(int percent);
// Paints what is invalid at once.
void RepaintBuildDialog();

// Dispatches at most one waiting message of the window or its controls, and
// never waits for one.
void ServiceBuildDialog();

// The builder's message boxes, captioned "Zek2Dat DLL": text formatted with
// printf rules, icon an MB_ICON* flag, owned by the build window or by none.
enum class BoxOwner { kNone, kBuildDialog };
void ShowBuilderMessage(BoxOwner owner, UINT icon, const char* format, ...);

// The message for a project file that ends early or holds a damaged record.
void ShowProjectReadError();

// The message for a temporary file of the build that cannot be made,
// written or read back (the disk full, the folder gone or read-only), with
// the system's reason, and the code kErrorTempFile.
void ShowTempFileError();

}  // namespace builder
