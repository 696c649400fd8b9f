#include "package/registry_text.h"

namespace package {

namespace {

// The name of a value line that starts with a double quote: the text up to
// the closing quote, with the export's escapes undone.
std::string QuotedName(const std::string& line) {
    std::string name;
    for (size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        name += line[i];
    }
    return name;
}

}  // namespace

size_t FindOrAddKey(RegistryLogList* list, const std::string& key) {
    for (size_t i = 0; i < list->size(); ++i)
        if ((*list)[i].key == key) return i;
    list->push_back({key, {}});
    return list->size() - 1;
}

void NoteRegistryText(const std::string& text, RegistryLogList* list) {
    size_t at = 0;
    int lineNumber = 0;
    bool haveKey = false;
    size_t current = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (++lineNumber <= 2) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            current = FindOrAddKey(list, line.substr(1, close == 0 || close == std::string::npos
                                                            ? std::string::npos
                                                            : close - 1));
            haveKey = true;
        } else if (haveKey && (line[0] == '"' || line[0] == '@')) {
            (*list)[current].valueNames.push_back(line[0] == '@' ? "@" : QuotedName(line));
        }
    }
}

}  // namespace package
