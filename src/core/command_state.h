// State of the command being read, expanded and run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/command_parser.h"
#include "lang/tokens.h"

namespace dcl {

struct CommandState {
    std::string line;            // raw text as read, joined across continuations
    std::string expanded;        // after substitution
    bool line_in_progress = false;
    bool dollar_line = false;    // the line read from a script began with "$"
    bool exit_after_command = false;  // one-shot mode
    bool image_command = false;  // user-mode logical names go after this one
    bool skip_on_once = false;   // the command asked ON handling to skip it
    TokenList tokens;
    // A line taken from a procedure's line cache runs from the tokens kept
    // there (its text holds them while it runs), not from a copy in
    // `tokens`; null: `tokens` holds them. Whatever tokenises into `tokens`
    // clears it.
    const TokenList* cached_tokens = nullptr;
    ParsedCommand parsed;        // kept from command to command for its storage

    const TokenList& tokens_to_run() const { return cached_tokens ? *cached_tokens : tokens; }
};

CommandState& command_state();

// A required parameter is missing: at the terminal the line is read again
// with `prompt` and the completed command runs; in a procedure it fails
// with NOFILE.
void ask_for_parameter(std::string_view prompt);

}  // namespace dcl
