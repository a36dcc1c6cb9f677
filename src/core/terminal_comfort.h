// What an interactive session adds to VMS line editing: the command recall
// kept in ~/.dclsh_history across sessions, and Tab completion. Both are
// on at a terminal; "HISTORY OFF" or "COMPLETION OFF" in a defaults file
// turns one off.
#pragma once

#include <string>

#include "core/completion.h"
#include "help/help_library.h"

namespace dcl {

struct TerminalComfort {
    std::string history_path;  // empty: the recall buffer is not kept
    // The help library is where the full names of verbs, keywords and
    // qualifiers are written down; it is read at the first Tab.
    bool vocabulary_read = false;
    HelpLibrary vocabulary;
};

TerminalComfort& terminal_comfort();

// At the start of an interactive session that reads commands from the
// terminal: loads the history and sets up its saving and Tab completion.
void start_terminal_comfort();

// The completion sources of the running interpreter.
CompletionSources interpreter_completion_sources();

}  // namespace dcl
