// Verb dispatch: from the token list to the handler of its command row.
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/command_parser.h"
#include "lang/tokens.h"

namespace dcl {

// Splits an expanded line into tokens and dispatches it. 1 for an empty
// line; 0 when the failure was queued; else a condition to queue.
uint32_t run_command_line(std::string_view expanded);

// Runs the command whose tokens are in the command state (message_queue's
// verb and the lexer's assignment flag set for them). As run_command_line.
uint32_t run_tokens();

// Calls the handler of the current command's verb.
void dispatch_verb();

// Runs one command row on tokens whose verb (or SET/SHOW keyword) is at
// `verb_index`: picks the form, parses, opens /OUTPUT, calls the handler
// and queues what it returns.
void run_command_row(const CommandRow& row, const TokenList& tokens, size_t verb_index,
                     uint32_t keyword_flags, CommandStreams io);

// A required parameter is missing: asks for it with the row's prompt
// `which` (see ask_for_parameter). Returns 0, the command having ended.
uint32_t ask_for(const ParsedCommand& cmd, size_t which);

}  // namespace dcl
