// Where command lines come from, as far as the layers below the procedure
// levels need to know it: proc keeps this current as levels come and go.
#pragma once

#include "status/session.h"

namespace dcl {

struct CommandSource {
    // The procedure level in force: 0 is the session itself, -1 before
    // start-up pushes level 0.
    int depth = -1;
};

CommandSource& command_source();

// True when the current level reads its commands from a file: a command
// procedure, or a session whose input is not a terminal.
inline bool reading_from_file() { return command_source().depth > 0 || !session().interactive; }

}  // namespace dcl
