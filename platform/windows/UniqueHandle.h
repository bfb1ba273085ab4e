#pragma once
#include "platform/UniqueResource.h"
#include "platform/windows/Win32.h"

// Both of the system's "no handle" values (null from OpenProcess,
// INVALID_HANDLE_VALUE from CreateFile and the tool-help snapshots) count
// as empty.
struct HandleTraits {
    using Value = HANDLE;
    static constexpr HANDLE kNone = nullptr;
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle);
};

// Owns one kernel handle.
using UniqueHandle = UniqueResource<HandleTraits>;
