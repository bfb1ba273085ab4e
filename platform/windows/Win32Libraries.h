#pragma once
#include "platform/DynamicLibraries.h"

// LoadLibraryA / GetProcAddress. Libraries are never freed.
class CWin32Libraries : public IDynamicLibraries {
public:
    ModuleHandle Load(const std::string& name) override;
    FunctionAddress FindFunction(ModuleHandle module, const std::string& name) override;
};
