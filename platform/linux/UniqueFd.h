#pragma once
#include "platform/UniqueResource.h"

struct FdTraits {
    using Value = int;
    static constexpr int kNone = -1;
    static bool Valid(int fd) { return fd >= 0; }
    static void Close(int fd);
};

// Owns one file descriptor.
using UniqueFd = UniqueResource<FdTraits>;
