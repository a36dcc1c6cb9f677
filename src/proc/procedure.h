// Procedure levels: the stack of frames the command loop reads from. Level 0
// is the session itself (the terminal, or standard input when it is not a
// terminal); command procedures push further levels.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lang/tokens.h"
#include "proc/procedure_files.h"
#include "names/symbols.h"
#include "status/command_source.h"
#include "status/streams.h"

namespace dcl {

struct ParsedCommand;

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
    std::vector<Label> labels;       // in file order, as far as scanned
    long labels_scanned_to = 0;      // the input before this holds no other label
    std::string procedure_name;      // VMS form
    bool on_enabled = true;
    std::array<std::optional<std::string>, 4> on_actions;
    // The level's command input: its procedure file, or the caller's for a
    // CALL. A file read whole is `source` (released after owned_input).
    FILE* input = nullptr;
    std::shared_ptr<ProcedureText> source;
    OwnedFile owned_input;
    LevelStreams streams;            // SYS$INPUT, SYS$OUTPUT, SYS$ERROR of the level
    std::array<long, kMaxGosubDepth + 1> gosub_stack{};
    int gosub_depth = 0;
    bool called = false;             // pushed by CALL: shares the caller's input
    long return_position = 0;        // after the CALL line
    std::vector<IfBlock> if_blocks;  // newest last
    std::string pending_command;     // run next at this level (IF ... THEN)
    std::string initial_procedure;   // level 0: the procedure from the command line
    long pending_from = -1;          // the cached line that set pending_command
    bool pending_shown = true;       // verification showed it with its line (not -c's)
    std::vector<std::string> initial_parameters;  // and its operands, verbatim
};

// What the levels need from the redirection layer above them: a new
// level's streams, its own output file, and the current streams brought in
// line with the level in force (unix/redirection.h). The interpreter wires
// them up; unset, they are skipped.
struct LevelStreamRules {
    void (*init)(LevelStreams& level, const LevelStreams* caller) = nullptr;
    uint32_t (*open_output)(LevelStreams& level, std::string_view spec) = nullptr;
    void (*settle)() = nullptr;
};

struct ProcedureStack {
    static constexpr int kMaxLevels = 32;
    std::array<ProcedureFrame, kMaxLevels> frames;
    int depth = -1;                  // -1 until start-up pushes level 0
    FILE* command_input = nullptr;   // the stream command lines come from
    bool in_procedure = false;       // commands then fail instead of prompting
    // Level 0 reads a script from standard input (not a terminal, no -c or
    // procedure operand): its lines may lack the "$", labels included.
    bool script_input = false;
    // The status an EXIT gave when it ended a level: it becomes the status
    // of the caller's command.
    std::optional<uint32_t> exit_status;
    // After a CALL the next command must be SUBROUTINE; a jump drops the
    // expectation.
    bool expect_subroutine = false;
    LevelStreamRules stream_rules;
    ProcedureFileCache file_cache;
    // A line taken from a line cache moves the input in name only: the
    // position waits here (-1: none) until something reads the stream or
    // another stream takes its place (settle_input). The lines of a loop
    // then cost no stdio seek each (a seek on a text in memory refills the
    // stream's buffer), and tell_input answers from here.
    long deferred_position = -1;
};

ProcedureStack& procedure_stack();

// The procedure and ON settings of the level in force (the command
// source's level_facts).
LevelFacts current_level_facts();

inline int procedure_depth() { return procedure_stack().depth; }
ProcedureFrame& current_frame();

// The procedure file the current level reads, with its line cache, or
// nullptr when that input is not kept in memory (a terminal, standard
// input, a file read as it lies). Holding it keeps it alive while a
// command ends the level.
std::shared_ptr<ProcedureText> current_procedure_text();

// The current streams and the stream names after the level stack changed
// (the stream rules' settle).
void settle_current_streams();

// Pushes a level; 1, or STKOVF when 32 levels are in use.
uint32_t push_procedure_level(const std::string& procedure_name);

// Ends the current level. At level 0 with non-terminal input this ends the
// session.
void pop_procedure_level();

// Level 0 takes standard input as a script: its own command stream and
// SYS$INPUT, which children never inherit (they get data lines or the
// null device instead).
void read_commands_from_script();

// Ends a session that reads a script or runs one command, after showing
// the queued messages: a failure status leaves its low byte as the exit
// status, a success 0.
[[noreturn]] void end_session(uint32_t status);

