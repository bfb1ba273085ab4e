// Reads FILE again and again with direct I/O, past the page cache, for the
// given seconds:  lw-test-read-direct FILE SECONDS
// Exit 3: the file system refuses direct I/O.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace {
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};
constexpr size_t kBlock = 1 << 20;
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    Fd file{open(argv[1], O_RDONLY | O_DIRECT | O_CLOEXEC)};
    if (file.fd < 0) return errno == EINVAL ? 3 : 1;
    void* raw = nullptr;
    if (posix_memalign(&raw, 4096, kBlock) != 0) return 1;
    std::unique_ptr<void, decltype(&std::free)> buffer(raw, &std::free);
    off_t offset = 0;
    while (std::chrono::steady_clock::now() < end) {
        ssize_t n = pread(file.fd, buffer.get(), kBlock, offset);
        if (n < 0) return errno == EINVAL ? 3 : 1;
        offset = n == 0 ? 0 : offset + n;
    }
    return 0;
}
