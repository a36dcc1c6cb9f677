// Logging out. Without a terminal nothing is printed; the farewell line and
// the accounting summary of an interactive session come with LOGOUT.
#include "info/logout.h"

#include "status/exit.h"

namespace dcl {

void logout_session(uint32_t, int exit_status) {
    interpreter_exit(static_cast<uint32_t>(exit_status));
}

}  // namespace dcl
