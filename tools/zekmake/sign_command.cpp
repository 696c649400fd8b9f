#include "tools/zekmake/sign_command.h"

namespace zekmake {

std::vector<std::string> SignArguments(const Signing& signing, const std::string& certificate,
                                       const std::string& inPath, const std::string& outPath,
                                       const std::string& passwordFile) {
    std::vector<std::string> args = {"sign", "-pkcs12", certificate, "-readpass", passwordFile,
                                     "-h", "sha256"};
    if (!signing.description.empty()) args.insert(args.end(), {"-n", signing.description});
    // RFC 3161 time stamps: a signature stays valid after the certificate expires.
    if (!signing.timestampUrl.empty()) args.insert(args.end(), {"-ts", signing.timestampUrl});
    args.insert(args.end(), {"-in", inPath, "-out", outPath});
    return args;
}

std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

std::string CommandLineWord(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos) return text;
    std::string word = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only in front of a quote (and of the closing one).
        word.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        word += c;
    }
    return word.append(backslashes * 2, '\\') + "\"";
}

std::string SignScript(const std::string& tool, const std::vector<std::string>& args,
                       const std::string& passwordVariable, const std::string& statusPath) {
    // printf is built into the shell: the password passes through no
    // command line. The variable's name was checked to be a plain name.
    std::string script = "exec 2>&1; printf '%s' \"$" + passwordVariable + "\" | " + ShellWord(tool);
    for (const std::string& arg : args) script += " " + ShellWord(arg);
    std::string temporary = ShellWord(statusPath + ".part");
    return script + "; echo $? >" + temporary + " && mv " + temporary + " " + ShellWord(statusPath);
}

}  // namespace zekmake
