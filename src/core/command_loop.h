// The command loop.
#pragma once

#include <string>

namespace dcl {

// Runs turns until the session ends; never returns.
[[noreturn]] void command_loop();

// Expands and runs one command text (a pending command, an ON action) and
// shows its messages.
void run_expanded_text(std::string& text);

}  // namespace dcl
