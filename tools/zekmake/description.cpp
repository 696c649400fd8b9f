#include "tools/zekmake/description.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "package/bytes.h"
#include "package/file_name.h"
#include "package/limits.h"
#include "package/records.h"
#include "package/registry_text.h"

namespace zekmake {

namespace {

// What the installer and the package can hold.
using package::kMaxGroups;
using package::kMaxSetupTypes;
constexpr size_t kMaxEntries = package::kMaxCountedEntries;
constexpr size_t kMaxPathLen = package::kMaxProjectPath;
constexpr size_t kMaxProgramNameLen = package::kMaxRunProgramName;
constexpr size_t kMaxRegText = builder::kMaxRegTextLength - 1;  // without its NUL
constexpr uint8_t kModernSystems = 0x40;  // NT 6 and later: Vista to 11
constexpr uint8_t kAllSystems = 0x37 | kModernSystems;

template <typename T>
struct Named {
    const char* name;
    T value;
};

constexpr Named<uint8_t> kSystems[] = {
    {"win95", 0x01}, {"win98", 0x02}, {"winme", 0x04}, {"nt4", 0x10}, {"nt5", 0x20},
    {"nt6", kModernSystems}, {"vista", kModernSystems}, {"7", kModernSystems},
    {"8", kModernSystems}, {"8.1", kModernSystems}, {"10", kModernSystems},
    {"11", kModernSystems}};
constexpr Named<package::Destination> kDestinations[] = {{"install", package::Destination::kInstall},
                                                        {"windows", package::Destination::kWindows},
                                                        {"system", package::Destination::kSystem}};
constexpr Named<package::CopyMode> kModes[] = {{"plain", package::CopyMode::kPlain},
                                               {"self-registering", package::CopyMode::kSelfRegistering},
                                               {"shared-dll", package::CopyMode::kSharedDll}};
constexpr Named<uint32_t> kRoots[] = {
    {"HKEY_CLASSES_ROOT", package::kRootClasses},      {"HKCR", package::kRootClasses},
    {"HKEY_CURRENT_USER", package::kRootCurrentUser},   {"HKCU", package::kRootCurrentUser},
    {"HKEY_LOCAL_MACHINE", package::kRootLocalMachine}, {"HKLM", package::kRootLocalMachine}};

template <typename T, size_t N>
std::string NameList(const Named<T> (&names)[N]) {
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "\"" : ", \"") + std::string(n.name) + "\"";
    return list;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A group's bit in a setup type's mask. Groups past the 32 a mask can name
// are already mistakes and have none.
uint32_t GroupBit(size_t index) { return index < kMaxGroups ? 1u << index : 0; }

uint32_t LineOf(const toml::node& node) { return node.source().begin.line; }

// A name that can stand for one file or folder: what the installer accepts
// as a plain name, without the characters Windows refuses in names.
bool IsFileName(const std::string& name) {
    return package::IsPlainName(name.c_str()) && name.find_first_of("<>\"|?*") == std::string::npos;
}

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        uint8_t c = (uint8_t)text[i];
        size_t count = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
        if (count == 0 || i + count > text.size()) return false;
        uint32_t cp = count == 1 ? c : c & (0x7F >> count);
        for (size_t k = 1; k < count; ++k) {
            uint8_t next = (uint8_t)text[i + k];
            if ((next & 0xC0) != 0x80) return false;
            cp = cp << 6 | (next & 0x3F);
        }
        const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kShortest[count] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += count;
    }
    return true;
}

// One table of the description and the words that name it in messages.
struct Table {
    const toml::table& t;
    std::string what;
    uint32_t line() const { return LineOf(t); }
};

// A table of a list, named in messages by the text of its key labelKey
// when it has one (as written, before any check), else by its number.
Table Labelled(const Table& plain, const char* labelKey, size_t index) {
    const toml::node* label = plain.t.get(labelKey);
    if (label && label->is_string())
        return {plain.t, plain.what + " " + Quoted(*label->value<std::string>())};
    return {plain.t, plain.what + " #" + std::to_string(index + 1)};
}

class Reader {
  public:
    Reader(const std::string& baseDir, const Host& host, std::vector<Mistake>* mistakes)
        : baseDir_(baseDir), host_(host), mistakes_(mistakes) {}

    void Read(const toml::table& root, Description* d);

  private:
    void Fail(uint32_t line, std::string problem, std::string fix) {
        mistakes_->push_back({line, std::move(problem), std::move(fix)});
    }
    void Fail(const Table& table, uint32_t line, const std::string& problem, std::string fix) {
        Fail(line, table.what + ": " + problem, std::move(fix));
    }

    void CheckKeys(const Table& table, std::initializer_list<const char*> allowed);
    // The tables of an array of tables [[key]]; none when key is absent.
    std::vector<Table> Tables(const toml::table& root, const char* key, const char* what);

    // Each reader of one value returns false when the value is absent (a
    // mistake when required) or is a mistake; *out is then unchanged.
    bool Text(const Table& table, const char* key, size_t maxLen, bool required, std::string* out);
    bool Ansi(const Table& table, uint32_t line, const std::string& what, std::string_view utf8,
              size_t maxLen, std::string* out);
    bool Bool(const Table& table, const char* key, bool* out);
    bool Integer(const Table& table, const char* key, int64_t min, int64_t max, int64_t* out);
    bool Path(const Table& table, const char* key, bool folder, bool required, std::string* out);
    bool CheckPath(const Table& table, uint32_t line, const std::string& what,
                   const std::string& path, bool folder);
    // A list of texts, each with its line.
    bool TextList(const Table& table, const char* key,
                  std::vector<std::pair<std::string, uint32_t>>* out);
    template <typename T, size_t N>
    bool Choice(const Table& table, const char* key, const Named<T> (&names)[N], T* out);
    std::string Resolve(const std::string& path) const;

