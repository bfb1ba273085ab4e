#include "platform/windows/Win32FileSystem.h"

#include "platform/FileTime.h"
#include "platform/windows/FileTimeValue.h"
#include "platform/windows/Win32.h"

namespace {
// Both directory calls answer the length they need when the buffer is too
// small, and 0 on failure.
template <typename Call>
std::string AskDirectory(Call call) {
    char buffer[MAX_PATH];
    UINT length = call(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}
}  // namespace

bool CWin32FileSystem::EntryExists(const std::string& path) {
    return !path.empty() && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int64_t CWin32FileSystem::GetBirthTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return FileTimeToTime(FileTimeValue(data.ftCreationTime));
}

std::string CWin32FileSystem::GetWindowsDirectory() { return AskDirectory(::GetWindowsDirectoryA); }

std::string CWin32FileSystem::GetSystemDirectory() { return AskDirectory(::GetSystemDirectoryA); }
