// Waits, then writes and fsyncs a file, then idles until killed:
//   lw-test-write FILE MIB DELAY_SECONDS
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const long mib = std::atol(argv[2]);
    usleep(static_cast<useconds_t>(std::atof(argv[3]) * 1e6));
    int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return 1;
    std::vector<char> block(1 << 20, 'x');
    for (long i = 0; i < mib; ++i)
        if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) return 1;
    if (fsync(fd) != 0) return 1;
    close(fd);
    for (;;) pause();
}
