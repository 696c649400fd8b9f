#include "builder/build_errors.h"

#include <cstdio>

namespace builder {

std::string BuildFailureText(uint32_t code) {
    switch (code) {
        case kErrorCannotOpen:
            return "the project file could not be read or the package file not be created";
        case kErrorNoMemory:
            return "the builder ran out of memory";
        case kErrorCannotList:
            return "a group's source folder could not be listed";
        case kErrorTempFile:
            return "a temporary file of the build could not be made or written (is the "
                   "temporary-files folder full or read-only?)";
        case kErrorCannotRead:
            return "a file to pack could not be read";
        case kErrorTooLarge:
            return "the package would reach 2 GB, more than a package can hold";
        case kErrorFileName:
            return "a file of a group has a name the package cannot hold (a character the ANSI "
                   "code page lacks, or a device name)";
        default: {
            char hex[16];
            snprintf(hex, sizeof hex, "%08X", (unsigned)code);
            if (!code) return "the build was cancelled, or stopped after a message of its own";
            std::string text = "the builder stopped with code 0x";
            return text.append(hex);
        }
    }
}

}  // namespace builder
