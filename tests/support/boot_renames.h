// The replacements Windows carries out at its next start: the [rename]
// section of wininit.ini (Windows 95 family) and PendingFileRenameOperations
// (NT family). Under Wine both are processed when a prefix's wineserver
// starts cold, so tests read them while the server runs and take their own
// entries out again.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testpkg {

std::string WininitPath();
// The [rename] lines of wininit.ini as "key=value", in file order.
std::vector<std::string> WininitRenames();
// Removes the [rename] line of key.
void RemoveWininitRename(const std::string& key);

// PendingFileRenameOperations of the real machine key (a private
// HKEY_LOCAL_MACHINE does not hide it) as (source, destination) pairs,
// exactly as stored ("\\??\\C:\\..." paths; a destination may start with "!").
std::vector<std::pair<std::string, std::string>> PendingRenames();
// Takes out every pair whose source or destination contains text.
void RemovePendingRenames(const std::string& text);
// What a restart does with the pairs whose source contains text, in order
// (a deletion, or a move that replaces its target), then takes them out:
// a restart for one test's own entries, with the prefix left running.
void CarryOutPendingRenames(const std::string& text);

}  // namespace testpkg
