// The orderly way out of the interpreter.
#pragma once

#include <cstdint>

namespace dcl {

// Flushes the streams, restores the terminal and exits with the SET CLI
// exit-status override when set, else with `code`. A termination signal
// or unexpected signal recorded meanwhile takes precedence (see
// handle_terminating_signals). Never returns.
[[noreturn]] void interpreter_exit(uint32_t code);

// The same way out after the interpreter was told to end by a signal:
// the exit status is 128 plus the signal number, as shells report it, and
// no override or fallback shell hides that from the caller.
[[noreturn]] void interpreter_exit_on_signal(int sig);

}  // namespace dcl
