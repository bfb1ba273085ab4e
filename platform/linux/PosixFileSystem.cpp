#include "platform/linux/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>

bool CPosixFileSystem::EntryExists(const std::string& path) {
    struct stat st {};
    return ::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}
