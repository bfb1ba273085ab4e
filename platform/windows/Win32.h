#pragma once
// <windows.h> without the ANSI/wide macros whose names the program's own
// interfaces use (IFileSystem::GetWindowsDirectory, the version-resource
// reader's GetFileVersionInfo and VerQueryValue). Include this instead of
// <windows.h> anywhere the program's headers may be seen too.
#include <windows.h>

#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef GetFileVersionInfo
#undef GetFileVersionInfoSize
#undef VerQueryValue