    void ReadApplication(const Table& app, Description* d);
    void ReadEntryValues(const Table& app, const char* appName, builder::Project* p);
    void ReadTextFile(const Table& app, const char* key, const std::string& path,
                      ConvertedText* out);
    void CheckFileNames(const Table& table, const std::string& folder);
    void ReadBackground(const Table& background, Description* d);
    void ReadSigning(const Table& signing, Signing* out);
    void ReadGroups(const std::vector<Table>& tables, builder::Project* p);
    void ReadSetupTypes(const std::vector<Table>& tables, builder::Project* p);
    void ReadLinks(const std::vector<Table>& tables, bool desktop, builder::Project* p);
    bool ReadLinkFolder(const Table& table, std::string folder, std::string* folderPath,
                        std::vector<std::string>* folders);
    void ReadLinkTarget(const Table& table, bool inFolder, builder::ProjectLink* link);
    void ReadRegistry(const std::vector<Table>& tables, builder::Project* p);
    void ReadRunPacks(const std::vector<Table>& tables, std::vector<builder::RunPack>* packs);
    // The setup types that install group index without the first group.
    std::vector<std::string> TypesWithoutFirstGroup(size_t index) const;

    std::string baseDir_;
    const Host& host_;
    std::vector<Mistake>* mistakes_;
    bool uninstall_ = false;
    // Per group of the project: its name, line and source folder.
    std::vector<std::string> groupNames_;
    std::vector<uint32_t> groupLines_;
    std::vector<std::string> groupFolders_;
    std::vector<std::pair<std::string, uint32_t>> typeMasks_;  // name, mask
};

