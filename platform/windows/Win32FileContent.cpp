#include "platform/windows/Win32FileContent.h"

#include <limits>

#include "platform/windows/UniqueHandle.h"
#include "platform/windows/Win32.h"

namespace {

class CWin32ReadableFile : public IReadableFile {
public:
    CWin32ReadableFile(UniqueHandle file, std::uint64_t size) : m_file(std::move(file)), m_size(size) {}

    std::uint64_t Size() const override { return m_size; }

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        auto* out = static_cast<char*>(buffer);
        while (size > 0) {
            // One ReadFile moves at most a DWORD's worth.
            DWORD chunk = size > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                                   : static_cast<DWORD>(size);
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD read = 0;
            if (!::ReadFile(m_file.Get(), out, chunk, &read, &at) || read == 0) return false;
            out += read;
            offset += read;
            size -= read;
        }
        return true;
    }

private:
    UniqueHandle m_file;
    std::uint64_t m_size;
};

}  // namespace

std::unique_ptr<IReadableFile> CWin32FileContent::OpenFile(const std::string& path) {
    if (path.empty()) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open at all.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || ::GetFileType(file.Get()) != FILE_TYPE_DISK) return nullptr;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return nullptr;
    return std::make_unique<CWin32ReadableFile>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}
