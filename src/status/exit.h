// The orderly way out of the interpreter.
#pragma once

#include <cstdint>

namespace dcl {

// What the way out needs from the layers above: acting on a termination
// signal recorded meanwhile, keeping the command recall of an interactive
// session, and putting the terminal back. Start-up sets them; unset, they
// are skipped.
struct ExitHooks {
    void (*settle_signals)() = nullptr;
    void (*save_history)() = nullptr;
    void (*restore_terminal)() = nullptr;
};

ExitHooks& exit_hooks();

// Flushes the streams, restores the terminal and exits with the SET CLI
// exit-status override when set, else with `code`. A termination signal
// or unexpected signal recorded meanwhile takes precedence (the
// settle_signals hook). Never returns.
[[noreturn]] void interpreter_exit(uint32_t code);

// The same way out after the interpreter was told to end by a signal:
// the exit status is 128 plus the signal number, as shells report it, and
// no override or fallback shell hides that from the caller.
[[noreturn]] void interpreter_exit_on_signal(int sig);

}  // namespace dcl
