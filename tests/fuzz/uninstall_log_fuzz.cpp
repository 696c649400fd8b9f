// uninst.log as the uninstaller reads it: every list of every kind from
// the whole text. And the promise of the format: any text recorded reads
// back unchanged, whatever it holds.
#include <string>
#include <vector>

#include "uninstall_log/log_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (unsigned kind = 1; kind <= 5; ++kind) {
        uninstall_log::ListName name = uninstall_log::ListForKind(kind);
        uninstall_log::ReadList(text, name.section, name.prefix);
    }
    uninstall_log::UnescapeText(text);
    uninstall_log::ListName files = uninstall_log::ListForKind(1);
    std::string log = uninstall_log::RecordLines(files.section, files.prefix, text, true);
    std::vector<std::string> back = uninstall_log::ReadList(log, files.section, files.prefix);
    if (back.size() != 1 || back[0] != text) __builtin_trap();
    return 0;
}
