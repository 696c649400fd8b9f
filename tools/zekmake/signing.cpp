#include "tools/zekmake/signing.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "tools/zekmake/sign_command.h"
#include "win32/unique_handle.h"

namespace zekmake {

namespace {

constexpr char kToolVariable[] = "ZEKMAKE_SIGNTOOL";
// A time-stamp server may be slow; a tool that hangs must not hang the build.
constexpr DWORD kToolTimeoutMs = 10 * 60 * 1000;

// Wine's own exports of kernel32: the Unix path of a Windows one and back,
// each allocated on the process heap. Absent on Windows.
using ToUnixFn = char*(CDECL*)(const WCHAR*);
using ToDosFn = WCHAR*(CDECL*)(const char*);

template <typename Fn>
Fn WineExport(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                  : nullptr;
}

bool UnderWine() { return WineExport<ToUnixFn>("wine_get_unix_file_name") != nullptr; }

std::string UnixPath(const std::string& path) {
    auto toUnix = WineExport<ToUnixFn>("wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2)) return "";
    char* unix = toUnix(wide);
    if (!unix) return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// The Windows path of a Unix file, or empty when it does not exist.
std::string DosPathOf(const std::string& unixPath) {
    auto toDos = WineExport<ToDosFn>("wine_get_dos_file_name");
    WCHAR* dos = toDos ? toDos(unixPath.c_str()) : nullptr;
    if (!dos) return "";
    char path[MAX_PATH * 2] = {};
    DWORD attributes = GetFileAttributesW(dos);
    int len = WideCharToMultiByte(CP_ACP, 0, dos, -1, path, sizeof path, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, dos);
    if (len <= 0 || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "";
    // Wine answers in the NT form, \??\Z:\...
    return strncmp(path, "\\??\\", 4) == 0 ? path + 4 : path;
}

std::string Environment(const char* name, bool* set) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    *set = size > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    std::string value(size, '\0');
    DWORD len = size ? GetEnvironmentVariableA(name, value.data(), size) : 0;
    value.resize(len < size ? len : 0);
    return value;
}

// A new file of the temporary-files directory for the tool's output. Not
// beside the file being signed: a helper process that Wine starts for the
// tool may inherit the handle and keep the file for a moment, and a folder
// that is packed next must hold nothing else.
std::string LogName() {
    char temp[MAX_PATH] = {}, path[MAX_PATH] = {};
    DWORD len = GetTempPathA(MAX_PATH, temp);
    return len > 0 && len < MAX_PATH && GetTempFileNameA(temp, "ZKG", 0, path) ? path : "";
}

// An inheritable file that receives the tool's output.
win32::UniqueHandle CreateLog(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return win32::UniqueHandle(CreateFileA(path.c_str(), GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string ReadText(const std::string& path) {
    std::string text;
    win32::UniqueFile file(fopen(path.c_str(), "rb"));
    char block[1024];
    size_t got;
    while (file && (got = fread(block, 1, sizeof block, file.get())) > 0) text.append(block, got);
    return text;
}

}  // namespace

bool Signer::Prepare(const Signing& signing, std::vector<Mistake>* mistakes) {
    signing_ = signing;
    if (!signing.enabled) return true;
    size_t before = mistakes->size();
    bool set = false;
    Environment(signing.passwordVariable.c_str(), &set);
    if (!set)
        mistakes->push_back(
            {signing.passwordLine,
             "[signing]: the environment variable " + signing.passwordVariable +
                 " that holds the certificate's password is not set",
             "set it before starting zekmake (export " + signing.passwordVariable +
                 "=... on Linux, set " + signing.passwordVariable + "=... on Windows)"});

    // A Unix path (under Wine) is a Linux program; any other, a Windows one.
    tool_ = Environment(kToolVariable, &set);
    unix_ = UnderWine() && (tool_.empty() || tool_[0] == '/');
    bool found = false;
    if (unix_) {
        // Wine's PATH holds Windows folders only: look where Linux installs it.
        const char* const places[] = {"/usr/local/bin/osslsigncode", "/usr/bin/osslsigncode"};
        for (const char* place : places)
            if (tool_.empty() && !DosPathOf(place).empty()) tool_ = place;
        found = !tool_.empty() && !DosPathOf(tool_).empty() && !DosPathOf("/bin/sh").empty();
    } else {
        char path[MAX_PATH] = {};
        if (tool_.empty() && SearchPathA(nullptr, "osslsigncode.exe", nullptr, MAX_PATH, path, nullptr))
            tool_ = path;
        found = !tool_.empty() && GetFileAttributesA(tool_.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    if (!found)
        mistakes->push_back(
            {signing.line,
             "[signing]: the signing tool osslsigncode is not installed" +
                 (tool_.empty() ? std::string() : " (no " + tool_ + ")"),
             std::string("install it (Debian: apt-get install osslsigncode; Windows: put "
                         "osslsigncode.exe on the PATH), or name it in the environment variable ") +
                 kToolVariable});
    return mistakes->size() == before;
}

bool Signer::Sign(const std::string& path, FILE* err) const {
    // The tool gets its own output file and the password, none of zekmake's
    // streams: a process that outlives it (Wine's helpers) must not keep the
    // files of whoever started zekmake open.
    for (DWORD stream : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(stream), HANDLE_FLAG_INHERIT, 0);
    std::string signedPath = path + ".signed";
    std::string log;
    bool ok = unix_ ? RunUnix(path, signedPath, &log) : RunWindows(path, signedPath, &log);
    ok = ok && MoveFileExA(signedPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    DeleteFileA(signedPath.c_str());
    if (!ok)
        fprintf(err, "zekmake: %s could not be signed with %s:\n%s\n", path.c_str(),
                signing_.certificate.c_str(), log.c_str());
    return ok;
}

bool Signer::SignIn(const std::string& folder, std::initializer_list<const char*> names,
                    FILE* err) const {
    for (const char* name : names) {
        std::string path = folder + "\\" + name;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && !Sign(path, err))
            return false;
    }
    return true;
}

bool Signer::RunUnix(const std::string& path, const std::string& signedPath,
                     std::string* log) const {
    std::string logPath = LogName(), statusPath = logPath + ".status";
    std::string shell = DosPathOf("/bin/sh");
    std::vector<std::string> args = SignArguments(signing_, UnixPath(signing_.certificate),
                                                  UnixPath(path), UnixPath(signedPath), "/dev/stdin");
    std::string script = SignScript(tool_, args, signing_.passwordVariable, UnixPath(statusPath));
    std::string line = "/bin/sh -c " + CommandLineWord(script);
    bool started = false;
    {
        win32::UniqueHandle output = CreateLog(logPath);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.get();
        PROCESS_INFORMATION process = {};
        started = output && CreateProcessA(shell.c_str(), line.data(), nullptr, nullptr, TRUE,
                                           CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
        // A Linux program started by Wine has no handle to wait on (both are
        // null): the status file the script writes last tells that it ended.
        if (process.hThread) CloseHandle(process.hThread);
        if (process.hProcess) CloseHandle(process.hProcess);
    }
    std::string status;
    for (DWORD waited = 0; started && waited < kToolTimeoutMs; waited += 50) {
        if (GetFileAttributesA(statusPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            status = ReadText(statusPath);
            break;
        }
        Sleep(50);
    }
    *log = started ? ReadText(logPath) : "/bin/sh could not be started";
    if (started && status.empty()) *log += "(no answer from the tool within 10 minutes)";
    DeleteFileA(statusPath.c_str());
    DeleteFileA(logPath.c_str());
    return status == "0\n";
}

bool Signer::RunWindows(const std::string& path, const std::string& signedPath,
                        std::string* log) const {
    std::string logPath = LogName();
    std::string line = CommandLineWord(tool_);
    for (const std::string& arg : SignArguments(signing_, signing_.certificate, path, signedPath, "-"))
        line += " " + CommandLineWord(arg);
    bool set = false;
    std::string password = Environment(signing_.passwordVariable.c_str(), &set);
    DWORD exitCode = 1;
    {
        // The password waits in the pipe; it is far smaller than its buffer.
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        win32::UniqueKernelObject readEnd, writeEnd;
        DWORD written = 0;
        bool piped = CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0) &&
                     SetHandleInformation(writeEnd.get(), HANDLE_FLAG_INHERIT, 0) &&
                     WriteFile(writeEnd.get(), password.data(), (DWORD)password.size(), &written,
                               nullptr);
        writeEnd.reset();
        win32::UniqueHandle output = CreateLog(logPath);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = readEnd.get();
        startup.hStdOutput = startup.hStdError = output.get();
        PROCESS_INFORMATION process = {};
        // Detached, not merely windowless: Wine then starts no console host
        // for the tool, which would inherit zekmake's handles and keep their
        // files open after the tool has ended.
        if (piped && output &&
            CreateProcessA(tool_.c_str(), line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                           nullptr, nullptr, &startup, &process)) {
            win32::UniqueKernelObject child(process.hProcess), thread(process.hThread);
            if (WaitForSingleObject(child.get(), kToolTimeoutMs) != WAIT_OBJECT_0)
                TerminateProcess(child.get(), 1);
            GetExitCodeProcess(child.get(), &exitCode);
        }
    }
    *log = ReadText(logPath);
    DeleteFileA(logPath.c_str());
    return exitCode == 0;
}

}  // namespace zekmake
