// Writes the seed inputs of the fuzz targets, made by the suite's own
// encoders, into DIR/<target>/. The checked-in corpora come from here:
//   make_seeds tests/fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/project_writer.h"
#include "package/registry_text.h"
#include "package/bytes.h"
#include "package/one_file.h"
#include "package/records.h"
#include "uninstall_log/log_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_dir;

bool Write(const std::string& target, const std::string& name, const void* data, size_t size) {
    std::string path = g_dir + "/" + target + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(data, 1, size, f) == size;
    if (f) ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
    return ok;
}
bool Write(const std::string& target, const std::string& name, const std::string& text) {
    return Write(target, name, text.data(), text.size());
}
bool Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    return Write(target, name, bytes.data(), bytes.size());
}

template <typename Record, size_t N>
void Append(Bytes* out, const Record& r, void (*encode)(const Record&, uint8_t*)) {
    uint8_t bytes[N];
    encode(r, bytes);
    out->insert(out->end(), bytes, bytes + N);
}

// A body with a licence, one group of two files, two setup types, a
// desktop shortcut and a run pack with one file.
Bytes PackageBody() {
    using namespace package;
    PackageHeader h = {};
    CopyText(h.appName, sizeof h.appName, "Seed");
    CopyText(h.version, sizeof h.version, "1.0");
    h.allowedSystems = 0x37;
    Bytes body(kPackageHeaderSize);
    const std::string licence = "Licence text\r\n";
    h.licenceFlag = 1;
    h.licenceOffset = (uint32_t)body.size();
    h.licenceSize = (uint32_t)licence.size();
    body.insert(body.end(), licence.begin(), licence.end());

    h.groupCount = 1;
    h.groupsOffset = (uint32_t)body.size();
    GroupHeader g = {};
    g.flags = 0x11;
    g.fileCount = 2;
    g.totalBytes = 7;
    Append<GroupHeader, kGroupHeaderSize>(&body, g, EncodeGroupHeader);
    FileEntry a = {}, b = {};
    CopyText(a.name, sizeof a.name, "a.txt");
    a.size = 3;
    CopyText(b.name, sizeof b.name, "b.dll");
    b.size = 4;
    Append<FileEntry, kFileEntrySize>(&body, a, EncodeFileEntry);
    Append<FileEntry, kFileEntrySize>(&body, b, EncodeFileEntry);
    for (char c : std::string("abcDLL!")) body.push_back((uint8_t)c);
    h.groupsSize = (uint32_t)body.size() - h.groupsOffset;

    h.setupTypeCount = 2;
    h.setupTypesOffset = (uint32_t)body.size();
    SetupTypeRecord typical = {}, minimal = {};
    CopyText(typical.name, sizeof typical.name, "Typical");
    typical.groupMask = 1;
    CopyText(minimal.name, sizeof minimal.name, "Minimal");
    Append<SetupTypeRecord, kSetupTypeRecordSize>(&body, typical, EncodeSetupTypeRecord);
    Append<SetupTypeRecord, kSetupTypeRecordSize>(&body, minimal, EncodeSetupTypeRecord);
    h.setupTypesSize = 2 * kSetupTypeRecordSize;

    h.desktopCount = 1;
    h.desktopOffset = (uint32_t)body.size();
    h.desktopSize = kLinkRecordSize;
    LinkRecord link = {};
    link.desktopFlag = 1;
    link.entryKind = 0xFF;
    CopyText(link.linkName, sizeof link.linkName, "Seed");
    CopyText(link.targetName, sizeof link.targetName, "a.txt");
    Append<LinkRecord, kLinkRecordSize>(&body, link, EncodeLinkRecord);

    const std::string registry = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Seed]\r\n\"A\"=\"1\"\r\n";
    h.registryOffset = (uint32_t)body.size();
    h.registrySize = (uint32_t)registry.size();
    body.insert(body.end(), registry.begin(), registry.end());

    h.afterCount = 1;
    h.afterOffset = (uint32_t)body.size();
    RunPackHeader pack = {};
    CopyText(pack.packName, sizeof pack.packName, "First run");
    CopyText(pack.programName, sizeof pack.programName, "first.exe");
    pack.waitFlag = 1;
    pack.fileCount = 1;
    Append<RunPackHeader, kRunPackHeaderSize>(&body, pack, EncodeRunPackHeader);
    FileEntry program = {};
    CopyText(program.name, sizeof program.name, "first.exe");
    program.size = 2;
    Append<FileEntry, kFileEntrySize>(&body, program, EncodeFileEntry);
    body.push_back('M');
    body.push_back('Z');

    EncodePackageHeader(h, body.data());
    return body;
}

