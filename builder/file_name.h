// The file name of a path. Portable: no platform headers.
#pragma once

namespace builder {

// The last component of path: what follows its last backslash, slash or
// drive colon (the whole path when it has none). Always the complete name,
// extension included, whatever the shell would display.
inline const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

}  // namespace builder
