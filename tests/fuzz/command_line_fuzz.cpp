// The command lines of both programs and the registry keys of the
// uninstaller's log: the argument taken from the command line lies inside
// it, setup's switches come from inside it, and the keys parsed
// from the input's lines are ordered children first. The same text goes
// through the plain-name check every stored name passes.
#include <cstring>
#include <string>

#include "installer/command_line.h"
#include "package/file_name.h"
#include "uninstaller/command_tail.h"
#include "uninstaller/key_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* tail = uninstaller::CommandTail(text.c_str());
    if (tail < text.c_str() || tail > text.c_str() + strlen(text.c_str())) __builtin_trap();
    package::IsPlainName(text.c_str());
    bool quiet = false;
    const char* logPath = uninstaller::TakeQuietSwitch(tail, &quiet);
    if (logPath < tail || logPath > tail + strlen(tail)) __builtin_trap();
    installer::Switches switches = installer::ParseSwitches(text.c_str());
    // Every value is a piece of the line.
    for (const std::string* value : {&switches.type, &switches.logPath, &switches.destination, &switches.bad})
        if (value->size() > text.size()) __builtin_trap();
    installer::FolderOfUninstallCommand(text);

    uninstaller::KeyList keys;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        uninstaller::KeyEntry entry;
        if (uninstaller::ParseRootKey(text.substr(start, end - start).c_str(), &entry))
            keys.push_back(entry);
        start = end + 1;
    }
    uninstaller::SortKeyList(&keys);
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        const uninstaller::KeyEntry& a = keys[i];
        const uninstaller::KeyEntry& b = keys[i + 1];
        // A key whose path begins with another's comes before it.
        if (a.root == b.root && a.subKey != b.subKey && b.subKey.starts_with(a.subKey))
            __builtin_trap();
    }
    return 0;
}
