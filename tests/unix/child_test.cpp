// The pure parts of running Unix programs: the shell choice, the PATH
// search and the directory change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "status/condition.h"
#include "status/defaults_file.h"
#include "status/session.h"
#include "unix/child.h"

namespace dcl {
namespace {

std::string default_shell() { return access("/bin/ksh", X_OK) == 0 ? "/bin/ksh" : "/bin/sh"; }

TEST(ChooseShell, UnsetOrEmptyTakesTheDefault) {
    EXPECT_EQ(choose_shell(nullptr), default_shell());
    EXPECT_EQ(choose_shell(""), default_shell());
}

TEST(ChooseShell, SetTakesTheVariable) {
    EXPECT_EQ(choose_shell("/usr/bin/zsh"), "/usr/bin/zsh");
    EXPECT_EQ(choose_shell("/opt/mydcl"), "/opt/mydcl");
}

TEST(ChooseShell, NeverTheInterpreterItself) {
    EXPECT_EQ(choose_shell("/usr/local/bin/dclsh"), default_shell());
    EXPECT_EQ(choose_shell("dcl"), default_shell());
}

class PathSearch : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("child_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_ / "bin");
        std::ofstream(dir_ / "bin" / "tool") << "x";
        std::ofstream(dir_ / "here") << "x";
        old_cwd_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_cwd_);
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path dir_;
    std::filesystem::path old_cwd_;
};

TEST_F(PathSearch, FirstExistingElementWins) {
    std::string path = "/nonexistent:" + (dir_ / "bin").string();
    EXPECT_EQ(search_path("tool", path.c_str()), (dir_ / "bin" / "tool").string());
}

TEST_F(PathSearch, EmptyElementMeansCurrentDirectory) {
    EXPECT_EQ(search_path("here", "/nonexistent::/also/not"), "./here");
    EXPECT_EQ(search_path("here", "/nonexistent:"), "./here");
}

TEST_F(PathSearch, AbsoluteOrNoPathTakenAsGiven) {
    EXPECT_EQ(search_path("/bin/true", "/x"), "/bin/true");
    EXPECT_EQ(search_path("tool", nullptr), "tool");
}

TEST_F(PathSearch, MissingProgramGivesTheLastCandidate) {
    EXPECT_EQ(search_path("absent", "/a:/b"), "/b/absent");
}

TEST(FindUnixCommand, NoDefaultsEntriesKeepsTheDefault) {
    reset_defaults_list();
    std::string result;
    EXPECT_EQ(find_unix_command(result, "KEY", "nosuchprogram -x", true), 1u);
    EXPECT_EQ(result, "nosuchprogram -x");
}

TEST_F(PathSearch, ChangeDirectoryKeepsTheSessionInStep) {
    EXPECT_EQ(change_directory("bin"), cond::NORMAL);
    std::string expected = std::filesystem::canonical(dir_ / "bin").string() + "/";
    EXPECT_EQ(session().working_dir, expected);
    EXPECT_EQ(change_directory("/nonexistent/dir"), cond::DNF);
    EXPECT_EQ(change_directory(".."), cond::NORMAL);
}

TEST(Signals, FaultSignalsMapToConditions) {
    EXPECT_EQ(condition_for_signal(SIGSEGV), cond::ACCVIO);
    EXPECT_EQ(condition_for_signal(SIGABRT), cond::ABORT);
    EXPECT_EQ(condition_for_signal(SIGILL), cond::OPCDEC);
    EXPECT_EQ(condition_for_signal(SIGHUP), cond::NORMAL);
}

void ignore_signal(int) {}

TEST(Signals, SetSignalReturnsThePreviousHandler) {
    SignalHandler first = set_signal(SIGUSR1, ignore_signal);
    EXPECT_NE(first, SIG_ERR);
    EXPECT_EQ(set_signal(SIGUSR1, first), ignore_signal);
}

TEST(WaitChild, NormalExitLeavesTheStatusAlone) {
    child_state().image_status = 1;
    pid_t pid = fork();
    if (pid == 0) _exit(5);
    int status = 0;
    EXPECT_EQ(wait_child(status, pid, false), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 5);
    EXPECT_EQ(child_state().image_status, 1u);
}

TEST(UnixCmd, ReturnsTheShellsExitCode) {
    EXPECT_EQ(unix_cmd("exit 7"), 7);
    EXPECT_EQ(unix_cmd("true"), 0);
}

TEST(Access, ExistingAndMissingFiles) {
    EXPECT_EQ(file_exists("/"), 1);
    EXPECT_EQ(file_readable("/"), 1);
    EXPECT_EQ(file_exists("/nonexistent/file"), 0);
}

}  // namespace
}  // namespace dcl
