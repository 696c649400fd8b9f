// Codec tests of the package records. Offsets are typed from the layout
// tables, never taken from the codec under test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/records.h"

using namespace package;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

std::string TextAt(const std::vector<uint8_t>& b, size_t at, size_t width) {
    std::string s;
    for (size_t i = 0; i < width && b[at + i]; ++i) s += (char)b[at + i];
    return s;
}

bool ZeroFrom(const std::vector<uint8_t>& b, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (b[i] != 0) return false;
    return true;
}

PackageHeader SampleHeader() {
    PackageHeader h = {};
    strcpy(h.appName, "Demo App");
    strcpy(h.secondName, "Second");
    strcpy(h.version, "1.2.3");
    h.projectValue = 0xA1B2C3D4;
    strcpy(h.title, "Custom title");
    h.uninstall = 1;
    h.reboot = 2;
    h.projectFlag = 3;
    h.licenceFlag = 4;
    h.readmeFlag = 5;
    h.startMenuCount = 6;
    h.desktopCount = 7;
    h.groupCount = 8;
    h.setupTypeCount = 9;
    h.allowedSystems = 0x37;
    uint32_t* offsets[] = {&h.licenceOffset,    &h.licenceSize,    &h.readmeOffset,
                           &h.readmeSize,       &h.groupsOffset,   &h.groupsSize,
                           &h.setupTypesOffset, &h.setupTypesSize, &h.startMenuOffset,
                           &h.startMenuSize,    &h.desktopOffset,  &h.desktopSize,
                           &h.registryOffset,   &h.registrySize};
    for (uint32_t i = 0; i < 14; ++i) *offsets[i] = 0x01000000u * (i + 1) + 0x10203u;
    h.beforeCount = 0xFE;
    h.afterCount = 0xFD;
    h.beforeOffset = 0x80000001;
    h.afterOffset = 0xFFFFFFFF;
    return h;
}

}  // namespace

TEST(PackageHeaderCodec, FieldsLandAtTheirOffsets) {
    std::vector<uint8_t> b(kPackageHeaderSize, 0xCC);
    EncodePackageHeader(SampleHeader(), b.data());
    EXPECT_EQ(0, memcmp(b.data(), "[ZKDAT]\0", 8));
    EXPECT_EQ("Demo App", TextAt(b, 8, 24));
    EXPECT_TRUE(ZeroFrom(b, 8 + 8, 32));
    EXPECT_EQ("Second", TextAt(b, 32, 24));
    EXPECT_EQ("1.2.3", TextAt(b, 56, 8));
    EXPECT_EQ(0xA1B2C3D4u, U32At(b, 64));
    EXPECT_EQ("Custom title", TextAt(b, 68, 62));
    EXPECT_TRUE(ZeroFrom(b, 68 + 12, 130));
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0x37};
    for (size_t i = 0; i < sizeof bytes; ++i) {
        SCOPED_TRACE(130 + i);
        EXPECT_EQ(bytes[i], b[130 + i]);
    }
    for (uint32_t i = 0; i < 14; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0x01000000u * (i + 1) + 0x10203u, U32At(b, 140 + 4 * i));
    }
    EXPECT_EQ(0xFE, b[196]);
    EXPECT_EQ(0xFD, b[197]);
    EXPECT_TRUE(ZeroFrom(b, 198, 200));
    EXPECT_EQ(0x80000001u, U32At(b, 200));
    EXPECT_EQ(0xFFFFFFFFu, U32At(b, 204));
    EXPECT_TRUE(ZeroFrom(b, 208, 328));
}

TEST(PackageHeaderCodec, RoundTripsEveryField) {
    PackageHeader in = SampleHeader();
    uint8_t b[kPackageHeaderSize];
    EncodePackageHeader(in, b);
    PackageHeader out;
    memset(&out, 0x5A, sizeof out);
    ASSERT_TRUE(DecodePackageHeader(b, sizeof b, &out));
    uint8_t again[kPackageHeaderSize];
    EncodePackageHeader(out, again);
    EXPECT_EQ(0, memcmp(b, again, sizeof b));
    EXPECT_STREQ("Custom title", out.title);
    EXPECT_EQ(0xFFFFFFFFu, out.afterOffset);
}

TEST(PackageHeaderCodec, ReadsFieldsWrittenAtOffsets) {
    std::vector<uint8_t> b(kPackageHeaderSize, 0);
    memcpy(&b[8], "Typed", 5);
    b[137] = 32;
    b[138] = 3;
    b[156] = 0x48;
    b[157] = 0x01;  // 328
    b[192] = 12;
    b[200] = 0x78;
    b[201] = 0x56;
    b[202] = 0x34;
    b[203] = 0x12;
    PackageHeader h;
    ASSERT_TRUE(DecodePackageHeader(b.data(), b.size(), &h));
    EXPECT_STREQ("Typed", h.appName);
    EXPECT_EQ(32, h.groupCount);
    EXPECT_EQ(3, h.setupTypeCount);
    EXPECT_EQ(328u, h.groupsOffset);
    EXPECT_EQ(12u, h.registrySize);
    EXPECT_EQ(0x12345678u, h.beforeOffset);
    EXPECT_EQ(0u, h.afterOffset);
}

