// Start-up pieces of setup.exe called directly: the CRC of a file and the
// unpacking of a package into a temporary file.
#include <gtest/gtest.h>

#include <windows.h>

#include "installer/startup.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/win32/test_windows.h"
#include "tests/support/same_bytes.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;
using testpkg::Pattern;

namespace {

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Temporary files of the code under test land in the test's folder.
        tmp_.Set(dir_.path());
    }

    testpkg::TempDir dir_;
    testpkg::TmpOverride tmp_;
};

}  // namespace

TEST_F(StartupTest, FileCrc32MatchesZlibAtBlockBoundaries) {
    const size_t sizes[] = {0, 1, 4095, 4096, 4097, 3 * 4096, 100000};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        Bytes data = Pattern(size, (uint32_t)size);
        std::string path = dir_ / "data.bin";
        ASSERT_TRUE(testpkg::WriteFileBytes(path, data));
        EXPECT_EQ(testpkg::Crc32(data), installer::FileCrc32(path.c_str(), GetModuleHandleA(nullptr)));
    }
}

TEST_F(StartupTest, FileCrc32OfTheReferenceText) {
    std::string text = "The quick brown fox jumps over the lazy dog";
    std::string path = dir_ / "fox.txt";
    ASSERT_TRUE(testpkg::WriteFileBytes(path, Bytes(text.begin(), text.end())));
    EXPECT_EQ(0x414fa339u, installer::FileCrc32(path.c_str(), GetModuleHandleA(nullptr)));
}

TEST_F(StartupTest, UnpackGivesTheBodyByteForByte) {
    // Sizes around the 4096-byte read block, and one of many blocks.
    const size_t sizes[] = {328, 4095, 4096, 4097, 8192, 1000003};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        Bytes body = Pattern(size, 7);
        std::string packagePath = dir_ / "setup.dat";
        ASSERT_TRUE(testpkg::WriteFileBytes(packagePath, testpkg::Gzip(body)));
        win32::TempFile unpacked;
        ASSERT_TRUE(installer::UnpackPackage(packagePath.c_str(), GetModuleHandleA(nullptr), &unpacked));
        std::string temp = unpacked.path();
        EXPECT_EQ(dir_.path() + "\\", temp.substr(0, dir_.path().size() + 1));
        EXPECT_EQ(0, _strnicmp(temp.c_str() + dir_.path().size() + 1, "ZKS", 3)) << temp;
        EXPECT_TRUE(testpkg::SameBytes(body, testpkg::ReadFileBytes(temp)));
        unpacked.Remove();
        EXPECT_FALSE(testpkg::FileExists(temp));
    }
}

// Unpacking stops once the body outgrows the limit (the format's is just
// under 2 GiB; a small one here), refuses the package as damaged and
// leaves no temporary file; a body of exactly the limit is kept.
TEST_F(StartupTest, UnpackStopsAtTheBodyLimit) {
    Bytes body = Pattern(3 * 4096 + 5, 11);
    std::string packagePath = dir_ / "setup.dat";
    ASSERT_TRUE(testpkg::WriteFileBytes(packagePath, testpkg::Gzip(body)));
    {
        win32::TempFile unpacked;
        EXPECT_TRUE(installer::UnpackPackage(packagePath.c_str(), GetModuleHandleA(nullptr),
                                             &unpacked, body.size()));
    }
    for (uint64_t limit : {(uint64_t)body.size() - 1, (uint64_t)4096, (uint64_t)0}) {
        SCOPED_TRACE(limit);
        wintest::BoxWatcher boxes({"Installation Error"});
        win32::TempFile unpacked;
        EXPECT_FALSE(installer::UnpackPackage(packagePath.c_str(), GetModuleHandleA(nullptr),
                                              &unpacked, limit));
        std::vector<std::string> answered = boxes.Stop();
        ASSERT_EQ(1u, answered.size());
        EXPECT_EQ(0u, answered[0].find("Installation Error|")) << answered[0];
        EXPECT_EQ(std::vector<std::string>{"setup.dat"}, testpkg::ListDir(dir_.path()));
    }
}

TEST_F(StartupTest, OpenPackageStreamReadsTheHeaderAndKeepsPosition) {
    testpkg::PackageBody body = testpkg::EmptyPackage("Stream App");
    body.header.groupCount = 2;
    std::string path = dir_ / "body.tmp";
    ASSERT_TRUE(testpkg::WriteFileBytes(path, body.Finish()));
    package::PackageHeader header = {};
    win32::UniqueFile stream(installer::OpenPackageStream(path.c_str(), &header));
    ASSERT_TRUE(stream);
    EXPECT_STREQ("Stream App", header.appName);
    EXPECT_EQ(2, header.groupCount);
    EXPECT_EQ(328u, header.registryOffset);
    EXPECT_EQ(328, ftell(stream.get()));
}

TEST_F(StartupTest, OpenPackageStreamRefusesABodyShorterThanAHeader) {
    std::string path = dir_ / "short.tmp";
    ASSERT_TRUE(testpkg::WriteFileBytes(path, Bytes(327, 0)));
    package::PackageHeader header = {};
    header.groupCount = 9;
    EXPECT_EQ(nullptr, installer::OpenPackageStream(path.c_str(), &header));
    EXPECT_EQ(9, header.groupCount);
    EXPECT_EQ(nullptr, installer::OpenPackageStream((dir_ / "missing.tmp").c_str(), &header));
}
