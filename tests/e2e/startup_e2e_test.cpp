// setup.exe's start-up under Wine: every refusal shows its exact message,
// ends with exit code 0 and leaves no file in the temporary folder; a good
// package is unpacked and the temporary copy removed.
#include <windows.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/same_bytes.h"

namespace {

const char kNoCrc[] =
    "Crc fail in setup.dat file or no CRC present :\nsetup data may be corrupted.\n"
    "Installation cannot proceed !";
const char kMissingInf[] = "Missing SETUP.INF file !\nCan't proceed with installation";
const char kNoZlib[] = "Unable to load ZLib.dll.\nInstallation must ends !";
const char kNoCrc32Function[] = "Unable to find Crc32 function in Zlib.dll !";
const char kMissingDat[] = "Unable to find Setup.dat file !";
const char kCrcFailed[] = "Failed CRC check in Setup.dat file !";

class StartupE2E : public e2e::SetupTest {
  protected:
    testpkg::Bytes GoodBody() { return testpkg::EmptyPackage("Start App").Finish(); }

    // Runs setup expecting exactly these error texts, in order, then exit 0
    // with the temporary folder empty and the settings file untouched.
    void ExpectRefusal(std::initializer_list<const char*> texts) {
        testpkg::Bytes settingsBefore = testpkg::ReadFileBytes(packageDir_ + "\\setup.inf");
        StartSetup();
        for (const char* text : texts) EXPECT_EQ(text, AnswerInstallError()) << TRANSCRIPT();
        EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
        EXPECT_EQ(std::vector<std::string>(), TempFiles());
        EXPECT_TRUE(testpkg::SameBytes(settingsBefore, testpkg::ReadFileBytes(packageDir_ + "\\setup.inf")));
        EXPECT_EQ(texts.size(), CountBoxes()) << TRANSCRIPT();
    }

    size_t CountBoxes() const {
        size_t count = 0;
        const std::string& t = driver_.Transcript();
        for (size_t at = 0; (at = t.find("window \"Installation Error\"", at)) != std::string::npos; ++at)
            ++count;
        return count;
    }
};

}  // namespace

TEST_F(StartupE2E, MissingSettingsFile) {
    WriteCompressed(testpkg::Gzip(GoodBody()));
    ExpectRefusal({kMissingInf});
}

TEST_F(StartupE2E, MissingPackageFile) {
    WriteSettings("[main]\r\nCRC32=1\r\n");
    ExpectRefusal({kMissingDat});
}

TEST_F(StartupE2E, NoCrcKeyOrNoCrcValue) {
    WriteCompressed(testpkg::Gzip(GoodBody()));
    WriteSettings("[main]\r\nBackColor=255\r\n");
    ExpectRefusal({kNoCrc});
}

TEST_F(StartupE2E, CrcValueNoCrcIsRefusedEvenForAnIntactPackage) {
    WriteCompressed(testpkg::Gzip(GoodBody()));
    WriteSettings("[main]\r\nCRC32=NOCRC\r\n");
    ExpectRefusal({kNoCrc});
}

TEST_F(StartupE2E, SettingsThatAreNotIniReadAsNoCrc) {
    WriteCompressed(testpkg::Gzip(GoodBody()));
    testpkg::Bytes junk = {0x00, 0xFF, 0x13, 'C', 'R', 'C', 0x00, '=', '1'};
    ASSERT_TRUE(testpkg::WriteFileBytes(packageDir_ + "\\setup.inf", junk));
    ExpectRefusal({kNoCrc});
}

TEST_F(StartupE2E, HexadecimalCrcDoesNotMatch) {
    testpkg::Bytes gz = testpkg::Gzip(GoodBody());
    WriteCompressed(gz);
    char hex[16];
    snprintf(hex, sizeof hex, "%08X", testpkg::Crc32(gz));
    WriteSettings(std::string("[main]\r\nCRC32=0x") + hex + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, WrongCrcValue) {
    testpkg::Bytes gz = testpkg::Gzip(GoodBody());
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz) ^ 1u) + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, MissingZlibIsReportedThenTheCrcFails) {
    WritePackage(GoodBody());
    ASSERT_TRUE(DeleteFileA((packageDir_ + "\\zlib.dll").c_str()));
    ExpectRefusal({kNoZlib, kCrcFailed});
}

