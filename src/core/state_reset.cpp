// Resetting the process-wide state.
#include "core/state_reset.h"

#include "core/command_state.h"
#include "files/filespec.h"
#include "files/scratch.h"
#include "files/versions.h"
#include "lang/lexical_files.h"
#include "names/key_definitions.h"
#include "names/logical_names.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/defaults_file.h"
#include "status/message_files.h"
#include "status/messages.h"
#include "status/session.h"
#include "tty/keys.h"
#include "tty/line_editor.h"
#include "tty/recall.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

void reset_process_state() {
    reset_session();
    reset_cli_options();
    reset_command_state();
    reset_defaults_list();
    reset_message_queue();
    reset_message_files();
    reset_procedure_stack();
    reset_recall_list();
    reset_terminal_state();
    reset_redirection();
    reset_symbol_tables();
    reset_logical_name_store();
    reset_temporary_files();
    reset_disk_device_list();
    reset_version_state();
    reset_lexical_search_state();
    reset_key_definitions();
    reset_key_input();
    reset_line_edit_state();
}

}  // namespace dcl
