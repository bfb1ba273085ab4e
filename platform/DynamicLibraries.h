#pragma once
#include <string>

// A loaded shared library; null is none.
using ModuleHandle = void*;
// The address of a function found in a library, to be cast to its real type
// before the call; null is none.
using FunctionAddress = void (*)();

// Libraries loaded at run time. A library stays loaded until the program ends.
class IDynamicLibraries {
public:
    virtual ~IDynamicLibraries() = default;
    // Loads the library by name (the system's search rules apply); null on failure.
    virtual ModuleHandle Load(const std::string& name) = 0;
    // The exported function of exactly this name; null if there is none.
    virtual FunctionAddress FindFunction(ModuleHandle module, const std::string& name) = 0;
};
