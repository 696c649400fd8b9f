// The project file as the builder reads it: every record's offsets (typed
// from the layout tables), what the writer produces, and project files that
// end early or hold texts without their NUL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builder/project_reader.h"
#include "tests/builder/project_helpers.h"

using namespace builder;
using testproj::Stream;
using Bytes = std::vector<uint8_t>;

namespace {

void PutText(Bytes& b, size_t at, const char* text) { memcpy(&b[at], text, strlen(text) + 1); }
void PutU16(Bytes& b, size_t at, uint16_t v) {
    b[at] = (uint8_t)v;
    b[at + 1] = (uint8_t)(v >> 8);
}
void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (uint8_t)(v >> (8 * i));
}

// Reads every section in the builder's order; false at the first failure.
bool ReadWholeProject(FILE* file, Project* out) {
    ProjectHeader& h = out->header;
    if (!ReadProjectHeader(file, &h)) return false;
    Bytes groups(h.groupCount * kProjectGroupSize);
    if (!ReadBytes(file, groups.data(), groups.size())) return false;
    for (unsigned i = 0; i < h.groupCount; ++i) {
        ProjectGroup g;
        if (!DecodeProjectGroup(&groups[i * kProjectGroupSize], kProjectGroupSize, &g)) return false;
        out->groups.push_back(g);
    }
    Bytes types;
    if (!ReadSetupTypes(file, h.setupTypeCount, &types)) return false;
    for (unsigned i = 0; i < h.setupTypeCount; ++i) {
        package::SetupTypeRecord t;
        package::DecodeSetupTypeRecord(&types[i * 32], 32, &t);
        out->setupTypes.push_back(t);
    }
    for (auto [count, list] : {std::pair{h.desktopCount, &out->desktopLinks},
                               std::pair{h.startMenuCount, &out->startMenuLinks}}) {
        for (int i = 0; i < count; ++i) {
            ProjectLink link;
            if (!ReadProjectLink(file, &link)) return false;
            list->push_back(link);
        }
    }
    for (unsigned i = 0; i < h.registryCount; ++i) {
        RegEntry e;
        if (!ReadRegEntry(file, &e)) return false;
        out->registry.push_back(e);
    }
    return ReadRunPackList(file, h.beforeCount, &out->beforePacks) &&
           ReadRunPackList(file, h.afterCount, &out->afterPacks);
}

Project SampleProject() {
    Project p = {};
    p.header = testproj::Header("Sample");
    p.groups = {testproj::Group("Main", 0x11, "C:\\src\\main"),
                testproj::Group("Sub", 0x19, "C:\\src\\sub", "Tools")};
    p.setupTypes = {testproj::SetupType("Typical", 3), testproj::SetupType("Minimal", 1)};
    p.desktopLinks = {testproj::Shortcut("App", "App", "app.exe", 0, 1)};
    p.startMenuLinks = {testproj::Folder("Sample", "Sample", 0),
                        testproj::Shortcut("App", "Sample\\App", "app.exe", 1, 0)};
    p.registry = {testproj::Reg(0x80000001, 0, "Software\\Sample", "Path", "C:\\x"),
                  testproj::Reg(0x80000002, 1, "Software\\Sample", "(Default)", "0x10")};
    p.beforePacks = {testproj::Pack("Prep", "C:\\p\\prep.exe", 5, 1, {"C:\\p\\a.dll", "C:\\p\\b.dat"}),
                     testproj::Pack("Check", "C:\\p\\check.exe", 9, 0)};
    p.afterPacks = {testproj::Pack("Done", "C:\\p\\done.exe", 0, 1)};
    return p;
}

}  // namespace