void Reader::CheckKeys(const Table& table, std::initializer_list<const char*> allowed) {
    for (auto&& [key, node] : table.t) {
        bool known = std::any_of(allowed.begin(), allowed.end(),
                                 [&key = key](const char* a) { return key.str() == a; });
        if (known) continue;
        std::string list;
        for (const char* a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
        Fail(table, key.source().begin.line, "unknown key " + Quoted(std::string(key.str())),
             "use one of " + list + " (names are case-sensitive)");
    }
}

std::vector<Table> Reader::Tables(const toml::table& root, const char* key, const char* what) {
    std::vector<Table> tables;
    const toml::node* node = root.get(key);
    if (!node) return tables;
    std::string header = std::string("[[") + key + "]]";
    const toml::array* array = node->as_array();
    if (!array) {
        Fail(LineOf(*node), Quoted(key) + " must be a list of tables",
             "write each " + std::string(what) + " as a table of its own under " + header);
        return tables;
    }
    for (const toml::node& element : *array) {
        if (const toml::table* t = element.as_table())
            tables.push_back({*t, header});
        else
            Fail(LineOf(element), header + " holds something that is not a table",
                 "write each " + std::string(what) + " as a table of its own under " + header);
    }
    return tables;
}

bool Reader::Ansi(const Table& table, uint32_t line, const std::string& what, std::string_view utf8,
                  size_t maxLen, std::string* out) {
    std::string ansi;
    if (!host_.ToAnsi(utf8, &ansi)) {
        Fail(table, line, what + " holds a character the Windows ANSI code page cannot store",
             "use only characters of that code page");
        return false;
    }
    if (ansi.find('\0') != std::string::npos) {
        Fail(table, line, what + " holds a NUL character", "remove it");
        return false;
    }
    if (ansi.size() > maxLen) {
        Fail(table, line,
             what + " is " + std::to_string(ansi.size()) + " characters long; at most " +
                 std::to_string(maxLen) + " fit",
             "shorten it");
        return false;
    }
    *out = std::move(ansi);
    return true;
}

bool Reader::Text(const Table& table, const char* key, size_t maxLen, bool required,
                  std::string* out) {
    const toml::node* node = table.t.get(key);
    if (!node) {
        if (required)
            Fail(table, table.line(), "the key " + Quoted(key) + " is missing",
                 "add " + std::string(key) + " = \"...\"");
        return false;
    }
    const toml::value<std::string>* text = node->as_string();
    if (!text) {
        Fail(table, LineOf(*node), Quoted(key) + " must be a text in quotes",
             "write " + std::string(key) + " = \"...\"");
        return false;
    }
    if (required && text->get().empty()) {
        Fail(table, LineOf(*node), Quoted(key) + " is empty", "give it a value");
        return false;
    }
    return Ansi(table, LineOf(*node), Quoted(key), text->get(), maxLen, out);
}

bool Reader::Bool(const Table& table, const char* key, bool* out) {
    const toml::node* node = table.t.get(key);
    if (!node) return false;
    if (const toml::value<bool>* value = node->as_boolean()) {
        *out = value->get();
        return true;
    }
    Fail(table, LineOf(*node), Quoted(key) + " must be true or false",
         "write " + std::string(key) + " = true or " + key + " = false, without quotes");
    return false;
}

bool Reader::Integer(const Table& table, const char* key, int64_t min, int64_t max, int64_t* out) {
    const toml::node* node = table.t.get(key);
    if (!node) return false;
    const toml::value<int64_t>* value = node->as_integer();
    std::string range = std::to_string(min) + " to " + std::to_string(max);
    if (!value) {
        Fail(table, LineOf(*node), Quoted(key) + " must be a whole number",
             "write a number from " + range + " without quotes");
        return false;
    }
    if (value->get() < min || value->get() > max) {
        Fail(table, LineOf(*node),
             Quoted(key) + " is " + std::to_string(value->get()) + ", out of range",
             "use a number from " + range);
        return false;
    }
    *out = value->get();
    return true;
}

std::string Reader::Resolve(const std::string& path) const {
    const char sep = host_.Separator();
    std::string p = path;
    for (char& c : p)
        if (c == '/' || c == '\\') c = sep;
    bool absolute = p[0] == sep || (p.size() >= 2 && p[1] == ':');
    if (!absolute) p = baseDir_ + (baseDir_.empty() || baseDir_.back() == sep ? "" : std::string(1, sep)) + p;
    while (p.size() > 3 && p.back() == sep) p.pop_back();
    return p;
}

bool Reader::CheckPath(const Table& table, uint32_t line, const std::string& what,
                       const std::string& path, bool folder) {
    if (path.size() > kMaxPathLen) {
        Fail(table, line,
             what + " is " + std::to_string(path.size()) + " characters long as a full path (" +
                 path + "); at most " + std::to_string(kMaxPathLen) + " fit",
             "move the description and its files to a shorter folder");
        return false;
    }
    if (folder ? host_.IsFolder(path) : host_.IsFile(path)) return true;
    Fail(
        table, line, what + ": no " + (folder ? "folder " : "file ") + path,
        std::string("create it or correct the path (a relative path starts at the description's ") +
            "folder)");
    return false;
}

bool Reader::Path(const Table& table, const char* key, bool folder, bool required,
                  std::string* out) {
    std::string written;
    if (!Text(table, key, SIZE_MAX, required, &written)) return false;
    if (written.empty()) {
        Fail(table, LineOf(*table.t.get(key)), Quoted(key) + " is empty", "give it a path");
        return false;
    }
    std::string path = Resolve(written);
    if (!CheckPath(table, LineOf(*table.t.get(key)), Quoted(key), path, folder)) return false;
    *out = path;
    return true;
}

bool Reader::TextList(const Table& table, const char* key,
                      std::vector<std::pair<std::string, uint32_t>>* out) {
    const toml::node* node = table.t.get(key);
    if (!node) return false;
    const toml::array* array = node->as_array();
    bool ok = array != nullptr;
    std::vector<std::pair<std::string, uint32_t>> items;
    for (size_t i = 0; ok && i < array->size(); ++i) {
        const toml::value<std::string>* text = (*array)[i].as_string();
        std::string ansi;
        if (!text)
            ok = false;
        else if (Ansi(table, LineOf(*text), Quoted(key), text->get(), SIZE_MAX, &ansi))
            items.emplace_back(ansi, LineOf(*text));
        else
            return false;
    }
    if (!ok) {
        Fail(table, LineOf(*node), Quoted(key) + " must be a list of texts",
             "write " + std::string(key) + " = [\"...\", \"...\"]");
        return false;
    }
    *out = std::move(items);
    return true;
}

template <typename T, size_t N>
bool Reader::Choice(const Table& table, const char* key, const Named<T> (&names)[N], T* out) {
    std::string word;
    if (!Text(table, key, SIZE_MAX, false, &word)) return false;
    for (const auto& n : names) {
        if (word == n.name) {
            *out = n.value;
            return true;
        }
    }
    Fail(table, LineOf(*table.t.get(key)), Quoted(key) + " cannot be " + Quoted(word),
         "use one of " + NameList(names));
    return false;
}

void Reader::ReadApplication(const Table& app, Description* d) {
    CheckKeys(app, {"name", "second_name", "version", "title", "licence", "readme", "systems",
                    "uninstall", "reboot", "publisher", "about_url", "help_url", "icon"});
    builder::ProjectHeader& h = d->project.header;
    std::string text;
    if (Text(app, "name", sizeof h.appName - 1, true, &text)) {
        // The name becomes a folder name, a registry key and a file name.
        if (IsFileName(text))
            package::CopyText(h.appName, sizeof h.appName, text.c_str());
        else
            Fail(app, LineOf(*app.t.get("name")),
                 "\"name\" " + Quoted(text) + " cannot be a folder name",
                 "leave out \\ / : < > \" | ? * and device names such as CON");
    }
    if (Text(app, "second_name", sizeof h.secondName - 1, false, &text))
        package::CopyText(h.secondName, sizeof h.secondName, text.c_str());
    if (Text(app, "version", sizeof h.version - 1, false, &text))
        package::CopyText(h.version, sizeof h.version, text.c_str());
    // The package's title field is two bytes shorter than the project's.
    if (Text(app, "title", 61, false, &text))
        package::CopyText(h.title, sizeof h.title, text.c_str());
    if (Path(app, "licence", false, false, &text)) {
        h.licenceFlag = 1;
        package::CopyText(h.licencePath, sizeof h.licencePath, text.c_str());
        ReadTextFile(app, "licence", text, &d->licence);
    }
    if (Path(app, "readme", false, false, &text)) {
        h.readmeFlag = 1;
        package::CopyText(h.readmePath, sizeof h.readmePath, text.c_str());
        ReadTextFile(app, "readme", text, &d->readme);
    }

    h.allowedSystems = kAllSystems;
    std::vector<std::pair<std::string, uint32_t>> systems;
    if (TextList(app, "systems", &systems)) {
        uint8_t mask = 0;
        for (const auto& [name, line] : systems) {
            auto found = std::find_if(std::begin(kSystems), std::end(kSystems),
                                      [&name = name](const auto& s) { return name == s.name; });
            if (found != std::end(kSystems))
                mask |= found->value;
            else
                Fail(app, line, "\"systems\" cannot hold " + Quoted(name),
                     "use " + NameList(kSystems));
        }
        if (systems.empty())
            Fail(app, LineOf(*app.t.get("systems")),
                 "\"systems\" is empty: no Windows could install the package",
                 "name at least one of " + NameList(kSystems) + ", or leave the key out for all");
        h.allowedSystems = mask;
        if (!systems.empty() && !(mask & kModernSystems))
            d->warnings.push_back(
                {LineOf(*app.t.get("systems")),
                 app.what + ": \"systems\" leaves out Windows Vista, 7, 8, 8.1, 10 and 11: the package refuses "
                 "every Windows released since 2006",
                 "add \"nt6\" (or any of \"vista\", \"7\", \"8\", \"8.1\", \"10\", \"11\"), "
                 "unless the package must not run there"});
    }
    bool flag = false;
    if (Bool(app, "uninstall", &flag)) h.uninstall = flag;
    uninstall_ = h.uninstall != 0;
    if (Bool(app, "reboot", &flag)) h.reboot = flag;
    ReadEntryValues(app, h.appName, &d->project);
}

// The entry in the list of installed programs is the installer's uninstall
// registration; what it shows beyond that reaches it as registry values
// under the same key, so the package holds nothing new.
void Reader::ReadEntryValues(const Table& app, const char* appName, builder::Project* p) {
    static const struct {
        const char* key;
        const char* valueName;
    } kEntryValues[] = {{"publisher", "Publisher"},
                        {"about_url", "URLInfoAbout"},
                        {"help_url", "HelpLink"},
                        {"icon", "DisplayIcon"}};
    for (const auto& v : kEntryValues) {
        std::string text;
        if (!Text(app, v.key, kMaxRegText, false, &text)) continue;
        uint32_t line = LineOf(*app.t.get(v.key));
        if (!uninstall_) {
            Fail(app, line, Quoted(v.key) + " is shown only for an application that can be uninstalled",
                 "add uninstall = true, or leave the key out");
        } else if (text.find_first_of("\r\n") != std::string::npos) {
            Fail(app, line, Quoted(v.key) + " holds a line break", "put the text on one line");
        } else {
            p->registry.push_back({package::kRootLocalMachine, package::kRegTypeText,
                                   std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + appName,
                                   v.valueName, text});
        }
    }
}

void Reader::ReadTextFile(const Table& app, const char* key, const std::string& path,
                          ConvertedText* out) {
    uint32_t line = LineOf(*app.t.get(key));
    std::string bytes;
    if (!host_.ReadFile(path, &bytes)) {
        Fail(app, line, Quoted(key) + ": the file " + path + " cannot be read",
             "make it readable, or name another file");
        return;
    }
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    bool marked = std::string_view(bytes).starts_with(kBom);
    std::string_view text = std::string_view(bytes).substr(marked ? kBom.size() : 0);
    bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (uint8_t)c < 0x80; });
    bool utf8 = IsUtf8(text);
    if (!marked && (ascii || !utf8)) return;  // ASCII, or ANSI already: packed as it is
    if (!utf8) {
        Fail(app, line,
             Quoted(key) + ": " + path + " starts with the UTF-8 byte-order mark but is not UTF-8",
             "save it again as UTF-8, or as ANSI text without the mark");
        return;
    }
    std::string ansi;
    if (!host_.ToAnsi(text, &ansi)) {
        // Name the first line holding a character the code page lacks.
        uint32_t textLine = 1;
        for (size_t start = 0; start < text.size(); ++textLine) {
            size_t end = std::min(text.find('\n', start), text.size());
            std::string lineAnsi;
            if (!host_.ToAnsi(text.substr(start, end - start), &lineAnsi)) break;
            start = end + 1;
        }
        Fail(app, line,
             Quoted(key) + ": line " + std::to_string(textLine) + " of " + path +
                 " holds a character the Windows ANSI code page cannot store",
             "replace it by a character of that code page, or leave it out");
        return;
    }
    out->converted = true;
    out->ansi = std::move(ansi);
}

