// The orderly way out of the interpreter.
#pragma once

#include <cstdint>

namespace dcl {

// Flushes the streams, restores the terminal and exits with the SET CLI
// exit-status override when set, else with `code`. Never returns.
[[noreturn]] void interpreter_exit(uint32_t code);

}  // namespace dcl
