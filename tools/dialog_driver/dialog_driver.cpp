#include "tools/dialog_driver/dialog_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace dlgdrive {

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 1000;

LRESULT SendTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return -1;
    return (LRESULT)result;
}

// The text a window keeps for itself. Read without sending a message, so it
// works while the program's thread is busy (the unpacking loop pumps none);
// false when the window is gone.
bool ReadWindowText(HWND window, std::string* out) {
    // InternalGetWindowText never sends a message, also not to a window of
    // this process (GetWindowText would, and wait on a busy thread).
    wchar_t wide[4096] = {};
    int len = InternalGetWindowText(window, wide, 4096);
    char text[4096] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    *out = text;
    return len > 0 || IsWindow(window);
}

std::string ClassOf(HWND window);

// An edit control's current contents are only had with WM_GETTEXT, which is
// marshalled across processes (and waits for the program's thread); every
// other control's text is the kept one.
std::string WindowText(HWND window) {
    std::string cls = ClassOf(window);
    char text[4096] = {};
    if ((_stricmp(cls.c_str(), "Edit") == 0 || _stricmp(cls.c_str(), "ComboBox") == 0) &&
        SendTimeout(window, WM_GETTEXT, sizeof text, (LPARAM)text) != -1)
        return text;
    std::string kept;
    ReadWindowText(window, &kept);
    return kept;
}

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct EnumState {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && IsWindowVisible(window)) state->windows->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// A copy of this process's environment with the NAME=VALUE overrides.
std::vector<char> EnvironmentBlock(const std::vector<std::string>& overrides) {
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p; p += strlen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string& item : overrides) {
        std::string name = item.substr(0, item.find('=') + 1);
        std::erase_if(entries, [&](const std::string& e) {
            return _strnicmp(e.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(item);
    }
    std::vector<char> out;
    for (const std::string& e : entries) out.insert(out.end(), e.c_str(), e.c_str() + e.size() + 1);
    out.push_back(0);
    return out;
}

}  // namespace

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return out;
}

Driver::Driver(DWORD defaultTimeoutMs) : defaultTimeoutMs_(defaultTimeoutMs) {}