void Reader::CheckFileNames(const Table& table, const std::string& folder) {
    uint32_t line = LineOf(*table.t.get("source"));
    for (const std::string& name : host_.Files(folder)) {
        std::string ansi;
        if (!host_.ToAnsi(name, &ansi) || ansi.find('\0') != std::string::npos)
            Fail(table, line,
                 "the file " + Quoted(name) + " in " + folder +
                     " has a name the Windows ANSI code page cannot store",
                 "rename it with characters of that code page only");
        else if (!IsFileName(ansi) || ansi.size() >= sizeof(package::FileEntry::name))
            Fail(table, line,
                 "the file " + Quoted(name) + " in " + folder + " cannot be installed under its name",
                 "rename it: no device name such as CON or NUL, none of \\ / : < > \" | ? *, and "
                 "not only dots and spaces");
    }
}

void Reader::ReadBackground(const Table& background, Description* d) {
    CheckKeys(background, {"color", "dithered"});
    std::string color;
    if (Text(background, "color", SIZE_MAX, false, &color)) {
        bool ok = color.size() == 7 && color[0] == '#' &&
                  color.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
        if (ok) {
            uint32_t rgb = (uint32_t)strtoul(color.c_str() + 1, nullptr, 16);
            // setup.inf holds a COLORREF: red in the low byte.
            d->backColor = (rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
        } else {
            Fail(background, LineOf(*background.t.get("color")),
                 "\"color\" " + Quoted(color) + " is no colour",
                 "write it as \"#RRGGBB\", for example \"#0000FF\" for blue");
        }
    }
    Bool(background, "dithered", &d->dithered);
    // The installer draws its gradient for four colours only (black is drawn
    // solid); with any other it paints no background at all.
    const uint32_t kGradients[] = {0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0};
    if (d->dithered && std::find(std::begin(kGradients), std::end(kGradients), d->backColor) ==
                           std::end(kGradients)) {
        const toml::node* at = background.t.get("color");
        Fail(background, at ? LineOf(*at) : background.line(),
             "the installer draws no gradient (\"dithered\") from " + color,
             "use \"#FF0000\", \"#00FF00\", \"#0000FF\" or \"#FFFF00\", or set dithered = false "
             "for a plain colour");
    }
}

void Reader::ReadSigning(const Table& table, Signing* out) {
    CheckKeys(table, {"certificate", "password_variable", "timestamp_url", "description"});
    out->line = table.line();
    bool ok = Path(table, "certificate", false, true, &out->certificate);
    // The name goes into the shell command that hands the password to the
    // signing tool: a plain name, not a text that could run something.
    if (Text(table, "password_variable", SIZE_MAX, true, &out->passwordVariable)) {
        const std::string& name = out->passwordVariable;
        out->passwordLine = LineOf(*table.t.get("password_variable"));
        if (isdigit((unsigned char)name[0]) ||
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                   "0123456789_") != std::string::npos) {
            Fail(table, out->passwordLine,
                 "\"password_variable\" " + Quoted(name) + " is no name of an environment variable",
                 "give the name of the variable (letters, digits and _), never the password itself");
            ok = false;
        }
    } else {
        ok = false;
    }
    if (Text(table, "timestamp_url", SIZE_MAX, false, &out->timestampUrl) &&
        out->timestampUrl.rfind("http://", 0) != 0 && out->timestampUrl.rfind("https://", 0) != 0) {
        Fail(table, LineOf(*table.t.get("timestamp_url")),
             "\"timestamp_url\" " + Quoted(out->timestampUrl) + " is no web address",
             "give the time-stamp server's address, starting with http:// or https://");
        ok = false;
    }
    Text(table, "description", SIZE_MAX, false, &out->description);
    out->enabled = ok;
}

