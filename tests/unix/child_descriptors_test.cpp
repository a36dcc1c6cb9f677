// What a child gets: its standard streams, the descriptors the interpreter
// itself inherited and the ones asked for (nothing else), its environment,
// and the reason when its program could not start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "unix/child.h"
#include "unix/spawn.h"

namespace dcl {
namespace {

// Runs `script` with /bin/sh through launch_child; its exit status.
int run_sh(ChildLaunch& launch, const std::string& script, int& exec_error) {
    launch.program = {"/bin/sh", {"sh", "-c", script}};
    pid_t pid = launch_child(launch, exec_error);
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string bit_if_open(int fd, int bit) {
    return "[ -e /proc/self/fd/" + std::to_string(fd) + " ] && code=$((code|" + std::to_string(bit) + "));";
}

TEST(ChildLaunch, OnlyInheritedAndKeptDescriptorsStayOpen) {
    int from_caller = open("/dev/null", O_RDONLY);  // open before: the caller's
    remember_inherited_descriptors();
    int own = open("/dev/null", O_RDONLY);  // a leak of the interpreter's own
    int kept = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int own_high = fcntl(own, F_DUPFD, 100);  // beyond a gap
    ASSERT_TRUE(from_caller > 2 && own > 2 && kept > own && own_high >= 100);
    ChildLaunch launch;
    launch.keep = {kept};
    int exec_error = -1;
    int code = run_sh(launch, "code=0;" + bit_if_open(from_caller, 1) + bit_if_open(own, 2) +
                                  bit_if_open(kept, 4) + bit_if_open(own_high, 8) + "exit $code",
                      exec_error);
    EXPECT_EQ(exec_error, 0);
    EXPECT_EQ(code, 1 | 4);
    for (int fd : {from_caller, own, kept, own_high}) close(fd);
    remember_inherited_descriptors();
}

TEST(ChildLaunch, EnvironmentReplacesAndAddsVariables) {
    setenv("DCL_TEST_OLD", "parent", 1);
    ChildLaunch launch;
    launch.environment.set("DCL_TEST_OLD", "first");
    launch.environment.set("DCL_TEST_OLD", "child");  // the later value wins
    launch.environment.set("DCL_TEST_NEW", "a=b");
    int exec_error = -1;
    EXPECT_EQ(run_sh(launch, "[ \"$DCL_TEST_OLD/$DCL_TEST_NEW\" = child/a=b ]", exec_error), 0);
    EXPECT_STREQ(getenv("DCL_TEST_OLD"), "parent");  // the interpreter's own is untouched
    unsetenv("DCL_TEST_OLD");
}

TEST(ChildLaunch, ReasonWhenNoProgramStartsAndFallbackOtherwise) {
    ChildLaunch missing;
    missing.program = {"/no/such/program", {"x"}};
    int exec_error = 0;
    pid_t pid = launch_child(missing, exec_error);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(exec_error, ENOENT);
    EXPECT_EQ(WEXITSTATUS(status), kExecFailed);

    missing.fallback = {"/bin/sh", {"sh", "-c", "exit 7"}};
    pid = launch_child(missing, exec_error);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(exec_error, 0);
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

}  // namespace
}  // namespace dcl
