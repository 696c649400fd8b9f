#include "tests/zekmake/zekmake_run.h"

#include <algorithm>

#include "win32/unique_handle.h"

namespace zektest {

namespace {

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadText(const std::string& path) {
    testpkg::Bytes bytes = testpkg::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Reads records and bytes in sequence from a position of the body.
class Cursor {
  public:
    Cursor(const testpkg::Bytes& body, size_t pos) : body_(body), pos_(pos) {}
    bool ok() const { return ok_; }

    testpkg::Bytes Take(size_t size) {
        if (pos_ > body_.size() || body_.size() - pos_ < size) {
            ok_ = false;
            return {};
        }
        testpkg::Bytes bytes(body_.begin() + pos_, body_.begin() + pos_ + size);
        pos_ += size;
        return bytes;
    }
    template <typename Record>
    Record Read(bool (*decode)(const uint8_t*, size_t, Record*), size_t size) {
        Record r = {};
        testpkg::Bytes bytes = Take(size);
        if (ok_) decode(bytes.data(), bytes.size(), &r);
        return r;
    }
    testpkg::StoredFile File() {
        package::FileEntry entry = Read(package::DecodeFileEntry, package::kFileEntrySize);
        return {entry.name, Take(entry.size)};
    }

  private:
    const testpkg::Bytes& body_;
    size_t pos_;
    bool ok_ = true;
};

bool ReadPacks(const testpkg::Bytes& body, uint32_t offset, unsigned count,
               std::vector<Pack>* packs) {
    Cursor c(body, offset);
    for (unsigned i = 0; i < count && c.ok(); ++i) {
        Pack pack;
        pack.header = c.Read(package::DecodeRunPackHeader, package::kRunPackHeaderSize);
        for (uint32_t f = 0; f < pack.header.fileCount && c.ok(); ++f)
            pack.files.push_back(c.File());
        packs->push_back(pack);
    }
    return c.ok();
}

}  // namespace

Run RunProgram(const std::string& exe, const std::string& args, const std::string& workDir,
               const std::string& tempDir) {
    Run run;
    std::string outPath = workDir + "\\stdout.txt", errPath = workDir + "\\stderr.txt";
    win32::UniqueHandle out(InheritableFile(outPath)), err(InheritableFile(errPath));
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::string commandLine = "\"" + exe + "\" " + args;
    char oldTmp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    SetEnvironmentVariableA("TMP", tempDir.c_str());
    PROCESS_INFORMATION info = {};
    bool started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                  nullptr, workDir.c_str(), &startup, &info);
    SetEnvironmentVariableA("TMP", oldTmp);
    if (!started) return run;
    CloseHandle(info.hThread);
    win32::UniqueKernelObject process(info.hProcess);
    if (WaitForSingleObject(process.get(), 60000) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 255);
        WaitForSingleObject(process.get(), 5000);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        run.exitCode = (int)code;
    }
    out.reset();
    err.reset();
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return run;
}

bool DecodePackage(const testpkg::Bytes& body, Package* p) {
    if (!package::DecodePackageHeader(body.data(), body.size(), &p->header)) return false;
    const package::PackageHeader& h = p->header;
    Cursor licence(body, h.licenceOffset), readme(body, h.readmeOffset);
    p->licence = licence.Take(h.licenceSize);
    p->readme = readme.Take(h.readmeSize);

    Cursor groups(body, h.groupsOffset);
    for (unsigned g = 0; g < h.groupCount && groups.ok(); ++g) {
        Group group;
        group.header = groups.Read(package::DecodeGroupHeader, package::kGroupHeaderSize);
        std::vector<package::FileEntry> entries;
        for (uint32_t f = 0; f < group.header.fileCount && groups.ok(); ++f)
            entries.push_back(groups.Read(package::DecodeFileEntry, package::kFileEntrySize));
        for (const package::FileEntry& e : entries)
            group.files.push_back({e.name, groups.Take(e.size)});
        std::sort(group.files.begin(), group.files.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        p->groups.push_back(group);
    }
    Cursor types(body, h.setupTypesOffset);
    for (unsigned t = 0; t < h.setupTypeCount; ++t)
        p->setupTypes.push_back(
            types.Read(package::DecodeSetupTypeRecord, package::kSetupTypeRecordSize));
    Cursor desktop(body, h.desktopOffset), startMenu(body, h.startMenuOffset);
    for (unsigned i = 0; i < h.desktopCount; ++i)
        p->desktop.push_back(desktop.Read(package::DecodeLinkRecord, package::kLinkRecordSize));
    for (unsigned i = 0; i < h.startMenuCount; ++i)
        p->startMenu.push_back(startMenu.Read(package::DecodeLinkRecord, package::kLinkRecordSize));
    Cursor registry(body, h.registryOffset);
    testpkg::Bytes text = registry.Take(h.registrySize);
    p->registry.assign(text.begin(), text.end());
    return licence.ok() && readme.ok() && groups.ok() && types.ok() && desktop.ok() &&
           startMenu.ok() && registry.ok() &&
           ReadPacks(body, h.beforeOffset, h.beforeCount, &p->before) &&
           ReadPacks(body, h.afterOffset, h.afterCount, &p->after);
}

}  // namespace zektest
