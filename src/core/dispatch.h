// Verb dispatch: from the token list to the handler of its verb.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "lang/tokens.h"

namespace dcl {

// What a handler gets: the command's tokens, the index of its verb token
// (or of the SET/SHOW keyword), that keyword's result flags, and the
// streams to write to.
struct CommandContext {
    const TokenList& tokens;
    size_t verb_index;
    uint32_t keyword_flags;
    FILE* out;
    FILE* err;
};

using VerbHandler = void (*)(CommandContext&);

// Splits an expanded line into tokens and dispatches it. 1 for an empty
// line; 0 when the failure was queued; else a condition to queue.
uint32_t run_command_line(std::string_view expanded);

// Calls the handler of the current command's verb.
void dispatch_verb();

// The handler registered for a verb or keyword code, or nullptr.
VerbHandler find_handler(uint32_t code);

// True for the verbs after which user-mode logical names are cleared and
// which read a procedure's data lines.
bool is_image_command(uint32_t code);

}  // namespace dcl
