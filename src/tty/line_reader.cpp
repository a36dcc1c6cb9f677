// A plain line read at the terminal, without editing: the terminal's own
// line discipline does the editing here.
#include "tty/line_reader.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include "core/signals.h"
#include "status/condition.h"

namespace dcl {

namespace {

bool stop_requested() {
    const InterruptState& s = interrupts();
    return s.pending || s.terminate || s.fatal_signal;
}

// Waits for input or a signal. The signals the interpreter acts on are
// blocked from the check of their flags until the wait begins, so one that
// arrives in between interrupts the wait instead of being noticed only after
// the next line. False when a signal asks the caller to stop.
bool wait_for_input() {
    sigset_t block, old;
    sigemptyset(&block);
    for (int sig : {SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGTERM})
        sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    for (;;) {
        if (stop_requested()) break;
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (ppoll(&p, 1, nullptr, &old) > 0) break;
        if (errno != EINTR) break;  // the read reports the fault
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    return !stop_requested();
}

}  // namespace

uint32_t read_terminal_line(std::string_view prompt, std::string& line) {
    std::fwrite(prompt.data(), 1, prompt.size(), stdout);
    std::fflush(stdout);
    std::string text;
    for (;;) {
        if (!wait_for_input()) return cond::CONTROLY;
        char c = 0;
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;  // e.g. a refused Ctrl-Z
        if (n <= 0) {
            if (text.empty()) return cond::RMS_EOF;
            break;
        }
        if (c == '\n') break;
        text.push_back(c);
    }
    if (text.size() > kMaxTerminalLine) return cond::RTB;
    line += text;
    return 1;
}

}  // namespace dcl
