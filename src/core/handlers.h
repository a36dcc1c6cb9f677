// Every verb handler and every qualifier table that a command row names.
// Handlers are defined in the commands/ folder of their subsystem; each
// receives its parsed command and its streams and returns its status (1, 0
// when the failure is queued, or a condition for the dispatcher to queue).
#pragma once

#include "lang/command_parser.h"

namespace dcl {

// A word that is no DCL verb: the shell runs the line.
uint32_t unix_command(const ParsedCommand& cmd, CommandStreams& io);
// @file: run a command procedure.
uint32_t at_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t call_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t cd_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t continue_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t endsubroutine_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t exit_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t gosub_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t goto_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t if_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t on_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t recall_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t return_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_on(const ParsedCommand& cmd, CommandStreams& io);
// SHELL, UNIX, NT.
uint32_t shell_command(const ParsedCommand& cmd, CommandStreams& io);
// sym :== $image, then sym.
uint32_t foreign_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_verify(const ParsedCommand& cmd, CommandStreams& io);
uint32_t subroutine_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t assign_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t deassign_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t define_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t define_key_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t delete_symbol_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t directory_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t copy_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t append_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t rename_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t delete_files_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t create_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t create_directory_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t type_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t search_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t differences_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t help_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t echo_command(const ParsedCommand& cmd, CommandStreams& io);
// THEN, ELSE, ENDIF outside an IF block.
uint32_t verb_out_of_place(const ParsedCommand& cmd, CommandStreams& io);
uint32_t write_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t open_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t close_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t read_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t inquire_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t purge_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_message(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_cli(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_cli(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_logical(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_symbol(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_translation(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_default(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_prompt(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_default(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_time(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_status(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_users(const ParsedCommand& cmd, CommandStreams& io);
uint32_t logout_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t eoj_command(const ParsedCommand& cmd, CommandStreams& io);
uint32_t set_terminal(const ParsedCommand& cmd, CommandStreams& io);
uint32_t show_terminal(const ParsedCommand& cmd, CommandStreams& io);

// SET CLI applies each qualifier as it is read.
bool apply_cli_qualifier(const ParsedQualifier& q);

// Qualifier tables, each beside the handler that reads it.
extern const KeywordTable kAssignQualifiers;
extern const KeywordTable kAtQualifiers;
extern const KeywordTable kCallQualifiers;
extern const KeywordTable kDeassignQualifiers;
extern const KeywordTable kDefineQualifiers;
extern const KeywordTable kDefineKeyQualifiers;
extern const KeywordTable kDeleteQualifiers;
extern const KeywordTable kDirectoryQualifiers;
extern const KeywordTable kCopyQualifiers;
extern const KeywordTable kAppendQualifiers;
extern const KeywordTable kRenameQualifiers;
extern const KeywordTable kCreateQualifiers;
extern const KeywordTable kCreateDirectoryQualifiers;
extern const KeywordTable kTypeQualifiers;
extern const KeywordTable kSearchQualifiers;
extern const KeywordTable kDifferencesQualifiers;
extern const KeywordTable kHelpQualifiers;
extern const KeywordTable kSetPromptQualifiers;
extern const KeywordTable kShowUsersQualifiers;
extern const KeywordTable kLogoutQualifiers;
extern const KeywordTable kSetTerminalQualifiers;
extern const KeywordTable kDeleteSymbolQualifiers;
extern const KeywordTable kRecallQualifiers;
extern const KeywordTable kSetCliQualifiers;
extern const KeywordTable kShowCliQualifiers;
extern const KeywordTable kShowLogicalQualifiers;
extern const KeywordTable kShowSymbolQualifiers;
extern const KeywordTable kShowTranslationQualifiers;
extern const KeywordTable kWriteQualifiers;
extern const KeywordTable kOpenQualifiers;
extern const KeywordTable kCloseQualifiers;
extern const KeywordTable kReadQualifiers;
extern const KeywordTable kInquireQualifiers;
extern const KeywordTable kPurgeQualifiers;
extern const KeywordTable kSetMessageQualifiers;

// The assignment statement (name = value, name := text and the like): the
// dispatcher runs it for a line whose first token is a symbol.
uint32_t run_assignment(const TokenList& tokens);

}  // namespace dcl
