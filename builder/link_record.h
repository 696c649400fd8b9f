// Desktop and Start-menu entries: one project link becomes one package
// LinkRecord. Portable: no platform headers.
#pragma once

#include <cstdio>

#include "builder/project_records.h"
#include "package/records.h"

namespace builder {

// The package entry for a project link. The folder path is the project path
// without its last backslash and the link name after it. A top-level entry's
// path holds only its own name: a folder entry then creates that whole path,
// a shortcut gets an empty folder path and lands directly in the desktop or
// Programs folder. Folder entries carry no target group and no target name.
package::LinkRecord MakeLinkRecord(const ProjectLink& link);

// Appends the entry's 324 bytes to the body. Write errors are left to the
// body's error state.
void WriteLinkRecord(FILE* body, const ProjectLink& link);

}  // namespace builder