void Reader::ReadGroups(const std::vector<Table>& tables, builder::Project* p) {
    size_t room = uninstall_ ? kMaxGroups - 1 : kMaxGroups;
    for (const Table& plain : tables) {
        size_t index = p->groups.size();
        Table table = Labelled(plain, "name", index);
        CheckKeys(table, {"name", "source", "destination", "subfolder", "mode"});
        builder::ProjectGroup g = {};
        std::string name;
        if (Text(table, "name", sizeof g.name - 1, true, &name)) {
            if (std::find(groupNames_.begin(), groupNames_.end(), name) != groupNames_.end())
                Fail(table, LineOf(*table.t.get("name")), "another group has this name",
                     "give each group a name of its own");
        }
        if (index == room) {
            Fail(table, table.line(),
                 "more than " + std::to_string(room) + " groups" +
                     (uninstall_ ? " (the uninstaller takes the last of 32)" : ""),
                 "put the files of several groups with the same destination into one folder");
        }
        std::string folder;
        if (Path(table, "source", true, true, &folder)) {
            for (const std::string& sub : host_.Subfolders(folder))
                Fail(table, LineOf(*table.t.get("source")),
                     "the folder " + folder + " holds the folder " + Quoted(sub) +
                         ", which would be installed as an empty file",
                     "move it out, or make its files a group of their own with a \"subfolder\"");
            CheckFileNames(table, folder);
        }
        package::Destination destination = package::Destination::kInstall;
        package::CopyMode mode = package::CopyMode::kPlain;
        Choice(table, "destination", kDestinations, &destination);
        Choice(table, "mode", kModes, &mode);
        std::string subfolder;
        bool hasSubfolder = false;
        if (Text(table, "subfolder", 254, false, &subfolder)) {
            if (IsFileName(subfolder)) {
                hasSubfolder = true;
                package::CopyText(g.subfolder, sizeof g.subfolder, subfolder.c_str());
            } else {
                Fail(table, LineOf(*table.t.get("subfolder")),
                     "\"subfolder\" " + Quoted(subfolder) + " is not the name of one folder",
                     "give one folder name, without \\ / : < > \" | ? *");
            }
        }
        package::CopyText(g.name, sizeof g.name, name.c_str());
        package::CopyText(g.sourceFolder, sizeof g.sourceFolder, folder.c_str());
        g.flags = package::MakeGroupFlags(destination, hasSubfolder, mode);
        p->groups.push_back(g);
        groupNames_.push_back(name);
        groupLines_.push_back(table.line());
        groupFolders_.push_back(folder);
    }
    if (p->groups.size() > room) p->groups.resize(room);
}

void Reader::ReadSetupTypes(const std::vector<Table>& tables, builder::Project* p) {
    for (size_t i = 0; i < tables.size(); ++i) {
        Table table = Labelled(tables[i], "name", i);
        CheckKeys(table, {"name", "groups"});
        package::SetupTypeRecord type = {};
        std::string name;
        Text(table, "name", sizeof type.name - 1, true, &name);
        if (p->setupTypes.size() == kMaxSetupTypes)
            Fail(table, table.line(),
                 "more than " + std::to_string(kMaxSetupTypes) + " setup types",
                 "the installer offers three: remove the others");
        std::vector<std::pair<std::string, uint32_t>> groups;
        if (!TextList(table, "groups", &groups) && !table.t.get("groups"))
            Fail(table, table.line(), "the key \"groups\" is missing",
                 "add groups = [\"...\"] naming its groups");
        for (const auto& [group, line] : groups) {
            auto found = std::find(groupNames_.begin(), groupNames_.end(), group);
            if (found == groupNames_.end())
                Fail(table, line, "no group is named " + Quoted(group),
                     "name a group of a [[group]] table");
            else
                type.groupMask |= GroupBit(found - groupNames_.begin());
        }
        package::CopyText(type.name, sizeof type.name, name.c_str());
        typeMasks_.emplace_back(name, type.groupMask);
        if (p->setupTypes.size() < kMaxSetupTypes) p->setupTypes.push_back(type);
    }
    // With fewer than two types the installer offers no choice and installs
    // every group, whatever the one type lists.
    uint32_t all = groupNames_.size() >= 32 ? ~0u : (1u << groupNames_.size()) - 1;
    if (tables.size() == 1 && typeMasks_[0].second != all)
        Fail(tables[0].line(),
             Labelled(tables[0], "name", 0).what +
                 ": a single setup type is not offered, and every group is installed",
             "list every group in it, or add a second setup type");
    if (tables.size() < 2) return;
    for (size_t i = 0; i < std::min(groupNames_.size(), kMaxGroups); ++i) {
        bool used = std::any_of(typeMasks_.begin(), typeMasks_.end(),
                                [&](const auto& t) { return t.second & GroupBit(i); });
        if (!used)
            Fail(groupLines_[i],
                 "[[group]] " + Quoted(groupNames_[i]) + ": no setup type installs it",
                 "add it to the \"groups\" of a [[setup_type]], or remove the group");
    }
}

std::vector<std::string> Reader::TypesWithoutFirstGroup(size_t index) const {
    std::vector<std::string> types;
    if (typeMasks_.size() < 2) return types;
    for (const auto& [name, mask] : typeMasks_)
        if ((mask & GroupBit(index)) && !(mask & 1u)) types.push_back(Quoted(name));
    return types;
}

// Splits a link's "folder" into its folder names and notes each level in
// folders (each after its parent). False, with a mistake, when a name cannot
// be a folder.
bool Reader::ReadLinkFolder(const Table& table, std::string folder, std::string* folderPath,
                            std::vector<std::string>* folders) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    for (size_t start = 0; start <= folder.size();) {
        size_t end = std::min(folder.find('\\', start), folder.size());
        std::string part = folder.substr(start, end - start);
        if (!IsFileName(part) || part.size() >= sizeof(builder::ProjectLink::name)) {
            Fail(table, LineOf(*table.t.get("folder")),
                 "\"folder\" " + Quoted(folder) + " holds " +
                     (part.empty() ? std::string("an empty folder name")
                                   : "the folder name " + Quoted(part)) +
                     " that cannot be a folder of at most 31 characters",
                 "separate folder names by one / and leave out : < > \" | ? *");
            return false;
        }
        *folderPath += (folderPath->empty() ? "" : "\\") + part;
        if (std::find(folders->begin(), folders->end(), *folderPath) == folders->end())
            folders->push_back(*folderPath);
        start = end + 1;
    }
    return true;
}

