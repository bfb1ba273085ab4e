#include "platform/linux/PosixFileContent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/UniqueFd.h"

std::unique_ptr<IReadableFile> CPosixFileContent::OpenFile(const std::string& path) {
    if (path.empty()) return nullptr;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd) return nullptr;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    // Regular files ignore O_NONBLOCK, but drop it all the same.
    int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    auto readSome = [fd = std::move(fd)](std::uint64_t offset, char* out, std::size_t want) -> std::int64_t {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) return -1;
        for (;;) {
            const ssize_t n = ::pread(fd.Get(), out, want, static_cast<off_t>(offset));
            if (n >= 0 || errno != EINTR) return n;
        }
    };
    return MakeSystemFile(static_cast<std::uint64_t>(st.st_size), std::move(readSome));
}
