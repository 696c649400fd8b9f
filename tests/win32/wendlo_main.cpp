// GoogleTest main of the wendlo tests; with --write-and-hang LOG the program
// is the writer that the durability test kills.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "uninstall_log/wendlo.h"

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--write-and-hang") == 0) {
        for (int i = 0; i < 100; ++i)
            LogAddEntry(argv[2], ("C:\\file" + std::to_string(i)).c_str(), 2);
        LogAddEntry(argv[2], "last", 5);
        Sleep(INFINITE);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