// True when a failure that reaches level 0 ends the session: commands come
// from a script, or the session runs one command.
bool failures_end_session();

// Binds the streams of a level just pushed: its procedure file (an
// existing Unix path; empty for a CALL, which reads its caller's stream),
// an output file specification (empty: none) and P1..P8 from
// `parameters`. On failure the level is popped again; returns 1, 0 when
// the failure was queued, or a condition for the caller to queue.
uint32_t open_procedure_streams(std::string_view input_path, std::string_view output_spec,
                                const std::vector<std::string>& parameters);

// Continues the current procedure at `label`. Outside a procedure there is
// nothing to move and it succeeds. 1, USGOTO (the input is then at its
// end), or 0 when a positioning failure was queued.
uint32_t goto_label(std::string_view label);

// Positions the command input stream (-1: its end). 1 or POSERR.
uint32_t seek_input(long position);
// The same for an input read whole into memory (a procedure file's text),
// where an absolute position is always cheapest: no look at the current
// one first.
uint32_t seek_memory_input(long position);
// seek_input when the current position (tell_input) is known already.
uint32_t seek_input_from(long position, long current);
// Moves the command input stream to a deferred position, if any: whatever
// reads the stream itself, or replaces it, calls this first.
void settle_input();
// Commands that never read the command input but through the functions
// above (the jumps, IF, CALL and SUBROUTINE, EXIT): the input need not be
// settled before them.
bool leaves_input_alone(uint32_t verb);
// The read position of the command input stream; -1 when it has none
// (a pipe).
long tell_input();

// ---- pieces of the label machinery, exposed for tests ----------------------
inline constexpr size_t kMaxScanPiece = 1024;  // labels are found in line heads this long

// Reads the next line of `in`: its first kMaxScanPiece bytes into `head`,
// the rest skipped, so that a long line is never taken for several.
// Returns the bytes the line took, newline included; 0 at the end.
long read_line_head(FILE* in, std::string& head);

// The label that a procedure line (its first bytes) defines, upper-cased,
// or empty: "$", any "$" and blanks, a name of letters, digits and "_",
// blanks, and a ":" not followed by "=". With `dollar_optional` (a script
// on standard input) the leading "$" may be missing.
std::string label_of_line(std::string_view line, bool dollar_optional = false);

// Reads `in` from its current position to its end and lists its labels
// with the positions of their lines, counted from `start`.
std::vector<Label> scan_labels(FILE* in, long start);

// The position to continue at for a jump to `name` from position
// `current`: the last definition before it, else the first at or after
// it; -1 when there is none.
long find_label(const std::vector<Label>& labels, std::string_view name, long current);

// Drops the open IF blocks of `frame` that a jump to `target` leaves: from
// the newest, while a block is inactive and the target lies outside it.
void discard_left_if_blocks(ProcedureFrame& frame, long target);

// Raises (+1) or lowers (-1, not below 0) the active count of the newest
// open IF block of the current level, when there is one.
void adjust_newest_if_block(int delta);

// The qualifiers and parameters of @ and CALL.
struct ProcedureArguments {
    static constexpr size_t kMaxParameters = 8;
    std::string output;                   // /OUTPUT file specification
    std::vector<std::string> parameters;  // quotes removed
};

// The Unix path and the VMS name of the procedure file `spec` (default
// type ".com"). False after reporting that it cannot be found.
bool locate_procedure(std::string_view spec, std::string& path, std::string& name);

// Pushes a level for the procedure found by locate_procedure and binds its
// streams and parameters; failures are reported with its name.
void enter_procedure(const std::string& path, const std::string& name, std::string_view output,
                     const std::vector<std::string>& parameters);

// Runs the procedure file `spec` (default type ".com") at a new level with
// `parameters` as P1..P8, taken as they are: the procedure named on
// dclsh's command line gets its operands verbatim, never through the
// lexer. Reports its failures (DEFOVF for more than eight, BUFOVF for a
// value too long for a symbol).
void start_procedure(std::string_view spec, const std::vector<std::string>& parameters);

// The /OUTPUT file and the parameters of @ or CALL: at most
// `max_parameters` of them (CALL's label comes on top of eight). False
// after queueing DEFOVF for one too many.
bool procedure_arguments(const ParsedCommand& cmd, size_t max_parameters, ProcedureArguments& args);

}  // namespace dcl
