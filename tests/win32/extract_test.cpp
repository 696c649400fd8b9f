// ExtractToFile: exact bytes at the 4096-byte chunk boundaries, the stream
// left just after the data, and the progress positions it sends.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "installer/extract.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/win32/test_windows.h"
#include "tests/support/same_bytes.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;

namespace {

class ExtractTest : public ::testing::Test {
  protected:
    // A package stream holding a 5-byte prefix, data and a trailing marker,
    // positioned at the data.
    win32::UniqueFile StreamOver(const Bytes& data) {
        Bytes package(data.size() + 6, '#');
        memcpy(package.data(), "head:", 5);
        std::copy(data.begin(), data.end(), package.begin() + 5);
        std::string path = dir_ / "package.tmp";
        EXPECT_TRUE(testpkg::WriteFileBytes(path, package));
        win32::UniqueFile stream(fopen(path.c_str(), "rb"));
        fseek(stream.get(), 5, SEEK_SET);
        return stream;
    }

    std::vector<std::string> Positions() const {
        std::vector<std::string> positions;
        for (const std::string& e : status_.events)
            if (e.rfind("pos ", 0) == 0) positions.push_back(e.substr(4));
        return positions;
    }

    testpkg::TempDir dir_;
    wintest::StatusRecorder status_;
    wintest::ProgressClock clock_{wintest::ProgressClock::kStepping};
};

}  // namespace

TEST_F(ExtractTest, CopiesExactlyTheSizeAcrossChunkBoundaries) {
    struct Case {
        size_t size;
        std::vector<std::string> positions;
    };
    // Before each full chunk k: 100 * (4096k + 1) / size; 100 at the end.
    const Case cases[] = {
        {0, {"100"}},
        {1, {"100"}},
        {4095, {"100"}},
        {4096, {"100"}},
        {4097, {"0", "100"}},
        {8192, {"0", "100"}},
        {8193, {"0", "50", "100"}},
        {5 * 4096 + 7, {"0", "19", "39", "59", "79", "100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        Bytes data = testpkg::Pattern(c.size, (uint32_t)c.size + 1);
        win32::UniqueFile stream = StreamOver(data);
        status_.events.clear();
        std::string out = dir_ / "out.bin";
        ASSERT_TRUE(installer::ExtractToFile(stream.get(), (uint32_t)c.size, status_.window(), out.c_str()));
        EXPECT_TRUE(testpkg::SameBytes(data, testpkg::ReadFileBytes(out)));
        EXPECT_TRUE(testpkg::FileExists(out));
        EXPECT_EQ('#', fgetc(stream.get()));  // the stream stands just after the data
        EXPECT_EQ(c.positions, Positions());
    }
}

// 100 * 4096 * k overflows 32 bits from 43 MB on; the bar must still only
// move forward, and a position already shown is not sent again.
TEST_F(ExtractTest, ProgressNeverFallsBackOnLargeFiles) {
    const size_t size = 50 * 1000 * 1000;
    Bytes data(size, 0x5A);
    win32::UniqueFile stream = StreamOver(data);
    std::string out = dir_ / "large.bin";
    ASSERT_TRUE(installer::ExtractToFile(stream.get(), (uint32_t)size, status_.window(), out.c_str()));
    std::vector<std::string> positions = Positions();
    ASSERT_EQ(101u, positions.size());
    for (size_t i = 0; i < positions.size(); ++i) ASSERT_EQ(std::to_string(i), positions[i]);
    EXPECT_EQ(size, testpkg::ReadFileBytes(out).size());
}

// Under a clock that stands still only the first move and the end go out.
TEST_F(ExtractTest, PacedMovesKeepTheFirstAndTheEnd) {
    wintest::ProgressClock frozen(wintest::ProgressClock::kFrozen);
    Bytes data = testpkg::Pattern(5 * 4096 + 7, 9);
    win32::UniqueFile stream = StreamOver(data);
    std::string out = dir_ / "out.bin";
    ASSERT_TRUE(installer::ExtractToFile(stream.get(), (uint32_t)data.size(), status_.window(), out.c_str()));
    EXPECT_EQ((std::vector<std::string>{"0", "100"}), Positions());
    EXPECT_TRUE(testpkg::SameBytes(data, testpkg::ReadFileBytes(out)));
}

// Nothing is read when the file cannot be made; a package that ends early
// leaves no half file to install.
TEST_F(ExtractTest, FailuresLeaveNoFileBehind) {
    win32::UniqueFile stream = StreamOver(testpkg::Pattern(5000, 1));
    std::string out = dir_ / "missing\\out.bin";
    EXPECT_FALSE(installer::ExtractToFile(stream.get(), 100, status_.window(), out.c_str()));
    EXPECT_EQ(5, ftell(stream.get()));
    out = dir_ / "out.bin";
    EXPECT_FALSE(installer::ExtractToFile(stream.get(), 9000, status_.window(), out.c_str()));
    EXPECT_FALSE(testpkg::FileExists(out));
    EXPECT_NE("pos 100", status_.events.back());
}
