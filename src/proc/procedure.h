// Procedure levels: the stack of frames the command loop reads from. Level 0
// is the session itself (the terminal, or standard input when it is not a
// terminal); command procedures push further levels.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "names/symbols.h"
#include "unix/redirection.h"

namespace dcl {

enum OnAction { ON_WARNING = 0, ON_ERROR = 1, ON_SEVERE = 2, ON_CONTROL_Y = 3 };

// A label of a procedure file: its upper-case name and the position of the
// start of its line.
struct Label {
    std::string name;
    long position = 0;
};

// An open block IF: execution runs from `start`; when the read position
// reaches `end` it resumes at `resume` (after the ENDIF). GOSUB and CALL
// raise `active` so that the block is not closed while code outside it runs
// on its behalf.
struct IfBlock {
    long start = 0;
    long end = 0;
    long resume = 0;
    int active = 0;
};

struct ProcedureFrame {
    static constexpr int kMaxGosubDepth = 15;  // returns that may be pending

    SymbolTable local_symbols;       // dies with the level
    LevelScopes scopes;              // SET SYMBOL/SCOPE of this level
    std::vector<Label> labels;       // in file order
    bool labels_built = false;       // scanned at the first jump
    std::string procedure_name;      // VMS form
    bool on_enabled = true;
    std::array<std::optional<std::string>, 4> on_actions;
    // The level's standard streams; the owned ones were opened by this level
    // (its procedure file, an /OUTPUT file) and close with it.
    FILE* input = nullptr;
    FILE* output = nullptr;
    FILE* error = nullptr;
    OwnedFile owned_input;
    OwnedFile owned_output;
    std::string input_name, output_name, error_name;  // SYS$INPUT... for this level
    std::array<long, kMaxGosubDepth + 1> gosub_stack{};
    int gosub_depth = 0;
    bool called = false;             // pushed by CALL: shares the caller's input
    long return_position = 0;        // after the CALL line
    std::vector<IfBlock> if_blocks;  // newest last
    std::string pending_command;     // run next at this level (IF ... THEN)
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