builder::Project SampleProject() {
    builder::Project p = {};
    builder::ProjectHeader& h = p.header;
    package::CopyText(h.appName, sizeof h.appName, "Seed");
    package::CopyText(h.version, sizeof h.version, "1.0");
    h.licenceFlag = 1;
    package::CopyText(h.licencePath, sizeof h.licencePath, "C:\\seed\\licence.txt");
    h.allowedSystems = 0x37;
    builder::ProjectGroup g = {};
    package::CopyText(g.name, sizeof g.name, "Program");
    g.flags = 0x19;
    package::CopyText(g.sourceFolder, sizeof g.sourceFolder, "C:\\seed\\bin");
    package::CopyText(g.subfolder, sizeof g.subfolder, "Tools");
    p.groups = {g};
    package::SetupTypeRecord t = {};
    package::CopyText(t.name, sizeof t.name, "Typical");
    t.groupMask = 1;
    p.setupTypes = {t, t};
    builder::ProjectLink folder = {};
    package::CopyText(folder.name, sizeof folder.name, "Seed");
    package::CopyText(folder.path, sizeof folder.path, "Seed\\Seed");
    builder::ProjectLink shortcut = {};
    package::CopyText(shortcut.name, sizeof shortcut.name, "App");
    package::CopyText(shortcut.target, sizeof shortcut.target, "app.exe");
    package::CopyText(shortcut.path, sizeof shortcut.path, "Seed\\App");
    shortcut.kind = -1;
    p.startMenuLinks = {folder, shortcut};
    shortcut.desktopFlag = 1;
    p.desktopLinks = {shortcut};
    p.registry = {{0x80000001, 0, "Software\\Seed", "Path", "C:\\seed"},
                  {0x80000002, 1, "Software\\Seed", "(Default)", "0x10"}};
    builder::RunPack pack = {};
    package::CopyText(pack.record.name, sizeof pack.record.name, "Prepare");
    package::CopyText(pack.record.programPath, sizeof pack.record.programPath,
                      "C:\\seed\\prep.exe");
    pack.extraPaths = {"C:\\seed\\a.dll"};
    p.beforePacks = {pack};
    return p;
}

bool ProjectFiles() {
    Bytes bytes;
    builder::Project empty = {};
    package::CopyText(empty.header.appName, sizeof empty.header.appName, "Empty");
    return builder::EncodeProject(SampleProject(), &bytes) && Write("project_file", "sample", bytes) &&
           builder::EncodeProject(empty, &bytes) && Write("project_file", "empty", bytes);
}

bool RegistryTexts() {
    std::string text = package::kRegistryTextStart;
    for (const builder::RegEntry& e : SampleProject().registry) text += package::FormatRegEntry(e);
    text += package::FormatRegEntry({0x80000000, 0, ".seed", "Quoted \"name\"", "a\\b"});
    return Write("registry_text", "sample", text) &&
           Write("registry_text", "lf-only", "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\x]\n@=\"v\"\n");
}

bool LogTexts() {
    std::string log = "[main]\r\nAppName=Seed\r\n";
    const char* texts[] = {"C:\\Program Files\\Seed\\a.txt", "HKEY_CURRENT_USER\\Software\\Seed",
                           " 100% \t", "C:\\Seed\\Start Menu\\Seed.lnk", "C:\\Windows\\b.dll"};
    for (unsigned kind = 1; kind <= 5; ++kind) {
        uninstall_log::ListName name = uninstall_log::ListForKind(kind);
        log += uninstall_log::RecordLines(name.section, name.prefix, texts[kind - 1], true);
        log += uninstall_log::RecordLines(name.section, name.prefix, texts[(kind + 1) % 5], false);
    }
    return Write("uninstall_log", "sample", log);
}

