#include "platform/linux/DlLibraries.h"

#include <dlfcn.h>

ModuleHandle CDlLibraries::Load(const std::string& name) {
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

FunctionAddress CDlLibraries::FindFunction(ModuleHandle module, const std::string& name) {
    if (!module) return nullptr;
    void* symbol = ::dlsym(module, name.c_str());
    // POSIX guarantees that a data pointer from dlsym converts to a function pointer.
    return reinterpret_cast<FunctionAddress>(symbol);
}
