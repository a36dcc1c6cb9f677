// What a child inherits: its standard streams, the descriptors the
// interpreter itself inherited, and the ones asked for; nothing else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "unix/child.h"

namespace dcl {
namespace {

bool is_open(int fd) { return fcntl(fd, F_GETFD) >= 0; }

TEST(ChildDescriptors, OnlyInheritedAndKeptDescriptorsStayOpen) {
    int from_caller = open("/dev/null", O_RDONLY);  // open before: the caller's
    remember_inherited_descriptors();
    int own = open("/dev/null", O_RDONLY);  // a leak of the interpreter's own
    int kept = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int own_high = fcntl(own, F_DUPFD, 100);  // beyond a gap
    ASSERT_TRUE(from_caller > 2 && own > 2 && kept > own && own_high >= 100);
    pid_t pid = fork();
    if (pid == 0) {
        prepare_child_process({kept});
        int flags = fcntl(kept, F_GETFD);
        bool kept_across_exec = flags >= 0 && (flags & FD_CLOEXEC) == 0;
        _exit((is_open(from_caller) ? 1 : 0) | (is_open(own) ? 0 : 2) |
              (kept_across_exec ? 4 : 0) | (is_open(own_high) ? 0 : 8));
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1 | 2 | 4 | 8);
    for (int fd : {from_caller, own, kept, own_high}) close(fd);
    remember_inherited_descriptors();
}

}  // namespace
}  // namespace dcl
