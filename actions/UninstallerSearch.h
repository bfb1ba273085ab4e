#pragma once
#include <string>

class IFileSystem;

// Path of the uninstaller beside a program: the last of the known names
// found in folder, in the candidates' own spelling; empty if none, and
// always empty for the Windows and system directories themselves.
std::string FindUninstaller(const std::string& folder, IFileSystem& files);