TEST(ProjectRecords, HeaderFieldsAtTheirOffsets) {
    Bytes b(kProjectHeaderSize, 0xEE);  // bytes the builder does not read stay poisoned
    PutText(b, 8, "Application");
    PutText(b, 32, "Second");
    PutText(b, 56, "2.5");
    PutU16(b, 64, 0x0101);
    PutU16(b, 66, 0xFFFF);
    PutU32(b, 68, 0xA1B2C3D4);
    PutText(b, 72, "C:\\lic.txt");
    PutText(b, 328, "C:\\readme.txt");
    PutText(b, 584, "Title");
    PutU16(b, 648, 3);
    PutU16(b, 650, 0x8001);
    for (size_t at = 653; at <= 661; ++at) b[at] = (uint8_t)(at - 650);

    ProjectHeader h;
    ASSERT_TRUE(DecodeProjectHeader(b.data(), b.size(), &h));
    EXPECT_STREQ("Application", h.appName);
    EXPECT_STREQ("Second", h.secondName);
    EXPECT_STREQ("2.5", h.version);
    EXPECT_EQ(0x0101, h.licenceFlag);
    EXPECT_EQ(-1, h.readmeFlag);
    EXPECT_EQ(0xA1B2C3D4u, h.projectValue);
    EXPECT_STREQ("C:\\lic.txt", h.licencePath);
    EXPECT_STREQ("C:\\readme.txt", h.readmePath);
    EXPECT_STREQ("Title", h.title);
    EXPECT_EQ(3, h.startMenuCount);
    EXPECT_EQ(-32767, h.desktopCount);
    EXPECT_EQ(3, h.projectFlag);
    EXPECT_EQ(4, h.uninstall);
    EXPECT_EQ(5, h.allowedSystems);
    EXPECT_EQ(6, h.setupTypeCount);
    EXPECT_EQ(7, h.groupCount);
    EXPECT_EQ(8, h.registryCount);
    EXPECT_EQ(9, h.reboot);
    EXPECT_EQ(10, h.beforeCount);
    EXPECT_EQ(11, h.afterCount);

    EXPECT_FALSE(DecodeProjectHeader(b.data(), kProjectHeaderSize - 1, &h));
}

TEST(ProjectRecords, GroupLinkAndRunPackFieldsAtTheirOffsets) {
    Bytes g(kProjectGroupSize, 0xEE);
    PutText(g, 0, "Group");
    g[31] = 0x19;
    PutText(g, 32, "C:\\src");
    PutText(g, 288, "Sub");
    ProjectGroup group;
    ASSERT_TRUE(DecodeProjectGroup(g.data(), g.size(), &group));
    EXPECT_STREQ("Group", group.name);
    EXPECT_EQ(0x19, group.flags);
    EXPECT_STREQ("C:\\src", group.sourceFolder);
    EXPECT_STREQ("Sub", group.subfolder);

    Bytes l(kProjectLinkSize, 0xEE);
    PutText(l, 0, "Link");
    PutText(l, 32, "target.exe");
    PutText(l, 64, "Folder\\Link");
    PutU16(l, 320, 0x0102);
    PutU16(l, 322, 1);
    PutU16(l, 326, 0xFFFF);
    ProjectLink link;
    ASSERT_TRUE(DecodeProjectLink(l.data(), l.size(), &link));
    EXPECT_STREQ("Link", link.name);
    EXPECT_STREQ("target.exe", link.target);
    EXPECT_STREQ("Folder\\Link", link.path);
    EXPECT_EQ(0x0102, link.targetGroup);
    EXPECT_EQ(1, link.desktopFlag);
    EXPECT_EQ(-1, link.kind);

    Bytes r(kProjectRunPackSize, 0xEE);
    PutText(r, 0, "Pack");
    PutText(r, 32, "C:\\p\\run.exe");
    PutU16(r, 288, 2);
    PutU16(r, 290, 0xFFFE);
    PutU16(r, 292, 1);
    ProjectRunPack pack;
    ASSERT_TRUE(DecodeProjectRunPack(r.data(), r.size(), &pack));
    EXPECT_STREQ("Pack", pack.name);
    EXPECT_STREQ("C:\\p\\run.exe", pack.programPath);
    EXPECT_EQ(2, pack.extraCount);
    EXPECT_EQ(-2, pack.orderKey);
    EXPECT_EQ(1, pack.waitField);
}

