// The orderly exit.
#include "status/exit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "status/cli_options.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/streams.h"

namespace dcl {

namespace {

// Everything written reaches its file, and the terminal is as it was found.
void leave_in_order() {
    std::fflush(redirection().output);
    std::fflush(redirection().error);
    std::fflush(stdout);
    std::fflush(stderr);
    interrupts().pending = 0;
    if (auto save = exit_hooks().save_history) save();
    if (auto restore = exit_hooks().restore_terminal) restore();
    std::fflush(nullptr);
}

}  // namespace

void interpreter_exit(uint32_t code) {
    // A signal that asked the interpreter to end decides how it ends,
    // whichever way out it happened to be taking.
    if (auto settle = exit_hooks().settle_signals) settle();
    leave_in_order();
    // A session that was started as the user's "dcl" shell falls back to a
    // plain shell when the server it needs is gone.
    const char* shell = std::getenv("SHELL");
    if (message_queue().ending && shell && std::strstr(shell, "dcl"))
        execl("/bin/sh", "/bin/sh", static_cast<char*>(nullptr));
    int override_status = cli_options().exit_override;
    std::exit(override_status != 0 ? override_status : static_cast<int>(code & 0xFF));
}

void interpreter_exit_on_signal(int sig) {
    leave_in_order();
    std::exit(128 + (sig & 0x7F));
}

}  // namespace dcl
