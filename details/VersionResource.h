#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/VersionStrings.h"

class IReadableFile;

enum class VersionInfoResult {
    NotProgram,  // not a Windows program file (no PE signature)
    NoResource,  // a Windows program without a readable version resource
    Found,
};

// True for a Windows program file: an MZ header whose PE signature is in place.
bool IsWindowsProgram(IReadableFile& file);

// Copies the version resource (VS_VERSIONINFO) of a PE32 or PE32+ file into
// buffer. A file may hold one per language; the one taken is the user's
// language, else the same primary language, else neutral, else English (US),
// else the first. Every offset the file states is checked against the file
// and the section it points into; a malformed file gives NoResource or
// NotProgram, never a read outside what was read.
VersionInfoResult GetFileVersionInfo(IReadableFile& file, std::vector<std::uint8_t>& buffer,
                                     std::uint16_t userLangId);

// A value of the resource tree. `length` is what the tree states (UTF-16
// units for text, bytes for binary data); `size` is how many bytes from
// `offset` lie inside its node and may be read.
struct VersionValue {
    std::size_t offset = 0;
    std::size_t size = 0;
    std::uint32_t length = 0;
    bool text = false;
};

// Finds the value of a block path such as "\VarFileInfo\Translation" or
// "\StringFileInfo\040904E4\ProductName" ("\" alone is the root). Keys match
// ignoring ASCII case, as the Windows lookup does.
bool VerQueryValue(const std::vector<std::uint8_t>& buffer, std::string_view subBlock, VersionValue& value);

// The string of key under prefix, as UTF-8, up to its terminating zero;
// empty when the block or the key is missing.
std::string GetVersionString(const std::vector<std::uint8_t>& buffer, const std::string& prefix,
                             const char* key);

// "\StringFileInfo\LLLLCCCC\" from the file's only translation, otherwise
// from the user's language with code page 04B0.
std::string GetVersionPrefix(const std::vector<std::uint8_t>& buffer, std::uint16_t userLangId);

// All seven strings, read under GetVersionPrefix.
VersionStrings ReadVersionStrings(const std::vector<std::uint8_t>& buffer, std::uint16_t userLangId);
