// Drives another program's dialogs for end-to-end tests and the demo: starts
// the program, waits for its top-level windows by caption, reads and sets
// control texts, clicks, answers message boxes, and keeps a transcript of
// every window it saw and every action it took. No call ever waits without a
// timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dlgdrive {

class Driver {
  public:
    explicit Driver(DWORD defaultTimeoutMs = 20000);
    // The timeout of the calls below that are given none (0).
    void SetDefaultTimeout(DWORD timeoutMs) { defaultTimeoutMs_ = timeoutMs; }
    ~Driver();  // ends the program it started if it is still running
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Starts exePath with args in workDir. env holds NAME=VALUE entries that
    // are added to (or replace in) this process's environment for the child.
    // Once a run has ended (WaitExit), the driver may start another.
    bool Start(const std::string& exePath, const std::string& args, const std::string& workDir,
               const std::vector<std::string>& env = {});
    // Starts a whole command line as Windows starts a registered command:
    // CreateProcess without an application name finds the program in it.
    bool StartCommand(const std::string& commandLine, const std::string& workDir,
                      const std::vector<std::string>& env = {});

    // Drives the windows of a process that is already running, this one
    // included (from a second thread while the first shows its dialogs). The
    // driver never ends such a process, and WaitExit gives -1 at once.
    bool Attach(DWORD processId);

    // Waits for a visible top-level window of the program whose caption is
    // exactly caption, records it and returns it; null after the timeout or
    // when the program ended first (the windows then on screen are recorded).
    HWND WaitWindow(const std::string& caption, DWORD timeoutMs = 0);
    // Waits until window is gone; false after the timeout.
    bool WaitGone(HWND window, DWORD timeoutMs = 0);

    // The text of control id (0xFFFF is a message box's text); with id -1 the
    // window's own caption.
    std::string Text(HWND window, int id);
    bool IsControlVisible(HWND window, int id);
    bool SetText(HWND window, int id, const std::string& text);
    // Selects entry index of combo box id and notifies the dialog as a user
    // choice would.
    bool SelectCombo(HWND window, int id, int index);
    std::vector<std::string> ComboItems(HWND window, int id);
    bool IsChecked(HWND window, int id);
    bool Check(HWND window, int id, bool checked);
    // Sends the dialog the command of control id (a button click, Enter on
    // the default button, 2 for Escape) without waiting for it to be handled.
    bool Click(HWND window, int id);
    // Posts a press of virtual key key (VK_RETURN...) to control id, as typed
    // into it while it has the focus, without waiting for it to be handled.
    bool PressKey(HWND window, int id, UINT key);

    // Waits for the program to end and returns its exit code; -1 after the
    // timeout, when the program is ended. Windows that appear meanwhile are
    // recorded, so an unexpected message box shows in the transcript.
    int WaitExit(DWORD timeoutMs = 0);

    // Saves the whole screen as a 24-bit BMP file at path, once window (when
    // given), the window that owns it and the visible controls of both have
    // nothing left to paint, or after the timeout. False when the file cannot be written.
    bool SaveScreenshot(HWND window, const std::string& path, DWORD timeoutMs = 0);

    DWORD ProcessId() const { return processId_; }
    const std::string& Transcript() const { return transcript_; }
    bool SaveTranscript(const std::string& path) const;

  private:
    bool Launch(const char* exePath, const std::string& commandLine, const std::string& workDir,
                const std::vector<std::string>& env);
    std::vector<HWND> ProgramWindows() const;
    void Record(HWND window);
    void RecordNewWindows();
    void Note(const std::string& line);
    DWORD Timeout(DWORD timeoutMs) const { return timeoutMs ? timeoutMs : defaultTimeoutMs_; }

    DWORD defaultTimeoutMs_;
    HANDLE process_ = nullptr;
    bool owned_ = true;
    DWORD processId_ = 0;
    std::vector<HWND> seen_;
    std::string transcript_;
};

// Escapes line feeds, tabs and backslashes so a text stays on one line.
std::string Escape(const std::string& text);
// The reverse of Escape: \n, \t and \\ in text.
std::string Unescape(const std::string& text);

}  // namespace dlgdrive