bool CommandLines() {
    return Write("command_line", "quoted",
                 "\"C:\\Program Files\\Seed\\drevok.exe\" C:\\Program Files\\Seed\\uninst.log") &&
           Write("command_line", "switches",
                 "setup.exe /S /TYPE=\"Full install\" /LOG=\"C:\\My Logs\\s.txt\" /D=C:\\Apps\\My App") &&
           Write("command_line", "keys",
                 "HKEY_LOCAL_MACHINE\\Software\\Seed\nHKEY_LOCAL_MACHINE\\Software\\Seed\\Sub\n"
                 "HKEY_CURRENT_USER\\Software\nHKEY_CLASSES_ROOT\\.seed\n");
}

bool Descriptions() {
    return Write("description", "full", R"(# A description with every table
[application]
name = "Seed"
second_name = "Seed Tools"
version = "1.0"
title = 'Seed 1.0 Setup'
licence = "licence.txt"
systems = ["win98", "nt5"]
uninstall = true
reboot = false
[background]
color = "#0000FF"
dithered = true
[[group]]
name = "Program"
source = "bin"
mode = "shared-dll"
subfolder = "Tools"
[[group]]
name = "Help"
source = 'docs'
destination = "windows"
[[setup_type]]
name = "Typical"
groups = ["Program", "Help"]
[[setup_type]]
name = "Minimal"
groups = ["Program"]
[[start_menu]]
folder = "Seed/Tools"
[[start_menu]]
folder = "Seed"
name = "Seed"
group = "Program"
file = "seed.exe"
[[desktop]]
name = "Seed"
group = "Program"
file = "seed.exe"
[[registry]]
root = "HKCU"
key = 'Software\Seed'
name = "Path"
value = """C:\\Seed"""
[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = 'Software\Seed'
value = 0x7B
[[run_after]]
program = "setup/first.exe"
files = ["setup/a.txt"]
order = 2
wait = false
)") &&
           Write("description", "texts",
                 "[application]\nname = \"\"\"Se\\\n   ed\"\"\"\nversion = '''1.0'''\n"
                 "title = \"Caf\xC3\xA9 \\u00E9\" # Z\xC3\xBCrich\n");
}

}  // namespace

// A one file: PE headers (unsigned PE32) padded to 1536 bytes, two files,
// the directory and the trailer.
bool OneFiles() {
    Bytes file(1536, 0);
    file[0] = 'M';
    file[1] = 'Z';
    package::PutU32LE(&file[0x3C], 0x80);
    file[0x80] = 'P';
    file[0x81] = 'E';
    file[0x98] = 0x0B;  // optional header magic 0x10B
    file[0x99] = 0x01;
    package::PutU32LE(&file[0x98 + 92], 16);  // data directories
    const char* names[] = {"setup.exe", "setup.dat"};
    Bytes directory;
    for (const char* name : names) {
        package::OneFileEntry entry = {};
        package::CopyText(entry.name, sizeof entry.name, name);
        entry.offset = (uint32_t)file.size();
        entry.size = 40;
        file.insert(file.end(), 40, (uint8_t)name[6]);
        entry.crc = package::Crc32(0, &file[entry.offset], entry.size);
        Append<package::OneFileEntry, package::kOneFileEntrySize>(&directory, entry,
                                                                   package::EncodeOneFileEntry);
    }
    Append<package::OneFileTrailer, package::kOneFileTrailerSize>(
        &directory, {(uint32_t)file.size(), 2}, package::EncodeOneFileTrailer);
    file.insert(file.end(), directory.begin(), directory.end());
    return Write("one_file", "sample", file);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    g_dir = argv[1];
    for (const char* target : {"package_body", "project_file", "registry_text", "uninstall_log",
                               "command_line", "description", "one_file"})
        std::filesystem::create_directories(g_dir + "/" + target);
    Bytes body = PackageBody();
    bool ok = Write("package_body", "sample", body) && ProjectFiles() && RegistryTexts() &&
              LogTexts() && CommandLines() && Descriptions() && OneFiles();
    return ok ? 0 : 1;
}
