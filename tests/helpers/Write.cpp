// Waits, then writes and fsyncs a file, then idles until killed:
//   lw-test-write FILE MIB DELAY_SECONDS
//   lw-test-write FILE MIB -     waits for a line on its input instead, and
//                                says "written" on its output once synced
// The second form lets a test write exactly between two of its snapshots,
// however slowly a loaded machine runs it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
bool WaitForGo() {
    char c = 0;
    ssize_t n;
    while ((n = read(STDIN_FILENO, &c, 1)) > 0 && c != '\n') {
    }
    return n > 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const long mib = std::atol(argv[2]);
    const bool onCue = std::strcmp(argv[3], "-") == 0;
    if (!onCue)
        usleep(static_cast<useconds_t>(std::atof(argv[3]) * 1e6));
    else if (!WaitForGo())
        return 0;  // the test ended before it needed the bytes
    int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return 1;
    std::vector<char> block(1 << 20, 'x');
    for (long i = 0; i < mib; ++i)
        if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) return 1;
    if (fsync(fd) != 0) return 1;
    close(fd);
    if (onCue) {
        static const char kWritten[] = "written\n";
        if (write(STDOUT_FILENO, kWritten, sizeof kWritten - 1) != sizeof kWritten - 1) return 1;
    }
    for (;;) pause();
}
