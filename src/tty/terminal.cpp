// Terminal test and the saved start-up settings.
#include "tty/terminal.h"

#include <cstdlib>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace dcl {

namespace {

struct TerminalState {
    int pipes_count_as_terminals = -1;  // QV_TTY_PIPES, looked up once
    bool saved = false;
    struct termios original {};
};

TerminalState g_terminal;

}  // namespace

bool is_terminal(int fd) {
    if (isatty(fd)) return true;
    if (g_terminal.pipes_count_as_terminals < 0)
        g_terminal.pipes_count_as_terminals = std::getenv("QV_TTY_PIPES") != nullptr;
    if (!g_terminal.pipes_count_as_terminals) return false;
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

void save_original_terminal() {
    g_terminal.saved = tcgetattr(STDIN_FILENO, &g_terminal.original) == 0;
}

void restore_terminal() { restore_terminal_from_signal(); }

void restore_terminal_from_signal() {
    if (g_terminal.saved) tcsetattr(STDIN_FILENO, TCSANOW, &g_terminal.original);
}

void reset_terminal_state() { g_terminal = TerminalState{}; }

}  // namespace dcl