TEST(PackageHeaderCodec, MagicIsNotChecked) {
    std::vector<uint8_t> b(kPackageHeaderSize, 0);
    memcpy(&b[0], "GARBAGE!", 8);
    PackageHeader h;
    EXPECT_TRUE(DecodePackageHeader(b.data(), b.size(), &h));
}

TEST(RecordCodecs, ShortInputIsRefusedAndLeavesTheRecordAlone) {
    std::vector<uint8_t> b(400, 'x');
    PackageHeader h = SampleHeader();
    EXPECT_FALSE(DecodePackageHeader(b.data(), kPackageHeaderSize - 1, &h));
    EXPECT_STREQ("Demo App", h.appName);
    GroupHeader g = {};
    EXPECT_FALSE(DecodeGroupHeader(b.data(), kGroupHeaderSize - 1, &g));
    EXPECT_EQ(0u, g.fileCount);
    FileEntry f = {};
    EXPECT_FALSE(DecodeFileEntry(b.data(), kFileEntrySize - 1, &f));
    EXPECT_EQ(0, f.name[0]);
    SetupTypeRecord s = {};
    EXPECT_FALSE(DecodeSetupTypeRecord(b.data(), kSetupTypeRecordSize - 1, &s));
    LinkRecord l = {};
    EXPECT_FALSE(DecodeLinkRecord(b.data(), kLinkRecordSize - 1, &l));
    RunPackHeader r = {};
    EXPECT_FALSE(DecodeRunPackHeader(b.data(), kRunPackHeaderSize - 1, &r));
    EXPECT_EQ(0u, r.fileCount);
}

TEST(GroupHeaderCodec, LayoutAndRoundTrip) {
    GroupHeader g = {};
    strcpy(g.subfolder, "Sub\\Folder");
    g.flags = 0x89;
    g.fileCount = 3;
    g.totalBytes = 0x00ABCDEF;
    std::vector<uint8_t> b(kGroupHeaderSize, 0xCC);
    EncodeGroupHeader(g, b.data());
    EXPECT_EQ("Sub\\Folder", TextAt(b, 0, 255));
    EXPECT_TRUE(ZeroFrom(b, 10, 255));
    EXPECT_EQ(0x89, b[255]);
    EXPECT_EQ(3u, U32At(b, 256));
    EXPECT_EQ(0x00ABCDEFu, U32At(b, 260));
    GroupHeader out;
    ASSERT_TRUE(DecodeGroupHeader(b.data(), b.size(), &out));
    EXPECT_STREQ("Sub\\Folder", out.subfolder);
    EXPECT_EQ(0x89, out.flags);
    EXPECT_EQ(3u, out.fileCount);
    EXPECT_EQ(0x00ABCDEFu, out.totalBytes);
}

// The flags byte as packages hold it: the destination kind in the low
// nibble (subfolder bit 0x08), the copy mode in the high nibble.
TEST(GroupFlags, BytesAndAccessors) {
    struct Case {
        Destination destination;
        bool subfolder;
        CopyMode mode;
        uint8_t byte;
    } cases[] = {
        {Destination::kInstall, false, CopyMode::kPlain, 0x11},
        {Destination::kWindows, true, CopyMode::kSelfRegistering, 0x2A},
        {Destination::kSystem, false, CopyMode::kSharedDll, 0x84},
        {Destination::kSystem, true, CopyMode::kSelfRegisteringToo, 0x4C},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.byte, MakeGroupFlags(c.destination, c.subfolder, c.mode));
        EXPECT_EQ(c.destination, DestinationOf(c.byte));
        EXPECT_EQ(c.subfolder, HasSubfolder(c.byte));
        EXPECT_EQ(c.mode, CopyModeOf(c.byte));
    }
}

TEST(FileEntryCodec, LayoutAndRoundTrip) {
    FileEntry f = {};
    strcpy(f.name, "program.exe");
    f.size = 0xFFFFFFFE;
    std::vector<uint8_t> b(kFileEntrySize, 0xCC);
    EncodeFileEntry(f, b.data());
    EXPECT_EQ("program.exe", TextAt(b, 0, 260));
    EXPECT_TRUE(ZeroFrom(b, 11, 260));
    EXPECT_EQ(0xFFFFFFFEu, U32At(b, 260));
    FileEntry out;
    ASSERT_TRUE(DecodeFileEntry(b.data(), b.size(), &out));
    EXPECT_STREQ("program.exe", out.name);
    EXPECT_EQ(0xFFFFFFFEu, out.size);
}

