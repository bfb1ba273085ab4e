#include "platform/linux/ProcessSockets.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/linux/UniqueFd.h"

bool ParseSocketLink(std::string_view link, std::uint64_t& inode) {
    constexpr std::string_view kPrefix = "socket:[";
    if (link.substr(0, kPrefix.size()) != kPrefix || link.size() < kPrefix.size() + 2 || link.back() != ']')
        return false;
    std::string_view digits = link.substr(kPrefix.size(), link.size() - kPrefix.size() - 1);
    if (digits.size() > 19) return false;
    std::uint64_t v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    inode = v;
    return true;
}

bool ReadProcessSockets(int rootFd, const char* pidName, std::vector<std::uint64_t>& inodes) {
    std::string path = std::string(pidName) + "/fd";
    UniqueFd fds(openat(rootFd, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fds) return false;
    int listing = dup(fds.Get());
    if (listing < 0) return false;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(listing), &closedir);
    if (!dir) {
        close(listing);
        return false;
    }
    while (dirent* fd = readdir(dir.get())) {
        if (fd->d_name[0] == '.') continue;
        char link[64];
        ssize_t n = readlinkat(fds.Get(), fd->d_name, link, sizeof link);
        std::uint64_t inode = 0;
        if (n > 0 && ParseSocketLink(std::string_view(link, static_cast<std::size_t>(n)), inode))
            inodes.push_back(inode);
    }
    return true;
}