// A stored CRC of 0 passes the comparison, so unpacking reports the missing
// library a second time.
TEST_F(StartupE2E, MissingZlibWithStoredCrcZeroIsReportedByUnpackingToo) {
    WriteCompressed(testpkg::Gzip(GoodBody()));
    WriteSettings("[main]\r\nCRC32=0\r\n");
    ASSERT_TRUE(DeleteFileA((packageDir_ + "\\zlib.dll").c_str()));
    ExpectRefusal({kNoZlib, kNoZlib});
}

TEST_F(StartupE2E, ZlibWithoutCrc32) {
    WritePackage(GoodBody());
    std::string fake = std::string(SUITE_FIXTURE_DIR) + "\\zlib_without_crc32.dll";
    ASSERT_TRUE(CopyFileA(fake.c_str(), (packageDir_ + "\\zlib.dll").c_str(), FALSE)) << fake;
    ExpectRefusal({kNoCrc32Function, kCrcFailed});
}

// Damaged packages whose stored CRC matches the damage: the CRC cannot see
// it, unpacking must, and nothing of the package may be used.
TEST_F(StartupE2E, TruncatedPackage) {
    testpkg::Bytes body(200000);
    for (size_t i = 0; i < body.size(); ++i) body[i] = (uint8_t)(i * 7 + i / 13);
    testpkg::Bytes gz = testpkg::Gzip(body);
    gz.resize(gz.size() / 2);
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz)) + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, TruncatedJustBeforeTheTrailer) {
    testpkg::Bytes gz = testpkg::Gzip(GoodBody());
    gz.resize(gz.size() - 4);
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz)) + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, CorruptedCompressedData) {
    testpkg::Bytes gz = testpkg::Gzip(GoodBody());
    gz[gz.size() / 2] ^= 0x55;
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz)) + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, PackageThatIsNotGzip) {
    testpkg::Bytes plain = GoodBody();
    WriteCompressed(plain);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(plain)) + "\r\n");
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, BodyShorterThanAHeader) {
    WritePackage(testpkg::Bytes(327, 'h'));
    ExpectRefusal({kCrcFailed});
}

TEST_F(StartupE2E, GoodPackageUnpacksAndCleansUp) {
    WritePackage(GoodBody(), "BackColor=255\r\nDithered=0\r\n");
    StartSetup();
    EXPECT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Installation Error")) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    EXPECT_EQ((std::vector<std::string>{"setup.dat", "setup.exe", "setup.inf", "wendlo.dll", "zlib.dll"}),
              testpkg::ListDir(packageDir_));
}

// Started from another folder (a console open elsewhere), setup still finds
// its files beside itself.
TEST_F(StartupE2E, StartedFromAnotherFolderUsesItsOwn) {
    WritePackage(GoodBody());
    StartSetup(tempDir_);
    EXPECT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Installation Error")) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}

// A CRC above 2147483647 is read as an unsigned decimal number.
TEST_F(StartupE2E, CrcAboveTheSignedRangeIsAccepted) {
    testpkg::PackageBody package = testpkg::EmptyPackage("High Crc");
    testpkg::Bytes gz;
    for (uint32_t salt = 0;; ++salt) {
        package.header.projectValue = salt;
        gz = testpkg::Gzip(package.Finish());
        if (testpkg::Crc32(gz) > 0x80000000u) break;
    }
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz)) + "\r\n");
    StartSetup();
    EXPECT_TRUE(AnswerWelcome(1009)) << TRANSCRIPT();
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Installation Error")) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}

// A package large enough to keep the unpacking window up while it is read.
TEST_F(StartupE2E, UnpackingWindowShowsWhileThePackageIsRead) {
    testpkg::PackageBody package = testpkg::EmptyPackage("Big App");
    package.Append(std::string(48u << 20, '\0'));
    WritePackage(package.Finish());
    StartSetup();
    HWND window = driver_.WaitWindow("");
    ASSERT_NE(nullptr, window) << TRANSCRIPT();
    EXPECT_EQ("Please wait while unpacking data....", driver_.Text(window, 1003)) << TRANSCRIPT();
    char className[64] = {};
    GetClassNameA(GetDlgItem(window, 1004), className, sizeof className);
    EXPECT_STREQ("msctls_progress32", className);
    EXPECT_TRUE(AnswerWelcome(1009)) << TRANSCRIPT();
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}
