// The layout check of an unpacked package: every block the header points at
// must lie inside the body, and the groups and run packs must add up.
#include <gtest/gtest.h>

#include <cstdio>

#include "package/bytes.h"
#include "package/layout.h"
#include "tests/support/test_package.h"

using testpkg::Bytes;
using testpkg::FullPackage;
using testpkg::PackageBody;
using testpkg::StoredFile;

namespace {

// Checks body's bytes as the installer does, through a stream over them.
bool LayoutFits(const Bytes& bytes) {
    std::FILE* stream = std::tmpfile();
    EXPECT_NE(nullptr, stream);
    if (!stream) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    package::PackageHeader header = {};
    package::DecodePackageHeader(bytes.data(), bytes.size(), &header);
    bool fits = package::CheckPackageLayout(stream, header);
    std::fclose(stream);
    return fits;
}

bool LayoutFits(const PackageBody& body) {
    return LayoutFits(body.Finish());
}

}  // namespace

TEST(PackageLayout, EveryBlockInsideTheBodyFits) {
    EXPECT_TRUE(LayoutFits(FullPackage()));
    EXPECT_TRUE(LayoutFits(testpkg::EmptyPackage("Empty")));
}

// Each damaged body of the shared table (the e2e tests run the same table
// through setup.exe) is refused; the body they are made from is not.
TEST(PackageLayout, DamagedBodiesAreRefused) {
    ASSERT_TRUE(LayoutFits(FullPackage()));
    std::vector<testpkg::DamagedBody> damaged = testpkg::DamagedBodies();
    EXPECT_LE(30u, damaged.size());
    for (const testpkg::DamagedBody& body : damaged) {
        SCOPED_TRACE(body.name);
        EXPECT_FALSE(LayoutFits(body.body));
    }
}

// A text block is read whole and shown in one control: up to the bound it
// is accepted, beyond it refused even when the body holds it.
TEST(PackageLayout, TextBlocksHaveABound) {
    for (uint32_t size : {package::kMaxTextBlockSize, package::kMaxTextBlockSize + 1}) {
        SCOPED_TRACE(size);
        PackageBody licence = FullPackage();
        licence.header.licenceOffset = licence.Append(Bytes(size, 'L'));
        licence.header.licenceSize = size;
        EXPECT_EQ(size == package::kMaxTextBlockSize, LayoutFits(licence));
        licence.header.licenceFlag = 0;  // never read
        EXPECT_TRUE(LayoutFits(licence));
    }
}

// The application name is joined into paths: a plain name or none at all.
TEST(PackageLayout, AppNameMustBeAPlainName) {
    for (const char* name : {"", "App", "My App 2.0", "com10"}) {
        SCOPED_TRACE(name);
        PackageBody body = FullPackage();
        package::CopyText(body.header.appName, sizeof body.header.appName, name);
        EXPECT_TRUE(LayoutFits(body));
    }
}

TEST(PackageLayout, BodyShorterThanAHeaderDoesNotFit) {
    EXPECT_FALSE(LayoutFits(Bytes(package::kPackageHeaderSize - 1, 0)));
}

TEST(PackageLayout, TextBlocksMustEndInsideTheBody) {
    PackageBody body = FullPackage();
    uint32_t end = (uint32_t)body.Finish().size();
    struct Case {
        uint32_t offset, size;
        bool fits;
    } cases[] = {
        {end - 4, 4, true},           // ends exactly at the end
        {end - 4, 5, false},          // one byte beyond
        {end, 0, true},               // empty, at the end
        {end + 1, 0, false},          // starts beyond the end
        {0xFFFFFF00u, 0x200, false},  // wraps around in 32 bits
        {0, 0, true},                 // flag set but no text stored
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        PackageBody licence = body;
        licence.header.licenceOffset = cases[i].offset;
        licence.header.licenceSize = cases[i].size;
        EXPECT_EQ(cases[i].fits, LayoutFits(licence));
        PackageBody readme = body;
        readme.header.readmeOffset = cases[i].offset;
        readme.header.readmeSize = cases[i].size;
        EXPECT_EQ(cases[i].fits, LayoutFits(readme));
    }
    // Without their flags the texts are never read.
    body.header.licenceFlag = body.header.readmeFlag = 0;
    body.header.licenceOffset = body.header.readmeSize = 0xFFFFFFF0u;
    EXPECT_TRUE(LayoutFits(body));
}

