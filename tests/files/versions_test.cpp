// File versions, deletion with companions, moves, scratch files and the
// program-path lookups, each in a fresh temporary directory.
#include "files/versions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/scratch.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "support/capture.h"
#include "support/scoped_env.h"

namespace dcl {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;

class VersionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        reset_process_state();
        reset_version_state();
        std::string pattern = (fs::temp_directory_path() / "dclsh-versions-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        reset_process_state();
        reset_version_state();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    void write(const std::string& name, const std::string& text = "x") const {
        std::ofstream(path(name)) << text;
    }
    bool exists(const std::string& name) const { return fs::exists(fs::symlink_status(path(name))); }
    static std::string read(const std::string& full_path) {
        std::ifstream in(full_path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir_;
};

TEST_F(VersionFiles, BackupsAreNumberedAndGapsFilled) {
    std::string lis = path("foo.lis");
    write("foo.lis", "first");
    EXPECT_EQ(new_version_qv(lis), 1);
    EXPECT_FALSE(exists("foo.lis"));
    write("foo.lis", "second");
    EXPECT_EQ(new_version_qv(lis), 2);
    EXPECT_EQ(read(backup_name(lis, 1)), "first");
    EXPECT_EQ(read(backup_name(lis, 2)), "second");
    ASSERT_TRUE(fs::remove(backup_name(lis, 1)));
    write("foo.lis", "third");
    EXPECT_EQ(new_version_qv(lis), 1);
    EXPECT_EQ(read(backup_name(lis, 1)), "third");
}

TEST_F(VersionFiles, FilesThatAreNotVersioned) {
    EXPECT_EQ(new_version_qv(path("missing")), -1);
    EXPECT_EQ(new_version_qv("/dev/null"), 0);
    EXPECT_FALSE(fs::exists("/dev/null.~1~"));
    write("ro.txt");
    ASSERT_EQ(chmod(path("ro.txt").c_str(), 0444), 0);
    EXPECT_EQ(new_version_qv(path("ro.txt")), 0);
    EXPECT_TRUE(exists("ro.txt"));
    EXPECT_FALSE(exists("ro.txt.~1~"));
}

TEST_F(VersionFiles, DebugTrace) {
    ScopedEnv debug("DEBUG8", "1");
    test::CapturedErrors errors;
    reset_version_state();
    new_version_qv("/dev/null");
    EXPECT_EQ(errors.take(), "DEBUG: new_version_qv for file /dev/null\n");
}

TEST_F(VersionFiles, DeleteTakesTheCompanion) {
    for (const char* name : {"data.dat", "data.idx", ".data", "notes.txt", ".notes.txt", "lone.dat", ".lone.dat"})
        write(name);
    EXPECT_EQ(delete_file(path("data.dat")), 1u);
    EXPECT_EQ(delete_file(path("notes.txt")), 1u);
    EXPECT_EQ(delete_file(path("lone.dat")), 1u);  // no .idx beside it: not a pair
    for (const char* gone : {"data.dat", ".data", "notes.txt", ".notes.txt", "lone.dat", ".lone.dat"})
        EXPECT_FALSE(exists(gone)) << gone;
    EXPECT_TRUE(exists("data.idx"));
    EXPECT_EQ(delete_file(path("missing")), cond::FNF);
}

TEST_F(VersionFiles, MovesPairsAsAWhole) {
    write("base.dat", "d");
    write("base.idx", "i");
    EXPECT_EQ(move_indexed_file(path("base"), path("moved")), 0);
    EXPECT_EQ(read(path("moved.dat")) + read(path("moved.idx")), "di");
    EXPECT_EQ(move_indexed_file(path("moved.idx"), path("again.idx")), 0);
    EXPECT_TRUE(exists("again.dat") && exists("again.idx"));
    EXPECT_FALSE(exists("moved.dat") || exists("moved.idx"));
    write("single.txt");
    EXPECT_EQ(move_indexed_file(path("single.txt"), path("other.txt")), 0);
    EXPECT_TRUE(exists("other.txt"));
    EXPECT_EQ(move_file(path("missing"), path("nowhere")), -1);
}

TEST_F(VersionFiles, MoveAcrossFileSystemsKeepsPermissions) {
    struct stat here, there;
    if (stat(dir_.c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    std::string target = "/dev/shm/dclsh-move-" + std::to_string(getpid());
    write("src.txt", std::string(100000, 'q'));
    ASSERT_EQ(chmod(path("src.txt").c_str(), 0640), 0);
    EXPECT_EQ(move_file(path("src.txt"), target), 0);
    struct stat moved;
    ASSERT_EQ(stat(target.c_str(), &moved), 0);
    EXPECT_EQ(moved.st_mode & 07777, 0640u);
    EXPECT_EQ(read(target), std::string(100000, 'q'));
    EXPECT_FALSE(exists("src.txt"));
    fs::remove(target);
}

TEST_F(VersionFiles, ScratchNamesAndTheRegister) {
    {
        ScopedEnv scratch("SYSSCRATCH", dir_.c_str());
        std::string name = temporary_file_name();
        EXPECT_EQ(name.rfind(dir_ + "/qv", 0), 0u) << name;
        EXPECT_TRUE(fs::exists(name));
    }
    {
        ScopedEnv scratch("SYSSCRATCH", nullptr);
        ASSERT_EQ(lnm_create_name("LNM$PROCESS", "SYS$SCRATCH", "/dclsh-no-such-dir/", nullptr, 0), 1u);
        std::string name = temporary_file_name();
        EXPECT_EQ(name.rfind("/tmp/qv", 0), 0u) << name;
        fs::remove(name);
    }
    std::string limit = path(std::string(kMaxTemporaryPath - dir_.size() - 1, 'a'));
    std::string beyond = limit + "b";
    std::ofstream(limit) << "x";
    std::ofstream(beyond) << "x";
    EXPECT_EQ(register_temporary_file(limit), 1u);
    EXPECT_EQ(register_temporary_file(beyond), cond::BUFOVF);
    EXPECT_FALSE(fs::exists(beyond));  // refused, and removed at once
    std::string created = create_temporary_file();
    EXPECT_TRUE(fs::exists(created));
    EXPECT_EQ(temporary_files().paths, (std::vector<std::string>{limit, created}));
    remove_temporary_files();
    EXPECT_FALSE(fs::exists(limit) || fs::exists(created));
    EXPECT_TRUE(temporary_files().paths.empty());
}

}  // namespace
}  // namespace dcl
