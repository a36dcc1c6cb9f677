// The terminal the interpreter reads from: the terminal test and the
// settings to put back on every way out.
#pragma once

namespace dcl {

// A descriptor counts as a terminal when isatty says so, or, with
// QV_TTY_PIPES set in the environment, when it is a FIFO.
bool is_terminal(int fd);

// Remembers the settings of standard input as they were at start-up.
void save_original_terminal();

// Puts the start-up settings back (normal exit).
void restore_terminal();

// The same, using only async-signal-safe calls.
void restore_terminal_from_signal();

// Forgets cached answers (unit tests).
void reset_terminal_state();

}  // namespace dcl
