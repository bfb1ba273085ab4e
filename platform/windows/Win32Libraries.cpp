#include "platform/windows/Win32Libraries.h"

#include "platform/windows/Win32.h"

ModuleHandle CWin32Libraries::Load(const std::string& name) {
    return reinterpret_cast<ModuleHandle>(::LoadLibraryA(name.c_str()));
}

FunctionAddress CWin32Libraries::FindFunction(ModuleHandle module, const std::string& name) {
    if (!module) return nullptr;
    return reinterpret_cast<FunctionAddress>(::GetProcAddress(static_cast<HMODULE>(module), name.c_str()));
}