// The shortcut's group and file: the group by its name, the file directly
// in that group's source folder.
void Reader::ReadLinkTarget(const Table& table, bool inFolder, builder::ProjectLink* link) {
    std::string group, file;
    bool hasGroup = Text(table, "group", SIZE_MAX, true, &group);
    bool hasFile = Text(table, "file", sizeof link->target - 1, true, &file);
    auto found = std::find(groupNames_.begin(), groupNames_.end(), group);
    if (hasGroup && found == groupNames_.end()) {
        Fail(table, LineOf(*table.t.get("group")), "no group is named " + Quoted(group),
             "name a group of a [[group]] table");
    } else if (hasGroup && hasFile) {
        size_t index = found - groupNames_.begin();
        std::string target = groupFolders_[index] + host_.Separator() + file;
        if (!IsFileName(file) || (!groupFolders_[index].empty() && !host_.IsFile(target)))
            Fail(table, LineOf(*table.t.get("file")),
                 Quoted(file) + " is not a file of the group " + Quoted(group) + " (no file " +
                     target + ")",
                 "name a file directly in the group's source folder");
        std::vector<std::string> types = TypesWithoutFirstGroup(index);
        if (inFolder && !types.empty()) {
            std::string list;
            for (const std::string& t : types) list += (list.empty() ? "" : ", ") + t;
            Fail(table, table.line(),
                 "the installer makes shortcut folders only with the first group (" +
                     Quoted(groupNames_[0]) + "), which the setup type " + list + " leaves out",
                 "add " + Quoted(groupNames_[0]) + " to " + list +
                     ", or leave out \"folder\" to put the shortcut at the top");
        }
        link->targetGroup = (int16_t)index;
    }
    package::CopyText(link->target, sizeof link->target, file.c_str());
}

void Reader::ReadLinks(const std::vector<Table>& tables, bool desktop, builder::Project* p) {
    const char* place = desktop ? "desktop" : "start_menu";
    std::vector<std::string> folders;  // each folder after its parent
    std::vector<builder::ProjectLink> shortcuts;
    uint32_t lastLine = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        Table table = Labelled(tables[i], "name", i);
        lastLine = table.line();
        CheckKeys(table, {"name", "group", "file", "folder"});
        std::string folder, folderPath;
        bool hasFolder = Text(table, "folder", kMaxPathLen, false, &folder) &&
                         ReadLinkFolder(table, folder, &folderPath, &folders);
        std::string name;
        bool hasName = Text(table, "name", sizeof(builder::ProjectLink::name) - 1, false, &name);
        if (!table.t.get("name")) {
            // A folder of its own, maybe empty.
            if (!table.t.get("folder"))
                Fail(table, table.line(), "neither \"name\" nor \"folder\" is given",
                     "give name, group and file for a shortcut, or only folder for a folder");
            for (const char* key : {"group", "file"})
                if (const toml::node* node = table.t.get(key))
                    Fail(table, LineOf(*node),
                         "a folder entry (one without \"name\") has no " + Quoted(key),
                         "add the shortcut's name, or remove " + std::string(key));
            continue;
        }
        if (!hasName) continue;
        if (!IsFileName(name))
            Fail(table, LineOf(*table.t.get("name")),
                 "\"name\" " + Quoted(name) + " cannot be a file name",
                 "leave out \\ / : < > \" | ? *");

        builder::ProjectLink link = {};
        package::CopyText(link.name, sizeof link.name, name.c_str());
        ReadLinkTarget(table, hasFolder, &link);
        // The builder takes the path without its last component as the
        // folder; an empty path leaves the shortcut at the top.
        std::string path = hasFolder ? folderPath + "\\" + name : "";
        if (path.size() > kMaxPathLen)
            Fail(table, table.line(),
                 "folder and name together are longer than " + std::to_string(kMaxPathLen) +
                     " characters",
                 "use shorter names");
        package::CopyText(link.path, sizeof link.path, path.c_str());
        link.desktopFlag = desktop ? 1 : 0;
        link.kind = -1;
        shortcuts.push_back(link);
    }

    std::vector<builder::ProjectLink>& links = desktop ? p->desktopLinks : p->startMenuLinks;
    for (const std::string& folder : folders) {
        // A folder entry's path is the folder, a backslash and its last name,
        // so that the builder keeps the whole folder.
        builder::ProjectLink link = {};
        size_t slash = folder.rfind('\\');
        std::string last = slash == std::string::npos ? folder : folder.substr(slash + 1);
        std::string path = folder + "\\" + last;
        if (path.size() > kMaxPathLen) {
            Fail(lastLine,
                 "[[" + std::string(place) + "]]: the folder " + Quoted(folder) + " is too long",
                 "use shorter folder names");
            continue;
        }
        package::CopyText(link.name, sizeof link.name, last.c_str());
        package::CopyText(link.path, sizeof link.path, path.c_str());
        link.desktopFlag = desktop ? 1 : 0;
        links.push_back(link);
    }
    links.insert(links.end(), shortcuts.begin(), shortcuts.end());
    if (links.size() > kMaxEntries)
        Fail(lastLine,
             "[[" + std::string(place) + "]]: " + std::to_string(links.size()) +
                 " shortcuts and folders; at most " + std::to_string(kMaxEntries) + " fit",
             "remove some");
}

