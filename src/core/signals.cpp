// Signal handlers. They never jump: an interrupt is recorded and the loops
// that wait or walk (reads, listings, searches) notice it and return, so the
// command loop can run its re-entry steps. Handlers are installed without
// SA_RESTART so that a blocking read returns with EINTR.
#include "core/signals.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "files/unique_fd.h"
#include "status/condition.h"
#include "status/exit.h"
#include "status/messages.h"
#include "tty/terminal.h"
#include "unix/child.h"

namespace dcl {

namespace {

InterruptState& g_state = interrupts();

bool is_synchronous_fault(int sig) {
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP ||
           sig == SIGABRT;
}

// The CPU-time warning comes shortly before the kernel kills the process
// outright: the terminal is put back at once, the orderly exit may come
// too late.
bool announces_kill(int sig) { return sig == SIGXCPU; }

void write_all(int fd, const char* text) { write_fully(fd, std::string_view(text)); }

[[noreturn]] void die_from_fault(int sig) {
    char number[8];
    int len = 0;
    char digits[8];
    for (int v = sig; v > 0 || len == 0; v /= 10) digits[len++] = static_cast<char>('0' + v % 10);
    for (int i = 0; i < len; ++i) number[i] = digits[len - 1 - i];
    number[len] = '\0';
    write_all(STDOUT_FILENO, "\n");
    const SignalHandlers& handlers = signal_handlers();
    write_all(STDERR_FILENO, handlers.fault_prefix);
    write_all(STDERR_FILENO, number);
    write_all(STDERR_FILENO, handlers.fault_suffix);
    restore_ttys_from_signal();
    _exit(static_cast<int>(FATAL_GOTSIG & 0xFF));
}

// Ends the running child on the interpreter's behalf; the wait that reaps
// it then knows the signal was no fault of the child's.
void end_child(pid_t child, int sig) {
    if (child <= 0) return;
    g_state.sent_to_child = g_state.sent_to_child | (1 << sig);
    kill(child, sig);
}

// Ctrl-Y while a child runs: it is asked to terminate, and one that does
// not listen is killed at the second Ctrl-Y. (The terminal sends the
// child the quit signal itself, as it shares the foreground.)
void quit_child(pid_t child) {
    int presses = g_state.child_quits;
    g_state.child_quits = presses + 1;
    end_child(child, presses == 0 ? SIGTERM : SIGKILL);
}

void interrupt_handler(int sig) {
    if (g_state.child_starting) return;
    int saved_errno = errno;
    pid_t child = g_state.child;
    if ((sig == SIGINT || sig == SIGQUIT) && g_state.terminal_input) {
        g_state.pending = 1;
        if (child > 0 && sig == SIGQUIT) quit_child(child);
        else if (child > 0) kill(child, sig);
        if (!g_state.deferred) {
            tcflush(STDIN_FILENO, TCIOFLUSH);
        }
    } else if (sig == SIGTSTP && g_state.terminal_input) {
        tcflush(STDIN_FILENO, TCIFLUSH);  // suspending is refused
    } else if (sig == SIGTERM || sig == SIGHUP) {
        end_child(child, sig);
        g_state.terminate = sig;
    } else if (is_synchronous_fault(sig)) {
        die_from_fault(sig);
    } else {
        end_child(child, SIGTERM);
        g_state.fatal_signal = sig;
        // With a child running, the terminal is the child's until it ends.
        if (announces_kill(sig) && child <= 0) restore_ttys_from_signal();
    }
    errno = saved_errno;
}

// SIGXFSZ that the kernel raised for one of the interpreter's own writes
// (it names the interpreter as the sender) means the write went past the
// file-size limit: the write fails with EFBIG and the command reports it,
// as for a full disk. Sent by another process, it ends the interpreter as
// any other signal does.
void file_size_handler(int sig, siginfo_t* info, void*) {
    if (info && info->si_code == SI_USER && info->si_pid == getpid()) return;
    interrupt_handler(sig);
}

void prepare_fault_message() {
    QueuedCondition probe{FATAL_GOTSIG, "\x01", {}};
    std::string line = format_condition(probe, message_queue().display);
    size_t mark = line.find('\x01');
    std::string prefix = mark == std::string::npos ? line : line.substr(0, mark);
    std::string suffix = mark == std::string::npos ? "" : line.substr(mark + 1);
    SignalHandlers& handlers = signal_handlers();
    std::snprintf(handlers.fault_prefix, sizeof handlers.fault_prefix, "%s", prefix.c_str());
    std::snprintf(handlers.fault_suffix, sizeof handlers.fault_suffix, "%s", suffix.c_str());
}

void install(int sig) {
    struct sigaction sa {};
    sa.sa_handler = interrupt_handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: blocking reads must see EINTR
    if (sig == SIGXFSZ) {
        sa.sa_sigaction = file_size_handler;
        sa.sa_flags = SA_SIGINFO;
    }
    SignalHandlers& handlers = signal_handlers();
    handlers.saved[sig] = sigaction(sig, &sa, &handlers.previous[sig]) == 0;
}

}  // namespace

bool ends_process_by_default(int sig) {
    switch (sig) {
    case SIGKILL: case SIGSTOP:                      // cannot be caught
    case SIGTSTP: case SIGTTIN: case SIGTTOU:        // stop
    case SIGCHLD: case SIGCONT: case SIGURG: case SIGWINCH:  // ignored
        return false;
    default: break;
    }
    // Between the classic signals and the real-time ones lie those that
    // the C library keeps for itself.
    return (sig >= 1 && sig < 32) || (sig >= SIGRTMIN && sig <= SIGRTMAX);
}

// The signals the caller left ignored: those the interpreter took over
// show it in their previous disposition; the others are asked.
void remember_ignored_signals() {
    const SignalHandlers& handlers = signal_handlers();
    sigset_t& ignored = inherited_descriptors().ignored_signals;
    sigemptyset(&ignored);
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig == SIGKILL || sig == SIGSTOP || sig == SIGCHLD) continue;
        struct sigaction current {};
        bool known = handlers.saved[sig];
        if (!known && sigaction(sig, nullptr, &current) != 0) continue;
        if ((known ? handlers.previous[sig] : current).sa_handler == SIG_IGN) sigaddset(&ignored, sig);
    }
}

void save_signal_handlers() {
    remember_inherited_descriptors();
    prepare_fault_message();
    for (int sig = 1; sig < NSIG; ++sig)
        if (ends_process_by_default(sig)) install(sig);
    for (int sig : {SIGTSTP, SIGTTIN, SIGTTOU}) install(sig);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGCHLD, &dfl, nullptr);
    remember_ignored_signals();
}

void restore_signal_handlers() {
    const SignalHandlers& handlers = signal_handlers();
    for (int sig = 1; sig < NSIG; ++sig)
        if (handlers.saved[sig]) sigaction(sig, &handlers.previous[sig], nullptr);
}

void handle_terminating_signals() {
    if (int sig = g_state.terminate) {
        g_state.terminate = 0;
        std::fputs("\n", stdout);
        interpreter_exit_on_signal(sig);
    }
    if (int sig = g_state.fatal_signal) {
        g_state.fatal_signal = 0;
        // The way out writes too: into a pipe nobody reads any more, that
        // must fail quietly rather than raise the signal again and again.
        std::signal(SIGPIPE, SIG_IGN);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        signal_condition(FATAL_GOTSIG, std::to_string(sig));
        show_messages();
        interpreter_exit(FATAL_GOTSIG);
    }
}

}  // namespace dcl
