#include "platform/linux/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>

bool CPosixFileSystem::EntryExists(const std::string& path) {
    struct stat st {};
    return ::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::int64_t CPosixFileSystem::GetBirthTime(const std::string& path) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) != 0) return 0;
    if (!(sx.stx_mask & STATX_BTIME)) return 0;
    return static_cast<std::int64_t>(sx.stx_btime.tv_sec);
}