Driver::~Driver() {
    if (!process_) return;
    if (owned_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool Driver::Start(const std::string& exePath, const std::string& args, const std::string& workDir,
                   const std::vector<std::string>& env) {
    std::string commandLine = "\"" + exePath + "\"" + (args.empty() ? "" : " " + args);
    return Launch(exePath.c_str(), commandLine, workDir, env);
}

bool Driver::StartCommand(const std::string& commandLine, const std::string& workDir,
                          const std::vector<std::string>& env) {
    return Launch(nullptr, commandLine, workDir, env);
}

bool Driver::Launch(const char* exePath, const std::string& commandLine, const std::string& workDir,
                    const std::vector<std::string>& env) {
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(0);
    std::vector<char> environment = EnvironmentBlock(env);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    Note("start " + commandLine + " in " + workDir);
    if (!CreateProcessA(exePath, mutableLine.data(), nullptr, nullptr, FALSE, 0,
                        environment.data(), workDir.c_str(), &startup, &info)) {
        Note("start failed, error " + std::to_string(GetLastError()));
        return false;
    }
    CloseHandle(info.hThread);
    // A driver may run the program again once the earlier run has ended.
    if (process_) CloseHandle(process_);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

bool Driver::Attach(DWORD processId) {
    Note("attach to process " + std::to_string(processId));
    process_ = OpenProcess(SYNCHRONIZE, FALSE, processId);
    processId_ = processId;
    owned_ = false;
    return process_ != nullptr;
}

std::vector<HWND> Driver::ProgramWindows() const {
    std::vector<HWND> windows;
    EnumState state = {processId_, &windows};
    EnumWindows(CollectTopLevel, (LPARAM)&state);
    return windows;
}

void Driver::Note(const std::string& line) { transcript_ += line + "\n"; }

void Driver::Record(HWND window) {
    if (std::find(seen_.begin(), seen_.end(), window) != seen_.end()) return;
    seen_.push_back(window);
    std::string caption;
    ReadWindowText(window, &caption);
    Note("window \"" + Escape(caption) + "\" class " + ClassOf(window));
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChildren, (LPARAM)&children);
    for (HWND child : children) {
        std::string line = "  [" + std::to_string(GetDlgCtrlID(child)) + "] " + ClassOf(child);
        line += " \"" + Escape(WindowText(child)) + "\"";
        Note(line + (IsWindowVisible(child) ? "" : " hidden"));
    }
}

void Driver::RecordNewWindows() {
    for (HWND window : ProgramWindows()) Record(window);
}

HWND Driver::WaitWindow(const std::string& caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : ProgramWindows()) {
            std::string text;
            if (ReadWindowText(window, &text) && text == caption) {
                Record(window);
                return window;
            }
        }
        bool ended = !process_ || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT;
        if (ended || GetTickCount() - start > Timeout(timeoutMs)) {
            RecordNewWindows();
            Note(std::string(ended ? "ended" : "timed out") + " waiting for window \"" +
                 Escape(caption) + "\"");
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

bool Driver::WaitGone(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > Timeout(timeoutMs)) return false;
        Sleep(kPollMs);
    }
    return true;
}

std::string Driver::Text(HWND window, int id) {
    return WindowText(id == -1 ? window : GetDlgItem(window, id));
}

bool Driver::IsControlVisible(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    return control && IsWindowVisible(control);
}

bool Driver::SetText(HWND window, int id, const std::string& text) {
    Note("set [" + std::to_string(id) + "] \"" + Escape(text) + "\"");
    HWND control = GetDlgItem(window, id);
    return control && SendTimeout(control, WM_SETTEXT, 0, (LPARAM)text.c_str()) == TRUE;
}

bool Driver::SelectCombo(HWND window, int id, int index) {
    Note("select [" + std::to_string(id) + "] " + std::to_string(index));
    HWND combo = GetDlgItem(window, id);
    if (!combo || SendTimeout(combo, CB_SETCURSEL, index, 0) != index) return false;
    // CB_SETCURSEL does not notify the owner; a user's choice does.
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

std::vector<std::string> Driver::ComboItems(HWND window, int id) {
    std::vector<std::string> items;
    HWND combo = GetDlgItem(window, id);
    LRESULT count = combo ? SendTimeout(combo, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        // Wine hands CB_GETLBTEXT across processes in UTF-16 whichever form
        // was sent, so the wide form is asked for and converted.
        wchar_t wide[512] = {};
        DWORD_PTR len = 0;
        if (SendTimeout(combo, CB_GETLBTEXTLEN, i, 0) < (LRESULT)(sizeof wide / sizeof *wide))
            SendMessageTimeoutW(combo, CB_GETLBTEXT, i, (LPARAM)wide, SMTO_ABORTIFHUNG,
                                kSendTimeoutMs, &len);
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.emplace_back(text);
    }
    return items;
}

bool Driver::IsChecked(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    return control && SendTimeout(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Driver::Check(HWND window, int id, bool checked) {
    Note(std::string(checked ? "check [" : "uncheck [") + std::to_string(id) + "]");
    HWND control = GetDlgItem(window, id);
    return control &&
           SendTimeout(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0) != -1;
}

bool Driver::Click(HWND window, int id) {
    Note("click [" + std::to_string(id) + "] in \"" + Escape(WindowText(window)) + "\"");
    // Posted, not sent: the handler may open modal UI and not return for long.
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        (LPARAM)GetDlgItem(window, id));
}

bool Driver::PressKey(HWND window, int id, UINT key) {
    Note("key " + std::to_string(key) + " in [" + std::to_string(id) + "] of \"" +
         Escape(WindowText(window)) + "\"");
    HWND control = GetDlgItem(window, id);
    // The program's message loop hands both to IsDialogMessage, as it does
    // for keys typed into the focused control.
    return control && PostMessageA(control, WM_KEYDOWN, key, 1) &&
           PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

int Driver::WaitExit(DWORD timeoutMs) {
    if (!process_ || !owned_) return -1;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process_, kPollMs) == WAIT_TIMEOUT) {
        RecordNewWindows();
        if (GetTickCount() - start > Timeout(timeoutMs)) {
            Note("timed out waiting for the exit; ended the program");
            TerminateProcess(process_, 255);
            WaitForSingleObject(process_, 5000);
            return -1;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    Note("exit " + std::to_string(code));
    return (int)code;
}

namespace {

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM found) {
    if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *(bool*)found = true;
    return FALSE;
}

// A dialog paints its own face before its controls paint theirs: an empty
// update region of the dialog alone says nothing about the headings and
// texts inside it.
bool Painted(HWND window) {
    if (!window || !IsWindow(window)) return true;
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, FindUnpaintedChild, (LPARAM)&unpainted);
    return !unpainted;
}

// The screen's pixels as a bottom-up 24-bit DIB, rows padded to 4 bytes.
bool WriteScreenBitmap(FILE* file) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB};
    DWORD rowSize = ((DWORD)width * 3 + 3) & ~3u;
    info.biSizeImage = rowSize * (DWORD)height;
    BITMAPFILEHEADER head = {0x4D42};  // "BM"
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = head.bfOffBits + info.biSizeImage;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(memory, (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        ok = ok && fwrite(&head, sizeof head, 1, file) == 1 &&
             fwrite(&info, sizeof info, 1, file) == 1 &&
             fwrite(bits, 1, info.biSizeImage, file) == info.biSizeImage;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

bool Driver::SaveScreenshot(HWND window, const std::string& path, DWORD timeoutMs) {
    HWND owner = window ? GetWindow(window, GW_OWNER) : nullptr;
    for (DWORD start = GetTickCount(); !(Painted(window) && Painted(owner));) {
        if (GetTickCount() - start > Timeout(timeoutMs)) break;
        Sleep(kPollMs);
    }
    Note("screenshot " + path);
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = WriteScreenBitmap(file);
    return fclose(file) == 0 && ok;
}

bool Driver::SaveTranscript(const std::string& path) const {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(transcript_.data(), 1, transcript_.size(), file) == transcript_.size();
    return fclose(file) == 0 && ok;
}

}  // namespace dlgdrive