TEST(SetupTypeRecordCodec, LayoutAndRoundTrip) {
    SetupTypeRecord s = {};
    strcpy(s.name, "Typical");
    s.groupMask = 0x80000005;
    std::vector<uint8_t> b(kSetupTypeRecordSize, 0xCC);
    EncodeSetupTypeRecord(s, b.data());
    EXPECT_EQ("Typical", TextAt(b, 0, 28));
    EXPECT_TRUE(ZeroFrom(b, 7, 28));
    EXPECT_EQ(0x80000005u, U32At(b, 28));
    SetupTypeRecord out;
    ASSERT_TRUE(DecodeSetupTypeRecord(b.data(), b.size(), &out));
    EXPECT_STREQ("Typical", out.name);
    EXPECT_EQ(0x80000005u, out.groupMask);
}

TEST(LinkRecordCodec, LayoutAndRoundTrip) {
    LinkRecord l = {};
    l.desktopFlag = 1;
    l.entryKind = 0xFF;
    l.targetGroup = 31;
    strcpy(l.linkName, "Run Demo");
    strcpy(l.targetName, "demo.exe");
    strcpy(l.folderPath, "Vendor\\Demo");
    std::vector<uint8_t> b(kLinkRecordSize, 0xCC);
    EncodeLinkRecord(l, b.data());
    EXPECT_EQ(1, b[0]);
    EXPECT_EQ(0xFF, b[1]);
    EXPECT_EQ(31, b[2]);
    EXPECT_EQ(0, b[3]);
    EXPECT_EQ("Run Demo", TextAt(b, 4, 32));
    EXPECT_EQ("demo.exe", TextAt(b, 36, 32));
    EXPECT_EQ("Vendor\\Demo", TextAt(b, 68, 256));
    EXPECT_TRUE(ZeroFrom(b, 68 + 11, 324));
    LinkRecord out;
    ASSERT_TRUE(DecodeLinkRecord(b.data(), b.size(), &out));
    EXPECT_EQ(0xFF, out.entryKind);
    EXPECT_EQ(31, out.targetGroup);
    EXPECT_STREQ("demo.exe", out.targetName);
    EXPECT_STREQ("Vendor\\Demo", out.folderPath);
}

TEST(RunPackHeaderCodec, LayoutAndRoundTrip) {
    RunPackHeader r = {};
    strcpy(r.packName, "Prerequisites");
    strcpy(r.programName, "prereq.exe");
    r.waitFlag = 1;
    r.fileCount = 4;
    std::vector<uint8_t> b(kRunPackHeaderSize, 0xCC);
    EncodeRunPackHeader(r, b.data());
    EXPECT_EQ("Prerequisites", TextAt(b, 0, 32));
    EXPECT_EQ("prereq.exe", TextAt(b, 32, 32));
    EXPECT_EQ(1u, U32At(b, 64));
    EXPECT_EQ(4u, U32At(b, 68));
    RunPackHeader out;
    ASSERT_TRUE(DecodeRunPackHeader(b.data(), b.size(), &out));
    EXPECT_STREQ("prereq.exe", out.programName);
    EXPECT_EQ(1u, out.waitFlag);
    EXPECT_EQ(4u, out.fileCount);
}

// A field that fills its whole width without a NUL is read as width - 1
// characters, and a text too long for its field is cut on the way out.
TEST(RecordCodecs, TextFieldsStayInsideTheirWidth) {
    std::vector<uint8_t> b(kSetupTypeRecordSize, 'A');
    b[28] = b[29] = b[30] = b[31] = 0;
    SetupTypeRecord s;
    ASSERT_TRUE(DecodeSetupTypeRecord(b.data(), b.size(), &s));
    EXPECT_EQ(std::string(27, 'A'), s.name);

    FileEntry f;
    memset(f.name, 'n', sizeof f.name);  // no NUL at all
    f.size = 7;
    std::vector<uint8_t> e(kFileEntrySize);
    EncodeFileEntry(f, e.data());
    EXPECT_EQ(std::string(259, 'n'), TextAt(e, 0, 260));
    EXPECT_EQ(0, e[259]);
    EXPECT_EQ(7u, U32At(e, 260));

    PackageHeader h = {};
    memset(h.title, 'T', sizeof h.title);
    uint8_t hb[kPackageHeaderSize];
    EncodePackageHeader(h, hb);
    EXPECT_EQ('T', hb[68 + 60]);
    EXPECT_EQ(0, hb[68 + 61]);
    EXPECT_EQ(0, hb[130]);
}
