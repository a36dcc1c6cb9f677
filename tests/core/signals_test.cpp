// Signals that end the interpreter: which are caught, and how it leaves.
#include <gtest/gtest.h>

#include <csignal>

#include "core/signals.h"

namespace dcl {
namespace {

TEST(TerminatingSignals, EveryCatchableEndingSignalIsTakenOver) {
    for (int sig : {SIGHUP, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGXCPU, SIGXFSZ, SIGVTALRM,
                    SIGPROF, SIGIO, SIGPWR, SIGSYS, SIGSTKFLT, SIGRTMIN, SIGRTMIN + 5, SIGRTMAX})
        EXPECT_TRUE(ends_process_by_default(sig)) << sig;
    for (int sig : {SIGKILL, SIGSTOP, SIGCHLD, SIGCONT, SIGWINCH, SIGURG, SIGTSTP, SIGTTIN})
        EXPECT_FALSE(ends_process_by_default(sig)) << sig;
}

TEST(TerminatingSignals, TerminationExitsWith128PlusTheSignal) {
    EXPECT_EXIT(
        {
            interrupts().terminate = SIGHUP;
            handle_terminating_signals();
        },
        ::testing::ExitedWithCode(129), "");
    EXPECT_EXIT(
        {
            interrupts().fatal_signal = SIGALRM;
            handle_terminating_signals();
        },
        ::testing::ExitedWithCode(78), "unexpected signal 14 received");
}

}  // namespace
}  // namespace dcl
