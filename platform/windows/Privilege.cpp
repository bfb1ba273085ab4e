#include "platform/windows/Privilege.h"

#include "platform/windows/UniqueHandle.h"
#include "platform/windows/Win32.h"
#include "platform/windows/Win32Libraries.h"

namespace {

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                              PDWORD);

struct Advapi {
    OpenProcessTokenFn openProcessToken = nullptr;
    LookupPrivilegeValueFn lookupPrivilegeValue = nullptr;
    AdjustTokenPrivilegesFn adjustTokenPrivileges = nullptr;

    // Looked up through the loader directly: this layer sits below the
    // program's shared function table.
    bool Resolve(IDynamicLibraries& libraries) {
        ModuleHandle module = libraries.Load("ADVAPI32.DLL");
        return module && Get(libraries, module, "OpenProcessToken", openProcessToken) &&
               Get(libraries, module, "LookupPrivilegeValueA", lookupPrivilegeValue) &&
               Get(libraries, module, "AdjustTokenPrivileges", adjustTokenPrivileges);
    }

    template <typename F>
    static bool Get(IDynamicLibraries& libraries, ModuleHandle module, const char* name, F& out) {
        FunctionAddress f = libraries.FindFunction(module, name);
        out = reinterpret_cast<F>(f);
        return f != nullptr;
    }
};

}  // namespace

bool EnablePrivilege(IDynamicLibraries& libraries, void* token, const char* privilege, bool enable) {
    Advapi advapi;
    if (!privilege || !advapi.Resolve(libraries)) return false;
    UniqueHandle opened;
    if (!token) {
        HANDLE own = nullptr;
        if (!advapi.openProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &own))
            return false;
        opened.Reset(own);
        token = own;
    }
    LUID luid{};
    if (!advapi.lookupPrivilegeValue(nullptr, privilege, &luid)) return false;

    // First learn the privilege's present attributes, then set or clear only
    // the enabled bit. AdjustTokenPrivileges succeeds even when the token
    // lacks the privilege; only the last error tells.
    TOKEN_PRIVILEGES probe{};
    probe.PrivilegeCount = 1;
    probe.Privileges[0].Luid = luid;
    probe.Privileges[0].Attributes = 0;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = sizeof previous;
    ::SetLastError(ERROR_SUCCESS);
    if (!advapi.adjustTokenPrivileges(token, FALSE, &probe, sizeof probe, &previous, &previousSize) ||
        ::GetLastError() != ERROR_SUCCESS)
        return false;

    previous.PrivilegeCount = 1;
    previous.Privileges[0].Luid = luid;
    if (enable)
        previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
    else
        previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
    ::SetLastError(ERROR_SUCCESS);
    if (!advapi.adjustTokenPrivileges(token, FALSE, &previous, previousSize, nullptr, nullptr) ||
        ::GetLastError() != ERROR_SUCCESS)
        return false;
    return true;
}

bool EnablePrivilege(const char* privilege, bool enable) {
    static CWin32Libraries s_libraries;
    return EnablePrivilege(s_libraries, nullptr, privilege, enable);
}
