#pragma once
#include <string>

class IFileSystem;

// The folder is, ignoring letter case, the Windows directory or the system
// directory itself (not a folder below them). A directory the platform
// cannot name matches nothing.
bool IsWindowsOrSystemFolder(const std::string& folder, IFileSystem& files);
