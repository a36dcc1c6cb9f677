// Every verb handler, in the order of the dispatch table.
#pragma once

#include "core/dispatch.h"

namespace dcl {

void unix_command(CommandContext& cmd);      // a word that is no DCL verb: the shell runs the line
void at_command(CommandContext& cmd);        // @file: run a command procedure
void call_command(CommandContext& cmd);
void cd_command(CommandContext& cmd);
void continue_command(CommandContext& cmd);
void endsubroutine_command(CommandContext& cmd);
void exit_command(CommandContext& cmd);
void gosub_command(CommandContext& cmd);
void goto_command(CommandContext& cmd);
void if_command(CommandContext& cmd);
void on_command(CommandContext& cmd);
void recall_command(CommandContext& cmd);
void return_command(CommandContext& cmd);
void set_on(CommandContext& cmd);
void shell_command(CommandContext& cmd);     // SHELL, UNIX, NT
void foreign_command(CommandContext& cmd);   // sym :== $image
void set_verify(CommandContext& cmd);
void subroutine_command(CommandContext& cmd);
void assign_command(CommandContext& cmd);
void deassign_command(CommandContext& cmd);
void define_command(CommandContext& cmd);     // DEFINE, and DEFINE/KEY by its qualifier
void delete_verb(CommandContext& cmd);        // DELETE: picks /SYMBOL or the file form
void delete_symbol_command(CommandContext& cmd, size_t form_index);  // DELETE/SYMBOL
void echo_command(CommandContext& cmd);
void verb_out_of_place(CommandContext& cmd);  // THEN, ELSE, ENDIF outside an IF block
void write_command(CommandContext& cmd);
void set_cli(CommandContext& cmd);
void show_cli(CommandContext& cmd);
void show_logical(CommandContext& cmd);
void show_symbol(CommandContext& cmd);
void show_translation(CommandContext& cmd);

// The assignment statement (name = value, name := text and the like): the
// dispatcher runs it for a line whose first token is a symbol.
uint32_t run_assignment(const TokenList& tokens);

}  // namespace dcl
