// Where command lines come from, as far as the layers below the procedure
// levels need to know it: proc keeps this current as levels come and go.
#pragma once

#include <string>

#include "status/session.h"

namespace dcl {

// What the lexical functions ask about the level in force (F$ENVIRONMENT).
struct LevelFacts {
    std::string procedure;    // the running procedure's file in VMS form; empty at level 0
    std::string on_severity;  // "WARNING", "ERROR", "SEVERE_ERROR" or "NONE"
    bool on_control_y = false;
    int max_depth = 0;        // the deepest level a procedure can reach
};

struct CommandSource {
    // The procedure level in force: 0 is the session itself, -1 before
    // start-up pushes level 0.
    int depth = -1;
    // Answered by the procedure levels; unset, the facts are empty.
    LevelFacts (*level_facts)() = nullptr;
};

CommandSource& command_source();

// True when the current level reads its commands from a file: a command
// procedure, or a session whose input is not a terminal.
inline bool reading_from_file() { return command_source().depth > 0 || !session().interactive; }

}  // namespace dcl
