#pragma once
#include "platform/DynamicLibraries.h"

// Switches a privilege of a token on or off ("SeDebugPrivilege": opening
// other users' and system processes). token null: the calling process's
// own token, opened here and closed again. OpenProcessToken,
// LookupPrivilegeValueA and AdjustTokenPrivileges are looked up in
// ADVAPI32.DLL at run time.
//
// true when the adjustment was made in full. false for an unknown
// privilege, a token that does not hold it (ERROR_NOT_ALL_ASSIGNED: the
// token is left as it was), or a missing function.
bool EnablePrivilege(IDynamicLibraries& libraries, void* token, const char* privilege, bool enable);
// The same for the calling process, with LoadLibraryA/GetProcAddress.
bool EnablePrivilege(const char* privilege, bool enable);
