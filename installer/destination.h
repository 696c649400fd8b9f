// Where an installation goes: the folder offered by default (the folder of
// an installation of the same application already registered, so that a
// new version goes over the old one), and the making of a missing one.
#pragma once

#include <string>
#include <vector>

namespace installer {

// The folder of the installation of appName registered in the list of
// installed programs (its InstallLocation, or the folder its uninstall
// command names), when its uninstall log is still there; "" otherwise.
std::string RegisteredFolder(const char* appName);

// The folder offered for appName: registered when not empty, else the
// machine's ProgramFilesDir and appName, else "c:\" and appName.
std::string DefaultDestination(const char* appName, const std::string& registered);

// True when a and b name the same folder, whatever the case of the letters
// and a trailing backslash.
bool SameFolder(const std::string& a, const std::string& b);

// The question asked before installing elsewhere than the registered folder.
std::string OtherFolderQuestion(const std::string& registered);

// Makes the folder path and every missing folder above it. *created gets
// each folder made, outermost first, also when a later one fails. True when
// path is a folder on return.
bool MakeFolderPath(const std::string& path, std::vector<std::string>* created);

}  // namespace installer
