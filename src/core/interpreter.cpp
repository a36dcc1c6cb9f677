// The one instance of the interpreter, and the subsystems' accessors.
#include "core/interpreter.h"

#include "core/standard_names.h"
#include "status/interrupts.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

// Built before any other file's static objects (init_priority), so that
// it is destroyed after them and after the exit handlers registered at
// start-up (the one that puts the terminals back among them). Destroying it
// closes what the levels and the redirection layer still hold open.
[[gnu::init_priority(101)]] Interpreter g_instance;

Interpreter& g = g_instance;

}  // namespace

Interpreter& interpreter() { return g; }

Interpreter::Interpreter() {
    procedure_stack.stream_rules = {init_level_streams, open_level_output, settle_level_streams};
    logical_name_store.standard_values = standard_name_values;
    command_source.level_facts = current_level_facts;
}

void Interpreter::reset() {
    // The descriptors the terminal records own are closed by hand.
    reset_terminal_state();
    *this = Interpreter{};
    interrupts() = InterruptState{};
}

// ---- the accessors declared in the subsystems' headers ----------------------
// Plain functions returning a member of a static object: as cheap as the
// file-level statics they replace.

Session& session() { return g.session; }
CliOptions& cli_options() { return g.cli_options; }
CommandSource& command_source() { return g.command_source; }
MessageQueue& message_queue() { return g.message_queue; }
MessageDatabase& message_database() { return g.message_database; }
DefaultsList& defaults_list() { return g.defaults_list; }
Redirection& redirection() { return g.redirection; }
ExitHooks& exit_hooks() { return g.exit_hooks; }

SymbolTables& symbol_tables() { return g.symbol_tables; }
LogicalNameStore& logical_name_store() { return g.logical_name_store; }
KeyDefinitions& key_definitions() { return g.key_definitions; }

DiskDeviceList& disk_device_list() { return g.disk_device_list; }
VersionState& version_state() { return g.version_state; }
TemporaryFiles& temporary_files() { return g.temporary_files; }

OpenFileTable& open_file_table() { return g.open_file_table; }

TerminalState& terminal_state() { return g.terminal_state; }
KeyInput& key_input() { return g.key_input; }
LineEditState& line_edit_state() { return g.line_edit_state; }
RecallList& recall_list() { return g.recall_list; }

LexerState& lexer_state() { return g.lexer_state; }
LexicalSearchState& lexical_search_state() { return g.lexical_search_state; }
PrivilegeState& privilege_state() { return g.privilege_state; }
UniqueNames& unique_names() { return g.unique_names; }

ProcedureStack& procedure_stack() { return g.procedure_stack; }
InputData& input_data() { return g.input_data; }

ChildState& child_state() { return g.child_state; }
PreviousDirectory& previous_directory() { return g.previous_directory; }
InheritedDescriptors& inherited_descriptors() { return g.inherited_descriptors; }
SymbolPipe& symbol_pipe() { return g.symbol_pipe; }

CommandState& command_state() { return g.command_state; }
TerminalComfort& terminal_comfort() { return g.terminal_comfort; }
SignalHandlers& signal_handlers() { return g.signal_handlers; }

}  // namespace dcl