void Reader::ReadRegistry(const std::vector<Table>& tables, builder::Project* p) {
    for (size_t i = 0; i < tables.size(); ++i) {
        Table table = Labelled(tables[i], "key", i);
        CheckKeys(table, {"root", "key", "name", "value"});
        builder::RegEntry entry = {};
        bool ok = Choice(table, "root", kRoots, &entry.root);
        if (!table.t.get("root")) {
            Fail(table, table.line(), "the key \"root\" is missing",
                 "add root = \"HKEY_CURRENT_USER\" or another root");
            ok = false;
        }
        if (Text(table, "key", kMaxRegText, true, &entry.key)) {
            if (entry.key[0] == '\\' || entry.key.find_first_of("\r\n") != std::string::npos) {
                Fail(table, LineOf(*table.t.get("key")),
                     "\"key\" starts with a backslash or holds a line break",
                     "write the key path below the root, such as \"Software\\\\Vendor\\\\App\"");
                ok = false;
            }
        } else {
            ok = false;
        }
        entry.name = "(Default)";
        if (Text(table, "name", kMaxRegText, false, &entry.name)) {
            // The value name is written between quotes without escapes.
            if (entry.name.find_first_of("\"\\\r\n") != std::string::npos) {
                Fail(table, LineOf(*table.t.get("name")),
                     "\"name\" holds a \", a \\ or a line break",
                     "leave these characters out of value names");
                ok = false;
            }
        } else if (table.t.get("name")) {
            ok = false;
        }
        const toml::node* value = table.t.get("value");
        if (!value) {
            Fail(table, table.line(), "the key \"value\" is missing",
                 "add value = \"text\" or value = 123");
            ok = false;
        } else if (value->is_string()) {
            entry.type = package::kRegTypeText;
            if (!Text(table, "value", kMaxRegText, false, &entry.data))
                ok = false;
            else if (entry.data.find_first_of("\r\n") != std::string::npos) {
                Fail(table, LineOf(*value), "\"value\" holds a line break",
                     "put the text on one line");
                ok = false;
            }
        } else if (value->is_integer()) {
            int64_t number = 0;
            if (Integer(table, "value", INT32_MIN, UINT32_MAX, &number)) {
                // The builder reads signed decimals and clamps the rest, so
                // every number goes as the signed value of the same 32 bits.
                entry.type = package::kRegTypeNumber;
                entry.data = std::to_string((int32_t)(uint32_t)number);
            } else {
                ok = false;
            }
        } else {
            Fail(table, LineOf(*value), "\"value\" must be a text in quotes or a whole number",
                 "write value = \"text\" or value = 123 (or 0x7B)");
            ok = false;
        }
        if (!ok) continue;
        if (p->registry.size() == kMaxEntries)
            Fail(table, table.line(),
                 "more than " + std::to_string(kMaxEntries) + " registry values", "remove some");
        else
            p->registry.push_back(entry);
    }
}

void Reader::ReadRunPacks(const std::vector<Table>& tables, std::vector<builder::RunPack>* packs) {
    for (size_t i = 0; i < tables.size(); ++i) {
        Table table = Labelled(tables[i], "name", i);
        CheckKeys(table, {"name", "program", "files", "order", "wait"});
        builder::RunPack pack = {};
        std::string name, program;
        bool hasName = Text(table, "name", sizeof pack.record.name - 1, false, &name);
        if (!hasName && table.t.get("name")) continue;
        if (!Path(table, "program", false, true, &program)) continue;
        std::string programName = program.substr(program.find_last_of(host_.Separator()) + 1);
        if (!hasName) name = programName.substr(0, sizeof pack.record.name - 1);
        if (programName.size() > kMaxProgramNameLen) {
            Fail(table, LineOf(*table.t.get("program")),
                 "the program's file name " + Quoted(programName) + " is longer than " +
                     std::to_string(kMaxProgramNameLen) + " characters",
                 "rename the program");
            continue;
        }
        std::vector<std::string> names = {programName};
        std::vector<std::pair<std::string, uint32_t>> files;
        TextList(table, "files", &files);
        for (const auto& [written, line] : files) {
            std::string path = Resolve(written);
            if (!CheckPath(table, line, "a file of \"files\"", path, false)) continue;
            std::string fileName = path.substr(path.find_last_of(host_.Separator()) + 1);
            // The files are unpacked side by side into one folder.
            bool clash = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
                return n.size() == fileName.size() &&
                       std::equal(n.begin(), n.end(), fileName.begin(), [](char a, char b) {
                           return tolower((unsigned char)a) == tolower((unsigned char)b);
                       });
            });
            if (clash) {
                Fail(table, line, "two files of the pack are named " + Quoted(fileName),
                     "give every file of a pack a name of its own");
                continue;
            }
            names.push_back(fileName);
            pack.extraPaths.push_back(path);
        }
        int64_t order = 0;
        Integer(table, "order", INT16_MIN, INT16_MAX, &order);
        bool wait = true;
        Bool(table, "wait", &wait);
        package::CopyText(pack.record.name, sizeof pack.record.name, name.c_str());
        package::CopyText(pack.record.programPath, sizeof pack.record.programPath, program.c_str());
        pack.record.orderKey = (int16_t)order;
        pack.record.waitField = wait ? 1 : 0;
        if (packs->size() == kMaxEntries)
            Fail(table, table.line(),
                 "more than " + std::to_string(kMaxEntries) + " run packs in one list",
                 "remove some");
        else
            packs->push_back(pack);
    }
}

void Reader::Read(const toml::table& root, Description* d) {
    Table top = {root, "the description"};
    CheckKeys(top, {"application", "background", "group", "setup_type", "desktop", "start_menu",
                    "registry", "run_before", "run_after", "signing"});
    const toml::node* app = root.get("application");
    if (!app || !app->is_table())
        Fail(app ? LineOf(*app) : 1, "the table [application] is missing",
             "start the description with [application] and its name = \"...\"");
    else
        ReadApplication({*app->as_table(), "[application]"}, d);
    if (const toml::node* background = root.get("background")) {
        if (background->is_table())
            ReadBackground({*background->as_table(), "[background]"}, d);
        else
            Fail(LineOf(*background), "\"background\" must be a table", "write it as [background]");
    }
    if (const toml::node* signing = root.get("signing")) {
        if (signing->is_table())
            ReadSigning({*signing->as_table(), "[signing]"}, &d->signing);
        else
            Fail(LineOf(*signing), "\"signing\" must be a table", "write it as [signing]");
    }
    builder::Project& p = d->project;
    ReadGroups(Tables(root, "group", "group"), &p);
    ReadSetupTypes(Tables(root, "setup_type", "setup type"), &p);
    ReadLinks(Tables(root, "desktop", "desktop entry"), true, &p);
    ReadLinks(Tables(root, "start_menu", "Start-menu entry"), false, &p);
    ReadRegistry(Tables(root, "registry", "registry value"), &p);
    ReadRunPacks(Tables(root, "run_before", "run pack"), &p.beforePacks);
    ReadRunPacks(Tables(root, "run_after", "run pack"), &p.afterPacks);
}

// Debian's toml++ 3.3.0 asks of each character where a space may stand
// whether it is whitespace, and for these code points its generated table
// reaches a point marked unreachable: undefined behaviour (an abort under
// the sanitizers). They are found before the text reaches the parser.
bool MishandledByToml(uint32_t c) {
    return (c >= 0xA1 && c <= 0x499) || (c >= 0x2C5E && c <= 0x2FFF) ||
           (c >= 0x3001 && c <= 0x3057) || (c >= 0xFB26 && c <= 0xFEFE);
}

