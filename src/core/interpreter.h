// The interpreter: the one owner of the process-wide state of every
// subsystem. Each part is declared in its subsystem's header and reached
// there through its accessor (session(), procedure_stack()...); the
// accessors are defined in interpreter.cpp and return the members of the
// one instance. Only the signal flags (status/interrupts.h) live apart.
#pragma once

#include "core/command_state.h"
#include "core/signals.h"
#include "core/terminal_comfort.h"
#include "fileio/open_files.h"
#include "files/filespec.h"
#include "files/scratch.h"
#include "files/versions.h"
#include "lang/lexer.h"
#include "lang/lexical_files.h"
#include "lang/lexical_functions.h"
#include "lang/privileges.h"
#include "names/key_definitions.h"
#include "names/logical_names.h"
#include "names/symbols.h"
#include "proc/input_data.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/command_source.h"
#include "status/defaults_file.h"
#include "status/exit.h"
#include "status/message_files.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/streams.h"
#include "tty/keys.h"
#include "tty/line_editor.h"
#include "tty/recall.h"
#include "tty/terminal.h"
#include "unix/child.h"
#include "unix/symbol_pipe.h"

namespace dcl {

struct Interpreter {
    // status
    Session session;
    CliOptions cli_options;
    CommandSource command_source;
    MessageQueue message_queue;
    MessageDatabase message_database;
    DefaultsList defaults_list;
    Redirection redirection;
    ExitHooks exit_hooks;
    // names
    SymbolTables symbol_tables;
    LogicalNameStore logical_name_store;
    KeyDefinitions key_definitions;
    // files
    DiskDeviceList disk_device_list;
    VersionState version_state;
    TemporaryFiles temporary_files;
    // fileio
    OpenFileTable open_file_table;
    // tty
    TerminalState terminal_state;
    KeyInput key_input;
    LineEditState line_edit_state;
    RecallList recall_list;
    // lang
    LexerState lexer_state;
    LexicalSearchState lexical_search_state;
    PrivilegeState privilege_state;
    UniqueNames unique_names;
    // proc
    ProcedureStack procedure_stack;
    InputData input_data;
    // unix
    ChildState child_state;
    PreviousDirectory previous_directory;
    InheritedDescriptors inherited_descriptors;
    SymbolPipe symbol_pipe;
    // core
    CommandState command_state;
    SignalHandlers signal_handlers;
    TerminalComfort terminal_comfort;

    // Connects the lower layers to what they use from the layers above.
    Interpreter();

    // Back to the state of a process that has not started up yet (unit
    // tests): every part, and the signal flags.
    void reset();
};

Interpreter& interpreter();

}  // namespace dcl
