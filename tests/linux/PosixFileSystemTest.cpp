// The real file-system layer on files and folders the test makes itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"

namespace {
namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(m_root);
        fs::create_directories(m_root + "/folder");
        std::ofstream(m_root + "/file") << "x";
        fs::create_symlink("nothing-here", m_root + "/dangling");
    }
    void TearDown() override { fs::remove_all(m_root); }

    const std::string m_root = std::string(LW_TEST_TMP) + "/posixfs-" + std::to_string(::getpid());
    CPosixFileSystem m_files;
};

TEST_F(PosixFileSystemTest, EntriesExistWithoutFollowingLinks) {
    const std::pair<const char*, bool> cases[] = {
        {"/file", true}, {"/folder", true}, {"/dangling", true}, {"/missing", false}, {"/file/below", false},
    };
    for (const auto& [name, exists] : cases) EXPECT_EQ(m_files.EntryExists(m_root + name), exists) << name;
}

// The birth time where the file system keeps one, else 0; never the change
// time, which a chmod in a later second moves away from it.
TEST_F(PosixFileSystemTest, BirthTimeNeverTheChangeTime) {
    for (const char* name : {"/file", "/folder"}) {
        SCOPED_TRACE(name);
        const std::string path = m_root + name;
        struct statx sx {};
        for (int tries = 0; tries < 100; ++tries) {
            ASSERT_EQ(::chmod(path.c_str(), tries % 2 ? 0750 : 0755), 0);
            ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_CTIME, &sx), 0);
            if (sx.stx_ctime.tv_sec != sx.stx_btime.tv_sec) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_NE(sx.stx_ctime.tv_sec, sx.stx_btime.tv_sec);
        const std::int64_t birth = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : 0;
        EXPECT_EQ(m_files.GetBirthTime(path), birth);
    }
    // procfs keeps no birth times.
    EXPECT_EQ(m_files.GetBirthTime("/proc/self/stat"), 0);
    EXPECT_EQ(m_files.GetBirthTime(m_root + "/missing"), 0);
}

// Regular files only, read exactly: never fewer bytes than asked for.
TEST_F(PosixFileSystemTest, FileContentReadsExactlyWhatTheFileHolds) {
    std::ofstream(m_root + "/data") << "0123456789";
    ASSERT_EQ(::mkfifo((m_root + "/fifo").c_str(), 0600), 0);
    CPosixFileContent content;
    for (const char* name : {"/folder", "/dangling", "/missing", "/fifo"})
        EXPECT_EQ(content.OpenFile(m_root + name), nullptr) << name;
    auto file = content.OpenFile(m_root + "/data");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 10u);
    const struct {
        std::uint64_t offset;
        std::size_t size;
        const char* bytes;  // null: the read fails
    } cases[] = {{0, 10, "0123456789"}, {6, 4, "6789"}, {8, 4, nullptr}, {10, 1, nullptr}, {1u << 31, 1, nullptr}};
    for (const auto& c : cases) {
        std::string got(c.size, '\0');
        EXPECT_EQ(file->ReadAt(c.offset, got.data(), c.size), c.bytes != nullptr) << c.offset;
        EXPECT_EQ(got, c.bytes ? c.bytes : got) << c.offset;
    }
}
}  // namespace