// The code point of the UTF-8 sequence at text[at] and its length in *len.
// Overlong forms are decoded too, as the parser may take them; a byte that
// starts no whole sequence is 1 byte of U+FFFD.
uint32_t CodePointAt(std::string_view text, size_t at, size_t* len) {
    auto byte = [&](size_t i) { return (uint8_t)text[i]; };
    uint8_t lead = byte(at);
    size_t count = lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
    uint32_t c = count == 1 ? lead : count == 2 ? lead & 0x1F : count == 3 ? lead & 0x0F : lead & 0x07;
    bool whole = count != 0 && at + count <= text.size();
    for (size_t i = 1; whole && i < count; ++i) {
        whole = (byte(at + i) & 0xC0) == 0x80;
        c = c << 6 | (byte(at + i) & 0x3F);
    }
    *len = whole ? count : 1;
    return whole ? c : 0xFFFD;
}

// Where a quote follows a space, "=", "[", "{" or "," it opens a text. Elsewhere
// (as in 0"...") the parser may take it as part of a malformed value and,
// to report it, read on to the value's end asking of each character whether
// it is whitespace.
bool OpensText(std::string_view text, size_t quote) {
    return quote == 0 || (text[quote - 1] != 0 && strchr(" \t\r\n=[{,", text[quote - 1]));
}
bool IsValueEnd(char c) { return c != 0 && strchr(" \t\n\v\f\r]},#", c); }

// Finds the first such character where the parser would ask: anywhere
// outside texts in quotes and comments (where any non-ASCII character is a
// syntax error, so nothing valid is lost), after a quote that may not open a
// text up to the value's end, and after a backslash of a multi-line text.
// Texts are followed as the parser reads them, the up to two quotes that
// may close a multi-line text included.
bool FindMishandledCharacter(std::string_view text, Mistake* mistake) {
    enum class In { kValue, kComment, kBasic, kLiteral, kMultiBasic, kMultiLiteral };
    In in = In::kValue;
    uint32_t line = 1;
    auto starts = [&](size_t at, const char* token) { return text.substr(at).starts_with(token); };
    auto report = [&](uint32_t c, const char* where, const char* fix) {
        char code[16];
        snprintf(code, sizeof code, "U+%04X", (unsigned)c);
        *mistake = {line, std::string("the character ") + code + " " + where +
                              ", where the TOML reader cannot take it",
                    fix};
        return true;
    };
    for (size_t at = 0, len = 1; at < text.size(); at += len) {
        uint32_t c = CodePointAt(text, at, &len);
        if (c == '\n') {
            ++line;
            if (in == In::kComment || in == In::kBasic || in == In::kLiteral) in = In::kValue;
            continue;
        }
        switch (in) {
            case In::kValue:
                if (MishandledByToml(c))
                    return report(c, "stands outside quotes and comments",
                                  "remove it, or put it in a text in quotes");
                if (c == '#') in = In::kComment;
                if ((c == '"' || c == '\'') && !OpensText(text, at))
                    for (size_t next = at + 1, nextLen = 1;
                         next < text.size() && !IsValueEnd(text[next]); next += nextLen) {
                        uint32_t inside = CodePointAt(text, next, &nextLen);
                        if (MishandledByToml(inside))
                            return report(inside, "follows a quote inside a malformed value",
                                          "correct the value, or leave the character out");
                    }
                if (c == '"' || c == '\'') {
                    bool multi = starts(at, c == '"' ? "\"\"\"" : "'''");
                    in = c == '"' ? (multi ? In::kMultiBasic : In::kBasic)
                                  : (multi ? In::kMultiLiteral : In::kLiteral);
                    if (multi) len = 3;
                }
                break;
            case In::kComment:
                break;
            case In::kBasic:
                if (c == '"') in = In::kValue;
                // The escaped character is skipped, a line break excepted.
                if (c == '\\' && at + 1 < text.size() && text[at + 1] != '\n') ++len;
                break;
            case In::kLiteral:
                if (c == '\'') in = In::kValue;
                break;
            case In::kMultiBasic:
            case In::kMultiLiteral: {
                const char* close = in == In::kMultiBasic ? "\"\"\"" : "'''";
                if (starts(at, close)) {
                    len = 3;
                    while (len < 5 && at + len < text.size() && text[at + len] == close[0]) ++len;
                    in = In::kValue;
                } else if (in == In::kMultiBasic && c == '\\') {
                    // The parser asks about the escaped character, and after
                    // a line-ending backslash about the first one past the
                    // spaces and line breaks it passes over.
                    size_t next = at + 1;
                    bool lineEnding = false;
                    while (next < text.size() && text[next] && strchr(" \t\r\n", text[next])) {
                        if (text[next] == '\n') ++line;
                        lineEnding = true;
                        ++next;
                    }
                    size_t nextLen = 1;
                    uint32_t escaped = next < text.size() ? CodePointAt(text, next, &nextLen) : 0;
                    if (MishandledByToml(escaped))
                        return report(escaped, "follows a backslash in a multi-line text",
                                      "remove the backslash, or the character");
                    len = next - at + (lineEnding ? 0 : 1);
                }
                break;
            }
        }
    }
    return false;
}

}  // namespace

bool ReadDescription(std::string_view text, const std::string& baseDir, const Host& host,
                     Description* out, std::vector<Mistake>* mistakes) {
    mistakes->clear();
    Mistake mishandled;
    if (FindMishandledCharacter(text, &mishandled)) {
        mistakes->push_back(mishandled);
        return false;
    }
    toml::parse_result parsed = toml::parse(text, std::string_view("description"));
    if (!parsed) {
        const toml::parse_error& error = parsed.error();
        mistakes->push_back({error.source().begin.line,
                             "not valid TOML: " + std::string(error.description()),
                             "correct the syntax (docs/project-description.md shows every key)"});
        return false;
    }
    Description d;
    Reader(baseDir, host, mistakes).Read(parsed.table(), &d);
    if (!mistakes->empty()) {
        std::stable_sort(mistakes->begin(), mistakes->end(),
                         [](const Mistake& a, const Mistake& b) { return a.line < b.line; });
        return false;
    }
    *out = std::move(d);
    return true;
}

}  // namespace zekmake
