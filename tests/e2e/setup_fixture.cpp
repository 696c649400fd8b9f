#include "tests/e2e/setup_fixture.h"

namespace e2e {

void SetupTest::SetUp() {
    packageDir_ = root_ / "package";
    tempDir_ = root_ / "temp";
    ASSERT_TRUE(CreateDirectoryA(packageDir_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(tempDir_.c_str(), nullptr));
    for (const char* name : {"setup.exe", "zlib.dll", "wendlo.dll"}) {
        std::string from = std::string(SUITE_BIN_DIR) + "\\" + name;
        ASSERT_TRUE(CopyFileA(from.c_str(), (packageDir_ + "\\" + name).c_str(), FALSE)) << from;
    }
}

void SetupTest::WriteSettings(const std::string& text) {
    ASSERT_TRUE(testpkg::WriteFileBytes(packageDir_ + "\\setup.inf",
                                        testpkg::Bytes(text.begin(), text.end())));
}

void SetupTest::WriteCompressed(const testpkg::Bytes& gz) {
    ASSERT_TRUE(testpkg::WriteFileBytes(packageDir_ + "\\setup.dat", gz));
}

void SetupTest::WritePackage(const testpkg::Bytes& body, const std::string& extraLines) {
    testpkg::Bytes gz = testpkg::Gzip(body);
    WriteCompressed(gz);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(gz)) + "\r\n" + extraLines);
}

void SetupTest::StartSetup() {
    ASSERT_TRUE(driver_.Start(packageDir_ + "\\setup.exe", "", packageDir_,
                              {"TMP=" + tempDir_, "TEMP=" + tempDir_}))
        << TRANSCRIPT();
}

std::string SetupTest::AnswerInstallError() {
    HWND box = driver_.WaitWindow("Installation Error");
    if (!box) return "<no box>";
    std::string text = driver_.Text(box, 0xFFFF);
    driver_.Click(box, IDOK);
    driver_.WaitGone(box);
    return text;
}

}  // namespace e2e