TEST(ProjectRecords, TextsWithoutTheirNulAreRefusedWhereTheBuilderReadsThem) {
    Bytes h(kProjectHeaderSize, 0);
    ProjectHeader header;
    for (size_t field : {8, 32, 56, 72, 328, 584}) {
        SCOPED_TRACE(field);
        Bytes damaged = h;
        size_t width = field == 56 ? 8 : field < 72 ? 24 : field == 584 ? 64 : 256;
        memset(&damaged[field], 'x', width);
        EXPECT_FALSE(DecodeProjectHeader(damaged.data(), damaged.size(), &header));
        damaged[field + width - 1] = 0;  // the longest text that fits
        EXPECT_TRUE(DecodeProjectHeader(damaged.data(), damaged.size(), &header));
    }

    // The subfolder is read only with flag 0x08, a link's target only for a
    // shortcut: without them those fields may hold anything.
    Bytes g(kProjectGroupSize, 0);
    memset(&g[288], 'x', 256);
    ProjectGroup group;
    EXPECT_TRUE(DecodeProjectGroup(g.data(), g.size(), &group));
    EXPECT_STREQ("", group.subfolder);
    g[31] = 0x08;
    EXPECT_FALSE(DecodeProjectGroup(g.data(), g.size(), &group));

    Bytes l(kProjectLinkSize, 0);
    memset(&l[32], 'x', 32);
    ProjectLink link;
    EXPECT_TRUE(DecodeProjectLink(l.data(), l.size(), &link));
    EXPECT_STREQ("", link.target);
    l[326] = 0xFF;
    EXPECT_FALSE(DecodeProjectLink(l.data(), l.size(), &link));
}

TEST(ProjectReader, WriterOutputReadsBackSectionBySection) {
    Project written = SampleProject();
    Bytes bytes = testproj::Encode(written);
    Stream stream(bytes);
    Project read = {};
    ASSERT_TRUE(ReadWholeProject(stream.get(), &read));
    EXPECT_EQ(EOF, fgetc(stream.get()));  // nothing left over

    EXPECT_EQ(2, read.header.startMenuCount);
    EXPECT_EQ(1, read.header.afterCount);
    EXPECT_STREQ("Tools", read.groups[1].subfolder);
    EXPECT_STREQ("Minimal", read.setupTypes[1].name);
    EXPECT_STREQ("Sample\\App", read.startMenuLinks[1].path);
    EXPECT_EQ("(Default)", read.registry[1].name);
    EXPECT_EQ("0x10", read.registry[1].data);
    ASSERT_EQ(2u, read.beforePacks[0].extraPaths.size());
    EXPECT_EQ("C:\\p\\b.dat", read.beforePacks[0].extraPaths[1]);
    EXPECT_STREQ("Check", read.beforePacks[1].record.name);  // no extra paths in between
    EXPECT_STREQ("C:\\p\\done.exe", read.afterPacks[0].record.programPath);

    // Offsets of the variable sections, from the layout: the registry
    // entry's head, then each text behind its 2-byte field.
    size_t reg = kProjectHeaderSize + 2 * kProjectGroupSize + 2 * 32 + 3 * kProjectLinkSize;
    EXPECT_EQ(0x80000001u, bytes[reg] | bytes[reg + 1] << 8 | bytes[reg + 2] << 16 |
                               (uint32_t)bytes[reg + 3] << 24);
    EXPECT_EQ(16u, bytes[reg + 8]);  // "Software\Sample" and its NUL
    EXPECT_EQ(0, memcmp(&bytes[reg + 22], "Software\\Sample", 16));
    EXPECT_EQ(0, memcmp(&bytes[reg + 22 + 16 + 2], "Path", 5));
}

TEST(ProjectReader, ProjectCutShortAnywhereFails) {
    Bytes bytes = testproj::Encode(SampleProject());
    // Inside and at the end of each section, and one byte before its end.
    size_t groups = kProjectHeaderSize, types = groups + 2 * kProjectGroupSize;
    size_t links = types + 64, reg = links + 3 * kProjectLinkSize;
    std::vector<size_t> cuts = {0, 1, groups - 1, groups, groups + 300, types - 1, types,
                                types + 31, links, links + 327, reg - 1, reg, reg + 10,
                                reg + 21, reg + 25, bytes.size() - 1};
    for (size_t at = reg; at < bytes.size(); at += 37) cuts.push_back(at);
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        Stream stream(Bytes(bytes.begin(), bytes.begin() + cut));
        Project read = {};
        EXPECT_FALSE(ReadWholeProject(stream.get(), &read));
    }
}

