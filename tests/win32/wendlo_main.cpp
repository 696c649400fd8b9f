// GoogleTest main of the wendlo tests; with --write-and-hang LOG EVENT the
// program is the writer that the durability test kills once EVENT is set.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "uninstall_log/wendlo.h"

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "--write-and-hang") == 0) {
        for (int i = 0; i < 100; ++i)
            LogAddEntry(argv[2], ("C:\\file" + std::to_string(i)).c_str(), 2);
        LogAddEntry(argv[2], "last", 5);
        HANDLE written = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
        if (written) SetEvent(written);
        Sleep(INFINITE);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
