// Feeds arbitrary bytes to the version-resource reader, both as a whole
// program file and as a bare version tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "details/VersionResource.h"
#include "tests/fakes/FakeFileContent.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::uint8_t> buffer;
    IsWindowsProgram(file);
    if (GetFileVersionInfo(file, buffer, 0x0C07) == VersionInfoResult::Found) {
        ReadVersionStrings(buffer, 0x0409);
    }
    std::vector<std::uint8_t> tree(data, data + size);
    VersionStrings strings = ReadVersionStrings(tree, 0x0407);
    VersionValue value;
    VerQueryValue(tree, "\\", value);
    VerQueryValue(tree, "\\StringFileInfo\\040904E4\\ProductName", value);
    return static_cast<int>(strings.m_strProductName.size() & 0);
}