TEST(ProjectReader, RegistryTextMustHoldItsNulWithinItsLength) {
    auto entry = [](uint32_t keyLength, const std::string& key) {
        Bytes b(kRegEntryHeadSize, 0);
        PutU32(b, 0, 0x80000001);
        PutU32(b, 8, keyLength);
        PutU32(b, 12, 1);
        PutU32(b, 16, 1);
        std::string texts = "\xAA\xBB" + key + std::string("\xAA\xBB\0\xAA\xBB\0", 6);
        b.insert(b.end(), texts.begin(), texts.end());
        return b;
    };
    RegEntry e;
    {
        Stream s(entry(4, std::string("Key\0", 4)));
        ASSERT_TRUE(ReadRegEntry(s.get(), &e));
        EXPECT_EQ("Key", e.key);
        EXPECT_EQ("", e.name);  // name length 1: only the NUL
    }
    {
        Stream s(entry(6, std::string("Ke\0yZZ", 6)));  // bytes after the NUL are ignored
        ASSERT_TRUE(ReadRegEntry(s.get(), &e));
        EXPECT_EQ("Ke", e.key);
    }
    {
        Stream s(entry(3, "Key"));
        EXPECT_FALSE(ReadRegEntry(s.get(), &e));
    }
    {
        Stream s(entry(0, ""));
        EXPECT_FALSE(ReadRegEntry(s.get(), &e));
    }
    {
        // A length far beyond the file is a file that ends early.
        Stream s(entry(0xFFFFFFF0u, std::string("Key\0", 4)));
        EXPECT_FALSE(ReadRegEntry(s.get(), &e));
    }
    {
        // The longest text is read whole past its NUL; one byte more is
        // refused even when the file holds it.
        std::string longest = "Key" + std::string(kMaxRegTextLength - 3, '\0');
        Stream s(entry(kMaxRegTextLength, longest));
        ASSERT_TRUE(ReadRegEntry(s.get(), &e));
        EXPECT_EQ("Key", e.key);
        EXPECT_EQ("", e.data);
        Stream over(entry(kMaxRegTextLength + 1, longest + '\0'));
        EXPECT_FALSE(ReadRegEntry(over.get(), &e));
    }
}

TEST(ProjectReader, RunPackDamageIsRefused) {
    Project p = {};
    p.header = testproj::Header("Packs");
    p.beforePacks = {testproj::Pack("A", "C:\\a.exe", 0, 0, {"C:\\x.dll"})};
    Bytes bytes = testproj::Encode(p);
    size_t extra = kProjectHeaderSize + kProjectRunPackSize;
    std::vector<RunPack> packs;
    {
        Bytes negative = bytes;
        PutU16(negative, kProjectHeaderSize + 288, 0xFFFF);
        Stream s(negative);
        ProjectHeader h;
        ASSERT_TRUE(ReadProjectHeader(s.get(), &h));
        EXPECT_FALSE(ReadRunPackList(s.get(), 1, &packs));
    }
    {
        Bytes noNul = bytes;
        memset(&noNul[extra], 'x', kRunPackPathSize);
        Stream s(noNul);
        ProjectHeader h;
        ASSERT_TRUE(ReadProjectHeader(s.get(), &h));
        EXPECT_FALSE(ReadRunPackList(s.get(), 1, &packs));
    }
    {
        Bytes noNul = bytes;
        memset(&noNul[kProjectHeaderSize + 32], 'x', 256);
        Stream s(noNul);
        ProjectHeader h;
        ASSERT_TRUE(ReadProjectHeader(s.get(), &h));
        EXPECT_FALSE(ReadRunPackList(s.get(), 1, &packs));
    }
}

TEST(ProjectReader, SetupTypeNameWithoutNulIsRefused) {
    Bytes types(64, 0);
    memset(&types[32], 'x', 28);
    Stream s(types);
    Bytes read;
    EXPECT_FALSE(ReadSetupTypes(s.get(), 2, &read));
    types[32 + 27] = 0;
    Stream again(types);
    ASSERT_TRUE(ReadSetupTypes(again.get(), 2, &read));
    EXPECT_TRUE(read == types);  // copied as stored
}

TEST(ProjectWriter, ListsLongerThanTheirCountFieldAreRefused) {
    Project p = {};
    p.groups.resize(256);
    Bytes out = {1, 2, 3};
    EXPECT_FALSE(EncodeProject(p, &out));
    EXPECT_EQ((Bytes{1, 2, 3}), out);
    p.groups.resize(255);
    p.desktopLinks.resize(32768);
    EXPECT_FALSE(EncodeProject(p, &out));
    p.desktopLinks.resize(256);  // fits the file; the builder refuses it
    EXPECT_TRUE(EncodeProject(p, &out));
}
