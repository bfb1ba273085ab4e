#pragma once
#include "platform/DynamicLibraries.h"

// Switches a privilege of the calling process on or off. On Linux a
// privilege is a set of capabilities: "SeDebugPrivilege" (seeing into other
// users' processes) is CAP_SYS_PTRACE with CAP_DAC_READ_SEARCH. Enabling
// raises them from the permitted into the effective set; disabling clears
// them from the effective set. libcap is looked up at run time.
//
// true when every capability of the privilege is in the wanted state
// afterwards. false, with nothing changed, for an unknown privilege, a
// capability that is not permitted, or libcap missing.
bool EnablePrivilege(IDynamicLibraries& libraries, const char* privilege, bool enable);
// The same with dlopen/dlsym.
bool EnablePrivilege(const char* privilege, bool enable);