TEST(PackageLayout, GroupsMustAllBeThereAndAddUp) {
    PackageBody more = FullPackage();
    more.header.groupCount = 20;  // three are stored, then other blocks, then the end
    EXPECT_FALSE(LayoutFits(more));

    PackageBody offset = FullPackage();
    offset.header.groupsOffset = (uint32_t)offset.Finish().size() - 100;
    EXPECT_FALSE(LayoutFits(offset));

    // A file count that runs past the end, and a total its entries miss.
    uint32_t groups = FullPackage().header.groupsOffset;
    for (size_t at : {groups + 256u + 2u, groups + 260u}) {
        SCOPED_TRACE(at);
        Bytes bytes = FullPackage().Finish();
        bytes[at] += 1;
        EXPECT_FALSE(LayoutFits(bytes));
    }
}

TEST(PackageLayout, OnlyTheFirst32GroupsAreWalked) {
    PackageBody body = testpkg::EmptyPackage("Many");
    for (size_t i = 0; i < package::kMaxGroups; ++i) body.AddGroup(0x11, {{"f", Bytes(1, 'f')}});
    body.header.groupCount = 200;
    EXPECT_TRUE(LayoutFits(body));
    body.header.groupCount = package::kMaxGroups;
    body.header.groupsOffset += 1;
    EXPECT_FALSE(LayoutFits(body));
}

TEST(PackageLayout, RecordBlocksAndRegistryTextMustFit) {
    PackageBody body = FullPackage();
    uint32_t end = (uint32_t)body.Finish().size();

    PackageBody types = body;
    types.header.setupTypeCount = 3;
    types.header.setupTypesOffset = end - 2 * 32;
    EXPECT_FALSE(LayoutFits(types));
    types.header.setupTypeCount = 2;
    EXPECT_TRUE(LayoutFits(types));
    types.header.setupTypeCount = 1;  // no choice: the block is never read
    types.header.setupTypesOffset = 0xFFFFFFFFu;
    EXPECT_TRUE(LayoutFits(types));

    PackageBody desktop = body;
    desktop.header.desktopOffset = end - 324 + 1;
    EXPECT_FALSE(LayoutFits(desktop));
    desktop.header.desktopCount = 0;
    EXPECT_TRUE(LayoutFits(desktop));

    PackageBody startMenu = body;
    startMenu.header.startMenuCount = 255;
    EXPECT_FALSE(LayoutFits(startMenu));

    PackageBody registry = body;
    registry.header.registryOffset = end - 12;
    registry.header.registrySize = 13;
    EXPECT_FALSE(LayoutFits(registry));
    registry.header.registryOffset = 0;  // absent: never imported
    EXPECT_TRUE(LayoutFits(registry));
}

TEST(PackageLayout, RunPacksMustAllBeThereWithTheirFiles) {
    PackageBody count = FullPackage();
    count.header.afterCount = 2;  // the "after" list is the body's last block
    EXPECT_FALSE(LayoutFits(count));

    PackageBody offset = FullPackage();
    offset.header.afterOffset = 0xFFFFFFF0u;
    EXPECT_FALSE(LayoutFits(offset));

    // The pack's file count and its first file's size, each made too large.
    uint32_t before = FullPackage().header.beforeOffset;
    for (size_t at : {before + 68u, before + 72u + 260u}) {
        SCOPED_TRACE(at);
        Bytes bytes = FullPackage().Finish();
        bytes[at + 3] = 0x7F;
        EXPECT_FALSE(LayoutFits(bytes));
    }

    PackageBody none = FullPackage();
    none.header.afterCount = 0;
    none.header.afterOffset = 0xFFFFFFF0u;
    EXPECT_TRUE(LayoutFits(none));
}

TEST(PackageLayout, GroupContentSizeDoesNotWrap) {
    package::GroupHeader group = {};
    group.fileCount = 0xFFFFFFFFu;
    group.totalBytes = 0xFFFFFFFFu;
    EXPECT_EQ(0xFFFFFFFFull * 264 + 0xFFFFFFFFull, package::GroupContentSize(group));
}
