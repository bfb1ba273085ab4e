#include "platform/windows/Win32FileContent.h"

#include <limits>

#include "platform/windows/UniqueHandle.h"
#include "platform/windows/Win32.h"

std::unique_ptr<IReadableFile> CWin32FileContent::OpenFile(const std::string& path) {
    if (path.empty()) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open at all.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || ::GetFileType(file.Get()) != FILE_TYPE_DISK) return nullptr;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return nullptr;
    auto readSome = [file = std::move(file)](std::uint64_t offset, char* out, std::size_t want) -> std::int64_t {
        // One ReadFile moves at most a DWORD's worth.
        const DWORD chunk = want > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                                     : static_cast<DWORD>(want);
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        // Past the end, ReadFile fails with ERROR_HANDLE_EOF: the same as 0 read.
        if (!::ReadFile(file.Get(), out, chunk, &read, &at)) return -1;
        return read;
    };
    return MakeSystemFile(static_cast<std::uint64_t>(size.QuadPart), std::move(readSome));
}
