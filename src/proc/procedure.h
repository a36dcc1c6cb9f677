// Procedure levels: the stack of frames the command loop reads from. Level 0
// is the session itself (the terminal, or standard input when it is not a
// terminal); command procedures push further levels.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "names/symbols.h"

namespace dcl {

enum OnAction { ON_WARNING = 0, ON_ERROR = 1, ON_SEVERE = 2, ON_CONTROL_Y = 3 };

struct ProcedureFrame {
    SymbolTable local_symbols;       // dies with the level
    LevelScopes scopes;              // SET SYMBOL/SCOPE of this level
    std::string procedure_name;
    bool on_enabled = true;
    std::array<std::optional<std::string>, 4> on_actions;
    FILE* input = nullptr;
    std::string pending_command;     // run next at this level
    std::string initial_procedure;   // level 0: the procedure from the command line
};

struct ProcedureStack {
    static constexpr int kMaxLevels = 32;
    std::array<ProcedureFrame, kMaxLevels> frames;
    int depth = -1;                  // -1 until start-up pushes level 0
    FILE* command_input = nullptr;   // the stream command lines come from
    bool in_procedure = false;       // commands then fail instead of prompting
};

ProcedureStack& procedure_stack();
void reset_procedure_stack();

inline int procedure_depth() { return procedure_stack().depth; }
ProcedureFrame& current_frame();

// Pushes a level; 1, or STKOVF when 32 levels are in use.
uint32_t push_procedure_level(const std::string& procedure_name);

// Ends the current level. At level 0 with non-terminal input this ends the
// session.
void pop_procedure_level();

// True when the current level reads its commands from a file.
bool reading_from_file();

// Continues the current procedure at `label`. Outside a procedure there is
// nothing to move and it succeeds.
uint32_t goto_label(std::string_view label);

}  // namespace dcl
