#pragma once
#include "platform/DynamicLibraries.h"

// dlopen(3) / dlsym(3). Libraries are loaded with RTLD_NOW | RTLD_LOCAL and
// never closed.
class CDlLibraries : public IDynamicLibraries {
public:
    ModuleHandle Load(const std::string& name) override;
    FunctionAddress FindFunction(ModuleHandle module, const std::string& name) override;
};
