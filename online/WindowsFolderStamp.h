#pragma once
#include <cstdint>

class IFileSystem;

// A number that tells Windows-directory installations apart: the low 31 bits
// of its birth time as a FILETIME. 0 if the directory or its birth time is
// unknown.
std::int32_t GetWindowsFolderStamp(IFileSystem& files);
