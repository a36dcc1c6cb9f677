// A child's end by a signal: a failure that names the signal, a fault
// with its own condition, or the interpreter's own doing after Ctrl-Y.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/signals.h"
#include "status/condition.h"
#include "unix/child.h"

namespace dcl {
namespace {

// A child that ends by `sig` at once, without leaving a core file.
pid_t child_dying_of(int sig) {
    pid_t pid = fork();
    if (pid == 0) {
        struct rlimit none {0, 0};
        setrlimit(RLIMIT_CORE, &none);
        std::signal(sig, SIG_DFL);
        raise(sig);
        _exit(0);
    }
    return pid;
}

TEST(ChildSignalEnd, AnySignalFailsAndFaultsKeepTheirConditions) {
    const struct {
        int sig;
        uint32_t condition;
        int named;
    } cases[] = {
        {SIGKILL, with_severity(cond::UNIXSIG, SEV_ERROR), SIGKILL},
        {SIGTERM, with_severity(cond::UNIXSIG, SEV_ERROR), SIGTERM},
        {SIGALRM, with_severity(cond::UNIXSIG, SEV_ERROR), SIGALRM},
        {SIGSEGV, cond::ACCVIO, 0},
    };
    for (const auto& c : cases) {
        child_state() = ChildState{};
        pid_t pid = child_dying_of(c.sig);
        watch_child(pid);
        int status = 0;
        ASSERT_EQ(wait_child(status, pid, false), pid);
        watch_child(0);
        EXPECT_EQ(child_state().image_status, c.condition) << c.sig;
        EXPECT_EQ(child_state().failed_by, c.named) << c.sig;
    }
    EXPECT_EQ(signal_name(SIGKILL), "SIGKILL (Killed)");
    child_state() = ChildState{};
}

TEST(ChildSignalEnd, CtrlYTerminatesTheChildThenKillsIt) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGTERM, SIG_IGN);
        std::signal(SIGQUIT, SIG_IGN);
        ssize_t ignored = write(ready[1], "x", 1);
        (void)ignored;
        for (;;) pause();
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);

    save_signal_handlers();
    InterruptState& s = interrupts();
    s.terminal_input = 1;
    defer_interrupts();
    child_state() = ChildState{};
    watch_child(pid);
    raise(SIGQUIT);  // the terminal's Ctrl-Y: termination, which it ignores
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0);
    raise(SIGQUIT);  // and again: killed
    ASSERT_EQ(wait_child(status, pid, false), pid);
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_TRUE(interpreter_ended_child(SIGKILL));
    EXPECT_FALSE(interpreter_ended_child(SIGINT));
    EXPECT_EQ(child_state().image_status, 1u);  // an interrupt, no failure

    watch_child(0);
    resume_interrupts();
    s.pending = 0;
    s.terminal_input = 0;
    restore_signal_handlers();
}

}  // namespace
}  // namespace dcl
