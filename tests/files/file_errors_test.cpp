// The reasons shown after a failed open or write, and which files get
// versions: only regular ones, wherever they live.
#include "files/file_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/versions.h"
#include "status/condition.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "dclsh-errors-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
};

using OpenFailureReason = TempDir;

// A missing file is told apart from a missing directory on the way.
TEST_F(OpenFailureReason, MissingFileOrDirectory) {
    EXPECT_EQ(open_failure_reason(ENOENT, path("nosuch.lis")), cond::FNF);
    EXPECT_EQ(open_failure_reason(ENOENT, path("nosuch/x.lis")), cond::DNF);
    EXPECT_EQ(open_failure_reason(ENOENT, "relative.lis"), cond::FNF);
    std::ofstream(path("plain")) << "x";
    // ENOTDIR: a file stands where a directory should be.
    EXPECT_EQ(open_failure_reason(ENOTDIR, path("plain/x.lis")), cond::DNF);
    // A file where the directory should be is no directory either.
    EXPECT_EQ(open_failure_reason(ENOENT, path("plain/x.lis")), cond::DNF);
}

// Whatever the error, the reason shown never reads as success.
TEST(OpenFailureReasons, NeverASuccess) {
    for (int error : {ENOENT, EACCES, ENOSPC, EDQUOT, EISDIR, ENAMETOOLONG, EIO, EROFS, 0})
        EXPECT_FALSE(is_success(open_failure_reason(error, "/nonexistent-dir/x"))) << error;
    for (int error : {ENOSPC, EBADF, EIO, 0}) EXPECT_FALSE(is_success(write_failure_reason(error)));
}

using VersionedKinds = TempDir;

// A directory, a FIFO or a device is never renamed aside: only regular
// files have versions.
TEST_F(VersionedKinds, OnlyRegularFilesAreMovedAside) {
    ASSERT_EQ(mkdir(path("adir").c_str(), 0755), 0);
    EXPECT_EQ(new_version_qv(path("adir")), 0);
    EXPECT_TRUE(fs::is_directory(path("adir")));
    EXPECT_FALSE(fs::exists(path("adir.~1~")));
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_EQ(new_version_qv(path("fifo")), 0);
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    EXPECT_EQ(new_version_qv("/dev/null"), 0);
    // A regular file reached through a symbolic link is still a file.
    std::ofstream(path("data")) << "x";
    fs::create_symlink(path("data"), path("link"));
    EXPECT_EQ(new_version_qv(path("link")), 1);
}

// What lies under /dev/ is judged by what it is, not by its name.
TEST(VersionedKindsUnderDev, RegularFileInDevShmGetsAVersion) {
    struct stat st {};
    if (stat("/dev/shm", &st) != 0 || !S_ISDIR(st.st_mode)) GTEST_SKIP() << "no /dev/shm";
    std::string file = "/dev/shm/dclsh-kinds-" + std::to_string(getpid());
    std::ofstream(file) << "old";
    EXPECT_EQ(new_version_qv(file), 1);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(backup_name(file, 1)));
    std::error_code ignored;
    fs::remove(backup_name(file, 1), ignored);
    fs::remove(file, ignored);
}

}  // namespace
}  // namespace dcl
