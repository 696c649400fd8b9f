#include "tests/e2e/setup_fixture.h"

namespace e2e {

void SetupTest::SetUp() {
    packageDir_ = root_ / "package";
    tempDir_ = root_ / "temp";
    destDir_ = root_ / "dest";
    rebootRecord_ = root_ / "reboot.txt";
    static int tests = 0;
    unique_ = "suite-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++tests);
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

void SetupTest::StartSetup(const std::string& workDir, const std::string& args) {
    std::vector<std::string> env = {"TMP=" + tempDir_, "TEMP=" + tempDir_,
                                    "SETUP_REBOOT_RECORD=" + rebootRecord_};
    env.insert(env.end(), extraEnv_.begin(), extraEnv_.end());
    ASSERT_TRUE(driver_.Start(packageDir_ + "\\setup.exe", args,
                              workDir.empty() ? packageDir_ : workDir, env)) << TRANSCRIPT();
}

int SetupTest::RunUnattended(const std::string& switches) {
    StartSetup(root_.path(), switches);
    return driver_.WaitExit();
}

std::string SetupTest::AnswerBox(const std::string& caption, int button) {
    HWND box = driver_.WaitWindow(caption);
    if (!box) return "<no box>";
    std::string text = driver_.Text(box, 0xFFFF);
    driver_.Click(box, button);
    driver_.WaitGone(box);
    return text;
}

bool SetupTest::AnswerWelcome(int button) {
    HWND welcome = driver_.WaitWindow("Vornel Setup");
    return welcome && driver_.Click(welcome, button) && driver_.WaitGone(welcome);
}

bool SetupTest::AnswerLicence(int command) {
    HWND licence = driver_.WaitWindow("Licence Agreement");
    return licence && driver_.Click(licence, command) && driver_.WaitGone(licence);
}

bool SetupTest::AnswerOptions(const std::string& destination, int typeIndex) {
    HWND options = driver_.WaitWindow("Installation Options");
    if (!options) return false;
    if (!destination.empty() && !driver_.SetText(options, 1000, destination)) return false;
    if (typeIndex >= 0 && !driver_.SelectCombo(options, 1012, typeIndex)) return false;
    return driver_.Click(options, 1008);
}

bool SetupTest::AnswerReadme(bool view) {
    if (AnswerBox("Setup question", view ? IDYES : IDNO) == "<no box>") return false;
    if (!view) return true;
    HWND readme = driver_.WaitWindow("Readme File:");
    return readme && driver_.Click(readme, 1008) && driver_.WaitGone(readme);
}

bool SetupTest::AnswerReboot(int choice) {
    HWND question = driver_.WaitWindow("Install Question");
    if (!question) return false;
    for (int id : {1028, 1029, 1030}) driver_.Check(question, id, id == choice);
    return driver_.Click(question, IDOK) && driver_.WaitGone(question);
}

int SetupTest::InstallToDestination() {
    CreateDirectoryA(destDir_.c_str(), nullptr);
    if (!AnswerWelcome() || !AnswerOptions(destDir_)) return -1;
    if (AnswerFinalMessage() == "<no box>") return -1;
    return driver_.WaitExit();
}

}  // namespace e2e
