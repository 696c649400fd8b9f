// Project links as package entries: the folder-path cut, top-level entries,
// folder entries' empty target fields; and file names taken from paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "builder/file_name.h"
#include "builder/link_record.h"
#include "tests/builder/project_helpers.h"

using namespace builder;

TEST(LinkRecord, ShortcutFolderIsThePathWithoutItsName) {
    package::LinkRecord r = MakeLinkRecord(testproj::Shortcut("App", "Folder\\App", "app.exe", 3, 1));
    EXPECT_EQ(1, r.desktopFlag);
    EXPECT_EQ(0xFF, r.entryKind);
    EXPECT_EQ(3, r.targetGroup);
    EXPECT_STREQ("App", r.linkName);
    EXPECT_STREQ("app.exe", r.targetName);
    EXPECT_STREQ("Folder", r.folderPath);

    r = MakeLinkRecord(testproj::Shortcut("App", "A\\B C\\App", "app.exe", 0, 0));
    EXPECT_STREQ("A\\B C", r.folderPath);
    EXPECT_EQ(0, r.desktopFlag);
}

TEST(LinkRecord, TopLevelShortcutHasAnEmptyFolderPath) {
    EXPECT_STREQ("", MakeLinkRecord(testproj::Shortcut("App", "App", "app.exe", 0, 1)).folderPath);
    EXPECT_STREQ("", MakeLinkRecord(testproj::Shortcut("App", "", "app.exe", 0, 1)).folderPath);
}

TEST(LinkRecord, FolderEntryCreatesItsWholePathAtTopLevel) {
    EXPECT_STREQ("Suite", MakeLinkRecord(testproj::Folder("Suite", "Suite", 0)).folderPath);
    EXPECT_STREQ("Suite", MakeLinkRecord(testproj::Folder("Tools", "Suite\\Tools", 0)).folderPath);
}

TEST(LinkRecord, LowBytesOfTheSixteenBitFields) {
    ProjectLink link = testproj::Shortcut("App", "App", "app.exe", 0x0102, 0x0100);
    package::LinkRecord r = MakeLinkRecord(link);
    EXPECT_EQ(0x02, r.targetGroup);
    EXPECT_EQ(0x00, r.desktopFlag);
    link.kind = 0x01FF;
    EXPECT_EQ(0xFF, MakeLinkRecord(link).entryKind);
}

TEST(LinkRecord, FolderEntryWritesNoTargetBytes) {
    ProjectLink link = testproj::Folder("Suite", "Suite", 1);
    link.targetGroup = 7;  // only shortcuts carry these
    memset(link.target, 'x', sizeof link.target - 1);
    FILE* body = tmpfile();
    ASSERT_NE(nullptr, body);
    WriteLinkRecord(body, link);
    ASSERT_EQ(324, ftell(body));
    rewind(body);
    std::vector<uint8_t> b(324);
    ASSERT_EQ(324u, fread(b.data(), 1, b.size(), body));
    fclose(body);
    EXPECT_EQ(1, b[0]);
    EXPECT_EQ(0, b[1]);
    EXPECT_EQ(0, b[2]);
    EXPECT_EQ(0, b[3]);
    EXPECT_EQ(0, memcmp(&b[4], "Suite", 6));
    for (size_t i = 36; i < 68; ++i) EXPECT_EQ(0, b[i]) << i;
    EXPECT_EQ(0, memcmp(&b[68], "Suite", 6));
}

TEST(FileName, LastComponentOfAPath) {
    EXPECT_STREQ("setup.exe", FileNameOf("C:\\dir\\sub\\setup.exe"));
    EXPECT_STREQ("b.txt", FileNameOf("a/b.txt"));
    EXPECT_STREQ("x.dll", FileNameOf("C:x.dll"));
    EXPECT_STREQ("plain.exe", FileNameOf("plain.exe"));
    EXPECT_STREQ("", FileNameOf("C:\\dir\\"));
}
