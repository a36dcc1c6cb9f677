// The orderly exit.
#include "core/exit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "core/cli_options.h"
#include "core/signals.h"
#include "status/messages.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

void interpreter_exit(uint32_t code) {
    std::fflush(redirection().output);
    std::fflush(redirection().error);
    std::fflush(stdout);
    std::fflush(stderr);
    interrupts().pending = 0;
    restore_ttys();
    std::fflush(nullptr);
    // A session that was started as the user's "dcl" shell falls back to a
    // plain shell when the server it needs is gone.
    const char* shell = std::getenv("SHELL");
    if (message_queue().ending && shell && std::strstr(shell, "dcl"))
        execl("/bin/sh", "/bin/sh", static_cast<char*>(nullptr));
    int override_status = cli_options().exit_override;
    std::exit(override_status != 0 ? override_status : static_cast<int>(code & 0xFF));
}

}  // namespace dcl
